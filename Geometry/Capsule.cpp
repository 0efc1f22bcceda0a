#include "Geometry/Capsule.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <utility>

#include "Algorithm/GJK.h"
#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Circle.h"
#include "Geometry/Frustum.h"
#include "Geometry/Line.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/FloatCodec.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kPi = 3.1415927f;
const float k2Pi = 6.2831855f;
const float k4Pi = 12.566371f;

// How far beyond a radius a distance reaches: 0 within it, NaN passes through.
float DistanceOutside(float distance, float r) {
    const float d = distance - r;
    return d < 0.f ? 0.f : d;
}

// The axis's distance to a line, ray or segment.
template <typename Linear>
float AxisDistance(const LineSegment &axis, const Linear &other) {
    float d;
    float d2;
    return axis.Distance(other, d, d2);
}

// A line's, ray's or segment's own distance to the axis, less the radius.
template <typename Linear>
float DistanceToCapsule(const Linear &shape, const Capsule &c) {
    float d;
    float d2;
    return DistanceOutside(shape.Distance(c.axis, d, d2), c.r);
}

template <typename Points>
bool ContainsEveryVertex(const Capsule &c, const Points &shape, int numVertices) {
    for (int i = 0; i < numVertices; ++i)
        if (!c.Contains(shape.Vertex(i))) return false;
    return true;
}

template <typename Box>
bool ContainsCorners(const Capsule &c, const Box &box) {
    for (int i = 0; i < 8; ++i)
        if (!c.Contains(box.CornerPoint(i))) return false;
    return true;
}

float3 Radii(float r) { return float3(r, r, r); }

}  // namespace

Capsule::Capsule(const LineSegment &axis_, float radius) : axis(axis_), r(radius) {}

Capsule::Capsule(const float3 &a, const float3 &b, float radius) : axis(a, b), r(radius) {}

void Capsule::SetFrom(const Sphere &s) {
    axis = LineSegment(s.pos, s.pos);
    r = s.r;
}

void Capsule::SetDegenerate() { r = -1.f; }

bool Capsule::IsDegenerate() const { return r <= 0.f; }

float Capsule::LineLength() const { return axis.Length(); }

float Capsule::Diameter() const { return 2.f * r; }

float Capsule::Height() const { return LineLength() + Diameter(); }

float3 Capsule::UpDirection() const {
    float3 up = axis.b - axis.a;
    up.Normalize();
    return up;
}

float3 Capsule::Bottom() const { return axis.a - UpDirection() * r; }

float3 Capsule::Top() const { return axis.b + UpDirection() * r; }

float3 Capsule::Center() const { return axis.CenterPoint(); }

LineSegment Capsule::HeightLineSegment() const { return LineSegment(Bottom(), Top()); }

Sphere Capsule::SphereA() const { return Sphere(axis.a, r); }

Sphere Capsule::SphereB() const { return Sphere(axis.b, r); }

float Capsule::Volume() const {
    const float cylinder = kPi * r * r * LineLength();
    const float caps = k4Pi * r * r * r / 3.f;
    return cylinder + caps;
}

float Capsule::SurfaceArea() const {
    const float side = k2Pi * r * LineLength();
    const float caps = k4Pi * r * r;
    return side + caps;
}

bool Capsule::IsFinite() const { return axis.IsFinite() && std::isfinite(r); }

float3 Capsule::ExtremePoint(const float3 &direction) const {
    const float3 &end = direction.Dot(axis.b - axis.a) >= 0.f ? axis.b : axis.a;
    return end + direction * (r / direction.Length());
}

float3 Capsule::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 extreme = ExtremePoint(direction);
    projectionDistance = extreme.Dot(direction);
    return extreme;
}

float3 Capsule::StartingPoint() const { return axis.a; }

void Capsule::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    outMin = direction.Dot(axis.a);
    outMax = direction.Dot(axis.b);
    if (outMax < outMin) std::swap(outMin, outMax);
    outMin -= r;
    outMax += r;
}

AABB Capsule::MinimalEnclosingAABB() const {
    return AABB(axis.a.Min(axis.b) - Radii(r), axis.a.Max(axis.b) + Radii(r));
}

OBB Capsule::MinimalEnclosingOBB() const {
    const float3 up = UpDirection();
    float3 axis1;
    float3 axis2;
    up.PerpendicularBasis(axis1, axis2);
    return OBB(Center(), float3(Height() * 0.5f, r, r), up, axis1, axis2);
}

Circle Capsule::CrossSection(float yPos) const {
    const float h = yPos * Height();
    const float3 up = UpDirection();
    const float3 centre = Bottom() + up * h;
    const float length = LineLength();
    float radius = r;
    if (h < r) {
        const float below = r - h;
        radius = std::sqrt(r * r - below * below);
    } else if (!(h < length + r)) {
        const float e = h - r - length;
        radius = std::sqrt(r * r - e * e);
    }
    return Circle(centre, up, radius);
}

