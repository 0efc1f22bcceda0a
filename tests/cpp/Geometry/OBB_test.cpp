#include "Geometry/OBB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Geometry/geometry_oracle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"

using math::AABB;
using math::float2;
using math::float3;
using math::float3x3;
using math::float3x4;
using math::LineSegment;
using math::OBB;
using math::Quat;
using oracle::D3;
using oracle::SameBits;

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// A box turned about an oblique axis, with distinct half-sizes.
OBB Turned() {
    const float3x3 r = float3x3::RotateAxisAngle(float3(0.48f, 0.6f, 0.64f), 0.9f);
    return OBB(float3(1, -2, 3), float3(1, 2, 0.5f), r.Col(0), r.Col(1), r.Col(2));
}

// The local coordinates of a point relative to the box centre, in double.
D3 Local(const OBB &box, const float3 &p) {
    const D3 d = D3(p) - D3(box.pos);
    return D3(oracle::Dot(d, box.axis[0]), oracle::Dot(d, box.axis[1]), oracle::Dot(d, box.axis[2]));
}

// Within the box up to tol along every axis.
bool InsideWithin(const OBB &box, const float3 &p, double tol) {
    const D3 l = Local(box, p);
    return std::fabs(l.x) <= box.halfSize.x + tol && std::fabs(l.y) <= box.halfSize.y + tol &&
           std::fabs(l.z) <= box.halfSize.z + tol;
}

// How deep a point lies inside the box: positive inside, negative outside (in double).
double Depth(const OBB &box, const D3 &p) {
    const D3 d = p - D3(box.pos);
    const D3 l(oracle::Dot(d, box.axis[0]), oracle::Dot(d, box.axis[1]), oracle::Dot(d, box.axis[2]));
    return std::min({box.halfSize.x - std::fabs(l.x), box.halfSize.y - std::fabs(l.y),
                     box.halfSize.z - std::fabs(l.z)});
}

bool AllNaN(const OBB &box) {
    for (const float3 &v : {box.pos, box.halfSize, box.axis[0], box.axis[1], box.axis[2]})
        if (!oracle::AllNaN(v)) return false;
    return true;
}

// The three axes of a box: its face normals and its edge directions alike.
std::vector<D3> Axes(const OBB &box) { return {D3(box.axis[0]), D3(box.axis[1]), D3(box.axis[2])}; }

// Two boxes are separated when some axis (the 6 face normals and the 9 edge crosses)
// keeps their projected corners apart; here in double, from the corners.
bool SeparatedInDouble(const OBB &a, const OBB &b) {
    return oracle::Separation(oracle::Corners(a), oracle::Corners(b),
                              oracle::SeparatingAxes(Axes(a), Axes(a), Axes(b), Axes(b))) > 0;
}

math::LCG SeededLCG(unsigned seed) {
    math::LCG lcg;
    lcg.Seed(seed, 69621, 0, 2147483647);
    return lcg;
}

}  // namespace

TEST(OBBConstruction, FromAxisAlignedBoxAndEmptyStart) {
    const AABB aabb(float3(-1, -2, 0), float3(1, 2, 3));
    const OBB box(aabb);
    EXPECT_TRUE(SameBits(box.pos, float3(0, 0, 1.5f)));
    EXPECT_TRUE(SameBits(box.halfSize, float3(1, 2, 1.5f)));
    EXPECT_TRUE(SameBits(box.axis[2], float3(0, 0, 1)));
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(SameBits(box.CornerPoint(i), aabb.CornerPoint(i))) << i;
    const AABB back = box.MinimalEnclosingAABB();
    EXPECT_TRUE(SameBits(back.minCorner, aabb.minCorner) && SameBits(back.maxCorner, aabb.maxCorner));
    EXPECT_TRUE(SameBits(aabb.ToOBB().pos, box.pos));

    OBB empty;
    empty.SetNegativeInfinity();
    EXPECT_TRUE(SameBits(empty.halfSize, float3(-kInf)));
    EXPECT_TRUE(empty.IsDegenerate());
    EXPECT_FALSE(empty.IsFinite());
    // The empty start cannot be grown: the first half-size becomes NaN, and the NaN
    // centre then stops the other axes from growing.
    empty.Enclose(float3(1, 2, 3));
    EXPECT_TRUE(std::isnan(empty.halfSize.x));
    EXPECT_EQ(empty.halfSize.y, -kInf);
    EXPECT_FALSE(empty.IsFinite());
}

