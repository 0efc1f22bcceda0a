#include "Geometry/Triangle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "geometry_oracle.h"

using math::AABB;
using math::float2;
using math::float3;
using math::LCG;
using math::Line;
using math::LineSegment;
using math::OBB;
using math::Plane;
using math::Ray;
using math::Triangle;
using namespace oracle;

namespace {

const Triangle kUnit(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0));

// The point of the triangle nearest to p, in double: the projection when it falls inside,
// otherwise the nearest point of the three edges.
D3 NearestOnTriangle(const Triangle &t, const D3 &p) {
    const D3 a(t.a), b(t.b), c(t.c);
    const D3 n = Cross(b - a, c - a);
    const double nn = Dot(n, n);
    const D3 q = p - n * (Dot(p - a, n) / nn);
    const double u = Dot(Cross(b - q, c - q), n) / nn;
    const double v = Dot(Cross(c - q, a - q), n) / nn;
    if (u >= 0 && v >= 0 && 1 - u - v >= 0) return q;
    D3 best = a;
    for (const Linear &e : {SegmentSet(t.a, t.b), SegmentSet(t.b, t.c), SegmentSet(t.c, t.a)}) {
        const D3 candidate = e.At(e.Nearest(p));
        if (Distance(candidate, p) < Distance(best, p)) best = candidate;
    }
    return best;
}

double DistanceToTriangle(const Triangle &t, const D3 &p) { return Distance(NearestOnTriangle(t, p), p); }

// Distance in double from a line, ray or segment to the triangle: 0 where it pierces the
// triangle, otherwise the least distance to its end points and the three edges.
double DistanceToTriangle(const Triangle &t, const Linear &s) {
    const D3 a(t.a), b(t.b), c(t.c);
    const D3 n = Cross(b - a, c - a);
    const double denom = Dot(n, s.dir);
    if (denom != 0) {
        const double k = Dot(n, a - s.origin) / denom;
        if (k >= s.lo && k <= s.hi && DistanceToTriangle(t, s.At(k)) < 1e-9) return 0;
    }
    double best = kInf;
    for (double k : {s.lo, s.hi})
        if (std::isfinite(k)) best = std::min(best, DistanceToTriangle(t, s.At(k)));
    for (const Linear &e : {SegmentSet(t.a, t.b), SegmentSet(t.b, t.c), SegmentSet(t.c, t.a)})
        best = std::min(best, Distance(e, s));
    return best;
}

Triangle RandomTriangle(Random &random) {
    for (;;) {
        const Triangle t(random.Point(), random.Point(), random.Point());
        if (t.Area() > 2.f) return t;
    }
}

}  // namespace

TEST(TriangleBarycentric, VerticesAndPlanePointsInEveryProjection) {
    // The dominant normal component picks the coordinate plane: x, y and z in turn.
    const Triangle cases[] = {
        Triangle(float3(1, 0, 0), float3(1.5f, 2, 0.5f), float3(0.8f, -1, 3)),
        Triangle(float3(0, 1, 0), float3(2, 1.5f, 0.5f), float3(-1, 0.8f, 3)),
        Triangle(float3(0, 0, 1), float3(2, 0.5f, 1.5f), float3(-1, 3, 0.8f)),
        Triangle(float3(0, 0, 1), float3(-1, 3, 0.8f), float3(2, 0.5f, 1.5f)),
    };
    for (const Triangle &t : cases) {
        const float3 ua = t.BarycentricUVW(t.a);
        EXPECT_NEAR(ua.x, 1.f, 1e-6f);
        EXPECT_NEAR(ua.y, 0.f, 1e-6f);
        EXPECT_NEAR(ua.z, 0.f, 1e-6f);
        const float2 ub = t.BarycentricUV(t.b);
        EXPECT_NEAR(ub.x, 1.f, 1e-6f);
        EXPECT_NEAR(ub.y, 0.f, 1e-6f);
        for (float s : {0.1f, 0.4f, 1.5f}) {
            const float3 p = t.Point(s, 0.3f);
            const float2 st = t.BarycentricUV(p);
            EXPECT_NEAR(st.x, s, 1e-5f);
            EXPECT_NEAR(st.y, 0.3f, 1e-5f);
            EXPECT_TRUE(Near(t.Point(st), D3(p), 1e-5));
            EXPECT_TRUE(Near(t.Point(t.BarycentricUVW(p)), D3(p), 1e-5));
        }
    }
    EXPECT_TRUE(Triangle::BarycentricInsideTriangle(float3(0.2f, 0.3f, 0.5f)));
    EXPECT_FALSE(Triangle::BarycentricInsideTriangle(float3(-0.1f, 0.6f, 0.5f)));
    EXPECT_FALSE(Triangle::BarycentricInsideTriangle(float3(0.2f, 0.3f, 0.6f)));
}

