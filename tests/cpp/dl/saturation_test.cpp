// The saturation ahead of the tableau: what it derives, what it must not
// derive (look-alikes without the subsumption), and that every pair it
// derives is one the tableau proves.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../alc/fixture.h"
#include "core/cancel.h"
#include "dl/saturation.h"

namespace trelvanic_dl::saturation {
namespace {

using trelvanic_alc::testing::entity;
using trelvanic_alc::testing::load;
using trelvanic_core::EntityId;

using Names = std::vector<std::pair<const char*, const char*>>;

struct Case {
  const char* body;
  Names derived;  // must be found
  Names absent;   // must not be found (no such subsumption holds)
};

const Case kCases[] = {
    {"SubClassOf(:A :B) SubClassOf(:B :C)", {{"A", "B"}, {"B", "C"}, {"A", "C"}}, {{"C", "A"}, {"B", "A"}}},
    {"SubClassOf(:A :B) SubClassOf(:B :A) SubClassOf(:B :C)", {{"A", "B"}, {"B", "A"}, {"A", "C"}}, {{"C", "A"}}},
    {"SubClassOf(:A ObjectIntersectionOf(:B ObjectIntersectionOf(:C :D)))",
     {{"A", "B"}, {"A", "C"}, {"A", "D"}},
     {{"B", "C"}}},
    {"EquivalentClasses(:A ObjectUnionOf(:B :C))", {{"B", "A"}, {"C", "A"}}, {{"A", "B"}, {"A", "C"}}},
    {"EquivalentClasses(:A :B :C) SubClassOf(:C :D)", {{"A", "B"}, {"B", "A"}, {"C", "A"}, {"A", "D"}, {"B", "D"}},
     {{"D", "A"}}},
    // an existential along a sub-property reaches what the super-property's existential implies
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) "
     "SubObjectPropertyOf(:r :s) SubClassOf(ObjectSomeValuesFrom(:s :D) :E)",
     {{"A", "E"}},
     {{"D", "E"}}},
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) "
     "EquivalentObjectProperties(:r :s) EquivalentClasses(:E ObjectSomeValuesFrom(:s :D))",
     {{"A", "E"}},
     {}},
    // the other way round: s below r does not put an r-successor on an s-edge
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) "
     "SubObjectPropertyOf(:s :r) SubClassOf(ObjectSomeValuesFrom(:s :D) :E)",
     {},
     {{"A", "E"}}},
    // domains: of the property itself and of a super-property; a range says nothing about the source
    {"Declaration(ObjectProperty(:r)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) ObjectPropertyDomain(:r :E)",
     {{"A", "E"}},
     {{"D", "E"}}},
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) "
     "SubObjectPropertyOf(:r :s) ObjectPropertyDomain(:s ObjectIntersectionOf(:E :F))",
     {{"A", "E"}, {"A", "F"}},
     {}},
    {"Declaration(ObjectProperty(:r)) SubClassOf(:A ObjectSomeValuesFrom(:r :D)) ObjectPropertyRange(:r :E)",
     {},
     {{"A", "E"}}},
    // an element of D need not have an r-predecessor
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubObjectPropertyOf(:r :s) "
     "SubClassOf(ObjectSomeValuesFrom(:r :D) ObjectAllValuesFrom(:s :E)) SubClassOf(:A :D)",
     {{"A", "D"}},
     {{"D", "E"}, {"A", "E"}}},
    // an r-then-t path is no r-edge: x ⊑ ∃r.C gives no ∃s.C through r∘t ⊑ s
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:t)) Declaration(ObjectProperty(:s)) "
     "SubObjectPropertyOf(ObjectPropertyChain(:r :t) :s) SubClassOf(:A ObjectSomeValuesFrom(:r :C)) "
     "SubClassOf(ObjectSomeValuesFrom(:s :C) :E)",
     {},
     {{"A", "E"}}},
    // an inverse sub-property is not followed
    {"Declaration(ObjectProperty(:r)) Declaration(ObjectProperty(:s)) SubObjectPropertyOf(:r ObjectInverseOf(:s)) "
     "SubClassOf(:A ObjectSomeValuesFrom(:r :D)) SubClassOf(ObjectSomeValuesFrom(:s :D) :E)",
     {},
     {{"A", "E"}}},
};

