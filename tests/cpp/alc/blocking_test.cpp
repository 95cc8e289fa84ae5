// Blocking on hand-built branches: who blocks whom, and when it ends.
#include "alc/expand.h"
#include "fixture.h"

namespace trelvanic_alc::testing {
namespace {

struct Chain {
  trelvanic_core::Ontology o;
  DlOntology dl;
  uint32_t a = 0, b = 0;
  Role r = 0;
};

// A, B named; r a role; `extra` decides whether inverses make blocking pairwise.
Chain chain(const char* extra) {
  auto o = load(std::string("Declaration(Class(:A)) Declaration(Class(:B)) SubClassOf(:A ObjectSomeValuesFrom(:r :A)) ") +
                extra);
  auto dl = DlOntology::from_ontology(o);
  EXPECT_TRUE(dl.has_value());
  Chain c{o, std::move(*dl)};
  c.a = c.dl.atom(entity(o, "A"));
  c.b = c.dl.atom(entity(o, "B"));
  c.dl.close();
  c.r = c.dl.node(c.dl.unfolding(c.a)[0]).role;
  return c;
}

// root → x1 → x2 → x3, every tree world labelled `label`.
std::vector<uint32_t> grow(Expander& ex, const Chain& c, uint32_t label, int depth) {
  std::vector<uint32_t> w{ex.new_world(kNoWorld, true)};
  for (int i = 0; i < depth; ++i) {
    const uint32_t y = ex.new_world(w.back(), false);
    ex.add_edge(w.back(), c.r, y, 0);
    ex.add(y, label, 0);
    w.push_back(y);
  }
  return w;
}

TEST(Blocking, OlderEqualWorldBlocksAndRootsNever) {
  Chain c = chain("");
  DepSets deps;
  Branch b;
  Expander ex(c.dl, deps, b, ExpandLimits{});
  const auto w = grow(ex, c, c.a, 3);
  ex.add(w[0], c.a, 0);  // the root has the same label, yet never blocks nor is blocked
  const auto st = ex.blocking();
  EXPECT_EQ(st[w[0]], 0);
  EXPECT_EQ(st[w[1]], 0);  // the oldest of the equal tree worlds
  EXPECT_EQ(st[w[2]], 1);  // blocked by x1, never x1 by it
  EXPECT_EQ(st[w[3]], 2);  // below a blocked world
}

TEST(Blocking, AWorldUnblocksWhenItsLabelGrows) {
  Chain c = chain("");
  DepSets deps;
  Branch b;
  Expander ex(c.dl, deps, b, ExpandLimits{});
  const auto w = grow(ex, c, c.a, 2);
  EXPECT_EQ(ex.blocking()[w[2]], 1);
  ex.add(w[2], c.b, 0);
  EXPECT_EQ(ex.blocking()[w[2]], 0);
}

TEST(Blocking, PairwiseComparesTheParents) {
  Chain c = chain("InverseObjectProperties(:r :q)");
  DepSets deps;
  Branch b;
  Expander ex(c.dl, deps, b, ExpandLimits{});
  const auto w = grow(ex, c, c.a, 3);
  const auto st = ex.blocking();
  // x2 equals x1 but their parents differ (root {} and x1 {A}); x3 and x2
  // agree on both.
  EXPECT_EQ(st[w[2]], 0);
  EXPECT_EQ(st[w[3]], 1);
}

TEST(Blocking, UniversalOverTheInverseStillReachesTheParentOfABlockedWorld) {
  Chain c = chain("InverseObjectProperties(:r :q) SubClassOf(:C ObjectAllValuesFrom(ObjectInverseOf(:r) :B))");
  const uint32_t all_inv = c.dl.unfolding(c.dl.atom(entity(c.o, "C")))[0];
  c.dl.close();
  ASSERT_EQ(c.dl.node(all_inv).kind, NodeKind::All);
  DepSets deps;
  Branch b;
  Expander ex(c.dl, deps, b, ExpandLimits{});
  const auto w = grow(ex, c, c.a, 3);
  ASSERT_EQ(ex.blocking()[w[3]], 1);
  ex.add(w[3], all_inv, 0);
  Choice ch;
  EXPECT_EQ(ex.expand(ch), Step::Open);
  EXPECT_NE(b.worlds[w[2]].find(c.b), nullptr);
}

}  // namespace
}  // namespace trelvanic_alc::testing
