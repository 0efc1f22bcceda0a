#pragma once

#include <iosfwd>
#include <string>

#include "Math/EulerOrders.h"
#include "Math/float3.h"

namespace math {

class float3x3;
class float3x4;
class float4;
class float4x4;
class LCG;

// Rotation quaternion (x, y, z, w), w the scalar part. A rotation by angle a about
// the unit axis u is (u sin(a/2), cos(a/2)); rotation members assume unit length.
class Quat {
public:
    float x;
    float y;
    float z;
    float w;

    static const Quat identity;
    static const Quat nan;

    Quat() = default;
    constexpr Quat(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    // A null pointer gives nan rather than leaving the components unset.
    explicit Quat(const float *data);

    void Set(float x, float y, float z, float w);
    // Replaces this quaternion by the rotation of the matrix.
    void Set(const float3x3 &m);
    void Set(const float3x4 &m);  // the rotation of the 3x3 part; the translation is ignored
    void Set(const float4x4 &m);  // the rotation of the 3x3 part

    float Dot(const Quat &rhs) const;
    float LengthSq() const;
    float Length() const;
    // Leaves a quaternion shorter than 1e-4 unchanged and returns 0.
    float Normalize();
    Quat Normalized() const;
    bool IsNormalized(float epsilon) const;
    bool IsInvertible(float epsilon) const;
    bool IsFinite() const;
    bool Equals(const Quat &rhs, float epsilon) const;
    bool BitEquals(const Quat &rhs) const;

    float Angle() const;
    // NaN for the identity: the axis of a zero turn is undefined.
    float3 Axis() const;
    void ToAxisAngle(float3 &axis, float &angle) const;
    void ToAxisAngle(float4 &axis, float &angle) const;  // axis.w = 0
    float3 WorldX() const;
    float3 WorldY() const;
    float3 WorldZ() const;

    // The inverse only of a unit quaternion: no normalisation happens.
    void Conjugate();
    void Inverse();
    Quat Conjugated() const;
    Quat Inverted() const;
    float InverseAndNormalize();

    // Hamilton product; applied to vectors, rhs acts first.
    Quat operator*(const Quat &rhs) const;
    Quat Mul(const Quat &rhs) const;
    Quat operator/(const Quat &rhs) const;
    Quat Mul(const float3x3 &rhs) const;
    Quat operator+(const Quat &rhs) const;
    Quat operator-(const Quat &rhs) const;
    Quat operator-() const;
    Quat operator*(float scalar) const;
    Quat operator/(float scalar) const;

    Quat Lerp(const Quat &b, float t) const;
    Quat Slerp(const Quat &b, float t) const;
    float AngleBetween(const Quat &b) const;
    float3 AxisFromTo(const Quat &b) const;

    float3 Transform(const float3 &vector) const;
    float3 Transform(float x, float y, float z) const;
    float3 operator*(const float3 &vector) const;
    float3 Mul(const float3 &vector) const;
    // x, y, z rotated; w passes unchanged.
    float4 Transform(const float4 &vector) const;
    float4 operator*(const float4 &vector) const;
    float4 Mul(const float4 &vector) const;

    void SetFromAxisAngle(const float3 &axis, float angle);
    void SetFromAxisAngle(const float4 &axis, float angle);  // the axis's x, y, z
    static Quat RotateAxisAngle(const float3 &axis, float angle);
    static Quat RotateX(float angle);
    static Quat RotateY(float angle);
    static Quat RotateZ(float angle);
    // Shortest arc from one unit direction onto another. Equal (or nearly equal)
    // directions give the half turn about X, which callers rely on.
    static Quat RotateFromTo(const float3 &from, const float3 &to);
    static Quat RotateFromTo(const float4 &from, const float4 &to);  // on x, y, z
    static Quat RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                             const float3 &sourceDirection2, const float3 &targetDirection2);
    static Quat LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                       const float3 &worldUp);
    // Rejection sampling of the unit 4-ball; the identity after 1000 rejections.
    static Quat RandomRotation(LCG &lcg);

    // FromEulerXYX ... FromEulerZYX give (RotP(a) RotQ(b)) RotR(c), normalised; ToEulerXYX
    // ... ToEulerZYX read the angles off this rotation's 3x3 matrix, as the matrix members
    // of the same name do.
    VANDREL_EULER_MEMBER_DECLARATIONS(Quat)

    static float3 SlerpVector(const float3 &from, const float3 &to, float t);
    static float3 SlerpVectorAbs(const float3 &from, const float3 &to, float angleRadians);

    float3x3 ToFloat3x3() const;
    float3x4 ToFloat3x4() const;  // zero translation
    float4x4 ToFloat4x4() const;
    float4x4 ToFloat4x4(const float3 &translation) const;
    float4x4 ToFloat4x4(const float4 &translation) const;  // the translation's x, y, z

    std::string ToString() const;
    std::string ToString2() const;
};

std::ostream &operator<<(std::ostream &out, const Quat &rhs);

}  // namespace math
