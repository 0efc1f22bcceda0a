#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "Geometry/Triangle.h"
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
class Polyhedron;
class Quat;
class Ray;
class Sphere;

// The in-plane axes along which a polygon measures whether it contains a point. Derived
// from the vertices, they cost more than the test itself: a caller that tests many points
// against one polygon derives them once, and the test answers exactly as Contains does.
struct PolygonAxes {
    float3 u;
    float3 v;
};

// Called now and then by a long loop so that its caller can abandon the work by throwing.
using CancelCheck = std::function<void()>;

// A planar polygon: its vertices in boundary order, the closing edge implied. Its plane,
// winding and 2D frame are derived from the vertices on every call. Nothing is enforced:
// the list may be empty, repeat vertices, be non-planar or cross itself.

class Polygon {
public:
    std::vector<float3> vertices;

    int NumVertices() const;
    int NumEdges() const;
    float3 Vertex(int i) const;  // NaN outside 0..n-1
    // From vertex i to vertex (i + 1) mod n. Empty: a NaN segment; one vertex: a zero-length
    // segment at it; otherwise i outside 0..n-1 gives a NaN segment.
    LineSegment Edge(int i) const;
    // Edge(i) in 2D coordinates as points (u, v, 0); an end of an out-of-range index is NaN.
    LineSegment Edge2D(int i) const;
    LineSegment Diagonal(int i, int j) const;  // a NaN segment for an out-of-range index
    bool DiagonalExists(int i, int j) const;   // false for every concave polygon
    // In the plane, perpendicular to edge i, out of a counter-clockwise polygon; NaN where
    // Edge(i) is a NaN segment.
    float3 EdgeNormal(int i) const;
    Plane EdgePlane(int i) const;

    // The normal faces the side from which the outline runs counter-clockwise; NaN when empty.
    Plane PlaneCCW() const;
    Plane PlaneCW() const;
    float3 NormalCCW() const;
    float3 NormalCW() const;
    // U, V and the normal form a right-handed frame with origin vertex 0.
    float3 BasisU() const;
    float3 BasisV() const;
    float2 MapTo2D(const float3 &p) const;  // NaN when empty
    float2 MapTo2D(int i) const;             // NaN outside 0..n-1
    float3 MapFrom2D(const float2 &q) const; // NaN when empty

    bool IsNull() const;
    bool IsFinite() const;
    bool IsDegenerate(float epsilon) const;
    // epsilonSq bounds the squared distance from the plane of the first three vertices.
    bool IsPlanar(float epsilonSq) const;
    bool IsConvex() const;  // counter-clockwise in its own frame, straight corners allowed
    bool IsSimple() const;
    bool Equals(const Polygon &other) const;  // vertices equal within 0.001 per component
    bool BitEquals(const Polygon &other) const;

    float Area() const;
    float Perimeter() const;
    float3 Centroid() const;  // the vertex mean, not the area centroid
    // t in [0, 1) walks the boundary from vertex 0 by its share of the perimeter.
    float3 PointOnEdge(float t) const;
    float3 RandomPointOnEdge(LCG &lcg) const;
    // One draw picks a triangle of the triangulation, every triangle equally likely whatever
    // its area; the triangle's draws follow. NaN, without drawing, when there is none.
    float3 FastRandomPointInside(LCG &lcg) const;
    // The first vertex with the greatest projection; NaN when none beats negative infinity.
    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;
    AABB MinimalEnclosingAABB() const;  // the empty box when there are no vertices

    // Ear clipping in the polygon's frame: n - 2 triangles that cover a simple outline exactly.
    // A self-crossing outline may stop early, leaving part of it uncovered.
    std::vector<Triangle> Triangulate() const;
    // The same triangles; an empty check is never called.
    std::vector<Triangle> Triangulate(const CancelCheck &check) const;
    float3 ClosestPoint(const float3 &p) const;  // NaN with fewer than three vertices
    float3 ClosestPoint(const LineSegment &segment, float3 *outSegmentPos) const;
    float3 ClosestPoint(const LineSegment &segment) const;
    float Distance(const float3 &p) const;

