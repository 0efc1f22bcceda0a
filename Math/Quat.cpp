#include "Math/Quat.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>

#include "Algorithm/Random/LCG.h"
#include "Math/Assume.h"
#include "Math/FloatCodec.h"
#include "Math/MathFunc.h"
#include "Math/MathOps.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// The rotation of a matrix's upper-left 3x3 part, for every matrix type with At(row, col).
template <typename Matrix>
Quat RotationOf(const Matrix &m) {
    const float m00 = m.At(0, 0), m01 = m.At(0, 1), m02 = m.At(0, 2);
    const float m10 = m.At(1, 0), m11 = m.At(1, 1), m12 = m.At(1, 2);
    const float m20 = m.At(2, 0), m21 = m.At(2, 1), m22 = m.At(2, 2);
    Quat q;
    const float trace = (m00 + m11) + m22;
    if (trace > 0.f) {
        q.w = std::sqrt(trace + 1.f) * 0.5f;
        const float f = 1.f / (4.f * q.w);
        q.x = (m21 - m12) * f;
        q.y = (m02 - m20) * f;
        q.z = (m10 - m01) * f;
    } else if (m00 > m11 && m00 > m22) {
        q.x = std::sqrt(((m00 + 1.f) - m11) - m22) * 0.5f;
        const float f = 1.f / (4.f * q.x);
        q.y = (m01 + m10) * f;
        q.z = (m02 + m20) * f;
        q.w = (m21 - m12) * f;
    } else if (m11 > m22) {
        q.y = std::sqrt(((m11 + 1.f) - m00) - m22) * 0.5f;
        const float f = 1.f / (4.f * q.y);
        q.x = (m01 + m10) * f;
        q.z = (m12 + m21) * f;
        q.w = (m02 - m20) * f;
    } else {
        q.z = std::sqrt(((m22 + 1.f) - m00) - m11) * 0.5f;
        const float f = 1.f / (4.f * q.z);
        q.x = (m02 + m20) * f;
        q.y = (m12 + m21) * f;
        q.w = (m10 - m01) * f;
    }
    q.Normalize();
    return q;
}

// The half turn about a unit axis.
Quat HalfTurn(const float3 &axis) { return Quat(axis.x, axis.y, axis.z, 0.f); }

}  // namespace

const Quat Quat::identity(0.f, 0.f, 0.f, 1.f);
const Quat Quat::nan(kNaN, kNaN, kNaN, kNaN);

Quat::Quat(const float *data) : Quat(nan) {
    if (data) Set(data[0], data[1], data[2], data[3]);
}

void Quat::Set(float x_, float y_, float z_, float w_) {
    x = x_;
    y = y_;
    z = z_;
    w = w_;
}

void Quat::Set(const float3x3 &m) { *this = RotationOf(m); }

void Quat::Set(const float3x4 &m) { *this = RotationOf(m); }

void Quat::Set(const float4x4 &m) { *this = RotationOf(m); }

float Quat::Dot(const Quat &rhs) const { return ((x * rhs.x + y * rhs.y) + z * rhs.z) + w * rhs.w; }
float Quat::LengthSq() const { return Dot(*this); }
float Quat::Length() const { return std::sqrt(LengthSq()); }

float Quat::Normalize() {
    const float length = Length();
    if (!(length >= 1e-4f)) return 0.f;
    *this = *this * (1.f / length);
    return length;
}

Quat Quat::Normalized() const {
    Quat copy = *this;
    copy.Normalize();
    return copy;
}

bool Quat::IsNormalized(float epsilon) const { return EqualAbs(LengthSq(), 1.f, epsilon); }
bool Quat::IsInvertible(float epsilon) const { return LengthSq() > epsilon && IsFinite(); }

bool Quat::IsFinite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(w); }

bool Quat::Equals(const Quat &rhs, float epsilon) const {
    return EqualAbs(x, rhs.x, epsilon) && EqualAbs(y, rhs.y, epsilon) && EqualAbs(z, rhs.z, epsilon) &&
           EqualAbs(w, rhs.w, epsilon);
}

bool Quat::BitEquals(const Quat &rhs) const {
    uint32_t a[4], b[4];
    std::memcpy(a, &x, sizeof a);
    std::memcpy(b, &rhs.x, sizeof b);
    return std::memcmp(a, b, sizeof a) == 0;
}

float Quat::Angle() const { return 2.f * Acos(w); }

float3 Quat::Axis() const { return float3(x, y, z) * (1.f / std::sqrt(1.f - w * w)); }

void Quat::ToAxisAngle(float3 &axis, float &angle) const {
    angle = Angle();
    axis = Axis();
}

