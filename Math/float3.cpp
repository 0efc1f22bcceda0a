#include "Math/float3.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/FloatCodec.h"
#include "Math/MathFunc.h"
#include "Math/MathOps.h"
#include "Math/TextFormat.h"
#include "Math/float2.h"
#include "Math/float3x3.h"
#include "Math/float4.h"

namespace math {

namespace {

constexpr float kPi = 3.14159274f;  // the float nearest to pi

// The per-component rules: a NaN first operand yields the second.
float min_of(float a, float b) { return a <= b ? a : b; }
float max_of(float a, float b) { return a >= b ? a : b; }

uint32_t bits_of(float f) {
    uint32_t bits;
    memcpy(&bits, &f, sizeof bits);
    return bits;
}

bool is_finite(float f) { return (bits_of(f) & 0x7F800000u) != 0x7F800000u; }

float clamped_acos(float cosine) {
    if (cosine >= 1.f) return 0.f;
    if (cosine <= -1.f) return kPi;
    return acosf(cosine);
}

}  // namespace

const float3 float3::nan = float3(__builtin_nanf(""));  // 0x7FC00000
const float3 float3::zero = float3(0.f, 0.f, 0.f);
const float3 float3::one = float3(1.f, 1.f, 1.f);
const float3 float3::unitX = float3(1.f, 0.f, 0.f);
const float3 float3::unitY = float3(0.f, 1.f, 0.f);
const float3 float3::unitZ = float3(0.f, 0.f, 1.f);
const float3 float3::inf = float3(__builtin_inff());

// Callers pass a valid pointer; a null one still leaves no indeterminate members.
float3::float3(const float *data) : float3(data ? float3(data[0], data[1], data[2]) : nan) {}

float3::float3(const float2 &xy, float z_) : x(xy.x), y(xy.y), z(z_) {}

float3 float3::FromScalar(float scalar) { return float3(scalar); }

void float3::SetFromScalar(float scalar) { x = y = z = scalar; }

void float3::Set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
}

float float3::At(int index) const {
    switch (index) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return nan.x;
    }
}

float &float3::At(int index) {
    switch (index) {
    case 1: return y;
    case 2: return z;
    default: return x;
    }
}

float2 float3::xx() const { return float2(x, x); }
float2 float3::xy() const { return float2(x, y); }
float2 float3::xz() const { return float2(x, z); }
float2 float3::yx() const { return float2(y, x); }
float2 float3::yy() const { return float2(y, y); }
float2 float3::yz() const { return float2(y, z); }
float2 float3::zx() const { return float2(z, x); }
float2 float3::zy() const { return float2(z, y); }
float2 float3::zz() const { return float2(z, z); }

float2 float3::Swizzled(int i, int j) const { return float2(At(i), At(j)); }

float3 float3::Swizzled(int i, int j, int k) const { return float3(At(i), At(j), At(k)); }

float4 float3::Swizzled(int i, int j, int k, int l) const { return float4(At(i), At(j), At(k), At(l)); }

float4 float3::ToPos4() const { return float4(*this, 1.f); }

float4 float3::ToDir4() const { return float4(*this, 0.f); }

float float3::LengthSq() const { return (x * x + y * y) + z * z; }

float float3::Length() const { return sqrtf(LengthSq()); }

float float3::Normalize() {
    const float length = Length();
    if (length > 1e-6f) {
        *this *= 1.f / length;
        return length;
    }
    *this = unitX;
    return 0.f;
}

float3 float3::Normalized() const {
    float3 copy = *this;
    copy.Normalize();
    return copy;
}

float float3::ScaleToLength(float newLength) {
    const float lengthSq = LengthSq();
    if (lengthSq < 1e-6f) {
        Set(newLength, 0.f, 0.f);
        return 0.f;
    }
    const float length = sqrtf(lengthSq);
    *this *= newLength / length;
    return length;
}

float3 float3::ScaledToLength(float newLength) const {
    float3 copy = *this;
    copy.ScaleToLength(newLength);
    return copy;
}

float3 float3::ClampLength(float maxLength) const {
    const float lengthSq = LengthSq();
    if (lengthSq > maxLength * maxLength) return *this * (maxLength / sqrtf(lengthSq));
    return *this;
}

float3 float3::ClampLength(float minLength, float maxLength) const {
    const float lengthSq = LengthSq();
    if (lengthSq > maxLength * maxLength) return *this * (maxLength / sqrtf(lengthSq));
    if (lengthSq < minLength * minLength) return *this * (minLength / sqrtf(lengthSq));
    return *this;
}

bool float3::IsNormalized(float epsilonSq) const { return fabsf(LengthSq() - 1.f) <= epsilonSq; }

bool float3::IsZero(float epsilonSq) const { return LengthSq() <= epsilonSq; }

