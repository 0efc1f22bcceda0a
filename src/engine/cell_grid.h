// Footprints in plan view, sorted into the cells of one flat grid by a counting sort: the
// footprints of a cell lie side by side, and so do those of a run of cells along a row, so a
// neighbourhood is read as a few contiguous runs.
//
// A footprint at (x, y) lies in the cell numbered floor(x / size), floor(y / size). Where the
// numbers of an axis span more cells than the grid may hold (a few footprints far from the
// rest, or tiny footprints spread wide), that axis folds: cell number c goes to column
// c mod count. Folding only brings far cells together, which adds candidates that the caller's
// exact test turns away; cells that are neighbours stay neighbours.
#pragma once

#include <cstdint>
#include <vector>

#include "overlaps.h"

namespace engine {

struct GridMember {
    Footprint footprint;
    uint32_t visit;  // the footprint's place in the visiting order
    bool removed;
};

class CellGrid {
public:
    // The footprints `which` of `footprints`, each with a finite centre, in cells `size` wide.
    CellGrid(const std::vector<Footprint> &footprints, const std::vector<uint32_t> &which, double size);

    GridMember &member_at(uint32_t visit) { return members_[slot_of_[visit]]; }

    // Calls visit(member) for every member in the cells at most `reach` cells away from the
    // cell of (x, y) along either axis. A reach past the grid's extent visits every member.
    template <class Visit>
    void visit_near(float x, float y, double reach, Visit &&visit) {
        const Spans columns = x_.spans(cell_number(x), reach), rows = y_.spans(cell_number(y), reach);
        for (int a = 0; a < rows.n; ++a)
            for (long r = rows.lo[a]; r <= rows.hi[a]; ++r)
                for (int b = 0; b < columns.n; ++b) {
                    const uint32_t end = start_[r * x_.count + columns.hi[b] + 1];
                    for (uint32_t s = start_[r * x_.count + columns.lo[b]]; s < end; ++s) visit(members_[s]);
                }
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
        Spans spans(double cell, double reach) const;
    };

    double cell_number(float v) const;
    uint32_t cell_of(const math::float3 &p) const;
    void choose_axes(double x_first, double x_last, double y_first, double y_last, size_t members);

    double size_;
    Axis x_, y_;                      // cell (column i along x, row j along y) is j * x_.count + i
    std::vector<uint32_t> start_;     // cell k holds members start_[k] .. start_[k + 1] - 1
    std::vector<GridMember> members_;
    std::vector<uint32_t> slot_of_;   // by place in the visiting order
};

}  // namespace engine
