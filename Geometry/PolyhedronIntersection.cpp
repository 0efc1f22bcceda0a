// Intersection tests of polyhedra, convex clipping, and the tests of the other shapes that
// take a polyhedron.

#include "Geometry/PolyhedronIntersection.h"

#include <algorithm>
#include <cmath>

#include "Geometry/AABB.h"
#include "Geometry/Capsule.h"
#include "Geometry/Line.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"

namespace math {

namespace {

const float kFloatMax = 3.4028235e38f;

// Some face polygon meets the line or ray.
template <typename Linear>
bool AnyFaceMeets(const Polyhedron &p, const Linear &linear) {
    for (size_t i = 0; i < p.f.size(); ++i)
        if (p.FacePolygon(static_cast<int>(i)).Intersects(linear)) return true;
    return false;
}

// A point that both polyhedra contain: the vertex mean of either.
bool SharesCentroid(const Polyhedron &a, const Polyhedron &b) {
    const float3 c = a.ApproximateConvexCentroid();
    return b.Contains(c) && a.Contains(c);
}

bool Clip(const Polyhedron &p, const float3 &ptA, const float3 &dir, float tFirst, float tLast) {
    return p.ClipLineSegmentToConvexPolyhedron(ptA, dir, tFirst, tLast);
}

}  // namespace

bool Polyhedron::ClipLineSegmentToConvexPolyhedron(const float3 &ptA, const float3 &dir, float &tFirst,
                                                   float &tLast) const {
    for (size_t i = 0; i < f.size(); ++i) {
        const Plane plane = FacePlane(static_cast<int>(i));
        const float denom = plane.normal.Dot(dir);
        const float dist = plane.d - plane.normal.Dot(ptA);
        if (std::fabs(denom) < 1e-5f) {
            if (dist < 0.f) return false;
            continue;
        }
        const float t = dist / denom;
        if (denom < 0.f)
            tFirst = std::max(tFirst, t);
        else
            tLast = std::min(t, tLast);
        if (tFirst > tLast) return false;
    }
    return true;
}

bool Polyhedron::IntersectsConvex(const Line &line) const { return Clip(*this, line.pos, line.dir, -kFloatMax, kFloatMax); }

bool Polyhedron::IntersectsConvex(const Ray &ray) const { return Clip(*this, ray.pos, ray.dir, 0.f, kFloatMax); }

bool Polyhedron::IntersectsConvex(const LineSegment &lineSegment) const {
    return Clip(*this, lineSegment.a, lineSegment.b - lineSegment.a, 0.f, 1.f);
}

bool Polyhedron::Intersects(const LineSegment &lineSegment) const {
    if (Contains(lineSegment)) return true;
    const float3 dir = lineSegment.b - lineSegment.a;
    for (size_t i = 0; i < f.size(); ++i) {
        const int face = static_cast<int>(i);
        const Plane plane = FacePlane(face);
        float t;
        if (!Plane::IntersectLinePlane(plane.normal, plane.d, lineSegment.a, dir, t)) continue;
        if (t >= 0.f && t <= 1.f && FaceContainmentDistance2D(face, lineSegment.GetPoint(t), 0.001f) >= 0.f) return true;
    }
    return false;
}

bool Polyhedron::Intersects(const Line &line) const { return AnyFaceMeets(*this, line); }

bool Polyhedron::Intersects(const Ray &ray) const { return AnyFaceMeets(*this, ray); }

bool Polyhedron::Intersects(const Plane &plane) const { return plane.Intersects(*this); }

bool Polyhedron::Intersects(const Polyhedron &polyhedron) const {
    if (SharesCentroid(*this, polyhedron) || SharesCentroid(polyhedron, *this)) return true;
    const auto meetsOther = [&](const LineSegment &edge) { return polyhedron.Intersects(edge); };
    const auto meetsThis = [&](const LineSegment &edge) { return Intersects(edge); };
    return AnyFaceEdgeMeets(*this, "!f[i].v.empty() in Geometry/Polyhedron:873", meetsOther) ||
           AnyFaceEdgeMeets(polyhedron, "!polyhedron.f[i].v.empty() in Geometry/Polyhedron:890", meetsThis);
}

bool Polyhedron::Intersects(const AABB &aabb) const { return PolyhedronIntersectsAABB_OBB(*this, aabb); }

bool Polyhedron::Intersects(const OBB &obb) const { return PolyhedronIntersectsAABB_OBB(*this, obb); }

bool Polyhedron::Intersects(const Triangle &triangle) const { return PolyhedronIntersectsAABB_OBB(*this, triangle); }

bool Polyhedron::Intersects(const Polygon &polygon) const { return Intersects(polygon.ToPolyhedron()); }

bool Polyhedron::Intersects(const Sphere &sphere) const {
    return ClosestPoint(sphere.pos).DistanceSq(sphere.pos) <= sphere.r * sphere.r;
}

bool Polyhedron::Intersects(const Capsule &capsule) const {
    float3 onAxis;
    const float3 cp = ClosestPoint(capsule.axis, &onAxis);
    return cp.DistanceSq(onAxis) <= capsule.r * capsule.r;
}

// ---- The other shapes' tests against a polyhedron ----

bool Line::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool Ray::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool LineSegment::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool AABB::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool OBB::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool Polygon::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool Triangle::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool Sphere::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }
bool Capsule::Intersects(const Polyhedron &polyhedron) const { return polyhedron.Intersects(*this); }

// A vertex in the plane counts as lying above it.
bool Plane::Intersects(const Polyhedron &polyhedron) const {
    if (polyhedron.v.empty()) return false;
    const bool firstAbove = normal.Dot(polyhedron.v[0]) - d >= 0.f;
    for (size_t i = 1; i < polyhedron.v.size(); ++i)
        if ((normal.Dot(polyhedron.v[i]) - d >= 0.f) != firstAbove) return true;
    return false;
}

float Plane::SignedDistance(const Polyhedron &polyhedron) const { return Plane_SignedDistance(*this, polyhedron); }

}  // namespace math
