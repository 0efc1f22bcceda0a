#include "Geometry/Line.h"

#include <cmath>
#include <limits>
#include <ostream>

#include "Geometry/AABB.h"
#include "Geometry/LineSegment.h"
#include "Geometry/LinearDistance.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/MathOps.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

Line::Line(const float3 &pos_, const float3 &dir_) : pos(pos_), dir(dir_) {}

Line::Line(const Ray &ray) : pos(ray.pos), dir(ray.dir) {}

Line::Line(const LineSegment &segment) : pos(segment.a), dir(segment.Dir()) {}

Ray Line::ToRay() const { return Ray(pos, dir); }

LineSegment Line::ToLineSegment(float d) const { return LineSegment(pos, GetPoint(d)); }

LineSegment Line::ToLineSegment(float dStart, float dEnd) const {
    const float3 start = GetPoint(dStart);
    const float3 end = GetPoint(dEnd);
    return LineSegment(start, end);
}

bool Line::AreCollinear(const float3 &p1, const float3 &p2, const float3 &p3, float epsilonSq) {
    return float3::AreCollinear(p1, p2, p3, epsilonSq);
}

bool Line::IsFinite() const { return pos.IsFinite() && dir.IsFinite(); }

float3 Line::GetPoint(float d) const { return pos + d * dir; }

float3 Line::ClosestPoint(const float3 &p) const { return linear_distance::ClosestPoint(*this, p); }

float3 Line::ClosestPoint(const float3 &p, float &d) const {
    d = (p - pos).Dot(dir);
    return GetPoint(d);
}

float Line::Distance(const float3 &p) const { return linear_distance::Distance(*this, p); }

float Line::Distance(const float3 &p, float &d) const { return linear_distance::Distance(*this, p, d); }

float3 Line::ClosestPoint(const Line &other, float &d, float &d2) const {
    ClosestPointLineLine(pos, dir, other.pos, other.dir, d, d2);
    return GetPoint(d);
}

float3 Line::ClosestPoint(const Ray &other, float &d, float &d2) const {
    ClosestPointLineLine(pos, dir, other.pos, other.dir, d, d2);
    if (d2 < 0.f) {
        d2 = 0.f;
        return ClosestPoint(other.pos, d);
    }
    return GetPoint(d);
}

float3 Line::ClosestPoint(const LineSegment &other, float &d, float &d2) const {
    ClosestPointLineLine(pos, dir, other.a, other.b - other.a, d, d2);
    return linear_distance::ClampedToSegment(*this, other, d, d2);
}

float Line::Distance(const Line &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float Line::Distance(const Ray &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float Line::Distance(const LineSegment &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float3 Line::ClosestPoint(const Triangle &triangle, float &d) const {
    return ClosestPoint(triangle.ClosestPoint(*this, nullptr), d);
}

float3 Line::ClosestPoint(const Triangle &triangle, float &d, float2 &outBarycentricUV) const {
    const float3 q = triangle.ClosestPoint(*this, nullptr);
    outBarycentricUV = triangle.BarycentricUV(q);
    return ClosestPoint(q, d);
}

bool Line::Contains(const float3 &p, float distanceThresholdSq) const {
    return linear_distance::Contains(*this, p, distanceThresholdSq);
}

bool Line::Contains(const LineSegment &segment, float distanceThresholdSq) const {
    return Contains(segment.a, distanceThresholdSq) && Contains(segment.b, distanceThresholdSq);
}

bool Line::Contains(const Ray &ray, float distanceThresholdSq) const {
    return Contains(ray.pos, distanceThresholdSq) && dir.Equals(ray.dir, distanceThresholdSq);
}

bool Line::Equals(const Line &other, float epsilon) const {
    return ClosestPoint(other.pos).DistanceSq(other.pos) <= epsilon &&
           EqualAbs(std::fabs(dir.Dot(other.dir)), 1.f, epsilon);
}

void Line::ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const {
    if (dir.IsPerpendicular(axis, 1e-8f)) {
        dMin = dMax = axis.Dot(pos);
    } else {
        dMin = -std::numeric_limits<float>::infinity();
        dMax = std::numeric_limits<float>::infinity();
    }
}

bool Line::Intersects(const Plane &plane, float *d) const { return plane.Intersects(*this, d); }

bool Line::Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const {
    return triangle.Intersects(*this, d, intersectionPoint);
}

bool Line::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

bool Line::Intersects(const AABB &aabb) const { return aabb.Intersects(*this); }

bool Line::Intersects(const AABB &aabb, float &dNear, float &dFar) const {
    return aabb.Intersects(*this, dNear, dFar);
}

bool Line::Intersects(const OBB &obb) const { return obb.Intersects(*this); }

bool Line::Intersects(const OBB &obb, float &dNear, float &dFar) const { return obb.Intersects(*this, dNear, dFar); }

void Line::Translate(const float3 &offset) { pos += offset; }

void Line::Transform(const float3x3 &m) {
    pos = m.Transform(pos);
    dir = m.Transform(dir);
}

void Line::Transform(const float3x4 &m) {
    pos = m.MulPos(pos);
    dir = m.MulDir(dir);
}

void Line::Transform(const Quat &q) {
    pos = q.Transform(pos);
    dir = q.Transform(dir);
}

void Line::ClosestPointLineLine(const float3 &start0, const float3 &dir0, const float3 &start1,
                                const float3 &dir1, float &d, float &d2) {
    const float3 w = start0 - start1;
    const float a = w.Dot(dir1);
    const float b = dir1.Dot(dir0);
    const float c = dir1.Dot(dir1);
    const float e = w.Dot(dir0);
    const float f = dir0.Dot(dir0);
    const float den = f * c - b * b;
    // No tolerance: only exactly parallel directions take the fallback.
    d = den != 0.f ? (a * b - e * c) / den : 0.f;
    d2 = (a + b * d) / c;
}

std::string Line::ToString() const { return detail::PosDirToString("Line", pos, dir); }

Line operator*(const float3x3 &m, const Line &line) { return Line(m * line.pos, m * line.dir); }

Line operator*(const float3x4 &m, const Line &line) { return Line(m.MulPos(line.pos), m.MulDir(line.dir)); }

Line operator*(const Quat &q, const Line &line) { return Line(q * line.pos, q * line.dir); }

std::ostream &operator<<(std::ostream &out, const Line &line) { return out << line.ToString(); }

namespace detail {

std::string PosDirToString(const char *name, const float3 &pos, const float3 &dir) {
    return FormatText("%s(Pos:(%.2f, %.2f, %.2f) Dir:(%.3f, %.3f, %.3f))", name, PrintableFloat(pos.x),
                      PrintableFloat(pos.y), PrintableFloat(pos.z), PrintableFloat(dir.x), PrintableFloat(dir.y),
                      PrintableFloat(dir.z));
}

}  // namespace detail

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Line::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
Line operator*(const float4x4 &m, const Line &line) { return m.Float3x4Part() * line; }

// ---- Text forms ----

std::string Line::SerializeToString() const {
    const std::string text = detail::JoinVectors({pos, dir}, &float3::SerializeToString, ",");
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Line", 380);
    return text;
}

std::string Line::SerializeToCodeString() const {
    return "Line(" + detail::JoinVectors({pos, dir}, &float3::SerializeToCodeString, ",") + ")";
}

Line Line::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<Line>(str, outEnd, "Line(", {"Pos:(", " Dir:("});
}

// A member of the point, defined beside the shape it needs: the vector types do not depend on
// the shapes.
float float3::Distance(const Line &line) const { return line.Distance(*this); }

}  // namespace math
