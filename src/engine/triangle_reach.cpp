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
// is a vertex or a point of an edge, in the box up to rounding. Nearer than h0 the measure
// is still at least 0, which is no more than the distance to the box less h0.
TriangleReach::TriangleReach(const math::Triangle &t) {
    bool flat = true;
    for (const math::float3 &v : {t.a, t.b, t.c}) {
        box.enclose(v.x, v.y);
        flat = flat && v.IsFinite() && v.z == 0.0f;
    }
    if (!flat || !in_range(box)) return;
    const math::float3 *corners[] = {&t.a, &t.b, &t.c, &t.a};
    double dx[3], dy[3], length[3];
    for (int k = 0; k < 3; ++k) {
        dx[k] = double(corners[k + 1]->x) - double(corners[k]->x);
        dy[k] = double(corners[k + 1]->y) - double(corners[k]->y);
        length[k] = std::hypot(dx[k], dy[k]);
    }
    const double turn = dx[0] * -dy[2] - dy[0] * -dx[2];  // (b - a) x (c - a)
    const double area = std::fabs(turn);
    const double longest = std::max({length[0], length[1], length[2]});
    const double shortest = std::min({length[0], length[1], length[2]});
    if (!(shortest >= kShortestEdge && area > 0)) return;
    const double l2 = longest * longest;
    slack = 80 * kUnit * l2 * l2 / (area * shortest);
    const double sound_within = area * shortest / (80 * kUnit * l2);
    sound_within_sq = sound_within * sound_within;
    const double side = turn > 0 ? 1.0 : -1.0;  // outward is to the right of a counter-clockwise edge
    for (int k = 0; k < 3; ++k) {
        Reach::Line &line = lines_[k];
        line.nx = side * dy[k] / length[k];
        line.ny = -side * dx[k] / length[k];
        line.offset = line.nx * corners[k]->x + line.ny * corners[k]->y;
    }
}

// The edges' lines are worked out in double from the float vertices, off by far less than
// the margin.
Reach TriangleReach::reach(double margin) const {
    const double grow = slack + margin;
    Reach reach;
    reach.box = PlanBox{box.min_x - grow, box.min_y - grow, box.max_x + grow, box.max_y + grow};
    for (int k = 0; k < 3; ++k) {
        reach.edges[k] = lines_[k];
        reach.edges[k].offset += grow;
    }
    return reach;
}

bool in_range(const PlanBox &area) { return area.largest_coordinate() <= kLargest; }

}  // namespace engine
