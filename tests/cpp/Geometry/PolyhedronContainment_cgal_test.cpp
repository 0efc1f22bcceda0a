// Point containment of closed polyhedra against CGAL's side-of-mesh classifier: random points,
// points near the surface, edges and vertices, and points whose first ray runs exactly through
// an edge or a vertex.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Geometry/polyhedron_meshes.h"

using math::float3;
using math::Polyhedron;
using test_meshes::Solid;

namespace {

// Nearer than this to the surface a point may go either way.
const double kTolerance = 1e-3;

const std::deque<Solid> &Solids() { return test_meshes::TestSolids(); }

struct Tally {
    int compared = 0;
    int wrong = 0;
    std::string firstWrong;
};

void Check(const Solid &solid, const float3 &q, Tally &tally) {
    if (!(solid.DistanceToSurface(q) > kTolerance)) return;
    ++tally.compared;
    const bool expected = solid.Inside(q);
    if (solid.p.Contains(q) == expected) return;
    if (tally.wrong++ == 0) tally.firstWrong = q.ToString() + (expected ? " is inside" : " is outside");
}

void ExpectAllRight(const Solid &solid, const Tally &tally, int minimumCompared) {
    EXPECT_EQ(tally.wrong, 0) << solid.name << ": " << tally.firstWrong;
    EXPECT_GE(tally.compared, minimumCompared) << solid.name;
}

float3 RandomUnit(std::mt19937 &rng) {
    std::normal_distribution<float> n;
    float3 d(n(rng), n(rng), n(rng));
    d.Normalize();
    return d;
}

TEST(PolyhedronContainsOracle, RandomPointsAroundEverySolid) {
    unsigned seed = 1;
    for (const Solid &solid : Solids()) {
        std::mt19937 rng(seed++);
        math::AABB box = solid.p.MinimalEnclosingAABB();
        const float3 pad = box.Size() * 0.2f;
        std::uniform_real_distribution<float> x(box.minCorner.x - pad.x, box.maxCorner.x + pad.x);
        std::uniform_real_distribution<float> y(box.minCorner.y - pad.y, box.maxCorner.y + pad.y);
        std::uniform_real_distribution<float> z(box.minCorner.z - pad.z, box.maxCorner.z + pad.z);
        Tally tally;
        for (int i = 0; i < 20000; ++i) {
            const float px = x(rng);
            const float py = y(rng);
            const float pz = z(rng);
            Check(solid, float3(px, py, pz), tally);
        }
        ExpectAllRight(solid, tally, 19000);
    }
}

// Points a few tolerances off the vertices and the edges, in every direction.
TEST(PolyhedronContainsOracle, PointsNearEdgesAndVertices) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> along(0.f, 1.f);
    std::uniform_real_distribution<float> offset(0.0015f, 0.02f);
    for (const Solid &solid : Solids()) {
        Tally tally;
        for (const float3 &vertex : solid.p.v)
            for (int k = 0; k < 8; ++k) Check(solid, vertex + RandomUnit(rng) * offset(rng), tally);
        for (const math::LineSegment &edge : solid.p.Edges())
            for (int k = 0; k < 4; ++k) Check(solid, edge.GetPoint(along(rng)) + RandomUnit(rng) * offset(rng), tally);
        ExpectAllRight(solid, tally, static_cast<int>(solid.p.v.size()));
    }
}

// The first ray of the cast heads for the first face's point; from these points it passes
// exactly through a vertex or an edge of the surface on its way.
TEST(PolyhedronContainsOracle, FirstRayThroughAnEdgeOrVertex) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> along(0.05f, 0.95f);
    for (const Solid &solid : Solids()) {
        const Polyhedron &p = solid.p;
        const float3 target = (p.v[p.f[0].v[0]] + p.v[p.f[0].v[1]] + p.v[p.f[0].v[2]]) * 0.33333334f;
        std::vector<float3> through = p.v;
        for (const math::LineSegment &edge : p.Edges()) {
            through.push_back(edge.CenterPoint());
            through.push_back(edge.GetPoint(along(rng)));
        }
        Tally tally;
        for (const float3 &e : through)
            for (float k : {1.25f, 2.f, 3.5f}) Check(solid, target + (e - target) * k, tally);
        ExpectAllRight(solid, tally, static_cast<int>(through.size()));
    }
}

