#include "Geometry/Sphere.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/FloatCodec.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// How far a point at centreDistance lies outside a ball of radius r: 0 inside, NaN passes through.
float DistanceOutside(float centreDistance, float r) {
    const float d = centreDistance - r;
    return d < 0.f ? 0.f : d;
}

bool ContainsPoint(const Sphere &s, const float3 &p) { return s.pos.DistanceSq(p) <= s.r * s.r; }

template <typename Box>
bool ContainsCorners(const Sphere &s, const Box &box) {
    for (int i = 0; i < 8; ++i)
        if (!ContainsPoint(s, box.CornerPoint(i))) return false;
    return true;
}

// The distance of a ball from a shape, through the shape's point nearest the centre.
float DistanceFrom(const float3 &closest, const Sphere &s) { return DistanceOutside(closest.Distance(s.pos), s.r); }

template <typename LinearShape>
float LinearDistance(const LinearShape &shape, const Sphere &s) {
    float d;
    return DistanceFrom(shape.ClosestPoint(s.pos, d), s);
}

bool IntersectsThrough(const float3 &closest, const Sphere &s, float3 *outClosest) {
    if (outClosest) *outClosest = closest;
    return closest.DistanceSq(s.pos) <= s.r * s.r;
}

// The hit outputs that the ray, line and segment tests share.
void WriteHit(const Sphere &s, const float3 &hit, float dNear, float dFar, float3 *intersectionPoint,
              float3 *intersectionNormal, float *d, float *d2) {
    if (intersectionPoint) *intersectionPoint = hit;
    if (intersectionNormal) *intersectionNormal = (hit - s.pos).Normalized();
    if (d) *d = dNear;
    if (d2) *d2 = dFar;
}

// A point of the cube (-r, r)^3, drawn x, then y, then z.
float3 CubeDraw(LCG &lcg, float r) {
    const float x = lcg.Float(-r, r);
    const float y = lcg.Float(-r, r);
    const float z = lcg.Float(-r, r);
    return float3(x, y, z);
}

// The point on the ball's surface halfway (by direction) between two surface points, relative
// to the centre.
float3 SurfaceMidpoint(const float3 &a, const float3 &b, float r) { return ((a + b) * 0.5f).ScaledToLength(r); }

}  // namespace

Sphere::Sphere(const float3 &center, float radius) : pos(center), r(radius) {}

float Sphere::Volume() const { return 12.566371f * r * r * r / 3.f; }

float Sphere::SurfaceArea() const { return 12.566371f * r * r; }

AABB Sphere::MinimalEnclosingAABB() const { return AABB(*this); }

AABB Sphere::MaximalContainedAABB() const {
    // Kept as it has always been: a cube of edge r / sqrt(3) (half the largest cube's edge),
    // contained but not maximal.
    static const float recipSqrt3 = 0.57735026f;
    const float edge = r * recipSqrt3;
    return AABB::FromCenterAndSize(pos, float3(edge, edge, edge));
}

float3 Sphere::ExtremePoint(const float3 &direction) const { return pos + direction * (r / direction.Length()); }

float3 Sphere::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 extreme = ExtremePoint(direction);
    projectionDistance = extreme.Dot(direction);
    return extreme;
}

float3 Sphere::StartingPoint() const { return pos; }

void Sphere::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    const float c = direction.Dot(pos);
    outMin = c - r;
    outMax = c + r;
}

bool Sphere::IsFinite() const { return pos.IsFinite() && std::isfinite(r); }

bool Sphere::IsDegenerate() const { return !(r > 0.f) || !pos.IsFinite(); }

void Sphere::SetDegenerate() {
    pos = float3::nan;
    r = kNaN;
}

void Sphere::SetNegativeInfinity() {
    pos = float3(0.f, 0.f, 0.f);
    r = -kInf;
}

bool Sphere::BitEquals(const Sphere &other) const {
    return pos.BitEquals(other.pos) && std::memcmp(&r, &other.r, sizeof(r)) == 0;
}

void Sphere::Translate(const float3 &offset) { pos += offset; }

void Sphere::Transform(const float3x3 &m) {
    pos = m * pos;
    r *= m.Col(0).Length();
}

void Sphere::Transform(const float3x4 &m) {
    pos = m.MulPos(pos);
    r *= m.Col(0).Length();
}

// A 4x4 matrix maps points by its rows 0 to 2, exactly as its 3x4 part does.
void Sphere::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }

void Sphere::Transform(const Quat &q) { pos = q * pos; }

