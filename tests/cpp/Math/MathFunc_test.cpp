#include "Math/MathFunc.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "log_capture.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST(SolveQuadratic, CountsRootsAroundTheDiscriminantThresholds) {
    struct Case { float a, b, c; int count; float root1, root2; };
    const Case cases[] = {
        {1, -2, 1, 1, 1, 0},
        {1, 0, -1, 2, 1, -1},
        {1, 0, 1, 0, 0, 0},
        {2, -2, -4, 2, 2, -1},
        {1, 2, 0.9999999f, 1, -1, 0},     // D ~ 4.8e-7: below 1e-6, one root
        {1, 2, 1.0000001f, 1, -1, 0},     // D ~ -4.8e-7: above -1e-6, still one root
    };
    for (const Case &c : cases) {
        float r1 = 0, r2 = 0;
        EXPECT_EQ(math::Polynomial::SolveQuadratic(c.a, c.b, c.c, r1, r2), c.count) << c.a << " " << c.b << " " << c.c;
        EXPECT_EQ(r1, c.root1);
        EXPECT_EQ(r2, c.root2);  // unwritten outputs keep their value
    }
}

TEST(Rounding, RoundAddsTheHalfWithoutLosingBits) {
    struct Case { float x, rounded; };
    const Case cases[] = {{-2.5f, -2}, {2.5f, 3}, {-0.5f, 0}, {0.49999997f, 0},
                          {8388609.f, 8388609.f}, {-8388609.f, -8388609.f}, {1e30f, 1e30f}};
    for (const Case &c : cases) {
        EXPECT_EQ(math::Round(c.x), c.rounded) << c.x;
        if (std::fabs(c.rounded) < 2e9f) {
            EXPECT_EQ(math::RoundInt(c.x), static_cast<int>(c.rounded)) << c.x;
        }
    }
}

TEST(Rounding, IntConversionsGiveIntMinOutsideTheIntRange) {
    struct Case { float x; int ceil, floor, round; };
    const Case cases[] = {
        {1.5f, 2, 1, 2},
        {-1.5f, -1, -2, -1},
        {-2147483648.f, INT_MIN, INT_MIN, INT_MIN},  // in range: exactly INT_MIN
        {2147483520.f, 2147483520, 2147483520, 2147483520},
        {2147483648.f, INT_MIN, INT_MIN, INT_MIN},
        {-3e9f, INT_MIN, INT_MIN, INT_MIN},
        {kInf, INT_MIN, INT_MIN, INT_MIN},
        {kNaN, INT_MIN, INT_MIN, INT_MIN},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(math::CeilInt(c.x), c.ceil) << c.x;
        EXPECT_EQ(math::FloorInt(c.x), c.floor) << c.x;
        EXPECT_EQ(math::RoundInt(c.x), c.round) << c.x;
    }
}

TEST(Rounding, SignAndFraction) {
    struct Case { float x, sign, signOrZero; };
    const Case cases[] = {{-0.f, 1, 0}, {kNaN, -1, -1}, {-3, -1, -1}, {0.00001f, 1, 0},
                          {0.0001f, 1, 0}, {0.0002f, 1, 1}, {-0.0002f, -1, -1}};
    for (const Case &c : cases) {
        EXPECT_EQ(math::Sign(c.x), c.sign) << c.x;
        EXPECT_EQ(math::SignOrZero(c.x, 0.0001f), c.signOrZero) << c.x;
    }
    EXPECT_EQ(math::Frac(-1.25f), 0.75f);
}

