#include "drop_target.h"

#include <cmath>

#include "crossing_rule.h"
#include "vector_order.h"

namespace engine {

static const math::float3 kDown(0.0f, 0.0f, -1.0f);
static constexpr float kThicknessSq = 1e-5f;

// The axes are ContainmentAxes(), v taken from the plane at hand as it takes v from the
// face's own plane.
DropTarget::DropTarget(const math::Polygon &face)
    : plane_(face.PlaneCCW()),
      u_(face.BasisU()),
      v_(plane_.normal.Cross(u_).Normalized()),
      normal_(u_.Cross(v_)),
      first_(face.vertices.empty() ? math::float3::nan : face.vertices[0]),
      plan_(face, plane_) {}

// Plane::IntersectLinePlane, its common case inline.
bool DropTarget::meets_plane(const math::float3 &p, float &t) const {
    const float slope = dot(plane_.normal, kDown);
    if (!(std::fabs(slope) > 1e-4f)) return math::Plane::IntersectLinePlane(plane_.normal, plane_.d, p, kDown, t);
    t = (plane_.d - dot(plane_.normal, p)) / slope;
    return true;
}

// Polygon::Contains, with the axes and u x v at hand, is near_plane and crosses_odd.
bool DropTarget::near_plane(const math::float3 &h) const {
    const float plane_distance = dot(normal_, minus(first_, h));
    return !(plane_distance * plane_distance > kThicknessSq);
}

bool DropTarget::crosses_odd(const math::float3 &h, const std::vector<math::float3> &vertices) const {
    if (vertices.size() < 3) return false;
    int crossings = 0;
    math::float2 prev = in_frame(minus(vertices.back(), h), u_, v_);
    for (const math::float3 &vertex : vertices) {
        const math::float2 cur = in_frame(minus(vertex, h), u_, v_);
        if (crosses_ray(prev, cur)) ++crossings;
        prev = cur;
    }
    return crossings % 2 == 1;
}

bool DropTarget::hit(const math::float3 &p, const math::Polygon &face, math::float3 &h) const {
    const PlanSide side = plan_.side(p);
    if (side == PlanSide::outside) return false;
    float t = 0.0f;
    if (!meets_plane(p, t)) return false;
    // Line::GetPoint along (0, 0, -1): the zero products keep its signs of zero; -1 * t is
    // -t for every t but a NaN, which no containment test passes.
    h = math::float3(p.x + 0.0f * t, p.y + 0.0f * t, p.z - t);
    return near_plane(h) && (side == PlanSide::inside || crosses_odd(h, face.vertices));
}

}  // namespace engine
