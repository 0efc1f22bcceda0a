#include "Geometry/Polyhedron.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/PBVolume.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"
#include "log_capture.h"

using math::AABB;
using math::float3;
using math::float3x3;
using math::float3x4;
using math::float4x4;
using math::OBB;
using math::Plane;
using math::Polyhedron;
using math::Quat;

namespace {

using Face = Polyhedron::Face;
using Indices = std::vector<int>;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const double kPi = 3.14159265358979323846;

const AABB kBox(float3(0, 0, 0), float3(2, 3, 4));

OBB Turned() {
    const float3x3 r = float3x3::RotateAxisAngle(float3(0.48f, 0.6f, 0.64f), 0.9f);
    return OBB(float3(1, -2, 3), float3(1, 2, 0.5f), r.Col(0), r.Col(1), r.Col(2));
}

void ExpectNear3(const float3 &expected, const float3 &actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

bool IsNaN3(const float3 &v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z); }

Polyhedron WithFaces(std::vector<float3> vertices, std::vector<Indices> faces) {
    Polyhedron p;
    p.v = std::move(vertices);
    for (Indices &face : faces) p.f.push_back(Face{std::move(face)});
    return p;
}

void ExpectClosedConvexSolid(const Polyhedron &p) {
    EXPECT_TRUE(p.FaceIndicesValid());
    EXPECT_TRUE(p.IsClosed());
    EXPECT_TRUE(p.IsConvex());
    EXPECT_TRUE(p.EulerFormulaHolds());
}

}  // namespace

TEST(PolyhedronTest, BoxFigures) {
    const Polyhedron p = kBox.ToPolyhedron();
    ASSERT_EQ(p.v.size(), 8u);
    ASSERT_EQ(p.f.size(), 6u);
    EXPECT_EQ(p.NumEdges(), 12);
    EXPECT_EQ(p.EdgeIndices().size(), 12u);
    ExpectClosedConvexSolid(p);
    EXPECT_FLOAT_EQ(p.Volume(), 24.f);
    EXPECT_FLOAT_EQ(p.SurfaceArea(), 52.f);
    // A strip of consecutive triples instead of a fan from the face's first index misses the
    // quads' second halves and pulls the centroid off the box centre.
    ExpectNear3(float3(1, 1.5f, 2), p.ConvexCentroid(), 1e-6f);
    ExpectNear3(float3(1, 1.5f, 2), p.ApproximateConvexCentroid(), 1e-6f);
    ExpectNear3(float3(0.5f, 0.5f, 0.5f), AABB(float3(0, 0, 0), float3(1, 1, 1)).ToPolyhedron().ConvexCentroid(), 1e-6f);
}

// Vertices follow the corner numbering and faces the face numbering, with outward normals.
TEST(PolyhedronTest, BoxesKeepTheBoxNumbering) {
    const OBB turned = Turned();
    struct Case {
        const char *name;
        Polyhedron p;
        float3 (*corner)(int);
        Plane (*plane)(int);
        float volume;
    } cases[] = {
        {"aabb", kBox.ToPolyhedron(), [](int i) { return kBox.CornerPoint(i); }, [](int i) { return kBox.FacePlane(i); }, 24.f},
        {"obb", turned.ToPolyhedron(), [](int i) { return Turned().CornerPoint(i); },
         [](int i) {
             // The oriented box's own face order runs -X +X -Y +Y -Z +Z too, in its axes.
             const OBB b = Turned();
             const int k = i / 2;
             const float3 n = i % 2 ? b.axis[k] : -b.axis[k];
             return Plane(b.pos + n * b.halfSize.At(k), n);
         },
         8.f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 8; ++i) EXPECT_TRUE(c.p.v[i].BitEquals(c.corner(i))) << i;
        ExpectClosedConvexSolid(c.p);
        EXPECT_NEAR(c.p.Volume(), c.volume, 1e-4f);
        for (int i = 0; i < 6; ++i) {
            const Plane expected = c.plane(i);
            ExpectNear3(expected.normal, c.p.FaceNormal(i), 1e-5f);
            EXPECT_NEAR(expected.d, c.p.FacePlane(i).d, 1e-5f) << i;
        }
    }
}

