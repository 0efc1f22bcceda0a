#include "Math/float4x4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Quat.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/matrix_oracle.h"
#include "log_capture.h"

using math::float3;
using math::float3x3;
using math::float3x4;
using math::float4;
using math::float4x4;
using math::Quat;
using oracle::Bits;

namespace {

const float kPi = 3.14159265f;

Eigen::Matrix4d ToEigen4(const float4x4 &m) {
    Eigen::Matrix4d e;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m.elements[r][c];
    return e;
}

Eigen::Matrix4d ToEigen4(const float3x4 &m) {
    Eigen::Matrix4d e = Eigen::Matrix4d::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) e(r, c) = m.elements[r][c];
    return e;
}

double MaxAbsDiff(const float4x4 &m, const Eigen::Matrix4d &e) { return (ToEigen4(m) - e).cwiseAbs().maxCoeff(); }

double MaxAbsDiff(const float3 &v, const Eigen::Vector3d &e) {
    return (Eigen::Vector3d(v.x, v.y, v.z) - e).cwiseAbs().maxCoeff();
}

double MaxAbsDiff(const float4 &v, const Eigen::Vector4d &e) {
    return (Eigen::Vector4d(v.x, v.y, v.z, v.w) - e).cwiseAbs().maxCoeff();
}

// A general (projective) matrix kept away from singularity by a dominant diagonal.
float4x4 RandomGeneral(oracle::Sampler &sampler) {
    float4x4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.elements[r][c] = sampler.Uniform(-1.f, 1.f) + (r == c ? 4.f : 0.f);
    return m;
}

float4 RandomFloat4(oracle::Sampler &sampler) {
    const float3 xyz = sampler.Vector(-5.f, 5.f);
    return float4(xyz, sampler.Uniform(-5.f, 5.f));
}

void ExpectBitEqual(const float4x4 &actual, const float4x4 &expected) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(Bits(actual.elements[r][c]), Bits(expected.elements[r][c])) << "element " << r << c;
}

float4x4 Diag(float a, float b, float c, float d) { return float4x4(a, 0, 0, 0, 0, b, 0, 0, 0, 0, c, 0, 0, 0, 0, d); }

}  // namespace

TEST(float4x4Constants, HoldTheirValuesAndQuietNaNPattern) {
    ExpectBitEqual(float4x4::identity, Diag(1, 1, 1, 1));
    ExpectBitEqual(float4x4::zero, Diag(0, 0, 0, 0));
    for (const auto &row : float4x4::nan.elements)
        for (float e : row) EXPECT_EQ(Bits(e), 0x7FC00000u);
}

TEST(float4x4Construction, ColumnsRowsAndTheColumnMajorReadOut) {
    const float4x4 m(float4(1, 2, 3, 4), float4(5, 6, 7, 8), float4(9, 10, 11, 12), float4(13, 14, 15, 16));
    ExpectBitEqual(m, float4x4(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    // Reading At(r, c) column by column gives the columns back in order, as the
    // transformation arrays of the engine list them.
    float expected = 1.f;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r, expected += 1.f) EXPECT_EQ(m.At(r, c), expected) << r << c;
    EXPECT_TRUE(m.Col(2).Equals(9, 10, 11, 12, 1e-9f));
    EXPECT_TRUE(m.Row(1).Equals(2, 6, 10, 14, 1e-9f));
    EXPECT_TRUE(m.Row3(3).Equals(4, 8, 12, 1e-9f));
    EXPECT_TRUE(m.Col3(1).Equals(5, 6, 7, 1e-9f));
    EXPECT_TRUE(m.TranslatePart().Equals(13, 14, 15, 1e-9f));
    EXPECT_TRUE(m.WorldZ().Equals(9, 10, 11, 1e-9f));
    EXPECT_TRUE(m.Diagonal().Equals(1, 6, 11, 16, 1e-9f));
    EXPECT_TRUE(m.Diagonal3().Equals(1, 6, 11, 1e-9f));
    EXPECT_FLOAT_EQ(m.Trace(), 34.f);
}

TEST(float4x4Construction, SmallerMatricesGetTheAffineCompletion) {
    const float3x3 a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    ExpectBitEqual(float4x4(a), float4x4(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1));
    const float3x4 b(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
    ExpectBitEqual(float4x4(b), float4x4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0, 1));
    float4x4 m = float4x4::nan;
    m = b;
    ExpectBitEqual(m, float4x4(b));
    m = float4x4::Translate(1, 2, 3);
    ExpectBitEqual(m, float4x4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1));
    const Quat q = Quat::RotateAxisAngle(float3(0, 0, 1), 0.5f);
    ExpectBitEqual(float4x4(q, float3(7, 8, 9)), float4x4(float3x4(float3x3(q), float3(7, 8, 9))));
}

TEST(float4x4Access, OutOfRangeIndicesFollowTheMatrixRules) {
    float4x4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const float4x4 &c = m;
    EXPECT_EQ(&m.At(-1, 2), &m.elements[0][0]);
    EXPECT_TRUE(std::isnan(c.At(-1, 2)));
    EXPECT_TRUE(std::isnan(c.At(1, 4)));
    const float4 col = c.Col(4);
    EXPECT_TRUE(std::isnan(col.x) && std::isnan(col.y) && std::isnan(col.z) && std::isnan(col.w));
    EXPECT_TRUE(std::isnan(c.Col3(-1).x));
    EXPECT_EQ(&m.Row(7), &m.Row(0));
    EXPECT_EQ(&m.Row3(-2).x, &m.elements[0][0]);

    const float4x4 before = m;
    m.SetRow(4, 0, 0, 0, 0);
    m.SetCol(-1, float4::zero);
    m.SetCol3(4, float3::zero);
    m.Set(4, 0, 0.f);
    m.SwapRows(0, 4);
    m.SwapColumns(-1, 1);
    m.ScaleCol(4, 2.f);
    m.Set(static_cast<const float *>(nullptr));
    m.SetRow(1, static_cast<const float *>(nullptr));
    ExpectBitEqual(m, before);

    m.ScaleRow(4, 2.f);  // a bad row scales row 0
    EXPECT_TRUE(m.Row(0).Equals(2, 4, 6, 8, 1e-9f));
    m.ScaleRow3(-1, 0.5f);
    EXPECT_TRUE(m.Row(0).Equals(1, 2, 3, 8, 1e-9f));
}

