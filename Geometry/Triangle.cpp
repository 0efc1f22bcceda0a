#include "Geometry/Triangle.h"

#include <cmath>
#include <limits>
#include <ostream>

#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "Geometry/OBB.h"
#include "Geometry/Ray.h"
#include "Math/Assume.h"
#include "Math/MathOps.h"
#include "Math/Quat.h"
#include "Math/TextFormat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// The three vertices as one array for a matrix's batch transform.
template <typename BatchTransform>
void TransformVertices(Triangle &t, BatchTransform batchTransform) {
    float3 v[3] = {t.a, t.b, t.c};
    batchTransform(v, 3);
    t.a = v[0];
    t.b = v[1];
    t.c = v[2];
}

// The edge point nearest to a segment or a line: Query::GetPoint and the matching
// LineSegment::ClosestPoint overload serve both.
template <typename Query>
float3 ClosestEdgePoint(const Triangle &tri, const Query &query, float *outU, float *outV,
                        float *outD) {
    float3 point[3];
    float queryParam[3];
    float distSq[3];
    for (int k = 0; k < 3; ++k) {
        float edgeParam;
        point[k] = tri.Edge(k).ClosestPoint(query, edgeParam, queryParam[k]);
        distSq[k] = point[k].DistanceSq(query.GetPoint(queryParam[k]));
    }
    int best = 1;
    if (distSq[1] >= distSq[0] && distSq[2] >= distSq[0])
        best = 0;
    else if (distSq[2] < distSq[1])
        best = 2;
    if (outU || outV) {
        const float2 uv = tri.BarycentricUV(point[best]);
        if (outU) *outU = uv.x;
        if (outV) *outV = uv.y;
    }
    if (outD) *outD = queryParam[best];
    return point[best];
}

// The coplanar case of the triangle test: edges crossing in the common plane.
bool CoplanarEdgesMeet(const Triangle &t1, const Triangle &t2, const float3 &normal,
                       LineSegment *outLine) {
    float3 u, w;
    normal.PerpendicularBasis(u, w);
    const float3 &origin = t1.a;
    auto map = [&](const float3 &x) { return float2(u.Dot(x - origin), w.Dot(x - origin)); };
    for (int i = 0; i < 3; ++i) {
        const LineSegment e1 = t1.Edge(i);
        const float2 start1 = map(e1.a);
        const float2 dir1 = map(e1.b) - start1;
        for (int j = 0; j < 3; ++j) {
            const LineSegment e2 = t2.Edge(j);
            const float2 start2 = map(e2.a);
            float s, t;
            if (!LineSegment2DLineSegment2DIntersect(start1, dir1, start2, map(e2.b) - start2, s, t))
                continue;
            if (outLine) {
                const float2 hit = start1 + dir1 * s;
                const float3 p = origin + u * hit.x + w * hit.y;
                *outLine = LineSegment(p, p);
            }
            return true;
        }
    }
    return false;
}

void MinMax(float x, float y, float &lo, float &hi) {
    lo = x < y ? x : y;
    hi = x < y ? y : x;
}

// The interval of line parameters where the line meets the triangle through its two edges
// that cross the other plane.
void LineInterval(const Line &line, const Triangle &tri, float da, float db, float dc, float &lo,
                  float &hi) {
    LineSegment s1, s2;
    FindIntersectingLineSegments(tri, da, db, dc, s1, s2);
    float d1, d2, unused;
    line.Distance(s1, d1, unused);
    line.Distance(s2, d2, unused);
    MinMax(d1, d2, lo, hi);
}

// True when all three values lie below -1e-4 or all above 1e-4.
bool AllOnOneSide(float x, float y, float z) {
    const float lo = std::fmin(std::fmin(x, y), z);
    const float hi = std::fmax(std::fmax(x, y), z);
    return hi < -1e-4f || lo > 1e-4f;
}

