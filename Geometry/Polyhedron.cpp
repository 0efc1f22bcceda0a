#include "Geometry/Polyhedron.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <sstream>

#include "Geometry/Line.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/PolyhedronEdges.h"
#include "Math/Assume.h"
#include "Math/MathLog.h"
#include "Math/Quat.h"
#include "Math/float3x3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

using IndexPair = std::pair<int, int>;
using polyhedron_edges::ForEachDirectedEdge;

// The faces of a box polyhedron over the shared corner numbering, -X +X -Y +Y -Z +Z.
const int kBoxFaces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {7, 6, 2, 3}, {0, 2, 6, 4}, {1, 5, 7, 3}};

template <typename Box>
Polyhedron BoxPolyhedron(const Box &box) {
    Polyhedron p;
    for (int i = 0; i < 8; ++i) p.v.push_back(box.CornerPoint(i));
    for (const int(&face)[4] : kBoxFaces) p.f.push_back(Polyhedron::Face{std::vector<int>(face, face + 4)});
    return p;
}

// The face's first `count` vertices, or null when the face index or one of those vertex
// indices is out of range, or the face has fewer indices than asked for.
const Polyhedron::Face *FaceWithVertices(const Polyhedron &p, int faceIndex, size_t count) {
    if (faceIndex < 0 || static_cast<size_t>(faceIndex) >= p.f.size()) return nullptr;
    const Polyhedron::Face &face = p.f[faceIndex];
    if (face.v.size() < count) return nullptr;
    for (size_t k = 0; k < count; ++k)
        if (face.v[k] < 0 || static_cast<size_t>(face.v[k]) >= p.v.size()) return nullptr;
    return &face;
}

const Polyhedron::Face *ReadableFace(const Polyhedron &p, int faceIndex) {
    if (faceIndex < 0 || static_cast<size_t>(faceIndex) >= p.f.size()) return nullptr;
    const size_t size = p.f[faceIndex].v.size();
    if (size == 0) return nullptr;
    return FaceWithVertices(p, faceIndex, std::min<size_t>(size, 3));
}

// The direction that a two-index face's plane and normal lean towards.
float3 TwoIndexHint(const float3 &a, const float3 &b) { return (a - b).Perpendicular(float3::unitY, float3::unitZ); }

}  // namespace

void Polyhedron::Face::FlipWindingOrder() { std::reverse(v.begin(), v.end()); }

std::string Polyhedron::Face::ToString() const {
    std::ostringstream text;
    for (size_t i = 0; i < v.size(); ++i) text << (i ? ", " : "") << v[i];
    return text.str();
}

Polyhedron::Face Polyhedron::Face::FromString(const char *str) {
    Face face;
    if (!str) return face;
    const char *p = str;
    while (*p) {
        char *end = nullptr;
        const long index = std::strtol(p, &end, 10);
        if (end == p) break;  // neither a number nor a separator: nothing more to read
        face.v.push_back(static_cast<int>(index));
        p = end;
        while (*p == ',' || *p == ' ') ++p;
    }
    return face;
}

float3 Polyhedron::Vertex(int vertexIndex) const {
    if (vertexIndex < 0 || static_cast<size_t>(vertexIndex) >= v.size()) return float3::nan;
    return v[vertexIndex];
}

int Polyhedron::NumEdges() const {
    size_t indices = 0;
    for (const Face &face : f) indices += face.v.size();
    return static_cast<int>(indices / 2);
}

std::vector<std::pair<int, int>> Polyhedron::EdgeIndices() const {
    std::set<IndexPair> edges;
    for (const Face &face : f) {
        if (face.v.size() < 3) continue;
        ForEachDirectedEdge(face, [&](int a, int b) { edges.insert(IndexPair(std::min(a, b), std::max(a, b))); });
    }
    return std::vector<IndexPair>(edges.begin(), edges.end());
}

std::vector<LineSegment> Polyhedron::Edges() const {
    std::vector<LineSegment> segments;
    for (const IndexPair &e : EdgeIndices()) segments.push_back(LineSegment(Vertex(e.first), Vertex(e.second)));
    return segments;
}

