#include "Geometry/Plane.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "geometry_oracle.h"

using math::AABB;
using math::float3;
using math::Line;
using math::LineSegment;
using math::Plane;
using math::Polygon;
using math::Ray;
using math::Triangle;
using namespace oracle;

namespace {

// A random plane through a random point with a unit normal.
Plane RandomPlane(Random &random) {
    const float3 point = random.Point();
    const float3 normal = random.Direction();
    return Plane(point, normal);
}

double Area(const Triangle &t) { return 0.5 * Length(Cross(D3(t.b) - D3(t.a), D3(t.c) - D3(t.a))); }

D3 NormalOf(const Triangle &t) { return Cross(D3(t.b) - D3(t.a), D3(t.c) - D3(t.a)); }

Polygon MakePolygon(std::initializer_list<float3> vertices) {
    Polygon polygon;
    polygon.vertices = vertices;
    return polygon;
}

}  // namespace

TEST(PlaneOracle, ThreePointsGiveTheUnitCrossProductNormal) {
    Random random(41);
    for (int i = 0; i < 2000; ++i) {
        const float3 a = random.Point(), b = random.Point(), c = random.Point();
        const D3 n = Cross(D3(b) - D3(a), D3(c) - D3(a));
        if (Length(n) < 1.0) continue;  // keep to well-conditioned triangles
        const D3 unit = n * (1.0 / Length(n));
        Plane plane;
        plane.Set(a, b, c);
        EXPECT_TRUE(Near(plane.normal, unit, 1e-5)) << i;
        EXPECT_NEAR(plane.d, Dot(unit, D3(a)), 1e-4) << i;
        for (const float3 &p : {a, b, c}) EXPECT_NEAR(plane.SignedDistance(p), 0.0, 1e-4) << i;
    }
}

TEST(PlaneOracle, ProjectionMirrorAndSignedDistance) {
    Random random(42);
    for (int i = 0; i < 2000; ++i) {
        const Plane plane = RandomPlane(random);
        const float3 p = random.Point(20.f);
        const D3 n(plane.normal);
        const double s = Dot(n, D3(p)) - plane.d;
        EXPECT_NEAR(plane.SignedDistance(p), s, 1e-4) << i;
        EXPECT_NEAR(plane.Distance(p), std::fabs(s), 1e-4) << i;
        EXPECT_TRUE(Near(plane.Project(p), D3(p) - n * s, 1e-4)) << i;
        EXPECT_TRUE(Near(plane.Mirror(p), D3(p) - n * (2 * s), 1e-4)) << i;
        EXPECT_TRUE(Near(plane.ProjectToNegativeHalf(p), s > 0 ? D3(p) - n * s : D3(p), 1e-4)) << i;
        EXPECT_TRUE(Near(plane.ProjectToPositiveHalf(p), s < 0 ? D3(p) - n * s : D3(p), 1e-4)) << i;
    }
}

TEST(PlaneOracle, LinesRaysAndSegmentsMeetThePlaneWhereTheDirectFormulaSays) {
    Random random(43);
    int hits = 0;
    for (int i = 0; i < 5000; ++i) {
        SCOPED_TRACE(i);
        const Plane plane = RandomPlane(random);
        const float3 pos = random.Point(), dir = random.Direction();
        const D3 n(plane.normal);
        if (std::fabs(Dot(n, D3(dir))) < 0.05) continue;  // well away from the tolerance band
        const double t = LinePlaneT(n, plane.d, pos, dir);
        const double tolerance = 1e-4 * (1.0 + std::fabs(t));

        float d = kNaNF;
        ASSERT_TRUE(plane.Intersects(Line(pos, dir), &d));
        EXPECT_NEAR(d, t, tolerance);
        EXPECT_NEAR(plane.SignedDistance(Line(pos, dir).GetPoint(d)), 0.0, 1e-3 * (1.0 + std::fabs(t)));

        float dr = kNaNF;
        EXPECT_EQ(plane.Intersects(Ray(pos, dir), &dr), t >= 0);
        EXPECT_EQ(Bits(dr), Bits(d));

        const float3 end = random.Point();
        const LineSegment segment(pos, end);
        const D3 along = D3(end) - D3(pos);
        const double length = Length(along);
        if (std::fabs(Dot(n, along)) < 0.05 * length) continue;
        const double u = LinePlaneT(n, plane.d, pos, along);  // the 0..1 parameter
        if (std::fabs(u) < 1e-3 || std::fabs(u - 1) < 1e-3) continue;
        float ds = kNaNF;
        EXPECT_EQ(plane.Intersects(segment, &ds), u >= 0 && u <= 1);
        EXPECT_NEAR(ds, u, 1e-4 * (1.0 + std::fabs(u)) * (1.0 + 10.0 / length));
        hits += u >= 0 && u <= 1;
    }
    EXPECT_GT(hits, 500);
}

