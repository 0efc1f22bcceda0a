#pragma once

namespace math {

// abs(a - b) < epsilon, strictly: the library's standard equality test.
bool EqualAbs(float a, float b, float epsilon);

// 0 for equal values, else abs(a - b) relative to the larger magnitude.
float RelativeError(float a, float b);

// True for equal values, else abs(a - b) <= max(abs(a), abs(b)) * maxRelError.
bool EqualRel(float a, float b, float maxRelError);

// True when a and b lie at most maxUlps representable floats apart (-0 and +0 are equal).
bool EqualUlps(float a, float b, int maxUlps);

}  // namespace math
