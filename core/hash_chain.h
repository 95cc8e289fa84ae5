// `HashChainIndex`: an exact-match index over the entries of an append-only
// table, keyed by a 64-bit content hash.
//
// Each hash maps to a chain of entry positions in ascending order (entries
// are added in position order), so `find` returns the lowest position whose
// entry the caller's predicate confirms equal. Collisions only lengthen a
// chain; equality is always decided by the predicate. Copies are plain value
// copies (no pointers into the table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

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
  absl::flat_hash_map<uint64_t, Chain> chains_;
  std::vector<uint32_t> next_;  // position -> next position with the same hash
};

}  // namespace trelvanic_core
