#pragma once

#include "Geometry/LineSegment.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

class AABB;
class OBB;
class Polygon;
class Polyhedron;
class Triangle;

enum FrustumType : int { InvalidFrustum = 0, OrthographicFrustum = 1, PerspectiveFrustum = 2 };

// The clip-space depth range of the projection matrix: -1..1 for OpenGL, 0..1 for Direct3D.
enum FrustumProjectiveSpace : int { InvalidProjectiveSpace = 0, OpenGLSpace = 1, Direct3DSpace = 2 };

enum FrustumHandedness : int { InvalidHandedness = 0, LeftHanded = 1, RightHanded = 2 };

// A camera's view volume: a perspective pyramid cut by a near and a far plane, or an
// orthographic box, placed by an eye position, a unit view direction and a unit up direction
// perpendicular to it. hFov and vFov are the full fields of view in radians, or the box's width
// and height. The setters keep the cached world, projection and view-projection matrices in
// step; Project and Contains read the cached view-projection matrix.
//
// Corner i: bit 0 picks the far plane, bit 1 the top, bit 2 the right side. Edges pair the
// corners as the boxes do. Planes: 0 near, 1 far, 2 left, 3 right, 4 top, 5 bottom, each with
// its normal out of the volume. An index out of range stands for element 0.
class Frustum {
public:
    FrustumType type;
    FrustumProjectiveSpace projectiveSpace;
    FrustumHandedness handedness;
    float3 pos;
    float3 front;
    float3 up;
    float nearDistance;
    float farDistance;
    float hFov;
    float vFov;
    float3x4 worldMatrix;       // camera to world
    float4x4 projectionMatrix;
    float4x4 viewProjMatrix;    // the projection times the inverse of the world matrix

    // Invalid kinds and NaN everywhere else, caches included.
    Frustum();

    void SetKind(FrustumProjectiveSpace projectiveSpace, FrustumHandedness handedness);
    void SetViewPlaneDistances(float nearPlaneDistance, float farPlaneDistance);
    void SetFrame(const float3 &pos, const float3 &front, const float3 &up);
    void SetPos(const float3 &pos);
    void SetFront(const float3 &front);
    void SetUp(const float3 &up);
    void SetPerspective(float horizontalFov, float verticalFov);
    void SetOrthographic(float orthographicWidth, float orthographicHeight);
    void SetHorizontalFovAndAspectRatio(float horizontalFov, float aspectRatio);
    void SetVerticalFovAndAspectRatio(float verticalFov, float aspectRatio);
    // Takes the frame from the matrix and stores it, but leaves viewProjMatrix as it was.
    void SetWorldMatrix(const float3x4 &worldTransform);
    void WorldMatrixChanged();
    void ProjectionMatrixChanged();

    float3x4 ComputeWorldMatrix() const;
    float3x4 ComputeViewMatrix() const;
    // NaN without a kind or a space; an unknown type, space or handedness also logs an error.
    float4x4 ComputeProjectionMatrix() const;
    float4x4 ComputeViewProjMatrix() const;  // from the members, not the caches

    float AspectRatio() const;
    float3 WorldRight() const;  // up x front when left-handed or invalid, front x up when right-handed
    float NearPlaneWidth() const;
    float NearPlaneHeight() const;
    // The point at normalised coordinates x, y in [-1, 1] of the near or far plane.
    float3 NearPlanePos(float x, float y) const;
    float3 NearPlanePos(const float2 &point) const;
    float3 FarPlanePos(float x, float y) const;
    float3 FarPlanePos(const float2 &point) const;
    float3 CornerPoint(int cornerIndex) const;
    // Another order: index x + 2y + 4z with x = 1 right, y = 1 top, z = 1 far. Null writes nothing.
    void GetCornerPoints(float3 *outPointArray) const;
    LineSegment Edge(int edgeIndex) const;

    Plane NearPlane() const;
    Plane FarPlane() const;
    Plane LeftPlane() const;
    Plane RightPlane() const;
    Plane TopPlane() const;
    Plane BottomPlane() const;
    Plane GetPlane(int faceIndex) const;
    void GetPlanes(Plane *outArray) const;  // null writes nothing

    float3 CenterPoint() const;
    Ray UnProject(float x, float y) const;  // perspective: from the eye; otherwise from the near plane
    Ray UnProjectFromNearPlane(float x, float y) const;
    LineSegment UnProjectLineSegment(float x, float y) const;
    float3 PointInside(float x, float y, float depth) const;  // depth 0 on the near plane, 1 on the far
    float3 Project(const float3 &point) const;                // normalised device coordinates

    // Within the clip volume widened by 0.001; an unknown space logs an error and contains nothing.
    bool Contains(const float3 &point) const;
    // Every end point, vertex or corner contained; nothing to test is contained.
    bool Contains(const LineSegment &lineSegment) const;
    bool Contains(const Triangle &triangle) const;
    bool Contains(const Polygon &polygon) const;
    bool Contains(const Polyhedron &polyhedron) const;
    bool Contains(const AABB &aabb) const;
    bool Contains(const OBB &obb) const;
    bool Contains(const Frustum &frustum) const;
    bool IsFinite() const;

    // Pixels with (0, 0) at the top left and y down; viewport coordinates in [-1, 1] with y up.
    static float2 ViewportToScreenSpace(float x, float y, int screenWidth, int screenHeight);
    static float2 ViewportToScreenSpace(const float2 &point, int screenWidth, int screenHeight);
    static float2 ScreenToViewportSpace(float x, float y, int screenWidth, int screenHeight);
    static float2 ScreenToViewportSpace(const float2 &point, int screenWidth, int screenHeight);
};

}  // namespace math