TEST(OBBMeasures, SizesDiagonalVolumeArea) {
    const OBB box = Turned();
    EXPECT_TRUE(SameBits(box.Size(), float3(2, 4, 1)));
    EXPECT_TRUE(SameBits(box.HalfSize(), float3(1, 2, 0.5f)));
    EXPECT_TRUE(SameBits(box.CenterPoint(), box.pos));
    EXPECT_FLOAT_EQ(box.Volume(), 8.f);
    EXPECT_FLOAT_EQ(box.SurfaceArea(), 2.f * (8 + 2 + 4));
    EXPECT_TRUE((box.pos + box.HalfDiagonal()).Equals(box.CornerPoint(7), 1e-5f));
    EXPECT_TRUE((box.pos - box.HalfDiagonal()).Equals(box.CornerPoint(0), 1e-5f));
    EXPECT_TRUE(box.Diagonal().Equals(box.CornerPoint(7) - box.CornerPoint(0), 1e-5f));
    EXPECT_FALSE(box.IsDegenerate());
    EXPECT_TRUE(OBB(box.pos, float3(1, kNaN, 1), box.axis[0], box.axis[1], box.axis[2]).IsDegenerate());
    EXPECT_TRUE(OBB(box.pos, float3(1, 0, 1), box.axis[0], box.axis[1], box.axis[2]).IsDegenerate());
}

// The shared numbering in the box's own axes: bit value 4 for axis[0], 2 for axis[1],
// 1 for axis[2]; the edge table; faces -axis[0], +axis[0], ..., +axis[2].
TEST(OBBNumbering, CornersEdgesAndFacesInTheBoxAxes) {
    const OBB box = Turned();
    for (int i = 0; i < 8; ++i) {
        const D3 l = Local(box, box.CornerPoint(i));
        EXPECT_NEAR(l.x, (i & 4) ? 1 : -1, 1e-5);
        EXPECT_NEAR(l.y, (i & 2) ? 2 : -2, 1e-5);
        EXPECT_NEAR(l.z, (i & 1) ? 0.5 : -0.5, 1e-5);
    }
    EXPECT_TRUE(SameBits(box.CornerPoint(8), box.CornerPoint(0)));
    EXPECT_TRUE(SameBits(box.CornerPoint(-1), box.CornerPoint(0)));

    const int edges[12][2] = {{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3},
                              {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}};
    float3 list[24];
    box.ToEdgeList(list);
    for (int i = 0; i < 12; ++i) {
        const LineSegment e = box.Edge(i);
        EXPECT_TRUE(SameBits(e.a, box.CornerPoint(edges[i][0])) && SameBits(e.b, box.CornerPoint(edges[i][1]))) << i;
        EXPECT_TRUE(SameBits(list[2 * i], e.a) && SameBits(list[2 * i + 1], e.b));
    }
    EXPECT_TRUE(SameBits(box.Edge(12).a, box.CornerPoint(0)) && SameBits(box.Edge(12).b, box.CornerPoint(1)));

    float3 corners[8];
    box.GetCornerPoints(corners);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(SameBits(corners[i], box.CornerPoint(i)));
    box.GetCornerPoints(nullptr);
    box.GetFacePlanes(nullptr);
    box.ToEdgeList(nullptr);

    math::Plane planes[6];
    box.GetFacePlanes(planes);
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        const float3 expectedNormal = (f & 1) ? box.axis[f / 2] : -box.axis[f / 2];
        EXPECT_TRUE(SameBits(planes[f].normal, expectedNormal));
        EXPECT_TRUE(planes[f].Contains(box.FaceCenterPoint(f), 1e-5f));
        EXPECT_NEAR(Local(box, box.FaceCenterPoint(f)).x, f == 0 ? -1 : (f == 1 ? 1 : 0), 1e-5);
        for (int c = 0; c < 8; ++c) EXPECT_LE(planes[f].SignedDistance(box.CornerPoint(c)), 1e-5f);
    }
    EXPECT_TRUE(SameBits(box.FacePlane(6).normal, -box.axis[0]));
    EXPECT_TRUE(SameBits(box.FaceCenterPoint(-1), box.FaceCenterPoint(0)));

    float3 unique[3];
    EXPECT_EQ(box.UniqueEdgeDirections(unique), 3);
    EXPECT_TRUE(SameBits(unique[1], box.axis[1]));
}