bool float3::IsFinite() const { return is_finite(x) && is_finite(y) && is_finite(z); }

bool float3::IsPerpendicular(const float3 &other, float epsilonSq) const {
    const float dot = Dot(other);
    return dot * dot <= (LengthSq() * epsilonSq) * other.LengthSq();
}

bool float3::AreCollinear(const float3 &p1, const float3 &p2, const float3 &p3, float epsilonSq) {
    return (p2 - p1).Cross(p3 - p1).LengthSq() <= epsilonSq;
}

bool float3::AreOrthogonal(const float3 &a, const float3 &b, float epsilon) {
    return a.IsPerpendicular(b, epsilon);
}

bool float3::AreOrthogonal(const float3 &a, const float3 &b, const float3 &c, float epsilon) {
    return a.IsPerpendicular(b, epsilon) && a.IsPerpendicular(c, epsilon) &&
           b.IsPerpendicular(c, epsilon);
}

bool float3::AreOrthonormal(const float3 &a, const float3 &b, float epsilon) {
    return a.IsPerpendicular(b, epsilon) && a.IsNormalized(epsilon * epsilon) &&
           b.IsNormalized(epsilon * epsilon);
}

bool float3::AreOrthonormal(const float3 &a, const float3 &b, const float3 &c, float epsilon) {
    return AreOrthogonal(a, b, c, epsilon) && a.IsNormalized(epsilon * epsilon) &&
           b.IsNormalized(epsilon * epsilon) && c.IsNormalized(epsilon * epsilon);
}

bool float3::Equals(const float3 &other, float epsilon) const {
    return Equals(other.x, other.y, other.z, epsilon);
}

bool float3::Equals(float x_, float y_, float z_, float epsilon) const {
    return EqualAbs(x, x_, epsilon) && EqualAbs(y, y_, epsilon) && EqualAbs(z, z_, epsilon);
}

bool float3::BitEquals(const float3 &other) const {
    return bits_of(x) == bits_of(other.x) && bits_of(y) == bits_of(other.y) &&
           bits_of(z) == bits_of(other.z);
}

float float3::Dot(const float3 &v) const { return (x * v.x + y * v.y) + z * v.z; }

float3 float3::Cross(const float3 &v) const {
    return float3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
}

float3x3 float3::OuterProduct(const float3 &v) const {
    return float3x3(x * v.x, x * v.y, x * v.z, y * v.x, y * v.y, y * v.z, z * v.x, z * v.y, z * v.z);
}

float float3::ScalarTripleProduct(const float3 &u, const float3 &v, const float3 &w) {
    return u.Cross(v).Dot(w);
}

float float3::SumOfElements() const { return x + y + z; }

float float3::ProductOfElements() const { return x * y * z; }

// A true division, not a multiplication by the reciprocal of 3: the two differ in the last bit.
float float3::AverageOfElements() const { return (x + y + z) / 3.f; }

float float3::MinElement() const { return min_of(min_of(x, y), z); }

float float3::MaxElement() const { return max_of(max_of(x, y), z); }

int float3::MinElementIndex() const {
    if (x <= y) return x <= z ? 0 : 2;
    return y <= z ? 1 : 2;
}

int float3::MaxElementIndex() const {
    if (x >= y) return x >= z ? 0 : 2;
    return y >= z ? 1 : 2;
}

float3 float3::Abs() const { return float3(fabsf(x), fabsf(y), fabsf(z)); }

float3 float3::Neg() const { return float3(-x, -y, -z); }

float3 float3::Recip() const { return float3(1.f / x, 1.f / y, 1.f / z); }

float3 float3::Min(float s) const { return float3(min_of(x, s), min_of(y, s), min_of(z, s)); }

float3 float3::Min(const float3 &v) const {
    return float3(min_of(x, v.x), min_of(y, v.y), min_of(z, v.z));
}

float3 float3::Max(float s) const { return float3(max_of(x, s), max_of(y, s), max_of(z, s)); }

float3 float3::Max(const float3 &v) const {
    return float3(max_of(x, v.x), max_of(y, v.y), max_of(z, v.z));
}

float3 float3::Clamp(float floor, float ceil) const { return Min(ceil).Max(floor); }

float3 float3::Clamp(const float3 &floor, const float3 &ceil) const { return Min(ceil).Max(floor); }

float3 float3::Clamp01() const { return Clamp(0.f, 1.f); }

float3 float3::Add(float s) const { return float3(x + s, y + s, z + s); }

float3 float3::Sub(float s) const { return float3(x - s, y - s, z - s); }

float3 float3::SubLeft(float s) const { return float3(s - x, s - y, s - z); }

float3 float3::Mul(const float3 &v) const { return float3(x * v.x, y * v.y, z * v.z); }