// The outputs of a hit at parameter t along a line, a ray or a segment, written only when
// the parameter lies in the shape's range.
template <typename Linear>
bool ReportHit(bool inRange, float t, const Linear &linear, float *d, float3 *intersectionPoint) {
    if (!inRange) return false;
    if (d) *d = t;
    if (intersectionPoint) *intersectionPoint = linear.GetPoint(t);
    return true;
}

}  // namespace

Triangle::Triangle(const float3 &a_, const float3 &b_, const float3 &c_) : a(a_), b(b_), c(c_) {}

float3 Triangle::Vertex(int i) const {
    switch (i) {
        case 0: return a;
        case 1: return b;
        case 2: return c;
        default: return float3::nan;
    }
}

LineSegment Triangle::Edge(int i) const {
    switch (i) {
        case 0: return LineSegment(a, b);
        case 1: return LineSegment(b, c);
        case 2: return LineSegment(c, a);
        default: return LineSegment(float3::nan, float3::nan);
    }
}

float3 Triangle::Point(float s, float t) const { return a + (b - a) * s + (c - a) * t; }

float3 Triangle::Point(float u, float v, float w) const { return u * a + v * b + w * c; }

float3 Triangle::Point(const float3 &uvw) const { return Point(uvw.x, uvw.y, uvw.z); }

float3 Triangle::Point(const float2 &st) const { return Point(st.x, st.y); }

float3 Triangle::BarycentricUVW(const float3 &p) const {
    const float3 m = (b - a).Cross(c - a);
    const float3 am = m.Abs();
    float2 pp, bp, cp, ap;
    float r;
    if (am.x >= am.y && am.x >= am.z) {
        pp = float2(p.y, p.z), ap = float2(a.y, a.z), bp = float2(b.y, b.z), cp = float2(c.y, c.z);
        r = 1.f / m.x;
    } else if (am.y >= am.z) {
        pp = float2(p.x, p.z), ap = float2(a.x, a.z), bp = float2(b.x, b.z), cp = float2(c.x, c.z);
        r = 1.f / -m.y;
    } else {
        pp = float2(p.x, p.y), ap = float2(a.x, a.y), bp = float2(b.x, b.y), cp = float2(c.x, c.y);
        r = 1.f / m.z;
    }
    const float u = Area2D(pp, bp, cp) * r;
    const float v = Area2D(pp, cp, ap) * r;
    return float3(u, v, 1.f - u - v);
}

float2 Triangle::BarycentricUV(const float3 &p) const {
    const float3 uvw = BarycentricUVW(p);
    return float2(uvw.y, uvw.z);
}

bool Triangle::BarycentricInsideTriangle(const float3 &uvw) {
    return uvw.x >= 0.f && uvw.y >= 0.f && uvw.z >= 0.f &&
           EqualAbs(uvw.x + uvw.y + uvw.z, 1.f, 1e-4f);
}

float3 Triangle::Centroid() const { return (a + b + c) * (1.f / 3.f); }

float Triangle::Area() const { return 0.5f * (b - a).Cross(c - a).Length(); }

float Triangle::Perimeter() const { return a.Distance(b) + b.Distance(c) + c.Distance(a); }

float Triangle::Area2D(const float2 &p1, const float2 &p2, const float2 &p3) {
    return (p1.x - p2.x) * (p2.y - p3.y) - (p2.x - p3.x) * (p1.y - p2.y);
}

float Triangle::SignedArea(const float3 &pt, const float3 &a, const float3 &b, const float3 &c) {
    return (b - pt).Cross(c - pt).Dot((b - a).Cross(c - a).Normalized());
}

float3 Triangle::UnnormalizedNormalCCW() const { return (b - a).Cross(c - a); }

float3 Triangle::UnnormalizedNormalCW() const { return (c - a).Cross(b - a); }

float3 Triangle::NormalCCW() const { return UnnormalizedNormalCCW().Normalized(); }

float3 Triangle::NormalCW() const { return UnnormalizedNormalCW().Normalized(); }

