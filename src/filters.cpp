// Filters that thin point records by their boundary distance, their height or their slope,
// and shrink the survivors in soft bands. Each returns copies of the kept records.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "definitions.h"
#include "module_functions.h"
#include "random_draws.h"
#include "records.h"
#include "reseeding_scope.h"
#include "ruby_conv.h"
#include "ruby_guard.h"

namespace engine {

// ---------------------------------------------------------------- boundary check

enum class BoundaryMode { distance, size, other };

// How far from the boundary a definition's instances must stay, at scale 1.
static std::vector<float> footprint_radii(VALUE defs, int count, float percent) {
    std::vector<float> radii;
    for (int i = 0; i < count; ++i) {
        const VALUE def = array_entry(defs, i);
        const math::float3 a = point3d_to_float3(array_entry(def, 4));
        const math::float3 b = point3d_to_float3(array_entry(def, 5));
        const bool centred = rb2cstr(array_entry(def, 3)) == "center";
        const float centred_radius = std::max(b.y - a.y, b.x - a.x) * 0.5f * percent / 100.0f;
        const float corner_radius = std::max({std::fabs(b.y), std::fabs(b.x), std::fabs(a.y), std::fabs(a.x)}) *
                                    percent / 100.0f;
        radii.push_back(centred ? centred_radius : corner_radius);
    }
    return radii;
}

// Whether a record at dist from the boundary stays; only asked for records that have one.
static bool clear_of_boundary(VALUE row, float dist, BoundaryMode mode, float distance,
                              const std::vector<float> &radii) {
    const float s = read_float(array_entry(row, 2));
    const VALUE axis_scale = array_entry(row, 6);
    const float sx = read_float(array_entry(axis_scale, 0));
    const float sy = read_float(array_entry(axis_scale, 1));
    const int index = read_int(array_entry(row, 4));
    switch (mode) {
        case BoundaryMode::distance:
            return dist > distance;
        case BoundaryMode::size: {
            if (index == -1) return false;
            check_definition_index(index, static_cast<int>(radii.size()));
            return dist > s * radii[index] * std::max(sx, sy);
        }
        case BoundaryMode::other:
            break;
    }
    return false;
}

static VALUE boundary_check(VALUE rows, VALUE settings, VALUE defs) {
    const std::string mode_text = rb2cstr(array_entry(settings, 0));
    const float distance = read_float(array_entry(settings, 1));
    const float percent = read_float(array_entry(settings, 2));
    const int def_count = array_length(defs);
    const BoundaryMode mode = mode_text == "distance" ? BoundaryMode::distance
                              : mode_text == "size"   ? BoundaryMode::size
                                                      : BoundaryMode::other;
    const std::vector<float> radii =
        mode == BoundaryMode::size ? footprint_radii(defs, def_count, percent) : std::vector<float>();
    const int n = array_length(rows);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) {
        const VALUE row = array_entry(rows, i);
        const float dist = read_float(array_entry(row, 5));
        if (dist == -1.0f || clear_of_boundary(row, dist, mode, distance, radii)) append_copy(result, row);
    }
    return result;
}

// ---------------------------------------------------------------- area falloff

struct FalloffSettings {
    bool on;
    bool inverse;
    float distance;
    float percent;
};

static FalloffSettings read_falloff(VALUE settings) {
    const bool on = read_flag(array_entry(settings, 0));
    const bool inverse = read_flag(array_entry(settings, 1));
    const float distance = read_float(array_entry(settings, 2));
    const float percent = read_float(array_entry(settings, 3));
    return {on, inverse, distance, percent};
}

