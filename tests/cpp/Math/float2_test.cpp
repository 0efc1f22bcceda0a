#include "Math/float2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Math/float3.h"

namespace {

using math::float2;

const float kPi = 3.14159274f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

math::LCG Seeded(uint32_t seed) {
    math::LCG lcg;
    lcg.Seed(seed, 69621, 0, 2147483647);
    return lcg;
}

#define EXPECT_FLOAT2_EQ(actual, ex, ey)    \
    do {                                    \
        const float2 a_ = (actual);         \
        EXPECT_FLOAT_EQ(a_.x, (ex)) << "x"; \
        EXPECT_FLOAT_EQ(a_.y, (ey)) << "y"; \
    } while (0)

TEST(float2, ConstantsAndNullPointerHoldQuietNaNBits) {
    EXPECT_EQ(Bits(float2::nan.x), 0x7FC00000u);
    EXPECT_EQ(Bits(float2::nan.y), 0x7FC00000u);
    const float2 fromNull(static_cast<const float *>(nullptr));
    EXPECT_EQ(Bits(fromNull.x), 0x7FC00000u);
    EXPECT_EQ(Bits(fromNull.y), 0x7FC00000u);
    const float data[] = {3.f, -4.f};
    EXPECT_FLOAT2_EQ(float2(data), 3.f, -4.f);
    EXPECT_TRUE(float2::inf.x == INFINITY && float2::inf.y == INFINITY);
}

TEST(float2, OutOfRangeIndicesGiveNaNOrX) {
    float2 v(1.f, 2.f);
    const float2 &constant = v;
    EXPECT_EQ(constant.At(1), 2.f);
    EXPECT_EQ(&v.At(1), &v.y);
    for (int index : {2, -1, 1000}) {
        EXPECT_TRUE(std::isnan(constant.At(index))) << index;
        EXPECT_EQ(&v.At(index), &v.x) << index;
    }
    EXPECT_FLOAT2_EQ(v.Swizzled(1, 0), 2.f, 1.f);
    EXPECT_TRUE(std::isnan(v.Swizzled(0, 2).y));
    const math::float3 s = v.Swizzled(1, 1, 0);
    EXPECT_TRUE(s.x == 2.f && s.y == 2.f && s.z == 1.f);
    EXPECT_TRUE(std::isnan(v.Swizzled(0, -1, 1).y));
}

// The two-component vector compares the squared length with 1e-6 where the
// three-component one compares the length.
TEST(float2, NormalizeComparesSquaredLength) {
    struct Case {
        float2 v;
        float2 expected;
        float returned;
    };
    const Case cases[] = {
        {{0.0005f, 0.f}, {1.f, 0.f}, 0.f},  // squared length 2.5e-7
        {{0.f, 0.f}, {1.f, 0.f}, 0.f},
        {{kNaN, 1.f}, {1.f, 0.f}, 0.f},
        {{0.f, -0.0011f}, {0.f, -1.f}, 0.0011f},
        {{3.f, 4.f}, {0.6f, 0.8f}, 5.f},
    };
    for (const Case &c : cases) {
        float2 v = c.v;
        EXPECT_FLOAT_EQ(v.Normalize(), c.returned) << c.v;
        EXPECT_FLOAT2_EQ(v, c.expected.x, c.expected.y);
        EXPECT_FLOAT2_EQ(c.v.Normalized(), c.expected.x, c.expected.y);
    }
    math::float3 v3(0.0005f, 0.f, 0.f);
    EXPECT_FLOAT_EQ(v3.Normalize(), 0.0005f);
}

TEST(float2, ScaleToLengthLeavesShortVectorsUnchanged) {
    float2 tiny(0.0005f, 0.f);
    EXPECT_EQ(tiny.ScaleToLength(5.f), 0.f);
    EXPECT_TRUE(tiny.BitEquals(float2(0.0005f, 0.f)));
    EXPECT_TRUE(float2(0.0005f, 0.f).ScaledToLength(5.f).BitEquals(float2(0.0005f, 0.f)));
    float2 v(3.f, 4.f);
    EXPECT_FLOAT_EQ(v.ScaleToLength(10.f), 5.f);
    EXPECT_FLOAT2_EQ(v, 6.f, 8.f);
    // The three-component vector sets (newLength, 0, 0) instead.
    math::float3 v3(0.0005f, 0.f, 0.f);
    v3.ScaleToLength(5.f);
    EXPECT_EQ(v3.x, 5.f);
}

TEST(float2, ToleranceTests) {
    EXPECT_TRUE(float2(1.000002f, 0.f).IsNormalized(1e-5f));
    EXPECT_FALSE(float2(1.0001f, 0.f).IsNormalized(1e-5f));
    EXPECT_TRUE(float2(3e-4f, 0.f).IsZero(1e-7f));
    EXPECT_FALSE(float2(4e-4f, 0.f).IsZero(1e-7f));
    EXPECT_TRUE(float2(1.f, 0.f).IsPerpendicular(float2(1e-5f, 2.f), 1e-8f));
    EXPECT_FALSE(float2(1.f, 0.f).IsPerpendicular(float2(1e-3f, 2.f), 1e-8f));
    EXPECT_TRUE(float2::AreOrthogonal(float2(2.f, 2.f), float2(-3.f, 3.f), 1e-8f));
    EXPECT_FALSE(float2(1.f, 2.f).Equals(float2(1.f, 2.f), 0.f));  // strict
    EXPECT_TRUE(float2(1.f, 2.f).Equals(1.00001f, 2.f, 1e-4f));
    EXPECT_FALSE(float2(0.f, 1.f).BitEquals(float2(-0.f, 1.f)));
    EXPECT_TRUE(float2::nan.BitEquals(float2::nan));
    EXPECT_TRUE(float2(1.f, -2.f).IsFinite());
    EXPECT_FALSE(float2(1.f, INFINITY).IsFinite());
    EXPECT_FALSE(float2(kNaN, 0.f).IsFinite());
}

TEST(float2, ElementIndicesTiesAndNaN) {
    struct Case {
        float2 v;
        int minIndex, maxIndex;
        float minElement, maxElement;
    };
    const Case cases[] = {
        {{1.f, 2.f}, 0, 1, 1.f, 2.f},
        {{2.f, 1.f}, 1, 0, 1.f, 2.f},
        {{1.f, 1.f}, 0, 1, 1.f, 1.f},
        {{kNaN, 1.f}, 1, 1, 1.f, 1.f},  // a NaN first operand yields the second
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.v.MinElementIndex(), c.minIndex) << c.v;
        EXPECT_EQ(c.v.MaxElementIndex(), c.maxIndex) << c.v;
        EXPECT_EQ(c.v.MinElement(), c.minElement) << c.v;
        EXPECT_EQ(c.v.MaxElement(), c.maxElement) << c.v;
    }
    EXPECT_EQ(float2(1.f, kNaN).MinElementIndex(), 1);
    EXPECT_EQ(float2(1.f, kNaN).MaxElementIndex(), 1);
}

