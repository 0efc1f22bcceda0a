#pragma once

#include <iosfwd>
#include <string>

#include "Math/float2.h"
#include "Math/float3.h"

namespace math {

class Capsule;
class Frustum;
class float3x3;
class float3x4;
class float4x4;
class LCG;
class Line;
class LineSegment;
class OBB;
class PBVolume;
class Plane;
class Polygon;
class Polyhedron;
class Quat;
class Ray;
class Sphere;
class Triangle;

// Axis-aligned box. Nothing keeps minCorner <= maxCorner: SetNegativeInfinity gives
// the empty start for Enclose, and a box whose minimum exceeds its maximum on some
// axis is degenerate. Corners, edges and faces follow the shared box numbering.
class AABB {
public:
    float3 minCorner;
    float3 maxCorner;

    AABB() = default;
    AABB(const float3 &minPoint, const float3 &maxPoint);
    explicit AABB(const OBB &obb);  // the smallest box around the oriented box

    void SetFrom(const OBB &obb);
    void SetNegativeInfinity();
    void SetFromCenterAndSize(const float3 &center, const float3 &size);
    static AABB FromCenterAndSize(const float3 &center, const float3 &size);
    // A null array or a count below 1 leaves the empty box.
    void SetFrom(const float3 *pointArray, int numPoints);
    static AABB MinimalEnclosingAABB(const float3 *pointArray, int numPoints);

    void Enclose(const float3 &point);
    void Enclose(const float3 &aabbMinPoint, const float3 &aabbMaxPoint);
    void Enclose(const LineSegment &lineSegment);
    void Enclose(const Triangle &triangle);
    void Enclose(const OBB &obb);
    void Enclose(const Polygon &polygon);  // a polygon without vertices changes nothing
    void Enclose(const float3 *pointArray, int numPoints);

    float3 CenterPoint() const;
    float3 Size() const;
    float3 HalfSize() const;
    float Volume() const;
    float SurfaceArea() const;
    bool IsFinite() const;
    bool IsDegenerate() const;  // true unless maxCorner > minCorner strictly on every axis

    float3 CornerPoint(int cornerIndex) const;
    LineSegment Edge(int edgeIndex) const;
    float3 FaceCenterPoint(int faceIndex) const;
    float3 FaceNormal(int faceIndex) const;
    Plane FacePlane(int faceIndex) const;
    float3 FacePoint(int faceIndex, float u, float v) const;  // u and v are not clamped
    float3 PointInside(float x, float y, float z) const;      // not clamped
    // Edges numbered by the axis they run along: 0-3 along z, 4-7 along y, 8-11
    // along x; u = 0 at the minimum end, not clamped.
    float3 PointOnEdge(int edgeIndex, float u) const;
    void GetCornerPoints(float3 *outPointArray) const;
    void GetFacePlanes(Plane *outPlaneArray) const;
    void ToEdgeList(float3 *outPos) const;
    int UniqueFaceNormals(float3 *out) const;
    int UniqueEdgeDirections(float3 *out) const;
    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    void ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const;
    // The indices of the points with the smallest and largest x, y and z; the first
    // of equal values wins. A null array writes nothing.
    static void ExtremePointsAlongAABB(const float3 *pointArray, int numPoints, int &minx, int &maxx, int &miny,
                                       int &maxy, int &minz, int &maxz);
    OBB ToOBB() const;

    float3 ClosestPoint(const float3 &targetPoint) const;
    float Distance(const float3 &point) const;
    AABB Intersection(const AABB &aabb) const;  // disjoint boxes give a degenerate box

    // Inclusive bounds; a NaN coordinate is not contained.
    bool Contains(const float3 &point) const;
    bool Contains(const float3 &aabbMinPoint, const float3 &aabbMaxPoint) const;
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const Polygon &polygon) const;

