#include "Math/float3.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/float2.h"
#include "Math/float3x3.h"

using math::float2;
using math::float3;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

uint32_t bits(float f) {
    uint32_t b;
    memcpy(&b, &f, sizeof b);
    return b;
}

::testing::AssertionResult SameBits(const float3 &actual, const float3 &expected) {
    if (actual.BitEquals(expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "actual (" << actual.x << ", " << actual.y << ", "
                                         << actual.z << ") expected (" << expected.x << ", "
                                         << expected.y << ", " << expected.z << ")";
}

}  // namespace

TEST(Float3Layout, IsThreeContiguousFloats) {
    static_assert(sizeof(float3) == 12 && alignof(float3) == alignof(float), "packed layout");
    static_assert(std::is_trivially_copyable<float3>::value, "plain value type");
}

TEST(Float3Constants, NanIsTheQuietBitPatternInEveryComponent) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bits(float3::nan.At(i)), 0x7FC00000u);
    EXPECT_EQ(float3::inf.x, std::numeric_limits<float>::infinity());
    EXPECT_TRUE(SameBits(float3::unitY, float3(0, 1, 0)));
}

TEST(Float3Construction, NullPointerGivesNanAndPointerIsCopied) {
    EXPECT_TRUE(SameBits(float3(static_cast<const float *>(nullptr)), float3::nan));
    const float data[3] = {1, 2, 3};
    EXPECT_TRUE(SameBits(float3(data), float3(1, 2, 3)));
}

TEST(Float3Construction, FromAPlanarVectorAndZ) {
    EXPECT_TRUE(SameBits(float3(float2(1.5f, -2), 3), float3(1.5f, -2, 3)));
}

TEST(Float3Access, PairsAndTwoIndexSwizzles) {
    const float3 v(1, 2, 3);
    struct Case { float2 pair; int i, j; };
    const Case cases[] = {{v.xx(), 0, 0}, {v.xy(), 0, 1}, {v.xz(), 0, 2}, {v.yx(), 1, 0}, {v.yy(), 1, 1},
                          {v.yz(), 1, 2}, {v.zx(), 2, 0}, {v.zy(), 2, 1}, {v.zz(), 2, 2}};
    for (const Case &c : cases) {
        EXPECT_EQ(c.pair.x, v.At(c.i)) << c.i << c.j;
        EXPECT_EQ(c.pair.y, v.At(c.j)) << c.i << c.j;
        const float2 s = v.Swizzled(c.i, c.j);
        EXPECT_TRUE(s.x == c.pair.x && s.y == c.pair.y) << c.i << c.j;
    }
    const float2 bad = v.Swizzled(3, -1);
    EXPECT_TRUE(std::isnan(bad.x) && std::isnan(bad.y));
    EXPECT_EQ(v.Swizzled(2, 7).x, 3);
}

TEST(Float3Access, OutOfRangeIndicesGiveNanOrX) {
    const float3 v(1, 2, 3);
    struct Case { int index; float expected; };
    const Case cases[] = {{0, 1}, {1, 2}, {2, 3}};
    for (const Case &c : cases) EXPECT_EQ(v.At(c.index), c.expected) << c.index;
    for (int index : {3, -1, INT32_MIN, INT32_MAX}) EXPECT_TRUE(std::isnan(v.At(index))) << index;

    float3 w(1, 2, 3);
    w.At(3) = 7;
    w.At(-1) += 1;
    EXPECT_TRUE(SameBits(w, float3(8, 2, 3)));
    EXPECT_TRUE(SameBits(v.Swizzled(2, 0, 1), float3(3, 1, 2)));
    const float3 s = v.Swizzled(1, 5, -1);
    EXPECT_EQ(s.x, 2);
    EXPECT_TRUE(std::isnan(s.y) && std::isnan(s.z));
}

