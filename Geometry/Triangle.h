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
class Sphere;

// The triangle (a, b, c). Vertex order fixes the orientation: the counter-clockwise normal is
// Cross(b - a, c - a). Edge 0 is (a, b), edge 1 (b, c), edge 2 (c, a). Barycentric (u, v, w)
// weight a, b and c; the two-parameter form (s, t) names a + s * (b - a) + t * (c - a).
class Triangle {
public:
    float3 a;
    float3 b;
    float3 c;

    Triangle() = default;
    Triangle(const float3 &a, const float3 &b, const float3 &c);

    float3 Vertex(int i) const;       // NaN outside 0..2
    LineSegment Edge(int i) const;    // a NaN segment outside 0..2

    float3 Point(float s, float t) const;
    float3 Point(float u, float v, float w) const;
    float3 Point(const float3 &uvw) const;
    float3 Point(const float2 &st) const;

    // Computed in the coordinate plane where the triangle's projection is largest; a
    // degenerate triangle gives infinities or NaN.
    float3 BarycentricUVW(const float3 &p) const;
    float2 BarycentricUV(const float3 &p) const;  // the weights of b and c
    static bool BarycentricInsideTriangle(const float3 &uvw);

    float3 Centroid() const;
    float Area() const;
    float Perimeter() const;
    // Twice the signed area, positive when p1, p2, p3 run counter-clockwise.
    static float Area2D(const float2 &p1, const float2 &p2, const float2 &p3);
    // Twice the area of (pt, b, c) measured along the unit normal of (a, b, c).
    static float SignedArea(const float3 &pt, const float3 &a, const float3 &b, const float3 &c);

    float3 UnnormalizedNormalCCW() const;
    float3 UnnormalizedNormalCW() const;
    float3 NormalCCW() const;
    float3 NormalCW() const;
    Plane PlaneCCW() const;  // NaN for collinear vertices
    Plane PlaneCW() const;

    // The first vertex with the greatest projection; a NaN direction gives NaN.
    float3 ExtremePoint(const float3 &direction) const;
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    float3 StartingPoint() const;  // vertex a: the point GJK starts from
    void ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const;

    AABB BoundingAABB() const;
    Polygon ToPolygon() const;
    int UniqueFaceNormals(float3 *out) const;     // writes 4 unnormalised directions
    int UniqueEdgeDirections(float3 *out) const;  // writes 3

    bool IsFinite() const;
    // Two vertices equal within epsilon; distinct collinear vertices are not degenerate.
    bool IsDegenerate(float epsilon) const;
    static bool IsDegenerate(const float3 &a, const float3 &b, const float3 &c, float epsilon);

    // thicknessSq bounds the squared distance from the plane; the barycentric margin is 1e-3.
    bool Contains(const float3 &p, float thicknessSq) const;
    bool Contains(const LineSegment &segment, float thicknessSq) const;
    bool Contains(const Triangle &other, float thicknessSq) const;

    float3 ClosestPoint(const float3 &p) const;
    float Distance(const float3 &p) const;
    float DistanceSq(const float3 &p) const;
    // otherPt, when not null, receives the partner point on the other object.
    float3 ClosestPoint(const LineSegment &segment, float3 *otherPt) const;
    float3 ClosestPoint(const Line &line, float3 *otherPt) const;
    float3 ClosestPoint(const Triangle &other, float3 *otherPt) const;
    // The edge point nearest to the segment or line; outU, outV receive its (s, t) parameters
    // and outD the parameter on the segment or line.
    float3 ClosestPointToTriangleEdge(const LineSegment &segment, float *outU, float *outV,
                                      float *outD) const;
    float3 ClosestPointToTriangleEdge(const Line &line, float *outU, float *outV, float *outD) const;

    // The parameter along lineDir of the hit, or +infinity; u and v receive the (s, t) of the
    // hit once they are computed. Accepts points up to about 1e-4 outside the edges.
    static float IntersectLineTri(const float3 &linePos, const float3 &lineDir, const float3 &c0,
                                  const float3 &c1, const float3 &c2, float &u, float &v);
    // Outputs are written only on a hit, and only when not null.
    bool Intersects(const LineSegment &segment, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Line &line, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Ray &ray, float *d, float3 *intersectionPoint) const;
    bool Intersects(const Plane &plane) const;
    // outLine receives the common segment; when one triangle holds a vertex of the other in
    // their common plane, it is left as it is.
    bool Intersects(const Triangle &other, LineSegment *outLine) const;
    bool Intersects(const Polygon &polygon) const;
    // Touching does not count.
    bool Intersects(const AABB &box) const;
    bool Intersects(const OBB &box) const;

    // Two draws, s then t, both in [0.001, 0.999), folded into the triangle.
    float3 RandomPointInside(LCG &lcg) const;
    float3 RandomVertex(LCG &lcg) const;
    float3 RandomPointOnEdge(LCG &lcg) const;

    void Translate(const float3 &offset);
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // Spheres.
    float Distance(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Sphere &sphere, float3 *closestPointOnTriangle) const;

    // Frusta: the frustum's own test.
    bool Intersects(const Frustum &frustum) const;

    // Capsules: through the closest points of the triangle and the axis.
    float Distance(const Capsule &capsule) const;
    bool Intersects(const Capsule &capsule) const;

    // Polyhedra: the polyhedron's test.
    bool Intersects(const Polyhedron &polyhedron) const;

    std::string ToString() const;
    // Text forms: the nine coordinates written by SerializeFloat, joined by ","; the code form is "Triangle("
    // + the three float3 code forms + ")". FromString reads these and the ToString form, each label and
    // prefix optional; a null str gives NaN vertices and leaves *outEnd unwritten.
    std::string SerializeToString() const;
    std::string SerializeToCodeString() const;
    static Triangle FromString(const char *str, const char **outEnd = nullptr);

    // ---- Solid forms ----
    Polyhedron ToPolyhedron() const;  // vertices a, b, c; faces {0, 1, 2} and {2, 1, 0}
};

Triangle operator*(const float3x3 &m, const Triangle &triangle);
Triangle operator*(const float3x4 &m, const Triangle &triangle);
Triangle operator*(const float4x4 &m, const Triangle &triangle);
Triangle operator*(const Quat &q, const Triangle &triangle);
std::ostream &operator<<(std::ostream &out, const Triangle &triangle);

// The segments p0 + s * dir0 and q0 + t * dir1 for s, t in [0, 1]; s and t receive the meeting
// parameters (NaN when the segments are parallel and apart).
bool LineSegment2DLineSegment2DIntersect(const float2 &p0, const float2 &dir0, const float2 &q0,
                                         const float2 &dir1, float &s, float &t);
// 0 for disjoint intervals, 1 when they only touch, 2 when they overlap; s, t bound the common part.
int IntervalIntersection(float aMin, float aMax, float bMin, float bMax, float &s, float &t);
// Given the signed distances of t's vertices from a plane, the two edges that cross it.
void FindIntersectingLineSegments(const Triangle &t, float da, float db, float dc, LineSegment &s1,
                                  LineSegment &s2);
bool RangesOverlap(float start1, float end1, float start2, float end2);

}  // namespace math
