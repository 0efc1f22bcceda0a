#pragma once

// The rule that produced the frozen lookup tables of noise/NoiseTables.cpp beyond their first
// entries. Only the raw 32-bit output of std::mt19937, which the language fixes, and correctly
// rounded double arithmetic go into them, so any platform regenerates the same bits; the
// tests regenerate them and compare.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace noise_test {

// The lattice values are (2m - 255) / 255 for m = 0..255, each once. The first eight m are
// fixed; the other 248 follow in ascending order, shuffled (Fisher-Yates, index = draw mod
// (i + 1)) by a twister seeded with 1337.
inline std::array<int, 256> LatticeValueOrder() {
    const int first[8] = {172, 183, 70, 209, 202, 112, 219, 114};
    std::vector<int> rest;
    for (int m = 0; m < 256; ++m)
        if (std::find(first, first + 8, m) == first + 8) rest.push_back(m);
    std::mt19937 rng(1337);
    for (std::size_t i = rest.size() - 1; i > 0; --i) std::swap(rest[i], rest[rng() % (i + 1)]);
    std::array<int, 256> order{};
    std::copy(first, first + 8, order.begin());
    std::copy(rest.begin(), rest.end(), order.begin() + 8);
    return order;
}

inline float LatticeValue(int m) { return static_cast<float>((2.0 * m - 255.0) / 255.0); }

// Feature-point offsets: uniform in the unit ball or disc (rejection sampling on draws mapped
// to [-1, 1), rejecting lengths below 0.01), then scaled to length 0.45 in double and rounded
// to float. 3D draws come from a twister seeded with 3, 2D draws from one seeded with 2.
template <int D>
std::vector<std::array<float, D>> CellVectors(int count) {
    std::mt19937 rng(D);
    std::vector<std::array<float, D>> out;
    while (static_cast<int>(out.size()) < count) {
        double v[D], length2 = 0.0;
        for (int k = 0; k < D; ++k) {
            v[k] = rng() / 2147483648.0 - 1.0;
            length2 += v[k] * v[k];
        }
        if (length2 > 1.0 || length2 < 1e-4) continue;
        const double scale = 0.45 / std::sqrt(length2);
        std::array<float, D> cell{};
        for (int k = 0; k < D; ++k) cell[k] = static_cast<float>(v[k] * scale);
        out.push_back(cell);
    }
    return out;
}

}  // namespace noise_test
