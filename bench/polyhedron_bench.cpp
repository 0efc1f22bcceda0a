// Polyhedron::Contains(point) per query beside CGAL's side-of-mesh classifier on tori of 12 to
// 10,000 triangles; prints our time per query over CGAL's.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "../tests/cpp/Geometry/polyhedron_meshes.h"

namespace {

using math::float3;

const int kSizes[][2] = {{3, 2}, {10, 5}, {25, 10}, {50, 20}, {100, 50}};  // 12 ... 10,000 faces

std::vector<float3> Queries() {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-1.6f, 1.6f);
    std::vector<float3> q;
    for (int i = 0; i < 256; ++i) {
        const float x = u(rng);
        const float y = u(rng);
        const float z = u(rng) * 0.4f;
        q.push_back(float3(x, y, z));
    }
    return q;
}

const test_meshes::Solid &TorusOf(int index) {
    static std::vector<std::unique_ptr<test_meshes::Solid>> solids;
    if (solids.empty())
        for (const auto &s : kSizes)
            solids.emplace_back(new test_meshes::Solid("torus", false, test_meshes::Torus(s[0], s[1], 1.f, 0.4f)));
    return *solids[index];
}

void BM_PolyhedronContains(benchmark::State &state) {
    const test_meshes::Solid &solid = TorusOf(static_cast<int>(state.range(0)));
    const std::vector<float3> q = Queries();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(solid.p.Contains(q[i++ % q.size()]));
    state.counters["faces"] = static_cast<double>(solid.p.f.size());
}

void BM_CgalSideOfTriangleMesh(benchmark::State &state) {
    const test_meshes::Solid &solid = TorusOf(static_cast<int>(state.range(0)));
    const std::vector<float3> q = Queries();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(solid.Inside(q[i++ % q.size()]));
    state.counters["faces"] = static_cast<double>(solid.p.f.size());
}

BENCHMARK(BM_PolyhedronContains)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CgalSideOfTriangleMesh)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
