// The indexed area filters must keep exactly the records the reference keeps, with the very
// same distances, in every mode, over overlapping, nested, empty and odd rings.
#include "engine/area_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/reference.h"

namespace {

using math::float3;
using engine::AreaMode;
using engine::OutlinePoints;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

OutlinePoints blob(float cx, float cy, float radius, int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> wobble(0.8f, 1.2f);
    OutlinePoints ring;
    for (int k = 0; k < n; ++k) {
        const float a = 2.0f * static_cast<float>(M_PI) * k / n, r = radius * wobble(rng);
        ring.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a), 3.0f);  // z is flattened
    }
    return ring;
}

// Overlapping and nested rings of many and of few vertices, an empty ring, a ring with a NaN
// vertex, a self-crossing ring and a ring with repeated vertices on integer corners.
std::vector<OutlinePoints> rings() {
    std::vector<OutlinePoints> out;
    for (int k = 0; k < 12; ++k) out.push_back(blob(10.0f * (k % 4), 12.0f * (k / 4), 8.0f, k % 3 ? 120 : 7, k));
    out.push_back(blob(15, 12, 3, 40, 99));  // nested in earlier ones
    out.push_back({});
    OutlinePoints odd = blob(30, 0, 5, 30, 5);
    odd[4].y = kNaN;
    out.push_back(odd);
    out.push_back({{0, 0, 0}, {20, 20, 0}, {20, 0, 0}, {0, 20, 0}});
    OutlinePoints square;
    for (int x = 0; x <= 16; ++x) square.emplace_back(static_cast<float>(x), 0.0f, 0.0f);
    square.emplace_back(16.0f, 0.0f, 0.0f);
    for (int y = 1; y <= 16; ++y) square.emplace_back(16.0f, static_cast<float>(y), 0.0f);
    square.emplace_back(0.0f, 16.0f, 0.0f);
    out.push_back(square);
    return out;
}

// Records over the rings, on their vertices and integer corners, with earlier distances
// below, above and without the measured one, and non-finite or huge positions.
std::vector<engine::PointRecord> records(const std::vector<OutlinePoints> &outlines) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> x(-12, 45), y(-12, 40);
    std::uniform_int_distribution<int> pick(0, 3);
    const float earlier[] = {-1.0f, 0.25f, 1e9f, -1.0f};
    std::vector<engine::PointRecord> out;
    auto add = [&](const float3 &p) {
        engine::PointRecord r;
        r.position = p;
        r.distance = earlier[pick(rng)];
        out.push_back(r);
    };
    for (int k = 0; k < 6000; ++k) {
        const float px = x(rng), py = y(rng);
        add(float3(px, py, 2.0f));
    }
    for (const OutlinePoints &ring : outlines)
        for (const float3 &v : ring) add(v);
    for (int k = 0; k <= 16; ++k) add(float3(static_cast<float>(k), static_cast<float>(k % 5), 0));
    for (const float3 &p : {float3(kNaN, 1, 0), float3(1, kNaN, 0), float3(HUGE_VALF, 3, 0), float3(-HUGE_VALF, 3, 0),
                            float3(1e30f, 1e30f, 0), float3(5, 5, kNaN)})
        add(p);
    return out;
}

engine::Prompted<std::vector<engine::Kept>> run(const std::vector<engine::PointRecord> &rs,
                                                const std::vector<OutlinePoints> &outlines,
                                                const engine::AreaSettings &settings, bool reference) {
    engine::use_reference_algorithms = reference;
    engine::TimeLimitPrompt prompt({1e9, 0, false}, engine::no_hooks());
    auto out = engine::area_filter(rs, outlines, settings, prompt);
    engine::use_reference_algorithms = false;
    return out;
}

bool same(const engine::Kept &a, const engine::Kept &b) {
    return a.index == b.index && a.changed == b.changed && std::memcmp(&a.value, &b.value, sizeof(float)) == 0;
}

TEST(AreaFilters, IndexedKeepsExactlyWhatTheReferenceKeeps) {
    const std::vector<OutlinePoints> all = rings();
    // A curve list for mode 1: each ring read as segments between consecutive points.
    std::vector<OutlinePoints> curves;
    for (const OutlinePoints &ring : all) {
        OutlinePoints ends;
        for (size_t k = 0; k + 1 < ring.size(); ++k) ends.insert(ends.end(), {ring[k], ring[k + 1]});
        curves.push_back(ends);
    }
    const std::vector<OutlinePoints> none;
    const math::Quat tilt = math::Quat::RotateAxisAngle(float3(0.6f, 0.0f, 0.8f), 0.3f);
    struct Case { const char *what; AreaMode mode; const std::vector<OutlinePoints> *outlines; bool distances, rotate; };
    const Case cases[] = {
        {"inside", AreaMode::inside, &all, true, false},
        {"inside, no distances", AreaMode::inside, &all, false, false},
        {"inside, rotated into the frame", AreaMode::inside, &all, true, true},
        {"outside", AreaMode::outside, &all, true, false},
        {"outside, no distances", AreaMode::outside, &all, false, false},
        {"outside, rotated into the frame", AreaMode::outside, &all, true, true},
        {"outside of no area", AreaMode::outside, &none, true, false},
        {"inside no area", AreaMode::inside, &none, true, false},
        {"curves", AreaMode::curves, &curves, true, false},
        {"curves, no distances", AreaMode::curves, &curves, false, false},
        {"no curves", AreaMode::curves, &none, true, false},
        {"another mode", AreaMode::other, &all, true, false},
    };
    for (const Case &c : cases) {
        const std::vector<engine::PointRecord> rs = records(*c.outlines);
        const engine::AreaSettings settings{c.mode, c.distances, c.rotate, tilt, 5};
        const auto expected = run(rs, *c.outlines, settings, true);
        const auto indexed = run(rs, *c.outlines, settings, false);
        EXPECT_EQ(expected.aborted, indexed.aborted) << c.what;
        EXPECT_EQ(expected.confirmed, indexed.confirmed) << c.what;
        ASSERT_EQ(expected.result.size(), indexed.result.size()) << c.what;
        for (size_t i = 0; i < expected.result.size(); ++i)
            ASSERT_TRUE(same(expected.result[i], indexed.result[i]))
                << c.what << ", kept record " << i << " (" << expected.result[i].index << " / " << indexed.result[i].index
                << ", " << expected.result[i].value << " / " << indexed.result[i].value << ")";
    }
}

