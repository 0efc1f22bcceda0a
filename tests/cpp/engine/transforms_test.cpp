// The instance transformations, formed with the engine's own forms of their factors and
// products, must match the library's product formation to the last bit, zeros' signs and
// NaNs included.
#include "engine/transforms.h"
#include "engine/reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "odd_floats.h"

namespace {

using odd_floats::same_bits;

math::float3 odd_point(std::mt19937 &rng) { return odd_floats::point(rng); }

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

// The step's transformations formed as the step forms them, or by the library's products.
std::vector<engine::Placement> placements(const std::vector<engine::PointRecord> &records,
                                          const std::vector<engine::Definition> &defs,
                                          const engine::TransformSettings &s, bool reference) {
    engine::use_reference_algorithms = reference;
    engine::Pace pace(engine::no_hooks());
    const std::vector<engine::Placement> result = engine::random_transforms(records, defs, s, pace);
    engine::use_reference_algorithms = false;
    return result;
}

// Whether the step gives the reference's transformations bit for bit; the first difference
// says where. count: how many placements were compared, added to.
::testing::AssertionResult gives_the_reference(const std::vector<engine::PointRecord> &records,
                                               const std::vector<engine::Definition> &defs,
                                               const engine::TransformSettings &s, int &count) {
    const std::vector<engine::Placement> fast = placements(records, defs, s, false);
    const std::vector<engine::Placement> reference = placements(records, defs, s, true);
    if (fast.size() != reference.size()) return ::testing::AssertionFailure() << "placement counts differ";
    for (size_t k = 0; k < fast.size(); ++k, ++count)
        if (fast[k].definition != reference[k].definition || !same_bits(fast[k].transform, reference[k].transform))
            return ::testing::AssertionFailure() << "placement " << k << "\n"
                                                 << fast[k].transform << "\n"
                                                 << reference[k].transform;
    return ::testing::AssertionSuccess();
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
    int compared = 0;
    EXPECT_TRUE(gives_the_reference(records, defs, s, compared));
}

// Records as the pipeline makes them, with odd ones among them: every other record has odd
// values in one to three of its position, normal, scale, axis scales and heading. Normals
// straight up and down and nearly up, uniform scales of exactly 1, records without a
// definition, seeds of every kind.
std::vector<engine::PointRecord> mixed_records(int count, int definitions, std::mt19937 &rng) {
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f), unit(-1.0f, 1.0f), factor(0.5f, 2.0f),
        angle(0.0f, 6.2831855f);
    std::vector<engine::PointRecord> records(count);
    for (int k = 0; k < count; ++k) {
        engine::PointRecord &r = records[k];
        const float px = coordinate(rng), py = coordinate(rng), pz = coordinate(rng);
        r.position = math::float3(px, py, pz);
        const float nx = unit(rng), ny = unit(rng), nz = unit(rng);
        r.normal = math::float3(nx, ny, nz).Normalized();
        if (k % 9 == 1) r.normal = math::float3(0.0f, 0.0f, 1.0f);
        if (k % 9 == 3) r.normal = math::float3(0.0f, 0.0f, -1.0f);
        if (k % 9 == 5) r.normal = math::float3(0.000001f, 0.0f, 1.0f);
        r.scale = k % 3 == 0 ? 1.0 : factor(rng);
        const float sx = factor(rng), sy = factor(rng), sz = factor(rng);
        r.axis_scale = math::float3(sx, sy, sz);
        r.heading = angle(rng);
        r.seed = static_cast<int>(rng());
        r.definition = k % 13 == 0 ? -1 : std::uniform_int_distribution<int>(0, definitions - 1)(rng);
        if (k % 2 != 0) continue;
        for (int odd = std::uniform_int_distribution<int>(1, 3)(rng); odd > 0; --odd) {
            switch (std::uniform_int_distribution<int>(0, 4)(rng)) {
                case 0: r.position = odd_point(rng); break;
                case 1: r.normal = odd_point(rng); break;
                case 2: r.scale = odd_floats::component(rng); break;
                case 3: r.axis_scale = odd_point(rng); break;
                default: r.heading = odd_floats::component(rng); break;
            }
        }
    }
    return records;
}

// Boxes centred and not: ordinary ones, flat ones whose pivots have negative zeros (a zero
// sum in a factor's translation then keeps or loses its sign by the order of its terms), and
// ones with odd corners.
std::vector<engine::Definition> mixed_definitions(std::mt19937 &rng) {
    std::uniform_real_distribution<float> corner(-5.0f, 5.0f);
    const math::float3 flat_max(6.0f, -0.0f, 1.0f);
    const math::float3 flat_min[] = {{-0.0f, -0.0f, -0.0f}, {4.0f, -0.0f, -0.0f}, {4.0f, -0.0f, 0.0f}};
    std::vector<engine::Definition> defs;
    for (int k = 0; k < 16; ++k) {
        engine::Definition d;
        d.centred = k % 2 == 0;
        const float x = corner(rng), y = corner(rng), z = corner(rng);
        d.box_min = math::float3(x, y, z);
        d.box_max = d.box_min + math::float3(1.0f, 2.0f, 3.0f);
        if (k / 2 >= 1 && k / 2 <= 3) {
            d.box_min = flat_min[k / 2 - 1];
            d.box_max = k / 2 == 1 ? d.box_min : flat_max;
        }
        if (k / 2 >= 6) d.box_min = odd_point(rng);
        if (k / 2 == 7) d.box_max = odd_point(rng);
        defs.push_back(d);
    }
    return defs;
}

// Every combination of the flags that changes the arithmetic, with ordinary ranges and with
// ranges whose draws overflow or are NaN, over the mixed records: the same transformations
// as with every factor and product formed by the library.
TEST(InstanceTransforms, EveryCombinationOfFlagsGivesTheReferenceTransformations) {
    std::mt19937 rng(2024);
    const std::vector<engine::Definition> defs = mixed_definitions(rng);
    const std::vector<engine::PointRecord> records = mixed_records(240, static_cast<int>(defs.size()), rng);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const engine::Bounds6 ordinary_rotation{{0, 0.1, -0.1, 0.1, 0, 6.28}}, ordinary_translation{{-1, 1, -1, 1, 0, 0}};
    const engine::Bounds6 odd_rotation{{-1e30, 1e30, nan, 1, 0, 3e38}}, odd_translation{{-3e38, 3e38, nan, 1, -nan, 0}};
    int compared = 0;
    for (int flags = 0; flags < 3 * 256; ++flags) {
        auto flag = [&](int bit) { return (flags >> bit & 1) != 0; };
        const bool odd_ranges = flag(7);
        engine::TransformSettings s{};
        s.scale = flag(0);
        s.swap_yz = flag(1);
        s.mirror = flag(2);
        s.vmirror = flag(3);
        s.quarter_turns = flag(4);
        s.rotation = engine::TransformRange(flag(5), odd_ranges ? odd_rotation : ordinary_rotation);
        s.translation = engine::TransformRange(flag(6), odd_ranges ? odd_translation : ordinary_translation);
        s.pointing = 50.0f * static_cast<float>(flags >> 8);
        ASSERT_TRUE(gives_the_reference(records, defs, s, compared)) << "flags " << flags;
    }
    EXPECT_GT(compared, 3 * 256 * 200);
}

}  // namespace
