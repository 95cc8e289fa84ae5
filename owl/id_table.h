// An open-addressing hash index of 32-bit ids, each stored with 32 bits of
// its hash (and an optional payload) in one slot.
//
// The owner keeps the values (strings, nodes) in its own storage and gives
// the table the hash of a value and a test "does id X hold this value?".
// A probe reads one slot per step and calls the test only when the stored
// hash bits match, so a lookup of a new value costs about one cache miss and
// a lookup of a known one two; growing the table never rehashes a value.
// Linear probing, power-of-two capacity, at most three quarters full. The
// slots live on huge pages (huge_pages.h) and start zeroed.
//
// A caller that knows the hashes of coming lookups early can `prefetch` their
// slots, and `first_match` the entry a later probe will test first, so that
// several misses overlap instead of following one another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "memory/huge_pages.h"
#include "memory/prefetch.h"

namespace trelvanic_owl {

using trelvanic_memory::prefetch_line;

// No extra payload.
struct NoExtra {};

// `Extra` rides in the slot beside the id, for an owner that wants a probe
// to test an entry without looking its id up.
template <class Extra = NoExtra>
class IdTable {
 public:
  struct Slot {
    uint32_t tag = 0;
    uint32_t id = 0;
    [[no_unique_address]] Extra extra{};
  };

  IdTable() = default;
  IdTable(const IdTable&) = delete;
  IdTable& operator=(const IdTable&) = delete;
  IdTable(IdTable&& other) noexcept { swap(other); }
  IdTable& operator=(IdTable&& other) noexcept {
    swap(other);
    return *this;
  }
  ~IdTable() { trelvanic_memory::huge_free(slots_, capacity_ * sizeof(Slot)); }

  // The id stored for a value equal to the probed one, or `fresh` (stored
  // with the payload `make_extra()` gives); `second` tells whether `fresh`
  // was stored. `same(id, extra)` tests a stored entry against the value.
  template <class MakeExtra, class Same>
  std::pair<uint32_t, bool> find_or_insert(uint64_t hash, uint32_t fresh, MakeExtra make_extra, Same same) {
    return probe(hash, [&] { return Slot{0, fresh, make_extra()}; }, same);
  }

  // The same where the id to store is made only when the value is new
  // (`make()` returns it, e.g. the place the owner stores the value at).
  template <class Make, class Same>
  std::pair<uint32_t, bool> find_or_emplace(uint64_t hash, Make make, Same same) {
    return probe(hash, [&] { return Slot{0, make(), Extra{}}; }, same);
  }

  // Brings the first slot a probe for `hash` reads into the cache.
  void prefetch(uint64_t hash) const {
    if (capacity_ == 0) return;
    prefetch_line(&slots_[position(tag_of(hash)) & (capacity_ - 1)]);
  }

  // The first stored slot whose hash bits match `hash`, or nullptr (a hint:
  // the entry may still differ from the value).
  [[nodiscard]] const Slot* first_match(uint64_t hash) const {
    if (capacity_ == 0) return nullptr;
    uint32_t tag = tag_of(hash);
    size_t mask = capacity_ - 1;
    for (size_t i = position(tag) & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.tag == 0) return nullptr;
      if (s.tag == tag) return &s;
    }
  }

  void reserve(size_t count) {
    size_t capacity = capacity_ == 0 ? 64 : capacity_;
    while (count * 4 > capacity * 3) capacity *= 2;
    if (capacity != capacity_) grow(capacity);
  }
  [[nodiscard]] size_t size() const { return count_; }
  [[nodiscard]] size_t memory_bytes() const { return capacity_ * sizeof(Slot); }

 private:
  // The probe of both lookups: `fill()` gives the slot of a new value (its
  // tag is set here).
  template <class Fill, class Same>
  std::pair<uint32_t, bool> probe(uint64_t hash, Fill fill, Same same) {
    if ((count_ + 1) * 4 > capacity_ * 3) grow(capacity_ == 0 ? 64 : capacity_ * 2);
    uint32_t tag = tag_of(hash);
    size_t mask = capacity_ - 1;
    for (size_t i = position(tag) & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.tag == 0) {
        Slot filled = fill();
        filled.tag = tag;
        s = filled;
        ++count_;
        return {s.id, true};
      }
      if (s.tag == tag && same(s.id, s.extra)) return {s.id, false};
    }
  }

  static uint32_t tag_of(uint64_t hash) { return static_cast<uint32_t>(hash >> 32) | 1u; }  // tag 0: empty slot
  // The slot is chosen from the stored bits, so growing needs no value.
  static size_t position(uint32_t tag) { return static_cast<size_t>((uint64_t{tag} * 0x9E3779B97F4A7C15ull) >> 24); }

  void swap(IdTable& other) noexcept {
    std::swap(slots_, other.slots_);
    std::swap(capacity_, other.capacity_);
    std::swap(count_, other.count_);
  }

  void grow(size_t capacity) {
    auto* fresh = static_cast<Slot*>(trelvanic_memory::huge_allocate_zeroed(capacity * sizeof(Slot)));
    size_t mask = capacity - 1;
    for (size_t k = 0; k < capacity_; ++k) {
      const Slot& s = slots_[k];
      if (s.tag == 0) continue;
      for (size_t i = position(s.tag) & mask;; i = (i + 1) & mask) {
        if (fresh[i].tag == 0) {
          fresh[i] = s;
          break;
        }
      }
    }
    trelvanic_memory::huge_free(slots_, capacity_ * sizeof(Slot));
    slots_ = fresh;
    capacity_ = capacity;
  }

  Slot* slots_ = nullptr;
  size_t capacity_ = 0;
  size_t count_ = 0;
};

}  // namespace trelvanic_owl
