#include "Geometry/OBB.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <vector>

#include "Algorithm/Random/LCG.h"
#include "Geometry/BoxNumbering.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/PBVolume.h"
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

const float kInf = std::numeric_limits<float>::infinity();

// The object mapped into the box's local frame, where the box is AABB((0, 0, 0), Size()).
template <typename Object, typename... Outputs>
bool IntersectsInLocalFrame(const OBB &obb, const Object &object, Outputs &...outputs) {
    return AABB(float3::zero, obb.Size()).Intersects(obb.WorldToLocal() * object, outputs...);
}

float Clamp(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }

// One routine for the linear and the affine matrix.
template <typename Matrix>
void OBBSetFrom(OBB &obb, const AABB &aabb, const Matrix &m) {
    obb.pos = matrix_map::Point(m, aabb.CenterPoint());
    obb.halfSize = aabb.HalfSize();
    for (int k = 0; k < 3; ++k) obb.axis[k] = m.Col(k);
    const float scale = std::sqrt(obb.axis[0].LengthSq());
    obb.halfSize *= scale;
    const float invScale = 1.f / scale;
    // A collapsed or non-finite first column has no direction to take: the unit axes
    // keep the box finite (a zero scale puts every corner at pos).
    if (std::isfinite(scale) && std::isfinite(invScale)) {
        for (float3 &a : obb.axis) a *= invScale;
        float3::Orthonormalize(obb.axis[0], obb.axis[1], obb.axis[2]);
    } else {
        obb.axis[0] = float3::unitX;
        obb.axis[1] = float3::unitY;
        obb.axis[2] = float3::unitZ;
    }
}

template <typename Matrix>
void OBBTransform(OBB &obb, const Matrix &m) {
    obb.pos = matrix_map::Point(m, obb.pos);
    for (int k = 0; k < 3; ++k) {
        obb.axis[k] = matrix_map::Direction(m, obb.axis[k] * obb.halfSize.At(k));
        obb.halfSize.At(k) = obb.axis[k].Normalize();
    }
}

const OBB kNaNBox(float3::nan, float3::nan, float3::nan, float3::nan, float3::nan);

// The unit directions between all pairs of points, turned to z >= 0, sorted by x and
// thinned of near-duplicates. The thinning compares only within 0.001 in x of the
// first kept direction of a run, so most near-duplicates stay; that costs time only.
std::vector<float3> CandidateDirections(const float3 *points, int count) {
    std::vector<float3> dirs;
    dirs.reserve(static_cast<size_t>((static_cast<int64_t>(count) * count - 1) / 2));
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            float3 d = points[i] - points[j];
            const float length = d.Normalize();
            if (d.z < 0.f) d = -d;
            // Coincident points have no direction; infinite or overflowing ones give
            // NaNs or zeros, which would also break the ordering of the sort.
            if (length > 0.f && std::isfinite(length) && d.IsFinite()) dirs.push_back(d);
        }
    }
    if (dirs.empty()) return dirs;
    std::qsort(dirs.data(), dirs.size(), sizeof(float3), LexFloat3CmpV);
    size_t kept = 1;
    for (size_t i = 1; i < dirs.size(); ++i) {
        const float3 c = dirs[i];
        bool duplicate = false;
        for (size_t j = 0; j < kept && c.x - dirs[j].x <= 0.001f; ++j) {
            if (c.DistanceSq(dirs[j]) < 0.001f) {
                duplicate = true;
                break;
            }
        }
        if (!duplicate) dirs[kept++] = c;
    }
    dirs.resize(kept);
    return dirs;
}

struct Rect {
    float area;
    float2 center, uDir, vDir;
    float minU, maxU, minV, maxV;
};

// The minimum-area rectangle of the projected points (which it reorders). Points that
// all coincide have no rectangle to search for: a flat one at that point.
Rect MinimalRect(std::vector<float2> &points) {
    Rect rect;
    const float2 first = points[0];
    bool coincide = true;
    for (const float2 &p : points) coincide = coincide && p.x == first.x && p.y == first.y;
    if (coincide) {
        rect = Rect{0.f, first, float2(1.f, 0.f), float2(0.f, 1.f), first.x, first.x, first.y, first.y};
        return rect;
    }
    rect.area = float2::MinAreaRectInPlace(points.data(), static_cast<int>(points.size()), rect.center, rect.uDir,
                                           rect.vDir, rect.minU, rect.maxU, rect.minV, rect.maxV);
    return rect;
}