struct PointCase {
    float3 point;
    bool inside;
};

TEST(PolyhedronContains, UnitBoxCases) {
    const Polyhedron box = test_meshes::UnitBox();
    const PointCase cases[] = {
        {float3(0.5f, 0.5f, 0.5f), true},      {float3(2, 0.5f, 0.5f), false},
        {float3(0.61f, 1.42f, 1.21f), false},  {float3(0.998f, 0.998f, 0.998f), true},
        {float3(1.002f, 1.002f, 1.002f), false}, {float3(0.002f, 0.5f, 0.998f), true},
        {float3(-0.002f, 0.5f, 1.002f), false}, {float3(0.5f, -0.5f, -0.5f), false},
        {float3(1.5f, 1.5f, 0.5f), false},     {float3(0.01f, 0.01f, 0.01f), true},
        {float3(-1, -1, -1), false},           {float3(0.5f, 0.5f, 3), false},
    };
    for (const PointCase &c : cases) {
        EXPECT_EQ(box.Contains(c.point), c.inside) << c.point.ToString();
        EXPECT_EQ(box.ContainsConvex(c.point, 1e-4f), c.inside) << c.point.ToString();
    }
}

// Up to three vertices the polyhedron is a point, a segment or a triangle.
TEST(PolyhedronContains, FewVertices) {
    Polyhedron p;
    EXPECT_FALSE(p.Contains(float3(0, 0, 0)));
    p.v = {float3(1, 2, 3)};
    EXPECT_TRUE(p.Contains(float3(1.0009f, 2, 3)));
    EXPECT_FALSE(p.Contains(float3(1.0011f, 2, 3)));
    p.v.push_back(float3(3, 2, 3));
    EXPECT_TRUE(p.Contains(float3(2, 2.01f, 3)));  // 1e-4 squared distance is within 0.001
    EXPECT_FALSE(p.Contains(float3(2, 2.1f, 3)));
    p.v.push_back(float3(1, 4, 3));
    EXPECT_TRUE(p.Contains(float3(1.5f, 2.5f, 3.002f)));  // 4e-6 squared: within 1e-5
    EXPECT_FALSE(p.Contains(float3(1.5f, 2.5f, 3.01f)));
}

TEST(PolyhedronContains, ShapesStopAtTheFirstPointOutside) {
    const Polyhedron box = test_meshes::UnitBox();
    const float3 in(0.2f, 0.3f, 0.4f);
    const float3 out(1.3f, 0.3f, 0.4f);
    EXPECT_TRUE(box.Contains(math::LineSegment(in, float3(0.9f, 0.9f, 0.9f))));
    EXPECT_FALSE(box.Contains(math::LineSegment(in, out)));
    EXPECT_TRUE(box.Contains(math::Triangle(in, float3(0.8f, 0.1f, 0.1f), float3(0.1f, 0.8f, 0.9f))));
    EXPECT_FALSE(box.Contains(math::Triangle(in, in, out)));
    EXPECT_TRUE(box.Contains(math::Polygon()));
    EXPECT_TRUE(box.Contains(math::AABB(float3(0.1f, 0.1f, 0.1f), float3(0.9f, 0.9f, 0.9f))));
    EXPECT_FALSE(box.Contains(math::AABB(float3(0.1f, 0.1f, 0.1f), float3(1.1f, 0.9f, 0.9f))));
    EXPECT_TRUE(box.Contains(math::OBB(math::AABB(float3(0.2f, 0.2f, 0.2f), float3(0.8f, 0.8f, 0.8f)))));
    EXPECT_TRUE(box.Contains(Polyhedron()));
    EXPECT_TRUE(box.Contains(math::AABB(float3(0.3f, 0.3f, 0.3f), float3(0.6f, 0.6f, 0.6f)).ToPolyhedron()));
    // Only the end points count: this segment cuts across the notch of the L.
    EXPECT_TRUE(test_meshes::LPrism().Contains(math::LineSegment(float3(0.5f, 1.8f, 0.3f), float3(1.8f, 0.5f, 0.3f))));
    EXPECT_TRUE(box.ContainsConvex(math::LineSegment(in, float3(1.00005f, 0.5f, 0.5f))));
    EXPECT_FALSE(box.ContainsConvex(math::Triangle(in, in, float3(1.001f, 0.5f, 0.5f))));
}

