#include "Geometry/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "Geometry/AABB.h"
#include "Geometry/OBB.h"
#include "Geometry/Polygon.h"
#include "Geometry/Polyhedron.h"
#include "Geometry/Triangle.h"
#include "log_capture.h"

using math::float2;
using math::float3;
using math::float3x4;
using math::float4x4;
using math::Frustum;

namespace {

const float kPi = 3.14159265f;

Frustum Camera(math::FrustumType type, math::FrustumProjectiveSpace space, math::FrustumHandedness handedness) {
    Frustum f;
    f.SetKind(space, handedness);
    f.SetFrame(float3(0, 0, 0), float3(0, 0, -1), float3(0, 1, 0));
    f.SetViewPlaneDistances(1, 10);
    if (type == math::PerspectiveFrustum)
        f.SetPerspective(kPi / 2, kPi / 2);
    else
        f.SetOrthographic(4, 3);
    return f;
}

Frustum GLRightHanded() { return Camera(math::PerspectiveFrustum, math::OpenGLSpace, math::RightHanded); }

bool AllNaN(const float4x4 &m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isnan(m.At(r, c))) return false;
    return true;
}

bool SameMatrix(const float4x4 &a, const float4x4 &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            const float x = a.At(r, c), y = b.At(r, c);
            if (std::memcmp(&x, &y, sizeof x) != 0) return false;
        }
    return true;
}

void ExpectNear3(const float3 &expected, const float3 &actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

const char *const kProjectionError =
    "Error: Not all values of Frustum were initialized properly! Please initialize correctly before calling "
    "Frustum::ProjectionMatrix()!\n";

}  // namespace

TEST(FrustumTest, RightHandedCameraLookingDownZ) {
    const Frustum f = GLRightHanded();
    EXPECT_TRUE(f.WorldRight().Equals(float3(1, 0, 0), 1e-7f));
    ExpectNear3(float3(-1, -1, -1), f.CornerPoint(0), 1e-6f);
    ExpectNear3(float3(10, 10, -10), f.CornerPoint(7), 1e-5f);
    EXPECT_TRUE(f.Contains(float3(0, 0, -5)));
    EXPECT_FALSE(f.Contains(float3(0, 0, 5)));
    EXPECT_FALSE(f.Contains(float3(0, 0, -10.5f)));
    EXPECT_FALSE(f.Contains(float3(0, 0, -0.5f)));
    EXPECT_TRUE(f.Contains(float3(4.9f, -4.9f, -5)));
    EXPECT_FALSE(f.Contains(float3(5.2f, 0, -5)));
    ExpectNear3(float3(0, 0, -5.5f), f.CenterPoint(), 0.f);

    const Frustum left = Camera(math::PerspectiveFrustum, math::OpenGLSpace, math::LeftHanded);
    EXPECT_TRUE(left.WorldRight().Equals(float3(-1, 0, 0), 1e-7f));
    ExpectNear3(float3(1, -1, -1), left.CornerPoint(0), 1e-6f);
}

TEST(FrustumTest, NumberingAndOutOfRangeIndices) {
    const Frustum f = GLRightHanded();
    for (int i : {8, -1, 100}) EXPECT_TRUE(f.CornerPoint(i).BitEquals(f.CornerPoint(0)));
    EXPECT_TRUE(f.Edge(12).a.BitEquals(f.Edge(0).a) && f.Edge(12).b.BitEquals(f.Edge(0).b));
    EXPECT_TRUE(f.Edge(11).a.BitEquals(f.CornerPoint(6)) && f.Edge(11).b.BitEquals(f.CornerPoint(7)));
    EXPECT_TRUE(f.GetPlane(6).normal.BitEquals(f.GetPlane(0).normal));
    EXPECT_EQ(f.GetPlane(-1).d, f.NearPlane().d);
    float3 corners[8];
    f.GetCornerPoints(corners);
    ExpectNear3(float3(1, -1, -1), corners[1], 1e-6f);  // near bottom-right
    ExpectNear3(float3(-10, -10, -10), f.CornerPoint(1), 1e-5f);  // far bottom-left
    const int cornerOrder[8] = {0, 4, 2, 6, 1, 5, 3, 7};  // array index -> corner index
    for (int j = 0; j < 8; ++j) ExpectNear3(f.CornerPoint(cornerOrder[j]), corners[j], 1e-5f);
    f.GetCornerPoints(nullptr);
    f.GetPlanes(nullptr);
}

// Every corner lies on or inside every plane, the centre strictly inside, for all kinds.
TEST(FrustumTest, PlanesFaceOutwards) {
    for (math::FrustumType type : {math::PerspectiveFrustum, math::OrthographicFrustum})
        for (math::FrustumHandedness h : {math::LeftHanded, math::RightHanded}) {
            Frustum f = Camera(type, math::Direct3DSpace, h);
            f.SetFrame(float3(1, 2, 3), float3(0.6f, 0, 0.8f), float3(0, 1, 0));
            math::Plane planes[6];
            f.GetPlanes(planes);
            for (int p = 0; p < 6; ++p) {
                SCOPED_TRACE(testing::Message() << type << " " << h << " plane " << p);
                EXPECT_NEAR(planes[p].normal.Length(), 1.f, 1e-6f);
                EXPECT_LT(planes[p].SignedDistance(f.CenterPoint()), -0.1f);
                for (int i = 0; i < 8; ++i) EXPECT_LT(planes[p].SignedDistance(f.CornerPoint(i)), 1e-5f);
            }
        }
}