TEST(float4x4Access, RowViewLogsABadColumnAndStaysInsideTheRow) {
    float4x4 m = float4x4::identity;
    const float4x4 &c = m;
    EXPECT_FLOAT_EQ(c[3][3], 1.f);
    float value = 0.f;
    const std::string log = StderrOf([&] { value = c[3][4]; });
    EXPECT_EQ(FirstLine(log), "Error: col < Cols in Math/MatrixProxy:36");
    EXPECT_TRUE(std::isnan(value));
    const std::string writeLog = StderrOf([&] { m[3][-1] = 42.f; });
    EXPECT_EQ(FirstLine(writeLog), "Error: col >= 0 in Math/MatrixProxy:42");
    EXPECT_FLOAT_EQ(m.elements[3][0], 42.f);
    EXPECT_FLOAT_EQ(m.elements[3][3], 1.f);
}

TEST(float4x4Access, PartsAreViewsOfTheSameStorage) {
    float4x4 m = float4x4::identity;
    m.Float3x4Part().SetCol(3, float3(4, 5, 6));
    m.Row(3).w = 2.f;
    m.Row3(1).x = 9.f;
    ExpectBitEqual(m, float4x4(1, 0, 0, 4, 9, 1, 0, 5, 0, 0, 1, 6, 0, 0, 0, 2));
    m.SetTranslatePart(float4(7, 8, 9, 100));
    EXPECT_TRUE(m.TranslatePart().Equals(7, 8, 9, 1e-9f));
    EXPECT_FLOAT_EQ(m.elements[3][3], 2.f);
    m.SetCol3(0, 1, 2, 3);
    EXPECT_TRUE(m.Col(0).Equals(1, 2, 3, 0, 1e-9f));
    m.SwapRows3(0, 1);
    EXPECT_TRUE(m.Row(0).Equals(2, 1, 0, 7, 1e-9f));
    m.SwapColumns3(0, 3);
    EXPECT_TRUE(m.Col(3).Equals(2, 1, 3, 2, 1e-9f));
    EXPECT_TRUE(m.Col(0).Equals(7, 8, 9, 0, 1e-9f));
}

TEST(float4x4Products, AgreeWithEigen) {
    oracle::Sampler sampler(41);
    for (int i = 0; i < 200; ++i) {
        const float4x4 a = RandomGeneral(sampler);
        const float4x4 b = RandomGeneral(sampler);
        const float3x4 c(sampler.Matrix(-2.f, 2.f), sampler.Vector(-5.f, 5.f));
        const float3x3 d = sampler.Matrix(-2.f, 2.f);
        const Eigen::Matrix4d ea = ToEigen4(a);
        const Eigen::Matrix4d eb = ToEigen4(b);
        EXPECT_LT(MaxAbsDiff(a * b, ea * eb), 1e-4);
        EXPECT_LT(MaxAbsDiff(a.Mul(b), ea * eb), 1e-4);
        EXPECT_LT(MaxAbsDiff(a * c, ea * ToEigen4(c)), 1e-4);
        EXPECT_LT(MaxAbsDiff(c * a, ToEigen4(c) * ea), 1e-4);
        EXPECT_LT(MaxAbsDiff(d * a, ToEigen4(float4x4(d)) * ea), 1e-4);
        // Times a 3x3 keeps this matrix's column 3, even with a projective row 3.
        Eigen::Matrix4d ead = ea * ToEigen4(float4x4(d));
        ead.col(3) = ea.col(3);
        EXPECT_LT(MaxAbsDiff(a * d, ead), 1e-4);

        const float4 v = RandomFloat4(sampler);
        const Eigen::Vector4d ev(v.x, v.y, v.z, v.w);
        EXPECT_LT(MaxAbsDiff(a * v, ea * ev), 1e-4);
        EXPECT_LT(MaxAbsDiff(a.Transform(v), ea * ev), 1e-4);
        EXPECT_LT(MaxAbsDiff(v * a, Eigen::Vector4d((ev.transpose() * ea).transpose())), 1e-4);
    }
}

