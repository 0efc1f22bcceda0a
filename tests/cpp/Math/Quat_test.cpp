#include "Math/Quat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Algorithm/Random/LCG.h"
#include "Math/float3.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/matrix_oracle.h"

using math::float3;
using math::float3x3;
using math::Quat;
using oracle::Bits;
using oracle::MaxAbsDiff;
using oracle::MaxAbsDiffUpToSign;
using oracle::ToEigen;

namespace {

const float kPi = 3.14159265f;

void ExpectBitEqual(const Quat &actual, const Quat &expected) {
    EXPECT_TRUE(actual.BitEquals(expected)) << actual.ToString() << " vs " << expected.ToString();
}

float MaxAbsDiff(const Quat &q, const Eigen::Quaternionf &e) {
    return (Eigen::Vector4f(q.x, q.y, q.z, q.w) - e.coeffs()).cwiseAbs().maxCoeff();
}

bool AllNaN(const float3 &v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z); }

}  // namespace

TEST(QuatConstruction, ConstantsAndPointers) {
    ExpectBitEqual(Quat::identity, Quat(0, 0, 0, 1));
    for (float c : {Quat::nan.x, Quat::nan.y, Quat::nan.z, Quat::nan.w}) EXPECT_EQ(Bits(c), 0x7FC00000u);

    const float data[4] = {1, 2, 3, 4};
    ExpectBitEqual(Quat(data), Quat(1, 2, 3, 4));
    ExpectBitEqual(Quat(static_cast<const float *>(nullptr)), Quat::nan);

    Quat q;
    q.Set(5, 6, 7, 8);
    ExpectBitEqual(q, Quat(5, 6, 7, 8));
}

TEST(QuatMeasures, DotLengthAndNormalisation) {
    const Quat q(1, 2, 3, 4);
    EXPECT_EQ(q.Dot(Quat(2, 3, 4, 5)), 40.f);
    EXPECT_EQ(q.LengthSq(), 30.f);
    EXPECT_FLOAT_EQ(q.Length(), std::sqrt(30.f));

    Quat n = q;
    EXPECT_FLOAT_EQ(n.Normalize(), std::sqrt(30.f));
    EXPECT_TRUE(n.IsNormalized(1e-6f));
    EXPECT_LT(MaxAbsDiff(n, ToEigen(q).normalized()), 1e-7f);

    // Shorter than 1e-4, or NaN: unchanged, and the length reported as 0.
    for (const Quat &tiny : {Quat(0, 0, 0, 0.00005f), Quat::nan, Quat(0, 0, 0, 0)}) {
        Quat t = tiny;
        EXPECT_EQ(t.Normalize(), 0.f);
        ExpectBitEqual(t, tiny);
        ExpectBitEqual(tiny.Normalized(), tiny);
    }
}

