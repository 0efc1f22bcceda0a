#include "Geometry/Plane.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Ray.h"
#include "Geometry/Sphere.h"
#include "Geometry/Triangle.h"
#include "Math/Assume.h"
#include "Math/FloatCodec.h"
#include "Math/MathOps.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

float3x3 RowsMatrix(const float3 &row0, const float3 &row1, const float3 &row2) {
    return float3x3(row0.x, row0.y, row0.z, row1.x, row1.y, row1.z, row2.x, row2.y, row2.z);
}

// Lines and rays project alike: the position onto the plane, the direction into it.
template <typename LineOrRay>
LineOrRay ProjectLineOrRay(const Plane &plane, const LineOrRay &object, bool *nonDegenerate) {
    LineOrRay projected(plane.Project(object.pos), object.dir - object.dir.ProjectToNorm(plane.normal));
    const float length = projected.dir.Normalize();
    if (nonDegenerate) *nonDegenerate = length > 0.f;
    return projected;
}

// The points where the edges (a, b) and (a, c) cross the plane, at the parameters that the
// segment test writes whether or not the edge is hit.
void EdgeCrossings(const Plane &plane, const Triangle &t, float3 &onAB, float3 &onAC) {
    float s1;
    float s2;
    plane.Intersects(LineSegment(t.a, t.b), &s1);
    plane.Intersects(LineSegment(t.a, t.c), &s2);
    onAB = t.a + (t.b - t.a) * s1;
    onAC = t.a + (t.c - t.a) * s2;
}

bool ContainsLineOrRay(const Plane &plane, const float3 &pos, const float3 &dir, float epsilonSq) {
    return plane.Contains(pos, 1e-3f) && dir.IsPerpendicular(plane.normal, epsilonSq);
}

// I - k n n^T with translation k d n: k = 2 reflects across the plane, k = 1
// projects onto it.
float3x4 PlaneMap(const Plane &plane, float k) {
    const float3 &n = plane.normal;
    const float nk[3] = {k * n.x, k * n.y, k * n.z};
    const float nv[3] = {n.x, n.y, n.z};
    float3x4 m;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) m.elements[r][c] = (r == c ? 1.f : 0.f) - nk[r] * nv[c];
        m.elements[r][3] = (k * plane.d) * nv[r];
    }
    return m;
}

}  // namespace

// Members of the vector and matrix types that need the plane, defined beside it so that those
// types do not depend on the shapes.
float float3::Distance(const Plane &plane) const { return plane.Distance(*this); }

float3x4 float3x4::Mirror(const Plane &plane) { return PlaneMap(plane, 2.f); }
float3x4 float3x4::OrthographicProjection(const Plane &target) { return PlaneMap(target, 1.f); }
float4x4 float4x4::Mirror(const Plane &plane) { return float4x4(float3x4::Mirror(plane)); }
float4x4 float4x4::OrthographicProjection(const Plane &target) { return float4x4(float3x4::OrthographicProjection(target)); }

Plane::Plane(const float3 &normal_, float d_) : normal(normal_), d(d_) {}

Plane::Plane(const float3 &a, const float3 &b, const float3 &c) { Set(a, b, c); }

Plane::Plane(const float3 &point, const float3 &normal_) { Set(point, normal_); }

Plane::Plane(const Line &line, const float3 &normal_)
    : Plane(line.pos, (normal_ - normal_.ProjectToNorm(line.dir)).Normalized()) {}

Plane::Plane(const Ray &ray, const float3 &normal_)
    : Plane(ray.pos, (normal_ - normal_.ProjectToNorm(ray.dir)).Normalized()) {}

Plane::Plane(const LineSegment &segment, const float3 &normal_)
    : Plane(segment.a, (normal_ - normal_.ProjectTo(segment.b - segment.a)).Normalized()) {}

void Plane::Set(const float3 &a, const float3 &b, const float3 &c) {
    const float3 n = (b - a).Cross(c - a);
    normal = n * (1.f / n.Length());
    d = normal.Dot(a);
}

void Plane::Set(const float3 &point, const float3 &normal_) {
    normal = normal_;
    d = point.Dot(normal_);
}

