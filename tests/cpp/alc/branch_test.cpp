// The worlds a branch shares with its copies: a write reaches only the
// branch it is made on.
#include <gtest/gtest.h>

#include "alc/branch.h"

namespace trelvanic_alc {
namespace {

TEST(Worlds, AWriteAfterACopyLeavesTheOtherCopyAsItWas) {
  Branch kept;
  for (uint32_t c : {7u, 8u}) {
    World w;
    w.label.push_back(LabelEntry{c, 0});
    kept.worlds.push_back(std::move(w));
  }
  Branch tried = kept;
  tried.worlds.mut(0).label.push_back(LabelEntry{9, 1});
  tried.worlds.mut(0).edges.push_back(Edge{1, 2, 0});
  tried.worlds.mut(1).alive = false;
  World extra;
  tried.worlds.push_back(std::move(extra));

  ASSERT_EQ(kept.worlds.size(), 2u);
  EXPECT_EQ(kept.worlds[0].label.size(), 1u);
  EXPECT_TRUE(kept.worlds[0].edges.empty());
  EXPECT_TRUE(kept.worlds[1].alive);
  EXPECT_EQ(tried.worlds.size(), 3u);
  EXPECT_EQ(tried.worlds[0].label.size(), 2u);
  EXPECT_FALSE(tried.worlds[1].alive);

  // Writing the kept copy now does not reach the tried one either.
  kept.worlds.mut(1).label.clear();
  EXPECT_EQ(tried.worlds[1].label.size(), 1u);
  size_t alive = 0;
  for (const World& w : kept.worlds) alive += w.alive ? 1 : 0;
  EXPECT_EQ(alive, 2u);
}

}  // namespace
}  // namespace trelvanic_alc
