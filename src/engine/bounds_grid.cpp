#include "bounds_grid.h"

#include <algorithm>
#include <cmath>

namespace engine {

static constexpr int kMostCellsPerAxis = 4096;
static constexpr uint64_t kEntriesPerMember = 16;  // past this, members span too many cells

static bool holds_nothing(const math::AABB2D &b) {
    return !(b.minCorner.x <= b.maxCorner.x && b.minCorner.y <= b.maxCorner.y);  // NaN too
}

// Where the members' finite coordinates lie: infinite bounds span to the edge cells.
static PlanBox finite_extent(const std::vector<math::AABB2D> &bounds) {
    PlanBox extent;
    const auto take = [](float v, double &low, double &high) {
        if (!std::isfinite(v)) return;
        low = std::min(low, double(v));
        high = std::max(high, double(v));
    };
    for (const math::AABB2D &b : bounds) {
        if (holds_nothing(b)) continue;
        take(b.minCorner.x, extent.min_x, extent.max_x);
        take(b.maxCorner.x, extent.min_x, extent.max_x);
        take(b.minCorner.y, extent.min_y, extent.max_y);
        take(b.maxCorner.y, extent.min_y, extent.max_y);
    }
    return extent;
}

// The cells b covers in grid; false for bounds that hold nothing.
static bool span_of(const math::AABB2D &b, const PlanGrid &grid, CellSpan &cells) {
    if (holds_nothing(b)) return false;
    cells = {grid.column(b.minCorner.x), grid.column(b.maxCorner.x), grid.row(b.minCorner.y), grid.row(b.maxCorner.y)};
    return true;
}

// About one cell per member, coarser while the members span too many cells each.
BoundsGrid::BoundsGrid(const std::vector<math::AABB2D> &bounds) {
    const double members = static_cast<double>(
        std::count_if(bounds.begin(), bounds.end(), [](const math::AABB2D &b) { return !holds_nothing(b); }));
    const uint32_t n = static_cast<uint32_t>(bounds.size());
    const auto span = [&](const PlanGrid &grid, uint32_t k, CellSpan &cells) { return span_of(bounds[k], grid, cells); };
    grid_ = coarsened(PlanGrid::of_square_cells(finite_extent(bounds), members, kMostCellsPerAxis), n,
                      kEntriesPerMember * bounds.size() + 64, span);
    lists_ = list_by_cell(grid_, n, span, column_major);
}

}  // namespace engine
