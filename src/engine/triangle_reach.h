// How near to a point in the plane z = 0 the float closest point of a flat triangle
// (Triangle::ClosestPoint) can come out, so that an index may leave a triangle unmeasured
// and still find the very distance a full scan finds.
//
// The closest point is a vertex, a point of an edge or, only when rounding lets no vertex or
// edge test pass, the point itself. So it lies in the triangle's box up to rounding, except
// from points near enough to the triangle that the tests' rounding can mislead them
// (`slack`), or so far away, for a thin triangle, that it can mislead them there
// (`sound_within`).
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

// A triangle grown outward by a distance, as its box and the lines of its edges moved out:
// from a point, the measure is at least the distance to it.
struct Reach {
    struct Line {
        double nx = 0, ny = 0, offset = HUGE_VAL;  // outward unit normal; n.p - offset is how far out p lies
        double beyond(double x, double y) const { return nx * x + ny * y - offset; }
        // Over the area's corners: at the one the normal points away from.
        double least_beyond(const PlanBox &area) const {
            return beyond(nx > 0 ? area.min_x : area.max_x, ny > 0 ? area.min_y : area.max_y);
        }
    };
    PlanBox box;
    Line edges[3];

    // The square of how far (x, y) lies beyond the edges' lines, or 0. Inline, like the next:
    // the index calls them for most triangles it passes.
    double beyond_edges_sq(double x, double y) const {
        const double out = std::max(std::max(edges[0].beyond(x, y), edges[1].beyond(x, y)), edges[2].beyond(x, y));
        return out > 0 ? out * out : 0.0;
    }
    // From (x, y), at least.
    double distance_sq(double x, double y) const { return std::max(box.distance_sq(x, y), beyond_edges_sq(x, y)); }
    // From the nearest point of `area`, at least.
    double distance_sq(const PlanBox &area) const {
        const double to_box = nearest_sq(area, box);
        const double out = std::max(std::max(edges[0].least_beyond(area), edges[1].least_beyond(area)),
                                    edges[2].least_beyond(area));
        return out > 0 && out * out > to_box ? out * out : to_box;
    }
};

struct TriangleReach {
    PlanBox box;                 // of the vertices
    double slack = HUGE_VAL;     // how far from the triangle the measure may come out as 0
    double sound_within_sq = 0;  // the bounds hold from points less than its root from every vertex

    explicit TriangleReach(const math::Triangle &t);

    // Whether the bounds hold from every point of `area`, which must lie in_range.
    bool holds_over(const PlanBox &area) const { return farthest_sq(area, box) < sound_within_sq; }
    // Whether the triangle lies beyond its slack from every point of `area`.
    bool beyond_slack(const PlanBox &area) const { return nearest_sq(area, box) > slack * slack; }
    // The triangle grown by slack and `margin`, the rounding margin of the coordinates
    // involved.
    Reach reach(double margin) const;

private:
    Reach::Line lines_[3];  // of the edges, outward; none for a triangle without slack
};

// Whether the coordinates of `area` are small enough for the bounds: products of four of
// them must not overflow a float.
bool in_range(const PlanBox &area);

}  // namespace engine
