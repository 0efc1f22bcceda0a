// Whether a polyhedron contains points and shapes, and whether the other shapes contain a
// polyhedron or grow to enclose one.

#include <algorithm>
#include <cmath>
#include <limits>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/PolyhedronEdges.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Math/float2.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// A ray whose every hit lies farther than this from the boundary of the face it hits crosses
// each face cleanly, so its crossing count is the answer.
const float kTrustedClearance = 0.01f;

struct RayCast {
    int crossings;
    float nearest;  // how close the ray came to a face boundary at any plane it hit
};

// The face's first three indices, or null when it has fewer or one of them is out of range.
const Polyhedron::Face *TriangleStart(const Polyhedron &p, const Polyhedron::Face &face) {
    if (face.v.size() < 3) return nullptr;
    for (size_t k = 0; k < 3; ++k)
        if (face.v[k] < 0 || static_cast<size_t>(face.v[k]) >= p.v.size()) return nullptr;
    return &face;
}

// Faces are polygons in their own plane: (x, y) along the first edge and across it, with the
// query point at the origin.
float2 FacePoint(const float3 &vertex, const float3 &origin, const float3 &u, const float3 &w) {
    const float3 d = vertex - origin;
    return float2(d.Dot(u), d.Dot(w));
}

// A vertex within 1e-4 of the first axis counts as below it.
float2 OffTheAxis(float2 q) {
    if (std::fabs(q.y) < 1e-4f) q.y = -1e-4f;
    return q;
}

float DistanceToOrigin(const float2 &a, const float2 &b) {
    const float2 ab = b - a;
    const float lengthSq = ab.LengthSq();
    const float t = lengthSq > 0.f ? std::min(1.f, std::max(0.f, -a.Dot(ab) / lengthSq)) : 0.f;
    return (a + ab * t).Length();
}

struct FaceTest {
    float distance;   // FaceContainmentDistance2D
    float clearance;  // the true distance of the point to the face's edges
};

// One pass over the face gives both its containment distance and the point's clearance from
// its edges; clearance is infinite where the distance is minus infinity.
FaceTest TestFace(const Polyhedron &p, int faceIndex, const float3 &worldPt, float polygonThickness) {
    const FaceTest none{-kInf, kInf};
    if (faceIndex < 0 || static_cast<size_t>(faceIndex) >= p.f.size()) return none;
    const std::vector<int> &i = p.f[faceIndex].v;
    if (i.size() < 3) return none;
    const Plane plane = p.FacePlane(faceIndex);
    if (plane.Distance(worldPt) > polygonThickness) return none;

    float3 u = p.Vertex(i[1]) - p.Vertex(i[0]);
    u.Normalize();
    const float3 w = plane.normal.Cross(u).Normalized();
    float2 prevExact = FacePoint(p.Vertex(i.back()), worldPt, u, w);
    float2 prev = OffTheAxis(prevExact);
    float nearest = kInf;
    float clearance = kInf;
    int crossings = 0;
    for (int index : i) {
        const float2 curExact = FacePoint(p.Vertex(index), worldPt, u, w);
        const float2 cur = OffTheAxis(curExact);
        clearance = std::min(clearance, DistanceToOrigin(prevExact, curExact));
        if (prev.y * cur.y < 0.f) {
            if (std::min(prev.x, cur.x) > 0.f) {
                nearest = std::min(nearest, std::min(prev.x, cur.x));
                ++crossings;
            } else if (std::max(prev.x, cur.x) > 0.f && cur.y - prev.y != 0.f) {
                const float t = -prev.y / (cur.y - prev.y);
                if (t >= 0.f && t <= 1.f) {
                    const float x = (cur.x - prev.x) * t + prev.x;
                    nearest = std::min(nearest, std::fabs(x));
                    if (x >= 0.f) ++crossings;
                }
            }
        }
        prev = cur;
        prevExact = curExact;
    }
    return {crossings % 2 == 1 ? nearest : -nearest, clearance};
}

// Counts the faces that the ray from point along dir passes through. The face test alone
// measures its clearance along one axis of the face, so a ray through an edge that two faces
// share can pass as clear of both and count twice or not at all; the true distance to the
// edges of every face hit says when a ray comes too near an edge to be trusted. The cast
// gives up once the ray comes nearer than giveUpBelow: such a ray can no longer be chosen.
// Counts and nearness do not depend on the order of the faces, so the cast starts at the face
// that made the previous one give up (startFace), which most often stops the next one soon.
RayCast CastRay(const Polyhedron &p, const float3 &point, const float3 &dir, float giveUpBelow, size_t &startFace) {
    RayCast cast{0, kInf};
    const Ray ray(float3::zero, dir);
    const size_t numFaces = p.f.size();
    for (size_t k = 0; k < numFaces; ++k) {
        const size_t j = (startFace + k) % numFaces;
        const Polyhedron::Face *face = TriangleStart(p, p.f[j]);
        if (!face) continue;
        const Plane plane(p.v[face->v[0]] - point, p.v[face->v[1]] - point, p.v[face->v[2]] - point);
        float t;
        if (!plane.Intersects(ray, &t)) continue;
        const float3 hit = ray.GetPoint(t) + point;
        const FaceTest test = TestFace(p, static_cast<int>(j), hit, 0.001f);
        if (test.distance >= 0.f) ++cast.crossings;
        cast.nearest = std::min(cast.nearest, std::fabs(test.distance));
        cast.nearest = std::min(cast.nearest, test.clearance);
        if (cast.nearest < giveUpBelow) {
            startFace = j;
            break;
        }
    }
    return cast;
}

