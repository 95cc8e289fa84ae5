#include "core/entity.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

using K = EntityKind;

TEST(EntityKind, PunningTableIsSymmetricAndClosed) {
  // Every pair that has a merge, listed once; all other pairs have none.
  const struct {
    K a, b, merged;
  } merges[] = {
      {K::Class, K::Individual, K::ClassIndividual},
      {K::Class, K::ObjectProperty, K::ClassObjectProperty},
      {K::Individual, K::ObjectProperty, K::ObjectPropertyIndividual},
      {K::Class, K::ClassIndividual, K::ClassIndividual},
      {K::Individual, K::ClassIndividual, K::ClassIndividual},
      {K::Class, K::ClassObjectProperty, K::ClassObjectProperty},
      {K::ObjectProperty, K::ClassObjectProperty, K::ClassObjectProperty},
      {K::Individual, K::ObjectPropertyIndividual, K::ObjectPropertyIndividual},
      {K::ObjectProperty, K::ObjectPropertyIndividual, K::ObjectPropertyIndividual},
  };
  for (int i = 0; i < kEntityKindCount; ++i) {
    for (int j = 0; j < kEntityKindCount; ++j) {
      const K a = static_cast<K>(i), b = static_cast<K>(j);
      std::optional<K> want;
      if (a == b) want = a;
      for (const auto& m : merges)
        if ((m.a == a && m.b == b) || (m.a == b && m.b == a)) want = m.merged;
      EXPECT_EQ(merge_punning(a, b), want) << entity_kind_name(a) << " + " << entity_kind_name(b);
    }
  }
}

TEST(EntityKind, SatisfiesTable) {
  const struct {
    K expected;
    std::vector<K> satisfied_by;
  } rows[] = {
      {K::Class, {K::Class, K::ClassIndividual, K::ClassObjectProperty}},
      {K::Individual, {K::Individual, K::ClassIndividual, K::ObjectPropertyIndividual}},
      {K::ObjectProperty, {K::ObjectProperty, K::ClassObjectProperty, K::ObjectPropertyIndividual}},
      {K::DataProperty, {K::DataProperty}},
  };
  for (const auto& row : rows)
    for (int i = 0; i < kEntityKindCount; ++i) {
      const K stored = static_cast<K>(i);
      const bool want = std::ranges::find(row.satisfied_by, stored) != row.satisfied_by.end();
      EXPECT_EQ(kind_satisfies(stored, row.expected), want)
          << entity_kind_name(stored) << " as " << entity_kind_name(row.expected);
    }
  for (int i = 0; i < kEntityKindCount; ++i)
    EXPECT_EQ(entity_kind_from_name(entity_kind_name(static_cast<K>(i))), static_cast<K>(i));
}

TEST(EntityRegistry, PunsAndRefusesAThirdKind) {
  EntityRegistry reg;
  auto a = reg.get_or_register(IriId(5), "http://x/a", K::Class);
  ASSERT_TRUE(a);
  EXPECT_EQ(*a, EntityId(0)) << "the first entity gets id 0";
  EXPECT_EQ(*reg.get_or_register(IriId(5), "http://x/a", K::Individual), EntityId(0));
  EXPECT_EQ(reg.kind(EntityId(0)), K::ClassIndividual);
  EXPECT_EQ(*reg.get_or_register(IriId(5), "http://x/a", K::Class), EntityId(0));
  EXPECT_EQ(reg.kind(EntityId(0)), K::ClassIndividual);

  auto third = reg.get_or_register(IriId(5), "http://x/a", K::ObjectProperty);
  ASSERT_FALSE(third);
  EXPECT_EQ(third.error().kind(), ErrorKind::EntityKindMismatch);
  EXPECT_EQ(third.error().message(),
            "entity kind mismatch for http://x/a: expected ObjectProperty, found ClassIndividual");
  EXPECT_EQ(reg.kind(EntityId(0)), K::ClassIndividual) << "a refused registration changes nothing";

  ASSERT_EQ(*reg.get_or_register(IriId(2), "http://x/d", K::DataProperty), EntityId(1));
  auto dp = reg.get_or_register(IriId(2), "http://x/d", K::ObjectProperty);
  ASSERT_FALSE(dp);
  EXPECT_EQ(dp.error().message(),
            "entity kind mismatch for http://x/d: expected ObjectProperty, found DataProperty");
  EXPECT_EQ(reg.size(), 2u);
  EXPECT_EQ(reg.find(IriId(2)), EntityId(1));
  EXPECT_EQ(reg.find(IriId(3)), std::nullopt);
  EXPECT_EQ(reg.find(IriId(99)), std::nullopt);
}

TEST(EntityRegistry, RequireKind) {
  EntityRegistry reg;
  ASSERT_TRUE(reg.get_or_register(IriId(1), "urn:p", K::Class));
  ASSERT_TRUE(reg.get_or_register(IriId(1), "urn:p", K::ObjectProperty));  // ClassObjectProperty
  EXPECT_TRUE(require_kind(reg.records(), EntityId(0), K::Class, "subclass"));
  EXPECT_TRUE(require_kind(reg.records(), EntityId(0), K::ObjectProperty, "property"));

  auto wrong = require_kind(reg.records(), EntityId(0), K::Individual, "object");
  ASSERT_FALSE(wrong);
  EXPECT_EQ(wrong.error().kind(), ErrorKind::InvalidAxiom);
  EXPECT_EQ(wrong.error().message(),
            "invalid axiom: object entity EntityId(0) must be Individual, found ClassObjectProperty");

  auto unknown = require_kind(reg.records(), EntityId(1), K::Class, "subclass");
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.error().message(), "unknown entity: EntityId(1)");

  EXPECT_TRUE(reg.set_kind(EntityId(0), K::Datatype));
  EXPECT_EQ(reg.kind(EntityId(0)), K::Datatype);
  EXPECT_EQ(reg.set_kind(EntityId(4), K::Class).error().message(), "unknown entity: EntityId(4)");
}

}  // namespace
}  // namespace trelvanic_core
