// The edge bands must answer exactly as Polygon::Contains on every point, the points where
// its rounding decides (on edges, on vertices, level with vertices, at the extremes) included.
#include "engine/ring_containment.h"

#include "engine/plan_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using math::float3;

constexpr float kThicknessSq = 1e-5f;

float3 lerp(const float3 &a, const float3 &b, float t) { return a + (b - a) * t; }

math::Polygon ring(std::vector<float3> vertices) {
    math::Polygon polygon;
    polygon.vertices = std::move(vertices);
    return polygon;
}

math::Polygon wavy(int n, float radius, float3 centre, float noise, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> wobble(-noise, noise);
    std::vector<float3> v;
    for (int k = 0; k < n; ++k) {
        const float a = 2.0f * static_cast<float>(M_PI) * k / n;
        const float r = radius * (1.0f + 0.2f * std::sin(7.0f * a)) + wobble(rng) * radius;
        v.push_back(centre + float3(r * std::cos(a), r * std::sin(a), 0.0f));
    }
    return ring(v);
}

math::Polygon random_walk(int n, unsigned seed) {  // crosses itself many times
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> at(-10.0f, 10.0f);
    std::vector<float3> v;
    for (int k = 0; k < n; ++k) {
        const float x = at(rng), y = at(rng);
        v.emplace_back(x, y, 0.0f);
    }
    return ring(v);
}

// Integer corners with many vertices along each side, repeated and collinear ones: edges lie
// exactly on the test ray of points level with them.
math::Polygon lattice_comb() {
    std::vector<float3> v;
    for (int x = 0; x <= 20; ++x) v.emplace_back(static_cast<float>(x), (x % 4 == 1) ? 3.0f : 0.0f, 0.0f);
    v.emplace_back(20.0f, 0.0f, 0.0f);  // repeated
    for (int y = 1; y <= 10; ++y) v.emplace_back(20.0f, static_cast<float>(y), 0.0f);
    for (int x = 19; x >= 0; --x) v.emplace_back(static_cast<float>(x), (x % 3 == 0) ? 7.0f : 10.0f, 0.0f);
    return ring(v);
}

math::Polygon transformed(math::Polygon polygon, const std::function<float3(const float3 &)> &f) {
    for (float3 &v : polygon.vertices) v = f(v);
    return polygon;
}

// Random points over and around the bounds, every vertex and points beside it, points on
// and next to edges, points level with vertices, the extremes and non-finite points.
std::vector<float3> probes(const math::Polygon &polygon, unsigned seed) {
    std::mt19937 rng(seed);
    float3 lo(HUGE_VALF), hi(-HUGE_VALF);
    for (const float3 &v : polygon.vertices) {
        if (!v.IsFinite()) continue;
        lo = lo.Min(v);
        hi = hi.Max(v);
    }
    if (polygon.vertices.empty()) lo = hi = float3(0, 0, 0);
    const float3 pad = (hi - lo) * 0.1f;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float3> out;
    const size_t n = polygon.vertices.size();
    std::uniform_int_distribution<size_t> any(0, n > 0 ? n - 1 : 0);
    for (int k = 0; n > 0 && k < 2000; ++k) {
        const float tx = unit(rng), ty = unit(rng), tz = unit(rng);
        out.emplace_back(lo.x - pad.x + tx * (hi.x - lo.x + 2 * pad.x), lo.y - pad.y + ty * (hi.y - lo.y + 2 * pad.y),
                         lo.z + tz * (hi.z - lo.z));
        // In the ring's plane: between three of its vertices.
        const size_t a = any(rng), b = any(rng), c = any(rng);
        const float s = unit(rng), t = unit(rng);
        out.push_back(lerp(lerp(polygon.vertices[a], polygon.vertices[b], s), polygon.vertices[c], t));
    }
    for (size_t k = 0; k < n; ++k) {
        const float3 &a = polygon.vertices[k], &b = polygon.vertices[(k + 1) % n];
        const float up = std::nextafter(a.y, HUGE_VALF), down = std::nextafter(a.y, -HUGE_VALF);
        for (const float3 &p : {a, lerp(a, b, 0.5f), lerp(a, b, unit(rng)), float3(a.x, up, a.z), float3(a.x, down, a.z),
                                float3(a.x - 1e-3f, a.y, a.z), float3(lo.x - 1.0f, a.y, a.z), float3(hi.x, a.y, a.z),
                                float3(lerp(a, b, 0.5f).x, a.y + 1e-4f, a.z), float3(a.x, a.y + 0.99e-4f, a.z)})
            out.push_back(p);
    }
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = HUGE_VALF;
    for (const float3 &p : {lo, hi, float3(lo.x, hi.y, lo.z), float3(hi.x, lo.y, hi.z), float3(nan, lo.y, 0),
                            float3(lo.x, nan, 0), float3(inf, 0, 0), float3(-inf, lo.y, 0), float3(0, 0, nan),
                            float3(3e38f, 3e38f, 0)})
        out.push_back(p);
    return out;
}

