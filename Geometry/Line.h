#pragma once

#include <iosfwd>
#include <string>

#include "Math/float2.h"
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
class Ray;
class LineSegment;
class Plane;
class Polygon;
class Polyhedron;
class Sphere;
class Triangle;

// The infinite line through pos along dir. dir is expected to be unit length but is stored as
// given; a parameter d names the point pos + d * dir.
class Line {
public:
    float3 pos;
    float3 dir;

    Line() = default;
    Line(const float3 &pos, const float3 &dir);
    explicit Line(const Ray &ray);
    explicit Line(const LineSegment &segment);  // from a along the segment's unit direction

    Ray ToRay() const;
    LineSegment ToLineSegment(float d) const;
    LineSegment ToLineSegment(float dStart, float dEnd) const;
    static bool AreCollinear(const float3 &p1, const float3 &p2, const float3 &p3, float epsilonSq);

    bool IsFinite() const;
    float3 GetPoint(float d) const;

    // The closest point to p; d receives its parameter.
    float3 ClosestPoint(const float3 &p) const;
    float3 ClosestPoint(const float3 &p, float &d) const;
    float Distance(const float3 &p) const;
    float Distance(const float3 &p, float &d) const;

    // d is the parameter on this line, d2 on the other object (0..1 on a segment).
    float3 ClosestPoint(const Line &other, float &d, float &d2) const;
    float3 ClosestPoint(const Ray &other, float &d, float &d2) const;
    float3 ClosestPoint(const LineSegment &other, float &d, float &d2) const;
    float Distance(const Line &other, float &d, float &d2) const;
    float Distance(const Ray &other, float &d, float &d2) const;
    float Distance(const LineSegment &other, float &d, float &d2) const;
    // d is the parameter of the line's point nearest to the triangle's point nearest the line.
    float3 ClosestPoint(const Triangle &triangle, float &d) const;
    float3 ClosestPoint(const Triangle &triangle, float &d, float2 &outBarycentricUV) const;

    // Thresholds are compared with squared distances.
    bool Contains(const float3 &p, float distanceThresholdSq) const;
    bool Contains(const LineSegment &segment, float distanceThresholdSq) const;
    bool Contains(const Ray &ray, float distanceThresholdSq) const;  // the ray must point along dir
    bool Equals(const Line &other, float epsilon) const;            // either direction

    void ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const;

    bool Intersects(const Plane &plane, float *d) const;
    bool Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Polygon &polygon) const;
    // dNear and dFar receive the parameters where the line enters and leaves the box.
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const AABB &aabb, float &dNear, float &dFar) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const OBB &obb, float &dNear, float &dFar) const;

    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);  // dir is not renormalised
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // The closest points of the lines start0 + d * dir0 and start1 + d2 * dir1, in units of
    // each direction; parallel lines give d = 0.
    static void ClosestPointLineLine(const float3 &start0, const float3 &dir0, const float3 &start1,
                                     const float3 &dir1, float &d, float &d2);

    // Spheres and discs.
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
    // Text forms: pos and dir written by SerializeFloat, joined by ","; the code form is "Line(" + the two
    // float3 code forms + ")". FromString reads these and the ToString form, each label and prefix optional;
    // a null str gives NaN components and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static Line FromString(const char *str, const char **outEnd = nullptr);
};

Line operator*(const float3x3 &m, const Line &line);
Line operator*(const float3x4 &m, const Line &line);
Line operator*(const float4x4 &m, const Line &line);
Line operator*(const Quat &q, const Line &line);
std::ostream &operator<<(std::ostream &out, const Line &line);

namespace detail {
// "name(Pos:(x, y, z) Dir:(x, y, z))", positions with two decimals, directions with three:
// the text of both lines and rays.
std::string PosDirToString(const char *name, const float3 &pos, const float3 &dir);
}  // namespace detail

}  // namespace math
