#include "core/siphash.h"

#include <string>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

// Expected values: CPython's hash(bytes) under PYTHONHASHSEED=0 (SipHash-1-3,
// zero keys), as unsigned 64-bit. Lengths cover an empty tail, a full word
// and words plus tails.
struct Case {
  std::string bytes;
  uint64_t expected;
};

std::string bytes_0_to_63() {
  std::string s;
  for (int i = 0; i < 64; ++i) s.push_back(static_cast<char>(i));
  return s;
}

TEST(SipHash, MatchesPythonBytesHash) {
  const Case cases[] = {
      {"a", 4644417185603328019ULL},
      {"abcdefg", 7904145750247929094ULL},
      {"abcdefgh", 4574395652268504554ULL},
      {"abcdefghi", 17913969820989044453ULL},
      {"hello world, siphash", 10848750596734098677ULL},
      {bytes_0_to_63(), 8493894268803903686ULL},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(siphash13(c.bytes), c.expected) << c.bytes.size() << " bytes";
    // Any split of the input into writes gives the same value.
    for (size_t cut = 0; cut <= c.bytes.size(); ++cut) {
      SipHasher13 h;
      h.write(std::string_view(c.bytes).substr(0, cut));
      h.write(std::string_view(c.bytes).substr(cut));
      ASSERT_EQ(h.finish(), c.expected) << "cut at " << cut;
    }
  }
}

TEST(SipHash, IntegerHelpersWriteLittleEndian) {
  SipHasher13 a, b;
  a.write_u32_le(0x04030201u);
  a.write_u64_le(0x0c0b0a0908070605ULL);
  const char raw[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  b.write(raw, sizeof raw);
  EXPECT_EQ(a.finish(), b.finish());
}

}  // namespace
}  // namespace trelvanic_core
