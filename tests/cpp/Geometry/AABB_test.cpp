#include "Geometry/AABB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Geometry/geometry_oracle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "log_capture.h"

using math::AABB;
using math::float2;
using math::float3;
using math::float3x3;
using math::float3x4;
using math::LineSegment;
using math::OBB;
using math::Quat;
using oracle::SameBits;

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kPi = 3.14159265f;

const AABB kBox(float3(-1, -2, 0), float3(1, 2, 3));

math::Polygon MakePolygon(std::vector<float3> vertices) {
    math::Polygon polygon;
    polygon.vertices = std::move(vertices);
    return polygon;
}

math::LCG SeededLCG(unsigned seed) {
    math::LCG lcg;
    lcg.Seed(seed, 69621, 0, 2147483647);
    return lcg;
}

// The part of pos + t dir (lo <= t <= hi) inside the box, in double; empty when
// tFar < tNear. Every direction component is far from zero here.
void SlabOracle(const AABB &box, const float3 &pos, const float3 &dir, double lo, double hi, double &tNear,
                double &tFar) {
    tNear = lo;
    tFar = hi;
    for (int axis = 0; axis < 3; ++axis) {
        const double t1 = (double(box.minCorner.At(axis)) - pos.At(axis)) / dir.At(axis);
        const double t2 = (double(box.maxCorner.At(axis)) - pos.At(axis)) / dir.At(axis);
        tNear = std::max(tNear, std::min(t1, t2));
        tFar = std::min(tFar, std::max(t1, t2));
    }
}

float3 AwayFromAxes(oracle::Random &random) {
    for (;;) {
        const float3 d = random.Direction();
        if (std::fabs(d.x) > 0.05f && std::fabs(d.y) > 0.05f && std::fabs(d.z) > 0.05f) return d;
    }
}

}  // namespace

// The engine's surface box: the empty start, then every face.
TEST(AABBEnclose, FacesGrowTheEmptyBoxToTheVertexBounds) {
    AABB box;
    box.SetNegativeInfinity();
    EXPECT_EQ(box.minCorner.x, kInf);
    EXPECT_EQ(box.maxCorner.z, -kInf);
    box.Enclose(MakePolygon({}));
    EXPECT_EQ(box.minCorner.x, kInf);  // no vertices, no change

    box.Enclose(MakePolygon({float3(1, 2, 3)}));
    EXPECT_TRUE(SameBits(box.minCorner, float3(1, 2, 3)));
    EXPECT_TRUE(SameBits(box.maxCorner, float3(1, 2, 3)));
    EXPECT_TRUE(box.IsDegenerate());  // not strictly greater

    box.Enclose(MakePolygon({float3(0, 5, 3), float3(2, -1, 4), float3(1, 1, -7)}));
    EXPECT_TRUE(SameBits(box.minCorner, float3(0, -1, -7)));
    EXPECT_TRUE(SameBits(box.maxCorner, float3(2, 5, 4)));
    EXPECT_FALSE(box.IsDegenerate());

    const float3 points[] = {float3(3, 0, 0), float3(-4, 9, 1)};
    EXPECT_TRUE(AABB::MinimalEnclosingAABB(points, 2).Size().Equals(7, 9, 1, 1e-9f));
    const AABB empty = AABB::MinimalEnclosingAABB(nullptr, 2);
    EXPECT_EQ(empty.minCorner.y, kInf);
    EXPECT_EQ(AABB::MinimalEnclosingAABB(points, 0).maxCorner.y, -kInf);

    AABB shapes = kBox;
    shapes.Enclose(LineSegment(float3(5, 0, 0), float3(-5, 1, 1)));
    shapes.Enclose(math::Triangle(float3(0, 7, 0), float3(0, 0, -8), float3(0, 0, 0)));
    EXPECT_TRUE(SameBits(shapes.minCorner, float3(-5, -2, -8)));
    EXPECT_TRUE(SameBits(shapes.maxCorner, float3(5, 7, 3)));
}