TEST(PlaneOracle, ClosestPointsToRaysAndSegments) {
    Random random(44);
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const Plane plane = RandomPlane(random);
        const D3 n(plane.normal);
        const LineSegment s(random.Point(), random.Point());
        const double sa = Dot(n, D3(s.a)) - plane.d, sb = Dot(n, D3(s.b)) - plane.d;
        if (std::fabs(sa - sb) < 1e-2) continue;
        // The crossing point, or the projection of the end nearer to the plane.
        D3 expected = D3(s.a) + (D3(s.b) - D3(s.a)) * (sa / (sa - sb));
        if (sa * sb > 0) expected = std::fabs(sa) < std::fabs(sb) ? D3(s.a) - n * sa : D3(s.b) - n * sb;
        EXPECT_TRUE(Near(plane.ClosestPoint(s), expected, 1e-3));

        const Ray ray(random.Point(), random.Direction());
        const double denom = Dot(n, D3(ray.dir));
        if (std::fabs(denom) < 0.05) continue;
        const double t = LinePlaneT(n, plane.d, ray.pos, ray.dir);
        const double sr = Dot(n, D3(ray.pos)) - plane.d;
        const D3 expectedRay = t >= 0 ? D3(ray.pos) + D3(ray.dir) * t : D3(ray.pos) - n * sr;
        EXPECT_TRUE(Near(plane.ClosestPoint(ray), expectedRay, 1e-3 * (1.0 + std::fabs(t))));
    }
}

TEST(PlaneOracle, TwoPlanesMeetInALineOnBoth) {
    Random random(45);
    for (int i = 0; i < 2000; ++i) {
        const Plane p = RandomPlane(random), q = RandomPlane(random);
        if (Length(Cross(D3(p.normal), D3(q.normal))) < 0.1) continue;
        Line line;
        ASSERT_TRUE(p.Intersects(q, &line)) << i;
        EXPECT_NEAR(Length(D3(line.dir)), 1.0, 1e-6) << i;
        for (float t : {-10.f, 0.f, 10.f}) {
            EXPECT_NEAR(p.SignedDistance(line.GetPoint(t)), 0.0, 1e-3) << i;
            EXPECT_NEAR(q.SignedDistance(line.GetPoint(t)), 0.0, 1e-3) << i;
        }
    }
}

TEST(PlaneOracle, ThreePlanesMeetInAPointOnAll) {
    Random random(46);
    for (int i = 0; i < 2000; ++i) {
        const Plane p = RandomPlane(random), q = RandomPlane(random), r = RandomPlane(random);
        const double det = Dot(D3(p.normal), Cross(D3(q.normal), D3(r.normal)));
        if (std::fabs(det) < 0.1) continue;
        float3 point;
        Line untouched(float3(7, 7, 7), float3(1, 0, 0));
        ASSERT_TRUE(p.Intersects(q, r, &untouched, &point)) << i;
        EXPECT_TRUE(SameBits(untouched.pos, float3(7, 7, 7)));  // a point answer leaves the line
        for (const Plane &plane : {p, q, r}) EXPECT_NEAR(plane.SignedDistance(point), 0.0, 2e-3) << i;
    }
}

TEST(PlaneConstruction, OrientationFollowsTheWindingAndCollinearPointsGiveNan) {
    const Plane ccw(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0));
    EXPECT_TRUE(SameBits(ccw.normal, float3(0, 0, 1)));
    EXPECT_EQ(ccw.d, 0.f);
    const Plane cw(float3(0, 0, 0), float3(0, 1, 0), float3(1, 0, 0));
    EXPECT_TRUE(SameBits(cw.normal, float3(0, 0, -1)));
    const Plane collinear(float3(0, 0, 0), float3(1, 1, 1), float3(2, 2, 2));
    EXPECT_TRUE(AllNaN(collinear.normal));
    EXPECT_TRUE(std::isnan(collinear.d));
    EXPECT_TRUE(collinear.IsDegenerate());

    // The point-and-normal form stores the normal as given.
    const Plane unnormalised(float3(1, 2, 3), float3(0, 0, 2));
    EXPECT_TRUE(SameBits(unnormalised.normal, float3(0, 0, 2)));
    EXPECT_EQ(unnormalised.d, 6.f);
}

TEST(PlaneConstruction, ThroughALineFacingANormal) {
    const float3 wanted(0, 1, 1);
    struct Case { Plane plane; float3 point; float3 along; };
    const Case cases[] = {
        {Plane(Line(float3(1, 2, 3), float3(0, 0, 1)), wanted), float3(1, 2, 3), float3(0, 0, 1)},
        {Plane(Ray(float3(1, 2, 3), float3(0, 0, 1)), wanted), float3(1, 2, 3), float3(0, 0, 1)},
        {Plane(LineSegment(float3(1, 2, 3), float3(1, 2, 7)), wanted), float3(1, 2, 3), float3(0, 0, 4)},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(SameBits(c.plane.normal, float3(0, 1, 0))) << c.plane;
        EXPECT_EQ(c.plane.SignedDistance(c.point), 0.f);
        EXPECT_EQ(c.plane.SignedDistance(c.point + c.along), 0.f);
    }
}

