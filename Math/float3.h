#pragma once

#include <iosfwd>
#include <string>

namespace math {

class AABB;
class Capsule;
class float2;
class float3x3;
class float4;
class LCG;
class Line;
class LineSegment;
class OBB;
class Plane;
class Ray;
class Sphere;
class Triangle;

// A point, direction or vector of three floats, contiguous in the order x, y, z, with no
// alignment beyond a float. Sums of products accumulate in component order and division by a
// scalar multiplies by its reciprocal: results depend on this order to the last bit.
class float3 {
public:
    float x;
    float y;
    float z;

    float3() = default;
    constexpr float3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    constexpr explicit float3(float scalar) : x(scalar), y(scalar), z(scalar) {}
    float3(const float2 &xy, float z);
    explicit float3(const float *data);  // a null pointer gives nan

    static float3 FromScalar(float scalar);
    void SetFromScalar(float scalar);
    void Set(float x, float y, float z);

    float At(int index) const;  // NaN outside 0..2
    float &At(int index);       // x outside 0..2
    float2 xx() const;
    float2 xy() const;
    float2 xz() const;
    float2 yx() const;
    float2 yy() const;
    float2 yz() const;
    float2 zx() const;
    float2 zy() const;
    float2 zz() const;
    // NaN in a slot whose index is outside 0..2.
    float2 Swizzled(int i, int j) const;
    float3 Swizzled(int i, int j, int k) const;
    float4 Swizzled(int i, int j, int k, int l) const;
    float4 ToPos4() const;  // w = 1
    float4 ToDir4() const;  // w = 0

    float LengthSq() const;
    float Length() const;
    float Normalize();  // returns the old length; (1, 0, 0) and 0 when the length is <= 1e-6
    float3 Normalized() const;
    float ScaleToLength(float newLength);  // (newLength, 0, 0) and 0 when LengthSq() < 1e-6
    float3 ScaledToLength(float newLength) const;
    float3 ClampLength(float maxLength) const;
    float3 ClampLength(float minLength, float maxLength) const;

    // Tolerances named "Sq" are compared with squared quantities, with <=.
    bool IsNormalized(float epsilonSq) const;
    bool IsZero(float epsilonSq) const;
    bool IsFinite() const;
    bool IsPerpendicular(const float3 &other, float epsilonSq) const;
    static bool AreCollinear(const float3 &p1, const float3 &p2, const float3 &p3, float epsilonSq);
    static bool AreOrthogonal(const float3 &a, const float3 &b, float epsilon);
    static bool AreOrthogonal(const float3 &a, const float3 &b, const float3 &c, float epsilon);
    static bool AreOrthonormal(const float3 &a, const float3 &b, float epsilon);
    static bool AreOrthonormal(const float3 &a, const float3 &b, const float3 &c, float epsilon);
    // Strict per component: abs(difference) < epsilon.
    bool Equals(const float3 &other, float epsilon) const;
    bool Equals(float x, float y, float z, float epsilon) const;
    bool BitEquals(const float3 &other) const;

    float Dot(const float3 &v) const;
    float3 Cross(const float3 &v) const;
    float3x3 OuterProduct(const float3 &v) const;  // element (r, c) is this[r] * v[c]
    static float ScalarTripleProduct(const float3 &u, const float3 &v, const float3 &w);
    float SumOfElements() const;
    float ProductOfElements() const;
    float AverageOfElements() const;
    float MinElement() const;
    float MaxElement() const;
    int MinElementIndex() const;  // ties go to the lower index
    int MaxElementIndex() const;

    // Component-wise; Min(a, b) is a when a <= b, Max(a, b) is a when a >= b.
    float3 Abs() const;
    float3 Neg() const;
    float3 Recip() const;
    float3 Min(float s) const;
    float3 Min(const float3 &v) const;
    float3 Max(float s) const;
    float3 Max(const float3 &v) const;
    float3 Clamp(float floor, float ceil) const;  // the ceiling first: floor wins over ceil
    float3 Clamp(const float3 &floor, const float3 &ceil) const;
    float3 Clamp01() const;
    float3 Add(float s) const;
    float3 Sub(float s) const;
    float3 SubLeft(float s) const;
    float3 Mul(const float3 &v) const;
    float3 Div(const float3 &v) const;
    float3 DivLeft(float s) const;

