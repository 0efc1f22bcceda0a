#include "Geometry/Frustum.h"

#include <cmath>
#include <limits>

#include "Geometry/AABB.h"
#include "Geometry/BoxNumbering.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Triangle.h"
#include "Math/MathFunc.h"
#include "Math/MathLog.h"
#include "Math/float4.h"

namespace math {

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

template <typename Points>
bool ContainsAll(const Frustum &frustum, const Points &points) {
    for (const float3 &p : points)
        if (!frustum.Contains(p)) return false;
    return true;
}

bool Within(float value, float lo, float hi) { return value >= lo && value <= hi; }

}  // namespace

// The sizes and the projection matrix start as NaN too: WorldMatrixChanged, which SetFrame runs
// before any projection setter, multiplies by the projection matrix.
Frustum::Frustum()
    : type(InvalidFrustum),
      projectiveSpace(InvalidProjectiveSpace),
      handedness(InvalidHandedness),
      pos(float3::nan),
      front(float3::nan),
      up(float3::nan),
      nearDistance(kNaN),
      farDistance(kNaN),
      hFov(kNaN),
      vFov(kNaN),
      worldMatrix(float3x4::nan),
      projectionMatrix(float4x4::nan),
      viewProjMatrix(float4x4::nan) {}

void Frustum::SetKind(FrustumProjectiveSpace projectiveSpace_, FrustumHandedness handedness_) {
    projectiveSpace = projectiveSpace_;
    handedness = handedness_;
    if (up.IsFinite()) WorldMatrixChanged();
    ProjectionMatrixChanged();
}

void Frustum::SetViewPlaneDistances(float nearPlaneDistance, float farPlaneDistance) {
    nearDistance = nearPlaneDistance;
    farDistance = farPlaneDistance;
    ProjectionMatrixChanged();
}

void Frustum::SetFrame(const float3 &pos_, const float3 &front_, const float3 &up_) {
    pos = pos_;
    front = front_;
    up = up_;
    WorldMatrixChanged();
}

void Frustum::SetPos(const float3 &pos_) {
    pos = pos_;
    WorldMatrixChanged();
}

void Frustum::SetFront(const float3 &front_) {
    front = front_;
    WorldMatrixChanged();
}

void Frustum::SetUp(const float3 &up_) {
    up = up_;
    WorldMatrixChanged();
}

void Frustum::SetPerspective(float horizontalFov, float verticalFov) {
    type = PerspectiveFrustum;
    hFov = horizontalFov;
    vFov = verticalFov;
    ProjectionMatrixChanged();
}

void Frustum::SetOrthographic(float orthographicWidth, float orthographicHeight) {
    type = OrthographicFrustum;
    hFov = orthographicWidth;
    vFov = orthographicHeight;
    ProjectionMatrixChanged();
}

void Frustum::SetHorizontalFovAndAspectRatio(float horizontalFov, float aspectRatio) {
    type = PerspectiveFrustum;
    hFov = horizontalFov;
    vFov = 2.f * Atan(Tan(horizontalFov * 0.5f) / aspectRatio);
    ProjectionMatrixChanged();
}

void Frustum::SetVerticalFovAndAspectRatio(float verticalFov, float aspectRatio) {
    type = PerspectiveFrustum;
    vFov = verticalFov;
    hFov = 2.f * Atan(Tan(verticalFov * 0.5f) * aspectRatio);
    ProjectionMatrixChanged();
}

// Only the world matrix follows: Project and Contains keep the old view-projection matrix
// until a refreshing setter runs.
void Frustum::SetWorldMatrix(const float3x4 &worldTransform) {
    pos = worldTransform.TranslatePart();
    front = handedness == RightHanded ? -worldTransform.Col(2) : worldTransform.Col(2);
    up = worldTransform.Col(1);
    worldMatrix = worldTransform;
}

void Frustum::WorldMatrixChanged() {
    worldMatrix = ComputeWorldMatrix();
    float3x4 view = worldMatrix;
    view.InverseOrthonormal();
    viewProjMatrix = projectionMatrix * view;
}

void Frustum::ProjectionMatrixChanged() {
    projectionMatrix = ComputeProjectionMatrix();
    if (std::isnan(worldMatrix.At(0, 0))) return;
    float3x4 view = worldMatrix;
    view.InverseOrthonormal();
    viewProjMatrix = projectionMatrix * view;
}

float3x4 Frustum::ComputeWorldMatrix() const {
    return float3x4(WorldRight().Normalized(), up, handedness == RightHanded ? -front : front, pos);
}

float3x4 Frustum::ComputeViewMatrix() const {
    float3x4 view = ComputeWorldMatrix();
    view.InverseOrthonormal();
    return view;
}