// The plane vector (a, b) in the 3D basis (u, v); an extent of zero length keeps the
// rectangle's own direction, so a flat box still has an axis in its plane.
float3 PlaneAxis(const float2 &extent, const float2 &unitDir, const float3 &u, const float3 &v, float &length) {
    float3 axis = u * extent.x + v * extent.y;
    length = axis.Normalize();
    if (length == 0.f) axis = (u * unitDir.x + v * unitDir.y).Normalized();
    return axis;
}

}  // namespace

// A member of the point, defined beside the shape it needs: the vector types do not depend on
// the shapes.
float float3::Distance(const OBB &obb) const { return obb.Distance(*this); }

OBB::OBB(const float3 &pos_, const float3 &halfSize_, const float3 &axis0, const float3 &axis1, const float3 &axis2)
    : pos(pos_), halfSize(halfSize_), axis{axis0, axis1, axis2} {}

OBB::OBB(const AABB &aabb) { SetFrom(aabb); }

void OBB::SetNegativeInfinity() {
    pos = float3::zero;
    halfSize = float3(-kInf);
    axis[0] = float3::unitX;
    axis[1] = float3::unitY;
    axis[2] = float3::unitZ;
}

void OBB::SetFrom(const AABB &aabb) {
    pos = aabb.CenterPoint();
    halfSize = aabb.HalfSize();
    axis[0] = float3::unitX;
    axis[1] = float3::unitY;
    axis[2] = float3::unitZ;
}

void OBB::SetFrom(const AABB &aabb, const float3x3 &transform) { OBBSetFrom(*this, aabb, transform); }

void OBB::SetFrom(const AABB &aabb, const float3x4 &transform) { OBBSetFrom(*this, aabb, transform); }

void OBB::SetFrom(const AABB &aabb, const Quat &transform) { OBBSetFrom(*this, aabb, float3x3(transform)); }

void OBB::Enclose(const float3 &point) {
    float3 d = point - pos;
    for (int k = 0; k < 3; ++k) {
        const float t = d.Dot(axis[k]);
        const float over = std::fabs(t) - halfSize.At(k);
        if (over > 0.f) {
            // Half the excess widens the box, the other half moves its centre, so the
            // far face stays where it was.
            halfSize.At(k) += over * 0.5f;
            const float3 s = axis[k] * over;
            if (t > 0.f)
                pos += s * 0.5f;
            else
                pos -= s * 0.5f;
            d = point - pos;
        }
    }
}

OBB OBB::OptimalEnclosingOBB(const float3 *pointArray, int numPoints) {
    OBB best = kNaNBox;
    if (!pointArray || numPoints < 2) return best;
    const std::vector<float3> dirs = CandidateDirections(pointArray, numPoints);
    std::vector<float2> projected(static_cast<size_t>(numPoints));
    float bestVolume = kInf;
    for (const float3 &e : dirs) {
        int iMin, iMax;
        ExtremePointsAlongDirection(e, pointArray, numPoints, iMin, iMax);
        const float depth = (pointArray[iMin] - pointArray[iMax]).Dot(e);
        float3 u, v;
        e.PerpendicularBasis(u, v);
        for (int i = 0; i < numPoints; ++i)
            projected[static_cast<size_t>(i)] = float2(pointArray[i].Dot(u), pointArray[i].Dot(v));
        const Rect rect = MinimalRect(projected);
        const float volume = rect.area * std::fabs(depth);
        if (!(volume < bestVolume)) continue;
        bestVolume = volume;
        best.axis[0] = e;
        best.halfSize.x = std::fabs(depth) * 0.5f;
        // The second axis comes from the rectangle's v extent, the third from its u
        // extent; the frame need not be right-handed.
        float lengthV, lengthU;
        best.axis[1] = PlaneAxis(rect.vDir * (rect.maxV - rect.minV), rect.vDir, u, v, lengthV);
        best.axis[2] = PlaneAxis(rect.uDir * (rect.maxU - rect.minU), rect.uDir, u, v, lengthU);
        best.halfSize.y = 0.5f * lengthV;
        best.halfSize.z = 0.5f * lengthU;
        const float2 center2 = ((rect.minU + rect.maxU) * rect.uDir + (rect.minV + rect.maxV) * rect.vDir) * 0.5f;
        best.pos = e * (0.5f * (pointArray[iMin] + pointArray[iMax]).Dot(e)) + u * center2.x + v * center2.y;
    }
    return best;
}

