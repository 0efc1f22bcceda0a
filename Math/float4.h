#pragma once

#include <iosfwd>
#include <string>

#include "Math/float2.h"
#include "Math/float3.h"

namespace math {

class LCG;
class float4x4;

// The homogeneous vector: a point carries w = 1, a direction w = 0. Members with the
// suffix 3 work on x, y, z and carry w through; the suffix 4 (or none) uses all four.
// Sums accumulate in component order and division by a scalar multiplies by its
// reciprocal, as for float3.
class float4 {
public:
    float x;
    float y;
    float z;
    float w;

    float4() = default;
    constexpr float4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    float4(const float3 &xyz, float w);
    float4(float x, float y, const float2 &zw);
    float4(float x, const float2 &yz, float w);
    float4(float x, const float3 &yzw);
    float4(const float2 &xy, float z, float w);
    float4(const float2 &xy, const float2 &zw);
    explicit float4(const float *data);  // a null pointer gives nan

    static float4 FromScalar(float scalar);
    static float4 FromScalar(float scalar, float w);
    void SetFromScalar(float scalar);
    void SetFromScalar(float scalar, float w);
    void Set(float x, float y, float z, float w);

    float At(int index) const;  // NaN outside 0..3
    float &At(int index);       // x outside 0..3
    float2 xy() const;
    float3 xyz() const;
    // NaN in the slot of an index outside 0..3.
    float2 Swizzled(int i, int j) const;
    float3 Swizzled(int i, int j, int k) const;
    float4 Swizzled(int i, int j, int k, int l) const;
    float4 xxxx() const;
    float4 yyyy() const;
    float4 zzzz() const;
    float4 wwww() const;
    float4 xxxw() const;
    float4 yyyw() const;
    float4 zzzw() const;

    float LengthSq3() const;
    float Length3() const;
    float LengthSq4() const;
    float Length4() const;
    // Both compare the squared length with 1e-6 and fall back to the unit X vector,
    // returning 0; Normalize3 never touches w.
    float Normalize3();
    float4 Normalized3() const;
    float Normalize4();
    float4 Normalized4() const;
    void NormalizeW();  // divides x, y, z by w and sets w = 1 unless abs(w) <= 1e-6
    void Scale3(float scalar);
    float ScaleToLength3(float newLength);  // unchanged, returning 0, when LengthSq3() < 1e-6
    float4 ScaledToLength3(float newLength) const;
    // Unguarded: a zero vector becomes NaN. Callers scale only non-zero vectors.
    float ScaleToLength(float newLength);
    float4 ScaledToLength(float newLength) const;

    // Tolerances named "Sq" are compared with squared quantities, with <=.
    bool IsWZeroOrOne(float epsilon) const;
    bool IsZero3(float epsilonSq) const;
    bool IsZero4(float epsilonSq) const;
    bool IsNormalized3(float epsilonSq) const;
    bool IsNormalized4(float epsilonSq) const;
    bool IsFinite() const;
    bool IsPerpendicular(const float4 &other, float epsilonSq) const;
    // The three-component dot product against the four-component lengths: the two
    // measures agree only for directions with w = 0.
    bool IsPerpendicular3(const float4 &other, float epsilonSq) const;
    static bool AreCollinear(const float4 &p1, const float4 &p2, const float4 &p3, float epsilonSq);
    static bool AreOrthogonal(const float4 &a, const float4 &b, float epsilon);
    static bool AreOrthogonal(const float4 &a, const float4 &b, const float4 &c, float epsilon);
    static bool AreOrthonormal(const float4 &a, const float4 &b, float epsilon);
    static bool AreOrthonormal(const float4 &a, const float4 &b, const float4 &c, float epsilon);
    bool Equals(const float4 &other, float epsilon) const;  // strict per component
    bool Equals(float x, float y, float z, float w, float epsilon) const;
    bool BitEquals(const float4 &other) const;

    float Dot3(const float4 &v) const;
    float Dot3(const float3 &v) const;
    float Dot4(const float4 &v) const;
    float4 Cross3(const float3 &v) const;  // w = 0
    float4 Cross3(const float4 &v) const;
    float4x4 OuterProduct(const float4 &v) const;
    float SumOfElements() const;
    float ProductOfElements() const;
    float AverageOfElements() const;
    float MinElement() const;
    float MaxElement() const;
    int MinElementIndex() const;  // ties go to the higher index, unlike float3
    int MaxElementIndex() const;