TEST(PlaneQueries, DegeneracyTable) {
    struct Case { Plane plane; bool degenerate; };
    const Case cases[] = {
        {Plane(float3(0, 0, 1), 3.f), false},
        {Plane(float3(0, 0, 0.0003f), 3.f), true},  // squared length 9e-8 <= 1e-7
        {Plane(float3(0, 0, 0.0004f), 3.f), false},
        {Plane(float3(0, kInfF, 1), 3.f), true},
        {Plane(float3(0, 0, 1), kNaNF), true},
        {Plane(float3(0, 0, 1), -kInfF), true},
    };
    for (const Case &c : cases) EXPECT_EQ(c.plane.IsDegenerate(), c.degenerate) << c.plane;
}

TEST(PlaneQueries, SidesAnglesAndEquality) {
    const Plane ground(float3(0, 0, 1), 1.f);
    EXPECT_TRUE(ground.IsOnPositiveSide(float3(0, 0, 1)));
    EXPECT_FALSE(ground.IsOnPositiveSide(float3(0, 0, 0.5f)));
    EXPECT_TRUE(ground.IsInPositiveDirection(float3(1, 0, 0)));
    EXPECT_FALSE(ground.IsInPositiveDirection(float3(0, 0, -1)));
    EXPECT_TRUE(ground.AreOnSameSide(float3(0, 0, 1), float3(0, 0, -5)));  // on the plane
    EXPECT_FALSE(ground.AreOnSameSide(float3(0, 0, 2), float3(0, 0, -5)));
    EXPECT_TRUE(ground.PassesThroughOrigin(1.f));
    EXPECT_FALSE(ground.PassesThroughOrigin(0.5f));

    EXPECT_EQ(ground.DihedralAngle(Plane(float3(1, 0, 0), 0.f)), 0.f);
    EXPECT_EQ(ground.DihedralAngle(ground), 1.f);

    Plane reversed = ground;
    reversed.ReverseNormal();
    EXPECT_TRUE(SameBits(reversed.normal, float3(-0.f, -0.f, -1)));
    EXPECT_EQ(reversed.d, -1.f);
    EXPECT_TRUE(ground.SetEquals(reversed, 1e-5f));
    EXPECT_FALSE(ground.Equals(reversed, 1e-5f));
    EXPECT_FALSE(ground.IsParallel(reversed, 1e-5f));
    EXPECT_TRUE(ground.Equals(Plane(float3(0, 0, 1), 1.000001f), 1e-5f));
    EXPECT_FALSE(ground.Equals(ground, 0.f));  // strict comparison
    EXPECT_TRUE(ground.SetEquals(Plane(float3(0.0005f, 0, 1), 1.f), 1e-5f));
}

TEST(PlaneQueries, PointsOnThePlane) {
    const Plane plane(float3(0, 0.6f, 0.8f), 5.f);
    const float3 origin = plane.PointOnPlane();
    EXPECT_NEAR(plane.SignedDistance(origin), 0.f, 1e-5f);
    float3 b1;
    float3 b2;
    plane.normal.PerpendicularBasis(b1, b2);
    for (float u : {-3.f, 0.f, 2.f}) {
        for (float v : {-1.f, 4.f}) {
            const float3 p = plane.Point(u, v);
            EXPECT_NEAR(plane.SignedDistance(p), 0.f, 1e-5f);
            EXPECT_TRUE(SameBits(p, origin + u * b1 + v * b2));
            const float3 reference(3, 1, -2);
            EXPECT_TRUE(SameBits(plane.Point(u, v, reference), plane.Project(reference) + u * b1 + v * b2));
        }
    }
}

TEST(PlaneIntersectLinePlane, AbsoluteToleranceBand) {
    struct Case { float3 dir; bool result; float t; };
    const float3 n(0, 0, 1);
    const Case cases[] = {
        {float3(0, 0, -1), true, 1.f},
        {float3(1, 0, 0.00005f), false, 0.f},  // t = -20000 is beyond 10000
        {float3(1, 0, 0.0002f), true, -5000.f},
        {float3(1, 0, 0), false, 0.f},  // parallel, 1 away from the plane
    };
    for (const Case &c : cases) {
        float t = 99.f;
        EXPECT_EQ(Plane::IntersectLinePlane(n, 0.f, float3(0, 0, 1), c.dir, t), c.result) << c.dir;
        EXPECT_FLOAT_EQ(t, c.t) << c.dir;
    }
    // A parallel line in the plane (within 0.001) counts, at t = 0.
    float t = 99.f;
    EXPECT_TRUE(Plane::IntersectLinePlane(n, 0.f, float3(3, 4, 0.0009f), float3(1, 0, 0), t));
    EXPECT_EQ(t, 0.f);
    EXPECT_FALSE(Plane::IntersectLinePlane(n, 0.f, float3(3, 4, 0.0011f), float3(1, 0, 0), t));
}