TEST(Interpolation, LinearRampsAndSteps) {
    EXPECT_EQ(math::SmoothStep(0, 2, 1), 0.5f);
    EXPECT_EQ(math::SmoothStep(0, 2, 0.5f), 0.25f);  // linear, where a cubic would give 0.15625
    EXPECT_EQ(math::SmoothStep(0, 2, -1), 0.f);
    EXPECT_EQ(math::SmoothStep(0, 2, 2), 1.f);
    EXPECT_EQ(math::Step(1, 1), 1.f);
    EXPECT_EQ(math::Step(1, 0.99f), 0.f);
    EXPECT_EQ(math::InvLerp(2, 6, 5), 0.75f);
    const float t = 0.4f;  // a + (b - a) t, which differs from (1 - t) a + t b here
    ASSERT_NE(1.f + (2.f - 1.f) * t, (1.f - t) * 1.f + t * 2.f);
    EXPECT_EQ(math::Lerp(1, 2, t), 1.f + (2.f - 1.f) * t);
}

TEST(Interpolation, LerpModTakesTheShorterWayRound) {
    struct Case { float a, b, mod, t, expected; };
    const Case cases[] = {
        {350, 10, 360, 0.5f, 0},      // through the wrap
        {90, 270, 360, 0.5f, 180},    // a tie goes the direct way
        {10, 350, 360, 0.25f, 5},
        {-10, 20, 360, 0.5f, 5},      // -10 is 350
        {30, 60, 360, 0.5f, 45},
    };
    for (const Case &c : cases)
        EXPECT_EQ(math::LerpMod(c.a, c.b, c.mod, c.t), c.expected) << c.a << " " << c.b;
}

TEST(Interpolation, Remainders) {
    EXPECT_EQ(math::Mod(5.5f, 2.f), 1.5f);
    // The int modulus is widened to float first: 16777217 becomes 16777216.
    EXPECT_EQ(math::Mod(16777216.f, 16777217), 0.f);
    EXPECT_EQ(math::ModPos(-1.f, 360.f), 359.f);
    EXPECT_EQ(math::ModPos(-1.f, 3), 2.f);
    EXPECT_EQ(math::PingPongMod(3, 2), 1.f);
    EXPECT_EQ(math::PingPongMod(1, 2), 1.f);
    EXPECT_EQ(math::PingPongMod(-1, 2), -1.f);  // the formula leaves negative inputs negative
}

TEST(PlatformMath, DoublePrecisionForms) {
    EXPECT_EQ(math::Log2(8), 3.f);
    EXPECT_EQ(math::Log10(1000), 3.f);
    EXPECT_EQ(math::Log(2, 1024), 10.f);
    EXPECT_EQ(math::Pow(2, 0.5f), static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(math::Ln(1), 0.f);
    float s, c;
    math::SinCos(0.5f, s, c);
    EXPECT_EQ(s, sinf(0.5f));
    EXPECT_EQ(c, cosf(0.5f));
}

TEST(PowersOfTwo, RoundUpAndDown) {
    struct Case { unsigned long long n, up, down; bool pow2; };
    const Case cases[] = {{0, 0, 0, true}, {1, 1, 1, true}, {5, 8, 4, false},
                          {8, 8, 8, true}, {0x80000001ull, 0x100000000ull, 0x80000000ull, false}};
    for (const Case &c : cases) {
        EXPECT_EQ(math::RoundUpPow2(c.n), c.up) << c.n;
        EXPECT_EQ(math::RoundDownPow2(c.n), c.down) << c.n;
        EXPECT_EQ(math::IsPow2(c.n), c.pow2) << c.n;
    }
    EXPECT_EQ(math::RoundUpPow2(5u), 8u);
    EXPECT_EQ(math::RoundUpPow2(0u), 0u);
    EXPECT_EQ(math::RoundUpPow2(0x80000001u), 0u);  // above the largest power of two: wraps
    EXPECT_EQ(math::RoundUpPow2(0x8000000000000001ull), 0ull);
    EXPECT_EQ(math::RoundDownPow2(0xFFFFFFFFu), 0x80000000u);
    EXPECT_TRUE(math::IsPow2(0u));
    EXPECT_FALSE(math::IsPow2(6u));
}

TEST(PowersOfTwo, RoundIntUpToMultipleWrapsAndLogsBadMultiples) {
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(5, 4), 8);
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(8, 4), 8);
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(-5, 4), -4);
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(INT_MAX, 16), INT_MIN);
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(5ll, 8ll), 8ll);
    EXPECT_EQ(math::RoundIntUpToMultipleOfPow2(LLONG_MAX, 2ll), LLONG_MIN);
    EXPECT_EQ(StderrOf([] { math::RoundIntUpToMultipleOfPow2(5, 4); }), "");

    struct Case { int n; bool wide; const char *errors; };
    const Case cases[] = {
        {3, false, "Error: IsPow2(n) in Math/MathFunc:298\n"},
        {-4, false, "Error: number >= 0 in Math/MathFunc:169\nError: IsPow2(n) in Math/MathFunc:298\n"},
        {3, true, "Error: IsPow2(n) in Math/MathFunc:304\n"},
        {-4, true, "Error: number >= 0 in Math/MathFunc:170\nError: IsPow2(n) in Math/MathFunc:304\n"},
    };
    for (const Case &c : cases) {
        const std::string log = StderrOf([&] {
            if (c.wide)
                math::RoundIntUpToMultipleOfPow2(5ll, static_cast<long long>(c.n));
            else
                math::RoundIntUpToMultipleOfPow2(5, c.n);
        });
        EXPECT_EQ(WithoutStackLines(log), c.errors) << c.n << (c.wide ? " long long" : " int");
    }
}