    // Component-wise; Min(a, b) is a when a <= b, Max(a, b) is a when a >= b.
    float4 Abs() const;
    float4 Neg3() const;
    float4 Neg4() const;
    float4 Recip3() const;
    float4 Recip4() const;
    float4 RecipFast4() const;  // an exact division like Recip4
    float4 Min(float s) const;
    float4 Min(const float4 &v) const;
    float4 Max(float s) const;
    float4 Max(const float4 &v) const;
    float4 Clamp(float floor, float ceil) const;  // the ceiling first: floor wins over ceil
    float4 Clamp(const float4 &floor, const float4 &ceil) const;
    float4 Clamp01() const;
    float4 Add(float s) const;
    float4 Sub(float s) const;
    float4 SubLeft(float s) const;
    float4 Mul(const float4 &v) const;
    float4 Div(const float4 &v) const;
    float4 DivLeft(float s) const;

    float4 operator-() const;
    float4 operator+(const float4 &v) const;
    float4 operator-(const float4 &v) const;
    float4 operator*(float s) const;
    float4 operator/(float s) const;
    float4 &operator+=(const float4 &v);
    float4 &operator-=(const float4 &v);
    float4 &operator*=(float s);
    float4 &operator/=(float s);

    float Distance3Sq(const float4 &p) const;
    float Distance3(const float4 &p) const;
    float Distance4Sq(const float4 &p) const;
    float Distance4(const float4 &p) const;

    float3 Perpendicular3(const float3 &hint, const float3 &hint2) const;
    float4 Perpendicular(const float4 &hint, const float4 &hint2) const;
    float3 AnotherPerpendicular3(const float3 &hint, const float3 &hint2) const;
    float4 AnotherPerpendicular(const float4 &hint, const float4 &hint2) const;
    void PerpendicularBasis(float4 &outB, float4 &outC) const;
    float4 ProjectTo3(const float3 &direction) const;  // w kept
    float4 ProjectToNorm3(const float3 &unitDirection) const;
    float4 ProjectTo(const float4 &direction) const;
    float4 ProjectToNorm(const float4 &unitDirection) const;
    float4 Reflect3(const float3 &normal) const;  // w kept
    float4 Reflect(const float4 &normal) const;
    float4 Refract(const float4 &normal, float negativeSideRefractionIndex,
                   float positiveSideRefractionIndex) const;
    // All four are clamped: a cosine rounded past +-1 gives 0 or pi, never NaN.
    float AngleBetween3(const float4 &other) const;
    float AngleBetween4(const float4 &other) const;
    float AngleBetweenNorm3(const float4 &other) const;
    float AngleBetweenNorm4(const float4 &other) const;
    float4 Lerp(const float4 &b, float t) const;
    static float4 Lerp(const float4 &a, const float4 &b, float t);
    static void Orthonormalize(float4 &a, float4 &b);
    static void Orthonormalize(float4 &a, float4 &b, float4 &c);

    // x, y, z as float3's forms give them, w = 0.
    void SetFromSphericalCoordinates(float azimuth, float inclination, float radius);
    static float4 FromSphericalCoordinates(float azimuth, float inclination, float radius);
    void SetFromSphericalCoordinates(float azimuth, float inclination);
    static float4 FromSphericalCoordinates(float azimuth, float inclination);
    // Measured with the four-component length, so a point (w = 1) has radius at least 1;
    // (0, 0, 0) when that length is at most 1e-3.
    float3 ToSphericalCoordinates() const;
    float2 ToSphericalCoordinatesNormalized() const;

    // Points (w = 1) inside the box.
    static float4 RandomBox(LCG &lcg, const float4 &minValues, const float4 &maxValues);
    static float4 RandomBox(LCG &lcg, float xmin, float xmax, float ymin, float ymax, float zmin, float zmax);
    static float4 RandomBox(LCG &lcg, float minElem, float maxElem);
    static float4 RandomGeneral(LCG &lcg, float minElem, float maxElem);  // draws x, y, z, w in order
    // Through the sphere's sampling: a direction (w = 0), a point inside the ball (w = 1), and a
    // unit direction perpendicular to this one.
    static float4 RandomDir(LCG &lcg, float length);
    static float4 RandomSphere(LCG &lcg, const float4 &center, float radius);
    float4 RandomPerpendicular(LCG &lcg) const;

    std::string ToString() const;  // "(x, y, z, w)" with three decimals

    static const float4 nan;  // quiet NaNs, bit pattern 0x7FC00000
    static const float4 zero;
    static const float4 one;
    static const float4 unitX;
    static const float4 unitY;
    static const float4 unitZ;
    static const float4 unitW;
    static const float4 inf;
};

float4 operator*(float scalar, const float4 &v);
std::ostream &operator<<(std::ostream &out, const float4 &v);

}  // namespace math
