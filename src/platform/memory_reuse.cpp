#include "platform/memory_reuse.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Blocks below the first figure come from the heap, so that a series array reuses the
// memory of the one before it instead of being mapped anew (the library takes at most
// 32 MiB here); the heap goes back to the system only once the second figure lies free.
constexpr int kMapFrom = 32 << 20;
constexpr int kTrimFrom = 128 << 20;

}  // namespace

bool KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    const bool mapping = mallopt(M_MMAP_THRESHOLD, kMapFrom) == 1;
    const bool trimming = mallopt(M_TRIM_THRESHOLD, kTrimFrom) == 1;
    return mapping && trimming;
#else
    return true;
#endif
}
