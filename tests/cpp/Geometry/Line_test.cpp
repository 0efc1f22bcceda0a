#include "Geometry/Line.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/LineSegment.h"
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

TEST(LineOracle, ClosestPointToAPointIsTheOrthogonalFoot) {
    Random random(11);
    for (int i = 0; i < 2000; ++i) {
        const Line line(random.Point(), random.Direction());
        const float3 p = random.Point();
        float d;
        const float3 c = line.ClosestPoint(p, d);
        const D3 dir(line.dir);
        const double t = Dot(D3(p) - D3(line.pos), dir);
        EXPECT_NEAR(d, t, 1e-4);
        EXPECT_TRUE(Near(c, D3(line.pos) + dir * t, 1e-4));
        EXPECT_NEAR(line.Distance(p), Distance(D3(p), LineSet(line.pos, line.dir)), 1e-4);
    }
}

TEST(LineOracle, ClosestPointsToLinesRaysAndSegmentsAreAsFarApartAsTheSets) {
    Random random(12);
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const Line line(random.Point(), random.Direction());
        const Line other(random.Point(), random.Direction());
        const Ray ray(random.Point(), random.Direction());
        const LineSegment segment(random.Point(), random.Point());
        const Linear set = LineSet(line.pos, line.dir);
        ExpectClosestPair(line, set, other, LineSet(other.pos, other.dir), 1e-3);
        ExpectClosestPair(line, set, ray, RaySet(ray.pos, ray.dir), 1e-3);
        ExpectClosestPair(line, set, segment, SegmentSet(segment.a, segment.b), 1e-3);
    }
}

TEST(LineOracle, ClosestPointLineLineSolvesInUnitsOfEachDirection) {
    Random random(13);
    for (int i = 0; i < 2000; ++i) {
        const float3 s0 = random.Point(), u = random.Point(2.f), s1 = random.Point(), v = random.Point(2.f);
        float d;
        float d2;
        Line::ClosestPointLineLine(s0, u, s1, v, d, d2);
        // The connecting vector is perpendicular to both directions.
        const D3 w = (D3(s0) + D3(u) * d) - (D3(s1) + D3(v) * d2);
        const double scale = Length(w) + 1.0;
        EXPECT_NEAR(Dot(w, u) / Length(u), 0.0, 2e-3 * scale) << i;
        EXPECT_NEAR(Dot(w, v) / Length(v), 0.0, 2e-3 * scale) << i;
    }
}

TEST(LineClosestPointLineLine, ParallelAndZeroDirections) {
    float d;
    float d2;
    // Exactly parallel: d = 0 and d2 the projection of start0 onto the second line.
    Line::ClosestPointLineLine(float3(1, 2, 0), float3(1, 0, 0), float3(5, 0, 0), float3(2, 0, 0), d, d2);
    EXPECT_EQ(d, 0.f);
    EXPECT_EQ(d2, -2.f);
    // A second direction of length 0 divides by 0.
    Line::ClosestPointLineLine(float3(1, 2, 0), float3(1, 0, 0), float3(5, 0, 0), float3(0, 0, 0), d, d2);
    EXPECT_EQ(d, 0.f);
    EXPECT_FALSE(std::isfinite(d2));
}

TEST(LineClosestPoint, ParametersAreClampedOnTheOtherObjectOnly) {
    const Line line(float3(0, 0, 0), float3(1, 0, 0));
    float d;
    float d2;
    // The ray (0, 1, 5) -> +z meets the line's carrier behind its origin: d2 clamps to 0.
    const float3 toRay = line.ClosestPoint(Ray(float3(3, 1, 5), float3(0, 0, 1)), d, d2);
    EXPECT_EQ(d2, 0.f);
    EXPECT_EQ(d, 3.f);
    EXPECT_TRUE(SameBits(toRay, float3(3, 0, 0)));
    // The segment's carrier crosses beyond b: d2 clamps to 1 and d is b's foot.
    const float3 toSegment = line.ClosestPoint(LineSegment(float3(-2, 1, -3), float3(-2, 1, -1)), d, d2);
    EXPECT_EQ(d2, 1.f);
    EXPECT_EQ(d, -2.f);
    EXPECT_TRUE(SameBits(toSegment, float3(-2, 0, 0)));
}