Plane Triangle::PlaneCCW() const { return Plane(a, b, c); }

Plane Triangle::PlaneCW() const { return Plane(a, c, b); }

float3 Triangle::ExtremePoint(const float3 &direction) const {
    float3 best = float3::nan;
    float bestDot = -3.4028235e38f;
    for (int i = 0; i < 3; ++i) {
        const float3 v = Vertex(i);
        const float d = direction.Dot(v);
        if (d > bestDot) {
            bestDot = d;
            best = v;
        }
    }
    return best;
}

float3 Triangle::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 best = ExtremePoint(direction);
    projectionDistance = best.Dot(direction);
    return best;
}

float3 Triangle::StartingPoint() const { return a; }

void Triangle::ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const {
    dMin = dMax = axis.Dot(a);
    for (const float3 *v : {&b, &c}) {
        const float d = axis.Dot(*v);
        if (d < dMin) dMin = d;
        if (d > dMax) dMax = d;
    }
}

AABB Triangle::BoundingAABB() const { return AABB(a.Min(b).Min(c), a.Max(b).Max(c)); }

Polygon Triangle::ToPolygon() const {
    Polygon polygon;
    polygon.vertices = {a, b, c};
    return polygon;
}

int Triangle::UniqueFaceNormals(float3 *out) const {
    const float3 n = (b - a).Cross(c - a);
    out[0] = n;
    out[1] = n.Cross(b - a);
    out[2] = n.Cross(c - a);
    out[3] = n.Cross(c - b);
    return 4;
}

int Triangle::UniqueEdgeDirections(float3 *out) const {
    out[0] = b - a;
    out[1] = c - a;
    out[2] = c - b;
    return 3;
}

bool Triangle::IsFinite() const { return a.IsFinite() && b.IsFinite() && c.IsFinite(); }

bool Triangle::IsDegenerate(float epsilon) const { return IsDegenerate(a, b, c, epsilon); }

bool Triangle::IsDegenerate(const float3 &a, const float3 &b, const float3 &c, float epsilon) {
    return a.Equals(b, epsilon) || a.Equals(c, epsilon) || b.Equals(c, epsilon);
}

bool Triangle::Contains(const float3 &p, float thicknessSq) const {
    const float3 n = (b - a).Cross(c - a);
    const float planeDist = n.Dot(b - p);
    if (planeDist * planeDist > thicknessSq * n.LengthSq()) return false;
    const float3 uvw = BarycentricUVW(p);
    return uvw.x >= -1e-3f && uvw.y >= -1e-3f && uvw.z >= -1e-3f;
}

bool Triangle::Contains(const LineSegment &segment, float thicknessSq) const {
    return Contains(segment.a, thicknessSq) && Contains(segment.b, thicknessSq);
}

bool Triangle::Contains(const Triangle &other, float thicknessSq) const {
    return Contains(other.a, thicknessSq) && Contains(other.b, thicknessSq) &&
           Contains(other.c, thicknessSq);
}

float3 Triangle::ClosestPoint(const float3 &p) const {
    const float3 ab = b - a;
    const float3 ac = c - a;
    const float3 ap = p - a;
    const float d1 = ab.Dot(ap);
    const float d2 = ac.Dot(ap);
    if (d1 <= 0.f && d2 <= 0.f) return a;
    const float3 bp = p - b;
    const float d3 = ab.Dot(bp);
    const float d4 = ac.Dot(bp);
    if (d3 >= 0.f && d4 <= d3) return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.f && d1 >= 0.f && d3 <= 0.f) return a + ab * (d1 / (d1 - d3));
    const float3 cp = p - c;
    const float d5 = ab.Dot(cp);
    const float d6 = ac.Dot(cp);
    if (d6 >= 0.f && d5 <= d6) return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.f && d2 >= 0.f && d6 <= 0.f) return a + ac * (d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.f && d4 - d3 >= 0.f && d5 - d6 >= 0.f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float r = 1.f / (va + vb + vc);
    return a + ab * (vb * r) + ac * (vc * r);
}

