#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace math {

class LCG;
class float3;
class float4;

// The planar vector, with the planar algorithms built on it: orientation test, convex
// hull, hull containment and the minimum-area enclosing rectangle.
class float2 {
public:
    float x;
    float y;

    static const float2 zero;
    static const float2 one;
    static const float2 unitX;
    static const float2 unitY;
    static const float2 nan;
    static const float2 inf;

    float2() = default;
    constexpr float2(float x_, float y_) : x(x_), y(y_) {}
    constexpr explicit float2(float scalar) : x(scalar), y(scalar) {}
    explicit float2(const float *data);  // a null pointer gives nan

    static float2 FromScalar(float scalar);
    void SetFromScalar(float scalar);
    void Set(float x, float y);

    // NaN outside 0..1.
    float At(int index) const;
    // x outside 0..1.
    float &At(int index);

    // NaN in the slot of an index outside 0..1.
    float2 Swizzled(int i, int j) const;
    float3 Swizzled(int i, int j, int k) const;
    float4 Swizzled(int i, int j, int k, int l) const;

    float LengthSq() const;
    float Length() const;
    // Falls back to (1, 0) and returns 0 when the squared length is at most 1e-6.
    float Normalize();
    float2 Normalized() const;
    // Leaves the vector unchanged and returns 0 when the squared length is below 1e-6.
    float ScaleToLength(float newLength);
    float2 ScaledToLength(float newLength) const;

    bool IsNormalized(float epsilonSq) const;
    bool IsZero(float epsilonSq) const;
    bool IsFinite() const;
    bool IsPerpendicular(const float2 &other, float epsilonSq) const;
    static bool AreOrthogonal(const float2 &a, const float2 &b, float epsilon);

    float Dot(const float2 &v) const;
    // The z of the three-dimensional cross product.
    float PerpDot(const float2 &v) const;
    bool Equals(const float2 &other, float epsilon) const;
    bool Equals(float x, float y, float epsilon) const;
    bool BitEquals(const float2 &other) const;

    float SumOfElements() const;
    float ProductOfElements() const;
    float AverageOfElements() const;
    float MinElement() const;
    float MaxElement() const;
    int MinElementIndex() const;
    int MaxElementIndex() const;

    float2 Abs() const;
    float2 Neg() const;
    float2 Recip() const;
    float2 Min(float ceil) const;
    float2 Min(const float2 &ceil) const;
    float2 Max(float floor) const;
    float2 Max(const float2 &floor) const;
    // The ceiling is applied first, so floor wins where floor > ceil.
    float2 Clamp(float floor, float ceil) const;
    float2 Clamp(const float2 &floor, const float2 &ceil) const;
    float2 Clamp01() const;

    float DistanceSq(const float2 &point) const;
    float Distance(const float2 &point) const;

    float2 Reflect(const float2 &normal) const;
    float2 Refract(const float2 &normal, float negativeSideRefractionIndex,
                   float positiveSideRefractionIndex) const;
    float2 ProjectTo(const float2 &direction) const;
    float2 ProjectToNorm(const float2 &unitDirection) const;
    void Decompose(const float2 &unitDirection, float2 &outParallel, float2 &outPerpendicular) const;
    float2 Lerp(const float2 &b, float t) const;
    static float2 Lerp(const float2 &a, const float2 &b, float t);

    float AngleBetween(const float2 &other) const;
    float AngleBetweenNorm(const float2 &other) const;
    // b loses its component along a; a shorter than sqrt(1e-7) leaves b unchanged.
    static void Orthogonalize(const float2 &a, float2 &b);
    // Both normalised with the (1, 0) fallback, b made perpendicular to a first.
    static void Orthonormalize(float2 &a, float2 &b);

    float2 Perp() const;
    void Rotate90CW();
    float2 Rotated90CW() const;
    void Rotate90CCW();
    float2 Rotated90CCW() const;

    void SetFromPolarCoordinates(float angle, float length);
    static float2 FromPolarCoordinates(float angle, float length);
    // (angle, length); (0, 0) when the length is at most 1e-4.
    float2 ToPolarCoordinates() const;
    float AimedAngle() const;

    // True when a, b, c turn counter-clockwise or are collinear.
    static bool OrientedCCW(const float2 &a, const float2 &b, const float2 &c);

    float2 Add(float s) const;
    float2 Sub(float s) const;
    float2 SubLeft(float s) const;
    float2 Mul(const float2 &v) const;
    float2 Div(const float2 &v) const;
    float2 DivLeft(float s) const;

    float2 operator+(const float2 &v) const;
    float2 operator-(const float2 &v) const;
    float2 operator-() const;
    float2 operator*(float s) const;
    float2 operator/(float s) const;
    float2 &operator+=(const float2 &v);
    float2 &operator-=(const float2 &v);
    float2 &operator*=(float s);
    float2 &operator/=(float s);

    // "(x, y)" with six decimals.
    std::string ToString() const;
    // Text forms: every component written by SerializeFloat, joined by "," without blanks;
    // the code form wraps that text in "float2(" and ")". FromString reads either back, and
    // the ToString form too; a null str gives nan and leaves *outEndStr unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static float2 FromString(const char *str, const char **outEndStr = nullptr);

    // Up to 1000 rejection draws in the square; (length, 0) when all are rejected.
    static float2 RandomDir(LCG &lcg, float length);
    static float2 RandomBox(LCG &lcg, float minElem, float maxElem);

    static void ConvexHull(const float2 *points, int count, std::vector<float2> &outHull);
    // Moves the hull to the front of the array, counter-clockwise from the lowest point,
    // and returns its vertex count.
    static int ConvexHullInPlace(float2 *points, int count);
    // The hull is expected counter-clockwise; an empty hull contains every point.
    static bool ConvexHullContains(const float2 *hull, int count, const float2 &point);
    // Replaces the points by their hull and returns the area of the smallest enclosing
    // rectangle, with its centre, axes and extents along the axes.
    static float MinAreaRectInPlace(float2 *points, int count, float2 &center, float2 &uDir,
                                    float2 &vDir, float &minU, float &maxU, float &minV,
                                    float &maxV);
};

float2 operator*(float s, const float2 &v);
std::ostream &operator<<(std::ostream &out, const float2 &v);

// The hull's sort order: a before b when b lies counter-clockwise of a as seen from the
// pivot, the nearer first when both lie on one ray. The turn is decided exactly, so the
// order is a strict weak ordering.
struct SortByPolarAngle {
    float2 perspective;

    bool operator()(const float2 &a, const float2 &b) const;
};

}  // namespace math
