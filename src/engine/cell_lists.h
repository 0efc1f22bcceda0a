// Items listed by the cells of a plan grid that they cover, for items that may cover several
// cells each (bounds, segments): a counting sort in two passes, every cell's items counted,
// then dealt into the cells' runs, each run in increasing item order.
//
// span(grid, i, cells) writes the block of cells item i covers in grid, or returns false for
// an item left out; cell(grid, column, row) numbers the cells 0 .. grid.cell_count() - 1.
#pragma once

#include <cstdint>
#include <numeric>
#include <vector>

#include "plan_grid.h"

namespace engine {

// Cell k lists items[start[k]] .. items[start[k + 1] - 1].
struct CellLists {
    std::vector<uint32_t> start;
    std::vector<uint32_t> items;
};

// The grid halved until the n items cover at most `most` cells in all, or down to one cell:
// items that each cover many cells make a fine grid wasteful.
template <class Span>
PlanGrid coarsened(PlanGrid grid, uint32_t n, uint64_t most, Span &&span) {
    const auto covered = [&] {  // stops counting past most
        uint64_t total = 0;
        CellSpan s;
        for (uint32_t i = 0; i < n && total <= most; ++i)
            if (span(grid, i, s)) total += uint64_t(s.column1 - s.column0 + 1) * (s.row1 - s.row0 + 1);
        return total;
    };
    while (covered() > most && (grid.columns() > 1 || grid.rows() > 1)) grid = grid.halved();
    return grid;
}

template <class Span, class Cell>
CellLists list_by_cell(const PlanGrid &grid, uint32_t n, Span &&span, Cell &&cell) {
    const auto each_cell = [&](uint32_t i, auto &&act) {
        CellSpan s;
        if (!span(grid, i, s)) return;
        for (int c = s.column0; c <= s.column1; ++c)
            for (int r = s.row0; r <= s.row1; ++r) act(cell(grid, c, r));
    };
    CellLists lists;
    lists.start.assign(grid.cell_count() + 1, 0);
    for (uint32_t i = 0; i < n; ++i) each_cell(i, [&](size_t k) { ++lists.start[k + 1]; });
    std::partial_sum(lists.start.begin(), lists.start.end(), lists.start.begin());
    lists.items.resize(lists.start.back());
    std::vector<uint32_t> next(lists.start.begin(), lists.start.end() - 1);
    for (uint32_t i = 0; i < n; ++i) each_cell(i, [&](size_t k) { lists.items[next[k]++] = i; });
    return lists;
}

}  // namespace engine
