#pragma once

#include <iosfwd>
#include <string>

#include "Geometry/AABB.h"
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
class PBVolume;
class Plane;
class Polygon;
class Polyhedron;
class Quat;
class Ray;
class Sphere;
class Triangle;

// Oriented box: a centre, half-sizes along its own three axes, and the axes, which
// are expected to be of unit length and mutually orthogonal (nothing enforces it).
// Corners, edges and the faces of FaceCenterPoint and FacePlane follow the shared
// box numbering in the box's own axes.
class OBB {
public:
    float3 pos;
    float3 halfSize;  // x along axis[0], y along axis[1], z along axis[2]
    float3 axis[3];

    OBB() = default;
    OBB(const float3 &pos, const float3 &halfSize, const float3 &axis0, const float3 &axis1, const float3 &axis2);
    explicit OBB(const AABB &aabb);

    void SetNegativeInfinity();
    void SetFrom(const AABB &aabb);
    // The box under the transform, its scale taken from the length of the first
    // column alone. A first column of zero or non-finite length gives the unit axes.
    void SetFrom(const AABB &aabb, const float3x3 &transform);
    void SetFrom(const AABB &aabb, const float3x4 &transform);
    void SetFrom(const AABB &aabb, const float4x4 &transform);
    void SetFrom(const AABB &aabb, const Quat &transform);
    // Grows the box along its own axes, so its orientation never changes.
    void Enclose(const float3 &point);
    // The smallest volume over the directions between pairs of points. Fewer than
    // two distinct points give a box of NaNs.
    static OBB OptimalEnclosingOBB(const float3 *pointArray, int numPoints);

    float3 CenterPoint() const;
    float3 HalfSize() const;
    float3 Size() const;
    float3 HalfDiagonal() const;
    float3 Diagonal() const;
    float Volume() const;
    float SurfaceArea() const;
    bool IsFinite() const;
    bool IsDegenerate() const;  // true unless every half-size is positive

    float3 CornerPoint(int cornerIndex) const;
    float3 PointInside(float x, float y, float z) const;  // (0,0,0) is corner 0, (1,1,1) corner 7
    LineSegment Edge(int edgeIndex) const;
    // Edges numbered by the axis they run along: 0-3 along axis[0], 4-7 along
    // axis[1], 8-11 along axis[2]; an index is clamped to 0..11, u is not clamped.
    float3 PointOnEdge(int edgeIndex, float u) const;
    float3 FaceCenterPoint(int faceIndex) const;
    // Faces numbered by the axes that span them: 0 and 1 are -axis[2] and +axis[2],
    // 2 and 3 -axis[0] and +axis[0], 4 and 5 -axis[1] and +axis[1]; any other index
    // is face 0. u and v are not clamped.
    float3 FacePoint(int faceIndex, float u, float v) const;
    Plane FacePlane(int faceIndex) const;
    void GetCornerPoints(float3 *outPointArray) const;
    void GetFacePlanes(Plane *outPlaneArray) const;
    void ToEdgeList(float3 *outPos) const;
    int UniqueFaceNormals(float3 *out) const;
    int UniqueEdgeDirections(float3 *out) const;
    AABB MinimalEnclosingAABB() const;
    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;
    // Both indices are set to 0 first; the first of equal projections wins and a NaN
    // projection never does.
    static void ExtremePointsAlongDirection(const float3 &dir, const float3 *pointArray, int numPoints,
                                           int &idxSmallest, int &idxLargest);

    // The frame with its origin at corner 0 and unit scale: the box occupies local
    // coordinates 0..2*halfSize on each axis.
    float3x4 LocalToWorld() const;
    float3x4 WorldToLocal() const;

    float3 ClosestPoint(const float3 &point) const;
    float Distance(const float3 &point) const;
    // Inclusive, without tolerance.
    bool Contains(const float3 &point) const;
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const AABB &aabb) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Polygon &polygon) const;  // a polygon without vertices is contained

    // Separating axes; epsilon widens the projections, and touching boxes intersect.
    bool Intersects(const OBB &b, float epsilon) const;
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const Plane &plane) const;
    // Tested in the box's local frame, whose unit scale keeps ray and line parameters world
    // distances; segment parameters run from 0 at a to 1 at b.
    bool Intersects(const Ray &ray) const;
    bool Intersects(const Ray &ray, float &dNear, float &dFar) const;
    bool Intersects(const Line &line) const;
    bool Intersects(const Line &line, float &dNear, float &dFar) const;
    bool Intersects(const LineSegment &lineSegment) const;
    bool Intersects(const LineSegment &lineSegment, float &dNear, float &dFar) const;
    bool Intersects(const Triangle &triangle) const;  // touching does not count

    // The triangulation of the box's faces in its local frame, mapped to the world.
    void Triangulate(int numFacesX, int numFacesY, int numFacesZ, float3 *outPos, float3 *outNormal,
                     float2 *outUV, bool ccwIsFrontFacing) const;

    float3 RandomPointInside(LCG &rng) const;
    float3 RandomPointOnSurface(LCG &rng) const;  // every face equally likely, whatever its area
    float3 RandomPointOnEdge(LCG &rng) const;
    float3 RandomCornerPoint(LCG &rng) const;

    void Translate(const float3 &offset);
    void Scale(const float3 &centerPoint, float scaleFactor);
    void Scale(const float3 &centerPoint, const float3 &scaleFactor);
    // Each half-size is scaled by the length of its own mapped axis; the axes are
    // normalised but not re-orthogonalised.
    void Transform(const float3x3 &transform);
    void Transform(const float3x4 &transform);
    void Transform(const float4x4 &transform);
    void Transform(const Quat &transform);

    // Spheres.
    void SetFrom(const Sphere &sphere);  // the axis-aligned cube around the ball
    float Distance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere, float3 *closestPointOnOBB) const;
    Sphere MinimalEnclosingSphere() const;
    Sphere MaximalContainedSphere() const;

    // Frusta.
    bool Contains(const Frustum &frustum) const;  // every corner
    bool Intersects(const Frustum &frustum) const;

    bool Intersects(const Capsule &capsule) const;

    // Polyhedra.
    bool Contains(const Polyhedron &polyhedron) const;  // one without vertices is contained
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // Text forms: the float3 serialized forms of pos, halfSize and the axes, joined by " "; the code form is
    // "OBB(" + their five code forms + ")". FromString reads these and the ToString form, each label and
    // prefix optional; a null str gives NaN components and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static OBB FromString(const char *str, const char **outEnd = nullptr);

    // ---- Solid forms and the GJK test ----
    Polyhedron ToPolyhedron() const;  // the corners in corner order, the faces in face order
    PBVolume ToPBVolume() const;      // the six face planes in face order
    float3 StartingPoint() const;     // pos: the point GJK starts from
    bool Intersects(const Polygon &polygon) const;  // the polygon's test with this box
};

OBB operator*(const float3x3 &transform, const OBB &obb);
OBB operator*(const float3x4 &transform, const OBB &obb);
OBB operator*(const float4x4 &transform, const OBB &obb);
OBB operator*(const Quat &transform, const OBB &obb);
std::ostream &operator<<(std::ostream &out, const OBB &obb);

// Orders by the x component alone: -1, 1, or 0 for equal or NaN components.
int LexFloat3Cmp(const float3 &a, const float3 &b);
int LexFloat3CmpV(const void *a, const void *b);  // the same for qsort

}  // namespace math