TEST(QuatMeasures, Predicates) {
    struct Case {
        const char *name;
        bool actual;
        bool expected;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"normalised", Quat(0, 0.6f, 0, 0.8f).IsNormalized(1e-5f), true},
        {"not normalised", Quat(0, 0.6f, 0, 0.81f).IsNormalized(1e-5f), false},
        {"invertible", Quat(0, 0, 0, 0.1f).IsInvertible(1e-3f), true},
        {"too short to invert", Quat(0, 0, 0, 0.01f).IsInvertible(1e-3f), false},
        {"infinite is not invertible", Quat(inf, 0, 0, 1).IsInvertible(1e-3f), false},
        {"finite", Quat(1, 2, 3, 4).IsFinite(), true},
        {"NaN is not finite", Quat(1, 2, std::nanf(""), 4).IsFinite(), false},
        {"equals within epsilon", Quat(1, 2, 3, 4).Equals(Quat(1, 2, 3, 4.00001f), 1e-4f), true},
        {"equals is strict", Quat(1, 2, 3, 4).Equals(Quat(1, 2, 3, 4), 0.f), false},
        {"+0 and -0 differ in bits", Quat(0, 0, 0, 1).BitEquals(Quat(-0.f, 0, 0, 1)), false},
        {"NaN bit-equals itself", Quat::nan.BitEquals(Quat::nan), true},
    };
    for (const Case &c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(QuatProduct, MatchesEigen) {
    oracle::Sampler sampler(61);
    for (int i = 0; i < 300; ++i) {
        const Quat a = sampler.UnitQuat(), b = sampler.UnitQuat();
        const Eigen::Quaternionf ea = ToEigen(a), eb = ToEigen(b);
        EXPECT_LT(MaxAbsDiff(a * b, ea * eb), 1e-6f);
        EXPECT_LT(MaxAbsDiff(a.Mul(b), ea * eb), 1e-6f);
        EXPECT_LT(MaxAbsDiff(a / b, ea * eb.conjugate()), 1e-6f);
        EXPECT_LT(MaxAbsDiffUpToSign(a.Mul(b.ToFloat3x3()), ea * eb), 2e-6f);

        // Applied to vectors, the right operand acts first.
        const float3 v = sampler.Vector(-3.f, 3.f);
        EXPECT_TRUE((a * b).Transform(v).Equals(a.Transform(b.Transform(v)), 1e-5f));
        EXPECT_LT(MaxAbsDiff(a.Transform(v), ea * ToEigen(v)), 1e-5f);
        EXPECT_LT(MaxAbsDiff(a * v, ea * ToEigen(v)), 1e-5f);
        EXPECT_TRUE(a.WorldY().Equals(a.Transform(0, 1, 0), 1e-9f));
    }
}

TEST(QuatProduct, ConjugateAndArithmetic) {
    const Quat q(1, -2, 3, 4);
    ExpectBitEqual(q.Conjugated(), Quat(-1, 2, -3, 4));
    ExpectBitEqual(q.Inverted(), Quat(-1, 2, -3, 4));
    Quat c = q;
    c.Conjugate();
    ExpectBitEqual(c, Quat(-1, 2, -3, 4));
    c.Inverse();
    ExpectBitEqual(c, q);
    EXPECT_FLOAT_EQ(c.InverseAndNormalize(), std::sqrt(30.f));
    EXPECT_LT(MaxAbsDiff(c, ToEigen(q).conjugate().normalized()), 1e-7f);

    ExpectBitEqual(q + Quat(1, 1, 1, 1), Quat(2, -1, 4, 5));
    ExpectBitEqual(q - Quat(1, 1, 1, 1), Quat(0, -3, 2, 3));
    ExpectBitEqual(-q, Quat(-1, 2, -3, -4));
    ExpectBitEqual(q * 2.f, Quat(2, -4, 6, 8));
    ExpectBitEqual(q / 3.f, q * (1.f / 3.f));
    ExpectBitEqual(q.Lerp(Quat(3, 2, 1, 0), 0.25f), Quat(1.5f, -1, 2.5f, 3));
}

TEST(QuatAxisAngle, MatchesEigen) {
    oracle::Sampler sampler(62);
    for (int i = 0; i < 200; ++i) {
        const float3 axis = sampler.UnitVector();
        const float angle = sampler.Uniform(0.01f, 2 * kPi - 0.01f);
        const Quat q = Quat::RotateAxisAngle(axis, angle);
        EXPECT_LT(MaxAbsDiff(q, Eigen::Quaternionf(Eigen::AngleAxisf(angle, ToEigen(axis)))), 1e-6f);
        Quat s;
        s.SetFromAxisAngle(axis, angle);
        ExpectBitEqual(s, q);

        float3 outAxis;
        float outAngle;
        q.ToAxisAngle(outAxis, outAngle);
        // Angles stay in [0, 2 pi): the axis is not flipped to keep the angle below pi.
        EXPECT_NEAR(outAngle, angle, 2e-3f);
        EXPECT_TRUE(outAxis.Equals(axis, 2e-3f));
        EXPECT_LT(MaxAbsDiff(float3x3::RotateAxisAngle(outAxis, outAngle), ToEigen(q).toRotationMatrix()), 1e-5f);
        EXPECT_EQ(q.Angle(), outAngle);
        EXPECT_TRUE(q.Axis().BitEquals(outAxis));
    }
    ExpectBitEqual(Quat::RotateX(1.f), Quat::RotateAxisAngle(float3(1, 0, 0), 1.f));
    ExpectBitEqual(Quat::RotateY(1.f), Quat::RotateAxisAngle(float3(0, 1, 0), 1.f));
    ExpectBitEqual(Quat::RotateZ(1.f), Quat::RotateAxisAngle(float3(0, 0, 1), 1.f));
}

TEST(QuatAxisAngle, PinnedCases) {
    const Quat quarter = Quat::RotateZ(kPi / 2);
    ExpectBitEqual(quarter, Quat(0, 0, std::sin(kPi / 4), std::cos(kPi / 4)));
    EXPECT_TRUE(quarter.Transform(float3(1, 0, 0)).Equals(0, 1, 0, 1e-6f));
    EXPECT_TRUE(quarter.WorldX().Equals(0, 1, 0, 1e-6f));

    // The axis of a zero turn is undefined.
    EXPECT_TRUE(AllNaN(Quat::identity.Axis()));
    EXPECT_EQ(Quat::identity.Angle(), 0.f);
}

TEST(QuatSlerp, MatchesEigen) {
    oracle::Sampler sampler(63);
    for (int i = 0; i < 300; ++i) {
        const Quat a = sampler.UnitQuat();
        // Half of the pairs near each other, where the weights become linear.
        const Quat b = i % 2 ? sampler.UnitQuat()
                             : (a * Quat::RotateAxisAngle(sampler.UnitVector(), sampler.Uniform(-0.4f, 0.4f))) *
                                   (i % 4 ? 1.f : -1.f);
        const float t = sampler.Uniform(0.f, 1.f);
        const Quat r = a.Slerp(b, t);
        const float cosine = std::fabs(a.Dot(b));
        const float tolerance = cosine <= 0.97f ? 2e-6f : 1e-3f;
        // Against a negative dot product this negates a where Eigen negates b: the same rotation.
        EXPECT_LT(MaxAbsDiffUpToSign(r, ToEigen(a).slerp(t, ToEigen(b))), tolerance) << "cos " << cosine;
        EXPECT_TRUE(r.IsNormalized(1e-5f));
    }
}

TEST(QuatSlerp, EndsAndTheShorterWay) {
    const Quat a = Quat::RotateAxisAngle(float3(0, 0.6f, 0.8f), 1.f);
    const Quat b = Quat::RotateX(2.5f);
    ASSERT_GT(a.Dot(b), 0.f);
    EXPECT_TRUE(a.Slerp(b, 0.f).Equals(a, 1e-6f));
    EXPECT_TRUE(a.Slerp(b, 1.f).Equals(b, 1e-6f));
    // Against a negative dot product this quaternion is negated, so the turn stays short.
    EXPECT_TRUE(a.Slerp(-b, 0.f).Equals(-a, 1e-6f));
    EXPECT_TRUE(a.Slerp(-b, 1.f).Equals(-b, 1e-6f));
    EXPECT_TRUE(a.Slerp(-b, 0.5f).Equals(-a.Slerp(b, 0.5f), 1e-6f));
    ExpectBitEqual(Quat(0, 0, 0, 1).Slerp(Quat(0, 0, 0, -1), 0.5f), Quat(0, 0, 0, -1));
    // A non-unit quaternion near b comes back normalised.
    EXPECT_TRUE((b * 1.01f).Slerp(b, 0.f).Equals(b, 1e-6f));
}

TEST(QuatSlerp, AngleAndAxisBetween) {
    const Quat a = Quat::RotateZ(0.3f), b = Quat::RotateZ(1.1f);
    EXPECT_NEAR(a.AngleBetween(b), 0.8f, 1e-5f);
    EXPECT_TRUE(a.AxisFromTo(b).Equals(0, 0, 1, 1e-4f));
}

TEST(QuatRotateFromTo, PinnedCases) {
    struct Case {
        float3 from, to;
        Quat expected;
    };
    const float h = 0.7071068f;
    const Case cases[] = {
        {float3(0, 0, -1), float3(0, 0, 1), Quat(1, 0, 0, 0)},
        {float3(0, 0, 1), float3(0, 0, -1), Quat(1, 0, 0, 0)},
        // Equal directions give the half turn about X, which callers rely on.
        {float3(0, 0, 1), float3(0, 0, 1), Quat(1, 0, 0, 0)},
        {float3(1, 0, 0), float3(1, 0, 0), Quat(1, 0, 0, 0)},
        {float3(1, 0, 0), float3(0, 1, 0), Quat(0, 0, h, h)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from.ToString() + " -> " + c.to.ToString());
        EXPECT_TRUE(Quat::RotateFromTo(c.from, c.to).Equals(c.expected, 1e-6f));
    }
}

// The half turn about X would leave a direction along X fixed; opposite directions
// along X turn about a perpendicular axis instead.
TEST(QuatRotateFromTo, OppositeDirectionsAlongXAreTurnedOver) {
    for (const float3 &from : {float3(1, 0, 0), float3(-1, 0, 0), float3(1, 1e-7f, 0).Normalized()}) {
        const Quat q = Quat::RotateFromTo(from, -from);
        SCOPED_TRACE(from.ToString());
        EXPECT_TRUE(q.IsNormalized(1e-6f));
        EXPECT_TRUE(q.Transform(from).Equals(-from, 1e-6f));
        EXPECT_NEAR(q.Angle(), kPi, 1e-5f);
    }
}

TEST(QuatRotateFromTo, MatchesEigenAndNeverGivesNaN) {
    oracle::Sampler sampler(64);
    for (int i = 0; i < 300; ++i) {
        const float3 from = sampler.UnitVector(), to = sampler.UnitVector();
        const Quat q = Quat::RotateFromTo(from, to);
        // The square roots of 0.5 -+ cos/2 lose precision for nearly parallel or opposite directions.
        const float tolerance = std::fabs(from.Dot(to)) < 0.9f ? 2e-6f : 1e-3f;
        EXPECT_LT(MaxAbsDiff(q, Eigen::Quaternionf::FromTwoVectors(ToEigen(from), ToEigen(to))), tolerance);
        EXPECT_TRUE(q.Transform(from).Equals(to, tolerance * 5.f));
        EXPECT_TRUE(float3x3::RotateFromTo(from, to).Equals(q.ToFloat3x3(), 1e-9f));
    }
    // Nearly parallel unit vectors whose rounded dot product may exceed 1.
    for (int i = 0; i < 2000; ++i) {
        const float3 from = sampler.UnitVector();
        const float3 to = (from + from.Perpendicular(sampler.UnitVector(), float3(0, 0, 1)) * 1e-5f).Normalized();
        const Quat q = Quat::RotateFromTo(from, to);
        ASSERT_TRUE(q.IsFinite()) << from.ToString() << " " << to.ToString();
        if (from.Cross(to).Length() > 1e-6f) {
            EXPECT_TRUE(q.IsNormalized(1e-5f));
            EXPECT_TRUE(q.Transform(from).Equals(to, 1e-3f));
        }
    }
}

TEST(QuatMatrix, ConversionsMatchEigen) {
    oracle::Sampler sampler(65);
    for (int i = 0; i < 300; ++i) {
        const Quat q = sampler.UnitQuat();
        EXPECT_LT(MaxAbsDiff(q.ToFloat3x3(), ToEigen(q).toRotationMatrix()), 2e-6f);
        Quat back;
        back.Set(q.ToFloat3x3());
        EXPECT_LT(MaxAbsDiffUpToSign(back, ToEigen(q)), 2e-6f);
        EXPECT_TRUE(back.IsNormalized(1e-6f));
    }
}

// The affine form carries the same rotation with zero translation, and a translation does not
// reach the conversion back.
TEST(QuatMatrix, AffineFormsCarryTheRotationOnly) {
    oracle::Sampler sampler(66);
    for (int i = 0; i < 100; ++i) {
        const Quat q = sampler.UnitQuat();
        const math::float3x4 m = q.ToFloat3x4();
        const float3x3 r = q.ToFloat3x3();
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) EXPECT_EQ(Bits(m.At(row, col)), Bits(r.At(row, col)));
            EXPECT_EQ(Bits(m.At(row, 3)), 0u);
        }
        Quat fromAffine, fromLinear;
        fromAffine.Set(math::float3x4(r, sampler.Vector(-100.f, 100.f)));
        fromLinear.Set(r);
        ExpectBitEqual(fromAffine, fromLinear);
        EXPECT_LT(MaxAbsDiffUpToSign(fromAffine, ToEigen(q)), 2e-6f);
    }
}

