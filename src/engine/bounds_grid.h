// A uniform grid over plan-view bounds with the members of every cell sorted side by side
// into one flat array (a counting sort), so that a point's candidates are read as one
// contiguous run.
#pragma once

#include <cstdint>
#include <vector>

#include "Geometry/AABB2D.h"

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
    // arithmetic for points and bounds.
    Members candidates(float x, float y) const {
        if (x != x || y != y) return {nullptr, nullptr};
        const size_t c = cell(x, y);
        return {members_.data() + start_[c], members_.data() + start_[c + 1]};
    }

private:
    // One axis of the grid: `count` cells from `low` on, `scale` cells per unit.
    struct Axis {
        double low = 0, scale = 0;
        uint32_t count = 1;
        // Rounding is monotonic, so v <= v' gives cell(v) <= cell(v'); out of range clamps,
        // and in range, truncation is the floor.
        uint32_t cell(float v) const {
            const double c = (static_cast<double>(v) - low) * scale;
            if (!(c > 0)) return 0;
            return c >= count ? count - 1 : static_cast<uint32_t>(c);
        }
        void halve() {
            const uint32_t half = (count + 1) / 2;
            scale *= static_cast<double>(half) / count;
            count = half;
        }
    };
    struct Span {
        uint32_t x0, x1, y0, y1;
    };

    size_t cell(float x, float y) const { return static_cast<size_t>(x_.cell(x)) * y_.count + y_.cell(y); }
    void size_axes(const std::vector<math::AABB2D> &bounds);
    Span span(const math::AABB2D &b) const;
    template <class Visit>
    void each_cell(const Span &s, Visit &&visit) const;
    bool count(const std::vector<math::AABB2D> &bounds, uint64_t most);

    Axis x_, y_;
    // Cell (column c, row r) is number c * rows + r: the cells up a column lie side by side,
    // as a grid of points walked along y visits them. Cell k holds members_[start_[k]] ..
    // members_[start_[k + 1] - 1].
    std::vector<uint32_t> start_;
    std::vector<uint32_t> members_;
};

}  // namespace engine
