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

CellSpan BoundsGrid::span(const math::AABB2D &b) const {
    return {grid_.column(b.minCorner.x), grid_.column(b.maxCorner.x), grid_.row(b.minCorner.y),
            grid_.row(b.maxCorner.y)};
}

template <class Visit>
void BoundsGrid::each_cell(const CellSpan &s, Visit &&visit) const {
    for (int c = s.column0; c <= s.column1; ++c)
        for (int r = s.row0; r <= s.row1; ++r) visit(cell(c, r));
}

// Counts the members of every cell into start_; false, leaving the counts unfinished, when
// the members span more than `most` cells in all.
bool BoundsGrid::count(const std::vector<math::AABB2D> &bounds, uint64_t most) {
    start_.assign(grid_.cell_count() + 1, 0);
    uint64_t total = 0;
    for (const math::AABB2D &b : bounds) {
        if (holds_nothing(b)) continue;
        const CellSpan s = span(b);
        total += uint64_t(s.column1 - s.column0 + 1) * (s.row1 - s.row0 + 1);
        if (total > most) return false;
        each_cell(s, [&](size_t cell) { ++start_[cell + 1]; });
    }
    return true;
}

// About one cell per member. Counting sort: count the members of every cell (coarser cells
// while members span too many each), place each cell's run, then deal the members into the
// runs in increasing order.
BoundsGrid::BoundsGrid(const std::vector<math::AABB2D> &bounds) {
    const double members = static_cast<double>(
        std::count_if(bounds.begin(), bounds.end(), [](const math::AABB2D &b) { return !holds_nothing(b); }));
    grid_ = PlanGrid::of_square_cells(finite_extent(bounds), members, kMostCellsPerAxis);
    while (!count(bounds, kEntriesPerMember * bounds.size() + 64)) grid_ = grid_.halved();
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    members_.resize(start_.back());
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (uint32_t k = 0; k < bounds.size(); ++k)
        if (!holds_nothing(bounds[k])) each_cell(span(bounds[k]), [&](size_t cell) { members_[next[cell]++] = k; });
}

}  // namespace engine
