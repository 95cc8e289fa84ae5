// Literals under the OWL 2 datatype map: which value spaces a literal lies
// in, when two literals are the same data value, ill-typed lexical forms,
// the order of values, the canonical texts and the numeric readers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/ontology.h"
#include "dl/datatype/canonical.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/numeric.h"
#include "dl/datatype/value.h"

namespace trelvanic_dl::datatype {
namespace {

using S = Parsed::Status;

Parsed parse(std::string_view lexical, Dt dt) { return parse_value(lexical, dt); }

TEST(DatatypeVocabulary, FullIrisOnly) {
  EXPECT_EQ(datatype_of_iri("http://www.w3.org/2001/XMLSchema#integer"), Dt::Integer);
  EXPECT_EQ(datatype_of_iri("http://www.w3.org/2001/XMLSchema%23double"), Dt::Double);
  EXPECT_EQ(datatype_of_iri("http://www.w3.org/2002/07/owl#rational"), Dt::Rational);
  EXPECT_EQ(datatype_of_iri("xsd:integer"), Dt::Unknown);
  EXPECT_EQ(datatype_of_iri("http://example.org/integer"), Dt::Unknown);
  EXPECT_EQ(datatype_of_iri("http://www.w3.org/2001/XMLSchema#date"), Dt::Unknown);
  // The numeric tower, and float/double outside it.
  EXPECT_TRUE(subtype_of(Dt::NonNegativeInteger, Dt::Integer));
  EXPECT_TRUE(subtype_of(Dt::Byte, Dt::Integer));
  EXPECT_TRUE(subtype_of(Dt::UnsignedByte, Dt::NonNegativeInteger));
  EXPECT_TRUE(subtype_of(Dt::Integer, Dt::Real));
  EXPECT_FALSE(subtype_of(Dt::Integer, Dt::Float));
  EXPECT_FALSE(subtype_of(Dt::Decimal, Dt::Double));
  EXPECT_FALSE(subtype_of(Dt::Decimal, Dt::Integer));
  EXPECT_TRUE(subtype_of(Dt::String, Dt::PlainLiteral));
  EXPECT_TRUE(subtype_of(Dt::DateTimeStamp, Dt::Literal));
}

TEST(DatatypeValues, ValueSpaceMembership) {
  struct Case {
    const char* lexical;
    Dt dt;
    Dt target;
    bool in;
  };
  const Case cases[] = {
      {"99999999999999999999", Dt::NonNegativeInteger, Dt::Integer, true},  // no 64-bit bound
      {"99999999999999999999", Dt::Integer, Dt::Long, false},
      {"-9223372036854775808", Dt::Integer, Dt::Long, true},
      {"300", Dt::Integer, Dt::Byte, false},
      {"300", Dt::Integer, Dt::UnsignedByte, false},
      {"255", Dt::Integer, Dt::UnsignedByte, true},
      {"-5", Dt::Decimal, Dt::Integer, true},
      {"2.0", Dt::Decimal, Dt::Integer, true},
      {"2.5", Dt::Decimal, Dt::Integer, false},
      {"1/4", Dt::Rational, Dt::Decimal, true},
      {"1/3", Dt::Rational, Dt::Decimal, false},
      {"1/3", Dt::Rational, Dt::Real, true},
      {"1", Dt::Integer, Dt::Double, false},  // disjoint value spaces
      {"1", Dt::Integer, Dt::Float, false},
      {"1.0", Dt::Float, Dt::Double, false},
      {"1.0", Dt::Double, Dt::Decimal, false},
      {"INF", Dt::Float, Dt::Float, true},
      {"-INF", Dt::Double, Dt::Double, true},
      {"NaN", Dt::Float, Dt::Double, false},
      {"abc", Dt::String, Dt::Integer, false},
      {"abc", Dt::String, Dt::PlainLiteral, true},
      {"abc@en", Dt::PlainLiteral, Dt::String, false},
      {"abc@en", Dt::PlainLiteral, Dt::LangString, true},
      {"abc@", Dt::PlainLiteral, Dt::String, true},
      {"en-GB", Dt::String, Dt::Language, true},
      {"a b", Dt::String, Dt::Token, true},
      {"a  b", Dt::String, Dt::Token, false},
      {"1a", Dt::String, Dt::NCName, false},
      {"x:y", Dt::String, Dt::NCName, false},
      {"x:y", Dt::String, Dt::Name, true},
      {"2008-10-08T20:44:11", Dt::DateTime, Dt::DateTimeStamp, false},
      {"2008-10-08T20:44:11Z", Dt::DateTime, Dt::DateTimeStamp, true},
      {"true", Dt::Boolean, Dt::String, false},
      {"http://e.org/", Dt::AnyUri, Dt::String, false},
      {"0FB7", Dt::HexBinary, Dt::Base64Binary, false},
      {"anything", Dt::String, Dt::Literal, true},
  };
  for (const Case& c : cases) {
    Parsed p = parse(c.lexical, c.dt);
    ASSERT_EQ(p.status, S::Ok) << c.lexical;
    EXPECT_EQ(in_value_space(*p.value, c.target), std::optional<bool>(c.in)) << c.lexical << " into " << int(c.target);
  }
  Parsed p = parse("1", Dt::Integer);
  EXPECT_EQ(in_value_space(*p.value, Dt::Unknown), std::nullopt);
}

TEST(DatatypeValues, IllTypedAndUnknownLexicalForms) {
  struct Case {
    const char* lexical;
    Dt dt;
    S status;
  };
  const Case cases[] = {
      {"abc", Dt::Integer, S::IllTyped},     {"1.5", Dt::Integer, S::IllTyped},
      {"-1", Dt::NonNegativeInteger, S::IllTyped}, {"0", Dt::PositiveInteger, S::IllTyped},
      {" 42 ", Dt::Integer, S::Ok},          {"1e3", Dt::Decimal, S::IllTyped},
      {"1e3", Dt::Double, S::Ok},            {".5", Dt::Float, S::Ok},
      {"1.", Dt::Decimal, S::Ok},            {"+INF", Dt::Double, S::Ok},
      {"inf", Dt::Double, S::IllTyped},      {"1/0", Dt::Rational, S::IllTyped},
      {"3/6", Dt::Rational, S::Ok},          {"yes", Dt::Boolean, S::IllTyped},
      {"1", Dt::Boolean, S::Ok},             {"0FB", Dt::HexBinary, S::IllTyped},
      {"0fb7", Dt::HexBinary, S::Ok},        {"QUJD", Dt::Base64Binary, S::Ok},
      {"QUJ", Dt::Base64Binary, S::IllTyped}, {"QQ==", Dt::Base64Binary, S::Ok},
      {"2008-02-30T00:00:00", Dt::DateTime, S::IllTyped},
      {"2008-02-29T24:00:00Z", Dt::DateTime, S::Ok},
      {"2007-02-29T00:00:00", Dt::DateTime, S::IllTyped},
      {"2008-10-08T20:44:11+15:00", Dt::DateTime, S::IllTyped},
      {"2008-10-08", Dt::DateTime, S::IllTyped},
      {"2008-10-08T20:44:11", Dt::DateTimeStamp, S::IllTyped},
      {"abc@1x", Dt::PlainLiteral, S::IllTyped}, {"abc", Dt::LangString, S::IllTyped},
      {"1", Dt::Real, S::Unknown},           {"1", Dt::Unknown, S::Unknown},
      {"1", Dt::Literal, S::Unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(parse(c.lexical, c.dt).status, c.status) << c.lexical << " " << int(c.dt);
}

TEST(DatatypeValues, SameDataValue) {
  struct Case {
    const char* a;
    Dt da;
    const char* b;
    Dt db;
    bool same;
  };
  const Case cases[] = {
      {"1", Dt::Integer, "1.0", Dt::Decimal, true},
      {"0.5", Dt::Decimal, "1/2", Dt::Rational, true},
      {"3/6", Dt::Rational, "1/2", Dt::Rational, true},
      {"0.333", Dt::Decimal, "1/3", Dt::Rational, false},
      {"-1.5", Dt::Decimal, "-3/2", Dt::Rational, true},
      {"007", Dt::Integer, "7", Dt::UnsignedByte, true},
      {"1", Dt::Float, "1", Dt::Double, false},  // disjoint spaces
      {"1", Dt::Integer, "1", Dt::Double, false},
      {"1.5", Dt::Float, "1.50", Dt::Float, true},
      {"0.1", Dt::Float, "0.100000001", Dt::Float, true},  // one float
      {"NaN", Dt::Double, "NaN", Dt::Double, true},        // identity, not numeric equality
      {"0", Dt::Double, "-0", Dt::Double, false},
      {"INF", Dt::Float, "+INF", Dt::Float, true},
      {"5", Dt::String, "5", Dt::Integer, false},
      {"a", Dt::String, "a@en", Dt::PlainLiteral, false},
      {"a", Dt::String, "a@", Dt::PlainLiteral, true},
      {"a@EN", Dt::PlainLiteral, "a@en", Dt::LangString, true},
      {"1", Dt::Boolean, "true", Dt::Boolean, true},
      {"0fb7", Dt::HexBinary, "0FB7", Dt::HexBinary, true},
      {"2008-10-08T20:44:11+01:00", Dt::DateTime, "2008-10-08T19:44:11Z", Dt::DateTime, true},
      {"2008-10-08T20:44:11Z", Dt::DateTime, "2008-10-08T20:44:11", Dt::DateTime, false},
      {"2008-10-08T24:00:00", Dt::DateTime, "2008-10-09T00:00:00.000", Dt::DateTime, true},
      {"<a  y=\"1\" x=\"2\"/>", Dt::XmlLiteral, "<a x=\"2\" y=\"1\"></a>", Dt::XmlLiteral, true},
  };
  for (const Case& c : cases) {
    Parsed a = parse(c.a, c.da), b = parse(c.b, c.db);
    ASSERT_TRUE(a.value && b.value) << c.a << " / " << c.b;
    EXPECT_EQ(same_value(*a.value, *b.value), c.same) << c.a << " / " << c.b;
  }
}

TEST(DatatypeValues, Order) {
  auto cmp = [](const char* a, Dt da, const char* b, Dt db) {
    return compare_values(*parse(a, da).value, *parse(b, db).value);
  };
  EXPECT_EQ(cmp("99999999999999999999", Dt::Integer, "100000000000000000000", Dt::Integer), std::partial_ordering::less);
  EXPECT_EQ(cmp("-2.5", Dt::Decimal, "-2.25", Dt::Decimal), std::partial_ordering::less);
  EXPECT_EQ(cmp("1/2", Dt::Rational, "0.50", Dt::Decimal), std::partial_ordering::equivalent);
  EXPECT_EQ(cmp("2008-10-08T20:44:11+01:00", Dt::DateTime, "2008-10-08T20:00:00Z", Dt::DateTime),
            std::partial_ordering::less);
  EXPECT_EQ(cmp("2008-10-08T20:44:11Z", Dt::DateTime, "2008-10-08T20:00:00", Dt::DateTime), std::nullopt);
  EXPECT_EQ(cmp("1", Dt::Float, "1", Dt::Double), std::nullopt);
  EXPECT_EQ(cmp("NaN", Dt::Double, "1", Dt::Double), std::partial_ordering::unordered);
}

TEST(DatatypeLiterals, ThroughTheOntologysDatatypes) {
  trelvanic_core::Ontology o;
  auto dt = [&](const char* local) {
    return *o.entity_id(std::string("http://www.w3.org/2001/XMLSchema#") + local, trelvanic_core::EntityKind::Datatype);
  };
  const auto integer = dt("integer"), dbl = dt("double"), nni = dt("nonNegativeInteger"), str = dt("string");
  const auto custom = *o.entity_id("http://e.org/myType", trelvanic_core::EntityKind::Datatype);
  EXPECT_TRUE(datatype_subsumes(o, nni, integer));
  EXPECT_FALSE(datatype_subsumes(o, integer, dbl));
  EXPECT_TRUE(literal_in_datatype_value_space(&o, {"99999999999999999999", nni}, integer));
  EXPECT_FALSE(literal_in_datatype_value_space(nullptr, {"1", integer}, integer));
  EXPECT_EQ(literal_membership(o, {"1", integer}, dbl), std::optional<bool>(false));
  EXPECT_EQ(literal_membership(o, {"1", custom}, integer), std::nullopt);
  EXPECT_EQ(literal_membership(o, {"x", custom}, custom), std::nullopt);
  EXPECT_TRUE(literal_is_ill_typed(o, {"abc", integer}));
  EXPECT_FALSE(literal_is_ill_typed(o, {"abc", custom}));
  EXPECT_EQ(literal_equality(o, {"5", str}, {"5", integer}), std::optional<bool>(false));
  EXPECT_EQ(literal_equality(o, {"x", custom}, {"x", custom}), std::optional<bool>(true));
  EXPECT_EQ(literal_equality(o, {"x", custom}, {"y", custom}), std::nullopt);
  EXPECT_TRUE(integer_value_space("http://www.w3.org/2001/XMLSchema#byte", -128));
  EXPECT_FALSE(integer_value_space("http://www.w3.org/2001/XMLSchema#byte", 128));
  EXPECT_FALSE(integer_value_space("http://www.w3.org/2001/XMLSchema#double", 1));
}

TEST(DatatypeCanonical, Texts) {
  EXPECT_EQ(canonical_plain_literal("-0"), "0");
  EXPECT_EQ(canonical_plain_literal("abc@en"), "abc@en");
  EXPECT_EQ(unescape_ofn_literal(R"(a\\b\nc\"d\qe\)"), "a\\b\nc\"d\\qe\\");
  EXPECT_EQ(canonical_xml_literal("<br/>"), "<br></br>");
  EXPECT_EQ(canonical_xml_literal("<br></br>"), "<br></br>");
  EXPECT_EQ(canonical_xml_literal("<br ></br>"), "<br></br>");
  EXPECT_EQ(canonical_xml_literal("<p  b='2' a='1'>x  y</p>"), "<p a=\"1\" b=\"2\">x y</p>");
  EXPECT_EQ(canonical_xml_literal("<p a=\"1 \t 2\">"), "<p a=\"1 \t 2\">");
  EXPECT_EQ(canonical_xml_literal("text <unterminated"), "text <unterminated");
  EXPECT_EQ(trailing_xml_text_suffix("<a>b</a>tail"), "tail");
  XmlTag tag = parse_xml_tag_name_and_attrs(" img src=\"a\" alt='b' ");
  EXPECT_EQ(tag.name, "img");
  ASSERT_EQ(tag.attributes.size(), 2u);
  EXPECT_EQ(tag.attributes[1], (std::pair<std::string, std::string>{"alt", "b"}));
  EXPECT_EQ(strip_datetime_timezone("2008-10-08T20:44:11+01:00"), "2008-10-08T20:44:11");
  EXPECT_EQ(strip_datetime_timezone("2008-10-08T20:44:11Z"), "2008-10-08T20:44:11");
  EXPECT_EQ(strip_datetime_timezone("2008-10-08T20:44:11-05"), "2008-10-08T20:44:11-05");
  EXPECT_EQ(strip_datetime_timezone("2008-10-08Z"), "2008-10-08");
  EXPECT_EQ(normalize_datetime_lex("2008-10-08T10:00:00.50Z"), "2008-10-08T10:00:00.50");
  EXPECT_EQ(normalize_datetime_lex("2008-10-08T10:00:00.xyz"), "2008-10-08T10:00:00");
}

TEST(DatatypeNumeric, Readers) {
  EXPECT_EQ(parse_numeric("-0"), 0.0);
  EXPECT_FALSE(std::signbit(*parse_numeric("-0")));
  EXPECT_EQ(parse_numeric("1/2"), 0.5);
  EXPECT_TRUE(std::isnan(*parse_numeric("1/0")));
  EXPECT_EQ(parse_numeric("1/2/3"), std::nullopt);
  EXPECT_EQ(parse_numeric(""), std::nullopt);
  EXPECT_EQ(parse_numeric("Infinity"), HUGE_VAL);
  EXPECT_EQ(rational_pair("5"), std::nullopt);
  EXPECT_EQ(rational_pair(".5"), std::nullopt);
  EXPECT_EQ(rational_pair(" 3 / 6 "), (Fraction{1, 2}));
  EXPECT_EQ(rational_pair("-1.5"), (Fraction{-3, 2}));
  EXPECT_EQ(rational_pair("-0.25"), (Fraction{-1, 4}));
  EXPECT_EQ(rational_pair("6/-4"), (Fraction{-3, 2}));
  EXPECT_EQ(rational_pair("1/0"), std::nullopt);
  EXPECT_EQ(rational_pair("1." + std::string(60, '1')), std::nullopt);
  EXPECT_EQ(whole_number_lexical("+42"), Int128(42));
  EXPECT_EQ(whole_number_lexical("-7.0"), Int128(-7));
  EXPECT_EQ(whole_number_lexical("7.5"), std::nullopt);
  EXPECT_EQ(whole_number_lexical("-"), std::nullopt);
  for (const char* yes : {"1e5", "NaN", "-INF", "3/4", "1.5"}) EXPECT_TRUE(lexical_looks_numeric(yes)) << yes;
  for (const char* no : {"abc", "1,5", ""}) EXPECT_FALSE(lexical_looks_numeric(no)) << no;
  EXPECT_TRUE(rational_has_terminating_decimal_expansion(1, 8));
  EXPECT_FALSE(rational_has_terminating_decimal_expansion(1, 3));
  EXPECT_FALSE(rational_has_terminating_decimal_expansion(7, 0));
}

}  // namespace
}  // namespace trelvanic_dl::datatype
