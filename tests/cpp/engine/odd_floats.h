// Values of every kind that records, boxes and settings may hold, for the tests that hold a
// fast form to its reference bit for bit.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "Math/float3.h"
#include "Math/float4x4.h"

namespace odd_floats {

inline float from_bits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Signed zeros, whole numbers, ordinary values of any size, subnormals, values near the float
// limit and, now and then, infinities and NaNs of both signs and with a payload (the NaN an
// invalid operation makes has the sign bit set, so sums of two NaNs show which one is kept).
inline float component(std::mt19937 &rng) {
    const float inf = std::numeric_limits<float>::infinity();
    const float kinds[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-45f, -1e-40f, 3.4e38f, -3.4e38f, inf, -inf,
                           from_bits(0x7FC00000u), from_bits(0xFFC00000u), from_bits(0x7FC01234u)};
    constexpr int kKinds = sizeof kinds / sizeof kinds[0];
    const int kind = std::uniform_int_distribution<int>(0, 3 * kKinds)(rng);
    if (kind < kKinds) return kinds[kind];
    const float mantissa = std::uniform_real_distribution<float>(-2.0f, 2.0f)(rng);
    const int exponent = std::uniform_int_distribution<int>(-130, 127)(rng);
    return std::ldexp(mantissa, kind < 2 * kKinds ? exponent : exponent / 16);
}

inline math::float3 point(std::mt19937 &rng) {
    const float x = component(rng);
    const float y = component(rng);
    const float z = component(rng);
    return math::float3(x, y, z);
}

// A matrix with odd elements; every other one affine, with the row (0, 0, 0, 1), as the
// instance transformations are while their values stay finite.
inline math::float4x4 matrix(std::mt19937 &rng) {
    math::float4x4 m;
    const bool affine = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.elements[r][c] = (affine && r == 3) ? (c == 3 ? 1.0f : 0.0f) : component(rng);
    return m;
}

template <typename T>
bool same_bits(const T &a, const T &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Element by element the same bits, or NaNs both (of any sign or payload).
inline bool same_bits_but_nans(const math::float4x4 &a, const math::float4x4 &b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const float x = a.elements[r][c], y = b.elements[r][c];
            if (!(x != x && y != y) && !same_bits(x, y)) return false;
        }
    return true;
}

}  // namespace odd_floats
