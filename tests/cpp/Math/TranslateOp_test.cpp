#include "Math/TranslateOp.h"

#include <gtest/gtest.h>

#include "Math/ScaleOp.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"
#include "Math/matrix_oracle.h"

using math::float3;
using math::float3x3;
using math::float3x4;
using math::float4;
using math::float4x4;
using math::ScaleOp;
using math::TranslateOp;
using oracle::Bits;

namespace {

template <typename Matrix, int Rows, int Cols>
void ExpectBitEqualElements(const Matrix &actual, const Matrix &expected) {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            EXPECT_EQ(Bits(actual.elements[r][c]), Bits(expected.elements[r][c])) << "element " << r << c;
}

void ExpectBitEqual(const float3x3 &a, const float3x3 &e) { ExpectBitEqualElements<float3x3, 3, 3>(a, e); }
void ExpectBitEqual(const float3x4 &a, const float3x4 &e) { ExpectBitEqualElements<float3x4, 3, 4>(a, e); }
void ExpectBitEqual(const float4x4 &a, const float4x4 &e) { ExpectBitEqualElements<float4x4, 4, 4>(a, e); }

// A general affine matrix whose entries all differ, so that a product touching a wrong
// entry shows.
struct ScaleOpAndTranslateOpProducts : testing::Test {
    oracle::Sampler sampler{61};
    const float3x3 linear = sampler.Matrix(-3.f, 3.f);
    const float3x4 affine = float3x4(linear, sampler.Vector(-9.f, 9.f));
    const float4x4 affine4 = float4x4(affine);
    const float3 offset = sampler.Vector(-5.f, 5.f);
    const float3 factors = sampler.Vector(-4.f, 4.f);
};

}  // namespace

TEST(TranslateOp, HoldsItsOffsetAndConvertsToMatrices) {
    const TranslateOp t(1, 2, 3);
    EXPECT_TRUE(t.Offset().Equals(1, 2, 3, 1e-9f));
    EXPECT_TRUE(TranslateOp(float3(4, 5, 6)).offset.Equals(4, 5, 6, 1e-9f));
    ExpectBitEqual(t.ToFloat3x4(), float3x4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3));
    ExpectBitEqual(t.ToFloat4x4(), float4x4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1));
    const float3x4 m34 = t;
    const float4x4 m44 = t;
    ExpectBitEqual(m34, t.ToFloat3x4());
    ExpectBitEqual(m44, t.ToFloat4x4());
    EXPECT_EQ(t.ToString(), "(1.000, 2.000, 3.000)");
}

TEST(ScaleOp, HoldsItsFactorsAndConvertsToMatrices) {
    EXPECT_TRUE(ScaleOp(float4(2, 3, 4, 5)).Offset().Equals(2, 3, 4, 1e-9f));
    const ScaleOp s(2, 3, 4);
    EXPECT_TRUE(ScaleOp(float3(2, 3, 4)).scale.Equals(s.scale, 1e-9f));
    ExpectBitEqual(s.ToFloat3x3(), float3x3(2, 0, 0, 0, 3, 0, 0, 0, 4));
    ExpectBitEqual(s.ToFloat3x4(), float3x4(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0));
    ExpectBitEqual(s.ToFloat4x4(), float4x4(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
    const float3x3 m33 = s;
    const float3x4 m34 = s;
    const float4x4 m44 = s;
    ExpectBitEqual(m33, s.ToFloat3x3());
    ExpectBitEqual(m34, s.ToFloat3x4());
    ExpectBitEqual(m44, s.ToFloat4x4());
    EXPECT_EQ(ScaleOp(-0.5f, 0, 1e3f).ToString(), "(-0.500, 0.000, 1000.000)");
}

TEST(TranslateOp, IdentityTimesTranslationIsTheTranslation) {
    ExpectBitEqual(float4x4::identity * TranslateOp(1, 2, 3), float4x4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1));
    const float3x4 r = float3x4::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.7f);
    const float3 t(1, -2, 3);
    EXPECT_TRUE((r * TranslateOp(t)).TranslatePart().Equals(r.TransformDir(t), 1e-6f));
    EXPECT_TRUE((TranslateOp(t) * r).TranslatePart().Equals(t, 1e-6f));
}