// Each case differs in the last bit when summed or divided in another order than the fixed one.
TEST(Float3Order, SumsAccumulateInComponentOrder) {
    const float3 v(4096, 1, 1);  // (2^24 + 1) + 1 rounds down twice; 2^24 + (1 + 1) does not
    EXPECT_EQ(v.LengthSq(), 16777216.f);
    EXPECT_EQ(v.Dot(v), 16777216.f);
    EXPECT_EQ(float3(1, 1e8f, -1e8f).Dot(float3::one), 0.f);  // 1 + (1e8 - 1e8) would be 1
    EXPECT_EQ(float3(4096, 0, 0).DistanceSq(float3(0, -1, 1)), 16777216.f);
    EXPECT_EQ(float3(16777216.f, 1, 1).SumOfElements(), 16777216.f);
}

TEST(Float3Order, DivisionByScalarMultipliesByReciprocal) {
    const float reciprocal = 3.f * (1.f / 7.f);
    ASSERT_NE(reciprocal, 3.f / 7.f);
    EXPECT_TRUE(SameBits(float3(3, 3, 3) / 7.f, float3(reciprocal)));
    float3 v(3, 3, 3);
    v /= 7.f;
    EXPECT_TRUE(SameBits(v, float3(reciprocal)));
}

TEST(Float3Order, AverageIsATrueDivisionByThree) {
    // Unlike the scalar division rule: (1 + 2 + 2) / 3 and 5 * (1 / 3) differ in the last bit.
    ASSERT_NE(5.f / 3.f, 5.f * (1.f / 3.f));
    EXPECT_EQ(float3(1, 2, 2).AverageOfElements(), 5.f / 3.f);
}

TEST(Float3Order, LerpWeighsBothEnds) {
    const float t = 0.4f;
    const float expected = (1.f - t) * 1.f + t * 2.f;
    ASSERT_NE(expected, 1.f + (2.f - 1.f) * t);
    EXPECT_TRUE(SameBits(float3(1, 1, 1).Lerp(float3(2, 2, 2), t), float3(expected)));
    EXPECT_TRUE(SameBits(float3::Lerp(float3(1, 1, 1), float3(2, 2, 2), t), float3(expected)));
}

TEST(Float3Order, ProjectToScalesByReciprocalOfSquaredLength) {
    const float3 v(3.40934944f, 8.27923965f, -1.65390396f);
    const float3 d(-0.855903625f, 1.17379665f, -1.38602829f);
    const float dot = (v.x * d.x + v.y * d.y) + v.z * d.z;
    const float inverseSq = 1.f / ((d.x * d.x + d.y * d.y) + d.z * d.z);
    const float3 expected(d.x * dot * inverseSq, d.y * dot * inverseSq, d.z * dot * inverseSq);
    ASSERT_NE(expected.x, d.x * (dot * inverseSq));
    EXPECT_TRUE(SameBits(v.ProjectTo(d), expected));
}

TEST(Float3Products, CrossAndTripleProductMatchEigen) {
    const float3 cases[][2] = {{{1, 2, 3}, {-4, 5, 0.5f}}, {{1e8f, 1, -3}, {7, 1e-3f, 2}}};
    for (const auto &c : cases) {
        const Eigen::Vector3f a(c[0].x, c[0].y, c[0].z), b(c[1].x, c[1].y, c[1].z);
        const Eigen::Vector3f e = a.cross(b);
        EXPECT_TRUE(SameBits(c[0].Cross(c[1]), float3(e.x(), e.y(), e.z())));
        EXPECT_FLOAT_EQ(float3::ScalarTripleProduct(c[0], c[1], float3(1, -1, 2)),
                        e.dot(Eigen::Vector3f(1, -1, 2)));
    }
}

TEST(Float3Products, OuterProductMatchesEigen) {
    const float3 a(1.5f, -2.25f, 0.1f), b(-3.f, 0.7f, 11.f);
    const Eigen::Matrix3f expected = Eigen::Vector3f(a.x, a.y, a.z) * Eigen::RowVector3f(b.x, b.y, b.z);
    const math::float3x3 m = a.OuterProduct(b);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(bits(m.At(r, c)), bits(expected(r, c))) << r << c;
}