TEST(AABBEnclose, OrientedBoxesInBothDirections) {
    const OBB obb(float3(1, 1, 1), float3(1, 2, 0.5f), float3(0.6f, 0.8f, 0), float3(-0.8f, 0.6f, 0),
                  float3(0, 0, 1));
    const AABB around(obb);
    for (int i = 0; i < 8; ++i) EXPECT_LT(around.Distance(obb.CornerPoint(i)), 1e-5f);
    // Tight: some corner reaches each face.
    float3 lo(kInf), hi(-kInf);
    for (int i = 0; i < 8; ++i) {
        lo = lo.Min(obb.CornerPoint(i));
        hi = hi.Max(obb.CornerPoint(i));
    }
    EXPECT_TRUE(around.minCorner.Equals(lo, 1e-5f));
    EXPECT_TRUE(around.maxCorner.Equals(hi, 1e-5f));
    AABB grown;
    grown.SetNegativeInfinity();
    grown.Enclose(obb);
    EXPECT_TRUE(grown.minCorner.Equals(lo, 1e-5f) && grown.maxCorner.Equals(hi, 1e-5f));
    EXPECT_TRUE(around.Contains(obb));
}

TEST(AABBMeasures, SizeVolumeAreaCentre) {
    EXPECT_TRUE(kBox.CenterPoint().Equals(0, 0, 1.5f, 1e-9f));
    EXPECT_TRUE(kBox.Size().Equals(2, 4, 3, 1e-9f));
    EXPECT_TRUE(kBox.HalfSize().Equals(1, 2, 1.5f, 1e-9f));
    EXPECT_FLOAT_EQ(kBox.Volume(), 24.f);
    EXPECT_FLOAT_EQ(kBox.SurfaceArea(), 2.f * (8 + 6 + 12));
    EXPECT_TRUE(kBox.IsFinite());
    AABB empty;
    empty.SetNegativeInfinity();
    EXPECT_FALSE(empty.IsFinite());
    EXPECT_TRUE(AABB(float3(0, 0, 0), float3(1, std::nanf(""), 1)).IsDegenerate());
    EXPECT_TRUE(AABB::FromCenterAndSize(float3(1, 2, 3), float3(2, 4, 6)).minCorner.Equals(0, 0, 0, 1e-9f));
}

// Corner i takes the maximum x for bit value 4, y for 2, z for 1; any other index is corner 0.
TEST(AABBNumbering, CornersEdgesAndFaces) {
    for (int i = 0; i < 8; ++i) {
        const float3 expected((i & 4) ? 1.f : -1.f, (i & 2) ? 2.f : -2.f, (i & 1) ? 3.f : 0.f);
        EXPECT_TRUE(SameBits(kBox.CornerPoint(i), expected)) << i;
    }
    EXPECT_TRUE(SameBits(kBox.CornerPoint(5), float3(1, -2, 3)));
    EXPECT_TRUE(SameBits(kBox.CornerPoint(9), kBox.minCorner));
    EXPECT_TRUE(SameBits(kBox.CornerPoint(-1), kBox.minCorner));

    const int edges[12][2] = {{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3},
                              {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}};
    for (int i = 0; i < 12; ++i) {
        const LineSegment e = kBox.Edge(i);
        EXPECT_TRUE(SameBits(e.a, kBox.CornerPoint(edges[i][0])) && SameBits(e.b, kBox.CornerPoint(edges[i][1])))
            << "edge " << i;
    }
    EXPECT_TRUE(SameBits(kBox.Edge(-1).a, kBox.CornerPoint(0)) && SameBits(kBox.Edge(-1).b, kBox.CornerPoint(1)));
    EXPECT_TRUE(SameBits(kBox.Edge(12).b, kBox.CornerPoint(1)));

    float3 list[24];
    kBox.ToEdgeList(list);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(SameBits(list[2 * i], kBox.Edge(i).a) && SameBits(list[2 * i + 1], kBox.Edge(i).b));
    float3 corners[8];
    kBox.GetCornerPoints(corners);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(SameBits(corners[i], kBox.CornerPoint(i)));
    kBox.GetCornerPoints(nullptr);
    kBox.ToEdgeList(nullptr);
    kBox.GetFacePlanes(nullptr);

    // Faces -X, +X, -Y, +Y, -Z, +Z with outward unit normals.
    struct Face {
        float3 center;
        float3 normal;
    };
    const Face faces[6] = {{float3(-1, 0, 1.5f), float3(-1, 0, 0)}, {float3(1, 0, 1.5f), float3(1, 0, 0)},
                           {float3(0, -2, 1.5f), float3(0, -1, 0)}, {float3(0, 2, 1.5f), float3(0, 1, 0)},
                           {float3(0, 0, 0), float3(0, 0, -1)},     {float3(0, 0, 3), float3(0, 0, 1)}};
    math::Plane planes[6];
    kBox.GetFacePlanes(planes);
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(SameBits(kBox.FaceCenterPoint(f), faces[f].center));
        EXPECT_TRUE(SameBits(kBox.FaceNormal(f), faces[f].normal));
        EXPECT_TRUE(planes[f].Contains(faces[f].center, 1e-6f));
        EXPECT_LT(planes[f].SignedDistance(kBox.CenterPoint()), 0.f);
        EXPECT_TRUE(SameBits(kBox.FacePoint(f, 0.5f, 0.5f), faces[f].center));
        for (float u : {0.f, 1.f})
            for (float v : {0.f, 1.f}) EXPECT_TRUE(planes[f].Contains(kBox.FacePoint(f, u, v), 1e-6f));
    }
    EXPECT_TRUE(SameBits(kBox.FaceCenterPoint(6), float3(-1, 0, 1.5f)));
    EXPECT_TRUE(SameBits(kBox.FaceNormal(-2), float3(-1, 0, 0)));
    EXPECT_TRUE(SameBits(kBox.FacePoint(9, 0.f, 1.f), kBox.FacePoint(0, 0.f, 1.f)));

    float3 unique[3];
    EXPECT_EQ(kBox.UniqueFaceNormals(unique), 3);
    EXPECT_TRUE(SameBits(unique[2], float3(0, 0, 1)));
}

