#include "Geometry/Polygon.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "Algorithm/GJK.h"
#include "Algorithm/Random/LCG.h"
#include "Geometry/AABB.h"
#include "Geometry/BoxNumbering.h"
#include "Geometry/ExtremePoint.h"
#include "Geometry/Frustum.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/NearestPair.h"
#include "Geometry/OBB.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Math/Assume.h"
#include "Math/MathFunc.h"
#include "Math/Quat.h"
#include "Math/TextForms.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

LineSegment NaNSegment() { return LineSegment(float3::nan, float3::nan); }

// A single vertex answers every index with its zero-length edge; an empty polygon has no edge.
bool HasEdge(const Polygon &polygon, int i) {
    const int n = polygon.NumVertices();
    return n == 1 || (i >= 0 && i < n);
}

// The 2D frame of a polygon with at least one vertex, derived once for a whole operation.
struct Frame {
    float3 origin;
    float3 u;
    float3 v;

    float2 Map(const float3 &p) const {
        const float3 d = p - origin;
        return float2(d.Dot(u), d.Dot(v));
    }
};

float3 BasisVFor(const Polygon &polygon, const float3 &u) {
    if (polygon.NumVertices() < 2) return float3::unitY;
    return polygon.NormalCCW().Cross(u).Normalized();
}

Frame MakeFrame(const Polygon &polygon) {
    const float3 u = polygon.BasisU();
    return Frame{polygon.vertices[0], u, BasisVFor(polygon, u)};
}

std::vector<float2> MapVertices(const Polygon &polygon, const Frame &frame) {
    std::vector<float2> points;
    points.reserve(polygon.vertices.size());
    for (const float3 &v : polygon.vertices) points.push_back(frame.Map(v));
    return points;
}

float3 MappedVertex3(const Polygon &polygon, const Frame &frame, int i) {
    const float2 q = i >= 0 && i < polygon.NumVertices() ? frame.Map(polygon.vertices[i]) : float2::nan;
    return float3(q.x, q.y, 0.f);
}

LineSegment Edge2DIn(const Polygon &polygon, const Frame &frame, int i) {
    return LineSegment(MappedVertex3(polygon, frame, i),
                       MappedVertex3(polygon, frame, (i + 1) % polygon.NumVertices()));
}

// The first vertex triple that spans a plane. Besides the absolute bound, the corner must not
// be nearly straight: float noise on a vertex that splits an edge clears any absolute bound.
bool FirstCornerPlane(const std::vector<float3> &v, Plane &out) {
    const int n = static_cast<int>(v.size());
    for (int i = 0; i + 2 < n; ++i) {
        for (int j = i + 1; j + 1 < n; ++j) {
            const float3 e1 = v[j] - v[i];
            for (int k = j + 1; k < n; ++k) {
                const float3 e2 = v[k] - v[i];
                const float3 c = e1.Cross(e2);
                const float lengthSq = c.LengthSq();
                if (lengthSq > 1e-8f &&
                    lengthSq > 1e-6 * static_cast<double>(e1.LengthSq()) * e2.LengthSq()) {
                    const float3 normal = c * (1.f / c.Length());
                    out = Plane(normal, normal.Dot(v[i]));
                    return true;
                }
            }
        }
    }
    return false;
}

// A reflex first corner would turn the normal away from the side the outline runs
// counter-clockwise from: the summed fan cross products tell the winding.
void OrientCounterClockwise(const std::vector<float3> &v, Plane &plane) {
    float3 sum = float3::zero;
    for (size_t i = 1; i < v.size(); ++i) sum += (v[i - 1] - v[0]).Cross(v[i] - v[0]);
    if (plane.normal.Dot(sum) < 0.f) plane.ReverseNormal();
}

Plane PlaneThroughTwoPoints(const float3 &p0, const float3 &p1) {
    const float3 dir = (p1 - p0).Normalized();
    return Plane(Line(p0, dir), dir.Perpendicular(float3::unitY, float3::unitZ));
}

