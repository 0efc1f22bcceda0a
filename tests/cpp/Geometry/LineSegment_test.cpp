#include "Geometry/LineSegment.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
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

TEST(LineSegmentOracle, ClosestPointToAPointClampsToTheEnds) {
    Random random(31);
    for (int i = 0; i < 5000; ++i) {
        const LineSegment s(random.Point(), random.Point());
        const float3 p = random.Point();
        const Linear set = SegmentSet(s.a, s.b);
        const double t = set.Nearest(p);
        float d;
        const float3 c = s.ClosestPoint(p, d);
        EXPECT_NEAR(d, t, 1e-5) << i;
        EXPECT_TRUE(Near(c, set.At(t), 1e-4)) << i;
        const double distance = Distance(D3(p), set);
        EXPECT_NEAR(s.Distance(p), distance, 1e-4) << i;
        EXPECT_NEAR(s.DistanceSq(p), distance * distance, 1e-3) << i;
    }
}

TEST(LineSegmentOracle, ClosestPointsToRaysLinesAndSegmentsAreAsFarApartAsTheSets) {
    Random random(32);
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const LineSegment s(random.Point(), random.Point());
        const Ray ray(random.Point(), random.Direction());
        const Line line(random.Point(), random.Direction());
        const LineSegment other(random.Point(), random.Point());
        const Linear set = SegmentSet(s.a, s.b);
        ExpectClosestPair(s, set, ray, RaySet(ray.pos, ray.dir), 1e-3);
        ExpectClosestPair(s, set, line, LineSet(line.pos, line.dir), 1e-3);
        ExpectClosestPair(s, set, other, SegmentSet(other.a, other.b), 1e-3);
        const double distance = Distance(set, SegmentSet(other.a, other.b));
        EXPECT_NEAR(s.DistanceSq(other), distance * distance, 1e-2);
    }
}

// Coinciding ends divide 0 by 0: the parameter is then 1 and the point is b.
TEST(LineSegmentClosestPoint, ParameterClampsAndNanGoesToTheEndB) {
    struct Case { LineSegment s; float3 p; float d; float3 point; };
    const LineSegment s(float3(0, 0, 0), float3(4, 0, 0));
    const Case cases[] = {
        {s, float3(1, 3, 0), 0.25f, float3(1, 0, 0)},
        {s, float3(9, 1, 1), 1.f, float3(4, 0, 0)},
        {s, float3(-2, 1, 1), 0.f, float3(0, 0, 0)},
        {LineSegment(float3(1, 2, 3), float3(1, 2, 3)), float3(5, 5, 5), 1.f, float3(1, 2, 3)},
        {s, float3(kNaNF, 0, 0), 1.f, float3(4, 0, 0)},
    };
    for (const Case &c : cases) {
        float d = -7.f;
        const float3 point = c.s.ClosestPoint(c.p, d);
        EXPECT_EQ(Bits(d), Bits(c.d)) << c.p;
        EXPECT_TRUE(SameBits(point, c.point)) << c.p;
    }
    float d;
    EXPECT_EQ(LineSegment(float3(1, 2, 3), float3(1, 2, 3)).Distance(float3(1, 2, 7), d), 4.f);
    EXPECT_EQ(d, 1.f);
}

TEST(LineSegmentClosestPoint, ExactlyParallelSegmentsStartFromThisSegmentsA) {
    const LineSegment s(float3(0, 0, 0), float3(2, 0, 0));
    float d;
    float d2;
    // Overlapping: parameter 0 here and the projection of a on the other, inside it.
    s.ClosestPoint(LineSegment(float3(-1, 1, 0), float3(3, 1, 0)), d, d2);
    EXPECT_EQ(d, 0.f);
    EXPECT_EQ(d2, 0.25f);
    // Disjoint: the projection of a falls before the other's start, which clamps.
    const float3 c = s.ClosestPoint(LineSegment(float3(5, 1, 0), float3(7, 1, 0)), d, d2);
    EXPECT_EQ(d2, 0.f);
    EXPECT_EQ(d, 1.f);
    EXPECT_TRUE(SameBits(c, float3(2, 0, 0)));
}

