#include "core/axiom_store.h"

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

using K = EntityKind;

class AxiomStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const K kinds[] = {K::Class, K::Class, K::Class, K::ObjectProperty, K::ObjectProperty, K::Individual,
                       K::DataProperty};
    uint32_t iri = 1;
    for (K k : kinds) (void)reg.get_or_register(IriId(iri++), "urn:e", k);
  }
  AxiomId push(Axiom a, bool inferred = false) {
    auto r = store.push_with_provenance(std::move(a), reg, inferred);
    EXPECT_TRUE(r) << r.error().message();
    return r.value_or(AxiomId(kMaxId32));
  }
  std::string error_of(Result<AxiomView> r) { return r ? "ok" : r.error().message(); }

  EntityRegistry reg;
  AxiomStore store;
  const EntityId A{0}, B{1}, C{2}, P{3}, Q{4}, I{5}, D{6};
};

TEST_F(AxiomStoreTest, CanonicalFormDeduplicates) {
  const AxiomId ab = push(Axiom::equivalent_classes({A, B}));
  EXPECT_EQ(push(Axiom::equivalent_classes({B, A})), ab);
  auto stored = store.get(ab);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->operands()[0], A);
  EXPECT_EQ(stored->operands()[1], B);

  const AxiomId pq = push(Axiom::inverse_object_properties(P, Q));
  EXPECT_EQ(push(Axiom::inverse_object_properties(Q, P)), pq);

  const AxiomId aab = push(Axiom::disjoint_classes({A, A, B}));
  const AxiomId ab2 = push(Axiom::disjoint_classes({B, A}));
  EXPECT_NE(aab, ab2) << "repeated operands stay and make a different axiom";
  EXPECT_EQ(store.get(aab)->operands().size(), 3u);

  const AxiomId lit = push(Axiom::data_property_assertion(I, D, {"1", "http://x/int"}));
  EXPECT_EQ(push(Axiom::data_property_assertion(I, D, {"1", "http://x/int"})), lit);
  EXPECT_NE(push(Axiom::data_property_assertion(I, D, {"1", "http://x/dec"})), lit);
  EXPECT_EQ(store.get(lit)->literal().datatype, "http://x/int");
  EXPECT_EQ(store.size(), 6u);
}

TEST_F(AxiomStoreTest, FailedValidationStoresNothing) {
  push(Axiom::sub_class_of(A, B));
  auto bad = store.push_with_provenance(Axiom::sub_class_of(A, I), reg, false);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message(), "invalid axiom: superclass entity EntityId(5) must be Class, found Individual");
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(push(Axiom::sub_class_of(B, C)), AxiomId(1)) << "no id was used up";
}

TEST_F(AxiomStoreTest, ToldAndInferredTransitions) {
  // (first push, second push) -> is the id inferred afterwards?
  const struct {
    bool first_inferred, second_inferred, inferred_after;
  } cases[] = {{true, false, false}, {false, true, false}, {true, true, true}, {false, false, false}};
  uint32_t sub = 0;
  for (const auto& c : cases) {
    AxiomStore s;
    const Axiom ax = Axiom::sub_class_of(EntityId(sub), B);
    auto first = s.push_with_provenance(ax, reg, c.first_inferred);
    auto second = s.push_with_provenance(ax, reg, c.second_inferred);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
    EXPECT_EQ(s.is_inferred(*first), c.inferred_after);
    const auto stripped = s.strip_inferred();
    EXPECT_EQ(stripped.size(), c.inferred_after ? 1u : 0u);
    EXPECT_EQ(s.live_count(), c.inferred_after ? 0u : 1u);
    EXPECT_TRUE(s.strip_inferred().empty()) << "a second strip finds nothing";
  }
}

TEST_F(AxiomStoreTest, StripSkipsRemovedIds) {
  const AxiomId x = push(Axiom::sub_class_of(A, B), true);
  const AxiomId y = push(Axiom::sub_class_of(B, C), true);
  ASSERT_TRUE(store.remove(x));
  EXPECT_TRUE(store.is_inferred(x)) << "removal keeps the inferred mark";
  EXPECT_EQ(store.strip_inferred(), std::vector<AxiomId>{y});
  EXPECT_EQ(store.live_count(), 0u);
}

TEST_F(AxiomStoreTest, RemovedIdsAndReAdding) {
  const AxiomId x = push(Axiom::sub_class_of(A, B));
  ASSERT_TRUE(store.remove(x));
  EXPECT_EQ(error_of(store.get(x)), "invalid axiom: removed AxiomId: 0");
  auto twice = store.remove(x);
  ASSERT_FALSE(twice);
  EXPECT_EQ(twice.error().message(), "invalid axiom: removed AxiomId: 0");
  EXPECT_EQ(error_of(store.get(AxiomId(1))), "invalid axiom: unknown AxiomId: 1");
  EXPECT_EQ(store.remove(AxiomId(7)).error().message(), "invalid axiom: unknown AxiomId: 7");

  const AxiomId again = push(Axiom::sub_class_of(A, B));
  EXPECT_EQ(again, AxiomId(1)) << "an equal axiom after removal gets a new id";
  EXPECT_EQ(push(Axiom::sub_class_of(A, B)), again);
  EXPECT_EQ(error_of(store.get(x)), "invalid axiom: removed AxiomId: 0");
  EXPECT_EQ(store.live_count(), 1u);
}

TEST_F(AxiomStoreTest, RepeatedRemoveAndAddCycles) {
  AxiomId last{};
  for (uint32_t round = 0; round < 50; ++round) {
    last = push(Axiom::equivalent_classes({B, A}));
    EXPECT_EQ(last, AxiomId(round));
    EXPECT_EQ(push(Axiom::equivalent_classes({A, B})), last);
    ASSERT_TRUE(store.remove(last));
  }
  EXPECT_EQ(store.live_count(), 0u);
  EXPECT_EQ(push(Axiom::equivalent_classes({A, B})), AxiomId(50));
}

TEST_F(AxiomStoreTest, CopiesAreIndependent) {
  push(Axiom::data_property_assertion(I, D, {"a", "http://x/s"}));
  AxiomStore copy = store;
  push(Axiom::data_property_assertion(I, D, {"b", "http://x/s"}));
  auto r = copy.push_with_provenance(Axiom::data_property_assertion(I, D, {"c", "http://x/s"}), reg, false);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, AxiomId(1));
  EXPECT_EQ(store.get(AxiomId(1))->literal().lexical, "b");
  EXPECT_EQ(copy.get(AxiomId(1))->literal().lexical, "c");
  EXPECT_EQ(copy.get(AxiomId(0))->literal().lexical, "a");
}

}  // namespace
}  // namespace trelvanic_core
