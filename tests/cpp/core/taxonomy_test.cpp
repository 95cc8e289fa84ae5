#include "core/taxonomy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/cancel.h"
#include "core/entity.h"
#include "core/iri.h"
#include "core/trace.h"

namespace trelvanic_core {
namespace {

EntityId E(uint32_t v) { return EntityId(v); }
using Edges = std::vector<SubsumptionEdge>;
using Ids = std::vector<EntityId>;

TEST(Taxonomy, SubsumptionThroughEdgesAndClusters) {
  // A ≡ B, B ⊑ C, C ⊑ D; E stands alone.
  auto t = Taxonomy::from_parts({{E(1), E(2)}, {E(2), E(3)}, {E(3), E(4)}}, {{E(0), E(1)}}, {});
  struct Case { uint32_t sub, sup; bool expected; };
  for (auto c : std::vector<Case>{
           {0, 0, true}, {9, 9, true},              // reflexive, also for unknown ids
           {1, 4, true}, {4, 1, false},             // chain, one way only
           {0, 1, true}, {1, 0, true},              // cluster members
           {0, 3, true}, {0, 4, true},              // through a cluster member's supers
           {3, 0, false}, {5, 4, false}}) {
    EXPECT_EQ(t.is_subsumed(E(c.sub), E(c.sup)), c.expected) << c.sub << " ⊑ " << c.sup;
  }
  EXPECT_EQ(t.direct_superclasses(E(2)), Ids{E(3)});
  EXPECT_EQ(t.direct_subclasses(E(3)), Ids{E(2)});
  EXPECT_TRUE(t.direct_superclasses(E(7)).empty());
  ASSERT_TRUE(t.equivalent_classes(E(1)).has_value());
  EXPECT_EQ(t.equivalent_classes(E(1))->size(), 2u);
  EXPECT_FALSE(t.equivalent_classes(E(3)).has_value());

  Taxonomy copy = t;  // a clone answers alike with a cache of its own
  EXPECT_TRUE(copy.is_subsumed(E(0), E(4)));
}

TEST(Taxonomy, TransitiveReduction) {
  struct Case { Edges in, out; };
  std::vector<Case> cases = {
      {{}, {}},
      {{{E(1), E(2)}, {E(2), E(3)}}, {{E(1), E(2)}, {E(2), E(3)}}},
      {{{E(1), E(3)}, {E(2), E(3)}, {E(1), E(2)}}, {{E(1), E(2)}, {E(2), E(3)}}},
      // A self-edge keeps every other edge of its class.
      {{{E(1), E(1)}, {E(1), E(2)}, {E(1), E(3)}}, {{E(1), E(1)}, {E(1), E(2)}, {E(1), E(3)}}},
      // Two edges on a cycle never remove each other.
      {{{E(1), E(2)}, {E(2), E(1)}, {E(1), E(3)}, {E(2), E(3)}},
       {{E(1), E(2)}, {E(1), E(3)}, {E(2), E(1)}, {E(2), E(3)}}},
      // Edges to two equivalent supers: neither makes the other redundant
      // (dropping both lost 1 ⊑ 2).
      {{{E(1), E(2)}, {E(1), E(3)}, {E(2), E(3)}, {E(3), E(2)}},
       {{E(1), E(2)}, {E(1), E(3)}, {E(2), E(3)}, {E(3), E(2)}}},
      // Repeats go.
      {{{E(2), E(3)}, {E(2), E(3)}}, {{E(2), E(3)}}},
  };
  for (auto& c : cases) {
    auto t = Taxonomy::from_parts(c.in, {}, {});
    t.reduce_transitive_redundancy();
    EXPECT_EQ(Edges(t.edges().begin(), t.edges().end()), c.out);
  }
}

TEST(Taxonomy, CanonicalizeAliases) {
  InternPool pool;
  EntityRegistry reg;
  auto add = [&](std::string_view iri) {
    IriId id = *pool.intern_with_limit(iri, 8192);
    return *reg.get_or_register(id, iri, EntityKind::Class);
  };
  EntityId a = add("http://x.org/o#A");
  EntityId b = add("http://x.org/o#B");
  EntityId a2 = add("http://x.org/o%23A");
  EntityId c = add("http://x.org/o#C");
  auto t = Taxonomy::from_parts({{a2, b}, {c, b}, {a, b}}, {{a2, a}, {c, b, c}, {b}},
                                {c, a2, a, c});
  t.canonicalize_entity_aliases(pool, reg);
  EXPECT_EQ(Edges(t.edges().begin(), t.edges().end()), (Edges{{a, b}, {c, b}}));
  ASSERT_EQ(t.clusters().size(), 1u);  // {a2, a} folds to one member and goes
  EXPECT_EQ(t.clusters()[0], (Ids{b, c}));
  EXPECT_EQ(Ids(t.unsatisfiable().begin(), t.unsatisfiable().end()), (Ids{a, c}));
}

TEST(Cancel, FlagIsPerThread) {
  EXPECT_FALSE(cancel_requested());
  auto flag = std::make_shared<std::atomic<bool>>(false);
  set_current_cancel(flag);
  EXPECT_FALSE(cancel_requested());
  flag->store(true);
  EXPECT_TRUE(cancel_requested());
  bool other_thread_sees = true;
  std::thread([&] { other_thread_sees = cancel_requested(); }).join();
  EXPECT_FALSE(other_thread_sees);
  set_current_cancel(nullptr);
  EXPECT_FALSE(cancel_requested());
  EXPECT_EQ(current_cancel_flag(), nullptr);
}

TEST(InferenceTrace, StepsKeepTheirPremises) {
  InferenceTrace trace;
  TraceConclusion p1 = TraceConclusion::axiom(4), p2 = TraceConclusion::sub(1, 2);
  trace.push("rule_a", {}, TraceConclusion::sub(1, 1));
  std::vector<TraceConclusion> premises{p1, p2};
  trace.push("rule_b", premises, TraceConclusion::existential(1, 7, 3));
  ASSERT_EQ(trace.size(), 2u);
  auto s = trace.step(1);
  EXPECT_EQ(s.rule, "rule_b");
  ASSERT_EQ(s.premises.size(), 2u);
  EXPECT_EQ(s.premises[1], p2);
  EXPECT_EQ(s.conclusion, TraceConclusion::existential(1, 7, 3));
  EXPECT_TRUE(trace.step(0).premises.empty());
  // Unused id positions do not take part in equality.
  TraceConclusion x = TraceConclusion::sub(1, 2);
  x.ids[2] = 99;
  EXPECT_EQ(x, p2);
}

}  // namespace
}  // namespace trelvanic_core
