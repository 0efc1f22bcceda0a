#include "filters.h"

#include <algorithm>
#include <cmath>

#include "random_draws.h"
#include "reseeding_scope.h"

namespace engine {

// ---------------------------------------------------------------- boundary check

// How far from the boundary a definition's instances must stay, at scale 1.
static std::vector<float> footprint_radii(const std::vector<Definition> &definitions, float percent) {
    std::vector<float> radii;
    for (const Definition &d : definitions) {
        const math::float3 &a = d.box_min, &b = d.box_max;
        const float centred_radius = std::max(b.y - a.y, b.x - a.x) * 0.5f * percent / 100.0f;
        const float corner_radius = std::max({std::fabs(b.y), std::fabs(b.x), std::fabs(a.y), std::fabs(a.x)}) *
                                    percent / 100.0f;
        radii.push_back(d.centred ? centred_radius : corner_radius);
    }
    return radii;
}

// Whether a record at its distance from the boundary stays; only asked for records that have one.
static bool clear_of_boundary(const PointRecord &r, const BoundarySettings &settings, const std::vector<float> &radii) {
    switch (settings.mode) {
        case BoundaryMode::distance:
            return r.distance > settings.distance;
        case BoundaryMode::size: {
            if (r.definition == -1) return false;
            check_definition_index(r.definition, static_cast<int>(radii.size()));
            const float s = static_cast<float>(r.scale);
            return r.distance > s * radii[r.definition] * std::max(r.axis_scale.x, r.axis_scale.y);
        }
        case BoundaryMode::other:
            break;
    }
    return false;
}

std::vector<Kept> boundary_check(const std::vector<PointRecord> &records, const BoundarySettings &settings,
                                 const std::vector<Definition> &definitions, Pace &pace) {
    const std::vector<float> radii =
        settings.mode == BoundaryMode::size ? footprint_radii(definitions, settings.percent) : std::vector<float>();
    std::vector<Kept> kept;
    for (size_t i = 0; i < records.size(); ++i) {
        pace.tick();
        const PointRecord &r = records[i];
        if (r.distance == -1.0f || clear_of_boundary(r, settings, radii)) kept.push_back({static_cast<int>(i), false, 0.0f});
    }
    return kept;
}

// ---------------------------------------------------------------- area falloff

std::vector<Kept> area_falloff(const std::vector<PointRecord> &records, const FalloffSettings &density,
                               const FalloffSettings &scale, Pace &pace) {
    const float r = density.distance;
    const float t = density.percent * r / 100.0f;
    const float l = scale.distance;
    const float m = l * scale.percent / 100.0f;
    const float o = scale.percent / 100.0f;
    std::vector<Kept> kept;
    const ReseedingScope reseeding;  // every record reseeds
    for (size_t i = 0; i < records.size(); ++i) {
        pace.tick();
        // A record without a distance (-1) goes through the same formulas.
        const float d = records[i].distance;
        rng_seed(static_cast<unsigned>(records[i].seed));
        bool keep = true;
        if (density.on) {
            const float pct = percentage_draw();
            const float threshold = (t + d) / r * 100.0f;
            keep = (pct <= threshold) != density.inverse;
        }
        float f = 1.0f;
        if (scale.on && !scale.inverse) {
            f = (d + m) / l;
            if (f > 1.0f) f = 1.0f;
        } else if (scale.on) {
            const float x = (o * d - d) / l + 1.0f;
            f = o > x ? o : x;
        }
        if (keep) kept.push_back({static_cast<int>(i), true, f * static_cast<float>(records[i].scale)});
    }
    return kept;
}

// ---------------------------------------------------------------- altitude and slope ranges

// Whether a record at v survives the soft bands; h receives the fraction of its scale that
// it keeps. Thinning draws one percentage per entered band, even after a first drop.
static bool survives_bands(const Range &range, float v, bool thin, float &h) {
    const float bottom = range.lo + range.soft_lo;
    const float top = range.hi - range.soft_hi;
    bool keep = true;
    h = 1.0f;
    if (range.soft_lo > 0.0f && v <= bottom) {
        const float u = (v - range.lo) / range.soft_lo;
        h = v - range.lo < range.soft_lo ? u : 1.0f;
        if (thin) {
            const float pct = percentage_draw();
            keep = u * 100.0f >= pct;
        }
    }
    if (range.soft_hi > 0.0f && v >= top) {
        const float w = range.hi - v;
        if (range.soft_hi > w) h = h * w / range.soft_hi;
        if (thin) {
            const float pct = percentage_draw();
            if (w / range.soft_hi * 100.0f < pct) keep = false;
        }
    }
    return keep;
}

static float tested_value(RangeOf of, const PointRecord &r) {
    if (of == RangeOf::altitude) return r.position.z;
    return r.normal.AngleBetween(math::float3(0.0f, 0.0f, 1.0f));
}

std::vector<Kept> range_filter(const std::vector<PointRecord> &records, const RangeSettings &s, Pace &pace) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    rng_seed(static_cast<unsigned>(s.seed));
    const Range &range = s.range;
    std::vector<Kept> kept;
    for (size_t i = 0; i < records.size(); ++i) {
        pace.tick();
        const float v = tested_value(s.of, records[i]);
        if (!(range.lo <= v && v <= range.hi)) continue;
        float h = 1.0f;
        if ((s.thin || s.scale) && !survives_bands(range, v, s.thin, h)) continue;
        kept.push_back({static_cast<int>(i), s.scale, static_cast<float>(records[i].scale) * h});
    }
    return kept;
}

static float radians(float degrees) { return degrees / 180.0f * 3.1415927f; }

Range in_radians(const Range &degrees) {
    return {radians(degrees.lo), radians(degrees.hi), radians(degrees.soft_lo), radians(degrees.soft_hi)};
}

}  // namespace engine
