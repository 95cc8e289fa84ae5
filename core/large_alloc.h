// `LargeBlockAllocator<T>`: an allocator for the big tables of an ontology
// that are probed at random (the dedup index of the axiom store, the rows of
// the axiom index). With 4 KiB pages a probe into a table of tens of
// megabytes misses the TLB as well as the cache; blocks of at least
// `kLargeBlockBytes` are therefore aligned to 2 MiB and advised for
// transparent huge pages (a hint the kernel may ignore). Smaller blocks come
// from the ordinary heap. Stateless: all instances are equal.
//
//   std::vector<Row, LargeBlockAllocator<Row>> rows;
#pragma once

#include <cstddef>

namespace trelvanic_core {

inline constexpr size_t kLargeBlockBytes = size_t{1} << 20;

// `bytes` of uninitialised memory (huge-page advised when large); throws
// std::bad_alloc when none is left.
[[nodiscard]] void* large_block_allocate(size_t bytes);
// Frees a block of `large_block_allocate` given the same size.
void large_block_free(void* block, size_t bytes) noexcept;

template <class T>
struct LargeBlockAllocator {
  using value_type = T;
  LargeBlockAllocator() = default;
  template <class U>
  constexpr LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}
  [[nodiscard]] T* allocate(size_t n) { return static_cast<T*>(large_block_allocate(n * sizeof(T))); }
  void deallocate(T* p, size_t n) noexcept { large_block_free(p, n * sizeof(T)); }
  template <class U>
  friend constexpr bool operator==(LargeBlockAllocator, LargeBlockAllocator<U>) noexcept {
    return true;
  }
};

}  // namespace trelvanic_core
