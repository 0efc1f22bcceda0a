#include "Math/float3x4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "Algorithm/Random/LCG.h"
#include "Geometry/Plane.h"
#include "Math/Quat.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float4.h"
#include "Math/matrix_oracle.h"
#include "log_capture.h"

using math::float3;
using math::float3x3;
using math::float3x4;
using math::Quat;
using oracle::Bits;

namespace {

const float kPi = 3.14159265f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// The affine matrix with its implicit last row, as Eigen sees it.
Eigen::Matrix4d ToEigen4(const float3x4 &m) {
    Eigen::Matrix4d e = Eigen::Matrix4d::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m.elements[r][c];
    return e;
}

double MaxAbsDiff(const float3x4 &m, const Eigen::Matrix4d &e) {
    return (ToEigen4(m) - e).topRows(3).cwiseAbs().maxCoeff();
}

double MaxAbsDiff(const float3 &v, const Eigen::Vector3d &e) {
    return (Eigen::Vector3d(v.x, v.y, v.z) - e).cwiseAbs().maxCoeff();
}

Eigen::Vector4d Point4(const float3 &p) { return Eigen::Vector4d(p.x, p.y, p.z, 1.0); }

float3x4 Translation(float x, float y, float z) { return float3x4(float3x3::identity, float3(x, y, z)); }

// A well-conditioned random affine matrix.
float3x4 RandomAffine(oracle::Sampler &sampler) {
    const float3x3 linear = sampler.Matrix(-1.f, 1.f) + float3x3(3, 0, 0, 0, -3, 0, 0, 0, 3);
    return float3x4(linear, sampler.Vector(-10.f, 10.f));
}

void ExpectBitEqual(const float3x4 &actual, const float3x4 &expected) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(Bits(actual.elements[r][c]), Bits(expected.elements[r][c])) << "element " << r << c;
}

bool AllNaN(const float3 &v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z); }

}  // namespace

TEST(float3x4Constants, HoldTheirValuesAndQuietNaNPattern) {
    ExpectBitEqual(float3x4::identity, float3x4(float3x3::identity));
    ExpectBitEqual(float3x4::zero, float3x4(float3x3::zero));
    for (const auto &row : float3x4::nan.elements)
        for (float e : row) EXPECT_EQ(Bits(e), 0x7FC00000u);
}

TEST(float3x4Construction, ColumnsRowsAndParts) {
    const float3x4 m(float3(1, 2, 3), float3(4, 5, 6), float3(7, 8, 9), float3(10, 11, 12));
    ExpectBitEqual(m, float3x4(1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12));
    EXPECT_TRUE(m.TranslatePart().Equals(10, 11, 12, 1e-9f));
    EXPECT_TRUE(m.Col(3).Equals(10, 11, 12, 1e-9f));
    EXPECT_TRUE(m.Row3(1).Equals(2, 5, 8, 1e-9f));
    EXPECT_TRUE(m.Diagonal().Equals(1, 5, 9, 1e-9f));
    EXPECT_TRUE(m.WorldY().Equals(4, 5, 6, 1e-9f));
    EXPECT_FLOAT_EQ(m.Trace(), 15.f);
    const float3x3 part = m.Float3x3Part();
    EXPECT_TRUE(part.Equals(float3x3(1, 4, 7, 2, 5, 8, 3, 6, 9), 1e-9f));

    float3x4 p = float3x4::zero;
    const float values[12] = {1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12};
    p.Set(values);
    ExpectBitEqual(p, m);
    p.Set(static_cast<const float *>(nullptr));  // a null pointer writes nothing
    ExpectBitEqual(p, m);

    p.SetCol(3, float3(-1, -2, -3));  // column 3 is the translation
    EXPECT_TRUE(p.TranslatePart().Equals(-1, -2, -3, 1e-9f));
    p.Set3x3Part(float3x3::identity);
    EXPECT_TRUE(p.Equals(Translation(-1, -2, -3), 1e-9f));

    float3x4 q = m;
    q = float3x3(2, 0, 0, 0, 2, 0, 0, 0, 2);  // the translation becomes zero
    ExpectBitEqual(q, float3x4(2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0));
}