LineSegment Polyhedron::Edge(int edgeIndex) const {
    const std::vector<LineSegment> segments = Edges();
    if (edgeIndex < 0 || static_cast<size_t>(edgeIndex) >= segments.size()) return LineSegment(float3::nan, float3::nan);
    return segments[edgeIndex];
}

Polygon Polyhedron::FacePolygon(int faceIndex) const {
    Polygon polygon;
    if (faceIndex < 0 || static_cast<size_t>(faceIndex) >= f.size()) return polygon;
    for (int index : f[faceIndex].v) polygon.vertices.push_back(Vertex(index));
    return polygon;
}

std::vector<Polygon> Polyhedron::Faces() const {
    std::vector<Polygon> polygons;
    for (size_t i = 0; i < f.size(); ++i) polygons.push_back(FacePolygon(static_cast<int>(i)));
    return polygons;
}

Plane Polyhedron::FacePlane(int faceIndex) const {
    const Face *face = ReadableFace(*this, faceIndex);
    if (!face) return Plane(float3::nan, kNaN);
    const std::vector<int> &i = face->v;
    if (i.size() >= 3) return Plane(v[i[0]], v[i[1]], v[i[2]]);
    // The line keeps the second vertex as its direction, not the edge: a malformed two-index
    // face gets a plane through its first vertex only.
    if (i.size() == 2) return Plane(Line(v[i[0]], v[i[1]]), TwoIndexHint(v[i[0]], v[i[1]]));
    return Plane(v[i[0]], float3::unitY);
}

float3 Polyhedron::FaceNormal(int faceIndex) const {
    const Face *face = ReadableFace(*this, faceIndex);
    if (!face) return float3::nan;
    const std::vector<int> &i = face->v;
    if (i.size() >= 3) return (v[i[1]] - v[i[0]]).Cross(v[i[2]] - v[i[0]]).Normalized();
    if (i.size() == 2) {
        const float3 p = TwoIndexHint(v[i[0]], v[i[1]]);
        return (v[i[1]] - v[i[0]]).Cross(p - v[i[0]]).Normalized();
    }
    return float3::unitY;
}

