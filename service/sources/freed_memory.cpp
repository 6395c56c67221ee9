#include "service/sources/freed_memory.h"

#include <cstddef>  // names the C library (__GLIBC__) before it is asked for

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace service {

namespace {

#if defined(__GLIBC__)
// glibc's own starting value, kept for good.
constexpr int kOwnMappingFrom = 128 * 1024;
#endif

}  // namespace

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void KeepLargeBlocksApart() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
#endif
}

}  // namespace service
