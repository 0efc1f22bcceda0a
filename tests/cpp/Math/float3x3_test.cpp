#include "Math/float3x3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "Algorithm/Random/LCG.h"
#include "Geometry/Plane.h"
#include "Math/Quat.h"
#include "Math/float3.h"
#include "Math/float3x4.h"
#include "Math/matrix_oracle.h"

using math::float3;
using math::float3x3;
using math::Quat;
using oracle::Bits;
using oracle::FromEigen;
using oracle::MaxAbsDiff;
using oracle::ToEigen;

namespace {

const float kPi = 3.14159265f;

float3x3 Diag(float a, float b, float c) { return float3x3(a, 0, 0, 0, b, 0, 0, 0, c); }

void ExpectBitEqual(const float3x3 &actual, const float3x3 &expected) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(Bits(actual.elements[r][c]), Bits(expected.elements[r][c])) << "element " << r << c;
}

// A well-conditioned random matrix: a random one plus a dominant diagonal.
float3x3 WellConditioned(oracle::Sampler &sampler) {
    return sampler.Matrix(-1.f, 1.f) + Diag(3.f, -3.f, 3.f);
}

// Stderr of one call, as the logging writes it.
template <typename F>
std::string StderrOf(F f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

bool StartsWith(const std::string &text, const std::string &prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

TEST(Float3x3Constants, HoldTheirValuesAndQuietNaNPattern) {
    ExpectBitEqual(float3x3::identity, Diag(1, 1, 1));
    ExpectBitEqual(float3x3::zero, Diag(0, 0, 0));
    for (const auto &row : float3x3::nan.elements)
        for (float e : row) EXPECT_EQ(Bits(e), 0x7FC00000u);
}

TEST(Float3x3Construction, ColumnsAndRowsLandWhereTheyBelong) {
    const float3x3 m(float3(1, 2, 3), float3(4, 5, 6), float3(7, 8, 9));
    ExpectBitEqual(m, float3x3(1, 4, 7, 2, 5, 8, 3, 6, 9));
    EXPECT_TRUE(m.Col(1).Equals(4, 5, 6, 1e-9f));
    EXPECT_TRUE(m.Row(1).Equals(2, 5, 8, 1e-9f));
    EXPECT_TRUE(m.WorldZ().Equals(7, 8, 9, 1e-9f));
    EXPECT_TRUE(m.Diagonal().Equals(1, 5, 9, 1e-9f));
    EXPECT_FLOAT_EQ(m.Trace(), 15.f);

    float3x3 p;
    const float values[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    p.Set(values);
    ExpectBitEqual(p, m.Transposed());
    p.Set(static_cast<const float *>(nullptr));  // a null pointer writes nothing
    ExpectBitEqual(p, m.Transposed());
}

// Out-of-range indices, negative ones included, fall back instead of failing.
TEST(Float3x3IndexRules, OutOfRangeIndicesFallBack) {
    const float3x3 base(1, 2, 3, 4, 5, 6, 7, 8, 9);
    float3x3 m = base;
    EXPECT_EQ(&m.At(0, 3), &m.elements[0][0]);
    EXPECT_EQ(&m.At(-1, 0), &m.elements[0][0]);
    EXPECT_TRUE(std::isnan(base.At(3, 0)));
    EXPECT_TRUE(std::isnan(base.At(0, -1)));
    EXPECT_FLOAT_EQ(base.At(2, 1), 8.f);
    EXPECT_EQ(&m.Row(7), &m.Row(0));
    EXPECT_EQ(&base.Row(-2), &base.Row(0));
    EXPECT_TRUE(std::isnan(base.Col(5).x) && std::isnan(base.Col(5).y) && std::isnan(base.Col(-1).z));
    EXPECT_FLOAT_EQ(m[5][1], 2.f);  // row view of row 0
    EXPECT_FLOAT_EQ(base[-1][2], 3.f);

    struct Case {
        const char *name;
        void (*apply)(float3x3 &);
    };
    const Case noOps[] = {
        {"ScaleRow(3, 2)", [](float3x3 &x) { x.ScaleRow(3, 2.f); }},
        {"ScaleCol(-1, 2)", [](float3x3 &x) { x.ScaleCol(-1, 2.f); }},
        {"SetRow(-1, v)", [](float3x3 &x) { x.SetRow(-1, float3(0, 0, 0)); }},
        {"SetCol(3, v)", [](float3x3 &x) { x.SetCol(3, float3(0, 0, 0)); }},
        {"SetRow(0, null)", [](float3x3 &x) { x.SetRow(0, static_cast<const float *>(nullptr)); }},
        {"SetCol(0, null)", [](float3x3 &x) { x.SetCol(0, static_cast<const float *>(nullptr)); }},
        {"Set(0, 3, 0)", [](float3x3 &x) { x.Set(0, 3, 0.f); }},
        {"SwapRows(0, 3)", [](float3x3 &x) { x.SwapRows(0, 3); }},
        {"SwapColumns(-1, 1)", [](float3x3 &x) { x.SwapColumns(-1, 1); }},
        {"Orthonormalize(0, 0, 1)", [](float3x3 &x) { x.Orthonormalize(0, 0, 1); }},
    };
    for (const Case &c : noOps) {
        float3x3 x = base;
        c.apply(x);
        SCOPED_TRACE(c.name);
        ExpectBitEqual(x, base);
    }
}

TEST(Float3x3IndexRules, InRangeSettersWrite) {
    float3x3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    m.ScaleRow(1, 2.f);
    m.ScaleCol(2, -1.f);
    m.SwapRows(0, 2);
    m.SwapColumns(0, 1);
    ExpectBitEqual(m, float3x3(8, 7, -9, 10, 8, -12, 2, 1, -3));
    m.SetCol(0, 1, 2, 3);
    m.SetRow(2, float3(4, 5, 6));
    m.Set(0, 2, 9.f);
    m[1][1] = 7.f;
    ExpectBitEqual(m, float3x3(1, 7, 9, 2, 7, -12, 4, 5, 6));
}

// A bad column is logged under the view's own lines; it then reaches element 0 of
// the row (writable view) or NaN (read-only view), never memory past the matrix.
TEST(MatrixProxy, BadColumnIsLoggedAndStaysInsideTheRow) {
    float3x3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    std::string log = StderrOf([&] { m[2][3] = 42.f; });
    EXPECT_TRUE(StartsWith(log, "Error: col < Cols in Math/MatrixProxy:43\n")) << log;
    ExpectBitEqual(m, float3x3(1, 2, 3, 4, 5, 6, 42, 8, 9));

    log = StderrOf([&] { EXPECT_FLOAT_EQ(m[1][-1], 4.f); });
    EXPECT_TRUE(StartsWith(log, "Error: col >= 0 in Math/MatrixProxy:42\n")) << log;

    const float3x3 &c = m;
    float value = 0.f;
    log = StderrOf([&] { value = c[2][3]; });
    EXPECT_EQ(Bits(value), 0x7FC00000u);
    EXPECT_TRUE(StartsWith(log, "Error: col < Cols in Math/MatrixProxy:36\n")) << log;
    log = StderrOf([&] { value = c[0][-5]; });
    EXPECT_TRUE(std::isnan(value));
    EXPECT_TRUE(StartsWith(log, "Error: col >= 0 in Math/MatrixProxy:35\n")) << log;

    EXPECT_EQ(StderrOf([&] { value = c[2][2]; }), "");
    EXPECT_FLOAT_EQ(value, 9.f);
}

TEST(Float3x3Products, MatchEigen) {
    oracle::Sampler sampler(11);
    for (int i = 0; i < 200; ++i) {
        const float3x3 a = sampler.Matrix(-10.f, 10.f), b = sampler.Matrix(-10.f, 10.f);
        const float3 v = sampler.Vector(-10.f, 10.f);
        const Eigen::Matrix3f ea = ToEigen(a), eb = ToEigen(b);
        EXPECT_LT(MaxAbsDiff(a * b, ea * eb), 1e-4f);
        EXPECT_LT(MaxAbsDiff(a.Mul(b), ea * eb), 1e-4f);
        EXPECT_LT(MaxAbsDiff(a * v, ea * ToEigen(v)), 1e-4f);
        EXPECT_LT(MaxAbsDiff(v * a, (ToEigen(v).transpose() * ea).transpose()), 1e-4f);
        EXPECT_LT(MaxAbsDiff(a + b, ea + eb), 1e-5f);
        EXPECT_LT(MaxAbsDiff(a - b, ea - eb), 1e-5f);
        EXPECT_LT(MaxAbsDiff(a * 3.f, ea * 3.f), 1e-5f);
        EXPECT_NEAR(a.Determinant(), ea.determinant(), 1e-2f);
        EXPECT_EQ(MaxAbsDiff(a.Transposed(), ea.transpose()), 0.f);
    }
}

TEST(Float3x3Products, QuaternionProductsUseTheRotationMatrix) {
    oracle::Sampler sampler(12);
    const Quat q = sampler.UnitQuat();
    const float3x3 m = sampler.Matrix(-2.f, 2.f);
    const Eigen::Matrix3f r = ToEigen(q).toRotationMatrix();
    EXPECT_LT(MaxAbsDiff(m * q, ToEigen(m) * r), 1e-5f);
    EXPECT_LT(MaxAbsDiff(q * m, r * ToEigen(m)), 1e-5f);
}

TEST(Float3x3Products, AffineProductTakesTheTranslationThrough) {
    oracle::Sampler sampler(13);
    for (int i = 0; i < 100; ++i) {
        const float3x3 a = sampler.Matrix(-10.f, 10.f), b = sampler.Matrix(-10.f, 10.f);
        const float3 t = sampler.Vector(-10.f, 10.f);
        const math::float3x4 product = a.Mul(math::float3x4(b, t));
        EXPECT_LT(MaxAbsDiff(product.Float3x3Part(), ToEigen(a) * ToEigen(b)), 1e-4f);
        EXPECT_LT(MaxAbsDiff(product.TranslatePart(), ToEigen(a) * ToEigen(t)), 1e-4f);
    }
}

// The plane maps reflect or flatten along the normal whatever the offset: compared with
// I - k n n^T in double, and by what they do to the normal and to a direction in the plane.
TEST(Float3x3Builders, MirrorAndProjectionAlongAPlaneNormal) {
    oracle::Sampler sampler(14);
    for (int i = 0; i < 50; ++i) {
        const math::Plane plane(sampler.UnitVector(), sampler.Uniform(-50.f, 50.f));
        const Eigen::Vector3d n(plane.normal.x, plane.normal.y, plane.normal.z);
        const Eigen::Matrix3d nnT = n * n.transpose();
        const float3x3 mirror = float3x3::Mirror(plane);
        const float3x3 projection = float3x3::OrthographicProjection(plane);
        EXPECT_LT((ToEigen(mirror).cast<double>() - (Eigen::Matrix3d::Identity() - 2 * nnT)).cwiseAbs().maxCoeff(),
                  1e-6);
        EXPECT_LT((ToEigen(projection).cast<double>() - (Eigen::Matrix3d::Identity() - nnT)).cwiseAbs().maxCoeff(),
                  1e-6);
        const float3 inPlane = plane.normal.Perpendicular(float3(0.3f, 0.5f, 0.8f), float3::unitZ);
        EXPECT_TRUE((mirror * plane.normal).Equals(-plane.normal, 1e-5f));
        EXPECT_TRUE((projection * plane.normal).Equals(float3::zero, 1e-5f));
        EXPECT_TRUE((mirror * inPlane).Equals(inPlane, 1e-5f));
        EXPECT_TRUE((projection * inPlane).Equals(inPlane, 1e-5f));
    }
}

TEST(Float3x3Products, DivisionMultipliesByTheReciprocal) {
    const float3x3 m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    ExpectBitEqual(m / 3.f, m * (1.f / 3.f));
    float3x3 n = m;
    n /= 3.f;
    ExpectBitEqual(n, m * (1.f / 3.f));
}

TEST(Float3x3Products, UnaryMinusFlipsEverySignBit) {
    const float3x3 m = -float3x3::nan;
    for (const auto &row : m.elements)
        for (float e : row) EXPECT_EQ(Bits(e), 0xFFC00000u);
    for (const auto &row : (-float3x3::zero).elements)
        for (float e : row) EXPECT_EQ(Bits(e), 0x80000000u);
}

TEST(Float3x3Products, BatchTransformHonoursTheStride) {
    struct Vertex {
        float3 p;
        float tag;
    };
    const float3x3 m = float3x3::RotateZ(kPi / 2);
    Vertex vertices[3] = {{float3(1, 0, 0), 7.f}, {float3(0, 1, 0), 8.f}, {float3(0, 0, 1), 9.f}};
    m.BatchTransform(&vertices[0].p, 3, static_cast<int>(sizeof(Vertex)));
    EXPECT_TRUE(vertices[0].p.Equals(0, 1, 0, 1e-6f));
    EXPECT_TRUE(vertices[1].p.Equals(-1, 0, 0, 1e-6f));
    EXPECT_TRUE(vertices[2].p.Equals(0, 0, 1, 1e-6f));
    EXPECT_EQ(vertices[0].tag + vertices[1].tag + vertices[2].tag, 24.f);

    float3 packed[2] = {float3(1, 2, 3), float3(4, 5, 6)};
    Diag(2, 3, 4).BatchTransform(packed, 2);
    EXPECT_TRUE(packed[1].Equals(8, 15, 24, 1e-6f));
    Diag(2, 3, 4).BatchTransform(packed, 0);
    Diag(2, 3, 4).BatchTransform(packed, -1);
    Diag(2, 3, 4).BatchTransform(static_cast<float3 *>(nullptr), 2);
    EXPECT_TRUE(packed[0].Equals(2, 6, 12, 1e-6f));
}

TEST(Float3x3Inverse, MatchesEigen) {
    oracle::Sampler sampler(21);
    for (int i = 0; i < 200; ++i) {
        const float3x3 m = WellConditioned(sampler);
        float3x3 inv = m;
        ASSERT_TRUE(inv.Inverse(1e-6f));
        const Eigen::Matrix3f expected = ToEigen(m).inverse();
        EXPECT_LT(MaxAbsDiff(inv, expected), 1e-5f);
        EXPECT_LT(MaxAbsDiff(m.Inverted(), expected), 1e-5f);
        EXPECT_LT(MaxAbsDiff(m.InverseTransposed(), expected.transpose()), 1e-5f);
        float3x3 fast = m;
        ASSERT_TRUE(fast.InverseFast(1e-6f));
        EXPECT_LT(MaxAbsDiff(fast, expected), 1e-5f);
        float3x3 it = m;
        EXPECT_TRUE(it.InverseTranspose());
        EXPECT_LT(MaxAbsDiff(it, expected.transpose()), 1e-5f);
    }
}

// A tiny first pivot: eliminating with it instead of the largest entry of its column loses
// the inverse to cancellation (errors of 1e-2 against 1e-8 with the row exchange).
TEST(Float3x3Inverse, IllConditionedFirstPivotIsExchanged) {
    const float3x3 cases[] = {
        float3x3(3e-6f, 1, 2, 1, 2, 3, 2, 1, 4),
        float3x3(3e-6f, 1.3f, -0.7f, 2.1f, 0.9f, 1.7f, -1.1f, 0.6f, 2.5f),
    };
    for (const float3x3 &m : cases) {
        Eigen::Matrix3d exact;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) exact(r, c) = m.elements[r][c];
        const Eigen::Matrix3d inverse = exact.inverse();
        float3x3 inv = m;
        ASSERT_TRUE(inv.Inverse(1e-6f));
        double error = 0;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) error = std::max(error, std::fabs(inv.elements[r][c] - inverse(r, c)));
        EXPECT_LT(error, 1e-6 * inverse.cwiseAbs().maxCoeff()) << m.ToString();
    }
}

TEST(Float3x3Inverse, PinnedCases) {
    float3x3 m = Diag(2, 4, 8);
    ASSERT_TRUE(m.Inverse(1e-6f));
    ExpectBitEqual(m, Diag(0.5f, 0.25f, 0.125f));

    const float3x3 swap(0, 1, 0, 1, 0, 0, 0, 0, 1);
    m = swap;
    ASSERT_TRUE(m.Inverse(1e-6f));
    ExpectBitEqual(m, swap);

    m = Diag(2, 2, 2);
    ASSERT_TRUE(m.InverseFast(1e-6f));
    ExpectBitEqual(m, Diag(0.5f, 0.5f, 0.5f));
}

// A failed inversion leaves the matrix as it was; a NaN pivot fails too instead of
// reporting success with a NaN result.
TEST(Float3x3Inverse, FailureLeavesTheMatrixUnchanged) {
    const float3x3 dependent(1, 2, 3, 2, 4, 6, 0, 1, 1);
    const float3x3 withNaN(1, 0, 0, 0, std::nanf(""), 0, 0, 0, 1);
    for (const float3x3 &singular : {dependent, float3x3::zero, withNaN, float3x3::nan}) {
        float3x3 m = singular;
        EXPECT_FALSE(m.Inverse(1e-6f));
        ExpectBitEqual(m, singular);
        ExpectBitEqual(singular.Inverted(), singular);
        ExpectBitEqual(singular.InverseTransposed(), singular.Transposed());
        m = singular;
        EXPECT_FALSE(m.InverseTranspose());
        ExpectBitEqual(m, singular.Transposed());
    }
    float3x3 m = dependent;
    EXPECT_FALSE(m.InverseFast(1e-6f));
    ExpectBitEqual(m, dependent);
    EXPECT_FALSE(dependent.IsInvertible(1e-6f));
    EXPECT_TRUE(Diag(1, 2, 3).IsInvertible(1e-6f));
}

TEST(Float3x3Inverse, SymmetricReadsTheOriginalElements) {
    float3x3 m = Diag(1, 2, 4);
    ASSERT_TRUE(m.InverseSymmetric());
    ExpectBitEqual(m, Diag(1, 0.5f, 0.25f));

    m = float3x3(2, 1, 0, 1, 2, 1, 0, 1, 2);
    ASSERT_TRUE(m.InverseSymmetric());
    EXPECT_LT(MaxAbsDiff(m, ToEigen(float3x3(3, -2, 1, -2, 4, -2, 1, -2, 3) * 0.25f)), 1e-7f);

    oracle::Sampler sampler(22);
    for (int i = 0; i < 50; ++i) {
        const float3x3 a = WellConditioned(sampler);
        const float3x3 s = a * a.Transposed();
        float3x3 inv = s;
        ASSERT_TRUE(inv.InverseSymmetric());
        EXPECT_LT(MaxAbsDiff(inv, ToEigen(s).inverse()), 1e-5f);
        EXPECT_NEAR(s.DeterminantSymmetric(), ToEigen(s).determinant(), 1e-2f);
    }

    const float3x3 nearlySingular = Diag(1, 1, 1e-5f);
    m = nearlySingular;
    EXPECT_FALSE(m.InverseSymmetric());
    ExpectBitEqual(m, nearlySingular);
}

TEST(Float3x3Inverse, OrthogonalForms) {
    float3x3 m(2, 0, 0, 0, 0, 3, 0, 1, 0);
    ASSERT_TRUE(m.InverseColOrthogonal());
    ExpectBitEqual(m, float3x3(0.5f, 0, 0, 0, 0, 1, 0, 1.f / 3.f, 0));

    const float3x3 flat = Diag(1, 1, 1e-5f);
    m = flat;
    EXPECT_FALSE(m.InverseColOrthogonal());
    ExpectBitEqual(m, flat);

    const float3x3 r = float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.7f);
    const float3x3 scaled = r * 2.f;
    m = scaled;
    ASSERT_TRUE(m.InverseOrthogonalUniformScale());
    EXPECT_LT(MaxAbsDiff(m, ToEigen(scaled).inverse()), 1e-6f);
    m = Diag(1e-5f, 1, 1);
    EXPECT_FALSE(m.InverseOrthogonalUniformScale());
    ExpectBitEqual(m, Diag(1e-5f, 1, 1));

    m = r;
    m.InverseOrthonormal();
    ExpectBitEqual(m, r.Transposed());
}