float Triangle::Distance(const float3 &p) const { return ClosestPoint(p).Distance(p); }

float Triangle::DistanceSq(const float3 &p) const { return ClosestPoint(p).DistanceSq(p); }

float3 Triangle::ClosestPoint(const LineSegment &segment, float3 *otherPt) const {
    float u, v;
    const float t = IntersectLineTri(segment.a, segment.b - segment.a, a, b, c, u, v);
    if (t >= 0.f && t <= 1.f) {
        if (otherPt) *otherPt = segment.GetPoint(t);
        return Point(u, v);
    }
    float d;
    const float3 pe = ClosestPointToTriangleEdge(segment, nullptr, nullptr, &d);
    const float3 pa = ClosestPoint(segment.a);
    const float3 pb = ClosestPoint(segment.b);
    const float3 onSegment = segment.GetPoint(d);
    const float de = pe.DistanceSq(onSegment);
    const float da = pa.DistanceSq(segment.a);
    const float db = pb.DistanceSq(segment.b);
    if (da >= de && db >= de) {
        if (otherPt) *otherPt = onSegment;
        return pe;
    }
    if (db < da) {
        if (otherPt) *otherPt = segment.b;
        return pb;
    }
    if (otherPt) *otherPt = segment.a;
    return pa;
}

float3 Triangle::ClosestPoint(const Line &line, float3 *otherPt) const {
    float3 hit;
    if (Intersects(line, nullptr, &hit)) {
        if (otherPt) *otherPt = hit;
        return hit;
    }
    float d;
    const float3 p = ClosestPointToTriangleEdge(line, nullptr, nullptr, &d);
    if (otherPt) *otherPt = line.GetPoint(d);
    return p;
}

float3 Triangle::ClosestPoint(const Triangle &other, float3 *otherPt) const {
    // A NaN segment that stays NaN tells that the triangles overlap in their common plane
    // with a vertex of one inside the other: that vertex is then a common point.
    LineSegment common(float3::nan, float3::nan);
    if (Intersects(other, &common)) {
        float3 p = common.CenterPoint();
        if (!common.IsFinite()) p = other.Contains(a, kInf) ? a : other.a;
        if (otherPt) *otherPt = p;
        return p;
    }
    float3 best = ClosestPoint(other.a);
    float3 partner = other.a;
    float bestDistSq = best.DistanceSq(other.a);
    for (const float3 *v : {&other.b, &other.c}) {
        const float3 p = ClosestPoint(*v);
        const float dsq = p.DistanceSq(*v);
        if (dsq < bestDistSq) {
            best = p;
            partner = *v;
            bestDistSq = dsq;
        }
    }
    // The nearest pair can also join a vertex of this triangle to the other's face.
    for (const float3 *v : {&a, &b, &c}) {
        const float3 p = other.ClosestPoint(*v);
        const float dsq = v->DistanceSq(p);
        if (dsq < bestDistSq) {
            best = *v;
            partner = p;
            bestDistSq = dsq;
        }
    }
    const LineSegment mine[3] = {LineSegment(a, b), LineSegment(a, c), LineSegment(b, c)};
    const LineSegment theirs[3] = {LineSegment(other.a, other.b), LineSegment(other.a, other.c),
                                   LineSegment(other.b, other.c)};
    for (const LineSegment &e1 : mine) {
        for (const LineSegment &e2 : theirs) {
            float s, t;
            const float e = e1.Distance(e2, s, t);
            if (e * e < bestDistSq) {
                best = e1.GetPoint(s);
                partner = e2.GetPoint(t);
                bestDistSq = e * e;
            }
        }
    }
    if (otherPt) *otherPt = partner;
    return best;
}

float3 Triangle::ClosestPointToTriangleEdge(const LineSegment &segment, float *outU, float *outV,
                                            float *outD) const {
    return ClosestEdgePoint(*this, segment, outU, outV, outD);
}

