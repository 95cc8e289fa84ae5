// Every rule that concludes "false": its problem, and a near-miss input
// that must stay quiet.
#include <gtest/gtest.h>

#include "fixture.h"

namespace trelvanic_materializer {
namespace {

using testing::Text;

struct ProblemCase {
  const char* rule;
  std::vector<Text> input;
  std::vector<Text> quiet;  // the same shape, consistent
};

class ProblemTest : public ::testing::TestWithParam<ProblemCase> {};

std::vector<std::string> problems_of(const std::vector<Text>& input) {
  Materializer m;
  EXPECT_TRUE(m.load_terms(testing::parse(input)));
  EXPECT_TRUE(m.reason());
  for (const Problem& p : m.problems()) EXPECT_FALSE(p.message.empty());
  return testing::rule_names(m);
}

TEST_P(ProblemTest, RecordsTheRuleAndStaysQuietOtherwise) {
  const ProblemCase& c = GetParam();
  EXPECT_EQ(problems_of(c.input), std::vector<std::string>{c.rule});
  EXPECT_TRUE(problems_of(c.quiet).empty()) << c.rule;
}

const ProblemCase kProblemCases[] = {
    {"eq-diff1", {{"ex:a", "owl:sameAs", "ex:b"}, {"ex:a", "owl:differentFrom", "ex:b"}},
     {{"ex:a", "owl:sameAs", "ex:b"}, {"ex:a", "owl:differentFrom", "ex:c"}}},
    {"eq-diff1", {{"ex:p", "rdf:type", "owl:FunctionalProperty"}, {"ex:x", "ex:p", "ex:a"}, {"ex:x", "ex:p", "ex:b"}, {"ex:b", "owl:differentFrom", "ex:a"}},
     {{"ex:p", "rdf:type", "owl:FunctionalProperty"}, {"ex:x", "ex:p", "ex:a"}, {"ex:y", "ex:p", "ex:b"}, {"ex:b", "owl:differentFrom", "ex:a"}}},
    {"eq-diff2", {{"_:d", "rdf:type", "owl:AllDifferent"}, {"_:d", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:a"}, {"_:l1", "rdf:rest", "_:l2"},
                  {"_:l2", "rdf:first", "ex:b"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:a", "owl:sameAs", "ex:b"}},
     {{"_:d", "rdf:type", "owl:AllDifferent"}, {"_:d", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:a"}, {"_:l1", "rdf:rest", "_:l2"},
      {"_:l2", "rdf:first", "ex:b"}, {"_:l2", "rdf:rest", "rdf:nil"}}},
    {"eq-diff3", {{"_:d", "rdf:type", "owl:AllDifferent"}, {"_:d", "owl:distinctMembers", "_:l1"}, {"_:l1", "rdf:first", "ex:a"}, {"_:l1", "rdf:rest", "_:l2"},
                  {"_:l2", "rdf:first", "ex:b"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:b", "owl:sameAs", "ex:a"}},
     {{"_:d", "rdf:type", "owl:AllDifferent"}, {"_:d", "owl:distinctMembers", "_:l1"}, {"_:l1", "rdf:first", "ex:a"}, {"_:l1", "rdf:rest", "rdf:nil"}}},
    {"prp-irp", {{"ex:p", "rdf:type", "owl:IrreflexiveProperty"}, {"ex:a", "ex:p", "ex:a"}},
     {{"ex:p", "rdf:type", "owl:IrreflexiveProperty"}, {"ex:a", "ex:p", "ex:b"}}},
    {"prp-irp", {{"ex:p", "rdf:type", "owl:IrreflexiveProperty"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "owl:sameAs", "ex:b"}},
     {{"ex:q", "rdf:type", "owl:IrreflexiveProperty"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "owl:sameAs", "ex:b"}}},
    {"prp-asyp", {{"ex:p", "rdf:type", "owl:AsymmetricProperty"}, {"ex:a", "ex:p", "ex:b"}, {"ex:q", "owl:inverseOf", "ex:p"}, {"ex:a", "ex:q", "ex:b"}},
     {{"ex:p", "rdf:type", "owl:AsymmetricProperty"}, {"ex:a", "ex:p", "ex:b"}, {"ex:b", "ex:p", "ex:c"}}},
    {"prp-pdw", {{"ex:p", "owl:propertyDisjointWith", "ex:q"}, {"ex:a", "ex:p", "ex:b"}, {"ex:r", "rdfs:subPropertyOf", "ex:q"}, {"ex:a", "ex:r", "ex:b"}},
     {{"ex:p", "owl:propertyDisjointWith", "ex:q"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:q", "ex:c"}}},
    {"prp-adp", {{"_:x", "rdf:type", "owl:AllDisjointProperties"}, {"_:x", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:p"}, {"_:l1", "rdf:rest", "_:l2"},
                 {"_:l2", "rdf:first", "ex:q"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:q", "ex:b"}},
     {{"_:x", "rdf:type", "owl:AllDisjointProperties"}, {"_:x", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:p"}, {"_:l1", "rdf:rest", "_:l2"},
      {"_:l2", "rdf:first", "ex:q"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:a", "ex:p", "ex:b"}, {"ex:b", "ex:q", "ex:a"}}},
    {"prp-npa1", {{"_:n", "owl:sourceIndividual", "ex:a"}, {"_:n", "owl:assertionProperty", "ex:p"}, {"_:n", "owl:targetIndividual", "ex:b"},
                  {"ex:a", "ex:q", "ex:b"}, {"ex:q", "rdfs:subPropertyOf", "ex:p"}},
     {{"_:n", "owl:sourceIndividual", "ex:a"}, {"_:n", "owl:assertionProperty", "ex:p"}, {"_:n", "owl:targetIndividual", "ex:b"}, {"ex:a", "ex:p", "ex:c"}}},
    {"prp-npa2", {{"_:n", "owl:sourceIndividual", "ex:a"}, {"_:n", "owl:assertionProperty", "ex:p"}, {"_:n", "owl:targetValue", "\"v\""}, {"ex:a", "ex:p", "\"v\""}},
     {{"_:n", "owl:sourceIndividual", "ex:a"}, {"_:n", "owl:assertionProperty", "ex:p"}, {"_:n", "owl:targetValue", "\"v\""}, {"ex:a", "ex:p", "\"w\""}}},
    {"cls-nothing2", {{"ex:A", "rdfs:subClassOf", "owl:Nothing"}, {"ex:x", "rdf:type", "ex:A"}}, {{"ex:A", "rdfs:subClassOf", "owl:Nothing"}}},
    {"cls-com", {{"ex:A", "owl:complementOf", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:x", "rdf:type", "ex:B"}},
     {{"ex:A", "owl:complementOf", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:y", "rdf:type", "ex:B"}}},
    {"cls-maxc1", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxCardinality", "\"0\"^^xsd:nonNegativeInteger"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}},
     {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxCardinality", "\"0\"^^xsd:nonNegativeInteger"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:b", "ex:p", "ex:a"}}},
    {"cls-maxqc1", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"0\"^^xsd:nonNegativeInteger"}, {"ex:R", "owl:onClass", "ex:C"},
                    {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}, {"ex:b", "rdf:type", "ex:C"}},
     {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"0\"^^xsd:nonNegativeInteger"}, {"ex:R", "owl:onClass", "ex:C"},
      {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}}},
    {"cls-maxqc2", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"0\"^^xsd:nonNegativeInteger"}, {"ex:R", "owl:onClass", "owl:Thing"},
                    {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}},
     {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"1\"^^xsd:nonNegativeInteger"}, {"ex:R", "owl:onClass", "owl:Thing"},
      {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}}},
    {"cax-dw", {{"ex:A", "owl:disjointWith", "ex:B"}, {"ex:C", "rdfs:subClassOf", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:x", "rdf:type", "ex:C"}},
     {{"ex:A", "owl:disjointWith", "ex:B"}, {"ex:B", "rdfs:subClassOf", "ex:C"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:x", "rdf:type", "ex:C"}}},
    {"cax-adc", {{"_:x", "rdf:type", "owl:AllDisjointClasses"}, {"_:x", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:A"}, {"_:l1", "rdf:rest", "_:l2"},
                 {"_:l2", "rdf:first", "ex:B"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:x", "rdf:type", "ex:B"}},
     {{"_:x", "rdf:type", "owl:AllDisjointClasses"}, {"_:x", "owl:members", "_:l1"}, {"_:l1", "rdf:first", "ex:A"}, {"_:l1", "rdf:rest", "_:l2"},
      {"_:l2", "rdf:first", "ex:B"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:y", "rdf:type", "ex:B"}}},
    {"prp-fp", {{"ex:d", "rdf:type", "owl:FunctionalProperty"}, {"ex:a", "ex:d", "\"1\"^^xsd:integer"}, {"ex:a", "ex:d", "\"2\"^^xsd:integer"}},
     {{"ex:d", "rdf:type", "owl:FunctionalProperty"}, {"ex:a", "ex:d", "\"1\"^^xsd:integer"}, {"ex:a", "ex:d", "\"1.0\"^^xsd:decimal"}}},
    {"cls-maxc2", {{"ex:R", "owl:onProperty", "ex:d"}, {"ex:R", "owl:maxCardinality", "\"1\"^^xsd:nonNegativeInteger"}, {"ex:a", "rdf:type", "ex:R"},
                   {"ex:a", "ex:d", "\"x\""}, {"ex:a", "ex:d", "\"y\""}},
     {{"ex:R", "owl:onProperty", "ex:d"}, {"ex:R", "owl:maxCardinality", "\"1\"^^xsd:nonNegativeInteger"}, {"ex:a", "rdf:type", "ex:R"},
      {"ex:a", "ex:d", "\"1.5\"^^xsd:double"}, {"ex:a", "ex:d", "\"15E-1\"^^xsd:double"}}},
    {"dt-not-type", {{"ex:a", "ex:p", "\"abc\"^^xsd:integer"}}, {{"ex:a", "ex:p", "\"42\"^^xsd:integer"}}},
    {"dt-not-type", {{"ex:p", "rdfs:range", "xsd:byte"}, {"ex:a", "ex:p", "\"300\"^^xsd:integer"}},
     {{"ex:p", "rdfs:range", "xsd:byte"}, {"ex:a", "ex:p", "\"100\"^^xsd:integer"}}},
    {"dt-not-type", {{"ex:p", "rdfs:range", "xsd:string"}, {"ex:a", "ex:p", "\"5\"^^xsd:integer"}},
     {{"ex:p", "rdfs:range", "rdfs:Literal"}, {"ex:a", "ex:p", "\"5\"^^xsd:integer"}}},
};

INSTANTIATE_TEST_SUITE_P(Problems, ProblemTest, ::testing::ValuesIn(kProblemCases));

}  // namespace
}  // namespace trelvanic_materializer