    // thicknessSq bounds the squared distance from the plane.
    bool Contains(const float3 &p, float thicknessSq) const;
    PolygonAxes ContainmentAxes() const;  // BasisU and BasisV
    bool Contains(const float3 &p, float thicknessSq, const PolygonAxes &axes) const;
    bool Contains(const Polygon &other, float thicknessSq) const;
    // Plain distance from the plane; the segment must keep 0.001 from the boundary.
    bool Contains(const LineSegment &segment, float thickness) const;
    bool Contains(const Triangle &triangle, float thickness) const;
    bool Contains2D(const LineSegment &segment) const;  // the segment in 2D coordinates, z = 0

    bool Intersects(const Line &line) const;
    bool Intersects(const Ray &ray) const;
    bool Intersects(const LineSegment &segment) const;
    bool Intersects(const Plane &plane) const;  // some vertex within 1e-4 on each side
    // polygonThickness bounds the distance of parallel planes.
    bool Intersects(const Polygon &other, float polygonThickness) const;
    bool Intersects(const Triangle &triangle, float polygonThickness) const;

    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // Spheres: through the triangulation.
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Capsule &capsule) const;

    // Polyhedra: the polyhedron's test.
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // "(" + "(" + float3::SerializeToString() + ")" for each vertex, joined by ",", + ")".
    std::string SerializeToString() const;
    // Reads the serialized form back, "Polygon" and the outer parentheses optional; text
    // without vertices, or a null str, gives an empty polygon (a null str leaves *outEnd unwritten).
    static Polygon FromString(const char *str, const char **outEnd = nullptr);

    // ---- Solid forms and the GJK tests ----
    Polyhedron ToPolyhedron() const;  // both sides: faces 0..n-1 and n-1..0
    float3 StartingPoint() const;     // vertex 0, NaN without vertices: the point GJK starts from
    // The polygon taken as convex: the GJK test alone.
    bool ConvexIntersects(const AABB &aabb) const;
    bool ConvexIntersects(const OBB &obb) const;
    bool ConvexIntersects(const Frustum &frustum) const;
    // The GJK test, then, when it reports contact, the edge tests of Convex_Intersects_Polygon.
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const Frustum &frustum) const;
};

Polygon operator*(const float3x3 &m, const Polygon &polygon);
Polygon operator*(const float3x4 &m, const Polygon &polygon);
Polygon operator*(const float4x4 &m, const Polygon &polygon);

// The draws of Polygon::FastRandomPointInside over a triangulation made beforehand, for a
// caller that draws many points from one polygon: one draw picks a triangle, every triangle
// equally likely, then the triangle's draws follow. NaN, without drawing, when there is none.
float3 RandomPointInTriangles(const std::vector<Triangle> &triangles, LCG &lcg);

// For a convex polygon that a box may reach: true when the box meets one of the polygon's edges
// or the polygon is crossed by one of the box's edges. An empty polygon meets nothing.
bool Convex_Intersects_Polygon(const AABB &box, const Polygon &polygon);
bool Convex_Intersects_Polygon(const OBB &box, const Polygon &polygon);
bool Convex_Intersects_Polygon(const Frustum &frustum, const Polygon &polygon);
Polygon operator*(const Quat &q, const Polygon &polygon);

// The point of the triangles closest to p, the earliest triangle winning ties; NaN when there
// is none. Polygon::ClosestPoint measures over its triangulation this way, so a caller that
// keeps the triangulation measures exactly as the polygon does.
float3 ClosestPointOnTriangles(const std::vector<Triangle> &triangles, const float3 &p);

// Lines through a1, a2 and b1, b2; out receives the parameters along a and b. Parallel, and
// out untouched, when the unnormalised cross product is below 1e-4 in magnitude.
bool IntersectLineLine2D(const float2 &a1, const float2 &a2, const float2 &b1, const float2 &b2,
                         float2 &out);
// Both parameters in [0, 1]: segments sharing an end point meet.
bool IntersectLineSegmentLineSegment2D(const float2 &a1, const float2 &a2, const float2 &b1,
                                       const float2 &b2, float2 &out);
// The diagonal points[i] to points[j] against the edges away from it; false for an index
// outside the list.
bool IsAnEar(const std::vector<float2> &points, int i, int j);

}  // namespace math