float3 Triangle::ClosestPointToTriangleEdge(const Line &line, float *outU, float *outV,
                                            float *outD) const {
    return ClosestEdgePoint(*this, line, outU, outV, outD);
}

namespace {

// The vector operations of IntersectLineTri, written where the compiler inlines them: the
// triangle mesh calls it once per triangle. Same operation order as float3's members.
struct Vec {
    float x, y, z;
    explicit Vec(const float3 &p) : x(p.x), y(p.y), z(p.z) {}
    Vec(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vec operator-(const Vec &o) const { return Vec(x - o.x, y - o.y, z - o.z); }
    float Dot(const Vec &o) const { return (x * o.x + y * o.y) + z * o.z; }
    Vec Cross(const Vec &o) const { return Vec(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x); }
};

}  // namespace

float Triangle::IntersectLineTri(const float3 &linePos, const float3 &lineDir, const float3 &c0,
                                 const float3 &c1, const float3 &c2, float &u, float &v) {
    const Vec a(c0);
    const Vec dir(lineDir);
    const Vec e1 = Vec(c1) - a;
    const Vec e2 = Vec(c2) - a;
    const Vec q = dir.Cross(e2);
    const float det = e1.Dot(q);
    if (std::fabs(det) <= 1e-4f) return kInf;
    const float r = 1.f / det;
    const Vec s = Vec(linePos) - a;
    u = s.Dot(q) * r;
    if (u < -1e-4f || u > 1.0001f) return kInf;
    const Vec q2 = s.Cross(e1);
    v = dir.Dot(q2) * r;
    if (v < -1e-4f || u + v > 1.0001f) return kInf;
    return e2.Dot(q2) * r;
}

bool Triangle::Intersects(const LineSegment &segment, float *d, float3 *intersectionPoint) const {
    float u, v;
    const float t = IntersectLineTri(segment.a, segment.b - segment.a, a, b, c, u, v);
    return ReportHit(t >= 0.f && t <= 1.f, t, segment, d, intersectionPoint);
}

bool Triangle::Intersects(const Line &line, float *d, float3 *intersectionPoint) const {
    float u, v;
    const float t = IntersectLineTri(line.pos, line.dir, a, b, c, u, v);
    return ReportHit(t < kInf, t, line, d, intersectionPoint);
}

bool Triangle::Intersects(const Ray &ray, float *d, float3 *intersectionPoint) const {
    float u, v;
    const float t = IntersectLineTri(ray.pos, ray.dir, a, b, c, u, v);
    return ReportHit(t >= 0.f && t < kInf, t, ray, d, intersectionPoint);
}

bool Triangle::Intersects(const Plane &plane) const { return plane.Intersects(*this); }

bool Triangle::Intersects(const Triangle &other, LineSegment *outLine) const {
    const Plane p1 = PlaneCCW();
    const Plane p2 = other.PlaneCCW();
    if (p1.normal.Cross(p2.normal).IsZero(1e-7f)) {
        if (std::fabs(p1.normal.Dot(a) - p1.normal.Dot(other.a)) > 1e-4f) return false;
        if (other.Contains(a, kInf) || Contains(other.a, kInf)) return true;
        return CoplanarEdgesMeet(*this, other, p1.normal, outLine);
    }
    const float da = p2.SignedDistance(a);
    const float db = p2.SignedDistance(b);
    const float dc = p2.SignedDistance(c);
    const float ea = p1.SignedDistance(other.a);
    const float eb = p1.SignedDistance(other.b);
    const float ec = p1.SignedDistance(other.c);
    if (AllOnOneSide(ea, eb, ec) || AllOnOneSide(da, db, dc)) return false;
    Line line;
    if (!p1.Intersects(p2, &line)) return false;
    float lo1, hi1, lo2, hi2;
    LineInterval(line, *this, da, db, dc, lo1, hi1);
    LineInterval(line, other, ea, eb, ec, lo2, hi2);
    const float lo = lo1 > lo2 ? lo1 : lo2;
    const float hi = hi1 < hi2 ? hi1 : hi2;
    if (hi < lo) return false;
    if (outLine) *outLine = LineSegment(line.GetPoint(lo), line.GetPoint(hi));
    return true;
}

// Separating axes: the box's own axes, the triangle's normal and the nine cross products of
// the coordinate axes with the edges.
bool Triangle::Intersects(const AABB &box) const {
    const AABB bounds = BoundingAABB();
    for (int i = 0; i < 3; ++i)
        if (bounds.minCorner.At(i) >= box.maxCorner.At(i) || box.minCorner.At(i) >= bounds.maxCorner.At(i))
            return false;
    const float3 center = (box.minCorner + box.maxCorner) * 0.5f;
    const float3 h = box.maxCorner - center;
    const float3 edges[3] = {b - a, c - a, c - b};
    const float3 ac = a - center;
    const float3 bc = b - center;
    const float3 cc = c - center;
    const float3 n = edges[0].Cross(edges[1]);
    if (std::fabs(n.Dot(ac)) >= h.Dot(n.Abs())) return false;
    // The vertex that, with a, spans the triangle's extent along each cross axis.
    const float3 *other[3] = {&cc, &bc, &bc};
    for (const float3 &coordinateAxis : {float3::unitX, float3::unitY, float3::unitZ})
        for (int k = 0; k < 3; ++k) {
            const float3 axis = coordinateAxis.Cross(edges[k]);
            const float d1 = axis.Dot(ac);
            const float d2 = axis.Dot(*other[k]);
            const float tc = (d1 + d2) * 0.5f;
            const float r = h.Dot(axis.Abs());
            if (std::fabs(tc) >= r + std::fabs(tc - d1)) return false;
        }
    return true;
}

bool Triangle::Intersects(const OBB &box) const { return box.Intersects(*this); }

bool Triangle::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this, 0.001f); }