TEST(LineSegmentContains, ThresholdsAreSquaredDistances) {
    const LineSegment s(float3(0, 0, 0), float3(10, 0, 0));
    struct Case { float3 p; bool contained; };
    const Case cases[] = {
        {float3(5, 0.09f, 0), true},
        {float3(5, 0.11f, 0), false},
        {float3(10.09f, 0, 0), true},
        {float3(-0.11f, 0, 0), false},
    };
    for (const Case &c : cases) EXPECT_EQ(s.Contains(c.p, 0.01f), c.contained) << c.p;
    EXPECT_TRUE(s.Contains(LineSegment(float3(1, 0.05f, 0), float3(9, 0, 0)), 0.01f));
    EXPECT_FALSE(s.Contains(LineSegment(float3(1, 0, 0), float3(11, 0, 0)), 0.01f));
}

TEST(LineSegmentDirection, ZeroLengthFallsBackToUnitX) {
    const LineSegment point(float3(2, 2, 2), float3(2, 2, 2));
    EXPECT_TRUE(SameBits(point.Dir(), float3(1, 0, 0)));
    EXPECT_TRUE(SameBits(point.ToRay().dir, float3(1, 0, 0)));
    EXPECT_TRUE(SameBits(point.ToLine().pos, float3(2, 2, 2)));
    const LineSegment s(float3(1, 1, 1), float3(1, 1, -2));
    EXPECT_TRUE(SameBits(s.Dir(), float3(0, 0, -1)));
    EXPECT_EQ(s.Length(), 3.f);
    EXPECT_EQ(s.LengthSq(), 9.f);
}

// Curve points: walk the segments by length and place with ToRay().GetPoint(t).
TEST(LineSegmentDirection, ToRayPlacesPointsByArcLength) {
    Random random(33);
    for (int i = 0; i < 500; ++i) {
        const LineSegment s(random.Point(), random.Point());
        const float t = random.Uniform(0.f, 1.f) * s.Length();
        const double length = Distance(D3(s.a), D3(s.b));
        const D3 expected = D3(s.a) + (D3(s.b) - D3(s.a)) * (t / length);
        EXPECT_TRUE(Near(s.ToRay().GetPoint(t), expected, 1e-4)) << i;
    }
}

TEST(LineSegmentEquals, EitherOrientation) {
    LineSegment s(float3(1, 2, 3), float3(4, 5, 6));
    LineSegment reversed = s;
    reversed.Reverse();
    EXPECT_TRUE(SameBits(reversed.a, s.b));
    EXPECT_TRUE(s.Equals(reversed, 1e-6f));
    EXPECT_TRUE(s.Equals(s, 1e-6f));
    EXPECT_FALSE(s.Equals(LineSegment(float3(1, 2, 3), float3(4, 5, 6.1f)), 1e-6f));
    EXPECT_FALSE(s.Equals(s, 0.f));  // strict comparison
}

TEST(LineSegmentPlane, CrossingOrTouchingMeansDistanceZero) {
    const Plane ground(float3(0, 0, 1), 0.f);
    struct Case { LineSegment s; float distance; bool intersects; };
    const Case cases[] = {
        {LineSegment(float3(0, 0, -1), float3(1, 1, 2)), 0.f, true},
        {LineSegment(float3(0, 0, 0), float3(1, 1, 2)), 0.f, true},
        {LineSegment(float3(0, 0, 3), float3(1, 1, 2)), 2.f, false},
        {LineSegment(float3(0, 0, -3), float3(1, 1, -5)), 3.f, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.s.Distance(ground), c.distance) << c.s;
        EXPECT_EQ(ground.Distance(c.s), c.distance) << c.s;
        EXPECT_EQ(c.s.Intersects(ground), c.intersects) << c.s;
    }
    float d = 0.f;
    EXPECT_TRUE(LineSegment(float3(0, 0, -1), float3(0, 0, 3)).Intersects(ground, &d));
    EXPECT_EQ(d, 0.25f);  // the 0..1 parameter
}

