// `TextPool`: a table of distinct byte strings, each stored once in a
// `TextArena` and named by its dense position from 0.
//
// `intern` returns the position of an equal stored text or appends it;
// `find` only looks. Both cost one SipHash of the text (over its bytes and a
// final 0xFF byte) and a byte comparison per stored text of the same hash.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/chunked_vector.h"
#include "core/hash_chain.h"
#include "core/text_arena.h"

namespace trelvanic_core {

class TextPool {
 public:
  // SipHash-1-3 (zero keys) over the bytes followed by 0xFF.
  static uint64_t hash(std::string_view text);

  [[nodiscard]] std::optional<uint32_t> find(std::string_view text) const {
    return find_hashed(text, hash(text));
  }
  // Starts loading the index slot a find or intern of a text with hash `h` reads first.
  void prefetch(uint64_t h) const { index_.prefetch(h); }
  [[nodiscard]] std::optional<uint32_t> find_hashed(std::string_view text, uint64_t h) const {
    return index_.find(h, [&](uint32_t p) { return arena_.view(refs_[p]) == text; });
  }
  // Appends a text known to be absent, under its precomputed hash.
  uint32_t append_hashed(std::string_view text, uint64_t h) {
    const auto pos = static_cast<uint32_t>(refs_.size());
    refs_.push_back(arena_.append(text));
    index_.add(h, pos);
    return pos;
  }
  uint32_t intern(std::string_view text) {
    const uint64_t h = hash(text);
    const auto pos = static_cast<uint32_t>(refs_.size());
    if (auto p = index_.find_or_add(h, pos, [&](uint32_t q) { return arena_.view(refs_[q]) == text; })) return *p;
    refs_.push_back(arena_.append(text));
    return pos;
  }

  void reserve(size_t n) {
    refs_.reserve(n);
    index_.reserve(n);
  }

  [[nodiscard]] std::string_view view(uint32_t pos) const { return arena_.view(refs_[pos]); }
  [[nodiscard]] size_t size() const { return refs_.size(); }
  [[nodiscard]] size_t memory_bytes() const {
    return arena_.capacity_bytes() + refs_.capacity() * sizeof(TextRef) + index_.memory_bytes();
  }

 private:
  TextArena arena_;
  ChunkedVector<TextRef> refs_;  // shared chunk by chunk between copies
  HashChainIndex index_;
};

}  // namespace trelvanic_core
