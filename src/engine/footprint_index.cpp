#include "footprint_index.h"

#include <algorithm>
#include <cmath>

namespace engine {

static constexpr double kClearance = 0.05;

void Clearance::add(float distance) {
    if (!std::isfinite(distance)) return;
    if (static_cast<double>(distance) < kClearance) keep = false;
    nearest = nearest == kNone ? distance : (distance < nearest ? distance : nearest);
}

Clearance clearance_by_scan(const std::vector<std::vector<math::Polygon>> &objects, const math::float3 &p) {
    Clearance clearance;
    for (const std::vector<math::Polygon> &object : objects)
        for (const math::Polygon &footprint : object) clearance.add(footprint.Distance(p));
    return clearance;
}

// A footprint without triangles measures NaN from everywhere, which counts for nothing.
FootprintIndex::FootprintIndex(const std::vector<std::vector<math::Polygon>> &objects, Pace &pace) {
    for (const std::vector<math::Polygon> &object : objects) {
        for (const math::Polygon &polygon : object) {
            pace.tick();
            Footprint footprint{polygon.Triangulate([&pace] { pace.tick(); }), PlanBox{}, true};
            if (footprint.triangles.empty()) continue;
            for (const math::Triangle &t : footprint.triangles) {
                for (const math::float3 &v : {t.a, t.b, t.c}) {
                    footprint.box.enclose(v.x, v.y);
                    footprint.boxed = footprint.boxed && v.IsFinite();
                }
            }
            if (footprint.boxed) largest_ = std::max(largest_, footprint.box.largest_coordinate());
            footprints_.push_back(std::move(footprint));
        }
    }
}

static float distance(const std::vector<math::Triangle> &triangles, const math::float3 &p) {
    return math::ClosestPointOnTriangles(triangles, p).Distance(p);
}

// A triangle's closest point is one of its vertices, a point of an edge or a point inside:
// within the footprint's box up to rounding, which the margin covers. So the footprint with
// the nearest box is measured first; then only those whose box, less the margin, comes within
// both 0.05 and the nearest distance so far can change the keep decision or the nearest
// distance (a tie leaves the minimum as it is).
Clearance FootprintIndex::clearance(const math::float3 &p) const {
    Clearance clearance;
    if (footprints_.empty()) return clearance;
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        for (const Footprint &footprint : footprints_) clearance.add(distance(footprint.triangles, p));
        return clearance;
    }
    const double margin = rounding_margin(std::max({largest_, std::fabs(double(p.x)), std::fabs(double(p.y))}));
    // -1 when the box says nothing, so that the footprint is always measured.
    const auto box_distance_sq = [&p](const Footprint &f) { return f.boxed ? f.box.distance_sq(p.x, p.y) : -1.0; };
    const Footprint *first = &footprints_[0];
    double first_sq = box_distance_sq(*first);
    for (const Footprint &footprint : footprints_) {
        const double d = box_distance_sq(footprint);
        if (d < first_sq) first_sq = d, first = &footprint;
    }
    clearance.add(distance(first->triangles, p));
    for (const Footprint &footprint : footprints_) {
        if (&footprint == first) continue;
        if (clearance.nearest != Clearance::kNone) {
            const double reach = margin + std::max(kClearance, static_cast<double>(clearance.nearest));
            if (box_distance_sq(footprint) > reach * reach) continue;
        }
        clearance.add(distance(footprint.triangles, p));
    }
    return clearance;
}

}  // namespace engine
