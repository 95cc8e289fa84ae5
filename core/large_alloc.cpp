#include "core/large_alloc.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace trelvanic_core {
namespace {

constexpr size_t kHugePageBytes = size_t{2} << 20;

}  // namespace

void* large_block_allocate(size_t bytes) {
  if (bytes < kLargeBlockBytes) return ::operator new(bytes);
  // aligned_alloc wants a multiple of the alignment.
  const size_t rounded = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  void* block = std::aligned_alloc(kHugePageBytes, rounded);
  if (block == nullptr) throw std::bad_alloc();
#if defined(__linux__)
  (void)madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return block;
}

void large_block_free(void* block, size_t bytes) noexcept {
  if (bytes < kLargeBlockBytes) {
    ::operator delete(block);
  } else {
    std::free(block);
  }
}

}  // namespace trelvanic_core
