#pragma once

#include "Algorithm/Random/LCG.h"
#include "Geometry/LineSegment.h"
#include "Geometry/Plane.h"
#include "Math/float3.h"

// The corner, edge and face numbering that the axis-aligned and the oriented box
// share. Corner i takes the maximum side of axis 0 when bit value 4 is set, of axis 1
// for bit value 2 and of axis 2 for bit value 1; faces 0 to 5 are -X, +X, -Y, +Y,
// -Z, +Z in the box's own axes.
namespace math {
namespace box {

inline constexpr int kNumCorners = 8;
inline constexpr int kNumEdges = 12;
inline constexpr int kNumFaces = 6;

// The two corners of each edge, in edge order.
inline constexpr int kEdgeCorners[kNumEdges][2] = {{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3},
                                                   {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}};

// An index outside 0..count-1 stands for element 0.
inline int IndexOrZero(int index, int count) {
    return static_cast<unsigned>(index) < static_cast<unsigned>(count) ? index : 0;
}

template <typename Box>
LineSegment Edge(const Box &box, int edgeIndex) {
    const int *corners = kEdgeCorners[IndexOrZero(edgeIndex, kNumEdges)];
    return LineSegment(box.CornerPoint(corners[0]), box.CornerPoint(corners[1]));
}

// Whether the container holds every corner of the box (anything with eight CornerPoint
// corners), tested in corner order up to the first one outside.
template <typename Container, typename Box>
bool ContainsCorners(const Container &container, const Box &box) {
    for (int i = 0; i < kNumCorners; ++i)
        if (!container.Contains(box.CornerPoint(i))) return false;
    return true;
}

template <typename Box>
void CornerPoints(const Box &box, float3 *outPointArray) {
    if (!outPointArray) return;
    for (int i = 0; i < kNumCorners; ++i) outPointArray[i] = box.CornerPoint(i);
}

template <typename Box>
void FacePlanes(const Box &box, Plane *outPlaneArray) {
    if (!outPlaneArray) return;
    for (int i = 0; i < kNumFaces; ++i) outPlaneArray[i] = box.FacePlane(i);
}

// Edge i's two end points at 2i and 2i + 1.
template <typename Box>
void EdgeList(const Box &box, float3 *outPos) {
    if (!outPos) return;
    for (int i = 0; i < kNumEdges; ++i) {
        const LineSegment edge = Edge(box, i);
        outPos[2 * i] = edge.a;
        outPos[2 * i + 1] = edge.b;
    }
}

// The random points draw into named locals so that the draws keep their order.
template <typename Box>
float3 RandomPointInside(const Box &box, LCG &rng) {
    const float x = rng.Float();
    const float y = rng.Float();
    const float z = rng.Float();
    return box.PointInside(x, y, z);
}

template <typename Box>
float3 RandomPointOnSurface(const Box &box, LCG &rng) {
    const int face = rng.Int(0, kNumFaces - 1);
    const float u = rng.Float();
    const float v = rng.Float();
    return box.FacePoint(face, u, v);
}

template <typename Box>
float3 RandomPointOnEdge(const Box &box, LCG &rng) {
    const int edge = rng.Int(0, kNumEdges - 1);
    const float t = rng.Float();
    return box.PointOnEdge(edge, t);
}

template <typename Box>
float3 RandomCornerPoint(const Box &box, LCG &rng) {
    return box.CornerPoint(rng.Int(0, kNumCorners - 1));
}

}  // namespace box
}  // namespace math