bool Plane::IsDegenerate() const { return !normal.IsFinite() || normal.IsZero(1e-7f) || !std::isfinite(d); }

float3 Plane::PointOnPlane() const { return normal * d; }

float3 Plane::Point(float u, float v) const {
    float3 b1;
    float3 b2;
    normal.PerpendicularBasis(b1, b2);
    return normal * d + u * b1 + v * b2;
}

float3 Plane::Point(float u, float v, const float3 &referenceOrigin) const {
    float3 b1;
    float3 b2;
    normal.PerpendicularBasis(b1, b2);
    return Project(referenceOrigin) + u * b1 + v * b2;
}

float Plane::SignedDistance(const float3 &p) const { return normal.Dot(p) - d; }

float Plane::Distance(const float3 &p) const { return std::fabs(SignedDistance(p)); }

float Plane::Distance(const LineSegment &segment) const { return segment.Distance(*this); }

float Plane::SignedDistance(const Line &line) const { return Plane_SignedDistance(*this, line); }

float Plane::SignedDistance(const Ray &ray) const { return Plane_SignedDistance(*this, ray); }

float Plane::SignedDistance(const LineSegment &segment) const { return Plane_SignedDistance(*this, segment); }

float Plane::SignedDistance(const Triangle &triangle) const { return Plane_SignedDistance(*this, triangle); }

float Plane::SignedDistance(const Polygon &polygon) const { return Plane_SignedDistance(*this, polygon); }

float Plane::SignedDistance(const AABB &aabb) const { return Plane_SignedDistance(*this, aabb); }

float Plane::SignedDistance(const OBB &obb) const { return Plane_SignedDistance(*this, obb); }

int Plane::ExamineSide(const Triangle &triangle) const {
    const float a = SignedDistance(triangle.a);
    const float b = SignedDistance(triangle.b);
    const float c = SignedDistance(triangle.c);
    if (a >= -1e-4f && b >= -1e-4f && c >= -1e-4f) return 1;
    if (a <= 1e-4f && b <= 1e-4f && c <= 1e-4f) return -1;
    return 0;
}

bool Plane::IsInPositiveDirection(const float3 &direction) const { return normal.Dot(direction) >= 0.f; }

bool Plane::IsOnPositiveSide(const float3 &p) const { return SignedDistance(p) >= 0.f; }

bool Plane::AreOnSameSide(const float3 &p1, const float3 &p2) const {
    return SignedDistance(p1) * SignedDistance(p2) >= 0.f;
}

bool Plane::PassesThroughOrigin(float epsilon) const { return std::fabs(d) <= epsilon; }

float Plane::DihedralAngle(const Plane &other) const { return normal.Dot(other.normal); }

bool Plane::IsParallel(const Plane &other, float epsilon) const { return normal.Equals(other.normal, epsilon); }

bool Plane::Equals(const Plane &other, float epsilon) const {
    return normal.Equals(other.normal, epsilon) && EqualAbs(d, other.d, epsilon);
}

bool Plane::SetEquals(const Plane &other, float epsilon) const {
    return (normal.Equals(other.normal, 1e-3f) && EqualAbs(d, other.d, epsilon)) ||
           (normal.Equals(-other.normal, 1e-3f) && EqualAbs(-d, other.d, epsilon));
}

float3 Plane::Project(const float3 &p) const { return p - SignedDistance(p) * normal; }

float3 Plane::ProjectToNegativeHalf(const float3 &p) const {
    return p - std::max(SignedDistance(p), 0.f) * normal;
}

float3 Plane::ProjectToPositiveHalf(const float3 &p) const {
    return p - std::min(SignedDistance(p), 0.f) * normal;
}

LineSegment Plane::Project(const LineSegment &segment) const {
    return LineSegment(Project(segment.a), Project(segment.b));
}

Triangle Plane::Project(const Triangle &triangle) const {
    return Triangle(Project(triangle.a), Project(triangle.b), Project(triangle.c));
}

Polygon Plane::Project(const Polygon &polygon) const {
    Polygon projected;
    projected.vertices.reserve(polygon.vertices.size());
    for (const float3 &v : polygon.vertices) projected.vertices.push_back(Project(v));
    return projected;
}

