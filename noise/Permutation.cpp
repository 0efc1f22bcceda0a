#include "noise/Permutation.h"

#include <random>

namespace noise {

void Permutation::Reseed(std::int32_t seed) {
    std::mt19937 twister(static_cast<std::uint32_t>(seed));
    for (int i = 0; i < 256; ++i) perm_[i] = static_cast<std::uint8_t>(i);
    for (int j = 0; j < 256; ++j) {
        std::uniform_int_distribution<int> draw(0, 255 - j);
        const int k = j + draw(twister);
        const std::uint8_t swapped = perm_[k];
        perm_[k] = perm_[j];
        perm_[j] = swapped;
        perm_[j + 256] = perm_[j];
        mod12_[j] = mod12_[j + 256] = perm_[j] % 12;
    }
}

}  // namespace noise
