#include "Math/float4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "Algorithm/Random/LCG.h"
#include "Math/MathFunc.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float4x4.h"
#include "Math/matrix_oracle.h"

using math::float2;
using math::float3;
using math::float4;
using math::float4x4;
using oracle::Bits;

namespace {

const float kPi = 3.14159274f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

bool AllNaN(const float4 &v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z) && std::isnan(v.w); }

math::LCG SeededLCG(uint32_t seed) {
    math::LCG lcg;
    lcg.Seed(seed, 69621u, 0u, 2147483647u);
    return lcg;
}

}  // namespace

TEST(float4Construction, ComponentsInTheOrderTheArgumentsNameThem) {
    const float4 expected(1, 2, 3, 4);
    const float4 forms[] = {
        float4(float3(1, 2, 3), 4), float4(1, 2, float2(3, 4)), float4(1, float2(2, 3), 4),
        float4(1, float3(2, 3, 4)), float4(float2(1, 2), 3, 4), float4(float2(1, 2), float2(3, 4)),
    };
    for (const float4 &v : forms) EXPECT_TRUE(v.BitEquals(expected)) << v;
    const float data[4] = {1, 2, 3, 4};
    EXPECT_TRUE(float4(data).BitEquals(expected));
    EXPECT_TRUE(float4::FromScalar(2, 5).BitEquals(float4(2, 2, 2, 5)));
    float4 v;
    v.SetFromScalar(7);
    EXPECT_TRUE(v.BitEquals(float4(7, 7, 7, 7)));
    v.SetFromScalar(7, 1);
    EXPECT_TRUE(v.BitEquals(float4(7, 7, 7, 1)));
}

TEST(float4Construction, NullPointerGivesNaNAndConstantsHoldTheirPatterns) {
    EXPECT_TRUE(float4(static_cast<const float *>(nullptr)).BitEquals(float4::nan));
    for (float c : {float4::nan.x, float4::nan.y, float4::nan.z, float4::nan.w}) EXPECT_EQ(Bits(c), 0x7FC00000u);
    EXPECT_TRUE(float4::unitW.BitEquals(float4(0, 0, 0, 1)));
    EXPECT_TRUE(std::isinf(float4::inf.w));
    EXPECT_TRUE(float4::one.BitEquals(float4::FromScalar(1)));
}

TEST(float4Access, IndicesAndSwizzles) {
    float4 v(1, 2, 3, 4);
    EXPECT_EQ(v.At(3), 4.f);
    EXPECT_TRUE(std::isnan(static_cast<const float4 &>(v).At(4)));
    EXPECT_TRUE(std::isnan(static_cast<const float4 &>(v).At(-1)));
    EXPECT_EQ(&v.At(-1), &v.x);
    EXPECT_EQ(&v.At(3), &v.w);
    EXPECT_TRUE(v.xy().Equals(1, 2, 1e-9f));
    EXPECT_TRUE(v.xyz().Equals(1, 2, 3, 1e-9f));
    EXPECT_TRUE(v.Swizzled(3, 0, 2, 1).BitEquals(float4(4, 1, 3, 2)));
    EXPECT_TRUE(v.Swizzled(2, 3).Equals(3, 4, 1e-9f));
    EXPECT_TRUE(v.Swizzled(3, 3, 0).Equals(4, 4, 1, 1e-9f));
    const float4 bad = v.Swizzled(0, 4, 1, -1);
    EXPECT_EQ(bad.x, 1.f);
    EXPECT_TRUE(std::isnan(bad.y) && std::isnan(bad.w));
    EXPECT_TRUE(v.yyyy().BitEquals(float4(2, 2, 2, 2)));
    EXPECT_TRUE(v.wwww().BitEquals(float4(4, 4, 4, 4)));
    EXPECT_TRUE(v.zzzw().BitEquals(float4(3, 3, 3, 4)));
    EXPECT_TRUE(v.xxxw().BitEquals(float4(1, 1, 1, 4)));
}

