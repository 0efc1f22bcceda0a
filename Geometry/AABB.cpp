#include "Geometry/AABB.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <utility>

#include "Algorithm/Random/LCG.h"
#include "Geometry/BoxNumbering.h"
#include "Geometry/Line.h"
#include "Geometry/LineSegment.h"
#include "Geometry/MatrixMap.h"
#include "Geometry/OBB.h"
#include "Geometry/PBVolume.h"
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
#include "Math/float4.h"

namespace math {

namespace {

const float kInf = std::numeric_limits<float>::infinity();

// One routine for the linear and the affine matrix: the centre is mapped as a point
// and the half-extents by the absolute values of the linear part.
template <typename Matrix>
void AABBTransformAsAABB(AABB &aabb, const Matrix &m) {
    const float3 center = aabb.CenterPoint();
    const float3 half = center - aabb.minCorner;
    const float3 newCenter = matrix_map::Point(m, center);
    float newHalf[3];
    for (int i = 0; i < 3; ++i) {
        const auto &row = m.elements[i];
        newHalf[i] = std::fabs(row[0] * half.x) + std::fabs(row[1] * half.y) + std::fabs(row[2] * half.z);
    }
    const float3 h(newHalf[0], newHalf[1], newHalf[2]);
    aabb.minCorner = newCenter - h;
    aabb.maxCorner = newCenter + h;
}

template <typename Matrix>
OBB TransformedToOBB(const AABB &aabb, const Matrix &m) {
    OBB obb;
    obb.SetFrom(aabb, m);
    return obb;
}

}  // namespace

// Members of the vector types that need the box, defined beside it so that the vector types
// do not depend on the shapes.
float float3::Distance(const AABB &aabb) const { return aabb.Distance(*this); }

float3 float3::RandomBox(LCG &lcg, const float3 &min, const float3 &max) {
    return AABB(min, max).RandomPointInside(lcg);
}

float4 float4::RandomBox(LCG &lcg, const float4 &minValues, const float4 &maxValues) {
    return float4(AABB(minValues.xyz(), maxValues.xyz()).RandomPointInside(lcg), 1.f);
}

AABB::AABB(const float3 &minPoint, const float3 &maxPoint) : minCorner(minPoint), maxCorner(maxPoint) {}

AABB::AABB(const OBB &obb) { SetFrom(obb); }

void AABB::SetFrom(const OBB &obb) {
    const float3 h = (obb.axis[0] * obb.halfSize.x).Abs() + (obb.axis[1] * obb.halfSize.y).Abs() +
                     (obb.axis[2] * obb.halfSize.z).Abs();
    SetFromCenterAndSize(obb.pos, h * 2.f);
}

void AABB::SetNegativeInfinity() {
    minCorner = float3(kInf);
    maxCorner = float3(-kInf);
}

void AABB::SetFromCenterAndSize(const float3 &center, const float3 &size) {
    const float3 halfSize = size * 0.5f;
    minCorner = center - halfSize;
    maxCorner = center + halfSize;
}

AABB AABB::FromCenterAndSize(const float3 &center, const float3 &size) {
    AABB aabb;
    aabb.SetFromCenterAndSize(center, size);
    return aabb;
}

void AABB::SetFrom(const float3 *pointArray, int numPoints) {
    SetNegativeInfinity();
    Enclose(pointArray, numPoints);
}

AABB AABB::MinimalEnclosingAABB(const float3 *pointArray, int numPoints) {
    AABB aabb;
    aabb.SetFrom(pointArray, numPoints);
    return aabb;
}

void AABB::Enclose(const float3 &point) {
    minCorner = minCorner.Min(point);
    maxCorner = maxCorner.Max(point);
}

void AABB::Enclose(const float3 &aabbMinPoint, const float3 &aabbMaxPoint) {
    minCorner = minCorner.Min(aabbMinPoint);
    maxCorner = maxCorner.Max(aabbMaxPoint);
}

void AABB::Enclose(const LineSegment &lineSegment) {
    Enclose(lineSegment.a.Min(lineSegment.b), lineSegment.a.Max(lineSegment.b));
}

void AABB::Enclose(const Triangle &triangle) {
    const AABB box = triangle.BoundingAABB();
    Enclose(box.minCorner, box.maxCorner);
}

void AABB::Enclose(const OBB &obb) {
    const float3 h = obb.axis[0].Abs() * obb.halfSize.x + obb.axis[1].Abs() * obb.halfSize.y +
                     obb.axis[2].Abs() * obb.halfSize.z;
    Enclose(obb.pos - h, obb.pos + h);
}

void AABB::Enclose(const Polygon &polygon) {
    const AABB box = polygon.MinimalEnclosingAABB();
    Enclose(box.minCorner, box.maxCorner);
}

void AABB::Enclose(const float3 *pointArray, int numPoints) {
    if (!pointArray) return;
    for (int i = 0; i < numPoints; ++i) Enclose(pointArray[i]);
}

float3 AABB::CenterPoint() const { return (minCorner + maxCorner) * 0.5f; }

float3 AABB::Size() const { return maxCorner - minCorner; }

float3 AABB::HalfSize() const { return Size() * 0.5f; }

float AABB::Volume() const {
    const float3 s = Size();
    return s.x * s.y * s.z;
}

float AABB::SurfaceArea() const {
    const float3 s = Size();
    return 2.f * (s.x * s.y + s.z * s.x + s.z * s.y);
}

bool AABB::IsFinite() const { return minCorner.IsFinite() && maxCorner.IsFinite(); }

bool AABB::IsDegenerate() const {
    return !(maxCorner.x > minCorner.x && maxCorner.y > minCorner.y && maxCorner.z > minCorner.z);
}

float3 AABB::CornerPoint(int cornerIndex) const {
    const int i = box::IndexOrZero(cornerIndex, box::kNumCorners);
    return float3((i & 4) ? maxCorner.x : minCorner.x, (i & 2) ? maxCorner.y : minCorner.y,
                  (i & 1) ? maxCorner.z : minCorner.z);
}

LineSegment AABB::Edge(int edgeIndex) const { return box::Edge(*this, edgeIndex); }

float3 AABB::FaceCenterPoint(int faceIndex) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    float3 center = CenterPoint();
    const int axis = face / 2;
    center.At(axis) = (face & 1) ? maxCorner.At(axis) : minCorner.At(axis);
    return center;
}