int Polyhedron::ExtremeVertex(const float3 &direction) const {
    int best = -1;
    float bestDot = -3.4028235e38f;
    for (size_t i = 0; i < v.size(); ++i) {
        const float d = direction.Dot(v[i]);
        if (d > bestDot) {
            bestDot = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

float3 Polyhedron::ExtremePoint(const float3 &direction) const { return Vertex(ExtremeVertex(direction)); }

void Polyhedron::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    outMin = ExtremePoint(-direction).Dot(direction);
    outMax = ExtremePoint(direction).Dot(direction);
}

int Polyhedron::NearestVertex(const float3 &point) const {
    float unused;
    return FindClosestVertex(point, unused);
}

int Polyhedron::FindClosestVertex(const float3 &point, float &outDistanceSq) const {
    int best = -1;
    outDistanceSq = kInf;
    for (size_t i = 0; i < v.size(); ++i) {
        const float d2 = v[i].DistanceSq(point);
        if (d2 < outDistanceSq) {
            outDistanceSq = d2;
            best = static_cast<int>(i);
        }
    }
    return best;
}

float3 Polyhedron::ApproximateConvexCentroid() const {
    if (v.empty()) return float3::nan;
    float3 sum = v[0];
    for (size_t i = 1; i < v.size(); ++i) sum += v[i];
    return sum / static_cast<float>(v.size());
}

// Sums tetrahedra from the vertex mean over a fan of every face.
float3 Polyhedron::ConvexCentroid() const {
    switch (v.size()) {
        case 0: return float3::nan;
        case 1: return v[0];
        case 2: return (v[0] + v[1]) / 2.f;
        case 3: return (v[0] + v[1] + v[2]) / 3.f;
        default: break;
    }
    const float3 c = ApproximateConvexCentroid();
    float3 sum = float3::zero;
    float total = 0.f;
    for (const Face &face : f) {
        if (face.v.size() < 3) continue;
        const float3 a = Vertex(face.v[0]);
        for (size_t k = 0; k + 2 < face.v.size(); ++k) {
            const float3 b = Vertex(face.v[k + 1]);
            const float3 d = Vertex(face.v[k + 2]);
            const float vol = std::fabs((a - c).Dot((b - c).Cross(d - c)));
            total += vol;
            sum += ((a + b + d + c) * 0.25f) * vol;
        }
    }
    return sum / total;
}

float Polyhedron::SurfaceArea() const {
    float area = 0.f;
    for (size_t i = 0; i < f.size(); ++i) area += FacePolygon(static_cast<int>(i)).Area();
    return area;
}

float Polyhedron::Volume() const {
    float sum = 0.f;
    for (size_t i = 0; i < f.size(); ++i) {
        const Polygon face = FacePolygon(static_cast<int>(i));
        sum += face.Vertex(0).Dot(face.NormalCCW()) * face.Area();
    }
    return std::fabs(sum) / 3.f;
}

AABB Polyhedron::MinimalEnclosingAABB() const {
    AABB box;
    box.SetNegativeInfinity();
    for (const float3 &p : v) box.Enclose(p);
    return box;
}

std::vector<Triangle> Polyhedron::Triangulate() const {
    std::vector<Triangle> triangles;
    for (size_t i = 0; i < f.size(); ++i) {
        const std::vector<Triangle> t = FacePolygon(static_cast<int>(i)).Triangulate();
        triangles.insert(triangles.end(), t.begin(), t.end());
    }
    return triangles;
}

bool Polyhedron::FaceIndicesValid() const {
    for (const Face &face : f) {
        if (face.v.size() < 3) return false;
        std::set<int> seen;
        for (int index : face.v) {
            if (index < 0 || static_cast<size_t>(index) >= v.size()) return false;
            if (!seen.insert(index).second) return false;
        }
    }
    return true;
}

bool Polyhedron::IsClosed() const {
    std::set<IndexPair> directed;
    for (const Face &face : f) {
        bool twice = false;
        ForEachDirectedEdge(face, [&](int a, int b) {
            if (twice || directed.insert(IndexPair(a, b)).second) return;
            PrintToConsoleVariadic(LogWarning, "The edge (%d,%d) is used twice. Polyhedron is not simple and closed!", a, b);
            twice = true;
        });
        if (twice) return false;
    }
    for (const IndexPair &e : directed) {
        if (directed.count(IndexPair(e.second, e.first))) continue;
        PrintToConsoleVariadic(LogWarning, "The edge (%d,%d) does not exist. Polyhedron is not closed!", e.second, e.first);
        return false;
    }
    return true;
}

bool Polyhedron::IsConvex() const {
    for (size_t i = 0; i < f.size(); ++i) {
        const Plane plane = FacePlane(static_cast<int>(i));
        for (const float3 &p : v)
            if (plane.SignedDistance(p) > 1e-3f) return false;
    }
    return true;
}

bool Polyhedron::EulerFormulaHolds() const {
    return static_cast<int>(v.size()) + static_cast<int>(f.size()) - NumEdges() == 2;
}

bool Polyhedron::FacesAreNondegeneratePlanar(float epsilon) const {
    for (size_t i = 0; i < f.size(); ++i) {
        const Face &face = f[i];
        if (face.v.size() < 3) return false;
        if (face.v.size() == 3) continue;
        const Plane plane = FacePlane(static_cast<int>(i));
        for (int index : face.v)
            if (plane.Distance(Vertex(index)) > epsilon) return false;
    }
    return true;
}

void Polyhedron::FlipWindingOrder() {
    for (Face &face : f) face.FlipWindingOrder();
}

void Polyhedron::OrientNormalsOutsideConvex() {
    if (v.empty()) return;
    const float3 c = ApproximateConvexCentroid();
    for (size_t i = 0; i < f.size(); ++i)
        if (FacePlane(static_cast<int>(i)).SignedDistance(c) > 0.f) f[i].FlipWindingOrder();
}

void Polyhedron::Translate(const float3 &offset) {
    for (float3 &p : v) p += offset;
}

void Polyhedron::Transform(const float3x3 &m) { m.BatchTransform(v.data(), static_cast<int>(v.size())); }

void Polyhedron::Transform(const float3x4 &m) { m.BatchTransformPos(v.data(), static_cast<int>(v.size())); }

void Polyhedron::Transform(const float4x4 &m) {
    for (float3 &p : v) p = m.MulPos(p);
}

void Polyhedron::Transform(const Quat &q) {
    for (float3 &p : v) p = q * p;
}

void Polyhedron::SwapVertices(int i, int j) {
    const int n = static_cast<int>(v.size());
    if (i == j || i < 0 || j < 0 || i >= n || j >= n) return;
    std::swap(v[i], v[j]);
    for (Face &face : f)
        for (int &index : face.v) index = index == i ? j : index == j ? i : index;
}

void Polyhedron::CanonicalizeFaceArray() {
    for (Face &face : f)
        if (face.v.size() >= 2) std::rotate(face.v.begin(), std::min_element(face.v.begin(), face.v.end()), face.v.end());
    // Faces that compare equal are identical, so the order of the sort is immaterial.
    std::sort(f.begin(), f.end(), [](const Face &a, const Face &b) { return CmpFaces(a, b) < 0; });
}

bool Polyhedron::SetEquals(Polyhedron &other) {
    if (v.size() != other.v.size() || f.size() != other.f.size() || NumEdges() != other.NumEdges()) return false;
    for (size_t i = 0; i < v.size(); ++i) {
        float d2;
        const int j = other.FindClosestVertex(v[i], d2);
        if (j < static_cast<int>(i) || d2 > 1e-4f) return false;
        other.SwapVertices(static_cast<int>(i), j);
    }
    CanonicalizeFaceArray();
    other.CanonicalizeFaceArray();
    for (const Face &face : f)
        if (!other.ContainsFace(face)) return false;
    return true;
}

void Polyhedron::MergeAdjacentPlanarFaces() {}

bool Polyhedron::ContainsFace(const Face &face) const {
    const size_t n = face.v.size();
    for (const Face &g : f) {
        if (g.v.size() != n) continue;
        if (n == 0) return true;
        const auto start = std::find(g.v.begin(), g.v.end(), face.v[0]);
        if (start == g.v.end()) continue;
        const size_t k = static_cast<size_t>(start - g.v.begin());
        bool same = true;
        for (size_t j = 1; j < n && same; ++j) same = g.v[(k + j) % n] == face.v[j];
        if (same) return true;
    }
    return false;
}

std::string Polyhedron::ToString() const {
    if (v.empty()) return "Polyhedron(0 vertices)";
    std::ostringstream text;
    text << "Polyhedron(" << v.size() << " vertices:";
    for (size_t i = 0; i < v.size(); ++i) text << (i ? "," : "") << v[i];
    text << ")";
    return text.str();
}

int IntTriCmp(int a, int b) { return a - b; }

int CmpFaces(const Polyhedron::Face &a, const Polyhedron::Face &b) {
    if (a.v.size() != b.v.size()) return static_cast<int>(b.v.size()) - static_cast<int>(a.v.size());
    for (size_t k = 0; k < a.v.size(); ++k)
        if (a.v[k] != b.v[k]) return IntTriCmp(a.v[k], b.v[k]);
    return 0;
}

void Swap(Polyhedron::Face &a, Polyhedron::Face &b) {
    const Polyhedron::Face copy = a;
    a = b;
    b = copy;
}

Polyhedron operator*(const float3x3 &m, const Polyhedron &p) { return matrix_map::TransformedCopy(m, p); }
Polyhedron operator*(const float3x4 &m, const Polyhedron &p) { return matrix_map::TransformedCopy(m, p); }
Polyhedron operator*(const float4x4 &m, const Polyhedron &p) { return matrix_map::TransformedCopy(m, p); }
Polyhedron operator*(const Quat &q, const Polyhedron &p) { return matrix_map::TransformedCopy(q, p); }

// ---- Convex hull, compaction and the platonic solids ----

namespace {

// A face's plane derived once, when the face is made, and kept beside it while a hull grows:
// the same bits FacePlane would give, without deriving every plane again for every point.
struct HullFaces {
    Polyhedron &p;
    std::vector<Plane> planes;

    explicit HullFaces(Polyhedron &polyhedron) : p(polyhedron) {
        for (size_t i = 0; i < p.f.size(); ++i) planes.push_back(p.FacePlane(static_cast<int>(i)));
    }

    void Merge(const float3 &point) {
        std::set<IndexPair> seen;
        size_t kept = 0;
        for (size_t i = 0; i < p.f.size(); ++i) {
            if (planes[i].SignedDistance(point) <= 0.f) {
                if (kept != i) {
                    p.f[kept] = std::move(p.f[i]);
                    planes[kept] = planes[i];
                }
                ++kept;
                continue;
            }
            ForEachDirectedEdge(p.f[i], [&](int a, int b) { seen.insert(IndexPair(a, b)); });
        }
        p.f.resize(kept);
        planes.resize(kept);
        if (seen.empty()) return;
        const int m = static_cast<int>(p.v.size());
        p.v.push_back(point);
        // The horizon: the edges of the seen faces whose other side stays.
        for (const IndexPair &e : seen) {
            if (seen.count(IndexPair(e.second, e.first))) continue;
            p.f.push_back(Polyhedron::Face{{e.first, e.second, m}});
            planes.push_back(p.FacePlane(static_cast<int>(p.f.size() - 1)));
        }
    }
};

Polyhedron OneFaceOfAll(const float3 *pointArray, int numPoints) {
    Polyhedron p;
    if (!pointArray || numPoints <= 0) return p;
    p.v.assign(pointArray, pointArray + numPoints);
    Polyhedron::Face face;
    for (int i = 0; i < numPoints; ++i) face.v.push_back(i);
    p.f.push_back(face);
    return p;
}

struct D3 {
    double x, y, z;
    explicit D3(const float3 &p) : x(p.x), y(p.y), z(p.z) {}
    D3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    D3 operator-(const D3 &o) const { return D3(x - o.x, y - o.y, z - o.z); }
    double Dot(const D3 &o) const { return x * o.x + y * o.y + z * o.z; }
    D3 Cross(const D3 &o) const { return D3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x); }
    double Length() const { return std::sqrt(Dot(*this)); }
};

// The first four candidates that span a solid: each next one must leave the point, line or
// plane of those before it by more than a millionth of the extent of the candidates. Exact
// in double for float input, so a flat start (four corners of one box face) is never taken.
bool FirstTetrahedron(const float3 *points, const std::vector<int> &candidates, int out[4]) {
    const D3 p0(points[candidates[0]]);
    double extent = 0.0;
    for (int index : candidates) extent = std::max(extent, (D3(points[index]) - p0).Length());
    const double tolerance = 1e-6 * extent;
    if (!(tolerance > 0.0)) return false;
    int found = 1;
    out[0] = candidates[0];
    D3 edge(0, 0, 0);
    D3 normal(0, 0, 0);
    for (size_t k = 1; k < candidates.size() && found < 4; ++k) {
        const D3 d = D3(points[candidates[k]]) - p0;
        double away = 0.0;
        if (found == 1) away = d.Length();
        if (found == 2) away = edge.Cross(d).Length() / edge.Length();
        if (found == 3) away = std::fabs(normal.Dot(d)) / normal.Length();
        if (!(away > tolerance)) continue;
        if (found == 1) edge = d;
        if (found == 2) normal = edge.Cross(d);
        out[found++] = candidates[k];
    }
    return found == 4;
}

const float3 kHullDirections[13] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1},  {1, 1, 0},  {1, 0, 1},  {0, 1, 1}, {1, -1, 0},
                                    {1, 0, -1}, {0, 1, -1}, {1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}};