TEST(PolyhedronTest, BoxesGiveTheirFacePlanesAsSixPlaneVolumes) {
    const OBB turned = Turned();
    const math::PBVolume a = kBox.ToPBVolume();
    const math::PBVolume b = turned.ToPBVolume();
    for (int i = 0; i < math::PBVolume::kNumPlanes; ++i) {
        EXPECT_TRUE(a.p[i].normal.BitEquals(kBox.FacePlane(i).normal));
        EXPECT_EQ(a.p[i].d, kBox.FacePlane(i).d);
        EXPECT_TRUE(b.p[i].normal.BitEquals(turned.FacePlane(i).normal));
        EXPECT_EQ(b.p[i].d, turned.FacePlane(i).d);
    }
}

TEST(PolyhedronTest, PlanarShapesBecomeTwoSidedPolyhedra) {
    const math::Triangle t(float3(0, 0, 0), float3(1, 0, 0), float3(0, 1, 0));
    const Polyhedron p = t.ToPolyhedron();
    ASSERT_EQ(p.v.size(), 3u);
    ASSERT_EQ(p.f.size(), 2u);
    EXPECT_EQ(p.f[0].v, (Indices{0, 1, 2}));
    EXPECT_EQ(p.f[1].v, (Indices{2, 1, 0}));
    EXPECT_EQ(p.NumEdges(), 3);
    EXPECT_TRUE(p.IsClosed());
    EXPECT_TRUE(p.EulerFormulaHolds());

    const Polyhedron empty = math::Polygon().ToPolyhedron();
    EXPECT_TRUE(empty.v.empty());
    ASSERT_EQ(empty.f.size(), 2u);
    EXPECT_TRUE(empty.f[0].v.empty() && empty.f[1].v.empty());
    EXPECT_TRUE(empty.IsClosed());  // empty faces have no edges
}

TEST(PolyhedronTest, FaceTextRoundTrips) {
    struct Case {
        const char *text;
        Indices expected;
    } cases[] = {
        {"3, 1, 2", {3, 1, 2}}, {"1,x", {1}},    {"x", {}},       {"", {}},
        {" 4 ,, 5 ", {4, 5}},   {"-1,2", {-1, 2}}, {"7;8", {7}},  {"12 , 0", {12, 0}},
    };
    for (const Case &c : cases) EXPECT_EQ(Face::FromString(c.text).v, c.expected) << c.text;
    EXPECT_TRUE(Face::FromString(nullptr).v.empty());
    EXPECT_EQ((Face{{3, 1, 2}}.ToString()), "3, 1, 2");
    EXPECT_EQ(Face{}.ToString(), "");
}

TEST(PolyhedronTest, ExtremeAndNearestVertices) {
    const Polyhedron p = WithFaces({{0, 0, 0}, {1, 5, 0}, {1, -5, 0}, {-2, 0, 0}}, {});
    EXPECT_EQ(p.ExtremeVertex(float3(1, 0, 0)), 1);  // equal projections: the lowest index
    EXPECT_EQ(p.ExtremeVertex(float3(-1, 0, 0)), 3);
    EXPECT_EQ(p.ExtremeVertex(float3(kNaN, 0, 0)), -1);
    float lo, hi;
    p.ProjectToAxis(float3(1, 0, 0), lo, hi);
    EXPECT_EQ(lo, -2.f);
    EXPECT_EQ(hi, 1.f);
    float d2;
    EXPECT_EQ(p.FindClosestVertex(float3(0.9f, 4, 0), d2), 1);
    EXPECT_NEAR(d2, 0.01f + 1.f, 1e-6f);
    EXPECT_EQ(p.NearestVertex(float3(-3, 0, 0)), 3);

    const Polyhedron none;
    EXPECT_EQ(none.ExtremeVertex(float3(1, 0, 0)), -1);
    EXPECT_TRUE(IsNaN3(none.ExtremePoint(float3(1, 0, 0))));
    EXPECT_EQ(none.FindClosestVertex(float3(0, 0, 0), d2), -1);
    EXPECT_TRUE(std::isinf(d2));
    EXPECT_TRUE(IsNaN3(none.ConvexCentroid()));
    EXPECT_TRUE(IsNaN3(none.ApproximateConvexCentroid()));
}