float3 Triangle::RandomPointInside(LCG &lcg) const {
    float s = lcg.Float(0.001f, 0.999f);
    float t = lcg.Float(0.001f, 0.999f);
    if (s + t >= 1.f) {
        s = 1.f - s;
        t = 1.f - t;
    }
    return Point(s, t);
}

float3 Triangle::RandomVertex(LCG &lcg) const { return Vertex(lcg.Int(0, 2)); }

float3 Triangle::RandomPointOnEdge(LCG &lcg) const {
    const float lab = a.Distance(b);
    const float lbc = b.Distance(c);
    const float lca = c.Distance(a);
    float r = lcg.Float(0.f, lab + lbc + lca);
    if (r < lab) return a + (b - a) * r / lab;
    r -= lab;
    if (r < lbc) return b + (c - b) * r / lbc;
    r -= lbc;
    return c + (a - c) * r / lca;
}

void Triangle::Translate(const float3 &offset) {
    a += offset;
    b += offset;
    c += offset;
}

void Triangle::Transform(const float3x3 &m) {
    TransformVertices(*this, [&m](float3 *v, int n) { m.BatchTransform(v, n); });
}

void Triangle::Transform(const float3x4 &m) {
    TransformVertices(*this, [&m](float3 *v, int n) { m.BatchTransformPos(v, n); });
}

void Triangle::Transform(const Quat &q) {
    a = q * a;
    b = q * b;
    c = q * c;
}

std::string Triangle::ToString() const {
    return FormatText("Triangle(a:(%.2f, %.2f, %.2f) b:(%.2f, %.2f, %.2f) c:(%.2f, %.2f, %.2f))",
                      PrintableFloat(a.x), PrintableFloat(a.y), PrintableFloat(a.z),
                      PrintableFloat(b.x), PrintableFloat(b.y), PrintableFloat(b.z),
                      PrintableFloat(c.x), PrintableFloat(c.y), PrintableFloat(c.z));
}