float3 float3::Div(const float3 &v) const { return float3(x / v.x, y / v.y, z / v.z); }

float3 float3::DivLeft(float s) const { return float3(s / x, s / y, s / z); }

float3 float3::operator-() const { return Neg(); }

float3 float3::operator+(const float3 &v) const { return float3(x + v.x, y + v.y, z + v.z); }

float3 float3::operator-(const float3 &v) const { return float3(x - v.x, y - v.y, z - v.z); }

float3 float3::operator*(float s) const { return float3(x * s, y * s, z * s); }

float3 float3::operator/(float s) const { return *this * (1.f / s); }

float3 &float3::operator+=(const float3 &v) { return *this = *this + v; }

float3 &float3::operator-=(const float3 &v) { return *this = *this - v; }

float3 &float3::operator*=(float s) { return *this = *this * s; }

float3 &float3::operator/=(float s) { return *this = *this / s; }

float float3::DistanceSq(const float3 &p) const { return (*this - p).LengthSq(); }

float float3::Distance(const float3 &p) const { return sqrtf(DistanceSq(p)); }

float float3::Distance(const Line &line) const { return line.Distance(*this); }
float float3::Distance(const Ray &ray) const { return ray.Distance(*this); }
float float3::Distance(const LineSegment &lineSegment) const { return lineSegment.Distance(*this); }
float float3::Distance(const Plane &plane) const { return plane.Distance(*this); }
float float3::Distance(const Triangle &triangle) const { return triangle.Distance(*this); }
float float3::Distance(const AABB &aabb) const { return aabb.Distance(*this); }
float float3::Distance(const OBB &obb) const { return obb.Distance(*this); }

float3 float3::Perpendicular(const float3 &hint, const float3 &hint2) const {
    const float3 c = Cross(hint);
    const float length = c.Length();
    if (length > 1e-6f) return c * (1.f / length);
    return hint2;
}

float3 float3::AnotherPerpendicular(const float3 &hint, const float3 &hint2) const {
    return Cross(Perpendicular(hint, hint2)).Normalized();
}

void float3::PerpendicularBasis(float3 &outB, float3 &outC) const {
    const float3 a = Abs();
    const float3 &q = (a.y >= a.x && a.z >= a.x) ? unitX : (a.z >= a.y ? unitY : unitZ);
    outB = Cross(q).Normalized();
    outC = Cross(outB).Normalized();
}

float3 float3::ProjectTo(const float3 &direction) const {
    return (direction * Dot(direction)) * (1.f / direction.LengthSq());
}

float3 float3::ProjectToNorm(const float3 &unitDirection) const {
    return unitDirection * Dot(unitDirection);
}

void float3::Decompose(const float3 &unitDirection, float3 &outParallel,
                       float3 &outPerpendicular) const {
    const float3 parallel = unitDirection * Dot(unitDirection);
    outPerpendicular = *this - parallel;
    outParallel = parallel;
}

float3 float3::Reflect(const float3 &normal) const { return normal * (2.f * Dot(normal)) - *this; }

// Kept without a cosine term in the factor of the normal: the planes and the other vector
// types use this same expression.
float3 float3::Refract(const float3 &normal, float negativeSideRefractionIndex,
                       float positiveSideRefractionIndex) const {
    const float eta = negativeSideRefractionIndex / positiveSideRefractionIndex;
    const float d = Dot(normal);
    const float k = (1.f - d * d) * (eta * eta);
    if (k > 1.f) return *this + normal * (2.f * -d);  // total internal reflection
    return *this * eta - normal * (eta + sqrtf(1.f - k));
}

float float3::AngleBetween(const float3 &other) const {
    return clamped_acos(Dot(other) / sqrtf(other.LengthSq() * LengthSq()));
}

float float3::AngleBetweenNorm(const float3 &other) const { return clamped_acos(Dot(other)); }

float3 float3::Lerp(const float3 &b, float t) const { return Lerp(*this, b, t); }

float3 float3::Lerp(const float3 &a, const float3 &b, float t) {
    const float s = 1.f - t;
    return float3(s * a.x + t * b.x, s * a.y + t * b.y, s * a.z + t * b.z);
}

void float3::Orthogonalize(const float3 &a, float3 &b) {
    if (a.LengthSq() > 1e-7f) b -= b.ProjectTo(a);
}

void float3::Orthogonalize(const float3 &a, float3 &b, float3 &c) {
    if (a.LengthSq() > 1e-7f) {
        b -= b.ProjectTo(a);
        c -= c.ProjectTo(a);
    }
    if (b.LengthSq() > 1e-7f) c -= c.ProjectTo(b);
}

void float3::Orthonormalize(float3 &a, float3 &b) {
    a.Normalize();
    b -= a * a.Dot(b);
    b.Normalize();
}

