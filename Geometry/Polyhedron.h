#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Geometry/AABB.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/float3.h"

namespace math {

class Capsule;
class Frustum;
class float3x3;
class float3x4;
class float4x4;
class Line;
class OBB;
class Quat;
class Ray;
class Sphere;

// A solid given by a vertex list and faces that index into it. Nothing keeps it well formed
// (FaceIndicesValid tells): a face's normal is Cross(p1 - p0, p2 - p0) of its first three
// vertices, and the convex routines expect normals that point out of the solid.
class Polyhedron {
public:
    class Face {
    public:
        std::vector<int> v;  // vertex indices in winding order

        void FlipWindingOrder();
        std::string ToString() const;  // "3, 1, 2"
        // Integers separated by runs of "," and " "; reading stops at the first character that
        // is neither, keeping the indices read so far. Null gives an empty face.
        static Face FromString(const char *str);
    };

    std::vector<float3> v;
    std::vector<Face> f;

    float3 Vertex(int vertexIndex) const;  // NaN outside 0..n-1
    int NumEdges() const;                  // half the sum of the faces' index counts
    // Every unordered edge of the faces with three or more indices once, as (low, high), sorted.
    std::vector<std::pair<int, int>> EdgeIndices() const;
    std::vector<LineSegment> Edges() const;
    LineSegment Edge(int edgeIndex) const;  // a NaN segment outside the edge list
    Polygon FacePolygon(int faceIndex) const;  // empty outside the face list
    std::vector<Polygon> Faces() const;
    // A face index, or a vertex index of the face, out of range, or an empty face, gives NaN.
    Plane FacePlane(int faceIndex) const;
    float3 FaceNormal(int faceIndex) const;
    int ExtremeVertex(const float3 &direction) const;  // the first maximum; -1 without vertices
    float3 ExtremePoint(const float3 &direction) const;
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;
    int NearestVertex(const float3 &point) const;  // -1 without vertices
    int FindClosestVertex(const float3 &point, float &outDistanceSq) const;

    float3 ApproximateConvexCentroid() const;  // the vertex mean
    float3 ConvexCentroid() const;             // the volume centroid of a convex polyhedron
    float SurfaceArea() const;
    float Volume() const;
    AABB MinimalEnclosingAABB() const;
    std::vector<Triangle> Triangulate() const;

    bool FaceIndicesValid() const;
    bool IsClosed() const;  // logs the first offending edge as a warning
    bool IsConvex() const;  // no vertex more than 0.001 above a face plane
    bool EulerFormulaHolds() const;
    bool FacesAreNondegeneratePlanar(float epsilon) const;

    void FlipWindingOrder();
    void OrientNormalsOutsideConvex();  // flips the faces that see the vertex mean
    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);
    void SwapVertices(int i, int j);  // renumbers the faces too; an index out of range does nothing
    // Each face rotated to start at its smallest index; larger faces first, then ascending.
    void CanonicalizeFaceArray();
    // The same vertices (within a squared distance of 1e-4) and faces. Renumbers the other
    // polyhedron's vertices and canonicalises both, whatever the answer.
    bool SetEquals(Polyhedron &other);
    void MergeAdjacentPlanarFaces();  // left as it is
    bool ContainsFace(const Face &face) const;  // some face equal up to rotation

    // Adds a point to a convex polyhedron with outward normals: the faces that see it give way
    // to a fan from their horizon. A point that no face sees changes nothing.
    void MergeConvex(const float3 &point);
    void RemoveRedundantVertices();  // drops the vertices no face uses, keeping their order
    // Fewer than four points, or points that span no solid, give one face of all the points:
    // not a closed polyhedron.
    static Polyhedron ConvexHull(const float3 *pointArray, int numPoints);
    static Polyhedron Tetrahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing);
    static Polyhedron Octahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing);
    static Polyhedron Hexahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing);
    static Polyhedron Icosahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing);
    static Polyhedron Dodecahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing);

    // Containment. The general tests cast rays and work on any closed polyhedron; the convex
    // ones use the face planes alone and expect outward normals. Multi-point tests stop at the
    // first point that fails.
    // Positive inside the face, negative outside: the distance along the face's first edge
    // direction to its boundary. Minus infinity for a face of fewer than three indices or a
    // point farther than polygonThickness from the face plane.
    float FaceContainmentDistance2D(int faceIndex, const float3 &worldPt, float polygonThickness) const;
    bool FaceContains(int faceIndex, const float3 &worldPt, float polygonThickness) const;
    bool Contains(const float3 &point) const;
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const Polygon &polygon) const;  // a polygon without vertices is contained
    bool Contains(const AABB &aabb) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Polyhedron &polyhedron) const;  // one without vertices is contained
    bool ContainsConvex(const float3 &point, float epsilon) const;
    bool ContainsConvex(const LineSegment &lineSegment) const;  // within 1e-4 of every face plane
    bool ContainsConvex(const Triangle &triangle) const;

    // A contained point is its own closest point; NaN without faces.
    float3 ClosestPoint(const float3 &point) const;
    float3 ClosestPointConvex(const float3 &point) const;
    // A contained end point is its own closest point (a first); otherwise the nearest pair
    // over the faces. The segment's point is written when the pointer is not null.
    float3 ClosestPoint(const LineSegment &lineSegment, float3 *lineSegmentPt) const;
    float3 ClosestPoint(const LineSegment &lineSegment) const;
    float Distance(const float3 &point) const;  // 0 inside

    // Narrows [tFirst, tLast] of ptA + t * dir to the face planes; false once it is empty.
    bool ClipLineSegmentToConvexPolyhedron(const float3 &ptA, const float3 &dir, float &tFirst,
                                           float &tLast) const;
    bool IntersectsConvex(const Line &line) const;
    bool IntersectsConvex(const Ray &ray) const;
    bool IntersectsConvex(const LineSegment &lineSegment) const;

    // Not separating-axis tests: contained centres first, then crossing edges.
    bool Intersects(const LineSegment &lineSegment) const;
    bool Intersects(const Line &line) const;
    bool Intersects(const Ray &ray) const;
    bool Intersects(const Plane &plane) const;
    bool Intersects(const Polyhedron &polyhedron) const;
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const Triangle &triangle) const;
    bool Intersects(const Polygon &polygon) const;  // through the polygon's two-faced polyhedron
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Capsule &capsule) const;

    std::string ToString() const;

    // Frusta.
    bool Contains(const Frustum &frustum) const;  // every corner
    bool Intersects(const Frustum &frustum) const;  // the mixed test of the boxes
};

int IntTriCmp(int a, int b);
// Larger faces first; equal sizes by their first differing index.
int CmpFaces(const Polyhedron::Face &a, const Polyhedron::Face &b);
void Swap(Polyhedron::Face &a, Polyhedron::Face &b);

Polyhedron operator*(const float3x3 &m, const Polyhedron &polyhedron);
Polyhedron operator*(const float3x4 &m, const Polyhedron &polyhedron);
Polyhedron operator*(const float4x4 &m, const Polyhedron &polyhedron);
Polyhedron operator*(const Quat &q, const Polyhedron &polyhedron);

}  // namespace math
