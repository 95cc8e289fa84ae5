// Whole loads of RDF documents: what the triple mapping carries over, and
// that every triple it cannot carry over shows as a warning and a skipped
// axiom (a strict load fails on it).
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "map_test_support.h"
#include "parser/load.h"
#include "tests/cpp/rdf/blank_labels.h"
#include "temp_tree.h"

namespace trelvanic_parser {
namespace {

using testing::TempTree;

constexpr std::string_view kTurtlePrefixes =
    "@prefix : <http://ex.org/> .\n"
    "@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n"
    "<http://ex.org/o> a owl:Ontology .\n";

struct Loaded {
  std::vector<std::string> told, dl, warnings;
  uint64_t skipped = 0;
};

// Blank-node labels differ between readers and runs.
std::vector<std::string> without_labels(std::vector<std::string> texts) {
  for (std::string& t : texts) t = trelvanic_test::without_blank_labels(t, "):");
  return texts;
}

Loaded lenient(const std::string& path) {
  auto o = load_ontology_lenient(path);
  EXPECT_TRUE(o) << (o ? "" : o.error().message());
  if (!o) return {};
  const auto& meta = *o->parse_meta();
  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  return Loaded{sorted(testing::told_axioms(*o)), sorted(testing::dl_axioms(*o)), without_labels(meta.warnings),
                meta.skipped_axiom_count};
}

std::string strict_error(const std::string& path) {
  auto o = load_ontology(path);
  return o ? "" : o.error().message();
}

// Named classes carrying their constructors, an undeclared property, an
// unknown OWL term and a restriction with two fillers: the Turtle and the
// RDF/XML spelling of one document.
constexpr std::string_view kFixtureTurtle =
    ":A a owl:Class ; owl:intersectionOf ( :B :C ) .\n"
    ":U a owl:Class ; owl:unionOf ( :B :C ) .\n"
    ":N a owl:Class ; owl:complementOf :B .\n"
    ":O a owl:Class ; owl:oneOf ( :i :j ) .\n"
    ":x :undeclared :y .\n"
    ":B owl:someWeirdOwlTerm :C .\n"
    ":B rdfs:subClassOf [ a owl:Restriction ; owl:onProperty :p ; owl:someValuesFrom :C ; owl:allValuesFrom :B ] .\n";

constexpr std::string_view kFixtureRdfXml = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"
         xmlns:owl="http://www.w3.org/2002/07/owl#"
         xmlns:ex="http://ex.org/">
  <owl:Ontology rdf:about="http://ex.org/o"/>
  <owl:Class rdf:about="http://ex.org/A">
    <owl:intersectionOf rdf:parseType="Collection">
      <rdf:Description rdf:about="http://ex.org/B"/><rdf:Description rdf:about="http://ex.org/C"/>
    </owl:intersectionOf>
  </owl:Class>
  <owl:Class rdf:about="http://ex.org/U">
    <owl:unionOf rdf:parseType="Collection">
      <rdf:Description rdf:about="http://ex.org/B"/><rdf:Description rdf:about="http://ex.org/C"/>
    </owl:unionOf>
  </owl:Class>
  <owl:Class rdf:about="http://ex.org/N"><owl:complementOf rdf:resource="http://ex.org/B"/></owl:Class>
  <owl:Class rdf:about="http://ex.org/O">
    <owl:oneOf rdf:parseType="Collection">
      <rdf:Description rdf:about="http://ex.org/i"/><rdf:Description rdf:about="http://ex.org/j"/>
    </owl:oneOf>
  </owl:Class>
  <rdf:Description rdf:about="http://ex.org/x"><ex:undeclared rdf:resource="http://ex.org/y"/></rdf:Description>
  <rdf:Description rdf:about="http://ex.org/B">
    <owl:someWeirdOwlTerm rdf:resource="http://ex.org/C"/>
    <rdfs:subClassOf>
      <owl:Restriction>
        <owl:onProperty rdf:resource="http://ex.org/p"/>
        <owl:someValuesFrom rdf:resource="http://ex.org/C"/>
        <owl:allValuesFrom rdf:resource="http://ex.org/B"/>
      </owl:Restriction>
    </rdfs:subClassOf>
  </rdf:Description>
</rdf:RDF>
)";

TEST(LoadRdf, NothingOfTheFixtureIsDroppedWithoutAWordInEitherSyntax) {
  TempTree tree;
  const std::string ttl = tree.write("f.ttl", std::string(kTurtlePrefixes) + std::string(kFixtureTurtle));
  const std::string rdf = tree.write("f.rdf", kFixtureRdfXml);
  const Loaded expected{
      {"ObjectPropertyAssertion(x undeclared y)"},
      {"EquivalentClasses(A And(B C))", "EquivalentClasses(N Not(B))", "EquivalentClasses(O OneOf(i j))",
       "EquivalentClasses(U Or(B C))"},
      {"undeclared property http://ex.org/undeclared declared as an object property by its use",
       "cannot map _:*: a restriction needs exactly one kind of restriction and filler",
       "RDF triple not mapped: <http://ex.org/B> <http://www.w3.org/2002/07/owl#someWeirdOwlTerm> "
       "<http://ex.org/C> .",
       "RDF triple not mapped: <http://ex.org/B> <http://www.w3.org/2000/01/rdf-schema#subClassOf> _:* . "
       "(with 4 triples below it)"},
      2};
  for (const std::string& path : {ttl, rdf}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(strict_error(path), "parse error: strict parse: skipped 2 axioms due to limits or mapping failures");
    const Loaded got = lenient(path);
    EXPECT_EQ(got.told, expected.told);
    EXPECT_EQ(got.dl, expected.dl);
    EXPECT_EQ(got.warnings, expected.warnings);
    EXPECT_EQ(got.skipped, expected.skipped);
  }
}

struct Case {
  const char* name;
  const char* turtle;
  std::vector<std::string> told, dl, warnings;
  uint64_t skipped;
};

class LoadRdfCases : public ::testing::TestWithParam<Case> {};

TEST_P(LoadRdfCases, StoresWarnsAndSkips) {
  const Case& c = GetParam();
  TempTree tree;
  const Loaded got = lenient(tree.write("c.ttl", std::string(kTurtlePrefixes) + c.turtle));
  EXPECT_EQ(got.told, c.told);
  EXPECT_EQ(got.dl, c.dl);
  EXPECT_EQ(got.warnings, c.warnings);
  EXPECT_EQ(got.skipped, c.skipped);
}

std::string not_mapped(std::string_view triple) { return fmt::format("RDF triple not mapped: {}", triple); }
std::string by_use(std::string_view property, std::string_view kind) {
  return fmt::format("undeclared property http://ex.org/{} declared as {} property by its use", property, kind);
}

INSTANTIATE_TEST_SUITE_P(
    NamedConstructors, LoadRdfCases,
    ::testing::Values(
        // Each constructor triple of a name is one definition.
        Case{"TwoConstructorsOnOneName", ":A owl:intersectionOf ( :B :C ) ; owl:unionOf ( :D :E ) .", {},
             {"EquivalentClasses(A And(B C))", "EquivalentClasses(A Or(D E))"}, {}, 0},
        Case{"NestedBlankOperand", ":A owl:intersectionOf ( :B [ owl:complementOf :C ] ) .", {},
             {"EquivalentClasses(A And(B Not(C)))"}, {}, 0},
        Case{"NamedDatatypeEnumeration", ":D a rdfs:Datatype ; owl:oneOf ( \"a\" \"b\" ) .", {},
             {"DatatypeDefinition(D Or(\"a\"^^http://www.w3.org/2001/XMLSchema#string "
              "\"b\"^^http://www.w3.org/2001/XMLSchema#string))"},
             {}, 0},
        // A literal in a class enumeration: the whole definition is refused.
        Case{"LiteralInClassEnumeration", ":A a owl:Class ; owl:oneOf ( :i \"x\" ) .", {}, {},
             {not_mapped("<http://ex.org/A> <http://www.w3.org/2002/07/owl#oneOf> _:* . (with 4 triples below it)")},
             1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    UndeclaredProperties, LoadRdfCases,
    ::testing::Values(
        Case{"DataByLiteral", ":x :d \"5\"^^xsd:integer .", {},
             {"DataPropertyAssertion(x d \"5\"^^http://www.w3.org/2001/XMLSchema#integer)"},
             {by_use("d", "a data")}, 0},
        // Used both ways: no kind is guessed, each triple is reported.
        Case{"MixedUsesAreReported", ":x :m :y . :x :m \"v\" .", {}, {},
             {not_mapped("<http://ex.org/x> <http://ex.org/m> <http://ex.org/y> ."),
              not_mapped("<http://ex.org/x> <http://ex.org/m> \"v\" .")},
             2},
        // The kind passes along sub-property and equivalence links; the
        // property axioms over the properties are then mapped as well.
        Case{"KindsFollowPropertyLinks",
             ":x :p :y . :q rdfs:subPropertyOf :p . :r owl:equivalentProperty :q . :q rdfs:domain :A .",
             {"EquivalentObjectProperties(q r)", "ObjectPropertyAssertion(x p y)", "ObjectPropertyDomain(q A)",
              "SubObjectPropertyOf(q p)"},
             {}, {by_use("p", "an object"), by_use("q", "an object"), by_use("r", "an object")}, 0},
        // Linked to properties of both kinds: no kind is guessed.
        Case{"LinksToBothKinds",
             ":x :p :y . :x :d \"1\"^^xsd:integer . :q rdfs:subPropertyOf :p , :d .",
             {"ObjectPropertyAssertion(x p y)"},
             {"DataPropertyAssertion(x d \"1\"^^http://www.w3.org/2001/XMLSchema#integer)"},
             {by_use("p", "an object"), by_use("d", "a data"),
              not_mapped("<http://ex.org/q> <http://www.w3.org/2000/01/rdf-schema#subPropertyOf> <http://ex.org/p> ."),
              not_mapped("<http://ex.org/q> <http://www.w3.org/2000/01/rdf-schema#subPropertyOf> <http://ex.org/d> .")},
             2},
        Case{"DeclaredPropertyGivesItsKindToAnUndeclaredOne",
             ":d a owl:DatatypeProperty . :e rdfs:subPropertyOf :d .", {}, {"SubDataPropertyOf"},
             {by_use("e", "a data")}, 0},
        // rdf:Property adds nothing to a property of known kind, and
        // tells no kind of its own.
        Case{"RdfPropertyTyping", ":p a rdf:Property . :x :p :y . :q a rdf:Property .",
             {"ObjectPropertyAssertion(x p y)"}, {},
             {by_use("p", "an object"),
              not_mapped("<http://ex.org/q> <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> "
                         "<http://www.w3.org/1999/02/22-rdf-syntax-ns#Property> .")},
             1},
        // Annotations of the ontology are no use as an assertion.
        Case{"HeaderAnnotationOnly", "<http://ex.org/o> :creator \"me\" , ( :a :b ) .", {}, {}, {}, 0},
        Case{"ReservedVocabularyIsNotGuessed", ":x rdfs:member :y .", {}, {},
             {not_mapped("<http://ex.org/x> <http://www.w3.org/2000/01/rdf-schema#member> <http://ex.org/y> .")},
             1}),
    [](const auto& info) { return std::string(info.param.name); });

// A malformed restriction or list refuses the whole axiom: nothing of it
// reaches a store, one skipped axiom names its top triple.
INSTANTIATE_TEST_SUITE_P(
    Malformed, LoadRdfCases,
    ::testing::Values(
        Case{"NoProperty", ":A rdfs:subClassOf [ a owl:Restriction ; owl:someValuesFrom :B ] .", {}, {},
             {"cannot map _:*: not a class expression",
              not_mapped("<http://ex.org/A> <http://www.w3.org/2000/01/rdf-schema#subClassOf> _:* . "
                         "(with 2 triples below it)")},
             1},
        Case{"TwoProperties",
             ":A rdfs:subClassOf [ owl:onProperty :p , :q ; owl:someValuesFrom :B ] .", {}, {},
             {"cannot map _:*: owl:onProperty given twice",
              not_mapped("<http://ex.org/A> <http://www.w3.org/2000/01/rdf-schema#subClassOf> _:* . "
                         "(with 3 triples below it)")},
             1},
        Case{"ListThatIsNotAList", ":A owl:equivalentClass [ owl:unionOf :B ] .", {}, {},
             {"ill-founded RDF list at <http://ex.org/B>: list node is not a blank node",
              not_mapped("<http://ex.org/A> <http://www.w3.org/2002/07/owl#equivalentClass> _:* . "
                         "(with 1 triples below it)")},
             1},
        // A stray restriction nothing points at is one report; no axiom
        // uses it, so nothing is lost.
        Case{"StrayRestriction", "[] a owl:Restriction ; owl:onProperty :p ; owl:someValuesFrom :B .", {}, {},
             {not_mapped("_:* <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> "
                         "<http://www.w3.org/2002/07/owl#Restriction> . (with 2 triples below it)")},
             0},
        // Triples about the built-in vocabulary are noted, and lose nothing;
        // about owl:Thing they could be axioms.
        Case{"AboutVocabulary", "owl:inverseOf a rdf:Property .", {}, {},
             {not_mapped("<http://www.w3.org/2002/07/owl#inverseOf> <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> "
                         "<http://www.w3.org/1999/02/22-rdf-syntax-ns#Property> .")},
             0}),
    [](const auto& info) { return std::string(info.param.name); });

// A warning quotes a few hundred bytes of its triple at most, cut between
// characters.
TEST(LoadRdf, LongTriplesAreQuotedInPart) {
  TempTree tree;
  std::string long_text;
  for (int i = 0; i < 400; ++i) long_text += "\xC3\xA9";  // é
  const Loaded got = lenient(
      tree.write("l.ttl", std::string(kTurtlePrefixes) + ":x rdfs:member \"" + long_text + "\" .\n"));
  ASSERT_EQ(got.warnings.size(), 1u);
  const std::string& w = got.warnings[0];
  EXPECT_TRUE(w.starts_with("RDF triple not mapped: <http://ex.org/x>"));
  EXPECT_LE(w.size(), 350u);
  EXPECT_NE(w.find("\xC3\xA9... ("), std::string::npos) << w;
  EXPECT_EQ(got.skipped, 1u);
}

}  // namespace
}  // namespace trelvanic_parser
