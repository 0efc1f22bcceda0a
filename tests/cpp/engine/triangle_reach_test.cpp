// Wherever a triangle's reach says its bounds hold, Triangle::ClosestPoint must measure no
// less than the distance to the reach and, from beyond the slack, no more than the farthest
// corner of the reach's box: fat, thin, obtuse, tiny and far-off triangles, from points
// inside, on and just off the edges, along the edges' lines and the region borders at the
// corners, and far away.
#include "engine/triangle_reach.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using math::float3;

// Points around t: random ones at every scale of distance, and ones along each edge's line
// and along the normals at each corner, where the closest-point tests change their verdict.
std::vector<float3> around(const math::Triangle &t, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const float3 corners[] = {t.a, t.b, t.c, t.a};
    double size = 0;
    for (int k = 0; k < 3; ++k) size = std::max(size, double(corners[k + 1].Distance(corners[k])));
    std::vector<float3> out;
    for (const double scale : {1e-6, 1e-3, 0.05, 1.0, 30.0, 1e3}) {
        for (int n = 0; n < 400; ++n) {
            const double ux = unit(rng), uy = unit(rng);
            out.emplace_back(float(t.a.x + size * scale * ux), float(t.a.y + size * scale * uy), 0.0f);
        }
    }
    for (int k = 0; k < 3; ++k) {
        const float3 from = corners[k], to = corners[k + 1];
        const float3 along = to - from, normal(along.y, -along.x, 0.0f);
        for (const double s : {-50.0, -1.0, -1e-4, 0.0, 0.3, 1.0, 1.0001, 2.0, 80.0})
            for (const double off : {-1e-3, -1e-7, 0.0, 1e-7, 1e-3, 0.05, 1.0, 100.0}) {
                const float x = float(from.x + s * along.x + off * normal.x);
                const float y = float(from.y + s * along.y + off * normal.y);
                out.emplace_back(x, y, 0.0f);
                out.emplace_back(std::nextafter(x, HUGE_VALF), std::nextafter(y, -HUGE_VALF), 0.0f);
            }
    }
    return out;
}

math::Triangle flat(float ax, float ay, float bx, float by, float cx, float cy) {
    return math::Triangle(float3(ax, ay, 0), float3(bx, by, 0), float3(cx, cy, 0));
}

TEST(TriangleReach, BoundsTheMeasureWhereverItSaysTheyHold) {
    struct Case { const char *what; math::Triangle t; bool bounded; };
    const Case cases[] = {
        {"half a rectangle", flat(10, 10, 18, 10, 18, 15), true},
        {"the other half, turning clockwise", flat(10, 10, 10, 15, 18, 15), true},
        {"obtuse", flat(0, 0, 10, 0, 5, 0.5f), true},
        {"needle", flat(0, 0, 20, 0.05f, 20.1f, 0), true},
        {"sliver: measured always", flat(-3, 7, 40, 7.001f, 80, 7.0015f), false},
        {"a star's long ear", flat(15, 25, 31.8f, 12.1f, 13.4f, 18.9f), true},
        {"far from the origin", flat(1e6f, 2e6f, 1e6f + 8, 2e6f, 1e6f + 8, 2e6f + 5), true},
        {"tiny", flat(1, 1, 1 + 3e-5f, 1, 1, 1 + 2e-5f), true},
        {"large", flat(-4e8f, 0, 4e8f, 1, 0, 4e8f), true},
    };
    for (const Case &c : cases) {
        const engine::TriangleReach reach(c.t);
        int capped = 0;
        for (const float3 &p : around(c.t, 5)) {
            const engine::PlanBox at{p.x, p.y, p.x, p.y};
            if (!engine::in_range(at) || !reach.holds_over(at)) continue;
            const double largest = std::max(reach.box.largest_coordinate(), at.largest_coordinate());
            const engine::PlanBox grown = reach.reach(engine::rounding_margin(largest));
            const double measured = c.t.ClosestPoint(p).DistanceSq(p);
            // NaN, never the least, needs no bound from below
            ASSERT_FALSE(measured < grown.distance_sq(p.x, p.y)) << c.what << " from " << p.x << ", " << p.y;
            if (!reach.caps_over(at)) continue;
            ++capped;
            ASSERT_LE(measured, engine::farthest_sq(at, grown)) << c.what << " from " << p.x << ", " << p.y;
        }
        EXPECT_EQ(c.bounded, capped > 0) << c.what;
    }
}

TEST(TriangleReach, HoldsNowhereForTrianglesItCannotBound) {
    const float nan = std::nanf("");
    const math::Triangle cases[] = {
        flat(0, 0, 1, 0, 2, 0),                 // collinear
        flat(3, 3, 3, 3, 3, 3),                 // one point
        flat(0, 0, nan, 1, 1, 1),               // not finite
        flat(0, 0, HUGE_VALF, 1, 1, 1),
        flat(0, 0, 1e-7f, 0, 0, 1e-7f),         // edges too short to square
        flat(0, 0, 1e15f, 0, 0, 1e15f),         // coordinates too large to multiply
        math::Triangle(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0.5f)),  // not flat
    };
    for (const math::Triangle &t : cases) {
        const engine::TriangleReach reach(t);
        for (const float3 &p : {float3(0, 0, 0), float3(0.5f, 0.5f, 0), float3(1e3f, -1e3f, 0)})
            EXPECT_FALSE(reach.holds_over(engine::PlanBox{p.x, p.y, p.x, p.y}));
    }
}

}  // namespace
