#pragma once

#include <cmath>
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
class LineSegment;
class Polygon;
class Polyhedron;
class Sphere;
class Triangle;

// The plane of the points p with Dot(normal, p) = d. The normal is treated as unit length
// without being tested; signed distances are positive on the side it points to.
class Plane {
public:
    float3 normal;
    float d;

    Plane() = default;
    Plane(const float3 &normal, float d);
    // Counter-clockwise seen from the side the normal points to; collinear points give NaN.
    Plane(const float3 &a, const float3 &b, const float3 &c);
    Plane(const float3 &point, const float3 &normal);  // the normal is stored as given
    // The plane through the object that faces the given normal as closely as it can.
    Plane(const Line &line, const float3 &normal);
    Plane(const Ray &ray, const float3 &normal);
    Plane(const LineSegment &segment, const float3 &normal);

    void Set(const float3 &a, const float3 &b, const float3 &c);
    void Set(const float3 &point, const float3 &normal);

    bool IsDegenerate() const;
    float3 PointOnPlane() const;
    float3 Point(float u, float v) const;
    float3 Point(float u, float v, const float3 &referenceOrigin) const;

    float SignedDistance(const float3 &p) const;
    float Distance(const float3 &p) const;
    float Distance(const LineSegment &segment) const;
    // 0 when the object touches or crosses the plane, else the signed distance of its nearest point.
    float SignedDistance(const Line &line) const;
    float SignedDistance(const Ray &ray) const;
    float SignedDistance(const LineSegment &segment) const;
    float SignedDistance(const Triangle &triangle) const;
    float SignedDistance(const Polygon &polygon) const;
    float SignedDistance(const AABB &aabb) const;
    float SignedDistance(const OBB &obb) const;
    // 1 when every vertex lies at or above -1e-4, -1 when every vertex lies at or below 1e-4
    // (and not all above), else 0: a triangle in the plane gives 1.
    int ExamineSide(const Triangle &triangle) const;

    bool IsInPositiveDirection(const float3 &direction) const;
    bool IsOnPositiveSide(const float3 &p) const;
    bool AreOnSameSide(const float3 &p1, const float3 &p2) const;  // a point on the plane goes with either
    bool PassesThroughOrigin(float epsilon) const;
    float DihedralAngle(const Plane &other) const;  // the cosine of the angle between the normals
    bool IsParallel(const Plane &other, float epsilon) const;  // opposite normals are not parallel
    bool Equals(const Plane &other, float epsilon) const;
    bool SetEquals(const Plane &other, float epsilon) const;  // the same points in either orientation

    float3 Project(const float3 &p) const;
    float3 ProjectToNegativeHalf(const float3 &p) const;
    float3 ProjectToPositiveHalf(const float3 &p) const;
    LineSegment Project(const LineSegment &segment) const;
    Triangle Project(const Triangle &triangle) const;
    Polygon Project(const Polygon &polygon) const;
    // The direction is projected and normalised; nonDegenerate tells whether it had any length left.
    Line Project(const Line &line, bool *nonDegenerate) const;
    Ray Project(const Ray &ray, bool *nonDegenerate) const;
    float3 ClosestPoint(const Ray &ray) const;
    float3 ClosestPoint(const LineSegment &segment) const;
    float3 Mirror(const float3 &p) const;
    float3x4 MirrorMatrix() const;
    float3x4 OrthoProjection() const;
    float3 Refract(const float3 &vec, float negativeSideRefractionIndex, float positiveSideRefractionIndex) const;

    bool Contains(const float3 &p, float distanceThreshold) const;  // plain, not squared, distance
    bool Contains(const LineSegment &segment, float distanceThreshold) const;
    bool Contains(const Triangle &triangle, float distanceThreshold) const;
    // Three or more vertices: the polygon's plane equals this one in either orientation.
    bool Contains(const Polygon &polygon, float distanceThreshold) const;
    bool Contains(const Line &line, float epsilonSq) const;
    bool Contains(const Ray &ray, float epsilonSq) const;