TEST(LineSegmentIntersects, SegmentsWithinEpsilon) {
    const LineSegment s(float3(0, 0, 0), float3(2, 0, 0));
    EXPECT_TRUE(s.Intersects(LineSegment(float3(1, -1, 0.05f), float3(1, 1, 0.05f)), 0.1f));
    EXPECT_FALSE(s.Intersects(LineSegment(float3(1, -1, 0.2f), float3(1, 1, 0.2f)), 0.1f));
}

TEST(LineSegmentMeasures, PointsExtremesAndAxisIntervals) {
    const LineSegment s(float3(1, 2, 3), float3(5, 2, -1));
    EXPECT_TRUE(SameBits(s.GetPoint(0.25f), float3(2, 2, 2)));
    EXPECT_TRUE(SameBits(s.GetPoint(2.f), float3(9, 2, -5)));  // not clamped
    EXPECT_TRUE(SameBits(s.CenterPoint(), float3(3, 2, 1)));

    float projection;
    EXPECT_TRUE(SameBits(s.ExtremePoint(float3(1, 0, 0), projection), s.b));
    EXPECT_EQ(projection, 5.f);
    EXPECT_TRUE(SameBits(s.ExtremePoint(float3(-1, 0, 0)), s.a));
    EXPECT_TRUE(SameBits(s.ExtremePoint(float3(0, 1, 0)), s.b));  // ties go to b
    EXPECT_TRUE(SameBits(s.ExtremePoint(float3(kNaNF, 0, 0)), s.a));

    struct Case { float3 axis; float dMin; float dMax; };
    const Case cases[] = {{float3(1, 0, 0), 1.f, 5.f}, {float3(-1, 0, 0), -5.f, -1.f}, {float3(0, 0, 1), -1.f, 3.f}};
    for (const Case &c : cases) {
        float dMin;
        float dMax;
        s.ProjectToAxis(c.axis, dMin, dMax);
        EXPECT_EQ(dMin, c.dMin) << c.axis;
        EXPECT_EQ(dMax, c.dMax) << c.axis;
    }
    EXPECT_TRUE(s.IsFinite());
    EXPECT_FALSE(LineSegment(s.a, float3(kInfF, 0, 0)).IsFinite());
}

TEST(LineSegmentConstruction, FromRaysAndLines) {
    const Ray ray(float3(1, 0, 0), float3(0, 1, 0));
    const LineSegment fromRay(ray, 3.f);
    EXPECT_TRUE(SameBits(fromRay.a, float3(1, 0, 0)));
    EXPECT_TRUE(SameBits(fromRay.b, float3(1, 3, 0)));
    const LineSegment fromLine(Line(float3(1, 0, 0), float3(0, 0, 2)), -1.f);
    EXPECT_TRUE(SameBits(fromLine.b, float3(1, 0, -2)));
}

// Segment parameters run 0..1 from a to b, also through the oriented box's local frame.
TEST(LineSegmentIntersects, BoxesGiveSegmentParameters) {
    const math::AABB aabb(float3(0, 0, 0), float3(2, 2, 2));
    const math::OBB obb(float3(1, 1, 1), float3(1, 1, 1), float3(0, 1, 0), float3(-1, 0, 0), float3(0, 0, 1));
    const LineSegment s(float3(1, 1, 1), float3(5, 1, 1));
    const LineSegment short_of(float3(3, 1, 1), float3(5, 1, 1));
    float dNear[2], dFar[2];
    EXPECT_TRUE(s.Intersects(aabb, dNear[0], dFar[0]));
    EXPECT_TRUE(s.Intersects(obb, dNear[1], dFar[1]));
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(dNear[k], 0.f, 1e-6f) << k;
        EXPECT_NEAR(dFar[k], 0.25f, 1e-6f) << k;
    }
    EXPECT_TRUE(s.Intersects(aabb) && s.Intersects(obb));
    EXPECT_FALSE(short_of.Intersects(aabb) || short_of.Intersects(obb) ||
                 short_of.Intersects(obb, dNear[1], dFar[1]));
}

