#include "Math/float4.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>

#include "Algorithm/Random/LCG.h"
#include "Math/Assume.h"
#include "Math/ComponentRules.h"
#include "Math/FloatCodec.h"
#include "Math/MathOps.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float4x4.h"

namespace math {

using namespace component_rules;

namespace {

// v divided by its length as a direction (w = 0), or the unit X vector when too short.
float4 unit_or_x(const float3 &v) {
    const float lengthSq = v.LengthSq();
    if (lengthSq > 1e-6f) return float4(v * (1.f / sqrtf(lengthSq)), 0.f);
    return float4::unitX;
}

}  // namespace

const float4 float4::nan = float4(__builtin_nanf(""), __builtin_nanf(""), __builtin_nanf(""), __builtin_nanf(""));
const float4 float4::zero = float4(0.f, 0.f, 0.f, 0.f);
const float4 float4::one = float4(1.f, 1.f, 1.f, 1.f);
const float4 float4::unitX = float4(1.f, 0.f, 0.f, 0.f);
const float4 float4::unitY = float4(0.f, 1.f, 0.f, 0.f);
const float4 float4::unitZ = float4(0.f, 0.f, 1.f, 0.f);
const float4 float4::unitW = float4(0.f, 0.f, 0.f, 1.f);
const float4 float4::inf = float4(__builtin_inff(), __builtin_inff(), __builtin_inff(), __builtin_inff());

float4::float4(const float3 &xyz, float w_) : float4(xyz.x, xyz.y, xyz.z, w_) {}
float4::float4(float x_, float y_, const float2 &zw) : float4(x_, y_, zw.x, zw.y) {}
float4::float4(float x_, const float2 &yz, float w_) : float4(x_, yz.x, yz.y, w_) {}
float4::float4(float x_, const float3 &yzw) : float4(x_, yzw.x, yzw.y, yzw.z) {}
float4::float4(const float2 &xy, float z_, float w_) : float4(xy.x, xy.y, z_, w_) {}
float4::float4(const float2 &xy, const float2 &zw) : float4(xy.x, xy.y, zw.x, zw.y) {}

// Callers pass a valid pointer; a null one still leaves no indeterminate members.
float4::float4(const float *data) : float4(data ? float4(data[0], data[1], data[2], data[3]) : nan) {}

float4 float4::FromScalar(float scalar) { return float4(scalar, scalar, scalar, scalar); }
float4 float4::FromScalar(float scalar, float w_) { return float4(scalar, scalar, scalar, w_); }
void float4::SetFromScalar(float scalar) { *this = FromScalar(scalar); }
void float4::SetFromScalar(float scalar, float w_) { *this = FromScalar(scalar, w_); }
void float4::Set(float x_, float y_, float z_, float w_) { *this = float4(x_, y_, z_, w_); }

float float4::At(int index) const {
    switch (index) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    case 3: return w;
    default: return nan.x;
    }
}

float &float4::At(int index) {
    switch (index) {
    case 1: return y;
    case 2: return z;
    case 3: return w;
    default: return x;
    }
}

float2 float4::xy() const { return float2(x, y); }
float3 float4::xyz() const { return float3(x, y, z); }
float2 float4::Swizzled(int i, int j) const { return float2(At(i), At(j)); }
float3 float4::Swizzled(int i, int j, int k) const { return float3(At(i), At(j), At(k)); }
float4 float4::Swizzled(int i, int j, int k, int l) const { return float4(At(i), At(j), At(k), At(l)); }
float4 float4::xxxx() const { return FromScalar(x); }
float4 float4::yyyy() const { return FromScalar(y); }
float4 float4::zzzz() const { return FromScalar(z); }
float4 float4::wwww() const { return FromScalar(w); }
float4 float4::xxxw() const { return FromScalar(x, w); }
float4 float4::yyyw() const { return FromScalar(y, w); }
float4 float4::zzzw() const { return FromScalar(z, w); }

float float4::LengthSq3() const { return (x * x + y * y) + z * z; }
float float4::Length3() const { return sqrtf(LengthSq3()); }
float float4::LengthSq4() const { return ((x * x + y * y) + z * z) + w * w; }
float float4::Length4() const { return sqrtf(LengthSq4()); }