TEST(Float3Length, NormalizeComparesTheLengthWith1em6) {
    ASSERT_EQ(float3(1e-6f, 0, 0).Length(), 1e-6f);
    struct Case { float3 v; float3 expected; float returned; };
    const Case cases[] = {
        {{0, 0, 0}, {1, 0, 0}, 0},
        {{1e-7f, 0, 0}, {1, 0, 0}, 0},
        {{1e-6f, 0, 0}, {1, 0, 0}, 0},  // the length equals the threshold: not above it
        {{2e-6f, 0, 0}, {1, 0, 0}, 2e-6f},
        {{0, kNaN, 0}, {1, 0, 0}, 0},
        {{3, 4, 0}, {3 * (1.f / 5), 4 * (1.f / 5), 0}, 5},
    };
    for (const Case &c : cases) {
        float3 v = c.v;
        EXPECT_EQ(v.Normalize(), c.returned) << c.v;
        EXPECT_TRUE(SameBits(v, c.expected)) << c.v;
        EXPECT_TRUE(SameBits(c.v.Normalized(), c.expected)) << c.v;
    }
}

TEST(Float3Length, ScaleToLengthComparesTheSquaredLengthWith1em6) {
    float3 v(0.0005f, 0, 0);  // squared length 2.5e-7: too short to scale, long enough to normalise
    EXPECT_EQ(v.ScaleToLength(5), 0.f);
    EXPECT_TRUE(SameBits(v, float3(5, 0, 0)));
    EXPECT_EQ(float3(0.0005f, 0, 0).Normalize(), 0.0005f);

    float3 w(3, 0, 4);
    EXPECT_EQ(w.ScaleToLength(10), 5.f);
    EXPECT_TRUE(SameBits(w, float3(6, 0, 8)));
    EXPECT_TRUE(SameBits(float3(3, 0, 4).ScaledToLength(10), float3(6, 0, 8)));

    float3 n(kNaN, 0, 0);  // a NaN squared length is scaled, not replaced
    EXPECT_TRUE(std::isnan(n.ScaleToLength(1)));
    EXPECT_TRUE(std::isnan(n.x));
}

TEST(Float3Length, ClampLength) {
    struct Case { float3 v; float3 expected; };
    const Case cases[] = {{{3, 0, 0}, {2, 0, 0}}, {{0.5f, 0, 0}, {1, 0, 0}}, {{0, 1.5f, 0}, {0, 1.5f, 0}}};
    for (const Case &c : cases) EXPECT_TRUE(SameBits(c.v.ClampLength(1, 2), c.expected)) << c.v;
    EXPECT_TRUE(std::isnan(float3::zero.ClampLength(1, 2).x));  // 0 / 0: the invalid marker
    EXPECT_TRUE(SameBits(float3(0, 0, -4).ClampLength(2), float3(0, 0, -2)));
    EXPECT_TRUE(SameBits(float3(0, 0, 1).ClampLength(2), float3(0, 0, 1)));
}