float3 Capsule::PointInside(float height, float angle, float distance) const {
    return CrossSection(height).GetPoint(angle * 2.f * kPi, distance);
}

float3 Capsule::UniformPointPerhapsInside(float height, float angle, float distance) const {
    return MinimalEnclosingOBB().PointInside(height, angle, distance);
}

float3 Capsule::RandomPointInside(LCG &rng) const {
    const OBB box = MinimalEnclosingOBB();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const float3 p = box.RandomPointInside(rng);
        if (Contains(p)) return p;
    }
    return Center();
}

float3 Capsule::RandomPointOnSurface(LCG &rng) const {
    const float s = rng.Float();
    const float t = rng.Float();
    return CrossSection(s).GetPoint(t * 2.f * kPi, 1.f);
}

void Capsule::Translate(const float3 &offset) { axis.Translate(offset); }

void Capsule::Scale(const float3 &centre, float factor) {
    axis.Transform(float3x4::Scale(float3(factor, factor, factor), centre));
    r *= factor;
}

void Capsule::Transform(const float3x3 &m) {
    axis.Transform(m);
    r *= m.Col(0).Length();
}

void Capsule::Transform(const float3x4 &m) {
    axis.Transform(m);
    r *= m.Col(0).Length();
}

// A 4x4 matrix maps points by its rows 0 to 2, exactly as its 3x4 part does.
void Capsule::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }

void Capsule::Transform(const Quat &q) { axis.Transform(q); }

Capsule operator*(const float3x3 &m, const Capsule &capsule) { return matrix_map::TransformedCopy(m, capsule); }
Capsule operator*(const float3x4 &m, const Capsule &capsule) { return matrix_map::TransformedCopy(m, capsule); }
Capsule operator*(const float4x4 &m, const Capsule &capsule) { return matrix_map::TransformedCopy(m, capsule); }
Capsule operator*(const Quat &q, const Capsule &capsule) { return matrix_map::TransformedCopy(q, capsule); }

bool Capsule::Contains(const float3 &point) const { return axis.Distance(point) <= r; }

bool Capsule::Contains(const LineSegment &lineSegment) const {
    return Contains(lineSegment.a) && Contains(lineSegment.b);
}

bool Capsule::Contains(const Triangle &triangle) const {
    return Contains(triangle.a) && Contains(triangle.b) && Contains(triangle.c);
}

bool Capsule::Contains(const Polygon &polygon) const {
    return ContainsEveryVertex(*this, polygon, polygon.NumVertices());
}

bool Capsule::Contains(const AABB &aabb) const { return ContainsCorners(*this, aabb); }
bool Capsule::Contains(const OBB &obb) const { return ContainsCorners(*this, obb); }
bool Capsule::Contains(const Frustum &frustum) const { return ContainsCorners(*this, frustum); }

bool Capsule::Contains(const Polyhedron &polyhedron) const {
    return ContainsEveryVertex(*this, polyhedron, static_cast<int>(polyhedron.v.size()));
}

float3 Capsule::ClosestPoint(const float3 &point) const {
    const float3 q = axis.ClosestPoint(point);
    if (q.DistanceSq(point) <= r * r) return point;
    return q + (point - q).ScaledToLength(r);
}

float Capsule::Distance(const float3 &point) const { return DistanceOutside(axis.Distance(point), r); }

float Capsule::Distance(const Capsule &other) const {
    return DistanceOutside(AxisDistance(axis, other.axis) - r, other.r);
}

float Capsule::Distance(const Sphere &sphere) const { return DistanceOutside(Distance(sphere.pos), sphere.r); }

float Capsule::Distance(const Plane &plane) const { return plane.Distance(*this); }
float Capsule::Distance(const Ray &ray) const { return ray.Distance(*this); }
float Capsule::Distance(const Line &line) const { return line.Distance(*this); }
float Capsule::Distance(const LineSegment &lineSegment) const { return lineSegment.Distance(*this); }

bool Capsule::Intersects(const Ray &ray) const { return AxisDistance(axis, ray) <= r; }
bool Capsule::Intersects(const Line &line) const { return AxisDistance(axis, line) <= r; }
bool Capsule::Intersects(const LineSegment &lineSegment) const { return AxisDistance(axis, lineSegment) <= r; }

bool Capsule::Intersects(const Plane &plane) const { return axis.Distance(plane) <= r; }

bool Capsule::Intersects(const Sphere &sphere) const {
    const float reach = r + sphere.r;
    return axis.DistanceSq(sphere.pos) <= reach * reach;
}

bool Capsule::Intersects(const Capsule &other) const {
    const float reach = r + other.r;
    return axis.DistanceSq(other.axis) <= reach * reach;
}

bool Capsule::Intersects(const Triangle &triangle) const {
    float3 onAxis;
    const float3 q = triangle.ClosestPoint(axis, &onAxis);
    return q.DistanceSq(onAxis) <= r * r;
}