TEST(LineSegmentTransform, AffineMatricesMapBothEndsAsPoints) {
    const LineSegment s(float3(1, 2, 3), float3(-1, 0, 2));
    const math::float3x4 m(math::float3x3(0, -1, 0, 1, 0, 0, 0, 0, 2), float3(1, -1, 5));
    LineSegment moved = s;
    moved.Transform(m);
    for (const LineSegment &mapped : {moved, m * s}) {
        EXPECT_TRUE(SameBits(mapped.a, float3(-1, 0, 11)));
        EXPECT_TRUE(SameBits(mapped.b, float3(1, -2, 9)));
    }
}

TEST(LineSegmentTransform, BothEndsAreMapped) {
    const LineSegment s(float3(1, 2, 3), float3(-1, 0, 2));
    const math::float3x3 m(0, -1, 0, 1, 0, 0, 0, 0, 2);
    LineSegment moved = s;
    moved.Transform(m);
    EXPECT_TRUE(SameBits(moved.a, float3(-2, 1, 6)));
    EXPECT_TRUE(SameBits(moved.b, float3(0, -1, 4)));
    EXPECT_TRUE(SameBits((m * s).b, moved.b));

    const math::Quat q = math::Quat::RotateY(0.3f);
    LineSegment rotated = s;
    rotated.Transform(q);
    EXPECT_TRUE(SameBits(rotated.a, q * s.a));
    EXPECT_TRUE(SameBits((q * s).b, q * s.b));

    moved = s;
    moved.Translate(float3(1, 1, 1));
    EXPECT_TRUE(SameBits(moved.a, float3(2, 3, 4)));
    EXPECT_TRUE(SameBits(moved.b, float3(0, 1, 3)));
}

TEST(LineSegmentText, TwoDecimalsAndFullExtremeValues) {
    const LineSegment s(float3(1, -2.5f, kNaNF), float3(-kNaNF, kInfF, 0.004f));
    EXPECT_EQ(s.ToString(), "LineSegment(a:(1.00, -2.50, nan) b:(nan, inf, 0.00))");
    std::ostringstream out;
    out << s;
    EXPECT_EQ(out.str(), s.ToString());

    const LineSegment huge(float3(-FLT_MAX, -FLT_MAX, -FLT_MAX), float3(-FLT_MAX, -FLT_MAX, -FLT_MAX));
    char expected[512];
    std::snprintf(expected, sizeof expected, "LineSegment(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f))", -FLT_MAX,
                  -FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX);
    EXPECT_GT(std::string(expected).size(), 256u);
    EXPECT_EQ(huge.ToString(), expected);
}

TEST(LineSegmentTriangle, IntersectionForwardsToTheTriangleAndPolygon) {
    const Triangle t(float3(0, 0, 0), float3(4, 0, 0), float3(0, 4, 0));
    float d = 0.f;
    float3 hit(0, 0, 0);
    ASSERT_TRUE(LineSegment(float3(1, 1, 1), float3(1, 1, -3)).Intersects(t, &d, &hit));
    EXPECT_EQ(d, 0.25f);
    EXPECT_TRUE(Near(hit, D3(1, 1, 0), 1e-6));
    EXPECT_FALSE(LineSegment(float3(1, 1, 1), float3(1, 1, 3)).Intersects(t, nullptr, nullptr));

    Polygon square;
    square.vertices = {float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0), float3(0, 2, 0)};
    EXPECT_TRUE(LineSegment(float3(1, 1, 1), float3(1, 1, -1)).Intersects(square));
    EXPECT_FALSE(LineSegment(float3(1, 1, 1), float3(1, 1, 3)).Intersects(square));
}