TEST_F(ScaleOpAndTranslateOpProducts, TranslateOpProductsChangeOnlyTheTranslation) {
    const TranslateOp t(offset);
    const float3x4 left = t * affine;
    const float3x4 right = affine * t;
    const float4x4 left4 = t * affine4;
    const float4x4 right4 = affine4 * t;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(Bits(left.elements[r][c]), Bits(affine.elements[r][c]));
            EXPECT_EQ(Bits(right.elements[r][c]), Bits(affine.elements[r][c]));
        }
    EXPECT_TRUE(left.TranslatePart().BitEquals(affine.TranslatePart() + offset));
    EXPECT_TRUE(right.TranslatePart().BitEquals(affine.TransformPos(offset)));
    ExpectBitEqual(left4, float4x4(left));
    ExpectBitEqual(right4, float4x4(right));
    // For affine matrices they are the full products.
    EXPECT_TRUE(left4.Equals(t.ToFloat4x4() * affine4, 1e-5f));
    EXPECT_TRUE(right4.Equals(affine4 * t.ToFloat4x4(), 1e-5f));
}

TEST_F(ScaleOpAndTranslateOpProducts, TranslateOpProductsCopyAProjectiveRowThree) {
    float4x4 projective = affine4;
    projective.SetRow(3, 1, 2, 3, 4);
    const TranslateOp t(offset);
    EXPECT_TRUE((t * projective).Row(3).BitEquals(float4(1, 2, 3, 4)));
    EXPECT_TRUE((projective * t).Row(3).BitEquals(float4(1, 2, 3, 4)));
    EXPECT_TRUE((projective * t).TranslatePart().BitEquals(projective.TransformPos(offset)));
}

TEST_F(ScaleOpAndTranslateOpProducts, ScaleOpProductsScaleRowsOnTheLeftAndColumnsOnTheRight) {
    const ScaleOp s(factors);
    const float f[3] = {factors.x, factors.y, factors.z};
    const float3x3 left33 = s * linear;
    const float3x3 right33 = linear * s;
    const float3x4 left34 = s * affine;
    const float3x4 right34 = affine * s;
    float4x4 projective = affine4;
    projective.SetRow(3, 1, 2, 3, 4);
    const float4x4 left44 = s * projective;
    const float4x4 right44 = projective * s;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const float m = projective.elements[r][c];
            const float rowScaled = r < 3 ? m * f[r] : m;
            const float colScaled = c < 3 ? m * f[c] : m;
            EXPECT_EQ(Bits(left44.elements[r][c]), Bits(rowScaled)) << r << c;
            EXPECT_EQ(Bits(right44.elements[r][c]), Bits(colScaled)) << r << c;
            if (r < 3) {
                EXPECT_EQ(Bits(left34.elements[r][c]), Bits(rowScaled)) << r << c;
                EXPECT_EQ(Bits(right34.elements[r][c]), Bits(colScaled)) << r << c;
            }
            if (r < 3 && c < 3) {
                EXPECT_EQ(Bits(left33.elements[r][c]), Bits(rowScaled)) << r << c;
                EXPECT_EQ(Bits(right33.elements[r][c]), Bits(colScaled)) << r << c;
            }
        }
    // They agree with the full products.
    EXPECT_TRUE((s * affine4).Equals(s.ToFloat4x4() * affine4, 1e-5f));
    EXPECT_TRUE((affine4 * s).Equals(affine4 * s.ToFloat4x4(), 1e-5f));
}

TEST(ScaleOp, ProductsWithTranslations) {
    const float3x4 st = ScaleOp(2, 3, 4) * TranslateOp(1, 1, 1);
    const float3x4 ts = TranslateOp(1, 1, 1) * ScaleOp(2, 3, 4);
    ExpectBitEqual(st, float3x4(2, 0, 0, 2, 0, 3, 0, 3, 0, 0, 4, 4));
    ExpectBitEqual(ts, float3x4(2, 0, 0, 1, 0, 3, 0, 1, 0, 0, 4, 1));
    EXPECT_TRUE(st.Equals(ScaleOp(2, 3, 4).ToFloat3x4() * TranslateOp(1, 1, 1).ToFloat3x4(), 1e-6f));
    EXPECT_TRUE(ts.Equals(TranslateOp(1, 1, 1).ToFloat3x4() * ScaleOp(2, 3, 4).ToFloat3x4(), 1e-6f));
}
