#include "transform_factors.h"

#include <cmath>

#include "vector_order.h"

namespace engine {

namespace {

using math::float3;

// The library's float3 members that LookAt uses, each with its order of operations.
inline float3 cross(const float3 &a, const float3 &b) {
    return float3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Scaled by 1 / length when the length passes 1e-6, otherwise the X axis.
inline float3 normalized(const float3 &v) {
    const float length = sqrtf(dot(v, v));
    if (!(length > 1e-6f)) return float3(1.0f, 0.0f, 0.0f);
    const float inverse = 1.0f / length;
    return float3(v.x * inverse, v.y * inverse, v.z * inverse);
}

// v less a times s.
inline float3 less_scaled(const float3 &v, const float3 &a, float s) {
    return float3(v.x - a.x * s, v.y - a.y * s, v.z - a.z * s);
}

// (a i + b j) + c k: a column of the product of the matrix with columns a, b, c and a matrix
// whose column holds i, j, k.
inline float3 combined(const float3 &a, float i, const float3 &b, float j, const float3 &c, float k) {
    return float3((a.x * i + b.x * j) + c.x * k, (a.y * i + b.y * j) + c.y * k, (a.z * i + b.z * j) + c.z * k);
}

}  // namespace

// The world frame (right, up and the target as columns) times the local frame (right, up and
// forward as rows), whose columns are then made orthonormal in order.
math::float3x3 look_at(const float3 &local_forward, const float3 &target, const float3 &local_up,
                       const float3 &world_up) {
    const float3 &f = local_forward, &u = local_up;
    const float3 r = normalized(cross(u, f));
    const float3 world_right = normalized(cross(world_up, target));
    const float3 world_perp_up = normalized(cross(target, world_right));
    const float3 col0 = combined(world_right, r.x, world_perp_up, u.x, target, f.x);
    const float3 col1 = combined(world_right, r.y, world_perp_up, u.y, target, f.y);
    const float3 col2 = combined(world_right, r.z, world_perp_up, u.z, target, f.z);
    const float3 a = normalized(col0);
    const float3 b = normalized(less_scaled(col1, a, dot(a, col1)));
    const float3 c_less_a = less_scaled(col2, a, dot(a, col2));
    const float3 c = normalized(less_scaled(c_less_a, b, dot(b, c_less_a)));
    return math::float3x3(a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z);
}

}  // namespace engine