float3 OBB::CenterPoint() const { return pos; }
float3 OBB::HalfSize() const { return halfSize; }
float3 OBB::Size() const { return halfSize * 2.f; }

float3 OBB::HalfDiagonal() const { return axis[0] * halfSize.x + axis[1] * halfSize.y + axis[2] * halfSize.z; }

float3 OBB::Diagonal() const { return HalfDiagonal() * 2.f; }

float OBB::Volume() const {
    const float3 s = Size();
    return s.x * s.y * s.z;
}

float OBB::SurfaceArea() const {
    const float3 s = Size();
    return 2.f * (s.x * s.y + s.z * s.x + s.z * s.y);
}

bool OBB::IsFinite() const {
    return pos.IsFinite() && halfSize.IsFinite() && axis[0].IsFinite() && axis[1].IsFinite() && axis[2].IsFinite();
}

bool OBB::IsDegenerate() const { return !(halfSize.x > 0.f && halfSize.y > 0.f && halfSize.z > 0.f); }

float3 OBB::CornerPoint(int cornerIndex) const {
    const int i = box::IndexOrZero(cornerIndex, box::kNumCorners);
    float3 corner = pos;
    for (int k = 0; k < 3; ++k) {
        const float3 offset = axis[k] * halfSize.At(k);
        if (i & (4 >> k))
            corner += offset;
        else
            corner -= offset;
    }
    return corner;
}

float3 OBB::PointInside(float x, float y, float z) const {
    const float3 &r = halfSize;
    return pos + axis[0] * (2.f * r.x * x - r.x) + axis[1] * (2.f * r.y * y - r.y) + axis[2] * (2.f * r.z * z - r.z);
}

LineSegment OBB::Edge(int edgeIndex) const { return box::Edge(*this, edgeIndex); }

float3 OBB::PointOnEdge(int edgeIndex, float u) const {
    const int i = edgeIndex < 0 ? 0 : (edgeIndex > 11 ? 11 : edgeIndex);
    const int k = i / 4;
    // Of the two fixed axes, the lower takes its side from bit value 2, the higher
    // from bit value 1.
    const int lo = k == 0 ? 1 : 0;
    const int hi = k == 2 ? 1 : 2;
    const float3 offsetLo = axis[lo] * halfSize.At(lo);
    const float3 offsetHi = axis[hi] * halfSize.At(hi);
    float3 base = (i & 2) ? pos + offsetLo : pos - offsetLo;
    base = (i & 1) ? base + offsetHi : base - offsetHi;
    return base + axis[k] * (2.f * u - 1.f) * halfSize.At(k);
}

float3 OBB::FaceCenterPoint(int faceIndex) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    const int k = face / 2;
    const float3 offset = axis[k] * halfSize.At(k);
    return (face & 1) ? pos + offset : pos - offset;
}

float3 OBB::FacePoint(int faceIndex, float u, float v) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    const int k = face / 2;
    const int kv = (k + 1) % 3;
    const int n = (k + 2) % 3;
    const float3 offset = axis[n] * halfSize.At(n);
    const float3 base = (face & 1) ? pos + offset : pos - offset;
    return base + axis[k] * (2.f * u - 1.f) * halfSize.At(k) + axis[kv] * (2.f * v - 1.f) * halfSize.At(kv);
}

