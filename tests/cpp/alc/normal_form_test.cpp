// Negation normal form and where axioms land in the normal form.
#include <string>

#include "fixture.h"

namespace trelvanic_alc::testing {
namespace {

using trelvanic_core::CeId;
using trelvanic_core::DlAxiomKind;

// The class expression asserted of individual `ind` in the DL store.
CeId asserted(const trelvanic_core::Ontology& o, const std::string& ind) {
  const auto e = entity(o, ind);
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind == DlAxiomKind::ClassAssertion && a.individual() == e) return a.class_expr();
  }
  ADD_FAILURE() << "no assertion of " << ind;
  return CeId(0);
}

struct NnfCase {
  const char* given;
  const char* expected;  // already in negation normal form
};

TEST(NegationNormalForm, ComplementsOfEveryFormAtAnyDepth) {
  const NnfCase cases[] = {
      {"ObjectComplementOf(ObjectMinCardinality(2 :r :C))", "ObjectMaxCardinality(1 :r :C)"},
      {"ObjectComplementOf(ObjectMaxCardinality(1 :r))", "ObjectMinCardinality(2 :r)"},
      {"ObjectComplementOf(ObjectExactCardinality(1 :r))",
       "ObjectUnionOf(ObjectAllValuesFrom(:r owl:Nothing) ObjectMinCardinality(2 :r))"},
      {"ObjectComplementOf(ObjectMinCardinality(0 :r :C))", "owl:Nothing"},
      {"ObjectComplementOf(ObjectHasValue(:r :i))", "ObjectAllValuesFrom(:r ObjectComplementOf(ObjectOneOf(:i)))"},
      {"ObjectComplementOf(ObjectSomeValuesFrom(:r ObjectAllValuesFrom(:s ObjectComplementOf(ObjectSomeValuesFrom(:t"
       " ObjectComplementOf(:A))))))",
       "ObjectAllValuesFrom(:r ObjectSomeValuesFrom(:s ObjectSomeValuesFrom(:t ObjectComplementOf(:A))))"},
      {"ObjectComplementOf(ObjectIntersectionOf(:A ObjectUnionOf(:B ObjectComplementOf(:C))))",
       "ObjectUnionOf(ObjectComplementOf(:A) ObjectIntersectionOf(ObjectComplementOf(:B) :C))"},
      {"ObjectComplementOf(ObjectOneOf(:i :j))",
       "ObjectIntersectionOf(ObjectComplementOf(ObjectOneOf(:i)) ObjectComplementOf(ObjectOneOf(:j)))"},
      {"ObjectComplementOf(ObjectMaxCardinality(0 :r ObjectComplementOf(:A)))",
       "ObjectSomeValuesFrom(:r ObjectComplementOf(:A))"},
  };
  std::string body;
  for (size_t i = 0; i < std::size(cases); ++i) {
    body += "ClassAssertion(" + std::string(cases[i].given) + " :g" + std::to_string(i) + ")\n";
    body += "ClassAssertion(" + std::string(cases[i].expected) + " :e" + std::to_string(i) + ")\n";
  }
  auto o = load(body);
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl.has_value());
  for (size_t i = 0; i < std::size(cases); ++i) {
    const uint32_t g = dl->normalize(asserted(o, "g" + std::to_string(i)));
    const uint32_t e = dl->normalize(asserted(o, "e" + std::to_string(i)));
    EXPECT_EQ(g, e) << cases[i].given;
  }
}

TEST(NormalForm, OnlyAxiomsWithoutANamedConjunctAreInternalised) {
  struct Row {
    const char* axiom;
    bool internalised;
  };
  const Row rows[] = {
      {"SubClassOf(:A ObjectSomeValuesFrom(:r :B))", false},
      {"SubClassOf(ObjectIntersectionOf(:A :B) :C)", false},
      {"SubClassOf(ObjectSomeValuesFrom(:r :A) :B)", false},
      {"SubClassOf(ObjectIntersectionOf(:A ObjectAllValuesFrom(:r :B)) :C)", false},
      {"EquivalentClasses(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))", false},
      {"ObjectPropertyRange(:r :A)", false},
      {"SubClassOf(ObjectAllValuesFrom(:r :A) :B)", true},
      {"SubClassOf(ObjectUnionOf(ObjectAllValuesFrom(:r :A) ObjectComplementOf(:C)) :B)", true},
      {"SubClassOf(ObjectComplementOf(:A) :B)", true},
      {"SubClassOf(owl:Thing :B)", true},
      {"SubClassOf(:Thing :B)", false},  // a class named Thing is not owl:Thing
  };
  for (const Row& row : rows) {
    auto o = load(row.axiom);
    auto dl = DlOntology::from_ontology(o);
    ASSERT_TRUE(dl.has_value());
    EXPECT_EQ(!dl->thing_classes().empty(), row.internalised) << row.axiom;
    EXPECT_TRUE(dl->complete()) << row.axiom;
  }
}

TEST(NormalForm, WhatIsLeftOutMakesTheInputUndecided) {
  const char* left_out[] = {
      "SubClassOf(:A DataSomeValuesFrom(owl:topDataProperty xsd:integer))",
      "SubObjectPropertyOf(ObjectPropertyChain(:r :s) :t)",
      "HasKey(:A () (:d))",
      "SubClassOf(:A ObjectMinCardinality(2 owl:topObjectProperty :B))",
      "DataPropertyDomain(owl:topDataProperty :A)",
  };
  for (const char* axiom : left_out) {
    auto o = load(axiom);
    auto dl = DlOntology::from_ontology(o);
    ASSERT_TRUE(dl.has_value());
    EXPECT_FALSE(dl->complete()) << axiom;
  }
  // A chain that only says transitivity is decided, and so are data
  // restrictions, values and data property axioms (the data oracle decides
  // them).
  const char* kept[] = {
      "SubObjectPropertyOf(ObjectPropertyChain(:r :r) :r)",
      "DataPropertyDomain(:d :A) DataPropertyRange(:d xsd:integer) FunctionalDataProperty(:d)"
      " NegativeDataPropertyAssertion(:d :a \"1\")",
      "SubClassOf(:A DataSomeValuesFrom(:d xsd:integer)) DataPropertyAssertion(:d :a \"1\")"
      " SubDataPropertyOf(:d :e) DisjointDataProperties(:e :f) SubClassOf(:B DataMaxCardinality(2 :f))",
  };
  for (const char* axioms : kept) {
    auto o = load(axioms);
    auto dl = DlOntology::from_ontology(o);
    ASSERT_TRUE(dl.has_value());
    EXPECT_TRUE(dl->complete()) << axioms << ": " << dl->incomplete_reason();
  }
}

}  // namespace
}  // namespace trelvanic_alc::testing
