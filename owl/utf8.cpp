#include "owl/utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <fmt/format.h>

namespace trelvanic_owl {
namespace {

// Length of the well-formed sequence at `p`, or 0.
size_t sequence_length(const unsigned char* p, const unsigned char* end) {
  const unsigned char b = p[0];
  auto cont = [&](size_t k, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
    return p + k < end && p[k] >= lo && p[k] <= hi;
  };
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const unsigned char lo = b == 0xE0 ? 0xA0 : 0x80;  // overlong
    const unsigned char hi = b == 0xED ? 0x9F : 0xBF;  // surrogates
    return cont(1, lo, hi) && cont(2) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const unsigned char lo = b == 0xF0 ? 0x90 : 0x80;  // overlong
    const unsigned char hi = b == 0xF4 ? 0x8F : 0xBF;  // above U+10FFFF
    return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

}  // namespace

std::optional<size_t> find_invalid_utf8(std::string_view text) {
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = base + text.size();
  const auto* p = base;
  while (p < end) {
    // Thirty-two (with SSE2), then eight bytes at a time while they are ASCII.
#if defined(__SSE2__)
    while (end - p >= 32) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
      if (_mm_movemask_epi8(_mm_or_si128(a, b)) != 0) break;
      p += 32;
    }
#endif
    while (end - p >= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      if ((w & 0x8080808080808080ULL) != 0) break;
      p += 8;
    }
    if (p == end) break;
    const size_t n = sequence_length(p, end);
    if (n == 0) return static_cast<size_t>(p - base);
    p += n;
  }
  return std::nullopt;
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string_view utf8_prefix(std::string_view text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t cut = max_bytes;
  // back over continuation bytes to the start of the character that the cut splits
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut);
}

std::string utf8_excerpt(std::string_view text, size_t max_bytes) {
  if (text.size() <= max_bytes) return std::string(text);
  return fmt::format("{}... ({} bytes)", utf8_prefix(text, max_bytes), text.size());
}

}  // namespace trelvanic_owl
