#include "core/dirty.h"

#include <limits>

#include <gtest/gtest.h>

#include "core/axiom_store.h"
#include "core/parse_meta.h"

namespace trelvanic_core {
namespace {

TEST(OntologyRevision, OverflowSticks) {
  OntologyRevision r;
  r.bump();
  EXPECT_EQ(r, (OntologyRevision{1, false}));
  r.counter = std::numeric_limits<uint64_t>::max() - 1;
  r.bump();
  EXPECT_FALSE(r.overflowed);
  r.bump();
  EXPECT_EQ(r.counter, std::numeric_limits<uint64_t>::max());
  EXPECT_TRUE(r.overflowed);
  r.bump();
  EXPECT_TRUE(r.overflowed) << "the flag is never cleared";
  EXPECT_EQ((OntologyRevision{5, false}).debug_text(), "OntologyRevision { counter: 5, overflowed: false }");
}

TEST(DirtySet, AddedThenRemovedAxiomSignature) {
  EntityRegistry reg;
  for (uint32_t i = 1; i <= 3; ++i) (void)reg.get_or_register(IriId(i), "urn:e", EntityKind::Class);
  (void)reg.get_or_register(IriId(4), "urn:i", EntityKind::Individual);
  (void)reg.get_or_register(IriId(5), "urn:d", EntityKind::DataProperty);
  AxiomStore store;
  DirtySet dirty;
  const AxiomId ab = *store.push_with_provenance(Axiom::sub_class_of(EntityId(0), EntityId(1)), reg, false);
  dirty.record_added(ab);
  dirty.record_added(ab);
  const AxiomId bc = *store.push_with_provenance(Axiom::sub_class_of(EntityId(1), EntityId(2)), reg, false);
  dirty.record_added(bc);
  EXPECT_EQ(dirty.added(), (std::vector<AxiomId>{ab, bc})) << "recorded once, in first-addition order";
  EXPECT_FALSE(dirty.has_removals());

  ASSERT_TRUE(store.remove(ab));
  dirty.record_removed(ab);
  EXPECT_TRUE(dirty.is_added(ab));
  EXPECT_TRUE(dirty.is_removed(ab));
  EXPECT_TRUE(dirty.has_removals());
  const auto sig = dirty_signatures(dirty, store);
  EXPECT_EQ(sig, (absl::flat_hash_set<EntityId>{EntityId(0), EntityId(1), EntityId(2)}));

  dirty.clear();
  EXPECT_TRUE(dirty.empty());
  EXPECT_FALSE(dirty.has_removals());
  EXPECT_TRUE(dirty_signatures(dirty, store).empty());

  const Axiom dpa = Axiom::data_property_assertion(EntityId(3), EntityId(4), {"1", "http://x/int"});
  EXPECT_EQ(axiom_signature(dpa.view()), (absl::flat_hash_set<EntityId>{EntityId(3), EntityId(4)}));
}

// Membership is kept per id: far-apart ids, ids on both sides of a 64-id
// word, and ids past the last recorded one.
TEST(DirtySet, MembershipOfSparseIds) {
  DirtySet dirty;
  for (uint32_t id : {5000u, 63u, 64u, 0u, 64u}) dirty.record_added(AxiomId(id));
  EXPECT_EQ(dirty.added(), (std::vector<AxiomId>{AxiomId(5000), AxiomId(63), AxiomId(64), AxiomId(0)}));
  for (uint32_t id : {0u, 63u, 64u, 5000u}) EXPECT_TRUE(dirty.is_added(AxiomId(id))) << id;
  for (uint32_t id : {1u, 62u, 65u, 4999u, 5001u, 1u << 30}) EXPECT_FALSE(dirty.is_added(AxiomId(id))) << id;
  EXPECT_FALSE(dirty.is_removed(AxiomId(63)));
  dirty.record_removed(AxiomId(70000));
  EXPECT_TRUE(dirty.is_removed(AxiomId(70000)));
  EXPECT_FALSE(dirty.is_removed(AxiomId(5000)));
  dirty.clear();
  EXPECT_FALSE(dirty.is_added(AxiomId(5000)));
  EXPECT_FALSE(dirty.is_removed(AxiomId(70000)));
}

TEST(ParseMeta, WarningCapConstructsAndSummary) {
  ParseMeta meta;
  for (int i = 0; i < 10'001; ++i) meta.warn("w" + std::to_string(i));
  ASSERT_EQ(meta.warnings.size(), 10'000u);
  EXPECT_EQ(meta.warnings.front(), "w0");
  EXPECT_EQ(meta.warnings.back(), "w9999");

  meta.note_profile_construct(OwlConstruct::HasKey);
  meta.note_construct(OwlConstruct::ObjectUnionOf);
  EXPECT_EQ(meta.profile_constructs, ConstructSet{OwlConstruct::HasKey});
  EXPECT_EQ(meta.constructs, (ConstructSet{OwlConstruct::ObjectUnionOf, OwlConstruct::HasKey}));
  EXPECT_EQ(*meta.constructs.begin(), OwlConstruct::ObjectUnionOf) << "ordered by code";

  meta.mapped_axiom_count = 3;
  meta.skipped_axiom_count = 1;
  meta.logical_axiom_count = 2;
  const ParseMetaSummary s = meta.summary();
  EXPECT_EQ(s.warnings, meta.warnings);
  EXPECT_EQ(s.mapped_axiom_count, 3u);
  EXPECT_EQ(s.skipped_axiom_count, 1u);
  EXPECT_EQ(s.logical_axiom_count, 2u);
  for (int i = 0; i < kOwlConstructCount; ++i)
    EXPECT_EQ(owl_construct_from_name(owl_construct_name(static_cast<OwlConstruct>(i))), static_cast<OwlConstruct>(i));
}

}  // namespace
}  // namespace trelvanic_core