// PointOnEdge groups edges by axis and clamps its index.
TEST(OBBNumbering, PointOnEdgeRunsFromCornerToCorner) {
    const OBB box = Turned();
    const int ends[12][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}, {0, 2}, {1, 3},
                             {4, 6}, {5, 7}, {0, 1}, {2, 3}, {4, 5}, {6, 7}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(box.PointOnEdge(i, 0.f).Equals(box.CornerPoint(ends[i][0]), 1e-5f)) << i;
        EXPECT_TRUE(box.PointOnEdge(i, 1.f).Equals(box.CornerPoint(ends[i][1]), 1e-5f)) << i;
    }
    EXPECT_TRUE(SameBits(box.PointOnEdge(20, 0.3f), box.PointOnEdge(11, 0.3f)));
    EXPECT_TRUE(SameBits(box.PointOnEdge(-3, 0.3f), box.PointOnEdge(0, 0.3f)));
    EXPECT_NEAR(Local(box, box.PointOnEdge(0, 1.5f)).x, 2.0, 1e-5);  // u is not clamped

    EXPECT_TRUE(box.PointInside(0, 0, 0).Equals(box.CornerPoint(0), 1e-5f));
    EXPECT_TRUE(box.PointInside(1, 1, 1).Equals(box.CornerPoint(7), 1e-5f));
    EXPECT_TRUE(box.PointInside(0.5f, 0.5f, 0.5f).Equals(box.pos, 1e-5f));
}

// FacePoint numbers faces by the axes that span them: -axis[2], +axis[2], -axis[0],
// +axis[0], -axis[1], +axis[1]. A bad index is face 0.
TEST(OBBNumbering, FacePointFacesAndBadIndices) {
    const OBB box = Turned();
    struct Face {
        int normalAxis;
        double side;
        int uAxis, vAxis;
    };
    const Face faces[6] = {{2, -1, 0, 1}, {2, 1, 0, 1}, {0, -1, 1, 2}, {0, 1, 1, 2}, {1, -1, 2, 0}, {1, 1, 2, 0}};
    const double r[3] = {1, 2, 0.5};
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        const D3 l = Local(box, box.FacePoint(f, 1.f, 0.25f));
        const double c[3] = {l.x, l.y, l.z};
        EXPECT_NEAR(c[faces[f].normalAxis], faces[f].side * r[faces[f].normalAxis], 1e-5);
        EXPECT_NEAR(c[faces[f].uAxis], r[faces[f].uAxis], 1e-5);
        EXPECT_NEAR(c[faces[f].vAxis], -0.5 * r[faces[f].vAxis], 1e-5);
    }
    EXPECT_TRUE(box.FacePoint(0, 0.5f, 0.5f).Equals(box.pos - box.axis[2] * 0.5f, 1e-5f));
    EXPECT_TRUE(box.FaceCenterPoint(0).Equals(box.pos - box.axis[0], 1e-5f));
    for (int bad : {6, 7, -1, -2, 1000})
        EXPECT_TRUE(SameBits(box.FacePoint(bad, 0.2f, 0.7f), box.FacePoint(0, 0.2f, 0.7f))) << bad;
}

TEST(OBBEnclose, GrowsAlongItsOwnAxesOnly) {
    // Axes whose products are exact, so that a point on a face is exactly on it.
    OBB box(float3(0, 0, 0), float3(1, 1, 1), float3(0, 1, 0), float3(-1, 0, 0), float3(0, 0, 1));
    const OBB before = box;
    for (const float3 &p : {float3(0, 0, 0), box.CornerPoint(5), box.FaceCenterPoint(3)}) {
        box.Enclose(p);
        EXPECT_TRUE(SameBits(box.pos, before.pos) && SameBits(box.halfSize, before.halfSize));
    }
    // 3 beyond the +axis[0] face: half the excess widens, half moves the centre.
    box.Enclose(box.axis[0] * 4.f);
    EXPECT_NEAR(box.halfSize.x, 2.5f, 1e-6f);
    EXPECT_TRUE(box.pos.Equals(box.axis[0] * 1.5f, 1e-6f));
    EXPECT_NEAR(Local(box, before.FaceCenterPoint(0)).x, -2.5, 1e-5);  // the near face stays
    EXPECT_TRUE(SameBits(box.axis[0], before.axis[0]));

    // The engine's use: a small start box grown around many points contains them all.
    oracle::Random random(3);
    const float3x3 turn = float3x3::RotateZ(0.6f);
    OBB grown(float3(1, 1, 1), float3(0.01f), turn.Col(0), turn.Col(1), turn.Col(2));
    std::vector<float3> points;
    for (int i = 0; i < 200; ++i) {
        points.push_back(random.Point(10.f));
        grown.Enclose(points.back());
    }
    for (const float3 &p : points) EXPECT_TRUE(InsideWithin(grown, p, 1e-4));
}

