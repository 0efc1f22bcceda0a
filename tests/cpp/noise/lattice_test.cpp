// The lattice helpers and the seeded permutation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "noise/Lattice.h"
#include "noise/Permutation.h"

using namespace noise;

namespace {
const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();
}  // namespace

TEST(Lattice, FloorAndNearestInRange) {
    struct Case {
        float f;
        std::int32_t floor, nearest;
    };
    const Case cases[] = {
        {0.0f, 0, 0},     {0.4f, 0, 0},     {0.5f, 0, 1},      {1.0f, 1, 1},         {2.7f, 2, 3},
        {-0.0f, 0, 0},    {-0.4f, -1, 0},   {-0.5f, -1, -1},   {-1.0f, -2, -1},      {-2.0f, -3, -2},
        {-2.7f, -3, -3},  {1e9f, 1000000000, 1000000000},      {-1e9f, -1000000001, -1000000000},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Floor(c.f), c.floor) << c.f;
        EXPECT_EQ(Nearest(c.f), c.nearest) << c.f;
    }
}

TEST(Lattice, ConversionBeyondTheIntRangeWrapsAndNaNGivesZero) {
    struct Case {
        float f;
        std::int32_t truncated;
    };
    const Case cases[] = {
        {2147483648.0f, INT32_MIN},       // 2^31 wraps to -2^31
        {4294967296.0f, 0},               // 2^32
        {-2147483648.0f, INT32_MIN},
        {6442450944.0f, INT32_MIN},       // 1.5 * 2^32
        {1e30f, 0}, {-1e30f, 0}, {kInf, 0}, {-kInf, 0}, {kNaN, 0},
        {std::numeric_limits<float>::max(), 0},
    };
    for (const Case &c : cases) EXPECT_EQ(Truncate(c.f), c.truncated) << c.f;
    EXPECT_EQ(Floor(-2147483648.0f), INT32_MAX);  // the cell below -2^31 wraps
    EXPECT_EQ(Floor(kNaN), 0);
    EXPECT_EQ(Nearest(kNaN), 0);
}

TEST(Lattice, Curves) {
    EXPECT_EQ(Curve(Interp::Linear, 0.25f), 0.25f);
    EXPECT_EQ(Curve(Interp::Hermite, 0.25f), 0.25f * 0.25f * (3 - 2 * 0.25f));
    EXPECT_EQ(Curve(Interp::Quintic, 0.25f), 0.25f * 0.25f * 0.25f * (0.25f * (0.25f * 6 - 15) + 10));
    EXPECT_EQ(Curve(static_cast<Interp>(7), 0.25f), 0.25f);
    for (Interp i : {Interp::Linear, Interp::Hermite, Interp::Quintic}) {
        EXPECT_EQ(Curve(i, 0.0f), 0.0f);
        EXPECT_EQ(Curve(i, 1.0f), 1.0f);
        EXPECT_EQ(Curve(i, 0.5f), 0.5f);
    }
}

TEST(Lattice, CubicLerpPassesThroughTheInnerPoints) {
    EXPECT_EQ(CubicLerp(0.3f, -0.2f, 0.7f, 0.1f, 0.0f), -0.2f);
    EXPECT_FLOAT_EQ(CubicLerp(0.3f, -0.2f, 0.7f, 0.1f, 1.0f), 0.7f);
    // Not a spline that reproduces lines: on -1, 0, 1, 2 it bulges to 11/32 at t = 1/4.
    EXPECT_EQ(CubicLerp(-1, 0, 1, 2, 0.25f), 0.34375f);
}

