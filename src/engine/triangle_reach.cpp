#include "triangle_reach.h"

#include <algorithm>
#include <cmath>

namespace engine {

// The closest-point tests multiply four coordinate differences together: beyond this, they
// may overflow a float; below the shortest edge, they may underflow. Triangles outside either
// bound are always measured.
static constexpr double kLargest = 1e9;
static constexpr double kShortestEdge = 1e-6;
static constexpr double kUnit = 1.0 / 16777216.0;  // a float's relative rounding, 2^-24

// Let L and l be the longest and the shortest edge, A twice the area, and p a point at
// distance h from the triangle, so within R <= h + L of every vertex. The six dot products
// of the closest-point tests come out within 4uLR of their exact values, and the three
// products va, vb, vc within 20u(LR)^2. Exactly, each of those three is A times an edge
// times p's signed distance from that edge's line, at least A l h where it counts; so its
// sign is right once A l h > 20u L^2 (h + L)^2, which holds, with a factor 4 to spare, for
// h from h0 = 80u L^4 / (A l) (where h <= L) up to H = A l / (80u L^2) (where h >= L). In
// that range a vertex or edge test passes (the tests that share a boundary read the same
// rounded value, and their other conditions are of the kind above), so the point returned
// is a vertex or a point of an edge, in the box up to rounding: the measure lies between the
// nearest and the farthest distance to the box, give or take the margin. Nearer than h0 the
// measure is still at least 0, which is no more than the distance to the box less h0; there
// the interior formula may give the point, from weights va, vb, vc over their sum A^2, off by
// at most (80 + 2 * 270)u L^4 / (A^2 - 270u L^4), no more than 1/12 when A^2 >= 8000u L^4: a
// triangle that fat puts the point within L/6 of p, under the farthest distance to the box.
// The edges and the area are worked out in double, off by far less than the factors spared.
TriangleReach::TriangleReach(const math::Triangle &t) {
    bool flat = true;
    for (const math::float3 &v : {t.a, t.b, t.c}) {
        box.enclose(v.x, v.y);
        flat = flat && v.IsFinite() && v.z == 0.0f;
    }
    if (!flat || !in_range(box)) return;
    const auto edge = [](const math::float3 &from, const math::float3 &to) {
        return std::hypot(double(to.x) - double(from.x), double(to.y) - double(from.y));
    };
    const double ab = edge(t.a, t.b), bc = edge(t.b, t.c), ca = edge(t.c, t.a);
    const double longest = std::max({ab, bc, ca}), shortest = std::min({ab, bc, ca});
    const double area = std::fabs((double(t.b.x) - double(t.a.x)) * (double(t.c.y) - double(t.a.y)) -
                                  (double(t.b.y) - double(t.a.y)) * (double(t.c.x) - double(t.a.x)));
    if (!(shortest >= kShortestEdge && area > 0)) return;
    const double l2 = longest * longest;
    slack = 80 * kUnit * l2 * l2 / (area * shortest);
    const double sound_within = area * shortest / (80 * kUnit * l2);
    sound_within_sq = sound_within * sound_within;
    fat = area * area >= 8000 * kUnit * l2 * l2;
}

TriangleReach TriangleReach::around(const TriangleReach *first, const TriangleReach *end) {
    TriangleReach all = *first;
    for (const TriangleReach *r = first + 1; r < end; ++r) {
        all.box.enclose(r->box.min_x, r->box.min_y);
        all.box.enclose(r->box.max_x, r->box.max_y);
        all.slack = std::max(all.slack, r->slack);
        all.sound_within_sq = std::min(all.sound_within_sq, r->sound_within_sq);
        all.fat = all.fat && r->fat;
    }
    return all;
}

PlanBox TriangleReach::reach(double margin) const {
    const double grow = slack + margin;
    return PlanBox{box.min_x - grow, box.min_y - grow, box.max_x + grow, box.max_y + grow};
}

bool in_range(const PlanBox &area) { return area.largest_coordinate() <= kLargest; }

}  // namespace engine