Plane OBB::FacePlane(int faceIndex) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    const float3 &a = axis[face / 2];
    return Plane(FaceCenterPoint(face), (face & 1) ? a : -a);
}

void OBB::GetCornerPoints(float3 *outPointArray) const { box::CornerPoints(*this, outPointArray); }

void OBB::GetFacePlanes(Plane *outPlaneArray) const { box::FacePlanes(*this, outPlaneArray); }

void OBB::ToEdgeList(float3 *outPos) const { box::EdgeList(*this, outPos); }

int OBB::UniqueFaceNormals(float3 *out) const {
    out[0] = axis[0];
    out[1] = axis[1];
    out[2] = axis[2];
    return 3;
}

int OBB::UniqueEdgeDirections(float3 *out) const { return UniqueFaceNormals(out); }

AABB OBB::MinimalEnclosingAABB() const { return AABB(*this); }

float3 OBB::ExtremePoint(const float3 &direction) const {
    float3 point = pos;
    for (int k = 0; k < 3; ++k) {
        const float3 offset = axis[k] * halfSize.At(k);
        if (direction.Dot(axis[k]) >= 0.f)
            point += offset;
        else
            point -= offset;
    }
    return point;
}

float3 OBB::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 extremePoint = ExtremePoint(direction);
    projectionDistance = extremePoint.Dot(direction);
    return extremePoint;
}

void OBB::ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const {
    const float c = direction.Dot(pos);
    const float e0 = std::fabs(direction.Dot(axis[0]) * halfSize.x);
    const float e1 = std::fabs(direction.Dot(axis[1]) * halfSize.y);
    const float e2 = std::fabs(direction.Dot(axis[2]) * halfSize.z);
    outMin = c - e0 - e1 - e2;
    outMax = c + e0 + e1 + e2;
}

void OBB::ExtremePointsAlongDirection(const float3 &dir, const float3 *pointArray, int numPoints, int &idxSmallest,
                                      int &idxLargest) {
    idxSmallest = idxLargest = 0;
    if (!pointArray) return;
    float smallest = kInf, largest = -kInf;
    for (int i = 0; i < numPoints; ++i) {
        const float d = pointArray[i].Dot(dir);
        if (d < smallest) {
            idxSmallest = i;
            smallest = d;
        }
        if (d > largest) {
            idxLargest = i;
            largest = d;
        }
    }
}

float3x4 OBB::LocalToWorld() const { return float3x4(axis[0], axis[1], axis[2], CornerPoint(0)); }

float3x4 OBB::WorldToLocal() const {
    float3x4 m = LocalToWorld();
    m.InverseOrthonormal();
    return m;
}

float3 OBB::ClosestPoint(const float3 &point) const {
    const float3 d = point - pos;
    float3 closest = pos;
    for (int k = 0; k < 3; ++k) {
        const float r = halfSize.At(k);
        closest += axis[k] * Clamp(d.Dot(axis[k]), -r, r);
    }
    return closest;
}

float OBB::Distance(const float3 &point) const { return point.Distance(ClosestPoint(point)); }

bool OBB::Contains(const float3 &point) const {
    const float3 d = point - pos;
    return std::fabs(d.Dot(axis[0])) <= halfSize.x && std::fabs(d.Dot(axis[1])) <= halfSize.y &&
           std::fabs(d.Dot(axis[2])) <= halfSize.z;
}

bool OBB::Contains(const LineSegment &lineSegment) const {
    return Contains(lineSegment.a) && Contains(lineSegment.b);
}

bool OBB::Contains(const Triangle &triangle) const {
    return Contains(triangle.a) && Contains(triangle.b) && Contains(triangle.c);
}

bool OBB::Contains(const AABB &aabb) const { return box::ContainsCorners(*this, aabb); }

bool OBB::Contains(const OBB &obb) const { return box::ContainsCorners(*this, obb); }

bool OBB::Contains(const Polygon &polygon) const {
    for (const float3 &v : polygon.vertices)
        if (!Contains(v)) return false;
    return true;
}