TEST(Lattice, HashFollowsItsFormulaIn32BitArithmetic) {
    // Reference in 64-bit arithmetic reduced mod 2^32, independent of the 32-bit code path.
    const auto reference = [](std::int64_t seed, std::int64_t x, std::int64_t y, std::int64_t z, std::int64_t w) {
        const std::uint64_t mask = 0xffffffffu;
        const std::uint64_t n = (std::uint64_t(seed) ^ std::uint64_t(x * 1619) ^ std::uint64_t(y * 31337) ^
                                 std::uint64_t(z * 6971) ^ std::uint64_t(w * 1013)) & mask;
        const std::uint64_t cube = (((n * n) & mask) * n & mask) * 60493 & mask;
        const std::int64_t s = cube >= 0x80000000u ? std::int64_t(cube) - 0x100000000 : std::int64_t(cube);
        return static_cast<float>(s) / 2147483648.0f;
    };
    struct Case {
        std::int32_t seed, x, y, z, w;
    };
    const Case cases[] = {{0, 0, 0, 0, 0},           {1337, 1, 0, 0, 0},       {1337, -5, 17, 0, 0},
                          {1337, 3, -4, 5, 0},       {-42, 100000, -7, 9, 11}, {INT32_MAX, INT32_MIN, -1, 1, 0},
                          {2024, 123456789, 987654321, -555, 77}};
    for (const Case &c : cases)
        EXPECT_EQ(Hash(c.seed, c.x, c.y, c.z, c.w), reference(c.seed, c.x, c.y, c.z, c.w))
            << c.seed << " " << c.x << " " << c.y << " " << c.z << " " << c.w;
    EXPECT_EQ(Hash(0, 0, 0), 0.0f);
    // seed 1, origin: n = 1, so 60493 / 2^31
    EXPECT_EQ(Hash(1, 0, 0), 60493.0f / 2147483648.0f);
}

TEST(Lattice, HashStaysInMinusOneToOne) {
    float lo = 1, hi = -1;
    for (std::int32_t i = -50000; i < 50000; ++i) {
        const float h = Hash(1337, i, i * 7, -i);
        lo = std::min(lo, h);
        hi = std::max(hi, h);
    }
    EXPECT_GE(lo, -1.0f);
    EXPECT_LT(hi, 1.0f);
    EXPECT_LT(lo, -0.99f);
    EXPECT_GT(hi, 0.99f);
}

TEST(Permutation, HoldsEachByteOnceAndRepeats) {
    for (std::int32_t seed : {0, 1, 1337, -1, INT32_MIN, INT32_MAX}) {
        const Permutation p(seed);
        std::set<int> seen;
        for (int i = 0; i < 256; ++i) {
            seen.insert(p[i]);
            EXPECT_EQ(p[i + 256], p[i]);
            EXPECT_EQ(p.Octave(i + 256), p[i]);
        }
        EXPECT_EQ(seen.size(), 256u) << seed;
    }
}

TEST(Permutation, DependsOnTheSeedOnly) {
    const Permutation a(1337), b(1337), c(1338);
    int differing = 0;
    for (int i = 0; i < 512; ++i) {
        EXPECT_EQ(a[i], b[i]);
        differing += a[i] != c[i];
    }
    EXPECT_GT(differing, 200);
    Permutation d(5);
    d.Reseed(1337);
    for (int i = 0; i < 512; ++i) EXPECT_EQ(d[i], a[i]);
}

TEST(Permutation, GradientIndexIsTheLatticeIndexMod12) {
    const Permutation p(77);
    for (int x = -300; x < 300; x += 7)
        for (int y = -300; y < 300; y += 11) {
            EXPECT_EQ(p.Gradient(13, x, y), p.Index(13, x, y) % 12);
            EXPECT_EQ(p.Gradient(200, x, y, x - y), p.Index(200, x, y, x - y) % 12);
            EXPECT_EQ(p.Index(0, x, y), p[(x & 255) + p[y & 255]]);
        }
    // Extreme cells stay inside the table.
    EXPECT_EQ(p.Index(255, INT32_MIN, INT32_MAX, -1, 255), p[0 + p[255 + p[255 + p[255 + 255]]]]);
}
