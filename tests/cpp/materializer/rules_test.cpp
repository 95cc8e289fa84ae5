// Rule-by-rule tests: each case is a small triple set, triples the closure
// must hold and triples it must not hold.
#include <algorithm>

#include <gtest/gtest.h>

#include "fixture.h"

namespace trelvanic_materializer {
namespace {

using testing::Text;

struct RuleCase {
  const char* rule;
  std::vector<Text> input;
  std::vector<Text> expected;
  std::vector<Text> absent = {};
};

class RuleTest : public ::testing::TestWithParam<RuleCase> {};

// Each case runs with its triples in the given order and reversed, so that
// both sides of a join (schema first, data first) fire the rule.
TEST_P(RuleTest, DerivesTheConclusion) {
  const RuleCase& c = GetParam();
  for (bool reversed : {false, true}) {
  std::vector<Text> input = c.input;
  if (reversed) std::reverse(input.begin(), input.end());
  SCOPED_TRACE(reversed ? "reversed" : "as given");
  Materializer m;
  ASSERT_TRUE(m.load_terms(testing::parse(input)));
  ASSERT_TRUE(m.reason());
  auto closure = testing::closure_set(m);
  for (const Text& t : c.expected) EXPECT_TRUE(closure.contains(testing::key(t))) << c.rule << ": missing " << testing::key(t);
  for (const Text& t : c.absent) EXPECT_FALSE(closure.contains(testing::key(t))) << c.rule << ": unexpected " << testing::key(t);
  EXPECT_TRUE(m.problems().empty()) << c.rule;
  }
}

const RuleCase kRuleCases[] = {
    {"prp-dom", {{"ex:p", "rdfs:domain", "ex:C"}, {"ex:a", "ex:p", "ex:b"}}, {{"ex:a", "rdf:type", "ex:C"}}, {{"ex:b", "rdf:type", "ex:C"}}},
    {"prp-rng", {{"ex:a", "ex:p", "ex:b"}, {"ex:p", "rdfs:range", "ex:C"}}, {{"ex:b", "rdf:type", "ex:C"}}, {{"ex:a", "rdf:type", "ex:C"}}},
    {"prp-rng literal stays internal", {{"ex:p", "rdfs:range", "xsd:integer"}, {"ex:a", "ex:p", "\"5\"^^xsd:integer"}}, {}, {{"\"5\"^^xsd:integer", "rdf:type", "xsd:integer"}}},
    {"prp-symp", {{"ex:p", "rdf:type", "owl:SymmetricProperty"}, {"ex:a", "ex:p", "ex:b"}}, {{"ex:b", "ex:p", "ex:a"}}},
    {"prp-trp", {{"ex:a", "ex:p", "ex:b"}, {"ex:b", "ex:p", "ex:c"}, {"ex:c", "ex:p", "ex:d"}, {"ex:p", "rdf:type", "owl:TransitiveProperty"}},
     {{"ex:a", "ex:p", "ex:c"}, {"ex:a", "ex:p", "ex:d"}, {"ex:b", "ex:p", "ex:d"}}, {{"ex:d", "ex:p", "ex:a"}}},
    {"prp-spo1", {{"ex:p", "rdfs:subPropertyOf", "ex:q"}, {"ex:q", "rdfs:subPropertyOf", "ex:r"}, {"ex:a", "ex:p", "ex:b"}},
     {{"ex:a", "ex:q", "ex:b"}, {"ex:a", "ex:r", "ex:b"}, {"ex:p", "rdfs:subPropertyOf", "ex:r"}}},
    {"prp-spo2", {{"ex:u", "owl:propertyChainAxiom", "_:l1"}, {"_:l1", "rdf:first", "ex:p"}, {"_:l1", "rdf:rest", "_:l2"},
                  {"_:l2", "rdf:first", "ex:q"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:a", "ex:p", "ex:b"}, {"ex:b", "ex:q", "ex:c"}},
     {{"ex:a", "ex:u", "ex:c"}}, {{"ex:a", "ex:u", "ex:b"}}},
    {"prp-spo2 list arriving last", {{"ex:a", "ex:p", "ex:b"}, {"ex:b", "ex:q", "ex:c"}, {"ex:u", "owl:propertyChainAxiom", "_:l1"},
                                     {"_:l2", "rdf:rest", "rdf:nil"}, {"_:l2", "rdf:first", "ex:q"}, {"_:l1", "rdf:rest", "_:l2"}, {"_:l1", "rdf:first", "ex:p"}},
     {{"ex:a", "ex:u", "ex:c"}}},
    {"prp-eqp1/2", {{"ex:p", "owl:equivalentProperty", "ex:q"}, {"ex:a", "ex:p", "ex:b"}, {"ex:c", "ex:q", "ex:d"}},
     {{"ex:a", "ex:q", "ex:b"}, {"ex:c", "ex:p", "ex:d"}}},
    {"prp-inv1/2", {{"ex:p", "owl:inverseOf", "ex:q"}, {"ex:a", "ex:p", "ex:b"}, {"ex:c", "ex:q", "ex:d"}},
     {{"ex:b", "ex:q", "ex:a"}, {"ex:d", "ex:p", "ex:c"}}},
    {"prp-fp", {{"ex:p", "rdf:type", "owl:FunctionalProperty"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:p", "ex:c"}, {"ex:b", "rdf:type", "ex:B"}},
     {{"ex:b", "owl:sameAs", "ex:c"}, {"ex:c", "owl:sameAs", "ex:b"}, {"ex:c", "rdf:type", "ex:B"}}},
    {"prp-ifp", {{"ex:p", "rdf:type", "owl:InverseFunctionalProperty"}, {"ex:a", "ex:p", "ex:z"}, {"ex:b", "ex:p", "ex:z"}},
     {{"ex:a", "owl:sameAs", "ex:b"}}},
    {"prp-key", {{"ex:C", "owl:hasKey", "_:k"}, {"_:k", "rdf:first", "ex:id"}, {"_:k", "rdf:rest", "rdf:nil"},
                 {"ex:a", "rdf:type", "ex:C"}, {"ex:b", "rdf:type", "ex:C"}, {"ex:c", "rdf:type", "ex:D"},
                 {"ex:a", "ex:id", "ex:n"}, {"ex:b", "ex:id", "ex:n"}, {"ex:c", "ex:id", "ex:n"}},
     {{"ex:a", "owl:sameAs", "ex:b"}}, {{"ex:a", "owl:sameAs", "ex:c"}}},
    {"cls-int1/int2", {{"ex:I", "owl:intersectionOf", "_:l1"}, {"_:l1", "rdf:first", "ex:A"}, {"_:l1", "rdf:rest", "_:l2"},
                       {"_:l2", "rdf:first", "ex:B"}, {"_:l2", "rdf:rest", "rdf:nil"},
                       {"ex:x", "rdf:type", "ex:A"}, {"ex:x", "rdf:type", "ex:B"}, {"ex:y", "rdf:type", "ex:A"}, {"ex:z", "rdf:type", "ex:I"}},
     {{"ex:x", "rdf:type", "ex:I"}, {"ex:z", "rdf:type", "ex:A"}, {"ex:z", "rdf:type", "ex:B"}, {"ex:I", "rdfs:subClassOf", "ex:A"}},
     {{"ex:y", "rdf:type", "ex:I"}}},
    {"cls-uni", {{"ex:U", "owl:unionOf", "_:l1"}, {"_:l1", "rdf:first", "ex:A"}, {"_:l1", "rdf:rest", "_:l2"},
                 {"_:l2", "rdf:first", "ex:B"}, {"_:l2", "rdf:rest", "rdf:nil"}, {"ex:x", "rdf:type", "ex:B"}},
     {{"ex:x", "rdf:type", "ex:U"}, {"ex:B", "rdfs:subClassOf", "ex:U"}}},
    {"cls-oo", {{"ex:O", "owl:oneOf", "_:l1"}, {"_:l1", "rdf:first", "ex:a"}, {"_:l1", "rdf:rest", "_:l2"},
                {"_:l2", "rdf:first", "ex:b"}, {"_:l2", "rdf:rest", "rdf:nil"}},
     {{"ex:a", "rdf:type", "ex:O"}, {"ex:b", "rdf:type", "ex:O"}}},
    {"cls-svf1", {{"_:r", "owl:onProperty", "ex:p"}, {"_:r", "owl:someValuesFrom", "ex:C"}, {"ex:a", "ex:p", "ex:b"},
                  {"ex:b", "rdf:type", "ex:C"}, {"ex:c", "ex:p", "ex:d"}},
     {{"ex:a", "rdf:type", "_:r"}}, {{"ex:c", "rdf:type", "_:r"}}},
    {"cls-svf1 data range", {{"_:r", "owl:onProperty", "ex:age"}, {"_:r", "owl:someValuesFrom", "xsd:decimal"},
                             {"ex:a", "ex:age", "\"5\"^^xsd:integer"}, {"ex:b", "ex:age", "\"five\""}},
     {{"ex:a", "rdf:type", "_:r"}}, {{"ex:b", "rdf:type", "_:r"}}},
    {"cls-svf2", {{"_:r", "owl:someValuesFrom", "owl:Thing"}, {"_:r", "owl:onProperty", "ex:p"}, {"ex:a", "ex:p", "ex:b"}},
     {{"ex:a", "rdf:type", "_:r"}}},
    {"cls-avf", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:allValuesFrom", "ex:C"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}},
     {{"ex:b", "rdf:type", "ex:C"}}},
    {"cls-hv1/hv2", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:hasValue", "ex:v"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:b", "ex:p", "ex:v"}},
     {{"ex:a", "ex:p", "ex:v"}, {"ex:b", "rdf:type", "ex:R"}}},
    {"cls-maxc2", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxCardinality", "\"1\"^^xsd:nonNegativeInteger"},
                   {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:p", "ex:c"}},
     {{"ex:b", "owl:sameAs", "ex:c"}}},
    {"cls-maxqc3", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"1\"^^xsd:nonNegativeInteger"},
                    {"ex:R", "owl:onClass", "ex:C"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:p", "ex:c"},
                    {"ex:a", "ex:p", "ex:d"}, {"ex:b", "rdf:type", "ex:C"}, {"ex:c", "rdf:type", "ex:C"}},
     {{"ex:b", "owl:sameAs", "ex:c"}}, {{"ex:b", "owl:sameAs", "ex:d"}}},
    {"cls-maxqc4", {{"ex:R", "owl:onProperty", "ex:p"}, {"ex:R", "owl:maxQualifiedCardinality", "\"1\"^^xsd:nonNegativeInteger"},
                    {"ex:R", "owl:onClass", "owl:Thing"}, {"ex:a", "rdf:type", "ex:R"}, {"ex:a", "ex:p", "ex:b"}, {"ex:a", "ex:p", "ex:c"}},
     {{"ex:b", "owl:sameAs", "ex:c"}}},
    {"cax-sco/scm-sco", {{"ex:A", "rdfs:subClassOf", "ex:B"}, {"ex:B", "rdfs:subClassOf", "ex:C"}, {"ex:x", "rdf:type", "ex:A"}},
     {{"ex:x", "rdf:type", "ex:B"}, {"ex:x", "rdf:type", "ex:C"}, {"ex:A", "rdfs:subClassOf", "ex:C"}}},
    {"cax-eqc1/2, scm-eqc1", {{"ex:A", "owl:equivalentClass", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}, {"ex:y", "rdf:type", "ex:B"}},
     {{"ex:x", "rdf:type", "ex:B"}, {"ex:y", "rdf:type", "ex:A"}, {"ex:B", "rdfs:subClassOf", "ex:A"}}},
    {"scm-eqc2", {{"ex:A", "rdfs:subClassOf", "ex:B"}, {"ex:B", "rdfs:subClassOf", "ex:A"}},
     {{"ex:A", "owl:equivalentClass", "ex:B"}, {"ex:B", "owl:equivalentClass", "ex:A"}}, {{"ex:A", "owl:equivalentClass", "ex:A"}}},
    {"scm-eqp2", {{"ex:p", "rdfs:subPropertyOf", "ex:q"}, {"ex:q", "rdfs:subPropertyOf", "ex:p"}},
     {{"ex:p", "owl:equivalentProperty", "ex:q"}}, {{"ex:p", "owl:equivalentProperty", "ex:p"}}},
    {"scm-dom1/dom2/rng1/rng2", {{"ex:p", "rdfs:domain", "ex:A"}, {"ex:A", "rdfs:subClassOf", "ex:B"}, {"ex:q", "rdfs:subPropertyOf", "ex:p"},
                                 {"ex:p", "rdfs:range", "ex:C"}, {"ex:C", "rdfs:subClassOf", "ex:D"}},
     {{"ex:p", "rdfs:domain", "ex:B"}, {"ex:q", "rdfs:domain", "ex:A"}, {"ex:p", "rdfs:range", "ex:D"}, {"ex:q", "rdfs:range", "ex:C"}}},
    {"scm-cls (tautologies hidden)", {{"ex:A", "rdf:type", "owl:Class"}, {"ex:x", "rdf:type", "ex:A"}}, {},
     {{"ex:A", "rdfs:subClassOf", "ex:A"}, {"ex:A", "rdfs:subClassOf", "owl:Thing"}, {"ex:x", "rdf:type", "owl:Thing"}, {"ex:A", "owl:equivalentClass", "ex:A"}}},
    {"scm-hv", {{"ex:R1", "owl:onProperty", "ex:p"}, {"ex:R1", "owl:hasValue", "ex:v"}, {"ex:R2", "owl:onProperty", "ex:q"},
                {"ex:R2", "owl:hasValue", "ex:v"}, {"ex:p", "rdfs:subPropertyOf", "ex:q"}},
     {{"ex:R1", "rdfs:subClassOf", "ex:R2"}}, {{"ex:R2", "rdfs:subClassOf", "ex:R1"}}},
    {"scm-svf1", {{"ex:R1", "owl:onProperty", "ex:p"}, {"ex:R1", "owl:someValuesFrom", "ex:A"}, {"ex:R2", "owl:onProperty", "ex:p"},
                  {"ex:R2", "owl:someValuesFrom", "ex:B"}, {"ex:A", "rdfs:subClassOf", "ex:B"}},
     {{"ex:R1", "rdfs:subClassOf", "ex:R2"}}},
    {"scm-svf2", {{"ex:p", "rdfs:subPropertyOf", "ex:q"}, {"ex:R1", "owl:onProperty", "ex:p"}, {"ex:R1", "owl:someValuesFrom", "ex:A"},
                  {"ex:R2", "owl:onProperty", "ex:q"}, {"ex:R2", "owl:someValuesFrom", "ex:A"}},
     {{"ex:R1", "rdfs:subClassOf", "ex:R2"}}},
    {"scm-avf1", {{"ex:R1", "owl:onProperty", "ex:p"}, {"ex:R1", "owl:allValuesFrom", "ex:A"}, {"ex:R2", "owl:onProperty", "ex:p"},
                  {"ex:R2", "owl:allValuesFrom", "ex:B"}, {"ex:A", "rdfs:subClassOf", "ex:B"}},
     {{"ex:R1", "rdfs:subClassOf", "ex:R2"}}},
    {"scm-avf2", {{"ex:R1", "owl:onProperty", "ex:p"}, {"ex:R1", "owl:allValuesFrom", "ex:A"}, {"ex:R2", "owl:onProperty", "ex:q"},
                  {"ex:R2", "owl:allValuesFrom", "ex:A"}, {"ex:p", "rdfs:subPropertyOf", "ex:q"}},
     {{"ex:R2", "rdfs:subClassOf", "ex:R1"}}, {{"ex:R1", "rdfs:subClassOf", "ex:R2"}}},
    {"eq-rep-s/o", {{"ex:a", "owl:sameAs", "ex:b"}, {"ex:a", "ex:p", "ex:c"}, {"ex:d", "ex:r", "ex:a"}},
     {{"ex:b", "ex:p", "ex:c"}, {"ex:d", "ex:r", "ex:b"}, {"ex:b", "owl:sameAs", "ex:a"}},
     {{"ex:a", "owl:sameAs", "ex:a"}}},
    // sameAs between punned names says nothing about the properties or classes.
    {"punned sameAs", {{"ex:p", "owl:sameAs", "ex:q"}, {"ex:a", "ex:p", "ex:c"}, {"ex:A", "owl:sameAs", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}},
     {{"ex:p", "owl:sameAs", "ex:q"}, {"ex:q", "owl:sameAs", "ex:p"}}, {{"ex:a", "ex:q", "ex:c"}, {"ex:x", "rdf:type", "ex:B"}}},
    {"prp-key named only", {{"ex:C", "owl:hasKey", "_:k"}, {"_:k", "rdf:first", "ex:id"}, {"_:k", "rdf:rest", "rdf:nil"},
                            {"ex:a", "rdf:type", "ex:C"}, {"_:b", "rdf:type", "ex:C"}, {"ex:a", "ex:id", "ex:n"}, {"_:b", "ex:id", "ex:n"}},
     {}, {{"ex:a", "owl:sameAs", "_:b"}}},
};

INSTANTIATE_TEST_SUITE_P(Rules, RuleTest, ::testing::ValuesIn(kRuleCases));

}  // namespace
}  // namespace trelvanic_materializer
