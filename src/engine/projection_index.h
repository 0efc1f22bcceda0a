// The faces as the projection tests them: their planes and containment axes computed once,
// and a grid over their plan-view bounds.
#pragma once

#include <vector>

#include "Geometry/AABB2D.h"
#include "Geometry/Line.h"
#include "Geometry/Plane.h"
#include "Geometry/Polygon.h"
#include "face_grid.h"

namespace engine {

class ProjectionIndex {
public:
    ProjectionIndex(const std::vector<math::Polygon> &faces, const std::vector<math::AABB2D> &bounds);

    // The highest point where the vertical line through p meets a face containing it; the
    // lower face index wins a tie. False when no face is hit.
    bool topmost_hit(const math::float3 &p, math::float3 &best, long &best_face) const;

private:
    bool hit(size_t t, const math::Line &line, bool found, math::float3 &best) const;

    const std::vector<math::Polygon> &faces_;
    const std::vector<math::AABB2D> &bounds_;
    std::vector<math::Plane> planes_;
    std::vector<math::PolygonAxes> axes_;
    FaceGrid grid_;
};

}  // namespace engine