// Each branch of the matrix-to-quaternion conversion: positive trace, then the
// largest diagonal element in row 0, 1 or 2.
TEST(QuatMatrix, EveryBranchOfTheConversion) {
    const float3x3 cases[] = {
        float3x3::RotateAxisAngle(float3(0.6f, 0, 0.8f), 0.5f),
        float3x3::RotateX(3.f),
        float3x3::RotateY(3.f),
        float3x3::RotateZ(3.f),
        float3x3::RotateAxisAngle(float3(0.48f, 0.6f, 0.64f), 3.1f),
    };
    for (const float3x3 &m : cases) {
        SCOPED_TRACE(m.ToString());
        EXPECT_LT(MaxAbsDiffUpToSign(m.ToQuat(), Eigen::Quaternionf(ToEigen(m))), 2e-6f);
        EXPECT_TRUE(m.ToQuat().ToFloat3x3().Equals(m, 1e-5f));
    }
    // The result is normalised even for a scaled matrix.
    EXPECT_TRUE((float3x3::RotateY(3.f) * 2.f).ToQuat().IsNormalized(1e-6f));
}

TEST(QuatLookAt, BuildsTheMatrixLookAt) {
    const float3 f(0, 0, 1), t(1, 0, 0), u(0, 1, 0), w(0, 0, 1);
    const Quat q = Quat::LookAt(f, t, u, w);
    EXPECT_TRUE(q.Transform(f).Equals(t, 1e-6f));
    ExpectBitEqual(q, float3x3::LookAt(f, t, u, w).ToQuat());
    ExpectBitEqual(Quat::RotateFromTo(f, t, u, w), q);
}