float float4::Normalize3() {
    const float lengthSq = LengthSq3();
    if (lengthSq > 1e-6f) {
        const float length = sqrtf(lengthSq);
        Scale3(1.f / length);
        return length;
    }
    Set(1.f, 0.f, 0.f, w);
    return 0.f;
}

float4 float4::Normalized3() const {
    float4 copy = *this;
    copy.Normalize3();
    return copy;
}

float float4::Normalize4() {
    const float lengthSq = LengthSq4();
    if (lengthSq > 1e-6f) {
        const float length = sqrtf(lengthSq);
        *this *= 1.f / length;
        return length;
    }
    *this = unitX;
    return 0.f;
}

float4 float4::Normalized4() const {
    float4 copy = *this;
    copy.Normalize4();
    return copy;
}

void float4::NormalizeW() {
    if (fabsf(w) > 1e-6f) {
        Scale3(1.f / w);
        w = 1.f;
    }
}

void float4::Scale3(float scalar) {
    x *= scalar;
    y *= scalar;
    z *= scalar;
}

float float4::ScaleToLength3(float newLength) {
    const float lengthSq = LengthSq3();
    if (lengthSq < 1e-6f) return 0.f;
    const float length = sqrtf(lengthSq);
    Scale3(newLength / length);
    return length;
}

float4 float4::ScaledToLength3(float newLength) const {
    float4 copy = *this;
    copy.ScaleToLength3(newLength);
    return copy;
}

float float4::ScaleToLength(float newLength) {
    const float length = Length4();
    *this *= newLength / length;
    return length;
}

float4 float4::ScaledToLength(float newLength) const {
    float4 copy = *this;
    copy.ScaleToLength(newLength);
    return copy;
}

bool float4::IsWZeroOrOne(float epsilon) const { return EqualAbs(w, 0.f, epsilon) || EqualAbs(w, 1.f, epsilon); }
bool float4::IsZero3(float epsilonSq) const { return LengthSq3() <= epsilonSq; }
bool float4::IsZero4(float epsilonSq) const { return LengthSq4() <= epsilonSq; }
bool float4::IsNormalized3(float epsilonSq) const { return fabsf(LengthSq3() - 1.f) <= epsilonSq; }
bool float4::IsNormalized4(float epsilonSq) const { return fabsf(LengthSq4() - 1.f) <= epsilonSq; }
bool float4::IsFinite() const { return is_finite(x) && is_finite(y) && is_finite(z) && is_finite(w); }

bool float4::IsPerpendicular(const float4 &other, float epsilonSq) const {
    const float dot = Dot4(other);
    return dot * dot <= (LengthSq4() * epsilonSq) * other.LengthSq4();
}

bool float4::IsPerpendicular3(const float4 &other, float epsilonSq) const {
    const float dot = Dot3(other);
    return dot * dot <= (LengthSq4() * epsilonSq) * other.LengthSq4();
}

bool float4::AreCollinear(const float4 &p1, const float4 &p2, const float4 &p3, float epsilonSq) {
    return float3::AreCollinear(p1.xyz(), p2.xyz(), p3.xyz(), epsilonSq);
}

bool float4::AreOrthogonal(const float4 &a, const float4 &b, float epsilon) { return a.IsPerpendicular(b, epsilon); }

bool float4::AreOrthogonal(const float4 &a, const float4 &b, const float4 &c, float epsilon) {
    return a.IsPerpendicular(b, epsilon) && a.IsPerpendicular(c, epsilon) && b.IsPerpendicular(c, epsilon);
}

bool float4::AreOrthonormal(const float4 &a, const float4 &b, float epsilon) {
    return AreOrthogonal(a, b, epsilon) && a.IsNormalized4(epsilon * epsilon) && b.IsNormalized4(epsilon * epsilon);
}

bool float4::AreOrthonormal(const float4 &a, const float4 &b, const float4 &c, float epsilon) {
    return AreOrthogonal(a, b, c, epsilon) && a.IsNormalized4(epsilon * epsilon) &&
           b.IsNormalized4(epsilon * epsilon) && c.IsNormalized4(epsilon * epsilon);
}