float3 AABB::FaceNormal(int faceIndex) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    float3 normal = float3::zero;
    normal.At(face / 2) = (face & 1) ? 1.f : -1.f;
    return normal;
}

Plane AABB::FacePlane(int faceIndex) const { return Plane(FaceCenterPoint(faceIndex), FaceNormal(faceIndex)); }

float3 AABB::FacePoint(int faceIndex, float u, float v) const {
    const int face = box::IndexOrZero(faceIndex, box::kNumFaces);
    const float3 s = Size();
    // The face's own axis is fixed; the other two, in increasing order, take u and v.
    const int fixed = face / 2;
    const int uAxis = fixed == 0 ? 1 : 0;
    const int vAxis = fixed == 2 ? 1 : 2;
    float3 point;
    point.At(fixed) = (face & 1) ? maxCorner.At(fixed) : minCorner.At(fixed);
    point.At(uAxis) = minCorner.At(uAxis) + u * s.At(uAxis);
    point.At(vAxis) = minCorner.At(vAxis) + v * s.At(vAxis);
    return point;
}

float3 AABB::PointInside(float x, float y, float z) const {
    const float3 d = maxCorner - minCorner;
    return minCorner + float3(d.x * x, d.y * y, d.z * z);
}

float3 AABB::PointOnEdge(int edgeIndex, float u) const {
    // The corner each edge starts from; edges 0-3 run along z, 4-7 along y, 8-11 along x.
    static const int kStartCorner[box::kNumEdges] = {0, 2, 4, 6, 0, 4, 1, 5, 0, 1, 2, 3};
    const int i = box::IndexOrZero(edgeIndex, box::kNumEdges);
    const int axis = 2 - i / 4;
    float3 point = CornerPoint(kStartCorner[i]);
    point.At(axis) = minCorner.At(axis) + u * Size().At(axis);
    return point;
}

void AABB::GetCornerPoints(float3 *outPointArray) const { box::CornerPoints(*this, outPointArray); }

void AABB::GetFacePlanes(Plane *outPlaneArray) const { box::FacePlanes(*this, outPlaneArray); }

void AABB::ToEdgeList(float3 *outPos) const { box::EdgeList(*this, outPos); }

int AABB::UniqueFaceNormals(float3 *out) const {
    out[0] = float3::unitX;
    out[1] = float3::unitY;
    out[2] = float3::unitZ;
    return 3;
}

int AABB::UniqueEdgeDirections(float3 *out) const { return UniqueFaceNormals(out); }

