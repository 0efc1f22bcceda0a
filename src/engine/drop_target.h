// A face prepared for the projection's vertical lines: what the line-plane solve and the
// containment test derive from the face alone is worked out once, so that a line pays only
// for the arithmetic that depends on its point. A hit is bit for bit what Plane::Intersects,
// Line::GetPoint and Polygon::Contains(h, 1e-5) give for the face.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "plan_triangle.h"

namespace engine {

class DropTarget {
public:
    // A face of at least three vertices; appends them to `vertices`, which hit() is given.
    DropTarget(const math::Polygon &face, std::vector<math::float3> &vertices);

    // Where the line through p along -z meets the face, when it does.
    bool hit(const math::float3 &p, const math::float3 *vertices, math::float3 &h) const;

private:
    bool meets_plane(const math::float3 &p, float &t) const;
    bool near_plane(const math::float3 &h, const math::float3 *face) const;
    bool crosses_odd(const math::float3 &h, const math::float3 *face) const;

    math::Plane plane_;
    float slope_;          // the plane normal's dot product with the line's direction
    math::float3 u_, v_;   // the containment axes
    math::float3 normal_;  // u x v, as the containment test derives it
    uint32_t first_, count_;
    PlanTriangle plan_;
};

}  // namespace engine
