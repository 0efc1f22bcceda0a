#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Math/float3.h"

namespace math {

class AABB;
class float3x3;
class float3x4;
class float4x4;
class Line;
class LineSegment;
class OBB;
class Plane;
class Quat;
class Ray;

// A circle in 3D and the disc it bounds: a centre, the normal of its plane (expected to be
// unit length, stored as given) and a radius.
class Circle {
public:
    float3 pos;
    float3 normal;
    float r;

    Circle() = default;
    Circle(const float3 &center, const float3 &normal, float radius);

    // An orthonormal basis of the circle's plane, from the normal and the hints +y and +z.
    float3 BasisU() const;
    float3 BasisV() const;
    // The two forms pair sine and cosine with U and V the other way round: GetPoint(0) lies on
    // V and GetPoint(0, 1) on U.
    float3 GetPoint(float angleRadians) const;
    float3 GetPoint(float angleRadians, float d) const;  // d scales the radius
    float3 ExtremePoint(const float3 &direction) const;  // the centre for a direction along the normal
    Plane ContainingPlane() const;

    void Translate(const float3 &offset);
    // The radius scales by the length of the first column alone.
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);  // the normal is not renormalised

    float3 ClosestPointToEdge(const float3 &point) const;  // GetPoint(0) for a point on the axis
    float DistanceToEdge(const float3 &point) const;
    bool EdgeContains(const float3 &point, float maxDistance) const;
    float3 ClosestPointToDisc(const float3 &point) const;
    float DistanceToDisc(const float3 &point) const;

    int Intersects(const Plane &plane, float3 *pt1, float3 *pt2) const;
    bool Intersects(const Plane &plane) const;
    bool IntersectsDisc(const Line &line) const;
    bool IntersectsDisc(const Ray &ray) const;
    bool IntersectsDisc(const LineSegment &lineSegment) const;
    // The points where the rim crosses the box's faces; a point on an edge of the box can
    // appear once for each of its two faces.
    std::vector<float3> IntersectsFaces(const AABB &aabb) const;
    std::vector<float3> IntersectsFaces(const OBB &obb) const;

    std::string ToString() const;
};

Circle operator*(const float3x3 &m, const Circle &circle);
Circle operator*(const float3x4 &m, const Circle &circle);
Circle operator*(const float4x4 &m, const Circle &circle);
Circle operator*(const Quat &q, const Circle &circle);
std::ostream &operator<<(std::ostream &out, const Circle &circle);

}  // namespace math