float3 AABB::ExtremePoint(const float3 &direction) const {
    return float3(direction.x >= 0.f ? maxCorner.x : minCorner.x, direction.y >= 0.f ? maxCorner.y : minCorner.y,
                  direction.z >= 0.f ? maxCorner.z : minCorner.z);
}

float3 AABB::ExtremePoint(const float3 &direction, float &projectionDistance) const {
    const float3 extremePoint = ExtremePoint(direction);
    projectionDistance = extremePoint.Dot(direction);
    return extremePoint;
}

void AABB::ProjectToAxis(const float3 &axis, float &dMin, float &dMax) const {
    const float3 c = CenterPoint();
    const float3 e = maxCorner - c;
    const float s = std::fabs(e.x * std::fabs(axis.x) + e.y * std::fabs(axis.y) + e.z * std::fabs(axis.z));
    const float centerProjection = axis.Dot(c);
    dMin = centerProjection - s;
    dMax = centerProjection + s;
}

void AABB::ExtremePointsAlongAABB(const float3 *pointArray, int numPoints, int &minx, int &maxx, int &miny,
                                  int &maxy, int &minz, int &maxz) {
    if (!pointArray) return;
    minx = maxx = miny = maxy = minz = maxz = 0;
    for (int i = 1; i < numPoints; ++i) {
        const float3 &p = pointArray[i];
        if (pointArray[minx].x > p.x) minx = i;
        if (p.x > pointArray[maxx].x) maxx = i;
        if (pointArray[miny].y > p.y) miny = i;
        if (p.y > pointArray[maxy].y) maxy = i;
        if (pointArray[minz].z > p.z) minz = i;
        if (p.z > pointArray[maxz].z) maxz = i;
    }
}

OBB AABB::ToOBB() const { return OBB(*this); }

float3 AABB::ClosestPoint(const float3 &targetPoint) const { return targetPoint.Clamp(minCorner, maxCorner); }

float AABB::Distance(const float3 &point) const { return point.Distance(ClosestPoint(point)); }

AABB AABB::Intersection(const AABB &aabb) const {
    return AABB(minCorner.Max(aabb.minCorner), maxCorner.Min(aabb.maxCorner));
}

bool AABB::Contains(const float3 &point) const {
    return minCorner.x <= point.x && point.x <= maxCorner.x && minCorner.y <= point.y && point.y <= maxCorner.y &&
           minCorner.z <= point.z && point.z <= maxCorner.z;
}

bool AABB::Contains(const float3 &aabbMinPoint, const float3 &aabbMaxPoint) const {
    return aabbMinPoint.x >= minCorner.x && aabbMinPoint.y >= minCorner.y && aabbMinPoint.z >= minCorner.z &&
           aabbMaxPoint.x <= maxCorner.x && aabbMaxPoint.y <= maxCorner.y && aabbMaxPoint.z <= maxCorner.z;
}

bool AABB::Contains(const LineSegment &lineSegment) const {
    return Contains(lineSegment.a.Min(lineSegment.b), lineSegment.a.Max(lineSegment.b));
}

bool AABB::Contains(const OBB &obb) const {
    const AABB box = obb.MinimalEnclosingAABB();
    return Contains(box.minCorner, box.maxCorner);
}

bool AABB::Contains(const Triangle &triangle) const {
    const AABB box = triangle.BoundingAABB();
    return Contains(box.minCorner, box.maxCorner);
}

bool AABB::Contains(const Polygon &polygon) const {
    const AABB box = polygon.MinimalEnclosingAABB();
    return Contains(box.minCorner, box.maxCorner);
}

bool AABB::Intersects(const AABB &aabb) const {
    return aabb.maxCorner.x > minCorner.x && aabb.maxCorner.y > minCorner.y && aabb.maxCorner.z > minCorner.z &&
           maxCorner.x > aabb.minCorner.x && maxCorner.y > aabb.minCorner.y && maxCorner.z > aabb.minCorner.z;
}

bool AABB::Intersects(const OBB &obb) const { return obb.Intersects(*this); }

bool AABB::Intersects(const Plane &plane) const { return plane.Intersects(*this); }

bool AABB::Intersects(const Triangle &triangle) const { return triangle.Intersects(*this); }

bool AABB::Intersects(const Line &line) const {
    float tNear = -kInf, tFar = kInf;
    return IntersectLineAABB(line.pos, line.dir, tNear, tFar);
}