bool float4::Equals(const float4 &other, float epsilon) const {
    return Equals(other.x, other.y, other.z, other.w, epsilon);
}

bool float4::Equals(float x_, float y_, float z_, float w_, float epsilon) const {
    return EqualAbs(x, x_, epsilon) && EqualAbs(y, y_, epsilon) && EqualAbs(z, z_, epsilon) &&
           EqualAbs(w, w_, epsilon);
}

bool float4::BitEquals(const float4 &other) const {
    return bits_of(x) == bits_of(other.x) && bits_of(y) == bits_of(other.y) && bits_of(z) == bits_of(other.z) &&
           bits_of(w) == bits_of(other.w);
}

float float4::Dot3(const float4 &v) const { return (x * v.x + y * v.y) + z * v.z; }
float float4::Dot3(const float3 &v) const { return (x * v.x + y * v.y) + z * v.z; }
float float4::Dot4(const float4 &v) const { return ((x * v.x + y * v.y) + z * v.z) + w * v.w; }
float4 float4::Cross3(const float3 &v) const { return float4(xyz().Cross(v), 0.f); }
float4 float4::Cross3(const float4 &v) const { return Cross3(v.xyz()); }

float4x4 float4::OuterProduct(const float4 &v) const {
    float4x4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.elements[r][c] = At(r) * v.At(c);
    return m;
}

float float4::SumOfElements() const { return ((x + y) + z) + w; }
float float4::ProductOfElements() const { return ((x * y) * z) * w; }
float float4::AverageOfElements() const { return SumOfElements() * 0.25f; }
float float4::MinElement() const { return min_of(min_of(x, y), min_of(z, w)); }
float float4::MaxElement() const { return max_of(max_of(x, y), max_of(z, w)); }

int float4::MinElementIndex() const {
    const int i = y <= x ? 1 : 0;
    const int j = w <= z ? 3 : 2;
    return At(j) <= At(i) ? j : i;
}

int float4::MaxElementIndex() const {
    const int i = y >= x ? 1 : 0;
    const int j = w >= z ? 3 : 2;
    return At(j) >= At(i) ? j : i;
}

float4 float4::Abs() const { return float4(fabsf(x), fabsf(y), fabsf(z), fabsf(w)); }
float4 float4::Neg3() const { return float4(-x, -y, -z, w); }
float4 float4::Neg4() const { return float4(-x, -y, -z, -w); }
float4 float4::Recip3() const { return float4(1.f / x, 1.f / y, 1.f / z, w); }
float4 float4::Recip4() const { return float4(1.f / x, 1.f / y, 1.f / z, 1.f / w); }
float4 float4::RecipFast4() const { return Recip4(); }
float4 float4::Min(float s) const { return Min(FromScalar(s)); }

float4 float4::Min(const float4 &v) const {
    return float4(min_of(x, v.x), min_of(y, v.y), min_of(z, v.z), min_of(w, v.w));
}

float4 float4::Max(float s) const { return Max(FromScalar(s)); }

float4 float4::Max(const float4 &v) const {
    return float4(max_of(x, v.x), max_of(y, v.y), max_of(z, v.z), max_of(w, v.w));
}

float4 float4::Clamp(float floor, float ceil) const { return Min(ceil).Max(floor); }
float4 float4::Clamp(const float4 &floor, const float4 &ceil) const { return Min(ceil).Max(floor); }
float4 float4::Clamp01() const { return Clamp(0.f, 1.f); }
float4 float4::Add(float s) const { return float4(x + s, y + s, z + s, w + s); }
float4 float4::Sub(float s) const { return float4(x - s, y - s, z - s, w - s); }
float4 float4::SubLeft(float s) const { return float4(s - x, s - y, s - z, s - w); }
float4 float4::Mul(const float4 &v) const { return float4(x * v.x, y * v.y, z * v.z, w * v.w); }
float4 float4::Div(const float4 &v) const { return float4(x / v.x, y / v.y, z / v.z, w / v.w); }
float4 float4::DivLeft(float s) const { return float4(s / x, s / y, s / z, s / w); }

