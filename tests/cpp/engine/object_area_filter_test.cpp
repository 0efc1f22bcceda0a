// The object-area filter must keep exactly the records the reference keeps, in their order,
// with the very same distances, whatever distance a record brought along.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/area_filters.h"
#include "engine/reference.h"
#include "engine/scene.h"

namespace {

using math::float3;
using Outlines = std::vector<std::vector<std::vector<float3>>>;

// Rectangles and a concave outline on a loose grid, two overlapping, an empty footprint and
// one with a NaN vertex; their z is flattened by the loader.
Outlines footprints() {
    Outlines objects;
    for (int k = 0; k < 40; ++k) {
        const float x = (k % 8) * 30.0f, y = (k / 8) * 40.0f;
        objects.push_back({{{x, y, 2}, {x + 8, y, 2}, {x + 8, y + 5, 2}, {x, y + 5, 2}}});
    }
    objects.push_back({{{100, 100, 0}, {110, 100, 0}, {110, 110, 0}, {105, 101, 0}, {100, 110, 0}},
                       {{104, 99, 0}, {112, 99, 0}, {112, 103, 0}}});
    objects.push_back({{}, {{50, 50, 0}, {std::nanf(""), 51, 0}, {52, 52, 0}}});
    return objects;
}

std::vector<engine::PointRecord> records(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> at(-40, 280);
    std::uniform_int_distribution<int> pick(0, 3);
    const float earlier[] = {-1.0f, 0.03f, 1e9f, 2.0f};
    std::vector<engine::PointRecord> out;
    const auto add = [&](const float3 &p) {
        engine::PointRecord r;
        r.position = p;
        r.distance = earlier[pick(rng)];
        out.push_back(r);
    };
    for (int k = 0; k < 20000; ++k) {
        const float x = at(rng), y = at(rng);
        add(float3(x, y, 7.0f));
    }
    for (const float3 &p : {float3(8.0499f, 2, 0), float3(8.05f, 2, 0), float3(-0.0f, -0.0f, 0),
                            float3(std::nanf(""), 0, 0), float3(HUGE_VALF, 1, 0), float3(1e30f, -1e30f, 0)})
        add(p);
    return out;
}

std::vector<engine::Kept> filtered(const engine::ObjectAreas &areas, const std::vector<engine::PointRecord> &rs,
                                   bool reference) {
    engine::use_reference_algorithms = reference;
    engine::TimeLimitPrompt prompt({1e9, 0, true}, engine::no_hooks());
    const std::vector<engine::Kept> kept = engine::object_area_filter(areas, rs, prompt).result;
    engine::use_reference_algorithms = false;
    return kept;
}

TEST(ObjectAreaFilter, KeepsExactlyWhatTheReferenceKeeps) {
    const engine::ObjectAreas areas(footprints());
    const std::vector<engine::PointRecord> rs = records(3);
    const std::vector<engine::Kept> expected = filtered(areas, rs, true), got = filtered(areas, rs, false);
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(expected[i].index, got[i].index);
        EXPECT_EQ(expected[i].changed, got[i].changed);
        EXPECT_EQ(0, std::memcmp(&expected[i].value, &got[i].value, sizeof(float))) << "record " << got[i].index;
    }
    EXPECT_LT(got.size(), rs.size());
}

}  // namespace
