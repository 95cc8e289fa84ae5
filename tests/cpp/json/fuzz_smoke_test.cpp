// A short, deterministic pass of the JSON fuzz target: every seed of its
// corpus and a fixed set of byte-level mutations of each (longer runs use
// libFuzzer by hand, see tests/fuzz/json/json_fuzz.cpp).
#define TRELVANIC_JSON_FUZZ_NO_ENTRY
#include "tests/fuzz/json/json_fuzz.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> seeds() {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(TRELVANIC_SOURCE_DIR "/tests/fuzz/json/corpus")) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    out.push_back(text.str());
  }
  return out;
}

// One random edit: flip a byte, insert a byte that matters to JSON, delete
// or duplicate a range, or cut the tail.
void mutate(std::string& s, std::mt19937& rng) {
  static constexpr std::string_view kBytes = "{}[]\",:\\u0123456789-+.eE ntfd\n\x80\xff\xc3\xed";
  auto pick = [&](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  switch (pick(5)) {
    case 0:
      if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1 << pick(8));
      break;
    case 1: s.insert(s.begin() + static_cast<std::ptrdiff_t>(pick(s.size() + 1)), kBytes[pick(kBytes.size())]); break;
    case 2:
      if (!s.empty()) {
        std::size_t at = pick(s.size());
        s.erase(at, pick(8) + 1);
      }
      break;
    case 3:
      if (!s.empty() && s.size() < 4096) {
        std::size_t at = pick(s.size());
        s.insert(at, s.substr(at, pick(16) + 1));
      }
      break;
    default: s.resize(pick(s.size() + 1)); break;
  }
}

TEST(JsonFuzzSmoke, SeedsAndMutations) {
  const auto corpus = seeds();
  ASSERT_FALSE(corpus.empty());
  std::mt19937 rng(20261210);
  for (const std::string& seed : corpus) {
    trelvanic_json_fuzz::check(seed);
    for (int round = 0; round < 5000; ++round) {
      std::string text = seed;
      int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits; ++e) mutate(text, rng);
      trelvanic_json_fuzz::check(text);
    }
  }
}

}  // namespace