TEST(PlaneIntersects, NullParameterPointersAreAllowed) {
    const Plane ground(float3(0, 0, 1), 0.f);
    EXPECT_TRUE(ground.Intersects(Line(float3(0, 0, 1), float3(0, 0, 1)), nullptr));
    EXPECT_FALSE(ground.Intersects(Ray(float3(0, 0, 1), float3(0, 0, 1)), nullptr));
    EXPECT_TRUE(ground.Intersects(LineSegment(float3(0, 0, 1), float3(0, 0, -1)), nullptr));
    float d = 0.f;
    EXPECT_FALSE(ground.Intersects(LineSegment(float3(0, 0, 1), float3(0, 0, 3)), &d));
    EXPECT_EQ(d, -0.5f);
}

TEST(PlaneIntersects, ParallelPlanes) {
    const Plane ground(float3(0, 0, 1), 2.f);
    Line line(float3(9, 9, 9), float3(9, 9, 9));
    EXPECT_FALSE(ground.Intersects(Plane(float3(0, 0, 1), 3.f), &line));
    EXPECT_TRUE(SameBits(line.pos, float3(9, 9, 9)));
    // Coinciding planes give a line through normal * d, in either orientation.
    ASSERT_TRUE(ground.Intersects(Plane(float3(0, 0, -1), -2.f), &line));
    EXPECT_TRUE(SameBits(line.pos, float3(0, 0, 2)));
    EXPECT_TRUE(SameBits(line.dir, float3(0, 0, -1).Perpendicular(float3::unitY, float3::unitZ)));
    EXPECT_TRUE(ground.Intersects(ground, nullptr));
}