void Quat::ToAxisAngle(float4 &axis, float &angle) const {
    float3 axis3;
    ToAxisAngle(axis3, angle);
    axis = axis3.ToDir4();
}

float3 Quat::WorldX() const { return Transform(1.f, 0.f, 0.f); }
float3 Quat::WorldY() const { return Transform(0.f, 1.f, 0.f); }
float3 Quat::WorldZ() const { return Transform(0.f, 0.f, 1.f); }

void Quat::Conjugate() {
    x = -x;
    y = -y;
    z = -z;
}

void Quat::Inverse() { Conjugate(); }

Quat Quat::Conjugated() const {
    Quat copy = *this;
    copy.Conjugate();
    return copy;
}

Quat Quat::Inverted() const { return Conjugated(); }

float Quat::InverseAndNormalize() {
    Inverse();
    return Normalize();
}

Quat Quat::operator*(const Quat &r) const {
    return Quat(((x * r.w + y * r.z) - z * r.y) + w * r.x, ((y * r.w - x * r.z) + z * r.x) + w * r.y,
                (r.w * z + (x * r.y - y * r.x)) + r.z * w, ((-x * r.x - y * r.y) - z * r.z) + r.w * w);
}

Quat Quat::Mul(const Quat &rhs) const { return *this * rhs; }
Quat Quat::operator/(const Quat &rhs) const { return *this * rhs.Inverted(); }
Quat Quat::Mul(const float3x3 &rhs) const { return *this * RotationOf(rhs); }
Quat Quat::operator+(const Quat &rhs) const { return Quat(x + rhs.x, y + rhs.y, z + rhs.z, w + rhs.w); }
Quat Quat::operator-(const Quat &rhs) const { return Quat(x - rhs.x, y - rhs.y, z - rhs.z, w - rhs.w); }
Quat Quat::operator-() const { return Quat(-x, -y, -z, -w); }
Quat Quat::operator*(float scalar) const { return Quat(x * scalar, y * scalar, z * scalar, w * scalar); }
Quat Quat::operator/(float scalar) const { return *this * (1.f / scalar); }

Quat Quat::Lerp(const Quat &b, float t) const { return b * t + *this * (1.f - t); }

Quat Quat::Slerp(const Quat &b, float t) const {
    float cosAngle = Dot(b);
    float sign = 1.f;
    if (cosAngle < 0.f) {
        cosAngle = -cosAngle;
        sign = -1.f;
    }
    // Close quaternions interpolate linearly, where 1 / sin(angle) would lose precision.
    float wa = 1.f - t, wb = t;
    if (cosAngle <= 0.97f) {
        const float angle = Acos(cosAngle);
        const float f = 1.f / Sin(angle);
        wa = Sin(angle - t * angle) * f;
        wb = Sin(t * angle) * f;
    }
    const Quat r = b * wb + *this * (sign * wa);
    const float length = r.Length();
    if (length < 1e-4f) return r;
    return r * (1.f / length);
}

float Quat::AngleBetween(const Quat &b) const { return 2.f * Acos((b / *this).w); }
float3 Quat::AxisFromTo(const Quat &b) const { return (b / *this).Axis(); }

float3 Quat::Transform(const float3 &vector) const { return float3x3(*this).Transform(vector); }
float3 Quat::Transform(float x_, float y_, float z_) const { return Transform(float3(x_, y_, z_)); }
float3 Quat::operator*(const float3 &vector) const { return Transform(vector); }
float3 Quat::Mul(const float3 &vector) const { return Transform(vector); }
float4 Quat::Transform(const float4 &vector) const { return float4(Transform(vector.xyz()), vector.w); }
float4 Quat::operator*(const float4 &vector) const { return Transform(vector); }
float4 Quat::Mul(const float4 &vector) const { return Transform(vector); }

void Quat::SetFromAxisAngle(const float3 &axis, float angle) {
    float s, c;
    SinCos(angle * 0.5f, s, c);
    Set(axis.x * s, axis.y * s, axis.z * s, c);
}

// A w of 0 and a unit axis are expected; neither is checked.
void Quat::SetFromAxisAngle(const float4 &axis, float angle) { SetFromAxisAngle(axis.xyz(), angle); }

Quat Quat::RotateAxisAngle(const float3 &axis, float angle) {
    Quat q;
    q.SetFromAxisAngle(axis, angle);
    return q;
}

Quat Quat::RotateX(float angle) { return RotateAxisAngle(float3::unitX, angle); }
Quat Quat::RotateY(float angle) { return RotateAxisAngle(float3::unitY, angle); }
Quat Quat::RotateZ(float angle) { return RotateAxisAngle(float3::unitZ, angle); }

