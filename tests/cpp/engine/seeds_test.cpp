// A point's seed hashes the "%f" text of a float; the engine writes that text itself, so
// it is checked against the C library's printf on every kind of float.
#include "engine/seeds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

// The seed computed from the position's sum as printf writes it.
int seed_through_printf(int seed, const math::float3 &p) {
    const float s = p.SumOfElements();
    float t = p.x * 11.0f + s;
    t = p.y * 12.0f + t;
    t = p.z * 13.0f + t;
    const float v = static_cast<float>(seed) + t;
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(v));
    unsigned h = 0;
    for (const char *c = text; *c; ++c) h = h * 101u + static_cast<unsigned>(static_cast<signed char>(*c));
    return static_cast<int>(h % 1000000u);
}

float from_bits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(PointSeed, HashesTheSameTextAsPrintfForEveryKindOfFloat) {
    const float inf = std::numeric_limits<float>::infinity();
    const math::float3 special[] = {
        {0.0f, 0.0f, 0.0f}, {-0.0f, -0.0f, -0.0f}, {1e-9f, 0.0f, 0.0f}, {-1e-9f, 0.0f, 0.0f},
        {0.0078125f, 0.0f, 0.0f},  // an exact tie at the sixth decimal: rounds to even
        {3.4028235e38f, 0.0f, 0.0f}, {inf, 0.0f, 0.0f}, {-inf, 0.0f, 0.0f},
        {from_bits(0x7FC00000u), 0.0f, 0.0f}, {from_bits(0xFFC00000u), 0.0f, 0.0f},  // nan, -nan
    };
    for (const math::float3 &p : special)
        for (int seed : {0, 1, -7, 2147483647})
            EXPECT_EQ(seed_through_printf(seed, p), engine::point_seed(seed, p)) << p.x << " seed " << seed;

    std::mt19937 bits(20261210);
    for (int i = 0; i < 200000; ++i) {
        const math::float3 p(from_bits(bits()), from_bits(bits()), from_bits(bits()));
        ASSERT_EQ(seed_through_printf(0, p), engine::point_seed(0, p)) << "x " << p.x;
    }
    // Every exponent, both signs: the integer arithmetic's limits (below half a millionth,
    // 2^63 and above) lie between them.
    for (std::uint32_t exponent = 0; exponent < 256; ++exponent)
        for (int i = 0; i < 256; ++i) {
            const float x = from_bits(exponent << 23 | (bits() & 0x807FFFFFu));
            const math::float3 p(x, 0.0f, 0.0f);
            ASSERT_EQ(seed_through_printf(0, p), engine::point_seed(0, p)) << "x " << x;
        }
    // Values in a scene's range, many of them ties or near ties at the sixth decimal.
    for (int k = -300000; k < 300000; ++k) {
        const math::float3 p(k / 128.0f, k / 1024.0f, 0.25f);
        ASSERT_EQ(seed_through_printf(k, p), engine::point_seed(k, p)) << k;
    }
}

}  // namespace