TEST(Float3x3SolveAxb, MatchesEigenAndFailsOnSingular) {
    float3 x(9, 9, 9);
    ASSERT_TRUE(float3x3::identity.SolveAxb(float3(1, 2, 3), x));
    EXPECT_TRUE(x.Equals(1, 2, 3, 1e-9f));

    x = float3(7, 8, 9);
    EXPECT_FALSE(float3x3::zero.SolveAxb(float3(1, 2, 3), x));
    EXPECT_TRUE(x.Equals(7, 8, 9, 1e-9f));
    EXPECT_FALSE(float3x3(1, 2, 3, 2, 4, 6, 0, 1, 1).SolveAxb(float3(1, 2, 3), x));
    EXPECT_TRUE(x.Equals(7, 8, 9, 1e-9f));

    oracle::Sampler sampler(31);
    for (int i = 0; i < 200; ++i) {
        const float3x3 m = WellConditioned(sampler);
        const float3 b = sampler.Vector(-5.f, 5.f);
        ASSERT_TRUE(m.SolveAxb(b, x));
        EXPECT_LT(MaxAbsDiff(x, ToEigen(m).partialPivLu().solve(ToEigen(b))), 1e-5f);
    }
}

// Gram-Schmidt on columns c0, c1, c2 is the Q of a QR factorisation whose R has a
// positive diagonal.
TEST(Float3x3Orthonormalize, MatchesEigenQR) {
    oracle::Sampler sampler(41);
    const int orders[][3] = {{0, 1, 2}, {2, 0, 1}, {1, 2, 0}};
    for (int i = 0; i < 100; ++i) {
        const float3x3 m = WellConditioned(sampler);
        for (const auto &order : orders) {
            float3x3 o = m;
            o.Orthonormalize(order[0], order[1], order[2]);
            Eigen::Matrix3f a;
            for (int k = 0; k < 3; ++k) a.col(k) = ToEigen(m.Col(order[k]));
            const Eigen::HouseholderQR<Eigen::Matrix3f> qr(a);
            Eigen::Matrix3f q = qr.householderQ();
            const Eigen::Matrix3f rr = qr.matrixQR().triangularView<Eigen::Upper>();
            for (int k = 0; k < 3; ++k)
                if (rr(k, k) < 0) q.col(k) = -q.col(k);
            for (int k = 0; k < 3; ++k) EXPECT_LT(MaxAbsDiff(o.Col(order[k]), q.col(k)), 1e-5f);
            EXPECT_TRUE(o.IsOrthonormal(1e-5f));
        }
    }
}

