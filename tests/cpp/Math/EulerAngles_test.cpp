#include "Math/EulerAngles.h"

#include <gtest/gtest.h>

#include <Eigen/Geometry>
#include <cmath>
#include <limits>
#include <string>

#include "Math/MathFunc.h"
#include "Math/Quat.h"
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
using math::Quat;
using oracle::Bits;

namespace {

const float kPi = 3.1415927f;
const float kHalfPi = 1.5707964f;

// One axis order with its members on every type.
struct Order {
    std::string name;
    int axes[3];
    float3x3 (*from3x3)(float, float, float);
    float3 (float3x3::*to3x3)() const;
    float3x4 (*from3x4)(float, float, float);
    float3 (float3x4::*to3x4)() const;
    float4x4 (*from4x4)(float, float, float);
    float3 (float4x4::*to4x4)() const;
    Quat (*fromQuat)(float, float, float);
    float3 (Quat::*toQuat)() const;

    bool Proper() const { return axes[0] == axes[2]; }
};

#define ORDER_CASE(P, Q, R, _)                                                                               \
    {#P #Q #R,                                                                                               \
     {math::euler::k##P, math::euler::k##Q, math::euler::k##R},                                              \
     &float3x3::FromEuler##P##Q##R,                                                                          \
     &float3x3::ToEuler##P##Q##R,                                                                            \
     &float3x4::FromEuler##P##Q##R,                                                                          \
     &float3x4::ToEuler##P##Q##R,                                                                            \
     &float4x4::FromEuler##P##Q##R,                                                                          \
     &float4x4::ToEuler##P##Q##R,                                                                            \
     &Quat::FromEuler##P##Q##R,                                                                              \
     &Quat::ToEuler##P##Q##R},
const Order kOrders[] = {VANDREL_EULER_ORDERS(ORDER_CASE, )};
#undef ORDER_CASE

float3x3 (*const kAxisRotation[3])(float) = {&float3x3::RotateX, &float3x3::RotateY, &float3x3::RotateZ};

Eigen::Vector3f EigenAxis(int axis) { return Eigen::Vector3f::Unit(axis); }

float MaxAbsDiff(const float3x3 &a, const float3x3 &b) {
    float worst = 0.f;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) worst = std::fmax(worst, std::fabs(a.elements[r][c] - b.elements[r][c]));
    return worst;
}

bool BitEqual(const float3x3 &a, const float3x3 &b) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (Bits(a.elements[r][c]) != Bits(b.elements[r][c])) return false;
    return true;
}

// Each matrix type through its own members, its 3x3 part compared.
struct MatrixType {
    const char *name;
    float3x3 (*build)(const Order &, float, float, float);
    float3 (*extract)(const Order &, const float3x3 &);
};

const MatrixType kTypes[] = {
    {"float3x3", [](const Order &o, float a, float b, float c) { return o.from3x3(a, b, c); },
     [](const Order &o, const float3x3 &m) { return (m.*o.to3x3)(); }},
    {"float3x4", [](const Order &o, float a, float b, float c) { return o.from3x4(a, b, c).Float3x3Part(); },
     [](const Order &o, const float3x3 &m) { return (float3x4(m, float3(5, -6, 7)).*o.to3x4)(); }},
    {"float4x4", [](const Order &o, float a, float b, float c) { return o.from4x4(a, b, c).Float3x3Part(); },
     [](const Order &o, const float3x3 &m) {
         float4x4 full(m);
         full.SetTranslatePart(-3.f, 8.f, 1.f);
         full.SetRow(3, 0.5f, 0.25f, 2.f, 9.f);
         return (full.*o.to4x4)();
     }},
};

// The element the second angle is read from: the one where both outer rotations leave a
// single factor.
float SecondAngleElement(const Order &o, const float3x3 &m) {
    const int p = o.axes[0], r = o.axes[2];
    if (o.Proper()) return m.elements[p][p];
    return m.elements[p][r];
}

class EulerAngles : public ::testing::Test {
protected:
    // Angles whose second one keeps its element at least 0.005 from +-1: nearer the ends
    // acos and asin magnify the element's rounding beyond what the round trip may lose.
    float3 WellConditioned(const Order &o) {
        for (;;) {
            const float a = sampler_.Uniform(-7.f, 7.f);
            const float b = sampler_.Uniform(-7.f, 7.f);
            const float c = sampler_.Uniform(-7.f, 7.f);
            const float e = std::fabs(SecondAngleElement(o, o.from3x3(a, b, c)));
            if (e < 0.995f) return float3(a, b, c);
        }
    }

