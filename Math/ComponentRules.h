#pragma once

// The per-component rules the vector types share. Internal to Math/: only the vector sources
// include it.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace math {
namespace component_rules {

constexpr float kPi = 3.14159274f;  // the float nearest to pi

// A NaN first operand yields the second.
inline float min_of(float a, float b) { return a <= b ? a : b; }
inline float max_of(float a, float b) { return a >= b ? a : b; }

inline uint32_t bits_of(float f) {
    uint32_t bits;
    memcpy(&bits, &f, sizeof bits);
    return bits;
}

inline bool is_finite(float f) { return (bits_of(f) & 0x7F800000u) != 0x7F800000u; }

// A cosine rounded just past +-1 would make acosf return NaN.
inline float clamped_acos(float cosine) {
    if (cosine >= 1.f) return 0.f;
    if (cosine <= -1.f) return kPi;
    return acosf(cosine);
}

}  // namespace component_rules
}  // namespace math