TEST(Float3x3Rotations, ElementaryAndAxisAngleMatchEigen) {
    oracle::Sampler sampler(51);
    for (int i = 0; i < 100; ++i) {
        const float angle = sampler.Uniform(-2 * kPi, 2 * kPi);
        const float3 axis = sampler.UnitVector();
        const auto rotation = [&](const Eigen::Vector3f &a) { return Eigen::AngleAxisf(angle, a).toRotationMatrix(); };
        EXPECT_LT(MaxAbsDiff(float3x3::RotateX(angle), rotation(Eigen::Vector3f::UnitX())), 2e-6f);
        EXPECT_LT(MaxAbsDiff(float3x3::RotateY(angle), rotation(Eigen::Vector3f::UnitY())), 2e-6f);
        EXPECT_LT(MaxAbsDiff(float3x3::RotateZ(angle), rotation(Eigen::Vector3f::UnitZ())), 2e-6f);
        EXPECT_LT(MaxAbsDiff(float3x3::RotateAxisAngle(axis, angle), rotation(ToEigen(axis))), 2e-6f);
        float3x3 m = float3x3::zero;
        m.SetRotatePart(axis, angle);
        ExpectBitEqual(m, float3x3::RotateAxisAngle(axis, angle));
    }
}

TEST(Float3x3Rotations, QuaternionConversionsMatchEigen) {
    oracle::Sampler sampler(52);
    for (int i = 0; i < 300; ++i) {
        const Quat q = sampler.UnitQuat();
        const float3x3 m(q);
        EXPECT_LT(MaxAbsDiff(m, ToEigen(q).toRotationMatrix()), 2e-6f);
        ExpectBitEqual(float3x3::FromQuat(q), m);
        ExpectBitEqual(q.ToFloat3x3(), m);
        float3x3 assigned;
        assigned = q;
        ExpectBitEqual(assigned, m);
        EXPECT_LT(oracle::MaxAbsDiffUpToSign(m.ToQuat(), Eigen::Quaternionf(ToEigen(m))), 2e-6f);
    }
}

