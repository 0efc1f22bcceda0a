// The grid of the collision test must remove exactly the records the scan removes.
#include "engine/overlaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <random>

namespace {

using engine::Footprint;

// The footprints are visited in their own order.
std::vector<int> own_order(const std::vector<Footprint> &footprints) {
    std::vector<int> order(footprints.size());
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::vector<bool> scan(const std::vector<Footprint> &footprints, const std::vector<int> &order) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps_by_scan(footprints, order, pace);
}

std::vector<bool> grid(const std::vector<Footprint> &footprints, const std::vector<int> &order) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps(footprints, order, pace);
}

std::vector<bool> scan(const std::vector<Footprint> &footprints) { return scan(footprints, own_order(footprints)); }
std::vector<bool> grid(const std::vector<Footprint> &footprints) { return grid(footprints, own_order(footprints)); }

std::vector<Footprint> random_footprints(unsigned seed, int n, float spread, float max_radius) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coordinate(-spread, spread), height(0.0f, 4.0f), radius(0.0f, max_radius);
    std::vector<Footprint> footprints;
    for (int i = 0; i < n; ++i) {
        const float x = coordinate(rng), y = coordinate(rng), z = height(rng), r = radius(rng);
        footprints.push_back({math::float3(x, y, z), r});
    }
    return footprints;
}

TEST(CollisionsIndex, RemovesExactlyWhatTheScanRemoves) {
    struct Case { unsigned seed; int n; float spread, max_radius; };
    const Case cases[] = {
        {1, 2000, 60, 2},       // sparse
        {2, 2000, 10, 2},       // crowded
        {3, 500, 1e4f, 300},    // large radii far apart
        {4, 800, 0.01f, 1e-4f}, // tiny
    };
    for (const auto &c : cases) {
        std::vector<Footprint> footprints = random_footprints(c.seed, c.n, c.spread, c.max_radius);
        // Records at one spot, touching exactly, with a zero and a negative radius.
        footprints.push_back({math::float3(1, 1, 0), 0.5f});
        footprints.push_back({math::float3(1, 1, 0), 0.5f});
        footprints.push_back({math::float3(2, 1, 0), 0.5f});
        footprints.push_back({math::float3(3, 1, 0), 0.0f});
        footprints.push_back({math::float3(3.2f, 1, 0), -1.0f});
        EXPECT_EQ(scan(footprints), grid(footprints)) << c.seed;
    }
}

TEST(CollisionsIndex, UnplaceableFootprintsAreDecidedAsTheScanDecides) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Footprint> cases[] = {
        {{math::float3(0, 0, 0), 1}, {math::float3(nan, 0, 0), 1}, {math::float3(1, 0, 0), 1}},
        {{math::float3(0, 0, 0), inf}, {math::float3(1e30f, 0, 0), 1}},
        {{math::float3(0, 0, 0), 1e-9f}, {math::float3(3e38f, 0, 0), 1}},
    };
    for (const auto &footprints : cases)
        EXPECT_EQ(scan(footprints), grid(footprints));
}