TEST(float4Lengths, NormalizeTouchesOnlyTheNamedComponents) {
    float4 v(0, 0, 0, 1);
    EXPECT_EQ(v.Normalize3(), 0.f);
    EXPECT_TRUE(v.BitEquals(float4(1, 0, 0, 1)));
    v = float4(0, 0, 0, 1);
    EXPECT_EQ(v.Normalize4(), 1.f);
    EXPECT_TRUE(v.BitEquals(float4(0, 0, 0, 1)));
    v = float4(3, 0, 4, 9);
    EXPECT_EQ(v.Normalize3(), 5.f);
    EXPECT_TRUE(v.Equals(0.6f, 0, 0.8f, 9, 1e-6f));
    EXPECT_TRUE(float4(1, 2, 2, 4).Normalized4().Equals(0.2f, 0.4f, 0.4f, 0.8f, 1e-6f));
    EXPECT_TRUE(float4(0, 0, 0, 0).Normalized4().BitEquals(float4::unitX));
}

// float4 compares the squared length with 1e-6, where float3 compares the length: a
// vector of length 9e-4 falls back here but is normalised there.
TEST(float4Lengths, NormalizationThresholdIsOnTheSquaredLength) {
    const float4 shortVector(9e-4f, 0, 0, 0);
    EXPECT_EQ(shortVector.Normalized3().x, 1.f);
    float4 copy = float4(0, 9e-4f, 0, 0);
    EXPECT_EQ(copy.Normalize4(), 0.f);
    EXPECT_TRUE(copy.BitEquals(float4::unitX));
    copy = float4(0, 9e-4f, 0, 2);
    EXPECT_EQ(copy.Normalize3(), 0.f);
    EXPECT_TRUE(copy.BitEquals(float4(1, 0, 0, 2)));
    float3 v3(0, 9e-4f, 0);
    EXPECT_GT(v3.Normalize(), 0.f);
    const float4 longEnough(0, 1.1e-3f, 0, 0);
    EXPECT_TRUE(longEnough.Normalized4().Equals(0, 1, 0, 0, 1e-6f));
}

TEST(float4Lengths, NormalizeWAndScaling) {
    float4 v(2, 4, 6, 2);
    v.NormalizeW();
    EXPECT_TRUE(v.BitEquals(float4(1, 2, 3, 1)));
    v = float4(2, 4, 6, 0);
    v.NormalizeW();
    EXPECT_TRUE(v.BitEquals(float4(2, 4, 6, 0)));

    v = float4(3, 0, 4, 7);
    EXPECT_EQ(v.ScaleToLength3(10), 5.f);
    EXPECT_TRUE(v.Equals(6, 0, 8, 7, 1e-5f));
    float4 tiny(1e-4f, 0, 0, 7);
    EXPECT_EQ(tiny.ScaleToLength3(10), 0.f);
    EXPECT_TRUE(tiny.BitEquals(float4(1e-4f, 0, 0, 7)));
    EXPECT_TRUE(float4(0, 3, 0, 4).ScaledToLength(10).Equals(0, 6, 0, 8, 1e-5f));
    // Unguarded: the zero vector turns into NaNs.
    EXPECT_TRUE(AllNaN(float4::zero.ScaledToLength(1)));
    float4 s(1, 2, 3, 4);
    s.Scale3(2);
    EXPECT_TRUE(s.BitEquals(float4(2, 4, 6, 4)));
    EXPECT_EQ(float4(1, 2, 2, 4).Length4(), 5.f);
    EXPECT_EQ(float4(1, 2, 2, 4).Length3(), 3.f);
}

TEST(float4Predicates, PerpendicularAndNormalizedTests) {
    EXPECT_TRUE(float4(1, 0, 0, 1).IsPerpendicular3(float4(0, 1, 0, 1), 0.f));
    EXPECT_FALSE(float4(1, 0, 0, 1).IsPerpendicular(float4(0, 1, 0, 1), 0.f));
    EXPECT_FALSE(float4(1, 1, 0, 0).IsPerpendicular3(float4(1, 0, 0, 0), 0.25f));
    EXPECT_TRUE(float4(1, 1, 0, 0).IsPerpendicular3(float4(1, 0, 0, 0), 0.5f));
    EXPECT_TRUE(float4(0, 0, 0, 1).IsNormalized4(1e-6f));
    EXPECT_FALSE(float4(0, 0, 0, 1).IsNormalized3(1e-6f));
    EXPECT_TRUE(float4(0, 0, 0, 1).IsZero3(0.f));
    EXPECT_FALSE(float4(0, 0, 0, 1).IsZero4(0.5f));
    EXPECT_TRUE(float4(1, 2, 3, 0.999f).IsWZeroOrOne(1e-2f));
    EXPECT_FALSE(float4(1, 2, 3, 0.5f).IsWZeroOrOne(1e-2f));
    EXPECT_FALSE(float4(1, kNaN, 3, 1).IsFinite());
    EXPECT_TRUE(float4::AreCollinear(float4(0, 0, 0, 5), float4(1, 1, 1, -2), float4(2, 2, 2, 9), 1e-6f));
    EXPECT_TRUE(float4::AreOrthonormal(float4::unitX, float4::unitW, float4::unitZ, 1e-5f));
    EXPECT_FALSE(float4::AreOrthonormal(float4::unitX, float4(0, 2, 0, 0), 1e-5f));
    EXPECT_TRUE(float4::AreOrthogonal(float4::unitX, float4(0, 2, 0, 0), 1e-5f));
    EXPECT_FALSE(float4(1, 2, 3, 4).Equals(1, 2, 3, 4.5f, 0.5f));  // strictly within
    EXPECT_FALSE(float4(0.f, 0, 0, 0).BitEquals(float4(-0.f, 0, 0, 0)));
}