TEST(PolyhedronTest, EdgesAndFacePolygons) {
    const Polyhedron p = kBox.ToPolyhedron();
    const std::vector<std::pair<int, int>> edges = p.EdgeIndices();
    // The box's edge table, which lists each corner pair with the smaller corner first, sorted.
    const std::pair<int, int> expected[12] = {{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3},
                                              {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}};
    ASSERT_EQ(edges.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(edges[i], expected[i]);
        EXPECT_TRUE(p.Edge(i).a.BitEquals(kBox.CornerPoint(expected[i].first)));
    }
    EXPECT_TRUE(IsNaN3(p.Edge(12).a));
    EXPECT_TRUE(IsNaN3(p.Edge(-1).b));
    EXPECT_EQ(p.FacePolygon(1).NumVertices(), 4);
    EXPECT_EQ(p.FacePolygon(6).NumVertices(), 0);
    EXPECT_EQ(p.Faces().size(), 6u);
    EXPECT_EQ(p.Triangulate().size(), 12u);
    const AABB box = p.MinimalEnclosingAABB();
    EXPECT_TRUE(box.minCorner.BitEquals(kBox.minCorner) && box.maxCorner.BitEquals(kBox.maxCorner));
}

// A face or vertex index out of range, or an empty face, gives NaN instead of a stray read.
TEST(PolyhedronTest, BadFacesGiveNaNPlanesAndNormals) {
    const Polyhedron p = WithFaces({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {}, {0, 1, 9}, {-1, 0, 1}, {0, 1}, {2}});
    EXPECT_NEAR(p.FacePlane(0).normal.z, 1.f, 1e-6f);
    for (int i : {-1, 1, 2, 3, 6}) {
        EXPECT_TRUE(IsNaN3(p.FacePlane(i).normal)) << i;
        EXPECT_TRUE(std::isnan(p.FacePlane(i).d)) << i;
        EXPECT_TRUE(IsNaN3(p.FaceNormal(i))) << i;
    }
    EXPECT_TRUE(p.FaceNormal(5).BitEquals(float3(0, 1, 0)));  // one index: the fixed up normal
    EXPECT_TRUE(p.FacePlane(5).normal.BitEquals(float3(0, 1, 0)));
    EXPECT_FALSE(p.FaceIndicesValid());

    Polyhedron noVertices = WithFaces({}, {{0, 1, 2}});
    noVertices.OrientNormalsOutsideConvex();
    EXPECT_EQ(noVertices.f[0].v, (Indices{0, 1, 2}));
}

TEST(PolyhedronTest, ClosednessNamesTheOffendingEdge) {
    Polyhedron open = kBox.ToPolyhedron();
    open.f.pop_back();  // face +Z {1, 5, 7, 3}
    std::string log = StdoutOf([&] { EXPECT_FALSE(open.IsClosed()); });
    EXPECT_EQ(FirstLine(log), "Warning: The edge (3,1) does not exist. Polyhedron is not closed!");

    Polyhedron twice = kBox.ToPolyhedron();
    twice.f.push_back(twice.f[0]);
    log = StdoutOf([&] { EXPECT_FALSE(twice.IsClosed()); });
    EXPECT_EQ(FirstLine(log), "Warning: The edge (2,0) is used twice. Polyhedron is not simple and closed!");
    EXPECT_TRUE(Polyhedron().IsClosed());
}

TEST(PolyhedronTest, SwapVerticesRenumbersFaces) {
    Polyhedron p = WithFaces({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {2, 1, 0}});
    p.SwapVertices(0, 2);
    EXPECT_TRUE(p.v[0].BitEquals(float3(0, 1, 0)));
    EXPECT_EQ(p.f[0].v, (Indices{2, 1, 0}));
    EXPECT_EQ(p.f[1].v, (Indices{0, 1, 2}));
    for (const std::pair<int, int> &bad : {std::make_pair(0, 3), std::make_pair(-1, 1), std::make_pair(1, 1)}) {
        const Polyhedron before = p;
        p.SwapVertices(bad.first, bad.second);
        EXPECT_EQ(p.f[0].v, before.f[0].v);
        EXPECT_TRUE(p.v[0].BitEquals(before.v[0]));
    }
}