void float3::Orthonormalize(float3 &a, float3 &b, float3 &c) {
    Orthonormalize(a, b);
    c -= a * a.Dot(c);
    c -= b * b.Dot(c);
    c.Normalize();
}

void float3::SetFromSphericalCoordinates(float azimuth, float inclination, float radius) {
    const float cosInclination = Cos(inclination);
    float sinAzimuth, cosAzimuth;
    SinCos(azimuth, sinAzimuth, cosAzimuth);
    x = (sinAzimuth * cosInclination) * radius;
    y = -(Sin(inclination) * radius);
    z = (cosInclination * cosAzimuth) * radius;
}

float3 float3::FromSphericalCoordinates(float azimuth, float inclination, float radius) {
    float3 v;
    v.SetFromSphericalCoordinates(azimuth, inclination, radius);
    return v;
}

void float3::SetFromSphericalCoordinates(float azimuth, float inclination) {
    const float sinAzimuth = sinf(azimuth);
    const float cosAzimuth = cosf(azimuth);
    const float sinInclination = sinf(inclination);
    const float cosInclination = cosf(inclination);
    x = sinAzimuth * cosInclination;
    y = -sinInclination;
    z = cosInclination * cosAzimuth;
}

float3 float3::FromSphericalCoordinates(float azimuth, float inclination) {
    float3 v;
    v.SetFromSphericalCoordinates(azimuth, inclination);
    return v;
}

float3 float3::ToSphericalCoordinates() const {
    const float length = Length();
    if (!(length > 1e-5f)) return zero;
    const float3 u = *this * (1.f / length);
    return float3(atan2f(u.x, u.z), asinf(-u.y), length);
}

float2 float3::ToSphericalCoordinatesNormalized() const { return float2(atan2f(x, z), asinf(-y)); }

float3 float3::RandomBox(LCG &lcg, float xmin, float xmax, float ymin, float ymax, float zmin, float zmax) {
    return RandomBox(lcg, float3(xmin, ymin, zmin), float3(xmax, ymax, zmax));
}

float3 float3::RandomBox(LCG &lcg, const float3 &min, const float3 &max) {
    return AABB(min, max).RandomPointInside(lcg);
}

float3 float3::RandomBox(LCG &lcg, float minElem, float maxElem) {
    return RandomBox(lcg, float3(minElem), float3(maxElem));
}

std::string float3::ToString() const {
    char text[256];
    snprintf(text, sizeof text, "(%.3f, %.3f, %.3f)", PrintableFloat(x), PrintableFloat(y),
             PrintableFloat(z));
    return text;
}

float3 operator*(float scalar, const float3 &v) { return v * scalar; }

std::ostream &operator<<(std::ostream &out, const float3 &v) { return out << v.ToString(); }

namespace {

bool SkipPrefix(const char *&str, const char *prefix) {
    const size_t n = std::strlen(prefix);
    if (std::strncmp(str, prefix, n) != 0) return false;
    str += n;
    return true;
}

// "prefix(" when present, count numbers each continuing where the last stopped, then one ")"
// and one "," when present.
const char *ReadNumbers(const char *str, const char *prefix, float *out, int count) {
    SkipPrefix(str, prefix);
    SkipPrefix(str, "(");
    for (int i = 0; i < count; ++i) {
        const char *end = str;
        out[i] = DeserializeFloat(str, &end);
        str = end;
    }
    SkipPrefix(str, ")");
    SkipPrefix(str, ",");
    return str;
}

float3 ReadVector(const char *str, const char *prefix, int count, const char **outEndStr) {
    float v[4];
    const char *end = ReadNumbers(str, prefix, v, count);
    if (outEndStr) *outEndStr = end;
    return float3(v[0], v[1], v[2]);
}

}  // namespace

float3 float3::FromString(const char *str, const char **outEndStr) {
    MATH_ASSUME(IsNeutralCLocale(), "IsNeutralCLocale()", "Math/float3", 242);
    if (!str) return nan;
    return ReadVector(str, "float3", 3, outEndStr);
}

float3 PointVecFromString(const char *str, const char **outEndStr) {
    if (!str) return float3::nan;
    if (std::strncmp(str, "float3", 6) == 0) return float3::FromString(str, outEndStr);
    if (std::strncmp(str, "float4", 6) == 0) return ReadVector(str, "float4", 4, outEndStr);
    while (*str == ' ') ++str;
    if (*str != '(') return float3::FromString(str, outEndStr);
    const char *close = FindNext(str, ')');
    if (close - str > 1 && CountCommas(str + 1, close) == 3) return ReadVector(str, "float4", 4, outEndStr);
    return float3::FromString(str, outEndStr);
}

float3 DirVecFromString(const char *str, const char **outEndStr) { return PointVecFromString(str, outEndStr); }

}  // namespace math