Saturation saturate_copy(const trelvanic_core::Ontology& o) {
  auto work = o.clone();
  return saturate(work);
}

bool has(const Saturation& s, EntityId a, EntityId b) {
  for (const auto& p : s.subsumptions)
    if (p == std::make_pair(a, b)) return true;
  return false;
}

TEST(Saturation, DerivesTheSubsumptionsThatHoldAndNoOthers) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.body);
    auto o = load(c.body);
    const Saturation s = saturate_copy(o);
    EXPECT_FALSE(s.cancelled);
    for (const auto& [a, b] : c.derived) EXPECT_TRUE(has(s, entity(o, a), entity(o, b))) << a << " ⊑ " << b;
    for (const auto& [a, b] : c.absent) EXPECT_FALSE(has(s, entity(o, a), entity(o, b))) << a << " ⊑ " << b;
    // no pair twice
    auto sorted = s.subsumptions;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  }
}

TEST(Saturation, EveryDerivedPairIsProvenByTheTableau) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.body);
    auto o = load(c.body);
    const Saturation s = saturate_copy(o);
    auto dl = trelvanic_alc::DlOntology::from_ontology(o);
    ASSERT_TRUE(dl.has_value());
    trelvanic_alc::Tableau t(*dl);
    for (const auto& [a, b] : s.subsumptions) {
      if (a == b) continue;
      auto r = t.is_subsumed(a, b);
      ASSERT_TRUE(r.has_value());
      EXPECT_TRUE(*r) << a.value << " ⊑ " << b.value;
    }
  }
}

TEST(Saturation, RoleHierarchyIsClosedAndReflexive) {
  const auto p = EntityId(1), q = EntityId(2), r = EntityId(3), u = EntityId(4);
  RoleHierarchy h;
  h.add(p, q);
  h.add(q, r);
  h.add(u, u);
  h.close();
  EXPECT_TRUE(h.is_subrole(p, r));
  EXPECT_TRUE(h.is_subrole(p, p));
  EXPECT_FALSE(h.is_subrole(r, p));
  EXPECT_EQ(h.supers(r), nullptr);
  ASSERT_NE(h.supers(u), nullptr);
  EXPECT_TRUE(h.supers(u)->contains(u));

  RoleHierarchy cycle;
  cycle.add(p, q);
  cycle.add(q, p);
  cycle.close();
  EXPECT_TRUE(cycle.supers(p)->contains(p));
  EXPECT_TRUE(cycle.supers(q)->contains(q));
}

// C0 ⊑ C1 ⊑ … ⊑ C1500: over a million pairs in all.
std::string long_chain() {
  std::string body;
  for (int i = 0; i < 1500; ++i) body += "SubClassOf(:C" + std::to_string(i) + " :C" + std::to_string(i + 1) + ") ";
  return body;
}

TEST(Saturation, LongChainStopsAtTheBoundWithSoundPairs) {
  auto o = load(long_chain());
  absl::flat_hash_map<EntityId, int> position;
  for (int i = 0; i <= 1500; ++i) position[entity(o, "C" + std::to_string(i))] = i;
  const Saturation s = saturate_copy(o);
  EXPECT_TRUE(s.truncated);
  EXPECT_FALSE(s.cancelled);
  EXPECT_GT(s.subsumptions.size(), size_t{500000});
  size_t wrong = 0;
  for (const auto& [a, b] : s.subsumptions) wrong += position.at(a) < position.at(b) ? 0 : 1;
  EXPECT_EQ(wrong, 0u);
}

TEST(Saturation, RaisedCancelFlagEndsTheRunWithSoundPairs) {
  auto o = load(long_chain());
  auto flag = std::make_shared<std::atomic<bool>>(true);
  trelvanic_core::ScopedCancel guard(flag);
  const Saturation s = saturate_copy(o);
  EXPECT_TRUE(s.cancelled);
  EXPECT_LT(s.subsumptions.size(), size_t{100000});
}

}  // namespace
}  // namespace trelvanic_dl::saturation