// The scale comes from the first column alone; a zero or non-finite first column
// gives the unit axes.
TEST(OBBSetFrom, AxisAlignedBoxUnderAMatrix) {
    const AABB aabb(float3(-1, -2, -3), float3(1, 2, 3));
    const float3x3 rotation = float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.7f);
    OBB box;
    box.SetFrom(aabb, rotation);
    EXPECT_TRUE(box.halfSize.Equals(1, 2, 3, 1e-5f));
    box.SetFrom(aabb, float3x4(rotation * 2.f, float3(5, 0, 0)));
    EXPECT_TRUE(box.halfSize.Equals(2, 4, 6, 1e-5f));
    EXPECT_TRUE(box.pos.Equals(5, 0, 0, 1e-6f));
    box.SetFrom(aabb, Quat::RotateX(0.3f));
    EXPECT_TRUE(box.axis[1].Equals(float3x3::RotateX(0.3f).Col(1), 1e-6f));

    const float3x3 perAxis(2, 0, 0, 0, 3, 0, 0, 0, 4);
    box.SetFrom(aabb, perAxis);
    EXPECT_TRUE(box.halfSize.Equals(2, 4, 6, 1e-6f));
    OBB transformed(aabb);
    transformed.Transform(perAxis);
    EXPECT_TRUE(transformed.halfSize.Equals(2, 6, 12, 1e-6f));

    const float3x4 cases[] = {
        float3x4::zero,
        float3x4(0, 1, 0, 7, 0, 0, 1, 8, 0, 1, 0, 9),
        float3x4(kNaN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0),
        float3x4(kInf, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0),
    };
    for (const float3x4 &m : cases) {
        SCOPED_TRACE(m.ToString());
        box.SetFrom(aabb, m);
        EXPECT_TRUE(SameBits(box.axis[0], float3::unitX));
        EXPECT_TRUE(SameBits(box.axis[1], float3::unitY));
        EXPECT_TRUE(SameBits(box.axis[2], float3::unitZ));
    }
    box.SetFrom(aabb, cases[1]);  // zero scale: every corner at the mapped centre
    EXPECT_TRUE(box.IsFinite());
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(box.CornerPoint(i).Equals(7, 8, 9, 1e-6f));
}

TEST(OBBTransform, EachAxisKeepsItsOwnScale) {
    const OBB box = Turned();
    const float3x4 m = float3x4::FromTRS(float3(3, 0, -1), Quat::RotateZ(0.4f), float3(2, 2, 2));
    const OBB moved = m * box;
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(moved.CornerPoint(i).Equals(m.MulPos(box.CornerPoint(i)), 1e-4f)) << i;
    EXPECT_TRUE(moved.halfSize.Equals(2, 4, 1, 1e-5f));
    const OBB rotated = Quat::RotateZ(0.4f) * box;
    const OBB rotated3 = float3x3::RotateZ(0.4f) * box;
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(rotated.CornerPoint(i).Equals(rotated3.CornerPoint(i), 1e-5f));

    OBB scaled = box;
    scaled.Scale(box.pos, 3.f);
    EXPECT_TRUE(scaled.pos.Equals(box.pos, 1e-5f));
    EXPECT_TRUE(scaled.halfSize.Equals(3, 6, 1.5f, 1e-5f));
    OBB stretched(AABB(float3(0, 0, 0), float3(1, 1, 1)));
    stretched.Scale(float3(0, 0, 0), float3(2, 3, 4));
    EXPECT_TRUE(stretched.CornerPoint(7).Equals(2, 3, 4, 1e-6f));
    stretched.Translate(float3(1, 1, 1));
    EXPECT_TRUE(stretched.CornerPoint(0).Equals(1, 1, 1, 1e-6f));
}

TEST(OBBFrames, LocalFrameStartsAtCornerZero) {
    const OBB box = Turned();
    const float3x4 toWorld = box.LocalToWorld();
    EXPECT_TRUE(toWorld.MulPos(float3(0, 0, 0)).Equals(box.CornerPoint(0), 1e-5f));
    EXPECT_TRUE(toWorld.MulPos(box.Size()).Equals(box.CornerPoint(7), 1e-5f));
    EXPECT_TRUE(toWorld.MulPos(float3(2, 0, 0)).Equals(box.CornerPoint(4), 1e-5f));
    const float3x4 toLocal = box.WorldToLocal();
    EXPECT_TRUE(toLocal.MulPos(box.CornerPoint(7)).Equals(box.Size(), 1e-5f));
    EXPECT_TRUE((toLocal * toWorld).IsIdentity(1e-5f));
}