Triangle operator*(const float3x3 &m, const Triangle &triangle) { return matrix_map::TransformedCopy(m, triangle); }

Triangle operator*(const float3x4 &m, const Triangle &triangle) { return matrix_map::TransformedCopy(m, triangle); }

Triangle operator*(const Quat &q, const Triangle &triangle) { return matrix_map::TransformedCopy(q, triangle); }

std::ostream &operator<<(std::ostream &out, const Triangle &triangle) {
    return out << triangle.ToString();
}

bool LineSegment2DLineSegment2DIntersect(const float2 &p0, const float2 &dir0, const float2 &q0,
                                         const float2 &dir1, float &s, float &t) {
    const float2 e = q0 - p0;
    const float cross = dir0.PerpDot(dir1);
    const float lenSq0 = dir0.LengthSq();
    if (cross * cross > 1e-8f * lenSq0 * dir1.LengthSq()) {
        s = e.PerpDot(dir1) / cross;
        t = e.PerpDot(dir0) / cross;
        return s >= 0.f && s <= 1.f && t >= 0.f && t <= 1.f;
    }
    const float apart = e.PerpDot(dir0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (apart * apart > 1e-8f * lenSq0 * e.LengthSq()) {
        s = t = nan;
        return false;
    }
    const float s0 = dir0.Dot(e) / lenSq0;
    const float s1 = s0 + dir0.Dot(dir1) / lenSq0;
    float smin, smax;
    MinMax(s0, s1, smin, smax);
    if (smin > 1.f || smax < 0.f) {
        s = t = nan;
        return false;
    }
    if (smin >= 1.f) {
        s = t = 1.f;
    } else if (smax <= 0.f) {
        s = t = 0.f;
    } else {
        s = smin > 0.f ? smin : 0.f;
        t = smax < 1.f ? smax : 1.f;
    }
    return true;
}

int IntervalIntersection(float aMin, float aMax, float bMin, float bMax, float &s, float &t) {
    if (bMin > aMax || aMin > bMax) {
        s = t = std::numeric_limits<float>::quiet_NaN();
        return 0;
    }
    if (aMax <= bMin) {
        s = t = aMax;
        return 1;
    }
    if (bMax <= aMin) {
        s = t = aMin;
        return 1;
    }
    s = aMin > bMin ? aMin : bMin;
    t = aMax < bMax ? aMax : bMax;
    return 2;
}

void FindIntersectingLineSegments(const Triangle &t, float da, float db, float dc, LineSegment &s1,
                                  LineSegment &s2) {
    if (da * db > 0.f) {
        s1 = LineSegment(t.a, t.c);
        s2 = LineSegment(t.b, t.c);
    } else if (db * dc > 0.f) {
        s1 = LineSegment(t.a, t.b);
        s2 = LineSegment(t.a, t.c);
    } else {
        s1 = LineSegment(t.a, t.b);
        s2 = LineSegment(t.b, t.c);
    }
}

bool RangesOverlap(float start1, float end1, float start2, float end2) {
    return end2 >= start1 && end1 >= start2;
}

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Triangle::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
Triangle operator*(const float4x4 &m, const Triangle &triangle) { return m.Float3x4Part() * triangle; }

// ---- Text forms ----

std::string Triangle::SerializeToString() const {
    const std::string text = detail::JoinVectors({a, b, c}, &float3::SerializeToString, ",");
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/Triangle", 1970);
    return text;
}

std::string Triangle::SerializeToCodeString() const {
    return "Triangle(" + detail::JoinVectors({a, b, c}, &float3::SerializeToCodeString, ",") + ")";
}

Triangle Triangle::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<Triangle>(str, outEnd, "Triangle(", {"a:(", " b:(", " c:("});
}

// A member of the point, defined beside the shape it needs: the vector types do not depend on
// the shapes.
float float3::Distance(const Triangle &triangle) const { return triangle.Distance(*this); }

}  // namespace math
