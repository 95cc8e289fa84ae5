// An open-addressing hash index of 32-bit ids, each stored with 32 bits of
// its hash (and an optional payload) in one slot.
//
// The owner keeps the values (strings, nodes) in its own vectors and gives
// the table the hash of a value and a test "does id X hold this value?".
// A probe reads one slot per step and calls the test only when the stored
// hash bits match, so a lookup of a new value costs about one cache miss and
// a lookup of a known one two; growing the table never rehashes a value.
// Linear probing, power-of-two capacity, at most three quarters full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace trelvanic_owl {

// No extra payload.
struct NoExtra {};

// `Extra` rides in the slot beside the id, for an owner that wants a probe
// to test an entry without looking its id up.
template <class Extra = NoExtra>
class IdTable {
 public:
  // The id stored for a value equal to the probed one, or `fresh` (stored
  // with the payload `make_extra()` gives); `second` tells whether `fresh`
  // was stored. `same(id, extra)` tests a stored entry against the value.
  template <class MakeExtra, class Same>
  std::pair<uint32_t, bool> find_or_insert(uint64_t hash, uint32_t fresh, MakeExtra make_extra, Same same) {
    if ((count_ + 1) * 4 > slots_.size() * 3) grow();
    auto tag = static_cast<uint32_t>(hash >> 32) | 1u;  // tag 0 marks an empty slot
    size_t mask = slots_.size() - 1;
    for (size_t i = position(tag) & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.tag == 0) {
        s = Slot{tag, fresh, make_extra()};
        ++count_;
        return {fresh, true};
      }
      if (s.tag == tag && same(s.id, s.extra)) return {s.id, false};
    }
  }

  void reserve(size_t count) {
    while (count * 4 > slots_.size() * 3) grow();
  }
  [[nodiscard]] size_t memory_bytes() const { return slots_.capacity() * sizeof(Slot); }

 private:
  struct Slot {
    uint32_t tag = 0;
    uint32_t id = 0;
    [[no_unique_address]] Extra extra{};
  };

  // The slot is chosen from the stored bits, so growing needs no value.
  static size_t position(uint32_t tag) { return static_cast<size_t>((uint64_t{tag} * 0x9E3779B97F4A7C15ull) >> 24); }

  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.tag == 0) continue;
      for (size_t i = position(s.tag) & mask;; i = (i + 1) & mask) {
        if (slots_[i].tag == 0) {
          slots_[i] = s;
          break;
        }
      }
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace trelvanic_owl