// PointOnEdge groups its edges by the axis they run along.
TEST(AABBNumbering, PointOnEdgeRunsFromCornerToCorner) {
    const int ends[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {4, 6},
                             {1, 3}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(SameBits(kBox.PointOnEdge(i, 0.f), kBox.CornerPoint(ends[i][0]))) << i;
        EXPECT_TRUE(SameBits(kBox.PointOnEdge(i, 1.f), kBox.CornerPoint(ends[i][1]))) << i;
    }
    EXPECT_TRUE(SameBits(kBox.PointOnEdge(12, 0.25f), kBox.PointOnEdge(0, 0.25f)));
    EXPECT_TRUE(SameBits(kBox.PointOnEdge(0, 2.f), float3(-1, -2, 6)));  // u is not clamped
    EXPECT_TRUE(SameBits(kBox.PointInside(0.5f, 0.5f, 0.5f), kBox.CenterPoint()));
    EXPECT_TRUE(SameBits(kBox.PointInside(2.f, 0.f, 1.f), float3(3, -2, 3)));
}

TEST(AABBQueries, ClosestPointDistanceExtremesProjection) {
    EXPECT_TRUE(SameBits(kBox.ClosestPoint(float3(5, 0, -1)), float3(1, 0, 0)));
    EXPECT_FLOAT_EQ(kBox.Distance(float3(4, 6, 3)), 5.f);
    EXPECT_EQ(kBox.Distance(float3(0, 0, 1)), 0.f);

    oracle::Random random(4);
    for (int n = 0; n < 30; ++n) {
        const float3 dir = random.Direction();
        float dMin, dMax, projection;
        kBox.ProjectToAxis(dir, dMin, dMax);
        const float3 extreme = kBox.ExtremePoint(dir, projection);
        float lo = kInf, hi = -kInf;
        for (int i = 0; i < 8; ++i) {
            lo = std::min(lo, kBox.CornerPoint(i).Dot(dir));
            hi = std::max(hi, kBox.CornerPoint(i).Dot(dir));
        }
        EXPECT_NEAR(dMin, lo, 1e-5f);
        EXPECT_NEAR(dMax, hi, 1e-5f);
        EXPECT_NEAR(projection, hi, 1e-5f);
        EXPECT_FLOAT_EQ(extreme.Dot(dir), projection);
    }
    EXPECT_TRUE(SameBits(kBox.ExtremePoint(float3(0, -0.f, std::nanf(""))), float3(1, 2, 0)));

    AABB scaled = kBox;
    scaled.Scale(float3(0, 0, 0), -1.f);
    EXPECT_TRUE(scaled.minCorner.x > scaled.maxCorner.x);  // not reordered
    EXPECT_TRUE(kBox.Intersection(AABB(float3(5, 5, 5), float3(6, 6, 6))).IsDegenerate());
    EXPECT_TRUE(kBox.Intersection(AABB(float3(0, 0, 0), float3(6, 6, 6))).Size().Equals(1, 2, 3, 1e-9f));
    AABB perAxis = kBox;
    perAxis.Scale(float3(1, 2, 3), float3(2, 3, 4));
    EXPECT_TRUE(perAxis.minCorner.Equals(-3, -10, -9, 1e-6f));
    perAxis.Translate(float3(3, 10, 9));
    EXPECT_TRUE(perAxis.minCorner.Equals(0, 0, 0, 1e-6f));
}

