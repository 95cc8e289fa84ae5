// `ChunkedVector<T>`: a vector held in fixed-size chunks that copies share.
// Copying one costs a pointer per chunk; the first write into a chunk that
// another copy still holds copies that chunk alone. So a copy of a large
// table that then changes in a few places pays for those places only.
//
// Reads go through the const `operator[]`; the non-const `operator[]`,
// `resize` and `push_back` are writes and make the chunk they touch private.
// Elements are not contiguous: there is no `data()`.
//
// One thread at a time may change a vector; copies may move to other threads
// (chunks are reference counted atomically and never changed while shared).
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace trelvanic_core {

template <class T, unsigned kShift = 10>
class ChunkedVector {
 public:
  static constexpr size_t kChunkSize = size_t{1} << kShift;

  [[nodiscard]] size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  // Elements the current chunks hold without another allocation.
  [[nodiscard]] size_t capacity() const { return chunks_.size() * kChunkSize; }

  [[nodiscard]] const T& operator[](size_t i) const { return (*chunks_[i >> kShift])[i & kMask]; }
  T& operator[](size_t i) { return own(i >> kShift)[i & kMask]; }

  void push_back(T value) {
    resize(size_ + 1);
    (*this)[size_ - 1] = std::move(value);
  }

  // Grows with copies of `value`, or drops the elements from `n` on.
  void resize(size_t n, const T& value = T()) {
    const size_t chunks = (n + kChunkSize - 1) >> kShift;
    if (n < size_) {
      chunks_.resize(chunks);
      // The dropped tail of the last chunk is reset, so a later growth
      // starts from fresh elements and no memory stays held by them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
// GCC 12 sees absl::InlinedVector's move assignment from a fresh value as
// reading its uninitialised inline storage (a false positive).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
      for (size_t i = n; i < chunks * kChunkSize && i < size_; ++i) (*this)[i] = T();
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
      size_ = n;
      return;
    }
    while (chunks_.size() < chunks) chunks_.push_back(std::make_shared<Chunk>());
    for (size_t i = size_; i < n; ++i) (*this)[i] = value;
    size_ = n;
  }

  void reserve(size_t n) { chunks_.reserve((n + kChunkSize - 1) >> kShift); }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }
  void swap(ChunkedVector& other) noexcept {
    chunks_.swap(other.chunks_);
    std::swap(size_, other.size_);
  }

 private:
  static constexpr size_t kMask = kChunkSize - 1;
  using Chunk = std::array<T, kChunkSize>;

  Chunk& own(size_t chunk) {
    std::shared_ptr<Chunk>& c = chunks_[chunk];
    if (c.use_count() > 1) c = std::make_shared<Chunk>(*c);
    return *c;
  }

  std::vector<std::shared_ptr<Chunk>> chunks_;
  size_t size_ = 0;
};

}  // namespace trelvanic_core