    oracle::Sampler sampler_{124u};
};

TEST_F(EulerAngles, BuildersAreTheProductOfTheThreeAxisRotations) {
    for (const Order &o : kOrders)
        for (int n = 0; n < 200; ++n) {
            const float a = sampler_.Uniform(-7.f, 7.f);
            const float b = sampler_.Uniform(-7.f, 7.f);
            const float c = sampler_.Uniform(-7.f, 7.f);
            const float3x3 m = o.from3x3(a, b, c);
            const float3x3 product =
                kAxisRotation[o.axes[0]](a) * kAxisRotation[o.axes[1]](b) * kAxisRotation[o.axes[2]](c);
            EXPECT_LT(MaxAbsDiff(m, product), 1e-6f) << o.name;
            const Eigen::Matrix3f eigen = (Eigen::AngleAxisf(a, EigenAxis(o.axes[0])) *
                                           Eigen::AngleAxisf(b, EigenAxis(o.axes[1])) *
                                           Eigen::AngleAxisf(c, EigenAxis(o.axes[2])))
                                              .toRotationMatrix();
            EXPECT_LT(oracle::MaxAbsDiff(m, eigen), 2e-6f) << o.name;
            EXPECT_TRUE(m.IsOrthonormal(1e-5f)) << o.name;
            EXPECT_NEAR(m.Determinant(), 1.f, 1e-5f) << o.name;
        }
}

// The closed form of each element, in the order the factors are written. The angles are
// drawn at run time: sines folded at compile time may differ in the last bit.
TEST_F(EulerAngles, TheXYZBuilderUsesTheClosedFormToTheLastBit) {
    for (int n = 0; n < 100; ++n) {
        const float x = sampler_.Uniform(-4.f, 4.f);
        const float y = sampler_.Uniform(-4.f, 4.f);
        const float z = sampler_.Uniform(-4.f, 4.f);
        float sx, cx, sy, cy, sz, cz;
        math::SinCos(x, sx, cx);
        math::SinCos(y, sy, cy);
        math::SinCos(z, sz, cz);
        const float3x3 expected(cy * cz, -cy * sz, sy, cx * sz + sx * sy * cz, cx * cz - sx * sy * sz, -sx * cy,
                                sx * sz - cx * sy * cz, sx * cz + cx * sy * sz, cx * cy);
        EXPECT_TRUE(BitEqual(float3x3::FromEulerXYZ(x, y, z), expected));
    }
}

TEST_F(EulerAngles, LargerTypesWriteTheSameRotationAndAnAffineRest) {
    for (const Order &o : kOrders) {
        const float a = 0.3f, b = -2.2f, c = 1.1f;
        const float3x3 rotation = o.from3x3(a, b, c);
        const float3x4 m34 = o.from3x4(a, b, c);
        const float4x4 m44 = o.from4x4(a, b, c);
        EXPECT_TRUE(BitEqual(m34.Float3x3Part(), rotation)) << o.name;
        EXPECT_TRUE(BitEqual(m44.Float3x3Part(), rotation)) << o.name;
        EXPECT_TRUE(m34.TranslatePart().Equals(0, 0, 0, 1e-30f)) << o.name;
        EXPECT_TRUE(m44.Col(3).BitEquals(float4(0, 0, 0, 1))) << o.name;
        EXPECT_TRUE(m44.Row(3).BitEquals(float4(0, 0, 0, 1))) << o.name;
    }
}

// Angles to matrix to angles to matrix reproduces the matrix, for every order and type;
// the extracting members ignore the translation and row 3.
TEST_F(EulerAngles, RoundTripsReproduceTheMatrix) {
    for (const MatrixType &t : kTypes)
        for (const Order &o : kOrders)
            for (int n = 0; n < 300; ++n) {
                const float3 angles = WellConditioned(o);
                const float3x3 m = t.build(o, angles.x, angles.y, angles.z);
                const float3 back = t.extract(o, m);
                EXPECT_LT(MaxAbsDiff(t.build(o, back.x, back.y, back.z), m), 1.5e-6f) << t.name << " " << o.name;
                const float3 reference = (m.*o.to3x3)();
                EXPECT_EQ(Bits(back.x), Bits(reference.x));
                EXPECT_EQ(Bits(back.y), Bits(reference.y));
                EXPECT_EQ(Bits(back.z), Bits(reference.z));
            }
}

// Inside the principal ranges the angles themselves come back.
TEST_F(EulerAngles, PrincipalAnglesComeBack) {
    for (const Order &o : kOrders)
        for (int n = 0; n < 300; ++n) {
            const float a = sampler_.Uniform(-3.1f, 3.1f);
            const float c = sampler_.Uniform(-3.1f, 3.1f);
            const float b = o.Proper() ? sampler_.Uniform(0.1f, 3.04f) : sampler_.Uniform(-1.47f, 1.47f);
            const float3 back = (o.from3x3(a, b, c).*o.to3x3)();
            EXPECT_NEAR(back.x, a, 1e-4f) << o.name;
            EXPECT_NEAR(back.y, b, 1e-4f) << o.name;
            EXPECT_NEAR(back.z, c, 1e-4f) << o.name;
        }
}

// At the ends the second angle's element is exactly +-1: the third angle is 0, the first
// carries the whole turn about the first axis, and the matrix still comes back.
TEST_F(EulerAngles, EndBranchesKeepTheMatrix) {
    for (const MatrixType &t : kTypes)
        for (const Order &o : kOrders) {
            const float ends[2] = {o.Proper() ? 0.f : kHalfPi, o.Proper() ? kPi : -kHalfPi};
            for (const float b : ends)
                for (int n = 0; n < 50; ++n) {
                    const float a = sampler_.Uniform(-3.f, 3.f);
                    const float c = sampler_.Uniform(-3.f, 3.f);
                    const float3x3 m = t.build(o, a, b, c);
                    ASSERT_EQ(std::fabs(SecondAngleElement(o, m)), 1.f) << o.name;
                    const float3 back = t.extract(o, m);
                    EXPECT_EQ(back.z, 0.f) << o.name;
                    const float e = SecondAngleElement(o, m);
                    if (o.Proper()) {
                        EXPECT_EQ(back.y, e > 0.f ? 0.f : kPi) << o.name;
                    } else {
                        EXPECT_EQ(std::fabs(back.y), kHalfPi) << o.name;
                    }
                    EXPECT_LT(MaxAbsDiff(t.build(o, back.x, back.y, back.z), m), 1.5e-6f) << t.name << " " << o.name;
                }
        }
}

TEST_F(EulerAngles, TheEdgeCasesOfTheTable) {
    EXPECT_TRUE((float3x3::identity.ToEulerXYZ()).Equals(0, 0, 0, 1e-30f));
    EXPECT_TRUE((float3x3::identity.ToEulerZYX()).Equals(0, 0, 0, 1e-30f));

    const float3x3 flipped = float3x3::FromEulerXYX(0.4f, kPi, 0.9f);
    ASSERT_EQ(flipped.elements[0][0], -1.f);
    const float3 back = flipped.ToEulerXYX();
    EXPECT_NEAR(back.x, 0.4f - 0.9f, 1e-6f);
    EXPECT_EQ(back.y, kPi);
    EXPECT_EQ(back.z, 0.f);
    EXPECT_LT(MaxAbsDiff(float3x3::FromEulerXYX(back.x, back.y, back.z), flipped), 1.5e-6f);

    // The sign of the quarter turn follows asin(e) at either end.
    float3x3 m = float3x3::identity;
    m.elements[0][2] = 1.f;
    EXPECT_EQ(m.ToEulerXYZ().y, kHalfPi);
    EXPECT_EQ(m.ToEulerXYZ().z, 0.f);
    m.elements[0][2] = -1.f;
    EXPECT_EQ(m.ToEulerXYZ().y, -kHalfPi);
    // asin(-e): the ends swap their signs.
    m = float3x3::identity;
    m.elements[0][1] = 1.f;
    EXPECT_EQ(m.ToEulerXZY().y, -kHalfPi);
    m.elements[0][1] = -1.f;
    EXPECT_EQ(m.ToEulerXZY().y, kHalfPi);
}

// A rotation rounded slightly past +-1, or a NaN, takes an end rather than giving a NaN
// angle from acos or asin; a NaN takes the e >= 1 end.
TEST_F(EulerAngles, ElementsBeyondOneAndNaNTakeTheEnds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char *name;
        float e;
        float second, secondMinusE, secondProper;  // of XYZ (asin(e)), XZY (asin(-e)) and XYX
    };
    const Case cases[] = {
        {"just above 1", 1.0000001f, kHalfPi, -kHalfPi, 0.f},
        {"just below -1", -1.0000001f, -kHalfPi, kHalfPi, kPi},
        {"NaN", nan, kHalfPi, -kHalfPi, 0.f},
    };
    for (const Case &c : cases) {
        // Rotations at the end in question, then nudged past it: the first angle still
        // finds the turn of 0.6 about X.
        float3x3 xyz = float3x3::FromEulerXYZ(0.6f, c.second, 0.f);
        xyz.elements[0][2] = c.e;
        float3x3 xzy = float3x3::FromEulerXZY(0.6f, c.secondMinusE, 0.f);
        xzy.elements[0][1] = c.e;
        float3x3 xyx = float3x3::FromEulerXYX(0.6f, c.secondProper, 0.f);
        xyx.elements[0][0] = c.e;
        const float3 a = xyz.ToEulerXYZ(), b = xzy.ToEulerXZY(), p = xyx.ToEulerXYX();
        EXPECT_EQ(a.y, c.second) << c.name;
        EXPECT_EQ(b.y, c.secondMinusE) << c.name;
        EXPECT_EQ(p.y, c.secondProper) << c.name;
        for (const float3 &angles : {a, b, p}) {
            EXPECT_NEAR(angles.x, 0.6f, 1e-6f) << c.name;
            EXPECT_EQ(angles.z, 0.f) << c.name;
        }
    }
}

