// The grid of the collision test must remove exactly the records the scan removes.
#include "engine/overlaps.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using engine::Footprint;

std::vector<bool> scan(const std::vector<Footprint> &footprints) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps_by_scan(footprints, pace);
}

std::vector<bool> grid(const std::vector<Footprint> &footprints) {
    engine::Pace pace(engine::no_hooks());
    return engine::remove_overlaps(footprints, pace);
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

TEST(CollisionsIndex, UnplaceableFootprintsFallBackToTheScan) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Footprint> cases[] = {
        {{math::float3(0, 0, 0), 1}, {math::float3(nan, 0, 0), 1}, {math::float3(1, 0, 0), 1}},
        {{math::float3(0, 0, 0), inf}, {math::float3(1e30f, 0, 0), 1}},
        {{math::float3(0, 0, 0), 1e-9f}, {math::float3(3e38f, 0, 0), 1}},
    };
    for (const auto &footprints : cases)
        EXPECT_EQ(scan(footprints), grid(footprints));
}

}  // namespace
