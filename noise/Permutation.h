#pragma once

// The seeded permutation of 0..255 behind every lattice index, stored twice over so that a
// chain of lookups (each adding at most 255 to an entry) never leaves the table.
#include <cstdint>

namespace noise {

class Permutation {
public:
    explicit Permutation(std::int32_t seed) { Reseed(seed); }

    // Deals the permutation with a twister seeded by `seed` and the standard library's
    // uniform distribution, so tables match only between builds with the same library.
    void Reseed(std::int32_t seed);

    std::uint8_t operator[](int i) const { return perm_[i & 511]; }
    // The offset of octave i; the table repeats every 256 entries.
    std::uint8_t Octave(int i) const { return perm_[i & 255]; }

    std::uint8_t Index(std::uint8_t offset, std::int32_t x, std::int32_t y) const {
        return perm_[(x & 255) + perm_[(y & 255) + offset]];
    }
    std::uint8_t Index(std::uint8_t offset, std::int32_t x, std::int32_t y, std::int32_t z) const {
        return perm_[(x & 255) + perm_[(y & 255) + perm_[(z & 255) + offset]]];
    }
    std::uint8_t Index(std::uint8_t offset, std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w) const {
        return perm_[(x & 255) + perm_[(y & 255) + perm_[(z & 255) + perm_[(w & 255) + offset]]]];
    }

    // The same chains ending in the table reduced mod 12: an index of the 12 gradients.
    std::uint8_t Gradient(std::uint8_t offset, std::int32_t x, std::int32_t y) const {
        return mod12_[(x & 255) + perm_[(y & 255) + offset]];
    }
    std::uint8_t Gradient(std::uint8_t offset, std::int32_t x, std::int32_t y, std::int32_t z) const {
        return mod12_[(x & 255) + perm_[(y & 255) + perm_[(z & 255) + offset]]];
    }

private:
    std::uint8_t perm_[512];
    std::uint8_t mod12_[512];
};

}  // namespace noise
