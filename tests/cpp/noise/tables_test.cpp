// The constant tables: the given entries exactly, the derived ones by their rule, and the
// generated ones as their documented generator makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "noise/NoiseTables.h"
#include "table_generator.h"

using namespace noise;

TEST(NoiseTables, GradientsAreTheCubeEdgeMidpointsInOrder) {
    const float expected[12][3] = {{1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {1, 0, 1}, {-1, 0, 1},
                                   {1, 0, -1}, {-1, 0, -1}, {0, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(GRAD_X[i], expected[i][0]) << i;
        EXPECT_EQ(GRAD_Y[i], expected[i][1]) << i;
        EXPECT_EQ(GRAD_Z[i], expected[i][2]) << i;
    }
}

TEST(NoiseTables, Gradients4DFollowTheirRule) {
    // Group g has its zero at position g; the other three run through +-1 with + first and
    // the first of them changing slowest.
    for (int q = 0; q < 32; ++q) {
        const int zero = q / 8, bits = q % 8;
        int other = 0;
        for (int n = 0; n < 4; ++n) {
            if (n == zero) {
                EXPECT_EQ(GRAD_4D[q][n], 0.0f) << q;
                continue;
            }
            const int bit = (bits >> (2 - other++)) & 1;
            EXPECT_EQ(GRAD_4D[q][n], bit ? -1.0f : 1.0f) << q << " component " << n;
        }
    }
    EXPECT_EQ(GRAD_4D[31][0], -1.0f);
    EXPECT_EQ(GRAD_4D[31][3], 0.0f);
}

TEST(NoiseTables, Simplex4DRowsRankTheComponentsOfEveryOrdering) {
    // For four distinct offsets in every order, the row of their comparison pattern holds
    // each component's rank (the number of components it exceeds).
    int order[4] = {0, 1, 2, 3};
    std::set<int> reached;
    do {
        const float d[4] = {float(order[0]), float(order[1]), float(order[2]), float(order[3])};
        const int row = (d[0] > d[1]) * 32 + (d[0] > d[2]) * 16 + (d[1] > d[2]) * 8 + (d[0] > d[3]) * 4 +
                        (d[1] > d[3]) * 2 + (d[2] > d[3]);
        reached.insert(row);
        for (int n = 0; n < 4; ++n) EXPECT_EQ(SIMPLEX_4D[row][n], order[n]) << "row " << row;
    } while (std::next_permutation(order, order + 4));
    EXPECT_EQ(reached.size(), 24u);
    for (int row = 0; row < 64; ++row) {
        if (reached.count(row)) continue;
        for (int n = 0; n < 4; ++n) EXPECT_EQ(SIMPLEX_4D[row][n], 0) << "unreachable row " << row;
    }
}

TEST(NoiseTables, LatticeValuesStartAsGivenAndHoldEveryValueOnce) {
    const float first[8] = {0.34902f, 0.435294f, -0.45098f, 0.639216f, 0.584314f, -0.121569f, 0.717647f, -0.105882f};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(VAL_LUT[i], first[i]) << i;
    std::set<int> members;
    for (int i = 0; i < 256; ++i) {
        const double m = (VAL_LUT[i] * 255.0 + 255.0) / 2;
        EXPECT_NEAR(m, std::round(m), 1e-3) << i;
        members.insert(static_cast<int>(std::round(m)));
    }
    EXPECT_EQ(members.size(), 256u);
    EXPECT_EQ(*members.begin(), 0);
    EXPECT_EQ(*members.rbegin(), 255);
}

TEST(NoiseTables, LatticeValuesBeyondTheGivenOnesAreTheGeneratorsAndExact) {
    const std::array<int, 256> order = noise_test::LatticeValueOrder();
    for (int i = 8; i < 256; ++i) EXPECT_EQ(VAL_LUT[i], noise_test::LatticeValue(order[i])) << i;
}

TEST(NoiseTables, CellOffsetsStartAsGivenAndHaveLength045) {
    const float given3[3][3] = {{0.145379f, -0.414978f, -0.095698f},
                                {-0.012428f, -0.145792f, -0.425547f},
                                {0.287798f, -0.026065f, -0.344954f}};
    const float given2[3][2] = {{-0.431354f, 0.128194f}, {-0.173332f, 0.415278f}, {-0.282196f, -0.350522f}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CELL_3D_X[i], given3[i][0]);
        EXPECT_EQ(CELL_3D_Y[i], given3[i][1]);
        EXPECT_EQ(CELL_3D_Z[i], given3[i][2]);
        EXPECT_EQ(CELL_2D_X[i], given2[i][0]);
        EXPECT_EQ(CELL_2D_Y[i], given2[i][1]);
    }
    for (int i = 0; i < 256; ++i) {
        const double x3 = CELL_3D_X[i], y3 = CELL_3D_Y[i], z3 = CELL_3D_Z[i], x2 = CELL_2D_X[i], y2 = CELL_2D_Y[i];
        EXPECT_NEAR(std::sqrt(x3 * x3 + y3 * y3 + z3 * z3), 0.45, 1e-5) << i;
        EXPECT_NEAR(std::sqrt(x2 * x2 + y2 * y2), 0.45, 1e-5) << i;
    }
}

TEST(NoiseTables, CellOffsetsPointInDistinctDirections) {
    // No entry repeats another: random directions, near but never on each other.
    for (int i = 0; i < 256; ++i)
        for (int j = i + 1; j < 256; ++j) {
            const double d3 = std::hypot(CELL_3D_X[i] - CELL_3D_X[j], CELL_3D_Y[i] - CELL_3D_Y[j], CELL_3D_Z[i] - CELL_3D_Z[j]);
            const double d2 = std::hypot(CELL_2D_X[i] - CELL_2D_X[j], CELL_2D_Y[i] - CELL_2D_Y[j]);
            EXPECT_GT(d3, 1e-6) << i << " " << j;
            EXPECT_GT(d2, 1e-6) << i << " " << j;
        }
}

TEST(NoiseTables, CellOffsetsBeyondTheGivenOnesAreTheGenerators) {
    const auto cells3 = noise_test::CellVectors<3>(253);
    const auto cells2 = noise_test::CellVectors<2>(253);
    for (int i = 3; i < 256; ++i) {
        EXPECT_EQ(CELL_3D_X[i], cells3[i - 3][0]) << i;
        EXPECT_EQ(CELL_3D_Y[i], cells3[i - 3][1]) << i;
        EXPECT_EQ(CELL_3D_Z[i], cells3[i - 3][2]) << i;
        EXPECT_EQ(CELL_2D_X[i], cells2[i - 3][0]) << i;
        EXPECT_EQ(CELL_2D_Y[i], cells2[i - 3][1]) << i;
    }
}
