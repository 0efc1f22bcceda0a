// The indexed projection must give exactly what the scan over every face gives.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/projection.h"
#include "engine/reference.h"

namespace {

using Face = std::vector<math::float3>;

// A terrain with shared edges, its faces off the grid's cell lines so that a point looked
// up in the wrong cell misses; stacked and coplanar faces, a face with a NaN vertex and a
// large one below the rest.
std::vector<Face> faces() {
    std::vector<Face> out;
    const int n = 12;
    auto at = [](int u, int v) {
        return math::float3(0.37f + u * 1.13f, 0.21f + v * 0.87f, static_cast<float>((u * 7 + v * 3) % 5) * 0.5f);
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            out.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            out.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    const Face square = {{2, 2, 9}, {6, 2, 9}, {6, 6, 9}, {2, 6, 9}};
    out.push_back(square);
    out.push_back(square);
    out.push_back({{0, 0, 0}, {std::nanf(""), 1, 0}, {1, 1, 0}});
    out.push_back({{-2, -2, -1}, {15, -2, -1}, {6, 15, -1}});
    return out;
}

// Random points over the terrain, points on edges, on bounds and off the surface.
std::vector<math::float3> points() {
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> spread(-2.0f, 14.0f);
    std::vector<math::float3> out;
    for (int k = 0; k < 2000; ++k) {
        const float x = spread(rng), y = spread(rng);
        out.emplace_back(x, y, 20.0f);
    }
    for (int k = 0; k <= 12; ++k) {
        const float f = static_cast<float>(k);
        for (const math::float3 &p : {math::float3(f, f, 5), math::float3(f, 0, 5), math::float3(0, f, 5),
                                      math::float3(f + 0.5f, f, 5)})
            out.push_back(p);
    }
    const float nan = std::nanf("");
    for (const math::float3 &p : {math::float3(nan, 3, 3), math::float3(3, nan, 3), math::float3(1e30f, 1, 1),
                                  math::float3(-1e30f, 1, 1)})
        out.push_back(p);
    return out;
}

std::vector<engine::Projected> project(const engine::Surface &surface, const std::vector<math::float3> &ps) {
    engine::TimeLimitPrompt prompt({1e9, 0, true}, engine::no_hooks());
    return engine::project_down(surface, ps, prompt).result;
}

bool same_bits(const math::float3 &a, const math::float3 &b) { return a.BitEquals(b); }

TEST(ProjectionIndex, GivesExactlyTheResultOfTheFullScan) {
    const engine::Surface surface(faces(), false, math::Quat::identity);
    const std::vector<math::float3> ps = points();
    engine::use_reference_algorithms = true;
    const std::vector<engine::Projected> expected = project(surface, ps);
    engine::use_reference_algorithms = false;
    const std::vector<engine::Projected> indexed = project(surface, ps);

    ASSERT_GT(expected.size(), 1500u);
    ASSERT_EQ(expected.size(), indexed.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(same_bits(expected[i].position, indexed[i].position)) << "record " << i;
        EXPECT_EQ(expected[i].face, indexed[i].face) << "record " << i << ": another face's normal";
    }
}

}  // namespace
