// Allocator for the store's large tables: blocks of 2 MiB and more are
// aligned to 2 MiB and marked for transparent huge pages, so the random
// probes of the hash indexes miss the TLB far less often. Smaller blocks
// come from the ordinary allocator.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace trelvanic_materializer {

template <typename T>
struct HugeAllocator {
  using value_type = T;
  static constexpr std::size_t kHuge = std::size_t{2} << 20;

  HugeAllocator() = default;
  template <typename U>
  HugeAllocator(const HugeAllocator<U>&) {}

  T* allocate(std::size_t n) {
    std::size_t bytes = n * sizeof(T);
    if (bytes < kHuge) return static_cast<T*>(::operator new(bytes));
    std::size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
    void* p = std::aligned_alloc(kHuge, rounded);
    if (!p) throw std::bad_alloc();
    (void)::madvise(p, rounded, MADV_HUGEPAGE);
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) {
    if (n * sizeof(T) < kHuge) ::operator delete(p);
    else std::free(p);
  }
  template <typename U>
  friend bool operator==(const HugeAllocator&, const HugeAllocator<U>&) { return true; }
};

}  // namespace trelvanic_materializer
