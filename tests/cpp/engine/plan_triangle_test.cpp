// The plan view may settle a point only where the containment test is sure to agree: every
// verdict is checked against Polygon::Contains (at any distance from the plane, so only its
// crossings count) at the vertical line's hit, on triangles of many sizes, positions, slopes
// and shapes, with points crowding their edges and vertices, where the test's rounding and
// its moving of vertices off the ray decide.
#include "engine/plan_triangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "Geometry/Line.h"

namespace {

using math::float3;

struct Kind {
    const char *what;
    float size;    // of the triangle's plan view
    float3 at;     // where the triangles lie
    float slope;   // largest height change per unit across
    float skinny;  // how far the third vertex may come to the first edge's line, 0..1
};

math::Polygon random_triangle(const Kind &k, std::mt19937 &rng) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const float3 a(unit(rng), unit(rng), 0), b(unit(rng), unit(rng), 0);
    const float3 across(-(b.y - a.y), b.x - a.x, 0);
    const float away = (1.0f - k.skinny) * unit(rng) + (unit(rng) > 0 ? k.skinny : -k.skinny) * 0.01f;
    const float3 c = (a + b) * 0.5f + (b - a) * (0.5f * unit(rng)) + across * away;
    const float gx = k.slope * unit(rng), gy = k.slope * unit(rng);
    math::Polygon face;
    for (const float3 &v : {a, b, c}) face.vertices.push_back(k.at + float3(v.x, v.y, gx * v.x + gy * v.y) * k.size);
    return face;
}

// Points on both sides of every edge at distances from a millionth to a tenth of the size,
// around every vertex, anywhere on the triangle and anywhere under its bounds; at heights
// near it and far above.
std::vector<float3> crowding(const math::Polygon &face, float size, std::mt19937 &rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const std::vector<float3> &v = face.vertices;
    std::vector<float3> out;
    for (int e = 0; e < 3; ++e) {
        const float3 a = v[e], b = v[(e + 1) % 3];
        const float3 across = float3(-(b.y - a.y), b.x - a.x, 0).Normalized();
        for (float exponent = -6.0f; exponent <= -1.0f; exponent += 0.25f)
            for (const float sign : {-1.0f, 1.0f}) {
                const float3 on = a + (b - a) * unit(rng);
                out.push_back(on + across * (sign * size * std::pow(10.0f, exponent)));
                const float turn = 6.2831853f * unit(rng);
                out.push_back(a + float3(std::cos(turn), std::sin(turn), 0) * (size * std::pow(10.0f, exponent)));
            }
    }
    for (int k = 0; k < 20; ++k) {
        const float s = unit(rng), t = unit(rng), u = unit(rng);
        out.push_back(v[0] * s + v[1] * (t * (1 - s)) + v[2] * ((1 - t) * (1 - s)));
        out.push_back(float3(std::min({v[0].x, v[1].x, v[2].x}) * u + std::max({v[0].x, v[1].x, v[2].x}) * (1 - u),
                             std::min({v[0].y, v[1].y, v[2].y}) * t + std::max({v[0].y, v[1].y, v[2].y}) * (1 - t), 0));
    }
    const float heights[] = {0.0f, size, -3.0f * size, 1e4f * size};
    for (float3 &p : out) p.z = v[0].z + heights[static_cast<size_t>(unit(rng) * 3.999f)];
    return out;
}

bool under_bounds(const math::Polygon &face, const float3 &p) {
    float lo_x = face.vertices[0].x, hi_x = lo_x, lo_y = face.vertices[0].y, hi_y = lo_y;
    for (const float3 &v : face.vertices) {
        lo_x = std::min(lo_x, v.x), hi_x = std::max(hi_x, v.x);
        lo_y = std::min(lo_y, v.y), hi_y = std::max(hi_y, v.y);
    }
    return lo_x <= p.x && p.x <= hi_x && lo_y <= p.y && p.y <= hi_y;
}

// What the settled verdicts must match: whether the containment test's crossings put the
// hit of the vertical line through p inside.
bool crossings_inside(const math::Polygon &face, const float3 &p) {
    const math::Line line(p, float3(0, 0, -1));
    float d = 0;
    return face.PlaneCCW().Intersects(line, &d) &&
           face.Contains(line.GetPoint(d), std::numeric_limits<float>::infinity());
}