float4x4 Frustum::ComputeProjectionMatrix() const {
    if (type == InvalidFrustum || projectiveSpace == InvalidProjectiveSpace) return float4x4::nan;
    const bool typeKnown = type == OrthographicFrustum || type == PerspectiveFrustum;
    const bool spaceKnown = projectiveSpace == OpenGLSpace || projectiveSpace == Direct3DSpace;
    const bool handednessKnown = handedness == LeftHanded || handedness == RightHanded;
    if (!typeKnown || !spaceKnown || !handednessKnown) {
        PrintToConsole(LogError,
                       "Not all values of Frustum were initialized properly! Please initialize correctly before calling "
                       "Frustum::ProjectionMatrix()!");
        return float4x4::nan;
    }
    using Builder = float4x4 (*)(float, float, float, float);
    // Indexed by [perspective][Direct3D][right-handed].
    static const Builder builders[2][2][2] = {
        {{float4x4::OpenGLOrthoProjLH, float4x4::OpenGLOrthoProjRH}, {float4x4::D3DOrthoProjLH, float4x4::D3DOrthoProjRH}},
        {{float4x4::OpenGLPerspProjLH, float4x4::OpenGLPerspProjRH}, {float4x4::D3DPerspProjLH, float4x4::D3DPerspProjRH}},
    };
    const bool perspective = type == PerspectiveFrustum;
    const Builder build = builders[perspective][projectiveSpace == Direct3DSpace][handedness == RightHanded];
    if (perspective) return build(nearDistance, farDistance, NearPlaneWidth(), NearPlaneHeight());
    return build(nearDistance, farDistance, hFov, vFov);
}

float4x4 Frustum::ComputeViewProjMatrix() const { return ComputeProjectionMatrix() * ComputeViewMatrix(); }

float Frustum::AspectRatio() const { return Tan(hFov * 0.5f) / Tan(vFov * 0.5f); }

float3 Frustum::WorldRight() const { return handedness == RightHanded ? front.Cross(up) : up.Cross(front); }

float Frustum::NearPlaneWidth() const {
    if (type != PerspectiveFrustum) return hFov;
    const float t = Tan(hFov * 0.5f);
    return (t + t) * nearDistance;
}

float Frustum::NearPlaneHeight() const {
    if (type != PerspectiveFrustum) return vFov;
    const float t = Tan(vFov * 0.5f);
    return (t + t) * nearDistance;
}

namespace {

// The point at x, y of the view plane at the given distance.
float3 ViewPlanePos(const Frustum &f, float distance, float x, float y) {
    const float3 right = f.WorldRight();
    const float3 center = f.pos + f.front * distance;
    if (f.type == PerspectiveFrustum)
        return center + right * (Tan(f.hFov * 0.5f) * distance * x) + f.up * (Tan(f.vFov * 0.5f) * distance * y);
    return center + right * (x * f.hFov * 0.5f) + f.up * (y * f.vFov * 0.5f);
}

}  // namespace

float3 Frustum::NearPlanePos(float x, float y) const { return ViewPlanePos(*this, nearDistance, x, y); }

float3 Frustum::NearPlanePos(const float2 &point) const { return NearPlanePos(point.x, point.y); }

float3 Frustum::FarPlanePos(float x, float y) const { return ViewPlanePos(*this, farDistance, x, y); }

float3 Frustum::FarPlanePos(const float2 &point) const { return FarPlanePos(point.x, point.y); }

float3 Frustum::CornerPoint(int cornerIndex) const {
    const int i = box::IndexOrZero(cornerIndex, box::kNumCorners);
    const float x = i & 4 ? 1.f : -1.f;
    const float y = i & 2 ? 1.f : -1.f;
    return i & 1 ? FarPlanePos(x, y) : NearPlanePos(x, y);
}

void Frustum::GetCornerPoints(float3 *outPointArray) const {
    if (!outPointArray) return;
    const float3 right = WorldRight();
    const float distances[2] = {nearDistance, farDistance};
    for (int plane = 0; plane < 2; ++plane) {
        const float d = distances[plane];
        const float3 c = pos + front * d;
        const bool perspective = type == PerspectiveFrustum;
        const float3 rr = right * (perspective ? Tan(hFov * 0.5f) * d : hFov * 0.5f);
        const float3 uu = up * (perspective ? Tan(vFov * 0.5f) * d : vFov * 0.5f);
        float3 *out = outPointArray + 4 * plane;
        out[0] = c - rr - uu;
        out[1] = c + rr - uu;
        out[2] = c - rr + uu;
        out[3] = c + rr + uu;
    }
}

LineSegment Frustum::Edge(int edgeIndex) const { return box::Edge(*this, edgeIndex); }

Plane Frustum::NearPlane() const { return Plane(pos + front * nearDistance, -front); }

Plane Frustum::FarPlane() const { return Plane(pos + front * farDistance, front); }

// The side planes of a perspective frustum pass through the eye; v runs along the side.
Plane Frustum::LeftPlane() const {
    const float3 right = WorldRight();
    if (type != PerspectiveFrustum) return Plane(NearPlanePos(-1.f, 0.f), (-right).Normalized());
    const float3 v = front + (-right).ScaledToLength(Tan(hFov * 0.5f));
    return Plane(pos, (handedness == RightHanded ? up.Cross(v) : v.Cross(up)).Normalized());
}

