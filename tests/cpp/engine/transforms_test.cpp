// The first factor of an instance transformation, formed directly, must match the product
// of the two translation matrices to the last bit, zeros' signs and NaNs included.
#include "engine/transforms.h"
#include "engine/reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

bool same_bits(const math::float4x4 &a, const math::float4x4 &b) {
    return std::memcmp(a.elements, b.elements, sizeof a.elements) == 0;
}

// Components of every kind the records and boxes may hold: signed zeros, whole numbers,
// ordinary values of any size, subnormals, values near the float limit and, now and then,
// infinities and NaNs.
float odd_component(std::mt19937 &rng) {
    const float kinds[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-45f, -1e-40f, 3.4e38f, -3.4e38f,
                           std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    const int kind = std::uniform_int_distribution<int>(0, 30)(rng);
    if (kind < 11) return kinds[kind];
    const float mantissa = std::uniform_real_distribution<float>(-2.0f, 2.0f)(rng);
    const int exponent = std::uniform_int_distribution<int>(-130, 127)(rng);
    return std::ldexp(mantissa, kind < 20 ? exponent : exponent / 16);
}

math::float3 odd_point(std::mt19937 &rng) {
    const float x = odd_component(rng);
    const float y = odd_component(rng);
    const float z = odd_component(rng);
    return math::float3(x, y, z);
}

TEST(PositionLessPivot, MatchesTheProductBitForBit) {
    std::mt19937 rng(2025);
    for (int k = 0; k < 200000; ++k) {
        const math::float3 pos = odd_point(rng), pivot = odd_point(rng);
        ASSERT_TRUE(same_bits(engine::position_less_pivot(pos, pivot),
                              engine::position_less_pivot_by_product(pos, pivot)))
            << pos << " less " << pivot;
    }
}

TEST(PositionLessPivot, TheCasesThatNeedCare) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { math::float3 pos, pivot; };
    const Case cases[] = {
        {{-0.0f, -0.0f, -0.0f}, {0.0f, -0.0f, 0.0f}},   // zeros: the sum's sign follows the elimination
        {{-0.0f, 1.0f, 2.0f}, {-0.0f, 1.0f, 2.0f}},     // a position exactly at its pivot
        {{3e38f, -3e38f, 1.0f}, {-3e38f, 3e38f, 0.0f}}, // the difference overflows
        {{1.0f, 2.0f, 3.0f}, {inf, 0.0f, 0.0f}},        // an infinite pivot spreads NaNs
        {{nan, 2.0f, 3.0f}, {0.5f, 0.5f, 0.0f}},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(same_bits(engine::position_less_pivot(c.pos, c.pivot),
                              engine::position_less_pivot_by_product(c.pos, c.pivot)))
            << c.pos << " less " << c.pivot;
}

// The whole step, every flag on, over ordinary records with odd ones among them: the same
// transformations as with the product formed in full.
TEST(PositionLessPivot, TheStepGivesTheReferenceTransformations) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> ordinary(-100.0f, 100.0f);
    auto mostly_ordinary = [&](int k) {
        if (k % 4 == 0) return odd_point(rng);
        const float x = ordinary(rng);
        const float y = ordinary(rng);
        const float z = ordinary(rng);
        return math::float3(x, y, z);
    };
    std::vector<engine::Definition> defs(40);
    for (size_t k = 0; k < defs.size(); ++k) {
        defs[k].centred = k % 5 != 1;
        defs[k].box_min = mostly_ordinary(static_cast<int>(k));
        defs[k].box_max = mostly_ordinary(static_cast<int>(k) + 1);
    }
    std::vector<engine::PointRecord> records(4000);
    for (size_t k = 0; k < records.size(); ++k) {
        engine::PointRecord &r = records[k];
        r.position = mostly_ordinary(static_cast<int>(k / 3));
        r.definition = std::uniform_int_distribution<int>(-1, 39)(rng);
        r.seed = std::uniform_int_distribution<int>(0, 999999)(rng);
        r.normal = math::float3(0.1f, -0.2f, 0.9f);
        r.axis_scale = math::float3(0.9f, 1.1f, 1.0f);
        r.heading = 0.3f;
    }
    engine::TransformSettings s{};
    s.scale = s.mirror = s.vmirror = s.quarter_turns = true;
    s.rotation = engine::TransformRange(true, {{0, 0.1, 0, 0.1, 0, 6.28}});
    s.translation = engine::TransformRange(true, {{-1, 1, -1, 1, 0, 0}});
    s.pointing = 50.0f;
    auto transforms = [&](bool reference) {
        engine::use_reference_algorithms = reference;
        engine::Pace pace(engine::no_hooks());
        const std::vector<engine::Placement> placements = engine::random_transforms(records, defs, s, pace);
        engine::use_reference_algorithms = false;
        return placements;
    };
    const std::vector<engine::Placement> fast = transforms(false), reference = transforms(true);
    ASSERT_EQ(fast.size(), reference.size());
    for (size_t k = 0; k < fast.size(); ++k) {
        EXPECT_EQ(fast[k].definition, reference[k].definition);
        EXPECT_TRUE(same_bits(fast[k].transform, reference[k].transform)) << k;
    }
}

}  // namespace
