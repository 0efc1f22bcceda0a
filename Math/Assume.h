#pragma once

#include "Math/MathLog.h"

// A checked precondition: when cond fails, logs "text in path:line" as an error and the
// computation goes on with the values at hand. text and path are string literals and line a
// number, all fixed, so the logged line stays the same wherever the code moves.
#define MATH_ASSUME(cond, text, path, line)                                                    \
    do {                                                                                       \
        if (!(cond)) ::math::PrintToConsoleVariadic(::math::LogError, "%s", text " in " path ":" #line); \
    } while (0)

namespace math {

// A process-wide flag for callers that want to stop on failed assumptions; the logging of
// MATH_ASSUME never consults it.
void SetMathBreakOnAssume(bool isEnabled);
bool MathBreakOnAssume();
bool AssumeFailed();

}  // namespace math