TEST(float2, ClampAppliesCeilingFirst) {
    EXPECT_FLOAT2_EQ(float2(0.f, 5.f).Clamp(2.f, 1.f), 2.f, 2.f);
    EXPECT_FLOAT2_EQ(float2(-1.f, 0.5f).Clamp01(), 0.f, 0.5f);
    EXPECT_FLOAT2_EQ(float2(kNaN, 3.f).Clamp(float2(0.f, 0.f), float2(1.f, 2.f)), 1.f, 2.f);
    EXPECT_FLOAT2_EQ(float2(kNaN, 3.f).Min(float2(1.f, 1.f)), 1.f, 1.f);
    EXPECT_FLOAT2_EQ(float2(kNaN, -3.f).Max(0.f), 0.f, 0.f);
}

TEST(float2, AngleBetween) {
    struct Case {
        float2 a, b;
        float angle;
    };
    const Case cases[] = {
        {{2.f, 0.f}, {0.f, 3.f}, kPi / 2},
        {{2.f, 0.f}, {-4.f, 0.f}, kPi},
        {{1.f, 0.f}, {3.f, 0.f}, 0.f},
    };
    for (const Case &c : cases) EXPECT_FLOAT_EQ(c.a.AngleBetween(c.b), c.angle) << c.a << c.b;
    EXPECT_EQ(float2(2.f, 0.f).AngleBetween(float2(-4.f, 0.f)), kPi);
    EXPECT_EQ(float2(1.f, 0.f).AngleBetween(float2(3.f, 0.f)), 0.f);
}

// Dot products of normalised vectors round to just beyond 1 for a good share of them.
TEST(float2, AngleBetweenNormIsClamped) {
    math::LCG lcg = Seeded(4242);
    for (int i = 0; i < 20000; ++i) {
        const float2 v = float2(lcg.Float(-10.f, 10.f), lcg.Float(-10.f, 10.f)).Normalized();
        const float same = v.AngleBetweenNorm(v);
        const float opposite = v.AngleBetweenNorm(-v);
        ASSERT_FALSE(std::isnan(same)) << v;
        ASSERT_FALSE(std::isnan(opposite)) << v;
        ASSERT_LT(same, 1e-3f) << v;
        ASSERT_GT(opposite, kPi - 1e-3f) << v;
    }
}