TEST(LineContains, ThresholdsAreSquaredDistances) {
    const Line line(float3(0, 0, 0), float3(1, 0, 0));
    struct Case { float3 p; float threshold; bool contained; };
    const Case cases[] = {
        {float3(5, 0.09f, 0), 0.01f, true},   // 0.0081 <= 0.01
        {float3(5, 0.11f, 0), 0.01f, false},  // 0.0121 > 0.01
        {float3(-50, 0, 0.5f), 0.25f, true},
    };
    for (const Case &c : cases) EXPECT_EQ(line.Contains(c.p, c.threshold), c.contained) << c.p;
    EXPECT_TRUE(line.Contains(LineSegment(float3(-1, 0.05f, 0), float3(7, 0, 0.05f)), 0.01f));
    EXPECT_FALSE(line.Contains(LineSegment(float3(-1, 0.05f, 0), float3(7, 0, 0.2f)), 0.01f));
}

TEST(LineContains, ARayMustPointAlongTheLine) {
    const Line line(float3(0, 0, 0), float3(1, 0, 0));
    EXPECT_TRUE(line.Contains(Ray(float3(4, 0, 0), float3(1, 0, 0)), 1e-4f));
    EXPECT_FALSE(line.Contains(Ray(float3(4, 0, 0), float3(-1, 0, 0)), 1e-4f));
    EXPECT_FALSE(line.Contains(Ray(float3(4, 1, 0), float3(1, 0, 0)), 1e-4f));
}

TEST(LineEquals, OppositeDirectionsThroughTheSamePointsAreEqual) {
    const Line line(float3(1, 2, 3), float3(0, 1, 0));
    EXPECT_TRUE(line.Equals(Line(float3(1, -7, 3), float3(0, -1, 0)), 1e-5f));
    EXPECT_TRUE(line.Equals(Line(float3(1, 9, 3), float3(0, 1, 0)), 1e-5f));
    EXPECT_FALSE(line.Equals(Line(float3(1, 9, 3.1f), float3(0, 1, 0)), 1e-5f));
    EXPECT_FALSE(line.Equals(Line(float3(1, 2, 3), float3(1, 0, 0)), 1e-5f));
}

TEST(LineProjectToAxis, UnboundedUnlessPerpendicular) {
    const Line line(float3(1, 2, 3), float3(0, 1, 0));
    float dMin;
    float dMax;
    line.ProjectToAxis(float3(1, 0, 0), dMin, dMax);
    EXPECT_EQ(dMin, 1.f);
    EXPECT_EQ(dMax, 1.f);
    line.ProjectToAxis(float3(0, 0.6f, 0.8f), dMin, dMax);
    EXPECT_EQ(dMin, -kInfF);
    EXPECT_EQ(dMax, kInfF);
}

TEST(LineConstruction, ConversionsKeepPositionAndDirection) {
    const Ray ray(float3(1, 2, 3), float3(0, 0, 2));
    const Line fromRay(ray);
    EXPECT_TRUE(SameBits(fromRay.pos, ray.pos));
    EXPECT_TRUE(SameBits(fromRay.dir, ray.dir));  // never normalised
    EXPECT_TRUE(SameBits(fromRay.ToRay().dir, ray.dir));

    const Line fromSegment(LineSegment(float3(1, 1, 1), float3(1, 1, 4)));
    EXPECT_TRUE(SameBits(fromSegment.pos, float3(1, 1, 1)));
    EXPECT_TRUE(SameBits(fromSegment.dir, float3(0, 0, 1)));
    EXPECT_TRUE(SameBits(Line(LineSegment(float3(1, 1, 1), float3(1, 1, 1))).dir, float3(1, 0, 0)));

    const Line line(float3(0, 1, 0), float3(1, 0, 0));
    const LineSegment to3 = line.ToLineSegment(3.f);
    EXPECT_TRUE(SameBits(to3.a, float3(0, 1, 0)));
    EXPECT_TRUE(SameBits(to3.b, float3(3, 1, 0)));
    const LineSegment between = line.ToLineSegment(-1.f, 2.f);
    EXPECT_TRUE(SameBits(between.a, float3(-1, 1, 0)));
    EXPECT_TRUE(SameBits(between.b, float3(2, 1, 0)));
    EXPECT_TRUE(Line::AreCollinear(float3(0, 0, 0), float3(1, 1, 1), float3(3, 3, 3), 1e-6f));
    EXPECT_FALSE(Line::AreCollinear(float3(0, 0, 0), float3(1, 1, 1), float3(3, 3, 3.1f), 1e-6f));
}