// The "Sq" tolerances bound squared quantities and accept equality.
TEST(Float3Predicates, SquaredTolerancesAcceptTheirBound) {
    EXPECT_TRUE(float3::unitX.IsNormalized(0));
    const float3 slightlyLong(1.00001f, 0, 0);  // squared excess ~2e-5, length excess ~1e-5
    EXPECT_FALSE(slightlyLong.IsNormalized(1.5e-5f));
    const float excess = fabsf(slightlyLong.LengthSq() - 1.f);
    EXPECT_TRUE(slightlyLong.IsNormalized(excess));
    EXPECT_FALSE(slightlyLong.IsNormalized(std::nextafter(excess, 0.f)));

    const float3 small(0, 3e-4f, 0);
    EXPECT_TRUE(small.IsZero(small.LengthSq()));
    EXPECT_FALSE(small.IsZero(std::nextafter(small.LengthSq(), 0.f)));

    // Dot² = 1 against (|a|² eps) |b|² = (1 * 0.5) * 2.
    EXPECT_TRUE(float3(1, 0, 0).IsPerpendicular(float3(1, 1, 0), 0.5f));
    EXPECT_FALSE(float3(1, 0, 0).IsPerpendicular(float3(1, 1, 0), std::nextafter(0.5f, 0.f)));
    EXPECT_TRUE(float3::unitX.IsPerpendicular(float3::unitZ, 0));

    // |(1, 1, 0) x (2, 0, 0)|² = 4.
    EXPECT_TRUE(float3::AreCollinear(float3::zero, float3(1, 1, 0), float3(2, 0, 0), 4));
    EXPECT_FALSE(float3::AreCollinear(float3::zero, float3(1, 1, 0), float3(2, 0, 0), 3.99f));
}

TEST(Float3Predicates, OrthogonalAndOrthonormalSets) {
    EXPECT_TRUE(float3::AreOrthonormal(float3::unitX, float3::unitY, float3::unitZ, 1e-4f));
    EXPECT_TRUE(float3::AreOrthogonal(float3(2, 0, 0), float3(0, 3, 0), float3(0, 0, 4), 1e-4f));
    EXPECT_FALSE(float3::AreOrthonormal(float3(2, 0, 0), float3(0, 3, 0), float3(0, 0, 4), 1e-4f));
    EXPECT_FALSE(float3::AreOrthogonal(float3::unitX, float3::unitY, float3(1, 0, 1), 1e-4f));
    EXPECT_TRUE(float3::AreOrthonormal(float3::unitX, float3::unitZ, 1e-4f));
    EXPECT_FALSE(float3::AreOrthonormal(float3::unitX, float3(0, 0, 1.1f), 1e-2f));
}

TEST(Float3Predicates, EqualsIsStrictAndBitEqualsComparesPatterns) {
    const float3 v(1, 2, 3);
    EXPECT_FALSE(v.Equals(v, 0));
    EXPECT_TRUE(v.Equals(1, 2, 3.4f, 0.5f));
    EXPECT_FALSE(v.Equals(float3(1, 2, 3.5f), 0.5f));  // a difference of exactly epsilon
    EXPECT_FALSE(float3(0.f, 0, 0).BitEquals(float3(-0.f, 0, 0)));
    EXPECT_TRUE(float3::nan.BitEquals(float3::nan));
}

TEST(Float3Predicates, IsFinite) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float3 v; bool finite; };
    const Case cases[] = {{{1, -2, 3e38f}, true}, {{0, 0, inf}, false}, {{-inf, 0, 0}, false}, {{0, kNaN, 0}, false}};
    for (const Case &c : cases) EXPECT_EQ(c.v.IsFinite(), c.finite) << c.v;
}

TEST(Float3Components, MinMaxFollowTheFirstOperandRule) {
    const float3 v(kNaN, 5, -1);
    EXPECT_TRUE(SameBits(v.Min(2), float3(2, 2, -1)));  // a NaN first operand yields the second
    EXPECT_TRUE(SameBits(v.Max(float3(0, 6, -2)), float3(0, 6, -1)));
    EXPECT_TRUE(SameBits(float3(0, 5, -1).Clamp(2, 1), float3(2)));  // floor wins over ceil
    EXPECT_TRUE(SameBits(float3(-1, 0.5f, 3).Clamp01(), float3(0, 0.5f, 1)));
    EXPECT_TRUE(SameBits(float3(5, 5, 5).Clamp(float3(0, 6, 0), float3(4, 9, 9)), float3(4, 6, 5)));
    EXPECT_EQ(float3(3, -2, 1).MinElement(), -2);
    EXPECT_EQ(float3(3, -2, 7).MaxElement(), 7);
}