TEST(RingContainment, AnswersExactlyAsPolygonContains) {
    struct Case { const char *what; math::Polygon polygon; bool some_inside = true; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    math::Polygon with_nan = wavy(40, 5, float3(0, 0, 0), 0.05f, 3);
    with_nan.vertices[7].x = nan;
    math::Polygon with_inf = wavy(40, 5, float3(0, 0, 0), 0.05f, 4);
    with_inf.vertices[9].y = HUGE_VALF;
    math::Polygon doubled_start = wavy(64, 5, float3(1, 2, 0), 0.1f, 5);
    doubled_start.vertices.insert(doubled_start.vertices.begin(), doubled_start.vertices[0]);
    const Case cases[] = {
        {"a wavy ring of 500", wavy(500, 100, float3(250, -40, 0), 0.02f, 1)},
        {"a noisy ring of 64", wavy(64, 3, float3(0, 0, 0), 0.3f, 2)},
        {"a self-crossing walk", random_walk(80, 7)},
        {"a comb on the lattice", lattice_comb()},
        {"the comb far from the origin", transformed(lattice_comb(), [](const float3 &v) { return v + float3(1e6f, -2e6f, 0); })},
        {"the comb shrunk", transformed(lattice_comb(), [](const float3 &v) { return v * 1e-4f; })},
        {"the comb at 1e15", transformed(lattice_comb(), [](const float3 &v) { return v * 1e14f; })},
        // Its plane's normal overflows: nothing is inside.
        {"the comb at 1e30", transformed(lattice_comb(), [](const float3 &v) { return v * 1e29f; }), false},
        {"a tilted ring", transformed(wavy(100, 10, float3(0, 0, 0), 0.05f, 6),
                                       [](const float3 &v) { return float3(v.x, v.y * 0.8f, v.y * 0.6f + 2.0f); })},
        {"an upright ring", transformed(wavy(100, 10, float3(0, 0, 0), 0.05f, 8),
                                         [](const float3 &v) { return float3(v.x, 0.0f, v.y); }), false},
        {"a NaN vertex", with_nan},
        {"an infinite vertex", with_inf},
        {"its first vertex repeated", doubled_start},
        {"few vertices", wavy(9, 2, float3(0, 0, 0), 0.1f, 9)},
        {"no vertices", ring({}), false},
    };
    for (const Case &c : cases) {
        const math::PolygonAxes axes = c.polygon.ContainmentAxes();
        const engine::RingContainment bands(c.polygon, axes, kThicknessSq);
        int inside = 0, total = 0;
        for (const float3 &p : probes(c.polygon, 11)) {
            const bool expected = c.polygon.Contains(p, kThicknessSq);
            ASSERT_EQ(expected, bands.contains(p)) << c.what << " at " << p.x << ", " << p.y << ", " << p.z;
            inside += expected;
            ++total;
        }
        if (c.some_inside) {
            EXPECT_GT(inside, total / 20) << c.what << ": too few points inside to prove anything";
        }
    }
}

// Exact but for double rounding, which the clearance asked for leaves no say.
double distance_to_edges(const math::Polygon &polygon, const float3 &p) {
    double nearest = HUGE_VAL;
    const std::vector<float3> &v = polygon.vertices;
    for (size_t k = 0; k < v.size(); ++k) {
        const float3 &a = v[k], &b = v[(k + 1) % v.size()];
        const double vx = double(b.x) - a.x, vy = double(b.y) - a.y, wx = double(p.x) - a.x, wy = double(p.y) - a.y;
        const double length_sq = vx * vx + vy * vy;
        const double t = length_sq > 0 ? std::clamp((wx * vx + wy * vy) / length_sq, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(wx - t * vx, wy - t * vy));
    }
    return nearest;
}

// Whether a ray from p along +x crosses the outline an odd number of times, vertices on it
// counted once, as lying above it.
bool true_parity(const math::Polygon &polygon, const float3 &p) {
    bool inside = false;
    const std::vector<float3> &v = polygon.vertices;
    for (size_t k = 0; k < v.size(); ++k) {
        const float3 &a = v[k], &b = v[(k + 1) % v.size()];
        if ((a.y > p.y) == (b.y > p.y)) continue;
        const double x = a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
        if (p.x < x) inside = !inside;
    }
    return inside;
}

// Points beside every vertex at distances around the test's nudge, and a lattice over the ring.
std::vector<float3> near_and_far(const math::Polygon &polygon, unsigned seed) {
    std::vector<float3> out = probes(polygon, seed);
    float lo_x = HUGE_VALF, lo_y = HUGE_VALF, hi_x = -HUGE_VALF, hi_y = -HUGE_VALF;
    for (const float3 &v : polygon.vertices) {
        lo_x = std::min(lo_x, v.x), hi_x = std::max(hi_x, v.x), lo_y = std::min(lo_y, v.y), hi_y = std::max(hi_y, v.y);
        const float scale = std::max({1.0f, std::fabs(v.x), std::fabs(v.y)});
        for (const float offset : {0.5e-4f, 1.5e-4f, 2.5e-4f, 5e-4f, 1e-3f, 3e-3f, 1e-2f})
            for (const float3 &d : {float3(0, offset, 0), float3(0, -offset, 0), float3(offset, 0, 0), float3(-offset, 0, 0)})
                out.push_back(v + d * scale);
    }
    for (int i = 0; i <= 60; ++i)
        for (int j = 0; j <= 60; ++j) out.emplace_back(lo_x + (hi_x - lo_x) * i / 60, lo_y + (hi_y - lo_y) * j / 60, 0.0f);
    return out;
}

// A ring that settles answers every point clear of its edges by that much with the true
// parity; any other ring never settles.
TEST(RingContainment, PointsClearOfEveryEdgeGetTheTrueParity) {
    struct Case { const char *what; math::Polygon polygon; bool settles; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    math::Polygon with_nan = wavy(40, 5, float3(0, 0, 0), 0.05f, 3);
    with_nan.vertices[7].x = nan;
    math::Polygon doubled_start = wavy(64, 5, float3(1, 2, 0), 0.1f, 5);
    doubled_start.vertices.insert(doubled_start.vertices.begin(), doubled_start.vertices[0]);
    const Case cases[] = {
        {"a wavy ring of 500", wavy(500, 100, float3(250, -40, 0), 0.02f, 1), true},
        {"a noisy ring of 64", wavy(64, 3, float3(0, 0, 0), 0.3f, 2), true},
        {"a self-crossing walk", random_walk(80, 7), true},
        {"a comb on the lattice", lattice_comb(), true},
        {"the comb far from the origin", transformed(lattice_comb(), [](const float3 &v) { return v + float3(1e6f, -2e6f, 0); }), true},
        {"the comb shrunk", transformed(lattice_comb(), [](const float3 &v) { return v * 1e-3f; }), true},
        {"the comb at 1e10", transformed(lattice_comb(), [](const float3 &v) { return v * 1e9f; }), true},
        {"its first vertex repeated", doubled_start, true},
        {"few vertices", wavy(9, 2, float3(0, 0, 0), 0.1f, 9), true},
        {"lifted off the plan", transformed(lattice_comb(), [](const float3 &v) { return v + float3(0, 0, 2); }), false},
        {"a tilted ring", transformed(wavy(100, 10, float3(0, 0, 0), 0.05f, 6),
                                       [](const float3 &v) { return float3(v.x, v.y * 0.8f, v.y * 0.6f); }), false},
        {"a NaN vertex", with_nan, false},
        // Its plane's normal overflows to zero, which skews the frame.
        {"the comb at 1e15", transformed(lattice_comb(), [](const float3 &v) { return v * 1e14f; }), false},
        {"beyond the largest coordinate", transformed(lattice_comb(), [](const float3 &v) { return v * 1e36f; }), false},
        {"two vertices", ring({float3(0, 0, 0), float3(1, 1, 0)}), false},
    };
    for (const Case &c : cases) {
        const math::PolygonAxes axes = c.polygon.ContainmentAxes();
        const engine::RingContainment ring_test(c.polygon, axes, kThicknessSq);
        if (!c.settles) {
            EXPECT_EQ(HUGE_VAL, ring_test.settled()) << c.what;
            continue;
        }
        ASSERT_LT(ring_test.settled(), 1.0) << c.what;
        double largest = 0;
        for (const float3 &v : c.polygon.vertices) largest = std::max({largest, double(std::fabs(v.x)), double(std::fabs(v.y))});
        int checked = 0;
        for (const float3 &p : near_and_far(c.polygon, 11)) {
            if (!p.IsFinite() || p.z != 0.0f) continue;
            const double margin = engine::rounding_margin(std::max({largest, double(std::fabs(p.x)), double(std::fabs(p.y))}));
            if (distance_to_edges(c.polygon, p) < ring_test.settled() + margin) continue;
            ASSERT_EQ(true_parity(c.polygon, p), ring_test.contains(p)) << c.what << " at " << p.x << ", " << p.y;
            ++checked;
        }
        EXPECT_GT(checked, 1000) << c.what << ": too few points clear of the edges to prove anything";
    }
}

}  // namespace
