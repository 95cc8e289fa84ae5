#include "owl/functional_reader.h"

#include <string>

#include <fmt/format.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/cpp/owl/owl_test_support.h"

namespace trelvanic_owl {
namespace {


std::string header(std::string_view body) {
  return "Prefix(:=<http://x/>)\nOntology(<http://x/o>\n" + std::string(body) + "\n)";
}

TEST(FunctionalReader, FixtureReadsEveryConstructOnce) {
  auto result = read_functional(read_test_data("fixture.ofn"));
  ASSERT_TRUE(result.has_value()) << result.error().text();
  const Ontology& o = *result;
  EXPECT_EQ(o.iri(o.ontology_iri()), "http://example.org/fixture");
  EXPECT_EQ(o.iri(o.version_iri()), "http://example.org/fixture/1.0");
  // 83 component lines in the file, two of them repeat earlier ones
  // (an unqualified cardinality is the one with owl:Thing).
  EXPECT_EQ(o.component_count(), 81u);
  bool kinds[kKindCount] = {};
  for (const Component& c : o.components()) kinds[static_cast<int>(o.kind(c.node))] = true;
  for (int k = 0; k < kKindCount; ++k) {
    Kind kind = static_cast<Kind>(k);
    if (is_component(kind) && kind != Kind::DocumentIri) {
      EXPECT_TRUE(kinds[k]) << kind_name(kind);
    }
  }
  std::vector<std::string> all = rendered(o);
  // the re-declared prefix ex: names the second namespace
  EXPECT_EQ(all[4], "Declaration(Class(<http://example.org/fixture#B>))");
  EXPECT_THAT(all, testing::Contains("DataPropertyAssertion(<http://example.org/fixture#dq> "
                                     "<http://example.org/fixture#a> \"tab\tquote\\\"back\\\\slash\nline\")"));
  EXPECT_THAT(all, testing::Contains(
                       "AnnotationAssertion(<http://example.org/fixture#ap> _:x <http://example.org/fixture%23Thing>)"));
}

TEST(FunctionalReader, WrittenTextReadsBackToTheSameComponents) {
  auto first = read_functional(read_test_data("fixture.ofn"));
  ASSERT_TRUE(first.has_value());
  std::string text = write_functional(*first);
  auto second = read_functional(text);
  ASSERT_TRUE(second.has_value()) << second.error().text() << "\n" << text;
  EXPECT_EQ(rendered(*first), rendered(*second));
}

TEST(FunctionalReader, SupplementStyleTexts) {
  // Generated supplement texts: standard prefixes redeclared, a prefix
  // declared twice (the later wins), "%23" in full IRIs, no ontology
  // version, a final ")" without a line feed.
  std::string text =
      "Prefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
      "Prefix(ns1:=<http://a.org/x#>)\n"
      "Prefix(ns1:=<http://b.org/y#>)\n"
      "Ontology(<http://s/opa-supplement>\n"
      "Declaration(Class(<http://a.org/x%23C>))\n"
      "SubClassOf(<http://a.org/x%23C> ObjectComplementOf(ns1:D))\n"
      "EquivalentClasses(ns1:Ünïcode_1 owl:Thing)\n"
      "AnnotationAssertion(<http://a.org/x#l> <http://a.org/x#C> \"a # is no comment in a string\")"
      ")";
  auto result = read_functional(text);
  ASSERT_TRUE(result.has_value()) << result.error().text();
  auto all = rendered(*result);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[1], "Declaration(Class(<http://a.org/x%23C>))");
  EXPECT_EQ(all[2], "SubClassOf(<http://a.org/x%23C> ObjectComplementOf(<http://b.org/y#D>))");
  EXPECT_EQ(all[3], "EquivalentClasses(<http://b.org/y#Ünïcode_1> <http://www.w3.org/2002/07/owl#Thing>)");
  EXPECT_EQ(all[4], "AnnotationAssertion(<http://a.org/x#l> <http://a.org/x#C> \"a # is no comment in a string\")");
}

TEST(FunctionalReader, OntologyWithoutIriAndComments) {
  auto result = read_functional("\xEF\xBB\xBF# leading comment\r\nOntology( # empty\n)  # trailing\n");
  ASSERT_TRUE(result.has_value()) << result.error().text();
  EXPECT_EQ(result->component_count(), 0u);
  EXPECT_FALSE(result->ontology_iri().valid());
}

TEST(FunctionalReader, EachStringIsOneStringHoweverItIsWritten) {
  // The same IRIs and texts written full and abbreviated, under two
  // prefixes, with and without escapes, after comments and strings that
  // hold IRI-like text, and more times than the reader looks ahead: each
  // repeated axiom is one component.
  std::string text =
      "Prefix(:=<http://x/>)\nPrefix(p:=<http://x/>)\nOntology(<http://x/o>\n"
      "# a comment with \"a quote, <http://x/A and :A\n";
  const char* spellings[] = {
      "SubClassOf(:A <http://x/B>)",
      "SubClassOf(<http://x/A> p:B) # :C <http://x/D> \"",
      "DataPropertyAssertion(:d :i \"tab\\there\")",
      "DataPropertyAssertion(:d :i \"tab\there\")",
      "AnnotationAssertion(:l :A \"x \\\"q\\\" <http://x/A> :A # no comment\")",
      "AnnotationAssertion(p:l <http://x/A> \"x \\\"q\\\" <http://x/A> :A # no comment\")",
      "SubClassOf(:A ObjectMinCardinality(4294967295 :p :B))",
      "SubClassOf(:A ObjectMinCardinality(4294967295 p:p <http://x/B>))",
  };
  for (int round = 0; round < 40; ++round) {
    for (const char* s : spellings) text += std::string(s) + "\n";
  }
  text += ")";
  auto result = read_functional(text);
  ASSERT_TRUE(result.has_value()) << result.error().text();
  auto all = rendered(*result);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0], "OntologyId(<http://x/o>)");
  EXPECT_EQ(all[1], "SubClassOf(<http://x/A> <http://x/B>)");
  EXPECT_EQ(all[2], "DataPropertyAssertion(<http://x/d> <http://x/i> \"tab\there\")");
  EXPECT_EQ(all[3], "AnnotationAssertion(<http://x/l> <http://x/A> \"x \\\"q\\\" <http://x/A> :A # no comment\")");
  EXPECT_EQ(all[4], "SubClassOf(<http://x/A> ObjectMinCardinality(4294967295 <http://x/p> <http://x/B>))");
}