TEST(float4x4Products, SumsRunInTheOrderOfK) {
    // With terms 1e8, 1, -1e8, 1 the sum in order of k is 1 (1e8 + 1 rounds to 1e8).
    const float4x4 a(1e8f, 1, -1e8f, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const float4x4 ones(float4::one, float4::zero, float4::zero, float4::zero);
    EXPECT_EQ((a * ones).elements[0][0], 1.f);
    EXPECT_EQ(a.Transform(float4::one).x, 1.f);
    EXPECT_EQ((float4::one * a.Transposed()).x, 1.f);
    const float3x4 b(1e8f, 1, -1e8f, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ((b * ones).elements[0][0], 1.f);
}

TEST(float4x4Transforms, PositionsTakeRowsZeroToTwoWithoutDividingByW) {
    oracle::Sampler sampler(43);
    for (int i = 0; i < 100; ++i) {
        const float4x4 m = RandomGeneral(sampler);
        const float3 p = sampler.Vector(-10.f, 10.f);
        const Eigen::Vector4d ep = ToEigen4(m) * Eigen::Vector4d(p.x, p.y, p.z, 1.0);
        const Eigen::Vector4d ed = ToEigen4(m) * Eigen::Vector4d(p.x, p.y, p.z, 0.0);
        EXPECT_LT(MaxAbsDiff(m.TransformPos(p), ep.head<3>()), 1e-4);
        EXPECT_LT(MaxAbsDiff(m.MulPos(p), ep.head<3>()), 1e-4);
        EXPECT_LT(MaxAbsDiff(m.TransformDir(p.x, p.y, p.z), ed.head<3>()), 1e-4);
        EXPECT_LT(MaxAbsDiff(m.MulDir(p), ed.head<3>()), 1e-4);
    }
}

TEST(float4x4Transforms, BatchesWorkInPlaceWithAStride) {
    struct Record {
        float3 point;
        float tag;
    };
    const float4x4 m = float4x4::FromTRS(float3(1, 2, 3), float3x3::RotateZ(0.3f), float3(2, 2, 2));
    Record records[3] = {{float3(1, 0, 0), 7.f}, {float3(0, 1, 0), 8.f}, {float3(0, 0, 1), 9.f}};
    m.TransformPos(&records[0].point, 3, static_cast<int>(sizeof(Record)));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(records[i].tag, 7.f + i);  // the neighbours are untouched
    EXPECT_TRUE(records[1].point.BitEquals(m.TransformPos(float3(0, 1, 0))));

    float3 dirs[2] = {float3(1, 0, 0), float3(0, 0, 1)};
    m.TransformDir(dirs, 2);
    EXPECT_TRUE(dirs[1].BitEquals(m.TransformDir(float3(0, 0, 1))));
    float4 vs[2] = {float4(1, 2, 3, 1), float4(1, 2, 3, 0)};
    m.Transform(vs, 2);
    EXPECT_TRUE(vs[0].BitEquals(m.Transform(float4(1, 2, 3, 1))));
    m.Transform(vs, 0);
    m.TransformPos(static_cast<float3 *>(nullptr), 5);
    EXPECT_TRUE(vs[1].BitEquals(m.Transform(float4(1, 2, 3, 0))));
}

TEST(float4x4Inverse, AgreesWithEigenAndUndoesTheMatrix) {
    oracle::Sampler sampler(47);
    for (int i = 0; i < 200; ++i) {
        const float4x4 m = RandomGeneral(sampler);
        float4x4 inverse = m;
        ASSERT_TRUE(inverse.Inverse(1e-6f));
        EXPECT_LT(MaxAbsDiff(inverse, ToEigen4(m).inverse()), 1e-5);
        EXPECT_TRUE((m * m.Inverted()).IsIdentity(1e-5f));
        EXPECT_TRUE(m.IsInvertible(1e-6f));
        EXPECT_LT(MaxAbsDiff(m.InverseTransposed(), ToEigen4(m).inverse().transpose()), 1e-5);
        float4x4 it = m;
        EXPECT_TRUE(it.InverseTranspose());
        EXPECT_LT(MaxAbsDiff(it, ToEigen4(m).inverse().transpose()), 1e-5);
    }
}

TEST(float4x4Inverse, PivotsOnTheLargestMagnitude) {
    // Rows exchanged at column 0: the permutation inverts to itself.
    const float4x4 swap(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    float4x4 m = swap;
    ASSERT_TRUE(m.Inverse(1e-6f));
    ExpectBitEqual(m, swap);
    m = Diag(2, 4, 8, 16);
    ASSERT_TRUE(m.Inverse(1e-6f));
    ExpectBitEqual(m, Diag(0.5f, 0.25f, 0.125f, 0.0625f));
}

// A failed inversion must not leave a half-eliminated accumulator behind.
TEST(float4x4Inverse, AFailedInverseLeavesTheMatrixUnchanged) {
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    const float4x4 singular[] = {
        float4x4::zero,
        Diag(2, 0, 1, 1),
        float4x4(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1),  // dependent rows
        Diag(1e-7f, 1, 1, 1),                                      // below the tolerance
        Diag(kNaN, 1, 1, 1),                                       // a NaN pivot fails too
    };
    for (const float4x4 &s : singular) {
        float4x4 m = s;
        EXPECT_FALSE(m.Inverse(1e-6f)) << s;
        ExpectBitEqual(m, s);
        ExpectBitEqual(s.Inverted(), s);
        EXPECT_FALSE(s.IsInvertible(1e-6f));
        ExpectBitEqual(s.InverseTransposed(), s.Transposed());
        m = s;
        EXPECT_FALSE(m.InverseTranspose());
        ExpectBitEqual(m, s.Transposed());
    }
}

TEST(float4x4Inverse, OrthogonalInversesWorkOnRowsZeroToTwo) {
    const float4x4 r = float4x4::FromTRS(float3(1, 2, 3), float3x3::RotateY(0.7f), float3(2, 2, 2));
    float4x4 m = r;
    ASSERT_TRUE(m.InverseOrthogonalUniformScale());
    EXPECT_TRUE((m * r).IsIdentity(1e-5f));
    m = float4x4::FromTRS(float3(1, 2, 3), float3x3::RotateY(0.7f), float3(2, 3, 4));
    const float4x4 colOrthogonal = m;
    ASSERT_TRUE(m.InverseColOrthogonal());
    EXPECT_TRUE((m * colOrthogonal).IsIdentity(1e-5f));
    m = float4x4::RotateX(0.4f, float3(1, 1, 1));
    const float4x4 rotation = m;
    m.InverseOrthonormal();
    EXPECT_TRUE((m * rotation).IsIdentity(1e-5f));

    // A zero column 0 fails before anything is changed.
    float4x4 degenerate(0, 1, 0, 5, 0, 0, 1, 6, 0, 0, 0, 7, 1, 2, 3, 4);
    const float4x4 before = degenerate;
    EXPECT_FALSE(degenerate.InverseOrthogonalUniformScale());
    ExpectBitEqual(degenerate, before);
    EXPECT_FALSE(degenerate.InverseColOrthogonal());
    ExpectBitEqual(degenerate, before);
}

TEST(float4x4Builders, RotateFromToEqualDirectionsIsTheHalfTurnAboutXThroughThePoint) {
    const float3 p(1, 2, 3);
    ExpectBitEqual(float4x4::RotateFromTo(float3(0, 0, 1), float3(0, 0, 1), p),
                   float4x4(1, 0, 0, 0, 0, -1, 0, 4, 0, 0, -1, 6, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::RotateFromTo(float3(1, 0, 0), float3(1, 0, 0)),
                   float4x4(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1));
}

TEST(float4x4Builders, RotateFromToTurnsTheDirectionAndAgreesWithEigen) {
    oracle::Sampler sampler(53);
    for (int i = 0; i < 100; ++i) {
        const float3 from = sampler.UnitVector();
        const float3 to = sampler.UnitVector();
        const float4x4 m = float4x4::RotateFromTo(from, to);
        EXPECT_LT(MaxAbsDiff(m.TransformDir(from), oracle::ToEigen(to).cast<double>()), 1e-5);
        const Eigen::Matrix3d e =
            Eigen::Quaterniond::FromTwoVectors(oracle::ToEigen(from).cast<double>(), oracle::ToEigen(to).cast<double>())
                .toRotationMatrix();
        Eigen::Matrix4d e4 = Eigen::Matrix4d::Identity();
        e4.topLeftCorner<3, 3>() = e;
        EXPECT_LT(MaxAbsDiff(m, e4), 1e-5);
        EXPECT_TRUE(m.IsOrthonormal3(1e-5f));
    }
}

TEST(float4x4Builders, LookAtTurnsForwardOntoTheTargetAndUpTowardTheWorldUp) {
    const float3 forward(0, 0, 1), up(0, 1, 0), worldUp(0, 0, 1);
    ExpectBitEqual(float4x4::LookAt(forward, float3(1, 0, 0), up, worldUp),
                   float4x4(0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::LookAt(forward, float3(0, 0, 1), up, worldUp), float4x4::identity);
    ExpectBitEqual(float4x4::RotateFromTo(forward, float3(1, 0, 0), up, worldUp),
                   float4x4::LookAt(forward, float3(1, 0, 0), up, worldUp));

    const float3 eye(1, 2, 3);
    const float4x4 m = float4x4::LookAt(eye, float3(5, 2, 3), forward, up, worldUp);
    ExpectBitEqual(m, float4x4(0, 0, 1, 1, 1, 0, 0, 2, 0, 1, 0, 3, 0, 0, 0, 1));
    const float4x4 about = float4x4::RotateFromTo(forward, float3(1, 0, 0), up, worldUp, eye);
    EXPECT_TRUE(about.TransformPos(eye).Equals(eye, 1e-6f));

    oracle::Sampler sampler(59);
    for (int i = 0; i < 100; ++i) {
        const float3 target = sampler.UnitVector();
        const float4x4 look = float4x4::LookAt(forward, target, up, worldUp);
        EXPECT_TRUE(look.TransformDir(forward).Equals(target, 1e-5f));
        EXPECT_TRUE(look.IsOrthonormal3(1e-5f));
        EXPECT_TRUE(look.Row(3).BitEquals(float4::unitW));
    }
}

TEST(float4x4Builders, RotationsAboutAPointKeepThePoint) {
    const float3 p(3, -2, 5);
    const float4x4 rotations[] = {
        float4x4::RotateX(0.9f, p),
        float4x4::RotateY(-1.3f, p),
        float4x4::RotateZ(2.1f, p),
        float4x4::RotateAxisAngle(float3(0, 0.6f, 0.8f), 1.1f, p),
        float4x4::FromQuat(Quat::RotateAxisAngle(float3(0.6f, 0, 0.8f), 0.4f), p),
    };
    for (const float4x4 &m : rotations) {
        EXPECT_TRUE(m.TransformPos(p).Equals(p, 1e-5f)) << m;
        EXPECT_TRUE(m.Row(3).BitEquals(float4::unitW));
        EXPECT_TRUE(m.IsOrthonormal3(1e-5f));
    }
    // T(p) X T(-p): the translation is ((x_r0 (-p_x) + x_r1 (-p_y)) + x_r2 (-p_z)) + p_r.
    const float4x4 z = float4x4::RotateZ(2.1f, p);
    const float3x3 inner = float3x3::RotateZ(2.1f);
    for (int r = 0; r < 3; ++r) {
        const float expected = ((inner.elements[r][0] * -p.x + inner.elements[r][1] * -p.y) +
                                inner.elements[r][2] * -p.z) + p.At(r);
        EXPECT_EQ(Bits(z.elements[r][3]), Bits(expected)) << r;
    }
    ExpectBitEqual(float4x4::RotateAxisAngle(float3(0, 0, 1), 0.3f),
                   float4x4(float3x3::RotateAxisAngle(float3(0, 0, 1), 0.3f)));
}

TEST(float4x4Builders, ScalingBuilders) {
    ExpectBitEqual(float4x4::Scale(float3(2, 3, 4), float3(1, 1, 1)),
                   float4x4(2, 0, 0, -1, 0, 3, 0, -2, 0, 0, 4, -3, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::UniformScale(1.f, float3(7, -3, 2)), float4x4::identity);
    ExpectBitEqual(float4x4::ScaleAlongAxis(float3(1, 0, 0), 2.f), Diag(2, 0, 0, 1));
    ExpectBitEqual(float4x4::ScaleAlongAxis(float3(1, 2, 3), 2.f, float3(1, 1, 1)),
                   float4x4::Scale(float3(2, 4, 6), float3(1, 1, 1)));
    const float3 center(5, 6, 7);
    EXPECT_TRUE(float4x4::Scale(float3(3, 0.5f, -2), center).TransformPos(center).Equals(center, 1e-5f));
    const float4x4 axes = float4x4::Scale(2, 3, 4);
    ExpectBitEqual(axes, Diag(2, 3, 4, 1));
    const float4x4 uniform = float4x4::UniformScale(5);
    ExpectBitEqual(uniform, Diag(5, 5, 5, 1));
    EXPECT_TRUE(float4x4::Translate(float3(1, 2, 3)).Offset().Equals(1, 2, 3, 1e-9f));
}

TEST(float4x4Builders, FromTRSIsTranslationTimesRotationTimesScale) {
    const float3 t(1, -2, 3), s(2, 3, 0.5f);
    const Quat q = Quat::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.8f);
    const float4x4 m = float4x4::FromTRS(t, q, s);
    Eigen::Matrix4d expected = Eigen::Matrix4d::Identity();
    expected.topLeftCorner<3, 3>() = oracle::ToEigen(float3x3(q)).cast<double>() *
                                     Eigen::Vector3d(s.x, s.y, s.z).asDiagonal();
    expected.block<3, 1>(0, 3) = Eigen::Vector3d(t.x, t.y, t.z);
    EXPECT_LT(MaxAbsDiff(m, expected), 1e-6);
    ExpectBitEqual(float4x4::FromTRS(t, float3x3(q), s), m);
    ExpectBitEqual(float4x4::FromTRS(t, float3x4(float3x3(q)), s), m);
    // A 4x4 rotation keeps its own translation (t is added) and its row 3 is scaled too.
    const float4x4 r(1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 1, 1, 1, 1);
    ExpectBitEqual(float4x4::FromTRS(t, r, s), float4x4(2, 0, 0, 11, 0, 3, 0, 18, 0, 0, 0.5f, 33, 2, 3, 0.5f, 1));
}

TEST(float4x4Builders, ShearsMirrorsAndProjections) {
    ExpectBitEqual(float4x4::ShearX(2, 3), float4x4(1, 2, 3, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::ShearY(2, 3), float4x4(1, 0, 0, 0, 2, 1, 3, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::ShearZ(2, 3), float4x4(1, 0, 0, 0, 0, 1, 0, 0, 2, 3, 1, 0, 0, 0, 0, 1));
    ExpectBitEqual(float4x4::OrthographicProjectionYZ(), Diag(0, 1, 1, 1));
    ExpectBitEqual(float4x4::OrthographicProjectionXZ(), Diag(1, 0, 1, 1));
    ExpectBitEqual(float4x4::OrthographicProjectionXY(), Diag(1, 1, 0, 1));
    const math::Plane plane(float3(0, 0, 1), 2.f);
    EXPECT_TRUE(float4x4::Mirror(plane).TransformPos(float3(1, 2, 3)).Equals(1, 2, 1, 1e-6f));
    EXPECT_TRUE(float4x4::OrthographicProjection(plane).TransformPos(float3(1, 2, 7)).Equals(1, 2, 2, 1e-6f));
}

TEST(float4x4Builders, RandomGeneralDrawsSixteenValuesRowByRow) {
    math::LCG lcg;
    lcg.Seed(12345u, 69621u, 0u, 2147483647u);
    math::LCG copy = lcg;
    const float4x4 m = float4x4::RandomGeneral(lcg, -2.f, 3.f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(Bits(m.elements[r][c]), Bits(copy.Float(-2.f, 3.f)));
}

TEST(float4x4Arithmetic, ElementwiseOperations) {
    const float4x4 a(1, -2, 3, -4, 5, -6, 7, -8, 9, -10, 11, -12, 13, -14, 15, -0.f);
    ExpectBitEqual(-(-a), a);
    EXPECT_EQ(Bits((-a).elements[3][3]), 0u);  // the sign bit of -0 is inverted
    ExpectBitEqual(a.Abs(), float4x4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0));
    ExpectBitEqual(a + a, a * 2.f);
    ExpectBitEqual(a - a, float4x4::zero);
    float4x4 b = a;
    b /= 3.f;
    ExpectBitEqual(b, a * (1.f / 3.f));  // by the reciprocal, computed once
    ExpectBitEqual(a / 3.f, b);
    b += a;
    b -= a;
    b *= 3.f;
    EXPECT_TRUE(b.Equals(a, 1e-5f));
}

TEST(float4x4Structure, TransposeDeterminantAndDecompose) {
    const float4x4 a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    ExpectBitEqual(a.Transposed(), float4x4(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    EXPECT_FLOAT_EQ(Diag(2, 3, 4, 9).Determinant3(), 24.f);
    EXPECT_TRUE(Diag(1, 1, -1, 1).HasNegativeScale());

    const float3 t(1, 2, 3), s(2, 3, 4);
    const float3x3 r = float3x3::RotateAxisAngle(float3(0.6f, 0.8f, 0), 0.5f);
    const float4x4 m = float4x4::FromTRS(t, r, s);
    EXPECT_TRUE(m.ExtractScale().Equals(s, 1e-5f));
    float3 outT, outS;
    float3x3 outR;
    m.Decompose(outT, outR, outS);
    EXPECT_TRUE(outT.Equals(t, 1e-6f));
    EXPECT_TRUE(outS.Equals(s, 1e-5f));
    EXPECT_TRUE(outR.Equals(r, 1e-5f));
    float4x4 outR4;
    m.Decompose(outT, outR4, outS);
    ExpectBitEqual(outR4, float4x4(outR));
    float3x4 outR34 = float3x4::nan;
    m.Decompose(outT, outR34, outS);
    EXPECT_TRUE(outR34.TranslatePart().Equals(0, 0, 0, 1e-9f));
    Quat q;
    m.Decompose(outT, q, outS);
    EXPECT_TRUE(float3x3(q).Equals(r, 1e-5f));

    float4x4 unscaled = m;
    unscaled.RemoveScale();
    EXPECT_TRUE(unscaled.Row3(0).IsNormalized(1e-5f));
}

TEST(float4x4Structure, OrthonormaliseColumns) {
    float4x4 m(1, 1, 0, 9, 0, 1, 0, 9, 0, 0, 2, 9, 5, 5, 5, 5);
    m.Orthonormalize3(0, 1, 2);
    EXPECT_TRUE(m.IsOrthonormal3(1e-5f));
    EXPECT_TRUE(m.Row(3).Equals(5, 5, 5, 5, 1e-9f));
    EXPECT_TRUE(m.TranslatePart().Equals(9, 9, 9, 1e-9f));
    float4x4 o(1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1);
    o.Orthogonalize3(0, 1, 2);
    EXPECT_TRUE(o.IsColOrthogonal3(1e-8f));
    EXPECT_TRUE(o.Col3(2).Equals(0, 0, 2, 1e-9f));
    const float4x4 before = o;
    o.Orthonormalize3(1, 1, 2);
    ExpectBitEqual(o, before);
}

TEST(float4x4Queries, TriangularSymmetricAndSkew) {
    const float4x4 lower(1, 0, 0, 0, 2, 3, 0, 0, 4, 5, 6, 0, 7, 8, 9, 10);
    EXPECT_TRUE(lower.IsLowerTriangular(1e-6f));
    EXPECT_FALSE(lower.IsUpperTriangular(1e-6f));
    EXPECT_TRUE(lower.Transposed().IsUpperTriangular(1e-6f));
    EXPECT_TRUE((lower + lower.Transposed()).IsSymmetric(1e-6f));
    EXPECT_FALSE(lower.IsSymmetric(1e-6f));
    const float4x4 skew(0, 1, 2, 3, -1, 0, 4, 5, -2, -4, 0, 6, -3, -5, -6, 0);
    EXPECT_TRUE(skew.IsSkewSymmetric(1e-5f));
    // The diagonal passes only while twice its magnitude is below epsilon.
    float4x4 nearly = skew;
    nearly.elements[2][2] = 0.4e-5f;
    EXPECT_TRUE(nearly.IsSkewSymmetric(1e-5f));
    nearly.elements[2][2] = 0.6e-5f;
    EXPECT_FALSE(nearly.IsSkewSymmetric(1e-5f));
    EXPECT_TRUE(float4x4::identity.IsFinite());
    EXPECT_FALSE(float4x4::nan.IsFinite());
    EXPECT_TRUE(float4x4::identity.IsIdentity(1e-6f));
    EXPECT_TRUE(Diag(2, 2, 2, 1).HasUniformScale(1e-6f));
    EXPECT_FALSE(Diag(2, 2, 3, 1).HasUniformScale(1e-6f));
    EXPECT_TRUE(float4x4::RotateY(1.f).HasUnitaryScale(1e-5f));
}

TEST(float4x4Queries, OrthogonalityLooksAtTheThreeByThreePartOnly) {
    // Rows with a large translation are not perpendicular just because they are long.
    const float4x4 skewedRows(1, 0.1f, 0, 1000, 0, 1, 0, 1000, 0, 0, 1, 1000, 0, 0, 0, 1);
    EXPECT_FALSE(skewedRows.IsRowOrthogonal3(1e-8f));
    // Orthogonal columns and unit rows, but column 0 has length 0.707: not orthonormal.
    const float4x4 notOrthonormal(0.5f, -0.8660254f, 0, 0, 0.5f, 0.8660254f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    EXPECT_TRUE(notOrthonormal.IsColOrthogonal3(1e-5f));
    EXPECT_FALSE(notOrthonormal.IsOrthonormal3(1e-5f));
    EXPECT_TRUE(float4x4::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.3f).IsOrthonormal3(1e-5f));
}

TEST(float4x4Text, RowsAndColumnsWithTwoDecimals) {
    EXPECT_EQ(float4x4::identity.ToString(),
              "(1.00, 0.00, 0.00, 0.00) (0.00, 1.00, 0.00, 0.00) (0.00, 0.00, 1.00, 0.00) (0.00, 0.00, 0.00, 1.00)");
    const float4x4 t = float4x4::Translate(1, 2, 3);
    EXPECT_EQ(t.ToString2(),
              "float4x4(X:(1.00,0.00,0.00,0.00) Y:(0.00,1.00,0.00,0.00) Z:(0.00,0.00,1.00,0.00), "
              "Pos:(1.00,2.00,3.00,1.00))");
    std::ostringstream out;
    out << float4x4::identity;
    EXPECT_EQ(out.str(), float4x4::identity.ToString());
    EXPECT_EQ(float4x4::nan.ToString().substr(0, 6), "(nan, ");
}

TEST(float4x4Text, LargeElementsAreWrittenInFull) {
    // More than the 256 characters a fixed buffer would hold.
    const float4 column = float4::FromScalar(-1e10f);
    const float4x4 big(column, column, column, column);
    const std::string e = "-10000000000.00";
    const std::string row = "(" + e + ", " + e + ", " + e + ", " + e + ")";
    EXPECT_EQ(big.ToString(), row + " " + row + " " + row + " " + row);
    const std::string col = "(" + e + "," + e + "," + e + "," + e + ")";
    EXPECT_EQ(big.ToString2(), "float4x4(X:" + col + " Y:" + col + " Z:" + col + ", Pos:" + col + ")");
    EXPECT_GT(big.ToString2().size(), 256u);
}

namespace {

// An affine transform with a projective row 3, which the point and direction maps ignore.
float4x4 ProjectiveRowThree() {
    float4x4 m = float4x4::FromTRS(float3(1, -2, 3), float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.9f),
                                   float3(2, 0.5f, 3));
    m.SetRow(3, 0.25f, -0.5f, 0.125f, 3.f);
    return m;
}

bool BitEqual(const float3 &a, const float3 &b) { return a.BitEquals(b); }

}  // namespace

TEST(float4x4Shapes, PointShapesMapEachVertexByMulPos) {
    const float4x4 m = ProjectiveRowThree();
    const float3 a(1, 2, 3), b(-4, 0.5f, 2), c(0, -1, 7);

    math::LineSegment segment(a, b);
    segment.Transform(m);
    EXPECT_TRUE(BitEqual(segment.a, m.MulPos(a)) && BitEqual(segment.b, m.MulPos(b)));
    EXPECT_TRUE(BitEqual((m * math::LineSegment(a, b)).b, m.MulPos(b)));

    const math::Triangle triangle = m * math::Triangle(a, b, c);
    EXPECT_TRUE(BitEqual(triangle.a, m.MulPos(a)) && BitEqual(triangle.c, m.MulPos(c)));
    math::Triangle inPlace(a, b, c);
    inPlace.Transform(m);
    EXPECT_TRUE(BitEqual(inPlace.b, m.MulPos(b)));

    const std::vector<float3> vertices = {a, b, c};
    math::Polygon polygon;
    polygon.vertices = vertices;
    const math::Polygon mapped = m * polygon;
    polygon.Transform(m);
    for (size_t i = 0; i < vertices.size(); ++i) {
        EXPECT_TRUE(BitEqual(polygon.vertices[i], m.MulPos(vertices[i])));
        EXPECT_TRUE(BitEqual(mapped.vertices[i], polygon.vertices[i]));
    }
}

TEST(float4x4Shapes, LinesPlanesAndBoxesFollowTheThreeByFourPart) {
    const float4x4 m = ProjectiveRowThree();
    const float3x4 &part = m.Float3x4Part();
    const float3 pos(1, 2, 3), dir = float3(1, 1, 0).Normalized();

    math::Line line(pos, dir);
    line.Transform(m);
    EXPECT_TRUE(BitEqual(line.pos, m.MulPos(pos)) && BitEqual(line.dir, m.MulDir(dir)));  // not renormalised
    EXPECT_TRUE(BitEqual((m * math::Line(pos, dir)).dir, m.MulDir(dir)));  // the line product keeps the length too
    math::Ray ray(pos, dir);
    ray.Transform(m);
    EXPECT_TRUE(BitEqual(ray.dir, m.MulDir(dir)));
    EXPECT_TRUE(BitEqual((m * math::Ray(pos, dir)).dir, m.MulDir(dir).Normalized()));

    const math::Plane plane(float3(0, 0, 1), 2.f);
    const math::Plane expectedPlane = part * plane;
    const math::Plane mappedPlane = m * plane;
    EXPECT_TRUE(BitEqual(mappedPlane.normal, expectedPlane.normal));
    EXPECT_EQ(Bits(mappedPlane.d), Bits(expectedPlane.d));

    const math::AABB box(float3(-1, 0, 2), float3(3, 1, 5));
    math::AABB asBox = box;
    asBox.TransformAsAABB(m);
    math::AABB expectedBox = box;
    expectedBox.TransformAsAABB(part);
    EXPECT_TRUE(BitEqual(asBox.minCorner, expectedBox.minCorner) && BitEqual(asBox.maxCorner, expectedBox.maxCorner));
    // The box's centre lands where the matrix takes it, and rows 0 to 2 alone decide.
    EXPECT_TRUE(asBox.CenterPoint().Equals(m.MulPos(box.CenterPoint()), 1e-4f));

    const math::OBB oriented = box.Transform(m);
    const math::OBB expectedOriented = part * box;
    EXPECT_TRUE(BitEqual(oriented.pos, expectedOriented.pos) && BitEqual(oriented.halfSize, expectedOriented.halfSize));
    EXPECT_TRUE(BitEqual((m * box).axis[2], expectedOriented.axis[2]));
    math::OBB setFrom;
    setFrom.SetFrom(box, m);
    EXPECT_TRUE(BitEqual(setFrom.pos, expectedOriented.pos));
    math::OBB moved = oriented;
    moved.Transform(m);
    const math::OBB expectedMoved = part * oriented;
    EXPECT_TRUE(BitEqual(moved.pos, expectedMoved.pos) && BitEqual(moved.axis[1], expectedMoved.axis[1]));
    EXPECT_TRUE(BitEqual((m * oriented).halfSize, expectedMoved.halfSize));
}

TEST(float4x4CrossMembers, QuaternionsAndTheFourByFour) {
    const Quat q = Quat::RotateAxisAngle(float3(0.6f, 0, 0.8f), 1.2f);
    ExpectBitEqual(q.ToFloat4x4(), float4x4(q));
    ExpectBitEqual(q.ToFloat4x4(float3(1, 2, 3)), float4x4(q, float3(1, 2, 3)));
    ExpectBitEqual(q.ToFloat4x4(float4(1, 2, 3, 9)), float4x4(q, float3(1, 2, 3)));
    float4x4 assigned = float4x4::nan;
    assigned = q;
    ExpectBitEqual(assigned, q.ToFloat4x4());
    Quat back;
    back.Set(float4x4(q, float3(5, 5, 5)));
    EXPECT_LT(oracle::MaxAbsDiffUpToSign(back, oracle::ToEigen(q)), 1e-6f);
    EXPECT_TRUE(q.Transform(float4(1, 2, 3, 7)).BitEquals(float4(q.Transform(float3(1, 2, 3)), 7)));
    EXPECT_TRUE((q * float4(1, 2, 3, 7)).BitEquals(q.Mul(float4(1, 2, 3, 7))));
    float4 axis;
    float angle;
    q.ToAxisAngle(axis, angle);
    EXPECT_TRUE(axis.Equals(0.6f, 0, 0.8f, 0, 1e-5f));
    EXPECT_EQ(axis.w, 0.f);
    EXPECT_NEAR(angle, 1.2f, 1e-5f);
    Quat fromAxis;
    fromAxis.SetFromAxisAngle(float4(0.6f, 0, 0.8f, 0), 1.2f);
    EXPECT_TRUE(fromAxis.BitEquals(q));
    EXPECT_TRUE(Quat::RotateFromTo(float4(1, 0, 0, 3), float4(0, 1, 0, -1))
                    .BitEquals(Quat::RotateFromTo(float3(1, 0, 0), float3(0, 1, 0))));
    ExpectBitEqual(q * float4x4::identity, float4x4(q));
    ExpectBitEqual(float4x4::identity * q, float4x4(q));
}

TEST(float4x4CrossMembers, ThreeByThreeMembers) {
    const float3x3 r = float3x3::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.9f);
    const float3 s(2, -3, 0.5f);
    const Eigen::Matrix3f expected = oracle::ToEigen(r) * Eigen::Vector3f(s.x, s.y, s.z).asDiagonal();
    EXPECT_LT(oracle::MaxAbsDiff(float3x3::FromRS(r, s), expected), 1e-6f);
    const Quat q = Quat::RotateAxisAngle(float3(0, 0.6f, 0.8f), 0.9f);
    EXPECT_TRUE(float3x3::FromRS(q, s).Equals(float3x3::FromRS(float3x3(q), s), 1e-9f));
    const float3x3 diagonal = float3x3::Scale(s);
    EXPECT_TRUE(diagonal.Equals(float3x3(2, 0, 0, 0, -3, 0, 0, 0, 0.5f), 1e-9f));
    EXPECT_TRUE(float3x3::UniformScale(4).ToFloat3x3().Equals(float3x3::Scale(4, 4, 4).ToFloat3x3(), 1e-9f));

    EXPECT_TRUE(r.Transform(float4(1, 2, 3, 7)).BitEquals(float4(r.Transform(float3(1, 2, 3)), 7)));
    EXPECT_TRUE((r * float4(1, 2, 3, 7)).BitEquals(r.Transform(float4(1, 2, 3, 7))));
    EXPECT_TRUE((float4(1, 2, 3, 7) * r).BitEquals(float4(float3(1, 2, 3) * r, 7)));
    float4 batch[2] = {float4(1, 2, 3, 7), float4(-1, 0, 4, 0)};
    r.BatchTransform(batch, 2);
    EXPECT_TRUE(batch[1].BitEquals(r.Transform(float4(-1, 0, 4, 0))));
    oracle::Sampler sampler(73);
    const float4x4 m = RandomGeneral(sampler);
    ExpectBitEqual(r.Mul(m), r * m);
}

TEST(float4x4CrossMembers, ThreeByFourMembers) {
    oracle::Sampler sampler(79);
    const float3x4 a(sampler.Matrix(-2.f, 2.f), sampler.Vector(-5.f, 5.f));
    const float4 v(1, -2, 3, 0.5f);
    const Eigen::Vector4d ev = ToEigen4(a) * Eigen::Vector4d(v.x, v.y, v.z, v.w);
    EXPECT_LT(MaxAbsDiff(a.Transform(v), ev), 1e-5);
    EXPECT_EQ(a.Transform(v).w, 0.5f);
    for (const float4 &r : {a * v, a.Mul(v), a.MulPos(v), a.MulDir(v), a.TransformDir(v)}) EXPECT_TRUE(r.BitEquals(a.Transform(v)));
    EXPECT_TRUE(a.Transform(float4(1, -2, 3, 1)).xyz().Equals(a.TransformPos(float3(1, -2, 3)), 1e-5f));
    const Eigen::RowVector4d left = Eigen::RowVector4d(v.x, v.y, v.z, v.w) * ToEigen4(a);
    EXPECT_LT(MaxAbsDiff(v * a, Eigen::Vector4d(left.transpose())), 1e-5);
    float4 batch[2] = {v, float4(0, 1, 0, 1)};
    a.BatchTransform(batch, 2);
    EXPECT_TRUE(batch[1].BitEquals(a.Transform(float4(0, 1, 0, 1))));

    float3x4 rows = float3x4::identity;
    rows.SetRow(2, float4(1, 2, 3, 4));
    EXPECT_TRUE(rows.Row3(2).Equals(1, 2, 3, 1e-9f));
    EXPECT_EQ(rows.At(2, 3), 4.f);
    const float3x4 translation = float3x4::Translate(float4(1, 2, 3, 9));
    EXPECT_TRUE(translation.TranslatePart().Equals(1, 2, 3, 1e-9f));
    EXPECT_TRUE(float3x4::Translate(1, 2, 3).Offset().Equals(float3x4::Translate(float3(1, 2, 3)).Offset(), 1e-9f));
    EXPECT_TRUE(float3x4::Scale(float4(2, 3, 4, 5)).Offset().Equals(2, 3, 4, 1e-9f));
    EXPECT_TRUE(float3x4::Scale(2, 3, 4).Offset().Equals(float3x4::Scale(float3(2, 3, 4)).Offset(), 1e-9f));
    EXPECT_TRUE(float3x4::UniformScale(2).Offset().Equals(2, 2, 2, 1e-9f));
    const float3x4 scaled = float3x4::Scale(float4(2, 3, 4, 0), float4(1, 1, 1, 7));
    EXPECT_TRUE(scaled.Equals(float3x4::Scale(float3(2, 3, 4), float3(1, 1, 1)), 1e-9f));
    const float4x4 m = RandomGeneral(sampler);
    ExpectBitEqual(a.Mul(m), a * m);
}

TEST(float4x4CrossMembers, VectorConversionsToFourComponents) {
    const float3 p(1, 2, 3);
    EXPECT_TRUE(p.ToPos4().BitEquals(float4(1, 2, 3, 1)));
    EXPECT_TRUE(p.ToDir4().BitEquals(float4(1, 2, 3, 0)));
    const float4 s = p.Swizzled(2, 0, 3, 1);
    EXPECT_EQ(s.x, 3.f);
    EXPECT_EQ(s.y, 1.f);
    EXPECT_TRUE(std::isnan(s.z));
    EXPECT_EQ(s.w, 2.f);
    const float4 t = math::float2(5, 6).Swizzled(1, 1, 0, -1);
    EXPECT_TRUE(t.xyz().Equals(6, 6, 5, 1e-9f));
    EXPECT_TRUE(std::isnan(t.w));
}