TEST(PolyhedronTest, CanonicalFaceArray) {
    Polyhedron p = WithFaces({}, {{2, 0, 1}, {5, 3, 4, 1}, {0, 2, 1}, {7}, {}});
    p.CanonicalizeFaceArray();
    const std::vector<Indices> expected = {{1, 5, 3, 4}, {0, 1, 2}, {0, 2, 1}, {7}, {}};
    ASSERT_EQ(p.f.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(p.f[i].v, expected[i]) << i;
    EXPECT_LT(math::CmpFaces(Face{{1, 2, 3, 4}}, Face{{0, 1, 2}}), 0);
    EXPECT_GT(math::CmpFaces(Face{{0, 2, 1}}, Face{{0, 1, 2}}), 0);
    EXPECT_EQ(math::CmpFaces(Face{{0, 2, 1}}, Face{{0, 2, 1}}), 0);
    Face a{{1}}, b{{2, 3}};
    math::Swap(a, b);
    EXPECT_EQ(a.v, (Indices{2, 3}));
    EXPECT_EQ(b.v, (Indices{1}));
}

TEST(PolyhedronTest, ContainsFaceUpToRotation) {
    const Polyhedron p = WithFaces({}, {{1, 2, 3}, {}});
    EXPECT_TRUE(p.ContainsFace(Face{{2, 3, 1}}));
    EXPECT_TRUE(p.ContainsFace(Face{{1, 2, 3}}));
    EXPECT_FALSE(p.ContainsFace(Face{{3, 2, 1}}));
    EXPECT_FALSE(p.ContainsFace(Face{{1, 2}}));
    EXPECT_TRUE(p.ContainsFace(Face{}));
}

TEST(PolyhedronTest, SetEqualsIgnoresVertexOrder) {
    Polyhedron a = kBox.ToPolyhedron();
    Polyhedron b = kBox.ToPolyhedron();
    const int order[8] = {5, 2, 7, 0, 3, 6, 1, 4};
    for (int i = 0; i < 8; ++i) b.SwapVertices(i, order[i]);
    EXPECT_TRUE(a.SetEquals(b));
    for (const Polyhedron *p : {&a, &b}) {
        Polyhedron canonical = *p;
        canonical.CanonicalizeFaceArray();
        for (size_t i = 0; i < p->f.size(); ++i) EXPECT_EQ(p->f[i].v, canonical.f[i].v);
    }
    Polyhedron moved = kBox.ToPolyhedron();
    moved.v[6].x += 0.02f;  // squared distance 0.0004 > 1e-4
    Polyhedron c = kBox.ToPolyhedron();
    EXPECT_FALSE(c.SetEquals(moved));
    Polyhedron flipped = kBox.ToPolyhedron();
    flipped.FlipWindingOrder();
    Polyhedron d = kBox.ToPolyhedron();
    EXPECT_FALSE(d.SetEquals(flipped));
}

TEST(PolyhedronTest, TransformsMoveEveryVertex) {
    const float3x3 r = float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.7f);
    const float3x4 m(r, float3(1, 2, 3));
    const Quat q = r.ToQuat();
    const Polyhedron p = kBox.ToPolyhedron();
    const Polyhedron byR = r * p, byM = m * p, byM4 = float4x4(m) * p, byQ = q * p;
    Polyhedron moved = p;
    moved.Translate(float3(1, 2, 3));
    for (size_t i = 0; i < p.v.size(); ++i) {
        EXPECT_TRUE(byR.v[i].BitEquals(r * p.v[i]));
        EXPECT_TRUE(byM.v[i].BitEquals(m.MulPos(p.v[i])));
        EXPECT_TRUE(byM4.v[i].Equals(m.MulPos(p.v[i]), 1e-5f));
        EXPECT_TRUE(byQ.v[i].Equals(r * p.v[i], 1e-5f));
        EXPECT_TRUE(moved.v[i].BitEquals(p.v[i] + float3(1, 2, 3)));
    }
    EXPECT_NEAR(byM.Volume(), 24.f, 1e-3f);
}

