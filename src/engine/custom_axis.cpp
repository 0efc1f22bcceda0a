#include "custom_axis.h"

#include <cmath>

#include "Math/MathFunc.h"

namespace engine {

math::Quat quat_from_to(math::float3 from, math::float3 to) {
    from.Normalize();
    to.Normalize();
    const float c = from.Dot(to);
    if (c >= 1.0f) return math::Quat::identity;
    if (c < -0.999999f) {
        // Opposite directions: a half turn about any axis perpendicular to `from`.
        math::float3 axis = math::float3::unitX.Cross(from);
        if (axis.IsZero(1e-7f)) axis = math::float3::unitY.Cross(from);
        axis.Normalize();
        // The float nearest pi/2 leaves w at about -4.37e-8; callers see exactly that.
        const float s = math::Sin(1.5707964f);
        const float w = math::Cos(1.5707964f);
        return math::Quat(axis.x * s, axis.y * s, axis.z * s, w);
    }
    const float sum = c + 1.0f;
    const float s = sqrtf(sum + sum);
    const float inv = 1.0f / s;
    const math::float3 axis = from.Cross(to);
    math::Quat q(axis.x * inv, axis.y * inv, axis.z * inv, s * 0.5f);
    q.Normalize();
    return q;
}

math::Quat quat_from_z_to_axis(math::float3 axis, bool fwd) {
    axis.Normalize();
    math::Quat q = quat_from_to(math::float3(0.0f, 0.0f, -1.0f), axis);
    if (!fwd) q.Inverse();
    return q;
}

}  // namespace engine
