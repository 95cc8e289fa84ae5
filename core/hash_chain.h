// `HashChainIndex`: an exact-match index over the entries of an append-only
// table, keyed by a 64-bit content hash.
//
// Each hash maps to a chain of entry positions in ascending order (entries
// are added in position order), so `find` returns the lowest position whose
// entry the caller's predicate confirms equal. `remove` unlinks an entry
// (the axiom store keeps only live axioms in its chains, so chains stay short
// however often an axiom is removed and added again). Collisions only lengthen a
// chain; equality is always decided by the predicate. Copies are plain value
// copies (no pointers into the table).
//
// Layout: an open-addressing table (linear probing, at most three quarters
// full; any size, a hash's home slot taken by multiply-shift, so a reserved
// table is no larger than asked) of 8-byte slots, each the hash folded to 32 bits and the head of its
// chain, so a lookup reads one cache line; the chains run through `next_`.
// Hashes that fold to the same 32 bits share a chain, which only lengthens
// it. The tables of large ontologies sit on huge pages (trelvanic_memory::HugePageAllocator).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/chunked_vector.h"
#include "memory/prefetch.h"

namespace trelvanic_core {

class HashChainIndex {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  // Lowest position with this hash for which `equal(position)` holds.
  template <class Equal>
  [[nodiscard]] std::optional<uint32_t> find(uint64_t hash, Equal&& equal) const {
    const size_t s = slot_of(fold(hash));
    if (s == kNoSlot) return std::nullopt;
    for (uint32_t p = slots_[s].head; p != kNone; p = next_[p])
      if (equal(p)) return p;
    return std::nullopt;
  }

  // find(), and when nothing matches, add(hash, position), with one probe of
  // the table instead of two (a new hash is the common case when filling a
  // table). Returns the match, or none when `position` was added.
  template <class Equal>
  std::optional<uint32_t> find_or_add(uint64_t hash, uint32_t position, Equal&& equal) {
    const uint32_t key = fold(hash);
    const size_t s = slot_of(key);
    if (s != kNoSlot) {
      uint32_t last = kNone;
      // Read through const views: only the slots and links written below
      // need their chunks made private.
      for (uint32_t p = std::as_const(slots_)[s].head; p != kNone; last = p, p = std::as_const(next_)[p])
        if (equal(p)) return p;
      link_after(last, position);
      return std::nullopt;
    }
    insert_new(key, position);
    return std::nullopt;
  }

  // Adds `position` at the end of its hash's chain. Positions must be added
  // in increasing order; positions never added (gaps) are allowed.
  void add(uint64_t hash, uint32_t position) {
    (void)find_or_add(hash, position, [](uint32_t) { return false; });
  }

  // Unlinks `position` from its hash's chain (nothing when absent); the
  // remaining chain keeps its order.
  void remove(uint64_t hash, uint32_t position);

  // Starts loading the slot a find or add of `hash` reads first, so that a
  // caller working through many hashes overlaps their cache misses.
  void prefetch(uint64_t hash) const {
    if (!slots_.empty()) trelvanic_memory::prefetch_line(&slots_[home(fold(hash))]);
  }

  void clear() {
    slots_.clear();
    next_.clear();
    used_ = 0;
  }

  // Room for `n` chains and positions below `n` without regrowth.
  void reserve(size_t n);

  [[nodiscard]] size_t memory_bytes() const {
    return slots_.capacity() * sizeof(Slot) + next_.capacity() * sizeof(uint32_t);
  }

 private:
  struct Slot {
    uint32_t key = 0;
    uint32_t head = kNone;  // kNone: an empty slot
  };
  static constexpr size_t kNoSlot = ~size_t{0};

  static uint32_t fold(uint64_t hash) { return static_cast<uint32_t>(hash ^ (hash >> 32)); }
  // The first slot probed for `key`.
  [[nodiscard]] size_t home(uint32_t key) const { return (uint64_t{key} * slots_.size()) >> 32; }
  [[nodiscard]] size_t next_slot(size_t i) const { return i + 1 == slots_.size() ? 0 : i + 1; }
  // The slot holding `key`, or kNoSlot.
  [[nodiscard]] size_t slot_of(uint32_t key) const {
    if (slots_.empty()) return kNoSlot;
    for (size_t i = home(key);; i = next_slot(i)) {
      if (slots_[i].head == kNone) return kNoSlot;
      if (slots_[i].key == key) return i;
    }
  }
  // Makes next_ cover `position`; links it after `last` (a chain's tail).
  void link_after(uint32_t last, uint32_t position) {
    if (next_.size() <= position) next_.resize(size_t{position} + 1, kNone);
    next_[last] = position;
  }
  void insert_new(uint32_t key, uint32_t position);
  void grow(size_t capacity);

  // Both tables are shared chunk by chunk between copies (see
  // `ChunkedVector`): a copy that then adds or removes a few positions
  // copies only the chunks holding their slots and links.
  ChunkedVector<Slot> slots_;
  // position -> next position in its chain.
  ChunkedVector<uint32_t> next_;
  size_t used_ = 0;  // occupied slots
};

}  // namespace trelvanic_core
