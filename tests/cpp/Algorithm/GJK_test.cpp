#include "Algorithm/GJK.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Math/float3x3.h"
#include "log_capture.h"

using math::AABB;
using math::float3;
using math::GJKIntersect;
using math::OBB;
using math::Polygon;
using math::UpdateSimplex;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

Polygon MakePolygon(std::vector<float3> vertices) {
    Polygon polygon;
    polygon.vertices = std::move(vertices);
    return polygon;
}

AABB Scaled(const AABB &box, float s) { return AABB(box.minCorner * s, box.maxCorner * s); }

}  // namespace

TEST(UpdateSimplexTest, SegmentTowardsTheOrigin) {
    float3 s[4] = {{-1, 1, 0}, {1, 1, 0}};
    int n = 2;
    const float3 d = UpdateSimplex(s, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(d.x, 0.f);
    EXPECT_LT(d.y, 0.f);  // from the segment down to the origin
    EXPECT_EQ(d.z, 0.f);

    float3 through[4] = {{-1, 0, 0}, {2, 0, 0}};
    n = 2;
    EXPECT_TRUE(UpdateSimplex(through, n).BitEquals(float3::zero));
    EXPECT_EQ(n, 0);
}

// The segment bound is a distance from the origin, whatever the segment's length: a short
// segment 0.001 away still points the search at the origin, one 0.0001 away touches it.
TEST(UpdateSimplexTest, SegmentBoundIsADistance) {
    for (float length : {1e-3f, 1.f, 1e3f}) {
        SCOPED_TRACE(length);
        for (float away : {1e-3f, 1e-4f}) {
            float3 s[4] = {float3(-length, away, 0), float3(length, away, 0)};
            int n = 2;
            const float3 d = UpdateSimplex(s, n);
            EXPECT_EQ(n, away > 1e-3f * 0.5f ? 2 : 0);
            if (n == 2) {
                EXPECT_LT(d.y, 0.f);
            }
        }
    }
}

TEST(UpdateSimplexTest, TriangleRegions) {
    struct Case {
        const char *name;
        float3 s[3];
        int n;
        float3 first;  // s[0] afterwards
    } cases[] = {
        {"origin in the plane, inside", {{-1, -1, 0}, {2, -1, 0}, {-1, 2, 0}}, 0, {-1, -1, 0}},
        {"normal towards the origin: kept", {{-1, -1, -1}, {2, -1, -1}, {-1, 2, -1}}, 3, {-1, -1, -1}},
        {"normal away: s0 and s1 swapped", {{-1, -1, -1}, {-1, 2, -1}, {2, -1, -1}}, 3, {-1, 2, -1}},
        {"beyond edge s1 s2", {{5, 5, 0}, {2, 0, 0}, {0, 2, 0}}, 2, {2, 0, 0}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        float3 s[4] = {c.s[0], c.s[1], c.s[2]};
        int n = 3;
        const float3 d = UpdateSimplex(s, n);
        EXPECT_EQ(n, c.n);
        EXPECT_TRUE(s[0].BitEquals(c.first));
        if (n == 3) {
            EXPECT_GT(d.Dot(-s[2]), 0.f);  // the direction faces the origin
        }
    }
    // A NaN height takes the swapping branch.
    float3 s[4] = {{-1, -1, kNaN}, {2, -1, -1}, {-1, 2, -1}};
    int n = 3;
    UpdateSimplex(s, n);
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(s[0].BitEquals(float3(2, -1, -1)));
}

TEST(UpdateSimplexTest, TetrahedronAroundTheOrigin) {
    float3 s[4] = {{-1, -1, -1}, {2, -1, -1}, {-1, 2, -1}, {0, 0, 2}};
    int n = 4;
    std::string log = StderrOf([&] { EXPECT_TRUE(UpdateSimplex(s, n).BitEquals(float3::zero)); });
    EXPECT_EQ(n, 0);
    EXPECT_EQ(log, "");
    // The wrong winding breaks the expected orientation of two faces.
    float3 w[4] = {{-1, -1, -1}, {-1, 2, -1}, {2, -1, -1}, {0, 0, 2}};
    n = 4;
    log = StderrOf([&] { UpdateSimplex(w, n); });
    EXPECT_EQ(WithoutStackLines(log),
              "Error: Dot(tri013Normal, d02) <= 0.f in Algorithm/GJK:248\n"
              "Error: Dot(tri023Normal, d01) <= 0.f in Algorithm/GJK:249\n"
              "Error: Dot(tri123Normal, -d02) <= 0.f in Algorithm/GJK:270\n");
}

TEST(GJKTest, BoxVerdicts) {
    const AABB unit(float3(0, 0, 0), float3(1, 1, 1));
    struct Case {
        const char *name;
        AABB other;
        bool expected;
    } cases[] = {
        {"overlapping", AABB(float3(0.5f, 0.5f, 0.5f), float3(2, 2, 2)), true},
        {"touching faces", AABB(float3(1, 0, 0), float3(2, 1, 1)), true},
        {"touching edges", AABB(float3(1, 1, -1), float3(2, 2, 2)), true},
        {"touching corners", AABB(float3(1, 1, 1), float3(2, 2, 2)), true},
        {"inside", AABB(float3(0.2f, 0.2f, 0.2f), float3(0.4f, 0.4f, 0.4f)), true},
        {"apart", AABB(float3(1.1f, 0, 0), float3(2, 1, 1)), false},
        {"far", AABB(float3(50, 60, 70), float3(51, 61, 71)), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(GJKIntersect(unit, c.other), c.expected) << c.name;
        EXPECT_EQ(GJKIntersect(c.other, unit), c.expected) << c.name;
        EXPECT_EQ(GJKIntersect(OBB(unit), OBB(c.other)), c.expected) << c.name;
    }
}

// Two small boxes 0.01 apart along z: an absolute bound on the segment step took them for
// touching below a size of about 0.05.
TEST(GJKTest, SmallSeparatedBoxesAtEveryScale) {
    const AABB a(float3(0, 0, 0), float3(0.03f, 0.03f, 0.03f));
    const AABB b(float3(0.03f, 0.02f, -0.02f), float3(0.05f, 0.04f, -0.01f));
    for (float scale : {0.1f, 0.5f, 1.f, 10.f, 100.f, 1000.f, 1e5f}) {
        EXPECT_FALSE(GJKIntersect(Scaled(a, scale), Scaled(b, scale))) << scale;
        EXPECT_FALSE(GJKIntersect(Scaled(b, scale), Scaled(a, scale))) << scale;
        const AABB touching(float3(0.03f, 0.02f, -0.02f) * scale, float3(0.05f, 0.04f, 0.f) * scale);
        EXPECT_TRUE(GJKIntersect(Scaled(a, scale), touching)) << scale;
    }
}

TEST(GJKTest, EmptyAndNaNShapesNeverIntersect) {
    const AABB box(float3(0, 0, 0), float3(1, 1, 1));
    const AABB far(float3(100, 100, 100), float3(101, 101, 101));
    EXPECT_FALSE(GJKIntersect(Polygon(), box));
    EXPECT_FALSE(Polygon().ConvexIntersects(box));
    EXPECT_FALSE(Polygon().ConvexIntersects(OBB(box)));
    EXPECT_FALSE(Polygon().Intersects(box));
    const Polygon withNaN = MakePolygon({{0, 0, 0}, {1, 0, 0}, {kNaN, 1, 0}});
    EXPECT_FALSE(withNaN.ConvexIntersects(far));
    EXPECT_FALSE(withNaN.ConvexIntersects(OBB(far)));
    EXPECT_FALSE(GJKIntersect(AABB(float3(kNaN, 0, 0), float3(1, 1, 1)), box));
    EXPECT_FALSE(GJKIntersect(box, AABB(far.minCorner, float3(101, kNaN, 101))));
}

// The oriented box is the axis-aligned one turned about its centre; each polygon turned with
// it must get the same verdict.
TEST(GJKTest, PolygonAgainstBoxes) {
    const AABB box(float3(0, 0, 0), float3(2, 2, 2));
    const float3 center(1, 1, 1);
    const math::float3x3 r = math::float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.5f);
    const OBB turned(center, float3(1, 1, 1), r.Col(0), r.Col(1), r.Col(2));
    struct Case {
        const char *name;
        Polygon polygon;
        bool expected;
    } cases[] = {
        {"over the minimum corner", MakePolygon({{0.1f, 0.1f, 0.1f}, {-1, 0.1f, 0.1f}, {0.1f, -1, 0.1f}}), true},
        {"crossing", MakePolygon({{-1, 1, 1}, {3, 1, 1}, {3, 1.5f, 1}}), true},
        {"inside", MakePolygon({{0.5f, 0.5f, 1}, {1.5f, 0.5f, 1}, {1, 1.5f, 1}}), true},
        {"around a box edge", MakePolygon({{-1, 2.5f, 1}, {2.5f, -1, 1}, {2.5f, 2.5f, 1}}), true},
        {"far", MakePolygon({{10, 10, 10}, {11, 10, 10}, {10, 11, 10}}), false},
        {"beside", MakePolygon({{-3, 0, 0}, {-2.5f, 0, 0}, {-2.5f, 2, 2}}), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.polygon.ConvexIntersects(box), c.expected);
        EXPECT_EQ(c.polygon.Intersects(box), c.expected);
        EXPECT_EQ(box.Intersects(c.polygon), c.expected);
        Polygon moved = c.polygon;
        for (float3 &v : moved.vertices) v = center + r * (v - center);
        EXPECT_EQ(moved.ConvexIntersects(turned), c.expected);
        EXPECT_EQ(moved.Intersects(turned), c.expected);
        EXPECT_EQ(turned.Intersects(moved), c.expected);
    }
    // The polygon's first vertex on the box's minimum corner: contact before any support step.
    EXPECT_TRUE(MakePolygon({{0, 0, 0}, {-1, 0, 0}, {0, -1, 0}}).ConvexIntersects(box));
}

// GJK takes the polygon as its convex hull; the edge tests then reject a concave outline whose
// notch holds the box.
TEST(GJKTest, EdgeTestsDecideAfterContact) {
    const AABB box(float3(0.8f, 0.8f, -0.1f), float3(1.2f, 1.2f, 0.1f));
    const Polygon notch = MakePolygon({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1.9f, 2, 0}, {1.9f, 0.1f, 0}, {0.1f, 0.1f, 0},
                                       {0.1f, 2, 0}, {0, 2, 0}});
    EXPECT_TRUE(notch.ConvexIntersects(box));
    EXPECT_FALSE(notch.Intersects(box));
    EXPECT_FALSE(box.Intersects(notch));
}