TEST(LineIsFinite, EveryComponentCounts) {
    EXPECT_TRUE(Line(float3(1, 2, 3), float3(0, 0, 1)).IsFinite());
    EXPECT_FALSE(Line(float3(1, kInfF, 3), float3(0, 0, 1)).IsFinite());
    EXPECT_FALSE(Line(float3(1, 2, 3), float3(0, kNaNF, 1)).IsFinite());
}

TEST(LineIntersects, PlaneHitGivesTheParameter) {
    // The engine's drop: a vertical line down onto a face plane.
    const Line drop(float3(2, 3, 10), float3(0, 0, -1));
    const Plane face(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0));
    float d = -1.f;
    ASSERT_TRUE(drop.Intersects(face, &d));
    EXPECT_EQ(d, 10.f);
    EXPECT_TRUE(SameBits(drop.GetPoint(d), float3(2, 3, 0)));
    EXPECT_FALSE(Line(float3(0, 0, 1), float3(1, 0, 0)).Intersects(face, &d));
    EXPECT_EQ(d, 0.f);
}

// A line through the box's centre enters behind its position; the same box as an oriented box
// (turned a quarter about z) gives the same parameters.
TEST(LineIntersects, BoxesGiveTheParametersOfTheChord) {
    const math::AABB aabb(float3(0, 0, 0), float3(2, 2, 2));
    const math::OBB obb(float3(1, 1, 1), float3(1, 1, 1), float3(0, 1, 0), float3(-1, 0, 0), float3(0, 0, 1));
    const Line through(float3(1, 1, 1), float3(1, 0, 0));
    const Line beside(float3(1, 5, 1), float3(1, 0, 0));
    float dNear[2], dFar[2];
    EXPECT_TRUE(through.Intersects(aabb, dNear[0], dFar[0]));
    EXPECT_TRUE(through.Intersects(obb, dNear[1], dFar[1]));
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(dNear[k], -1.f, 1e-6f) << k;
        EXPECT_NEAR(dFar[k], 1.f, 1e-6f) << k;
    }
    EXPECT_TRUE(through.Intersects(aabb) && through.Intersects(obb));
    EXPECT_FALSE(beside.Intersects(aabb) || beside.Intersects(obb) || beside.Intersects(obb, dNear[1], dFar[1]));
}

TEST(LineTransform, AffineMatricesMapThePositionAsAPointAndTheDirectionAsADirection) {
    const Line line(float3(1, 2, 3), float3(0, 0, 1));
    const math::float3x4 m(math::float3x3(2, 0, 0, 0, 3, 0, 0, 0, 4), float3(1, -1, 5));
    Line moved = line;
    moved.Transform(m);
    for (const Line &mapped : {moved, m * line}) {
        EXPECT_TRUE(SameBits(mapped.pos, float3(3, 5, 17)));
        EXPECT_TRUE(SameBits(mapped.dir, float3(0, 0, 4)));  // not renormalised
    }
}

TEST(LineTransform, MatricesAndRotationsMapBothFieldsWithoutRenormalising) {
    const Line line(float3(1, 2, 3), float3(0, 0, 1));
    const math::float3x3 scale(2, 0, 0, 0, 3, 0, 0, 0, 4);
    Line scaled = line;
    scaled.Transform(scale);
    EXPECT_TRUE(SameBits(scaled.pos, float3(2, 6, 12)));
    EXPECT_TRUE(SameBits(scaled.dir, float3(0, 0, 4)));
    EXPECT_TRUE(SameBits((scale * line).dir, float3(0, 0, 4)));

    const math::Quat q = math::Quat::RotateZ(0.7f);
    Line rotated = line;
    rotated.Transform(q);
    EXPECT_TRUE(SameBits(rotated.pos, q.Transform(line.pos)));
    EXPECT_TRUE(SameBits((q * line).dir, q.Transform(line.dir)));

    Line moved = line;
    moved.Translate(float3(1, 1, 1));
    EXPECT_TRUE(SameBits(moved.pos, float3(2, 3, 4)));
    EXPECT_TRUE(SameBits(moved.dir, line.dir));
}

