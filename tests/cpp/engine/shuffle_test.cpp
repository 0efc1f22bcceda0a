// The shuffle draws ahead of its swaps; it must deal exactly as the plain loop does, with the
// same draws from the engine, for every length around its look-ahead.
#include "engine/shuffle.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <utility>

namespace {

void plain_shuffle(std::vector<int> &items, std::mt19937 &engine) {
    const int m = static_cast<int>(items.size());
    for (int k = 0; k + 1 < m; ++k) {
        const int r = std::uniform_int_distribution<int>(0, m - 1 - k)(engine);
        if (r != 0) std::swap(items[k], items[k + r]);
    }
}

TEST(Shuffle, DealsAsThePlainLoopWithTheSameDraws) {
    std::mt19937 ahead, plain;
    for (const int m : {0, 1, 2, 3, 15, 16, 17, 18, 32, 33, 1000, 100003}) {
        std::vector<int> items(m), expected(m);
        std::iota(items.begin(), items.end(), 0);
        std::iota(expected.begin(), expected.end(), 0);
        engine::shuffle(items, ahead);
        plain_shuffle(expected, plain);
        EXPECT_EQ(expected, items) << m;
        EXPECT_TRUE(ahead == plain) << "the engines run on alike after " << m;
    }
}

}  // namespace