TEST(float4Reductions, ElementsAndTheirIndices) {
    EXPECT_EQ(float4(1, 2, 3, 4).MaxElement(), 4.f);
    EXPECT_EQ(float4(1, 2, 3, 4).MinElement(), 1.f);
    EXPECT_EQ(float4(1, 2, 3, 4).SumOfElements(), 10.f);
    EXPECT_EQ(float4(1, 2, 3, 4).ProductOfElements(), 24.f);
    EXPECT_EQ(float4(1, 2, 3, 4).AverageOfElements(), 2.5f);
    struct Case {
        float4 v;
        int minIndex;
        int maxIndex;
    };
    // Ties go to the higher index, unlike float3.
    const Case cases[] = {
        {float4(5, 5, 5, 5), 3, 3}, {float4(1, 1, 2, 2), 1, 3}, {float4(2, 1, 1, 2), 2, 3},
        {float4(4, 3, 2, 1), 3, 0}, {float4(1, 2, 3, 4), 0, 3}, {float4(3, 9, -1, 9), 2, 3},
        {float4(0, 7, 0, 7), 2, 3},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.v.MinElementIndex(), c.minIndex) << c.v;
        EXPECT_EQ(c.v.MaxElementIndex(), c.maxIndex) << c.v;
    }
    EXPECT_EQ(float3(5, 5, 5).MinElementIndex(), 0);
}

TEST(float4Products, DotsCrossesAndOuterProduct) {
    const float4 a(1, 2, 3, 4), b(5, 6, 7, 8);
    EXPECT_EQ(a.Dot3(b), 38.f);
    EXPECT_EQ(a.Dot3(float3(5, 6, 7)), 38.f);
    EXPECT_EQ(a.Dot4(b), 70.f);
    EXPECT_TRUE(a.Cross3(b).BitEquals(float4(float3(1, 2, 3).Cross(float3(5, 6, 7)), 0)));
    EXPECT_TRUE(a.Cross3(float3(5, 6, 7)).BitEquals(a.Cross3(b)));
    // Component order: (1e8 + 1) - 1e8 + 1 is 1 in float, not 2.
    EXPECT_EQ(float4(1e8f, 1, -1e8f, 1).Dot4(float4::one), 1.f);
    EXPECT_EQ(float4(1e8f, 1, -1e8f, 1).SumOfElements(), 1.f);

    const float4x4 outer = a.OuterProduct(b);
    const Eigen::Vector4f ea(1, 2, 3, 4), eb(5, 6, 7, 8);
    const Eigen::Matrix4f expected = ea * eb.transpose();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(outer.elements[r][c], expected(r, c));
}