TEST(float2, OrthogonalizeRemovesProjectionOnNonUnitVectors) {
    struct Case {
        float2 a, b;
    };
    const Case cases[] = {
        {{2.f, 1.f}, {1.f, 3.f}},
        {{-5.f, 0.5f}, {4.f, 4.f}},
        {{0.01f, 0.f}, {1.f, 1.f}},
    };
    for (const Case &c : cases) {
        float2 b = c.b;
        float2::Orthogonalize(c.a, b);
        EXPECT_NEAR(b.Dot(c.a), 0.f, 1e-5f * c.a.Length() * c.b.Length()) << c.a << c.b;
        EXPECT_NEAR(b.Length(), std::fabs(c.b.PerpDot(c.a)) / c.a.Length(), 1e-5f) << c.a << c.b;
    }
    float2 unchanged(1.f, 2.f);
    float2::Orthogonalize(float2(1e-4f, 2e-4f), unchanged);  // squared length below 1e-7
    EXPECT_TRUE(unchanged.BitEquals(float2(1.f, 2.f)));
}

TEST(float2, OrthonormalizeNormalisesBoth) {
    float2 a(3.f, 4.f), b(1.f, 1.f);
    float2::Orthonormalize(a, b);
    EXPECT_FLOAT2_EQ(a, 0.6f, 0.8f);
    EXPECT_TRUE(b.IsNormalized(1e-5f)) << b;
    EXPECT_TRUE(a.IsPerpendicular(b, 1e-8f)) << b;
    EXPECT_NEAR(b.x, 0.8f, 1e-5f);
    EXPECT_NEAR(b.y, -0.6f, 1e-5f);

    float2 zero(0.f, 0.f), parallel(6.f, 8.f);
    float2::Orthonormalize(zero, parallel);  // a falls back to (1, 0); b keeps only its y
    EXPECT_FLOAT2_EQ(zero, 1.f, 0.f);
    EXPECT_FLOAT2_EQ(parallel, 0.f, 1.f);

    float2 c(3.f, 4.f), along(6.f, 8.f);
    float2::Orthonormalize(c, along);  // nothing of b is left: the (1, 0) fallback
    EXPECT_FLOAT2_EQ(along, 1.f, 0.f);
}

TEST(float2, ReflectAndRefract) {
    EXPECT_FLOAT2_EQ(float2(1.f, 1.f).Reflect(float2(0.f, 1.f)), -1.f, 1.f);
    // The refraction factor of the normal has no cosine term.
    EXPECT_FLOAT2_EQ(float2(0.6f, -0.8f).Refract(float2(0.f, 1.f), 1.f, 1.f), 0.6f, -2.6f);
    // k = (1 - d^2) eta^2 = 2.56 > 1: the reflection.
    EXPECT_FLOAT2_EQ(float2(0.8f, -0.6f).Refract(float2(0.f, 1.f), 2.f, 1.f), 0.8f, 0.6f);
}

TEST(float2, ProjectionsAndInterpolation) {
    EXPECT_FLOAT2_EQ(float2(3.f, 5.f).ProjectTo(float2(0.f, 2.f)), 0.f, 5.f);
    EXPECT_FLOAT2_EQ(float2(3.f, 5.f).ProjectToNorm(float2(1.f, 0.f)), 3.f, 0.f);
    float2 parallel, perpendicular;
    float2(3.f, 5.f).Decompose(float2(0.f, 1.f), parallel, perpendicular);
    EXPECT_FLOAT2_EQ(parallel, 0.f, 5.f);
    EXPECT_FLOAT2_EQ(perpendicular, 3.f, 0.f);
    EXPECT_FLOAT2_EQ(float2(0.f, 10.f).Lerp(float2(4.f, 0.f), 0.25f), 1.f, 7.5f);
    EXPECT_FLOAT2_EQ(float2::Lerp(float2(0.f, 10.f), float2(4.f, 0.f), 1.f), 4.f, 0.f);
}

