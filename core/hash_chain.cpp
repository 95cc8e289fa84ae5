#include "core/hash_chain.h"

#include <algorithm>
#include <utility>

namespace trelvanic_core {

void HashChainIndex::insert_new(uint32_t key, uint32_t position) {
  // At most three quarters full, so probe runs stay short.
  if ((used_ + 1) * 4 > slots_.size() * 3) grow(std::max<size_t>(16, slots_.size() * 2));
  size_t i = home(key);
  while (std::as_const(slots_)[i].head != kNone) i = next_slot(i);
  slots_[i] = Slot{key, position};
  ++used_;
  if (next_.size() <= position) next_.resize(size_t{position} + 1, kNone);
}

void HashChainIndex::grow(size_t capacity) {
  ChunkedVector<Slot> old;
  old.resize(capacity);
  old.swap(slots_);
  for (size_t j = 0; j < old.size(); ++j) {
    const Slot& s = std::as_const(old)[j];
    if (s.head == kNone) continue;
    size_t i = home(s.key);
    while (std::as_const(slots_)[i].head != kNone) i = next_slot(i);
    slots_[i] = s;
  }
}

void HashChainIndex::reserve(size_t n) {
  // Three quarters full at n chains.
  const size_t wanted = std::max<size_t>(16, (n * 4 + 2) / 3 + 1);
  if (wanted > slots_.size()) grow(wanted);
  next_.reserve(n);
}

void HashChainIndex::remove(uint64_t hash, uint32_t position) {
  const size_t s = slot_of(fold(hash));
  if (s == kNoSlot) return;
  uint32_t prev = kNone;
  uint32_t p = std::as_const(slots_)[s].head;
  while (p != kNone && p != position) {
    prev = p;
    p = std::as_const(next_)[p];
  }
  if (p == kNone) return;
  const uint32_t after = std::as_const(next_)[p];
  next_[p] = kNone;
  if (prev != kNone) {
    next_[prev] = after;
    return;
  }
  if (after != kNone) {
    slots_[s].head = after;
    return;
  }
  // The chain is gone: empty its slot, shifting back the later slots of the
  // probe run that may move closer to their home slot (no tombstones).
  const size_t n = slots_.size();
  auto distance = [n](size_t from, size_t to) { return to >= from ? to - from : to + n - from; };
  size_t hole = s;
  for (size_t j = next_slot(hole); std::as_const(slots_)[j].head != kNone; j = next_slot(j)) {
    if (distance(home(std::as_const(slots_)[j].key), j) >= distance(hole, j)) {
      slots_[hole] = std::as_const(slots_)[j];
      hole = j;
    }
  }
  slots_[hole] = Slot{};
  --used_;
}

}  // namespace trelvanic_core
