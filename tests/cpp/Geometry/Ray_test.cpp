#include "Geometry/Ray.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "geometry_oracle.h"

using math::float3;
using math::Line;
using math::LineSegment;
using math::Plane;
using math::Polygon;
using math::Ray;
using math::Triangle;
using namespace oracle;

TEST(RayOracle, ClosestPointToAPointStopsAtTheOrigin) {
    Random random(21);
    for (int i = 0; i < 2000; ++i) {
        const Ray ray(random.Point(), random.Direction());
        const float3 p = random.Point();
        float d;
        const float3 c = ray.ClosestPoint(p, d);
        const double t = std::max(0.0, Dot(D3(p) - D3(ray.pos), D3(ray.dir)));
        EXPECT_NEAR(d, t, 1e-4);
        EXPECT_GE(d, 0.f);
        EXPECT_TRUE(Near(c, D3(ray.pos) + D3(ray.dir) * t, 1e-4));
        EXPECT_NEAR(ray.Distance(p), Distance(D3(p), RaySet(ray.pos, ray.dir)), 1e-4);
    }
}

TEST(RayOracle, ClosestPointsToLinesRaysAndSegmentsAreAsFarApartAsTheSets) {
    Random random(22);
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const Ray ray(random.Point(), random.Direction());
        const Line line(random.Point(), random.Direction());
        const Ray other(random.Point(), random.Direction());
        const LineSegment segment(random.Point(), random.Point());
        const Linear set = RaySet(ray.pos, ray.dir);
        ExpectClosestPair(ray, set, line, LineSet(line.pos, line.dir), 1e-3);
        ExpectClosestPair(ray, set, other, RaySet(other.pos, other.dir), 1e-3);
        ExpectClosestPair(ray, set, segment, SegmentSet(segment.a, segment.b), 1e-3);
    }
}

TEST(RayClosestPoint, PointsBehindTheOriginAndUnclampedGetPoint) {
    const Ray ray(float3(1, 1, 1), float3(1, 0, 0));
    float d = 5.f;
    EXPECT_TRUE(SameBits(ray.ClosestPoint(float3(-3, 2, 1), d), float3(1, 1, 1)));
    EXPECT_EQ(d, 0.f);
    EXPECT_TRUE(SameBits(ray.GetPoint(-1.f), float3(0, 1, 1)));
    Line(ray).ClosestPoint(float3(-3, 2, 1), d);
    EXPECT_EQ(d, -4.f);
}

TEST(RayClosestPoint, BothCarriersMeetingBehindTheOriginsPickTheNearerPairing) {
    struct Case { Ray self; Ray other; float d; float d2; float3 point; };
    const Ray alongX(float3(0, 0, 0), float3(1, 0, 0));
    const Ray slanted(float3(1, 1, 4), float3(0.6f, 0, 0.8f));  // its carrier meets x at -2, 5 back
    const Case cases[] = {
        {alongX, slanted, 1.f, 0.f, float3(1, 0, 0)},    // the foot of the other origin wins
        {slanted, alongX, 0.f, 1.f, float3(1, 1, 4)},    // this origin wins
        {alongX, Ray(float3(-3, 1, 1), float3(0, 0, 1)), 0.f, 0.f, float3(0, 0, 0)},  // a tie
    };
    for (const Case &c : cases) {
        float d;
        float d2;
        const float3 p = c.self.ClosestPoint(c.other, d, d2);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(d2, c.d2);
        EXPECT_TRUE(SameBits(p, c.point));
    }
}

TEST(RayEquals, DirectionsMustAgree) {
    const Ray ray(float3(1, 2, 3), float3(0, 1, 0));
    EXPECT_TRUE(ray.Equals(Ray(float3(1, 2, 3.000001f), float3(0, 1, 0)), 1e-5f));
    EXPECT_FALSE(ray.Equals(Ray(float3(1, 2, 3), float3(0, -1, 0)), 1e-5f));
    EXPECT_FALSE(ray.Equals(Ray(float3(1, 3, 3), float3(0, 1, 0)), 1e-5f));
}

