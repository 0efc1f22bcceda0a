// A uniform grid over plan-view bounds with the members of every cell sorted side by side
// into one flat array (a counting sort), so that a point's candidates are read as one
// contiguous run.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/AABB2D.h"
#include "cell_lists.h"
#include "plan_grid.h"

namespace engine {

// Member numbers in increasing order.
struct Members {
    const uint32_t *first, *last;
    const uint32_t *begin() const { return first; }
    const uint32_t *end() const { return last; }
};

class BoundsGrid {
public:
    // Member k has bounds[k]; bounds holding a NaN hold no point and are left out.
    explicit BoundsGrid(const std::vector<math::AABB2D> &bounds);

    // Every member whose bounds may hold (x, y); none when x or y is NaN. A member whose
    // bounds hold the point is always among them: cells are found by the same monotonic
    // arithmetic for points and bounds, and out of range they clamp to the edge cells.
    Members candidates(float x, float y) const {
        if (x != x || y != y) return {nullptr, nullptr};
        const size_t c = column_major(grid_, grid_.column(x), grid_.row(y));
        return {lists_.items.data() + lists_.start[c], lists_.items.data() + lists_.start[c + 1]};
    }

private:
    // Cell (column c, row r) is number c * rows + r: the cells up a column lie side by side,
    // as a grid of points walked along y visits them.
    static size_t column_major(const PlanGrid &grid, int column, int row) {
        return static_cast<size_t>(column) * grid.rows() + row;
    }

    PlanGrid grid_;
    CellLists lists_;  // member numbers by cell
};

}  // namespace engine