Plane Frustum::RightPlane() const {
    const float3 right = WorldRight();
    if (type != PerspectiveFrustum) return Plane(NearPlanePos(1.f, 0.f), right.Normalized());
    const float3 v = front + right.ScaledToLength(Tan(hFov * 0.5f));
    return Plane(pos, (handedness == RightHanded ? v.Cross(up) : up.Cross(v)).Normalized());
}

Plane Frustum::TopPlane() const {
    if (type != PerspectiveFrustum) return Plane(NearPlanePos(0.f, 1.f), up);
    const float3 right = WorldRight();
    const float3 v = front + up * Tan(vFov * 0.5f);
    return Plane(pos, (handedness == RightHanded ? right.Cross(v) : v.Cross(right)).Normalized());
}

Plane Frustum::BottomPlane() const {
    if (type != PerspectiveFrustum) return Plane(NearPlanePos(0.f, -1.f), -up);
    const float3 left = -WorldRight();
    const float3 v = front - up * Tan(vFov * 0.5f);
    return Plane(pos, (handedness == RightHanded ? left.Cross(v) : v.Cross(left)).Normalized());
}

Plane Frustum::GetPlane(int faceIndex) const {
    switch (faceIndex) {
        case 1: return FarPlane();
        case 2: return LeftPlane();
        case 3: return RightPlane();
        case 4: return TopPlane();
        case 5: return BottomPlane();
        default: return NearPlane();
    }
}

void Frustum::GetPlanes(Plane *outArray) const {
    if (!outArray) return;
    for (int i = 0; i < 6; ++i) outArray[i] = GetPlane(i);
}

float3 Frustum::CenterPoint() const { return pos + front * ((nearDistance + farDistance) * 0.5f); }

Ray Frustum::UnProject(float x, float y) const {
    if (type == PerspectiveFrustum) return Ray(pos, (NearPlanePos(x, y) - pos).Normalized());
    return UnProjectLineSegment(x, y).ToRay();
}

Ray Frustum::UnProjectFromNearPlane(float x, float y) const { return UnProjectLineSegment(x, y).ToRay(); }

LineSegment Frustum::UnProjectLineSegment(float x, float y) const {
    return LineSegment(NearPlanePos(x, y), FarPlanePos(x, y));
}

float3 Frustum::PointInside(float x, float y, float depth) const { return UnProjectLineSegment(x, y).GetPoint(depth); }

float3 Frustum::Project(const float3 &point) const {
    float4 projected = viewProjMatrix * float4(point, 1.f);
    projected.NormalizeW();
    return projected.xyz();
}

bool Frustum::Contains(const float3 &point) const {
    if (projectiveSpace != OpenGLSpace && projectiveSpace != Direct3DSpace) {
        PrintToConsole(LogError,
                       "Not all values of Frustum were initialized properly! Please initialize correctly before calling "
                       "Frustum::Contains()!");
        return false;
    }
    const float3 q = Project(point);
    const float zMin = projectiveSpace == OpenGLSpace ? -1.001f : -0.001f;
    return Within(q.x, -1.001f, 1.001f) && Within(q.y, -1.001f, 1.001f) && Within(q.z, zMin, 1.001f);
}

bool Frustum::Contains(const LineSegment &lineSegment) const { return Contains(lineSegment.a) && Contains(lineSegment.b); }

bool Frustum::Contains(const Triangle &triangle) const {
    return Contains(triangle.a) && Contains(triangle.b) && Contains(triangle.c);
}

bool Frustum::Contains(const Polygon &polygon) const { return ContainsAll(*this, polygon.vertices); }

bool Frustum::Contains(const Polyhedron &polyhedron) const { return ContainsAll(*this, polyhedron.v); }

bool Frustum::Contains(const AABB &aabb) const { return box::ContainsCorners(*this, aabb); }

bool Frustum::Contains(const OBB &obb) const { return box::ContainsCorners(*this, obb); }

bool Frustum::Contains(const Frustum &frustum) const { return box::ContainsCorners(*this, frustum); }

bool Frustum::IsFinite() const {
    return pos.IsFinite() && front.IsFinite() && up.IsFinite() && std::isfinite(nearDistance) &&
           std::isfinite(farDistance) && std::isfinite(hFov) && std::isfinite(vFov);
}

float2 Frustum::ViewportToScreenSpace(float x, float y, int screenWidth, int screenHeight) {
    return float2((x + 1.f) * 0.5f * static_cast<float>(screenWidth - 1),
                  static_cast<float>(screenHeight - 1) * ((1.f - y) * 0.5f));
}

float2 Frustum::ViewportToScreenSpace(const float2 &point, int screenWidth, int screenHeight) {
    return ViewportToScreenSpace(point.x, point.y, screenWidth, screenHeight);
}

float2 Frustum::ScreenToViewportSpace(float x, float y, int screenWidth, int screenHeight) {
    return float2(2.f * x / static_cast<float>(screenWidth - 1) - 1.f, 1.f - 2.f * y / static_cast<float>(screenHeight - 1));
}

float2 Frustum::ScreenToViewportSpace(const float2 &point, int screenWidth, int screenHeight) {
    return ScreenToViewportSpace(point.x, point.y, screenWidth, screenHeight);
}

}  // namespace math