TEST(LineText, TwoDecimalsForPositionThreeForDirection) {
    struct Case { Line line; const char *text; };
    const Case cases[] = {
        {Line(float3(1, -2.5f, 0.125f), float3(0, 0.6f, -0.8f)),
         "Line(Pos:(1.00, -2.50, 0.12) Dir:(0.000, 0.600, -0.800))"},
        {Line(float3(kNaNF, -kNaNF, kInfF), float3(-kNaNF, 0, 1)),
         "Line(Pos:(nan, nan, inf) Dir:(nan, 0.000, 1.000))"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.line.ToString(), c.text);
        std::ostringstream out;
        out << c.line;
        EXPECT_EQ(out.str(), c.text);
    }
}

TEST(LineText, ExtremeValuesAreWrittenInFull) {
    const Line line(float3(-FLT_MAX, FLT_MAX, -FLT_MAX), float3(FLT_MAX, -FLT_MAX, FLT_MAX));
    char expected[512];
    std::snprintf(expected, sizeof expected, "Line(Pos:(%.2f, %.2f, %.2f) Dir:(%.3f, %.3f, %.3f))", -FLT_MAX,
                  FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX, FLT_MAX);
    EXPECT_GT(std::string(expected).size(), 256u);
    EXPECT_EQ(line.ToString(), expected);
}

TEST(LineTriangle, ClosestPointTakesTheLineFootOfTheTrianglePoint) {
    const Triangle t(float3(0, 0, 0), float3(4, 0, 0), float3(0, 4, 0));
    struct Case { Line line; float d; float3 point; math::float2 uv; };
    const Case cases[] = {
        // Piercing the triangle: the hit itself.
        {Line(float3(1, 1, 5), float3(0, 0, -1)), 5.f, float3(1, 1, 0), math::float2(0.25f, 0.25f)},
        // Passing beside the vertex b: the foot of b on the line.
        {Line(float3(6, -1, 3), float3(0, 1, 0)), 1.f, float3(6, 0, 3), math::float2(1, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.ToString());
        float d;
        math::float2 uv;
        const float3 p = c.line.ClosestPoint(t, d, uv);
        EXPECT_NEAR(d, c.d, 1e-5f);
        EXPECT_TRUE(Near(p, c.point, 1e-5));
        EXPECT_NEAR(uv.x, c.uv.x, 1e-6f);
        EXPECT_NEAR(uv.y, c.uv.y, 1e-6f);
        float d1;
        EXPECT_TRUE(SameBits(c.line.ClosestPoint(t, d1), p));
        EXPECT_EQ(Bits(d1), Bits(d));
    }
}

TEST(LineTriangle, IntersectionForwardsToTheTriangleAndPolygon) {
    const Triangle t(float3(0, 0, 0), float3(4, 0, 0), float3(0, 4, 0));
    float d = 0.f;
    float3 hit(0, 0, 0);
    EXPECT_TRUE(Line(float3(1, 1, 5), float3(0, 0, 1)).Intersects(t, &d, &hit));
    EXPECT_EQ(d, -5.f);  // a line meets behind its position too
    EXPECT_TRUE(Near(hit, D3(1, 1, 0), 1e-6));
    EXPECT_FALSE(Line(float3(5, 5, 5), float3(0, 0, 1)).Intersects(t, nullptr, nullptr));

    Polygon square;
    square.vertices = {float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0), float3(0, 2, 0)};
    EXPECT_TRUE(Line(float3(1, 1, 5), float3(0, 0, 1)).Intersects(square));
    EXPECT_FALSE(Line(float3(3, 1, 5), float3(0, 0, 1)).Intersects(square));
}