Sphere operator*(const float3x3 &m, const Sphere &sphere) { return matrix_map::TransformedCopy(m, sphere); }
Sphere operator*(const float3x4 &m, const Sphere &sphere) { return matrix_map::TransformedCopy(m, sphere); }
Sphere operator*(const float4x4 &m, const Sphere &sphere) { return matrix_map::TransformedCopy(m, sphere); }
Sphere operator*(const Quat &q, const Sphere &sphere) { return matrix_map::TransformedCopy(q, sphere); }

bool Sphere::Contains(const float3 &point) const { return r * r >= pos.DistanceSq(point); }

bool Sphere::Contains(const float3 &point, float epsilon) const { return r * r + epsilon >= pos.DistanceSq(point); }

float Sphere::Distance(const float3 &point) const { return DistanceOutside(pos.Distance(point), r); }

float Sphere::MaxDistance(const float3 &point) const { return point.Distance(pos) + r; }

float3 Sphere::ClosestPoint(const float3 &point) const {
    const float d = pos.Distance(point);
    // The centre lies inside the solid ball, so it is its own closest point (the ratio
    // below would be 0/0).
    if (d == 0.f) return point;
    const float t = d >= r ? r : d;
    return pos + (point - pos) * (t / d);
}

float3 Sphere::RandomPointInside(LCG &lcg) const {
    for (int tries = 0; tries < 1000; ++tries) {
        const float3 v = CubeDraw(lcg, r);
        if (v.LengthSq() <= r * r) return pos + v;
    }
    return pos;
}

float3 Sphere::RandomPointOnSurface(LCG &lcg) const {
    // Draws shorter than 1e-3 are rejected as directions; below that radius every draw is,
    // and the 1000 tries end at pos + (r, 0, 0).
    for (int tries = 0; tries < 1000; ++tries) {
        const float3 v = CubeDraw(lcg, r);
        const float lengthSq = v.LengthSq();
        if (lengthSq >= 0.000001f && lengthSq <= r * r) return pos + v * (r / std::sqrt(lengthSq));
    }
    return pos + float3(r, 0.f, 0.f);
}

float3 Sphere::RandomPointInside(LCG &lcg, const float3 &center, float radius) {
    return Sphere(center, radius).RandomPointInside(lcg);
}

float3 Sphere::RandomPointOnSurface(LCG &lcg, const float3 &center, float radius) {
    return Sphere(center, radius).RandomPointOnSurface(lcg);
}

bool Sphere::Contains(const LineSegment &lineSegment) const {
    return ContainsPoint(*this, lineSegment.a) && ContainsPoint(*this, lineSegment.b);
}

bool Sphere::Contains(const Triangle &triangle) const {
    return ContainsPoint(*this, triangle.a) && ContainsPoint(*this, triangle.b) && ContainsPoint(*this, triangle.c);
}

bool Sphere::Contains(const Polygon &polygon) const {
    for (int i = 0; i < polygon.NumVertices(); ++i)
        if (!ContainsPoint(*this, polygon.Vertex(i))) return false;
    return true;
}

bool Sphere::Contains(const AABB &aabb) const { return ContainsCorners(*this, aabb); }

bool Sphere::Contains(const OBB &obb) const { return ContainsCorners(*this, obb); }

bool Sphere::Contains(const Sphere &sphere) const { return pos.Distance(sphere.pos) + sphere.r <= r; }

bool Sphere::Contains(const Sphere &sphere, float epsilon) const {
    return pos.Distance(sphere.pos) + sphere.r - r <= epsilon;
}

float Sphere::Distance(const Sphere &sphere) const { return DistanceOutside(pos.Distance(sphere.pos) - r, sphere.r); }

float Sphere::Distance(const AABB &aabb) const { return aabb.Distance(*this); }
float Sphere::Distance(const OBB &obb) const { return obb.Distance(*this); }
float Sphere::Distance(const Plane &plane) const { return plane.Distance(*this); }
float Sphere::Distance(const Triangle &triangle) const { return triangle.Distance(*this); }
float Sphere::Distance(const Ray &ray) const { return ray.Distance(*this); }
float Sphere::Distance(const LineSegment &lineSegment) const { return lineSegment.Distance(*this); }
float Sphere::Distance(const Line &line) const { return line.Distance(*this); }