TEST(OBBQueries, ClosestPointDistanceContainment) {
    const OBB box = Turned();
    oracle::Random random(8);
    for (int n = 0; n < 200; ++n) {
        const float3 p = random.Point(5.f);
        const float3 closest = box.ClosestPoint(p);
        EXPECT_TRUE(InsideWithin(box, closest, 1e-5));
        // No corner, and no point on the way to one, is nearer than the closest point.
        for (int c = 0; c < 8; ++c) EXPECT_LE(p.Distance(closest), p.Distance(box.CornerPoint(c)) + 1e-5f);
        EXPECT_FLOAT_EQ(box.Distance(p), p.Distance(closest));
        if (box.Contains(p)) {
            EXPECT_LT(box.Distance(p), 1e-5f);
        }
    }
    EXPECT_TRUE(InsideWithin(box, box.FacePoint(2, 0.3f, 0.3f), 1e-5));
    const OBB axisAligned(AABB(float3(0, 0, 0), float3(2, 2, 2)));
    EXPECT_TRUE(axisAligned.Contains(float3(2, 1, 1)));  // exactly on a face
    EXPECT_FALSE(axisAligned.Contains(float3(2.0001f, 1, 1)));
    EXPECT_TRUE(axisAligned.Contains(LineSegment(float3(0, 0, 0), float3(2, 2, 2))));
    EXPECT_FALSE(axisAligned.Contains(LineSegment(float3(0, 0, 0), float3(2, 2, 3))));
    EXPECT_TRUE(axisAligned.Contains(math::Triangle(float3(0, 0, 0), float3(2, 0, 0), float3(1, 1, 1))));
    EXPECT_TRUE(axisAligned.Contains(AABB(float3(0.5f, 0.5f, 0.5f), float3(1, 1, 1))));
    EXPECT_FALSE(axisAligned.Contains(AABB(float3(0.5f, 0.5f, 0.5f), float3(1, 1, 3))));
    EXPECT_TRUE(axisAligned.Contains(OBB(AABB(float3(0, 0, 0), float3(2, 2, 2)))));
    EXPECT_FALSE(axisAligned.Contains(box));
    math::Polygon polygon;
    EXPECT_TRUE(axisAligned.Contains(polygon));  // no vertices
    polygon.vertices = {float3(0, 0, 0), float3(1, 0, 0), float3(5, 1, 0)};
    EXPECT_FALSE(axisAligned.Contains(polygon));
}

TEST(OBBQueries, ExtremesAndProjections) {
    const OBB box = Turned();
    oracle::Random random(12);
    for (int n = 0; n < 50; ++n) {
        const float3 dir = random.Direction();
        float lo = kInf, hi = -kInf;
        for (int c = 0; c < 8; ++c) {
            lo = std::min(lo, box.CornerPoint(c).Dot(dir));
            hi = std::max(hi, box.CornerPoint(c).Dot(dir));
        }
        float dMin, dMax, projection;
        box.ProjectToAxis(dir, dMin, dMax);
        EXPECT_NEAR(dMin, lo, 1e-4f);
        EXPECT_NEAR(dMax, hi, 1e-4f);
        box.ExtremePoint(dir, projection);
        EXPECT_NEAR(projection, hi, 1e-4f);
    }
    int smallest = 5, largest = 5;
    OBB::ExtremePointsAlongDirection(float3(1, 0, 0), nullptr, 3, smallest, largest);
    EXPECT_EQ(smallest + largest, 0);
    smallest = largest = 5;
    const float3 points[] = {float3(2, 0, 0), float3(-1, 0, 0), float3(kNaN, 0, 0), float3(2, 1, 0),
                             float3(-1, 3, 0)};
    OBB::ExtremePointsAlongDirection(float3(1, 0, 0), points, 0, smallest, largest);
    EXPECT_EQ(smallest + largest, 0);
    OBB::ExtremePointsAlongDirection(float3(1, 0, 0), points, 5, smallest, largest);
    EXPECT_EQ(smallest, 1);  // the first of equal projections; NaN never wins
    EXPECT_EQ(largest, 0);
}

