// The component rules: which store each axiom reaches, and the skip texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "map_test_support.h"

namespace trelvanic_parser {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using trelvanic_core::OwlConstruct;

struct RuleCase {
  const char* name;
  const char* body;
  bool strict;
  std::vector<std::string> told;
  std::vector<std::string> dl;
  std::vector<std::string> warnings;
  uint64_t skipped;
};

class MapRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(MapRules, Stores) {
  const auto& c = GetParam();
  auto m = map_body(c.body, limits_for(c.strict));
  ASSERT_TRUE(m) << m.error().message();
  EXPECT_EQ(told_axioms(m->ontology), c.told);
  EXPECT_EQ(dl_axioms(m->ontology), c.dl);
  EXPECT_EQ(m->meta.warnings, c.warnings);
  EXPECT_EQ(m->meta.skipped_axiom_count, c.skipped);
  EXPECT_EQ(m->meta.logical_axiom_count, m->meta.mapped_axiom_count + m->meta.skipped_axiom_count);
}

const std::string kReg(kRegistrationSkipText);

INSTANTIATE_TEST_SUITE_P(
    Classes, MapRules,
    ::testing::Values(
        RuleCase{"SubClassOfExistential", "SubClassOf(:A ObjectSomeValuesFrom(:r :C))", true,
                 {"SubClassOfExistential(A r C)"}, {}, {}, 0},
        RuleCase{"IntersectionSuperclassInBothStores",
                 "SubClassOf(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))", true,
                 {"SubClassOf(A B)", "SubClassOfExistential(A r C)"},
                 {"SubClassOf(A And(B Some(r C)))"}, {}, 0},
        RuleCase{"ComplexSubclassDlOnly", "SubClassOf(ObjectSomeValuesFrom(:r :C) :D)", true, {},
                 {"SubClassOf(Some(r C) D)"}, {}, 0},
        RuleCase{"InverseExistentialDlOnly", "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:r) :C))", true, {},
                 {"SubClassOf(A Some(inv(r) C))"}, {}, 0},
        RuleCase{"EquivalentNamed", "EquivalentClasses(:A :B :C)", true, {"EquivalentClasses(A B C)"}, {}, {}, 0},
        RuleCase{"EquivalentComplex", "EquivalentClasses(:A ObjectUnionOf(:B :C))", true, {},
                 {"EquivalentClasses(A Or(B C))"}, {}, 0},
        RuleCase{"DisjointNamedInBothStores", "DisjointClasses(:A :B)", true, {"DisjointClasses(A B)"},
                 {"DisjointClasses(A B)"}, {}, 0},
        RuleCase{"DisjointWithItselfIsEmpty", "DisjointClasses(:A :A)", true, {},
                 {"SubClassOf(A Bottom)", "SubClassOf(A Bottom)"}, {}, 0},
        RuleCase{"DisjointUnion", "DisjointUnion(:A :B ObjectComplementOf(:C))", true, {},
                 {"EquivalentClasses(A Or(B Not(C)))", "DisjointClasses(B Not(C))"}, {}, 0},
        RuleCase{"DisjointUnionOfOnePart", "DisjointUnion(:A :B)", true, {}, {"EquivalentClasses(A B)"}, {}, 0},
        // An unmappable qualified filler must not become an unqualified
        // restriction: the axiom is skipped with its own text.
        RuleCase{"UnmappableQualifiedFiller",
                 "SubClassOf(:A ObjectMaxCardinality(1 :r ObjectSomeValuesFrom(:s ObjectOneOf())))", true, {}, {},
                 {"SubClassOf with complex class expression not mapped in v0.2"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Properties, MapRules,
    ::testing::Values(
        RuleCase{"InverseOfItselfIsSymmetric", "InverseObjectProperties(:p :p)", true,
                 {"SymmetricObjectProperty(p)"}, {}, {}, 0},
        RuleCase{"InversePair", "InverseObjectProperties(:p :q)", true, {"InverseObjectProperties(p q)"}, {}, {}, 0},
        RuleCase{"SubPropertyWithInverse", "SubObjectPropertyOf(ObjectInverseOf(:p) :q)", true, {},
                 {"SubObjectPropertyOf(inv(p) q)"}, {}, 0},
        RuleCase{"Chain", "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :r)", true, {}, {"SubObjectPropertyChain"},
                 {}, 0},
        // Operands of the first one's polarity are equivalent to it, the
        // others inverse to it.
        RuleCase{"EquivalentWithInverse", "EquivalentObjectProperties(:p ObjectInverseOf(:q) :r ObjectInverseOf(:p))",
                 true, {"InverseObjectProperties(p q)", "SymmetricObjectProperty(p)", "EquivalentObjectProperties(p r)"},
                 {}, {}, 0},
        RuleCase{"EquivalentInversesAreEquivalentNames",
                 "EquivalentObjectProperties(ObjectInverseOf(:p) ObjectInverseOf(:q))", true,
                 {"EquivalentObjectProperties(p q)"}, {}, {}, 0},
        RuleCase{"InverseOfAnInverseIsEquivalent", "InverseObjectProperties(ObjectInverseOf(:p) :q)", true,
                 {"EquivalentObjectProperties(p q)"}, {}, {}, 0},
        RuleCase{"InverseOfTwoInversesIsInverse",
                 "InverseObjectProperties(ObjectInverseOf(:p) ObjectInverseOf(:q))", true,
                 {"InverseObjectProperties(p q)"}, {}, {}, 0},
        RuleCase{"DisjointProperties", "DisjointObjectProperties(:p :q)", true, {}, {"DisjointObjectProperties(p q)"},
                 {}, 0},
        RuleCase{"DomainComplex", "ObjectPropertyDomain(:p ObjectUnionOf(:A :B))", true, {},
                 {"ObjectPropertyDomain(p Or(A B))"}, {}, 0},
        // The domain of p⁻ is the range of p, and the other way round.
        RuleCase{"DomainOfInverseIsRange", "ObjectPropertyDomain(ObjectInverseOf(:p) :A)", true,
                 {"ObjectPropertyRange(p A)"}, {}, {}, 0},
        RuleCase{"RangeOfInverseIsDomain", "ObjectPropertyRange(ObjectInverseOf(:p) :A)", true,
                 {"ObjectPropertyDomain(p A)"}, {}, {}, 0},
        RuleCase{"ComplexRangeOfInverseIsDomain",
                 "ObjectPropertyRange(ObjectInverseOf(:p) ObjectSomeValuesFrom(:q :A))", true, {},
                 {"ObjectPropertyDomain(p Some(q A))"}, {}, 0},
        RuleCase{"ComplexRange", "ObjectPropertyRange(:p ObjectComplementOf(:A))", true, {},
                 {"ObjectPropertyRange(p Not(A))"}, {}, 0},
        // p⁻ functional is p inverse-functional (and back); the other
        // characteristics hold of p⁻ exactly when of p.
        RuleCase{"FunctionalInverseIsInverseFunctional", "FunctionalObjectProperty(ObjectInverseOf(:p))", true,
                 {"InverseFunctionalObjectProperty(p)"}, {"InverseFunctionalObjectProperty(p)"}, {}, 0},
        RuleCase{"InverseFunctionalInverseIsFunctional", "InverseFunctionalObjectProperty(ObjectInverseOf(:p))", true,
                 {"FunctionalObjectProperty(p)"}, {}, {}, 0},
        RuleCase{"AsymmetricInverse", "AsymmetricObjectProperty(ObjectInverseOf(:p))", true,
                 {"AsymmetricObjectProperty(p)"}, {}, {}, 0},
        RuleCase{"ReflexiveInverse", "ReflexiveObjectProperty(ObjectInverseOf(:p))", true,
                 {"ReflexiveObjectProperty(p)"}, {}, {}, 0},
        RuleCase{"IrreflexiveInverse", "IrreflexiveObjectProperty(ObjectInverseOf(:p))", true,
                 {"IrreflexiveObjectProperty(p)"}, {"IrreflexiveObjectProperty"}, {}, 0},
        RuleCase{"DisjointInversesAreDisjointNames",
                 "DisjointObjectProperties(ObjectInverseOf(:p) ObjectInverseOf(:q))", true, {},
                 {"DisjointObjectProperties(p q)"}, {}, 0},
        RuleCase{"DisjointMixedKeepsItsInverses", "DisjointObjectProperties(:p ObjectInverseOf(:q) :r)", true, {},
                 {"DisjointRoles(p inv(q) r)"}, {}, 0},
        RuleCase{"TransitiveInverseInDl", "TransitiveObjectProperty(ObjectInverseOf(:p))", true, {},
                 {"TransitiveObjectProperty(inv(p))"}, {}, 0},
        RuleCase{"IrreflexiveInBothStores", "IrreflexiveObjectProperty(:p)", true, {"IrreflexiveObjectProperty(p)"},
                 {"IrreflexiveObjectProperty"}, {}, 0},
        RuleCase{"DataPropertyAxioms",
                 "SubDataPropertyOf(:d :e) FunctionalDataProperty(:d) DataPropertyDomain(:d :A)", true, {},
                 {"SubDataPropertyOf", "FunctionalDataProperty", "DataPropertyDomain(d A)"}, {}, 0},
        RuleCase{"HasKeyWithInverseSkipped", "HasKey(:A (ObjectInverseOf(:p)) ())", true, {}, {},
                 {"HasKey not mapped in v0.2"}, 1},
        RuleCase{"HasKey", "HasKey(:A (:p) (:d))", true, {}, {"HasKey"}, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Assertions, MapRules,
    ::testing::Values(
        RuleCase{"SameReflexiveStrict", "SameIndividual(:a :a)", true, {}, {},
                 {"reflexive or degenerate SameIndividual rejected in strict parse"}, 1},
        RuleCase{"SameReflexiveLenient", "SameIndividual(:a :a)", false, {}, {},
                 {"reflexive or degenerate SameIndividual ignored in lenient parse"}, 0},
        RuleCase{"SameSortedDeduplicated", "SameIndividual(:b :a :b)", true, {"SameIndividual(b a)"}, {}, {}, 0},
        RuleCase{"DifferentReflexiveStrict", "DifferentIndividuals(:a :a)", true, {},
                 {"DifferentIndividuals(a a)"}, {}, 0},
        RuleCase{"DifferentReflexiveLenient", "DifferentIndividuals(:a :a)", false, {}, {},
                 {"degenerate DifferentIndividuals ignored in lenient parse"}, 0},
        // One operand repeated among others is as unsatisfiable as (a a).
        RuleCase{"DifferentRepeatedAmongOthersStrict", "DifferentIndividuals(:a :b :a)", true, {},
                 {"DifferentIndividuals(a b a)"}, {}, 0},
        // A single member says nothing: no axiom, no warning.
        RuleCase{"DifferentOneMemberLenient", "DifferentIndividuals(:a)", false, {}, {}, {}, 0},
        RuleCase{"NamedClassAssertionInBothStores", "ClassAssertion(:A :a)", true, {"ClassAssertion(a A)"},
                 {"ClassAssertion(a A)"}, {}, 0},
        RuleCase{"ComplexClassAssertion", "ClassAssertion(ObjectComplementOf(:A) :a)", true, {},
                 {"ClassAssertion(a Not(A))"}, {}, 0},
        RuleCase{"InverseAssertionInDl", "ObjectPropertyAssertion(ObjectInverseOf(:p) :a :b)", true, {},
                 {"ObjectPropertyAssertion(a inv(p) b)"}, {}, 0},
        RuleCase{"NegativeAssertion", "NegativeObjectPropertyAssertion(:p :a :b)", true, {},
                 {"NegativeObjectPropertyAssertion(a p b)"}, {}, 0},
        // ¬p⁻(a, b) is ¬p(b, a).
        RuleCase{"NegativeAssertionOverInverseTurnedAround",
                 "NegativeObjectPropertyAssertion(ObjectInverseOf(:p) :a :b)", true, {},
                 {"NegativeObjectPropertyAssertion(b p a)"}, {}, 0},
        RuleCase{"DataAssertion", "DataPropertyAssertion(:d :a \"5\"^^xsd:integer)", true, {},
                 {"DataPropertyAssertion(a d \"5\"^^http://www.w3.org/2001/XMLSchema#integer)"}, {}, 0},
        RuleCase{"DataAssertionLanguageTag", "NegativeDataPropertyAssertion(:d :a \"hi\"@en)", true, {},
                 {"NegativeDataPropertyAssertion(a d \"hi@en\"^^http://www.w3.org/1999/02/22-rdf-syntax-ns#langString)"},
                 {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Names, MapRules,
    ::testing::Values(
        // A name that cannot be registered gives the registration text.
        RuleCase{"SubClassOfFailedName", "Declaration(DataProperty(:B))\nSubClassOf(:A :B)", false, {}, {},
                 {"failed to register class http://ex.org/B: parse error: entity kind mismatch for "
                  "http://ex.org/B: expected Class, found DataProperty",
                  "failed to register class http://ex.org/B: parse error: entity kind mismatch for "
                  "http://ex.org/B: expected Class, found DataProperty",
                  "failed to register class http://ex.org/B: parse error: entity kind mismatch for "
                  "http://ex.org/B: expected Class, found DataProperty",
                  kReg},
                 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MapRules, DegenerateDifferentIndividualsFlag) {
  struct Case {
    const char* body;
    bool strict;
    bool flag;
  };
  for (const Case& c : {Case{"DifferentIndividuals(:a :a)", false, true}, Case{"DifferentIndividuals(:a)", false, false},
                        Case{"DifferentIndividuals(:a :a)", true, false}, Case{"DifferentIndividuals(:a)", true, false},
                        Case{"DifferentIndividuals(:a :b :a)", false, true},
                        Case{"DifferentIndividuals(:a :b)", false, false}}) {
    auto m = map_body(c.body, limits_for(c.strict));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->meta.degenerate_different_individuals, c.flag) << c.body << " strict " << c.strict;
    EXPECT_EQ(m->meta.skipped_axiom_count, 0u) << c.body;
  }
}

// A DisjointUnion stores no told axiom but is one mapped axiom, and its
// construct reaches the profile set (it keeps the ontology out of EL, RL
// and QL); told axioms beside it still count.
TEST(MapRules, DisjointUnionCountsAsMapped) {
  auto m = map_body("DisjointUnion(:A :B :C) SubClassOf(:D :E) DisjointUnion(:F :G :H)", limits_for(true));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->meta.mapped_axiom_count, 3u);
  EXPECT_EQ(m->meta.skipped_axiom_count, 0u);
  EXPECT_EQ(m->meta.logical_axiom_count, 3u);
  EXPECT_TRUE(m->meta.profile_constructs.contains(OwlConstruct::DisjointUnion));
  EXPECT_TRUE(m->meta.profile_constructs.contains(OwlConstruct::ObjectUnionOf));
}

TEST(MapRules, IntersectionSuperclassNotesItsConstructs) {
  auto m = map_body("SubClassOf(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))");
  ASSERT_TRUE(m);
  for (OwlConstruct c : {OwlConstruct::ObjectIntersectionOf, OwlConstruct::ObjectSomeValuesFrom,
                         OwlConstruct::SubClassOfIntersection, OwlConstruct::SubClassOfNamed,
                         OwlConstruct::SubClassOfExistential})
    EXPECT_TRUE(m->meta.constructs.contains(c)) << trelvanic_core::owl_construct_name(c);
}

// Profile detection of a fresh load reads only the profile constructs, so
// what lives only in the DL store must be noted there too.
TEST(MapRules, DlAxiomsNoteTheirProfileConstructs) {
  auto m = map_body(
      "SubClassOf(:A ObjectAllValuesFrom(ObjectInverseOf(:r) ObjectUnionOf(:B :C)))\n"
      "DisjointObjectProperties(:p :q)\n"
      "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :r)\n"
      "DataPropertyRange(:d xsd:integer)");
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->ontology.axioms().live_count() == 0);
  const auto& pc = m->meta.profile_constructs;
  for (OwlConstruct c : {OwlConstruct::SubClassOfNamed, OwlConstruct::ObjectAllValuesFrom,
                         OwlConstruct::InverseObjectProperties, OwlConstruct::ObjectUnionOf,
                         OwlConstruct::DisjointObjectProperties, OwlConstruct::SubObjectPropertyChain,
                         OwlConstruct::Datatype})
    EXPECT_TRUE(pc.contains(c)) << trelvanic_core::owl_construct_name(c);
}

// An axiom over an inverse is told of the named property, yet it is
// outside OWL 2 EL: the inverse stays in the profile set.
TEST(MapRules, AxiomsOverInversesKeepTheInverseInTheProfile) {
  for (const char* body :
       {"ObjectPropertyDomain(ObjectInverseOf(:r) :A)", "FunctionalObjectProperty(ObjectInverseOf(:r))",
        "ReflexiveObjectProperty(ObjectInverseOf(:r))", "EquivalentObjectProperties(:r ObjectInverseOf(:s))",
        "InverseObjectProperties(ObjectInverseOf(:r) :s)", "NegativeObjectPropertyAssertion(ObjectInverseOf(:r) :a :b)",
        "SubClassOf(:A ObjectHasSelf(ObjectInverseOf(:r)))"}) {
    auto m = map_body(body);
    ASSERT_TRUE(m) << body;
    EXPECT_EQ(m->meta.skipped_axiom_count, 0u) << body;
    EXPECT_TRUE(m->meta.profile_constructs.contains(OwlConstruct::InverseObjectProperties)) << body;
  }
}

}  // namespace
}  // namespace trelvanic_parser