bool AABB::Intersects(const Ray &ray) const {
    float tNear = 0.f, tFar = kInf;
    return IntersectLineAABB(ray.pos, ray.dir, tNear, tFar);
}

bool AABB::Intersects(const Line &line, float &dNear, float &dFar) const {
    dNear = -kInf;
    dFar = kInf;
    return IntersectLineAABB(line.pos, line.dir, dNear, dFar);
}

bool AABB::Intersects(const Ray &ray, float &dNear, float &dFar) const {
    dNear = 0.f;
    dFar = kInf;
    return IntersectLineAABB(ray.pos, ray.dir, dNear, dFar);
}

bool AABB::Intersects(const LineSegment &lineSegment) const {
    float dNear, dFar;
    return Intersects(lineSegment, dNear, dFar);
}

// A segment of length 1e-4 or less is treated as its first end point.
bool AABB::Intersects(const LineSegment &lineSegment, float &dNear, float &dFar) const {
    const float3 d = lineSegment.b - lineSegment.a;
    const float length = d.Length();
    if (length <= 1e-4f) {
        dNear = 0.f;
        dFar = 1.f;
        return Contains(lineSegment.a);
    }
    dNear = 0.f;
    dFar = length;
    const float invLength = 1.f / length;
    const bool hit = IntersectLineAABB(lineSegment.a, d * invLength, dNear, dFar);
    dNear *= invLength;
    dFar *= invLength;
    return hit;
}

bool AABB::IntersectLineAABB(const float3 &linePos, const float3 &lineDir, float &tNear, float &tFar) const {
    for (int axis = 0; axis < 3; ++axis) {
        const float dir = lineDir.At(axis), pos = linePos.At(axis);
        const float lo = minCorner.At(axis), hi = maxCorner.At(axis);
        if (EqualAbs(dir, 0.f, 1e-4f)) {
            // Parallel to this pair of slabs: inside them or never.
            if (pos < lo || pos > hi) return false;
        } else {
            const float inv = 1.f / dir;
            const float t1 = (lo - pos) * inv;
            const float t2 = (hi - pos) * inv;
            if (t2 > t1) {
                if (t1 >= tNear) tNear = t1;
                if (t2 <= tFar) tFar = t2;
            } else {
                if (t2 >= tNear) tNear = t2;
                if (t1 <= tFar) tFar = t1;
            }
        }
        if (axis < 2 && tNear > tFar) return false;
    }
    return tFar >= tNear;
}

void AABB::Translate(const float3 &offset) {
    minCorner += offset;
    maxCorner += offset;
}

void AABB::Scale(const float3 &centerPoint, float scaleFactor) {
    minCorner = (minCorner - centerPoint) * scaleFactor + centerPoint;
    maxCorner = (maxCorner - centerPoint) * scaleFactor + centerPoint;
}

void AABB::Scale(const float3 &centerPoint, const float3 &scaleFactor) {
    const float3x4 m = float3x4::Scale(scaleFactor, centerPoint);
    minCorner = m.MulPos(minCorner);
    maxCorner = m.MulPos(maxCorner);
}

void AABB::TransformAsAABB(const float3x3 &transform) { AABBTransformAsAABB(*this, transform); }

void AABB::TransformAsAABB(const float3x4 &transform) { AABBTransformAsAABB(*this, transform); }

void AABB::TransformAsAABB(const Quat &transform) { AABBTransformAsAABB(*this, float3x3(transform)); }

OBB AABB::Transform(const float3x3 &transform) const { return TransformedToOBB(*this, transform); }

OBB AABB::Transform(const float3x4 &transform) const { return TransformedToOBB(*this, transform); }

OBB AABB::Transform(const Quat &transform) const { return TransformedToOBB(*this, transform); }

float3 AABB::RandomPointInside(LCG &rng) const { return box::RandomPointInside(*this, rng); }
float3 AABB::RandomPointOnSurface(LCG &rng) const { return box::RandomPointOnSurface(*this, rng); }
float3 AABB::RandomPointOnEdge(LCG &rng) const { return box::RandomPointOnEdge(*this, rng); }
float3 AABB::RandomCornerPoint(LCG &rng) const { return box::RandomCornerPoint(*this, rng); }

int AABB::NumVerticesInTriangulation(int numFacesX, int numFacesY, int numFacesZ) {
    // Two triangles of three vertices per quad, on two opposite faces per pair of axes.
    return 12 * (numFacesX * numFacesY + numFacesX * numFacesZ + numFacesY * numFacesZ);
}