bool OBB::Intersects(const OBB &b, float epsilon) const {
    float R[3][3], AbsR[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            R[i][j] = axis[i].Dot(b.axis[j]);
            AbsR[i][j] = std::fabs(R[i][j]) + epsilon;
        }
    const float3 offset = b.pos - pos;
    const float t[3] = {offset.Dot(axis[0]), offset.Dot(axis[1]), offset.Dot(axis[2])};
    const float ra[3] = {halfSize.x, halfSize.y, halfSize.z};
    const float rb[3] = {b.halfSize.x, b.halfSize.y, b.halfSize.z};

    for (int i = 0; i < 3; ++i) {
        const float rB = rb[0] * AbsR[i][0] + rb[1] * AbsR[i][1] + rb[2] * AbsR[i][2];
        if (std::fabs(t[i]) > ra[i] + rB) return false;
    }
    for (int j = 0; j < 3; ++j) {
        const float rA = ra[0] * AbsR[0][j] + ra[1] * AbsR[1][j] + ra[2] * AbsR[2][j];
        if (std::fabs(t[0] * R[0][j] + t[1] * R[1][j] + t[2] * R[2][j]) > rA + rb[j]) return false;
    }
    // The cross products of A's axis i with B's axis j; i1 < i2 and j1 < j2 are the
    // other two axes of each box.
    for (int i = 0; i < 3; ++i) {
        const int i1 = i == 0 ? 1 : 0, i2 = i == 2 ? 1 : 2;
        for (int j = 0; j < 3; ++j) {
            const int j1 = j == 0 ? 1 : 0, j2 = j == 2 ? 1 : 2;
            const float rA = ra[i1] * AbsR[i2][j] + ra[i2] * AbsR[i1][j];
            const float rB = rb[j1] * AbsR[i][j2] + rb[j2] * AbsR[i][j1];
            if (std::fabs(t[i2] * R[i1][j] - t[i1] * R[i2][j]) > rA + rB) return false;
        }
    }
    return true;
}

bool OBB::Intersects(const AABB &aabb) const { return Intersects(OBB(aabb), 0.001f); }

bool OBB::Intersects(const Ray &ray) const { return IntersectsInLocalFrame(*this, ray); }

bool OBB::Intersects(const Ray &ray, float &dNear, float &dFar) const {
    return IntersectsInLocalFrame(*this, ray, dNear, dFar);
}

bool OBB::Intersects(const Line &line) const { return IntersectsInLocalFrame(*this, line); }

bool OBB::Intersects(const Line &line, float &dNear, float &dFar) const {
    return IntersectsInLocalFrame(*this, line, dNear, dFar);
}

bool OBB::Intersects(const LineSegment &lineSegment) const { return IntersectsInLocalFrame(*this, lineSegment); }

bool OBB::Intersects(const LineSegment &lineSegment, float &dNear, float &dFar) const {
    return IntersectsInLocalFrame(*this, lineSegment, dNear, dFar);
}

bool OBB::Intersects(const Triangle &triangle) const { return IntersectsInLocalFrame(*this, triangle); }

bool OBB::Intersects(const Plane &plane) const {
    const float3 &n = plane.normal;
    const float s = halfSize.x * std::fabs(n.Dot(axis[0])) + halfSize.y * std::fabs(n.Dot(axis[1])) +
                    halfSize.z * std::fabs(n.Dot(axis[2]));
    return std::fabs(n.Dot(pos) - plane.d) <= s;
}

void OBB::Triangulate(int numFacesX, int numFacesY, int numFacesZ, float3 *outPos, float3 *outNormal,
                      float2 *outUV, bool ccwIsFrontFacing) const {
    AABB(float3::zero, Size()).Triangulate(numFacesX, numFacesY, numFacesZ, outPos, outNormal, outUV,
                                           ccwIsFrontFacing);
    const float3x4 localToWorld = LocalToWorld();
    const int numVertices = AABB::NumVerticesInTriangulation(numFacesX, numFacesY, numFacesZ);
    localToWorld.BatchTransformPos(outPos, numVertices, static_cast<int>(sizeof(float3)));
    localToWorld.BatchTransformDir(outNormal, numVertices);
}

