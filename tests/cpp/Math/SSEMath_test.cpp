#include "Math/SSEMath.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "log_capture.h"

TEST(AlignedMalloc, AlignsUsableBlocksThatAlignedFreeReleases) {
    struct Case { size_t size, alignment; };
    const Case cases[] = {{10, 16}, {10, 0}, {1, 1}, {3, 2}, {100, 32}, {0, 64}, {1000, 128}};
    for (const Case &c : cases) {
        void *p = math::AlignedMalloc(c.size, c.alignment);
        ASSERT_NE(p, nullptr) << c.alignment;
        const size_t alignment = c.alignment ? c.alignment : 1;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignment, 0u) << c.alignment;
        memset(p, 0xAB, c.size);  // the whole block is usable
        math::AlignedFree(p);
    }
    math::AlignedFree(nullptr);
}

TEST(AlignedMalloc, RefusesSizesThatWrapAndAlignmentsItCannotRecord) {
    EXPECT_EQ(math::AlignedMalloc(SIZE_MAX, 16), nullptr);
    EXPECT_EQ(math::AlignedMalloc(SIZE_MAX - 8, 16), nullptr);
    void *p = reinterpret_cast<void *>(1);
    const std::string log = StderrOf([&] { p = math::AlignedMalloc(16, 256); });
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(FirstLine(log), "Error: AlignedMalloc: alignment 256 is above 128");
}
