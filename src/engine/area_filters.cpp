#include "area_filters.h"

#include <cmath>
#include <limits>

#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"
#include "face_grid.h"
#include "random_draws.h"
#include "reseeding_scope.h"
#include "reference.h"
#include "ring_containment.h"
#include "segment_grid.h"

namespace engine {

static constexpr float kNoDistance = -1.0f;
static constexpr float kThicknessSq = 1e-5f;  // how far off the ring's plane a record may lie

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
    math::AABB2D bounds{math::float2(std::numeric_limits<float>::infinity()),
                        math::float2(-std::numeric_limits<float>::infinity())};

    void enclose(const math::float3 &v) {
        if (v.x < bounds.minCorner.x) bounds.minCorner.x = v.x;
        if (v.x > bounds.maxCorner.x) bounds.maxCorner.x = v.x;
        if (v.y < bounds.minCorner.y) bounds.minCorner.y = v.y;
        if (v.y > bounds.maxCorner.y) bounds.maxCorner.y = v.y;
    }

    bool in_bounds(const math::float3 &p) const {
        return bounds.minCorner.x <= p.x && p.x <= bounds.maxCorner.x && bounds.minCorner.y <= p.y &&
               p.y <= bounds.maxCorner.y;
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
    return outline;
}

// The distance to the nearest of the squared distances given; kNoDistance for none.
static float distance_of(float nearest_sq) { return nearest_sq == kNoSegment ? kNoDistance : sqrtf(nearest_sq); }

// ---------------------------------------------------------------- the reference

// Entry by entry over every record, each tested against every edge and segment of the entry.
namespace {
struct RecordState {
    math::float3 position;  // in plan view
    float distance = kNoDistance;
    bool kept = false;
    bool done = false;
};
}  // namespace

static bool qualifies(AreaMode mode, const Outline &outline, const math::float3 &p) {
    const auto contains = [&] { return outline.in_bounds(p) && outline.polygon.Contains(p, kThicknessSq, outline.axes); };
    switch (mode) {
        case AreaMode::curves: return true;
        case AreaMode::inside: return contains();
        case AreaMode::outside: return !contains();
        default: return false;
    }
}

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
            const float d = distance_of(nearest_sq_by_scan(outline.segments, state.position));
            if (d != kNoDistance && (state.distance == kNoDistance || state.distance > d)) state.distance = d;
        }
        if (settings.mode != AreaMode::outside) state.kept = state.done = true;
    }
    return true;
}

