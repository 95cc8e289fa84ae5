#include "parser/error.h"

#include <cerrno>

#include <gtest/gtest.h>

namespace trelvanic_parser {
namespace {

TEST(ParserError, DisplayTextOfEveryKind) {
  const struct {
    Error error;
    ErrorKind kind;
    std::string message;
  } cases[] = {
      {Error::unsupported_format("could not detect OWL/RDF format for x.owl"), ErrorKind::UnsupportedFormat,
       "unsupported format: could not detect OWL/RDF format for x.owl"},
      {Error::parse("not a file: /tmp"), ErrorKind::Parse, "parse error: not a file: /tmp"},
      // System errors: `Io` prints the system text alone, `Parse` prefixes it.
      {Error::io(ENOENT), ErrorKind::Io, os_error_text(ENOENT)},
      {Error::parse_from_errno(EACCES), ErrorKind::Parse, "parse error: " + os_error_text(EACCES)},
      // A core error is wrapped whole and prints its own text.
      {Error::core(trelvanic_core::Error::unknown_entity(trelvanic_core::EntityId(7))), ErrorKind::Core,
       "unknown entity: EntityId(7)"},
      {Error::core(trelvanic_core::Error::parse("bad")), ErrorKind::Core, "parse error: bad"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.kind(), c.kind) << c.message;
    EXPECT_EQ(c.error.message(), c.message);
  }
  EXPECT_NE(os_error_text(ENOENT), "");
  EXPECT_EQ(Error::io(ENOENT).os_error(), ENOENT);
  auto core = Error::core(trelvanic_core::Error::invalid_axiom("x"));
  ASSERT_TRUE(core.core_error().has_value());
  EXPECT_EQ(core.core_error()->kind(), trelvanic_core::ErrorKind::InvalidAxiom);
}

}  // namespace
}  // namespace trelvanic_parser