// The row view covers the translation and writes through to the matrix; a bad row index
// gives row 0.
TEST(float3x4Access, RowIsTheWholeRowInPlace) {
    float3x4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
    EXPECT_TRUE(m.Row(1).BitEquals(math::float4(5, 6, 7, 8)));
    EXPECT_EQ(static_cast<const void *>(&m.Row(2)), static_cast<const void *>(m.elements[2]));
    EXPECT_EQ(&m.Row(3), &m.Row(0));
    EXPECT_EQ(&m.Row(-1), &m.Row(0));
    m.Row(2).w = -1.f;
    EXPECT_TRUE(m.TranslatePart().Equals(4, 8, -1, 1e-9f));
    const float3x4 &view = m;
    EXPECT_TRUE(view.Row(0).BitEquals(math::float4(1, 2, 3, 4)));
}

// Indices are compared as unsigned; out of range falls back to row 0, m00 or NaN, or
// writes nothing. ScaleRow alone scales row 0 for a bad row.
TEST(float3x4IndexRules, OutOfRangeIndicesFallBack) {
    const float3x4 base(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
    float3x4 m = base;
    EXPECT_TRUE(AllNaN(m.Col(4)));
    EXPECT_TRUE(AllNaN(m.Col(-1)));
    EXPECT_TRUE(std::isnan(base.At(3, 0)));
    EXPECT_TRUE(std::isnan(base.At(0, 4)));
    EXPECT_EQ(&m.At(0, 4), &m.elements[0][0]);
    EXPECT_EQ(&m.At(-1, 2), &m.elements[0][0]);
    EXPECT_EQ(&m.Row3(3), &m.Row3(0));
    EXPECT_FLOAT_EQ(base[7][1], 2.f);  // row view of row 0
    EXPECT_FLOAT_EQ(base[2][3], 12.f);

    struct Case {
        const char *name;
        void (*apply)(float3x4 &);
    };
    const Case unchanged[] = {
        {"Set(3, 0)", [](float3x4 &x) { x.Set(3, 0, 99.f); }},
        {"Set(0, 4)", [](float3x4 &x) { x.Set(0, 4, 99.f); }},
        {"SetRow(-1)", [](float3x4 &x) { x.SetRow(-1, 9, 9, 9, 9); }},
        {"SetCol(4)", [](float3x4 &x) { x.SetCol(4, float3(9, 9, 9)); }},
        {"ScaleCol(4)", [](float3x4 &x) { x.ScaleCol(4, 2.f); }},
        {"SwapRows(0, 3)", [](float3x4 &x) { x.SwapRows(0, 3); }},
        {"SwapColumns(-1, 1)", [](float3x4 &x) { x.SwapColumns(-1, 1); }},
        {"Orthonormalize(0, 0, 1)", [](float3x4 &x) { x.Orthonormalize(0, 0, 1); }},
    };
    for (const Case &c : unchanged) {
        SCOPED_TRACE(c.name);
        m = base;
        c.apply(m);
        ExpectBitEqual(m, base);
    }

    m = base;
    m.ScaleRow(3, 2.f);
    ExpectBitEqual(m, float3x4(2, 4, 6, 8, 5, 6, 7, 8, 9, 10, 11, 12));
    m = base;
    m.ScaleRow3(-1, 2.f);
    ExpectBitEqual(m, float3x4(2, 4, 6, 4, 5, 6, 7, 8, 9, 10, 11, 12));
    m = base;
    m.SwapColumns(0, 3);
    ExpectBitEqual(m, float3x4(4, 2, 3, 1, 8, 6, 7, 5, 12, 10, 11, 9));

    // The row view logs a bad column and stays inside the matrix.
    float value = 0.f;
    const std::string log = StderrOf([&] { value = base[2][4]; });
    EXPECT_EQ(FirstLine(log), "Error: col < Cols in Math/MatrixProxy:36");
    EXPECT_TRUE(std::isnan(value));
    const std::string writeLog = StderrOf([&] { m[2][4] = 42.f; });
    EXPECT_EQ(FirstLine(writeLog), "Error: col < Cols in Math/MatrixProxy:43");
    EXPECT_FLOAT_EQ(m.elements[2][0], 42.f);
}

TEST(float3x4Transforms, PointsTakeTheTranslationAndDirectionsDoNot) {
    const float3x4 t = Translation(10, 20, 30);
    EXPECT_TRUE(t.TransformPos(float3(1, 2, 3)).Equals(11, 22, 33, 1e-6f));
    EXPECT_TRUE(t.MulPos(float3(1, 2, 3)).Equals(11, 22, 33, 1e-6f));
    EXPECT_TRUE(t.TransformDir(float3(1, 2, 3)).Equals(1, 2, 3, 1e-6f));
    EXPECT_TRUE(t.MulDir(float3(1, 2, 3)).Equals(1, 2, 3, 1e-6f));

    float3 packed[2] = {float3(1, 2, 3), float3(4, 5, 6)};
    t.BatchTransformDir(packed, 2);
    EXPECT_TRUE(packed[0].Equals(1, 2, 3, 1e-9f) && packed[1].Equals(4, 5, 6, 1e-9f));
    t.BatchTransformDir(packed, 2, 12);
    EXPECT_TRUE(packed[0].Equals(1, 2, 3, 1e-9f) && packed[1].Equals(4, 5, 6, 1e-9f));

    // Points inside larger records, one float of payload after each.
    struct Record {
        float3 p;
        float tag;
    };
    Record records[3] = {{float3(1, 0, 0), 7.f}, {float3(0, 1, 0), 8.f}, {float3(0, 0, 1), 9.f}};
    t.BatchTransformPos(&records[0].p, 3, sizeof(Record));
    EXPECT_TRUE(records[1].p.Equals(10, 21, 30, 1e-6f));
    EXPECT_FLOAT_EQ(records[2].tag, 9.f);
    t.BatchTransformPos(nullptr, 3);
    t.BatchTransformPos(&records[0].p, 0, sizeof(Record));
    EXPECT_TRUE(records[0].p.Equals(11, 20, 30, 1e-6f));

    oracle::Sampler sampler(11);
    for (int i = 0; i < 50; ++i) {
        const float3x4 m = RandomAffine(sampler);
        const float3 p = sampler.Vector(-5.f, 5.f);
        const Eigen::Vector4d expected = ToEigen4(m) * Point4(p);
        EXPECT_LT(MaxAbsDiff(m.TransformPos(p), expected.head<3>()), 1e-4);
        const Eigen::Vector3d dir = ToEigen4(m).topLeftCorner<3, 3>() * Eigen::Vector3d(p.x, p.y, p.z);
        EXPECT_LT(MaxAbsDiff(m.TransformDir(p), dir), 1e-4);
    }
}

TEST(float3x4Products, MatchEigenAndSumInTheGivenOrder) {
    oracle::Sampler sampler(5);
    for (int i = 0; i < 50; ++i) {
        const float3x4 a = RandomAffine(sampler);
        const float3x4 b = RandomAffine(sampler);
        const float3x3 l = sampler.Matrix(-2.f, 2.f);
        const Quat q = sampler.UnitQuat();
        EXPECT_LT(MaxAbsDiff(a * b, ToEigen4(a) * ToEigen4(b)), 1e-3);
        EXPECT_LT(MaxAbsDiff(a * l, ToEigen4(a) * ToEigen4(float3x4(l))), 1e-3);
        EXPECT_LT(MaxAbsDiff(l * a, ToEigen4(float3x4(l)) * ToEigen4(a)), 1e-3);
        EXPECT_LT(MaxAbsDiff(a * q, ToEigen4(a) * ToEigen4(float3x4(q))), 1e-3);
        EXPECT_LT(MaxAbsDiff(q * a, ToEigen4(float3x4(q)) * ToEigen4(a)), 1e-3);
        ExpectBitEqual(a.Mul(b), a * b);
        // Translation: ((a_r0 b_03 + a_r1 b_13) + a_r2 b_23) + a_r3.
        const auto &x = a.elements;
        const auto &y = b.elements;
        for (int r = 0; r < 3; ++r) {
            const float expected = ((x[r][0] * y[0][3] + x[r][1] * y[1][3]) + x[r][2] * y[2][3]) + x[r][3];
            EXPECT_EQ(Bits((a * b).elements[r][3]), Bits(expected));
        }
    }
}

TEST(float3x4Inverse, MatchesEigenForInvertibleMatrices) {
    oracle::Sampler sampler(7);
    for (int i = 0; i < 100; ++i) {
        const float3x4 m = RandomAffine(sampler);
        float3x4 inverse = m;
        ASSERT_TRUE(inverse.Inverse(1e-6f));
        EXPECT_LT(MaxAbsDiff(inverse, ToEigen4(m).inverse()), 1e-4);
        ExpectBitEqual(m.Inverted(), inverse);
        EXPECT_NEAR(m.Determinant(), ToEigen4(m).determinant(), 1e-3 * std::fabs(ToEigen4(m).determinant()));
    }
    EXPECT_TRUE(Translation(1, 2, 3).Inverted().Equals(Translation(-1, -2, -3), 1e-6f));
}

// A tiny first pivot is exchanged for the largest entry of its column (without the exchange the
// error is about 1e-2).
TEST(float3x4Inverse, IllConditionedFirstPivotIsExchanged) {
    const float3x4 m(3e-6f, 1, 2, 5, 1, 2, 3, -1, 2, 1, 4, 2);
    float3x4 inverse = m;
    ASSERT_TRUE(inverse.Inverse(1e-6f));
    const Eigen::Matrix4d expected = ToEigen4(m).inverse();
    EXPECT_LT(MaxAbsDiff(inverse, expected), 1e-6 * expected.cwiseAbs().maxCoeff());
}

// A singular matrix, or one with a NaN, fails the inversion and is left as it was.
TEST(float3x4Inverse, FailureLeavesTheMatrixUnchanged) {
    const float3x4 cases[] = {
        float3x4::zero,
        float3x4(2, 0, 0, 1, 0, 0, 0, 2, 0, 0, 1, 3),
        float3x4(1, 2, 3, 4, 2, 4, 6, 5, 0, 1, 1, 6),  // row 1 twice row 0 in the 3x3 part
        float3x4(1, 0, 0, 0, 0, kNaN, 0, 0, 0, 0, 1, 0),
        float3x4::nan,
    };
    for (const float3x4 &m : cases) {
        SCOPED_TRACE(m.ToString());
        float3x4 copy = m;
        EXPECT_FALSE(copy.Inverse(1e-6f));
        ExpectBitEqual(copy, m);
        ExpectBitEqual(m.Inverted(), m);
    }
    // A singular matrix is then only transposed, its translation cleared.
    float3x4 singular = cases[2];
    EXPECT_FALSE(singular.InverseTranspose());
    ExpectBitEqual(singular, float3x4(1, 2, 0, 0, 2, 4, 1, 0, 3, 6, 1, 0));
    ExpectBitEqual(cases[2].InverseTransposed(), float3x4(1, 2, 0, 0, 2, 4, 1, 0, 3, 6, 1, 0));
}

TEST(float3x4Inverse, InverseTransposeOfAnInvertibleMatrix) {
    oracle::Sampler sampler(8);
    const float3x4 m = RandomAffine(sampler);
    float3x4 it = m;
    EXPECT_TRUE(it.InverseTranspose());
    const Eigen::Matrix3d expected = ToEigen4(m).topLeftCorner<3, 3>().inverse().transpose();
    Eigen::Matrix4d e = Eigen::Matrix4d::Identity();
    e.topLeftCorner<3, 3>() = expected;
    EXPECT_LT(MaxAbsDiff(it, e), 1e-4);
}

TEST(float3x4Inverse, StructuredInversesMatchEigen) {
    oracle::Sampler sampler(9);
    for (int i = 0; i < 30; ++i) {
        const Quat q = sampler.UnitQuat();
        const float3 t = sampler.Vector(-10.f, 10.f);
        const float3x4 rigid(q, t);
        float3x4 m = rigid;
        m.InverseOrthonormal();
        EXPECT_LT(MaxAbsDiff(m, ToEigen4(rigid).inverse()), 1e-4);

        const float3x4 uniform = float3x4::FromTRS(t, q, float3(2.5f));
        m = uniform;
        EXPECT_TRUE(m.InverseOrthogonalUniformScale());
        EXPECT_LT(MaxAbsDiff(m, ToEigen4(uniform).inverse()), 1e-4);

        const float3x4 colOrthogonal = float3x4::FromTRS(t, q, float3(0.5f, 2.f, 3.f));
        m = colOrthogonal;
        EXPECT_TRUE(m.InverseColOrthogonal());
        EXPECT_LT(MaxAbsDiff(m, ToEigen4(colOrthogonal).inverse()), 1e-4);
    }

    float3x4 quarter(float3x3::RotateZ(kPi / 2), float3(1, 0, 0));
    quarter.InverseOrthonormal();
    EXPECT_TRUE(quarter.Equals(float3x4(float3x3::RotateZ(-kPi / 2), float3(0, 1, 0)), 1e-6f));
}

// The structured inverses fail on a zero column and leave the matrix as it was; the
// uniform-scale one measures before it transposes anything.
TEST(float3x4Inverse, StructuredFailuresLeaveTheMatrixUnchanged) {
    const float3x4 zeroFirstColumn(0, 1, 2, 5, 0, 3, 4, 6, 0, 7, 8, 9);
    for (const float3x4 &m : {float3x4::zero, zeroFirstColumn}) {
        float3x4 copy = m;
        EXPECT_FALSE(copy.InverseOrthogonalUniformScale());
        ExpectBitEqual(copy, m);
        EXPECT_FALSE(copy.InverseColOrthogonal());
        ExpectBitEqual(copy, m);
    }
    float3x4 tinyColumn(1e-5f, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3);
    const float3x4 before = tinyColumn;
    EXPECT_FALSE(tinyColumn.InverseColOrthogonal());  // squared length below 1e-8
    ExpectBitEqual(tinyColumn, before);
}

TEST(float3x4Builders, RotationsAndScalesAboutAPointKeepThePoint) {
    const float3 p(3, -2, 5);
    const float3x4 rotations[] = {
        float3x4::RotateX(0.7f, p),
        float3x4::RotateY(-1.1f, p),
        float3x4::RotateZ(2.3f, p),
        float3x4::RotateAxisAngle(float3(0, 0.6f, 0.8f), 1.f, p),
        float3x4::RotateFromTo(float3(1, 0, 0), float3(0, 1, 0), p),
        float3x4::FromQuat(Quat::RotateY(0.4f), p),
    };
    for (const float3x4 &m : rotations) {
        SCOPED_TRACE(m.ToString());
        EXPECT_TRUE(m.TransformPos(p).Equals(p, 1e-5f));
        EXPECT_TRUE(m.IsOrthonormal(1e-5f));
    }
    // The same rotation as Eigen's axis-angle, conjugated by the translation.
    const float3 axis(0, 0.6f, 0.8f);
    const Eigen::Affine3d e = Eigen::Translation3d(p.x, p.y, p.z) *
                              Eigen::AngleAxisd(1.0, Eigen::Vector3d(axis.x, axis.y, axis.z)) *
                              Eigen::Translation3d(-p.x, -p.y, -p.z);
    EXPECT_LT(MaxAbsDiff(rotations[3], e.matrix()), 1e-5);
    const float3x3 r = float3x3::RotateZ(2.3f);
    for (int row = 0; row < 3; ++row)  // ((x_r0 (-p_x) + x_r1 (-p_y)) + x_r2 (-p_z)) + p_r
        EXPECT_EQ(Bits(rotations[2].elements[row][3]),
                  Bits(((r.elements[row][0] * -p.x + r.elements[row][1] * -p.y) + r.elements[row][2] * -p.z) +
                       p.At(row)));

    const float3x4 scale = float3x4::Scale(float3(2, 2, 2), float3(1, 1, 1));
    EXPECT_TRUE(scale.TranslatePart().Equals(-1, -1, -1, 1e-9f));
    EXPECT_TRUE(scale.Float3x3Part().Equals(float3x3(2, 0, 0, 0, 2, 0, 0, 0, 2), 1e-9f));
    EXPECT_TRUE(float3x4::UniformScale(3.f, p).TransformPos(p).Equals(p, 1e-6f));
    EXPECT_TRUE(float3x4::ScaleAlongAxis(float3(0, 1, 0), 3.f).Equals(float3x4(0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0),
                                                                    1e-9f));
    EXPECT_TRUE(float3x4::ScaleAlongAxis(float3(1, 2, 3), 2.f, p).TransformPos(p).Equals(p, 1e-5f));
    EXPECT_TRUE(float3x4::RotateAxisAngle(float3(0, 0, 1), kPi / 2).Equals(float3x4::RotateZ(kPi / 2), 1e-6f));
}

TEST(float3x4Builders, TranslationRotationScaleMatchEigen) {
    oracle::Sampler sampler(21);
    for (int i = 0; i < 20; ++i) {
        const float3 t = sampler.Vector(-10.f, 10.f);
        const Quat q = sampler.UnitQuat();
        const float3 s = sampler.Vector(0.5f, 3.f);
        Eigen::Affine3d e = Eigen::Translation3d(t.x, t.y, t.z) * oracle::ToEigen(q).cast<double>() *
                            Eigen::Scaling(double(s.x), double(s.y), double(s.z));
        EXPECT_LT(MaxAbsDiff(float3x4::FromTRS(t, q, s), e.matrix()), 1e-5);
        EXPECT_LT(MaxAbsDiff(float3x4::FromTRS(t, float3x3(q), s), e.matrix()), 1e-5);
        // A 3x4 rotation keeps its own translation, which t is added to.
        const float3x4 r(q, float3(1, 2, 3));
        e = Eigen::Translation3d(t.x, t.y, t.z) * Eigen::Affine3d(ToEigen4(r)) *
            Eigen::Scaling(double(s.x), double(s.y), double(s.z));
        EXPECT_LT(MaxAbsDiff(float3x4::FromTRS(t, r, s), e.matrix()), 1e-5);

        float3 translate, scale;
        float3x3 rotate;
        float3x4::FromTRS(t, q, s).Decompose(translate, rotate, scale);
        EXPECT_TRUE(translate.Equals(t, 1e-5f));
        EXPECT_TRUE(scale.Equals(s, 1e-5f));
        EXPECT_TRUE(rotate.Equals(float3x3(q), 1e-5f));
        float3x4 rotate4;
        float3x4::FromTRS(t, q, s).Decompose(translate, rotate4, scale);
        EXPECT_TRUE(rotate4.Equals(float3x4(q), 1e-5f));
    }
}

TEST(float3x4Builders, MirrorAndProjectionFollowThePlane) {
    const math::Plane plane(float3(0, 0.6f, 0.8f), 2.f);
    const float3x4 mirror = float3x4::Mirror(plane);
    const float3x4 projection = float3x4::OrthographicProjection(plane);
    oracle::Sampler sampler(3);
    for (int i = 0; i < 20; ++i) {
        const float3 p = sampler.Vector(-10.f, 10.f);
        const float distance = plane.normal.Dot(p) - plane.d;
        EXPECT_TRUE(mirror.TransformPos(p).Equals(p - plane.normal * (2.f * distance), 1e-4f));
        EXPECT_TRUE(projection.TransformPos(p).Equals(p - plane.normal * distance, 1e-4f));
    }
    EXPECT_TRUE(float3x4::OrthographicProjectionXZ().TransformPos(float3(1, 2, 3)).Equals(1, 0, 3, 1e-9f));
}

TEST(float3x4Builders, LookAtPutsTheEyeInTheTranslation) {
    const float3 eye(1, 2, 3), target(4, 6, 3);
    const float3x4 m = float3x4::LookAt(eye, target, float3(0, 0, 1), float3(0, 1, 0), float3(0, 0, 1));
    EXPECT_TRUE(m.TranslatePart().Equals(eye, 1e-9f));
    EXPECT_TRUE(m.TransformDir(float3(0, 0, 1)).Equals(0.6f, 0.8f, 0.f, 1e-5f));
    EXPECT_TRUE(float3x4::LookAt(float3(0, 0, 1), float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1))
                    .Equals(float3x4(0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0), 1e-6f));
}