double ShoelaceSum(const std::vector<float2> &p) {
    double sum = 0;
    for (size_t k = 0, prev = p.size() - 1; k < p.size(); prev = k++)
        sum += static_cast<double>(p[prev].x) * p[k].y - static_cast<double>(p[prev].y) * p[k].x;
    return sum;
}

// The turn of three vertices as seen along the frame normal, taken from the 3D vertices in
// double: differences of floats and their products are exact there, so vertices that lie in
// one line in 3D give exactly 0, which the rounded 2D map does not preserve.
class OutlineTurns {
public:
    OutlineTurns(const std::vector<float3> &v, const float3 &normal)
        : v_(v), normal_{normal.x, normal.y, normal.z} {}

    double operator()(int a, int b, int c) const {
        const Exact3 e = Difference(b, a), f = Difference(c, a);
        return normal_.x * (e.y * f.z - e.z * f.y) + normal_.y * (e.z * f.x - e.x * f.z) +
               normal_.z * (e.x * f.y - e.y * f.x);
    }

private:
    struct Exact3 {
        double x, y, z;
    };
    Exact3 Difference(int b, int a) const {
        return {static_cast<double>(v_[b].x) - v_[a].x, static_cast<double>(v_[b].y) - v_[a].y,
                static_cast<double>(v_[b].z) - v_[a].z};
    }

    const std::vector<float3> &v_;
    Exact3 normal_;
};

// A chain of the outline can lie wholly inside a candidate ear while crossing none of the edges
// the ear test looks at: any remaining vertex inside rules the ear out. So does one on the new
// diagonal, which clipping would leave as a point where the rest of the outline touches itself;
// vertices on the ear's two outline edges (repeats, straight-through vertices) do not.
bool HoldsOtherVertex(const OutlineTurns &turn, const std::vector<int> &index, int i0, int i1, int i2) {
    const int a = index[i0], b = index[i1], c = index[i2];
    for (int k = 0; k < static_cast<int>(index.size()); ++k) {
        if (k == i0 || k == i1 || k == i2) continue;
        const int q = index[k];
        if (turn(a, b, q) > 0 && turn(b, c, q) > 0 && turn(c, a, q) >= 0) return true;
    }
    return false;
}

bool IsClippableEar(const std::vector<float2> &p, const std::vector<int> &index, const OutlineTurns &turn,
                    int i0, int i1, int i2) {
    return turn(index[i0], index[i1], index[i2]) >= 0 && IsAnEar(p, i0, i2) &&
           !HoldsOtherVertex(turn, index, i0, i1, i2);
}

// Every step of the loop below scans the whole outline, so one check per few steps costs
// nothing and still comes within a fraction of a millisecond on the largest outlines.
constexpr int kStepsPerCheck = 16;

// Ear clipping over the outline p, counter-clockwise in 2D and seen along the normal;
// index[k] names the vertex of p[k].
void ClipEars(std::vector<float2> &p, std::vector<int> &index, const std::vector<float3> &v,
              const float3 &normal, const CancelCheck &check, std::vector<Triangle> &out) {
    const OutlineTurns turn(v, normal);
    int m = static_cast<int>(p.size());
    int i0 = 0, i1 = 1, i2 = 2, failures = 0, turns = 0, steps = 0;
    while (m >= 4) {
        if (check && ++steps == kStepsPerCheck) {
            steps = 0;
            check();
        }
        if (failures >= m) {
            // The ear test never accepts the corners at positions 0, m-2 and m-1: turn the outline
            // so that every corner comes to position 1. A full turn without an ear means the
            // outline crosses itself.
            if (turns >= m) break;
            std::rotate(p.begin(), p.begin() + 1, p.end());
            std::rotate(index.begin(), index.begin() + 1, index.end());
            i0 = 0, i1 = 1, i2 = 2, failures = 0;
            ++turns;
            continue;
        }
        if (IsClippableEar(p, index, turn, i0, i1, i2)) {
            out.emplace_back(v[index[i0]], v[index[i1]], v[index[i2]]);
            p.erase(p.begin() + i1);
            index.erase(index.begin() + i1);
            --m;
            failures = turns = 0;
            if (i0 > 0) {  // step back to the corner before the removed vertex
                i0 = (i0 + m - 1) % m;
                i1 = (i1 + m - 1) % m;
                i2 = (i2 + m - 1) % m;
            }
        } else {
            i0 = i1;
            i1 = i2;
            i2 = (i2 + 1) % m;
            ++failures;
        }
    }
    if (m == 3) out.emplace_back(v[index[0]], v[index[1]], v[index[2]]);
}