// The offset test of the first step accepts an offset equal to either other plane's,
// whichever of them is the parallel one.
TEST(PlaneIntersects, ThreePlanesWithParallelPairs) {
    const Plane z1(float3(0, 0, 1), 1.f);
    const Plane z5(float3(0, 0, 1), 5.f);
    const Plane x1(float3(1, 0, 0), 1.f);
    const Plane y2(float3(0, 1, 0), 2.f);
    struct Case { Plane a, b, c; bool meets; float3 point; };
    const Case cases[] = {
        {z1, x1, z5, true, float3(1, 0, 5)},     // z1 is parallel to z5 but its offset equals x1's
        {z1, y2, z5, false, float3(0, 0, 0)},    // no offset matches
        {z1, x1, z1, true, float3(1, 0, 1)},     // this and p3 coincide: the line of x1 and z1
        {x1, z1, z1, true, float3(1, 0, 1)},     // p2 and p3 coincide: the line of x1 and z1
        {x1, z1, z5, false, float3(0, 0, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.a.ToString() + c.b.ToString() + c.c.ToString());
        float3 point(0, 0, 0);
        Line line;
        EXPECT_EQ(c.a.Intersects(c.b, c.c, &line, &point), c.meets);
        EXPECT_TRUE(Near(point, c.point, 1e-6));
        EXPECT_EQ(c.a.Intersects(c.b, c.c, nullptr, nullptr), c.meets);
    }
}

TEST(PlaneSignedDistance, WholeObjectsTouchingGiveZero) {
    const Plane ground(float3(0, 0, 1), 0.f);
    struct Case { float distance; float expected; };
    const Case cases[] = {
        {ground.SignedDistance(LineSegment(float3(0, 0, -1), float3(1, 0, 1))), 0.f},
        {ground.SignedDistance(LineSegment(float3(0, 0, 2), float3(1, 0, 3))), 2.f},
        {ground.SignedDistance(LineSegment(float3(0, 0, -3), float3(1, 0, -2))), -2.f},
        {ground.SignedDistance(Line(float3(0, 0, 5), float3(0, 0.6f, 0.8f))), 0.f},
        {ground.SignedDistance(Line(float3(0, 0, 5), float3(1, 0, 0))), 5.f},
        {ground.SignedDistance(Ray(float3(0, 0, 5), float3(0, 0, 1))), 5.f},
        {ground.SignedDistance(Ray(float3(0, 0, 5), float3(0, 0, -1))), 0.f},
        {ground.SignedDistance(Ray(float3(0, 0, -5), float3(0, 0, -1))), -5.f},
    };
    for (const Case &c : cases) EXPECT_EQ(c.distance, c.expected);
}

TEST(PlaneProject, LinesAndRaysIntoThePlane) {
    const Plane ground(float3(0, 0, 1), 1.f);
    bool nonDegenerate = false;
    const Line flat = ground.Project(Line(float3(1, 2, 5), float3(0, 0.6f, 0.8f)), &nonDegenerate);
    EXPECT_TRUE(nonDegenerate);
    EXPECT_TRUE(SameBits(flat.pos, float3(1, 2, 1)));
    EXPECT_TRUE(flat.dir.Equals(float3(0, 1, 0), 1e-6f));
    const Ray down = ground.Project(Ray(float3(1, 2, 5), float3(0, 0, -1)), &nonDegenerate);
    EXPECT_FALSE(nonDegenerate);
    EXPECT_TRUE(SameBits(down.dir, float3(1, 0, 0)));
    EXPECT_TRUE(SameBits(ground.Project(Ray(float3(1, 2, 5), float3(0, 0, -1)), nullptr).pos, float3(1, 2, 1)));

    const LineSegment s = ground.Project(LineSegment(float3(0, 0, 0), float3(1, 1, 4)));
    EXPECT_TRUE(SameBits(s.a, float3(0, 0, 1)));
    EXPECT_TRUE(SameBits(s.b, float3(1, 1, 1)));
}

TEST(PlaneContains, PointsSegmentsLinesAndRays) {
    const Plane ground(float3(0, 0, 1), 0.f);
    EXPECT_TRUE(ground.Contains(float3(4, 4, 0.1f), 0.1f));  // a plain distance, not squared
    EXPECT_FALSE(ground.Contains(float3(4, 4, 0.2f), 0.1f));
    EXPECT_TRUE(ground.Contains(LineSegment(float3(0, 0, 0.05f), float3(9, 9, -0.05f)), 0.1f));
    EXPECT_FALSE(ground.Contains(LineSegment(float3(0, 0, 0.05f), float3(9, 9, -0.5f)), 0.1f));
    struct Case { float3 pos; float3 dir; bool contained; };
    const Case cases[] = {
        {float3(1, 2, 0.0009f), float3(1, 0, 0), true},
        {float3(1, 2, 0.0011f), float3(1, 0, 0), false},  // the position bound is fixed at 0.001
        {float3(1, 2, 0), float3(0.6f, 0, 0.8f), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ground.Contains(Line(c.pos, c.dir), 1e-8f), c.contained) << c.pos;
        EXPECT_EQ(ground.Contains(Ray(c.pos, c.dir), 1e-8f), c.contained) << c.pos;
    }
}

TEST(PlaneClip, SegmentsKeepThePositivePart) {
    const Plane ground(float3(0, 0, 1), 0.f);
    struct Case { LineSegment in; bool kept; LineSegment out; };
    const Case cases[] = {
        {LineSegment(float3(0, 0, 1), float3(0, 0, -3)), true, LineSegment(float3(0, 0, 1), float3(0, 0, 0))},
        {LineSegment(float3(0, 0, -3), float3(0, 0, 1)), true, LineSegment(float3(0, 0, 0), float3(0, 0, 1))},
        {LineSegment(float3(0, 0, 1), float3(0, 0, 2)), true, LineSegment(float3(0, 0, 1), float3(0, 0, 2))},
        {LineSegment(float3(0, 0, -1), float3(0, 0, -2)), false, LineSegment(float3(0, 0, -1), float3(0, 0, -2))},
        // Touching at an end is no crossing inside: a on the plane is not strictly positive.
        {LineSegment(float3(0, 0, 0), float3(0, 0, 2)), false, LineSegment(float3(0, 0, 0), float3(0, 0, 2))},
    };
    for (const Case &c : cases) {
        LineSegment s = c.in;
        EXPECT_EQ(ground.Clip(s), c.kept) << c.in;
        EXPECT_TRUE(SameBits(s.a, c.out.a)) << c.in;
        EXPECT_TRUE(SameBits(s.b, c.out.b)) << c.in;
    }
}

TEST(PlaneClip, LinesBecomeRaysOnThePositiveSide) {
    const Plane ground(float3(0, 0, 1), 0.f);
    Ray ray(float3(9, 9, 9), float3(9, 9, 9));
    EXPECT_EQ(ground.Clip(Line(float3(1, 0, 2), float3(0, 0, -1)), ray), 1);
    EXPECT_TRUE(SameBits(ray.pos, float3(1, 0, 0)));
    EXPECT_TRUE(SameBits(ray.dir, -float3(0, 0, -1)));  // the negated line direction
    EXPECT_EQ(ground.Clip(Line(float3(1, 0, -2), float3(0, 0, 1)), ray), 1);
    EXPECT_TRUE(SameBits(ray.dir, float3(0, 0, 1)));
    EXPECT_EQ(ground.Clip(Line(float3(1, 0, 2), float3(1, 0, 0)), ray), 2);
    EXPECT_EQ(ground.Clip(Line(float3(1, 0, -2), float3(1, 0, 0)), ray), 0);
    EXPECT_TRUE(SameBits(ray.pos, float3(1, 0, 0)));  // not written without a crossing
}

TEST(PlaneClosestPoint, RaysAndParallelSegments) {
    const Plane ground(float3(0, 0, 1), 0.f);
    EXPECT_TRUE(SameBits(ground.ClosestPoint(Ray(float3(1, 2, 3), float3(1, 0, 0))), float3(1, 2, 0)));
    EXPECT_TRUE(SameBits(ground.ClosestPoint(Ray(float3(1, 2, 3), float3(0, 0, 1))), float3(1, 2, 0)));
    EXPECT_TRUE(SameBits(ground.ClosestPoint(Ray(float3(1, 2, 3), float3(0, 0, -1))), float3(1, 2, 0)));
    // Parallel: the end with the smaller plain dot product is projected.
    const LineSegment flat(float3(5, 0, 2), float3(0, 0, 2.00001f));
    EXPECT_TRUE(SameBits(ground.ClosestPoint(flat), float3(5, 0, 0)));
    // Off the origin the offset still takes no part: measured from the plane, the other end
    // would be the nearer one in both cases.
    const Plane raised(float3(0, 0, 1), 3.f);
    EXPECT_TRUE(SameBits(raised.ClosestPoint(flat), float3(5, 0, 3)));
    const Plane lowered(float3(0, 0, 1), -5.f);
    const LineSegment below(float3(0, 7, -1.00001f), float3(4, 7, -1));
    EXPECT_TRUE(SameBits(lowered.ClosestPoint(below), float3(4, 7, -5)));
}

TEST(PlaneTransform, NormalsTakeTheInverseTranspose) {
    Plane plane(float3(0, 1, 0), 2.f);
    plane.Translate(float3(0, 0, 5));
    EXPECT_EQ(plane.d, 2.f);
    plane.Translate(float3(5, 3, 0));
    EXPECT_EQ(plane.d, 5.f);

    Plane ground(float3(0, 0, 1), 0.f);
    ground.Translate(float3(0, 0, 5));
    EXPECT_EQ(ground.d, 5.f);

    const math::float3x3 scale(2, 0, 0, 0, 4, 0, 0, 0, 1);
    const Plane scaled = scale * Plane(float3(0, 1, 0), 3.f);
    EXPECT_TRUE(SameBits(scaled.normal, float3(0, 0.25f, 0)));  // not renormalised
    EXPECT_EQ(scaled.d, 3.f);

    const math::Quat q = math::Quat::RotateZ(0.5f);
    Plane rotated(float3(1, 0, 0), 2.f);
    rotated.Transform(q);
    EXPECT_TRUE(SameBits(rotated.normal, q.ToFloat3x3().InverseTransposed() * float3(1, 0, 0)));
    EXPECT_TRUE(SameBits((q * Plane(float3(1, 0, 0), 2.f)).normal, rotated.normal));
    EXPECT_EQ(rotated.d, 2.f);
}

// The signed distance is preserved by any invertible affine map: the mapped plane measures the
// mapped point as the original plane measures the point.
TEST(PlaneTransform, AffineMapsKeepEverySignedDistance) {
    Random random(53);
    for (int n = 0; n < 300; ++n) {
        const Plane plane = RandomPlane(random);
        const math::float3x3 linear =
            math::float3x3::RotateAxisAngle(random.Direction(), random.Uniform(-3.f, 3.f)) *
            math::float3x3(random.Uniform(0.5f, 2.f), 0, 0, 0, random.Uniform(0.5f, 2.f), 0, 0, 0,
                           random.Uniform(0.5f, 2.f));
        const math::float3x4 m(linear, random.Point());
        Plane mapped = plane;
        mapped.Transform(m);
        const Plane copy = m * plane;
        EXPECT_TRUE(SameBits(copy.normal, mapped.normal));
        EXPECT_EQ(copy.d, mapped.d);
        for (int k = 0; k < 5; ++k) {
            const float3 p = random.Point();
            const D3 image = m.MulPos(p);
            const double expected = Dot(D3(plane.normal), D3(p)) - plane.d;
            EXPECT_NEAR(Dot(D3(mapped.normal), image) - mapped.d, expected, 1e-3);
        }
    }
    // A pure translation moves the offset exactly as Translate does.
    const Plane plane(float3(0.6f, 0, 0.8f), 1.5f);
    Plane translated = plane, moved = plane;
    translated.Translate(float3(3, -2, 7));
    moved.Transform(math::float3x4(math::float3x3::identity, float3(3, -2, 7)));
    EXPECT_TRUE(SameBits(moved.normal, plane.normal));
    EXPECT_EQ(moved.d, translated.d);
}

TEST(PlaneTransform, MirrorAndProjectionMatrices) {
    Random random(59);
    for (int n = 0; n < 100; ++n) {
        const Plane plane = RandomPlane(random);
        const float3 p = random.Point();
        EXPECT_TRUE(Near(plane.MirrorMatrix().MulPos(p), D3(plane.Mirror(p)), 1e-4));
        EXPECT_TRUE(Near(plane.OrthoProjection().MulPos(p), D3(plane.Project(p)), 1e-4));
    }
}

// The interval of the box's corners along the normal decides both: 0 when it straddles the
// plane, else its nearer end.
TEST(PlaneBoxes, SignedDistanceAndIntersectionFromTheCorners) {
    Random random(61);
    int crossing = 0, apart = 0;
    for (int n = 0; n < 2000; ++n) {
        const Plane plane = RandomPlane(random);
        const AABB aabb = AABB::FromCenterAndSize(random.Point(), random.Point(3.f).Abs() + float3(0.1f));
        const math::float3x3 r = math::float3x3::RotateAxisAngle(random.Direction(), random.Uniform(-3.f, 3.f));
        const math::OBB obb(random.Point(), random.Point(2.f).Abs(), r.Col(0), r.Col(1), r.Col(2));
        struct Case {
            std::vector<D3> corners;
            float signedDistance;
            bool intersects, reverse;
        };
        const Case cases[2] = {
            {Corners(aabb), plane.SignedDistance(aabb), plane.Intersects(aabb), aabb.Intersects(plane)},
            {Corners(obb), plane.SignedDistance(obb), plane.Intersects(obb), obb.Intersects(plane)},
        };
        for (const Case &c : cases) {
            double lo = kInf, hi = -kInf;
            for (const D3 &corner : c.corners) {
                lo = std::min(lo, Dot(D3(plane.normal), corner) - plane.d);
                hi = std::max(hi, Dot(D3(plane.normal), corner) - plane.d);
            }
            EXPECT_EQ(c.reverse, c.intersects);
            if (std::fabs(lo) < 1e-3 || std::fabs(hi) < 1e-3) continue;  // too close to call in float
            const bool straddles = lo < 0 && hi > 0;
            EXPECT_EQ(c.intersects, straddles) << n;
            EXPECT_NEAR(c.signedDistance, straddles ? 0 : (lo > 0 ? lo : hi), 1e-3) << n;
            ++(straddles ? crossing : apart);
        }
    }
    EXPECT_GT(crossing, 200);
    EXPECT_GT(apart, 200);
    // Touching counts as intersecting.
    const AABB unit(float3(0, 0, 0), float3(1, 1, 1));
    EXPECT_TRUE(Plane(float3(0, 0, 1), 1.f).Intersects(unit));
    EXPECT_EQ(Plane(float3(0, 0, 1), 1.f).SignedDistance(unit), 0.f);
    EXPECT_FALSE(Plane(float3(0, 0, 1), 1.001f).Intersects(unit));
}

TEST(PlaneRefract, FollowsTheVectorRule) {
    const Plane ground(float3(0, 0, 1), 0.f);
    const float3 v(0.6f, 0, -0.8f);
    EXPECT_TRUE(SameBits(ground.Refract(v, 1.f, 1.5f), v.Refract(float3(0, 0, 1), 1.f, 1.5f)));
}

TEST(PlaneText, TwoDecimalsAndFullExtremeValues) {
    EXPECT_EQ(Plane(float3(0, -kNaNF, 1), -2.125f).ToString(), "Plane(Normal:(0.00, nan, 1.00) d:-2.12)");
    std::ostringstream out;
    out << Plane(float3(0, 0, 1), 3.f);
    EXPECT_EQ(out.str(), "Plane(Normal:(0.00, 0.00, 1.00) d:3.00)");

    const Plane huge(float3(-FLT_MAX, -FLT_MAX, -FLT_MAX), -FLT_MAX);
    char expected[512];
    std::snprintf(expected, sizeof expected, "Plane(Normal:(%.2f, %.2f, %.2f) d:%.2f)", -FLT_MAX, -FLT_MAX,
                  -FLT_MAX, -FLT_MAX);
    EXPECT_EQ(huge.ToString(), expected);
}

// Clipping by a plane and by its reverse splits a triangle into pieces that keep its winding,
// lie on their own side and together cover it exactly.
TEST(PlaneOracle, TriangleClippingCoversBothSides) {
    Random random(47);
    int splits = 0;
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const Triangle t(random.Point(), random.Point(), random.Point());
        if (Area(t) < 1.0) continue;
        const Plane plane(random.Point(3.f), random.Direction());
        Plane reversed = plane;
        reversed.ReverseNormal();
        double area = 0;
        for (const Plane &side : {plane, reversed}) {
            Triangle pieces[2];
            const int n = side.Clip(t, pieces[0], pieces[1]);
            for (int k = 0; k < n; ++k) {
                area += Area(pieces[k]);
                for (const float3 &v : {pieces[k].a, pieces[k].b, pieces[k].c})
                    EXPECT_GE(side.SignedDistance(v), -1e-3f);
                if (Area(pieces[k]) > 1e-3) {
                    EXPECT_GT(Dot(NormalOf(pieces[k]), NormalOf(t)), 0.0);
                }
            }
            splits += n == 2;
        }
        EXPECT_NEAR(area, Area(t), 1e-3 * Area(t));
    }
    EXPECT_GT(splits, 200);
}