TEST(AABBQueries, ExtremePointsAlongTheAxes) {
    int minx = 7, maxx = 7, miny = 7, maxy = 7, minz = 7, maxz = 7;
    AABB::ExtremePointsAlongAABB(nullptr, 3, minx, maxx, miny, maxy, minz, maxz);
    EXPECT_EQ(minx + maxx + miny + maxy + minz + maxz, 42);  // nothing written
    const float3 one[] = {float3(1, 1, 1)};
    AABB::ExtremePointsAlongAABB(one, 1, minx, maxx, miny, maxy, minz, maxz);
    EXPECT_EQ(minx + maxx + miny + maxy + minz + maxz, 0);
    const float3 points[] = {float3(0, 5, 1), float3(-3, 5, 2), float3(-3, -1, 2), float3(4, 0, -6)};
    AABB::ExtremePointsAlongAABB(points, 4, minx, maxx, miny, maxy, minz, maxz);
    EXPECT_EQ(minx, 1);  // the first of equal values stays
    EXPECT_EQ(maxx, 3);
    EXPECT_EQ(miny, 2);
    EXPECT_EQ(maxy, 0);
    EXPECT_EQ(minz, 3);
    EXPECT_EQ(maxz, 1);
}

TEST(AABBContainment, InclusiveBoundsNaNFails) {
    EXPECT_TRUE(kBox.Contains(kBox.maxCorner));
    EXPECT_TRUE(kBox.Contains(float3(-1, 0, 1)));
    EXPECT_FALSE(kBox.Contains(float3(1.0001f, 0, 1)));
    EXPECT_FALSE(kBox.Contains(float3(0, std::nanf(""), 1)));
    EXPECT_TRUE(kBox.Contains(LineSegment(float3(-1, -2, 0), float3(1, 2, 3))));
    EXPECT_FALSE(kBox.Contains(LineSegment(float3(0, 0, 0), float3(0, 0, 3.5f))));
    EXPECT_TRUE(kBox.Contains(math::Triangle(float3(0, 0, 0), float3(1, 2, 3), float3(-1, 0, 2))));
    EXPECT_FALSE(kBox.Contains(math::Triangle(float3(0, 0, 0), float3(1, 2, 3), float3(-1, 0, -2))));
    EXPECT_TRUE(kBox.Contains(MakePolygon({float3(0, 0, 0), float3(1, 1, 1), float3(0, 1, 2)})));
    EXPECT_FALSE(kBox.Contains(MakePolygon({float3(0, 0, 0), float3(1, 3, 1), float3(0, 1, 2)})));
    EXPECT_TRUE(kBox.Contains(OBB(AABB(float3(0, 0, 1), float3(1, 1, 2)))));
    const OBB turned(float3(0, 0, 1.5f), float3(1, 1, 1), float3(0.6f, 0.8f, 0), float3(-0.8f, 0.6f, 0),
                     float3(0, 0, 1));
    EXPECT_FALSE(kBox.Contains(turned));
}

