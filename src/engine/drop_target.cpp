#include "drop_target.h"

#include "Geometry/Line.h"
#include "crossing_rule.h"

namespace engine {

static const math::float3 kDown(0.0f, 0.0f, -1.0f);
static constexpr float kThicknessSq = 1e-5f;

// The axes are ContainmentAxes(), v taken from the plane at hand as it takes v from the
// face's own plane.
DropTarget::DropTarget(const math::Polygon &face, std::vector<math::float3> &vertices)
    : plane_(face.PlaneCCW()),
      slope_(plane_.normal.Dot(kDown)),
      u_(face.BasisU()),
      v_(plane_.normal.Cross(u_).Normalized()),
      normal_(u_.Cross(v_)),
      first_(static_cast<uint32_t>(vertices.size())),
      count_(static_cast<uint32_t>(face.vertices.size())),
      plan_(face, plane_) {
    vertices.insert(vertices.end(), face.vertices.begin(), face.vertices.end());
}

// Plane::IntersectLinePlane, its common case inline.
bool DropTarget::meets_plane(const math::float3 &p, float &t) const {
    if (!(std::fabs(slope_) > 1e-4f)) return math::Plane::IntersectLinePlane(plane_.normal, plane_.d, p, kDown, t);
    t = (plane_.d - dot(plane_.normal, p)) / slope_;
    return true;
}

// Polygon::Contains, with the axes and u x v at hand, is near_plane and crosses_odd.
bool DropTarget::near_plane(const math::float3 &h, const math::float3 *face) const {
    const float plane_distance = dot(normal_, minus(face[0], h));
    return !(plane_distance * plane_distance > kThicknessSq);
}

bool DropTarget::crosses_odd(const math::float3 &h, const math::float3 *face) const {
    int crossings = 0;
    math::float2 prev = in_frame(minus(face[count_ - 1], h), u_, v_);
    for (uint32_t k = 0; k < count_; ++k) {
        const math::float2 cur = in_frame(minus(face[k], h), u_, v_);
        if (crosses_ray(prev, cur)) ++crossings;
        prev = cur;
    }
    return crossings % 2 == 1;
}

bool DropTarget::hit(const math::float3 &p, const math::float3 *vertices, math::float3 &h) const {
    const PlanSide side = plan_.side(p);
    if (side == PlanSide::outside) return false;
    float t = 0.0f;
    if (!meets_plane(p, t)) return false;
    // Line::GetPoint along (0, 0, -1): the zero products keep its signs of zero; -1 * t is
    // -t for every t but a NaN, which no containment test passes.
    h = math::float3(p.x + 0.0f * t, p.y + 0.0f * t, p.z - t);
    const math::float3 *face = vertices + first_;
    return near_plane(h, face) && (side == PlanSide::inside || crosses_odd(h, face));
}

}  // namespace engine