TEST(RayContains, ThresholdsAreSquaredAndTheOriginBounds) {
    const Ray ray(float3(0, 0, 0), float3(1, 0, 0));
    struct Case { float3 p; bool contained; };
    const Case cases[] = {
        {float3(5, 0.09f, 0), true},
        {float3(5, 0.11f, 0), false},
        {float3(-0.09f, 0, 0), true},
        {float3(-1, 0, 0), false},  // on the carrier, behind the origin
    };
    for (const Case &c : cases) EXPECT_EQ(ray.Contains(c.p, 0.01f), c.contained) << c.p;
    EXPECT_TRUE(ray.Contains(LineSegment(float3(1, 0, 0), float3(3, 0.05f, 0)), 0.01f));
    EXPECT_FALSE(ray.Contains(LineSegment(float3(-1, 0, 0), float3(3, 0, 0)), 0.01f));
}

TEST(RayProjectToAxis, OpenOnTheSideTheRayRunsTo) {
    struct Case { float3 dir; float dMin; float dMax; };
    const float3 axis(0, 0, 1);
    const Case cases[] = {
        {float3(0, 0, -1), -kInfF, 3.f},
        {float3(0, 0, 1), 3.f, kInfF},
        {float3(1, 0, 0), 3.f, 3.f},
        {float3(1, 0, 0.00005f), 3.f, 3.f},  // within the 0.0001 tolerance
    };
    for (const Case &c : cases) {
        float dMin;
        float dMax;
        Ray(float3(1, 2, 3), c.dir).ProjectToAxis(axis, dMin, dMax);
        EXPECT_EQ(dMin, c.dMin) << c.dir;
        EXPECT_EQ(dMax, c.dMax) << c.dir;
    }
}

TEST(RayIntersects, PlaneHitsBehindTheOriginFailButWriteTheParameter) {
    const Plane ground(float3(0, 0, 1), 0.f);
    float d = 0.f;
    EXPECT_FALSE(Ray(float3(0, 0, 2), float3(0, 0, 1)).Intersects(ground, &d));
    EXPECT_EQ(d, -2.f);
    EXPECT_TRUE(Ray(float3(0, 0, 2), float3(0, 0, -1)).Intersects(ground, &d));
    EXPECT_EQ(d, 2.f);
    EXPECT_TRUE(Ray(float3(0, 0, 2), float3(0, 0, -1)).Intersects(ground));
    EXPECT_FALSE(Ray(float3(0, 0, 2), float3(0, 0, 1)).Intersects(ground));
}

// A ray from the box's centre starts inside: dNear is 0, not the line's -1.
TEST(RayIntersects, BoxesGiveTheParametersOfThePartInside) {
    const math::AABB aabb(float3(0, 0, 0), float3(2, 2, 2));
    const math::OBB obb(float3(1, 1, 1), float3(1, 1, 1), float3(0, 1, 0), float3(-1, 0, 0), float3(0, 0, 1));
    const Ray inside(float3(1, 1, 1), float3(1, 0, 0));
    const Ray away(float3(3, 1, 1), float3(1, 0, 0));
    float dNear[2], dFar[2];
    EXPECT_TRUE(inside.Intersects(aabb, dNear[0], dFar[0]));
    EXPECT_TRUE(inside.Intersects(obb, dNear[1], dFar[1]));
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(dNear[k], 0.f, 1e-6f) << k;
        EXPECT_NEAR(dFar[k], 1.f, 1e-6f) << k;
    }
    EXPECT_TRUE(inside.Intersects(aabb) && inside.Intersects(obb));
    EXPECT_FALSE(away.Intersects(aabb) || away.Intersects(obb) || away.Intersects(obb, dNear[1], dFar[1]));
    EXPECT_TRUE(Ray(away.pos, -away.dir).Intersects(obb));
}

TEST(RayTransform, AffineProductRenormalisesTheTransformDoesNot) {
    const Ray ray(float3(1, 2, 3), float3(0, 0, 1));
    const math::float3x4 m(math::float3x3(2, 0, 0, 0, 3, 0, 0, 0, 4), float3(1, -1, 5));
    Ray moved = ray;
    moved.Transform(m);
    EXPECT_TRUE(SameBits(moved.pos, float3(3, 5, 17)));
    EXPECT_TRUE(SameBits(moved.dir, float3(0, 0, 4)));
    const Ray product = m * ray;
    EXPECT_TRUE(SameBits(product.pos, float3(3, 5, 17)));
    EXPECT_TRUE(SameBits(product.dir, float3(0, 0, 1)));
}