float4 float4::operator-() const { return Neg4(); }
float4 float4::operator+(const float4 &v) const { return float4(x + v.x, y + v.y, z + v.z, w + v.w); }
float4 float4::operator-(const float4 &v) const { return float4(x - v.x, y - v.y, z - v.z, w - v.w); }
float4 float4::operator*(float s) const { return float4(x * s, y * s, z * s, w * s); }
float4 float4::operator/(float s) const { return *this * (1.f / s); }
float4 &float4::operator+=(const float4 &v) { return *this = *this + v; }
float4 &float4::operator-=(const float4 &v) { return *this = *this - v; }
float4 &float4::operator*=(float s) { return *this = *this * s; }
float4 &float4::operator/=(float s) { return *this = *this / s; }

float float4::Distance3Sq(const float4 &p) const { return (*this - p).LengthSq3(); }
float float4::Distance3(const float4 &p) const { return sqrtf(Distance3Sq(p)); }
float float4::Distance4Sq(const float4 &p) const { return (*this - p).LengthSq4(); }
float float4::Distance4(const float4 &p) const { return sqrtf(Distance4Sq(p)); }

float3 float4::Perpendicular3(const float3 &hint, const float3 &hint2) const {
    float3 c = xyz().Cross(hint);
    return c.Normalize() == 0.f ? hint2 : c;
}

float4 float4::Perpendicular(const float4 &hint, const float4 &hint2) const {
    const float4 c = Cross3(hint);
    const float lengthSq = c.LengthSq4();
    if (lengthSq > 1e-6f) return c * (1.f / sqrtf(lengthSq));
    return hint2;
}

float3 float4::AnotherPerpendicular3(const float3 &hint, const float3 &hint2) const {
    const float3 p = Perpendicular3(hint, hint2);
    return unit_or_x(xyz().Cross(p)).xyz();
}

float4 float4::AnotherPerpendicular(const float4 &hint, const float4 &hint2) const {
    const float4 p = Perpendicular(hint, hint2);
    return unit_or_x(xyz().Cross(p.xyz()));
}

void float4::PerpendicularBasis(float4 &outB, float4 &outC) const {
    const float3 a = xyz().Abs();
    const float3 &q = (a.y >= a.x && a.z >= a.x) ? float3::unitX : (a.z >= a.y ? float3::unitY : float3::unitZ);
    outB = unit_or_x(xyz().Cross(q));
    outC = unit_or_x(xyz().Cross(outB.xyz()));
}

float4 float4::ProjectTo3(const float3 &direction) const {
    return float4((direction * Dot3(direction)) * (1.f / direction.LengthSq()), w);
}

float4 float4::ProjectToNorm3(const float3 &unitDirection) const {
    return float4(unitDirection * Dot3(unitDirection), w);
}

float4 float4::ProjectTo(const float4 &direction) const {
    return direction * (Dot4(direction) / direction.LengthSq4());
}

float4 float4::ProjectToNorm(const float4 &unitDirection) const { return unitDirection * Dot4(unitDirection); }

// The unit-normal precondition is not checked.
float4 float4::Reflect3(const float3 &normal) const {
    return float4(ProjectToNorm3(normal).xyz() * 2.f - xyz(), w);
}

float4 float4::Reflect(const float4 &normal) const { return normal * (2.f * Dot4(normal)) - *this; }

// The same expression as float3::Refract, without a cosine term in the factor of the normal.
float4 float4::Refract(const float4 &normal, float negativeSideRefractionIndex,
                       float positiveSideRefractionIndex) const {
    const float eta = negativeSideRefractionIndex / positiveSideRefractionIndex;
    const float d = Dot4(normal);
    const float k = (1.f - d * d) * (eta * eta);
    if (k > 1.f) return *this + normal * (2.f * -d);  // total internal reflection
    return *this * eta - normal * (eta + sqrtf(1.f - k));
}

float float4::AngleBetween3(const float4 &other) const {
    return clamped_acos(Dot3(other) / sqrtf(other.LengthSq3() * LengthSq3()));
}

