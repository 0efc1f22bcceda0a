// The indexed projection must give exactly what the scan over every face gives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

// Every record, bit for bit, with the face whose normal it takes; the reference has at least
// `least` hits.
void expect_same_as_full_scan(const std::vector<Face> &faces, const std::vector<math::float3> &ps, const char *what,
                              size_t least = 1) {
    const engine::Surface surface(faces, false, math::Quat::identity);
    engine::use_reference_algorithms = true;
    const std::vector<engine::Projected> expected = project(surface, ps);
    engine::use_reference_algorithms = false;
    const std::vector<engine::Projected> indexed = project(surface, ps);
    ASSERT_GE(expected.size(), least) << what;
    ASSERT_EQ(expected.size(), indexed.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(same_bits(expected[i].position, indexed[i].position)) << what << ": record " << i;
        EXPECT_EQ(expected[i].face, indexed[i].face) << what << ": record " << i << ": another face's normal";
    }
}

TEST(ProjectionIndex, GivesExactlyTheResultOfTheFullScan) {
    expect_same_as_full_scan(faces(), points(), "the terrain", 1501);
}

using math::float3;

// The rule itself, apart from the full scan: the highest hit, and of equal heights the first
// face, whichever way round it lies and whether the point is above or below.
TEST(ProjectionIndex, TakesTheHighestHitAndTheFirstOfEqualHeights) {
    const std::vector<Face> faces = {
        {{0, 0, 1}, {4, 0, 1}, {0, 4, 1}},
        {{0, 0, 1}, {4, 0, 1}, {0, 4, 1}},
        {{0, 0, 3}, {2, 0, 3}, {0, 2, 3}},
        {{0, 4, 1}, {4, 0, 1}, {0, 0, 1}},
    };
    const engine::Surface surface(faces, false, math::Quat::identity);
    struct Case {
        float3 point, hit;
        uint32_t face;
    };
    const Case cases[] = {
        {{0.5f, 0.5f, 10}, {0.5f, 0.5f, 3}, 2},
        {{0.5f, 0.5f, -10}, {0.5f, 0.5f, 3}, 2},
        {{3, 0.5f, 10}, {3, 0.5f, 1}, 0},
        {{0.5f, 3, 0}, {0.5f, 3, 1}, 0},
    };
    for (const Case &c : cases) {
        const std::vector<engine::Projected> out = project(surface, {c.point});
        ASSERT_EQ(1u, out.size()) << c.point.SerializeToCodeString();
        EXPECT_TRUE(same_bits(c.hit, out[0].position)) << out[0].position.SerializeToCodeString();
        EXPECT_EQ(c.face, out[0].face) << c.point.SerializeToCodeString();
    }
}

// A terrain on whole coordinates: its vertices, edges and diagonals lie on exact floats.
std::vector<Face> whole_terrain(int n, float step, const float3 &at) {
    std::vector<Face> out;
    auto v = [&](int i, int j) {
        return at + float3(i * step, j * step, static_cast<float>((i * 5 + j * 3) % 4) * step);
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            out.push_back({v(i, j), v(i + 1, j), v(i + 1, j + 1)});
            out.push_back({v(i, j), v(i + 1, j + 1), v(i, j + 1)});
        }
    return out;
}

// Points on every vertex, on the middle and the quarters of every edge and diagonal, a hair
// to either side of them, and at -0 where a coordinate is 0.
std::vector<float3> on_the_lines(int n, float step, const float3 &at, float height) {
    std::vector<float3> out;
    const float hair = step * 1e-6f;
    for (int i = 0; i <= 2 * n; ++i)
        for (int j = 0; j <= 2 * n; ++j)
            for (const float dx : {0.0f, hair, -hair})
                for (const float dy : {0.0f, 0.5f * step, 0.25f * step, -hair}) {
                    const float x = at.x + i * 0.5f * step + dx, y = at.y + j * 0.5f * step + dy;
                    out.emplace_back(x == 0.0f ? -0.0f : x, y == 0.0f ? -0.0f : y, at.z + height);
                }
    return out;
}

// Random points over a box of the plan view, at the given heights.
std::vector<float3> scattered(const float3 &lo, const float3 &hi, std::vector<float> heights, int count) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    std::vector<float3> out;
    for (int k = 0; k < count; ++k) {
        const float x = lo.x + (hi.x - lo.x) * u(rng), y = lo.y + (hi.y - lo.y) * u(rng);
        out.emplace_back(x, y, heights[static_cast<size_t>(k) % heights.size()]);
    }
    return out;
}

