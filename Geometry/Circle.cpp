#include "Geometry/Circle.h"

#include <cmath>
#include <ostream>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Math/MathFunc.h"
#include "Math/MathOps.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float3 kHintY(0.f, 1.f, 0.f);
const float3 kHintZ(0.f, 0.f, 1.f);

// Where a line, ray or segment crosses the disc's plane, when that point lies on the disc.
template <typename Linear>
bool CrossesDisc(const Circle &disc, const Linear &linear) {
    float d;
    if (!linear.Intersects(disc.ContainingPlane(), &d)) return false;
    return linear.GetPoint(d).DistanceSq(disc.pos) <= disc.r * disc.r;
}

// The affine and the linear matrices move the circle alike: the normal as a direction,
// renormalised, and the radius by the length of the first column.
template <typename Matrix>
void TransformCircle(Circle &circle, const Matrix &m) {
    circle.pos = matrix_map::Point(m, circle.pos);
    circle.normal = matrix_map::Direction(m, circle.normal).Normalized();
    circle.r = circle.r * m.Col(0).Length();
}

}  // namespace

Circle::Circle(const float3 &center, const float3 &normal_, float radius) : pos(center), normal(normal_), r(radius) {}

float3 Circle::BasisU() const { return normal.Perpendicular(kHintY, kHintZ); }

float3 Circle::BasisV() const { return normal.AnotherPerpendicular(kHintY, kHintZ); }

float3 Circle::GetPoint(float angleRadians) const {
    float sin;
    float cos;
    SinCos(angleRadians, sin, cos);
    return pos + r * (sin * BasisU() + cos * BasisV());
}

float3 Circle::GetPoint(float angleRadians, float d) const {
    float sin;
    float cos;
    SinCos(angleRadians, sin, cos);
    return pos + (d * r) * (cos * BasisU() + sin * BasisV());
}

float3 Circle::ExtremePoint(const float3 &direction) const {
    const float3 inPlane = direction - direction.ProjectToNorm(normal);
    if (inPlane.IsZero(1e-7f)) return pos;
    return pos + inPlane.ScaledToLength(r);
}

Plane Circle::ContainingPlane() const { return Plane(pos, normal); }

void Circle::Translate(const float3 &offset) { pos += offset; }

void Circle::Transform(const float3x3 &m) { TransformCircle(*this, m); }

void Circle::Transform(const float3x4 &m) { TransformCircle(*this, m); }

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Circle::Transform(const float4x4 &m) { TransformCircle(*this, m.Float3x4Part()); }

void Circle::Transform(const Quat &q) {
    pos = q * pos;
    normal = q * normal;
}

Circle operator*(const float3x3 &m, const Circle &circle) { return matrix_map::TransformedCopy(m, circle); }
Circle operator*(const float3x4 &m, const Circle &circle) { return matrix_map::TransformedCopy(m, circle); }
Circle operator*(const float4x4 &m, const Circle &circle) { return matrix_map::TransformedCopy(m, circle); }
Circle operator*(const Quat &q, const Circle &circle) { return matrix_map::TransformedCopy(q, circle); }

float3 Circle::ClosestPointToEdge(const float3 &point) const {
    const float3 v = ContainingPlane().Project(point) - pos;
    if (v.IsZero(1e-7f)) return GetPoint(0.f);  // on the axis every rim point is as near
    return pos + v.ScaledToLength(r);
}

float Circle::DistanceToEdge(const float3 &point) const { return ClosestPointToEdge(point).Distance(point); }

bool Circle::EdgeContains(const float3 &point, float maxDistance) const { return DistanceToEdge(point) <= maxDistance; }

float3 Circle::ClosestPointToDisc(const float3 &point) const {
    float3 v = ContainingPlane().Project(point) - pos;
    const float lengthSq = v.LengthSq();
    if (lengthSq > r * r) v *= r / std::sqrt(lengthSq);
    return pos + v;
}

float Circle::DistanceToDisc(const float3 &point) const { return ClosestPointToDisc(point).Distance(point); }

int Circle::Intersects(const Plane &plane, float3 *pt1, float3 *pt2) const { return plane.Intersects(*this, pt1, pt2); }

bool Circle::Intersects(const Plane &plane) const { return plane.Intersects(*this) != 0; }

bool Circle::IntersectsDisc(const Line &line) const { return CrossesDisc(*this, line); }

bool Circle::IntersectsDisc(const Ray &ray) const { return CrossesDisc(*this, ray); }

bool Circle::IntersectsDisc(const LineSegment &lineSegment) const { return CrossesDisc(*this, lineSegment); }

std::vector<float3> Circle::IntersectsFaces(const AABB &aabb) const { return IntersectsFaces(aabb.ToOBB()); }

std::vector<float3> Circle::IntersectsFaces(const OBB &obb) const {
    std::vector<float3> points;
    for (int i = 0; i < 6; ++i) {
        float3 a;
        float3 b;
        const int n = obb.FacePlane(i).Intersects(*this, &a, &b);
        if (n > 0 && obb.Contains(a)) points.push_back(a);
        if (n > 1 && obb.Contains(b)) points.push_back(b);
    }
    return points;
}

std::string Circle::ToString() const {
    return FormatText("Circle(pos:(%.2f, %.2f, %.2f) normal:(%.2f, %.2f, %.2f), r:%.2f)", PrintableFloat(pos.x),
                      PrintableFloat(pos.y), PrintableFloat(pos.z), PrintableFloat(normal.x), PrintableFloat(normal.y),
                      PrintableFloat(normal.z), PrintableFloat(r));
}

std::ostream &operator<<(std::ostream &out, const Circle &circle) { return out << circle.ToString(); }

// ---- Members of the planar types that take or make a circle ----

bool Line::IntersectsDisc(const Circle &disc) const { return disc.IntersectsDisc(*this); }

bool Ray::IntersectsDisc(const Circle &disc) const { return disc.IntersectsDisc(*this); }

bool LineSegment::IntersectsDisc(const Circle &disc) const { return disc.IntersectsDisc(*this); }

Circle Plane::GenerateCircle(const float3 &center, float radius) const { return Circle(Project(center), normal, radius); }

bool Plane::Contains(const Circle &circle, float epsilon) const {
    if (std::fabs(normal.Dot(circle.pos) - d) > epsilon) return false;
    if (EqualAbs(std::fabs(normal.Dot(circle.normal)), 1.f, 1e-4f)) return true;  // parallel to the plane
    return circle.r <= epsilon;
}

int Plane::Intersects(const Circle &circle, float3 *pt1, float3 *pt2) const {
    Line line;
    if (!Intersects(circle.ContainingPlane(), &line)) return 0;
    line.pos -= circle.pos;  // the circle's centre as the origin
    const float b = 2.f * line.pos.Dot(line.dir);
    const float c = line.pos.LengthSq() - circle.r * circle.r;
    float t1;
    float t2;
    const int n = Polynomial::SolveQuadratic(1.f, b, c, t1, t2);
    if (pt1 && n > 0) *pt1 = circle.pos + line.GetPoint(t1);
    if (pt2 && n > 1) *pt2 = circle.pos + line.GetPoint(t2);
    return n;
}

int Plane::Intersects(const Circle &circle) const { return Intersects(circle, nullptr, nullptr); }

}  // namespace math