TEST(float2, PerpendicularsAndRotations) {
    const float2 v(1.f, 2.f);
    EXPECT_FLOAT2_EQ(v.Perp(), -2.f, 1.f);
    EXPECT_FLOAT2_EQ(v.Rotated90CCW(), -2.f, 1.f);
    EXPECT_FLOAT2_EQ(v.Rotated90CW(), 2.f, -1.f);
    float2 w = v;
    w.Rotate90CW();
    w.Rotate90CCW();
    EXPECT_TRUE(w.BitEquals(v));
    EXPECT_EQ(float2(1.f, 0.f).PerpDot(float2(0.f, 1.f)), 1.f);
    EXPECT_EQ(float2(0.f, 1.f).PerpDot(float2(1.f, 0.f)), -1.f);
}

TEST(float2, PolarCoordinates) {
    EXPECT_NEAR(float2::FromPolarCoordinates(kPi / 2, 2.f).x, 0.f, 1e-6f);
    EXPECT_FLOAT_EQ(float2::FromPolarCoordinates(kPi / 2, 2.f).y, 2.f);
    EXPECT_FLOAT2_EQ(float2(0.f, 2.f).ToPolarCoordinates(), kPi / 2, 2.f);
    EXPECT_FLOAT2_EQ(float2(-3.f, 0.f).ToPolarCoordinates(), kPi, 3.f);
    EXPECT_TRUE(float2(5e-5f, 5e-5f).ToPolarCoordinates().BitEquals(float2::zero));
    EXPECT_FLOAT_EQ(float2(1.f, 1.f).AimedAngle(), kPi / 4);
}

TEST(float2, OrientedCCW) {
    struct Case {
        float2 a, b, c;
        bool ccw;
    };
    const Case cases[] = {
        {{0.f, 0.f}, {1.f, 0.f}, {0.f, 1.f}, true},
        {{0.f, 0.f}, {0.f, 1.f}, {1.f, 0.f}, false},
        {{0.f, 0.f}, {1.f, 1.f}, {2.f, 2.f}, true},  // collinear
    };
    for (const Case &c : cases) EXPECT_EQ(float2::OrientedCCW(c.a, c.b, c.c), c.ccw) << c.a << c.b << c.c;
}

TEST(float2, TextForms) {
    EXPECT_EQ(float2(1.f, 2.f).ToString(), "(1.000000, 2.000000)");
    EXPECT_EQ(float2(-0.5f, 1e6f).ToString(), "(-0.500000, 1000000.000000)");
    EXPECT_EQ(float2(kNaN, -kNaN).ToString(), "(nan, nan)");
    std::ostringstream out;
    out << float2(1.f, 2.f);
    EXPECT_EQ(out.str(), "(1.000000, 2.000000)");
}

TEST(float2, RandomDirectionsAndBoxes) {
    for (float length : {1.f, 5.f, 0.01f}) {
        math::LCG lcg = Seeded(77);
        for (int i = 0; i < 1000; ++i) {
            const float2 d = float2::RandomDir(lcg, length);
            ASSERT_NEAR(d.Length(), length, length * 1e-5f) << d;
        }
    }
    // Every draw in a square of half-size 1e-4 is shorter than 1e-3: all are rejected.
    math::LCG lcg = Seeded(78);
    EXPECT_TRUE(float2::RandomDir(lcg, 1e-4f).BitEquals(float2(1e-4f, 0.f)));

    math::LCG boxed = Seeded(79), mirror = Seeded(79);
    const float2 p = float2::RandomBox(boxed, -2.f, 3.f);
    const float x = mirror.Float(-2.f, 3.f);
    const float y = mirror.Float(-2.f, 3.f);
    EXPECT_TRUE(p.BitEquals(float2(x, y)));  // x is drawn first
}

// ---- Convex hull --------------------------------------------------------------------

double Cross(const float2 &o, const float2 &a, const float2 &b) {
    return ((double)a.x - o.x) * ((double)b.y - o.y) - ((double)a.y - o.y) * ((double)b.x - o.x);
}

// The hull is the convex hull exactly when it is convex and counter-clockwise, starts at
// the lowest point, consists of input points and contains every input point.
void ExpectIsHullOf(const std::vector<float2> &input, const float2 *hull, int n, double tolerance) {
    ASSERT_GE(n, 1);
    for (const float2 &p : input) {
        EXPECT_TRUE(p.y > hull[0].y || (p.y == hull[0].y && p.x >= hull[0].x)) << p << " below " << hull[0];
    }
    for (int i = 0; i < n; ++i) {
        EXPECT_NE(std::find_if(input.begin(), input.end(), [&](const float2 &p) { return p.BitEquals(hull[i]); }),
                  input.end())
            << "hull vertex " << hull[i] << " is no input point";
    }
    if (n < 3) return;
    for (int i = 0; i < n; ++i) {
        const float2 &a = hull[i], &b = hull[(i + 1) % n], &c = hull[(i + 2) % n];
        EXPECT_GT(Cross(a, b, c), -tolerance) << "reflex turn at " << b;
    }
    for (const float2 &p : input) {
        for (int i = 0; i < n; ++i) {
            const float2 &a = hull[i], &b = hull[(i + 1) % n];
            const double scale = std::max(1.0, (double)a.Distance(b));
            ASSERT_GT(Cross(a, b, p), -tolerance * scale) << p << " outside edge " << a << b;
        }
    }
}