TEST(Float3Components, ElementIndexTiesGoLow) {
    struct Case { float3 v; int minIndex; int maxIndex; };
    const Case cases[] = {{{1, 1, 1}, 0, 0}, {{2, 1, 1}, 1, 0}, {{0, 2, 2}, 0, 1}, {{3, 3, 0}, 2, 0}};
    for (const Case &c : cases) {
        EXPECT_EQ(c.v.MinElementIndex(), c.minIndex) << c.v;
        EXPECT_EQ(c.v.MaxElementIndex(), c.maxIndex) << c.v;
    }
}

TEST(Float3Components, ScalarOperandSides) {
    const float3 v(1, 2, 4);
    EXPECT_TRUE(SameBits(v.SubLeft(8), float3(7, 6, 4)));
    EXPECT_TRUE(SameBits(v.DivLeft(8), float3(8, 4, 2)));
    EXPECT_TRUE(SameBits(v.Div(float3(2, 2, 2)), float3(0.5f, 1, 2)));
    EXPECT_TRUE(SameBits(2.f * v, v * 2.f));
    EXPECT_TRUE(SameBits(v.Recip(), float3(1, 0.5f, 0.25f)));
}

TEST(Float3Directions, AngleBetweenClampsToZeroAndPi) {
    EXPECT_EQ(float3(1, 0, 0).AngleBetween(float3(-2, 0, 0)), 3.14159274f);
    EXPECT_EQ(float3(1, 0, 0).AngleBetween(float3(3, 0, 0)), 0.f);
    EXPECT_TRUE(std::isnan(float3::zero.AngleBetween(float3::unitX)));
    const float3 u = float3(1, 1, 4).Normalized();
    ASSERT_GT(u.Dot(u), 1.f);  // rounding pushes the cosine above 1
    EXPECT_EQ(u.AngleBetweenNorm(u), 0.f);
    EXPECT_EQ(u.AngleBetweenNorm(-u), 3.14159274f);
}

TEST(Float3Directions, PerpendicularFallsBackToHint2) {
    EXPECT_TRUE(SameBits(float3::unitY.Perpendicular(float3::unitY, float3::unitZ), float3::unitZ));
    EXPECT_TRUE(SameBits(float3::unitX.Perpendicular(float3::unitY, float3::unitZ), float3::unitZ));
    EXPECT_TRUE(SameBits(float3(0, 0, 2).Perpendicular(float3::unitX, float3::unitX), float3::unitY));
    const float3 p = float3::unitZ.AnotherPerpendicular(float3::unitX, float3::unitZ);
    EXPECT_TRUE(SameBits(p, float3(-1, 0, 0)));  // z x y
}

TEST(Float3Directions, PerpendicularBasisCrossesWithTheSmallestAxis) {
    struct Case { float3 v; float3 axis; };
    const Case cases[] = {{{1, 1, 1}, float3::unitX}, {{2, 1, 1}, float3::unitY},
                          {{1, 2, 0.5f}, float3::unitZ}, {{-3, 2, -2}, float3::unitY}};
    for (const Case &c : cases) {
        float3 b, d;
        c.v.PerpendicularBasis(b, d);
        EXPECT_TRUE(SameBits(b, c.v.Cross(c.axis).Normalized())) << c.v;
        EXPECT_TRUE(SameBits(d, c.v.Cross(b).Normalized())) << c.v;
    }
}

TEST(Float3Directions, DecomposeAndReflect) {
    float3 parallel, perpendicular;
    const float3 v(3, 4, 5);
    v.Decompose(float3::unitZ, parallel, perpendicular);
    EXPECT_TRUE(SameBits(parallel, float3(0, 0, 5)));
    EXPECT_TRUE(SameBits(perpendicular, float3(3, 4, 0)));
    EXPECT_TRUE(SameBits(v.Reflect(float3::unitZ), float3(-3, -4, 5)));
    EXPECT_TRUE(SameBits(v.ProjectToNorm(float3::unitY), float3(0, 4, 0)));
}

