// IdSet: an open-addressing hash set of 32- or 64-bit ids with linear probing.
//
// The completion graph keeps one per context for its subsumers and one for
// its incoming links, so the set is small when empty (no allocation), grows
// by doubling at 1/2 load, and can be iterated by walking its slots. The
// all-ones value is reserved as the empty slot; ids never take it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace trelvanic_el {

template <typename T>
class IdSet {
 public:
  static constexpr T kEmpty = ~T{0};

  IdSet() = default;
  IdSet(IdSet&& other) noexcept { swap(other); }
  IdSet& operator=(IdSet&& other) noexcept {
    swap(other);
    return *this;
  }
  IdSet(const IdSet&) = delete;
  IdSet& operator=(const IdSet&) = delete;
  ~IdSet() { std::free(slots_); }

  uint32_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  bool contains(T id) const {
    if (capacity_ == 0) return false;
    for (uint32_t i = slot(id);; i = (i + 1) & (capacity_ - 1)) {
      if (slots_[i] == id) return true;
      if (slots_[i] == kEmpty) return false;
    }
  }

  // True when id was not yet present.
  bool insert(T id) {
    if ((size_ + 1) * 4 > capacity_ * 3) grow();
    for (uint32_t i = slot(id);; i = (i + 1) & (capacity_ - 1)) {
      if (slots_[i] == id) return false;
      if (slots_[i] == kEmpty) {
        slots_[i] = id;
        ++size_;
        return true;
      }
    }
  }

  // Calls f(id) for every member, in slot order.
  template <typename F>
  void for_each(F&& f) const {
    for (uint32_t i = 0; i < capacity_; ++i) {
      if (slots_[i] != kEmpty) f(slots_[i]);
    }
  }

  size_t memory_bytes() const { return size_t{capacity_} * sizeof(T); }

 private:
  uint32_t slot(T id) const {
    uint64_t h = static_cast<uint64_t>(id) * 0x9E3779B97F4A7C15ull;
    return static_cast<uint32_t>(h >> 32) & (capacity_ - 1);
  }

  void grow() {
    uint32_t old_capacity = capacity_;
    T* old = slots_;
    capacity_ = capacity_ == 0 ? 8 : capacity_ * 2;
    slots_ = static_cast<T*>(std::malloc(sizeof(T) * capacity_));
    if (slots_ == nullptr) throw std::bad_alloc();
    for (uint32_t i = 0; i < capacity_; ++i) slots_[i] = kEmpty;
    size_ = 0;
    for (uint32_t i = 0; i < old_capacity; ++i) {
      if (old[i] != kEmpty) insert(old[i]);
    }
    std::free(old);
  }

  void swap(IdSet& o) noexcept {
    std::swap(slots_, o.slots_);
    std::swap(capacity_, o.capacity_);
    std::swap(size_, o.size_);
  }

  T* slots_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t size_ = 0;
};

}  // namespace trelvanic_el