// Odd records among ordinary ones: each case spoils some footprints of a random crowd. The
// grid keeps such records out of its cells or in a list of their own; the survivors must
// still be the scan's.
TEST(CollisionsIndex, OddFootprintsAmongOrdinaryOnesRemoveWhatTheScanRemoves) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    using Spoil = std::function<void(std::vector<Footprint> &)>;
    struct Case {
        const char *name;
        float spread, max_radius;
        Spoil spoil;
    };
    const Case cases[] = {
        {"NaN x", 40, 1, [&](auto &f) { f[7].centre.x = nan; }},
        {"NaN y and z", 40, 1, [&](auto &f) { f[8].centre.y = nan; f[900].centre.z = nan; }},
        {"infinite x", 40, 1, [&](auto &f) { f[9].centre.x = -inf; }},
        {"infinite z", 40, 1, [&](auto &f) { f[10].centre.z = inf; }},
        {"NaN radius", 40, 1, [&](auto &f) { f[11].radius = nan; }},
        {"infinite radius, early", 40, 1, [&](auto &f) { f[3].radius = inf; }},
        {"infinite radius, late", 40, 1, [&](auto &f) { f[2900].radius = inf; }},
        {"minus infinite radius", 40, 1, [&](auto &f) { f[12].radius = -inf; }},
        {"infinite radius at an infinite centre", 40, 1, [&](auto &f) { f[13].radius = inf; f[13].centre.y = inf; }},
        {"a few huge", 40, 1, [&](auto &f) { for (int k : {5, 500, 1500, 2500}) f[k].radius *= 1e4f; }},
        {"huge ones early and late", 40, 1, [&](auto &f) { f[0].radius = 30; f[2999].radius = 25; f[1200].radius = 9; }},
        {"one in a hundred twice the rest", 40, 1, [&](auto &f) { for (size_t k = 0; k < f.size(); k += 100) f[k].radius = 2.5f; }},
        {"one in ten large", 60, 0.5f, [&](auto &f) { for (size_t k = 0; k < f.size(); k += 10) f[k].radius = 3 + k % 7; }},
        {"radii near the float limit", 40, 1, [&](auto &f) { f[14].radius = 3e38f; f[15].radius = 2e38f; }},
        {"centres near the float limit", 40, 1, [&](auto &f) { f[16].centre.x = 3e38f; f[17].centre.x = -3e38f; f[17].radius = 3e38f; }},
        {"one far away", 40, 1, [&](auto &f) { f[18].centre = math::float3(1e30f, -1e29f, 0); f[19].centre = math::float3(1e30f, -1e29f, 0); }},
        {"far away on both axes", 40, 1, [&](auto &f) { f[20].centre = math::float3(-1e25f, 1e25f, 0); f[21].centre = math::float3(1e25f, -1e25f, 0); }},
        {"two clusters far apart", 5, 0.2f, [&](auto &f) { for (size_t k = 0; k < f.size(); k += 2) f[k].centre.x += 1e6f; }},
        {"tiny radii spread wide", 1e5f, 1e-3f, [&](auto &f) { f[22].centre = f[23].centre; }},
        {"all radii zero but one", 40, 0, [&](auto &f) { f[24].radius = 3; }},
        {"mostly negative radii", 40, 1, [&](auto &f) { for (size_t k = 0; k < f.size(); k += 3) f[k].radius = -f[k].radius; }},
        {"duplicate centres", 3, 0.3f, [&](auto &f) { for (size_t k = 1; k < f.size(); k += 2) f[k].centre = f[k - 1].centre; }},
        {"every radius infinite", 40, 1, [&](auto &f) { for (auto &p : f) p.radius = inf; }},
        {"every centre NaN", 40, 1, [&](auto &f) { for (auto &p : f) p.centre.x = nan; }},
    };
    unsigned seed = 100;
    for (const Case &c : cases) {
        std::vector<Footprint> footprints = random_footprints(++seed, 3000, c.spread, c.max_radius);
        c.spoil(footprints);
        EXPECT_EQ(scan(footprints), grid(footprints)) << c.name;
    }
}

// The result is by place in the visiting order, and the order decides: of three footprints
// in a row, the middle one overlaps both others, which do not overlap each other.
TEST(CollisionsIndex, TheVisitingOrderDecides) {
    const std::vector<Footprint> row = {{math::float3(0, 0, 0), 1}, {math::float3(1.5f, 0, 0), 1},
                                        {math::float3(3, 0, 0), 1}};
    struct Case { std::vector<int> order; std::vector<bool> removed; };
    const Case cases[] = {
        {{1, 0, 2}, {false, true, true}},   // the middle first: it removes both
        {{2, 1, 0}, {false, true, false}},  // an end first: it removes the middle, and the other end stays
        {{0, 2, 1}, {false, false, true}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.removed, scan(row, c.order)) << c.order[0] << c.order[1] << c.order[2];
        EXPECT_EQ(c.removed, grid(row, c.order)) << c.order[0] << c.order[1] << c.order[2];
    }
}

