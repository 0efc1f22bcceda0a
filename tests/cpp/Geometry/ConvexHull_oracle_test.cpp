// Convex hulls against qhull: volume, area and the set of extreme points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polyhedron.h"
#include "Math/float3x3.h"
#include "log_capture.h"

using math::float3;
using math::Polyhedron;

namespace {

struct QhullResult {
    double volume = 0;
    double area = 0;
    std::set<int> vertices;                  // input indices of the extreme points
    std::vector<std::vector<double>> planes; // unit normal and offset: n.p + offset <= 0 inside
};

QhullResult RunQhull(const std::vector<float3> &points) {
    std::vector<coordT> coords;
    for (const float3 &p : points) coords.insert(coords.end(), {p.x, p.y, p.z});
    qhT qhStorage;
    qhT *qh = &qhStorage;
    QHULL_LIB_CHECK
    qh_zero(qh, stderr);
    char options[] = "qhull FA";
    QhullResult result;
    const int exitCode = qh_new_qhull(qh, 3, static_cast<int>(points.size()), coords.data(), False, options, nullptr, stderr);
    EXPECT_EQ(exitCode, 0);
    if (exitCode == 0) {
        result.volume = qh->totvol;
        result.area = qh->totarea;
        vertexT *vertex;
        FORALLvertices result.vertices.insert(qh_pointid(qh, vertex->point));
        facetT *facet;
        FORALLfacets result.planes.push_back({facet->normal[0], facet->normal[1], facet->normal[2], facet->offset});
    }
    qh_freeqhull(qh, !qh_ALL);
    int curlong, totlong;
    qh_memfreeshort(qh, &curlong, &totlong);
    return result;
}

// The input index of every hull vertex: the hull copies input points unchanged.
std::set<int> InputIndices(const Polyhedron &hull, const std::vector<float3> &points) {
    std::set<int> indices;
    for (const float3 &v : hull.v)
        for (size_t i = 0; i < points.size(); ++i)
            if (v.BitEquals(points[i])) {
                indices.insert(static_cast<int>(i));
                break;
            }
    return indices;
}

double OutsideDistance(const QhullResult &q, const float3 &p) {
    double worst = -1e300;
    for (const std::vector<double> &plane : q.planes)
        worst = std::max(worst, plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3]);
    return worst;
}

// generalPosition: no four input points coplanar, so the vertex sets agree exactly; otherwise
// the hull may also keep points that lie on qhull's faces and edges.
void ExpectHullMatchesQhull(const std::vector<float3> &points, bool generalPosition, double tolerance) {
    Polyhedron hull;
    const std::string log = StderrOf([&] { hull = Polyhedron::ConvexHull(points.data(), static_cast<int>(points.size())); });
    EXPECT_EQ(log, "");
    EXPECT_TRUE(hull.FaceIndicesValid());
    EXPECT_TRUE(hull.IsClosed());
    EXPECT_TRUE(hull.IsConvex());
    EXPECT_TRUE(hull.EulerFormulaHolds());
    const QhullResult q = RunQhull(points);
    EXPECT_NEAR(hull.Volume(), q.volume, tolerance * q.volume);
    EXPECT_NEAR(hull.SurfaceArea(), q.area, tolerance * q.area);
    const std::set<int> ours = InputIndices(hull, points);
    EXPECT_EQ(ours.size(), hull.v.size());
    if (generalPosition) {
        EXPECT_EQ(ours, q.vertices);
        return;
    }
    for (int index : q.vertices) EXPECT_TRUE(ours.count(index)) << "extreme point " << index << " missing";
    double extent = 0;
    for (const float3 &p : points) extent = std::max(extent, static_cast<double>(p.Abs().MaxElement()));
    for (int index : ours) EXPECT_GT(OutsideDistance(q, points[index]), -1e-5 * extent) << "interior point " << index;
}

std::vector<float3> Grid(int n, const float3 &origin, float step) {
    std::vector<float3> points;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) points.push_back(origin + float3(i * step, j * step, k * step));
    return points;
}

std::vector<float3> OnSphere(std::mt19937 &rng, int n, float radius) {
    std::normal_distribution<float> normal(0.f, 1.f);
    std::vector<float3> points;
    while (static_cast<int>(points.size()) < n) {
        const float3 d(normal(rng), normal(rng), normal(rng));
        if (d.LengthSq() > 1e-4f) points.push_back(d.Normalized() * radius);
    }
    return points;
}

std::vector<float3> InCube(std::mt19937 &rng, int n, float half) {
    std::uniform_real_distribution<float> u(-half, half);
    std::vector<float3> points;
    for (int i = 0; i < n; ++i) {
        const float x = u(rng);
        const float y = u(rng);
        const float z = u(rng);
        points.push_back(float3(x, y, z));
    }
    return points;
}

}  // namespace

TEST(ConvexHullOracleTest, BoxCornersInCornerOrder) {
    const math::float3x3 r = math::float3x3::RotateAxisAngle(float3(0.48f, 0.6f, 0.64f), 0.9f);
    const math::OBB turned(float3(1, -2, 3), float3(1, 2, 0.5f), r.Col(0), r.Col(1), r.Col(2));
    const math::AABB boxes[] = {math::AABB(float3(0, 0, 0), float3(2, 3, 4)), math::AABB(float3(-1e3f, 5, -7), float3(1e3f, 6, 9)),
                                math::AABB(float3(0.01f, 0.02f, 0.03f), float3(0.02f, 0.03f, 0.05f))};
    for (const math::AABB &box : boxes) {
        std::vector<float3> corners(8);
        box.GetCornerPoints(corners.data());
        ExpectHullMatchesQhull(corners, false, 1e-5);
    }
    std::vector<float3> corners(8);
    turned.GetCornerPoints(corners.data());
    ExpectHullMatchesQhull(corners, false, 1e-5);
}

TEST(ConvexHullOracleTest, Grids) {
    ExpectHullMatchesQhull(Grid(3, float3(0, 0, 0), 1.f), false, 1e-5);
    ExpectHullMatchesQhull(Grid(3, float3(-5, 2, 7), 0.25f), false, 1e-5);
    ExpectHullMatchesQhull(Grid(5, float3(1, 1, 1), 2.f), false, 1e-5);
}

TEST(ConvexHullOracleTest, PointsOnASphere) {
    std::mt19937 rng(11);
    for (int n : {20, 100, 400}) {
        SCOPED_TRACE(n);
        ExpectHullMatchesQhull(OnSphere(rng, n, 3.f), true, 1e-5);
    }
}

TEST(ConvexHullOracleTest, PointsInACube) {
    std::mt19937 rng(12);
    for (int n : {10, 200, 3000}) {
        SCOPED_TRACE(n);
        ExpectHullMatchesQhull(InCube(rng, n, 2.f), true, 1e-5);
    }
}

// A square grid of coplanar points under an apex, and collinear points along the edges of a
// tetrahedron: the flat and straight runs must not turn into folds or holes.
TEST(ConvexHullOracleTest, CoplanarAndCollinearRuns) {
    std::vector<float3> pyramid;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) pyramid.push_back(float3(i * 0.4f, j * 0.4f, 0.f));
    pyramid.push_back(float3(1, 1, 3));
    ExpectHullMatchesQhull(pyramid, false, 1e-5);

    const float3 corners[4] = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 4}};
    std::vector<float3> edges;
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            for (int k = 0; k <= 4; ++k) edges.push_back(corners[a] + (corners[b] - corners[a]) * (k * 0.25f));
    ExpectHullMatchesQhull(edges, false, 1e-5);
}