TEST(TriangleMeasures, AreaNormalsPlanesAndExtremes) {
    const Triangle t(float3(0, 0, 0), float3(4, 0, 0), float3(0, 3, 0));
    EXPECT_FLOAT_EQ(t.Area(), 6.f);
    EXPECT_FLOAT_EQ(t.Perimeter(), 12.f);
    EXPECT_TRUE(SameBits(t.Centroid(), float3(4, 3, 0) * 0.33333334f));
    EXPECT_TRUE(Near(t.NormalCCW(), D3(0, 0, 1), 1e-7));
    EXPECT_TRUE(Near(t.NormalCW(), D3(0, 0, -1), 1e-7));
    EXPECT_TRUE(SameBits(t.UnnormalizedNormalCCW(), float3(0, 0, 12)));
    EXPECT_TRUE(Near(t.PlaneCCW().normal, D3(0, 0, 1), 1e-7));
    EXPECT_TRUE(Near(t.PlaneCW().normal, D3(0, 0, -1), 1e-7));
    EXPECT_FLOAT_EQ(Triangle::Area2D(float2(0, 0), float2(4, 0), float2(0, 3)), 12.f);
    EXPECT_FLOAT_EQ(Triangle::Area2D(float2(0, 0), float2(0, 3), float2(4, 0)), -12.f);
    // (pt, b, c) with pt below the edge b-c on a's side, measured along +z.
    EXPECT_FLOAT_EQ(Triangle::SignedArea(float3(0, 0, 0), t.a, t.b, t.c), 12.f);
    EXPECT_FLOAT_EQ(Triangle::SignedArea(float3(4, 3, 0), t.a, t.b, t.c), -12.f);

    // Ties go to the earliest vertex; a NaN direction finds none.
    EXPECT_TRUE(SameBits(t.ExtremePoint(float3(0, -1, 0)), t.a));
    float projection;
    EXPECT_TRUE(SameBits(t.ExtremePoint(float3(1, 1, 0), projection), t.b));
    EXPECT_FLOAT_EQ(projection, 4.f);
    EXPECT_TRUE(AllNaN(t.ExtremePoint(float3::nan)));
    float lo, hi;
    t.ProjectToAxis(float3(0, 1, 0), lo, hi);
    EXPECT_EQ(lo, 0.f);
    EXPECT_EQ(hi, 3.f);

    EXPECT_TRUE(AllNaN(t.Vertex(3)));
    EXPECT_TRUE(AllNaN(t.Vertex(-1)));
    EXPECT_TRUE(AllNaN(t.Edge(3).a) && AllNaN(t.Edge(3).b));
    EXPECT_TRUE(SameBits(t.Edge(2).a, t.c) && SameBits(t.Edge(2).b, t.a));

    float3 normals[4], directions[3];
    EXPECT_EQ(t.UniqueFaceNormals(normals), 4);
    EXPECT_TRUE(SameBits(normals[0], float3(0, 0, 12)));
    EXPECT_EQ(t.UniqueEdgeDirections(directions), 3);
    EXPECT_TRUE(SameBits(directions[2], float3(-4, 3, 0)));

    // Collinear distinct vertices are not degenerate; coincident ones are.
    EXPECT_FALSE(Triangle(float3(0, 0, 0), float3(1, 0, 0), float3(2, 0, 0)).IsDegenerate(1e-3f));
    EXPECT_TRUE(Triangle(float3(0, 0, 0), float3(1, 0, 0), float3(1, 0.0001f, 0)).IsDegenerate(1e-3f));
    EXPECT_FALSE(Triangle(float3::nan, t.b, t.c).IsFinite());

    const math::Polygon polygon = t.ToPolygon();
    ASSERT_EQ(polygon.NumVertices(), 3);
    EXPECT_TRUE(SameBits(polygon.vertices[1], t.b));
}

