// Storage for large flat arrays on transparent huge pages, shared by the OWL
// model (node arena, string records, hash indexes), the core ontology (axiom
// dedup table, axiom index rows, the mapper's node cache) and the RL rule
// engine's triple store.
//
// These tables of a large ontology span tens of megabytes and are probed at
// random; with 4 KiB pages nearly every probe also misses the TLB. Blocks of
// at least `kHugeThreshold` bytes are therefore mapped directly, aligned to
// 2 MiB and marked for huge pages (a hint the kernel may ignore); smaller ones
// come from the ordinary heap. Mapped blocks start zero-filled, so a table that
// wants zeroed memory gets it without touching every page up front.
//
// `HugePageAllocator<T>` plugs this into `std::vector`.
#pragma once

#include <cstddef>
#include <new>

namespace trelvanic_memory {

inline constexpr size_t kHugeThreshold = size_t{1} << 20;

// `bytes` of zero-filled memory; throws std::bad_alloc when none is left.
[[nodiscard]] void* huge_allocate_zeroed(size_t bytes);
// Frees a block of `huge_allocate_zeroed` given the same size.
void huge_free(void* block, size_t bytes) noexcept;

template <class T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <class U>
  constexpr HugePageAllocator(const HugePageAllocator<U>&) noexcept {}
  [[nodiscard]] T* allocate(size_t n) {
    if (n * sizeof(T) < kHugeThreshold) return static_cast<T*>(::operator new(n * sizeof(T)));
    return static_cast<T*>(huge_allocate_zeroed(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) noexcept {
    if (n * sizeof(T) < kHugeThreshold) {
      ::operator delete(p);
    } else {
      huge_free(p, n * sizeof(T));
    }
  }
  template <class U>
  friend bool operator==(const HugePageAllocator&, const HugePageAllocator<U>&) {
    return true;
  }
};

}  // namespace trelvanic_memory
