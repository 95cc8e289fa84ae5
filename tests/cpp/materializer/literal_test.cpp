// Lexical spaces, value spaces and value comparison of literals.
#include <gtest/gtest.h>

#include "materializer/dictionary.h"
#include "materializer/literal.h"

namespace trelvanic_materializer {
namespace {

struct LiteralCase {
  const char* lexical;
  const char* datatype;
  bool well_typed;
};

TEST(LiteralTest, LexicalSpacesOfCommonDatatypes) {
  const LiteralCase cases[] = {
      {"42", "integer", true},        {"-0", "integer", true},          {"4.2", "integer", false},
      {"4.2", "decimal", true},       {".5", "decimal", true},          {"abc", "decimal", false},
      {"-1", "nonNegativeInteger", false}, {"0", "positiveInteger", false}, {"255", "unsignedByte", true},
      {"256", "unsignedByte", false}, {"-129", "byte", false},          {"9223372036854775807", "long", true},
      {"9223372036854775808", "long", false}, {"1e5", "double", true}, {"INF", "float", true},
      {"1e", "double", false},        {"true", "boolean", true},        {"yes", "boolean", false},
      {"2020-01-31T10:00:00Z", "dateTime", true}, {"2020-13-01T00:00:00", "dateTime", false},
      {"2020-01-31T10:00:00", "dateTimeStamp", false}, {"0FB7", "hexBinary", true}, {"0FB", "hexBinary", false},
      {"en-GB", "language", true},    {"not a tag", "language", false}, {"anything at all", "string", true},
      {"x", "http://example.org/unknownType", true},
  };
  for (const LiteralCase& c : cases) {
    Dictionary d;
    std::string dt = std::string(c.datatype).starts_with("http") ? c.datatype : std::string("http://www.w3.org/2001/XMLSchema#") + c.datatype;
    TermId lit = d.literal(c.lexical, d.iri(dt));
    EXPECT_EQ(literal_well_typed(d, lit), c.well_typed) << c.lexical << " ^^ " << c.datatype;
  }
}

TEST(LiteralTest, ValueSpaceMembershipAcrossDatatypes) {
  Dictionary d;
  auto xsd = [&](const char* local) { return d.iri(std::string("http://www.w3.org/2001/XMLSchema#") + local); };
  TermId five = d.literal("5", xsd("integer"));
  TermId five_dec = d.literal("5.0", xsd("decimal"));
  TermId half = d.literal("0.5", xsd("decimal"));
  TermId text = d.literal("hello", TermId{});
  TermId tagged = d.lang_literal("hallo", "de");
  EXPECT_EQ(literal_in_datatype(d, five, xsd("decimal")), Membership::kIn);
  EXPECT_EQ(literal_in_datatype(d, five_dec, xsd("integer")), Membership::kIn);
  EXPECT_EQ(literal_in_datatype(d, half, xsd("integer")), Membership::kOut);
  EXPECT_EQ(literal_in_datatype(d, five, xsd("double")), Membership::kOut);
  EXPECT_EQ(literal_in_datatype(d, text, xsd("token")), Membership::kIn);
  EXPECT_EQ(literal_in_datatype(d, text, xsd("integer")), Membership::kOut);
  EXPECT_EQ(literal_in_datatype(d, tagged, d.iri("http://www.w3.org/1999/02/22-rdf-syntax-ns#PlainLiteral")), Membership::kIn);
  EXPECT_EQ(literal_in_datatype(d, tagged, xsd("string")), Membership::kOut);
  EXPECT_EQ(literal_in_datatype(d, five, d.iri("http://example.org/myType")), Membership::kUnknown);
}

TEST(LiteralTest, DifferentValuesOnlyWhereTheDatatypeDecides) {
  Dictionary d;
  auto xsd = [&](const char* local) { return d.iri(std::string("http://www.w3.org/2001/XMLSchema#") + local); };
  struct Case {
    TermId a, b;
    bool differ;
  } cases[] = {
      {d.literal("1", xsd("integer")), d.literal("01", xsd("int")), false},
      {d.literal("1", xsd("integer")), d.literal("1.0", xsd("decimal")), false},
      {d.literal("1", xsd("integer")), d.literal("1.5", xsd("decimal")), true},
      {d.literal("a", TermId{}), d.literal("b", TermId{}), true},
      {d.literal("a", TermId{}), d.lang_literal("a", "en"), true},
      {d.lang_literal("a", "EN"), d.lang_literal("a", "en"), false},
      {d.literal("true", xsd("boolean")), d.literal("1", xsd("boolean")), false},
      {d.literal("1.5", xsd("double")), d.literal("15E-1", xsd("double")), false},
      {d.literal("1", xsd("integer")), d.literal("1", xsd("double")), true},
      {d.literal("x", d.iri("http://example.org/dt")), d.literal("y", d.iri("http://example.org/dt")), false},
      {d.literal("abc", xsd("integer")), d.literal("1", xsd("integer")), false},
  };
  for (const Case& c : cases) EXPECT_EQ(literals_differ(d, c.a, c.b), c.differ) << d.display(c.a) << " vs " << d.display(c.b);
}

}  // namespace
}  // namespace trelvanic_materializer
