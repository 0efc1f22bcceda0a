// Polygon::Contains's rule for one edge, on the same floats in the same order, inline for the
// loops that test many points: the ends relative to p in the frame of the axes u and v (an
// end on the ray counts as just below it), and whether the edge crosses the ray from p
// along +u.
#pragma once

#include <algorithm>
#include <cmath>

#include "Math/float2.h"
#include "Math/float3.h"
#include "vector_order.h"

namespace engine {

constexpr float kOnRay = 1e-4f;  // an end this near the ray is moved just below it

// An end already taken relative to p (x - p).
inline math::float2 in_frame(const math::float3 &d, const math::float3 &u, const math::float3 &v) {
    math::float2 q(dot(d, u), dot(d, v));
    if (std::fabs(q.y) < kOnRay) q.y = -kOnRay;
    return q;
}

inline bool crosses_ray(const math::float2 &prev, const math::float2 &cur) {
    if (!(prev.y * cur.y < 0.f)) return false;
    if (prev.x > 0.f && cur.x > 0.f) return true;
    if (!(std::max(prev.x, cur.x) > 0.f && cur.y - prev.y != 0.f)) return false;
    const float t = -prev.y / (cur.y - prev.y);
    const float x = prev.x + (cur.x - prev.x) * t;
    return t >= 0.f && t <= 1.f && x > 0.f;
}

}  // namespace engine
