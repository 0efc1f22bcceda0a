#pragma once

// The frustum kinds and the seeded random frusta that the frustum tests share.

#include <cmath>
#include <random>

#include "Geometry/Frustum.h"

namespace frustum_fixtures {

struct Kind {
    math::FrustumType type;
    math::FrustumProjectiveSpace space;
    math::FrustumHandedness handedness;
};

inline constexpr Kind kKinds[] = {
    {math::PerspectiveFrustum, math::OpenGLSpace, math::LeftHanded},   {math::PerspectiveFrustum, math::OpenGLSpace, math::RightHanded},
    {math::PerspectiveFrustum, math::Direct3DSpace, math::LeftHanded}, {math::PerspectiveFrustum, math::Direct3DSpace, math::RightHanded},
    {math::OrthographicFrustum, math::OpenGLSpace, math::LeftHanded},  {math::OrthographicFrustum, math::OpenGLSpace, math::RightHanded},
    {math::OrthographicFrustum, math::Direct3DSpace, math::LeftHanded}, {math::OrthographicFrustum, math::Direct3DSpace, math::RightHanded},
};

// A frustum of the kind in a random frame near the origin: near 0.1 to 1.1, depth 5 to 55,
// fields of view 0.5 to 2.5 radians or boxes 1 to 11 wide and high, every cache set.
inline math::Frustum RandomFrustum(std::mt19937 &rng, const Kind &k) {
    using math::float3;
    std::uniform_real_distribution<float> u(-1.f, 1.f);
    float3 front(u(rng), u(rng), u(rng));
    front.Normalize();
    float3 up = float3(u(rng), u(rng), u(rng)).Cross(front);
    up.Normalize();
    math::Frustum f;
    f.SetKind(k.space, k.handedness);
    f.SetFrame(float3(u(rng), u(rng), u(rng)) * 10.f, front, up);
    const float n = 0.1f + std::fabs(u(rng));
    f.SetViewPlaneDistances(n, n + 5.f + 50.f * std::fabs(u(rng)));
    if (k.type == math::PerspectiveFrustum)
        f.SetPerspective(0.5f + std::fabs(u(rng)) * 2.f, 0.5f + std::fabs(u(rng)) * 2.f);
    else
        f.SetOrthographic(1.f + 10.f * std::fabs(u(rng)), 1.f + 10.f * std::fabs(u(rng)));
    return f;
}

}  // namespace frustum_fixtures
