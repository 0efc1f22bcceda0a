// The frustum's queries that build on its corners and planes: closest points, the polyhedron
// and plane-bounded forms, random points, enclosing boxes, the GJK shape functions, transforms,
// the intersection tests and the text form; and the members of the other shapes that take a
// frustum. None of them refreshes the cached matrices.
#include <cmath>
#include <limits>
#include <ostream>

#include "Algorithm/GJK.h"
#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/BoxNumbering.h"
#include "Geometry/ExtremePoint.h"
#include "Geometry/Capsule.h"
#include "Geometry/Frustum.h"
#include "Geometry/Line.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/PolyhedronIntersection.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/MathLog.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// Corner indices of the faces near, far, left, right, top, bottom, wound for a right-handed
// frustum.
const int kFaceCorners[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 2, 3, 1}, {4, 5, 7, 6}, {7, 3, 2, 6}, {0, 1, 5, 4}};

float Clamp(float value, float lo, float hi) { return value < lo ? lo : (value > hi ? hi : value); }

// The orthographic frustum is a box; the clamps are symmetric, so the side of right does not matter.
float3 ClosestPointInBox(const Frustum &f, const float3 &point) {
    const float hz = (f.farDistance - f.nearDistance) * 0.5f;
    const float hx = f.hFov * 0.5f;
    const float hy = f.vFov * 0.5f;
    const float3 right = f.front.Cross(f.up);
    MATH_ASSUME(right.IsNormalized(1e-5f), "right.IsNormalized()", "Geometry/Frustum", 636);
    const float3 center = f.pos + f.front * (f.nearDistance + hz);
    const float3 v = point - center;
    const float3 alongFront = f.front * Clamp(v.Dot(f.front), -hz, hz);
    const float3 alongRight = right * Clamp(v.Dot(right), -hx, hx);
    const float3 alongUp = f.up * Clamp(v.Dot(f.up), -hy, hy);
    return center + alongFront + alongRight + alongUp;
}

template <typename Matrix>
void TransformFrustum(Frustum &f, const Matrix &m) {
    f.pos = matrix_map::Point(m, f.pos);
    f.front = matrix_map::Direction(m, f.front);
    const float scale = f.front.Normalize();
    f.up = matrix_map::Direction(m, f.up).Normalized();
    f.nearDistance *= scale;
    f.farDistance *= scale;
    if (f.type != OrthographicFrustum) return;
    f.hFov *= scale;
    f.vFov *= scale;
}

}  // namespace

float3 Frustum::ClosestPoint(const float3 &point) const {
    if (type == OrthographicFrustum) return ClosestPointInBox(*this, point);
    return ToPolyhedron().ClosestPoint(point);
}

float Frustum::Distance(const float3 &point) const { return ClosestPoint(point).Distance(point); }

Polyhedron Frustum::ToPolyhedron() const {
    Polyhedron p;
    for (int i = 0; i < box::kNumCorners; ++i) p.v.push_back(CornerPoint(i));
    for (const int(&corners)[4] : kFaceCorners) {
        Polyhedron::Face face;
        face.v.assign(corners, corners + 4);
        if (handedness == LeftHanded) face.FlipWindingOrder();
        p.f.push_back(face);
    }
    return p;
}

float Frustum::Volume() const { return ToPolyhedron().Volume(); }

// The draws go into named locals: x, then y, then the depth.
float3 Frustum::FastRandomPointInside(LCG &rng) const {
    const float x = rng.Float(-1.f, 1.f);
    const float y = rng.Float(-1.f, 1.f);
    const float t = rng.Float(0.f, 1.f);
    return UnProjectLineSegment(x, y).GetPoint(t);
}

// Contains reads the cached view-projection matrix, so a frustum moved since its last
// refreshing setter rejects every draw and ends up with the fast point.
float3 Frustum::UniformRandomPointInside(LCG &rng) const {
    if (type == OrthographicFrustum) return FastRandomPointInside(rng);
    const OBB box = MinimalEnclosingOBB(1e-5f);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const float3 q = box.RandomPointInside(rng);
        if (Contains(q)) return q;
    }
    PrintToConsole(LogWarning,
                   "Rejection sampling failed in Frustum::UniformRandomPointInside! Producing a non-uniformly "
                   "distributed point inside the frustum!");
    return FastRandomPointInside(rng);
}