float3 ClosestWithPartner(const Triangle &t, const float3 &p, float3 &partner) {
    partner = p;
    return t.ClosestPoint(p);
}

float3 ClosestWithPartner(const Triangle &t, const LineSegment &s, float3 &partner) {
    return t.ClosestPoint(s, &partner);
}

// The closest pair over the triangles, the earliest triangle winning ties.
template <typename Query>
float3 ClosestOverTriangles(const std::vector<Triangle> &triangles, const Query &query, float3 *outPartner) {
    return NearestPair(triangles.size(), [&](size_t i, float3 &partner) {
        return ClosestWithPartner(triangles[i], query, partner);
    }, outPartner);
}

int CornerCount(const Polygon &polygon) { return polygon.NumVertices(); }
int CornerCount(const Triangle &) { return 3; }

// Where the segment crosses the plane (its 0..1 parameter), the crossing point lies in shape.
template <typename Shape>
bool SegmentHitsInside(const LineSegment &s, const Plane &plane, const Shape &shape) {
    float t;
    if (!Plane::IntersectLinePlane(plane.normal, plane.d, s.a, s.b - s.a, t)) return false;
    return t >= 0.f && t <= 1.f && shape.Contains(s.GetPoint(t), 1e-5f);
}

template <typename Edges, typename Inside>
bool AnyEdgeHitsInside(const Edges &edges, const Plane &plane, const Inside &inside) {
    for (int i = 0; i < CornerCount(edges); ++i)
        if (SegmentHitsInside(edges.Edge(i), plane, inside)) return true;
    return false;
}

// Parallel planes: the outlines, taken edge by edge from the previous vertex, cross in 2D.
template <typename Shape>
bool OutlinesCross(const Polygon &a, const Shape &b, const float3 &normal, const float3 &origin) {
    float3 u, w;
    normal.PerpendicularBasis(u, w);
    auto map = [&](const float3 &x) { return float2(u.Dot(x - origin), w.Dot(x - origin)); };
    const int na = a.NumVertices();
    const int nb = CornerCount(b);
    for (int i = 0; i < na; ++i) {
        const float2 startA = map(a.Vertex((i + na - 1) % na));
        const float2 dirA = map(a.Vertex(i)) - startA;
        for (int j = 0; j < nb; ++j) {
            const float2 startB = map(b.Vertex((j + nb - 1) % nb));
            float s, t;
            if (LineSegment2DLineSegment2DIntersect(startA, dirA, startB, map(b.Vertex(j)) - startB, s, t))
                return true;
        }
    }
    return false;
}

template <typename Shape>
bool Polygon_Intersects_Polygon(const Polygon &a, const Shape &b, float polygonThickness) {
    const Plane planeA = a.PlaneCCW();
    const Plane planeB = b.PlaneCCW();
    if (planeA.normal.Cross(planeB.normal).IsZero(1e-7f)) {
        const float3 firstA = a.Vertex(0);
        const float3 firstB = b.Vertex(0);
        if (std::fabs(planeA.normal.Dot(firstA) - planeA.normal.Dot(firstB)) > polygonThickness)
            return false;
        if (b.Contains(firstA, kInf) || a.Contains(firstB, kInf)) return true;
        return OutlinesCross(a, b, planeA.normal, firstA);
    }
    return AnyEdgeHitsInside(b, planeA, a) || AnyEdgeHitsInside(a, planeB, b);
}