TEST(AABBIntersection, BoxesThatTouchDoNotIntersect) {
    const AABB a(float3(0, 0, 0), float3(1, 1, 1));
    const AABB b(float3(1, 0, 0), float3(2, 1, 1));  // shares the face x = 1
    EXPECT_FALSE(a.Intersects(b));
    EXPECT_TRUE(OBB(a).Intersects(OBB(b), 0.f));
    EXPECT_TRUE(a.Intersects(AABB(float3(0.5f, 0.5f, 0.5f), float3(3, 3, 3))));
    EXPECT_FALSE(a.Intersects(AABB(float3(0.5f, 1.5f, 0.5f), float3(3, 3, 3))));
    const OBB turned(float3(1.5f, 0.5f, 0.5f), float3(0.5f, 0.5f, 0.5f), float3(0.6f, 0.8f, 0),
                     float3(-0.8f, 0.6f, 0), float3(0, 0, 1));
    EXPECT_TRUE(a.Intersects(turned));
    EXPECT_FALSE(a.Intersects(OBB(AABB(float3(3, 3, 3), float3(4, 4, 4)))));
}

TEST(AABBIntersection, SlabTestsMatchADoubleOracle) {
    oracle::Random random(17);
    int hits = 0, misses = 0;
    for (int n = 0; n < 2000; ++n) {
        const AABB box = AABB::FromCenterAndSize(random.Point(3.f), random.Point(2.f).Abs() + float3(0.5f));
        const float3 pos = random.Point(6.f);
        const float3 dir = AwayFromAxes(random);
        const float3 end = random.Point(6.f);
        struct Query {
            double lo, hi;
            bool hit;
            float dNear, dFar;
        };
        float lineNear, lineFar, rayNear, rayFar, segNear, segFar;
        const Query queries[3] = {
            {-oracle::kInf, oracle::kInf, box.Intersects(math::Line(pos, dir), lineNear, lineFar), lineNear, lineFar},
            {0.0, oracle::kInf, box.Intersects(math::Ray(pos, dir), rayNear, rayFar), rayNear, rayFar},
            {0.0, 1.0, box.Intersects(LineSegment(pos, end), segNear, segFar), segNear, segFar},
        };
        for (int q = 0; q < 3; ++q) {
            const float3 qDir = q == 2 ? end - pos : dir;
            if (q == 2 && (std::fabs(qDir.x) < 0.05f || std::fabs(qDir.y) < 0.05f || std::fabs(qDir.z) < 0.05f))
                continue;
            double tNear, tFar;
            SlabOracle(box, pos, qDir, queries[q].lo, queries[q].hi, tNear, tFar);
            if (std::fabs(tFar - tNear) < 1e-3) continue;  // too close to call in float
            SCOPED_TRACE(testing::Message() << "case " << n << " query " << q);
            EXPECT_EQ(queries[q].hit, tFar >= tNear);
            if (tFar >= tNear) {
                ++hits;
                EXPECT_NEAR(queries[q].dNear, tNear, 1e-3);
                EXPECT_NEAR(queries[q].dFar, tFar, 1e-3);
            } else {
                ++misses;
            }
        }
        EXPECT_EQ(box.Intersects(math::Line(pos, dir)), queries[0].hit);
        EXPECT_EQ(box.Intersects(math::Ray(pos, dir)), queries[1].hit);
        EXPECT_EQ(box.Intersects(LineSegment(pos, end)), queries[2].hit);
    }
    EXPECT_GT(hits, 100);
    EXPECT_GT(misses, 100);
}

