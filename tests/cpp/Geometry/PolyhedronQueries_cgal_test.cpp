// Closest points, distances and intersection tests of polyhedra against brute force over the
// triangles of the same surface (CGAL's exact predicates and distances) and against CGAL's
// mesh intersection test. Cases within a tolerance of touching are left out: there the
// answer may go either way.

#include <gtest/gtest.h>

#include <CGAL/Polygon_mesh_processing/intersection.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/Capsule.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Geometry/polyhedron_meshes.h"
#include "Math/float3x3.h"
#include "log_capture.h"

using math::float3;
using math::Polyhedron;
using test_meshes::K;
using test_meshes::Solid;
using test_meshes::ToCgal;

namespace {

const double kTolerance = 1e-3;

std::vector<K::Triangle_3> Triangles(const Solid &solid) {
    std::vector<K::Triangle_3> t;
    for (const auto fi : solid.mesh.faces()) {
        std::vector<K::Point_3> q;
        for (const auto vi : vertices_around_face(solid.mesh.halfedge(fi), solid.mesh)) q.push_back(solid.mesh.point(vi));
        t.emplace_back(q[0], q[1], q[2]);
    }
    return t;
}

std::vector<K::Segment_3> MeshEdges(const Solid &solid) {
    std::vector<K::Segment_3> e;
    for (const math::LineSegment &s : solid.p.Edges()) e.emplace_back(ToCgal(s.a), ToCgal(s.b));
    return e;
}

double PointSurfaceDistance(const std::vector<K::Triangle_3> &triangles, const float3 &p) {
    double best = 1e300;
    for (const K::Triangle_3 &t : triangles) best = std::min(best, CGAL::to_double(CGAL::squared_distance(ToCgal(p), t)));
    return std::sqrt(best);
}

// The segment's distance to the surface: 0 where it crosses a triangle, else the least of its
// end points' distances and its distances to the triangle edges.
double SegmentSurfaceDistance(const std::vector<K::Triangle_3> &triangles, const float3 &a, const float3 &b) {
    const K::Segment_3 s(ToCgal(a), ToCgal(b));
    double best = std::min(PointSurfaceDistance(triangles, a), PointSurfaceDistance(triangles, b));
    for (const K::Triangle_3 &t : triangles) {
        if (CGAL::do_intersect(s, t)) return 0.0;
        for (int k = 0; k < 3; ++k) {
            const K::Segment_3 edge(t.vertex(k), t.vertex(k + 1));
            best = std::min(best, std::sqrt(CGAL::to_double(CGAL::squared_distance(s, edge))));
        }
    }
    return best;
}

// The least distance of a line, ray or segment to the edges of the solid's faces.
template <typename Linear>
double EdgeClearance(const std::vector<K::Segment_3> &edges, const Linear &linear) {
    double best = 1e300;
    for (const K::Segment_3 &e : edges) best = std::min(best, CGAL::to_double(CGAL::squared_distance(linear, e)));
    return std::sqrt(best);
}

template <typename Linear>
bool MeetsAnyTriangle(const std::vector<K::Triangle_3> &triangles, const Linear &linear) {
    for (const K::Triangle_3 &t : triangles)
        if (CGAL::do_intersect(linear, t)) return true;
    return false;
}

struct Draw {
    std::mt19937 rng;
    math::AABB box;
    explicit Draw(unsigned seed, const Polyhedron &p) : rng(seed), box(p.MinimalEnclosingAABB()) {}
    float Unit() { return std::uniform_real_distribution<float>(0.f, 1.f)(rng); }
    float3 Point() {
        const float3 pad = box.Size() * 0.3f;
        const float x = Unit();
        const float y = Unit();
        const float z = Unit();
        return box.minCorner - pad + (box.Size() + pad * 2.f).Mul(float3(x, y, z));
    }
    float3 Direction() {
        std::normal_distribution<float> n;
        const float x = n(rng);
        const float y = n(rng);
        const float z = n(rng);
        return float3(x, y, z).Normalized();
    }
    float Size() { return box.Size().MaxElement() * (0.05f + 0.4f * Unit()); }
};

struct Tally {
    int compared = 0;
    int wrong = 0;
    std::string first;
    void Add(bool ours, bool expected, const std::string &what) {
        ++compared;
        if (ours == expected) return;
        if (wrong++ == 0) first = what + (expected ? ": expected a hit" : ": expected no hit");
    }
};

void ExpectAllRight(const char *what, const Solid &solid, const Tally &tally, int minimumCompared) {
    EXPECT_EQ(tally.wrong, 0) << what << " vs " << solid.name << ": " << tally.first;
    EXPECT_GE(tally.compared, minimumCompared) << what << " vs " << solid.name;
}

TEST(PolyhedronDistanceOracle, ClosestPointOfPointsAgainstTheTriangles) {
    unsigned seed = 40;
    for (const Solid &solid : test_meshes::TestSolids()) {
        const std::vector<K::Triangle_3> triangles = Triangles(solid);
        Draw draw(seed++, solid.p);
        int compared = 0;
        for (int i = 0; i < 400; ++i) {
            const float3 q = draw.Point();
            const double expected = PointSurfaceDistance(triangles, q);
            if (!(expected > kTolerance)) continue;
            ++compared;
            const bool inside = solid.Inside(q);
            const float3 cp = solid.p.ClosestPoint(q);
            if (inside) {
                EXPECT_TRUE(cp.Equals(q, 0.f) || cp.BitEquals(q)) << solid.name << " " << q.ToString();
                EXPECT_EQ(solid.p.Distance(q), 0.f);
                continue;
            }
            EXPECT_NEAR(solid.p.Distance(q), expected, 2e-6 + 1e-5 * expected) << solid.name << " " << q.ToString();
            EXPECT_LT(PointSurfaceDistance(triangles, cp), 1e-5) << "the closest point lies on the surface";
            if (solid.convex) {
                EXPECT_NEAR(solid.p.ClosestPointConvex(q).Distance(q), expected, 2e-6 + 1e-5 * expected) << solid.name;
            }
        }
        EXPECT_GT(compared, 300) << solid.name;
    }
}

TEST(PolyhedronDistanceOracle, ClosestPointOfSegmentsAgainstTheTriangles) {
    unsigned seed = 50;
    for (const Solid &solid : test_meshes::TestSolids()) {
        const std::vector<K::Triangle_3> triangles = Triangles(solid);
        Draw draw(seed++, solid.p);
        for (int i = 0; i < 150; ++i) {
            const float3 a = draw.Point();
            const float3 b = a + draw.Direction() * draw.Size();
            if (!(PointSurfaceDistance(triangles, a) > kTolerance && PointSurfaceDistance(triangles, b) > kTolerance))
                continue;
            float3 onSegment;
            const float3 cp = solid.p.ClosestPoint(math::LineSegment(a, b), &onSegment);
            if (solid.Inside(a)) {
                EXPECT_TRUE(cp.BitEquals(a) && onSegment.BitEquals(a)) << solid.name;
            } else if (solid.Inside(b)) {
                EXPECT_TRUE(cp.BitEquals(b) && onSegment.BitEquals(b)) << solid.name;
            } else {
                const double expected = SegmentSurfaceDistance(triangles, a, b);
                EXPECT_NEAR(cp.Distance(onSegment), expected, 1e-5 + 1e-5 * expected) << solid.name << " " << a.ToString();
                EXPECT_LT(math::LineSegment(a, b).Distance(onSegment), 1e-5f);
            }
        }
    }
}

// Shapes against every solid, each kind with its own oracle verdict and the distance or
// clearance that must exceed the tolerance before the case counts.
TEST(PolyhedronIntersectsOracle, LinesRaysAndSegments) {
    unsigned seed = 60;
    for (const Solid &solid : test_meshes::TestSolids()) {
        const std::vector<K::Triangle_3> triangles = Triangles(solid);
        const std::vector<K::Segment_3> edges = MeshEdges(solid);
        Draw draw(seed++, solid.p);
        Tally lines, rays, segments;
        for (int i = 0; i < 200; ++i) {
            const float3 a = draw.Point();
            const float3 dir = draw.Direction();
            const float3 b = a + dir * draw.Size();
            const K::Line_3 line(ToCgal(a), ToCgal(a + dir));
            if (EdgeClearance(edges, line) > kTolerance)
                lines.Add(solid.p.Intersects(math::Line(a, dir)), MeetsAnyTriangle(triangles, line), a.ToString());
            const K::Ray_3 ray(ToCgal(a), ToCgal(a + dir));
            if (EdgeClearance(edges, ray) > kTolerance && PointSurfaceDistance(triangles, a) > kTolerance)
                rays.Add(math::Ray(a, dir).Intersects(solid.p), MeetsAnyTriangle(triangles, ray), a.ToString());
            const K::Segment_3 segment(ToCgal(a), ToCgal(b));
            if (EdgeClearance(edges, segment) > kTolerance && PointSurfaceDistance(triangles, a) > kTolerance &&
                PointSurfaceDistance(triangles, b) > kTolerance) {
                const bool expected = MeetsAnyTriangle(triangles, segment) || solid.Inside(a);
                segments.Add(math::LineSegment(a, b).Intersects(solid.p), expected, a.ToString());
                if (solid.convex) {
                    EXPECT_EQ(solid.p.IntersectsConvex(math::LineSegment(a, b)), expected) << solid.name << a.ToString();
                }
            }
            if (solid.convex && EdgeClearance(edges, line) > kTolerance) {
                EXPECT_EQ(solid.p.IntersectsConvex(math::Line(a, dir)), MeetsAnyTriangle(triangles, line)) << solid.name;
            }
            if (solid.convex && EdgeClearance(edges, ray) > kTolerance && PointSurfaceDistance(triangles, a) > kTolerance) {
                EXPECT_EQ(solid.p.IntersectsConvex(math::Ray(a, dir)), MeetsAnyTriangle(triangles, ray)) << solid.name;
            }
        }
        ExpectAllRight("lines", solid, lines, 150);
        ExpectAllRight("rays", solid, rays, 150);
        ExpectAllRight("segments", solid, segments, 100);
    }
}

TEST(PolyhedronIntersectsOracle, SpheresAndCapsules) {
    unsigned seed = 70;
    for (const Solid &solid : test_meshes::TestSolids()) {
        const std::vector<K::Triangle_3> triangles = Triangles(solid);
        Draw draw(seed++, solid.p);
        Tally spheres, capsules;
        for (int i = 0; i < 200; ++i) {
            const float3 a = draw.Point();
            const float r = draw.Size() * 0.5f;
            const double toCentre = PointSurfaceDistance(triangles, a);
            if (std::fabs(toCentre - r) > kTolerance && toCentre > kTolerance) {
                const bool expected = toCentre <= r || solid.Inside(a);
                spheres.Add(solid.p.Intersects(math::Sphere(a, r)), expected, a.ToString());
                EXPECT_EQ(math::Sphere(a, r).Intersects(solid.p), expected);
            }
            const float3 b = a + draw.Direction() * draw.Size();
            const double toAxis = SegmentSurfaceDistance(triangles, a, b);
            if (std::fabs(toAxis - r) > kTolerance && PointSurfaceDistance(triangles, b) > kTolerance && toCentre > kTolerance) {
                const bool expected = toAxis <= r || solid.Inside(a);
                capsules.Add(math::Capsule(a, b, r).Intersects(solid.p), expected, a.ToString());
            }
        }
        ExpectAllRight("spheres", solid, spheres, 150);
        ExpectAllRight("capsules", solid, capsules, 150);
    }
}

// A shape scaled about its centre by 1 - s and 1 + s: cases whose verdict changes in between
// are too near touching to count.
template <typename Shape>
using Scaled = std::function<Shape(const Shape &, float)>;

bool MeshesMeet(const Polyhedron &a, const Polyhedron &b) {
    const test_meshes::Mesh ma = test_meshes::ToMesh(a);
    const test_meshes::Mesh mb = test_meshes::ToMesh(b);
    return CGAL::Polygon_mesh_processing::do_intersect(ma, mb, CGAL::parameters::do_overlap_test_of_bounded_sides(true),
                                                       CGAL::parameters::do_overlap_test_of_bounded_sides(true));
}

Polyhedron ScaledPolyhedron(const Polyhedron &p, float factor) {
    Polyhedron q = p;
    const float3 c = p.ApproximateConvexCentroid();
    for (float3 &v : q.v) v = c + (v - c) * factor;
    return q;
}

math::OBB RandomBox(Draw &draw) {
    const float3 centre = draw.Point();
    const float3 axis = draw.Direction();
    const float angle = draw.Unit() * 3.f;
    const math::float3x3 r = math::float3x3::RotateAxisAngle(axis, angle);
    const float hx = draw.Size() * 0.5f;
    const float hy = draw.Size() * 0.5f;
    const float hz = draw.Size() * 0.5f;
    return math::OBB(centre, float3(hx, hy, hz), r.Col(0), r.Col(1), r.Col(2));
}

math::OBB ScaledBox(const math::OBB &b, float factor) {
    return math::OBB(b.pos, b.halfSize * factor, b.axis[0], b.axis[1], b.axis[2]);
}

TEST(PolyhedronIntersectsOracle, BoxesAndOrientedBoxes) {
    unsigned seed = 80;
    for (const Solid &solid : test_meshes::TestSolids()) {
        Draw draw(seed++, solid.p);
        Tally boxes, oriented;
        for (int i = 0; i < 60; ++i) {
            const math::OBB obb = RandomBox(draw);
            const bool small = MeshesMeet(solid.p, ScaledBox(obb, 0.99f).ToPolyhedron());
            const bool large = MeshesMeet(solid.p, ScaledBox(obb, 1.01f).ToPolyhedron());
            if (small == large) oriented.Add(solid.p.Intersects(obb) && obb.Intersects(solid.p), small, obb.pos.ToString());
            const math::AABB aabb(obb.pos - obb.halfSize, obb.pos + obb.halfSize);
            const math::OBB aligned(aabb);
            const bool smallAligned = MeshesMeet(solid.p, ScaledBox(aligned, 0.99f).ToPolyhedron());
            const bool largeAligned = MeshesMeet(solid.p, ScaledBox(aligned, 1.01f).ToPolyhedron());
            if (smallAligned == largeAligned)
                boxes.Add(solid.p.Intersects(aabb) && aabb.Intersects(solid.p), smallAligned, aabb.ToString());
        }
        ExpectAllRight("boxes", solid, boxes, 40);
        ExpectAllRight("oriented boxes", solid, oriented, 40);
    }
}

// Two closed convex solids: the centroid steps are exact for them.
TEST(PolyhedronIntersectsOracle, ConvexPolyhedra) {
    unsigned seed = 90;
    for (const Solid &solid : test_meshes::TestSolids()) {
        if (!solid.convex) continue;
        Draw draw(seed++, solid.p);
        Tally tally;
        for (int i = 0; i < 60; ++i) {
            Polyhedron other = Polyhedron::Icosahedron(float3::zero, 1.f, true);
            const math::OBB frame = RandomBox(draw);
            for (float3 &v : other.v) v = frame.pos + (frame.axis[0] * v.x + frame.axis[1] * v.y + frame.axis[2] * v.z) * (frame.halfSize.x * 2.f);
            const bool small = MeshesMeet(solid.p, ScaledPolyhedron(other, 0.99f));
            const bool large = MeshesMeet(solid.p, ScaledPolyhedron(other, 1.01f));
            if (small == large) tally.Add(solid.p.Intersects(other) && other.Intersects(solid.p), small, frame.pos.ToString());
        }
        ExpectAllRight("icosahedra", solid, tally, 40);
    }
}

// Triangles and planar quads: a vertex inside, or a crossing of some mesh triangle.
TEST(PolyhedronIntersectsOracle, TrianglesAndPolygons) {
    unsigned seed = 100;
    for (const Solid &solid : test_meshes::TestSolids()) {
        const std::vector<K::Triangle_3> triangles = Triangles(solid);
        Draw draw(seed++, solid.p);
        Tally tris, quads;
        auto verdict = [&](const std::vector<float3> &fan, float factor) {
            float3 c = float3::zero;
            for (const float3 &q : fan) c += q;
            c = c / static_cast<float>(fan.size());
            std::vector<K::Point_3> q;
            for (const float3 &v : fan) q.push_back(ToCgal(c + (v - c) * factor));
            if (solid.Inside(c + (fan[0] - c) * factor)) return true;
            for (size_t k = 1; k + 1 < q.size(); ++k)
                if (MeetsAnyTriangle(triangles, K::Triangle_3(q[0], q[k], q[k + 1]))) return true;
            return false;
        };
        for (int i = 0; i < 200; ++i) {
            const float3 a = draw.Point();
            const float3 u = draw.Direction() * draw.Size();
            const float3 w = draw.Direction() * draw.Size();
            const std::vector<float3> tri = {a, a + u, a + w};
            if (verdict(tri, 0.99f) == verdict(tri, 1.01f))
                tris.Add(solid.p.Intersects(math::Triangle(a, a + u, a + w)), verdict(tri, 1.f), a.ToString());
            const float3 n = u.Cross(w).Normalized();
            const float3 side = n.Cross(u);
            const std::vector<float3> quad = {a, a + u, a + u + side * 0.7f, a + side * 0.5f};
            math::Polygon polygon;
            polygon.vertices = quad;
            if (verdict(quad, 0.99f) == verdict(quad, 1.01f))
                quads.Add(polygon.Intersects(solid.p), verdict(quad, 1.f), a.ToString());
        }
        ExpectAllRight("triangles", solid, tris, 150);
        ExpectAllRight("polygons", solid, quads, 150);
    }
}

struct PlaneCase {
    math::Plane plane;
    bool meets;
    float signedDistance;
};

TEST(PolyhedronIntersects, PlaneSidesOfTheUnitBox) {
    const Polyhedron box = test_meshes::UnitBox();
    const PlaneCase cases[] = {
        {math::Plane(float3(0, 0, 1), 0.5f), true, 0.f},  {math::Plane(float3(0, 0, 1), 1.f), true, 0.f},
        {math::Plane(float3(0, 0, 1), 0.f), false, 0.f},  // every vertex at or above: no crossing
        {math::Plane(float3(0, 0, 1), 2.f), false, -1.f}, {math::Plane(float3(0, 0, 1), -0.5f), false, 0.5f},
        {math::Plane(float3(1, 0, 0), 1.5f), false, -0.5f},
    };
    for (const PlaneCase &c : cases) {
        EXPECT_EQ(c.plane.Intersects(box), c.meets) << c.plane.d;
        EXPECT_EQ(box.Intersects(c.plane), c.meets) << c.plane.d;
        EXPECT_FLOAT_EQ(c.plane.SignedDistance(box), c.signedDistance) << c.plane.d;
    }
    Polyhedron one;
    one.v = {float3(0, 0, 0)};
    EXPECT_FALSE(math::Plane(float3(0, 0, 1), 0.f).Intersects(one));
    EXPECT_FALSE(math::Plane(float3(0, 0, 1), 0.f).Intersects(Polyhedron()));
}

TEST(PolyhedronDistance, UnitBoxCases) {
    const Polyhedron box = test_meshes::UnitBox();
    EXPECT_TRUE(box.ClosestPoint(float3(2, 0.5f, 0.5f)).Equals(float3(1, 0.5f, 0.5f), 1e-6f));
    EXPECT_FLOAT_EQ(box.Distance(float3(2, 0.5f, 0.5f)), 1.f);
    EXPECT_TRUE(box.ClosestPoint(float3(0.3f, 0.4f, 0.5f)).BitEquals(float3(0.3f, 0.4f, 0.5f)));
    EXPECT_TRUE(std::isnan(Polyhedron().ClosestPoint(float3(1, 2, 3)).x));
    float3 onSegment;
    const float3 cp = box.ClosestPoint(math::LineSegment(float3(2, 2, 0.5f), float3(3, 2, 0.5f)), &onSegment);
    EXPECT_TRUE(cp.Equals(float3(1, 1, 0.5f), 1e-6f));
    EXPECT_TRUE(onSegment.Equals(float3(2, 2, 0.5f), 1e-6f));
    EXPECT_TRUE(box.ClosestPoint(math::LineSegment(float3(2, 2, 2), float3(0.5f, 0.5f, 0.5f))).BitEquals(float3(0.5f, 0.5f, 0.5f)));
}

TEST(PolyhedronIntersects, ConvexClipping) {
    const Polyhedron box = test_meshes::UnitBox();
    float tFirst = -10.f;
    float tLast = 10.f;
    EXPECT_TRUE(box.ClipLineSegmentToConvexPolyhedron(float3(-1, 0.5f, 0.5f), float3(1, 0, 0), tFirst, tLast));
    EXPECT_FLOAT_EQ(tFirst, 1.f);
    EXPECT_FLOAT_EQ(tLast, 2.f);
    EXPECT_TRUE(box.IntersectsConvex(math::Ray(float3(0.5f, 0.5f, 0.5f), float3(1, 0, 0))));
    EXPECT_FALSE(box.IntersectsConvex(math::Ray(float3(2, 0.5f, 0.5f), float3(1, 0, 0))));
    EXPECT_TRUE(box.IntersectsConvex(math::Line(float3(2, 0.5f, 0.5f), float3(1, 0, 0))));
    EXPECT_FALSE(box.IntersectsConvex(math::Line(float3(2, 0.5f, 0.5f), float3(0, 1, 0))));  // parallel, outside
    EXPECT_TRUE(box.IntersectsConvex(math::LineSegment(float3(0.2f, 0.5f, 0.5f), float3(0.3f, 0.5f, 0.5f))));
    EXPECT_FALSE(box.IntersectsConvex(math::LineSegment(float3(1.2f, 0.5f, 0.5f), float3(1.3f, 0.5f, 0.5f))));
    EXPECT_TRUE(Polyhedron().IntersectsConvex(math::Line(float3(0, 0, 0), float3(1, 0, 0))));
}

TEST(PolyhedronIntersects, BoxesThroughEdgesAndCentroids) {
    const Polyhedron box = test_meshes::UnitBox();
    // Crossing slabs: neither contains a centre of the other, their edges cross faces.
    const Polyhedron slab = math::AABB(float3(-1, 0.4f, 0.4f), float3(2, 0.6f, 0.6f)).ToPolyhedron();
    EXPECT_TRUE(box.Intersects(slab));
    const Polyhedron inner = math::AABB(float3(0.4f, 0.4f, 0.4f), float3(0.6f, 0.6f, 0.6f)).ToPolyhedron();
    EXPECT_TRUE(box.Intersects(inner));
    EXPECT_TRUE(inner.Intersects(box));
    EXPECT_FALSE(box.Intersects(math::AABB(float3(1.1f, 0, 0), float3(2, 1, 1)).ToPolyhedron()));
    EXPECT_TRUE(box.Intersects(math::AABB(float3(-1, -1, -1), float3(2, 2, 2))));
    EXPECT_TRUE(box.Intersects(math::Triangle(float3(0.5f, 0.5f, -1), float3(0.5f, 0.5f, 2), float3(3, 3, 0.5f))));
    EXPECT_FALSE(box.Intersects(math::Triangle(float3(2, 0, 0), float3(3, 0, 0), float3(2, 1, 0))));
}

// An empty face logs its check and adds no edge; the test goes on to the next face. The
// plate's centroid lies outside the box, the box's centroid off the plate, and only the box's
// edges cross the plate: each walk over the box's faces meets the empty face first.
TEST(PolyhedronIntersects, EmptyFacesAreLoggedAndSkipped) {
    Polyhedron box = test_meshes::UnitBox();
    box.f.insert(box.f.begin(), Polyhedron::Face());
    const Polyhedron plate = math::Triangle(float3(-3, -3, 0.7f), float3(10, -3, 0.7f), float3(-3, 10, 0.7f)).ToPolyhedron();
    struct Case {
        std::function<bool()> test;
        bool result;
        const char *log;
    };
    const Case cases[] = {
        {[&] { return box.Intersects(plate); }, true, "Error: !f[i].v.empty() in Geometry/Polyhedron:873\n"},
        {[&] { return plate.Intersects(box); }, true, "Error: !polyhedron.f[i].v.empty() in Geometry/Polyhedron:890\n"},
        {[&] { return box.Intersects(math::AABB(float3(5, 5, 5), float3(6, 6, 6))); }, false,
         "Error: !p.f[i].v.empty() in Geometry/Polyhedron:923\n"},
    };
    for (const Case &c : cases) {
        bool result = !c.result;
        const std::string log = WithoutStackLines(StderrOf([&] { result = c.test(); }));
        EXPECT_EQ(result, c.result) << c.log;
        EXPECT_EQ(log, c.log);
    }
}

}  // namespace