static Prompted<std::vector<Kept>> filter_by_scan(const std::vector<PointRecord> &records,
                                                  const std::vector<Outline> &outlines, const AreaSettings &settings,
                                                  TimeLimitPrompt &prompt) {
    Prompted<std::vector<Kept>> out;
    std::vector<RecordState> states(records.size());
    for (size_t i = 0; i < records.size(); ++i) states[i].position = plan(records[i].position);
    for (const Outline &outline : outlines) {
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

// ---------------------------------------------------------------- indexed

// Record by record: the entries' verdicts on a record, found from the few rings whose bounds
// can hold it and the few edges and segments near it. What the rules imply makes this the
// reference's answer: a curve keeps every record at the first curve, measured to it; inside,
// the first ring (in list order) holding a record keeps it, measured to that ring; outside, a
// record in no ring is kept and takes the least distance to any ring, which is the distance
// to the nearest segment of them all (the square root keeps the order of its arguments).
namespace {
class OutlineIndex {
public:
    OutlineIndex(const std::vector<Outline> &outlines, const AreaSettings &settings)
        : outlines_(outlines), mode_(settings.mode), distances_(settings.distances), rings_(bounds_of(outlines)) {
        containment_.reserve(outlines.size());
        for (const Outline &o : outlines) containment_.emplace_back(o.polygon, o.axes, kThicknessSq);
        if (!distances_) return;
        if (mode_ == AreaMode::outside) {
            std::vector<math::LineSegment> all;
            for (const Outline &o : outlines) all.insert(all.end(), o.segments.begin(), o.segments.end());
            nearest_.emplace_back(all);
        } else if (mode_ == AreaMode::inside) {
            for (const Outline &o : outlines) nearest_.emplace_back(o.segments);
        } else if (mode_ == AreaMode::curves && !outlines.empty()) {
            nearest_.emplace_back(outlines[0].segments);
        }
    }

    // Whether the entries keep p, and the distance it then takes.
    bool keeps(const math::float3 &p, float &distance) const {
        int measured_by = 0;  // the segment grid that measures it
        switch (mode_) {
            case AreaMode::curves:
                if (outlines_.empty()) return false;
                break;
            case AreaMode::inside:
                measured_by = first_holding(p);
                if (measured_by < 0) return false;
                break;
            case AreaMode::outside:
                if (first_holding(p) >= 0) return false;
                break;
            default: return false;
        }
        distance = distances_ ? distance_of(nearest_[measured_by].nearest_sq(p, HUGE_VAL)) : kNoDistance;
        return true;
    }

private:
    static std::vector<math::AABB2D> bounds_of(const std::vector<Outline> &outlines) {
        std::vector<math::AABB2D> bounds;
        for (const Outline &o : outlines) bounds.push_back(o.bounds);
        return bounds;
    }

    // The first ring, in list order, whose bounds and outline hold p; -1 for none.
    int first_holding(const math::float3 &p) const {
        for (const int t : rings_.candidates(p.x, p.y))
            if (outlines_[t].in_bounds(p) && containment_[t].contains(p)) return t;
        return -1;
    }

    const std::vector<Outline> &outlines_;
    AreaMode mode_;
    bool distances_;
    FaceGrid rings_;  // over the rings' bounds
    std::vector<RingContainment> containment_;
    std::vector<SegmentGrid> nearest_;  // per ring inside; over every ring outside; the first curve
};
}  // namespace

static Prompted<std::vector<Kept>> filter_indexed(const std::vector<PointRecord> &records,
                                                  const std::vector<Outline> &outlines, const AreaSettings &settings,
                                                  TimeLimitPrompt &prompt) {
    Prompted<std::vector<Kept>> out;
    out.result.reserve(records.size());  // cheaper than growing through a million records
    const OutlineIndex index(outlines, settings);
    const bool work = !outlines.empty();  // no entry, no unit of work for the prompt
    for (size_t i = 0; i < records.size(); ++i) {
        if (work && prompt.aborted()) {
            out.aborted = true;
            out.result.clear();
            return out;
        }
        float distance = kNoDistance;
        if (index.keeps(plan(records[i].position), distance))
            out.result.push_back(kept_at(static_cast<int>(i), records[i], distance));
    }
    out.confirmed = prompt.confirmed();
    return out;
}

Prompted<std::vector<Kept>> area_filter(const std::vector<PointRecord> &records,
                                          const std::vector<OutlinePoints> &outlines, const AreaSettings &settings,
                                          TimeLimitPrompt &prompt) {
    const ReseedingScope stream;  // the step draws from a stream of its own
    std::vector<Outline> built;
    built.reserve(outlines.size());
    for (const OutlinePoints &points : outlines) {
        rng_seed(static_cast<unsigned>(settings.seed));  // before each entry; nothing is drawn
        built.push_back(settings.mode == AreaMode::curves ? curve_outline(points, settings)
                                                          : ring_outline(points, settings));
    }
    return use_reference_algorithms ? filter_by_scan(records, built, settings, prompt)
                                    : filter_indexed(records, built, settings, prompt);
}

Prompted<std::vector<Kept>> object_area_filter(const ObjectAreas &areas, const std::vector<PointRecord> &records,
                                                 TimeLimitPrompt &prompt) {
    Prompted<std::vector<Kept>> out;
    out.result.reserve(records.size());  // cheaper than growing through a million records
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