void AABB::Triangulate(int numFacesX, int numFacesY, int numFacesZ, float3 *outPos, float3 *outNormal,
                       float2 *outUV, bool ccwIsFrontFacing) const {
    if (!outPos) return;
    int i = 0;
    for (int face = 0; face < box::kNumFaces; ++face) {
        const int numU = face < 2 ? numFacesY : numFacesX;
        const int numV = face < 4 ? numFacesZ : numFacesY;
        // Faces 1, 2 and 5 wind the other way round for the same (u, v) order.
        const bool swap = ccwIsFrontFacing != (face == 1 || face == 2 || face == 5);
        for (int x = 0; x < numU; ++x) {
            for (int y = 0; y < numV; ++y) {
                const float u = float(x) / numU;
                const float v = float(y) / numV;
                const float uEnd = float(x + 1) / numU;
                const float vEnd = float(y + 1) / numV;
                const float3 p0 = FacePoint(face, u, v);
                float3 p1 = FacePoint(face, u, vEnd);
                float3 p2 = FacePoint(face, uEnd, v);
                const float3 p3 = FacePoint(face, uEnd, vEnd);
                float2 t1(u, vEnd), t2(uEnd, v);
                if (swap) {
                    std::swap(p1, p2);
                    std::swap(t1, t2);
                }
                const float3 positions[6] = {p0, p1, p2, p2, p1, p3};
                const float2 uvs[6] = {float2(u, v), t1, t2, t2, t1, float2(uEnd, vEnd)};
                const float3 normal = FaceNormal(face);
                for (int k = 0; k < 6; ++k) {
                    outPos[i + k] = positions[k];
                    if (outUV) outUV[i + k] = uvs[k];
                    if (outNormal) outNormal[i + k] = normal;
                }
                i += 6;
            }
        }
    }
    MATH_ASSUME(i == NumVerticesInTriangulation(numFacesX, numFacesY, numFacesZ),
                "i == NumVerticesInTriangulation(numFacesX, numFacesY, numFacesZ)", "Geometry/AABB", 1190);
}

std::string AABB::ToString() const {
    return FormatText("AABB(Min:(%.2f, %.2f, %.2f) Max:(%.2f, %.2f, %.2f))", PrintableFloat(minCorner.x),
                      PrintableFloat(minCorner.y), PrintableFloat(minCorner.z), PrintableFloat(maxCorner.x),
                      PrintableFloat(maxCorner.y), PrintableFloat(maxCorner.z));
}

OBB operator*(const float3x3 &transform, const AABB &aabb) { return aabb.Transform(transform); }

OBB operator*(const float3x4 &transform, const AABB &aabb) { return aabb.Transform(transform); }

OBB operator*(const Quat &transform, const AABB &aabb) { return aabb.Transform(transform); }

std::ostream &operator<<(std::ostream &out, const AABB &aabb) { return out << aabb.ToString(); }

// A 4x4 matrix maps points and directions by its rows 0 to 2, exactly as its 3x4 part does.
void AABB::TransformAsAABB(const float4x4 &transform) { TransformAsAABB(transform.Float3x4Part()); }
OBB AABB::Transform(const float4x4 &transform) const { return Transform(transform.Float3x4Part()); }
OBB operator*(const float4x4 &transform, const AABB &aabb) { return transform.Float3x4Part() * aabb; }

// ---- Solid forms and the GJK test ----

PBVolume AABB::ToPBVolume() const {
    PBVolume volume;
    GetFacePlanes(volume.p);
    return volume;
}

float3 AABB::StartingPoint() const { return minCorner; }

bool AABB::Intersects(const Polygon &polygon) const { return polygon.Intersects(*this); }

// ---- Text forms ----

std::string AABB::SerializeToString() const {
    const std::string text = detail::JoinVectors({minCorner, maxCorner}, &float3::SerializeToString, ",");
    MATH_ASSUME(text.size() + 1 < 256, "s+1 - str < 256", "Geometry/AABB", 1227);
    return text;
}

std::string AABB::SerializeToCodeString() const {
    return "AABB(" + detail::JoinVectors({minCorner, maxCorner}, &float3::SerializeToCodeString, ",") + ")";
}

AABB AABB::FromString(const char *str, const char **outEnd) {
    return detail::ReadVectorShape<AABB>(str, outEnd, "AABB(", {"Min:(", " Max:("});
}

}  // namespace math