// Box is AABB, OBB or Frustum: the tests differ only in the box's own segment test and edges.
// An empty polygon has no edge to meet.
template <typename Box>
bool ConvexIntersectsPolygon(const Box &box, const Polygon &polygon) {
    const int n = polygon.NumVertices();
    for (int i = 0; i < n; ++i) {
        const float3 &previous = polygon.vertices[i == 0 ? n - 1 : i - 1];
        if (box.Intersects(LineSegment(previous, polygon.vertices[i]))) return true;
    }
    for (int k = 0; k < box::kNumEdges; ++k)
        if (polygon.Intersects(box.Edge(k))) return true;
    return false;
}

}  // namespace

int Polygon::NumVertices() const { return static_cast<int>(vertices.size()); }

int Polygon::NumEdges() const { return NumVertices(); }

float3 Polygon::Vertex(int i) const {
    return i >= 0 && i < NumVertices() ? vertices[i] : float3::nan;
}

LineSegment Polygon::Edge(int i) const {
    if (!HasEdge(*this, i)) return NaNSegment();
    return LineSegment(vertices[i % NumVertices()], vertices[(i + 1) % NumVertices()]);
}

LineSegment Polygon::Edge2D(int i) const {
    const int n = NumVertices();
    if (n == 0) return NaNSegment();
    if (n == 1) return LineSegment(float3::zero, float3::zero);
    return Edge2DIn(*this, MakeFrame(*this), i);
}

LineSegment Polygon::Diagonal(int i, int j) const {
    const int n = NumVertices();
    if (i < 0 || j < 0 || i >= n || j >= n) return NaNSegment();
    return LineSegment(vertices[i], vertices[j]);
}

bool Polygon::DiagonalExists(int i, int j) const {
    const int n = NumVertices();
    if (i < 0 || j < 0 || n < 3 || i == j || i >= n || j >= n) return false;
    const int lo = std::min(i, j);
    const int hi = std::max(i, j);
    if (hi == lo + 1) return false;
    if (lo == 0 && hi == n - 1) return false;  // the closing edge
    const Plane plane = PlaneCCW();
    const LineSegment diagonal = plane.Project(LineSegment(vertices[lo], vertices[hi]));
    for (int e = 0; e < n; ++e) {
        if (e == (lo + n - 1) % n || e == lo || e == hi - 1 || e == hi) continue;
        if (plane.Project(Edge(e)).Intersects(diagonal, 0.001f)) return false;
    }
    return IsConvex();
}

float3 Polygon::EdgeNormal(int i) const {
    if (!HasEdge(*this, i)) return float3::nan;
    return Edge(i).Dir().Cross(NormalCCW()).Normalized();
}

Plane Polygon::EdgePlane(int i) const {
    if (!HasEdge(*this, i)) return Plane(float3::nan, kNaN);
    return Plane(Edge(i).a, EdgeNormal(i));
}

Plane Polygon::PlaneCCW() const {
    const int n = NumVertices();
    const std::vector<float3> &v = vertices;
    if (n == 0) return Plane(float3::nan, kNaN);
    if (n == 1) return Plane(v[0], float3::unitY);
    if (n == 3) return Plane(v[0], v[1], v[2]);
    Plane plane;
    if (n >= 4 && FirstCornerPlane(v, plane)) {
        OrientCounterClockwise(v, plane);
        return plane;
    }
    return PlaneThroughTwoPoints(v[0], v[1]);
}

Plane Polygon::PlaneCW() const {
    Plane plane = PlaneCCW();
    plane.ReverseNormal();
    return plane;
}

float3 Polygon::NormalCCW() const { return PlaneCCW().normal; }

float3 Polygon::NormalCW() const { return PlaneCW().normal; }

float3 Polygon::BasisU() const {
    const int n = NumVertices();
    if (n < 2) return float3::unitX;
    float3 u = vertices[1] - vertices[0];
    if (u.Normalize() > 0.f) return u;
    // Vertex 1 repeats vertex 0: (1, 0, 0) need not lie in the plane, so take the first
    // direction along the outline that does.
    for (int k = 2; k < n; ++k) {
        u = vertices[k] - vertices[0];
        if (u.Normalize() > 0.f) return u;
    }
    return NormalCCW().Perpendicular(float3::unitY, float3::unitZ);
}

float3 Polygon::BasisV() const { return BasisVFor(*this, BasisU()); }