    // Boxes that only touch do not intersect.
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const Plane &plane) const;        // touching counts
    bool Intersects(const Triangle &triangle) const;  // touching does not count
    bool Intersects(const Line &line) const;
    bool Intersects(const Ray &ray) const;
    bool Intersects(const Line &line, float &dNear, float &dFar) const;
    bool Intersects(const Ray &ray, float &dNear, float &dFar) const;
    bool Intersects(const LineSegment &lineSegment) const;
    // dNear and dFar are segment parameters, 0 at a and 1 at b.
    bool Intersects(const LineSegment &lineSegment, float &dNear, float &dFar) const;
    // The slab test: clips tNear..tFar, which the caller sets, to the part of
    // pos + t * dir inside the box; both are updated as the axes are processed.
    bool IntersectLineAABB(const float3 &linePos, const float3 &lineDir, float &tNear, float &tFar) const;

    void Translate(const float3 &offset);
    void Scale(const float3 &centerPoint, float scaleFactor);  // corners are not reordered
    void Scale(const float3 &centerPoint, const float3 &scaleFactor);
    // The smallest axis-aligned box around the transformed box.
    void TransformAsAABB(const float3x3 &transform);
    void TransformAsAABB(const float3x4 &transform);
    void TransformAsAABB(const float4x4 &transform);
    void TransformAsAABB(const Quat &transform);
    // The oriented box of OBB::SetFrom(*this, transform): its scale comes from the
    // first column alone.
    OBB Transform(const float3x3 &transform) const;
    OBB Transform(const float3x4 &transform) const;
    OBB Transform(const float4x4 &transform) const;
    OBB Transform(const Quat &transform) const;

    float3 RandomPointInside(LCG &rng) const;
    float3 RandomPointOnSurface(LCG &rng) const;  // every face equally likely, whatever its area
    float3 RandomPointOnEdge(LCG &rng) const;
    float3 RandomCornerPoint(LCG &rng) const;

    static int NumVerticesInTriangulation(int numFacesX, int numFacesY, int numFacesZ);
    // A grid of numFaces quads on each face, two triangles per quad, written to
    // outPos (and to outNormal and outUV when they are not null).
    void Triangulate(int numFacesX, int numFacesY, int numFacesZ, float3 *outPos, float3 *outNormal,
                     float2 *outUV, bool ccwIsFrontFacing) const;

    // Spheres.
    explicit AABB(const Sphere &sphere);  // the smallest box around the ball
    void SetFrom(const Sphere &sphere);
    void Enclose(const Sphere &sphere);
    bool Contains(const Sphere &sphere) const;
    float Distance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere, float3 *closestPointOnAABB) const;
    Sphere MinimalEnclosingSphere() const;
    Sphere MaximalContainedSphere() const;

    // Frusta: containment and growth through the frustum's enclosing box.
    bool Contains(const Frustum &frustum) const;
    void Enclose(const Frustum &frustum);
    bool Intersects(const Frustum &frustum) const;

    // Capsules.
    bool Contains(const Capsule &capsule) const;  // through its enclosing box
    void Enclose(const Capsule &capsule);
    bool Intersects(const Capsule &capsule) const;

    // Polyhedra: containment and growth through the polyhedron's enclosing box.
    bool Contains(const Polyhedron &polyhedron) const;  // one without vertices is contained
    void Enclose(const Polyhedron &polyhedron);
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // Text forms: the corners written by SerializeFloat, joined by ","; the code form is "AABB(" + the two
    // float3 code forms + ")". FromString reads these and the ToString form, each label and prefix optional;
    // a null str gives NaN components and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static AABB FromString(const char *str, const char **outEnd = nullptr);

    // ---- Solid forms and the GJK test ----
    Polyhedron ToPolyhedron() const;  // the corners in corner order, the faces in face order
    PBVolume ToPBVolume() const;      // the six face planes in face order
    float3 StartingPoint() const;     // minCorner: the point GJK starts from
    bool Intersects(const Polygon &polygon) const;  // the polygon's test with this box
};

OBB operator*(const float3x3 &transform, const AABB &aabb);
OBB operator*(const float3x4 &transform, const AABB &aabb);
OBB operator*(const float4x4 &transform, const AABB &aabb);
OBB operator*(const Quat &transform, const AABB &aabb);
std::ostream &operator<<(std::ostream &out, const AABB &aabb);

}  // namespace math
