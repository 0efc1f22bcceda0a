// Solid geometry beside independent libraries on the same input: convex hulls of points in a
// cube and on a sphere beside qhull, GJK intersection verdicts beside libccd (GJK and MPR), and
// the triangle mesh's ray query beside a plain Moller-Trumbore loop over the same floats.
#include <benchmark/benchmark.h>

#include <ccd/ccd.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

#include "Algorithm/GJK.h"
#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/TriangleMesh.h"
#include "Math/float3x3.h"
#include "side_by_side.h"

using math::float3;

namespace {

// ---- Convex hulls ----

std::vector<float3> HullInput(bool sphere, int n) {
    std::mt19937 rng(7);
    std::normal_distribution<float> normal(0.f, 1.f);
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    std::vector<float3> points;
    while (static_cast<int>(points.size()) < n) {
        if (sphere) {
            const float3 d(normal(rng), normal(rng), normal(rng));
            if (d.LengthSq() > 1e-4f) points.push_back(d.Normalized());
        } else {
            const float x = u(rng);
            const float y = u(rng);
            const float z = u(rng);
            points.push_back(float3(x, y, z));
        }
    }
    return points;
}

void VandrelHull(benchmark::State &state, bool sphere) {
    const std::vector<float3> points = HullInput(sphere, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        math::Polyhedron hull = math::Polyhedron::ConvexHull(points.data(), static_cast<int>(points.size()));
        benchmark::DoNotOptimize(hull.f.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void QhullHull(benchmark::State &state, bool sphere) {
    const std::vector<float3> points = HullInput(sphere, static_cast<int>(state.range(0)));
    std::vector<coordT> coords;
    for (const float3 &p : points) coords.insert(coords.end(), {p.x, p.y, p.z});
    char options[] = "qhull";
    for (auto _ : state) {
        qhT qhStorage;
        qhT *qh = &qhStorage;
        qh_zero(qh, stderr);
        const int exitCode = qh_new_qhull(qh, 3, static_cast<int>(points.size()), coords.data(), False, options, nullptr, stderr);
        benchmark::DoNotOptimize(exitCode);
        qh_freeqhull(qh, !qh_ALL);
        int curlong, totlong;
        qh_memfreeshort(qh, &curlong, &totlong);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Points on a sphere all end on the hull, and every merge scans every face: O(n^2).
BENCHMARK_CAPTURE(VandrelHull, cube, false)->Name("vandrel/ConvexHull/cube")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QhullHull, cube, false)->Name("qhull/ConvexHull/cube")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VandrelHull, sphere, true)->Name("vandrel/ConvexHull/sphere")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QhullHull, sphere, true)->Name("qhull/ConvexHull/sphere")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VandrelHull, sphere, true)->Name("vandrel/ConvexHull/sphere")->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(QhullHull, sphere, true)->Name("qhull/ConvexHull/sphere")->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- GJK ----

struct Hull {
    std::vector<float3> points;
};

void Support(const void *object, const ccd_vec3_t *dir, ccd_vec3_t *out) {
    const Hull &hull = *static_cast<const Hull *>(object);
    double best = -1e300;
    for (const float3 &p : hull.points) {
        const double d = p.x * dir->v[0] + p.y * dir->v[1] + p.z * dir->v[2];
        if (d > best) {
            best = d;
            ccdVec3Set(out, p.x, p.y, p.z);
        }
    }
}

void Center(const void *object, ccd_vec3_t *out) {
    const Hull &hull = *static_cast<const Hull *>(object);
    const float3 &p = hull.points[0];
    ccdVec3Set(out, p.x, p.y, p.z);
}

struct Pairs {
    std::vector<math::Polygon> polygons;
    std::vector<math::OBB> boxes;
    std::vector<Hull> polygonHulls, boxHulls;
};

const Pairs &GJKPairs() {
    static const Pairs pairs = [] {
        Pairs p;
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> u(-1.f, 1.f);
        for (int i = 0; i < 1000; ++i) {
            const math::float3x3 r = math::float3x3::RotateAxisAngle(float3(u(rng), u(rng), u(rng) + 2.f).Normalized(), u(rng) * 3.f);
            const math::OBB box(float3(u(rng), u(rng), u(rng)) * 0.5f, float3(0.3f, 0.4f, 0.5f), r.Col(0), r.Col(1), r.Col(2));
            math::Polygon polygon;
            const float3 c(u(rng), u(rng), u(rng));
            for (int k = 0; k < 6; ++k) {
                const float t = static_cast<float>(k) * 1.0471976f;
                polygon.vertices.push_back(c + r * float3(0.4f * std::cos(t), 0.3f * std::sin(t), 0.f));
            }
            Hull boxHull{std::vector<float3>(8)};
            box.GetCornerPoints(boxHull.points.data());
            p.boxes.push_back(box);
            p.boxHulls.push_back(boxHull);
            p.polygons.push_back(polygon);
            p.polygonHulls.push_back(Hull{polygon.vertices});
        }
        return p;
    }();
    return pairs;
}

void VandrelGJK(benchmark::State &state) {
    const Pairs &p = GJKPairs();
    for (auto _ : state)
        for (size_t i = 0; i < p.boxes.size(); ++i) benchmark::DoNotOptimize(math::GJKIntersect(p.polygons[i], p.boxes[i]));
    state.SetItemsProcessed(state.iterations() * p.boxes.size());
}

template <int (*Intersect)(const void *, const void *, const ccd_t *)>
void CcdPairs(benchmark::State &state) {
    const Pairs &p = GJKPairs();
    ccd_t ccd;
    CCD_INIT(&ccd);
    ccd.support1 = Support;
    ccd.support2 = Support;
    ccd.center1 = Center;
    ccd.center2 = Center;
    for (auto _ : state)
        for (size_t i = 0; i < p.boxes.size(); ++i) benchmark::DoNotOptimize(Intersect(&p.polygonHulls[i], &p.boxHulls[i], &ccd));
    state.SetItemsProcessed(state.iterations() * p.boxes.size());
}

BENCHMARK(VandrelGJK)->Name("vandrel/GJK/polygon_obb_1000_pairs");
BENCHMARK(CcdPairs<ccdGJKIntersect>)->Name("libccd_gjk/GJK/polygon_obb_1000_pairs");
BENCHMARK(CcdPairs<ccdMPRIntersect>)->Name("libccd_mpr/GJK/polygon_obb_1000_pairs");

// ---- Triangle mesh rays ----

struct MeshInput {
    std::vector<float> floats;  // AoS, 12-byte vertices
    std::vector<math::Ray> rays;
};

const MeshInput &Mesh(int numTriangles) {
    static std::vector<std::pair<int, MeshInput>> cache;
    for (const auto &entry : cache)
        if (entry.first == numTriangles) return entry.second;
    MeshInput m;
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    for (int t = 0; t < numTriangles; ++t) {
        const float3 c(u(rng), u(rng), u(rng));
        for (int k = 0; k < 3; ++k) {
            const float x = u(rng);
            const float y = u(rng);
            const float z = u(rng);
            const float3 p = c + float3(x, y, z) * 0.1f;
            m.floats.insert(m.floats.end(), {p.x, p.y, p.z});
        }
    }
    for (int r = 0; r < 64; ++r) {
        const float3 origin(u(rng) * 2.f, u(rng) * 2.f, u(rng) * 2.f);
        m.rays.push_back(math::Ray(origin, (float3(u(rng), u(rng), u(rng)) * 0.5f - origin).Normalized()));
    }
    cache.emplace_back(numTriangles, std::move(m));
    return cache.back().second;
}

void VandrelRays(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const MeshInput &m = Mesh(n);
    math::TriangleMesh mesh;
    mesh.Set(m.floats.data(), n, 12);
    for (auto _ : state)
        for (const math::Ray &ray : m.rays) benchmark::DoNotOptimize(mesh.IntersectRay(ray));
    state.SetItemsProcessed(state.iterations() * m.rays.size() * n);
}

// The same test with the same tolerances, written out over the float array.
float PlainNearestHit(const float *tri, int n, const math::Ray &ray) {
    float best = INFINITY;
    for (int i = 0; i < n; ++i, tri += 9) {
        const float e1x = tri[3] - tri[0], e1y = tri[4] - tri[1], e1z = tri[5] - tri[2];
        const float e2x = tri[6] - tri[0], e2y = tri[7] - tri[1], e2z = tri[8] - tri[2];
        const float qx = ray.dir.y * e2z - ray.dir.z * e2y, qy = ray.dir.z * e2x - ray.dir.x * e2z,
                    qz = ray.dir.x * e2y - ray.dir.y * e2x;
        const float det = e1x * qx + e1y * qy + e1z * qz;
        if (std::fabs(det) <= 1e-4f) continue;
        const float r = 1.f / det;
        const float sx = ray.pos.x - tri[0], sy = ray.pos.y - tri[1], sz = ray.pos.z - tri[2];
        const float u = (sx * qx + sy * qy + sz * qz) * r;
        if (u < -1e-4f || u > 1.0001f) continue;
        const float q2x = sy * e1z - sz * e1y, q2y = sz * e1x - sx * e1z, q2z = sx * e1y - sy * e1x;
        const float v = (ray.dir.x * q2x + ray.dir.y * q2y + ray.dir.z * q2z) * r;
        if (v < -1e-4f || u + v > 1.0001f) continue;
        const float t = (e2x * q2x + e2y * q2y + e2z * q2z) * r;
        if (t >= 0.f && t < best) best = t;
    }
    return best;
}

void PlainRays(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    const MeshInput &m = Mesh(n);
    for (auto _ : state)
        for (const math::Ray &ray : m.rays) benchmark::DoNotOptimize(PlainNearestHit(m.floats.data(), n, ray));
    state.SetItemsProcessed(state.iterations() * m.rays.size() * n);
}

BENCHMARK(VandrelRays)->Name("vandrel/MeshRays/64_rays")->Arg(1000)->Arg(100000);
BENCHMARK(PlainRays)->Name("plain_loop/MeshRays/64_rays")->Arg(1000)->Arg(100000);

}  // namespace

int main(int argc, char **argv) { return bench::RunSideBySide(argc, argv); }
