#pragma once

#include <iosfwd>
#include <string>

#include "Geometry/LineSegment.h"
#include "Geometry/PBVolume.h"
#include "Geometry/Plane.h"
#include "Geometry/Ray.h"
#include "Math/float2.h"
#include "Math/float3.h"
#include "Math/float3x4.h"
#include "Math/float4x4.h"

namespace math {

class AABB;
class Capsule;
class float3x3;
class LCG;
class Line;
class OBB;
class Polygon;
class Polyhedron;
class Quat;
class Sphere;
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

    // ---- Queries built on the corners and planes; none of them refreshes the caches ----

    // Orthographic: clamped in the box's own frame; perspective: through the polyhedron form.
    float3 ClosestPoint(const float3 &point) const;
    float Distance(const float3 &point) const;
    // The corners in corner order; faces near, far, left, right, top, bottom, wound the
    // other way round for a left-handed frustum.
    Polyhedron ToPolyhedron() const;
    float Volume() const;
    // Uniform in the viewport coordinates and depth, so denser toward a perspective eye.
    float3 FastRandomPointInside(LCG &rng) const;
    // Rejection from the enclosing box; after 1000 misses a warning and the fast point.
    float3 UniformRandomPointInside(LCG &rng) const;
    // Along up, -front and their cross product, grown over the corners, then by expand.
    OBB MinimalEnclosingOBB(float expand) const;
    AABB MinimalEnclosingAABB() const;
    PBVolume ToPBVolume() const;  // near, left, right, top, bottom, far
    // The first corner, in corner array order, farthest along direction; a NaN direction
    // gives the NaN point and leaves projectionDistance at minus infinity.
    float3 ExtremePoint(const float3 &direction, float &projectionDistance) const;
    float3 StartingPoint() const;  // corner 0: the point GJK starts from
    void ProjectToAxis(const float3 &direction, float &outMin, float &outMax) const;
    int UniqueFaceNormals(float3 *out) const;     // writes 5 (perspective) or 3
    int UniqueEdgeDirections(float3 *out) const;  // writes 6 (perspective) or 3

    void Translate(const float3 &offset);
    // The distances (and an orthographic box's sizes) scale with the length the front takes.
    void Transform(const float3x3 &m);
    void Transform(const float3x4 &m);
    void Transform(const float4x4 &m);
    void Transform(const Quat &q);

    // Through the polyhedron form.
    bool Intersects(const Ray &ray) const;
    bool Intersects(const Line &line) const;
    bool Intersects(const Polyhedron &polyhedron) const;
    // By GJK.
    bool Intersects(const LineSegment &lineSegment) const;
    bool Intersects(const AABB &aabb) const;
    bool Intersects(const OBB &obb) const;
    bool Intersects(const Triangle &triangle) const;
    bool Intersects(const Sphere &sphere) const;
    bool Intersects(const Capsule &capsule) const;
    bool Intersects(const Frustum &frustum) const;
    bool Intersects(const Plane &plane) const;
    bool Intersects(const Polygon &polygon) const;  // a polygon without vertices meets nothing

    std::string ToString() const;
};

const char *FrustumTypeToString(FrustumType type);

Frustum operator*(const float3x3 &m, const Frustum &frustum);
Frustum operator*(const float3x4 &m, const Frustum &frustum);
Frustum operator*(const float4x4 &m, const Frustum &frustum);
Frustum operator*(const Quat &q, const Frustum &frustum);
std::ostream &operator<<(std::ostream &out, const Frustum &frustum);

}  // namespace math