TEST(float4ComponentWise, ArithmeticAndLimits) {
    const float4 a(1, -2, 4, -8);
    EXPECT_TRUE(a.Abs().BitEquals(float4(1, 2, 4, 8)));
    EXPECT_TRUE(a.Neg3().BitEquals(float4(-1, 2, -4, -8)));
    EXPECT_TRUE((-a).BitEquals(a.Neg4()));
    EXPECT_TRUE(a.Recip3().BitEquals(float4(1, -0.5f, 0.25f, -8)));
    EXPECT_TRUE(a.Recip4().BitEquals(float4(1, -0.5f, 0.25f, -0.125f)));
    EXPECT_TRUE(a.RecipFast4().BitEquals(a.Recip4()));
    EXPECT_TRUE(a.Min(0).BitEquals(float4(0, -2, 0, -8)));
    EXPECT_TRUE(a.Max(float4(0, 0, 5, 0)).BitEquals(float4(1, 0, 5, 0)));
    EXPECT_TRUE(a.Clamp(-1, 2).BitEquals(float4(1, -1, 2, -1)));
    EXPECT_TRUE(a.Clamp01().BitEquals(float4(1, 0, 1, 0)));
    EXPECT_TRUE(a.Clamp(float4(0, 0, 0, 0), float4(0.5f, 1, 1, 1)).BitEquals(float4(0.5f, 0, 1, 0)));
    // A NaN component takes the bound: Min(a, b) is b unless a <= b.
    EXPECT_EQ(float4(kNaN, 0, 0, 0).Min(3).x, 3.f);
    EXPECT_TRUE(a.Add(1).BitEquals(float4(2, -1, 5, -7)));
    EXPECT_TRUE(a.Sub(1).BitEquals(float4(0, -3, 3, -9)));
    EXPECT_TRUE(a.SubLeft(1).BitEquals(float4(0, 3, -3, 9)));
    EXPECT_TRUE(a.Mul(a).BitEquals(float4(1, 4, 16, 64)));
    EXPECT_TRUE(a.Div(a).BitEquals(float4::one));
    EXPECT_TRUE(a.DivLeft(8).BitEquals(float4(8, -4, 2, -1)));
    EXPECT_TRUE((a / 3.f).BitEquals(a * (1.f / 3.f)));
    EXPECT_TRUE((2.f * a).BitEquals(a * 2.f));
    float4 b = a;
    b += a;
    b -= float4::one;
    b *= 0.5f;
    b /= 2.f;
    EXPECT_TRUE(b.Equals(0.25f, -1.25f, 1.75f, -4.25f, 1e-6f));
    EXPECT_EQ(float4(1, 2, 3, 4).Distance3Sq(float4(2, 4, 5, 100)), 9.f);
    EXPECT_EQ(float4(1, 2, 3, 4).Distance4(float4(2, 3, 4, 5)), 2.f);
    EXPECT_EQ(float4(1, 2, 3, 4).Distance3(float4(1, 2, 7, 0)), 4.f);
    EXPECT_EQ(float4(1, 2, 3, 4).Distance4Sq(float4(1, 2, 3, 0)), 16.f);
}

TEST(float4Directions, PerpendicularsFallBackForParallelHints) {
    const float4 z(0, 0, 2, 0);
    EXPECT_TRUE(z.Perpendicular(float4::unitX, float4::unitW).Equals(0, 1, 0, 0, 1e-6f));
    EXPECT_TRUE(z.Perpendicular(float4::unitZ, float4::unitW).BitEquals(float4::unitW));
    EXPECT_TRUE(z.Perpendicular3(float3::unitX, float3::unitZ).Equals(0, 1, 0, 1e-6f));
    EXPECT_TRUE(z.Perpendicular3(float3::unitZ, float3(7, 7, 7)).Equals(7, 7, 7, 1e-9f));
    EXPECT_TRUE(z.AnotherPerpendicular3(float3::unitX, float3::unitZ).Equals(-1, 0, 0, 1e-6f));
    EXPECT_TRUE(z.AnotherPerpendicular(float4::unitX, float4::unitW).Equals(-1, 0, 0, 0, 1e-6f));
    // hint2 parallel to the vector too: the second cross product is zero.
    EXPECT_TRUE(z.AnotherPerpendicular(float4::unitZ, float4::unitZ).BitEquals(float4::unitX));

    oracle::Sampler sampler(67);
    for (int i = 0; i < 50; ++i) {
        const float4 v(sampler.UnitVector() * 3.f, 1.f);
        float4 b, c;
        v.PerpendicularBasis(b, c);
        EXPECT_TRUE(float4::AreOrthonormal(b, c, 1e-3f));
        EXPECT_NEAR(b.Dot3(v), 0.f, 1e-5f);
        EXPECT_NEAR(c.Dot3(v), 0.f, 1e-5f);
        EXPECT_EQ(b.w, 0.f);
        EXPECT_EQ(c.w, 0.f);
    }
    float4 b, c;
    float4(1, 1, 1, 0).PerpendicularBasis(b, c);
    EXPECT_TRUE(b.Equals(0, 0.70710677f, -0.70710677f, 0, 1e-6f));  // ties pick the X axis
    float4(2, 1, 1, 0).PerpendicularBasis(b, c);
    EXPECT_TRUE(b.Equals(-0.4472136f, 0, 0.8944272f, 0, 1e-6f));  // then the Y axis
}