TEST(float2, HullOfSquareWithCentreAndDuplicate) {
    const std::vector<std::vector<float2>> inputs = {
        {{1.f, 1.f}, {0.f, 1.f}, {0.5f, 0.5f}, {1.f, 0.f}, {0.f, 0.f}},
        {{0.5f, 0.5f}, {1.f, 1.f}, {0.f, 0.f}, {0.f, 1.f}, {1.f, 0.f}, {1.f, 1.f}},  // duplicate corner
        {{0.f, 1.f}, {1.f, 1.f}, {1.f, 0.f}, {0.0001f, 0.f}, {0.f, 0.f}},  // corner within 0.001
    };
    for (const std::vector<float2> &input : inputs) {
        std::vector<float2> hull;
        float2::ConvexHull(input.data(), (int)input.size(), hull);
        ASSERT_EQ(hull.size(), 4u);
        EXPECT_TRUE(hull[0].Equals(0.f, 0.f, 1e-3f)) << hull[0];
        EXPECT_TRUE(hull[1].BitEquals(float2(1.f, 0.f))) << hull[1];
        EXPECT_TRUE(hull[2].BitEquals(float2(1.f, 1.f))) << hull[2];
        EXPECT_TRUE(hull[3].BitEquals(float2(0.f, 1.f))) << hull[3];
    }
}

TEST(float2, HullOfDegenerateInputs) {
    struct Case {
        std::vector<float2> points;
        int count;
    };
    const Case cases[] = {
        {{{2.f, 3.f}, {2.f, 3.f}, {2.f, 3.f}}, 2},  // three equal points
        {{{2.f, 3.f}, {2.0005f, 3.f}, {2.f, 3.0005f}}, 2},  // all within 0.001 of the pivot
        {{{5.f, 5.f}, {1.f, 1.f}}, 2},  // fewer than three: unchanged
        {{{5.f, 5.f}}, 1},
        {{{3.f, 0.f}, {1.f, 0.f}, {0.f, 0.f}, {2.f, 0.f}}, 2},  // collinear: the two ends
        {{{1.f, 1.f}, {3.f, 3.f}, {0.f, 0.f}, {1.f, 1.f}, {2.f, 2.f}}, 2},
    };
    for (const Case &c : cases) {
        std::vector<float2> points = c.points;
        EXPECT_EQ(float2::ConvexHullInPlace(points.data(), (int)points.size()), c.count) << c.points[0];
    }
    std::vector<float2> segment = {{3.f, 0.f}, {1.f, 0.f}, {0.f, 0.f}, {2.f, 0.f}};
    ASSERT_EQ(float2::ConvexHullInPlace(segment.data(), 4), 2);
    EXPECT_TRUE(segment[0].BitEquals(float2(0.f, 0.f)));
    EXPECT_TRUE(segment[1].BitEquals(float2(3.f, 0.f)));

    std::vector<float2> hull = {{9.f, 9.f}};
    float2::ConvexHull(nullptr, 0, hull);
    EXPECT_TRUE(hull.empty());
}

// Random clouds of every size around the pre-filter's threshold of 50 points.
std::vector<float2> Cloud(math::LCG &lcg, int count, int shape) {
    std::vector<float2> points;
    for (int i = 0; i < count; ++i) {
        switch (shape) {
            case 0:  // uniform in a box
                points.push_back(float2::RandomBox(lcg, -100.f, 100.f));
                break;
            case 1: {  // on a circle: every point a hull vertex
                const float angle = lcg.Float(0.f, 2 * kPi);
                points.push_back(float2::FromPolarCoordinates(angle, 10.f));
                break;
            }
            case 2:  // on a coarse grid: many collinear and equal points
                points.push_back(float2((float)lcg.Int(0, 6), (float)lcg.Int(-3, 3)));
                break;
            default:  // a narrow band along a slanted line
                const float t = lcg.Float(-5.f, 5.f);
                const float offset = lcg.Float(-1.f, 1.f);
                points.push_back(float2(t + offset * 0.05f, t * 0.3f - offset * 0.1f));
                break;
        }
    }
    return points;
}