int Sphere::IntersectLine(const float3 &linePos, const float3 &lineDir, const float3 &spherePos, float sphereRadius,
                          float &t1, float &t2) {
    const float3 a = linePos - spherePos;
    const float b = 2.f * a.Dot(lineDir);
    const float disc = b * b + (a.Dot(a) - sphereRadius * sphereRadius) * -4.f;
    if (disc < 0.f) {
        t1 = kInf;
        t2 = -kInf;
        return 0;
    }
    // An absolute threshold, kept: a nearly tangent line reports its two close roots as one.
    if (disc < 0.0001f) {
        t1 = t2 = -0.5f * b;
        return 1;
    }
    const float root = std::sqrt(disc);
    t1 = (-b - root) * 0.5f;
    t2 = (root - b) * 0.5f;
    return 2;
}

int Sphere::Intersects(const Ray &ray, float3 *intersectionPoint, float3 *intersectionNormal, float *d,
                       float *d2) const {
    float t1;
    float t2;
    const int n = IntersectLine(ray.pos, ray.dir, pos, r, t1, t2);
    if (n == 0) return 0;
    if (n == 2 && t1 < 0.f) t1 = t2;  // from inside: the exit point
    if (t1 < 0.f) return 0;
    WriteHit(*this, ray.pos + t1 * ray.dir, t1, t2, intersectionPoint, intersectionNormal, d, d2);
    return n;
}

int Sphere::Intersects(const Line &line, float3 *intersectionPoint, float3 *intersectionNormal, float *d,
                       float *d2) const {
    float t1;
    float t2;
    const int n = IntersectLine(line.pos, line.dir, pos, r, t1, t2);
    if (n == 0) return 0;
    WriteHit(*this, line.pos + t1 * line.dir, t1, t2, intersectionPoint, intersectionNormal, d, d2);
    return n;
}

int Sphere::Intersects(const LineSegment &lineSegment, float3 *intersectionPoint, float3 *intersectionNormal,
                       float *d, float *d2) const {
    float t1;
    float t2;
    const float length = lineSegment.Length();
    if (IntersectLine(lineSegment.a, lineSegment.Dir(), pos, r, t1, t2) == 0 || t2 < 0.f || t1 > length) return 0;
    // Kept as it has always been: when a lies inside, the reported hit is the line's entry point
    // before a, at a negative parameter. A segment of zero length (a point inside) reports a.
    const float dNear = length > 0.f ? t1 / length : 0.f;
    const float dFar = length > 0.f ? t2 / length : 0.f;
    WriteHit(*this, lineSegment.GetPoint(dNear), dNear, dFar, intersectionPoint, intersectionNormal, d, d2);
    return 1;
}

bool Sphere::Intersects(const Sphere &sphere) const {
    const float radii = r + sphere.r;
    return radii * radii >= (pos - sphere.pos).LengthSq();
}

bool Sphere::Intersects(const Plane &plane) const { return plane.Intersects(*this); }

bool Sphere::Intersects(const AABB &aabb, float3 *closestPointOnAABB) const {
    return aabb.Intersects(*this, closestPointOnAABB);
}

bool Sphere::Intersects(const OBB &obb, float3 *closestPointOnOBB) const {
    return obb.Intersects(*this, closestPointOnOBB);
}

bool Sphere::Intersects(const Triangle &triangle, float3 *closestPointOnTriangle) const {
    return triangle.Intersects(*this, closestPointOnTriangle);
}

bool Sphere::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

