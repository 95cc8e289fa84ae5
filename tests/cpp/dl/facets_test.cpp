// Facet restrictions and data ranges: bounds on each numeric type, lengths
// on strings and binaries, digit facets, XSD patterns, and three-valued
// answers where a facet or value is not understood.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "dl/datatype/facets.h"
#include "dl/datatype/pattern.h"
#include "dl/datatype/value.h"
#include "tests/cpp/dl/data_value_support.h"

namespace trelvanic_dl::datatype {
namespace {

std::string show(std::optional<bool> t) { return !t ? "unknown" : *t ? "yes" : "no"; }

constexpr std::optional<bool> kYes = true, kNo = false, kUnknown = std::nullopt;

TEST(Facets, FacetIrisByFullText) {
  EXPECT_EQ(facet_of_iri("http://www.w3.org/2001/XMLSchema#minInclusive"), Facet::MinInclusive);
  EXPECT_EQ(facet_of_iri("http://www.w3.org/2001/XMLSchema#totalDigits"), Facet::TotalDigits);
  EXPECT_EQ(facet_of_iri("http://www.w3.org/2001/XMLSchema#pattern"), Facet::Pattern);
  EXPECT_EQ(facet_of_iri("http://www.w3.org/1999/02/22-rdf-syntax-ns#langRange"), Facet::Unknown);
  EXPECT_EQ(facet_of_iri("xsd:minInclusive"), Facet::Unknown);
  EXPECT_EQ(facet_of_iri("http://example.org/minInclusive"), Facet::Unknown);
}

TEST(Facets, RestrictionTable) {
  struct Case {
    const char* lexical;
    Dt value_type;
    Dt base;
    Facet facet;
    const char* facet_value;
    std::optional<bool> expected;
  };
  const Case cases[] = {
      // bounds, inclusive and exclusive, on the real numbers
      {"5", Dt::Integer, Dt::Integer, Facet::MaxInclusive, "10", kYes},
      {"5", Dt::Integer, Dt::Integer, Facet::MaxExclusive, "5", kNo},
      {"5", Dt::Integer, Dt::Integer, Facet::MaxInclusive, "5", kYes},
      {"5", Dt::Integer, Dt::Integer, Facet::MinExclusive, "4.5", kYes},  // a decimal bound on integers
      {"99999999999999999999999", Dt::Integer, Dt::Integer, Facet::MaxInclusive, "99999999999999999999998", kNo},
      {"-0", Dt::Integer, Dt::Integer, Facet::MinInclusive, "0", kYes},
      {"2.50", Dt::Decimal, Dt::Decimal, Facet::MinExclusive, "2.5", kNo},
      {"1/3", Dt::Rational, Dt::Rational, Facet::MaxInclusive, "1", kUnknown},  // not worked out
      {"300", Dt::Integer, Dt::Byte, Facet::MaxInclusive, "1000", kNo},         // outside the base
      {"5", Dt::Integer, Dt::Integer, Facet::MaxInclusive, "abc", kUnknown},
      // floating point: -0 equals +0 in order, NaN is never within a bound
      {"-0", Dt::Double, Dt::Double, Facet::MinInclusive, "0", kYes},
      {"-0", Dt::Double, Dt::Double, Facet::MinExclusive, "0", kNo},
      {"NaN", Dt::Double, Dt::Double, Facet::MaxInclusive, "INF", kNo},
      {"NaN", Dt::Double, Dt::Double, Facet::MinInclusive, "-INF", kNo},
      {"INF", Dt::Float, Dt::Float, Facet::MaxExclusive, "INF", kNo},
      {"1.5", Dt::Float, Dt::Float, Facet::MaxInclusive, "1.5E0", kYes},
      {"1", Dt::Integer, Dt::Double, Facet::MinInclusive, "0", kNo},  // integers are not doubles
      // time instants: zoned bounds against local values are unordered
      {"2020-01-01T10:00:00+05:00", Dt::DateTime, Dt::DateTime, Facet::MaxInclusive, "2020-01-01T09:00:00Z", kYes},
      {"2020-01-01T10:00:00", Dt::DateTime, Dt::DateTime, Facet::MaxInclusive, "2020-01-01T09:00:00Z", kNo},
      // lengths: characters of strings, octets of binary data
      {"\xC3\xA9t\xC3\xA9", Dt::String, Dt::String, Facet::Length, "3", kYes},
      {"abc", Dt::String, Dt::String, Facet::MinLength, "4", kNo},
      {"abc", Dt::String, Dt::String, Facet::MaxLength, "3", kYes},
      {"abc", Dt::String, Dt::String, Facet::MaxLength, "many", kUnknown},
      {" 0aFF ", Dt::HexBinary, Dt::HexBinary, Facet::Length, "2", kYes},
      {"AAA=", Dt::Base64Binary, Dt::Base64Binary, Facet::Length, "2", kYes},
      {"AAAA", Dt::Base64Binary, Dt::Base64Binary, Facet::Length, "3", kYes},
      {"http://a/b", Dt::AnyUri, Dt::AnyUri, Facet::MaxLength, "5", kNo},
      {"hi@en", Dt::PlainLiteral, Dt::PlainLiteral, Facet::Length, "2", kUnknown},
      // digits on decimals
      {"123.450", Dt::Decimal, Dt::Decimal, Facet::TotalDigits, "5", kYes},
      {"123.451", Dt::Decimal, Dt::Decimal, Facet::TotalDigits, "5", kNo},
      {"0.005", Dt::Decimal, Dt::Decimal, Facet::TotalDigits, "2", kNo},
      {"0.005", Dt::Decimal, Dt::Decimal, Facet::TotalDigits, "3", kYes},
      {"1000", Dt::Integer, Dt::Integer, Facet::TotalDigits, "3", kNo},
      {"1.25", Dt::Decimal, Dt::Decimal, Facet::FractionDigits, "1", kNo},
      {"1.20", Dt::Decimal, Dt::Decimal, Facet::FractionDigits, "1", kYes},
      // facets that do not apply, or are not known
      {"5", Dt::Integer, Dt::Integer, Facet::Length, "1", kUnknown},
      {"1.5", Dt::Double, Dt::Double, Facet::TotalDigits, "2", kUnknown},
      {"abc", Dt::String, Dt::String, Facet::Unknown, "x", kUnknown},
      // patterns match the whole lexical form
      {"abc", Dt::String, Dt::String, Facet::Pattern, "a.c", kYes},
      {"xabc", Dt::String, Dt::String, Facet::Pattern, "abc", kNo},
      {"http://x.org/", Dt::AnyUri, Dt::AnyUri, Facet::Pattern, "http://.*", kYes},
  };
  for (const Case& c : cases) {
    const DataValue v = val(c.lexical, c.value_type);
    EXPECT_EQ(show(satisfies_restriction(v, c.base, {{c.facet, c.facet_value}})), show(c.expected))
        << c.lexical << " against facet " << static_cast<int>(c.facet) << " " << c.facet_value;
  }
}

TEST(Facets, StackedFacetsAreEachTested) {
  const std::vector<FacetValue> both = {{Facet::MinInclusive, "10"}, {Facet::MinInclusive, "20"}};
  EXPECT_EQ(satisfies_restriction(val("15", Dt::Integer), Dt::Integer, both), kNo);
  EXPECT_EQ(satisfies_restriction(val("25", Dt::Integer), Dt::Integer, both), kYes);
  // A known failure decides even beside a facet that is not understood;
  // otherwise the unknown facet leaves the answer open.
  const std::vector<FacetValue> mixed = {{Facet::Unknown, "en"}, {Facet::MaxInclusive, "3"}};
  EXPECT_EQ(satisfies_restriction(val("5", Dt::Integer), Dt::Integer, mixed), kNo);
  EXPECT_EQ(satisfies_restriction(val("2", Dt::Integer), Dt::Integer, mixed), kUnknown);
  EXPECT_EQ(satisfies_restriction(val("2", Dt::Integer), Dt::Unknown, {}), kUnknown);
}

TEST(Facets, DataRangeCombinations) {
  DataRange r;
  const uint32_t small = r.add_restriction(Dt::Integer, {{Facet::MaxInclusive, "10"}});
  const uint32_t five = r.add_one_of({val("5", Dt::Integer), val("abc", Dt::String)});
  const uint32_t unknown = r.add_restriction(Dt::Unknown);
  const uint32_t both = r.add_and({small, r.add_not(five)});
  const uint32_t either = r.add_or({unknown, five});
  const uint32_t none = r.add_not(r.add_top());
  struct Case {
    const char* lexical;
    Dt dt;
    uint32_t range;
    std::optional<bool> expected;
  };
  const Case cases[] = {
      {"5.0", Dt::Decimal, five, kYes},  // one value, any lexical form
      {"05", Dt::Integer, both, kNo},
      {"7", Dt::Integer, both, kYes},
      {"11", Dt::Integer, both, kNo},
      {"abc", Dt::String, either, kYes},  // a known member decides a union
      {"abd", Dt::String, either, kUnknown},
      {"abd", Dt::String, none, kNo},
      {"abd", Dt::String, r.add_and({}), kYes},
      {"abd", Dt::String, r.add_or({}), kNo},
      {"abd", Dt::String, r.add_and({unknown, r.add_one_of({})}), kNo},
      {"abd", Dt::String, 999, kUnknown},  // outside the arena
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(satisfies(val(c.lexical, c.dt), r, c.range)), show(c.expected)) << c.lexical << " in " << c.range;
}

TEST(Facets, DeepNestingIsCutNotFollowed) {
  DataRange r;
  uint32_t at = r.add_top();
  for (int i = 0; i < 100000; ++i) at = r.add_not(at);
  EXPECT_EQ(satisfies(val("1", Dt::Integer), r, at), kUnknown);
}

TEST(Patterns, XsdDialectTable) {
  struct Case {
    const char* pattern;
    const char* text;
    std::optional<bool> expected;
  };
  const Case cases[] = {
      // implicit anchors; ^ and $ are ordinary characters
      {"abc", "abc", kYes},
      {"abc", "abcd", kNo},
      {"b", "abc", kNo},
      {"^abc$", "abc", kNo},
      {"^abc$", "^abc$", kYes},
      {"a$b", "a$b", kYes},
      {"", "", kYes},
      {"", "a", kNo},
      // quantifiers and groups
      {"ab(c|d)*", "abcdcd", kYes},
      {"ab(c|d)*", "abe", kNo},
      {"a(bc)?", "a", kYes},
      {"a{2,3}", "aaaa", kNo},
      {"a{2,}", "aaaaaaa", kYes},
      {"a{2}", "a", kNo},
      {"(a|ab)(c|bcd)(d*)", "abcd", kYes},
      {"(a*)*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", kNo},  // no backtracking blow-up
      {"[0-9]{3}-[0-9]{2}-[0-9]{4}", "123-45-6789", kYes},
      {"[0-9]{3}-[0-9]{2}-[0-9]{4}", "123-45-678", kNo},
      // character classes
      {"[a-z-[aeiou]]+", "bcd", kYes},
      {"[a-z-[aeiou]]+", "bad", kNo},
      {"[^abc]", "d", kYes},
      {"[^abc]", "a", kNo},
      {"[-a]", "-", kYes},
      {"[a-]", "-", kYes},
      {"[\\^x]", "^", kYes},
      {"\\d+\\.\\d*", "3.14", kYes},
      {"\\D", "3", kNo},
      {"\\s\\S", " x", kYes},
      {"\\w+", "ab_c", kNo},  // "_" is punctuation, not a word character
      {"\\w+", "a$b", kYes},
      {"\\i\\c*", "_x-1.y", kYes},
      {"\\i\\c*", "1x", kNo},
      {"\\p{Lu}\\p{Ll}+", "Hello", kYes},
      {"\\P{L}", "a", kNo},
      {"\\p{IsBasicLatin}+", "abc", kYes},
      {"\\p{IsBasicLatin}", "\xC3\xA9", kNo},
      {".", "\n", kNo},
      {".", "\xE2\x82\xAC", kYes},  // any character, not any byte
      // outside ASCII, Unicode classes are not guessed
      {"\\d", "\xD9\xA3", kUnknown},  // ARABIC-INDIC DIGIT THREE
      {"\\p{L}+", "caf\xC3\xA9", kUnknown},
      {"\\p{L}+", "caf1", kNo},  // an ASCII failure still decides
      {"[a-z\\d]", "\xC3\xA9", kUnknown},
      {"x|\\d", "\xD9\xA3", kUnknown},
      {"\\d|.", "\xD9\xA3", kYes},  // another branch matches for sure
      // unreadable or oversized patterns are never a rejection
      {"a(b", "ab", kUnknown},
      {"a**", "a", kUnknown},
      {"[a", "a", kUnknown},
      {"\\q", "q", kUnknown},
      {"\\p{Xx}", "q", kUnknown},
      {"((a{1000}){1000}){1000}", "a", kUnknown},
      {"(((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((a)))))))))))))))))))))))))))))))))))))"
       "))))))))))))))))))))))))))))))))",
       "a", kUnknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(pattern_matches(c.pattern, c.text)), show(c.expected)) << c.pattern << " on " << c.text;
}

TEST(Patterns, ShortestSureExamples) {
  struct Case {
    const char* pattern;
    std::optional<std::string> example;
  };
  const Case cases[] = {
      {"[A-Z]{2}[0-9]", "AA0"},
      {"(ab|c)+d?", "c"},
      {"x*", ""},
      {"[^a-z]\\d", "A0"},
      {"\\p{Lo}", std::nullopt},  // nothing in ASCII; no guess beyond it
      {"[a-z-[a-z]]", std::nullopt},
  };
  for (const Case& c : cases) {
    auto p = compile_pattern(c.pattern);
    ASSERT_TRUE(p) << c.pattern;
    const auto example = pattern_example(*p);
    EXPECT_EQ(example, c.example) << c.pattern;
    if (example) {
      EXPECT_EQ(pattern_match(*p, *example), std::optional<bool>(true)) << c.pattern;
    }
  }
}

}  // namespace
}  // namespace trelvanic_dl::datatype
