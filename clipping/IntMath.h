#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace clip {

using Int128 = __int128;

// Up to this magnitude 64-bit slope products cannot overflow.
constexpr std::int64_t kLowRange = 0x3FFFFFFF;
// Beyond this magnitude a coordinate is refused.
constexpr std::int64_t kHighRange = 0x3FFFFFFFFFFFFFFF;
// The thrown text of a coordinate beyond the high range (thrown as a bare const char*).
extern const char* const kRangeError;

// Exact product of two 64-bit values.
Int128 Int128Mul(std::int64_t a, std::int64_t b);

// Rounds half away from zero; saturates at the 64-bit limits, NaN gives 0. Inline: the sweep
// rounds once per active edge and scan line.
inline std::int64_t Round(double value) {
    const double shifted = value < 0 ? value - 0.5 : value + 0.5;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (shifted < 9223372036854775808.0 && shifted > -9223372036854775808.0) return static_cast<std::int64_t>(shifted);
    if (std::isnan(value)) return 0;
    return value > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

// Coordinate sums that throw kRangeError instead of overflowing.
std::int64_t CheckedAdd(std::int64_t a, std::int64_t b);
std::int64_t CheckedSub(std::int64_t a, std::int64_t b);

void Swap(std::int64_t& a, std::int64_t& b);

}  // namespace clip