TEST(AABBIntersection, SlabEdgeCases) {
    const AABB unit(float3(0, 0, 0), float3(1, 1, 1));
    // A segment of length 1e-4 or less is its first end point, with parameters 0 and 1.
    float dNear = 5.f, dFar = 5.f;
    EXPECT_TRUE(unit.Intersects(LineSegment(float3(0.5f, 0.5f, 0.5f), float3(0.5f, 0.5f, 0.50005f)), dNear, dFar));
    EXPECT_EQ(dNear, 0.f);
    EXPECT_EQ(dFar, 1.f);
    EXPECT_FALSE(unit.Intersects(LineSegment(float3(2, 0.5f, 0.5f), float3(2, 0.5f, 0.50005f)), dNear, dFar));
    EXPECT_FALSE(unit.Intersects(LineSegment(float3(2, 0.5f, 0.5f), float3(2.00005f, 0.5f, 0.5f))));

    // A ray from inside starts at distance 0.
    EXPECT_TRUE(unit.Intersects(math::Ray(float3(0.5f, 0.5f, 0.5f), float3(0, 0.6f, 0.8f)), dNear, dFar));
    EXPECT_EQ(dNear, 0.f);
    EXPECT_NEAR(dFar, 0.625f, 1e-6f);
    EXPECT_FALSE(unit.Intersects(math::Ray(float3(0.5f, 0.5f, 2.f), float3(0, 0, 1))));

    // Parallel to the x slabs: outside them fails at once, inside them the x axis
    // leaves tNear and tFar alone.
    float tNear = -kInf, tFar = kInf;
    EXPECT_FALSE(unit.IntersectLineAABB(float3(2, 0.5f, 0.5f), float3(0, 1, 0), tNear, tFar));
    EXPECT_EQ(tNear, -kInf);
    EXPECT_EQ(tFar, kInf);
    EXPECT_TRUE(unit.IntersectLineAABB(float3(0.5f, -1.f, 0.5f), float3(0.00005f, 1, 0), tNear, tFar));
    EXPECT_FLOAT_EQ(tNear, 1.f);
    EXPECT_FLOAT_EQ(tFar, 2.f);
    // The outputs are updated as the axes go, also when the test fails.
    tNear = 0.f;
    tFar = kInf;
    EXPECT_FALSE(unit.IntersectLineAABB(float3(-1, 0.5f, 5.f), float3(1, 0, 0), tNear, tFar));
    EXPECT_FLOAT_EQ(tNear, 1.f);
    EXPECT_FLOAT_EQ(tFar, 2.f);
}

TEST(AABBTransform, AsAxisAlignedBoxUnderEachMatrixForm) {
    const AABB cube(float3(-1, -1, -1), float3(1, 1, 1));
    AABB byMatrix = cube, byQuat = cube, byAffine = cube;
    byMatrix.TransformAsAABB(float3x3::RotateZ(kPi / 4));
    byQuat.TransformAsAABB(Quat::RotateZ(kPi / 4));
    byAffine.TransformAsAABB(float3x4(float3x3::RotateZ(kPi / 4), float3(10, 0, 0)));
    for (const AABB &box : {byMatrix, byQuat}) {
        EXPECT_TRUE(box.minCorner.Equals(-1.41421f, -1.41421f, -1.f, 1e-4f)) << box;
        EXPECT_TRUE(box.maxCorner.Equals(1.41421f, 1.41421f, 1.f, 1e-4f)) << box;
    }
    EXPECT_TRUE(byAffine.minCorner.Equals(8.58579f, -1.41421f, -1.f, 1e-4f)) << byAffine;

    // Tight around the transformed corners of a general box under a general matrix.
    oracle::Random random(2);
    for (int n = 0; n < 20; ++n) {
        const float3 c0 = random.Point(2.f), c1 = random.Point(2.f), c2 = random.Point(2.f);
        const float3x4 m(c0, c1, c2, random.Point(5.f));
        AABB box = kBox;
        box.TransformAsAABB(m);
        float3 lo(kInf), hi(-kInf);
        for (int i = 0; i < 8; ++i) {
            lo = lo.Min(m.MulPos(kBox.CornerPoint(i)));
            hi = hi.Max(m.MulPos(kBox.CornerPoint(i)));
        }
        EXPECT_TRUE(box.minCorner.Equals(lo, 1e-4f) && box.maxCorner.Equals(hi, 1e-4f)) << box;
    }
}

// Transform builds an oriented box whose scale comes from the first column.
TEST(AABBTransform, ToOrientedBoxUnderEachMatrixForm) {
    const float3x4 m = float3x4::FromTRS(float3(1, 2, 3), Quat::RotateY(0.5f), float3(2.f));
    const OBB viaAffine = kBox.Transform(m);
    const OBB viaOperator = m * kBox;
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(viaAffine.CornerPoint(i).Equals(m.MulPos(kBox.CornerPoint(i)), 1e-5f)) << i;
        EXPECT_TRUE(SameBits(viaOperator.CornerPoint(i), viaAffine.CornerPoint(i)));
    }
    const OBB viaLinear = float3x3::RotateY(0.5f) * kBox;
    const OBB viaQuat = Quat::RotateY(0.5f) * kBox;
    for (int i = 0; i < 8; ++i) {
        const float3 expected = float3x3::RotateY(0.5f) * kBox.CornerPoint(i);
        EXPECT_TRUE(viaLinear.CornerPoint(i).Equals(expected, 1e-5f)) << i;
        EXPECT_TRUE(viaQuat.CornerPoint(i).Equals(expected, 1e-5f)) << i;
    }
    EXPECT_TRUE(SameBits(kBox.ToOBB().halfSize, kBox.HalfSize()));
}