int Sphere::Triangulate(float3 *outPos, float3 *outNormal, float2 *outUV, int numVertices,
                        bool ccwIsFrontFacing) const {
    if (!outPos || numVertices < 24) return 0;
    const float3 xp(r, 0.f, 0.f), xn(-r, 0.f, 0.f), yp(0.f, r, 0.f), yn(0.f, -r, 0.f), zp(0.f, 0.f, r),
        zn(0.f, 0.f, -r);
    std::vector<Triangle> temp;
    if (ccwIsFrontFacing)
        temp = {Triangle(yp, xp, zp), Triangle(xp, yp, zn), Triangle(yn, zp, xp), Triangle(yn, xp, zn),
                Triangle(zp, xn, yp), Triangle(yp, xn, zn), Triangle(yn, xn, zp), Triangle(xn, yn, zn)};
    else
        temp = {Triangle(yp, zp, xp), Triangle(xp, zn, yp), Triangle(yn, xp, zp), Triangle(yn, zn, xp),
                Triangle(zp, yp, xn), Triangle(yp, zn, xn), Triangle(yn, zp, xn), Triangle(xn, zn, yn)};

    // Each step replaces the oldest live triangle by its four quarters: 9 vertices more. The
    // counts are 64-bit so that a count near INT_MAX cannot overflow the test.
    int64_t oldEnd = 0;
    const auto live = [&] { return static_cast<int64_t>(temp.size()) - oldEnd; };
    while ((live() + 3) * 3 <= numVertices) {
        const Triangle t = temp[static_cast<size_t>(oldEnd)];
        const float3 mab = SurfaceMidpoint(t.a, t.b, r);
        const float3 mac = SurfaceMidpoint(t.a, t.c, r);
        const float3 mbc = SurfaceMidpoint(t.b, t.c, r);
        temp.push_back(Triangle(t.a, mab, mac));
        temp.push_back(Triangle(t.b, mbc, mab));
        temp.push_back(Triangle(t.c, mac, mbc));
        temp.push_back(Triangle(mab, mbc, mac));
        ++oldEnd;
    }
    MATH_ASSUME(live() * 3 <= numVertices && live() * 3 + 9 > numVertices,
                "((int)temp.size()-oldEnd)*3 <= numVertices && ((int)temp.size()-oldEnd)*3 + 9 > numVertices",
                "Geometry/Sphere", 894);

    int64_t out = 0;
    for (size_t j = static_cast<size_t>(oldEnd); j < temp.size(); ++j) {
        for (const float3 &vertex : {temp[j].a, temp[j].b, temp[j].c}) {
            outPos[out] = pos + vertex;
            if (outNormal) outNormal[out] = vertex.Normalized();
            if (outUV) {
                const double u = std::atan2(static_cast<double>(vertex.y), static_cast<double>(vertex.x)) /
                                     6.2831854820251465 +
                                 0.5;
                outUV[out] = float2(static_cast<float>(u), (vertex.z + r) / (r + r));
            }
            ++out;
        }
    }
    return static_cast<int>(out);
}

std::string Sphere::ToString() const {
    return FormatText("Sphere(pos:(%.2f, %.2f, %.2f) r:%.2f)", PrintableFloat(pos.x), PrintableFloat(pos.y),
                      PrintableFloat(pos.z), PrintableFloat(r));
}

std::string Sphere::SerializeToString() const {
    const float values[4] = {pos.x, pos.y, pos.z, r};
    const std::string text = detail::SerializeFloats(values, 4);
    // Four numbers of at most 24 characters always fit the 256 bytes that the text was once
    // written into; the check stays for what it promised.
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Sphere", 1402);
    return text;
}

std::string Sphere::SerializeToCodeString() const {
    return "Sphere(" + pos.SerializeToCodeString() + "," + FormatText("%.9g", PrintableFloat(r)) + ")";
}

Sphere Sphere::FromString(const char *str, const char **outEndStr) {
    if (str == nullptr) return Sphere(float3::nan, std::numeric_limits<float>::quiet_NaN());
    const char *rest = detail::SkipPrefix(detail::SkipPrefix(str, "Sphere("), "pos:(");
    const float3 centre = PointVecFromString(rest, &rest);
    const float radius = DeserializeFloat(detail::SkipPrefix(rest, " r:"), &rest);
    if (outEndStr) *outEndStr = rest;
    return Sphere(centre, radius);
}

std::ostream &operator<<(std::ostream &out, const Sphere &sphere) { return out << sphere.ToString(); }

// ---- Members of the vector types that draw through the sphere ----

float float3::Distance(const Sphere &sphere) const { return sphere.Distance(*this); }

float3 float3::RandomDir(LCG &lcg, float length) {
    return Sphere(float3(0.f, 0.f, 0.f), length).RandomPointOnSurface(lcg);
}

float3 float3::RandomSphere(LCG &lcg, const float3 &center, float radius) {
    return Sphere(center, radius).RandomPointInside(lcg);
}

float3 float3::RandomPerpendicular(LCG &lcg) const {
    return Perpendicular(RandomDir(lcg, 1.f), float3(0.f, 0.f, 1.f));
}

float4 float4::RandomDir(LCG &lcg, float length) { return float4(float3::RandomDir(lcg, length), 0.f); }

float4 float4::RandomSphere(LCG &lcg, const float4 &center, float radius) {
    return float4(float3::RandomSphere(lcg, center.xyz(), radius), 1.f);
}

float4 float4::RandomPerpendicular(LCG &lcg) const {
    return Perpendicular(RandomDir(lcg, 1.f), float4(0.f, 0.f, 1.f, 0.f));
}

// ---- Members of the planar types that take or make a sphere ----