float3 OBB::RandomPointInside(LCG &rng) const { return box::RandomPointInside(*this, rng); }
float3 OBB::RandomPointOnSurface(LCG &rng) const { return box::RandomPointOnSurface(*this, rng); }
float3 OBB::RandomPointOnEdge(LCG &rng) const { return box::RandomPointOnEdge(*this, rng); }
float3 OBB::RandomCornerPoint(LCG &rng) const { return box::RandomCornerPoint(*this, rng); }

void OBB::Translate(const float3 &offset) { pos += offset; }

void OBB::Scale(const float3 &centerPoint, float scaleFactor) {
    Transform(float3x4::Scale(float3::FromScalar(scaleFactor), centerPoint));
}

void OBB::Scale(const float3 &centerPoint, const float3 &scaleFactor) {
    Transform(float3x4::Scale(scaleFactor, centerPoint));
}

void OBB::Transform(const float3x3 &transform) { OBBTransform(*this, transform); }

void OBB::Transform(const float3x4 &transform) { OBBTransform(*this, transform); }

void OBB::Transform(const Quat &transform) { OBBTransform(*this, float3x3(transform)); }

std::string OBB::ToString() const {
    return FormatText(
        "OBB(Pos:(%.2f, %.2f, %.2f) Halfsize:(%.2f, %.2f, %.2f) X:(%.2f, %.2f, %.2f) Y:(%.2f, %.2f, %.2f) Z:(%.2f, "
        "%.2f, %.2f))",
        PrintableFloat(pos.x), PrintableFloat(pos.y), PrintableFloat(pos.z), PrintableFloat(halfSize.x),
        PrintableFloat(halfSize.y), PrintableFloat(halfSize.z), PrintableFloat(axis[0].x), PrintableFloat(axis[0].y),
        PrintableFloat(axis[0].z), PrintableFloat(axis[1].x), PrintableFloat(axis[1].y), PrintableFloat(axis[1].z),
        PrintableFloat(axis[2].x), PrintableFloat(axis[2].y), PrintableFloat(axis[2].z));
}

OBB operator*(const float3x3 &transform, const OBB &obb) { return matrix_map::TransformedCopy(transform, obb); }

OBB operator*(const float3x4 &transform, const OBB &obb) { return matrix_map::TransformedCopy(transform, obb); }

OBB operator*(const Quat &transform, const OBB &obb) { return matrix_map::TransformedCopy(transform, obb); }

std::ostream &operator<<(std::ostream &out, const OBB &obb) { return out << obb.ToString(); }

int LexFloat3Cmp(const float3 &a, const float3 &b) {
    if (a.x < b.x) return -1;
    if (a.x > b.x) return 1;
    return 0;
}

int LexFloat3CmpV(const void *a, const void *b) {
    return LexFloat3Cmp(*static_cast<const float3 *>(a), *static_cast<const float3 *>(b));
}

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void OBB::SetFrom(const AABB &aabb, const float4x4 &transform) { SetFrom(aabb, transform.Float3x4Part()); }
void OBB::Transform(const float4x4 &transform) { Transform(transform.Float3x4Part()); }
OBB operator*(const float4x4 &transform, const OBB &obb) { return transform.Float3x4Part() * obb; }

// ---- Solid forms and the GJK test ----

PBVolume OBB::ToPBVolume() const {
    PBVolume volume;
    GetFacePlanes(volume.p);
    return volume;
}

float3 OBB::StartingPoint() const { return pos; }

bool OBB::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

// ---- Text forms ----

std::string OBB::SerializeToString() const {
    return detail::JoinVectors({pos, halfSize, axis[0], axis[1], axis[2]}, &float3::SerializeToString, " ");
}

std::string OBB::SerializeToCodeString() const {
    const std::string vectors =
        detail::JoinVectors({pos, halfSize, axis[0], axis[1], axis[2]}, &float3::SerializeToCodeString, ",");
    return "OBB(" + vectors + ")";
}

OBB OBB::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<OBB>(str, outEnd, "OBB(", {"Pos:(", " Halfsize:(", " X:(", " Y:(", " Z:("});
}

}  // namespace math
