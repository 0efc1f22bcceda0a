#include "Geometry/Ray.h"

#include <limits>
#include <ostream>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/LinearDistance.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/Quat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

Ray::Ray(const float3 &pos_, const float3 &dir_) : pos(pos_), dir(dir_) {}

Ray::Ray(const Line &line) : pos(line.pos), dir(line.dir) {}

Ray::Ray(const LineSegment &segment) : pos(segment.a), dir(segment.Dir()) {}

Line Ray::ToLine() const { return Line(pos, dir); }

LineSegment Ray::ToLineSegment(float d) const { return LineSegment(pos, GetPoint(d)); }

LineSegment Ray::ToLineSegment(float dStart, float dEnd) const {
    const float3 start = GetPoint(dStart);
    const float3 end = GetPoint(dEnd);
    return LineSegment(start, end);
}

bool Ray::IsFinite() const { return pos.IsFinite() && dir.IsFinite(); }

float3 Ray::GetPoint(float d) const { return pos + d * dir; }

float3 Ray::ClosestPoint(const float3 &p) const { return linear_distance::ClosestPoint(*this, p); }

float3 Ray::ClosestPoint(const float3 &p, float &d) const {
    d = (p - pos).Dot(dir);
    if (d <= 0.f) d = 0.f;
    return GetPoint(d);
}

float Ray::Distance(const float3 &p) const { return linear_distance::Distance(*this, p); }

float Ray::Distance(const float3 &p, float &d) const { return linear_distance::Distance(*this, p, d); }

float3 Ray::ClosestPoint(const Line &other, float &d, float &d2) const {
    Line::ClosestPointLineLine(pos, dir, other.pos, other.dir, d, d2);
    if (d < 0.f) {
        d = 0.f;
        other.ClosestPoint(pos, d2);
        return pos;
    }
    return GetPoint(d);
}

float3 Ray::ClosestPoint(const Ray &other, float &d, float &d2) const {
    Line::ClosestPointLineLine(pos, dir, other.pos, other.dir, d, d2);
    if (d < 0.f && d2 < 0.f) {
        // Both carrying lines meet behind the origins: the nearer of the two origin pairings wins.
        const float3 c1 = ClosestPoint(other.pos, d);
        const float3 c2 = other.ClosestPoint(pos, d2);
        if (c2.DistanceSq(pos) >= c1.DistanceSq(other.pos)) {
            d2 = 0.f;
            return c1;
        }
        d = 0.f;
        return pos;
    }
    if (d < 0.f) {
        d = 0.f;
        other.ClosestPoint(pos, d2);
        return pos;
    }
    if (d2 < 0.f) {
        d2 = 0.f;
        return ClosestPoint(other.pos, d);
    }
    return GetPoint(d);
}

float3 Ray::ClosestPoint(const LineSegment &other, float &d, float &d2) const {
    Line::ClosestPointLineLine(pos, dir, other.a, other.b - other.a, d, d2);
    if (d < 0.f) {
        d = 0.f;
        if (d2 >= 0.f && d2 <= 1.f) {
            other.ClosestPoint(pos, d2);
            return pos;
        }
        // Behind the origin and beyond an end: the nearer of that end and the origin decides.
        const bool beforeA = d2 < 0.f;
        const float3 &end = beforeA ? other.a : other.b;
        const float3 c1 = ClosestPoint(end, d);
        const float3 c2 = other.ClosestPoint(pos, d2);
        if (c2.DistanceSq(pos) >= c1.DistanceSq(end)) {
            d2 = beforeA ? 0.f : 1.f;
            return c1;
        }
        d = 0.f;
        return pos;
    }
    return linear_distance::ClampedToSegment(*this, other, d, d2);
}

float Ray::Distance(const Line &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float Ray::Distance(const Ray &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float Ray::Distance(const LineSegment &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

bool Ray::Contains(const float3 &p, float distanceThresholdSq) const {
    return linear_distance::Contains(*this, p, distanceThresholdSq);
}

bool Ray::Contains(const LineSegment &segment, float distanceThresholdSq) const {
    return Contains(segment.a, distanceThresholdSq) && Contains(segment.b, distanceThresholdSq);
}

bool Ray::Equals(const Ray &other, float epsilon) const {
    return pos.Equals(other.pos, epsilon) && dir.Equals(other.dir, epsilon);
}

void Ray::ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const {
    dMin = dMax = axis.Dot(pos);
    const float p = axis.Dot(dir);
    if (p > 0.0001f) dMax = std::numeric_limits<float>::infinity();
    if (p < -0.0001f) dMin = -std::numeric_limits<float>::infinity();
}

bool Ray::Intersects(const Plane &plane) const { return plane.Intersects(*this, nullptr); }

bool Ray::Intersects(const Plane &plane, float *d) const { return plane.Intersects(*this, d); }

bool Ray::Intersects(const Triangle &triangle) const {
    float u;
    float v;
    const float t = Triangle::IntersectLineTri(pos, dir, triangle.a, triangle.b, triangle.c, u, v);
    return t >= 0.f && t < std::numeric_limits<float>::infinity();
}

bool Ray::Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const {
    return triangle.Intersects(*this, d, intersectionPoint);
}

bool Ray::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

bool Ray::Intersects(const AABB &aabb) const { return aabb.Intersects(*this); }

bool Ray::Intersects(const AABB &aabb, float &dNear, float &dFar) const { return aabb.Intersects(*this, dNear, dFar); }

bool Ray::Intersects(const OBB &obb) const { return obb.Intersects(*this); }

bool Ray::Intersects(const OBB &obb, float &dNear, float &dFar) const { return obb.Intersects(*this, dNear, dFar); }

void Ray::Translate(const float3 &offset) { pos += offset; }

void Ray::Transform(const float3x3 &m) {
    pos = m.Transform(pos);
    dir = m.Transform(dir);
}

void Ray::Transform(const float3x4 &m) {
    pos = m.MulPos(pos);
    dir = m.MulDir(dir);
}

void Ray::Transform(const Quat &q) {
    pos = q.Transform(pos);
    dir = q.Transform(dir);
}

std::string Ray::ToString() const { return detail::PosDirToString("Ray", pos, dir); }

Ray operator*(const float3x3 &m, const Ray &ray) { return Ray(m * ray.pos, (m * ray.dir).Normalized()); }

Ray operator*(const float3x4 &m, const Ray &ray) {
    return Ray(m.MulPos(ray.pos), m.MulDir(ray.dir).Normalized());
}

Ray operator*(const Quat &q, const Ray &ray) { return Ray(q * ray.pos, q * ray.dir); }

std::ostream &operator<<(std::ostream &out, const Ray &ray) { return out << ray.ToString(); }

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Ray::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
Ray operator*(const float4x4 &m, const Ray &ray) { return m.Float3x4Part() * ray; }

// ---- Text forms ----

std::string Ray::SerializeToString() const {
    const std::string text = detail::JoinVectors({pos, dir}, &float3::SerializeToString, ",");
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Ray", 385);
    return text;
}

std::string Ray::SerializeToCodeString() const {
    return "Ray(" + detail::JoinVectors({pos, dir}, &float3::SerializeToCodeString, ",") + ")";
}

Ray Ray::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<Ray>(str, outEnd, "Ray(", {"Pos:(", " Dir:("});
}

// A member of the point, defined beside the shape it needs: the vector types do not depend on
// the shapes.
float float3::Distance(const Ray &ray) const { return ray.Distance(*this); }

}  // namespace math