TEST(Float3x3Rotations, RotateFromTo) {
    ExpectBitEqual(float3x3::RotateFromTo(float3(1, 0, 0), float3(1, 0, 0)), Diag(1, -1, -1));
    oracle::Sampler sampler(53);
    for (int i = 0; i < 100; ++i) {
        const float3 from = sampler.UnitVector(), to = sampler.UnitVector();
        const float3x3 m = float3x3::RotateFromTo(from, to);
        const Eigen::Matrix3f expected = Eigen::Quaternionf::FromTwoVectors(ToEigen(from), ToEigen(to)).toRotationMatrix();
        EXPECT_LT(MaxAbsDiff(m, expected), 1e-5f);
    }
}

TEST(Float3x3Rotations, LookAt) {
    ExpectBitEqual(float3x3::LookAt(float3(0, 0, 1), float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1)),
                   float3x3(0, 0, 1, 1, 0, 0, 0, 1, 0));
    EXPECT_TRUE(float3x3::LookAt(float3(0, 0, 1), float3(0, 0, 1), float3(0, 1, 0), float3(0, 0, 1))
                    .IsIdentity(1e-7f));

    // For unit f perpendicular to u: f goes to t, u to the world up made perpendicular to t.
    oracle::Sampler sampler(54);
    for (int i = 0; i < 100; ++i) {
        const float3 f = sampler.UnitVector();
        const float3 u = f.Perpendicular(sampler.UnitVector(), float3(0, 0, 1));
        const float3 t = sampler.UnitVector(), w = sampler.UnitVector();
        const float3x3 m = float3x3::LookAt(f, t, u, w);
        EXPECT_TRUE(m.IsOrthonormal(1e-5f));
        EXPECT_NEAR(m.Determinant(), 1.f, 1e-5f);
        EXPECT_TRUE((m * f).Equals(t, 1e-5f));
        const float3 v = t.Cross(w.Cross(t).Normalized()).Normalized();
        EXPECT_TRUE((m * u).Equals(v, 1e-5f));
    }
}