template <size_t numVertices, size_t faceSize, size_t numFaces>
Polyhedron Platonic(const float3 (&vertices)[numVertices], const int (&faces)[numFaces][faceSize],
                    const float3 &centerPos, float s, bool flip) {
    Polyhedron p;
    for (const float3 &vertex : vertices) p.v.push_back(centerPos + vertex * s);
    for (const int(&face)[faceSize] : faces) p.f.push_back(Polyhedron::Face{std::vector<int>(face, face + faceSize)});
    if (flip) p.FlipWindingOrder();
    return p;
}

}  // namespace

void Polyhedron::MergeConvex(const float3 &point) { HullFaces(*this).Merge(point); }

void Polyhedron::RemoveRedundantVertices() {
    std::set<int> used;
    for (const Face &face : f) used.insert(face.v.begin(), face.v.end());
    const std::vector<int> kept(used.begin(), used.end());
    for (Face &face : f) {
        for (int &index : face.v) {
            const auto at = std::lower_bound(kept.begin(), kept.end(), index);
            const int newIndex = at != kept.end() && *at == index ? static_cast<int>(at - kept.begin()) : -1;
            MATH_ASSUME(newIndex != -1, "newIndex != -1", "Geometry/Polyhedron", 1668);
            index = newIndex;
        }
    }
    // An index the faces use but the vertex list lacks keeps its slot as NaN.
    std::vector<float3> compact;
    for (int index : kept) compact.push_back(Vertex(index));
    v = std::move(compact);
    MATH_ASSUME(FaceIndicesValid(), "FaceIndicesValid()", "Geometry/Polyhedron", 1677);
}