struct BadInput {
  const char* name;
  std::string text;
  const char* message;
  uint32_t line;
  uint32_t column;
};

TEST(FunctionalReader, MalformedInputGivesMessageAndPosition) {
  const BadInput cases[] = {
      {"unbalanced", header("SubClassOf(:A :B"), "unexpected end of input", 4, 2},
      {"extra close", header("SubClassOf(:A :B))"), "unexpected text after the ontology", 4, 1},
      {"unknown keyword", header("SubClassOf(:A ObjectSomeValueFrom(:p :B))"),
       "unknown keyword 'ObjectSomeValueFrom'", 3, 15},
      {"bad IRI", header("SubClassOf(<http://x/a b> :B)"), "malformed IRI", 3, 12},
      {"undeclared prefix", header("SubClassOf(:A ex:B)"), "undeclared prefix 'ex:'", 3, 15},
      {"truncated IRI", "Ontology(<http://x/o", "unexpected end of input inside an IRI", 1, 10},
      {"truncated string", header("AnnotationAssertion(:ap :A \"abc"), "unexpected end of input inside a string", 3,
       28},
      {"bad escape", header("AnnotationAssertion(:ap :A \"a\\qb\")"), "invalid escape in string", 3, 30},
      {"wrong operand", header("SubClassOf(:A \"lit\")"),
       "a literal cannot stand here in SubClassOf: expected a class expression", 3, 15},
      {"missing operand", header("SubClassOf(:A)"), "SubClassOf is missing a class expression", 3, 14},
      {"too many operands", header("ObjectPropertyDomain(:p :A :B)"),
       "an IRI cannot stand here in ObjectPropertyDomain: expected nothing more", 3, 28},
      {"missing number", header("SubClassOf(:A ObjectMinCardinality(:p))"),
       "an IRI cannot stand here in ObjectMinCardinality: expected a non-negative integer", 3, 36},
      {"number overflow", header("SubClassOf(:A ObjectMinCardinality(99999999999 :p))"), "number too large", 3,
       36},
      {"expression at top", header("ObjectComplementOf(:A)"),
       "ObjectComplementOf cannot stand at the top level of an ontology", 3, 1},
      {"no ontology", "Prefix(:=<http://x/>)\nClass(:A)", "expected Prefix or Ontology", 2, 1},
      {"malformed prefix", "Prefix(x=<http://x/>)\nOntology()", "malformed prefix name", 1, 8},
      {"inverse of inverse", header("SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(ObjectInverseOf(:p)) :B))"),
       "ObjectInverseOf cannot stand here in ObjectInverseOf: expected an object property", 3, 52},
      {"stray group", header("SubClassOf(:A (:B))"), "unexpected '('", 3, 15},
      {"language tag", header("AnnotationAssertion(:ap :A \"x\"@)"), "expected a language tag after '@'", 3, 32},
      {"empty input", "", "unexpected end of input", 1, 1},
      {"header item as axiom", header("OntologyId(<http://evil/o>)"), "unknown keyword 'OntologyId'", 3, 1},
  };
  for (const BadInput& c : cases) {
    auto result = read_functional(c.text);
    ASSERT_FALSE(result.has_value()) << c.name;
    EXPECT_EQ(result.error().message(), c.message) << c.name;
    EXPECT_EQ(result.error().line(), c.line) << c.name;
    EXPECT_EQ(result.error().column(), c.column) << c.name;
  }
}

