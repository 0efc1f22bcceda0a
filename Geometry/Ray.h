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
class LineSegment;
class Plane;
class Polygon;
class Polyhedron;
class Sphere;
class Triangle;

// The half-line of the points pos + d * dir with d >= 0. dir is expected to be unit length but
// is stored as given.
class Ray {
public:
    float3 pos;
    float3 dir;

    Ray() = default;
    Ray(const float3 &pos, const float3 &dir);
    explicit Ray(const Line &line);
    explicit Ray(const LineSegment &segment);  // from a along the segment's unit direction

    Line ToLine() const;
    LineSegment ToLineSegment(float d) const;
    LineSegment ToLineSegment(float dStart, float dEnd) const;

    bool IsFinite() const;
    float3 GetPoint(float d) const;  // d is not clamped: a negative d lies behind the origin

    // The closest point to p; points behind the origin give the origin and d = 0.
    float3 ClosestPoint(const float3 &p) const;
    float3 ClosestPoint(const float3 &p, float &d) const;
    float Distance(const float3 &p) const;
    float Distance(const float3 &p, float &d) const;

    // d is the parameter on this ray, d2 on the other object (0..1 on a segment).
    float3 ClosestPoint(const Line &other, float &d, float &d2) const;
    float3 ClosestPoint(const Ray &other, float &d, float &d2) const;
    float3 ClosestPoint(const LineSegment &other, float &d, float &d2) const;
    float Distance(const Line &other, float &d, float &d2) const;
    float Distance(const Ray &other, float &d, float &d2) const;
    float Distance(const LineSegment &other, float &d, float &d2) const;

    // Thresholds are compared with squared distances.
    bool Contains(const float3 &p, float distanceThresholdSq) const;
    bool Contains(const LineSegment &segment, float distanceThresholdSq) const;
    bool Equals(const Ray &other, float epsilon) const;

    void ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const;

    bool Intersects(const Plane &plane) const;
    bool Intersects(const Plane &plane, float *d) const;  // only hits at d >= 0 count
    bool Intersects(const Triangle &triangle) const;
    bool Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Polygon &polygon) const;
    // dNear and dFar receive the parameters where the ray enters and leaves the box, dNear >= 0.
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const AABB &aabb, float &dNear, float &dFar) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const OBB &obb, float &dNear, float &dFar) const;

    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);  // dir is not renormalised
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // Spheres and discs.
    float Distance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere) const;
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
    // Text forms: pos and dir written by SerializeFloat, joined by ","; the code form is "Ray(" + the two
    // float3 code forms + ")". FromString reads these and the ToString form, each label and prefix optional;
    // a null str gives NaN components and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static Ray FromString(const char *str, const char **outEnd = nullptr);
};

// The matrix product renormalises the direction; the rotation keeps it as rotated.
Ray operator*(const float3x3 &m, const Ray &ray);
Ray operator*(const float3x4 &m, const Ray &ray);
Ray operator*(const float4x4 &m, const Ray &ray);
Ray operator*(const Quat &q, const Ray &ray);
std::ostream &operator<<(std::ostream &out, const Ray &ray);

}  // namespace math
