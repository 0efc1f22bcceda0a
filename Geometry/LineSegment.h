#pragma once

#include <iosfwd>
#include <string>

#include "Math/float3.h"

namespace math {

class AABB;
class Capsule;
class Frustum;
class Circle;
class float3x3;
class float3x4;
class float4x4;
class OBB;
class Quat;
class Line;
class Ray;
class Plane;
class Polygon;
class Polyhedron;
class Sphere;
class Triangle;

// The finite segment from a (parameter 0) to b (parameter 1); the parameter t names the point
// (1 - t) * a + t * b. The end points may coincide.
class LineSegment {
public:
    float3 a;
    float3 b;

    LineSegment() = default;
    LineSegment(const float3 &a, const float3 &b);
    LineSegment(const Ray &ray, float d);    // from the origin to ray.GetPoint(d)
    LineSegment(const Line &line, float d);  // from pos to line.GetPoint(d)

    float3 GetPoint(float t) const;  // t is not clamped
    float3 CenterPoint() const;
    void Reverse();
    float3 Dir() const;  // (1, 0, 0) for a segment of length 1e-6 or less
    float Length() const;
    float LengthSq() const;
    bool IsFinite() const;

    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    float3 StartingPoint() const;  // end a: the point GJK starts from
    void ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const;

    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    Ray ToRay() const;
    Line ToLine() const;

    bool Equals(const LineSegment &other, float epsilon) const;  // either orientation

    // The closest point to p; d receives its parameter, clamped to 0..1 (1 for a zero-length
    // segment).
    float3 ClosestPoint(const float3 &p) const;
    float3 ClosestPoint(const float3 &p, float &d) const;
    float Distance(const float3 &p) const;
    float Distance(const float3 &p, float &d) const;
    float DistanceSq(const float3 &p) const;

    // Thresholds are compared with squared distances.
    bool Contains(const float3 &p, float distanceThresholdSq) const;
    bool Contains(const LineSegment &other, float distanceThresholdSq) const;

    // d is the parameter on this segment, d2 on the other object (along a line or ray, or 0..1).
    float3 ClosestPoint(const Ray &other, float &d, float &d2) const;
    float3 ClosestPoint(const Line &other, float &d, float &d2) const;
    float3 ClosestPoint(const LineSegment &other, float &d, float &d2) const;
    float Distance(const Ray &other, float &d, float &d2) const;
    float Distance(const Line &other, float &d, float &d2) const;
    float Distance(const LineSegment &other, float &d, float &d2) const;
    float DistanceSq(const LineSegment &other) const;

    float Distance(const Plane &plane) const;  // 0 when the segment crosses or touches the plane
    bool Intersects(const Plane &plane) const;  // touching counts
    bool Intersects(const Plane &plane, float *d) const;
    bool Intersects(const LineSegment &other, float epsilon) const;
    bool Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Polygon &polygon) const;
    // dNear and dFar receive the segment parameters (0 at a, 1 at b) of the part inside the box.
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const AABB &aabb, float &dNear, float &dFar) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const OBB &obb, float &dNear, float &dFar) const;

    // Spheres and discs; d is the segment parameter of the hit.
    float Distance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere, float3 *intersectionPoint, float3 *intersectionNormal, float *d) const;
    bool IntersectsDisc(const Circle &disc) const;

    // Frusta: the frustum's own test.
    bool Intersects(const Frustum &frustum) const;

    // Capsules: through the distance to the axis.
    float Distance(const Capsule &capsule) const;
    bool Intersects(const Capsule &capsule) const;

    // Polyhedra: the polyhedron's test.
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // Text forms: a and b written by SerializeFloat, joined by ","; the code form is "LineSegment(" + the two
    // float3 code forms + ")". FromString reads these and the ToString form, each label and prefix optional;
    // a null str gives NaN components and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static LineSegment FromString(const char *str, const char **outEnd = nullptr);
};

LineSegment operator*(const float3x3 &m, const LineSegment &segment);
LineSegment operator*(const float3x4 &m, const LineSegment &segment);
LineSegment operator*(const float4x4 &m, const LineSegment &segment);
LineSegment operator*(const Quat &q, const LineSegment &segment);
std::ostream &operator<<(std::ostream &out, const LineSegment &segment);

}  // namespace math