TEST(PlanTriangle, SettlesOnlyPointsTheContainmentTestAgreesOn) {
    const Kind kinds[] = {
        {"unit triangles at the origin", 1, {0, 0, 0}, 1, 0},
        {"terrain triangles far out", 4, {1500, 1500, 20}, 0.5f, 0},
        {"small triangles far out", 0.5f, {1e4f, -2e4f, 5}, 1, 0},
        {"triangles a few times the ray margin", 4e-3f, {0.5f, 0.5f, 0}, 1, 0},
        {"huge coordinates", 1e6f, {1e10f, 3e9f, -1e9f}, 1, 0},
        {"steep triangles", 1, {10, 10, 10}, 60, 0},
        {"skinny triangles", 2, {-7, 3, 1}, 1, 0.99f},
    };
    for (const Kind &kind : kinds) {
        std::mt19937 rng(29);
        int settled[3] = {0, 0, 0};
        for (int n = 0; n < 300; ++n) {
            const math::Polygon face = random_triangle(kind, rng);
            const engine::PlanTriangle plan(face, face.PlaneCCW());
            for (const float3 &p : crowding(face, kind.size, rng)) {
                if (!under_bounds(face, p)) continue;
                const engine::PlanSide side = plan.side(p);
                ++settled[static_cast<int>(side)];
                if (side == engine::PlanSide::near) continue;
                ASSERT_EQ(side == engine::PlanSide::inside, crossings_inside(face, p))
                    << kind.what << ": triangle " << n << ", point " << p.SerializeToCodeString();
            }
        }
        EXPECT_GT(settled[static_cast<int>(engine::PlanSide::inside)], 0) << kind.what;
        EXPECT_GT(settled[static_cast<int>(engine::PlanSide::outside)], 0) << kind.what;
    }
}

// Shapes the bound does not cover settle nothing, whatever the point.
TEST(PlanTriangle, SettlesNothingOnFacesOutsideTheBound) {
    const float nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char *what;
        std::vector<float3> vertices;
    };
    const Case cases[] = {
        {"a quad", {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}},
        {"a vertical triangle", {{0, 0, 0}, {4, 0, 0}, {0, 0, 4}}},
        {"a nearly vertical triangle", {{0, 0, 0}, {4, 0, 0}, {0, 0.001f, 4}}},
        {"a first edge of no length", {{0, 0, 0}, {0, 0, 0}, {0, 4, 0}}},
        {"collinear vertices", {{0, 0, 0}, {1, 1, 0}, {3, 3, 0}}},
        {"a sliver", {{0, 0, 0}, {4, 0, 0}, {2, 1e-5f, 0}}},
        {"a NaN vertex", {{0, 0, 0}, {4, 0, 0}, {nan, 4, 0}}},
        {"an infinite vertex", {{0, 0, 0}, {4, 0, 0}, {0, inf, 0}}},
        {"beyond the largest coordinates", {{1e19f, 0, 0}, {1.1e19f, 0, 0}, {1e19f, 1e18f, 0}}},
    };
    for (const Case &c : cases) {
        math::Polygon face;
        face.vertices = c.vertices;
        const engine::PlanTriangle plan(face, face.PlaneCCW());
        for (const float3 &p : {float3(1, 0.5f, 0), float3(3.5f, 3.5f, 0), float3(1e19f, 1, 0), float3(-1, -1, 0)})
            EXPECT_EQ(engine::PlanSide::near, plan.side(p)) << c.what;
    }
}

// A point's height enters the bound: too far above, or not a number, it settles nothing.
TEST(PlanTriangle, SettlesNothingForPointsOfHugeOrNaNHeight) {
    math::Polygon face;
    face.vertices = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}};
    const engine::PlanTriangle plan(face, face.PlaneCCW());
    EXPECT_EQ(engine::PlanSide::inside, plan.side({1, 1, 5}));
    EXPECT_EQ(engine::PlanSide::outside, plan.side({3, 3, 5}));
    for (const float z : {1e19f, -1e19f, std::numeric_limits<float>::infinity(), std::nanf("")})
        EXPECT_EQ(engine::PlanSide::near, plan.side({1, 1, z})) << z;
}

}  // namespace
