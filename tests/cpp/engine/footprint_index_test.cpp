// The grid over the footprint boxes must give exactly the scan's clearance: the same keep
// decision and the very same nearest distance, near footprints, far from them and beyond.
#include "engine/footprint_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using math::float3;

math::Polygon outline(std::vector<float3> vertices) {
    math::Polygon polygon;
    polygon.vertices = std::move(vertices);
    return polygon;
}

math::Polygon star(float cx, float cy, float outer, float inner, int points) {
    std::vector<float3> v;
    for (int i = 0; i < 2 * points; ++i) {
        const float a = static_cast<float>(M_PI) * i / points, r = i % 2 ? inner : outer;
        v.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a), 0.0f);
    }
    return outline(v);
}

math::Polygon rectangle(float x, float y, float w, float h) { return outline({{x, y, 0}, {x + w, y, 0}, {x + w, y + h, 0}, {x, y + h, 0}}); }

using Objects = std::vector<std::vector<math::Polygon>>;

// Rectangles and stars on a loose grid, overlapping pairs, a tiny and a huge footprint, one
// with a NaN vertex (no box), a collinear one and an empty one.
Objects scattered(unsigned seed, int count, float spread) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> at(0.0f, spread), size(0.5f, 8.0f);
    Objects objects;
    for (int k = 0; k < count; ++k) {
        const float x = at(rng), y = at(rng), s = size(rng);
        objects.push_back({k % 5 ? rectangle(x, y, s, s * 0.6f) : star(x, y, s, s * 0.4f, 6)});
    }
    objects.push_back({rectangle(10, 10, 4, 4), rectangle(12, 12, 4, 4)});
    objects.push_back({rectangle(30, 30, 1e-3f, 1e-3f)});
    return objects;
}

Objects odd(const Objects &base) {
    Objects objects = base;
    objects.push_back({outline({{5, 5, 0}, {std::nanf(""), 6, 0}, {7, 7, 0}, {5, 8, 0}})});
    objects.push_back({outline({{40, 0, 0}, {41, 0, 0}, {42, 0, 0}})});
    objects.push_back({outline({})});
    objects.push_back({rectangle(-5e3f, -5e3f, 1e4f, 20)});
    return objects;
}

std::vector<float3> points(unsigned seed, float spread) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> at(-0.2f * spread, 1.2f * spread);
    std::vector<float3> out;
    for (int k = 0; k < 6000; ++k) {
        const float x = at(rng), y = at(rng);
        out.emplace_back(x, y, 0.0f);
    }
    // Right at a footprint, 0.0499 and 0.05 from its edge, and far away or not finite.
    for (const float3 &p : {float3(10, 10, 0), float3(9.9501f, 11, 0), float3(9.95f, 11, 0), float3(14.05f, 11, 0),
                            float3(1e6f, -1e6f, 0), float3(std::nanf(""), 1, 0), float3(1, HUGE_VALF, 0)})
        out.push_back(p);
    return out;
}

bool same(const engine::Clearance &a, const engine::Clearance &b) {
    return a.keep == b.keep && std::memcmp(&a.nearest, &b.nearest, sizeof(float)) == 0;
}

TEST(FootprintIndex, GivesExactlyTheClearanceOfTheScan) {
    struct Case { const char *what; Objects objects; float spread; };
    const Case cases[] = {
        {"sparse", scattered(1, 300, 1000), 1000},
        {"crowded", scattered(2, 300, 60), 60},
        {"odd footprints among them", odd(scattered(3, 100, 100)), 100},
        {"one footprint", {{rectangle(3, 4, 2, 1)}}, 10},
        {"none", {}, 10},
    };
    for (const Case &c : cases) {
        engine::Pace pace(engine::no_hooks());
        const engine::FootprintIndex index(c.objects, pace);
        int dropped = 0;
        for (const float3 &p : points(7, c.spread)) {
            const engine::Clearance expected = engine::clearance_by_scan(c.objects, p);
            ASSERT_TRUE(same(expected, index.clearance(p))) << c.what << " at " << p.x << ", " << p.y;
            dropped += !expected.keep;
        }
        if (!c.objects.empty()) {
            EXPECT_GT(dropped, 0) << c.what;
        }
    }
}

}  // namespace
