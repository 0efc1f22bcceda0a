#pragma once

// The mixed intersection test of a polyhedron and a closed shape with a centre and edges:
// contained centres first, then the shape's edges against the polyhedron, then the
// polyhedron's edges against the shape. Not a separating-axis test.

#include "Geometry/LineSegment.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/PolyhedronEdges.h"
#include "Geometry/Triangle.h"
#include "Math/MathLog.h"

namespace math {

namespace polyhedron_mixed {

// The boxes and the frustum: CenterPoint, Contains(point), 12 edges, Intersects(segment).
template <typename Shape>
float3 Centre(const Shape &shape) {
    return shape.CenterPoint();
}
template <typename Shape>
bool ContainsPoint(const Shape &shape, const float3 &point) {
    return shape.Contains(point);
}
template <typename Shape>
int NumEdges(const Shape &) {
    return 12;
}
template <typename Shape>
bool MeetsSegment(const Shape &shape, const LineSegment &segment) {
    return shape.Intersects(segment);
}

inline float3 Centre(const Triangle &t) { return t.Centroid(); }
inline bool ContainsPoint(const Triangle &t, const float3 &point) { return t.Contains(point, 1e-5f); }
inline int NumEdges(const Triangle &) { return 3; }
inline bool MeetsSegment(const Triangle &t, const LineSegment &segment) { return t.Intersects(segment, nullptr, nullptr); }

}  // namespace polyhedron_mixed

// Some edge of the polyhedron's faces, each shared edge once, meets what meets tests. An empty
// face logs emptyFaceLog as an error and adds no edge.
template <typename Meets>
bool AnyFaceEdgeMeets(const Polyhedron &p, const char *emptyFaceLog, Meets meets) {
    for (const Polyhedron::Face &face : p.f) {
        if (face.v.empty()) PrintToConsoleVariadic(LogError, "%s", emptyFaceLog);
        const bool hit = polyhedron_edges::AnyEdgeOnce(
            face, [&](int a, int b) { return meets(LineSegment(p.Vertex(a), p.Vertex(b))); });
        if (hit) return true;
    }
    return false;
}

template <typename Shape>
bool PolyhedronIntersectsAABB_OBB(const Polyhedron &p, const Shape &t) {
    using namespace polyhedron_mixed;
    if (p.Contains(Centre(t))) return true;
    if (ContainsPoint(t, p.ApproximateConvexCentroid())) return true;
    for (int i = 0; i < NumEdges(t); ++i)
        if (p.Intersects(t.Edge(i))) return true;
    return AnyFaceEdgeMeets(p, "!p.f[i].v.empty() in Geometry/Polyhedron:923",
                            [&](const LineSegment &edge) { return MeetsSegment(t, edge); });
}

}  // namespace math
