#include "core/siphash.h"

#include <bit>
#include <cstring>

namespace trelvanic_core {
namespace {

inline uint64_t load_le64(const unsigned char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

}  // namespace

void SipHasher13::write(const void* data, size_t len) {
  const auto* p = static_cast<const unsigned char*>(data);
  length_ += len;
  // Fill the pending word first.
  while (ntail_ != 0 && len != 0) {
    tail_ |= uint64_t{*p++} << (8 * ntail_);
    --len;
    if (++ntail_ == 8) {
      compress(tail_);
      tail_ = 0;
      ntail_ = 0;
    }
  }
  while (len >= 8) {
    compress(load_le64(p));
    p += 8;
    len -= 8;
  }
  while (len != 0) {
    tail_ |= uint64_t{*p++} << (8 * ntail_);
    ++ntail_;
    --len;
  }
}

uint64_t SipHasher13::finish() const {
  uint64_t v0 = v0_, v1 = v1_, v2 = v2_, v3 = v3_;
  const uint64_t b = (length_ << 56) | tail_;
  v3 ^= b;
  round(v0, v1, v2, v3);
  v0 ^= b;
  v2 ^= 0xff;
  round(v0, v1, v2, v3);  // three finalisation rounds
  round(v0, v1, v2, v3);
  round(v0, v1, v2, v3);
  return v0 ^ v1 ^ v2 ^ v3;
}

uint64_t siphash13(std::string_view bytes) {
  SipHasher13 h;
  h.write(bytes);
  return h.finish();
}

}  // namespace trelvanic_core
