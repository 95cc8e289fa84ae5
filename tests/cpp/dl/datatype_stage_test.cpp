// The datatype stage of the consistency check on its own: the data facts
// and restrictions it must reject, and those it must let through to the
// later stages (each has a model).
#include <gtest/gtest.h>

#include <string>

#include "../alc/fixture.h"
#include "dl/datatype/consistency.h"

namespace trelvanic_dl::datatype {
namespace {

using trelvanic_alc::testing::load;

TEST(DatatypeStage, RejectsWhatTheValuesProve) {
  const char* rejected[] = {
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
      " DataPropertyAssertion(:p :x \"2\"^^xsd:integer)",
      "ClassAssertion(DataMinCardinality(3 :p xsd:boolean) :x)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"a\") DataPropertyAssertion(:q :x \"a\")",
      "SubClassOf(DataSomeValuesFrom(:p xsd:integer) :A) ClassAssertion(ObjectComplementOf(:A) :x)"
      " DataPropertyAssertion(:p :x \"5\"^^xsd:integer)",
      "DataPropertyRange(:p DatatypeRestriction(xsd:integer xsd:maxInclusive \"10\"^^xsd:integer))"
      " DataPropertyAssertion(:p :x \"12\"^^xsd:integer)",
      "DataPropertyAssertion(:p :x \"abc\"^^xsd:integer)",
      // through a told class and its told super-class
      "SubClassOf(:A :B) SubClassOf(:B DataAllValuesFrom(:p DatatypeRestriction(xsd:string xsd:maxLength"
      " \"2\"^^xsd:integer))) ClassAssertion(:A :x) DataPropertyAssertion(:p :x \"abc\")",
      // through an equivalent class's definition
      "EquivalentClasses(:A ObjectIntersectionOf(:B DataMaxCardinality(1 :p))) ClassAssertion(:A :x)"
      " DataPropertyAssertion(:p :x \"a\") DataPropertyAssertion(:p :x \"b\")",
      // every individual meets owl:Thing's restrictions
      "SubClassOf(owl:Thing DataAllValuesFrom(:p xsd:integer)) DataPropertyAssertion(:p :x \"a\")",
      "NegativeDataPropertyAssertion(:p :x \"a\") ClassAssertion(DataSomeValuesFrom(:p DataOneOf(\"a\")) :x)",
      "ClassAssertion(DataSomeValuesFrom(owl:bottomDataProperty rdfs:Literal) :x)",
      // values told apart or matched by value, not by text
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"0.0\"^^xsd:double)"
      " DataPropertyAssertion(:p :x \"-0.0\"^^xsd:double)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1000\"^^xsd:double)"
      " DataPropertyAssertion(:q :x \"1.0E3\"^^xsd:double)",
      "NegativeDataPropertyAssertion(:p :x \"-0\"^^xsd:integer) DataPropertyAssertion(:p :x \"0.0\"^^xsd:decimal)",
      // values the individual surely has through its restrictions
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1000\"^^xsd:double)"
      " ClassAssertion(DataHasValue(:q \"1.0E3\"^^xsd:double) :x)",
      "SubDataPropertyOf(:r :p) DisjointDataProperties(:p :q) DataPropertyAssertion(:r :x \"a\")"
      " ClassAssertion(DataSomeValuesFrom(:q DataOneOf(\"a\")) :x)",
      "FunctionalDataProperty(:p) ClassAssertion(DataHasValue(:p \"1\"^^xsd:integer) :x)"
      " ClassAssertion(DataHasValue(:p \"2\"^^xsd:integer) :x)",
  };
  for (const char* body : rejected) EXPECT_FALSE(is_datatype_consistent(load(body))) << body;
}

TEST(DatatypeStage, NeverRejectsWithoutProof) {
  const char* kept[] = {
      "FunctionalDataProperty(:p) DataPropertyRange(:p xsd:string) DataPropertyAssertion(:p :a \"x\")",
      "ClassAssertion(DataMinCardinality(1 :p) :x)",
      "ClassAssertion(DataAllValuesFrom(:p DataIntersectionOf(xsd:integer xsd:string)) :x)",
      "ClassAssertion(DataMinCardinality(0 :p DataIntersectionOf(xsd:integer xsd:string)) :x)",
      "ClassAssertion(ObjectIntersectionOf(DataAllValuesFrom(:p xsd:float) DataAllValuesFrom(:p xsd:double)) :x)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1\") DataPropertyAssertion(:p :x \"2\")"
      " ClassAssertion(DataSomeValuesFrom(:q xsd:string) :x)",
      "ClassAssertion(DataMinCardinality(300 :p DatatypeRestriction(xsd:double xsd:minInclusive"
      " \"0\"^^xsd:double xsd:maxInclusive \"1\"^^xsd:double)) :x)",
      "SubClassOf(DataSomeValuesFrom(:p xsd:integer) :A) ClassAssertion(ObjectComplementOf(:A) :x)"
      " DataPropertyAssertion(:p :x \"abc\")",
      "ClassAssertion(DataMaxCardinality(0 owl:bottomDataProperty) :x)",
      "NegativeDataPropertyAssertion(:p :x \"a\") ClassAssertion(DataSomeValuesFrom(:p xsd:string) :x)",
      // a union is not looked into
      "ClassAssertion(ObjectUnionOf(DataAllValuesFrom(:p xsd:integer) :B) :x) DataPropertyAssertion(:p :x \"a\")",
      // one value written two ways; values of different families
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
      " DataPropertyAssertion(:p :x \"1.0\"^^xsd:decimal)",
      "FunctionalDataProperty(:p) ClassAssertion(DataHasValue(:p \"1\"^^xsd:integer) :x)"
      " ClassAssertion(DataHasValue(:p \"01\"^^xsd:integer) :x)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
      " DataPropertyAssertion(:q :x \"1\")",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)"
      " DataPropertyAssertion(:q :x \"1.0\"^^xsd:double)",
      // a value some range admits is not a value the individual has
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"true\"^^xsd:boolean)"
      " ClassAssertion(DataSomeValuesFrom(:q xsd:boolean) :x)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"a\")"
      " ClassAssertion(DataAllValuesFrom(:q DataOneOf(\"a\")) :x)",
  };
  for (const char* body : kept) EXPECT_TRUE(is_datatype_consistent(load(body))) << body;
}

// More values than the data oracle shares out, all surely had: the maximum
// is still found broken.
TEST(DatatypeStage, CountsManySureValuesAgainstAMaximum) {
  for (const char* head : {"FunctionalDataProperty(:p)", "ClassAssertion(DataMaxCardinality(3 :p) :x)",
                           "DisjointDataProperties(:p :q) DataPropertyAssertion(:q :x \"69\"^^xsd:integer)"}) {
    std::string body = head;
    for (int i = 0; i < 70; ++i)
      body += " ClassAssertion(DataHasValue(:p \"" + std::to_string(i) + "\"^^xsd:integer) :x)";
    EXPECT_FALSE(is_datatype_consistent(load(body))) << head;
  }
}

}  // namespace
}  // namespace trelvanic_dl::datatype
