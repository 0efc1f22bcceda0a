#include <glm/ext/matrix_clip_space.hpp>
#include <glm/mat4x4.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Math/MathOps.h"
#include "Math/float4.h"
#include "Math/float4x4.h"

using math::float4;
using math::float4x4;

namespace {

using Builder = float4x4 (*)(float, float, float, float);
using GlmBuilder = glm::mat4 (*)(float, float, float, float, float, float);

struct Frame {
    float n, f, h, v;
};

// Near and far plane distances and viewport sizes, from the ordinary to the lopsided.
const Frame kFrames[] = {
    {1.f, 100.f, 2.f, 2.f},     {0.1f, 1000.f, 1.6f, 0.9f}, {0.01f, 3.f, 0.37f, 5.2f},
    {2.5f, 2.75f, 640.f, 480.f}, {7.f, 0.3f, 1e-3f, 3e4f},   {0.f, 1.f, 2.f, 2.f},
};

struct BuilderCase {
    const char *name;
    Builder ours;
    GlmBuilder glm;
    bool perspective;
};

const BuilderCase kBuilders[] = {
    {"D3DOrthoProjLH", &float4x4::D3DOrthoProjLH, &glm::orthoLH_ZO<float>, false},
    {"D3DOrthoProjRH", &float4x4::D3DOrthoProjRH, &glm::orthoRH_ZO<float>, false},
    {"D3DPerspProjLH", &float4x4::D3DPerspProjLH, &glm::frustumLH_ZO<float>, true},
    {"D3DPerspProjRH", &float4x4::D3DPerspProjRH, &glm::frustumRH_ZO<float>, true},
    {"OpenGLOrthoProjLH", &float4x4::OpenGLOrthoProjLH, &glm::orthoLH_NO<float>, false},
    {"OpenGLOrthoProjRH", &float4x4::OpenGLOrthoProjRH, &glm::orthoRH_NO<float>, false},
    {"OpenGLPerspProjLH", &float4x4::OpenGLPerspProjLH, &glm::frustumLH_NO<float>, true},
    {"OpenGLPerspProjRH", &float4x4::OpenGLPerspProjRH, &glm::frustumRH_NO<float>, true},
};

bool SameElements(const float4x4 &a, const float4x4 &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (a.elements[r][c] != b.elements[r][c]) return false;
    return true;
}

// The oracle takes a centred viewport as left/right/bottom/top and stores columns.
glm::mat4 GlmFor(const BuilderCase &b, const Frame &fr) {
    return b.glm(-fr.h / 2.f, fr.h / 2.f, -fr.v / 2.f, fr.v / 2.f, fr.n, fr.f);
}

TEST(float4x4Projection, BuildersMatchTheOracleWithinTwoUlps) {
    for (const BuilderCase &b : kBuilders)
        for (const Frame &fr : kFrames) {
            if (fr.n == 0.f && b.perspective) continue;  // a projection through the eye
            const float4x4 m = b.ours(fr.n, fr.f, fr.h, fr.v);
            const glm::mat4 g = GlmFor(b, fr);
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    EXPECT_TRUE(math::EqualUlps(m.elements[r][c], g[c][r], 2))
                        << b.name << " n=" << fr.n << " f=" << fr.f << " h=" << fr.h << " v=" << fr.v << " m" << r
                        << c << ": " << m.elements[r][c] << " vs " << g[c][r];
        }
}

// A point on the near plane lands on the low end of the depth range, one on the far
// plane on +1, and the viewport's corner on (+-1, +-1) once divided by w.
TEST(float4x4Projection, NearAndFarPlanesMapToTheDepthRange) {
    const Frame fr{0.5f, 20.f, 4.f, 3.f};
    for (const BuilderCase &b : kBuilders) {
        const bool openGL = b.name[0] == 'O';
        const float sign = std::string(b.name).find("RH") != std::string::npos ? -1.f : 1.f;
        const float4x4 m = b.ours(fr.n, fr.f, fr.h, fr.v);
        for (const float depth : {fr.n, fr.f}) {
            // The viewport corner at that depth: the perspective widens it with distance.
            const float scale = b.perspective ? depth / fr.n : 1.f;
            const float4 p(fr.h / 2.f * scale, -fr.v / 2.f * scale, sign * depth, 1.f);
            const float4 clip = m * p;
            const float low = openGL ? -1.f : 0.f;
            EXPECT_NEAR(clip.z / clip.w, depth == fr.n ? low : 1.f, 1e-5f) << b.name;
            EXPECT_NEAR(clip.x / clip.w, 1.f, 1e-5f) << b.name;
            EXPECT_NEAR(clip.y / clip.w, -1.f, 1e-5f) << b.name;
        }
    }
}

TEST(float4x4Projection, EvaluationOrderFixesTheLastBit) {
    const float4x4 gl = float4x4::OpenGLPerspProjRH(1.f, 100.f, 2.f, 2.f);
    EXPECT_EQ(gl.elements[0][0], 1.f);
    EXPECT_EQ(gl.elements[1][1], 1.f);
    EXPECT_EQ(gl.elements[2][2], 101.f / -99.f);
    EXPECT_EQ(gl.elements[2][3], 200.f / -99.f);
    EXPECT_TRUE(gl.Row(3).BitEquals(float4(0.f, 0.f, -1.f, 0.f)));

    // Its m23 is n / (n - f) = 0 / -1, a negative zero.
    const float4x4 d3d = float4x4::D3DOrthoProjLH(0.f, 1.f, 2.f, 2.f);
    EXPECT_TRUE(SameElements(d3d, float4x4::identity));
    EXPECT_TRUE(std::signbit(d3d.elements[2][3]));

    // 2n is n + n and the product goes over the difference: (n + n) * f / (n - f).
    const float n = 0.3f, f = 7.1f;
    EXPECT_EQ(float4x4::OpenGLPerspProjLH(n, f, 1.f, 1.f).elements[2][3], (n + n) * f / (n - f));
    EXPECT_EQ(float4x4::D3DPerspProjRH(n, f, 1.f, 1.f).elements[2][3], n * f / (n - f));
    EXPECT_EQ(float4x4::D3DPerspProjRH(n, f, 0.7f, 1.f).elements[0][0], (n + n) / 0.7f);
}

// Unchecked arguments: equal planes divide by zero.
TEST(float4x4Projection, EqualPlanesGiveInfinitiesOrNaNs) {
    for (const BuilderCase &b : kBuilders) {
        const float4x4 m = b.ours(2.f, 2.f, 1.f, 1.f);
        EXPECT_FALSE(m.IsFinite()) << b.name;
        EXPECT_TRUE(std::isinf(m.elements[2][2])) << b.name;
    }
    EXPECT_TRUE(std::isinf(float4x4::D3DOrthoProjLH(0.f, 1.f, 0.f, 1.f).elements[0][0]));
}

TEST(float4x4Projection, ContainsProjectionOnlyForAPerspective) {
    for (const BuilderCase &b : kBuilders)
        for (const Frame &fr : kFrames) {
            if (fr.n == 0.f) continue;
            const float4x4 m = b.ours(fr.n, fr.f, fr.h, fr.v);
            EXPECT_EQ(m.ContainsProjection(1e-5f), b.perspective) << b.name;
        }
    const float4x4 affine[] = {float4x4::identity, float4x4::RotateX(0.7f),
                               float4x4(float4x4::Translate(1.f, -2.f, 3.f)), float4x4::OrthographicProjectionXY()};
    for (const float4x4 &m : affine) EXPECT_FALSE(m.ContainsProjection(1e-5f));

    float4x4 nearlyAffine = float4x4::identity;
    nearlyAffine.elements[3][2] = 1e-6f;
    EXPECT_FALSE(nearlyAffine.ContainsProjection(1e-5f));
    EXPECT_TRUE(nearlyAffine.ContainsProjection(1e-6f));
    nearlyAffine.elements[3][2] = 0.f;
    nearlyAffine.elements[3][3] = 1.5f;  // a difference of epsilon already counts
    EXPECT_TRUE(nearlyAffine.ContainsProjection(0.5f));
    EXPECT_FALSE(nearlyAffine.ContainsProjection(0.5001f));
}

TEST(float4x4Projection, IdempotenceAndTheComplement) {
    EXPECT_TRUE(SameElements(float4x4::identity.ComplementaryProjection(), float4x4::zero));
    EXPECT_TRUE(float4x4::OrthographicProjectionXY().IsIdempotent(1e-5f));
    EXPECT_TRUE(float4x4::OrthographicProjectionXY().ComplementaryProjection().IsIdempotent(1e-5f));
    EXPECT_TRUE(float4x4::zero.IsIdempotent(1e-5f));

    // The builders scale and shift depth, so none of them is a projection in the algebraic
    // sense; their complements are not either.
    for (const BuilderCase &b : kBuilders) {
        const float4x4 m = b.ours(0.5f, 20.f, 4.f, 3.f);
        EXPECT_FALSE(m.IsIdempotent(1e-5f)) << b.name;
        EXPECT_FALSE(m.ComplementaryProjection().IsIdempotent(1e-5f)) << b.name;
        const float4x4 sum = m + m.ComplementaryProjection();
        EXPECT_TRUE(sum.Equals(float4x4::identity, 1e-6f)) << b.name;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(m.ComplementaryProjection().elements[r][c], (r == c ? 1.f : 0.f) - m.elements[r][c]);
    }
}

}  // namespace
