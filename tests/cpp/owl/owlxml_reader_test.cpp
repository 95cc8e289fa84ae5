#include "owl/owlxml_reader.h"

#include <string>

#include <fmt/format.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "owl/functional_reader.h"
#include "tests/cpp/owl/owl_test_support.h"

namespace trelvanic_owl {
namespace {


TEST(OwlXmlReader, FixtureGivesTheSameComponentsAsFunctionalSyntax) {
  auto xml = read_owlxml(read_test_data("fixture.owx"));
  ASSERT_TRUE(xml.has_value()) << xml.error().text();
  auto ofn = read_functional(read_test_data("fixture.ofn"));
  ASSERT_TRUE(ofn.has_value()) << ofn.error().text();
  EXPECT_EQ(rendered(*xml), rendered(*ofn));
}

std::string document(std::string_view body) {
  return "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" "
         "ontologyIRI=\"http://x/o\">\n" +
         std::string(body) + "\n</Ontology>\n";
}

struct BadInput {
  const char* name;
  std::string text;
  ErrorKind kind;
  const char* message;
  uint32_t line;
};

TEST(OwlXmlReader, MalformedInputGivesMessageAndPosition) {
  const BadInput cases[] = {
      {"unbalanced", document("<SubClassOf><Class IRI=\"#A\"/><Class IRI=\"#B\"/>"), ErrorKind::Xml,
       "Opening and ending tag mismatch: SubClassOf line 3 and Ontology", 4},
      {"truncated", document("<SubClassOf><Class IRI=\"#A\"/>").substr(0, 120), ErrorKind::Xml, "", 3},
      {"unknown element", document("\n<SubClassOf><Class IRI=\"#A\"/><Klass IRI=\"#B\"/></SubClassOf>"),
       ErrorKind::Syntax, "unknown element 'Klass'", 4},
      {"text in construct", document("<SubClassOf>A B</SubClassOf>"), ErrorKind::Syntax, "unexpected text", 3},
      {"undeclared prefix", document("<SubClassOf><Class IRI=\"#A\"/><Class abbreviatedIRI=\"ex:B\"/></SubClassOf>"),
       ErrorKind::Syntax, "undeclared prefix 'ex:'", 3},
      {"entity without IRI", document("<Declaration><Class/></Declaration>"), ErrorKind::Syntax,
       "Class needs an IRI or abbreviatedIRI attribute", 3},
      {"wrong operand", document("<SubClassOf><Class IRI=\"#A\"/><Literal>x</Literal></SubClassOf>"),
       ErrorKind::Syntax, "a literal cannot stand here in SubClassOf: expected a class expression", 3},
      {"missing operand", document("<SubClassOf>\n<Class IRI=\"#A\"/>\n</SubClassOf>"), ErrorKind::Syntax,
       "SubClassOf is missing a class expression", 3},
      {"bad cardinality", document("<SubClassOf><Class IRI=\"#A\"/><ObjectMinCardinality cardinality=\"-1\">"
                                   "<ObjectProperty IRI=\"#p\"/></ObjectMinCardinality></SubClassOf>"),
       ErrorKind::Syntax, "ObjectMinCardinality needs a non-negative cardinality attribute", 3},
      {"not OWL", "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>",
       ErrorKind::Syntax, "the root element is not an OWL Ontology but 'RDF'", 2},
      {"not XML", "Ontology(<http://x/o>)", ErrorKind::Xml, "", 1},
      {"empty", "", ErrorKind::Xml, "", 1},
  };
  for (const BadInput& c : cases) {
    auto result = read_owlxml(c.text);
    ASSERT_FALSE(result.has_value()) << c.name;
    EXPECT_EQ(result.error().kind(), c.kind) << c.name;
    // libxml2's own messages are its wording; ours are checked exactly
    if (c.kind == ErrorKind::Xml) {
      EXPECT_FALSE(result.error().message().empty()) << c.name;
      EXPECT_GT(result.error().column(), 0u) << c.name;
    } else {
      EXPECT_EQ(result.error().message(), c.message) << c.name;
    }
    EXPECT_EQ(result.error().line(), c.line) << c.name;
  }
}

TEST(OwlXmlReader, TextThatIsNotUtf8IsRefusedWhereverItStands) {
  const char* places[] = {
      "<Declaration><Class IRI=\"http://x/A{}\"/></Declaration>",
      "<Prefix name=\"p{}\" IRI=\"http://x/\"/>",
      "<Declaration><Class abbreviatedIRI=\"owl:{}\"/></Declaration>",
      "<AnnotationAssertion><AnnotationProperty IRI=\"http://x/l\"/><IRI>http://x/a</IRI>"
      "<Literal xml:lang=\"en\">caf\u00e9 {}</Literal></AnnotationAssertion>",
      "<!-- {} -->",
  };
  for (const Utf8Sample& sample : kBadUtf8) {
    for (const char* place : places) {
      auto result = read_owlxml(document(fmt::format(fmt::runtime(place), sample.bad)));
      ASSERT_FALSE(result.has_value()) << sample.name << " in " << place;
      EXPECT_EQ(result.error().line(), 3u) << sample.name << " in " << place;
    }
  }
}

TEST(OwlXmlReader, TruncationsOfTheFixtureAreErrors) {
  std::string text = read_test_data("fixture.owx");
  size_t last = text.rfind("</Ontology>");
  for (size_t cut = 0; cut < last; cut += 7) {
    auto result = read_owlxml(std::string_view(text).substr(0, cut));
    ASSERT_FALSE(result.has_value()) << "cut at " << cut;
    EXPECT_GT(result.error().line(), 0u) << "cut at " << cut;
  }
}

TEST(OwlXmlReader, DeepNestingIsRefused) {
  constexpr int kDepth = 1000000;
  std::string body = "<SubClassOf><Class IRI=\"#A\"/>";
  for (int i = 0; i < kDepth; ++i) body += "<ObjectComplementOf>";
  body += "<Class IRI=\"#B\"/>";
  for (int i = 0; i < kDepth; ++i) body += "</ObjectComplementOf>";
  body += "</SubClassOf>";
  auto result = read_owlxml(document(body));
  ASSERT_FALSE(result.has_value());
  EXPECT_THAT(result.error().message(), testing::HasSubstr("depth"));

  // Our own limit applies below libxml2's.
  std::string shallow = "<SubClassOf><Class IRI=\"#A\"/>";
  for (int i = 0; i < 20; ++i) shallow += "<ObjectComplementOf>";
  shallow += "<Class IRI=\"#B\"/>";
  for (int i = 0; i < 20; ++i) shallow += "</ObjectComplementOf>";
  shallow += "</SubClassOf>";
  auto limited = read_owlxml(document(shallow), ReaderSettings{.max_depth = 10});
  ASSERT_FALSE(limited.has_value());
  EXPECT_EQ(limited.error().kind(), ErrorKind::Limit);
  EXPECT_EQ(limited.error().message(), "nesting deeper than 10 levels");
  EXPECT_TRUE(read_owlxml(document(shallow)).has_value());
}

TEST(OwlXmlReader, EntityExpansionStaysBounded) {
  // The "billion laughs": ten levels of ten references each.
  std::string dtd = "<!DOCTYPE Ontology [\n<!ENTITY l0 \"lol\">\n";
  for (int i = 1; i <= 10; ++i) {
    dtd += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) dtd += "&l" + std::to_string(i - 1) + ";";
    dtd += "\">\n";
  }
  dtd += "]>\n";
  std::string text = "<?xml version=\"1.0\"?>\n" + dtd +
                     "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"><AnnotationAssertion>"
                     "<AnnotationProperty IRI=\"http://x/l\"/><IRI>http://x/a</IRI><Literal>&l10;</Literal>"
                     "</AnnotationAssertion></Ontology>";
  // refused before parsing under the size limit, and by libxml2 itself without it
  auto result = read_owlxml(text);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().kind(), ErrorKind::Limit);
  auto unlimited = read_owlxml(text, ReaderSettings{.max_expanded_bytes = UINT64_MAX});
  ASSERT_FALSE(unlimited.has_value());
  EXPECT_EQ(unlimited.error().kind(), ErrorKind::Xml);
}

