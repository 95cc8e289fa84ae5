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
  void write_u32_le(uint32_t v);
  void write_u64_le(uint64_t v);

  // The hash of everything written so far; the hasher stays usable.
  [[nodiscard]] uint64_t finish() const;

 private:
  void compress(uint64_t m);

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