TEST(float4Directions, ProjectionsAndReflectionsKeepWWhereTheyWorkOnThree) {
    const float4 v(1, 2, 3, 9);
    EXPECT_TRUE(v.ProjectTo3(float3(0, 0, 2)).Equals(0, 0, 3, 9, 1e-6f));
    EXPECT_TRUE(v.ProjectToNorm3(float3::unitY).Equals(0, 2, 0, 9, 1e-6f));
    EXPECT_TRUE(v.ProjectTo(float4(0, 0, 0, 3)).Equals(0, 0, 0, 9, 1e-6f));
    EXPECT_TRUE(v.ProjectToNorm(float4::unitW).Equals(0, 0, 0, 9, 1e-6f));
    EXPECT_TRUE(v.Reflect3(float3::unitZ).BitEquals(float4(-1, -2, 3, 9)));
    EXPECT_TRUE(v.Reflect(float4::unitW).BitEquals(float4(-1, -2, -3, 9)));
    // The factor of the normal is eta plus the root, without a cosine term, as for float3;
    // a ray beyond the critical angle reflects.
    const float4 down(0, 0, -1, 0);
    EXPECT_TRUE(down.Refract(float4::unitZ, 1.f, 1.f).Equals(0, 0, -3, 0, 1e-6f));
    const float4 grazing(0.8f, 0, -0.6f, 0);
    EXPECT_TRUE(grazing.Refract(float4::unitZ, 1.5f, 1.f).Equals(0.8f, 0, 0.6f, 0, 1e-6f));
}

TEST(float4Directions, AnglesAreClampedAgainstRounding) {
    EXPECT_NEAR(float4(1, 0, 0, 5).AngleBetween3(float4(0, 2, 0, -1)), kPi / 2, 1e-6f);
    EXPECT_NEAR(float4(0, 0, 0, 1).AngleBetween4(float4(0, 0, 0, -3)), kPi, 1e-6f);
    EXPECT_EQ(float4::unitX.AngleBetweenNorm4(-float4::unitX), kPi);
    // Normalised vectors whose dot product with themselves rounds above 1.
    oracle::Sampler sampler(71);
    int roundedAbove = 0;
    for (int i = 0; i < 2000; ++i) {
        const float4 v = float4(sampler.Vector(-1.f, 1.f), sampler.Uniform(-1.f, 1.f)).Normalized4();
        if (v.Dot4(v) > 1.f) {
            ++roundedAbove;
            EXPECT_EQ(v.AngleBetweenNorm4(v), 0.f);
        }
        EXPECT_FALSE(std::isnan(v.AngleBetweenNorm4(v)));
        EXPECT_FALSE(std::isnan(v.AngleBetweenNorm3(v)));
        EXPECT_FALSE(std::isnan(v.AngleBetween4(v)));
    }
    EXPECT_GT(roundedAbove, 0);  // the loop did meet the case
}

TEST(float4Directions, LerpAndOrthonormalize) {
    EXPECT_TRUE(float4::Lerp(float4(0, 0, 0, 0), float4(2, 4, 6, 8), 0.5f).BitEquals(float4(1, 2, 3, 4)));
    EXPECT_TRUE(float4(0, 0, 0, 0).Lerp(float4(2, 4, 6, 8), 1.f).BitEquals(float4(2, 4, 6, 8)));
    float4 a(2, 0, 0, 0), b(1, 1, 0, 1), c(1, 1, 1, 1);
    float4::Orthonormalize(a, b, c);
    EXPECT_TRUE(float4::AreOrthonormal(a, b, c, 1e-3f));
    EXPECT_TRUE(a.BitEquals(float4::unitX));
}

