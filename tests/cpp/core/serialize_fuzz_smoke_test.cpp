// A short, deterministic pass of the snapshot fuzz target: every seed and a
// fixed set of edits of each (longer runs use libFuzzer by hand, see
// tests/fuzz/snapshot/snapshot_fuzz.cpp).
#define TRELVANIC_SNAPSHOT_FUZZ_NO_ENTRY
#include "tests/fuzz/snapshot/snapshot_fuzz.cpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> seeds() {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(TRELVANIC_TEST_DATA "/core/snapshot")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    out.push_back(text.str());
  }
  std::sort(out.begin(), out.end());  // one mutation sequence whatever the directory order
  return out;
}

// One random edit. Besides byte edits, digits are swapped for others (ids
// that point elsewhere, past the end or forward) and whole tokens are
// inserted or repeated, so mutants often stay well-formed JSON and reach the
// snapshot checks behind the JSON layer.
void mutate(std::string& s, std::mt19937& rng) {
  static constexpr std::string_view kBytes = "{}[]\",:\\0123456789-. \n\x80\xff";
  static constexpr std::string_view kTokens[] = {
      "null", "0", "4294967295", "4294967296", "\"Top\"", "{\"Atomic\": 0}", "{\"Not\": 0}", "[]", "{}",
      "\"x\"", "\"file:///a#b\"", "\"SwrlRule\"", "{\"Inverse\": 1}", ", \"extra\": 1"};
  auto pick = [&](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  switch (pick(6)) {
    case 0:
      if (!s.empty()) s[pick(s.size())] = kBytes[pick(kBytes.size())];
      break;
    case 1: {
      std::vector<std::size_t> digits;
      for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] >= '0' && s[i] <= '9') digits.push_back(i);
      if (!digits.empty()) s[digits[pick(digits.size())]] = static_cast<char>('0' + pick(10));
      break;
    }
    case 2: {
      const std::string_view t = kTokens[pick(std::size(kTokens))];
      s.insert(pick(s.size() + 1), t);
      break;
    }
    case 3:
      if (!s.empty()) s.erase(pick(s.size()), pick(12) + 1);
      break;
    case 4:
      if (!s.empty() && s.size() < 1 << 16) {
        const std::size_t at = pick(s.size());
        s.insert(at, s.substr(at, pick(40) + 1));
      }
      break;
    default: s.resize(pick(s.size() + 1)); break;
  }
}

TEST(SnapshotFuzzSmoke, SeedsAndMutations) {
  const auto corpus = seeds();
  ASSERT_GE(corpus.size(), 3u);
  std::mt19937 rng(20261211);
  int accepted_mutants = 0;
  for (const std::string& seed : corpus) {
    EXPECT_TRUE(trelvanic_snapshot_fuzz::check(seed)) << seed.substr(0, 200);
    for (int round = 0; round < 4000; ++round) {
      std::string text = seed;
      const int edits = 1 + static_cast<int>(rng() % 3);
      for (int e = 0; e < edits; ++e) mutate(text, rng);
      if (trelvanic_snapshot_fuzz::check(text)) ++accepted_mutants;
    }
  }
  // The mutants must get past the JSON layer often enough to exercise the
  // checks behind it.
  EXPECT_GT(accepted_mutants, 100) << accepted_mutants;
}

}  // namespace
