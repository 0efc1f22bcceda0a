#include "Math/Assume.h"

namespace math {

namespace {
bool mathBreakOnAssume = false;
}

void SetMathBreakOnAssume(bool isEnabled) { mathBreakOnAssume = isEnabled; }

bool MathBreakOnAssume() { return mathBreakOnAssume; }

bool AssumeFailed() { return mathBreakOnAssume; }

}  // namespace math