TEST(PolyhedronTest, Text) {
    EXPECT_EQ(Polyhedron().ToString(), "Polyhedron(0 vertices)");
    const Polyhedron p = WithFaces({{0, 1, 2}, {-1, 0.5f, 3}}, {});
    EXPECT_EQ(p.ToString(), "Polyhedron(2 vertices:" + float3(0, 1, 2).ToString() + "," + float3(-1, 0.5f, 3).ToString() + ")");
}

TEST(PolyhedronTest, PlanarityOfFaces) {
    Polyhedron p = kBox.ToPolyhedron();
    EXPECT_TRUE(p.FacesAreNondegeneratePlanar(1e-5f));
    p.v[7].z += 0.1f;
    EXPECT_FALSE(p.FacesAreNondegeneratePlanar(1e-2f));
    EXPECT_FALSE(WithFaces({{0, 0, 0}, {1, 0, 0}}, {{0, 1}}).FacesAreNondegeneratePlanar(1.f));
}

// ---- Construction ----

TEST(ConvexHullTest, FewPointsGiveOneFace) {
    const float3 points[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const Polyhedron three = Polyhedron::ConvexHull(points, 3);
    EXPECT_EQ(three.v.size(), 3u);
    ASSERT_EQ(three.f.size(), 1u);
    EXPECT_EQ(three.f[0].v, (Indices{0, 1, 2}));
    const Polyhedron none = Polyhedron::ConvexHull(points, 0);
    EXPECT_TRUE(none.v.empty() && none.f.empty());
    EXPECT_TRUE(Polyhedron::ConvexHull(nullptr, 5).v.empty());
}

// Four box corners in corner order lie on one face; the hull must not start from them.
TEST(ConvexHullTest, BoxCornersInCornerOrder) {
    float3 corners[8];
    kBox.GetCornerPoints(corners);
    std::string log;
    Polyhedron hull;
    log = StderrOf([&] { hull = Polyhedron::ConvexHull(corners, 8); });
    EXPECT_EQ(log, "");
    ExpectClosedConvexSolid(hull);
    EXPECT_EQ(hull.v.size(), 8u);
    EXPECT_EQ(hull.f.size(), 12u);
    EXPECT_NEAR(hull.Volume(), 24.f, 1e-4f);
    EXPECT_NEAR(hull.SurfaceArea(), 52.f, 1e-4f);
}

TEST(ConvexHullTest, CoplanarAndCollinearPointsGiveOneFaceOfAll) {
    std::vector<float3> flat, line;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) flat.push_back(float3(i * 0.3f, j * 0.7f, 2.f));
    for (int i = 0; i < 9; ++i) line.push_back(float3(1, 2, 3) + float3(0.5f, -1, 2) * static_cast<float>(i));
    for (const std::vector<float3> *points : {&flat, &line}) {
        const Polyhedron p = Polyhedron::ConvexHull(points->data(), static_cast<int>(points->size()));
        EXPECT_EQ(p.v.size(), points->size());
        ASSERT_EQ(p.f.size(), 1u);
        EXPECT_EQ(p.f[0].v.size(), points->size());
    }
}

TEST(ConvexHullTest, MergeConvex) {
    Polyhedron p = Polyhedron::Tetrahedron(float3(0, 0, 0), 2, false);
    const Polyhedron before = p;
    p.MergeConvex(float3(0.1f, 0.1f, 0.1f));
    EXPECT_EQ(p.v.size(), before.v.size());
    EXPECT_EQ(p.f.size(), before.f.size());
    p.MergeConvex(float3(2, 2, 2));  // sees the three faces around vertex 0
    EXPECT_EQ(p.v.size(), 5u);
    EXPECT_EQ(p.f.size(), 4u - 3u + 3u);
    EXPECT_TRUE(p.IsClosed());
    EXPECT_TRUE(p.IsConvex());
    p.RemoveRedundantVertices();  // vertex 0 is buried
    EXPECT_EQ(p.v.size(), 4u);
    ExpectClosedConvexSolid(p);
}

