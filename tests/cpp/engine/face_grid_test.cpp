#include "engine/face_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

math::AABB2D bounds(float x0, float y0, float x1, float y1) {
    math::AABB2D b;
    b.minCorner = math::float2(x0, y0);
    b.maxCorner = math::float2(x1, y1);
    return b;
}

bool lists(const engine::FaceGrid &grid, float x, float y, int face) {
    const std::vector<int> &c = grid.candidates(x, y);
    return std::find(c.begin(), c.end(), face) != c.end();
}

TEST(FaceGrid, EveryFaceIsACandidateEverywhereInsideItsBounds) {
    struct Case { const char *what; std::vector<math::AABB2D> faces; float x, y; int face; };
    const Case cases[] = {
        {"a corner", {bounds(0, 0, 1, 1), bounds(1, 1, 2, 2)}, 1, 1, 0},
        {"the far corner", {bounds(0, 0, 1, 1), bounds(1, 1, 2, 2)}, 2, 2, 1},
        // A width so small that the cell scale overflows to infinity.
        {"a sliver at its left edge", {bounds(0, 0, 1e-39f, 1)}, 0, 0.5f, 0},
        {"a sliver at its right edge", {bounds(0, 0, 1e-39f, 1)}, 1e-39f, 0.5f, 0},
        {"a point", {bounds(3, 3, 3, 3), bounds(0, 0, 9, 9)}, 3, 3, 0},
        {"huge bounds", {bounds(-3e38f, -3e38f, 3e38f, 3e38f), bounds(0, 0, 1, 1)}, 0.5f, 0.5f, 1},
    };
    for (const auto &c : cases) EXPECT_TRUE(lists(engine::FaceGrid(c.faces), c.x, c.y, c.face)) << c.what;
}

TEST(FaceGrid, NonFiniteBoundsMeanEveryFaceAndNaNPointsNone) {
    const float nan = std::nanf("");
    const engine::FaceGrid unplaceable({bounds(0, 0, 1, 1), bounds(nan, nan, nan, nan)});
    EXPECT_EQ((std::vector<int>{0, 1}), unplaceable.candidates(50, 50));
    const engine::FaceGrid grid({bounds(0, 0, 1, 1)});
    EXPECT_TRUE(grid.candidates(nan, 0.5f).empty());
    EXPECT_TRUE(engine::FaceGrid({}).candidates(0, 0).empty());
}

}  // namespace