std::vector<float3> joined(std::vector<float3> a, const std::vector<float3> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ProjectionIndex, MatchesTheFullScanWhereShortcutsAreAtRisk) {
    const float nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char *what;
        std::vector<Face> faces;
        std::vector<float3> points;
    };
    const std::vector<Face> walls = {
        {{0, 0, 0}, {4, 0, 0}, {4, 0, 4}, {0, 0, 4}},                  // vertical
        {{0, 1, 0}, {0, 5, 0}, {0, 5, 4}},                             // vertical, along y
        {{5, 0, 0}, {9, 0, 0}, {9, 4e-4f, 4}},                         // normal z near 1e-4
        {{5, 5, 0}, {9, 5, 0}, {9, 5.0002f, 4}},                       // below 1e-4: the solve's bound on t
        {{0, 6, 0}, {4, 6, 0}, {4, 6.5f, 50}},                         // steeper than the plan-view bound
        {{0, 20, -3e4f}, {4, 20, -3e4f}, {4, 21.5f, 3e4f}},            // so tall that some hits are too far
        {{-1, -1, -2}, {10, -1, -2}, {10, 10, -2}, {-1, 10, -2}},     // a floor under all of them
    };
    const std::vector<Face> odd = {
        {{0, 0, 1}, {1, 1, 1}, {3, 3, 1}},                             // collinear: a NaN plane
        {{0, 0, 2}, {0, 0, 2}, {0, 3, 2}, {3, 0, 2}},                 // a repeated first vertex
        {{1, 1, 3}, {1, 1, 3}, {3, 1, 3}},                             // a first edge of no length
        {{0, 0, 4}, {3, 3, 4}},                                        // two vertices
        {{1, 1, 5}},                                                   // one
        {},                                                            // none
        {{0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {0, 4, 1}},                 // not planar
        {{0, 0, 6}, {2, 1, 6}, {4, 0, 6}, {4, 4, 6}, {0, 4, 6}},      // a reflex first corner
        {{nan, 0, 7}, {4, 0, 7}, {4, 4, 7}},                           // NaN bounds
        {{0, 0, 8}, {inf, 0, 8}, {0, 4, 8}},                           // infinite bounds
        {{0, 0, -inf}, {4, 0, 0}, {0, 4, 0}},                          // an infinite height
        {{-1, -1, -1}, {6, -1, -1}, {6, 6, -1}, {-1, 6, -1}},         // a floor under all of them
    };
    const std::vector<Face> overlapping = {
        {{0, 0, 1}, {4, 0, 1}, {0, 4, 1}},
        {{0, 4, 1}, {4, 0, 1}, {0, 0, 1}},                             // the same, turned over
        {{0, 0, 1}, {4, 0, 1}, {4, 4, 1}},                             // coplanar, overlapping
        {{0, 0, -1}, {4, 0, 3}, {4, 4, 3}, {0, 4, -1}},               // crossing them along x = 2
        {{0, 0, 1}, {4, 0, 1}, {0, 4, 1}},                             // the first again
    };
    const Case cases[] = {
        {"points on the shared edges and vertices of a terrain", whole_terrain(6, 1.0f, {0, 0, 0}),
         on_the_lines(6, 1.0f, {0, 0, 0}, 10.0f)},
        {"a terrain far from the origin", whole_terrain(6, 4.0f, {1e5f, -3e5f, 2e3f}),
         joined(on_the_lines(6, 4.0f, {1e5f, -3e5f, 2e3f}, 10.0f),
                scattered({1e5f, -3e5f, 0}, {1e5f + 24, -3e5f + 24, 0}, {2e3f, 0, 1e20f, -1e30f}, 3000))},
        {"huge coordinates", whole_terrain(4, 1e8f, {1e12f, 1e12f, 0}),
         on_the_lines(4, 1e8f, {1e12f, 1e12f, 0}, 1e9f)},
        {"points so far above large faces that the solve's rounding leaves them off the plane",
         whole_terrain(3, 1e6f, {0, 0, 0}), scattered({0, 0, 0}, {3e6f, 3e6f, 0}, {1e10f, -1e11f, 1e4f}, 3000)},
        {"tiny faces", whole_terrain(4, 1e-3f, {0.25f, 0.5f, 0}), on_the_lines(4, 1e-3f, {0.25f, 0.5f, 0}, 1.0f)},
        {"vertical and nearly vertical faces", walls,
         joined(scattered({-1, -1, 0}, {10, 10, 0}, {5, -5, 2, 0}, 6000),
                scattered({0, 20, 0}, {4, 21.5f, 0}, {10}, 500))},
        {"degenerate faces", odd, scattered({-1, -1, 0}, {6, 6, 0}, {10, 0.5f, -10}, 4000)},
        {"overlapping faces at equal heights", overlapping,
         joined(on_the_lines(4, 1.0f, {0, 0, 0}, 2.0f), scattered({0, 0, 0}, {4, 4, 0}, {9}, 2000))},
        {"points that are not numbers", whole_terrain(3, 1.0f, {0, 0, 0}),
         {{nan, 1, 5}, {1, nan, 5}, {1, 1, nan}, {inf, 1, 5}, {1, -inf, 5}, {1, 1, inf}, {1, 1, -inf},
          {0.5f, 1.5f, 5}}},
    };
    for (const Case &c : cases) expect_same_as_full_scan(c.faces, c.points, c.what);
}

}  // namespace