TEST(OwlXmlReader, DocumentsThatEntitiesWouldBlowUpAreRefusedBeforeParsing) {
  // One entity, used in many IRIs: no nesting for libxml2 to object to.
  auto text = [](int uses) {
    std::string out = "<?xml version=\"1.0\"?>\n<!DOCTYPE Ontology [<!ENTITY e \"" + std::string(1000, 'a') +
                      "\">]>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\">\n";
    for (int i = 0; i < uses; ++i) {
      out += "<Declaration><Class IRI=\"http://x/&e;" + std::to_string(i) + "\"/></Declaration>\n";
    }
    return out + "</Ontology>\n";
  };
  const std::string fits = text(10);
  auto read = read_owlxml(fits, ReaderSettings{.max_expanded_bytes = fits.size() + 10 * 1000});
  ASSERT_TRUE(read.has_value()) << read.error().text();
  EXPECT_EQ(read->component_count(), 10u);
  auto refused = read_owlxml(fits, ReaderSettings{.max_expanded_bytes = fits.size() + 10 * 1000 - 1});
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().kind(), ErrorKind::Limit);
  EXPECT_EQ(refused.error().message(), fmt::format("expanded XML size exceeds limit of {} bytes during entity expansion",
                                                   fits.size() + 10 * 1000 - 1));
  // the default limit: 300,000 uses of 1,000 bytes from a file of 24 MB
  auto large = read_owlxml(text(300000));
  ASSERT_FALSE(large.has_value());
  EXPECT_EQ(large.error().kind(), ErrorKind::Limit);
}