TEST(float3x4Builders, RandomGeneralDrawsTwelveElementsRowByRow) {
    math::LCG lcg;
    lcg.Seed(12345, 69621, 0, 2147483647);
    math::LCG replay = lcg;
    const float3x4 m = float3x4::RandomGeneral(lcg, -2.f, 5.f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(Bits(m.elements[r][c]), Bits(replay.Float(-2.f, 5.f)));
    EXPECT_TRUE(float3x4::RandomRotation(lcg).IsOrthonormal(1e-4f));
}

TEST(float3x4Queries, OrthogonalityLooksAtTheLinearPartOnly) {
    // A large translation must not loosen the row test.
    EXPECT_FALSE(float3x4(1, 0.1f, 0, 1000, 0, 1, 0, 1000, 0, 0, 1, 0).IsRowOrthogonal(1e-8f));
    const float3x4 rotated(float3x3::RotateX(0.3f), float3(1000, -1000, 500));
    EXPECT_TRUE(rotated.IsRowOrthogonal(1e-8f));
    EXPECT_TRUE(rotated.IsColOrthogonal(1e-8f));
    EXPECT_TRUE(rotated.IsOrthonormal(1e-5f));
    // Orthogonal columns and unit rows, but column 0 has length 0.707.
    EXPECT_FALSE(float3x4(0.5f, -0.8660254f, 0, 1, 0.5f, 0.8660254f, 0, 2, 0, 0, 1, 3).IsOrthonormal(1e-5f));

    EXPECT_FALSE(Translation(1, 0, 0).IsIdentity(1e-5f));
    EXPECT_TRUE(float3x4::identity.IsIdentity(1e-5f));
    EXPECT_TRUE(float3x4(1, 0, 0, 0, 2, 1, 0, 0, 3, 4, 1, 0).IsLowerTriangular(1e-6f));
    EXPECT_FALSE(float3x4(1, 0, 0, 5, 2, 1, 0, 0, 3, 4, 1, 0).IsLowerTriangular(1e-6f));  // m03
    EXPECT_TRUE(float3x4(1, 2, 3, 9, 0, 1, 4, 9, 0, 0, 1, 9).IsUpperTriangular(1e-6f));
    EXPECT_TRUE(float3x4(0, 1, 2, 7, -1, 0, 3, 7, -2, -3, 0, 7).IsSkewSymmetric(1e-5f));
    EXPECT_TRUE(float3x4(1, 2, 3, 7, 2, 1, 4, 8, 3, 4, 1, 9).IsSymmetric(1e-5f));
    EXPECT_TRUE(float3x4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0).HasNegativeScale());
    EXPECT_TRUE(float3x4::FromTRS(float3(5, 5, 5), Quat::RotateX(1.f), float3(2.f)).HasUniformScale(1e-5f));
    EXPECT_FALSE(float3x4::FromTRS(float3(5, 5, 5), Quat::RotateX(1.f), float3(2.f)).HasUnitaryScale(1e-5f));
    EXPECT_FALSE(float3x4::zero.IsInvertible(1e-6f));
    EXPECT_FALSE(float3x4(1, 0, 0, kNaN, 0, 1, 0, 0, 0, 0, 1, 0).IsFinite());
}