float2 Polygon::MapTo2D(const float3 &p) const {
    if (vertices.empty()) return float2::nan;
    return MakeFrame(*this).Map(p);
}

float2 Polygon::MapTo2D(int i) const {
    if (i < 0 || i >= NumVertices()) return float2::nan;
    return MapTo2D(vertices[i]);
}

float3 Polygon::MapFrom2D(const float2 &q) const {
    if (vertices.empty()) return float3::nan;
    const Frame frame = MakeFrame(*this);
    return frame.origin + q.x * frame.u + q.y * frame.v;
}

bool Polygon::IsNull() const { return vertices.empty(); }

bool Polygon::IsFinite() const {
    for (const float3 &v : vertices)
        if (!v.IsFinite()) return false;
    return true;
}

bool Polygon::IsDegenerate(float epsilon) const { return NumVertices() < 3 || Area() <= epsilon; }

bool Polygon::IsPlanar(float epsilonSq) const {
    const int n = NumVertices();
    if (n == 0) return false;
    if (n < 4) return true;
    const float3 &v0 = vertices[0];
    const float3 normal = (vertices[1] - v0).Cross(vertices[2] - v0);
    const float bound = epsilonSq * normal.LengthSq();
    for (int i = 3; i < n; ++i) {
        const float d = normal.Dot(vertices[i] - v0);
        if (d * d > bound) return false;
    }
    return true;
}

bool Polygon::IsConvex() const {
    const int n = NumVertices();
    if (n == 0) return false;
    if (n <= 3) return true;
    const std::vector<float2> p = MapVertices(*this, MakeFrame(*this));
    for (int k = 0; k < n; ++k)
        if (!float2::OrientedCCW(p[(k + n - 2) % n], p[(k + n - 1) % n], p[k])) return false;
    return true;
}

bool Polygon::IsSimple() const {
    const int n = NumVertices();
    const Plane plane = PlaneCCW();
    std::vector<LineSegment> edges;
    edges.reserve(vertices.size());
    for (int i = 0; i < n; ++i) edges.push_back(plane.Project(Edge(i)));
    for (int i = 0; i < n; ++i) {
        for (int j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;  // they share vertex 0
            if (edges[i].Intersects(edges[j], 0.001f)) return false;
        }
    }
    return true;
}

bool Polygon::Equals(const Polygon &other) const {
    if (vertices.size() != other.vertices.size()) return false;
    for (size_t i = 0; i < vertices.size(); ++i)
        if (!vertices[i].Equals(other.vertices[i], 0.001f)) return false;
    return true;
}

bool Polygon::BitEquals(const Polygon &other) const {
    if (vertices.size() != other.vertices.size()) return false;
    for (size_t i = 0; i < vertices.size(); ++i)
        if (!vertices[i].BitEquals(other.vertices[i])) return false;
    return true;
}

float Polygon::Area() const {
    const int n = NumVertices();
    if (n < 3) return 0.f;
    float3 sum = float3::zero;
    for (int i = 0, prev = n - 1; i < n; prev = i++) sum += vertices[prev].Cross(vertices[i]);
    return 0.5f * std::fabs(NormalCCW().Dot(sum));
}

float Polygon::Perimeter() const {
    float perimeter = 0.f;
    for (int i = 0; i < NumEdges(); ++i) perimeter += Edge(i).Length();
    return perimeter;
}

float3 Polygon::Centroid() const {
    if (vertices.empty()) return float3::nan;
    float3 sum = float3::zero;
    for (const float3 &v : vertices) sum += v;
    return sum / static_cast<float>(NumVertices());
}

float3 Polygon::PointOnEdge(float t) const {
    if (vertices.empty()) return float3::nan;
    if (vertices.size() == 1) return vertices[0];
    float length = Frac(t) * Perimeter();
    for (int i = 0; i < NumEdges(); ++i) {
        const LineSegment edge = Edge(i);
        const float edgeLength = edge.Length();
        if (edgeLength >= length) return edge.GetPoint(length / edgeLength);
        length -= edgeLength;
    }
    return vertices[0];
}