TEST(QuatSlerpVector, EndsAndMiddle) {
    const float3 x(1, 0, 0), y(0, 1, 0);
    EXPECT_TRUE(Quat::SlerpVector(x, y, 0.f).BitEquals(x));
    EXPECT_TRUE(Quat::SlerpVector(x, y, -1.f).BitEquals(x));
    EXPECT_TRUE(Quat::SlerpVector(x, y, 1.f).BitEquals(y));
    EXPECT_TRUE(Quat::SlerpVector(x, y, 0.5f).Equals(float3(1, 1, 0).Normalized(), 1e-6f));

    EXPECT_TRUE(Quat::SlerpVectorAbs(x, y, 0.f).BitEquals(x));
    EXPECT_TRUE(Quat::SlerpVectorAbs(x, y, 2.f).BitEquals(y));
    EXPECT_TRUE(Quat::SlerpVectorAbs(x, y, kPi / 6).Equals(std::cos(kPi / 6), std::sin(kPi / 6), 0, 1e-6f));
}

TEST(QuatRandom, UnitAndAMultipleOfFourDraws) {
    math::LCG lcg;
    lcg.Seed(2024, 69621, 0, 2147483647);
    for (int i = 0; i < 50; ++i) {
        math::LCG before = lcg;
        const Quat q = Quat::RandomRotation(lcg);
        EXPECT_TRUE(q.IsNormalized(1e-5f));
        int draws = 0;
        while (before.lastNumber != lcg.lastNumber && draws < 4000) {
            before.Float(-1.f, 1.f);
            ++draws;
        }
        EXPECT_EQ(before.lastNumber, lcg.lastNumber);
        EXPECT_EQ(draws % 4, 0);
    }
}