TEST(TriangleContains, BarycentricMarginAndThickness) {
    struct Case {
        float3 p;
        float thicknessSq;
        bool inside;
    };
    const Case cases[] = {
        {float3(0.25f, 0.25f, 0), 0.f, true},          // exactly in the plane
        {float3(-0.0005f, 0.5f, 0), 1e-6f, true},      // just outside the edge a-c
        {float3(-0.002f, 0.5f, 0), 1e-6f, false},
        {float3(0.5005f, 0.5f, 0), 1e-6f, true},       // just outside the edge b-c
        {float3(0.25f, 0.25f, 0.009f), 1e-4f, true},   // thickness bounds the squared distance
        {float3(0.25f, 0.25f, 0.011f), 1e-4f, false},
        {float3(2, 2, 0), 1e-4f, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(kUnit.Contains(c.p, c.thicknessSq), c.inside) << c.p.ToString();
    EXPECT_TRUE(kUnit.Contains(LineSegment(float3(0.1f, 0.1f, 0), float3(0.4f, 0.4f, 0)), 1e-6f));
    EXPECT_FALSE(kUnit.Contains(LineSegment(float3(0.1f, 0.1f, 0), float3(1.4f, 0.4f, 0)), 1e-6f));
    EXPECT_TRUE(kUnit.Contains(Triangle(float3(0.1f, 0.1f, 0), float3(0.2f, 0.1f, 0), float3(0.1f, 0.2f, 0)), 1e-6f));
}

TEST(TriangleClosestPoint, VoronoiRegionCases) {
    const Triangle t(float3(0, 0, 0), float3(2, 0, 0), float3(0, 2, 0));
    EXPECT_TRUE(SameBits(t.ClosestPoint(float3(3, -1, 0)), t.b));  // beyond vertex b: b exactly
    EXPECT_TRUE(SameBits(t.ClosestPoint(float3(-1, -1, 5)), t.a));
    EXPECT_TRUE(SameBits(t.ClosestPoint(float3(-1, 3, 0)), t.c));
    EXPECT_TRUE(Near(t.ClosestPoint(float3(0.5f, 0.5f, 3)), D3(0.5, 0.5, 0), 1e-6));  // above the face
    EXPECT_TRUE(Near(t.ClosestPoint(float3(1, -2, 0)), D3(1, 0, 0), 1e-6));
    EXPECT_TRUE(Near(t.ClosestPoint(float3(2, 2, 1)), D3(1, 1, 0), 1e-6));
    EXPECT_FLOAT_EQ(t.Distance(float3(0.5f, 0.5f, 3)), 3.f);
    EXPECT_FLOAT_EQ(t.DistanceSq(float3(0.5f, 0.5f, 3)), 9.f);
}

TEST(TriangleClosestPoint, PointsAgreeWithDoubleFormula) {
    Random random(101);
    for (int i = 0; i < 2000; ++i) {
        const Triangle t = RandomTriangle(random);
        const float3 p = random.Point(15.f);
        const D3 expected = NearestOnTriangle(t, p);
        EXPECT_TRUE(Near(t.ClosestPoint(p), expected, 1e-4)) << t.ToString() << " " << p.ToString();
        EXPECT_NEAR(t.Distance(p), Distance(expected, D3(p)), 1e-4);
    }
}

TEST(TriangleClosestPoint, SegmentsAndLinesAgreeWithDoubleDistance) {
    Random random(102);
    for (int i = 0; i < 2000; ++i) {
        const Triangle t = RandomTriangle(random);
        const LineSegment s(random.Point(15.f), random.Point(15.f));
        float3 onSegment;
        const float3 c = t.ClosestPoint(s, &onSegment);
        const double expected = DistanceToTriangle(t, SegmentSet(s.a, s.b));
        EXPECT_NEAR(Distance(D3(c), D3(onSegment)), expected, 1e-3) << t.ToString() << " " << s.ToString();
        EXPECT_LT(DistanceToTriangle(t, D3(c)), 1e-4);
        EXPECT_LT(Distance(D3(onSegment), SegmentSet(s.a, s.b)), 1e-4);

        const Line l(random.Point(15.f), random.Direction());
        float3 onLine;
        const float3 cl = t.ClosestPoint(l, &onLine);
        EXPECT_NEAR(Distance(D3(cl), D3(onLine)), DistanceToTriangle(t, LineSet(l.pos, l.dir)), 1e-3);
        EXPECT_LT(DistanceToTriangle(t, D3(cl)), 1e-4);
        EXPECT_LT(Distance(D3(onLine), LineSet(l.pos, l.dir)), 1e-4);
    }
}

TEST(TriangleClosestPoint, BetweenTriangles) {
    Random random(103);
    for (int i = 0; i < 500; ++i) {
        const Triangle t = RandomTriangle(random);
        Triangle other = RandomTriangle(random);
        other.Translate(float3(25, 0, 0));  // apart, so the pair is a true closest pair
        float3 partner;
        const float3 c = t.ClosestPoint(other, &partner);
        double expected = kInf;
        for (const float3 &v : {other.a, other.b, other.c}) expected = std::min(expected, DistanceToTriangle(t, D3(v)));
        for (const float3 &v : {t.a, t.b, t.c}) expected = std::min(expected, DistanceToTriangle(other, D3(v)));
        for (int e = 0; e < 3; ++e)
            for (int f = 0; f < 3; ++f)
                expected = std::min(expected, Distance(SegmentSet(t.Edge(e).a, t.Edge(e).b),
                                                       SegmentSet(other.Edge(f).a, other.Edge(f).b)));
        EXPECT_NEAR(Distance(D3(c), D3(partner)), expected, 1e-3);
    }
    // Coplanar and one inside the other: the common point is a point of both.
    const Triangle big(float3(0, 0, 0), float3(10, 0, 0), float3(0, 10, 0));
    const Triangle small(float3(1, 1, 0), float3(2, 1, 0), float3(1, 2, 0));
    for (const auto &pair : {std::make_pair(big, small), std::make_pair(small, big)}) {
        float3 partner;
        const float3 c = pair.first.ClosestPoint(pair.second, &partner);
        EXPECT_TRUE(pair.first.Contains(c, 1e-6f) && pair.second.Contains(c, 1e-6f)) << c.ToString();
        EXPECT_TRUE(SameBits(c, partner));
    }
}

TEST(TriangleIntersectLineTri, ParallelLinesAndEdgeMargin) {
    float u = 7.f, v = 7.f;
    EXPECT_EQ(Triangle::IntersectLineTri(float3(0, 0, 0), float3(1, 0, 0), kUnit.a, kUnit.b, kUnit.c, u, v), kInfF);
    EXPECT_EQ(u, 7.f);  // a line in the triangle's plane writes neither parameter
    EXPECT_EQ(v, 7.f);
    EXPECT_FLOAT_EQ(Triangle::IntersectLineTri(float3(-0.00005f, 0.5f, 1), float3(0, 0, -1), kUnit.a, kUnit.b,
                                               kUnit.c, u, v), 1.f);
    EXPECT_FLOAT_EQ(u, -0.00005f);
    EXPECT_EQ(Triangle::IntersectLineTri(float3(-0.0002f, 0.5f, 1), float3(0, 0, -1), kUnit.a, kUnit.b, kUnit.c, u, v),
              kInfF);

    float d = -1;
    float3 hit;
    EXPECT_TRUE(kUnit.Intersects(LineSegment(float3(0.25f, 0.25f, 1), float3(0.25f, 0.25f, 0)), &d, &hit));
    EXPECT_EQ(d, 1.f);  // ending exactly on the triangle counts
    EXPECT_TRUE(SameBits(hit, float3(0.25f, 0.25f, 0)));
    EXPECT_FALSE(kUnit.Intersects(LineSegment(float3(0.25f, 0.25f, 1), float3(0.25f, 0.25f, 0.1f)), nullptr, nullptr));
    const float3 above(0.25f, 0.25f, 1), up(0, 0, 1);
    EXPECT_FALSE(kUnit.Intersects(Ray(above, up), nullptr, nullptr));  // the triangle lies behind
    EXPECT_TRUE(kUnit.Intersects(Line(above, up), &d, nullptr));
    EXPECT_EQ(d, -1.f);
    EXPECT_TRUE(kUnit.Intersects(Ray(above, -up), &d, nullptr));
    EXPECT_EQ(d, 1.f);
}

TEST(TriangleIntersects, PlanesAndTriangles) {
    EXPECT_TRUE(kUnit.Intersects(Plane(float3(1, 0, 0), 0.5f)));
    EXPECT_TRUE(kUnit.Intersects(Plane(float3(1, 0, 0), 1.f)));  // touching at b
    EXPECT_FALSE(kUnit.Intersects(Plane(float3(1, 0, 0), 1.5f)));
    EXPECT_FALSE(kUnit.Intersects(Plane(float3(0, 0, 1), 0.5f)));

    const Triangle ground(float3(-1, -1, 0), float3(3, -1, 0), float3(-1, 3, 0));
    LineSegment common;
    // Standing across the ground triangle: the common segment runs along x = 0.5, z = 0.
    const Triangle standing(float3(0.5f, -0.5f, -1), float3(0.5f, 0.5f, 1), float3(0.5f, 1.5f, -1));
    ASSERT_TRUE(ground.Intersects(standing, &common));
    for (const float3 &p : {common.a, common.b}) {
        EXPECT_TRUE(ground.Contains(p, 1e-6f)) << p.ToString();
        EXPECT_TRUE(standing.Contains(p, 1e-6f)) << p.ToString();
    }
    EXPECT_NEAR(common.Length(), 1.f, 1e-5f);
    Triangle lifted = standing;
    lifted.Translate(float3(0, 0, 1.5f));
    EXPECT_FALSE(ground.Intersects(lifted, nullptr));
    Triangle beside = standing;
    beside.Translate(float3(5, 0, 0));
    EXPECT_FALSE(ground.Intersects(beside, nullptr));

    // Coplanar: edges crossing give a zero-length segment on both outlines.
    const Triangle up(float3(0, 0, 0), float3(2, 0, 0), float3(1, 2, 0));
    const Triangle down(float3(0, 1.5f, 0), float3(1, -0.5f, 0), float3(2, 1.5f, 0));
    ASSERT_TRUE(up.Intersects(down, &common));
    EXPECT_TRUE(SameBits(common.a, common.b));
    EXPECT_TRUE(up.Contains(common.a, 1e-6f) && down.Contains(common.a, 1e-6f));
    Triangle far = down;
    far.Translate(float3(5, 0, 0));
    EXPECT_FALSE(up.Intersects(far, nullptr));
    far = down;
    far.Translate(float3(0, 0, 0.01f));  // parallel planes apart
    EXPECT_FALSE(up.Intersects(far, nullptr));

    math::Polygon square;
    square.vertices = {float3(-1, -1, 0), float3(2, -1, 0), float3(2, 2, 0), float3(-1, 2, 0)};
    EXPECT_TRUE(standing.Intersects(square));
    EXPECT_FALSE(beside.Intersects(square));
}

TEST(TriangleRandom, DrawOrderAndRegions) {
    const Triangle t(float3(1, 2, 3), float3(5, -1, 2), float3(0, 4, -2));
    LCG lcg, replay;
    lcg.Seed(12345, 69621, 0, 0x7FFFFFFF);
    replay = lcg;
    for (int i = 0; i < 1000; ++i) {
        const float3 p = t.RandomPointInside(lcg);
        // s is drawn first, then t, and both fold together.
        float s = replay.Float(0.001f, 0.999f);
        float r = replay.Float(0.001f, 0.999f);
        if (s + r >= 1.f) s = 1.f - s, r = 1.f - r;
        EXPECT_TRUE(SameBits(p, t.Point(s, r)));
        EXPECT_GE(s, 0.001f);
        EXPECT_GE(r, 0.001f);
        EXPECT_TRUE(t.Contains(p, 1e-6f));
    }
    EXPECT_EQ(lcg.lastNumber, replay.lastNumber);
    for (int i = 0; i < 200; ++i) {
        const float3 p = t.RandomPointOnEdge(lcg);
        double nearest = kInf;
        for (int e = 0; e < 3; ++e) nearest = std::min(nearest, Distance(D3(p), SegmentSet(t.Edge(e).a, t.Edge(e).b)));
        EXPECT_LT(nearest, 1e-5);
        const float3 v = t.RandomVertex(lcg);
        EXPECT_TRUE(v.BitEquals(t.a) || v.BitEquals(t.b) || v.BitEquals(t.c));
    }
}

TEST(TriangleBounds, ComponentwiseExtremesOfTheVertices) {
    const Triangle t(float3(1, -5, 2), float3(-3, 4, 2), float3(0, 0, 7));
    const AABB box = t.BoundingAABB();
    EXPECT_TRUE(SameBits(box.minCorner, float3(-3, -5, 2)));
    EXPECT_TRUE(SameBits(box.maxCorner, float3(1, 4, 7)));
}

namespace {

// Separating axes in double over the vertices and corners themselves: the three box axes, the
// triangle's normal and the nine crosses of box axes with edges.
double SeparationFromBox(const Triangle &t, const std::vector<D3> &corners, const std::vector<D3> &boxAxes) {
    const std::vector<D3> vertices = {D3(t.a), D3(t.b), D3(t.c)};
    const std::vector<D3> edges = {D3(t.b) - D3(t.a), D3(t.c) - D3(t.a), D3(t.c) - D3(t.b)};
    return Separation(vertices, corners, SeparatingAxes({Cross(edges[0], edges[1])}, edges, boxAxes, boxAxes));
}

}  // namespace

TEST(TriangleIntersects, BoxesAgreeWithSeparatingAxesInDouble) {
    Random random(41);
    const std::vector<D3> unitAxes = {D3(1, 0, 0), D3(0, 1, 0), D3(0, 0, 1)};
    int hits[2] = {0, 0}, misses[2] = {0, 0};
    for (int n = 0; n < 3000; ++n) {
        const AABB aabb = AABB::FromCenterAndSize(random.Point(2.f), random.Point(3.f).Abs() + float3(0.5f));
        const math::float3x3 r = math::float3x3::RotateAxisAngle(random.Direction(), random.Uniform(-3.f, 3.f));
        const OBB obb(random.Point(2.f), random.Point(1.5f).Abs() + float3(0.25f), r.Col(0), r.Col(1), r.Col(2));
        const Triangle t(random.Point(5.f), random.Point(5.f), random.Point(5.f));
        if (t.Area() < 0.1f) continue;
        const std::vector<D3> obbAxes = {D3(obb.axis[0]), D3(obb.axis[1]), D3(obb.axis[2])};
        const double separation[2] = {SeparationFromBox(t, Corners(aabb), unitAxes),
                                      SeparationFromBox(t, Corners(obb), obbAxes)};
        const bool result[2][2] = {{t.Intersects(aabb), aabb.Intersects(t)}, {t.Intersects(obb), obb.Intersects(t)}};
        for (int k = 0; k < 2; ++k) {
            if (std::fabs(separation[k]) < 1e-3) continue;  // too close to call in float
            SCOPED_TRACE(testing::Message() << "case " << n << (k ? " oriented" : " axis-aligned"));
            EXPECT_EQ(result[k][0], separation[k] < 0);
            EXPECT_EQ(result[k][1], result[k][0]);
            ++(separation[k] < 0 ? hits : misses)[k];
        }
    }
    for (int k = 0; k < 2; ++k) {
        EXPECT_GT(hits[k], 200);
        EXPECT_GT(misses[k], 200);
    }
}

TEST(TriangleIntersects, TouchingABoxIsSeparatedFromIt) {
    const AABB box(float3(0, 0, 0), float3(2, 2, 2));
    const Triangle onFace(float3(0.5f, 0.5f, 2), float3(1.5f, 0.5f, 2), float3(0.5f, 1.5f, 2));
    EXPECT_FALSE(onFace.Intersects(box));
    EXPECT_FALSE(box.Intersects(onFace));
    EXPECT_FALSE(onFace.Intersects(OBB(box)));
    EXPECT_TRUE(Triangle(onFace.a - float3(0, 0, 1e-3f), onFace.b, onFace.c).Intersects(box));
}

TEST(TriangleTransform, AffineMatricesMapEveryVertexAsAPoint) {
    const Triangle t(float3(1, 0, 0), float3(0, 2, 0), float3(0, 0, 3));
    const math::float3x4 m(math::float3x3::RotateZ(0.7f) * 2.f, float3(5, -6, 7));
    Triangle moved = t;
    moved.Transform(m);
    for (const Triangle &mapped : {moved, m * t}) {
        EXPECT_TRUE(SameBits(mapped.a, m.MulPos(t.a)));
        EXPECT_TRUE(SameBits(mapped.b, m.MulPos(t.b)));
        EXPECT_TRUE(SameBits(mapped.c, m.MulPos(t.c)));
    }
}

TEST(TriangleTransform, MatricesAndQuaternions) {
    const Triangle t(float3(1, 0, 0), float3(0, 2, 0), float3(0, 0, 3));
    const math::float3x3 m = math::float3x3::RotateZ(1.5707964f);
    const math::Quat q = math::Quat::RotateZ(1.5707964f);
    for (const Triangle &moved : {m * t, q * t}) {
        EXPECT_TRUE(Near(moved.a, D3(0, 1, 0), 1e-6));
        EXPECT_TRUE(Near(moved.b, D3(-2, 0, 0), 1e-6));
        EXPECT_TRUE(Near(moved.c, D3(0, 0, 3), 1e-6));
    }
    Triangle shifted = t;
    shifted.Translate(float3(1, 1, 1));
    EXPECT_TRUE(SameBits(shifted.c, float3(1, 1, 4)));
}

TEST(TriangleText, ToStringAndStream) {
    const Triangle t(float3(1, -2.5f, 3.126f), float3(0, 0, 0), float3(std::nanf(""), -std::nanf(""), 1e6f));
    const std::string expected =
        "Triangle(a:(1.00, -2.50, 3.13) b:(0.00, 0.00, 0.00) c:(nan, nan, 1000000.00))";
    EXPECT_EQ(t.ToString(), expected);
    std::ostringstream out;
    out << t;
    EXPECT_EQ(out.str(), expected);
    // The longest coordinates are written whole.
    const std::string m = "-340282346638528859811704183484516925440.00";
    const std::string v = m + ", " + m + ", " + m;
    EXPECT_EQ(Triangle(float3(-3.4028235e38f), float3(-3.4028235e38f), float3(-3.4028235e38f)).ToString(),
              "Triangle(a:(" + v + ") b:(" + v + ") c:(" + v + "))");
}

TEST(TriangleFreeFunctions, IntervalsRangesAndCrossingEdges) {
    struct IntervalCase {
        float aMin, aMax, bMin, bMax;
        int result;
        float s, t;
    };
    const float nan = std::nanf("");
    const IntervalCase intervals[] = {
        {0, 1, 1, 2, 1, 1, 1},   {0, 1, 2, 3, 0, nan, nan}, {1, 2, 0, 1, 1, 1, 1},
        {0, 2, 1, 3, 2, 1, 2},   {0, 4, 1, 2, 2, 1, 2},     {2, 3, 0, 1, 0, nan, nan},
    };
    for (const IntervalCase &c : intervals) {
        float s, t;
        EXPECT_EQ(math::IntervalIntersection(c.aMin, c.aMax, c.bMin, c.bMax, s, t), c.result);
        EXPECT_EQ(Bits(s), Bits(c.s));
        EXPECT_EQ(Bits(t), Bits(c.t));
    }
    EXPECT_TRUE(math::RangesOverlap(0, 1, 1, 2));
    EXPECT_FALSE(math::RangesOverlap(0, 1, 1.5f, 2));

    const Triangle t(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0));
    struct EdgeCase {
        float da, db, dc;
        float3 s1a, s1b, s2a, s2b;
    };
    const EdgeCase edges[] = {
        {1, 1, -1, t.a, t.c, t.b, t.c},   // c alone
        {-1, 1, 1, t.a, t.b, t.a, t.c},   // a alone
        {1, -1, 1, t.a, t.b, t.b, t.c},   // b alone
    };
    for (const EdgeCase &c : edges) {
        LineSegment s1, s2;
        math::FindIntersectingLineSegments(t, c.da, c.db, c.dc, s1, s2);
        EXPECT_TRUE(SameBits(s1.a, c.s1a) && SameBits(s1.b, c.s1b) && SameBits(s2.a, c.s2a) && SameBits(s2.b, c.s2b));
    }
}

TEST(TriangleFreeFunctions, SegmentIntersection2D) {
    struct Case {
        float2 p0, dir0, q0, dir1;
        bool hit;
        float s, t;
    };
    const float nan = std::nanf("");
    const Case cases[] = {
        {float2(0, 0), float2(2, 0), float2(1, -1), float2(0, 2), true, 0.5f, 0.5f},    // crossing
        {float2(0, 0), float2(2, 0), float2(3, -1), float2(0, 2), false, 1.5f, 0.5f},   // lines cross outside
        {float2(0, 0), float2(2, 0), float2(0, 1), float2(2, 0), false, nan, nan},       // parallel, apart
        {float2(0, 0), float2(2, 0), float2(1, 0), float2(3, 0), true, 0.5f, 1.f},       // collinear overlap
        {float2(0, 0), float2(2, 0), float2(2, 0), float2(1, 0), true, 1.f, 1.f},        // touching at the end
        {float2(0, 0), float2(2, 0), float2(-1, 0), float2(1, 0), true, 0.f, 0.f},       // touching at the start
        {float2(0, 0), float2(2, 0), float2(3, 0), float2(1, 0), false, nan, nan},       // collinear, apart
    };
    for (const Case &c : cases) {
        float s, t;
        EXPECT_EQ(math::LineSegment2DLineSegment2DIntersect(c.p0, c.dir0, c.q0, c.dir1, s, t), c.hit);
        EXPECT_EQ(Bits(s), Bits(c.s)) << c.q0.ToString();
        EXPECT_EQ(Bits(t), Bits(c.t)) << c.q0.ToString();
    }
}