TEST(FunctionalReader, TextThatIsNotUtf8IsRefusedWhereverItStands) {
  // Where the bad bytes go: {} marks them; the line and column are theirs.
  struct Place {
    const char* text;
    uint32_t line;
    uint32_t column;
  };
  const Place places[] = {
      {"Prefix(:=<http://x/\u00e9{}>)\nOntology()", 1, 21},
      {"Prefix(p{}:=<http://x/>)\nOntology()", 1, 9},
      {"Ontology(\nSubClassOf(<http://x/A{}> <http://x/B>))", 2, 23},
      {"Prefix(:=<http://x/>)\nOntology(\nSubClassOf(:\u00e9{} :B))", 3, 14},
      {"Prefix(:=<http://x/>)\nOntology(\nAnnotationAssertion(:l :A \"caf\u00e9 {}\"))", 3, 33},
      {"Prefix(:=<http://x/>)\nOntology(\nAnnotationAssertion(:l :A \"x\"@e{}))", 3, 32},
      {"Ontology( # {}\n)", 1, 13},
      {"Ontology()\n{}", 2, 1},
  };
  for (const Utf8Sample& sample : kBadUtf8) {
    for (const Place& place : places) {
      std::string text = fmt::format(fmt::runtime(place.text), sample.bad);
      auto result = read_functional(text);
      ASSERT_FALSE(result.has_value()) << sample.name << " in " << place.text;
      EXPECT_EQ(result.error().message(), "invalid UTF-8 sequence") << sample.name << " in " << place.text;
      EXPECT_EQ(result.error().line(), place.line) << sample.name << " in " << place.text;
      EXPECT_EQ(result.error().column(), place.column) << sample.name << " in " << place.text;
    }
  }
  // every form of a character is taken, up to the last one
  auto good = read_functional(
      "Prefix(:=<http://x/>)\nOntology(\nAnnotationAssertion(:l :\u00e9\u20ac \"\U0001F600\U0010FFFF\ud7ff\"))");
  ASSERT_TRUE(good.has_value()) << good.error().text();
  EXPECT_THAT(rendered(*good), testing::ElementsAre("AnnotationAssertion(<http://x/l> <http://x/\u00e9\u20ac> "
                                                    "\"\U0001F600\U0010FFFF\ud7ff\")"));
}

TEST(FunctionalReader, AnIriBuiltFromAPrefixMayNotPassTheIriLengthLimit) {
  const std::string ns = "http://x/" + std::string(8000, 'n');
  const std::string fits(8192 - ns.size(), 'a');
  auto text = [&](std::string_view local) {
    return "Prefix(p:=<" + ns + ">)\nOntology(\nDeclaration(Class(p:" + std::string(local) + "))\n" +
           "SubClassOf(p:" + std::string(local) + " <http://x/" + std::string(9000, 'w') + ">))";
  };
  auto read = read_functional(text(fits));
  ASSERT_TRUE(read.has_value()) << read.error().text();
  EXPECT_EQ(read->iri(read->intern_iri(ns + fits)).size(), 8192u);
  // one byte more: refused at the name, before it is built; an IRI written
  // out in full is not the reader's to refuse
  auto refused = read_functional(text(fits + "a"));
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().message(), "expanded IRI exceeds maximum length of 8192 bytes");
  EXPECT_EQ(refused.error().line(), 3u);
  EXPECT_EQ(refused.error().column(), 19u);
}

TEST(FunctionalReader, EveryTruncationOfTheFixtureIsAnError) {
  std::string text = read_test_data("fixture.ofn");
  size_t last = text.rfind(')');
  for (size_t cut = 0; cut < last; ++cut) {
    auto result = read_functional(std::string_view(text).substr(0, cut));
    ASSERT_FALSE(result.has_value()) << "cut at " << cut;
    EXPECT_GT(result.error().line(), 0u);
  }
}

TEST(FunctionalReader, DeepNestingIsRefusedWithoutRecursion) {
  constexpr int kDepth = 1000000;
  std::string text = header("");
  text.resize(text.size() - 2);
  text += "SubClassOf(:A ";
  for (int i = 0; i < kDepth; ++i) text += "ObjectComplementOf(";
  text += ":B";
  text.append(kDepth, ')');
  text += ")\n)";
  auto result = read_functional(text);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().kind(), ErrorKind::Limit);
  EXPECT_EQ(result.error().message(), "nesting deeper than 2048 levels");

  // Within the limit the same shape reads, and the node arena holds it flat.
  std::string ok = header("SubClassOf(:A " + std::string() );
  ok.resize(ok.size() - 2);
  for (int i = 0; i < 2000; ++i) ok += "ObjectComplementOf(";
  ok += ":B" + std::string(2000, ')') + ")\n)";
  auto fine = read_functional(ok);
  ASSERT_TRUE(fine.has_value()) << fine.error().text();
  EXPECT_EQ(fine->component_count(), 2u);
}

}  // namespace
}  // namespace trelvanic_owl