Line Plane::Project(const Line &line, bool *nonDegenerate) const {
    return ProjectLineOrRay(*this, line, nonDegenerate);
}

Ray Plane::Project(const Ray &ray, bool *nonDegenerate) const { return ProjectLineOrRay(*this, ray, nonDegenerate); }

float3 Plane::ClosestPoint(const Ray &ray) const {
    const float denom = normal.Dot(ray.dir);
    if (denom == 0.f) return Project(ray.pos);
    const float t = (d - normal.Dot(ray.pos)) / denom;
    if (t >= 0.f && t < 1e6f) return ray.GetPoint(t);
    return Project(ray.pos);
}

float3 Plane::ClosestPoint(const LineSegment &segment) const {
    const float aDot = normal.Dot(segment.a);
    const float bDot = normal.Dot(segment.b);
    const float denom = bDot - aDot;
    if (EqualAbs(denom, 0.f, 1e-4f)) {
        // Parallel to the plane: the comparison is of the plain dot products, without d.
        return std::fabs(aDot) < std::fabs(bDot) ? Project(segment.a) : Project(segment.b);
    }
    float t = (d - aDot) / denom;
    t = (t <= 1.f) ? (t >= 0.f ? t : 0.f) : 1.f;
    return Project(segment.GetPoint(t));
}

float3 Plane::Mirror(const float3 &p) const { return p - (2.f * SignedDistance(p)) * normal; }

float3x4 Plane::MirrorMatrix() const { return float3x4::Mirror(*this); }

float3x4 Plane::OrthoProjection() const { return float3x4::OrthographicProjection(*this); }

float3 Plane::Refract(const float3 &vec, float negativeSideRefractionIndex, float positiveSideRefractionIndex) const {
    return vec.Refract(normal, negativeSideRefractionIndex, positiveSideRefractionIndex);
}

bool Plane::Contains(const float3 &p, float distanceThreshold) const {
    return std::fabs(SignedDistance(p)) <= distanceThreshold;
}

bool Plane::Contains(const LineSegment &segment, float distanceThreshold) const {
    return Contains(segment.a, distanceThreshold) && Contains(segment.b, distanceThreshold);
}

bool Plane::Contains(const Triangle &triangle, float distanceThreshold) const {
    return Contains(triangle.a, distanceThreshold) && Contains(triangle.b, distanceThreshold) &&
           Contains(triangle.c, distanceThreshold);
}

bool Plane::Contains(const Polygon &polygon, float distanceThreshold) const {
    if (polygon.vertices.empty()) return false;
    if (polygon.vertices.size() >= 3) return SetEquals(polygon.PlaneCCW(), distanceThreshold);
    for (const float3 &v : polygon.vertices)
        if (!Contains(v, distanceThreshold)) return false;
    return true;
}

bool Plane::Contains(const Line &line, float epsilonSq) const {
    return ContainsLineOrRay(*this, line.pos, line.dir, epsilonSq);
}

bool Plane::Contains(const Ray &ray, float epsilonSq) const {
    return ContainsLineOrRay(*this, ray.pos, ray.dir, epsilonSq);
}

bool Plane::IntersectLinePlane(const float3 &planeNormal, float planeD, const float3 &linePos, const float3 &lineDir,
                               float &t) {
    const float denom = planeNormal.Dot(lineDir);
    if (std::fabs(denom) > 1e-4f) {
        t = (planeD - planeNormal.Dot(linePos)) / denom;
        return true;
    }
    if (denom != 0.f) {
        // Nearly parallel: a hit counts only while it stays near the line's position.
        t = (planeD - planeNormal.Dot(linePos)) / denom;
        if (std::fabs(t) < 1e4f) return true;
    }
    t = 0.f;
    return EqualAbs(planeNormal.Dot(linePos), planeD, 1e-3f);
}

bool Plane::Intersects(const Line &line, float *outD) const {
    float t;
    const bool solved = IntersectLinePlane(normal, d, line.pos, line.dir, t);
    if (outD) *outD = t;
    return solved;
}