// The refracted direction keeps its specified form eta v - (eta + sqrt(1 - k)) n, which has no
// cosine term: straight through at eta 1 it comes out three times as long.
TEST(Float3Directions, RefractKeepsItsFormAndReflectsBeyondTheCriticalAngle) {
    EXPECT_TRUE(SameBits(float3(0, -1, 0).Refract(float3::unitY, 1, 1), float3(0, -3, 0)));
    const float3 grazing(1, -0.1f, 0);  // k = (1 - 0.01) * 4 > 1
    EXPECT_TRUE(SameBits(grazing.Refract(float3::unitY, 2, 1), float3(1, 0.1f, 0)));
}

TEST(Float3Bases, OrthogonalizeUsesTheUpdatedSecondVector) {
    float3 b(1, 1, 0), c(1, 1, 1);
    float3::Orthogonalize(float3(2, 0, 0), b, c);
    EXPECT_TRUE(SameBits(b, float3(0, 1, 0)));
    EXPECT_TRUE(SameBits(c, float3(0, 0, 1)));

    float3 b2(0, 2, 0), c2(0, 3, 3);  // a too short: only c is projected, against b
    float3::Orthogonalize(float3(1e-4f, 0, 0), b2, c2);
    EXPECT_TRUE(SameBits(b2, float3(0, 2, 0)));
    EXPECT_TRUE(SameBits(c2, float3(0, 0, 3)));
}

TEST(Float3Bases, OrthonormalizeGivesAnOrthonormalSet) {
    float3 a(3, 1, 0), b(1, 2, 0.5f), c(-1, 1, 4);
    float3::Orthonormalize(a, b, c);
    EXPECT_TRUE(float3::AreOrthonormal(a, b, c, 1e-3f));
    EXPECT_TRUE(SameBits(a, float3(3, 1, 0).Normalized()));

    float3 zeroA(0, 0, 0), d(0, 5, 0);  // the zero vector falls back to the X axis
    float3::Orthonormalize(zeroA, d);
    EXPECT_TRUE(SameBits(zeroA, float3::unitX));
    EXPECT_TRUE(SameBits(d, float3::unitY));
}

// Each shape answers for the point; the point (3, 0, -5) lies off every shape's nearest feature
// in a different way (behind the ray's origin, beyond the segment's end, off the triangle's corner).
TEST(Float3Distance, EachShapeGivesItsOwnDistance) {
    const float3 p(3, 0, -5);
    const float3 up(0, 0, 1);
    struct Case { const char *shape; float distance, ownDistance, expected; };
    const math::Line line(float3::zero, up);
    const math::Ray ray(float3::zero, up);
    const math::LineSegment segment(float3(0, 0, -10), float3(0, 0, -8));
    const math::Plane plane(up, 2.f);
    const math::Triangle triangle(float3::zero, float3::unitX, float3::unitY);
    const math::AABB aabb(float3(-1, -1, -4), float3(1, 1, -1));
    const math::OBB obb(float3(0, 0, -5), float3(1, 1, 1), float3::unitX, float3::unitY, float3::unitZ);
    const Case cases[] = {
        {"line", p.Distance(line), line.Distance(p), 3.f},
        {"ray", p.Distance(ray), ray.Distance(p), sqrtf(34.f)},
        {"segment", p.Distance(segment), segment.Distance(p), sqrtf(18.f)},
        {"plane", p.Distance(plane), plane.Distance(p), 7.f},
        {"triangle", p.Distance(triangle), triangle.Distance(p), sqrtf(29.f)},
        {"aabb", p.Distance(aabb), aabb.Distance(p), sqrtf(5.f)},
        {"obb", p.Distance(obb), obb.Distance(p), 2.f},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(bits(c.distance), bits(c.ownDistance)) << c.shape;
        EXPECT_NEAR(c.distance, c.expected, 1e-5f) << c.shape;
    }
}