TEST(OwlXmlReader, AnIriBuiltFromAPrefixOrTheBaseMayNotPassTheIriLengthLimit) {
  const std::string ns = "http://x/" + std::string(8000, 'n') + "/";
  const std::string fits(8192 - ns.size(), 'a');
  auto text = [&](std::string_view base, std::string_view prefix, std::string_view iri, std::string_view abbreviated) {
    return "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"" +
           std::string(base) + "\">\n<Prefix name=\"p\" IRI=\"" + std::string(prefix) +
           "\"/>\n<Declaration><Class IRI=\"" + std::string(iri) + "\"/></Declaration>\n" +
           "<Declaration><Class abbreviatedIRI=\"p:" + std::string(abbreviated) + "\"/></Declaration>\n</Ontology>\n";
  };
  auto read = read_owlxml(text(ns, ns, fits, fits));
  ASSERT_TRUE(read.has_value()) << read.error().text();
  EXPECT_EQ(read->component_count(), 1u);  // the same class, written two ways
  const std::string long_iri = "http://x/" + std::string(9000, 'w');
  EXPECT_TRUE(read_owlxml(text(ns, ns, long_iri, fits)).has_value());
  const std::pair<std::string, uint32_t> over[] = {{text(ns, ns, fits + "a", fits), 4},
                                                    {text(ns, ns, fits, fits + "a"), 5}};
  for (const auto& [doc, line] : over) {
    auto refused = read_owlxml(doc);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().message(), "expanded IRI exceeds maximum length of 8192 bytes");
    EXPECT_EQ(refused.error().line(), line);
  }
}

TEST(OwlXmlReader, ExternalEntitiesAreNotLoaded) {
  std::string path = std::string(TRELVANIC_TEST_DATA) + "/owl/fixture.ofn";
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE Ontology [<!ENTITY secret SYSTEM \"file://" + path +
                     "\">]>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\"><AnnotationAssertion>"
                     "<AnnotationProperty IRI=\"http://x/l\"/><IRI>http://x/a</IRI><Literal>&secret;</Literal>"
                     "</AnnotationAssertion></Ontology>";
  auto result = read_owlxml(text);
  if (result.has_value()) {
    for (const std::string& line : rendered(*result)) EXPECT_THAT(line, testing::Not(testing::HasSubstr("Prefix")));
  }
}

TEST(OwlXmlReader, ForeignElementsAreSkippedWhole) {
  auto result = read_owlxml(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xmlns:x=\"http://x/\">"
      "<x:note><Declaration><Class IRI=\"http://x/Hidden\"/></Declaration></x:note>"
      "<Declaration><Class IRI=\"http://x/A\"/></Declaration><x:empty/>"
      "<Declaration><Class IRI=\"http://x/B\"/></Declaration></Ontology>");
  ASSERT_TRUE(result.has_value()) << result.error().text();
  EXPECT_THAT(rendered(*result),
              testing::ElementsAre("Declaration(Class(<http://x/A>))", "Declaration(Class(<http://x/B>))"));
}

TEST(OwlXmlReader, RelativeIrisResolveAgainstTheBase) {
  auto result = read_owlxml(
      "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://x/dir/o.owl\">"
      "<Declaration><Class IRI=\"#A\"/></Declaration><Declaration><Class IRI=\"B\"/></Declaration>"
      "<Declaration><Class IRI=\"urn:c\"/></Declaration></Ontology>");
  ASSERT_TRUE(result.has_value()) << result.error().text();
  EXPECT_THAT(rendered(*result), testing::ElementsAre("Declaration(Class(<http://x/dir/o.owl#A>))",
                                                      "Declaration(Class(<http://x/dir/B>))",
                                                      "Declaration(Class(<urn:c>))"));
}

}  // namespace
}  // namespace trelvanic_owl