template <typename Shape>
bool ContainsCorners(const Polyhedron &p, const Shape &shape) {
    for (int i = 0; i < 8; ++i)
        if (!p.Contains(shape.CornerPoint(i))) return false;
    return true;
}

template <typename Container>
bool ContainsEveryVertex(const Container &container, const Polyhedron &p) {
    for (const float3 &vertex : p.v)
        if (!container.Contains(vertex)) return false;
    return true;
}

}  // namespace

float Polyhedron::FaceContainmentDistance2D(int faceIndex, const float3 &worldPt, float polygonThickness) const {
    return TestFace(*this, faceIndex, worldPt, polygonThickness).distance;
}

bool Polyhedron::FaceContains(int faceIndex, const float3 &worldPt, float polygonThickness) const {
    return FaceContainmentDistance2D(faceIndex, worldPt, polygonThickness) >= 0.f;
}

// Parity of the faces crossed by a ray toward a point of some face. The first ray that keeps
// clear of every face boundary decides; when none does, the one that came nearest to clear.
bool Polyhedron::Contains(const float3 &point) const {
    switch (v.size()) {
        case 0: return false;
        case 1: return v[0].Equals(point, 0.001f);
        case 2: return LineSegment(v[0], v[1]).Contains(point, 0.001f);
        case 3: return Triangle(v[0], v[1], v[2]).Contains(point, 1e-5f);
        default: break;
    }
    int best = 0;
    float bestDistance = 0.f;
    size_t startFace = 0;
    for (const Face &target : f) {
        if (!TriangleStart(*this, target)) continue;
        const float3 centre = (v[target.v[0]] + v[target.v[1]] + v[target.v[2]]) * 0.33333334f;
        float3 dir = centre - point;
        if (dir.Normalize() <= 0.f) continue;
        const RayCast cast = CastRay(*this, point, dir, bestDistance, startFace);
        if (cast.nearest > kTrustedClearance) return cast.crossings % 2 == 1;
        if (cast.nearest >= bestDistance) {
            bestDistance = cast.nearest;
            best = cast.crossings;
        }
    }
    return best % 2 == 1;
}

bool Polyhedron::Contains(const LineSegment &lineSegment) const {
    return Contains(lineSegment.a) && Contains(lineSegment.b);
}

bool Polyhedron::Contains(const Triangle &triangle) const {
    return Contains(triangle.a) && Contains(triangle.b) && Contains(triangle.c);
}

bool Polyhedron::Contains(const Polygon &polygon) const {
    for (const float3 &vertex : polygon.vertices)
        if (!Contains(vertex)) return false;
    return true;
}

bool Polyhedron::Contains(const AABB &aabb) const { return ContainsCorners(*this, aabb); }

bool Polyhedron::Contains(const OBB &obb) const { return ContainsCorners(*this, obb); }

bool Polyhedron::Contains(const Polyhedron &polyhedron) const { return ContainsEveryVertex(*this, polyhedron); }

bool Polyhedron::ContainsConvex(const float3 &point, float epsilon) const {
    for (size_t i = 0; i < f.size(); ++i)
        if (FacePlane(static_cast<int>(i)).SignedDistance(point) > epsilon) return false;
    return true;
}

bool Polyhedron::ContainsConvex(const LineSegment &lineSegment) const {
    return ContainsConvex(lineSegment.a, 1e-4f) && ContainsConvex(lineSegment.b, 1e-4f);
}

bool Polyhedron::ContainsConvex(const Triangle &triangle) const {
    return ContainsConvex(triangle.a, 1e-4f) && ContainsConvex(triangle.b, 1e-4f) && ContainsConvex(triangle.c, 1e-4f);
}

// ---- Containment of a polyhedron in the other shapes, and their growth around one ----

bool AABB::Contains(const Polyhedron &polyhedron) const {
    const AABB b = polyhedron.MinimalEnclosingAABB();
    return b.minCorner.x >= minCorner.x && maxCorner.x >= b.maxCorner.x && b.minCorner.y >= minCorner.y &&
           maxCorner.y >= b.maxCorner.y && b.minCorner.z >= minCorner.z && maxCorner.z >= b.maxCorner.z;
}

bool OBB::Contains(const Polyhedron &polyhedron) const { return ContainsEveryVertex(*this, polyhedron); }

bool Sphere::Contains(const Polyhedron &polyhedron) const { return ContainsEveryVertex(*this, polyhedron); }

void AABB::Enclose(const Polyhedron &polyhedron) {
    const AABB b = polyhedron.MinimalEnclosingAABB();
    minCorner = minCorner.Min(b.minCorner);
    maxCorner = maxCorner.Max(b.maxCorner);
}

void Sphere::Enclose(const Polyhedron &polyhedron) {
    Enclose(polyhedron.v.data(), static_cast<int>(polyhedron.v.size()));
}

}  // namespace math
