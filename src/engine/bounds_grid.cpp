#include "bounds_grid.h"

#include <algorithm>
#include <cmath>

namespace engine {

static constexpr uint32_t kMostCellsPerAxis = 4096;
static constexpr uint64_t kEntriesPerMember = 16;  // past this, members span too many cells

static bool holds_nothing(const math::AABB2D &b) {
    return !(b.minCorner.x <= b.maxCorner.x && b.minCorner.y <= b.maxCorner.y);  // NaN too
}

// An axis of `count` cells over low..high, or a single cell.
static void stretch(double low, double high, double count, double &axis_low, double &scale, uint32_t &cells) {
    cells = static_cast<uint32_t>(std::clamp(std::round(count), 1.0, static_cast<double>(kMostCellsPerAxis)));
    axis_low = low;
    scale = high > low ? cells / (high - low) : 0.0;
    if (scale == 0.0) cells = 1;
}

// About one cell per member, the cells square where the extent allows. The extent is that of
// the finite coordinates: infinite bounds span to the edge cells.
void BoundsGrid::size_axes(const std::vector<math::AABB2D> &bounds) {
    double low_x = HUGE_VAL, high_x = -HUGE_VAL, low_y = HUGE_VAL, high_y = -HUGE_VAL, members = 0;
    for (const math::AABB2D &b : bounds) {
        if (holds_nothing(b)) continue;
        ++members;
        for (const float x : {b.minCorner.x, b.maxCorner.x})
            if (std::isfinite(x)) low_x = std::min(low_x, double(x)), high_x = std::max(high_x, double(x));
        for (const float y : {b.minCorner.y, b.maxCorner.y})
            if (std::isfinite(y)) low_y = std::min(low_y, double(y)), high_y = std::max(high_y, double(y));
    }
    const double width = high_x - low_x, height = high_y - low_y;
    double columns = 1, rows = 1;
    if (width > 0 && height > 0) columns = std::sqrt(members * width / height), rows = members / columns;
    else if (width > 0) columns = members;
    else if (height > 0) rows = members;
    stretch(low_x, high_x, columns, x_.low, x_.scale, x_.count);
    stretch(low_y, high_y, rows, y_.low, y_.scale, y_.count);
}

BoundsGrid::Span BoundsGrid::span(const math::AABB2D &b) const {
    return {x_.cell(b.minCorner.x), x_.cell(b.maxCorner.x), y_.cell(b.minCorner.y), y_.cell(b.maxCorner.y)};
}

template <class Visit>
void BoundsGrid::each_cell(const Span &s, Visit &&visit) const {
    for (uint32_t c = s.x0; c <= s.x1; ++c)
        for (uint32_t r = s.y0; r <= s.y1; ++r) visit(size_t(c) * y_.count + r);
}

// Counts the members of every cell into start_; false, leaving the counts unfinished, when
// the members span more than `most` cells in all.
bool BoundsGrid::count(const std::vector<math::AABB2D> &bounds, uint64_t most) {
    start_.assign(size_t(x_.count) * y_.count + 1, 0);
    uint64_t total = 0;
    for (const math::AABB2D &b : bounds) {
        if (holds_nothing(b)) continue;
        const Span s = span(b);
        total += uint64_t(s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1);
        if (total > most) return false;
        each_cell(s, [&](size_t cell) { ++start_[cell + 1]; });
    }
    return true;
}

// Counting sort: count the members of every cell (coarser cells while members span too many
// each), place each cell's run, then deal the members into the runs in increasing order.
BoundsGrid::BoundsGrid(const std::vector<math::AABB2D> &bounds) {
    size_axes(bounds);
    while (!count(bounds, kEntriesPerMember * bounds.size() + 64)) {
        x_.halve();
        y_.halve();
    }
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    members_.resize(start_.back());
    std::vector<uint32_t> next(start_.begin(), start_.end() - 1);
    for (uint32_t k = 0; k < bounds.size(); ++k)
        if (!holds_nothing(bounds[k])) each_cell(span(bounds[k]), [&](size_t cell) { members_[next[cell]++] = k; });
}

}  // namespace engine