float Line::Distance(const Sphere &sphere) const { return LinearDistance(*this, sphere); }
float Ray::Distance(const Sphere &sphere) const { return LinearDistance(*this, sphere); }
float LineSegment::Distance(const Sphere &sphere) const { return LinearDistance(*this, sphere); }
float Triangle::Distance(const Sphere &sphere) const { return DistanceFrom(ClosestPoint(sphere.pos), sphere); }
float OBB::Distance(const Sphere &sphere) const { return DistanceFrom(ClosestPoint(sphere.pos), sphere); }
float AABB::Distance(const Sphere &sphere) const {
    return DistanceFrom(sphere.pos.Clamp(minCorner, maxCorner), sphere);
}

float Plane::Distance(const Sphere &sphere) const {
    return DistanceOutside(std::fabs(normal.Dot(sphere.pos) - d), sphere.r);
}

bool Plane::Intersects(const Sphere &sphere) const { return std::fabs(normal.Dot(sphere.pos) - d) <= sphere.r; }

bool Line::Intersects(const Sphere &sphere, float3 *intersectionPoint, float3 *intersectionNormal, float *d) const {
    return sphere.Intersects(*this, intersectionPoint, intersectionNormal, d, nullptr) > 0;
}

bool Ray::Intersects(const Sphere &sphere, float3 *intersectionPoint, float3 *intersectionNormal, float *d) const {
    return sphere.Intersects(*this, intersectionPoint, intersectionNormal, d, nullptr) > 0;
}

bool Ray::Intersects(const Sphere &sphere) const { return Intersects(sphere, nullptr, nullptr, nullptr); }

bool LineSegment::Intersects(const Sphere &sphere, float3 *intersectionPoint, float3 *intersectionNormal,
                             float *d) const {
    return sphere.Intersects(*this, intersectionPoint, intersectionNormal, d, nullptr) > 0;
}

bool AABB::Intersects(const Sphere &sphere, float3 *closestPointOnAABB) const {
    return IntersectsThrough(sphere.pos.Clamp(minCorner, maxCorner), sphere, closestPointOnAABB);
}

bool OBB::Intersects(const Sphere &sphere, float3 *closestPointOnOBB) const {
    return IntersectsThrough(ClosestPoint(sphere.pos), sphere, closestPointOnOBB);
}

bool Triangle::Intersects(const Sphere &sphere, float3 *closestPointOnTriangle) const {
    return IntersectsThrough(ClosestPoint(sphere.pos), sphere, closestPointOnTriangle);
}

bool Triangle::Intersects(const Sphere &sphere) const { return Intersects(sphere, nullptr); }

bool Polygon::Intersects(const Sphere &sphere) const {
    for (const Triangle &triangle : Triangulate())
        if (triangle.Intersects(sphere)) return true;
    return false;
}

AABB::AABB(const Sphere &sphere) { SetFrom(sphere); }

void AABB::SetFrom(const Sphere &sphere) {
    const float3 extent = float3::FromScalar(sphere.r);
    minCorner = sphere.pos - extent;
    maxCorner = sphere.pos + extent;
}

void AABB::Enclose(const Sphere &sphere) {
    const float3 extent = float3::FromScalar(sphere.r);
    minCorner = minCorner.Min(sphere.pos - extent);
    maxCorner = maxCorner.Max(sphere.pos + extent);
}

bool AABB::Contains(const Sphere &sphere) const {
    const float3 extent = float3::FromScalar(sphere.r);
    const float3 lo = sphere.pos - extent;
    const float3 hi = sphere.pos + extent;
    return lo.x >= minCorner.x && maxCorner.x >= hi.x && lo.y >= minCorner.y && maxCorner.y >= hi.y &&
           lo.z >= minCorner.z && maxCorner.z >= hi.z;
}

Sphere AABB::MinimalEnclosingSphere() const {
    return Sphere((minCorner + maxCorner) * 0.5f, (maxCorner - minCorner).Length() * 0.5f);
}

Sphere AABB::MaximalContainedSphere() const {
    const float3 h = (maxCorner - minCorner) * 0.5f;
    return Sphere((minCorner + maxCorner) * 0.5f, h.MinElement());
}

void OBB::SetFrom(const Sphere &sphere) {
    pos = sphere.pos;
    halfSize = float3(sphere.r, sphere.r, sphere.r);
    axis[0] = float3(1.f, 0.f, 0.f);
    axis[1] = float3(0.f, 1.f, 0.f);
    axis[2] = float3(0.f, 0.f, 1.f);
}

Sphere OBB::MinimalEnclosingSphere() const { return Sphere(pos, HalfDiagonal().Length()); }

Sphere OBB::MaximalContainedSphere() const { return Sphere(pos, halfSize.MinElement()); }

}  // namespace math