float3 Polygon::RandomPointOnEdge(LCG &lcg) const { return PointOnEdge(lcg.Float()); }

float3 RandomPointInTriangles(const std::vector<Triangle> &triangles, LCG &lcg) {
    if (triangles.empty()) return float3::nan;
    const int k = lcg.Int(0, static_cast<int>(triangles.size()) - 1);
    return triangles[k].RandomPointInside(lcg);
}

float3 Polygon::FastRandomPointInside(LCG &lcg) const { return RandomPointInTriangles(Triangulate(), lcg); }

float3 Polygon::ExtremePoint(const float3 &direction) const {
    float unused;
    return ExtremePoint(direction, unused);
}

float3 Polygon::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    return FarthestAlong(vertices.data(), vertices.size(), direction, projectionDistance);
}

void Polygon::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    outMin = ExtremePoint(-direction).Dot(direction);
    outMax = ExtremePoint(direction).Dot(direction);
}

std::vector<Triangle> Polygon::Triangulate() const { return Triangulate(CancelCheck{}); }

std::vector<Triangle> Polygon::Triangulate(const CancelCheck &check) const {
    const int n = NumVertices();
    std::vector<Triangle> triangles;
    if (n < 3) return triangles;
    if (n == 3) {
        triangles.emplace_back(vertices[0], vertices[1], vertices[2]);
        return triangles;
    }
    const Frame frame = MakeFrame(*this);
    std::vector<float2> p = MapVertices(*this, frame);
    // Ear clipping needs the outline counter-clockwise in 2D; negating y is exact.
    float3 normal = frame.u.Cross(frame.v);
    if (ShoelaceSum(p) < 0) {
        for (float2 &q : p) q.y = -q.y;
        normal = -normal;
    }
    std::vector<int> index(vertices.size());
    for (int k = 0; k < n; ++k) index[k] = k;
    ClipEars(p, index, vertices, normal, check, triangles);
    return triangles;
}

float3 ClosestPointOnTriangles(const std::vector<Triangle> &triangles, const float3 &p) {
    return ClosestOverTriangles(triangles, p, nullptr);
}

float3 Polygon::ClosestPoint(const float3 &p) const { return ClosestPointOnTriangles(Triangulate(), p); }

float3 Polygon::ClosestPoint(const LineSegment &segment, float3 *outSegmentPos) const {
    return ClosestOverTriangles(Triangulate(), segment, outSegmentPos);
}

float3 Polygon::ClosestPoint(const LineSegment &segment) const { return ClosestPoint(segment, nullptr); }

float Polygon::Distance(const float3 &p) const { return ClosestPoint(p).Distance(p); }

bool Polygon::Contains(const float3 &p, float thicknessSq) const {
    return NumVertices() >= 3 && Contains(p, thicknessSq, ContainmentAxes());
}

PolygonAxes Polygon::ContainmentAxes() const {
    const float3 u = BasisU();
    return PolygonAxes{u, BasisVFor(*this, u)};
}

bool Polygon::Contains(const float3 &p, float thicknessSq, const PolygonAxes &axes) const {
    const int n = NumVertices();
    if (n < 3) return false;
    const float3 &u = axes.u;
    const float3 &v = axes.v;
    const float planeDist = u.Cross(v).Dot(vertices[0] - p);
    if (planeDist * planeDist > thicknessSq) return false;
    // Relative to p; a vertex on the test ray counts as lying just below it.
    auto relative = [&](const float3 &x) {
        const float3 d = x - p;
        float2 q(d.Dot(u), d.Dot(v));
        if (std::fabs(q.y) < 1e-4f) q.y = -1e-4f;
        return q;
    };
    int crossings = 0;
    float2 prev = relative(vertices[n - 1]);
    for (const float3 &vertex : vertices) {
        const float2 cur = relative(vertex);
        if (prev.y * cur.y < 0.f) {
            if (prev.x > 0.f && cur.x > 0.f) {
                ++crossings;
            } else if (std::max(prev.x, cur.x) > 0.f && cur.y - prev.y != 0.f) {
                const float t = -prev.y / (cur.y - prev.y);
                const float x = prev.x + (cur.x - prev.x) * t;
                if (t >= 0.f && t <= 1.f && x > 0.f) ++crossings;
            }
        }
        prev = cur;
    }
    return crossings % 2 == 1;
}