TEST(float3x4Structure, ScaleRemovalAndOrthonormalisation) {
    float3x4 m(float3(2, 0, 0), float3(0, 3, 0), float3(0, 0, 4), float3(7, 8, 9));
    EXPECT_TRUE(m.ExtractScale().Equals(2, 3, 4, 1e-6f));
    m.RemoveScale();
    ExpectBitEqual(m, float3x4(1, 0, 0, 7, 0, 1, 0, 8, 0, 0, 1, 9));

    float3x4 skewed(1, 1, 0, 5, 0, 1, 0, 5, 0, 0, 2, 5);
    skewed.Orthonormalize(0, 1, 2);
    EXPECT_TRUE(skewed.IsOrthonormal(1e-5f));
    EXPECT_TRUE(skewed.TranslatePart().Equals(5, 5, 5, 1e-9f));

    float3x4 t = float3x4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12).Transposed3();
    ExpectBitEqual(t, float3x4(1, 5, 9, 4, 2, 6, 10, 8, 3, 7, 11, 12));
}

TEST(float3x4Arithmetic, ElementwiseOverAllTwelve) {
    const float3x4 a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
    ExpectBitEqual(a + a, a * 2.f);
    ExpectBitEqual(a - a, float3x4::zero);
    ExpectBitEqual(a / 4.f, a * 0.25f);
    ExpectBitEqual(-a, a * -1.f);
    float3x4 b = a;
    b *= 3.f;
    b -= a;
    b /= 2.f;
    b += a;
    ExpectBitEqual(b, a * 2.f);
}

TEST(float3x4Text, TwoDecimalForms) {
    EXPECT_EQ(float3x4::identity.ToString2(),
              "float3x4(X:(1.00,0.00,0.00) Y:(0.00,1.00,0.00) Z:(0.00,0.00,1.00), Pos:(0.00,0.00,0.00))");
    EXPECT_EQ(Translation(1, 2, 3).ToString(),
              "(1.00, 0.00, 0.00, 1.00) (0.00, 1.00, 0.00, 2.00) (0.00, 0.00, 1.00, 3.00)");
    std::ostringstream out;
    out << float3x4::nan;
    EXPECT_EQ(out.str(), "(nan, nan, nan, nan) (nan, nan, nan, nan) (nan, nan, nan, nan)");
    // Magnitudes whose text passes 256 characters are written whole.
    const float h = -3e38f;
    const std::string huge = float3x4(h, h, h, h, h, h, h, h, h, h, h, h).ToString2();
    EXPECT_EQ(huge.size(), 40u + 12 * 43);  // 40 fixed characters, 43 per element
    EXPECT_EQ(huge.compare(0, 13, "float3x4(X:(-"), 0);
    EXPECT_EQ(huge.substr(huge.size() - 5), ".00))");
}
