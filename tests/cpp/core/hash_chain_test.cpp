#include "core/hash_chain.h"

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

}  // namespace
}  // namespace trelvanic_core
