// A uniform grid of cells over a plan-view box: the cell a coordinate falls in and the area
// a block of cells covers. The arithmetic is in double with clamped indices, so that huge
// coordinates and a zero width stay in range.
#pragma once

#include <algorithm>
#include <cstddef>

#include "plan_box.h"

namespace engine {

struct CellSpan {
    int column0, column1, row0, row1;  // inclusive
};

class PlanGrid {
public:
    PlanGrid() = default;
    PlanGrid(const PlanBox &bounds, int columns, int rows);
    // About `cells` cells, square where the bounds allow, at most max_side on a side.
    static PlanGrid of_square_cells(const PlanBox &bounds, double cells, int max_side);
    // Over the same bounds with half as many cells along each axis (at least one).
    PlanGrid halved() const { return PlanGrid(bounds_, std::max(1, columns_ / 2), std::max(1, rows_ / 2)); }

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    size_t cell_count() const { return static_cast<size_t>(columns_) * rows_; }
    size_t index(int column, int row) const { return static_cast<size_t>(row) * columns_ + column; }
    const PlanBox &bounds() const { return bounds_; }
    double cell_width() const { return cell_width_; }
    double cell_height() const { return cell_height_; }

    // Monotonic in the coordinate, and the first or last cell beyond the bounds.
    int column(double x) const { return cell(x - bounds_.min_x, per_width_, columns_); }
    int row(double y) const { return cell(y - bounds_.min_y, per_height_, rows_); }
    // What the cells cover: a point lies in the cells its coordinates fall in, up to the
    // rounding of the cell arithmetic in double, which the float margins dwarf.
    PlanBox area(const CellSpan &cells) const;

private:
    // Truncation is the floor for the positive scaled offsets it meets, and far cheaper.
    static int cell(double offset, double per_size, int count) {
        const double c = offset * per_size;
        if (!(c > 0)) return 0;
        return c >= count ? count - 1 : static_cast<int>(c);
    }

    PlanBox bounds_;
    double cell_width_ = 0, cell_height_ = 0;
    double per_width_ = 0, per_height_ = 0;  // cells per unit; 0 for a zero extent
    int columns_ = 0, rows_ = 0;
};

}  // namespace engine