// Every form draws AABB::RandomPointInside's three values from the box its bounds describe.
TEST(Float3Random, BoxFormsDrawFromTheSameBox) {
    math::LCG lcg;
    lcg.Seed(12345, 69621, 0, 2147483647);
    for (int n = 0; n < 200; ++n) {
        math::LCG a = lcg, b = lcg, c = lcg, d = lcg;
        const float3 lo(1, -3, 5), hi(2, 4, 5.5f);
        const float3 expected = math::AABB(lo, hi).RandomPointInside(lcg);
        EXPECT_TRUE(SameBits(float3::RandomBox(a, lo.x, hi.x, lo.y, hi.y, lo.z, hi.z), expected));
        EXPECT_TRUE(SameBits(float3::RandomBox(b, lo, hi), expected));
        EXPECT_TRUE(math::AABB(lo, hi).Contains(expected));
        const float3 cube = float3::RandomBox(c, -2.f, 3.f);
        EXPECT_TRUE(SameBits(cube, math::AABB(float3(-2.f), float3(3.f)).RandomPointInside(d)));
        for (math::LCG *used : {&a, &b, &c}) EXPECT_EQ(used->lastNumber, lcg.lastNumber);
    }
}

TEST(Float3Spherical, NormalizedFormGivesAzimuthAndInclination) {
    struct Case { float azimuth, inclination; };
    const Case cases[] = {{0.7f, -0.3f}, {-2.5f, 1.2f}, {3.1f, 0.f}, {0.f, -1.5f}};
    for (const Case &c : cases) {
        const float3 unit = float3::FromSphericalCoordinates(c.azimuth, c.inclination);
        const float2 angles = unit.ToSphericalCoordinatesNormalized();
        EXPECT_EQ(bits(angles.x), bits(atan2f(unit.x, unit.z)));
        EXPECT_EQ(bits(angles.y), bits(asinf(-unit.y)));
        EXPECT_NEAR(angles.x, c.azimuth, 1e-5f);
        EXPECT_NEAR(angles.y, c.inclination, 1e-5f);
    }
}

TEST(Float3Spherical, FormsAndRoundTrip) {
    const float azimuth = 0.7f, inclination = -0.3f, radius = 2.5f;
    const float3 unit = float3::FromSphericalCoordinates(azimuth, inclination);
    EXPECT_TRUE(SameBits(unit, float3(sinf(azimuth) * cosf(inclination), -sinf(inclination),
                                      cosf(inclination) * cosf(azimuth))));
    const float3 scaled = float3::FromSphericalCoordinates(azimuth, inclination, radius);
    EXPECT_TRUE(SameBits(scaled, float3((sinf(azimuth) * cosf(inclination)) * radius,
                                        -(sinf(inclination) * radius),
                                        (cosf(inclination) * cosf(azimuth)) * radius)));
    EXPECT_TRUE(scaled.ToSphericalCoordinates().Equals(azimuth, inclination, radius, 1e-5f));
    EXPECT_TRUE(SameBits(float3(0, 0, 1e-5f).ToSphericalCoordinates(), float3::zero));
    EXPECT_TRUE(SameBits(float3(kNaN, 0, 0).ToSphericalCoordinates(), float3::zero));
}

TEST(Float3Text, ThreeDecimalsAndUnsignedNan) {
    struct Case { float3 v; const char *text; };
    const Case cases[] = {
        {{1, 2, 3}, "(1.000, 2.000, 3.000)"},
        {{-0.0005f, 1234.5678f, 0.f}, "(-0.001, 1234.568, 0.000)"},
        {{kNaN, -kNaN, std::numeric_limits<float>::infinity()}, "(nan, nan, inf)"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.v.ToString(), c.text);
        std::ostringstream out;
        out << c.v;
        EXPECT_EQ(out.str(), c.text);
    }
    EXPECT_EQ(float3(-3.4e38f).ToString().size(), 3 * 44 + 6);  // the widest form fits the buffer
}
