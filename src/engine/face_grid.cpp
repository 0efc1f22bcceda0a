#include "face_grid.h"

#include <algorithm>
#include <cmath>

namespace engine {

const std::vector<int> FaceGrid::none_;

static bool finite(const math::AABB2D &b) {
    return std::isfinite(b.minCorner.x) && std::isfinite(b.minCorner.y) && std::isfinite(b.maxCorner.x) &&
           std::isfinite(b.maxCorner.y);
}

static bool empty(const math::AABB2D &b) { return b.minCorner.x > b.maxCorner.x || b.minCorner.y > b.maxCorner.y; }

FaceGrid::FaceGrid(const std::vector<math::AABB2D> &bounds) {
    const int n = static_cast<int>(bounds.size());
    float max_x = 0, max_y = 0;
    bool first = true;
    for (const math::AABB2D &b : bounds) {
        if (empty(b)) continue;  // holds no point
        if (!finite(b)) {  // a face no grid can place: scan everything
            for (int t = 0; t < n; ++t) all_.push_back(t);
            return;
        }
        if (first || b.minCorner.x < min_x_) min_x_ = b.minCorner.x;
        if (first || b.minCorner.y < min_y_) min_y_ = b.minCorner.y;
        if (first || b.maxCorner.x > max_x) max_x = b.maxCorner.x;
        if (first || b.maxCorner.y > max_y) max_y = b.maxCorner.y;
        first = false;
    }
    if (n == 0) return;
    // About one face per cell for faces of even size.
    const int side = std::max(1, std::min(2048, static_cast<int>(std::sqrt(static_cast<double>(n)))));
    columns_ = rows_ = side;
    const float width = max_x - min_x_, height = max_y - min_y_;
    inv_cell_x_ = width > 0 ? static_cast<float>(columns_) / width : 0.0f;
    inv_cell_y_ = height > 0 ? static_cast<float>(rows_) / height : 0.0f;
    cells_.resize(static_cast<size_t>(columns_) * rows_);
    for (int t = 0; t < n; ++t) {
        const math::AABB2D &b = bounds[t];
        if (empty(b)) continue;
        for (int r = row(b.minCorner.y); r <= row(b.maxCorner.y); ++r)
            for (int c = column(b.minCorner.x); c <= column(b.maxCorner.x); ++c)
                cells_[static_cast<size_t>(r) * columns_ + c].push_back(t);
    }
    indexed_ = true;
}

// Rounding is monotonic, so x <= x' gives cell(x) <= cell(x'): a face's cells span every
// cell that a point inside its bounds can fall in. A NaN (0 times an infinite scale, for
// bounds of a tiny width) counts as the first cell, which keeps the order. Truncation is the
// floor for the positive scaled offsets it meets, and far cheaper.
static int cell(float offset, float inv_cell, int count) {
    const float c = offset * inv_cell;
    if (!(c > 0.0f)) return 0;
    return c >= static_cast<float>(count) ? count - 1 : static_cast<int>(c);
}

int FaceGrid::column(float x) const { return cell(x - min_x_, inv_cell_x_, columns_); }

int FaceGrid::row(float y) const { return cell(y - min_y_, inv_cell_y_, rows_); }

const std::vector<int> &FaceGrid::candidates(float x, float y) const {
    if (!indexed_) return all_;
    if (std::isnan(x) || std::isnan(y)) return none_;  // no bounds hold a NaN coordinate
    return cells_[static_cast<size_t>(row(y)) * columns_ + column(x)];
}

}  // namespace engine
