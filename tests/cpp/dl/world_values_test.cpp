// Data restrictions in the tableau, decided by the data oracle: each case
// is an ontology and a question (consistency, or the satisfiability of :X)
// with the one answer the oracle must reach, or "undecided" where the
// values cannot be known.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../alc/fixture.h"
#include "alc/dl_ontology.h"
#include "alc/tableau.h"
#include "dl/datatype/world_values.h"

namespace trelvanic_dl::datatype {
namespace {

using trelvanic_alc::DlOntology;
using trelvanic_alc::Tableau;
using trelvanic_alc::testing::entity;
using trelvanic_alc::testing::load;
using trelvanic_alc::testing::name;
using trelvanic_alc::testing::verdict;
using V = trelvanic_alc::testing::Verdict;

struct Case {
  const char* what;
  const char* body;
  const char* cls;  // null: consistency of the ontology
  V expected;
};

const Case kCases[] = {
    // Values that cannot coexist.
    {"two values of a functional property", "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
     " DataPropertyAssertion(:p :x \"2\"^^xsd:integer)", nullptr, V::False},
    {"... written as one value twice", "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
     " DataPropertyAssertion(:p :x \"01\"^^xsd:integer)", nullptr, V::True},
    {"a functional property above the two values", "SubDataPropertyOf(:p :q) FunctionalDataProperty(:q)"
     " DataPropertyAssertion(:p :x \"1\"^^xsd:integer) DataPropertyAssertion(:q :x \"2\"^^xsd:integer)", nullptr,
     V::False},
    {"a functional property with a range and one value", "FunctionalDataProperty(:p) DataPropertyRange(:p xsd:string)"
     " DataPropertyAssertion(:p :a \"x\")", nullptr, V::True},
    {"three distinct booleans", "ClassAssertion(DataMinCardinality(3 :p xsd:boolean) :x)", nullptr, V::False},
    {"two distinct booleans", "ClassAssertion(DataMinCardinality(2 :p xsd:boolean) :x)", nullptr, V::True},
    {"one value shared by disjoint properties", "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"a\")"
     " DataPropertyAssertion(:q :x \"a\")", nullptr, V::False},
    {"disjoint properties with other values", "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1\")"
     " DataPropertyAssertion(:p :x \"2\") ClassAssertion(DataSomeValuesFrom(:q xsd:string) :x)", nullptr, V::True},
    {"a property below two disjoint ones", "SubDataPropertyOf(:k :p) SubDataPropertyOf(:k :q)"
     " DisjointDataProperties(:p :q) DataPropertyAssertion(:k :x \"v\")", nullptr, V::False},
    {"a value that makes a class hold", "SubClassOf(DataSomeValuesFrom(:p xsd:integer) :A)"
     " ClassAssertion(ObjectComplementOf(:A) :x) DataPropertyAssertion(:p :x \"5\"^^xsd:integer)", nullptr, V::False},
    {"... a value outside its range", "SubClassOf(DataSomeValuesFrom(:p xsd:integer) :A)"
     " ClassAssertion(ObjectComplementOf(:A) :x) DataPropertyAssertion(:p :x \"abc\")", nullptr, V::True},
    {"a value above the range's maximum", "DataPropertyRange(:p DatatypeRestriction(xsd:integer xsd:maxInclusive"
     " \"10\"^^xsd:integer)) DataPropertyAssertion(:p :x \"12\"^^xsd:integer)", nullptr, V::False},
    {"an ill-typed literal", "DataPropertyAssertion(:p :x \"abc\"^^xsd:integer)", nullptr, V::False},
    {"a negative assertion of a value the individual has", "NegativeDataPropertyAssertion(:p :x"
     " \"5\"^^xsd:integer) ClassAssertion(DataHasValue(:p \"05\"^^xsd:integer) :x)", nullptr, V::False},
    {"a negative assertion of the only value a range has", "NegativeDataPropertyAssertion(:p :x \"a\")"
     " ClassAssertion(DataSomeValuesFrom(:p DataOneOf(\"a\")) :x)", nullptr, V::False},
    {"... of one value of many", "NegativeDataPropertyAssertion(:p :x \"a\")"
     " ClassAssertion(DataSomeValuesFrom(:p xsd:string) :x)", nullptr, V::True},
    {"a domain", "DataPropertyDomain(:p :A) DataPropertyAssertion(:p :x \"1\") ClassAssertion(ObjectComplementOf(:A)"
     " :x)", nullptr, V::False},
    {"a domain of a super-property", "SubDataPropertyOf(:p :q) DataPropertyDomain(:q :A)"
     " EquivalentClasses(:X ObjectIntersectionOf(DataSomeValuesFrom(:p xsd:integer) ObjectComplementOf(:A)))", "X",
     V::False},
    {"a value below a property that makes a class hold", "SubDataPropertyOf(:q :p) SubClassOf(DataSomeValuesFrom(:p"
     " xsd:integer) :A) EquivalentClasses(:X ObjectIntersectionOf(DataSomeValuesFrom(:q xsd:integer)"
     " ObjectComplementOf(:A)))", "X", V::False},
    {"... a value outside the class's range", "SubDataPropertyOf(:q :p) SubClassOf(DataSomeValuesFrom(:p"
     " xsd:integer) :A) EquivalentClasses(:X ObjectIntersectionOf(DataSomeValuesFrom(:q xsd:string)"
     " ObjectComplementOf(:A)))", "X", V::True},
    {"a domain without a value", "DataPropertyDomain(:p :A) EquivalentClasses(:X ObjectIntersectionOf("
     "DataAllValuesFrom(:p xsd:integer) ObjectComplementOf(:A)))", "X", V::True},

    // Nothing asked for is never a clash.
    {"an unqualified minimum of one", "ClassAssertion(DataMinCardinality(1 :p) :x)", nullptr, V::True},
    {"all values in an empty range", "ClassAssertion(DataAllValuesFrom(:p DataIntersectionOf(xsd:integer"
     " xsd:string)) :x)", nullptr, V::True},
    {"a minimum of zero in an empty range", "ClassAssertion(DataMinCardinality(0 :p DataIntersectionOf(xsd:integer"
     " xsd:string)) :x)", nullptr, V::True},
    {"float and double ranges together", "ClassAssertion(ObjectIntersectionOf(DataAllValuesFrom(:p xsd:float)"
     " DataAllValuesFrom(:p xsd:double)) :x)", nullptr, V::True},
    {"... with a value asked for", "ClassAssertion(ObjectIntersectionOf(DataAllValuesFrom(:p xsd:float)"
     " DataAllValuesFrom(:p xsd:double) DataSomeValuesFrom(:p rdfs:Literal)) :x)", nullptr, V::False},
    {"300 doubles between 0 and 1", "ClassAssertion(DataMinCardinality(300 :p DatatypeRestriction(xsd:double"
     " xsd:minInclusive \"0\"^^xsd:double xsd:maxInclusive \"1\"^^xsd:double)) :x)", nullptr, V::True},

    // Counting against ranges and maxima.
    {"integers and strings are different values", "EquivalentClasses(:X ObjectIntersectionOf(DataMinCardinality(3 :p"
     " xsd:integer) DataMaxCardinality(2 :p xsd:string)))", "X", V::True},
    {"a minimum above an unqualified maximum", "EquivalentClasses(:X ObjectIntersectionOf(DataMinCardinality(2 :p)"
     " DataMaxCardinality(1 :p)))", "X", V::False},
    {"four values in a range of three", "EquivalentClasses(:X ObjectIntersectionOf(DataMinCardinality(4 :p)"
     " DataAllValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive"
     " \"2\"^^xsd:integer))))", "X", V::False},
    {"three values in a range of three", "EquivalentClasses(:X ObjectIntersectionOf(DataMinCardinality(3 :p)"
     " DataAllValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive"
     " \"2\"^^xsd:integer))))", "X", V::True},
    {"a qualified maximum over two listed values", "EquivalentClasses(:X ObjectIntersectionOf(DataMaxCardinality(1 :p"
     " xsd:integer) DataHasValue(:p \"1\"^^xsd:integer) DataHasValue(:p \"2\"^^xsd:integer)))", "X", V::False},
    {"... one of them outside its range", "EquivalentClasses(:X ObjectIntersectionOf(DataMaxCardinality(1 :p"
     " xsd:integer) DataHasValue(:p \"1\"^^xsd:integer) DataHasValue(:p \"a\")))", "X", V::True},
    {"values shared to meet a maximum", "EquivalentClasses(:X ObjectIntersectionOf(DataMaxCardinality(1 :p)"
     " DataSomeValuesFrom(:p xsd:integer) DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minExclusive"
     " \"5\"^^xsd:integer)) DataSomeValuesFrom(:p DataOneOf(\"7\"^^xsd:integer \"a\"))))", "X", V::True},
    {"... not when they must differ", "DisjointDataProperties(:p :q) SubDataPropertyOf(:p :r)"
     " SubDataPropertyOf(:q :r) EquivalentClasses(:X ObjectIntersectionOf(DataMaxCardinality(1 :r)"
     " DataSomeValuesFrom(:p xsd:integer) DataSomeValuesFrom(:q xsd:integer)))", "X", V::False},
    {"two strings under a maximum of one over a union", "ClassAssertion(DataMaxCardinality(1 :p"
     " DataUnionOf(xsd:string xsd:integer)) :x) ClassAssertion(DataMinCardinality(2 :p DataOneOf(\"a\" \"b\")) :x)",
     nullptr, V::False},
    {"nine listed values of a functional property", "FunctionalDataProperty(:p) ClassAssertion(ObjectIntersectionOf("
     "DataHasValue(:p \"1\"^^xsd:integer) DataHasValue(:p \"2\"^^xsd:integer) DataHasValue(:p \"3\"^^xsd:integer)"
     " DataHasValue(:p \"4\"^^xsd:integer) DataHasValue(:p \"5\"^^xsd:integer) DataHasValue(:p \"6\"^^xsd:integer)"
     " DataHasValue(:p \"7\"^^xsd:integer) DataHasValue(:p \"8\"^^xsd:integer) DataHasValue(:p \"9\"^^xsd:integer))"
     " :x)", nullptr, V::False},
    {"a defined datatype", "DatatypeDefinition(:small DatatypeRestriction(xsd:integer xsd:minInclusive"
     " \"0\"^^xsd:integer xsd:maxInclusive \"1\"^^xsd:integer)) EquivalentClasses(:X DataMinCardinality(3 :p :small))",
     "X", V::False},

    // Negation normal form of data restrictions.
    {"some value outside a range and all inside it", "EquivalentClasses(:X ObjectIntersectionOf(ObjectComplementOf("
     "DataAllValuesFrom(:p xsd:integer)) DataAllValuesFrom(:p xsd:integer)))", "X", V::False},
    {"no value and a value", "EquivalentClasses(:X ObjectIntersectionOf(ObjectComplementOf(DataMinCardinality(1 :p))"
     " DataHasValue(:p \"1\"^^xsd:integer)))", "X", V::False},
    {"not exactly one, and one value", "FunctionalDataProperty(:p) EquivalentClasses(:X ObjectIntersectionOf("
     "ObjectComplementOf(DataExactCardinality(1 :p)) DataHasValue(:p \"1\"^^xsd:integer)))", "X", V::False},
    {"a complemented range", "EquivalentClasses(:X ObjectIntersectionOf(DataSomeValuesFrom(:p"
     " DataComplementOf(xsd:integer)) DataAllValuesFrom(:p xsd:integer)))", "X", V::False},
    {"the empty data property", "EquivalentClasses(:X DataSomeValuesFrom(owl:bottomDataProperty xsd:integer))", "X",
     V::False},

    // Data restrictions reached through object successors.
    {"a successor's value", "SubClassOf(:A ObjectSomeValuesFrom(:r DataHasValue(:p \"true\"^^xsd:boolean)))"
     " SubClassOf(owl:Thing DataAllValuesFrom(:p DataOneOf(\"false\"^^xsd:boolean))) EquivalentClasses(:X :A)", "X",
     V::False},

    // Values the datatype map does not know: never a verdict.
    {"a datatype nobody defined", "EquivalentClasses(:X DataSomeValuesFrom(:p :unknown))", "X", V::Undecided},
};

class DataWorlds : public ::testing::TestWithParam<Case> {};

TEST_P(DataWorlds, OracleDecides) {
  const Case& c = GetParam();
  auto o = load(c.body);
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  EXPECT_TRUE(dl->complete()) << c.what << ": " << dl->incomplete_reason();
  dl->set_data_oracle(&decide_world_values);
  Tableau t(*dl);
  const V v = c.cls == nullptr ? verdict(t.is_consistent())
                               : verdict(t.is_class_satisfiable(entity(dl->ontology(), c.cls)));
  EXPECT_EQ(v, c.expected) << c.what << ": got " << name(v);
}

INSTANTIATE_TEST_SUITE_P(Cases, DataWorlds, ::testing::ValuesIn(kCases));

// Without an oracle a world that needs a value is undecided, never a model.
TEST(DataWorlds, NoOracleNoModel) {
  auto o = load("ClassAssertion(DataSomeValuesFrom(:p xsd:integer) :x)");
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  Tableau t(*dl);
  EXPECT_EQ(verdict(t.is_consistent()), V::Undecided);
}

// Koala-style classification: values of a functional boolean property
// separate classes.
TEST(DataWorlds, ClassifiesThroughValues) {
  auto o = load(
      "FunctionalDataProperty(:hard) DataPropertyRange(:hard xsd:boolean)"
      " EquivalentClasses(:Worker DataHasValue(:hard \"true\"^^xsd:boolean))"
      " SubClassOf(:Lazy DataHasValue(:hard \"false\"^^xsd:boolean))"
      " SubClassOf(:Both ObjectIntersectionOf(:Worker :Lazy))"
      " SubClassOf(:Busy DataSomeValuesFrom(:hard DataOneOf(\"1\"^^xsd:boolean)))");
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  dl->set_data_oracle(&decide_world_values);
  Tableau t(*dl);
  auto c = t.classify();
  ASSERT_TRUE(c) << c.error().message();
  EXPECT_TRUE(c->consistent);
  const auto both = entity(o, "Both");
  EXPECT_EQ(c->unsatisfiable, std::vector<trelvanic_core::EntityId>{both});
  auto has = [&](const char* sub, const char* sup) {
    const std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId> p{entity(o, sub), entity(o, sup)};
    return std::find(c->subsumptions.begin(), c->subsumptions.end(), p) != c->subsumptions.end();
  };
  EXPECT_TRUE(has("Busy", "Worker"));  // "1" is the boolean true
  EXPECT_FALSE(has("Lazy", "Worker"));
  EXPECT_FALSE(has("Worker", "Busy"));
}

}  // namespace
}  // namespace trelvanic_dl::datatype
