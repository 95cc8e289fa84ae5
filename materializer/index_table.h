// Open-addressing table from a key to a triple index: the store's duplicate
// check and the heads of its (predicate, subject) and (predicate, object)
// lists.
//
// A slot holds 32 bits of the key's hash and a triple index; the key itself
// is not kept but read back from the triple the index names, so a slot is
// 8 bytes, a probe for an absent key touches one cache line, and a table of
// millions of keys is half the size of a map that stores them. Linear
// probing, at most 7/10 full, capacity a power of two.
//
//   IndexTable t;
//   auto& slot = t.slot(h, same, refill);   // same(index): the key matches
//   if (slot.index == IndexTable::kEmpty) t.fill(slot, h, i);
//   t.find(h, same);                        // an index or kEmpty
//
// When the table grows, `refill(put, old)` calls put(hash, index) once for
// every entry (`old` holds the previous slots): the store walks its triples
// in order for the duplicate check, and the old slots for the list heads.
#pragma once

#include <cstdint>
#include <vector>

#include "memory/huge_pages.h"

namespace trelvanic_materializer {

class IndexTable {
 public:
  static constexpr std::uint32_t kEmpty = 0xffffffffu;
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t index = kEmpty;
  };

  [[nodiscard]] std::size_t size() const { return size_; }

  template <typename Same>
  [[nodiscard]] std::uint32_t find(std::uint64_t h, Same&& same) const {
    if (slots_.empty()) return kEmpty;
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(h >> 32);
    for (std::size_t pos = h & mask;; pos = (pos + 1) & mask) {
      const Slot& s = slots_[pos];
      if (s.index == kEmpty) return kEmpty;
      if (s.tag == tag && same(s.index)) return s.index;
    }
  }

  // The slot holding the key, or the empty slot where it goes (fill it
  // with `fill` before the next call). Grows first when the table is full.
  template <typename Same, typename Refill>
  Slot& slot(std::uint64_t h, Same&& same, Refill&& refill) {
    if ((size_ + 1) * 10 > slots_.size() * 7) rebuild(slots_.empty() ? 16 : slots_.size() * 2, refill);
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(h >> 32);
    for (std::size_t pos = h & mask;; pos = (pos + 1) & mask) {
      Slot& s = slots_[pos];
      if (s.index == kEmpty || (s.tag == tag && same(s.index))) return s;
    }
  }
  void fill(Slot& s, std::uint64_t h, std::uint32_t index) {
    s.tag = static_cast<std::uint32_t>(h >> 32);
    s.index = index;
    ++size_;
  }

  // Makes room for `entries` keys without growing again.
  template <typename Refill>
  void reserve(std::size_t entries, Refill&& refill) {
    std::size_t capacity = 16;
    while (entries * 10 > capacity * 7) capacity *= 2;
    if (capacity > slots_.size()) rebuild(capacity, refill);
  }

 private:
  template <typename Refill>
  void rebuild(std::size_t capacity, Refill&& refill) {
    std::vector<Slot, trelvanic_memory::HugePageAllocator<Slot>> old(capacity);
    old.swap(slots_);
    const std::size_t mask = capacity - 1;
    auto put = [&](std::uint64_t h, std::uint32_t index) {
      std::size_t pos = h & mask;
      while (slots_[pos].index != kEmpty) pos = (pos + 1) & mask;
      slots_[pos] = Slot{static_cast<std::uint32_t>(h >> 32), index};
    };
    refill(put, old);
  }

  std::vector<Slot, trelvanic_memory::HugePageAllocator<Slot>> slots_;
  std::size_t size_ = 0;
};

}  // namespace trelvanic_materializer
