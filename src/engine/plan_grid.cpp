#include "plan_grid.h"

#include <algorithm>
#include <cmath>

namespace engine {

PlanGrid::PlanGrid(const PlanBox &bounds, int columns, int rows)
    : bounds_(bounds),
      cell_width_((bounds.max_x - bounds.min_x) / columns),
      cell_height_((bounds.max_y - bounds.min_y) / rows),
      per_width_(cell_width_ > 0 ? 1 / cell_width_ : 0),
      per_height_(cell_height_ > 0 ? 1 / cell_height_ : 0),
      columns_(columns),
      rows_(rows) {}

static int side(double count, int max_side) {
    return static_cast<int>(std::clamp(std::round(count), 1.0, static_cast<double>(max_side)));
}

PlanGrid PlanGrid::of_square_cells(const PlanBox &bounds, double cells, int max_side) {
    const double width = bounds.max_x - bounds.min_x, height = bounds.max_y - bounds.min_y;
    double columns = 1, rows = 1;
    if (width > 0 && height > 0) {
        columns = std::sqrt(cells * width / height);
        rows = std::sqrt(cells * height / width);
    } else if (width > 0) {
        columns = cells;
    } else if (height > 0) {
        rows = cells;
    }
    return PlanGrid(bounds, side(columns, max_side), side(rows, max_side));
}

PlanBox PlanGrid::area(const CellSpan &cells) const {
    return PlanBox{bounds_.min_x + cells.column0 * cell_width_, bounds_.min_y + cells.row0 * cell_height_,
                   bounds_.min_x + (cells.column1 + 1) * cell_width_, bounds_.min_y + (cells.row1 + 1) * cell_height_};
}

}  // namespace engine
