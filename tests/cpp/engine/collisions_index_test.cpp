// The grid of the collision test must remove exactly the records the scan removes.
#include "engine/overlaps.h"

#include <gtest/gtest.h>

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

std::vector<bool> scan(const std::vector<Footprint> &footprints) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps_by_scan(footprints, own_order(footprints), pace);
}

std::vector<bool> grid(const std::vector<Footprint> &footprints) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps(footprints, own_order(footprints), pace);
}

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
