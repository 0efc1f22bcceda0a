// Frustum matrices, corners and planes against glm's projection and view builders.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <glm/ext/matrix_clip_space.hpp>
#include <glm/ext/matrix_transform.hpp>
#include <glm/gtc/matrix_access.hpp>
#include <glm/glm.hpp>

#include "Geometry/Frustum.h"
#include "frustum_fixtures.h"

using math::float3;
using math::Frustum;

namespace {

using frustum_fixtures::Kind;
using frustum_fixtures::kKinds;

bool WithinUlps(float a, float b, int ulps) {
    if (a == b) return true;
    return std::fabs(a - b) <= ulps * std::fabs(std::nextafter(b, 2 * b + 1) - b);
}

// glm's builder for the kind, over the box (l, r, b, t) of the near plane (or the ortho box).
template <typename T>
glm::mat<4, 4, T> Projection(const Kind &k, T l, T r, T b, T t, T n, T f) {
    const bool gl = k.space == math::OpenGLSpace, lh = k.handedness == math::LeftHanded;
    if (k.type == math::PerspectiveFrustum) {
        if (gl) return lh ? glm::frustumLH_NO(l, r, b, t, n, f) : glm::frustumRH_NO(l, r, b, t, n, f);
        return lh ? glm::frustumLH_ZO(l, r, b, t, n, f) : glm::frustumRH_ZO(l, r, b, t, n, f);
    }
    if (gl) return lh ? glm::orthoLH_NO(l, r, b, t, n, f) : glm::orthoRH_NO(l, r, b, t, n, f);
    return lh ? glm::orthoLH_ZO(l, r, b, t, n, f) : glm::orthoRH_ZO(l, r, b, t, n, f);
}

template <typename T>
glm::mat<4, 4, T> View(const Kind &k, const glm::vec<3, T> &eye, const glm::vec<3, T> &front, const glm::vec<3, T> &up) {
    return k.handedness == math::LeftHanded ? glm::lookAtLH(eye, eye + front, up) : glm::lookAtRH(eye, eye + front, up);
}

struct Camera {
    Frustum frustum;
    float width, height;  // of the near plane, or of the ortho box
};

Camera RandomCamera(std::mt19937 &rng, const Kind &k) {
    const Frustum f = frustum_fixtures::RandomFrustum(rng, k);
    return {f, f.NearPlaneWidth(), f.NearPlaneHeight()};
}

glm::dvec3 D(const float3 &v) { return glm::dvec3(v.x, v.y, v.z); }

// glm's projection over the camera's near plane, or its box, centred on the view axis.
template <typename T>
glm::mat<4, 4, T> ProjectionOf(const Kind &k, const Camera &camera) {
    const T hw = static_cast<T>(camera.width) * T(0.5), hh = static_cast<T>(camera.height) * T(0.5);
    return Projection<T>(k, -hw, hw, -hh, hh, camera.frustum.nearDistance, camera.frustum.farDistance);
}

}  // namespace

// The projection matrix element by element, from the near plane's size: within 2 ulp.
TEST(FrustumOracleTest, ProjectionMatricesMatchGlm) {
    std::mt19937 rng(21);
    for (const Kind &k : kKinds)
        for (int i = 0; i < 200; ++i) {
            const Camera s = RandomCamera(rng, k);
            const Frustum &f = s.frustum;
            const glm::mat4 expected = ProjectionOf<float>(k, s);
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    ASSERT_TRUE(WithinUlps(f.projectionMatrix.At(r, c), expected[c][r], 2))
                        << k.type << k.space << k.handedness << " (" << r << "," << c << ") " << f.projectionMatrix.At(r, c)
                        << " vs " << expected[c][r];
        }
}