void expect_same(const engine::Prompted<std::vector<engine::Kept>> &expected,
                 const engine::Prompted<std::vector<engine::Kept>> &indexed, const std::string &what) {
    ASSERT_EQ(expected.result.size(), indexed.result.size()) << what;
    for (size_t i = 0; i < expected.result.size(); ++i)
        ASSERT_TRUE(same(expected.result[i], indexed.result[i]))
            << what << ", kept record " << i << " (" << expected.result[i].index << " / " << indexed.result[i].index
            << ", " << expected.result[i].value << " / " << indexed.result[i].value << ")";
}

OutlinePoints regular(int n, float radius, float cx, float cy) {
    OutlinePoints ring;
    for (int k = 0; k < n; ++k) {
        const float a = 2.0f * static_cast<float>(M_PI) * k / n;
        ring.emplace_back(cx + radius * std::cos(a), cy + radius * std::sin(a), 0.0f);
    }
    return ring;
}

// Painted-like outlines where the cells' shortcuts are most at risk: squares sharing an edge
// and a corner, holes in them, a ring with repeated vertices (zero-length edges), a circle
// whose centre ties with every edge, and a wavy ring; drawn at a scale and an offset.
std::vector<OutlinePoints> touching_rings(float scale, float offset) {
    OutlinePoints repeats = regular(24, 6, 30, 10);
    repeats.insert(repeats.begin() + 5, repeats[5]);
    repeats.insert(repeats.begin() + 11, 3, repeats[11]);
    std::vector<OutlinePoints> rings = {
        {{0, 0, 0}, {20, 0, 0}, {20, 20, 0}, {0, 20, 0}},
        {{20, 0, 0}, {40, 0, 0}, {40, 20, 0}, {20, 20, 0}},
        {{40, 20, 0}, {48, 28, 0}, {40, 30, 0}},
        regular(16, 2, 5, 5),
        regular(64, 3, 12, 12),
        repeats,
        blob(20, 40, 12, 200, 4),
    };
    for (OutlinePoints &ring : rings)
        for (float3 &v : ring) v = float3(v.x * scale + offset, v.y * scale + offset, 0.0f);
    return rings;
}

// A jittered grid over the outlines, as generated points lie, with every vertex, every edge's
// midpoint and points just beside the vertices.
std::vector<engine::PointRecord> dense_records(const std::vector<OutlinePoints> &outlines, float scale, float offset) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    std::vector<engine::PointRecord> out;
    auto add = [&](const float3 &p) {
        engine::PointRecord r;
        r.position = p;
        out.push_back(r);
    };
    for (int i = 0; i < 180; ++i)
        for (int j = 0; j < 180; ++j) {
            const float jx = jitter(rng), jy = jitter(rng);
            add(float3((-5 + (i + jx) * 0.33f) * scale + offset, (-5 + (j + jy) * 0.33f) * scale + offset, 0.0f));
        }
    for (const OutlinePoints &ring : outlines)
        for (size_t k = 0; k < ring.size(); ++k) {
            const float3 &a = ring[k], &b = ring[(k + 1) % ring.size()];
            for (const float3 &p : {a, a + (b - a) * 0.5f, a + float3(0, 1e-4f, 0) * scale, a - float3(3e-4f, 0, 0) * scale,
                                    float3(std::nextafter(a.x, HUGE_VALF), a.y, 0)})
                add(p);
        }
    return out;
}

TEST(AreaFilters, IndexedKeepsWhatTheReferenceKeepsAmongDenseRecordsAroundTouchingRings) {
    struct Scene { const char *what; float scale, offset; };
    const Scene scenes[] = {{"at the origin", 1, 0}, {"far from it", 1, 1e5f}, {"tiny", 1e-3f, 0}, {"huge", 1e7f, 0}};
    for (const Scene &scene : scenes) {
        const std::vector<OutlinePoints> rings = touching_rings(scene.scale, scene.offset);
        std::vector<OutlinePoints> curves;
        for (const OutlinePoints &ring : rings) {
            OutlinePoints ends;
            for (size_t k = 0; k < ring.size(); ++k) ends.insert(ends.end(), {ring[k], ring[(k + 1) % ring.size()]});
            curves.push_back(ends);
        }
        const std::vector<engine::PointRecord> rs = dense_records(rings, scene.scale, scene.offset);
        for (const AreaMode mode : {AreaMode::inside, AreaMode::outside, AreaMode::curves}) {
            const std::vector<OutlinePoints> &outlines = mode == AreaMode::curves ? curves : rings;
            const engine::AreaSettings settings{mode, true, false, math::Quat::identity, 5};
            expect_same(run(rs, outlines, settings, true), run(rs, outlines, settings, false),
                        std::string(scene.what) + ", mode " + std::to_string(static_cast<int>(mode)));
        }
    }
}

}  // namespace