TEST(ConvexHullTest, RemoveRedundantVerticesKeepsOrder) {
    std::vector<float3> v;
    for (int i = 0; i < 8; ++i) v.push_back(float3(static_cast<float>(i), 0, 0));
    Polyhedron p = WithFaces(v, {{7, 2, 5}});
    p.RemoveRedundantVertices();
    ASSERT_EQ(p.v.size(), 3u);
    EXPECT_EQ(p.v[0].x, 2.f);
    EXPECT_EQ(p.v[1].x, 5.f);
    EXPECT_EQ(p.v[2].x, 7.f);
    EXPECT_EQ(p.f[0].v, (Indices{2, 0, 1}));
}

TEST(PlatonicSolidsTest, MeasuresMatchClosedForms) {
    const double sqrt2 = std::sqrt(2.0), sqrt3 = std::sqrt(3.0), sqrt5 = std::sqrt(5.0);
    struct Case {
        const char *name;
        Polyhedron (*make)(const float3 &, float, bool);
        double edge;  // at scale 2
        double volumePerEdgeCubed;
        double areaPerEdgeSquared;
        size_t vertices, faces;
    } cases[] = {
        {"tetrahedron", Polyhedron::Tetrahedron, 2 * sqrt2, 1 / (6 * sqrt2), sqrt3, 4, 4},
        {"octahedron", Polyhedron::Octahedron, 0.5 * sqrt2, sqrt2 / 3, 2 * sqrt3, 6, 8},
        {"hexahedron", Polyhedron::Hexahedron, 2, 1, 6, 8, 6},
        {"icosahedron", Polyhedron::Icosahedron, 4 * 0.309017, 5 * (3 + sqrt5) / 12, 5 * sqrt3, 12, 20},
        {"dodecahedron", Polyhedron::Dodecahedron, 2 * 0.381966, (15 + 7 * sqrt5) / 4, 3 * std::sqrt(25 + 10 * sqrt5), 20, 12},
    };
    const float3 center(1, -2, 3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Polyhedron outward = c.make(center, 2, false);
        EXPECT_EQ(outward.v.size(), c.vertices);
        EXPECT_EQ(outward.f.size(), c.faces);
        ExpectClosedConvexSolid(outward);
        EXPECT_TRUE(outward.FacesAreNondegeneratePlanar(1e-5f));
        const double e = c.edge;
        EXPECT_NEAR(outward.Volume(), c.volumePerEdgeCubed * e * e * e, 1e-5 * c.volumePerEdgeCubed * e * e * e);
        EXPECT_NEAR(outward.SurfaceArea(), c.areaPerEdgeSquared * e * e, 1e-5 * c.areaPerEdgeSquared * e * e);
        ExpectNear3(center, outward.ConvexCentroid(), 1e-5f);
        // Front-facing counter-clockwise winding turns every normal into the solid.
        const Polyhedron inward = c.make(center, 2, true);
        for (size_t i = 0; i < inward.f.size(); ++i)
            EXPECT_GT(inward.FacePlane(static_cast<int>(i)).SignedDistance(center), 0.f) << i;
    }
    const Polyhedron t = Polyhedron::Tetrahedron(float3(0, 0, 0), 2, true);
    const float3 corners[4] = {{1, 1, 1}, {-1, 1, -1}, {1, -1, -1}, {-1, -1, 1}};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(t.v[i].BitEquals(corners[i]));
    EXPECT_EQ(t.f[1].v, (Indices{1, 3, 2}));
    const Polyhedron ico = Polyhedron::Icosahedron(float3(1, 1, 1), 1, false);
    for (const float3 &p : ico.v) EXPECT_NEAR(p.Distance(float3(1, 1, 1)), std::sqrt(0.309017 * 0.309017 + 0.25), 1e-6);
}