// A uniform rotation carries an axis to a uniform direction: per component mean 0, second
// moment 1/3, fourth 1/5. Normalising the cube's samples without rejecting its corners leans
// towards the diagonals and moves the even moments.
TEST(QuatRandom, RotatedAxesAreUniformOnTheSphere) {
    math::LCG lcg;
    lcg.Seed(1102, 69621, 0, 2147483647);
    const int samples = 200000;
    double sum[3] = {0, 0, 0}, sum2[3] = {0, 0, 0}, sum4[3] = {0, 0, 0};
    for (int i = 0; i < samples; ++i) {
        const float3 axis = Quat::RandomRotation(lcg).Transform(float3::unitX);
        const double c[3] = {axis.x, axis.y, axis.z};
        for (int k = 0; k < 3; ++k) {
            sum[k] += c[k];
            sum2[k] += c[k] * c[k];
            sum4[k] += c[k] * c[k] * c[k] * c[k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(sum[k] / samples, 0.0, 0.005) << "component " << k;
        EXPECT_NEAR(sum2[k] / samples, 1.0 / 3, 0.003) << "component " << k;
        EXPECT_NEAR(sum4[k] / samples, 1.0 / 5, 0.003) << "component " << k;
    }
}

TEST(QuatText, Forms) {
    EXPECT_EQ(Quat(1, 2, 3, 4).ToString(), "(1.000, 2.000, 3.000, 4.000)");
    EXPECT_EQ(Quat::RotateZ(kPi / 2).ToString2(), "Quat(axis:(0.00,0.00,1.00) angle:90)");
    EXPECT_EQ((-Quat::nan).ToString(), "(nan, nan, nan, nan)");
    EXPECT_EQ(Quat::identity.ToString2(), "Quat(axis:(nan,nan,nan) angle: 0)");
    std::ostringstream out;
    out << Quat(-0.5f, 0, 0.25f, 1);
    EXPECT_EQ(out.str(), "(-0.500, 0.000, 0.250, 1.000)");
}
