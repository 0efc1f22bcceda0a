#include "Algorithm/Random/LCG.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "Time/Clock.h"

namespace {

using math::LCG;

const uint32_t kEngineModulus = 2147483647u;

LCG EngineLCG(uint32_t seed) {
    LCG lcg;
    lcg.Seed(seed, 69621, 0, kEngineModulus);
    return lcg;
}

// A generator whose next steps are start, start + step, start + 2 * step, ... (below
// 2^32 - 1): with multiplier 1 and modulus 2^32 - 1 the state walks by the increment.
LCG Steps(uint32_t start, uint32_t step = 0) {
    const uint64_t modulus = 0xFFFFFFFFu;
    LCG lcg;
    lcg.Seed((uint32_t)((start + modulus - step) % modulus), 1, step, (uint32_t)modulus);
    return lcg;
}

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

// The first line a logged failed assumption writes to standard error.
std::string ErrorLine(const std::string &assumption, int line) {
    return "Error: " + assumption + " in Algorithm/Random/LCG:" + std::to_string(line) + "\n";
}

bool StartsWith(const std::string &text, const std::string &prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(LCG, DefaultConstructorUsesEngineParametersAndClockSeed) {
    const uint32_t before = math::Clock::TickU32();
    LCG lcg;
    const uint32_t after = math::Clock::TickU32();
    EXPECT_EQ(lcg.multiplier, 69621u);
    EXPECT_EQ(lcg.increment, 0u);
    EXPECT_EQ(lcg.modulus, kEngineModulus);
    EXPECT_NE(lcg.lastNumber % kEngineModulus, 0u);
    if (before <= after) {  // the 32-bit tick did not wrap in between
        EXPECT_GE(lcg.lastNumber, before);
        EXPECT_LE(lcg.lastNumber, after);
    }
    EXPECT_NE(lcg.Int(), 0u);
}

TEST(LCG, SequenceEqualsStandardLibraryEngine) {
    for (uint32_t seed : {1u, 2u, 12345u, 69621u, 1000000u, 2147483646u, 2147483648u, 4294967295u}) {
        std::linear_congruential_engine<uint32_t, 69621, 0, 2147483647> reference(seed);
        LCG lcg = EngineLCG(seed);
        for (int i = 0; i < 10000; ++i) ASSERT_EQ(lcg.Int(), reference()) << "seed " << seed << " step " << i;
    }
}

TEST(LCG, KnownSteps) {
    LCG lcg = EngineLCG(1);
    EXPECT_EQ(lcg.Int(), 69621u);
    EXPECT_EQ(lcg.Int(), 552116347u);
}

TEST(LCG, SeedZeroStaysZero) {
    LCG lcg = EngineLCG(0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lcg.Int(), 0u);
}

TEST(LCG, IntReducesInSixtyFourBits) {
    LCG lcg;
    lcg.Seed(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFBu);
    const uint64_t expected = (0xFFFFFFFFull * 0xFFFFFFFFull + 0xFFFFFFFFull) % 0xFFFFFFFBull;
    EXPECT_EQ(lcg.Int(), expected);
}

TEST(LCG, ZeroModulusLogsAndReducesModulo2To32) {
    struct Case {
        uint32_t seed, multiplier, increment, expected;
    };
    const Case cases[] = {
        {5, 3, 7, 22},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 5, 6},  // (2^32 - 1)^2 + 5 = 1 + 5 mod 2^32
        {0x80000000u, 2, 0, 0},
    };
    for (const Case &c : cases) {
        LCG lcg;
        lcg.Seed(c.seed, c.multiplier, c.increment, 0);
        testing::internal::CaptureStderr();
        const uint32_t value = lcg.Int();
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(lcg.lastNumber, c.expected);
        EXPECT_TRUE(StartsWith(log, ErrorLine("modulus != 0", 78))) << log;
    }
}

TEST(LCG, IntFastStepsAndAssumptions) {
    const std::string odd =
        "multiplier % 2 == 1 && \"Multiplier should be odd for LCG::IntFast(), since modulus==2^32 is even!\"";
    struct Case {
        uint32_t seed, multiplier, increment, expected;
        std::string log;
    };
    const Case cases[] = {
        {3, 5, 0, 15, ""},
        {0x80000000u, 3, 0, 0x80000001u, ""},  // the wrapped product is not above the state: + 1
        {0xFFFFFFFFu, 1, 0, 0, ErrorLine("lastNumber != 0", 72)},
        {7, 3, 1, 21, ErrorLine("increment == 0", 67)},
        {7, 4, 0, 28, ErrorLine(odd, 68)},
    };
    for (const Case &c : cases) {
        LCG lcg;
        lcg.Seed(c.seed, c.multiplier, c.increment, 0);
        testing::internal::CaptureStderr();
        const uint32_t value = lcg.IntFast();
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(value, c.expected) << c.seed;
        if (c.log.empty())
            EXPECT_EQ(log, "");
        else
            EXPECT_TRUE(StartsWith(log, c.log)) << log;
    }
}

TEST(LCG, UnitFloatsFromChosenSteps) {
    struct Case {
        uint32_t step;
        float unit;        // Float()
        float signedUnit;  // FloatNeg1_1()
    };
    const Case cases[] = {
        {0x00000000u, 0.f, 0.f},
        {0x12800000u, 0.f, 0.f},  // bit 23 set, mantissa 0: (-1) - (-1) is +0
        {0x00400000u, 0.5f, 0.5f},
        {0x00C00000u, 0.5f, -0.5f},
        {0x007FFFFFu, 1.f - 0x1p-23f, 1.f - 0x1p-23f},
        {0x00FFFFFFu, 1.f - 0x1p-23f, -(1.f - 0x1p-23f)},
    };
    for (const Case &c : cases) {
        LCG a = Steps(c.step), b = Steps(c.step);
        EXPECT_EQ(a.Float(), c.unit) << std::hex << c.step;
        EXPECT_EQ(b.FloatNeg1_1(), c.signedUnit) << std::hex << c.step;
    }
}

TEST(LCG, FloatNeg1_1SignFollowsBit23) {
    LCG lcg = EngineLCG(987654321);
    LCG mirror = lcg;
    for (int i = 0; i < 100000; ++i) {
        const uint32_t step = mirror.Int();
        const float f = lcg.FloatNeg1_1();
        ASSERT_GT(f, -1.f);
        ASSERT_LT(f, 1.f);
        if (step & 0x800000u)
            ASSERT_LE(f, 0.f) << std::hex << step;
        else if (step & 0x7FFFFFu)
            ASSERT_GT(f, 0.f) << std::hex << step;
        else
            ASSERT_EQ(f, 0.f);
    }
}

TEST(LCG, FloatStaysInUnitInterval) {
    LCG lcg = EngineLCG(42);
    for (int i = 0; i < 100000; ++i) {
        const float f = lcg.Float();
        ASSERT_GE(f, 0.f);
        ASSERT_LT(f, 1.f);
    }
}

TEST(LCG, Float01InclDraws) {
    struct Case {
        uint32_t first, step;
        float expected;
        uint32_t finalState;  // shows how many steps were drawn
    };
    const Case cases[] = {
        {0x00800000u, 0, 1.f, 0x00800000u},
        {0x12800000u, 0, 1.f, 0x12800000u},  // only the low 24 bits count
        {0x00400000u, 0, 0.5f, 0x00400000u},
        {0x00900000u, 0x00B00000u, 0.5f, 0x01400000u},  // one rejection, then 0x400000
        // All 101 steps lie above 0x800000: the last is taken by its low 23 bits.
        {0x00900000u, 1, 0x100064 * 0x1p-23f, 0x00900064u},
    };
    for (const Case &c : cases) {
        LCG lcg = Steps(c.first, c.step);
        EXPECT_EQ(lcg.Float01Incl(), c.expected) << std::hex << c.first;
        EXPECT_EQ(lcg.lastNumber, c.finalState) << std::hex << c.first;
    }
}

TEST(LCG, Float01InclCoversClosedInterval) {
    LCG lcg = EngineLCG(7);
    for (int i = 0; i < 100000; ++i) {
        const float f = lcg.Float01Incl();
        ASSERT_GE(f, 0.f);
        ASSERT_LE(f, 1.f);
    }
}

TEST(LCG, IntRangeFromChosenSteps) {
    struct Case {
        uint32_t step;
        int a, b, expected;
    };
    const Case cases[] = {
        {0x00000000u, 0, 9, 0},
        {0x00400000u, 0, 9, 5},
        {0x007FFFFFu, 0, 9, 9},  // the largest unit float never reaches b + 1
        {0x00400000u, -3, 3, 0},
        {0x007FFFFFu, 5, 5, 5},
        {0x00000000u, 5, 5, 5},
        // Ranges of 2^31 and more, which overflow a 32-bit range.
        {0x00400000u, 0, INT_MAX, 1 << 30},
        {0x00000000u, INT_MIN, INT_MAX, INT_MIN},
        {0x00400000u, INT_MIN, INT_MAX, 0},
        {0x007FFFFFu, INT_MIN, INT_MAX, INT_MAX - 511},
        {0x007FFFFFu, -1, INT_MAX, INT_MAX - 256},
    };
    for (const Case &c : cases) {
        LCG lcg = Steps(c.step);
        EXPECT_EQ(lcg.Int(c.a, c.b), c.expected) << std::hex << c.step << std::dec << " [" << c.a << ", " << c.b << "]";
    }
}

TEST(LCG, IntRangeStaysInRangeAndSpreads) {
    struct Case {
        int a, b;
    };
    const Case cases[] = {{0, 9}, {-100, 100}, {0, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MIN, 0}};
    for (const Case &c : cases) {
        LCG lcg = EngineLCG(2024);
        const double mid = ((double)c.a + c.b) / 2, span = (double)c.b - c.a;
        double sum = 0;
        const int n = 20000;
        for (int i = 0; i < n; ++i) {
            const int v = lcg.Int(c.a, c.b);
            ASSERT_GE(v, c.a);
            ASSERT_LE(v, c.b);
            sum += v;
        }
        EXPECT_NEAR(sum / n, mid, span * 0.02) << "[" << c.a << ", " << c.b << "]";
    }
}

TEST(LCG, IntRangeReversedLogsAndReturnsB) {
    LCG lcg = EngineLCG(99);
    testing::internal::CaptureStderr();
    const int value = lcg.Int(10, 3);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(StartsWith(log, ErrorLine("a <= b && \"Error in range!\"", 104))) << log;
}

TEST(LCG, FloatRange) {
    // Float(a, a) draws nothing.
    LCG fixed = EngineLCG(5);
    EXPECT_EQ(fixed.Float(2.f, 2.f), 2.f);
    EXPECT_EQ(fixed.lastNumber, 5u);

    // A draw that rounds to b is repeated: the first gives b, the second a + 1.
    LCG redraw = Steps(0x007FFFFFu, 0x00400001u);
    EXPECT_EQ(redraw.Float(8388608.f, 8388610.f), 8388609.f);
    EXPECT_EQ(redraw.lastNumber, 0x00C00000u);

    // Ten draws that all round to b give a; each step keeps the low 23 bits all ones.
    LCG stuck = Steps(0x007FFFFFu, 0x00800000u);
    EXPECT_EQ(stuck.Float(8388608.f, 8388610.f), 8388608.f);
    EXPECT_EQ(stuck.lastNumber, 0x007FFFFFu + 9 * 0x00800000u);

    LCG lcg = EngineLCG(31337);
    for (int i = 0; i < 100000; ++i) {
        const float f = lcg.Float(-2.5f, 4.f);
        ASSERT_GE(f, -2.5f);
        ASSERT_LT(f, 4.f);
    }
}

TEST(LCG, FloatInclScalesOneUnitDraw) {
    struct Case {
        uint32_t step;
        float a, b, expected;
    };
    const Case cases[] = {
        {0x00000000u, -2.f, 6.f, -2.f},
        {0x00400000u, -2.f, 6.f, 2.f},
        {0x007FFFFFu, 8388608.f, 8388610.f, 8388610.f},  // b only through rounding
    };
    for (const Case &c : cases) {
        LCG lcg = Steps(c.step);
        EXPECT_EQ(lcg.FloatIncl(c.a, c.b), c.expected);
    }
}

TEST(LCG, SameSeedSameSequence) {
    LCG a = EngineLCG(123), b = EngineLCG(123);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(Bits(a.Float(-1.f, 1.f)), Bits(b.Float(-1.f, 1.f)));
        ASSERT_EQ(a.Int(0, 99), b.Int(0, 99));
    }
}

}  // namespace