TEST(OBBIntersection, SeparatingAxesMatchADoubleOracle) {
    oracle::Random random(31);
    int separated = 0, overlapping = 0;
    for (int n = 0; n < 3000; ++n) {
        const float3x3 ra = float3x3::RotateAxisAngle(random.Direction(), random.Uniform(0, 6.3f));
        const float3x3 rb = float3x3::RotateAxisAngle(random.Direction(), random.Uniform(0, 6.3f));
        const OBB a(random.Point(2.f), random.Point(1.f).Abs() + float3(0.1f), ra.Col(0), ra.Col(1), ra.Col(2));
        const OBB b(random.Point(2.f), random.Point(1.f).Abs() + float3(0.1f), rb.Col(0), rb.Col(1), rb.Col(2));
        const bool expected = !SeparatedInDouble(a, b);
        // Skip pairs that a small shrink or growth would flip: too close to call in float.
        const OBB aSmall(a.pos, a.halfSize * 0.999f, a.axis[0], a.axis[1], a.axis[2]);
        const OBB aLarge(a.pos, a.halfSize * 1.001f, a.axis[0], a.axis[1], a.axis[2]);
        if (SeparatedInDouble(aSmall, b) != SeparatedInDouble(aLarge, b)) continue;
        EXPECT_EQ(a.Intersects(b, 0.f), expected) << n;
        EXPECT_EQ(b.Intersects(a, 0.f), expected) << n;
        expected ? ++overlapping : ++separated;
    }
    EXPECT_GT(separated, 300);
    EXPECT_GT(overlapping, 300);

    // Boxes that share only a face intersect; with the axis-aligned form too.
    const OBB a(AABB(float3(0, 0, 0), float3(1, 1, 1)));
    const OBB b(AABB(float3(1, 0, 0), float3(2, 1, 1)));
    EXPECT_TRUE(a.Intersects(b, 0.f));
    EXPECT_TRUE(a.Intersects(AABB(float3(1, 0, 0), float3(2, 1, 1))));
    EXPECT_FALSE(a.Intersects(AABB(float3(1.01f, 0, 0), float3(2, 1, 1))));
}

// Checked against the points of each primitive: inside the box from dNear to dFar, outside a step
// before dNear and after dFar, and, for a miss, never inside along the whole primitive.
TEST(OBBIntersection, RaysLinesAndSegmentsAgreeWithTheirPoints) {
    oracle::Random random(29);
    int hits = 0, misses = 0;
    for (int n = 0; n < 1000; ++n) {
        const float3x3 r = float3x3::RotateAxisAngle(random.Direction(), random.Uniform(-3.f, 3.f));
        const OBB box(random.Point(3.f), random.Point(2.f).Abs() + float3(0.3f), r.Col(0), r.Col(1), r.Col(2));
        const float3 pos = random.Point(6.f);
        const float3 dir = random.Direction();
        const float3 end = random.Point(6.f);
        const math::Line line(pos, dir);
        const math::Ray ray(pos, dir);
        const LineSegment segment(pos, end);
        struct Query {
            oracle::Linear set;
            bool hit, plainHit;
            float dNear, dFar;
        };
        float lineNear, lineFar, rayNear, rayFar, segNear, segFar;
        const Query queries[3] = {
            {oracle::LineSet(pos, dir), box.Intersects(line, lineNear, lineFar), box.Intersects(line), lineNear,
             lineFar},
            {oracle::RaySet(pos, dir), box.Intersects(ray, rayNear, rayFar), box.Intersects(ray), rayNear, rayFar},
            {oracle::SegmentSet(pos, end), box.Intersects(segment, segNear, segFar), box.Intersects(segment), segNear,
             segFar},
        };
        for (int q = 0; q < 3; ++q) {
            const Query &query = queries[q];
            SCOPED_TRACE(testing::Message() << "case " << n << " query " << q);
            EXPECT_EQ(query.plainHit, query.hit);
            const double step = 0.01 / oracle::Length(query.set.dir);  // 0.01 along the primitive
            if (query.hit) {
                ++hits;
                EXPECT_LE(query.dNear, query.dFar);
                EXPECT_GE(query.dNear, query.set.lo - 1e-6);
                EXPECT_LE(query.dFar, query.set.hi + 1e-6);
                for (double t : {double(query.dNear), 0.5 * (query.dNear + query.dFar), double(query.dFar)})
                    EXPECT_GT(Depth(box, query.set.At(t)), -1e-3) << t;
                if (query.dNear - step > query.set.lo) {
                    EXPECT_LT(Depth(box, query.set.At(query.dNear - step)), 1e-4);
                }
                if (query.dFar + step < query.set.hi) {
                    EXPECT_LT(Depth(box, query.set.At(query.dFar + step)), 1e-4);
                }
            } else {
                ++misses;
                const double lo = std::max(query.set.lo, -40.0), hi = std::min(query.set.hi, 40.0);
                double deepest = -oracle::kInf;
                for (int k = 0; k <= 8000; ++k)
                    deepest = std::max(deepest, Depth(box, query.set.At(lo + (hi - lo) * k / 8000)));
                EXPECT_LT(deepest, 1e-3);
            }
        }
    }
    EXPECT_GT(hits, 150);
    EXPECT_GT(misses, 150);
}