TEST(PlaneTriangle, ClipEdgeCases) {
    const Plane ground(float3(0, 0, 1), 0.f);
    Triangle t1(float3(9, 9, 9), float3(9, 9, 9), float3(9, 9, 9));
    Triangle t2 = t1;
    // One vertex on the plane, the others below: a triangle collapsed onto that vertex.
    EXPECT_EQ(ground.Clip(Triangle(float3(0, 0, -1), float3(2, 0, 0), float3(0, 2, -1)), t1, t2), 1);
    for (const float3 &v : {t1.a, t1.b, t1.c}) EXPECT_TRUE(SameBits(v, float3(2, 0, 0)));
    EXPECT_TRUE(SameBits(t2.a, float3(9, 9, 9)));

    EXPECT_EQ(ground.Clip(Triangle(float3(0, 0, -1), float3(2, 0, -1), float3(0, 2, -1)), t1, t2), 0);
    EXPECT_TRUE(SameBits(t1.b, float3(2, 0, 0)));  // untouched

    const Triangle above(float3(0, 0, 1), float3(2, 0, 1), float3(0, 2, 0));
    EXPECT_EQ(ground.Clip(above, t1, t2), 1);
    EXPECT_TRUE(SameBits(t1.c, above.c));

    // b dropped: the rotation puts it first, then (p1, c, a) and (a, p2, p1).
    EXPECT_EQ(ground.Clip(Triangle(float3(0, 0, 1), float3(2, 0, -1), float3(0, 2, 1)), t1, t2), 2);
    EXPECT_TRUE(Near(t1.a, D3(1, 1, 0), 1e-6));
    EXPECT_TRUE(SameBits(t1.b, float3(0, 2, 1)));
    EXPECT_TRUE(SameBits(t1.c, float3(0, 0, 1)));
    EXPECT_TRUE(SameBits(t2.a, float3(0, 0, 1)));
    EXPECT_TRUE(Near(t2.b, D3(1, 0, 0), 1e-6));
    EXPECT_TRUE(SameBits(t2.c, t1.a));
}

