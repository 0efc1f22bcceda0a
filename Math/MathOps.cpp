#include "Math/MathOps.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Math/Assume.h"

namespace math {

bool EqualAbs(float a, float b, float epsilon) { return fabsf(a - b) < epsilon; }

float RelativeError(float a, float b) {
    if (a == b) return 0.f;
    const float larger = fabsf(b) <= fabsf(a) ? fabsf(a) : fabsf(b);
    return fabsf((a - b) / larger);
}

bool EqualRel(float a, float b, float maxRelError) {
    if (a == b) return true;
    const float larger = fabsf(a) >= fabsf(b) ? fabsf(a) : fabsf(b);
    return fabsf(a - b) <= larger * maxRelError;
}

namespace {

// The bit pattern as an integer that orders all floats, negatives below positives and with
// -0 equal to +0.
int32_t ulp_ordinal(float f) {
    int32_t i;
    memcpy(&i, &f, sizeof i);
    if (i < 0) i = static_cast<int32_t>(0x80000000u - static_cast<uint32_t>(i));
    return i;
}

}  // namespace

bool EqualUlps(float a, float b, int maxUlps) {
    MATH_ASSUME(maxUlps >= 0, "maxUlps >= 0", "Math/MathOps", 56);
    if (maxUlps >= 0)
        MATH_ASSUME(maxUlps < 4 * 1024 * 1024, "maxUlps < 4 * 1024 * 1024", "Math/MathOps", 57);
    // In 64 bits: opposite-signed ordinals can lie 2^31 or more apart.
    const int64_t difference = static_cast<int64_t>(ulp_ordinal(a)) - ulp_ordinal(b);
    return std::llabs(difference) <= maxUlps;
}

}  // namespace math
