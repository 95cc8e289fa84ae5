// IdSet: a set of 32- or 64-bit ids, an open-addressing hash table with
// linear probing, or for 32-bit ids a bitmap once that is smaller.
//
// The completion graph keeps one per context for its subsumers and one for
// its incoming links, so the set is small when empty (no allocation), grows
// by doubling at 3/4 load, and can be iterated by walking its slots. The
// all-ones value is reserved as the empty slot; ids never take it.
//
// A set of 32-bit ids whose table would take more bytes than a bitmap up to
// its largest id turns into that bitmap (a long subclass chain gives every
// class most of the other classes as subsumers: a bit each instead of eight
// bytes or more); a bitmap that an id far above the others would make
// larger than the table turns back into a table. The bitmap iterates in
// ascending order, the table in slot order.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace trelvanic_el {

template <typename T>
class IdSet {
  static constexpr bool kMayBeBitmap = sizeof(T) == 4;

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
  bool is_bitmap() const {
    if constexpr (kMayBeBitmap) return (capacity_ & kBitmapFlag) != 0;
    return false;
  }
  bool empty() const { return size_ == 0; }

  bool contains(T id) const {
    if constexpr (kMayBeBitmap) {
      if (is_bitmap()) return (id >> 6) < word_count() && ((words()[id >> 6] >> (id & 63)) & 1) != 0;
    }
    if (capacity_ == 0) return false;
    for (uint32_t i = slot(id);; i = (i + 1) & (capacity_ - 1)) {
      if (slots_[i] == id) return true;
      if (slots_[i] == kEmpty) return false;
    }
  }

  // True when id was not yet present.
  bool insert(T id) {
    if constexpr (kMayBeBitmap) {
      if (is_bitmap()) {
        if ((id >> 6) >= word_count() && !widen_bitmap(id)) return insert_slot(id);
        uint64_t& w = words()[id >> 6];
        const uint64_t bit = uint64_t{1} << (id & 63);
        if ((w & bit) != 0) return false;
        w |= bit;
        ++size_;
        return true;
      }
    }
    return insert_slot(id);
  }

  // Calls f(id) for every member: ascending for a bitmap, else in slot order.
  template <typename F>
  void for_each(F&& f) const {
    if constexpr (kMayBeBitmap) {
      if (is_bitmap()) {
        for (uint32_t k = 0; k < word_count(); ++k) {
          for (uint64_t w = words()[k]; w != 0; w &= w - 1) {
            f(static_cast<T>(uint64_t{k} * 64 + static_cast<uint32_t>(std::countr_zero(w))));
          }
        }
        return;
      }
    }
    for (uint32_t i = 0; i < capacity_; ++i) {
      if (slots_[i] != kEmpty) f(slots_[i]);
    }
  }

  size_t memory_bytes() const {
    return is_bitmap() ? size_t{word_count()} * sizeof(uint64_t) : size_t{capacity_} * sizeof(T);
  }

 private:
  // In a bitmap, capacity_ holds this flag and the number of 64-bit words,
  // and slots_ points at the words.
  static constexpr uint32_t kBitmapFlag = uint32_t{1} << 31;
  uint32_t word_count() const { return capacity_ & ~kBitmapFlag; }
  uint64_t* words() const { return reinterpret_cast<uint64_t*>(slots_); }

  static uint32_t words_for(uint64_t largest) { return static_cast<uint32_t>(largest / 64 + 1); }

  uint32_t slot(T id) const {
    uint64_t h = static_cast<uint64_t>(id) * 0x9E3779B97F4A7C15ull;
    return static_cast<uint32_t>(h >> 32) & (capacity_ - 1);
  }

  bool insert_slot(T id) {
    if ((size_ + 1) * 4 > capacity_ * 3) {
      if constexpr (kMayBeBitmap) {
        if (capacity_ > 0 && to_bitmap(id)) return insert(id);
      }
      grow();
    }
    for (uint32_t i = slot(id);; i = (i + 1) & (capacity_ - 1)) {
      if (slots_[i] == id) return false;
      if (slots_[i] == kEmpty) {
        slots_[i] = id;
        ++size_;
        return true;
      }
    }
  }

  // A new empty table of `capacity` slots (a power of two).
  void new_table(uint32_t capacity) {
    capacity_ = capacity;
    slots_ = static_cast<T*>(std::malloc(sizeof(T) * capacity_));
    if (slots_ == nullptr) throw std::bad_alloc();
    std::fill(slots_, slots_ + capacity_, kEmpty);
  }

  // Puts an id that is not yet present into a table with room for it.
  void place(T id) {
    uint32_t i = slot(id);
    while (slots_[i] != kEmpty) i = (i + 1) & (capacity_ - 1);
    slots_[i] = id;
  }

  void grow() {
    uint32_t old_capacity = capacity_;
    T* old = slots_;
    if constexpr (kMayBeBitmap) {
      if (capacity_ >= kBitmapFlag / 2) throw std::bad_alloc();  // the flag bit stays free
    }
    new_table(capacity_ == 0 ? 8 : capacity_ * 2);
    for (uint32_t i = 0; i < old_capacity; ++i) {
      if (old[i] != kEmpty) place(old[i]);
    }
    std::free(old);
  }

  // The table is full and would double: becomes a bitmap instead when that
  // is no larger than the doubled table. True when it did.
  bool to_bitmap(T incoming) {
    T largest = incoming;
    for (uint32_t i = 0; i < capacity_; ++i) {
      if (slots_[i] != kEmpty) largest = std::max(largest, slots_[i]);
    }
    const uint32_t words = words_for(largest);
    if (uint64_t{words} * sizeof(uint64_t) > uint64_t{capacity_} * 2 * sizeof(T)) return false;
    auto* bits = static_cast<uint64_t*>(std::calloc(words, sizeof(uint64_t)));
    if (bits == nullptr) throw std::bad_alloc();
    for (uint32_t i = 0; i < capacity_; ++i) {
      if (slots_[i] != kEmpty) bits[slots_[i] >> 6] |= uint64_t{1} << (slots_[i] & 63);
    }
    std::free(slots_);
    slots_ = reinterpret_cast<T*>(bits);
    capacity_ = words | kBitmapFlag;
    return true;
  }

  // Makes room for id in the bitmap (at least doubling it), unless the
  // bitmap would then outgrow a table of its members: then the set turns
  // back into a table and the answer is false.
  bool widen_bitmap(T id) {
    const uint32_t old_words = word_count();
    uint64_t* old = words();
    const uint32_t words = std::max(words_for(id), old_words * 2);
    if (uint64_t{words} * sizeof(uint64_t) > uint64_t{size_ + 1} * 4 * sizeof(T)) {
      uint32_t capacity = 8;
      while ((size_ + 1) * 4 > capacity * 3) capacity *= 2;
      new_table(capacity);
      for (uint32_t k = 0; k < old_words; ++k) {
        for (uint64_t w = old[k]; w != 0; w &= w - 1) {
          place(static_cast<T>(uint64_t{k} * 64 + static_cast<uint32_t>(std::countr_zero(w))));
        }
      }
      std::free(old);
      return false;
    }
    auto* bits = static_cast<uint64_t*>(std::realloc(old, words * sizeof(uint64_t)));
    if (bits == nullptr) throw std::bad_alloc();
    std::fill(bits + old_words, bits + words, uint64_t{0});
    slots_ = reinterpret_cast<T*>(bits);
    capacity_ = words | kBitmapFlag;
    return true;
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