TEST(PlaneTriangle, SidesIntersectionAndContainment) {
    const Plane ground(float3(0, 0, 1), 0.f);
    struct Case { Triangle t; int side; bool intersects; float signedDistance; };
    const Case cases[] = {
        {Triangle(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0)), 1, true, 0.f},  // in the plane
        {Triangle(float3(0, 0, 1), float3(1, 0, -1), float3(0, 1, 0)), 0, true, 0.f},
        {Triangle(float3(0, 0, 2), float3(1, 0, 3), float3(0, 1, 2.5f)), 1, false, 2.f},
        {Triangle(float3(0, 0, -2), float3(1, 0, -3), float3(0, 1, -0.5f)), -1, false, -0.5f},
        // Within the side tolerance of the plane but strictly below it.
        {Triangle(float3(0, 0, -0.00005f), float3(1, 0, -3), float3(0, 1, -1)), -1, false, -0.00005f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.t.ToString());
        EXPECT_EQ(ground.ExamineSide(c.t), c.side);
        EXPECT_EQ(ground.Intersects(c.t), c.intersects);
        EXPECT_EQ(ground.SignedDistance(c.t), c.signedDistance);
    }
    EXPECT_TRUE(ground.Contains(Triangle(float3(0, 0, 0.01f), float3(5, 0, 0), float3(0, 5, -0.01f)), 0.01f));
    EXPECT_FALSE(ground.Contains(Triangle(float3(0, 0, 0.01f), float3(5, 0, 0), float3(0, 5, 0.02f)), 0.01f));

    const Triangle projected = ground.Project(Triangle(float3(1, 2, 3), float3(4, 5, -6), float3(7, 8, 0)));
    EXPECT_TRUE(SameBits(projected.a, float3(1, 2, 0)));
    EXPECT_TRUE(SameBits(projected.b, float3(4, 5, 0)));
    EXPECT_TRUE(SameBits(projected.c, float3(7, 8, 0)));
}

