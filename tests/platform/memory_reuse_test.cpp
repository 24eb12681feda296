// ctest-labels: util
// The start-up setting that keeps freed memory for the next issue's arrays.
#include "platform/memory_reuse.h"

#include <gtest/gtest.h>

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// A figure beyond what the C library accepts is refused without a word, and a setting made
// where the library is not recognised is none: either way the arrays would be mapped anew.
TEST(MemoryReuse, ASeriesSizedBlockComesFromTheHeap) {
#if defined(KABUTO_SANITIZED)
    GTEST_SKIP()
        << "AddressSanitizer replaces the C library's allocator, whose setting this measures";
#endif
    ASSERT_TRUE(KeepFreedMemoryForReuse());
#if defined(__GLIBC__)
    const size_t mappedBefore = mallinfo2().hblks;
    void* block = std::malloc(8 << 20);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(mallinfo2().hblks, mappedBefore);
    std::free(block);
#endif
}