TEST(OBBIntersection, Plane) {
    const OBB box = Turned();
    float dMin, dMax;
    const float3 n(0, 0.6f, 0.8f);
    box.ProjectToAxis(n, dMin, dMax);
    EXPECT_TRUE(box.Intersects(math::Plane(n, 0.5f * (dMin + dMax))));
    EXPECT_TRUE(box.Intersects(math::Plane(n, dMax - 1e-3f)));
    EXPECT_FALSE(box.Intersects(math::Plane(n, dMax + 1e-3f)));
    EXPECT_FALSE(box.Intersects(math::Plane(-n, -dMin + 1e-3f)));
}

TEST(OBBTriangulate, LocalTriangulationMappedToTheBox) {
    const OBB box = Turned();
    const int count = AABB::NumVerticesInTriangulation(2, 1, 3);
    std::vector<float3> pos(count), normal(count);
    std::vector<float2> uv(count);
    box.Triangulate(2, 1, 3, pos.data(), normal.data(), uv.data(), true);
    double area = 0;
    for (int i = 0; i < count; i += 3) {
        const float3 cross = (pos[i + 1] - pos[i]).Cross(pos[i + 2] - pos[i]);
        area += 0.5 * cross.Length();
        EXPECT_LT(cross.Dot(normal[i]), 0.f);  // the winding of the axis-aligned triangulation
        for (int k = 0; k < 3; ++k) {
            const D3 l = Local(box, pos[i + k]);
            const double m = std::max({std::fabs(l.x) / 1.0, std::fabs(l.y) / 2.0, std::fabs(l.z) / 0.5});
            EXPECT_NEAR(m, 1.0, 1e-5);  // on the surface
            EXPECT_TRUE(normal[i + k].IsNormalized(1e-5f));
        }
    }
    EXPECT_NEAR(area, box.SurfaceArea(), 1e-3);
    std::vector<float3> noNormals(count);
    box.Triangulate(2, 1, 3, noNormals.data(), nullptr, nullptr, true);
    for (int i = 0; i < count; ++i) EXPECT_TRUE(SameBits(noNormals[i], pos[i]));
}

TEST(OBBRandom, DrawsInTheGivenOrder) {
    const OBB box = Turned();
    math::LCG lcg = SeededLCG(5);
    for (int n = 0; n < 50; ++n) {
        math::LCG replay = lcg;
        const float3 inside = box.RandomPointInside(lcg);
        const float x = replay.Float();
        const float y = replay.Float();
        const float z = replay.Float();
        EXPECT_TRUE(SameBits(inside, box.PointInside(x, y, z)));
        EXPECT_TRUE(InsideWithin(box, inside, 1e-5));

        replay = lcg;
        const float3 onSurface = box.RandomPointOnSurface(lcg);
        const int face = replay.Int(0, 5);
        const float u = replay.Float();
        const float v = replay.Float();
        EXPECT_TRUE(SameBits(onSurface, box.FacePoint(face, u, v)));

        replay = lcg;
        const float3 onEdge = box.RandomPointOnEdge(lcg);
        const int edge = replay.Int(0, 11);
        const float t = replay.Float();
        EXPECT_TRUE(SameBits(onEdge, box.PointOnEdge(edge, t)));

        replay = lcg;
        EXPECT_TRUE(SameBits(box.RandomCornerPoint(lcg), box.CornerPoint(replay.Int(0, 7))));
    }
}