Polyhedron Polyhedron::ConvexHull(const float3 *pointArray, int numPoints) {
    if (!pointArray || numPoints < 4) return OneFaceOfAll(pointArray, numPoints);
    std::set<int> extremes;
    for (const float3 &dir : kHullDirections) {
        int smallest;
        int largest;
        OBB::ExtremePointsAlongDirection(dir, pointArray, numPoints, smallest, largest);
        extremes.insert(smallest);
        extremes.insert(largest);
    }
    if (extremes.size() <= 3) return OneFaceOfAll(pointArray, numPoints);

    // The extreme points first, ascending, then the rest in array order.
    std::vector<int> order(extremes.begin(), extremes.end());
    for (int i = 0; i < numPoints; ++i)
        if (!extremes.count(i)) order.push_back(i);
    int start[4];
    if (!FirstTetrahedron(pointArray, order, start)) return OneFaceOfAll(pointArray, numPoints);

    Polyhedron p;
    for (int index : start) p.v.push_back(pointArray[index]);
    p.f = {Face{{0, 1, 2}}, Face{{0, 1, 3}}, Face{{0, 2, 3}}, Face{{1, 2, 3}}};
    p.OrientNormalsOutsideConvex();
    MATH_ASSUME(p.IsClosed(), "p.IsClosed()", "Geometry/Polyhedron", 1338);
    MATH_ASSUME(p.IsConvex(), "p.IsConvex()", "Geometry/Polyhedron", 1339);
    MATH_ASSUME(p.FaceIndicesValid(), "p.FaceIndicesValid()", "Geometry/Polyhedron", 1340);
    MATH_ASSUME(p.EulerFormulaHolds(), "p.EulerFormulaHolds()", "Geometry/Polyhedron", 1341);

    HullFaces hull(p);
    for (int index : order)
        if (std::find(start, start + 4, index) == start + 4) hull.Merge(pointArray[index]);

    MATH_ASSUME(p.FaceIndicesValid(), "p.FaceIndicesValid()", "Geometry/Polyhedron", 1371);
    MATH_ASSUME(p.IsClosed(), "p.IsClosed()", "Geometry/Polyhedron", 1372);
    MATH_ASSUME(p.IsConvex(), "p.IsConvex()", "Geometry/Polyhedron", 1373);
    p.RemoveRedundantVertices();
    return p;
}

