// The indexes' bounds hold only if a point lies in the cells its coordinates fall in: the
// cell arithmetic must keep that, up to its own rounding, for odd extents too.
#include "engine/plan_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(PlanGrid, PointsLieInTheCellsTheyFallInAndCellsFollowTheCoordinates) {
    struct Case { const char *what; engine::PlanBox bounds; double cells; };
    const Case cases[] = {
        {"a square", {0, 0, 100, 100}, 400},
        {"a long strip", {-3, 5, 1e4, 5.5}, 1000},
        {"a zero width", {2, -1, 2, 9}, 50},
        {"a point", {7, 7, 7, 7}, 50},
        {"a tiny width", {0, 0, 1e-300, 1}, 64},
        {"far from the origin", {1e15, -2e15, 1e15 + 300, -2e15 + 200}, 600},
        {"huge", {-3e38, -3e38, 3e38, 3e38}, 10000},
    };
    std::mt19937 rng(5);
    for (const Case &c : cases) {
        const engine::PlanGrid grid = engine::PlanGrid::of_square_cells(c.bounds, c.cells, 4096);
        std::uniform_real_distribution<double> ux(0, 1);
        const double slack = 1e-12 * (c.bounds.largest_coordinate() + (c.bounds.max_x - c.bounds.min_x) / grid.columns() +
                                      (c.bounds.max_y - c.bounds.min_y) / grid.rows());
        double last_x = -HUGE_VAL;
        int last_column = 0;
        for (int k = 0; k <= 2000; ++k) {
            // Coordinates in increasing x, the bounds' own corners included.
            const double tx = k / 2000.0, ty = ux(rng);
            const double x = k == 2000 ? c.bounds.max_x : c.bounds.min_x + tx * (c.bounds.max_x - c.bounds.min_x);
            const double y = c.bounds.min_y + ty * (c.bounds.max_y - c.bounds.min_y);
            const int column = grid.column(x), row = grid.row(y);
            ASSERT_TRUE(column >= 0 && column < grid.columns() && row >= 0 && row < grid.rows()) << c.what;
            const engine::PlanBox cell = grid.area(engine::CellSpan{column, column, row, row});
            EXPECT_LE(cell.min_x - slack, x) << c.what;
            EXPECT_GE(cell.max_x + slack, x) << c.what;
            EXPECT_LE(cell.min_y - slack, y) << c.what;
            EXPECT_GE(cell.max_y + slack, y) << c.what;
            if (x >= last_x) {
                EXPECT_GE(column, last_column) << c.what;
            }
            last_x = x, last_column = column;
        }
        EXPECT_EQ(0, grid.column(std::nan(""))) << c.what;
        EXPECT_EQ(grid.columns() - 1, grid.column(HUGE_VAL)) << c.what;
    }
}

}  // namespace