bool Capsule::Intersects(const AABB &aabb) const { return GJKIntersect(*this, aabb); }
bool Capsule::Intersects(const OBB &obb) const { return GJKIntersect(*this, obb); }
bool Capsule::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

bool Capsule::BitEquals(const Capsule &other) const {
    return axis.a.BitEquals(other.axis.a) && axis.b.BitEquals(other.axis.b) &&
           std::memcmp(&r, &other.r, sizeof(r)) == 0;
}

std::string Capsule::ToString() const {
    const float3 &a = axis.a;
    const float3 &b = axis.b;
    return FormatText("Capsule(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f), r:%.2f)", PrintableFloat(a.x),
                      PrintableFloat(a.y), PrintableFloat(a.z), PrintableFloat(b.x), PrintableFloat(b.y),
                      PrintableFloat(b.z), PrintableFloat(r));
}

std::string Capsule::SerializeToString() const {
    const float3 &a = axis.a;
    const float3 &b = axis.b;
    const float values[7] = {a.x, a.y, a.z, b.x, b.y, b.z, r};
    const std::string text = detail::SerializeFloats(values, 7);
    // Seven numbers of at most 24 characters always fit the 256 bytes that the text was once
    // written into; the check stays for what it promised.
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Capsule", 469);
    return text;
}

std::string Capsule::SerializeToCodeString() const {
    return "Capsule(" + axis.SerializeToCodeString() + "," + FormatText("%.9g", PrintableFloat(r)) + ")";
}

Capsule Capsule::FromString(const char *str, const char **outEndStr) {
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    if (!str) return Capsule(float3::nan, float3::nan, kNaN);
    using detail::SkipPrefix;
    str = SkipPrefix(SkipPrefix(SkipPrefix(str, "Capsule("), "a:("), "LineSegment(");
    const float3 a = PointVecFromString(str, &str);
    const float3 b = PointVecFromString(SkipPrefix(str, " b:"), &str);
    str = SkipPrefix(SkipPrefix(SkipPrefix(str, ")"), ","), " r:");
    const char *end = str;
    const float radius = DeserializeFloat(str, &end);
    if (outEndStr) *outEndStr = end;
    return Capsule(a, b, radius);
}

std::ostream &operator<<(std::ostream &out, const Capsule &capsule) { return out << capsule.ToString(); }

// ---- Members of the vector and solid types that take a capsule ----

float float3::Distance(const Capsule &capsule) const { return capsule.Distance(*this); }

bool Sphere::Contains(const Capsule &capsule) const {
    return pos.Distance(capsule.axis.a) + capsule.r <= r && pos.Distance(capsule.axis.b) + capsule.r <= r;
}

float Sphere::Distance(const Capsule &capsule) const { return capsule.Distance(*this); }

bool Sphere::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }

void Sphere::Enclose(const Capsule &capsule) {
    const bool aFarther = pos.DistanceSq(capsule.axis.a) > pos.DistanceSq(capsule.axis.b);
    Enclose(aFarther ? capsule.SphereA() : capsule.SphereB());
    Enclose(aFarther ? capsule.SphereB() : capsule.SphereA());
}

// ---- Members of the planar types that take a capsule ----

float Line::Distance(const Capsule &capsule) const { return DistanceToCapsule(*this, capsule); }
float Ray::Distance(const Capsule &capsule) const { return DistanceToCapsule(*this, capsule); }
float LineSegment::Distance(const Capsule &capsule) const { return DistanceToCapsule(*this, capsule); }

float Plane::Distance(const Capsule &capsule) const {
    return DistanceOutside(capsule.axis.Distance(*this), capsule.r);
}

float Plane::SignedDistance(const Capsule &capsule) const { return Plane_SignedDistance(*this, capsule); }

float Triangle::Distance(const Capsule &capsule) const {
    float3 onAxis;
    const float3 q = ClosestPoint(capsule.axis, &onAxis);
    return DistanceOutside(q.Distance(onAxis), capsule.r);
}

bool Line::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool Ray::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool LineSegment::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool Plane::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool Triangle::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool AABB::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }
bool OBB::Intersects(const Capsule &capsule) const { return capsule.Intersects(*this); }

bool Polygon::Intersects(const Capsule &capsule) const {
    for (const Triangle &triangle : Triangulate())
        if (capsule.Intersects(triangle)) return true;
    return false;
}

bool AABB::Contains(const Capsule &capsule) const {
    const AABB box = capsule.MinimalEnclosingAABB();
    return Contains(box.minCorner, box.maxCorner);
}

void AABB::Enclose(const Capsule &capsule) {
    const float3 &a = capsule.axis.a;
    const float3 &b = capsule.axis.b;
    Enclose(a.Min(b) - Radii(capsule.r), a.Max(b) + Radii(capsule.r));
}

}  // namespace math