bool Plane::Intersects(const Ray &ray, float *outD) const {
    float t;
    const bool solved = IntersectLinePlane(normal, d, ray.pos, ray.dir, t);
    if (outD) *outD = t;
    return solved && t >= 0.f;
}

bool Plane::Intersects(const LineSegment &segment, float *outD) const {
    float t;
    const bool solved = IntersectLinePlane(normal, d, segment.a, segment.Dir(), t);
    const float length = segment.Length();
    if (outD) *outD = t / length;
    return solved && t >= 0.f && t <= length;
}

bool Plane::Intersects(const Plane &other, Line *outLine) const {
    const float3 dir = normal.Perpendicular(other.normal, float3::unitZ);
    float3 point;
    if (RowsMatrix(normal, other.normal, dir).SolveAxb(float3(d, other.d, 0.f), point)) {
        if (outLine) *outLine = Line(point, dir.Normalized());
        return true;
    }
    const float c = normal.Dot(other.normal);
    const bool coincide = (c > 0.f && EqualAbs(d, other.d, 1e-4f)) || (c < 0.f && EqualAbs(d, -other.d, 1e-4f));
    if (coincide && outLine) *outLine = Line(normal * d, other.normal.Perpendicular(float3::unitY, float3::unitZ));
    return coincide;
}

bool Plane::Intersects(const Plane &p2, const Plane &p3, Line *outLine, float3 *outPoint) const {
    const auto parallel = [](const Plane &p, const Plane &q) { return p.normal.Equals(q.normal, 1e-3f); };
    const auto sameOffset = [](float a, float b) { return EqualAbs(a, b, 1e-4f); };
    Line line;
    if (!outLine) outLine = &line;
    const auto meetInLine = [&](const Plane &p, const Plane &q) {
        const bool meet = p.Intersects(q, outLine);
        if (meet && outPoint) *outPoint = outLine->GetPoint(0.f);
        return meet;
    };
    if (parallel(*this, p2) || parallel(*this, p3)) {
        // Which of p2 and p3 is the parallel one does not enter the offset test.
        if (sameOffset(d, p2.d) || sameOffset(d, p3.d)) return meetInLine(p2, p3);
        return false;
    }
    if (parallel(p2, p3)) {
        if (sameOffset(p2.d, p3.d)) return meetInLine(*this, p2);
        return false;
    }
    float3 point;
    if (!RowsMatrix(normal, p2.normal, p3.normal).SolveAxb(float3(d, p2.d, p3.d), point)) return false;
    if (outPoint) *outPoint = point;
    return true;
}

bool Plane::Intersects(const Triangle &triangle) const {
    const float a = SignedDistance(triangle.a);
    const float b = SignedDistance(triangle.b);
    const float c = SignedDistance(triangle.c);
    return a * b <= 0.f || a * c <= 0.f;
}

bool Plane::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

// The box reaches Dot(e, Abs(normal)) from its centre along the normal.
bool Plane::Intersects(const AABB &aabb) const {
    const float3 e = aabb.HalfSize();
    return std::fabs(SignedDistance(aabb.CenterPoint())) <= e.Dot(normal.Abs());
}

bool Plane::Intersects(const OBB &obb) const { return obb.Intersects(*this); }

bool Plane::Clip(float3 &a, float3 &b) const {
    float t;
    const bool solved = IntersectLinePlane(normal, d, a, b - a, t);
    if (!solved || t <= 0.f || t >= 1.f) return SignedDistance(a) > 0.f;
    const float3 p = a + (b - a) * t;
    if (SignedDistance(a) >= 0.f)
        b = p;
    else
        a = p;
    return true;
}

bool Plane::Clip(LineSegment &segment) const { return Clip(segment.a, segment.b); }

int Plane::Clip(const Line &line, Ray &outRay) const {
    float t;
    if (!IntersectLinePlane(normal, d, line.pos, line.dir, t)) return SignedDistance(line.pos) > 0.f ? 2 : 0;
    outRay.pos = line.pos + line.dir * t;
    outRay.dir = line.dir.Dot(normal) >= 0.f ? line.dir : -line.dir;
    return 1;
}

