#pragma once

// The integer lattice under every kernel: float-to-cell conversion, the interpolation curves
// and the hash of a lattice point. Integer arithmetic wraps at 32 bits.
#include <cstdint>

namespace noise {

enum class Interp : std::int32_t { Linear = 0, Hermite = 1, Quintic = 2 };

// Wrapping sum of lattice coordinates.
inline std::int32_t Wrap(std::int64_t n) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(n)); }

// Truncation toward zero, taken modulo 2^32. Every float of magnitude 2^63 or more (and each
// infinity) is a multiple of 2^32 and gives 0; so does NaN.
inline std::int32_t Truncate(float f) {
    if (!(f > -0x1p63f && f < 0x1p63f)) return 0;
    return Wrap(static_cast<std::int64_t>(f));
}

// Truncation minus one below zero: -2.0 lies in the cell of -3, whose fraction reaches 1.
inline std::int32_t Floor(float f) { return f < 0 ? Wrap(std::int64_t{Truncate(f)} - 1) : Truncate(f); }

inline std::int32_t Nearest(float f) { return f >= 0 ? Truncate(f + 0.5f) : Truncate(f - 0.5f); }

// The interpolation curve of a fraction; values outside the three curves interpolate linearly.
inline float Curve(Interp interp, float t) {
    switch (interp) {
        case Interp::Hermite: return t * t * (3 - 2 * t);
        case Interp::Quintic: return t * t * t * (t * (t * 6 - 15) + 10);
        default: return t;
    }
}

inline float Lerp(float a, float b, float t) { return a + t * (b - a); }

// The cubic through b at t = 0 and c at t = 1 with a and d as outer neighbours.
inline float CubicLerp(float a, float b, float c, float d, float t) {
    const float p = (d - c) - (a - b);
    return t * t * t * p + t * t * ((a - b) - p) + t * (c - a) + b;
}

// The hash of a lattice point as a float in [-1, 1).
inline float HashToFloat(std::uint32_t n) {
    const std::uint32_t cube = n * n * n * 60493u;
    return static_cast<float>(static_cast<std::int32_t>(cube)) * (1.0f / 2147483648.0f);
}

// The hash of a 2D, 3D or 4D lattice point: missing coordinates are 0, which leaves the
// exclusive or unchanged.
inline float Hash(std::int32_t seed, std::int32_t x, std::int32_t y, std::int32_t z = 0, std::int32_t w = 0) {
    return HashToFloat(std::uint32_t(seed) ^ std::uint32_t(x) * 1619u ^ std::uint32_t(y) * 31337u ^
                       std::uint32_t(z) * 6971u ^ std::uint32_t(w) * 1013u);
}

}  // namespace noise
