// SipHash-1-3 with both 64-bit keys zero: the fixed, process-independent
// 64-bit fingerprint used to bucket IRIs, told axioms and DL expressions.
//
// `SipHasher13` is streaming: feed bytes with `write` (or the little-endian
// integer helpers) in any split, then `finish`. `siphash13(bytes)` hashes one
// buffer. The value equals CPython's hash of a bytes object under
// PYTHONHASHSEED=0 (apart from CPython's own special cases for empty input and
// the value -1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace trelvanic_core {

class SipHasher13 {
 public:
  SipHasher13() = default;

  void write(const void* data, size_t len);
  void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
  void write_u8(uint8_t v) { write(&v, 1); }
  // The integers go straight into the pending word (fingerprints of ids are
  // written this way, so these stay inline and free of byte loops).
  void write_u32_le(uint32_t v) {
    length_ += 4;
    const uint64_t x = v;
    if (ntail_ <= 4) {
      tail_ |= x << (8 * ntail_);
      ntail_ += 4;
      if (ntail_ == 8) {
        compress(tail_);
        tail_ = 0;
        ntail_ = 0;
      }
      return;
    }
    const unsigned shift = 8 * ntail_;  // 40..56: the word fills and spills
    compress(tail_ | (x << shift));
    tail_ = x >> (64 - shift);
    ntail_ -= 4;
  }
  void write_u64_le(uint64_t v) {
    length_ += 8;
    if (ntail_ == 0) {
      compress(v);
      return;
    }
    const unsigned shift = 8 * ntail_;  // 8..56
    compress(tail_ | (v << shift));
    tail_ = v >> (64 - shift);
  }

  // The hash of everything written so far; the hasher stays usable.
  [[nodiscard]] uint64_t finish() const;

 private:
  static constexpr uint64_t rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }
  static void round(uint64_t& v0, uint64_t& v1, uint64_t& v2, uint64_t& v3) {
    v0 += v1; v1 = rotl(v1, 13); v1 ^= v0; v0 = rotl(v0, 32);
    v2 += v3; v3 = rotl(v3, 16); v3 ^= v2;
    v0 += v3; v3 = rotl(v3, 21); v3 ^= v0;
    v2 += v1; v1 = rotl(v1, 17); v1 ^= v2; v2 = rotl(v2, 32);
  }
  void compress(uint64_t m) {
    v3_ ^= m;
    round(v0_, v1_, v2_, v3_);  // one compression round
    v0_ ^= m;
  }

  // "somepseudorandomlygeneratedbytes" xor the zero keys.
  uint64_t v0_ = 0x736f6d6570736575ULL;
  uint64_t v1_ = 0x646f72616e646f6dULL;
  uint64_t v2_ = 0x6c7967656e657261ULL;
  uint64_t v3_ = 0x7465646279746573ULL;
  uint64_t tail_ = 0;     // pending bytes, little-endian
  uint32_t ntail_ = 0;    // how many bytes are pending (0..7)
  uint64_t length_ = 0;   // total bytes written
};

[[nodiscard]] uint64_t siphash13(std::string_view bytes);

}  // namespace trelvanic_core
