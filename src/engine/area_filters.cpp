#include "area_filters.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Geometry/AABB2D.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Polygon.h"
#include "bounds_grid.h"
#include "random_draws.h"
#include "reseeding_scope.h"
#include "reference.h"
#include "ring_containment.h"
#include "segment_shortlists.h"

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
// can hold it and the few edges and segments near it (the shortlists of its cell, which also
// remember the verdict of a cell clear of every edge). What the rules imply makes this the
// reference's answer: a curve keeps every record at the first curve, measured to it; inside,
// the first ring (in list order) holding a record keeps it, measured to that ring; outside, a
// record in no ring is kept and takes the least distance to any ring, which is the distance
// to the nearest segment of them all (the square root keeps the order of its arguments).
namespace {

// Where the records lie in plan view, and how many there are, which the shortlists cut into
// cells. Records too far out for the rings to settle their verdicts lie outside it, and are
// classified one by one.
struct RecordSpread {
    PlanBox box;  // around the positions within the rings' reach
    double count = 0;

    explicit RecordSpread(const std::vector<PointRecord> &records) : count(static_cast<double>(records.size())) {
        for (const PointRecord &r : records) {
            const double x = r.position.x, y = r.position.y;
            if (std::fabs(x) <= RingContainment::kLargest && std::fabs(y) <= RingContainment::kLargest) box.enclose(x, y);
        }
    }

    // The part of the box within bounds, and about how many records lie in a part.
    PlanBox within(const math::AABB2D &bounds) const {
        return PlanBox{std::max(box.min_x, double(bounds.minCorner.x)), std::max(box.min_y, double(bounds.minCorner.y)),
                       std::min(box.max_x, double(bounds.maxCorner.x)), std::min(box.max_y, double(bounds.maxCorner.y))};
    }
    double expected(const PlanBox &part) const {
        const double whole_area = (box.max_x - box.min_x) * (box.max_y - box.min_y);
        const double part_area = (part.max_x - part.min_x) * (part.max_y - part.min_y);
        return whole_area > 0 ? count * std::clamp(part_area / whole_area, 0.0, 1.0) : count;
    }
};

// Containment verdicts remembered per shortlist: where a list's cells lie clear of every edge
// by the rings' settled distance, the first point's verdict holds for every point in them.
class SettledVerdicts {
public:
    SettledVerdicts(const SegmentShortlists &lists, double settled) : known_(lists.list_count(), kUnsettled) {
        for (uint32_t k = 0; k < known_.size(); ++k)
            if (lists.clearance(k) >= settled) known_[k] = kUnknown;
    }

    // decide() when the list's verdict is not known yet; remembered when it is settled.
    template <class Decide>
    bool of(uint32_t list, Decide &&decide) {
        if (list == SegmentShortlists::kNoList) return decide();
        int8_t &known = known_[list];
        if (known >= 0) return known == 1;
        const bool verdict = decide();
        if (known == kUnknown) known = verdict ? 1 : 0;
        return verdict;
    }

private:
    static constexpr int8_t kUnsettled = -2, kUnknown = -1;
    std::vector<int8_t> known_;
};

// What the shortlists should settle their cells by: nothing for rings that never settle.
double settling(double settled) { return std::isfinite(settled) ? settled : 0; }

class OutlineIndex {
public:
    OutlineIndex(const std::vector<Outline> &outlines, const AreaSettings &settings, const RecordSpread &records)
        : outlines_(outlines), mode_(settings.mode), distances_(settings.distances), rings_(bounds_of(outlines)) {
        containment_.reserve(outlines.size());
        for (const Outline &o : outlines) containment_.emplace_back(o.polygon, o.axes, kThicknessSq);
        if (mode_ == AreaMode::outside) {
            std::vector<math::LineSegment> all;
            double settled = 0;  // for all rings at once
            for (size_t t = 0; t < outlines.size(); ++t) {
                all.insert(all.end(), outlines[t].segments.begin(), outlines[t].segments.end());
                settled = std::max(settled, containment_[t].settled());
            }
            nearest_.emplace_back(all, records.box, records.count, settling(settled));
            verdicts_.emplace_back(nearest_[0], settled);
        } else if (mode_ == AreaMode::inside) {
            nearest_.reserve(outlines.size());
            for (size_t t = 0; t < outlines.size(); ++t) {
                const PlanBox area = records.within(outlines[t].bounds);
                nearest_.emplace_back(outlines[t].segments, area, records.expected(area),
                                      settling(containment_[t].settled()));
                verdicts_.emplace_back(nearest_[t], containment_[t].settled());
            }
        } else if (mode_ == AreaMode::curves && distances_ && !outlines.empty()) {
            nearest_.emplace_back(outlines[0].segments, records.box, records.count, 0);
        }
    }

    // Whether the entries keep p, and the distance it then takes.
    bool keeps(const math::float3 &p, float &distance) {
        switch (mode_) {
            case AreaMode::curves:
                if (outlines_.empty()) return false;
                return measured(0, SegmentShortlists::kNoList, p, distance);
            case AreaMode::inside:
                for (const uint32_t t : rings_.candidates(p.x, p.y)) {
                    if (!outlines_[t].in_bounds(p)) continue;
                    const uint32_t list = nearest_[t].list_at(p);
                    if (verdicts_[t].of(list, [&] { return containment_[t].contains(p); }))
                        return measured(t, list, p, distance);
                }
                return false;
            case AreaMode::outside: {
                const uint32_t list = nearest_[0].list_at(p);
                if (verdicts_[0].of(list, [&] { return first_holding(p) >= 0; })) return false;
                return measured(0, list, p, distance);
            }
            default: return false;
        }
    }

private:
    static std::vector<math::AABB2D> bounds_of(const std::vector<Outline> &outlines) {
        std::vector<math::AABB2D> bounds;
        for (const Outline &o : outlines) bounds.push_back(o.bounds);
        return bounds;
    }

    // The first ring, in list order, whose bounds and outline hold p; -1 for none.
    int first_holding(const math::float3 &p) const {
        for (const uint32_t t : rings_.candidates(p.x, p.y))
            if (outlines_[t].in_bounds(p) && containment_[t].contains(p)) return t;
        return -1;
    }

    // Kept, with the distance to the segments of shortlists k when distances are wanted.
    bool measured(int k, uint32_t list, const math::float3 &p, float &distance) const {
        if (!distances_) return true;
        if (list == SegmentShortlists::kNoList) list = nearest_[k].list_at(p);
        distance = distance_of(nearest_[k].nearest_sq(p, list));
        return true;
    }

    const std::vector<Outline> &outlines_;
    AreaMode mode_;
    bool distances_;
    BoundsGrid rings_;  // over the rings' bounds
    std::vector<RingContainment> containment_;
    std::vector<SegmentShortlists> nearest_;  // per ring inside; over every ring outside; the first curve
    std::vector<SettledVerdicts> verdicts_;   // of nearest_'s lists: inside, the ring's; outside, any ring's
};
}  // namespace

static Prompted<std::vector<Kept>> filter_indexed(const std::vector<PointRecord> &records,
                                                  const std::vector<Outline> &outlines, const AreaSettings &settings,
                                                  TimeLimitPrompt &prompt) {
    Prompted<std::vector<Kept>> out;
    out.result.reserve(records.size());  // cheaper than growing through a million records
    OutlineIndex index(outlines, settings, RecordSpread(records));
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
