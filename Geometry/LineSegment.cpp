#include "Geometry/LineSegment.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <utility>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LinearDistance.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

bool InUnitInterval(float t) { return t >= 0.f && t <= 1.f; }

// The end parameter that a parameter outside 0..1 falls back to; NaN goes to 1.
float NearerEnd(float t) { return t < 0.f ? 0.f : 1.f; }

// The end point at parameter 0 or 1.
const float3 &EndPoint(const LineSegment &s, float end) { return end == 0.f ? s.a : s.b; }

}  // namespace

LineSegment::LineSegment(const float3 &a_, const float3 &b_) : a(a_), b(b_) {}

LineSegment::LineSegment(const Ray &ray, float d) : a(ray.pos), b(ray.GetPoint(d)) {}

LineSegment::LineSegment(const Line &line, float d) : a(line.pos), b(line.GetPoint(d)) {}

float3 LineSegment::GetPoint(float t) const { return (1.f - t) * a + t * b; }

float3 LineSegment::CenterPoint() const { return (a + b) * 0.5f; }

void LineSegment::Reverse() { std::swap(a, b); }

float3 LineSegment::Dir() const { return (b - a).Normalized(); }

float LineSegment::Length() const { return a.Distance(b); }

float LineSegment::LengthSq() const { return a.DistanceSq(b); }

bool LineSegment::IsFinite() const { return a.IsFinite() && b.IsFinite(); }

float3 LineSegment::ExtremePoint(const float3 &direction) const {
    return direction.Dot(b - a) >= 0.f ? b : a;
}

float3 LineSegment::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 extreme = ExtremePoint(direction);
    projectionDistance = extreme.Dot(direction);
    return extreme;
}

float3 LineSegment::StartingPoint() const { return a; }

void LineSegment::ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const {
    dMin = axis.Dot(a);
    dMax = axis.Dot(b);
    if (dMin > dMax) std::swap(dMin, dMax);
}

void LineSegment::Translate(const float3 &offset) {
    a += offset;
    b += offset;
}

void LineSegment::Transform(const float3x3 &m) {
    a = m * a;
    b = m * b;
}

void LineSegment::Transform(const float3x4 &m) {
    a = m.MulPos(a);
    b = m.MulPos(b);
}

void LineSegment::Transform(const Quat &q) {
    a = q * a;
    b = q * b;
}

Ray LineSegment::ToRay() const { return Ray(a, Dir()); }

Line LineSegment::ToLine() const { return Line(a, Dir()); }

bool LineSegment::Equals(const LineSegment &other, float epsilon) const {
    return (a.Equals(other.a, epsilon) && b.Equals(other.b, epsilon)) ||
           (a.Equals(other.b, epsilon) && b.Equals(other.a, epsilon));
}

float3 LineSegment::ClosestPoint(const float3 &p) const { return linear_distance::ClosestPoint(*this, p); }

float3 LineSegment::ClosestPoint(const float3 &p, float &d) const {
    const float3 v = b - a;
    d = (p - a).Dot(v) / v.LengthSq();
    // NaN (a zero-length segment gives 0/0) clamps to 1, so the result is b.
    d = (d <= 1.f) ? (d >= 0.f ? d : 0.f) : 1.f;
    return a + v * d;
}

float LineSegment::Distance(const float3 &p) const { return linear_distance::Distance(*this, p); }

float LineSegment::Distance(const float3 &p, float &d) const { return linear_distance::Distance(*this, p, d); }

float LineSegment::DistanceSq(const float3 &p) const { return ClosestPoint(p).DistanceSq(p); }

bool LineSegment::Contains(const float3 &p, float distanceThresholdSq) const {
    return linear_distance::Contains(*this, p, distanceThresholdSq);
}

bool LineSegment::Contains(const LineSegment &other, float distanceThresholdSq) const {
    return Contains(other.a, distanceThresholdSq) && Contains(other.b, distanceThresholdSq);
}

float3 LineSegment::ClosestPoint(const Ray &other, float &d, float &d2) const {
    other.ClosestPoint(*this, d2, d);
    return GetPoint(d);
}

float3 LineSegment::ClosestPoint(const Line &other, float &d, float &d2) const {
    Line::ClosestPointLineLine(other.pos, other.dir, a, b - a, d2, d);
    if (d < 0.f) {
        d = 0.f;
        other.ClosestPoint(a, d2);
        return a;
    }
    if (d > 1.f) {
        d = 1.f;
        other.ClosestPoint(b, d2);
        return b;
    }
    return GetPoint(d);
}