static VALUE area_falloff(VALUE rows, VALUE density_settings, VALUE scale_settings) {
    const FalloffSettings density = read_falloff(density_settings);
    const FalloffSettings scale = read_falloff(scale_settings);
    const float r = density.distance;
    const float t = density.percent * r / 100.0f;
    const float l = scale.distance;
    const float m = l * scale.percent / 100.0f;
    const float o = scale.percent / 100.0f;
    const int n = array_length(rows);
    const VALUE result = new_array();
    const ReseedingScope reseeding;  // every record reseeds
    for (int i = 0; i < n; ++i) {
        const VALUE row = array_entry(rows, i);
        // A record without a distance (-1) goes through the same formulas.
        const float d = read_float(array_entry(row, 5));
        rng_seed(static_cast<unsigned>(read_int(array_entry(row, 3))));
        bool kept = true;
        if (density.on) {
            const float pct = percentage_draw();
            const float threshold = (t + d) / r * 100.0f;
            kept = (pct <= threshold) != density.inverse;
        }
        float f = 1.0f;
        if (scale.on && !scale.inverse) {
            f = (d + m) / l;
            if (f > 1.0f) f = 1.0f;
        } else if (scale.on) {
            const float x = (o * d - d) / l + 1.0f;
            f = o > x ? o : x;
        }
        if (kept) array_store(append_copy(result, row), 2, float_value(f * read_float(array_entry(row, 2))));
    }
    return result;
}

// ---------------------------------------------------------------- altitude and slope ranges

// A range [lo, hi] with soft bands of width soft_lo above lo and soft_hi below hi.
struct Range {
    float lo, hi, soft_lo, soft_hi;
};

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

// The value a range filter tests: the height of the position, or the angle of the normal
// from world up (radians).
using TestedValue = float (*)(VALUE row);

static float altitude_of(VALUE row) { return point3d_to_float3(array_entry(row, 0)).z; }

static float slope_of(VALUE row) {
    point3d_to_float3(array_entry(row, 0));  // the position must be a Point here too
    return point3d_to_float3(array_entry(row, 1)).AngleBetween(math::float3(0.0f, 0.0f, 1.0f));
}

static VALUE range_filter(VALUE rows, const Range &range, VALUE density_flag, VALUE scale_flag, VALUE seed,
                          TestedValue tested) {
    rng_seed(static_cast<unsigned>(read_int(seed)));
    const bool thin = read_flag(density_flag);
    const bool scale = read_flag(scale_flag);
    const int n = array_length(rows);
    const VALUE result = new_array();
    for (int i = 0; i < n; ++i) {
        const VALUE row = array_entry(rows, i);
        const float v = tested(row);
        const double s = read_double(array_entry(row, 2));
        if (!(range.lo <= v && v <= range.hi)) continue;
        float h = 1.0f;
        if ((thin || scale) && !survives_bands(range, v, thin, h)) continue;
        if (scale)
            array_store(append_copy(result, row), 2, float_value(static_cast<float>(s) * h));
        else
            append_copy(result, row);
    }
    return result;
}

static Range read_range(VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi) {
    const float l = read_float(lo);
    const float h = read_float(hi);
    const float sl = read_float(soft_lo);
    const float sh = read_float(soft_hi);
    return {l, h, sl, sh};
}

static float radians(float degrees) { return degrees / 180.0f * 3.1415927f; }

static Range in_radians(const Range &degrees) {
    return {radians(degrees.lo), radians(degrees.hi), radians(degrees.soft_lo), radians(degrees.soft_hi)};
}

}  // namespace engine

extern "C" VALUE cpp_boundary_check(VALUE, VALUE rows, VALUE settings, VALUE definitions, VALUE) {
    return engine::guarded([&] { return engine::boundary_check(rows, settings, definitions); });
}

extern "C" VALUE cpp_area_falloff(VALUE, VALUE rows, VALUE density, VALUE scale, VALUE, VALUE) {
    return engine::guarded([&] { return engine::area_falloff(rows, density, scale); });
}

extern "C" VALUE cpp_altitude_range(VALUE, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi,
                                    VALUE density, VALUE scale, VALUE seed) {
    return engine::guarded([&] {
        const engine::Range range = engine::read_range(lo, hi, soft_lo, soft_hi);
        return engine::range_filter(rows, range, density, scale, seed, engine::altitude_of);
    });
}

extern "C" VALUE cpp_slope_range(VALUE, VALUE rows, VALUE lo, VALUE hi, VALUE soft_lo, VALUE soft_hi,
                                 VALUE density, VALUE scale, VALUE seed) {
    return engine::guarded([&] {
        const engine::Range range = engine::in_radians(engine::read_range(lo, hi, soft_lo, soft_hi));
        return engine::range_filter(rows, range, density, scale, seed, engine::slope_of);
    });
}