TEST(Float3x3Builders, Table) {
    struct Case {
        const char *name;
        float3x3 actual;
        float3x3 expected;
    };
    const Case cases[] = {
        {"ScaleAlongAxis scales by the axis components", float3x3::ScaleAlongAxis(float3(0, 1, 0), 3.f), Diag(0, 3, 0)},
        {"ShearX", float3x3::ShearX(2, 3), float3x3(1, 2, 3, 0, 1, 0, 0, 0, 1)},
        {"ShearY", float3x3::ShearY(2, 3), float3x3(1, 0, 0, 2, 1, 3, 0, 0, 1)},
        {"ShearZ", float3x3::ShearZ(2, 3), float3x3(1, 0, 0, 0, 1, 0, 2, 3, 1)},
        {"OrthographicProjectionYZ", float3x3::OrthographicProjectionYZ(), Diag(0, 1, 1)},
        {"OrthographicProjectionXZ", float3x3::OrthographicProjectionXZ(), Diag(1, 0, 1)},
        {"OrthographicProjectionXY", float3x3::OrthographicProjectionXY(), Diag(1, 1, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectBitEqual(c.actual, c.expected);
    }
    float3x3 m = Diag(3, 4, 5);
    m.SetIdentity();
    ExpectBitEqual(m, float3x3::identity);
}

TEST(Float3x3Random, DrawsFromTheGenerator) {
    math::LCG lcg, copy;
    lcg.Seed(12345, 69621, 0, 2147483647);
    copy = lcg;
    const float3x3 m = float3x3::RandomGeneral(lcg, -2.f, 5.f);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Bits(m.elements[i / 3][i % 3]), Bits(copy.Float(-2.f, 5.f)));
    EXPECT_EQ(lcg.lastNumber, copy.lastNumber);

    copy = lcg;
    const float3x3 r = float3x3::RandomRotation(lcg);
    ExpectBitEqual(r, float3x3(Quat::RandomRotation(copy)));
    EXPECT_TRUE(r.IsOrthonormal(1e-5f));
    EXPECT_NEAR(r.Determinant(), 1.f, 1e-5f);
}

TEST(Float3x3Scale, ExtractRemoveAndDecompose) {
    const float3x3 r = float3x3::RotateAxisAngle(float3(0.6f, 0, 0.8f), 1.1f);
    float3x3 m = r;
    m.ScaleCol(0, 2.f);
    m.ScaleCol(1, 3.f);
    m.ScaleCol(2, 0.5f);
    EXPECT_TRUE(m.ExtractScale().Equals(2, 3, 0.5f, 1e-5f));
    EXPECT_TRUE(m.GetScale().Equals(2, 3, 0.5f, 1e-5f));

    float3x3 rotation;
    float3 scale;
    m.Decompose(rotation, scale);
    EXPECT_TRUE(scale.Equals(2, 3, 0.5f, 1e-5f));
    EXPECT_TRUE(rotation.Equals(r, 1e-5f));
    Quat q;
    m.Decompose(q, scale);
    EXPECT_TRUE(float3x3(q).Equals(r, 1e-5f));

    // Rows are normalised, not columns.
    float3x3 rows(3, 0, 4, 0, 2, 0, 0, 0, -5);
    rows.RemoveScale();
    EXPECT_TRUE(rows.Equals(float3x3(0.6f, 0, 0.8f, 0, 1, 0, 0, 0, -1), 1e-6f));

    EXPECT_TRUE(r.HasUnitaryScale(1e-5f));
    EXPECT_FALSE(m.HasUnitaryScale(1e-5f));
    EXPECT_TRUE((r * 2.f).HasUniformScale(1e-5f));
    EXPECT_FALSE(m.HasUniformScale(1e-5f));
}

TEST(Float3x3Queries, Table) {
    const float inf = std::numeric_limits<float>::infinity();
    // Orthogonal columns and unit rows, but column 0 has length 0.707.
    const float3x3 unitRowsOnly(0.5f, -0.8660254f, 0, 0.5f, 0.8660254f, 0, 0, 0, 1);
    const float3x3 rotation = float3x3::RotateAxisAngle(float3(0, 0.6f, -0.8f), 2.f);
    struct Case {
        const char *name;
        bool actual;
        bool expected;
    };
    const Case cases[] = {
        {"skew symmetric", float3x3(0, 1, 2, -1, 0, 3, -2, -3, 0).IsSkewSymmetric(1e-5f), true},
        {"not skew symmetric", float3x3(1, 1, 2, -1, 0, 3, -2, -3, 0).IsSkewSymmetric(1e-5f), false},
        {"negative scale", Diag(1, 1, -1).HasNegativeScale(), true},
        {"positive scale", Diag(1, 1, 1).HasNegativeScale(), false},
        {"symmetric", float3x3(1, 2, 3, 2, 4, 5, 3, 5, 6).IsSymmetric(1e-6f), true},
        {"not symmetric", float3x3(1, 2, 3, 2, 4, 5, 3, 5.1f, 6).IsSymmetric(1e-6f), false},
        {"lower triangular", float3x3(1, 0, 0, 2, 3, 0, 4, 5, 6).IsLowerTriangular(1e-6f), true},
        {"upper is not lower", float3x3(1, 2, 0, 0, 3, 0, 0, 0, 6).IsLowerTriangular(1e-6f), false},
        {"upper triangular", float3x3(1, 2, 3, 0, 4, 5, 0, 0, 6).IsUpperTriangular(1e-6f), true},
        {"identity", (float3x3::identity * 1.0000001f).IsIdentity(1e-6f), true},
        {"identity with epsilon 0", float3x3::identity.IsIdentity(0.f), false},
        {"finite", rotation.IsFinite(), true},
        {"infinite element", float3x3(1, 0, 0, 0, inf, 0, 0, 0, 1).IsFinite(), false},
        {"NaN element", float3x3::nan.IsFinite(), false},
        {"rotation orthonormal", rotation.IsOrthonormal(1e-5f), true},
        {"unit rows, short columns", unitRowsOnly.IsOrthonormal(1e-5f), false},
        {"... whose columns are orthogonal", unitRowsOnly.IsColOrthogonal(1e-8f), true},
        {"scaled rotation not orthonormal", (rotation * 1.1f).IsOrthonormal(1e-5f), false},
        {"rows orthogonal", float3x3(1, 0, 0, 0, 2, 0, 0, 0, 3).IsRowOrthogonal(1e-8f), true},
        {"rows not orthogonal", float3x3(1, 0.1f, 0, 0, 1, 0, 0, 0, 1).IsRowOrthogonal(1e-8f), false},
        {"columns not orthogonal", float3x3(1, 0.1f, 0, 0, 1, 0, 0, 0, 1).IsColOrthogonal(1e-8f), false},
        {"equals within epsilon", rotation.Equals(rotation + Diag(1e-6f, 0, 0), 1e-5f), true},
        {"equals with epsilon 0", rotation.Equals(rotation, 0.f), false},
    };
    for (const Case &c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Float3x3Text, Forms) {
    EXPECT_EQ(float3x3::identity.ToString(), "(1.00, 0.00, 0.00) (0.00, 1.00, 0.00) (0.00, 0.00, 1.00)");
    EXPECT_EQ(float3x3::identity.ToString2(), "float3x3(X:(1.00,0.00,0.00) Y:(0.00,1.00,0.00) Z:(0.00,0.00,1.00)");
    EXPECT_EQ(float3x3(1, 2, 3, 4, 5, 6, 7, 8, 9).ToString2(),
              "float3x3(X:(1.00,4.00,7.00) Y:(2.00,5.00,8.00) Z:(3.00,6.00,9.00)");
    EXPECT_EQ((-float3x3::nan).ToString(), "(nan, nan, nan) (nan, nan, nan) (nan, nan, nan)");
    EXPECT_EQ((-float3x3::nan).ToString2(), "float3x3(X:(nan,nan,nan) Y:(nan,nan,nan) Z:(nan,nan,nan)");
    std::ostringstream out;
    out << Diag(-1, 2.5f, 0.125f);
    EXPECT_EQ(out.str(), "(-1.00, 0.00, 0.00) (0.00, 2.50, 0.00) (0.00, 0.00, 0.12)");

    // Text longer than the customary 256 bytes is written whole.
    const float3x3 huge = float3x3(1, 1, 1, 1, 1, 1, 1, 1, 1) * -3e38f;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.2f", -3e38f);
    const std::string text = huge.ToString();
    EXPECT_GT(text.size(), 256u);
    EXPECT_EQ(text.rfind(expected), text.size() - std::strlen(expected) - 1);
    EXPECT_EQ(huge.ToString2().size(), text.size() + 9);
}
