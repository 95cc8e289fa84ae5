// The hashes a reader's look-ahead scan computed for the strings the parser
// will intern, in text order, with the cache hints that go with them.
//
// The scan `record`s each string at the text offset the parser will read it
// from: its hash is computed and its index slot asked for at once; the
// record the slot points at is asked for once the parser is `kRecordAhead`
// strings away. The parser takes the hash at an offset with `hash_at` (only
// for the same offset and length) and `drop_before` forgets what it passed.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "owl/model.h"

namespace trelvanic_owl {

class LookaheadRing {
 public:
  static constexpr size_t kSize = 128;        // strings looked up ahead at most
  static constexpr size_t kRecordAhead = 64;  // records loaded this many strings ahead

  explicit LookaheadRing(const Ontology& out) : out_(out) {}

  [[nodiscard]] bool full() const { return count_ == kSize; }

  void drop_before(size_t offset) {
    while (count_ > 0 && ring_[head_].offset < offset) {
      head_ = (head_ + 1) % kSize;
      --count_;
    }
  }

  void record(size_t offset, std::string_view text) { record(offset, text.size(), text); }
  // The same where the parser asks by another length than the string's (the
  // length of what it read at `offset`).
  void record(size_t offset, size_t length, std::string_view text) {
    const size_t hash = TextHash()(text);
    out_.prefetch_string(hash);
    ring_[(head_ + count_) % kSize] = Entry{offset, hash, length};
    ++count_;
  }

  [[nodiscard]] std::optional<size_t> hash_at(size_t offset, size_t length) {
    drop_before(offset);
    if (count_ == 0 || ring_[head_].offset != offset) return std::nullopt;
    const Entry& e = ring_[head_];
    if (count_ > kRecordAhead) out_.prefetch_string_record(ring_[(head_ + kRecordAhead) % kSize].hash);
    if (e.length != length) return std::nullopt;
    return e.hash;
  }

 private:
  struct Entry {
    size_t offset;
    size_t hash;
    size_t length;
  };

  const Ontology& out_;
  Entry ring_[kSize];
  size_t head_ = 0;  // index of the oldest entry
  size_t count_ = 0;
};

}  // namespace trelvanic_owl