Polyhedron Polyhedron::Tetrahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing) {
    static const float3 vertices[4] = {{1, 1, 1}, {-1, 1, -1}, {1, -1, -1}, {-1, -1, 1}};
    static const int faces[4][3] = {{0, 1, 2}, {1, 3, 2}, {0, 2, 3}, {0, 3, 1}};
    return Platonic(vertices, faces, centerPos, scale * 0.5f, !ccwIsFrontFacing);
}

Polyhedron Polyhedron::Octahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing) {
    const float a = 0.35355338f;
    const float3 vertices[6] = {{-a, 0, a}, {-a, 0, -a}, {0, 0.5f, 0}, {a, 0, -a}, {0, -0.5f, 0}, {a, 0, a}};
    static const int faces[8][3] = {{0, 1, 2}, {1, 3, 2}, {3, 5, 2}, {5, 0, 2},
                                    {3, 1, 4}, {1, 0, 4}, {5, 3, 4}, {0, 5, 4}};
    return Platonic(vertices, faces, centerPos, scale * 0.5f, !ccwIsFrontFacing);
}

Polyhedron Polyhedron::Hexahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing) {
    AABB box(float3(-1, -1, -1), float3(1, 1, 1));
    box.Scale(float3::zero, scale * 0.5f);
    box.Translate(centerPos);
    Polyhedron p = box.ToPolyhedron();
    // The box table winds the other way round from the tables of the other solids.
    if (ccwIsFrontFacing) p.FlipWindingOrder();
    return p;
}

