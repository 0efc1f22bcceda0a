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

math::Polygon translated(math::Polygon polygon, float dx, float dy) {
    for (float3 &v : polygon.vertices) v = float3(v.x + dx, v.y + dy, v.z);
    return polygon;
}

// Footprints that touch, overlap, repeat and nest; concave ones with notches narrower than
// 0.1, so that a point in a notch lies near both sides.
Objects touching_and_concave() {
    Objects objects = {
        {rectangle(0, 0, 8, 5), rectangle(8, 0, 8, 5)},           // sharing an edge
        {rectangle(4, 2, 8, 5), rectangle(4, 2, 8, 5)},           // overlapping, and twice
        {rectangle(16, 5, 3, 3), rectangle(1, 1, 2, 2)},          // touching a corner; inside another
        {star(40, 10, 10, 4, 6), star(40, 10, 10, 4, 15)},
        {outline({{20, 20, 0}, {30, 20, 0}, {30, 21, 0}, {21, 21, 0}, {21, 30, 0}, {20, 30, 0}})},  // an L
        {outline({{50, 30, 0}, {60, 30, 0}, {60, 40, 0}, {55.04f, 40, 0}, {55.04f, 31, 0}, {54.96f, 31, 0},
                  {54.96f, 40, 0}, {50, 40, 0}})},              // a U with a notch 0.08 wide
    };
    std::vector<float3> comb;
    for (int k = 0; k < 6; ++k) {
        const float x = 70 + 0.09f * k;
        comb.insert(comb.end(), {{x, 50, 0}, {x + 0.045f, 50, 0}, {x + 0.045f, 40, 0}});
    }
    comb.insert(comb.end(), {{70.54f, 40, 0}, {70.54f, 39, 0}, {70, 39, 0}});
    objects.push_back({outline(comb)});
    return objects;
}