bool Polygon::Contains(const Polygon &other, float thicknessSq) const {
    for (const float3 &v : other.vertices)
        if (!Contains(v, thicknessSq)) return false;
    return true;
}

bool Polygon::Contains(const LineSegment &segment, float thickness) const {
    if (NumVertices() < 3) return false;
    const Plane plane = PlaneCCW();
    if (plane.Distance(segment.a) > thickness || plane.Distance(segment.b) > thickness) return false;
    const LineSegment projected = plane.Project(segment);
    if (!Contains(projected.a, 1e-5f) || !Contains(projected.b, 1e-5f)) return false;
    for (int i = 0; i < NumEdges(); ++i)
        if (plane.Project(Edge(i)).Intersects(projected, 0.001f)) return false;
    return true;
}

bool Polygon::Contains(const Triangle &triangle, float thickness) const {
    for (int k = 0; k < 3; ++k)
        if (!Contains(triangle.Edge(k), thickness)) return false;
    return true;
}

bool Polygon::Contains2D(const LineSegment &segment) const {
    if (NumVertices() < 3) return false;
    const Frame frame = MakeFrame(*this);
    for (int i = 0; i < NumEdges(); ++i)
        if (segment.Intersects(Edge2DIn(*this, frame, i), 0.001f)) return false;
    return true;
}

bool Polygon::Intersects(const Line &line) const {
    float t;
    if (!PlaneCCW().Intersects(line, &t)) return false;
    return Contains(line.GetPoint(t), 1e-5f);
}

bool Polygon::Intersects(const Ray &ray) const {
    float t;
    if (!PlaneCCW().Intersects(ray, &t)) return false;
    return Contains(ray.GetPoint(t), 1e-5f);
}

bool Polygon::Intersects(const LineSegment &segment) const {
    return SegmentHitsInside(segment, PlaneCCW(), *this);
}

AABB Polygon::MinimalEnclosingAABB() const { return AABB::MinimalEnclosingAABB(vertices.data(), NumVertices()); }

