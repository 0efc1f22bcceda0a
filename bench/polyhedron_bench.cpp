// Polyhedron::Contains(point) per query beside CGAL's side-of-mesh classifier on tori of 12 to
// 10,000 triangles; the summary prints CGAL's time relative to ours.

#include <benchmark/benchmark.h>

#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../tests/cpp/Geometry/polyhedron_meshes.h"
#include "side_by_side.h"

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

// One containment query per iteration, cycling through the fixed query points.
template <typename Query>
void TimeQueries(benchmark::State &state, Query query) {
    const std::vector<float3> q = Queries();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(query(q[i++ % q.size()]));
}

void Register() {
    for (int k = 0; k < static_cast<int>(std::size(kSizes)); ++k) {
        const test_meshes::Solid &solid = TorusOf(k);
        const std::string faces = "/contains/" + std::to_string(solid.p.f.size());
        benchmark::RegisterBenchmark(("vandrel" + faces).c_str(), [&solid](benchmark::State &state) {
            TimeQueries(state, [&solid](const float3 &p) { return solid.p.Contains(p); });
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("cgal" + faces).c_str(), [&solid](benchmark::State &state) {
            TimeQueries(state, [&solid](const float3 &p) { return solid.Inside(p); });
        })->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char **argv) {
    Register();
    return bench::RunSideBySide(argc, argv);
}