// Slivers and collinear runs (which the index measures from everywhere), footprints too small
// or too far out for its bounds, repeated vertices and negative zeros.
Objects degenerate() {
    return {
        {outline({{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {8, 5, 0}, {0, 5, 0}})},         // a vertex mid-edge
        {outline({{-3, 7, 0}, {40, 7.001f, 0}, {80, 7.0015f, 0}, {80, 8, 0}})},     // a sliver
        {outline({{10, 10, 0}, {10, 10, 0}, {14, 10, 0}, {14, 13, 0}, {14, 13, 0}, {10, 13, 0}})},
        {rectangle(20, 20, 1e-7f, 1e-7f), rectangle(25, 20, 1000, 0.01f)},
        {outline({{-0.0f, -0.0f, 0}, {3, -0.0f, -0.0f}, {3, 2, 0}, {-0.0f, 2, 0}})},
        {rectangle(3e9f, 3e9f, 10, 10)},                                           // beyond the bounds' range
    };
}

// A ring of many sides, whose triangulation cuts ears so thin that the index measures them
// from everywhere, beside a few plain footprints that it indexes.
Objects many_sided() {
    std::vector<float3> ring;
    for (int i = 0; i < 100; ++i) {
        const float a = 2.0f * static_cast<float>(M_PI) * i / 100, r = 2.0f + 0.2f * std::sin(7.0f * a);
        ring.emplace_back(50 + r * std::cos(a), 50 + r * std::sin(a), 0.0f);
    }
    return {{outline(ring)}, {rectangle(0, 0, 8, 5)}, {star(100, 100, 10, 4, 6)}};
}

Objects far_off(const Objects &base, float dx, float dy) {
    Objects objects;
    for (const std::vector<math::Polygon> &object : base) {
        objects.emplace_back();
        for (const math::Polygon &p : object) objects.back().push_back(translated(p, dx, dy));
    }
    return objects;
}

// On every vertex and edge and just off them, on both sides, at 0.05 and a float either side
// of it and at 0.0499 and 0.0501; across each corner, which in a concave outline lies in its
// notch; halfway between footprints; and around and far beyond them all.
std::vector<float3> risky(const Objects &objects, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<float3> out;
    std::vector<float3> centres;
    engine::PlanBox extent;
    for (const std::vector<math::Polygon> &object : objects)
        for (const math::Polygon &polygon : object) {
            const std::vector<float3> &v = polygon.vertices;
            const size_t n = v.size();
            if (n == 0) continue;
            centres.push_back(v[0]);
            for (size_t i = 0; i < n; ++i) {
                const float3 a = v[i], b = v[(i + 1) % n], c = v[(i + 2) % n];
                if (a.IsFinite()) extent.enclose(a.x, a.y);
                out.push_back(a);
                out.push_back(float3((a.x + c.x) / 2, (a.y + c.y) / 2, 0));
                const float3 d = b - a;
                const float length = std::sqrt(d.x * d.x + d.y * d.y);
                if (!(length > 0)) continue;
                const float3 normal(d.y / length, -d.x / length, 0);
                std::uniform_real_distribution<float> along(0, 1);
                for (const float t : {0.0f, 0.5f, along(rng), 1.0f})
                    for (const float off : {0.0499f, 0.05f, std::nextafter(0.05f, 0.0f), std::nextafter(0.05f, 1.0f),
                                            0.0501f, -0.0499f, -0.05f, -0.0501f, 0.0f, 1.0f}) {
                        const float x = a.x + t * d.x + off * normal.x, y = a.y + t * d.y + off * normal.y;
                        out.emplace_back(x, y, 0.0f);
                    }
                for (const float off : {0.0499f, 0.05f, 0.0501f}) {  // beyond the vertex, both ways
                    out.emplace_back(a.x - off * d.x / length, a.y - off * d.y / length, 0.0f);
                    out.emplace_back(a.x - off * normal.x, a.y - off * normal.y, 0.0f);
                }
            }
        }
    for (size_t k = 1; k < centres.size(); ++k)
        out.emplace_back((centres[k - 1].x + centres[k].x) / 2, (centres[k - 1].y + centres[k].y) / 2, 0.0f);
    const double width = extent.max_x - extent.min_x, height = extent.max_y - extent.min_y;
    std::uniform_real_distribution<float> x(extent.min_x - 3 * width, extent.max_x + 3 * width);
    std::uniform_real_distribution<float> y(extent.min_y - 3 * height, extent.max_y + 3 * height);
    for (int k = 0; k < 3000; ++k) {
        const float px = x(rng), py = y(rng);
        out.emplace_back(px, py, 0.0f);
    }
    for (const float3 &p : {float3(-0.0f, -0.0f, 0), float3(-0.0f, 0.03f, 0), float3(std::nanf(""), 1, 0),
                            float3(1, -HUGE_VALF, 0), float3(2e9f, -2e9f, 0), float3(-1e30f, 5, 0), float3(1, 1, 0.5f)})
        out.push_back(p);
    return out;
}

TEST(FootprintIndex, GivesExactlyTheClearanceOfTheScanWhereShortcutsAreMostAtRisk) {
    struct Case { const char *what; Objects objects; };
    const Case cases[] = {
        {"touching, overlapping and concave", touching_and_concave()},
        {"degenerate", degenerate()},
        {"far from the origin", far_off(touching_and_concave(), 3e5f, -2e5f)},
        {"spread past the bounds' range", far_off(touching_and_concave(), 8e8f, -8e8f)},
        {"a few among many", odd(scattered(4, 200, 2000))},
        {"many-sided", many_sided()},
    };
    for (const Case &c : cases) {
        engine::Pace pace(engine::no_hooks());
        const engine::FootprintIndex index(c.objects, pace);
        int dropped = 0, kept = 0;
        for (const float3 &p : risky(c.objects, 9)) {
            const engine::Clearance expected = engine::clearance_by_scan(c.objects, p);
            ASSERT_TRUE(same(expected, index.clearance(p))) << c.what << " at " << p.x << ", " << p.y << ", " << p.z;
            dropped += !expected.keep;
            kept += expected.keep && expected.nearest != engine::Clearance::kNone;
        }
        EXPECT_GT(dropped, 0) << c.what;
        EXPECT_GT(kept, 0) << c.what;
    }
}

}  // namespace