bool Polygon::Intersects(const Plane &plane) const {
    if (vertices.empty()) return false;
    float lo = plane.SignedDistance(vertices[0]);
    float hi = lo;
    for (const float3 &v : vertices) {
        const float d = plane.SignedDistance(v);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    return lo <= 1e-4f && hi >= -1e-4f;
}

bool Polygon::Intersects(const Polygon &other, float polygonThickness) const {
    return Polygon_Intersects_Polygon(*this, other, polygonThickness);
}

bool Polygon::Intersects(const Triangle &triangle, float polygonThickness) const {
    return Polygon_Intersects_Polygon(*this, triangle, polygonThickness);
}

void Polygon::Translate(const float3 &offset) {
    for (float3 &v : vertices) v += offset;
}

void Polygon::Transform(const float3x3 &m) { m.BatchTransform(vertices.data(), NumVertices()); }

void Polygon::Transform(const float3x4 &m) { m.BatchTransformPos(vertices.data(), NumVertices()); }

void Polygon::Transform(const Quat &q) {
    for (float3 &v : vertices) v = q * v;
}

std::string Polygon::ToString() const {
    if (vertices.empty()) return "Polygon(0 vertices)";
    std::ostringstream text;
    text << "Polygon(" << NumVertices() << " vertices:";
    for (size_t i = 0; i < vertices.size(); ++i) text << (i ? "," : "") << vertices[i];
    text << ")";
    return text.str();
}

Polygon operator*(const float3x3 &m, const Polygon &polygon) { return matrix_map::TransformedCopy(m, polygon); }

Polygon operator*(const float3x4 &m, const Polygon &polygon) { return matrix_map::TransformedCopy(m, polygon); }

Polygon operator*(const Quat &q, const Polygon &polygon) { return matrix_map::TransformedCopy(q, polygon); }

bool Convex_Intersects_Polygon(const AABB &box, const Polygon &polygon) {
    return ConvexIntersectsPolygon(box, polygon);
}

bool Convex_Intersects_Polygon(const OBB &box, const Polygon &polygon) {
    return ConvexIntersectsPolygon(box, polygon);
}

bool Convex_Intersects_Polygon(const Frustum &frustum, const Polygon &polygon) {
    return ConvexIntersectsPolygon(frustum, polygon);
}

bool IntersectLineLine2D(const float2 &a1, const float2 &a2, const float2 &b1, const float2 &b2,
                         float2 &out) {
    const float2 da = a2 - a1;
    const float2 db = b2 - b1;
    const float den = da.x * db.y - da.y * db.x;
    if (std::fabs(den) < 1e-4f) return false;
    const float2 w = a1 - b1;
    const float r = 1.f / den;
    out.x = (db.x * w.y - db.y * w.x) * r;
    out.y = (da.x * w.y - da.y * w.x) * r;
    return true;
}

bool IntersectLineSegmentLineSegment2D(const float2 &a1, const float2 &a2, const float2 &b1,
                                       const float2 &b2, float2 &out) {
    if (!IntersectLineLine2D(a1, a2, b1, b2, out)) return false;
    return out.x >= 0.f && out.x <= 1.f && out.y >= 0.f && out.y <= 1.f;
}

bool IsAnEar(const std::vector<float2> &points, int i, int j) {
    const int m = static_cast<int>(points.size());
    if (i < 0 || j < 0 || i >= m || j >= m) return false;
    float2 unused;
    auto meets = [&](int k0, int k1) {
        return IntersectLineSegmentLineSegment2D(points[i], points[j], points[k0], points[k1], unused);
    };
    if (i > 0) {
        if (meets(m - 1, 0)) return false;
        for (int k = 1; k < i; ++k)
            if (meets(k - 1, k)) return false;
    }
    for (int k = j + 1; k <= m - 2; ++k)
        if (meets(k, k + 1)) return false;
    return true;
}

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void Polygon::Transform(const float4x4 &m) { Transform(m.Float3x4Part()); }
Polygon operator*(const float4x4 &m, const Polygon &polygon) { return m.Float3x4Part() * polygon; }

// ---- Solid forms and the GJK tests ----

float3 Polygon::StartingPoint() const { return vertices.empty() ? float3::nan : vertices[0]; }

bool Polygon::ConvexIntersects(const AABB &aabb) const { return GJKIntersect(*this, aabb); }

bool Polygon::ConvexIntersects(const OBB &obb) const { return GJKIntersect(*this, obb); }

bool Polygon::ConvexIntersects(const Frustum &frustum) const { return GJKIntersect(*this, frustum); }

// The edge tests run only once GJK reports contact.
bool Polygon::Intersects(const AABB &aabb) const {
    return ConvexIntersects(aabb) && Convex_Intersects_Polygon(aabb, *this);
}

bool Polygon::Intersects(const OBB &obb) const { return ConvexIntersects(obb) && Convex_Intersects_Polygon(obb, *this); }

bool Polygon::Intersects(const Frustum &frustum) const {
    return ConvexIntersects(frustum) && Convex_Intersects_Polygon(frustum, *this);
}

// ---- Text forms ----

std::string Polygon::SerializeToString() const {
    std::string text = "(";
    for (size_t i = 0; i < vertices.size(); ++i) text += (i ? ",(" : "(") + vertices[i].SerializeToString() + ")";
    return text + ")";
}

Polygon Polygon::FromString(const char *str, const char **outEnd) {
    Polygon polygon;
    if (str == nullptr) return polygon;
    str = detail::SkipPrefix(detail::SkipPrefix(str, "Polygon"), "(");
    // Each vertex consumes at least its "," or "(", so the loop ends.
    while (*str == ',' || *str == '(') {
        if (*str == ',') ++str;
        polygon.vertices.push_back(float3::FromString(str, &str));
    }
    str = detail::SkipPrefix(str, ")");
    if (outEnd) *outEnd = str;
    return polygon;
}

}  // namespace math
