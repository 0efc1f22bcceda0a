// How near to a point in the plane z = 0 the float closest point of a flat triangle
// (Triangle::ClosestPoint) can come out, so that an index may leave a triangle unmeasured
// and still find the very distance a full scan finds.
//
// The closest point is a vertex or a point of an edge, so in the triangle's box up to
// rounding, unless rounding lets no vertex or edge test pass and the interior formula gives
// it: that can happen only from points near the triangle (within its slack) or, for a thin
// triangle, far from it (beyond `sound_within`). Where the bounds hold, the measure is at
// least the distance to the reach and, from beyond the slack or for a fat triangle, at most
// the farthest distance to it.
#pragma once

#include <algorithm>
#include <cmath>

#include "Geometry/Triangle.h"
#include "plan_box.h"

namespace engine {

// Between two boxes in plan view: the squares of the nearest and of the farthest distance
// between their points. Inline: the index calls them for every triangle of every cell.
inline double nearest_sq(const PlanBox &a, const PlanBox &b) {
    const double dx = std::max(std::max(a.min_x - b.max_x, b.min_x - a.max_x), 0.0);
    const double dy = std::max(std::max(a.min_y - b.max_y, b.min_y - a.max_y), 0.0);
    return dx * dx + dy * dy;
}

inline double farthest_sq(const PlanBox &a, const PlanBox &b) {
    const double dx = std::max(a.max_x - b.min_x, b.max_x - a.min_x);
    const double dy = std::max(a.max_y - b.min_y, b.max_y - a.min_y);
    return dx * dx + dy * dy;
}

struct TriangleReach {
    PlanBox box;                 // of the vertices
    double slack = HUGE_VAL;     // how far from the triangle the measure may come out as 0
    double sound_within_sq = 0;  // the bounds hold from points less than its root from every vertex
    bool fat = false;            // from within the slack too, the measure stays under the farthest

    explicit TriangleReach(const math::Triangle &t);
    // Bounds that hold for each of the triangles [first, end): the box around their boxes,
    // the largest slack, the least of how far they hold, fat if all are.
    static TriangleReach around(const TriangleReach *first, const TriangleReach *end);

    // Whether the bounds hold from every point of `area`, which must lie in_range.
    bool holds_over(const PlanBox &area) const { return farthest_sq(area, box) < sound_within_sq; }
    // Whether, from every point of `area`, the farthest distance to the reach caps the measure.
    bool caps_over(const PlanBox &area) const {
        return holds_over(area) && (fat || nearest_sq(area, box) > slack * slack);
    }
    // The box grown by slack and `margin`, the rounding margin of the coordinates involved:
    // from a point outside it, the measure is at least the distance to it.
    PlanBox reach(double margin) const;
};

// Whether the coordinates of `area` are small enough for the bounds: products of four of
// them must not overflow a float.
bool in_range(const PlanBox &area);

}  // namespace engine
