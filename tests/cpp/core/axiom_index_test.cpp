#include "core/axiom_index.h"

#include <set>

#include <gtest/gtest.h>

#include "core/axiom_store.h"
#include "core/dl.h"

namespace trelvanic_core {
namespace {

using K = EntityKind;

// Entities: 0..3 classes A B C E, 4..6 properties P Q R, 7..9 individuals.
class AxiomIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const K kinds[] = {K::Class, K::Class, K::Class, K::Class, K::ObjectProperty, K::ObjectProperty,
                       K::ObjectProperty, K::Individual, K::Individual, K::Individual};
    uint32_t iri = 1;
    for (K k : kinds) (void)reg.get_or_register(IriId(iri++), "urn:e", k);
  }
  AxiomId add(Axiom a) {
    const AxiomId id = *store.push_with_provenance(std::move(a), reg, false);
    index.insert(id, store.view(id));
    return id;
  }
  void remove(AxiomId id) {
    const Axiom copy = Axiom::from_view(store.view(id));
    ASSERT_TRUE(store.remove(id));
    if (axiom_kind_is_nary(copy.kind()))
      index.rebuild_from_store(store, &dl);
    else
      index.remove(id, copy.view());
  }
  static std::vector<EntityId> v(std::span<const EntityId> s) { return {s.begin(), s.end()}; }
  static std::vector<EntityId> sorted(const std::optional<EntitySet>& s) {
    std::vector<EntityId> out(s->begin(), s->end());
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::vector<EntityId> sorted(const EntitySet* s) {
    std::vector<EntityId> out(s->begin(), s->end());
    std::sort(out.begin(), out.end());
    return out;
  }

  EntityRegistry reg;
  AxiomStore store;
  AxiomIndex index;
  DlStore dl;
  const EntityId A{0}, B{1}, C{2}, E{3}, P{4}, Q{5}, R{6}, X{7}, Y{8}, Z{9};
};

// Each characteristic axiom lands in its own set, and only there, and
// leaves it when removed.
TEST_F(AxiomIndexTest, CharacteristicSetsByKind) {
  using PC = PropertyCharacteristic;
  const std::pair<AxiomKind, PC> cases[] = {
      {AxiomKind::FunctionalObjectProperty, PC::Functional},
      {AxiomKind::InverseFunctionalObjectProperty, PC::InverseFunctional},
      {AxiomKind::ReflexiveObjectProperty, PC::Reflexive},
      {AxiomKind::IrreflexiveObjectProperty, PC::Irreflexive},
      {AxiomKind::SymmetricObjectProperty, PC::Symmetric},
      {AxiomKind::AsymmetricObjectProperty, PC::Asymmetric},
      {AxiomKind::TransitiveObjectProperty, PC::Transitive},
  };
  for (const auto& [kind, held] : cases) {
    SCOPED_TRACE(axiom_kind_name(kind));
    const AxiomId id = add(Axiom::property_characteristic(kind, P));
    for (const auto& [other_kind, other] : cases)
      EXPECT_EQ(index.characteristic(other).contains(P), other == held) << axiom_kind_name(other_kind);
    remove(id);
    EXPECT_TRUE(index.characteristic(held).empty());
  }
}

TEST_F(AxiomIndexTest, RowsAfterInsertAndRemove) {
  const AxiomId sub = add(Axiom::sub_class_of(B, A));
  add(Axiom::sub_class_of(B, C));
  add(Axiom::class_assertion(X, A));
  add(Axiom::object_property_assertion(X, P, Y));
  add(Axiom::sub_class_of_existential(A, P, B));
  add(Axiom::property_characteristic(AxiomKind::TransitiveObjectProperty, P));
  add(Axiom::object_property_domain(P, A));
  EXPECT_EQ(v(index.direct_superclasses(B)), (std::vector<EntityId>{A, C}));
  EXPECT_EQ(v(index.subclasses.row(A)), std::vector<EntityId>{B});
  EXPECT_EQ(v(index.classes_of(X)), std::vector<EntityId>{A});
  EXPECT_EQ(v(index.instances.row(A)), std::vector<EntityId>{X});
  ASSERT_EQ(index.object_assertions_of(X).size(), 1u);
  EXPECT_EQ(index.object_assertions_of(X)[0], EntityPair(P, Y));
  EXPECT_EQ(index.assertions_by_object.get(Y)[0], EntityPair(P, X));
  EXPECT_EQ(index.existentials_of(A)[0], EntityPair(P, B));
  EXPECT_TRUE(index.characteristic(PropertyCharacteristic::Transitive).contains(P));
  EXPECT_EQ(v(index.domains.row(P)), std::vector<EntityId>{A});
  EXPECT_TRUE(index.direct_superclasses(Z).empty()) << "rows beyond the end read as empty";

  // Re-inserting an already recorded axiom changes nothing.
  index.insert(sub, store.view(sub));
  EXPECT_EQ(index.by_kind(AxiomKind::SubClassOf).size(), 2u);
  EXPECT_EQ(index.by_kind_name("SubClassOf").size(), 2u);
  EXPECT_TRUE(index.by_kind_name("NoSuchKind").empty());
  EXPECT_EQ(v(index.direct_superclasses(B)), (std::vector<EntityId>{A, C}));

  remove(sub);
  EXPECT_EQ(v(index.direct_superclasses(B)), std::vector<EntityId>{C});
  EXPECT_TRUE(index.subclasses.row(A).empty());
  EXPECT_EQ(index.by_kind(AxiomKind::SubClassOf).size(), 1u);
  remove(AxiomId(3));  // the object property assertion
  EXPECT_FALSE(index.assertions_by_subject.contains_key(X)) << "emptied assertion keys are dropped";
  remove(AxiomId(4));  // the existential
  EXPECT_TRUE(index.existentials.contains_key(A)) << "existential keys stay";
  EXPECT_TRUE(index.existentials_of(A).empty());
}

TEST_F(AxiomIndexTest, EveryInversePairIsKept) {
  // p inverse of q and of r is valid OWL (q and r are then equivalent).
  add(Axiom::inverse_object_properties(P, Q));
  const AxiomId pr = add(Axiom::inverse_object_properties(P, R));
  EXPECT_EQ(v(index.inverses_of(P)), (std::vector<EntityId>{Q, R}));
  EXPECT_EQ(v(index.inverses_of(Q)), std::vector<EntityId>{P});
  EXPECT_EQ(v(index.inverses_of(R)), std::vector<EntityId>{P});
  EXPECT_EQ(index.inverse_of(P), Q);
  remove(pr);
  EXPECT_EQ(v(index.inverses_of(P)), std::vector<EntityId>{Q});
  EXPECT_TRUE(index.inverses_of(R).empty());
  EXPECT_EQ(index.inverse_of(Q), P);
}

TEST_F(AxiomIndexTest, ClustersAndSymmetricGroups) {
  add(Axiom::equivalent_classes({A, B}));
  const AxiomId bc = add(Axiom::equivalent_classes({C, B}));
  EXPECT_EQ(sorted(index.equivalents_of(C)), (std::vector<EntityId>{A, B, C}));
  EXPECT_EQ(index.equivalent_classes.representative(C), A);
  EXPECT_EQ(index.equivalents_of(E), nullptr);

  add(Axiom::disjoint_classes({A, A, B}));
  EXPECT_EQ(sorted(index.disjoint_with(A)), (std::vector<EntityId>{A, B})) << "a repeated operand links to itself";
  EXPECT_EQ(sorted(index.disjoint_with(B)), std::vector<EntityId>{A});
  EXPECT_FALSE(index.disjoint_with(C));
  EXPECT_TRUE(index.disjoint.linked(A, A));
  EXPECT_FALSE(index.disjoint.linked(B, B));

  add(Axiom::different_individuals({X, Y, Z}));
  EXPECT_EQ(sorted(index.different_from(Y)), (std::vector<EntityId>{X, Z}));

  remove(bc);  // n-ary removal rebuilds
  EXPECT_EQ(sorted(index.equivalents_of(A)), (std::vector<EntityId>{A, B}));
  EXPECT_EQ(index.equivalents_of(C), nullptr);
  EXPECT_EQ(sorted(index.disjoint_with(A)), (std::vector<EntityId>{A, B}));
}

TEST(EquivalenceClusters, MergesInAnyOrderKeepSmallestRepresentative) {
  // (merges, id asked, expected members, expected representative)
  const struct {
    std::vector<std::vector<uint32_t>> merges;
    uint32_t ask;
    std::vector<uint32_t> members;
    uint32_t rep;
  } cases[] = {
      {{{5, 3}}, 5, {3, 5}, 3},
      {{{5, 3}, {7, 8}, {8, 5}}, 7, {3, 5, 7, 8}, 3},
      {{{9, 8}, {8, 7}, {7, 6}, {6, 1}}, 9, {1, 6, 7, 8, 9}, 1},
      {{{4}}, 4, {}, 4},            // a lone id makes no cluster
      {{{2, 2}}, 2, {}, 2},         // nor does a repeated one
      {{{1, 2}, {3, 4}}, 3, {3, 4}, 3},
  };
  for (const auto& c : cases) {
    EquivalenceClusters clusters;
    for (const auto& m : c.merges) {
      std::vector<EntityId> ids;
      for (uint32_t x : m) ids.push_back(EntityId(x));
      clusters.merge(ids);
    }
    const EntitySet* got = clusters.get(EntityId(c.ask));
    std::vector<uint32_t> members;
    if (got != nullptr)
      for (EntityId e : *got) members.push_back(e.value);
    std::sort(members.begin(), members.end());
    EXPECT_EQ(members, c.members) << "ask " << c.ask;
    EXPECT_EQ(clusters.representative(EntityId(c.ask)), EntityId(c.rep));
  }
  EquivalenceClusters chain;  // a long chain of pairwise merges
  for (uint32_t i = 0; i < 20'000; ++i) chain.merge(std::vector<EntityId>{EntityId(i + 1), EntityId(i)});
  EXPECT_EQ(chain.get(EntityId(77))->size(), 20'001u);
  EXPECT_EQ(chain.representative(EntityId(20'000)), EntityId(0));
}

// Rows stay sorted and without repeats whatever order the ids arrive in:
// at the front, the back and the middle, repeated, and across the row's
// move from its inline room to the heap; erasing keeps the rest in order.
TEST(DenseAdjacency, RowsSortedWhateverTheOrder) {
  const std::vector<std::vector<uint32_t>> orders = {
      {5, 3, 9, 1, 7, 3, 0, 8, 2, 6, 4, 9, 1},
      {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
      {0, 2, 4, 6, 8, 10, 12, 1, 3, 5, 7, 9, 11},
  };
  for (const auto& order : orders) {
    DenseAdjacency rows;
    const EntityId r(3);
    std::set<uint32_t> expected;
    for (uint32_t x : order) {
      rows.push_unique(r, EntityId(x));
      expected.insert(x);
      std::vector<uint32_t> got;
      for (EntityId e : rows.row(r)) got.push_back(e.value);
      ASSERT_EQ(got, std::vector<uint32_t>(expected.begin(), expected.end())) << "after " << x;
    }
    for (uint32_t x : {0u, 6u, 12u, 6u}) {
      rows.erase(r, EntityId(x));
      expected.erase(x);
    }
    std::vector<uint32_t> got;
    for (EntityId e : rows.row(r)) got.push_back(e.value);
    EXPECT_EQ(got, std::vector<uint32_t>(expected.begin(), expected.end()));
    EXPECT_TRUE(rows.row(EntityId(2)).empty());
  }
}

// Lists keep insertion order without repeats whatever their length: short
// ones, ones that grow past the length searched directly, and ones that
// shrink back below it and grow again.
TEST(PairListMap, NoRepeatsAcrossListLengths) {
  PairListMap m;
  const EntityId key(1);
  auto pair = [](uint32_t i) { return EntityPair(EntityId(i), EntityId(100 + i)); };
  std::vector<EntityPair> expected;
  for (uint32_t round = 0; round < 2; ++round)
    for (uint32_t i = 0; i < 20; ++i) {
      m.append_unique(key, pair(i).first, pair(i).second);
      if (round == 0) expected.push_back(pair(i));
    }
  auto list = [&] { return std::vector<EntityPair>(m.get(key).begin(), m.get(key).end()); };
  EXPECT_EQ(list(), expected);
  for (uint32_t i = 0; i < 15; ++i) m.remove_pair(key, pair(i).first, pair(i).second, true);
  m.remove_pair(key, pair(3).first, pair(3).second, true);  // already gone
  expected.erase(expected.begin(), expected.begin() + 15);
  EXPECT_EQ(list(), expected);
  for (uint32_t i : {19u, 2u, 2u, 16u, 5u}) m.append_unique(key, pair(i).first, pair(i).second);
  for (uint32_t i : {2u, 5u}) expected.push_back(pair(i));
  EXPECT_EQ(list(), expected);
  for (uint32_t i = 0; i < 20; ++i) m.append_unique(key, pair(i).first, pair(i).second);
  EXPECT_EQ(list().size(), 20u);
  for (uint32_t i = 0; i < 20; ++i) m.remove_pair(key, pair(i).first, pair(i).second, true);
  EXPECT_FALSE(m.contains_key(key));
  m.append_unique(key, pair(7).first, pair(7).second);
  EXPECT_EQ(list(), std::vector<EntityPair>{pair(7)});
}

TEST_F(AxiomIndexTest, DlAboxSurvivesRebuild) {
  const CeId a = dl.intern_ce(ClassExpr::atomic(A));
  const CeId some = dl.intern_ce(ClassExpr::some(RoleExpr::atomic(P), a));
  dl.push_axiom(DlAxiom::class_assertion(X, a));
  dl.push_axiom(DlAxiom::class_assertion(Y, some));                               // not a named class
  dl.push_axiom(DlAxiom::object_property_assertion(X, RoleExpr::atomic(Q), Z));
  dl.push_axiom(DlAxiom::object_property_assertion(Y, RoleExpr::inverse(Q), Z));  // inverse role
  dl.push_axiom(DlAxiom::entity_list(DlAxiomKind::SameIndividual, {Y, Z}));
  dl.push_axiom(DlAxiom::class_assertion(Z, CeId(99)));                          // dangling: skipped
  const AxiomId eq = add(Axiom::equivalent_classes({A, B}));
  index.index_dl_abox(dl);

  auto check = [&] {
    EXPECT_EQ(v(index.classes_of(X)), std::vector<EntityId>{A});
    EXPECT_TRUE(index.classes_of(Y).empty());
    ASSERT_EQ(index.object_assertions_of(X).size(), 1u);
    EXPECT_TRUE(index.object_assertions_of(Y).empty());
    EXPECT_EQ(sorted(index.same_as_of(Y)), (std::vector<EntityId>{Y, Z}));
    EXPECT_TRUE(index.by_kind(AxiomKind::ClassAssertion).empty());
  };
  check();
  remove(eq);  // full rebuild
  check();
}

}  // namespace
}  // namespace trelvanic_core
