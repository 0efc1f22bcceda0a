#pragma once

#include <iosfwd>
#include <string>

#include "Math/float2.h"
#include "Math/float3.h"

namespace math {

class AABB;
class Capsule;
class Frustum;
class float3x3;
class float3x4;
class float4x4;
class LCG;
class Line;
class LineSegment;
class OBB;
class Plane;
class Polygon;
class Polyhedron;
class Quat;
class Ray;
class Triangle;

// A ball: a centre and a radius. Nothing constrains the radius: it may be zero, negative,
// infinite or NaN. SetNegativeInfinity gives the empty start that contains every point but
// never grows; the point fits fail with a NaN centre and radius.
class Sphere {
public:
    float3 pos;
    float r;

    Sphere() = default;
    Sphere(const float3 &center, float radius);
    Sphere(const float3 &a, const float3 &b);                                      // the smallest around both
    Sphere(const float3 &a, const float3 &b, const float3 &c);                     // through the three
    Sphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d);    // through the four

    float Volume() const;
    float SurfaceArea() const;
    AABB MinimalEnclosingAABB() const;
    // A cube of edge r * 0.57735026: contained, though not the largest such cube.
    AABB MaximalContainedAABB() const;
    float3 ExtremePoint(const float3 &direction) const;  // direction need not be unit length
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    float3 StartingPoint() const;  // the centre: the point GJK starts from
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;
    bool IsFinite() const;
    bool IsDegenerate() const;  // true unless r > 0 and pos is finite
    void SetDegenerate();
    void SetNegativeInfinity();
    bool BitEquals(const Sphere &other) const;

    void Translate(const float3 &offset);
    // The radius scales by the length of the first column alone.
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    bool Contains(const float3 &point) const;
    bool Contains(const float3 &point, float epsilon) const;  // epsilon widens r * r
    float Distance(const float3 &point) const;  // 0 inside; NaN passes through
    float MaxDistance(const float3 &point) const;
    // A point inside the ball is its own closest point; one outside goes to the surface.
    float3 ClosestPoint(const float3 &point) const;

    // Uniform draws by rejection from the cube (-r, r)^3, x then y then z.
    float3 RandomPointInside(LCG &lcg) const;
    float3 RandomPointOnSurface(LCG &lcg) const;
    static float3 RandomPointInside(LCG &lcg, const float3 &center, float radius);
    static float3 RandomPointOnSurface(LCG &lcg, const float3 &center, float radius);

