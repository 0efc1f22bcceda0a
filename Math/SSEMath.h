#pragma once

#include <cstddef>

namespace math {

// Allocates size bytes at a multiple of alignment (a power of two up to 128; 0 counts as 1).
// Returns null when the allocation fails. Release with AlignedFree only.
void *AlignedMalloc(size_t size, size_t alignment);

// Releases a block of AlignedMalloc; null is ignored.
void AlignedFree(void *ptr);

}  // namespace math