float3 LineSegment::ClosestPoint(const LineSegment &other, float &d, float &d2) const {
    Line::ClosestPointLineLine(a, b - a, other.a, other.b - other.a, d, d2);
    const bool dInside = InUnitInterval(d);
    const bool d2Inside = InUnitInterval(d2);
    if (dInside && d2Inside) return a + (b - a) * d;
    if (dInside) {
        d2 = NearerEnd(d2);
        return ClosestPoint(EndPoint(other, d2), d);
    }
    if (d2Inside) {
        d = NearerEnd(d);
        const float3 end = EndPoint(*this, d);
        other.ClosestPoint(end, d2);
        return end;
    }
    d = NearerEnd(d);
    d2 = NearerEnd(d2);
    const float3 p = EndPoint(*this, d);
    const float3 q = EndPoint(other, d2);
    float t1;
    float t2;
    const float3 c1 = ClosestPoint(q, t1);
    const float3 c2 = other.ClosestPoint(p, t2);
    if (c2.DistanceSq(p) >= c1.DistanceSq(q)) {
        d = t1;
        return c1;
    }
    d2 = t2;
    return p;
}

float LineSegment::Distance(const Ray &other, float &d, float &d2) const {
    ClosestPoint(other, d, d2);
    return GetPoint(d).Distance(other.GetPoint(d2));
}

float LineSegment::Distance(const Line &other, float &d, float &d2) const {
    return linear_distance::Distance(*this, other, d, d2);
}

float LineSegment::Distance(const LineSegment &other, float &d, float &d2) const {
    ClosestPoint(other, d, d2);
    return GetPoint(d).Distance(other.GetPoint(d2));
}

float LineSegment::DistanceSq(const LineSegment &other) const {
    float d;
    float d2;
    ClosestPoint(other, d, d2);
    return GetPoint(d).DistanceSq(other.GetPoint(d2));
}

float LineSegment::Distance(const Plane &plane) const {
    const float s1 = plane.SignedDistance(a);
    const float s2 = plane.SignedDistance(b);
    if (s1 * s2 < 0.f) return 0.f;
    return std::min(std::fabs(s1), std::fabs(s2));
}

bool LineSegment::Intersects(const Plane &plane) const {
    const float s1 = plane.SignedDistance(a);
    const float s2 = plane.SignedDistance(b);
    return s1 * s2 <= 0.f;
}

bool LineSegment::Intersects(const Plane &plane, float *d) const { return plane.Intersects(*this, d); }

bool LineSegment::Intersects(const LineSegment &other, float epsilon) const {
    float d;
    float d2;
    return Distance(other, d, d2) <= epsilon;
}

bool LineSegment::Intersects(const Triangle &triangle, float *d, float3 *intersectionPoint) const {
    return triangle.Intersects(*this, d, intersectionPoint);
}

bool LineSegment::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

bool LineSegment::Intersects(const AABB &aabb) const { return aabb.Intersects(*this); }

bool LineSegment::Intersects(const AABB &aabb, float &dNear, float &dFar) const {
    return aabb.Intersects(*this, dNear, dFar);
}

bool LineSegment::Intersects(const OBB &obb) const { return obb.Intersects(*this); }

bool LineSegment::Intersects(const OBB &obb, float &dNear, float &dFar) const {
    return obb.Intersects(*this, dNear, dFar);
}

std::string LineSegment::ToString() const {
    return FormatText("LineSegment(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f))", PrintableFloat(a.x),
                      PrintableFloat(a.y), PrintableFloat(a.z), PrintableFloat(b.x), PrintableFloat(b.y),
                      PrintableFloat(b.z));
}

LineSegment operator*(const float3x3 &m, const LineSegment &segment) {
    return LineSegment(m * segment.a, m * segment.b);
}

LineSegment operator*(const float3x4 &m, const LineSegment &segment) {
    return LineSegment(m.MulPos(segment.a), m.MulPos(segment.b));
}

LineSegment operator*(const Quat &q, const LineSegment &segment) { return LineSegment(q * segment.a, q * segment.b); }

std::ostream &operator<<(std::ostream &out, const LineSegment &segment) { return out << segment.ToString(); }

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void LineSegment::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
LineSegment operator*(const float4x4 &m, const LineSegment &segment) { return m.Float3x4Part() * segment; }

// ---- Text forms ----

std::string LineSegment::SerializeToString() const {
    const std::string text = detail::JoinVectors({a, b}, &float3::SerializeToString, ",");
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/LineSegment", 460);
    return text;
}

std::string LineSegment::SerializeToCodeString() const {
    return "LineSegment(" + detail::JoinVectors({a, b}, &float3::SerializeToCodeString, ",") + ")";
}

LineSegment LineSegment::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<LineSegment>(str, outEnd, "LineSegment(", {"a:(", " b:("});
}

// A member of the point, defined beside the shape it needs: the vector types do not depend on
// the shapes.
float float3::Distance(const LineSegment &lineSegment) const { return lineSegment.Distance(*this); }

}  // namespace math
