// float3 members the engine's loops need inline, on the same floats in the same order as the
// geometry library's, so that they give its bits.
#pragma once

#include "Math/float3.h"

namespace engine {

// float3::Dot's products and sums, in its order.
inline float dot(const math::float3 &a, const math::float3 &b) { return (a.x * b.x + a.y * b.y) + a.z * b.z; }

inline math::float3 minus(const math::float3 &a, const math::float3 &b) {
    return math::float3(a.x - b.x, a.y - b.y, a.z - b.z);
}

}  // namespace engine