OBB Frustum::MinimalEnclosingOBB(float expand) const {
    const float3 axis1 = up;
    const float3 axis2 = -front;
    OBB box(CenterPoint(), float3(0.f, 0.f, 0.f), axis1.Cross(axis2), axis1, axis2);
    for (int i = 0; i < box::kNumCorners; ++i) box.Enclose(CornerPoint(i));
    box.halfSize = box.halfSize + float3(expand, expand, expand);
    return box;
}

AABB Frustum::MinimalEnclosingAABB() const {
    AABB box;
    box.SetNegativeInfinity();
    for (int i = 0; i < box::kNumCorners; ++i) box.Enclose(CornerPoint(i));
    return box;
}

PBVolume Frustum::ToPBVolume() const {
    return PBVolume{{NearPlane(), LeftPlane(), RightPlane(), TopPlane(), BottomPlane(), FarPlane()}};
}

float3 Frustum::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    float3 corners[box::kNumCorners];
    GetCornerPoints(corners);
    return FarthestAlong(corners, box::kNumCorners, direction, projectionDistance);
}

float3 Frustum::StartingPoint() const { return CornerPoint(0); }

void Frustum::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    float3 corners[box::kNumCorners];
    GetCornerPoints(corners);
    outMin = kInf;
    outMax = -kInf;
    for (const float3 &corner : corners) {
        const float d = direction.Dot(corner);
        if (d < outMin) outMin = d;
        if (d > outMax) outMax = d;
    }
}

int Frustum::UniqueFaceNormals(float3 *out) const {
    out[0] = front;
    if (type != PerspectiveFrustum) {
        out[1] = up;
        out[2] = front.Cross(up);
        return 3;
    }
    out[1] = LeftPlane().normal;
    out[2] = RightPlane().normal;
    out[3] = TopPlane().normal;
    out[4] = BottomPlane().normal;
    return 5;
}

int Frustum::UniqueEdgeDirections(float3 *out) const {
    if (type != PerspectiveFrustum) {
        out[0] = front;
        out[1] = up;
        out[2] = front.Cross(up);
        return 3;
    }
    const float3 nearBottomLeft = NearPlanePos(-1.f, -1.f);
    out[0] = nearBottomLeft - NearPlanePos(1.f, -1.f);
    out[1] = nearBottomLeft - NearPlanePos(-1.f, 1.f);
    out[2] = FarPlanePos(-1.f, -1.f) - nearBottomLeft;
    out[3] = FarPlanePos(1.f, -1.f) - NearPlanePos(1.f, -1.f);
    out[4] = FarPlanePos(-1.f, 1.f) - NearPlanePos(-1.f, 1.f);
    out[5] = FarPlanePos(1.f, 1.f) - NearPlanePos(1.f, 1.f);
    return 6;
}

void Frustum::Translate(const float3 &offset) { pos += offset; }

void Frustum::Transform(const float3x3 &m) { TransformFrustum(*this, m); }

void Frustum::Transform(const float3x4 &m) { TransformFrustum(*this, m); }

void Frustum::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }

void Frustum::Transform(const Quat &q) { Transform(q.ToFloat3x3()); }

Frustum operator*(const float3x3 &m, const Frustum &frustum) { return matrix_map::TransformedCopy(m, frustum); }
Frustum operator*(const float3x4 &m, const Frustum &frustum) { return matrix_map::TransformedCopy(m, frustum); }
Frustum operator*(const float4x4 &m, const Frustum &frustum) { return matrix_map::TransformedCopy(m, frustum); }
Frustum operator*(const Quat &q, const Frustum &frustum) { return matrix_map::TransformedCopy(q, frustum); }

bool Frustum::Intersects(const Ray &ray) const { return ToPolyhedron().Intersects(ray); }
bool Frustum::Intersects(const Line &line) const { return ToPolyhedron().Intersects(line); }
bool Frustum::Intersects(const Polyhedron &polyhedron) const { return ToPolyhedron().Intersects(polyhedron); }

