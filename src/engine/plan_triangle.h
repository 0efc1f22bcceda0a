// The plan view of a triangular face, to tell at a glance the points that the face's
// containment test certainly takes or certainly turns away: those farther inside or outside
// of the triangle's plan-view edges than the rounding of the test (and its moving of
// vertices off the test ray) can shift them. A point within that margin, or a face whose
// shape the bound does not cover, gets the full test.
#pragma once

#include <cmath>

#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"

namespace engine {

enum class PlanSide { outside, near, inside };

class PlanTriangle {
public:
    // plane: the face's PlaneCCW(), as the projection solves against it.
    PlanTriangle(const math::Polygon &face, const math::Plane &plane);

    // For a point under the face's bounds: where the vertical line's hit falls.
    PlanSide side(const math::float3 &p) const;

private:
    struct Edge {
        float x, y, c;  // x * px + y * py + c: at most the plan-view distance, positive inside
    };

    Edge edges_[3] = {};
    // The margin for p is margin_ + margin_per_height_ * |p.z|; NaN where nothing settles.
    float margin_ = NAN, margin_per_height_ = 0;
};

}  // namespace engine