TEST(float4Spherical, FormsAgreeWithFloat3AndTheRadiusUsesW) {
    const float3 full = float3::FromSphericalCoordinates(0.3f, -0.7f, 2.5f);
    EXPECT_TRUE(float4::FromSphericalCoordinates(0.3f, -0.7f, 2.5f).BitEquals(float4(full, 0)));
    const float3 unit = float3::FromSphericalCoordinates(1.1f, 0.2f);
    float4 v;
    v.SetFromSphericalCoordinates(1.1f, 0.2f);
    EXPECT_TRUE(v.BitEquals(float4(unit, 0)));
    v.SetFromSphericalCoordinates(1.1f, 0.2f, 3.f);
    EXPECT_TRUE(v.BitEquals(float4::FromSphericalCoordinates(1.1f, 0.2f, 3.f)));

    EXPECT_TRUE(float4(0, 0, 2, 0).ToSphericalCoordinates().Equals(0, 0, 2, 1e-9f));
    const float3 point = float4(0, 0, 0, 1).ToSphericalCoordinates();
    EXPECT_EQ(Bits(point.x), Bits(atan2f(0.f, 0.f)));
    EXPECT_TRUE(point.Equals(0, 0, 1, 1e-9f));
    EXPECT_TRUE(float4(full, 0).ToSphericalCoordinates().Equals(0.3f, -0.7f, 2.5f, 1e-5f));
    // Lengths up to 1e-3 count as zero, a coarser cut-off than float3's 1e-5.
    EXPECT_TRUE(float4(0, 0, 9e-4f, 0).ToSphericalCoordinates().BitEquals(float3::zero));
    EXPECT_TRUE(float3(0, 0, 9e-4f).ToSphericalCoordinates().Equals(0, 0, 9e-4f, 1e-9f));
    EXPECT_TRUE(float4(0, 0, 2e-3f, 0).ToSphericalCoordinates().Equals(0, 0, 2e-3f, 1e-9f));
    EXPECT_TRUE(float4(1, 0, 0, 0).ToSphericalCoordinatesNormalized().Equals(kPi / 2, 0, 1e-6f));
}

TEST(float4Random, BoxesGivePointsAndGeneralDrawsInOrder) {
    math::LCG lcg = SeededLCG(99);
    for (int i = 0; i < 100; ++i) {
        const float4 p = float4::RandomBox(lcg, float4(-1, 2, 3, 7), float4(1, 4, 5, -7));
        EXPECT_EQ(p.w, 1.f);
        EXPECT_TRUE(p.xyz().Equals(p.xyz().Clamp(float3(-1, 2, 3), float3(1, 4, 5)), 1e-9f)) << p;
    }
    math::LCG a = SeededLCG(5), b = SeededLCG(5);
    EXPECT_TRUE(float4::RandomBox(a, -1, 1, 2, 4, 3, 5).BitEquals(float4::RandomBox(b, float4(-1, 2, 3, 0), float4(1, 4, 5, 0))));
    EXPECT_TRUE(float4::RandomBox(a, -2, 2).BitEquals(float4::RandomBox(b, float4::FromScalar(-2), float4::FromScalar(2))));

    math::LCG general = SeededLCG(7), copy = SeededLCG(7);
    const float4 g = float4::RandomGeneral(general, -3, 3);
    const float x = copy.Float(-3, 3);
    const float y = copy.Float(-3, 3);
    const float z = copy.Float(-3, 3);
    const float w = copy.Float(-3, 3);
    EXPECT_TRUE(g.BitEquals(float4(x, y, z, w)));
}

TEST(float4Text, ThreeDecimalsAndNaNWithoutSign) {
    EXPECT_EQ(float4(1, -2.5f, 0.0004f, 1e6f).ToString(), "(1.000, -2.500, 0.000, 1000000.000)");
    EXPECT_EQ(float4(-kNaN, 0, 0, 0).ToString(), "(nan, 0.000, 0.000, 0.000)");
    std::ostringstream out;
    out << float4(1, 2, 3, 4);
    EXPECT_EQ(out.str(), "(1.000, 2.000, 3.000, 4.000)");
}

TEST(float4SinCos, LeadingComponentsOnlyAndTheRestUntouched) {
    const float4 angles(0.1f, 0.7f, -2.f, 3.f);
    for (int count = 2; count <= 4; ++count) {
        float4 s = float4::FromScalar(42), c = float4::FromScalar(-42);
        if (count == 2) math::SinCos2(angles, s, c);
        if (count == 3) math::SinCos3(angles, s, c);
        if (count == 4) math::SinCos4(angles, s, c);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Bits(s.At(i)), Bits(i < count ? sinf(angles.At(i)) : 42.f)) << count << i;
            EXPECT_EQ(Bits(c.At(i)), Bits(i < count ? cosf(angles.At(i)) : -42.f)) << count << i;
        }
    }
}
