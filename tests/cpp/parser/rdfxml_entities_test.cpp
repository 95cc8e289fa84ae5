// Internal entity expansion: what is expanded where, and the three limits,
// each refused from the declarations alone before any text is built.
#include <gtest/gtest.h>

#include <string>

#include <fmt/format.h>

#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"

namespace trelvanic_parser {
namespace {

constexpr uint64_t kLimit = 268'435'456;

std::string expand_ok(std::string text, uint64_t limit = kLimit) {
  auto r = expand_xml_entities_with_limit(std::move(text), limit);
  EXPECT_TRUE(r) << (r ? "" : r.error().message());
  return r ? *r : std::string();
}

std::string expand_error(std::string text, uint64_t limit = kLimit) {
  auto r = expand_xml_entities_with_limit(std::move(text), limit);
  EXPECT_FALSE(r);
  return r ? std::string() : r.error().message();
}

TEST(EntityExpansion, ExpandsContentAndValuesButNotCommentsOrCData) {
  struct Case {
    std::string_view input, output;
  };
  const Case cases[] = {
      {"<a/>", "<a/>"},
      {"<!DOCTYPE r>\n<a/>", "\n<a/>"},
      {"<!DOCTYPE r [ <!ENTITY o \"http://o#\"> ]>\n<a x=\"&o;A\">&o;B</a>", "\n<a x=\"http://o#A\">http://o#B</a>"},
      // Comments, CDATA and instructions are copied as written.
      {"<!DOCTYPE r [<!ENTITY e 'v'>]><a><!-- &e; --><![CDATA[&e;]]><?p &e;?>&e;</a>",
       "<a><!-- &e; --><![CDATA[&e;]]><?p &e;?>v</a>"},
      // A value spread over lines, nested references, a comment in the subset
      // with a quote in it, a later declaration replacing an earlier one.
      {"<!DOCTYPE r [\n<!-- don't -->\n<!ENTITY a 'x'>\n<!ENTITY a \"one\ntwo\">\n<!ENTITY b \"[&a;]\">\n]><a>&b;</a>",
       "<a>[one\ntwo]</a>"},
      // The value's quote character cannot end the attribute it lands in.
      {"<!DOCTYPE r [<!ENTITY q '\"&apos;'>]><a x=\"&q;\" y='&q;'>&q;</a>",
       "<a x=\"&quot;&apos;\" y='\"&apos;'>\"&apos;</a>"},
      // Predefined, undeclared, parameter and external entities stay.
      {"<!DOCTYPE r [<!ENTITY amp 'X'><!ENTITY % p 'P'><!ENTITY ext SYSTEM 'f.xml'><!ENTITY e 'E'>]>"
       "<a>&amp;&lt;&p;&ext;&e;&#38;</a>",
       "<a>&amp;&lt;&p;&ext;E&#38;</a>"},
      // An entity that refers to itself is left as written.
      {"<!DOCTYPE r [<!ENTITY s 'a&s;'><!ENTITY t '&s;'>]><a>&s;&t;</a>", "<a>&s;&t;</a>"},
  };
  for (const Case& c : cases) EXPECT_EQ(expand_ok(std::string(c.input)), c.output) << c.input;
}

std::string repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// A document with `width` references in the body to the first of `depth`
// entities, each referring `fanout` times to the next; the last is "lol".
std::string laughs(int depth, int fanout, int width) {
  std::string doc = "<!DOCTYPE r [\n";
  for (int i = 0; i + 1 < depth; ++i) {
    doc += fmt::format("<!ENTITY e{} \"{}\">\n", i, repeat(fmt::format("&e{};", i + 1), fanout));
  }
  doc += fmt::format("<!ENTITY e{} \"lol\">\n", depth - 1);
  doc += "]>\n<a>";
  return doc + repeat("&e0;", width) + "</a>";
}

TEST(EntityExpansion, LimitsAreHeldBeforeExpanding) {
  // Depth: a chain of 32 expands, 33 is refused.
  EXPECT_EQ(expand_ok(laughs(32, 1, 1)), "\n<a>lol</a>");
  EXPECT_EQ(expand_error(laughs(33, 1, 1)), "parse error: entity definition nesting depth 33 exceeds limit of 32");
  // Width: 10,000 references inside values pass, 10,001 do not.
  EXPECT_EQ(expand_ok(laughs(2, 10'000, 1)).size(), std::string("\n<a></a>").size() + 30'000);
  EXPECT_EQ(expand_error(laughs(2, 10'001, 1)), "parse error: entity expansion replacement count exceeds limit of 10000");
  EXPECT_EQ(expand_error(laughs(3, 100, 2)), "parse error: entity expansion replacement count exceeds limit of 10000");
  // The classic: ten levels of ten, about 3 GB. Refused by its count.
  EXPECT_EQ(expand_error(laughs(10, 10, 1)), "parse error: entity expansion replacement count exceeds limit of 10000");
  // Values that expand to nothing still count.
  EXPECT_EQ(expand_error("<!DOCTYPE r [<!ENTITY z ''><!ENTITY y '" + repeat("&z;", 100) + "'>]><a>" +
                         repeat("&y;", 101) + "</a>"),
            "parse error: entity expansion replacement count exceeds limit of 10000");
  // References in the document itself are not counted: a serialiser writes
  // one per IRI. Their bytes are.
  EXPECT_EQ(expand_ok(laughs(1, 1, 50'000)).size(), std::string("\n<a></a>").size() + 150'000);
  EXPECT_EQ(expand_error(laughs(1, 1, 50'000), 100'000),
            "parse error: expanded RDF/XML size exceeds limit of 100000 bytes during entity expansion");
  // Few references to a large expansion: refused by its size.
  EXPECT_EQ(expand_error(laughs(4, 16, 2), 20'000),
            "parse error: expanded RDF/XML size exceeds limit of 20000 bytes during entity expansion");
  EXPECT_EQ(expand_ok(laughs(4, 16, 2), 30'000).size(), std::string("\n<a></a>").size() + 2 * 3 * 16 * 16 * 16);
  // Declarations that are never used do not count, and the input is not
  // measured against the limit then.
  EXPECT_EQ(expand_ok(laughs(10, 10, 0), 10), "\n<a></a>");
  // Without declarations the text itself is held to the limit.
  EXPECT_EQ(expand_error("<!DOCTYPE r>\n<a>0123456789</a>", 10),
            "parse error: expanded RDF/XML size 18 exceeds limit of 10 bytes");
}

TEST(EntityExpansion, MeasuresSaturateOnHugeDefinitions) {
  // 30 levels of fanout 100: 3 * 10^58 bytes does not wrap around.
  const auto table = rdfxml::read_entity_declarations(laughs(30, 100, 0));
  const auto measures = rdfxml::measure_entities(table);
  const auto& top = measures.find("e0")->second;
  EXPECT_EQ(top.bytes, UINT64_MAX);
  EXPECT_EQ(top.replacements, UINT64_MAX);
  EXPECT_EQ(top.depth, 30u);
  EXPECT_FALSE(top.cyclic);
  EXPECT_EQ(rdfxml::expand_entity_text("&e0;", table, measures, 1'000'000), std::nullopt);
  EXPECT_EQ(rdfxml::expand_entity_text("x&e28;y", table, measures, 1'000), "x" + repeat("lol", 100) + "y");
}

}  // namespace
}  // namespace trelvanic_parser