    // Inclusive; a NaN distance is not contained.
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const Polygon &polygon) const;  // a polygon without vertices is contained
    bool Contains(const AABB &aabb) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Sphere &sphere) const;
    bool Contains(const Sphere &sphere, float epsilon) const;
    bool Contains(const Capsule &capsule) const;
    bool Contains(const Polyhedron &polyhedron) const;  // one without vertices is contained
    bool Contains(const Frustum &frustum) const;  // every corner

    float Distance(const Sphere &sphere) const;
    float Distance(const AABB &aabb) const;
    float Distance(const OBB &obb) const;
    float Distance(const Plane &plane) const;
    float Distance(const Triangle &triangle) const;
    float Distance(const Ray &ray) const;
    float Distance(const LineSegment &lineSegment) const;
    float Distance(const Line &line) const;
    float Distance(const Capsule &capsule) const;

    // The roots t1 <= t2 of |linePos + t * lineDir - spherePos| = sphereRadius for a unit
    // lineDir: 0 (t1 = +inf, t2 = -inf), 1 (a discriminant below 1e-4) or 2.
    static int IntersectLine(const float3 &linePos, const float3 &lineDir, const float3 &spherePos,
                             float sphereRadius, float &t1, float &t2);
    // The root count, or 0 for a miss; outputs are written only on a hit and only when their
    // pointer is not null. A ray starting inside reports its exit point; segment parameters
    // run from 0 at a to 1 at b.
    int Intersects(const Ray &ray, float3 *intersectionPoint, float3 *intersectionNormal, float *d,
                   float *d2) const;
    int Intersects(const Line &line, float3 *intersectionPoint, float3 *intersectionNormal, float *d,
                   float *d2) const;
    int Intersects(const LineSegment &lineSegment, float3 *intersectionPoint, float3 *intersectionNormal,
                   float *d, float *d2) const;
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Plane &plane) const;
    bool Intersects(const AABB &aabb, float3 *closestPointOnAABB) const;
    bool Intersects(const OBB &obb, float3 *closestPointOnOBB) const;
    bool Intersects(const Triangle &triangle, float3 *closestPointOnTriangle) const;
    bool Intersects(const Polygon &polygon) const;
    bool Intersects(const Capsule &capsule) const;
    bool Intersects(const Polyhedron &polyhedron) const;
    bool Intersects(const Frustum &frustum) const;

    // Writes up to numVertices vertices of a subdivided octahedron on the surface and returns
    // how many: 24 + 9k, never more than numVertices, 0 below 24 or without outPos.
    int Triangulate(float3 *outPos, float3 *outNormal, float2 *outUV, int numVertices,
                    bool ccwIsFrontFacing) const;

    // The growth step: just enough to take in the point, the centre moving toward it. An
    // interior point never moves the centre nor shrinks the radius.
    void Enclose(const float3 &point, float epsilon);
    // Farthest first, each by the growth step.
    void Enclose(const float3 *pointArray, int numPoints);  // nothing for null or numPoints <= 0
    void Enclose(const LineSegment &lineSegment);
    void Enclose(const Triangle &triangle);
    void Enclose(const Polygon &polygon);
    void Enclose(const AABB &aabb);
    void Enclose(const OBB &obb);
    void Enclose(const Sphere &sphere);
    void Enclose(const Capsule &capsule);  // the farther end sphere first
    void Enclose(const Polyhedron &polyhedron);  // over the vertices, farthest first
    void Enclose(const Frustum &frustum);  // the corners, farthest first
    // Grows the radius alone; never shrinks it.
    void ExtendRadiusToContain(const float3 &point, float epsilon);
    void ExtendRadiusToContain(const Sphere &sphere, float epsilon);

    // The surface through the points; collinear or coplanar points log a warning and give
    // the failure value (NaN centre and radius).
    static Sphere FitThroughPoints(const float3 &a, const float3 &b, const float3 &c);
    static Sphere FitThroughPoints(const float3 &a, const float3 &b, const float3 &c, const float3 &d);
    // The smallest enclosing sphere, padded by a few 1e-4. redundantPoint receives the index
    // (0-3) of a point the sphere of the other four already encloses, or 4.
    static Sphere OptimalEnclosingSphere(const float3 &a, const float3 &b);
    static Sphere OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c);
    static Sphere OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d);
    static Sphere OptimalEnclosingSphere(const float3 &a, const float3 &b, const float3 &c, const float3 &d,
                                         const float3 &e, int &redundantPoint);
    // Null or numPoints <= 0 give the empty sphere ((0, 0, 0), -inf).
    static Sphere OptimalEnclosingSphere(const float3 *pointArray, int numPoints);
    // Around the widest pair of axis extremes, then grown over every point in order.
    static Sphere FastEnclosingSphere(const float3 *pointArray, int numPoints);

    std::string ToString() const;
    // x, y, z and r in the shortest text that reads back to the same bits, joined by ",".
    std::string SerializeToString() const;
    // "Sphere(float3(x,y,z),r)", r with nine significant digits.
    std::string SerializeToCodeString() const;
    // Reads any of the three forms above; a null str gives the NaN sphere.
    static Sphere FromString(const char *str, const char **outEndStr = nullptr);
};

Sphere operator*(const float3x3 &m, const Sphere &sphere);
Sphere operator*(const float3x4 &m, const Sphere &sphere);
Sphere operator*(const float4x4 &m, const Sphere &sphere);
Sphere operator*(const Quat &q, const Sphere &sphere);
std::ostream &operator<<(std::ostream &out, const Sphere &sphere);

// The barycentric weights of the circumcentre of a, b, c (or a, b, c, d) relative to a:
// centre = a + s * ab + t * ac (+ u * ad). False for collinear (coplanar) points.
bool FitSphereThroughPoints(const float3 &ab, const float3 &ac, float &s, float &t);
bool FitSphereThroughPoints(const float3 &ab, const float3 &ac, const float3 &ad, float &s, float &t, float &u);

namespace detail {
// The support-set search behind OptimalEnclosingSphere, with the number of times it
// restarted its scan, for measurements.
Sphere OptimalEnclosingSphere(const float3 *pointArray, int numPoints, int &restarts);
}  // namespace detail

}  // namespace math