TEST(FrustumTest, ProjectionOfTheViewPlanes) {
    struct Case {
        math::FrustumType type;
        math::FrustumProjectiveSpace space;
        float nearDepth;
    } cases[] = {{math::PerspectiveFrustum, math::OpenGLSpace, -1.f}, {math::PerspectiveFrustum, math::Direct3DSpace, 0.f},
                 {math::OrthographicFrustum, math::OpenGLSpace, -1.f}, {math::OrthographicFrustum, math::Direct3DSpace, 0.f}};
    for (const Case &c : cases)
        for (math::FrustumHandedness h : {math::LeftHanded, math::RightHanded}) {
            SCOPED_TRACE(testing::Message() << c.type << " " << c.space << " " << h);
            const Frustum f = Camera(c.type, c.space, h);
            ExpectNear3(float3(0.5f, -0.25f, c.nearDepth), f.Project(f.NearPlanePos(0.5f, -0.25f)), 1e-5f);
            ExpectNear3(float3(-0.75f, 1, 1), f.Project(f.FarPlanePos(-0.75f, 1)), 1e-5f);
            EXPECT_TRUE(f.Contains(f.PointInside(0.3f, 0.9f, 0.5f)));
            EXPECT_TRUE(f.PointInside(0.3f, 0.9f, 0).BitEquals(f.NearPlanePos(0.3f, 0.9f)));
            EXPECT_TRUE(f.PointInside(0.3f, 0.9f, 1).BitEquals(f.FarPlanePos(float2(0.3f, 0.9f))));
            EXPECT_TRUE(SameMatrix(f.viewProjMatrix, f.ComputeViewProjMatrix()));
        }
}

TEST(FrustumTest, UnProjection) {
    const Frustum p = GLRightHanded();
    const math::Ray r = p.UnProject(0.5f, 0.5f);
    EXPECT_TRUE(r.pos.BitEquals(p.pos));
    ExpectNear3(float3(0.5f, 0.5f, -1).Normalized(), r.dir, 1e-6f);
    const math::Ray fromNear = p.UnProjectFromNearPlane(0.5f, 0.5f);
    EXPECT_TRUE(fromNear.pos.BitEquals(p.NearPlanePos(0.5f, 0.5f)));
    const Frustum o = Camera(math::OrthographicFrustum, math::OpenGLSpace, math::RightHanded);
    const math::Ray ortho = o.UnProject(1, -1);
    ExpectNear3(float3(2, -1.5f, -1), ortho.pos, 1e-6f);
    ExpectNear3(float3(0, 0, -1), ortho.dir, 1e-6f);
    EXPECT_NEAR(o.NearPlaneWidth(), 4.f, 0.f);
    EXPECT_NEAR(p.NearPlaneWidth(), 2.f, 1e-6f);
}

TEST(FrustumTest, ContainsShapes) {
    const Frustum f = GLRightHanded();
    const math::AABB inside(float3(-1, -1, -6), float3(1, 1, -4));
    const math::AABB across(float3(-1, -1, -12), float3(1, 1, -4));
    EXPECT_TRUE(f.Contains(inside));
    EXPECT_FALSE(f.Contains(across));
    EXPECT_TRUE(f.Contains(math::OBB(inside)));
    EXPECT_TRUE(f.Contains(inside.ToPolyhedron()));
    EXPECT_FALSE(f.Contains(across.ToPolyhedron()));
    EXPECT_TRUE(f.Contains(math::Polygon()));
    EXPECT_TRUE(f.Contains(math::Polyhedron()));
    EXPECT_TRUE(f.Contains(math::LineSegment(float3(0, 0, -2), float3(1, 1, -9))));
    EXPECT_FALSE(f.Contains(math::LineSegment(float3(0, 0, -2), float3(0, 0, 1))));
    EXPECT_TRUE(f.Contains(math::Triangle(float3(0, 0, -2), float3(1, 0, -3), float3(0, 1, -3))));
    Frustum smaller = f;
    smaller.SetViewPlaneDistances(2, 5);
    EXPECT_TRUE(f.Contains(smaller));
    EXPECT_FALSE(smaller.Contains(f));
}

