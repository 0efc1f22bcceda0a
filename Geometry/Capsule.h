#pragma once

#include <iosfwd>
#include <string>

#include "Geometry/LineSegment.h"
#include "Math/float3.h"

namespace math {

class AABB;
class Circle;
class float3x3;
class float3x4;
class float4x4;
class Frustum;
class LCG;
class Line;
class OBB;
class Plane;
class Polygon;
class Polyhedron;
class Quat;
class Ray;
class Sphere;
class Triangle;

// Every point within r of the axis segment: a swept sphere. A radius of 0 or less is
// degenerate. Distances are clamped below at 0 and tests count touching.
class Capsule {
public:
    LineSegment axis;
    float r;

    Capsule() = default;
    Capsule(const LineSegment &axis, float radius);
    Capsule(const float3 &a, const float3 &b, float radius);

    void SetFrom(const Sphere &s);  // both ends at the centre
    void SetDegenerate();
    bool IsDegenerate() const;

    float LineLength() const;
    float Diameter() const;
    float Height() const;  // the axis length and both caps
    float3 UpDirection() const;  // (1, 0, 0) when the ends coincide
    float3 Bottom() const;
    float3 Top() const;
    float3 Center() const;
    LineSegment HeightLineSegment() const;  // Bottom() to Top()
    Sphere SphereA() const;
    Sphere SphereB() const;
    float Volume() const;
    float SurfaceArea() const;
    bool IsFinite() const;

    // direction need not be unit length; a zero direction gives a non-finite point.
    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    float3 StartingPoint() const;  // end a: the point GJK starts from
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;  // unit direction
    AABB MinimalEnclosingAABB() const;
    OBB MinimalEnclosingOBB() const;

    // The circle at the height fraction yPos (0 at Bottom(), 1 at Top(), not clamped).
    Circle CrossSection(float yPos) const;
    float3 PointInside(float height, float angle, float distance) const;  // each a 0..1 fraction
    // Uniform in the enclosing box, so it may fall outside the capsule's caps.
    float3 UniformPointPerhapsInside(float height, float angle, float distance) const;
    // Rejection from the enclosing box; after 1000 misses the axis midpoint.
    float3 RandomPointInside(LCG &rng) const;
    float3 RandomPointOnSurface(LCG &rng) const;

    void Translate(const float3 &offset);
    void Scale(const float3 &centre, float factor);
    // The radius scales by the length of the first column alone.
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    bool Contains(const float3 &point) const;
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const Polygon &polygon) const;  // a polygon without vertices is contained
    bool Contains(const AABB &aabb) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Frustum &frustum) const;
    bool Contains(const Polyhedron &polyhedron) const;  // one without vertices is contained

    // A point within r is its own closest point; one outside goes to the surface.
    float3 ClosestPoint(const float3 &point) const;
    float Distance(const float3 &point) const;
    float Distance(const Capsule &other) const;
    float Distance(const Sphere &sphere) const;
    float Distance(const Plane &plane) const;
    float Distance(const Ray &ray) const;
    float Distance(const Line &line) const;
    float Distance(const LineSegment &lineSegment) const;

    bool Intersects(const Ray &ray) const;
    bool Intersects(const Line &line) const;
    bool Intersects(const LineSegment &lineSegment) const;
    bool Intersects(const Plane &plane) const;
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Capsule &other) const;
    bool Intersects(const Triangle &triangle) const;
    bool Intersects(const AABB &aabb) const;  // by GJK
    bool Intersects(const OBB &obb) const;    // by GJK
    bool Intersects(const Polygon &polygon) const;
    bool Intersects(const Polyhedron &polyhedron) const;
    bool Intersects(const Frustum &frustum) const;

    bool BitEquals(const Capsule &other) const;
    std::string ToString() const;
    // a, b and r in the shortest text that reads back to the same bits, joined by ",".
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    // Reads the forms above; a null text gives NaN ends and radius.
    static Capsule FromString(const char *str, const char **outEndStr);
};

Capsule operator*(const float3x3 &m, const Capsule &capsule);
Capsule operator*(const float3x4 &m, const Capsule &capsule);
Capsule operator*(const float4x4 &m, const Capsule &capsule);
Capsule operator*(const Quat &q, const Capsule &capsule);
std::ostream &operator<<(std::ostream &out, const Capsule &capsule);

}  // namespace math