// Crowds of many shapes, each visited in its own order, against it and shuffled.
TEST(CollisionsIndex, RemovesWhatTheScanRemovesInAnyVisitingOrder) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    std::mt19937 rng(77);
    const auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    const auto around = [&](std::vector<Footprint> &f, int n, float x, float y, float spread, float max_radius) {
        for (int k = 0; k < n; ++k) {
            const float dx = uniform(-spread, spread), dy = uniform(-spread, spread), z = uniform(0, 1);
            const float r = uniform(0, max_radius);
            f.push_back({math::float3(x + dx, y + dy, z), r});
        }
    };
    using Make = std::function<std::vector<Footprint>()>;
    struct Case { const char *name; Make make; };
    const Case cases[] = {
        {"clusters", [&] {
            std::vector<Footprint> f;
            for (int c = 0; c < 30; ++c) around(f, 100, uniform(-200, 200), uniform(-200, 200), 1.5f, 0.8f);
            return f;
        }},
        // Chains along eight directions and one up the height: each link overlaps the next
        // and the one before, no other.
        {"chains", [&] {
            std::vector<Footprint> f;
            for (int d = 0; d < 9; ++d) {
                const float angle = d * 0.7853982f + (d == 8 ? 0.3f : 0.0f);
                const math::float3 start(d * 300.0f, 0, 0), step(0.9f * std::cos(angle), 0.9f * std::sin(angle), 0);
                for (int k = 0; k < 150; ++k) f.push_back({start + step * static_cast<float>(k), 0.5f});
            }
            for (int k = 0; k < 150; ++k) f.push_back({math::float3(-500, 0, 0.9f * k), 0.5f});
            return f;
        }},
        {"duplicates at the same spots", [&] {
            std::vector<Footprint> f;
            for (int spot = 0; spot < 200; ++spot) {
                const math::float3 p(uniform(0, 40), uniform(0, 40), 0);
                const float r[] = {1, 1, 0.5f, 0, -1, 2, 1, 0.25f, 1, 3};
                for (const float radius : r) f.push_back({p, radius});
            }
            return f;
        }},
        {"odd radii and centres among ordinary ones", [&] {
            std::vector<Footprint> f = random_footprints(5, 3000, 40, 1);
            const float odd[] = {nan, inf, -inf, 0, -0.0f, -3, 1e4f, 60, 3e38f, 1e-30f};
            for (size_t k = 0; k < f.size(); k += 37) f[k].radius = odd[(k / 37) % 10];
            for (size_t k = 5; k < f.size(); k += 301) f[k].centre.x = k % 2 ? nan : -inf;
            return f;
        }},
        {"both axes folded", [&] {
            std::vector<Footprint> f;
            for (int c = 0; c < 400; ++c) around(f, 6, uniform(-1e6f, 1e6f), uniform(-1e6f, 1e6f), 4, 5);
            return f;
        }},
        {"one axis folded", [&] {
            std::vector<Footprint> f;
            for (int c = 0; c < 500; ++c) around(f, 5, uniform(-1e7f, 1e7f), uniform(0, 10), 3, 2);
            return f;
        }},
        // Squares of the differences too small for a float: some distances come out 0.
        {"tiny radii a tiny way apart", [&] {
            std::vector<Footprint> f;
            for (int spot = 0; spot < 300; ++spot) {
                const float x = uniform(0, 1e-19f), r = spot % 7 ? 1e-30f : 0.0f;
                for (const float dx : {0.0f, 1e-23f, 2e-23f}) f.push_back({math::float3(x + dx, 0, 0), r});
            }
            return f;
        }},
    };
    for (const Case &c : cases) {
        const std::vector<Footprint> footprints = c.make();
        std::vector<int> along = own_order(footprints), against(along.rbegin(), along.rend()), shuffled = along;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        for (const std::vector<int> *order : {&along, &against, &shuffled})
            EXPECT_EQ(scan(footprints, *order), grid(footprints, *order)) << c.name << ", order " << (*order)[0];
    }
}

// Each link of a long chain waits for the next when the chain is visited from its far end:
// the wait must not grow the call stack.
TEST(CollisionsIndex, ALongChainVisitedFromItsFarEnd) {
    const int n = 200000;
    std::vector<Footprint> chain;
    std::vector<int> order;
    for (int k = 0; k < n; ++k) {
        chain.push_back({math::float3(static_cast<float>(k), 0, 0), 0.6f});
        order.push_back(n - 1 - k);
    }
    const std::vector<bool> removed = grid(chain, order);
    for (int k = 0; k < n; ++k) ASSERT_EQ(k % 2 == 1, removed[k]) << k;
}

TEST(CollisionsIndex, FewOrNoFootprints) {
    const std::vector<Footprint> cases[] = {
        {},
        {{math::float3(0, 0, 0), 1}},
        {{math::float3(0, 0, 0), 1}, {math::float3(2, 0, 0), 1}},  // exactly touching: both stay
        {{math::float3(0, 0, 0), 1}, {math::float3(1.5f, 0, 0), 1}},
        {{math::float3(0, 0, 0), 1e4f}, {math::float3(5e3f, 0, 0), 1}, {math::float3(0, 9e3f, 1), 1}},
    };
    for (const auto &footprints : cases) EXPECT_EQ(scan(footprints), grid(footprints)) << footprints.size();
}

}  // namespace
