#include "core/error.h"

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

TEST(CoreError, MessagesOfEveryKind) {
  const struct {
    Error error;
    ErrorKind kind;
    const char* message;
  } cases[] = {
      {Error::invalid_iri("IRI must not be empty"), ErrorKind::InvalidIri, "invalid IRI: IRI must not be empty"},
      {Error::entity_kind_mismatch("http://x/a", EntityKind::ObjectProperty, EntityKind::Class),
       ErrorKind::EntityKindMismatch, "entity kind mismatch for http://x/a: expected ObjectProperty, found Class"},
      {Error::unknown_entity(EntityId(7)), ErrorKind::UnknownEntity, "unknown entity: EntityId(7)"},
      {Error::invalid_axiom("x"), ErrorKind::InvalidAxiom, "invalid axiom: x"},
      {Error::parsing_unavailable(), ErrorKind::ParsingUnavailable,
       "ontology file parsing is not available on trelvanic-core; use trelvanic_parser::load_ontology"},
      {Error::parse("bad"), ErrorKind::Parse, "parse error: bad"},
      {Error::serialization("bad"), ErrorKind::Serialization, "serialization error: bad"},
      {Error::resource_limit_exceeded("axiom count exceeds maximum of 2"), ErrorKind::ResourceLimitExceeded,
       "resource limit exceeded: axiom count exceeds maximum of 2"},
      {Error::ontology_not_loaded(), ErrorKind::OntologyNotLoaded, "ontology not loaded"},
      {Error::not_implemented(), ErrorKind::NotImplemented, "reasoning not yet implemented"},
      {Error::consistency_incomplete(), ErrorKind::ConsistencyIncomplete, "consistency check incomplete"},
      {Error::message_text("parallelism must be in 1..=64, got 0"), ErrorKind::Message,
       "parallelism must be in 1..=64, got 0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.kind(), c.kind) << c.message;
    EXPECT_EQ(c.error.message(), c.message);
  }
}

TEST(CoreError, IdsPrintByDebugText) {
  EXPECT_EQ(debug_text(EntityId(7)), "EntityId(7)");
  EXPECT_EQ(fmt::format("{} {} {}", CeId(12), DeId(3), AxiomId(0)), "CeId(12) DeId(3) AxiomId(0)");
}

Result<int> twice(Result<int> in) {
  int v = TRELVANIC_TRY(in);
  return v * 2;
}

TEST(CoreError, TryPropagatesErrorAndYieldsValue) {
  EXPECT_EQ(*twice(21), 42);
  auto r = twice(std::unexpected(Error::parse("p")));
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().message(), "parse error: p");
}

}  // namespace
}  // namespace trelvanic_core
