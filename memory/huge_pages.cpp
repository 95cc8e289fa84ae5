#include "memory/huge_pages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace trelvanic_memory {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t mapped_size(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

}  // namespace

void* huge_allocate_zeroed(size_t bytes) {
  if (bytes == 0) bytes = 1;
#if defined(__linux__)
  if (bytes >= kHugeThreshold) {
    size_t size = mapped_size(bytes);
    // Map one huge page more than needed and trim both ends to align.
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto start = reinterpret_cast<uintptr_t>(raw);
    uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    uintptr_t end = start + size + kHugePage;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
  }
#endif
  void* block = std::calloc(1, bytes);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void huge_free(void* block, size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes == 0) bytes = 1;
#if defined(__linux__)
  if (bytes >= kHugeThreshold) {
    munmap(block, mapped_size(bytes));
    return;
  }
#endif
  std::free(block);
}

}  // namespace trelvanic_memory