Polyhedron Polyhedron::Icosahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing) {
    const float p = 0.309017f;
    const float3 vertices[12] = {{0, p, -0.5f}, {p, 0.5f, 0},  {-p, 0.5f, 0},  {0, p, 0.5f},
                                 {0, -p, 0.5f}, {-0.5f, 0, p}, {0.5f, 0, p},   {0, -p, -0.5f},
                                 {-0.5f, 0, -p}, {-p, -0.5f, 0}, {p, -0.5f, 0}, {0.5f, 0, -p}};
    static const int faces[20][3] = {{0, 1, 2},  {3, 2, 1},  {3, 4, 5},  {3, 6, 4},  {0, 7, 11}, {0, 8, 7},  {4, 10, 9},
                                     {7, 9, 10}, {2, 5, 8},  {9, 8, 5},  {1, 11, 6}, {10, 6, 11}, {3, 5, 2},  {3, 1, 6},
                                     {0, 2, 8},  {0, 11, 1}, {7, 8, 9},  {7, 10, 11}, {4, 9, 5},  {4, 6, 10}};
    return Platonic(vertices, faces, centerPos, scale, !ccwIsFrontFacing);
}

Polyhedron Polyhedron::Dodecahedron(const float3 &centerPos, float scale, bool ccwIsFrontFacing) {
    const float q = 0.381966f;
    const float g = 0.618034f;
    const float3 vertices[20] = {{q, 0, 1},   {-q, 0, 1},  {-g, g, g},   {0, 1, q},   {g, g, g},   {g, -g, g},  {0, -1, q},
                                 {-g, -g, g}, {0, -1, -q}, {g, -g, -g},  {-q, 0, -1}, {q, 0, -1},  {-g, -g, -g}, {g, g, -g},
                                 {0, 1, -q},  {-g, g, -g}, {1, q, 0},    {-1, q, 0},  {-1, -q, 0}, {1, -q, 0}};
    static const int faces[12][5] = {{0, 1, 2, 3, 4},     {1, 0, 5, 6, 7},     {11, 10, 12, 8, 9}, {10, 11, 13, 14, 15},
                                     {13, 16, 4, 3, 14},  {2, 17, 15, 14, 3},  {12, 18, 7, 6, 8},  {5, 19, 9, 8, 6},
                                     {16, 19, 5, 0, 4},   {19, 16, 13, 11, 9}, {17, 18, 12, 10, 15}, {18, 17, 2, 1, 7}};
    return Platonic(vertices, faces, centerPos, scale * 0.5f, !ccwIsFrontFacing);
}

// ---- The planar types as polyhedra ----

Polyhedron AABB::ToPolyhedron() const { return BoxPolyhedron(*this); }

Polyhedron OBB::ToPolyhedron() const { return BoxPolyhedron(*this); }

// Both sides of the polygon, even when it has no vertices.
Polyhedron Polygon::ToPolyhedron() const {
    Polyhedron p;
    p.v = vertices;
    Polyhedron::Face front;
    for (int i = 0; i < NumVertices(); ++i) front.v.push_back(i);
    Polyhedron::Face back = front;
    back.FlipWindingOrder();
    p.f.push_back(front);
    p.f.push_back(back);
    return p;
}

Polyhedron Triangle::ToPolyhedron() const { return ToPolygon().ToPolyhedron(); }

}  // namespace math