bool Frustum::Intersects(const LineSegment &lineSegment) const { return GJKIntersect(*this, lineSegment); }
bool Frustum::Intersects(const AABB &aabb) const { return GJKIntersect(*this, aabb); }
bool Frustum::Intersects(const OBB &obb) const { return GJKIntersect(*this, obb); }
bool Frustum::Intersects(const Triangle &triangle) const { return GJKIntersect(*this, triangle); }
bool Frustum::Intersects(const Sphere &sphere) const { return GJKIntersect(*this, sphere); }
bool Frustum::Intersects(const Capsule &capsule) const { return GJKIntersect(*this, capsule); }
bool Frustum::Intersects(const Frustum &frustum) const { return GJKIntersect(*this, frustum); }

bool Frustum::Intersects(const Plane &plane) const { return plane.Intersects(*this); }
bool Frustum::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

const char *FrustumTypeToString(FrustumType type) {
    switch (type) {
        case InvalidFrustum: return "InvalidFrustum";
        case OrthographicFrustum: return "OrthographicFrustum";
        case PerspectiveFrustum: return "PerspectiveFrustum";
    }
    return "(invalid frustum type)";
}

// The orthographic labels carry their own colon before the format's: "ortho width:: 4.00".
std::string Frustum::ToString() const {
    const bool ortho = type == OrthographicFrustum;
    return FormatText(
        "Frustum(%s pos:(%.2f, %.2f, %.2f) front:(%.2f, %.2f, %.2f), up:(%.2f, %.2f, %.2f), near: %.2f, far: %.2f, "
        "%s: %.2f, %s: %.2f)",
        FrustumTypeToString(type), PrintableFloat(pos.x), PrintableFloat(pos.y), PrintableFloat(pos.z),
        PrintableFloat(front.x), PrintableFloat(front.y), PrintableFloat(front.z), PrintableFloat(up.x),
        PrintableFloat(up.y), PrintableFloat(up.z), PrintableFloat(nearDistance), PrintableFloat(farDistance),
        ortho ? "ortho width:" : "hFov", PrintableFloat(hFov), ortho ? "ortho height:" : "vFov",
        PrintableFloat(vFov));
}

std::ostream &operator<<(std::ostream &out, const Frustum &frustum) { return out << frustum.ToString(); }

// ---- Members of the solid types that take a frustum ----

bool Sphere::Contains(const Frustum &frustum) const { return box::ContainsCorners(*this, frustum); }
bool Polyhedron::Contains(const Frustum &frustum) const { return box::ContainsCorners(*this, frustum); }
bool Polyhedron::Intersects(const Frustum &frustum) const { return PolyhedronIntersectsAABB_OBB(*this, frustum); }
bool Sphere::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool Capsule::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }

// ---- Members of the planar types that take a frustum ----

bool Line::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool Ray::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool LineSegment::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool Triangle::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool AABB::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }
bool OBB::Intersects(const Frustum &frustum) const { return frustum.Intersects(*this); }

bool OBB::Contains(const Frustum &frustum) const { return box::ContainsCorners(*this, frustum); }

bool AABB::Contains(const Frustum &frustum) const {
    const AABB box = frustum.MinimalEnclosingAABB();
    return Contains(box.minCorner, box.maxCorner);
}

void AABB::Enclose(const Frustum &frustum) {
    const AABB box = frustum.MinimalEnclosingAABB();
    Enclose(box.minCorner, box.maxCorner);
}

float Plane::SignedDistance(const Frustum &frustum) const { return Plane_SignedDistance(*this, frustum); }

bool Plane::Intersects(const Frustum &frustum) const {
    const bool firstAbove = SignedDistance(frustum.CornerPoint(0)) >= 0.f;
    for (int i = 1; i < box::kNumCorners; ++i)
        if ((SignedDistance(frustum.CornerPoint(i)) >= 0.f) != firstAbove) return true;
    return false;
}

}  // namespace math