TEST(float2, HullMatchesBruteForceCheck) {
    math::LCG lcg = Seeded(20261210);
    for (int shape = 0; shape < 4; ++shape) {
        for (int count : {3, 4, 5, 10, 49, 50, 51, 200, 1000}) {
            const std::vector<float2> input = Cloud(lcg, count, shape);
            std::vector<float2> hull;
            float2::ConvexHull(input.data(), count, hull);
            SCOPED_TRACE(testing::Message() << "shape " << shape << " count " << count);
            ExpectIsHullOf(input, hull.data(), (int)hull.size(), 1e-3);
        }
    }
}

// Nearly collinear points broke the strict weak ordering of a float comparison, which
// lets the sort run past the array (the sanitizer build catches that).
TEST(float2, HullOfThousandsOfNearlyCollinearPointsStaysInBounds) {
    std::vector<float2> input;
    for (int i = 0; i < 5000; ++i) {
        const float t = (float)((i * 7919) % 5000) * 0.01f;
        input.push_back(float2(t, t / 3.f));
        input.push_back(float2(t * 0.1f + 7.f, 1.f / 7.f * t));
    }
    std::vector<float2> hull;
    float2::ConvexHull(input.data(), (int)input.size(), hull);
    ASSERT_GE(hull.size(), 3u);
    ASSERT_LE(hull.size(), input.size());
    EXPECT_TRUE(hull[0].BitEquals(float2(0.f, 0.f)));
    EXPECT_TRUE(hull[1].BitEquals(float2(7.f, 0.f)));
    for (const float2 &h : hull)
        ASSERT_NE(std::find_if(input.begin(), input.end(), [&](const float2 &p) { return p.BitEquals(h); }), input.end())
            << h;
}

// Points a float step off rays through the lowest point turn by less than any tolerance of the
// scan would see: the hull keeps them only where they turn counter-clockwise, exactly.
TEST(float2, HullOfNearlyCollinearPointsThroughTheLowestPointIsConvex) {
    math::LCG lcg = Seeded(1106);
    for (int round = 0; round < 200; ++round) {
        const float2 pivot = float2::RandomBox(lcg, -50.f, 50.f);
        std::vector<float2> input = {pivot};
        for (int ray = 0; ray < 3; ++ray) {
            const float2 dir = float2::FromPolarCoordinates(lcg.Float(0.2f, 2.9f), 1.f);
            for (int i = 0; i < 300; ++i) {
                const float t = lcg.Float(0.01f, 60.f);
                float2 p = pivot + dir * t;
                for (int k = lcg.Int(-3, 3); k != 0; k += k > 0 ? -1 : 1)
                    p.x = std::nextafter(p.x, k > 0 ? INFINITY : -INFINITY);
                if (p.y > pivot.y) input.push_back(p);
            }
        }
        std::vector<float2> hull;
        float2::ConvexHull(input.data(), (int)input.size(), hull);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_GE(hull.size(), 3u);
        EXPECT_TRUE(hull[0].BitEquals(pivot));
        const int n = (int)hull.size();
        for (int i = 0; i < n; ++i)
            ASSERT_GT(Cross(hull[i], hull[(i + 1) % n], hull[(i + 2) % n]), 0.0) << "turn at " << hull[(i + 1) % n];
        ExpectIsHullOf(input, hull.data(), n, 1e-3);
    }
}

TEST(float2, PolarSortIsStrictWeakOrderingNearestFirst) {
    const math::SortByPolarAngle order{float2(1.f, 1.f)};
    std::vector<float2> points;
    for (int i = 1; i <= 12; ++i) {
        const float t = (float)i * 0.37f;
        points.push_back(float2(1.f + t, 1.f + t / 3.f));
        points.push_back(float2(1.f + t, 1.f + t / 3.f + 1e-7f * (float)i));
        points.push_back(float2(1.f + 2 * t, 1.f + 2 * (t / 3.f)));
    }
    for (const float2 &a : points) {
        EXPECT_FALSE(order(a, a));
        for (const float2 &b : points) {
            if (order(a, b)) {
                EXPECT_FALSE(order(b, a)) << a << b;
            }
            for (const float2 &c : points) {
                if (order(a, b) && order(b, c)) {
                    EXPECT_TRUE(order(a, c)) << a << b << c;
                }
                const bool abEquivalent = !order(a, b) && !order(b, a);
                const bool bcEquivalent = !order(b, c) && !order(c, b);
                if (abEquivalent && bcEquivalent) {
                    EXPECT_TRUE(!order(a, c) && !order(c, a)) << a << b << c;
                }
            }
        }
    }
    EXPECT_TRUE(order(float2(2.f, 1.f), float2(3.f, 1.f)));  // one ray: nearer first
    EXPECT_FALSE(order(float2(3.f, 1.f), float2(2.f, 1.f)));
    EXPECT_TRUE(order(float2(2.f, 1.f), float2(1.f, 2.f)));  // b counter-clockwise of a
}