TEST(PlanePolygon, ContainmentByVertexCount) {
    const Plane ground(float3(0, 0, 1), 0.f);
    struct Case { Polygon polygon; bool contained; };
    const Case cases[] = {
        {MakePolygon({}), false},
        {MakePolygon({float3(3, 3, 0.005f)}), true},
        {MakePolygon({float3(3, 3, 0.005f), float3(4, 3, 0.5f)}), false},
        {MakePolygon({float3(0, 0, 0), float3(2, 0, 0), float3(2, 2, 0), float3(0, 2, 0)}), true},
        {MakePolygon({float3(0, 0, 0), float3(0, 2, 0), float3(2, 2, 0), float3(2, 0, 0)}), true},  // reversed
        {MakePolygon({float3(0, 0, 1), float3(2, 0, 1), float3(2, 2, 1)}), false},  // parallel, 1 above
    };
    for (const Case &c : cases) EXPECT_EQ(ground.Contains(c.polygon, 0.01f), c.contained) << c.polygon.ToString();
}

TEST(PlanePolygon, ProjectionSignedDistanceAndIntersection) {
    const Plane ground(float3(0, 0, 1), 0.f);
    const Polygon square = MakePolygon({float3(0, 0, 2), float3(2, 0, 3), float3(2, 2, 3), float3(0, 2, 2)});
    const Polygon flat = ground.Project(square);
    ASSERT_EQ(flat.vertices.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(flat.vertices[i].z, 0.f);
        EXPECT_EQ(flat.vertices[i].x, square.vertices[i].x);
    }
    EXPECT_EQ(ground.SignedDistance(square), 2.f);
    EXPECT_FALSE(ground.Intersects(square));
    const Polygon crossing = MakePolygon({float3(0, 0, -1), float3(2, 0, 1), float3(2, 2, 1), float3(0, 2, -1)});
    EXPECT_EQ(ground.SignedDistance(crossing), 0.f);
    EXPECT_TRUE(ground.Intersects(crossing));
}