TEST(RayTransform, TheMatrixProductRenormalisesTheTransformDoesNot) {
    const Ray ray(float3(1, 2, 3), float3(0, 0, 1));
    const math::float3x3 scale(2, 0, 0, 0, 3, 0, 0, 0, 4);
    Ray scaled = ray;
    scaled.Transform(scale);
    EXPECT_TRUE(SameBits(scaled.pos, float3(2, 6, 12)));
    EXPECT_TRUE(SameBits(scaled.dir, float3(0, 0, 4)));
    const Ray product = scale * ray;
    EXPECT_TRUE(SameBits(product.pos, float3(2, 6, 12)));
    EXPECT_TRUE(SameBits(product.dir, float3(0, 0, 1)));

    const math::Quat q = math::Quat::RotateX(1.1f);
    EXPECT_TRUE(SameBits((q * ray).dir, q.Transform(ray.dir)));
    Ray rotated = ray;
    rotated.Transform(q);
    EXPECT_TRUE(SameBits(rotated.pos, q.Transform(ray.pos)));
}

TEST(RayConstruction, ConversionsKeepPositionAndDirection) {
    const Ray fromSegment(LineSegment(float3(1, 1, 1), float3(1, 4, 1)));
    EXPECT_TRUE(SameBits(fromSegment.dir, float3(0, 1, 0)));
    const Ray fromLine(Line(float3(1, 2, 3), float3(0, 2, 0)));
    EXPECT_TRUE(SameBits(fromLine.ToLine().dir, float3(0, 2, 0)));
    const LineSegment back = fromSegment.ToLineSegment(-1.f, 2.f);
    EXPECT_TRUE(SameBits(back.a, float3(1, 0, 1)));
    EXPECT_TRUE(SameBits(back.b, float3(1, 3, 1)));
    EXPECT_TRUE(SameBits(fromSegment.ToLineSegment(2.f).b, float3(1, 3, 1)));
    EXPECT_FALSE(Ray(float3(kNaNF, 0, 0), float3(1, 0, 0)).IsFinite());
}

TEST(RayText, NamedRayWithTheLineLayout) {
    const Ray ray(float3(1, -2.5f, -kNaNF), float3(0, 1, 0));
    EXPECT_EQ(ray.ToString(), "Ray(Pos:(1.00, -2.50, nan) Dir:(0.000, 1.000, 0.000))");
    std::ostringstream out;
    out << ray;
    EXPECT_EQ(out.str(), ray.ToString());

    const Ray huge(float3(FLT_MAX, FLT_MAX, FLT_MAX), float3(-FLT_MAX, -FLT_MAX, -FLT_MAX));
    char expected[512];
    std::snprintf(expected, sizeof expected, "Ray(Pos:(%.2f, %.2f, %.2f) Dir:(%.3f, %.3f, %.3f))", FLT_MAX, FLT_MAX,
                  FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX);
    EXPECT_EQ(huge.ToString(), expected);
}

TEST(RayTriangle, OnlyHitsInFrontOfTheOriginCount) {
    const Triangle t(float3(0, 0, 0), float3(4, 0, 0), float3(0, 4, 0));
    struct Case { Ray ray; bool hit; };
    const Case cases[] = {
        {Ray(float3(1, 1, 5), float3(0, 0, -1)), true},
        {Ray(float3(1, 1, 5), float3(0, 0, 1)), false},  // the triangle lies behind the origin
        {Ray(float3(5, 5, 5), float3(0, 0, -1)), false},
        {Ray(float3(1, 1, 0), float3(0, 0, 1)), true},  // starting on it
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.ray.Intersects(t), c.hit) << c.ray;
        EXPECT_EQ(c.ray.Intersects(t, nullptr, nullptr), c.hit) << c.ray;
    }
    float d = 0.f;
    float3 hit(0, 0, 0);
    ASSERT_TRUE(Ray(float3(1, 1, 5), float3(0, 0, -1)).Intersects(t, &d, &hit));
    EXPECT_EQ(d, 5.f);
    EXPECT_TRUE(Near(hit, D3(1, 1, 0), 1e-6));

    Polygon square;
    square.vertices = {float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0), float3(0, 2, 0)};
    EXPECT_TRUE(Ray(float3(1, 1, 5), float3(0, 0, -1)).Intersects(square));
    EXPECT_FALSE(Ray(float3(1, 1, 5), float3(0, 0, 1)).Intersects(square));
}