TEST(FrustumTest, DefaultConstructionLeavesNothingUnset) {
    const Frustum f;
    EXPECT_EQ(f.type, math::InvalidFrustum);
    EXPECT_TRUE(std::isnan(f.hFov) && std::isnan(f.vFov) && std::isnan(f.nearDistance));
    EXPECT_TRUE(AllNaN(f.projectionMatrix));
    EXPECT_TRUE(AllNaN(f.viewProjMatrix));
    EXPECT_FALSE(f.IsFinite());
    std::string log = StderrOf([&] { EXPECT_TRUE(AllNaN(f.ComputeProjectionMatrix())); });
    EXPECT_EQ(log, "");
    // A frame before any projection setter multiplies by the projection matrix.
    Frustum framed;
    framed.SetFrame(float3(0, 0, 0), float3(0, 0, -1), float3(0, 1, 0));
    EXPECT_TRUE(AllNaN(framed.viewProjMatrix));
    EXPECT_FALSE(std::isnan(framed.worldMatrix.At(0, 0)));
}

TEST(FrustumTest, IncompleteKindsLogAndGiveNaN) {
    Frustum f;
    f.type = math::PerspectiveFrustum;
    f.projectiveSpace = math::OpenGLSpace;
    std::string log = StderrOf([&] { EXPECT_TRUE(AllNaN(f.ComputeProjectionMatrix())); });
    EXPECT_EQ(WithoutStackLines(log), kProjectionError);
    f.type = static_cast<math::FrustumType>(5);
    f.handedness = math::RightHanded;
    log = StderrOf([&] { f.ComputeProjectionMatrix(); });
    EXPECT_EQ(WithoutStackLines(log), kProjectionError);
    Frustum noSpace = GLRightHanded();
    noSpace.projectiveSpace = math::InvalidProjectiveSpace;
    log = StderrOf([&] { EXPECT_FALSE(noSpace.Contains(float3(0, 0, -5))); });
    EXPECT_EQ(WithoutStackLines(log),
              "Error: Not all values of Frustum were initialized properly! Please initialize correctly before calling "
              "Frustum::Contains()!\n");
}

TEST(FrustumTest, CachesFollowTheSettersOnly) {
    Frustum f;
    f.SetKind(math::OpenGLSpace, math::RightHanded);  // up is still NaN: no world matrix yet
    EXPECT_TRUE(std::isnan(f.worldMatrix.At(0, 0)));
    f.SetViewPlaneDistances(1, 10);
    f.SetPerspective(1, 1);
    EXPECT_TRUE(AllNaN(f.viewProjMatrix));  // the NaN world matrix leaves it as it was
    f.SetFrame(float3(0, 0, 0), float3(0, 0, -1), float3(0, 1, 0));
    EXPECT_TRUE(SameMatrix(f.viewProjMatrix, f.ComputeViewProjMatrix()));

    // SetWorldMatrix reads the frame but refreshes only the world matrix.
    const float4x4 before = f.viewProjMatrix;
    const float3x4 moved(float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1), float3(0, 0, 20));
    f.SetWorldMatrix(moved);
    EXPECT_TRUE(f.pos.BitEquals(float3(0, 0, 20)));
    EXPECT_TRUE(f.front.Equals(float3(0, 0, -1), 1e-7f));
    EXPECT_TRUE(SameMatrix(f.viewProjMatrix, before));
    EXPECT_TRUE(f.Contains(float3(0, 0, -5)));  // still the old placement
    f.SetPos(f.pos);
    EXPECT_FALSE(f.Contains(float3(0, 0, -5)));
    EXPECT_TRUE(f.Contains(float3(0, 0, 15)));
}

TEST(FrustumTest, FieldOfViewFromAspectRatio) {
    Frustum f = GLRightHanded();
    f.SetVerticalFovAndAspectRatio(1.f, 16.f / 9.f);
    EXPECT_EQ(f.vFov, 1.f);
    EXPECT_NEAR(f.AspectRatio(), 16.f / 9.f, 1e-6f);
    f.SetHorizontalFovAndAspectRatio(1.5f, 2.f);
    EXPECT_EQ(f.hFov, 1.5f);
    EXPECT_NEAR(f.AspectRatio(), 2.f, 1e-6f);
    EXPECT_EQ(f.type, math::PerspectiveFrustum);
    EXPECT_NEAR(f.NearPlaneWidth() / f.NearPlaneHeight(), 2.f, 1e-6f);
}

TEST(FrustumTest, ScreenAndViewportMappings) {
    struct Case {
        float2 viewport;
        float2 screen;
    } cases[] = {{{-1, 1}, {0, 0}}, {{1, -1}, {639, 479}}, {{0, 0}, {319.5f, 239.5f}}};
    for (const Case &c : cases) {
        const float2 s = Frustum::ViewportToScreenSpace(c.viewport, 640, 480);
        EXPECT_EQ(s.x, c.screen.x);
        EXPECT_EQ(s.y, c.screen.y);
        const float2 v = Frustum::ScreenToViewportSpace(c.screen, 640, 480);
        EXPECT_EQ(v.x, c.viewport.x);
        EXPECT_EQ(v.y, c.viewport.y);
    }
    const float2 v = Frustum::ScreenToViewportSpace(0, 0, 640, 480);
    EXPECT_EQ(v.x, -1.f);
    EXPECT_EQ(v.y, 1.f);
    const float2 s = Frustum::ViewportToScreenSpace(1, -1, 640, 480);
    EXPECT_EQ(s.x, 639.f);
    EXPECT_EQ(s.y, 479.f);
}
