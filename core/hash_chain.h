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
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "core/large_alloc.h"

namespace trelvanic_core {

class HashChainIndex {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  // Lowest position with this hash for which `equal(position)` holds.
  template <class Equal>
  [[nodiscard]] std::optional<uint32_t> find(uint64_t hash, Equal&& equal) const {
    auto it = chains_.find(hash);
    if (it == chains_.end()) return std::nullopt;
    for (uint32_t p = it->second.head; p != kNone; p = next_[p])
      if (equal(p)) return p;
    return std::nullopt;
  }

  // find(), and when nothing matches, add(hash, position), with one probe of
  // the hash table instead of two (a new hash is the common case when
  // filling a table). Returns the match, or none when `position` was added.
  template <class Equal>
  std::optional<uint32_t> find_or_add(uint64_t hash, uint32_t position, Equal&& equal) {
    auto [it, fresh] = chains_.try_emplace(hash, Chain{position, position});
    if (!fresh) {
      for (uint32_t p = it->second.head; p != kNone; p = next_[p])
        if (equal(p)) return p;
      // `equal` may not touch this index, so `it` is still valid.
      next_[it->second.tail] = position;
      it->second.tail = position;
    }
    if (next_.size() <= position) next_.resize(size_t{position} + 1, kNone);
    return std::nullopt;
  }

  // Adds `position` at the end of its hash's chain. Positions must be added
  // in increasing order; positions never added (gaps) are allowed.
  void add(uint64_t hash, uint32_t position) {
    if (next_.size() <= position) next_.resize(size_t{position} + 1, kNone);
    auto [it, fresh] = chains_.try_emplace(hash, Chain{position, position});
    if (!fresh) {
      next_[it->second.tail] = position;
      it->second.tail = position;
    }
  }

  // Unlinks `position` from its hash's chain (nothing when absent); the
  // remaining chain keeps its order.
  void remove(uint64_t hash, uint32_t position) {
    auto it = chains_.find(hash);
    if (it == chains_.end()) return;
    Chain& c = it->second;
    uint32_t prev = kNone;
    for (uint32_t p = c.head; p != kNone; prev = p, p = next_[p]) {
      if (p != position) continue;
      const uint32_t after = next_[p];
      next_[p] = kNone;
      if (prev == kNone) {
        if (after == kNone) {
          chains_.erase(it);
          return;
        }
        c.head = after;
      } else {
        next_[prev] = after;
      }
      if (c.tail == position) c.tail = prev;
      return;
    }
  }

  // Starts loading the table slots a find or add of `hash` reads, so that a
  // caller working through many hashes overlaps their cache misses.
  void prefetch(uint64_t hash) const { chains_.prefetch(hash); }

  void clear() {
    chains_.clear();
    next_.clear();
  }

  void reserve(size_t n) {
    chains_.reserve(n);
    next_.reserve(n);
  }

  [[nodiscard]] size_t memory_bytes() const {
    return chains_.capacity() * (sizeof(std::pair<uint64_t, Chain>) + 1) +
           next_.capacity() * sizeof(uint32_t);
  }

 private:
  struct Chain {
    uint32_t head;
    uint32_t tail;
  };
  absl::flat_hash_map<uint64_t, Chain, absl::Hash<uint64_t>, std::equal_to<uint64_t>,
                      LargeBlockAllocator<std::pair<const uint64_t, Chain>>>
      chains_;
  std::vector<uint32_t, LargeBlockAllocator<uint32_t>> next_;  // position -> next position with the same hash
};

}  // namespace trelvanic_core