TEST(float2, HullContains) {
    const float2 square[] = {{0.f, 0.f}, {1.f, 0.f}, {1.f, 1.f}, {0.f, 1.f}};
    struct Case {
        float2 point;
        bool inside;
    };
    const Case cases[] = {
        {{0.5f, 0.5f}, true},  {{0.f, 0.f}, true},   {{1.f, 1.f}, true},   {{1.f, 0.5f}, true},
        {{1.001f, 0.5f}, false}, {{0.5f, -0.001f}, false}, {{-2.f, 3.f}, false},
        {{-0.0005f, 1.0005f}, true},  // within 1e-3 of the corner tested first
    };
    for (const Case &c : cases) EXPECT_EQ(float2::ConvexHullContains(square, 4, c.point), c.inside) << c.point;
    EXPECT_TRUE(float2::ConvexHullContains(square, 0, float2(100.f, 100.f)));
}

// ---- Minimum-area rectangle ---------------------------------------------------------

struct Rect {
    float2 center, uDir, vDir;
    float minU, maxU, minV, maxV;
    float area;
};

Rect MinAreaRect(std::vector<float2> points) {
    Rect r;
    r.area = float2::MinAreaRectInPlace(points.data(), (int)points.size(), r.center, r.uDir, r.vDir, r.minU, r.maxU,
                                        r.minV, r.maxV);
    return r;
}

// Some side of the smallest rectangle lies along a hull edge, and every hull edge joins
// two input points: the minimum over all pairwise directions is the answer.
double BruteForceMinArea(const std::vector<float2> &points) {
    double best = INFINITY;
    for (size_t i = 0; i < points.size(); ++i) {
        for (size_t j = i + 1; j < points.size(); ++j) {
            double ux = (double)points[j].x - points[i].x, uy = (double)points[j].y - points[i].y;
            const double length = std::hypot(ux, uy);
            if (length < 1e-9) continue;
            ux /= length;
            uy /= length;
            double minU = INFINITY, maxU = -INFINITY, minV = INFINITY, maxV = -INFINITY;
            for (const float2 &p : points) {
                const double u = p.x * ux + p.y * uy, v = p.y * ux - p.x * uy;
                minU = std::min(minU, u);
                maxU = std::max(maxU, u);
                minV = std::min(minV, v);
                maxV = std::max(maxV, v);
            }
            best = std::min(best, (maxU - minU) * (maxV - minV));
        }
    }
    return best;
}

void ExpectEncloses(const Rect &r, const std::vector<float2> &points, float tolerance) {
    EXPECT_TRUE(r.vDir.IsNormalized(1e-4f)) << r.vDir;
    EXPECT_TRUE(r.uDir.BitEquals(float2(-r.vDir.y, r.vDir.x))) << r.uDir;
    EXPECT_NEAR(r.area, (r.maxU - r.minU) * (r.maxV - r.minV), 1e-4f * std::max(1.f, r.area));
    const float2 middle = r.vDir * ((r.minV + r.maxV) * 0.5f) + r.uDir * ((r.minU + r.maxU) * 0.5f);
    EXPECT_TRUE(r.center.Equals(middle, tolerance)) << r.center << middle;
    for (const float2 &p : points) {
        const float u = p.Dot(r.uDir), v = p.Dot(r.vDir);
        ASSERT_GE(u, r.minU - tolerance) << p;
        ASSERT_LE(u, r.maxU + tolerance) << p;
        ASSERT_GE(v, r.minV - tolerance) << p;
        ASSERT_LE(v, r.maxV + tolerance) << p;
    }
}