Quat Quat::RotateFromTo(const float4 &from, const float4 &to) { return RotateFromTo(from.xyz(), to.xyz()); }

Quat Quat::RotateFromTo(const float3 &from, const float3 &to) {
    float3 axis = from.Cross(to);
    if (axis.Normalize() == 0.f) {
        // Parallel directions. The half turn about X stays the answer for equal
        // directions; for opposite ones along X it would leave from fixed, so those
        // turn about an axis perpendicular to from.
        const bool fromAlongX = from.Cross(float3::unitX).Length() < 1e-3f;
        if (fromAlongX && from.Dot(to) < 0.f) return HalfTurn(from.Cross(float3::unitY).Normalized());
        return HalfTurn(float3::unitX);
    }
    const float halfCos = from.Dot(to) * 0.5f;
    // Clamped: rounding can push the cosine of nearly parallel directions past 1.
    const float s = std::sqrt(std::fmax(0.5f - halfCos, 0.f));
    const float c = std::sqrt(std::fmax(halfCos + 0.5f, 0.f));
    return Quat(axis.x * s, axis.y * s, axis.z * s, c);
}

Quat Quat::RotateFromTo(const float3 &sourceDirection, const float3 &targetDirection,
                        const float3 &sourceDirection2, const float3 &targetDirection2) {
    return float3x3::LookAt(sourceDirection, targetDirection, sourceDirection2, targetDirection2).ToQuat();
}

Quat Quat::LookAt(const float3 &localForward, const float3 &targetDirection, const float3 &localUp,
                  const float3 &worldUp) {
    return float3x3::LookAt(localForward, targetDirection, localUp, worldUp).ToQuat();
}

Quat Quat::RandomRotation(LCG &lcg) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const float qx = lcg.Float(-1.f, 1.f);
        const float qy = lcg.Float(-1.f, 1.f);
        const float qz = lcg.Float(-1.f, 1.f);
        const float qw = lcg.Float(-1.f, 1.f);
        const float lengthSq = ((qx * qx + qy * qy) + qz * qz) + qw * qw;
        if (lengthSq >= 1e-6f && lengthSq <= 1.f) return Quat(qx, qy, qz, qw) * (1.f / std::sqrt(lengthSq));
    }
    return identity;
}

float3 Quat::SlerpVector(const float3 &from, const float3 &to, float t) {
    if (t <= 0.f) return from;
    if (t >= 1.f) return to;
    return identity.Slerp(RotateFromTo(from, to), t).Transform(from);
}

float3 Quat::SlerpVectorAbs(const float3 &from, const float3 &to, float angleRadians) {
    if (angleRadians <= 0.f) return from;
    const Quat q = RotateFromTo(from, to);
    const float fullAngle = 2.f * Acos(q.w);
    if (angleRadians >= fullAngle) return to;
    return identity.Slerp(q, angleRadians / fullAngle).Transform(from);
}

float3x3 Quat::ToFloat3x3() const { return float3x3(*this); }

float3x4 Quat::ToFloat3x4() const { return float3x4(*this); }

float4x4 Quat::ToFloat4x4() const { return float4x4(*this); }

float4x4 Quat::ToFloat4x4(const float3 &translation) const { return float4x4(*this, translation); }

float4x4 Quat::ToFloat4x4(const float4 &translation) const { return ToFloat4x4(translation.xyz()); }

std::string Quat::ToString() const {
    return FormatText("(%.3f, %.3f, %.3f, %.3f)", PrintableFloat(x), PrintableFloat(y), PrintableFloat(z),
                      PrintableFloat(w));
}

std::string Quat::ToString2() const {
    float3 axis;
    float angle;
    ToAxisAngle(axis, angle);
    const float degrees = angle * 57.2957763671875f;
    return FormatText("Quat(axis:(%.2f,%.2f,%.2f) angle:%2.f)", PrintableFloat(axis.x), PrintableFloat(axis.y),
                      PrintableFloat(axis.z), PrintableFloat(degrees));
}

std::ostream &operator<<(std::ostream &out, const Quat &rhs) { return out << rhs.ToString(); }

// ---- Text forms ----

std::string Quat::SerializeToString() const {
    const float values[] = {x, y, z, w};
    const std::string text = detail::SerializeFloats(values, 4);
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Math/Quat", 766);
    return text;
}

std::string Quat::SerializeToCodeString() const { return "Quat(" + SerializeToString() + ")"; }

Quat Quat::FromString(const char *str, const char **outEndStr) {
    MATH_ASSUME(IsNeutralCLocale(), "IsNeutralCLocale()", "Math/Quat", 779);
    return detail::ReadFloatType<Quat>(str, outEndStr, "Quat");
}

}  // namespace math
