// The plan view of a triangular face, to tell at a glance the points that the face's
// containment test certainly takes or certainly turns away: those farther inside or outside
// of the triangle's plan-view edges than the rounding of the test (and its moving of
// vertices off the test ray) can shift them. A point within that margin, or a face whose
// shape the bound does not cover, gets the full test.
#pragma once

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
        float x, y, c;  // x * px + y * py + c: the plan-view distance, positive inside
    };

    Edge edges_[3] = {};
    float margin_ = 0, margin_per_unit_ = 0;  // the margin for points of |z| and vertex coordinates up to P
    float largest_ = 0;                       // vertex coordinate, in magnitude
    bool usable_ = false;
};

}  // namespace engine
