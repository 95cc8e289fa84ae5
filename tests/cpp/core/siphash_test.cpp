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
  // After 0..7 pending bytes, a 4- or 8-byte integer fills the pending word,
  // completes it exactly or spills over: all equal the same bytes written.
  for (size_t lead = 0; lead < 8; ++lead) {
    SipHasher13 a, b;
    const std::string prefix = std::string(bytes_0_to_63()).substr(0, lead);
    a.write(prefix);
    b.write(prefix);
    a.write_u32_le(0x44434241u);
    a.write_u64_le(0x4c4b4a4948474645ULL);
    a.write_u32_le(0x504f4e4du);
    a.write_u8(0x51);
    b.write("ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(a.finish(), b.finish()) << lead << " bytes pending";
  }
}

}  // namespace
}  // namespace trelvanic_core