    // t is the parameter along lineDir and is always written; near-parallel lines count only
    // within 10000 of linePos, parallel ones only when they lie in the plane (t = 0).
    static bool IntersectLinePlane(const float3 &planeNormal, float planeD, const float3 &linePos,
                                   const float3 &lineDir, float &t);
    bool Intersects(const Line &line, float *d) const;
    bool Intersects(const Ray &ray, float *d) const;  // *d is written even for hits behind the origin
    bool Intersects(const LineSegment &segment, float *d) const;  // *d is the 0..1 parameter
    bool Intersects(const Plane &other, Line *outLine) const;
    bool Intersects(const Plane &p2, const Plane &p3, Line *outLine, float3 *outPoint) const;
    bool Intersects(const Triangle &triangle) const;  // touching counts
    bool Intersects(const Polygon &polygon) const;
    bool Intersects(const AABB &aabb) const;  // touching counts
    bool Intersects(const OBB &obb) const;    // touching counts

    // Keeps what lies on the positive side.
    bool Clip(float3 &a, float3 &b) const;
    bool Clip(LineSegment &segment) const;
    int Clip(const Line &line, Ray &outRay) const;  // 0 nothing left, 1 a ray, 2 the whole line
    // The number of triangles (0, 1 or 2) that cover the positive part; windings are kept.
    int Clip(const Triangle &triangle, Triangle &t1, Triangle &t2) const;

    void ReverseNormal();
    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);  // the normal is not renormalised
    // A singular linear part is used as it is, uninverted; the normal is not renormalised.
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // Spheres.
    float Distance(const Sphere &sphere) const;
    float SignedDistance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere) const;  // touching counts

    // Circles.
    Circle GenerateCircle(const float3 &center, float radius) const;  // centred at the projection
    // Within epsilon of the plane and parallel to it, or of radius at most epsilon.
    bool Contains(const Circle &circle, float epsilon) const;
    // The number of points (0, 1 or 2) where the rim meets this plane, written when not null.
    int Intersects(const Circle &circle, float3 *pt1, float3 *pt2) const;
    int Intersects(const Circle &circle) const;

    // Frusta. Intersects: some corner on the other side from corner 0 (a corner on the plane
    // counts as the positive side, a NaN one as the negative).
    float SignedDistance(const Frustum &frustum) const;
    bool Intersects(const Frustum &frustum) const;

    // Capsules.
    float Distance(const Capsule &capsule) const;
    float SignedDistance(const Capsule &capsule) const;
    bool Intersects(const Capsule &capsule) const;

    // Polyhedra. Intersects: some vertex on each side, a vertex in the plane counting as above.
    float SignedDistance(const Polyhedron &polyhedron) const;
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // Text forms: the normal and d written by SerializeFloat, joined by ","; the code form is "Plane(" + the
    // normal's code form + "," + d with "%.9g" + ")". FromString reads these and the ToString form, each
    // label and prefix optional; a null str gives NaN normal and d and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static Plane FromString(const char *str, const char **outEnd = nullptr);
};

Plane operator*(const float3x3 &m, const Plane &plane);
Plane operator*(const float3x4 &m, const Plane &plane);
Plane operator*(const float4x4 &m, const Plane &plane);
Plane operator*(const Quat &q, const Plane &plane);
std::ostream &operator<<(std::ostream &out, const Plane &plane);

// The signed distance of a whole object from its interval along the normal: 0 when it touches
// or straddles the plane, else the end nearer to the plane (ties go to the far end, dMax).
template <typename Object>
float Plane_SignedDistance(const Plane &plane, const Object &object) {
    float dMin;
    float dMax;
    object.ProjectToAxis(plane.normal, dMin, dMax);
    dMin -= plane.d;
    dMax -= plane.d;
    if (dMin * dMax <= 0.f) return 0.f;
    return std::fabs(dMin) < std::fabs(dMax) ? dMin : dMax;
}

}  // namespace math
