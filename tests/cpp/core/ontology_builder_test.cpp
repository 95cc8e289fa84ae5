#include "core/ontology_builder.h"

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

TEST(OntologyBuilder, StepsRegisterAndAdd) {
  auto b = OntologyBuilder().add_class("http://x/A");
  b = std::move(*b).individual("http://x/A");
  b = std::move(*b).object_property_assertion("http://x/A", "http://x/p", "http://x/b");
  b = std::move(*b).subclass_of("http://x/A", "http://x/A");
  b = std::move(*b).subclass_of("http://x/A", "http://x/A");
  ASSERT_TRUE(b) << b.error().message();
  const Ontology o = std::move(*b).build();
  const EntityId a = *o.lookup_entity("http://x/A");
  EXPECT_EQ(o.entity(a)->kind, EntityKind::ClassIndividual);
  EXPECT_EQ(o.axiom_count(), 2u);
  EXPECT_EQ(o.revision().counter, 3u) << "a repeated step still counts";
  EXPECT_EQ(o.object_assertions_of(a).size(), 1u);
}

TEST(OntologyBuilder, FailingStepReportsTheError) {
  Ontology start;
  ASSERT_TRUE(start.entity_id("http://x/d", EntityKind::DataProperty));
  auto b = OntologyBuilder(start).subproperty_of("http://x/d", "http://x/q");
  ASSERT_FALSE(b);
  EXPECT_EQ(b.error().message(), "entity kind mismatch for http://x/d: expected ObjectProperty, found DataProperty");
  auto bad = OntologyBuilder().add_class("not an iri");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().kind(), ErrorKind::InvalidIri);
}

}  // namespace
}  // namespace trelvanic_core
