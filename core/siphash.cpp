#include "core/siphash.h"

#include <cstring>

namespace trelvanic_core {
namespace {

constexpr uint64_t rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

inline void sip_round(uint64_t& v0, uint64_t& v1, uint64_t& v2, uint64_t& v3) {
  v0 += v1; v1 = rotl(v1, 13); v1 ^= v0; v0 = rotl(v0, 32);
  v2 += v3; v3 = rotl(v3, 16); v3 ^= v2;
  v0 += v3; v3 = rotl(v3, 21); v3 ^= v0;
  v2 += v1; v1 = rotl(v1, 17); v1 ^= v2; v2 = rotl(v2, 32);
}

inline uint64_t load_le64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

}  // namespace

void SipHasher13::compress(uint64_t m) {
  v3_ ^= m;
  sip_round(v0_, v1_, v2_, v3_);  // one compression round
  v0_ ^= m;
}

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

void SipHasher13::write_u32_le(uint32_t v) {
  unsigned char b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
  write(b, 4);
}

void SipHasher13::write_u64_le(uint64_t v) {
  unsigned char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
  write(b, 8);
}

uint64_t SipHasher13::finish() const {
  uint64_t v0 = v0_, v1 = v1_, v2 = v2_, v3 = v3_;
  const uint64_t b = (length_ << 56) | tail_;
  v3 ^= b;
  sip_round(v0, v1, v2, v3);
  v0 ^= b;
  v2 ^= 0xff;
  sip_round(v0, v1, v2, v3);  // three finalisation rounds
  sip_round(v0, v1, v2, v3);
  sip_round(v0, v1, v2, v3);
  return v0 ^ v1 ^ v2 ^ v3;
}

uint64_t siphash13(std::string_view bytes) {
  SipHasher13 h;
  h.write(bytes);
  return h.finish();
}

}  // namespace trelvanic_core