TEST(PolyhedronFaceContainment, DistanceInsideOutsideAndOffThePlane) {
    const Polyhedron box = test_meshes::UnitBox();
    // Face 5 is +Z: {1, 5, 7, 3}, its first edge along +X.
    EXPECT_NEAR(box.FaceContainmentDistance2D(5, float3(0.25f, 0.5f, 1), 0.001f), 0.75f, 1e-6f);
    EXPECT_LT(box.FaceContainmentDistance2D(5, float3(1.25f, 0.5f, 1), 0.001f), 0.f);
    EXPECT_TRUE(box.FaceContains(5, float3(0.5f, 0.5f, 1.0005f), 0.001f));
    EXPECT_EQ(box.FaceContainmentDistance2D(5, float3(0.5f, 0.5f, 1.01f), 0.001f),
              -std::numeric_limits<float>::infinity());
    Polyhedron twoIndices = box;
    twoIndices.f[5].v.resize(2);
    EXPECT_EQ(twoIndices.FaceContainmentDistance2D(5, float3(0.5f, 0.5f, 1), 0.001f),
              -std::numeric_limits<float>::infinity());
    EXPECT_EQ(box.FaceContainmentDistance2D(6, float3(0.5f, 0.5f, 1), 0.001f), -std::numeric_limits<float>::infinity());
}

TEST(PolyhedronContainedIn, OtherShapesHoldEveryVertex) {
    const Polyhedron small = math::AABB(float3(1, 1, 1), float3(2, 2, 2)).ToPolyhedron();
    const math::AABB around(float3(1, 1, 1), float3(2, 2, 2));
    EXPECT_TRUE(around.Contains(small));
    EXPECT_FALSE(math::AABB(float3(1, 1, 1), float3(2, 2, 1.99f)).Contains(small));
    EXPECT_TRUE(math::AABB(float3(5, 5, 5), float3(6, 6, 6)).Contains(Polyhedron()));
    EXPECT_TRUE(math::OBB(math::AABB(float3(0.9f, 0.9f, 0.9f), float3(2.1f, 2.1f, 2.1f))).Contains(small));
    EXPECT_FALSE(math::OBB(math::AABB(float3(1.1f, 0.9f, 0.9f), float3(2.1f, 2.1f, 2.1f))).Contains(small));
    EXPECT_TRUE(math::Sphere(float3(1.5f, 1.5f, 1.5f), 0.8661f).Contains(small));
    EXPECT_FALSE(math::Sphere(float3(1.5f, 1.5f, 1.5f), 0.866f).Contains(small));
    EXPECT_TRUE(math::Sphere(float3(0, 0, 0), 0.f).Contains(Polyhedron()));
    math::AABB grown(float3(0, 0, 0), float3(1.5f, 1.5f, 1.5f));
    grown.Enclose(small);
    EXPECT_TRUE(grown.minCorner.BitEquals(float3(0, 0, 0)) && grown.maxCorner.BitEquals(float3(2, 2, 2)));
    grown.Enclose(Polyhedron());
    EXPECT_TRUE(grown.maxCorner.BitEquals(float3(2, 2, 2)));
    math::Sphere ball(float3(1.5f, 1.5f, 1.5f), 0.1f);
    ball.Enclose(small);
    EXPECT_TRUE(ball.Contains(small));
    const math::Sphere before = ball;
    ball.Enclose(Polyhedron());
    EXPECT_TRUE(ball.BitEquals(before));
    Polyhedron nanVertex = small;
    nanVertex.v[3] = float3::nan;
    EXPECT_FALSE(math::Sphere(float3(1.5f, 1.5f, 1.5f), 100.f).Contains(nanVertex));
}

}  // namespace
