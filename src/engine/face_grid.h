// A uniform grid over the faces' plan-view bounds, so that a point is tested only against
// the faces whose bounds can contain it instead of against every face.
#pragma once

#include <vector>

#include "Geometry/AABB2D.h"

namespace engine {

class FaceGrid {
public:
    explicit FaceGrid(const std::vector<math::AABB2D> &bounds);

    // Every face whose bounds may hold (x, y), in increasing index order, so that callers
    // keep the ties of a scan over all faces. A face whose bounds hold the point is always
    // among them: cells are found by the same monotonic arithmetic for points and bounds.
    const std::vector<int> &candidates(float x, float y) const;

private:
    int column(float x) const;
    int row(float y) const;

    float min_x_ = 0, min_y_ = 0, inv_cell_x_ = 0, inv_cell_y_ = 0;
    int columns_ = 0, rows_ = 0;
    std::vector<std::vector<int>> cells_;
    std::vector<int> all_;   // when the bounds give no usable grid: every face
    bool indexed_ = false;
    static const std::vector<int> none_;
};

}  // namespace engine
