#include "cell_grid.h"

#include <algorithm>
#include <cmath>

#include "counting_sort.h"

namespace engine {

long CellGrid::Axis::index(double cell) const {
    if (!folded) return static_cast<long>(cell - first);
    const double wrapped = std::fmod(cell, static_cast<double>(count));  // exact
    return static_cast<long>(wrapped < 0.0 ? wrapped + static_cast<double>(count) : wrapped);
}

uint32_t CellGrid::cell_of(float x, float y) const {
    return static_cast<uint32_t>(y_.index(cell_number(y)) * x_.count + x_.index(cell_number(x)));
}

// Cells at least `least` wide, wider where the members stand apart, so that a cell holds
// about one: a search then reads fewer runs, most of them empty otherwise. Up to four times
// as wide, lest a few crowds far apart fill their cells.
static double cell_size(double width, double depth, size_t members, double least) {
    const double spacing = std::sqrt(width * depth / static_cast<double>(std::max<size_t>(members, 1)));
    return std::min(std::max(spacing, least), 4.0 * least);
}

// About two cells per member at most, so that the grid stays as small as its members; the
// cell indices fit 32 bits.
void CellGrid::choose_axes(double x_first, double x_last, double y_first, double y_last, size_t members) {
    const double cap = std::min(2.0 * static_cast<double>(members) + 64.0, 2147483648.0);
    const double nx = x_last - x_first + 1.0, ny = y_last - y_first + 1.0;
    x_.first = x_first;
    y_.first = y_first;
    x_.count = static_cast<long>(std::min(nx, cap));
    y_.count = static_cast<long>(std::min(ny, cap));
    if (nx * ny <= cap) return;
    const double side = std::floor(std::sqrt(cap));
    x_.folded = !(nx <= side);  // at most one axis is that short, or no fold were needed
    y_.folded = !(ny <= side);
    if (!x_.folded) y_.count = static_cast<long>(cap / nx);
    else if (!y_.folded) x_.count = static_cast<long>(cap / ny);
    else x_.count = y_.count = static_cast<long>(side);
}

CellGrid::CellGrid(const std::vector<Footprint> &footprints, const std::vector<uint32_t> &visit_place,
                   const std::vector<uint32_t> &which, double least_size) {
    float x_min = 0.0f, x_max = 0.0f, y_min = 0.0f, y_max = 0.0f;
    if (!which.empty()) {
        const math::float3 &p = footprints[which[0]].centre;
        x_min = x_max = p.x;
        y_min = y_max = p.y;
    }
    for (const uint32_t k : which) {
        const math::float3 &p = footprints[k].centre;
        x_min = std::min(x_min, p.x);
        x_max = std::max(x_max, p.x);
        y_min = std::min(y_min, p.y);
        y_max = std::max(y_max, p.y);
    }
    per_size_ = 1.0 / cell_size(x_max - x_min, y_max - y_min, which.size(), least_size);
    choose_axes(cell_number(x_min), cell_number(x_max), cell_number(y_min), cell_number(y_max), which.size());

    std::vector<uint32_t> cell(which.size());
    for (size_t k = 0; k < which.size(); ++k) {
        const math::float3 &p = footprints[which[k]].centre;
        cell[k] = cell_of(p.x, p.y);
    }
    members_.resize(which.size());
    heights_.resize(which.size());
    const auto cell_of_member = [&](uint32_t k) { return cell[k]; };
    start_ = counting_sort(static_cast<uint32_t>(which.size()), static_cast<size_t>(x_.count * y_.count),
                           cell_of_member, [&](uint32_t k, uint32_t slot) {
        const Footprint &f = footprints[which[k]];
        members_[slot] = {f.centre.x, f.centre.y, f.radius, visit_place[which[k]]};
        heights_[slot] = f.centre.z;
    });
}

}  // namespace engine