TEST_F(EulerAngles, QuaternionsAgreeWithTheMatrices) {
    for (const Order &o : kOrders)
        for (int n = 0; n < 200; ++n) {
            const float3 angles = WellConditioned(o);
            const Quat q = o.fromQuat(angles.x, angles.y, angles.z);
            EXPECT_TRUE(q.IsNormalized(1e-5f)) << o.name;
            const float3x3 fromMatrix = o.from3x3(angles.x, angles.y, angles.z);
            EXPECT_LT(MaxAbsDiff(float3x3(q), fromMatrix), 2e-6f) << o.name;
            const Eigen::Quaternionf eigen = Eigen::AngleAxisf(angles.x, EigenAxis(o.axes[0])) *
                                             Eigen::AngleAxisf(angles.y, EigenAxis(o.axes[1])) *
                                             Eigen::AngleAxisf(angles.z, EigenAxis(o.axes[2]));
            EXPECT_LT(oracle::MaxAbsDiffUpToSign(q, eigen), 2e-6f) << o.name;

            // The quaternion reads its angles off its own matrix.
            const float3 fromQuat = (q.*o.toQuat)();
            const float3 viaMatrix = (float3x3(q).*o.to3x3)();
            EXPECT_EQ(Bits(fromQuat.x), Bits(viaMatrix.x));
            EXPECT_EQ(Bits(fromQuat.y), Bits(viaMatrix.y));
            EXPECT_EQ(Bits(fromQuat.z), Bits(viaMatrix.z));
            EXPECT_LT(MaxAbsDiff(o.from3x3(fromQuat.x, fromQuat.y, fromQuat.z), fromMatrix), 1e-5f) << o.name;
        }
}

}  // namespace
