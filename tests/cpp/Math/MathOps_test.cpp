#include "Math/MathOps.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "log_capture.h"

namespace {

const float kInf = std::numeric_limits<float>::infinity();

float next_up(float f) { return std::nextafter(f, kInf); }

struct Case {
    float a;
    float b;
    float tolerance;
    bool expected;
};

}  // namespace

TEST(EqualAbs, IsStrict) {
    const Case cases[] = {{1, 1, 0, false}, {1, 1.00001f, 1e-4f, true}, {0, 0.5f, 0.5f, false},
                          {-3, -3.25f, 0.5f, true}, {0, std::nanf(""), 1, false}};
    for (const Case &c : cases) EXPECT_EQ(math::EqualAbs(c.a, c.b, c.tolerance), c.expected) << c.a << " " << c.b;
}

TEST(EqualRel, AcceptsTheBoundAndEqualValues) {
    const Case cases[] = {{0, 0, 0, true}, {1, 1.1f, 0.05f, false}, {4, 5, 0.2f, true},
                          {-4, -5, 0.19f, false}, {kInf, kInf, 0, true}};
    for (const Case &c : cases) EXPECT_EQ(math::EqualRel(c.a, c.b, c.tolerance), c.expected) << c.a << " " << c.b;
}

TEST(RelativeError, IsRelativeToTheLargerMagnitude) {
    struct ErrorCase { float a, b, expected; };
    const ErrorCase cases[] = {{2, 4, 0.5f}, {4, 2, 0.5f}, {-4, 2, 1.5f}, {0, 0, 0}, {3, 0, 1}};
    for (const ErrorCase &c : cases) EXPECT_EQ(math::RelativeError(c.a, c.b), c.expected) << c.a << " " << c.b;
}

TEST(EqualUlps, CountsRepresentableFloatsAcrossZero) {
    const float denormal = std::numeric_limits<float>::denorm_min();
    struct UlpsCase { float a, b; int maxUlps; bool expected; };
    const UlpsCase cases[] = {
        {0.f, -0.f, 0, true},
        {1, next_up(1), 0, false},
        {1, next_up(1), 1, true},
        {denormal, -denormal, 1, false},
        {denormal, -denormal, 2, true},
        {FLT_MAX, kInf, 1, true},
        // Opposite signs lie 2^31 ordinals apart here: a 32-bit difference would wrap to 0.
        {1, -4, 0, false},
        {2, -2, 0, false},
        {-4, 1, 4194303, false},
    };
    for (const UlpsCase &c : cases)
        EXPECT_EQ(math::EqualUlps(c.a, c.b, c.maxUlps), c.expected) << c.a << " " << c.b << " " << c.maxUlps;
}

TEST(EqualUlps, LogsAnOutOfRangeUlpCount) {
    struct LogCase { int maxUlps; const char *line; };
    const LogCase cases[] = {{-1, "Error: maxUlps >= 0 in Math/MathOps:56"},
                             {4194304, "Error: maxUlps < 4 * 1024 * 1024 in Math/MathOps:57"},
                             {4194303, ""}};
    for (const LogCase &c : cases)
        EXPECT_EQ(FirstLine(StderrOf([&] { math::EqualUlps(1, 2, c.maxUlps); })), c.line) << c.maxUlps;
}