float float4::AngleBetween4(const float4 &other) const {
    return clamped_acos(Dot4(other) / sqrtf(other.LengthSq4() * LengthSq4()));
}

float float4::AngleBetweenNorm3(const float4 &other) const { return clamped_acos(Dot3(other)); }
float float4::AngleBetweenNorm4(const float4 &other) const { return clamped_acos(Dot4(other)); }

float4 float4::Lerp(const float4 &b, float t) const { return Lerp(*this, b, t); }

float4 float4::Lerp(const float4 &a, const float4 &b, float t) {
    const float s = 1.f - t;
    return float4(s * a.x + t * b.x, s * a.y + t * b.y, s * a.z + t * b.z, s * a.w + t * b.w);
}

void float4::Orthonormalize(float4 &a, float4 &b) {
    a.Normalize4();
    b -= a * a.Dot4(b);
    b.Normalize4();
}

void float4::Orthonormalize(float4 &a, float4 &b, float4 &c) {
    Orthonormalize(a, b);
    c -= a * a.Dot4(c);
    c -= b * b.Dot4(c);
    c.Normalize4();
}

void float4::SetFromSphericalCoordinates(float azimuth, float inclination, float radius) {
    *this = float4(float3::FromSphericalCoordinates(azimuth, inclination, radius), 0.f);
}

float4 float4::FromSphericalCoordinates(float azimuth, float inclination, float radius) {
    return float4(float3::FromSphericalCoordinates(azimuth, inclination, radius), 0.f);
}

void float4::SetFromSphericalCoordinates(float azimuth, float inclination) {
    *this = float4(float3::FromSphericalCoordinates(azimuth, inclination), 0.f);
}

float4 float4::FromSphericalCoordinates(float azimuth, float inclination) {
    return float4(float3::FromSphericalCoordinates(azimuth, inclination), 0.f);
}

// A squared length above 1e-6 puts the length above 1e-3, far above any smaller cut-off.
float3 float4::ToSphericalCoordinates() const {
    const float lengthSq = LengthSq4();
    if (lengthSq <= 1e-6f) return float3::zero;
    const float length = sqrtf(lengthSq);
    const float inv = 1.f / length;
    return float3(atan2f(x * inv, z * inv), asinf(-y * inv), length);
}

float2 float4::ToSphericalCoordinatesNormalized() const { return float2(atan2f(x, z), asinf(-y)); }

float4 float4::RandomBox(LCG &lcg, float xmin, float xmax, float ymin, float ymax, float zmin, float zmax) {
    return RandomBox(lcg, float4(xmin, ymin, zmin, 1.f), float4(xmax, ymax, zmax, 1.f));
}

float4 float4::RandomBox(LCG &lcg, float minElem, float maxElem) {
    return RandomBox(lcg, FromScalar(minElem), FromScalar(maxElem));
}

float4 float4::RandomGeneral(LCG &lcg, float minElem, float maxElem) {
    const float x_ = lcg.Float(minElem, maxElem);
    const float y_ = lcg.Float(minElem, maxElem);
    const float z_ = lcg.Float(minElem, maxElem);
    const float w_ = lcg.Float(minElem, maxElem);
    return float4(x_, y_, z_, w_);
}

std::string float4::ToString() const {
    return FormatText("(%.3f, %.3f, %.3f, %.3f)", PrintableFloat(x), PrintableFloat(y), PrintableFloat(z),
                      PrintableFloat(w));
}

float4 operator*(float scalar, const float4 &v) { return v * scalar; }

std::ostream &operator<<(std::ostream &out, const float4 &v) { return out << v.ToString(); }

// ---- Text forms ----

std::string float4::SerializeToString() const {
    const float values[] = {x, y, z, w};
    const std::string text = detail::SerializeFloats(values, 4);
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Math/float4", 552);
    return text;
}

std::string float4::SerializeToCodeString() const { return "float4(" + SerializeToString() + ")"; }

float4 float4::FromString(const char *str, const char **outEndStr) {
    MATH_ASSUME(IsNeutralCLocale(), "IsNeutralCLocale()", "Math/float4", 565);
    return detail::ReadFloatType<float4>(str, outEndStr, "float4");
}

}  // namespace math
