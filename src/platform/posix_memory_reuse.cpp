#include "platform/memory_reuse.h"

#include <cstddef>  // tells whether the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvane {
namespace {

constexpr int kLargestFromTheHeap = 8 << 20;
constexpr int kFreeKeptAtTheTop = 64 << 20;

}  // namespace

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, kLargestFromTheHeap);
  mallopt(M_TRIM_THRESHOLD, kFreeKeptAtTheTop);
#endif
}

}  // namespace kelvane