TEST(float2, MinAreaRectOfRotatedSquare) {
    const float c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    const float2 centre(3.f, -2.f);
    std::vector<float2> corners;
    for (const float2 &q : {float2(-1.f, -1.f), float2(1.f, -1.f), float2(1.f, 1.f), float2(-1.f, 1.f)})
        corners.push_back(centre + float2(c * q.x - s * q.y, s * q.x + c * q.y) * 1.5f);
    const Rect r = MinAreaRect(corners);
    EXPECT_NEAR(r.area, 9.f, 1e-4f);
    EXPECT_TRUE(r.center.Equals(centre, 1e-5f)) << r.center;
    const float2 edge = (corners[1] - corners[0]).Normalized();
    EXPECT_NEAR(std::fabs(r.uDir.Dot(edge)) + std::fabs(r.vDir.Dot(edge)), 1.f, 1e-5f);
    EXPECT_NEAR(std::fabs(r.uDir.PerpDot(edge)) + std::fabs(r.vDir.PerpDot(edge)), 1.f, 1e-5f);
    ExpectEncloses(r, corners, 1e-4f);
}

TEST(float2, MinAreaRectMatchesBruteForce) {
    math::LCG lcg = Seeded(31415);
    for (int shape = 0; shape < 4; ++shape) {
        for (int count : {3, 4, 7, 20, 60}) {
            const std::vector<float2> input = Cloud(lcg, count, shape);
            SCOPED_TRACE(testing::Message() << "shape " << shape << " count " << count);
            const Rect r = MinAreaRect(input);
            const double expected = BruteForceMinArea(input);
            EXPECT_NEAR(r.area, expected, 1e-3 * std::max(1.0, expected));
            ExpectEncloses(r, input, 1e-3f);
        }
    }
}

// Hulls with fewer than two distinct points left the calipers turning for ever.
TEST(float2, MinAreaRectOfCoincidentPointsIsThePoint) {
    const std::vector<std::vector<float2>> inputs = {
        {{2.f, -3.f}},
        {{2.f, -3.f}, {2.f, -3.f}},
        {{2.f, -3.f}, {2.f, -3.f}, {2.f, -3.f}},
        {{2.f, -3.f}, {2.0002f, -3.f}, {2.f, -2.9998f}},
        std::vector<float2>(100, float2(2.f, -3.f)),
    };
    for (const std::vector<float2> &input : inputs) {
        const Rect r = MinAreaRect(input);
        EXPECT_EQ(r.area, 0.f);
        EXPECT_TRUE(r.center.Equals(float2(2.f, -3.f), 1e-3f)) << r.center;
        EXPECT_TRUE(r.vDir.BitEquals(float2(0.f, -1.f))) << r.vDir;
        EXPECT_TRUE(r.uDir.BitEquals(float2(1.f, 0.f))) << r.uDir;
        EXPECT_EQ(r.minU, r.maxU);
        EXPECT_EQ(r.minV, r.maxV);
        ExpectEncloses(r, input, 1e-3f);
    }
}

TEST(float2, MinAreaRectOfSegmentsTerminates) {
    const std::vector<std::vector<float2>> inputs = {
        {{0.f, 0.f}, {3.f, 4.f}},
        {{-1.f, 2.f}, {5.f, 2.f}},
        {{0.f, 0.f}, {1.f, 1.f}, {2.f, 2.f}, {3.f, 3.f}},
        {{2.f, -3.f}, {2.f, -3.f}, {2.0015f, -3.f}},  // two points 1.5e-3 apart
    };
    for (const std::vector<float2> &input : inputs) {
        const Rect r = MinAreaRect(input);
        EXPECT_NEAR(r.area, 0.f, 1e-5f) << input[0];
        ExpectEncloses(r, input, 1e-4f);
    }
}

// Tiny clouds whose hull edges come close to the 1e-6 limit of a degenerate edge.
TEST(float2, MinAreaRectOfTinyCloudsTerminates) {
    math::LCG lcg = Seeded(1618);
    for (int i = 0; i < 2000; ++i) {
        std::vector<float2> input;
        const int count = lcg.Int(1, 8);
        for (int k = 0; k < count; ++k) input.push_back(float2::RandomBox(lcg, 0.f, 2e-3f));
        const Rect r = MinAreaRect(input);
        ASSERT_TRUE(std::isfinite(r.area));
        ASSERT_GE(r.area, 0.f);
    }
}

TEST(float2, MinAreaRectOfNullPointsWritesNothing) {
    float2 center(7.f, 7.f), u(7.f, 7.f), v(7.f, 7.f);
    float minU = 7.f, maxU = 7.f, minV = 7.f, maxV = 7.f;
    EXPECT_EQ(float2::MinAreaRectInPlace(nullptr, 5, center, u, v, minU, maxU, minV, maxV), 0.f);
    EXPECT_TRUE(center.BitEquals(float2(7.f, 7.f)) && u.BitEquals(center) && v.BitEquals(center));
    EXPECT_TRUE(minU == 7.f && maxU == 7.f && minV == 7.f && maxV == 7.f);
}

}  // namespace
