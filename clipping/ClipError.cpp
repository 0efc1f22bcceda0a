#include "clipping/ClipError.h"

namespace clip {

ClipError::ClipError(const char* message) : message_(message) {}

const char* ClipError::what() const noexcept { return message_.c_str(); }

}  // namespace clip