TEST(Integers, FactorialWrapsIn32Bits) {
    struct Case { int n, expected; };
    const Case cases[] = {{-3, 1}, {0, 1}, {1, 1}, {5, 120}, {12, 479001600}, {13, 1932053504}};
    for (const Case &c : cases) EXPECT_EQ(math::Factorial(c.n), c.expected) << c.n;
}

TEST(Integers, CombinatorialFormsAreTheBinomialCoefficient) {
    for (int n = 0; n <= 12; ++n) {
        long long binomial = 1;  // n over k, for k from 0 up
        for (int k = -1; k <= n + 1; ++k) {
            const long long expected = (k < 0 || k > n) ? 0 : binomial;
            EXPECT_EQ(math::CombinatorialTab(n, k), expected) << n << " over " << k;
            EXPECT_EQ(math::CombinatorialRec(n, k), expected) << n << " over " << k;
            if (k >= 0 && k < n) binomial = binomial * (n - k) / (k + 1);
        }
    }
    EXPECT_EQ(math::CombinatorialRec(3, 5), 0);  // the binomial coefficient, like the table form
    EXPECT_EQ(math::CombinatorialTab(30, 15), 155117520);
}

TEST(Integers, PowersBySquaring) {
    const float b = 1.005f;  // squaring first differs from multiplying five times
    ASSERT_NE((b * b) * (b * b) * b, b * b * b * b * b);
    EXPECT_EQ(math::PowUInt(b, 5), (b * b) * (b * b) * b);
    EXPECT_EQ(math::PowUInt(3, 0), 1.f);
    EXPECT_EQ(math::PowUInt(2, 10), 1024.f);
    EXPECT_EQ(math::PowInt(2, -2), 0.25f);
    EXPECT_EQ(math::PowInt(7, 0), 1.f);
    EXPECT_EQ(math::PowInt(2, INT_MIN), 0.f);
    EXPECT_EQ(math::PowInt(b, -5), 1.f / ((b * b) * (b * b) * b));
}

TEST(Integers, BinaryStringToValue) {
    struct Case { const char *text; unsigned expected; };
    const std::string top = "1" + std::string(31, '0');
    const std::string beyond = "1" + std::string(32, '0');
    const Case cases[] = {{"101", 5}, {"1x1", 7}, {"", 0}, {nullptr, 0}, {"0000", 0},
                          {top.c_str(), 0x80000000u}, {beyond.c_str(), 0}};
    for (const Case &c : cases)
        EXPECT_EQ(math::BinaryStringToValue(c.text), c.expected) << (c.text ? c.text : "null");
}