// From the vertical field of view and the aspect ratio, where tanf rounds differently.
TEST(FrustumOracleTest, PerspectiveFromFieldOfViewMatchesGlm) {
    std::mt19937 rng(22);
    for (const Kind &k : kKinds) {
        if (k.type != math::PerspectiveFrustum) continue;
        for (int i = 0; i < 200; ++i) {
            Camera s = RandomCamera(rng, k);
            Frustum &f = s.frustum;
            const float aspect = 0.5f + static_cast<float>(i) / 100.f;
            f.SetVerticalFovAndAspectRatio(f.vFov, aspect);
            const bool gl = k.space == math::OpenGLSpace, lh = k.handedness == math::LeftHanded;
            const float n = f.nearDistance, fa = f.farDistance;
            const glm::mat4 expected = gl ? (lh ? glm::perspectiveLH_NO(f.vFov, aspect, n, fa) : glm::perspectiveRH_NO(f.vFov, aspect, n, fa))
                                          : (lh ? glm::perspectiveLH_ZO(f.vFov, aspect, n, fa) : glm::perspectiveRH_ZO(f.vFov, aspect, n, fa));
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    ASSERT_NEAR(f.projectionMatrix.At(r, c), expected[c][r], 1e-6 * std::fabs(expected[c][r]) + 1e-30) << r << c;
        }
    }
}

TEST(FrustumOracleTest, ViewMatricesMatchGlmLookAt) {
    std::mt19937 rng(23);
    for (const Kind &k : kKinds)
        for (int i = 0; i < 200; ++i) {
            const Frustum f = RandomCamera(rng, k).frustum;
            const glm::mat4 expected = View<float>(k, glm::vec3(f.pos.x, f.pos.y, f.pos.z), glm::vec3(f.front.x, f.front.y, f.front.z),
                                                   glm::vec3(f.up.x, f.up.y, f.up.z));
            const math::float3x4 view = f.ComputeViewMatrix();
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c) ASSERT_NEAR(view.At(r, c), expected[c][r], c == 3 ? 4e-6 * 20 : 1e-6) << r << c;
        }
}

// Corners from the double inverse of glm's projection times view, planes from its rows.
TEST(FrustumOracleTest, CornersAndPlanesMatchGlm) {
    std::mt19937 rng(24);
    for (const Kind &k : kKinds)
        for (int i = 0; i < 100; ++i) {
            const Camera s = RandomCamera(rng, k);
            const Frustum &f = s.frustum;
            const glm::dmat4 vp = ProjectionOf<double>(k, s) * View<double>(k, D(f.pos), D(f.front), D(f.up));
            const glm::dmat4 inverse = glm::inverse(vp);
            const double zNear = k.space == math::OpenGLSpace ? -1 : 0;
            const double size = f.farDistance + 20;
            for (int c = 0; c < 8; ++c) {
                const glm::dvec4 ndc(c & 4 ? 1 : -1, c & 2 ? 1 : -1, c & 1 ? 1 : zNear, 1);
                const glm::dvec4 p = inverse * ndc;
                const glm::dvec3 expected = glm::dvec3(p) / p.w;
                const float3 ours = f.CornerPoint(c);
                ASSERT_NEAR(ours.x, expected.x, 1e-5 * size) << c;
                ASSERT_NEAR(ours.y, expected.y, 1e-5 * size) << c;
                ASSERT_NEAR(ours.z, expected.z, 1e-5 * size) << c;
            }
            // Rows of the matrix give inward planes a.x + b >= 0: near, far, left, right, top, bottom.
            const glm::dvec4 row[4] = {glm::row(vp, 0), glm::row(vp, 1), glm::row(vp, 2), glm::row(vp, 3)};
            const glm::dvec4 nearRow = k.space == math::OpenGLSpace ? row[3] + row[2] : row[2];
            const glm::dvec4 inward[6] = {nearRow, row[3] - row[2], row[3] + row[0], row[3] - row[0], row[3] - row[1], row[3] + row[1]};
            for (int p = 0; p < 6; ++p) {
                const double length = glm::length(glm::dvec3(inward[p]));
                const glm::dvec3 normal = -glm::dvec3(inward[p]) / length;
                const double d = inward[p].w / length;
                const math::Plane ours = f.GetPlane(p);
                ASSERT_NEAR(ours.normal.x, normal.x, 1e-5) << p;
                ASSERT_NEAR(ours.normal.y, normal.y, 1e-5) << p;
                ASSERT_NEAR(ours.normal.z, normal.z, 1e-5) << p;
                ASSERT_NEAR(ours.d, d, 1e-5 * size) << p;
            }
        }
}
