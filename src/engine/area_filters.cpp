#include "area_filters.h"

#include <cmath>
#include <limits>
#include <optional>

#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"
#include "random_draws.h"
#include "reseeding_scope.h"
#include "reference.h"
#include "segment_grid.h"

namespace engine {

static constexpr float kNoDistance = -1.0f;

static math::float3 plan(const math::float3 &p) { return math::float3(p.x, p.y, 0.0f); }

// A kept record takes the distance measured when it had none (-1.0) or a larger one.
static Kept kept_at(int index, const PointRecord &record, float distance) {
    const float old = record.distance;
    return {index, old == kNoDistance || old > distance, distance};
}

namespace {

// One entry of the curve list in plan view: its segments and, for an area ring, its outline
// and x-y bounds. The bounds of an empty ring are empty, so it contains nothing.
struct Outline {
    math::Polygon polygon;
    math::PolygonAxes axes{};  // of the polygon, derived once for all records
    std::vector<math::LineSegment> segments;
    std::optional<SegmentGrid> grid;  // over the segments, once they are all read
    math::AABB2D bounds{math::float2(std::numeric_limits<float>::infinity()),
                        math::float2(-std::numeric_limits<float>::infinity())};

    void enclose(const math::float3 &v) {
        if (v.x < bounds.minCorner.x) bounds.minCorner.x = v.x;
        if (v.x > bounds.maxCorner.x) bounds.maxCorner.x = v.x;
        if (v.y < bounds.minCorner.y) bounds.minCorner.y = v.y;
        if (v.y > bounds.maxCorner.y) bounds.maxCorner.y = v.y;
    }

    bool contains(const math::float3 &p) const {
        return bounds.minCorner.x <= p.x && p.x <= bounds.maxCorner.x && bounds.minCorner.y <= p.y &&
               p.y <= bounds.maxCorner.y && polygon.Contains(p, 1e-5f, axes);
    }

    // To the nearest segment when that is nearer than `known` (any distance when known is
    // kNoDistance); otherwise some distance not below known, or kNoDistance, which both
    // leave known as it is. kNoDistance when no segment gives a finite distance.
    float distance(const math::float3 &p, float known) const {
        const double limit_sq = known == kNoDistance ? std::numeric_limits<double>::infinity()
                                                     : static_cast<double>(known) * known;
        const float d2 = use_reference_algorithms ? nearest_sq_by_scan(segments, p) : grid->nearest_sq(p, limit_sq);
        return d2 == kNoSegment ? kNoDistance : sqrtf(d2);
    }
};

}  // namespace

// A vertex of the curve list in plan view, in the custom-axis frame when asked.
static math::float3 outline_vertex(const math::float3 &v, const AreaSettings &settings) {
    return plan(settings.rotate ? settings.to_frame.Transform(v) : v);
}

// A curve: its segments.
static Outline curve_outline(const OutlinePoints &ends, const AreaSettings &settings) {
    Outline outline;
    for (size_t k = 0; k + 1 < ends.size(); k += 2)
        outline.segments.emplace_back(outline_vertex(ends[k], settings), outline_vertex(ends[k + 1], settings));
    outline.grid.emplace(outline.segments);
    return outline;
}

// An area ring, closed back to its first point.
static Outline ring_outline(const OutlinePoints &ring, const AreaSettings &settings) {
    Outline outline;
    std::vector<math::float3> &vertices = outline.polygon.vertices;
    const size_t n = ring.size();
    for (const math::float3 &v : ring) {
        vertices.push_back(outline_vertex(v, settings));
        outline.enclose(vertices.back());
    }
    for (size_t k = 0; k < n; ++k) outline.segments.emplace_back(vertices[k], vertices[(k + 1) % n]);
    outline.axes = outline.polygon.ContainmentAxes();
    outline.grid.emplace(outline.segments);
    return outline;
}

static bool qualifies(AreaMode mode, const Outline &outline, const math::float3 &p) {
    switch (mode) {
        case AreaMode::curves: return true;
        case AreaMode::inside: return outline.contains(p);
        case AreaMode::outside: return !outline.contains(p);
        default: return false;
    }
}

namespace {
struct RecordState {
    math::float3 position;  // in plan view
    float distance = kNoDistance;
    bool kept = false;
    bool done = false;
};
}  // namespace

// Classifies every open record against one outline; false when the user aborts.
static bool apply_outline(const Outline &outline, const AreaSettings &settings, std::vector<RecordState> &states,
                          TimeLimitPrompt &prompt) {
    for (RecordState &state : states) {
        if (prompt.aborted()) return false;
        if (state.done) continue;
        if (!qualifies(settings.mode, outline, state.position)) {
            if (settings.mode == AreaMode::outside) state.done = true;  // inside this area: dropped
            continue;
        }
        if (settings.distances) {
            const float d = outline.distance(state.position, state.distance);
            if (d != kNoDistance && (state.distance == kNoDistance || state.distance > d)) state.distance = d;
        }
        if (settings.mode != AreaMode::outside) state.kept = state.done = true;
    }
    return true;
}

Prompted<std::vector<Kept>> area_filter(const std::vector<PointRecord> &records,
                                          const std::vector<OutlinePoints> &outlines, const AreaSettings &settings,
                                          TimeLimitPrompt &prompt) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    Prompted<std::vector<Kept>> out;
    std::vector<RecordState> states(records.size());
    for (size_t i = 0; i < records.size(); ++i) states[i].position = plan(records[i].position);
    for (const OutlinePoints &points : outlines) {
        rng_seed(static_cast<unsigned>(settings.seed));
        const Outline outline =
            settings.mode == AreaMode::curves ? curve_outline(points, settings) : ring_outline(points, settings);
        if (!apply_outline(outline, settings, states, prompt)) {
            out.aborted = true;
            return out;
        }
    }
    if (settings.mode == AreaMode::outside) {
        for (RecordState &state : states) state.kept = state.kept || !state.done;  // inside no area
    }
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i].kept) out.result.push_back(kept_at(static_cast<int>(i), records[i], states[i].distance));
    out.confirmed = prompt.confirmed();
    return out;
}

Prompted<std::vector<Kept>> object_area_filter(const ObjectAreas &areas, const std::vector<PointRecord> &records,
                                                 TimeLimitPrompt &prompt) {
    Prompted<std::vector<Kept>> out;
    for (size_t i = 0; i < records.size(); ++i) {
        if (prompt.aborted()) {
            out.aborted = true;
            out.result.clear();
            return out;
        }
        const math::float3 p = plan(records[i].position);
        const Clearance clearance =
            use_reference_algorithms ? clearance_by_scan(areas.objects(), p) : areas.index(prompt).clearance(p);
        if (clearance.keep) out.result.push_back(kept_at(static_cast<int>(i), records[i], clearance.nearest));
    }
    out.confirmed = prompt.confirmed();
    return out;
}

}  // namespace engine