int Plane::Clip(const Triangle &triangle, Triangle &t1, Triangle &t2) const {
    const bool aKept = SignedDistance(triangle.a) >= 0.f;
    const bool bKept = SignedDistance(triangle.b) >= 0.f;
    const bool cKept = SignedDistance(triangle.c) >= 0.f;
    const int kept = int(aKept) + int(bKept) + int(cKept);
    if (kept == 0) return 0;
    t1 = triangle;
    if (kept == 3) return 1;
    float3 p1;
    float3 p2;
    if (kept == 1) {
        // The kept vertex first: the rest of the triangle shrinks onto its two edges.
        if (bKept)
            t1 = Triangle(triangle.b, triangle.c, triangle.a);
        else if (cKept)
            t1 = Triangle(triangle.c, triangle.a, triangle.b);
        EdgeCrossings(*this, t1, p1, p2);
        t1.b = p1;
        t1.c = p2;
        return 1;
    }
    // The dropped vertex first: the kept quadrilateral (p1, b, c, p2) splits in two.
    if (!bKept)
        t1 = Triangle(triangle.b, triangle.c, triangle.a);
    else if (!cKept)
        t1 = Triangle(triangle.c, triangle.a, triangle.b);
    EdgeCrossings(*this, t1, p1, p2);
    t2 = Triangle(t1.c, p2, p1);
    t1.a = p1;
    return 2;
}

void Plane::ReverseNormal() {
    normal = -normal;
    d = -d;
}

void Plane::Translate(const float3 &offset) { d += normal.Dot(offset); }

void Plane::Transform(const float3x3 &m) { normal = m.InverseTransposed() * normal; }

// Normals map by the inverse transpose of the linear part; the offset moves by the inverse
// image of the translation along the old normal.
void Plane::Transform(const float3x4 &m) {
    float3x3 inverse = m.Float3x3Part();
    inverse.Inverse(1e-6f);
    d += normal.Dot(inverse * m.TranslatePart());
    normal = normal * inverse;
}

void Plane::Transform(const Quat &q) { Transform(q.ToFloat3x3()); }

std::string Plane::ToString() const {
    return FormatText("Plane(Normal:(%.2f, %.2f, %.2f) d:%.2f)", PrintableFloat(normal.x), PrintableFloat(normal.y),
                      PrintableFloat(normal.z), PrintableFloat(d));
}

Plane operator*(const float3x3 &m, const Plane &plane) { return matrix_map::TransformedCopy(m, plane); }

Plane operator*(const float3x4 &m, const Plane &plane) { return matrix_map::TransformedCopy(m, plane); }

Plane operator*(const Quat &q, const Plane &plane) { return matrix_map::TransformedCopy(q, plane); }

std::ostream &operator<<(std::ostream &out, const Plane &plane) { return out << plane.ToString(); }

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Plane::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
Plane operator*(const float4x4 &m, const Plane &plane) { return m.Float3x4Part() * plane; }

// A ball by the same interval rule as the other shapes.
float Plane::SignedDistance(const Sphere &sphere) const { return Plane_SignedDistance(*this, sphere); }

// ---- Text forms ----

std::string Plane::SerializeToString() const {
    const float values[] = {normal.x, normal.y, normal.z, d};
    const std::string text = detail::SerializeFloats(values, 4);
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Plane", 934);
    return text;
}

std::string Plane::SerializeToCodeString() const {
    return "Plane(" + normal.SerializeToCodeString() + "," + FormatText("%.9g", PrintableFloat(d)) + ")";
}

Plane Plane::FromString(const char *str, const char **outEnd) {
    if (str == nullptr) return Plane(float3::nan, float3::nan.x);
    str = detail::SkipPrefix(detail::SkipPrefix(str, "Plane("), "Normal:(");
    const float3 normal = DirVecFromString(str, &str);
    // A read that finds the text ended leaves the position where it was.
    const float d = DeserializeFloat(detail::SkipPrefix(str, " d:"), &str);
    if (outEnd) *outEnd = str;
    return Plane(normal, d);
}

}  // namespace math
