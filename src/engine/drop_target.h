// A face prepared for the projection's vertical lines: what the line-plane solve and the
// containment test derive from the face alone is worked out once, so that a line pays only
// for the arithmetic that depends on its point. A hit is bit for bit what Plane::Intersects,
// Line::GetPoint and Polygon::Contains(h, 1e-5) give for the face.
#pragma once

#include <vector>

#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "plan_triangle.h"

namespace engine {

class DropTarget {
public:
    explicit DropTarget(const math::Polygon &face);

    // Where the line through p along -z meets `face`, the face this was made from, when it
    // does; p lies under the face's bounds.
    bool hit(const math::float3 &p, const math::Polygon &face, math::float3 &h) const;

private:
    bool meets_plane(const math::float3 &p, float &t) const;
    bool near_plane(const math::float3 &h) const;
    bool crosses_odd(const math::float3 &h, const std::vector<math::float3> &vertices) const;

    math::Plane plane_;
    math::float3 u_, v_;   // the containment axes
    math::float3 normal_;  // u x v, as the containment test derives it
    math::float3 first_;   // the first vertex
    PlanTriangle plan_;
};

}  // namespace engine
