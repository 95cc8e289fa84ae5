#include "core/hash_chain.h"

#include <algorithm>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

// All positions share one hash, so every operation walks one chain.
std::vector<uint32_t> chain_of(const HashChainIndex& idx, uint32_t limit) {
  std::vector<uint32_t> out;
  for (uint32_t p = 0; p < limit; ++p)
    if (idx.find(7, [&](uint32_t q) { return q == p; })) out.push_back(p);
  return out;
}

TEST(HashChainIndex, FindsLowestAndUnlinksAnywhere) {
  const struct {
    std::vector<uint32_t> removed;
    std::vector<uint32_t> left;
  } cases[] = {
      {{0}, {2, 5, 9}},      // head
      {{5}, {0, 2, 9}},      // middle
      {{9}, {0, 2, 5}},      // tail
      {{0, 2, 5, 9}, {}},    // everything
      {{3}, {0, 2, 5, 9}},   // absent
  };
  for (const auto& c : cases) {
    HashChainIndex idx;
    for (uint32_t p : {0u, 2u, 5u, 9u}) idx.add(7, p);
    for (uint32_t p : c.removed) idx.remove(7, p);
    EXPECT_EQ(chain_of(idx, 20), c.left);
    // Adding after removals keeps the chain ordered and reachable.
    idx.add(7, 12);
    auto after = c.left;
    after.push_back(12);
    EXPECT_EQ(chain_of(idx, 20), after);
    EXPECT_EQ(idx.find(7, [](uint32_t) { return true; }), after.front()) << "lowest position first";
  }
}

// find_or_add answers like find, and adds the position only when nothing
// matches, at the end of its chain.
TEST(HashChainIndex, FindOrAddIsFindThenAdd) {
  HashChainIndex idx;
  EXPECT_EQ(idx.find_or_add(7, 0, [](uint32_t) { return true; }), std::nullopt) << "new hash: added";
  EXPECT_EQ(idx.find_or_add(7, 3, [](uint32_t) { return false; }), std::nullopt) << "no match: added";
  EXPECT_EQ(idx.find_or_add(7, 5, [](uint32_t p) { return p == 3; }), 3u) << "match: not added";
  EXPECT_EQ(idx.find_or_add(9, 6, [](uint32_t) { return true; }), std::nullopt);
  EXPECT_EQ(chain_of(idx, 10), (std::vector<uint32_t>{0, 3}));
  EXPECT_EQ(idx.find(9, [](uint32_t p) { return p == 6; }), 6u);
  idx.remove(7, 0);
  EXPECT_EQ(chain_of(idx, 10), std::vector<uint32_t>{3});
}

// Many hashes (some folding to the same 32 bits, many in long probe runs),
// positions removed at random and added again, against a plain map of
// hash -> ascending positions: every lookup agrees, through regrowth, the
// wrap-around of probe runs at the end of tables of any size, and the
// shifting of probe runs on removal.
class HashChainIndexRandom : public ::testing::TestWithParam<size_t> {};

TEST_P(HashChainIndexRandom, AgreesWithAPlainMap) {
  HashChainIndex idx;
  idx.reserve(GetParam());
  std::map<uint64_t, std::vector<uint32_t>> model;
  std::vector<uint64_t> hash_of;
  uint64_t state = 12345;
  auto next = [&](uint64_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % bound;
  };
  auto check = [&] {
    for (uint32_t p = 0; p < hash_of.size(); ++p) {
      const auto& chain = model[hash_of[p]];
      const bool live = std::find(chain.begin(), chain.end(), p) != chain.end();
      EXPECT_EQ(idx.find(hash_of[p], [&](uint32_t q) { return q == p; }).has_value(), live) << p;
      // The lowest live position of an equal entry (entries are equal when
      // their hashes are, as for the stores' own predicates).
      if (!chain.empty()) {
        EXPECT_EQ(idx.find(hash_of[p], [&](uint32_t q) { return hash_of[q] == hash_of[p]; }), chain.front()) << p;
      }
    }
  };
  for (uint32_t p = 0; p < 3000; ++p) {
    // Few distinct low words: many hashes share a home slot; the high word
    // xor the low word makes some of them fold to one 32-bit key.
    const uint64_t low = next(64), high = next(8) == 0 ? low : next(1u << 30);
    const uint64_t h = (high << 32) | low;
    hash_of.push_back(h);
    idx.add(h, p);
    model[h].push_back(p);
    if (next(3) == 0) {
      const uint32_t victim = static_cast<uint32_t>(next(p + 1));
      idx.remove(hash_of[victim], victim);
      std::erase(model[hash_of[victim]], victim);
    }
  }
  check();
  for (uint32_t p = 0; p < hash_of.size(); p += 2) {
    idx.remove(hash_of[p], p);
    std::erase(model[hash_of[p]], p);
  }
  check();
}

// No reservation, and tables reserved to sizes that are not powers of two.
INSTANTIATE_TEST_SUITE_P(Reserved, HashChainIndexRandom, ::testing::Values(0, 37, 1001, 2900));

}  // namespace
}  // namespace trelvanic_core
