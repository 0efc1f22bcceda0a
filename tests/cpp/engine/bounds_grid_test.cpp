// The grid may list extra members, but never miss one whose bounds hold the point, and lists
// them in increasing order.
#include "engine/bounds_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

math::AABB2D bounds(float x0, float y0, float x1, float y1) {
    math::AABB2D b;
    b.minCorner = math::float2(x0, y0);
    b.maxCorner = math::float2(x1, y1);
    return b;
}

std::vector<uint32_t> listed(const engine::BoundsGrid &grid, float x, float y) {
    const engine::Members m = grid.candidates(x, y);
    return std::vector<uint32_t>(m.begin(), m.end());
}

bool holds(const math::AABB2D &b, float x, float y) {
    return b.minCorner.x <= x && b.minCorner.y <= y && x <= b.maxCorner.x && y <= b.maxCorner.y;
}

// Every member whose bounds hold a point of a fine sweep, the bounds' own corners and a few
// far points is listed for it, in increasing order.
TEST(BoundsGrid, ListsEveryMemberWhoseBoundsHoldThePointInOrder) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char *what;
        std::vector<math::AABB2D> members;
    };
    std::vector<math::AABB2D> tiles, spanning;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j) tiles.push_back(bounds(i * 0.37f, j * 0.21f, (i + 1) * 0.37f, (j + 1) * 0.21f));
    for (int k = 0; k < 200; ++k)  // each over too many cells
        spanning.push_back(bounds(-k * 0.01f, -1, 10 + k * 0.01f, 11));
    const Case cases[] = {
        {"tiles meeting at their edges", tiles},
        {"members each spanning the whole grid", spanning},
        {"a sliver narrower than a cell", {bounds(0, 0, 1e-39f, 1), bounds(0, 0, 10, 10)}},
        {"a point", {bounds(3, 3, 3, 3), bounds(0, 0, 9, 9)}},
        {"a line along x", {bounds(0, 2, 9, 2), bounds(1, 2, 3, 2)}},
        {"huge bounds", {bounds(-3e38f, -3e38f, 3e38f, 3e38f), bounds(0, 0, 1, 1)}},
        {"infinite bounds",
         {bounds(-inf, 0, 1, 1), bounds(0, 0, 1, 1), bounds(0.5f, -inf, inf, inf), bounds(5, 5, 6, 6)}},
    };
    for (const Case &c : cases) {
        const engine::BoundsGrid grid(c.members);
        std::vector<std::pair<float, float>> points;
        for (int i = -10; i <= 65; ++i)
            for (int j = -10; j <= 65; ++j) points.emplace_back(i * 0.2f, j * 0.2f);
        for (const math::AABB2D &b : c.members)
            for (const float x : {b.minCorner.x, b.maxCorner.x})
                for (const float y : {b.minCorner.y, b.maxCorner.y}) points.emplace_back(x, y);
        points.emplace_back(1e30f, -1e30f);
        points.emplace_back(-inf, inf);
        for (const auto &[x, y] : points) {
            const std::vector<uint32_t> list = listed(grid, x, y);
            EXPECT_TRUE(std::is_sorted(list.begin(), list.end())) << c.what;
            for (uint32_t k = 0; k < c.members.size(); ++k) {
                const bool listed_once = std::count(list.begin(), list.end(), k) == 1;
                EXPECT_TRUE(listed_once || !holds(c.members[k], x, y))
                    << c.what << ": member " << k << " at (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(BoundsGrid, LeavesOutBoundsThatHoldNothingAndPointsThatAreNotNumbers) {
    const float nan = std::nanf("");
    const engine::BoundsGrid grid({bounds(0, 0, 1, 1), bounds(nan, 0, 1, 1), bounds(0, 0, 1, nan), bounds(1, 1, 0, 0)});
    EXPECT_EQ(std::vector<uint32_t>{0}, listed(grid, 0.5f, 0.5f));
    EXPECT_TRUE(listed(grid, nan, 0.5f).empty());
    EXPECT_TRUE(listed(grid, 0.5f, nan).empty());
    EXPECT_TRUE(listed(engine::BoundsGrid({}), 0, 0).empty());
    EXPECT_TRUE(listed(engine::BoundsGrid({bounds(nan, nan, nan, nan)}), 0, 0).empty());
}

}  // namespace