    float3 operator-() const;
    float3 operator+(const float3 &v) const;
    float3 operator-(const float3 &v) const;
    float3 operator*(float s) const;
    float3 operator/(float s) const;
    float3 &operator+=(const float3 &v);
    float3 &operator-=(const float3 &v);
    float3 &operator*=(float s);
    float3 &operator/=(float s);

    float DistanceSq(const float3 &p) const;
    float Distance(const float3 &p) const;
    // The shape's own distance to this point.
    float Distance(const Line &line) const;
    float Distance(const Ray &ray) const;
    float Distance(const LineSegment &lineSegment) const;
    float Distance(const Plane &plane) const;
    float Distance(const Triangle &triangle) const;
    float Distance(const AABB &aabb) const;
    float Distance(const OBB &obb) const;
    float Distance(const Sphere &sphere) const;
    float Distance(const Capsule &capsule) const;

    float3 Perpendicular(const float3 &hint, const float3 &hint2) const;
    float3 AnotherPerpendicular(const float3 &hint, const float3 &hint2) const;
    void PerpendicularBasis(float3 &outB, float3 &outC) const;
    float3 ProjectTo(const float3 &direction) const;
    float3 ProjectToNorm(const float3 &unitDirection) const;
    void Decompose(const float3 &unitDirection, float3 &outParallel, float3 &outPerpendicular) const;
    float3 Reflect(const float3 &normal) const;
    float3 Refract(const float3 &normal, float negativeSideRefractionIndex,
                   float positiveSideRefractionIndex) const;
    float AngleBetween(const float3 &other) const;
    float AngleBetweenNorm(const float3 &other) const;
    float3 Lerp(const float3 &b, float t) const;
    static float3 Lerp(const float3 &a, const float3 &b, float t);

    static void Orthogonalize(const float3 &a, float3 &b);
    static void Orthogonalize(const float3 &a, float3 &b, float3 &c);
    static void Orthonormalize(float3 &a, float3 &b);
    static void Orthonormalize(float3 &a, float3 &b, float3 &c);

    // Azimuth in the x-z plane from +z towards +x, inclination from that plane towards -y.
    void SetFromSphericalCoordinates(float azimuth, float inclination, float radius);
    static float3 FromSphericalCoordinates(float azimuth, float inclination, float radius);
    void SetFromSphericalCoordinates(float azimuth, float inclination);
    static float3 FromSphericalCoordinates(float azimuth, float inclination);
    float3 ToSphericalCoordinates() const;  // (azimuth, inclination, radius)
    float2 ToSphericalCoordinatesNormalized() const;  // (azimuth, inclination) of a unit vector

    // A point drawn inside the box AABB(min, max); note the per-axis order of the bounds.
    static float3 RandomBox(LCG &lcg, float xmin, float xmax, float ymin, float ymax, float zmin, float zmax);
    static float3 RandomBox(LCG &lcg, const float3 &min, const float3 &max);
    static float3 RandomBox(LCG &lcg, float minElem, float maxElem);
    // Drawn through the sphere's sampling: a direction of the given length, a point inside the
    // ball, and a unit vector perpendicular to this one.
    static float3 RandomDir(LCG &lcg, float length);
    static float3 RandomSphere(LCG &lcg, const float3 &center, float radius);
    float3 RandomPerpendicular(LCG &lcg) const;

    std::string ToString() const;  // "(x, y, z)" with three decimals
    // Text forms: every component written by SerializeFloat, joined by "," without blanks;
    // the code form wraps that text in "float3(" and ")". FromString reads either back, and
    // the ToString form too; a null str gives nan and leaves *outEndStr unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static float3 FromString(const char *str, const char **outEndStr = nullptr);

    static const float3 nan;  // quiet NaNs, bit pattern 0x7FC00000
    static const float3 zero;
    static const float3 one;
    static const float3 unitX;
    static const float3 unitY;
    static const float3 unitZ;
    static const float3 inf;
};

float3 operator*(float scalar, const float3 &v);
std::ostream &operator<<(std::ostream &out, const float3 &v);

// float3::FromString, except that text beginning "float4", or a group of four numbers in
// parentheses, is read as a float4 whose x, y, z are returned. The two behave identically.
float3 PointVecFromString(const char *str, const char **outEndStr = nullptr);
float3 DirVecFromString(const char *str, const char **outEndStr = nullptr);

}  // namespace math