TEST(AABBRandom, DrawsInTheGivenOrder) {
    math::LCG lcg = SeededLCG(99);
    for (int n = 0; n < 50; ++n) {
        math::LCG replay = lcg;
        const float3 inside = kBox.RandomPointInside(lcg);
        const float x = replay.Float();
        const float y = replay.Float();
        const float z = replay.Float();
        EXPECT_TRUE(SameBits(inside, kBox.PointInside(x, y, z)));
        EXPECT_TRUE(kBox.Contains(inside));

        replay = lcg;
        const float3 onSurface = kBox.RandomPointOnSurface(lcg);
        const int face = replay.Int(0, 5);
        const float u = replay.Float();
        const float v = replay.Float();
        EXPECT_TRUE(SameBits(onSurface, kBox.FacePoint(face, u, v)));

        replay = lcg;
        const float3 onEdge = kBox.RandomPointOnEdge(lcg);
        const int edge = replay.Int(0, 11);
        const float t = replay.Float();
        EXPECT_TRUE(SameBits(onEdge, kBox.PointOnEdge(edge, t)));

        replay = lcg;
        EXPECT_TRUE(SameBits(kBox.RandomCornerPoint(lcg), kBox.CornerPoint(replay.Int(0, 7))));
    }
}

// Two triangles per quad on every face, all wound the same way: the right-handed cross
// product of their edges points into the box when counter-clockwise is front facing.
TEST(AABBTriangulate, QuadsCoverEveryFaceWithOutwardTriangles) {
    const int nx = 2, ny = 3, nz = 1;
    const int count = AABB::NumVerticesInTriangulation(nx, ny, nz);
    ASSERT_EQ(count, 12 * (6 + 2 + 3));
    for (bool ccw : {true, false}) {
        std::vector<float3> pos(count), normal(count);
        std::vector<float2> uv(count);
        EXPECT_EQ(StderrOf([&] { kBox.Triangulate(nx, ny, nz, pos.data(), normal.data(), uv.data(), ccw); }), "");
        double area = 0;
        for (int i = 0; i < count; i += 3) {
            const float3 cross = (pos[i + 1] - pos[i]).Cross(pos[i + 2] - pos[i]);
            EXPECT_LT((ccw ? 1.f : -1.f) * cross.Dot(normal[i]), 0.f) << i;
            area += 0.5 * cross.Length();
            for (int k = 0; k < 3; ++k) {
                EXPECT_LT(kBox.Distance(pos[i + k]), 1e-6f);
                EXPECT_TRUE(SameBits(normal[i + k], normal[i]));
                EXPECT_TRUE(uv[i + k].x >= 0.f && uv[i + k].x <= 1.f && uv[i + k].y >= 0.f && uv[i + k].y <= 1.f);
            }
        }
        EXPECT_NEAR(area, kBox.SurfaceArea(), 1e-3);
    }
    // A null position array writes nothing; a count that cannot match is logged.
    kBox.Triangulate(1, 1, 1, nullptr, nullptr, nullptr, true);
    std::vector<float3> pos(12);
    const std::string log = StderrOf([&] { kBox.Triangulate(-1, 1, 1, pos.data(), nullptr, nullptr, true); });
    EXPECT_EQ(FirstLine(log),
              "Error: i == NumVerticesInTriangulation(numFacesX, numFacesY, numFacesZ) in Geometry/AABB:1190");
}

TEST(AABBText, TwoDecimalForm) {
    EXPECT_EQ(kBox.ToString(), "AABB(Min:(-1.00, -2.00, 0.00) Max:(1.00, 2.00, 3.00))");
    std::ostringstream out;
    out << AABB(float3::nan, float3(-3e38f));
    const std::string text = out.str();
    EXPECT_EQ(text.compare(0, 24, "AABB(Min:(nan, nan, nan)"), 0);
    EXPECT_GT(text.size(), 140u);  // written whole
}
