#include "clipping/IntMath.h"

#include <utility>

namespace clip {

const char* const kRangeError = "Coordinate outside allowed range";

Int128 Int128Mul(std::int64_t a, std::int64_t b) { return static_cast<Int128>(a) * b; }

std::int64_t CheckedAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum;
    if (__builtin_add_overflow(a, b, &sum)) throw kRangeError;
    return sum;
}

std::int64_t CheckedSub(std::int64_t a, std::int64_t b) {
    std::int64_t difference;
    if (__builtin_sub_overflow(a, b, &difference)) throw kRangeError;
    return difference;
}

void Swap(std::int64_t& a, std::int64_t& b) { std::swap(a, b); }

}  // namespace clip