// The search ends on every input, and whenever two points differ its box holds them all.
TEST(OBBOptimalEnclosing, EndsOnEveryInputAndContainsThePoints) {
    oracle::Random random(77);
    std::vector<float3> cloud;
    for (int i = 0; i < 25; ++i) cloud.push_back(random.Point(5.f).Mul(float3(1, 0.3f, 0.1f)));
    std::vector<float3> collinear;
    for (int i = 0; i < 12; ++i) collinear.push_back(float3(1, 2, 3) + float3(0.3f, -0.4f, 1.2f) * float(i % 7));
    std::vector<float3> twoDistinct;
    for (int i = 0; i < 10; ++i) twoDistinct.push_back(i % 2 ? float3(1, 1, 1) : float3(-2, 0.5f, 4));
    std::vector<float3> planar;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) planar.push_back(float3(float(i), float(j) * 0.5f, 2.f));
    std::vector<float3> withDuplicates = {float3(0, 0, 0), float3(1, 0, 0), float3(0, 2, 0), float3(0, 0, 3),
                                          float3(1, 0, 0), float3(0, 0, 0), float3(1, 2, 3), float3(1, 2, 3)};
    std::vector<float3> cube;
    for (int i = 0; i < 8; ++i) cube.push_back(AABB(float3(0, 0, 0), float3(1, 1, 1)).CornerPoint(i));
    const float3x3 turn = float3x3::RotateAxisAngle(float3(0.48f, 0.6f, 0.64f), 0.9f);
    std::vector<float3> turnedCube;
    for (const float3 &p : cube) turnedCube.push_back(turn * (p * 2.f) + float3(5, 5, 5));

    struct Case {
        const char *name;
        std::vector<float3> points;
        bool flat;
    };
    const Case cases[] = {{"cloud", cloud, false},
                          {"collinear", collinear, true},
                          {"two distinct points", twoDistinct, true},
                          {"planar grid", planar, true},
                          {"duplicates", withDuplicates, false},
                          {"cube", cube, false},
                          {"turned cube", turnedCube, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const OBB box = OBB::OptimalEnclosingOBB(c.points.data(), static_cast<int>(c.points.size()));
        ASSERT_TRUE(box.IsFinite()) << box;
        for (const float3 &p : c.points) EXPECT_TRUE(InsideWithin(box, p, 1e-4)) << p << " outside " << box;
        for (int k = 0; k < 3; ++k) EXPECT_TRUE(box.axis[k].IsNormalized(1e-4f)) << box;
        EXPECT_TRUE(float3::AreOrthogonal(box.axis[0], box.axis[1], box.axis[2], 1e-4f)) << box;
        if (c.flat) {
            EXPECT_NEAR(box.Volume(), 0.f, 1e-5f) << box;
        }
    }
    const OBB cubeBox = OBB::OptimalEnclosingOBB(turnedCube.data(), 8);
    EXPECT_NEAR(cubeBox.Volume(), 8.f, 1e-3f);
}

TEST(OBBOptimalEnclosing, FewerThanTwoDistinctPointsGiveNaN) {
    const float3 same[] = {float3(1, 2, 3), float3(1, 2, 3), float3(1, 2, 3)};
    EXPECT_TRUE(AllNaN(OBB::OptimalEnclosingOBB(same, 3)));
    EXPECT_TRUE(AllNaN(OBB::OptimalEnclosingOBB(same, 1)));
    EXPECT_TRUE(AllNaN(OBB::OptimalEnclosingOBB(same, 0)));
    EXPECT_TRUE(AllNaN(OBB::OptimalEnclosingOBB(nullptr, 5)));
    // Points at infinity have no direction to any other point.
    const float3 infinite[] = {float3(kInf, 0, 0), float3(1, 2, 3), float3(1, 2, 3)};
    EXPECT_TRUE(AllNaN(OBB::OptimalEnclosingOBB(infinite, 3)));
    const float3 mixed[] = {float3(kInf, 0, 0), float3(1, 2, 3), float3(1, 2, 4), float3(kNaN, 0, 0)};
    OBB::OptimalEnclosingOBB(mixed, 4);  // ends
}

TEST(OBBOptimalEnclosing, ComparatorLooksAtXOnly) {
    EXPECT_EQ(math::LexFloat3Cmp(float3(1, 5, 5), float3(2, 0, 0)), -1);
    EXPECT_EQ(math::LexFloat3Cmp(float3(2, 0, 0), float3(1, 5, 5)), 1);
    EXPECT_EQ(math::LexFloat3Cmp(float3(1, 0, 0), float3(1, 5, 5)), 0);
    EXPECT_EQ(math::LexFloat3Cmp(float3(kNaN, 0, 0), float3(1, 5, 5)), 0);
    const float3 a(3, 0, 0), b(-1, 0, 0);
    EXPECT_EQ(math::LexFloat3CmpV(&a, &b), 1);
}

TEST(OBBText, TwoDecimalForm) {
    const OBB box(AABB(float3(0, 0, 0), float3(2, 4, 6)));
    EXPECT_EQ(box.ToString(),
              "OBB(Pos:(1.00, 2.00, 3.00) Halfsize:(1.00, 2.00, 3.00) X:(1.00, 0.00, 0.00) Y:(0.00, 1.00, 0.00) "
              "Z:(0.00, 0.00, 1.00))");
    std::ostringstream out;
    out << OBB(float3(-3e38f), float3(-3e38f), float3::nan, float3::nan, float3::nan);
    EXPECT_GT(out.str().size(), 300u);  // written whole
    EXPECT_NE(out.str().find("X:(nan, nan, nan)"), std::string::npos);
}
