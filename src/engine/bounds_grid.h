// A uniform grid over plan-view bounds with the members of every cell sorted side by side
// into one flat array (a counting sort), so that a point's candidates are read as one
// contiguous run.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/AABB2D.h"
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
        const size_t c = cell(grid_.column(x), grid_.row(y));
        return {members_.data() + start_[c], members_.data() + start_[c + 1]};
    }

private:
    // Cell (column c, row r) is number c * rows + r: the cells up a column lie side by side,
    // as a grid of points walked along y visits them.
    size_t cell(int column, int row) const { return static_cast<size_t>(column) * grid_.rows() + row; }
    CellSpan span(const math::AABB2D &b) const;
    template <class Visit>
    void each_cell(const CellSpan &s, Visit &&visit) const;
    bool count(const std::vector<math::AABB2D> &bounds, uint64_t most);

    PlanGrid grid_;
    // Cell k holds members_[start_[k]] .. members_[start_[k + 1] - 1].
    std::vector<uint32_t> start_;
    std::vector<uint32_t> members_;
};

}  // namespace engine
