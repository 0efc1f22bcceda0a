// Footprints in plan view, sorted into the cells of one flat grid by a counting sort: the
// footprints of a cell lie side by side, and so do those of a run of cells along a row, so a
// neighbourhood is read as a few contiguous runs.
//
// A footprint at (x, y) lies in the cell numbered floor(x / size), floor(y / size), where the
// quotients are products with the reciprocal of size: rounded otherwise than a quotient, but
// as monotonic, and the same for the footprints and the searches. Where the numbers of an
// axis span more cells than the grid may hold (a few footprints far from the rest, or tiny
// footprints spread wide), that axis folds: cell number c goes to column c mod count.
// Folding only brings far cells together, which adds candidates that the caller's exact test
// turns away; cells that are neighbours stay neighbours.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "footprint.h"

namespace engine {

// What a neighbourhood search reads of a footprint, in 16 bytes; its height lies apart, as
// only the few pairs that come close in plan need it.
struct GridMember {
    float x, y;
    float radius;
    uint32_t visit;  // the footprint's place in the visiting order
};

class CellGrid {
public:
    // The footprints `which` of `footprints`, each with a finite centre, in cells at least
    // `least_size` wide; footprint k is visited at place visit_place[k].
    CellGrid(const std::vector<Footprint> &footprints, const std::vector<uint32_t> &visit_place,
             const std::vector<uint32_t> &which, double least_size);

    // Members are numbered by their slot, cell after cell.
    uint32_t size() const { return static_cast<uint32_t>(members_.size()); }
    const GridMember &member(uint32_t slot) const { return members_[slot]; }
    const GridMember *members() const { return members_.data(); }
    Footprint footprint(uint32_t slot) const {
        const GridMember &m = members_[slot];
        return {math::float3(m.x, m.y, heights_[slot]), m.radius};
    }

    // Calls visit(begin, end) for the members of slots begin .. end - 1, run after run, that
    // lie in the cells meeting the square of half side `reach` around (x, y), until a call
    // returns false. A square past the grid's extent takes every member; one of negative
    // size takes none.
    template <class Visit>
    void visit_near(float x, float y, double reach, Visit &&visit) const {
        const Spans columns = x_.spans(cell_number(x - reach), cell_number(x + reach));
        const Spans rows = y_.spans(cell_number(y - reach), cell_number(y + reach));
        for (int a = 0; a < rows.n; ++a)
            for (long r = rows.lo[a]; r <= rows.hi[a]; ++r)
                for (int b = 0; b < columns.n; ++b)
                    if (!visit(start_[r * x_.count + columns.lo[b]], start_[r * x_.count + columns.hi[b] + 1])) return;
    }

private:
    // Up to two runs of indices lo..hi (inclusive) along one axis.
    struct Spans {
        int n = 0;
        long lo[2], hi[2];
        void add(long l, long h) {
            lo[n] = l;
            hi[n] = h;
            ++n;
        }
    };
    struct Axis {
        double first = 0.0;  // the cell number of index 0, when not folded
        long count = 1;
        bool folded = false;
        long index(double cell) const;
        Spans spans(double lo, double hi) const;
    };

    double cell_number(double v) const { return std::floor(v * per_size_); }
    uint32_t cell_of(float x, float y) const;
    void choose_axes(double x_first, double x_last, double y_first, double y_last, size_t members);

    double per_size_;                 // the reciprocal of the cells' size
    Axis x_, y_;                      // cell (column i along x, row j along y) is j * x_.count + i
    std::vector<uint32_t> start_;     // cell k holds members start_[k] .. start_[k + 1] - 1
    std::vector<GridMember> members_;
    std::vector<float> heights_;      // the members' centre z, by slot
};

// The indices of the cells numbered lo .. hi, which may lie outside the grid. Inline: every
// search asks for two.
inline CellGrid::Spans CellGrid::Axis::spans(double lo, double hi) const {
    Spans s;
    if (hi < lo) return s;
    if (!(hi - lo + 1.0 < static_cast<double>(count))) {
        s.add(0, count - 1);
        return s;
    }
    if (!folded) {
        const double l = std::max(0.0, lo - first), h = std::min(static_cast<double>(count - 1), hi - first);
        if (l <= h) s.add(static_cast<long>(l), static_cast<long>(h));
        return s;
    }
    // Fewer cells than the axis holds: they wrap around its end at most once.
    const long i = index(lo), j = index(hi);
    if (i <= j) {
        s.add(i, j);
    } else {
        s.add(i, count - 1);
        s.add(0, j);
    }
    return s;
}

}  // namespace engine
