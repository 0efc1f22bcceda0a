// The faces as the projection tests them: each prepared once for vertical lines, and a flat
// grid over their plan-view bounds.
#pragma once

#include <vector>

#include "Geometry/AABB2D.h"
#include "Geometry/Polygon.h"
#include "bounds_grid.h"
#include "drop_target.h"

namespace engine {

class ProjectionIndex {
public:
    ProjectionIndex(const std::vector<math::Polygon> &faces, const std::vector<math::AABB2D> &bounds);

    // The highest point where the vertical line through p meets a face containing it; the
    // lower face index wins a tie. False when no face is hit.
    bool topmost_hit(const math::float3 &p, math::float3 &best, uint32_t &best_face) const;

private:
    bool scan_every_face(const math::float3 &p, math::float3 &best, uint32_t &best_face) const;

    const std::vector<math::Polygon> &faces_;
    const std::vector<math::AABB2D> &bounds_;
    std::vector<DropTarget> targets_;  // per face
    BoundsGrid grid_;
};

}  // namespace engine
