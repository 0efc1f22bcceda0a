#include "Math/SSEMath.h"

#include <cstdint>
#include <cstdlib>

#include "Math/Assume.h"

namespace math {

namespace {
// The distance back to the malloc block is kept in one byte before the result, 1..alignment.
constexpr size_t kMaxAlignment = 128;
}

void *AlignedMalloc(size_t size, size_t alignment) {
    if (alignment == 0) alignment = 1;
    if (alignment > kMaxAlignment) {
        PrintToConsoleVariadic(LogError, "AlignedMalloc: alignment %zu is above %zu", alignment,
                               kMaxAlignment);
        return nullptr;
    }
    if (size > SIZE_MAX - alignment) return nullptr;
    unsigned char *block = static_cast<unsigned char *>(malloc(size + alignment));
    if (!block) return nullptr;
    const uintptr_t mask = alignment - 1;
    const size_t offset = (alignment - ((reinterpret_cast<uintptr_t>(block) + 1) & mask)) & mask;
    block[offset] = static_cast<unsigned char>(offset + 1);
    unsigned char *ptr = block + offset + 1;
    MATH_ASSUME(reinterpret_cast<uintptr_t>(ptr) % alignment == 0, "ptr % alignment == 0",
                "Math/SSEMath", 24);
    return ptr;
}

void AlignedFree(void *ptr) {
    if (!ptr) return;
    unsigned char *p = static_cast<unsigned char *>(ptr);
    free(p - p[-1]);
}

}  // namespace math
