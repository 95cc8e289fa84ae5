// Data restrictions of class expressions: what a class expression and the
// definitions of its named classes oblige an individual's values to.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../alc/fixture.h"
#include "core/dl_expr.h"
#include "dl/datatype/restrictions.h"

namespace trelvanic_dl::datatype::consistency {
namespace {

using trelvanic_alc::testing::entity;
using trelvanic_alc::testing::load;
using trelvanic_core::CeId;
using trelvanic_core::ClassExpr;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::Ontology;
using K = DataRestriction::Kind;

// The class expression of the first class assertion.
CeId asserted(const Ontology& o) {
  for (size_t i = 0; i < o.dl().axiom_count(); ++i)
    if (o.dl().axiom(i).kind == DlAxiomKind::ClassAssertion) return o.dl().axiom(i).class_expr();
  ADD_FAILURE() << "no class assertion";
  return CeId(0);
}

// (property local name, kind) of each restriction, in order.
std::vector<std::pair<std::string, K>> shape(Ontology& o, CeId ce) {
  std::vector<std::pair<std::string, K>> out;
  for (const auto& [p, r] : restrictions_from_ce(o.dl(), ce)) {
    std::string iri(*o.entity_iri(p));
    out.emplace_back(iri.substr(iri.find('#') + 1), r.kind);
  }
  return out;
}

TEST(DataRestrictions, FromClassExpressions) {
  struct Case {
    const char* what;
    const char* body;
    const char* named;  // the class asked about; null: the asserted expression
    std::vector<std::pair<std::string, K>> expected;
  };
  const std::vector<Case> cases = {
      {"conjunctions in operand order", "ClassAssertion(ObjectIntersectionOf(DataSomeValuesFrom(:p xsd:integer)"
       " ObjectIntersectionOf(DataAllValuesFrom(:q xsd:string) ObjectSomeValuesFrom(:r :C))) :x)", nullptr,
       {{"p", K::DataSome}, {"q", K::DataAll}}},
      {"unions are not looked into", "ClassAssertion(ObjectUnionOf(DataSomeValuesFrom(:p xsd:integer)"
       " DataSomeValuesFrom(:q xsd:string)) :x)", nullptr, {}},
      {"complements are not looked into", "ClassAssertion(ObjectComplementOf(DataAllValuesFrom(:p xsd:integer)) :x)",
       nullptr, {}},
      {"every cardinality", "ClassAssertion(ObjectIntersectionOf(DataHasValue(:p \"1\"^^xsd:integer)"
       " DataMinCardinality(2 :p) DataMaxCardinality(3 :q xsd:string) DataExactCardinality(1 :r)) :x)", nullptr,
       {{"p", K::DataHasValue}, {"p", K::DataMin}, {"q", K::DataMax}, {"r", K::DataExact}}},
      {"the intersection defines a class over a named partner",
       "EquivalentClasses(:A :B ObjectIntersectionOf(DataSomeValuesFrom(:p xsd:integer) :C))", "A",
       {{"p", K::DataSome}}},
      {"sub-classes are the caller's", "SubClassOf(:A DataSomeValuesFrom(:p xsd:integer))", "A", {}},
      {"the earlier of two equal definitions", "EquivalentClasses(:A DataSomeValuesFrom(:p xsd:integer))"
       " EquivalentClasses(:A DataAllValuesFrom(:q xsd:integer))", "A", {{"p", K::DataSome}}},
      {"a cycle of definitions ends", "EquivalentClasses(:A ObjectIntersectionOf(:B DataSomeValuesFrom(:p"
       " xsd:integer))) EquivalentClasses(:B ObjectIntersectionOf(:A DataAllValuesFrom(:q xsd:string)))", "A",
       {{"q", K::DataAll}, {"p", K::DataSome}}},
  };
  for (const Case& c : cases) {
    Ontology o = load(c.body);
    const CeId ce = c.named == nullptr ? asserted(o) : o.dl_mut().intern_ce(ClassExpr::atomic(entity(o, c.named)));
    EXPECT_EQ(shape(o, ce), c.expected) << c.what;
  }
}

TEST(DataRestrictions, DefinitionChoice) {
  Ontology o = load("EquivalentClasses(:A :B ObjectSomeValuesFrom(:r :C) ObjectComplementOf(:D))");
  const CeId fallback = o.dl_mut().intern_ce(ClassExpr::atomic(entity(o, "D")));
  const auto [found, def] = equivalent_definition_ce(o.dl(), entity(o, "A"), fallback);
  ASSERT_TRUE(found);
  EXPECT_EQ(o.dl().ce(def).kind, trelvanic_core::CeKind::Some);  // 4 beats ¬ (3) and a name (1)
  EXPECT_EQ(Definitions(o.dl()).of(entity(o, "A")), def);
  EXPECT_EQ(equivalent_definition_ce(o.dl(), entity(o, "C"), fallback), std::pair(false, fallback));
}

TEST(DataRestrictions, FillersKeysAndDisjointPairs) {
  Ontology o = load(
      "ClassAssertion(ObjectIntersectionOf(DataMinCardinality(2 :p rdfs:Literal) DataMinCardinality(2 :p)"
      " DataMinCardinality(2 :p xsd:integer)) :x) DisjointDataProperties(:a :b :c) DisjointDataProperties(:d :e)"
      " SubClassOf(owl:Thing :T)");
  std::vector<bool> qualified;
  for (const auto& [p, r] : restrictions_from_ce(o.dl(), asserted(o)))
    qualified.push_back(optional_data_cardinality_filler(o, r.filler).has_value());
  EXPECT_EQ(qualified, (std::vector<bool>{false, false, true}));

  const auto pairs = disjoint_data_property_pairs(o.dl());
  auto id = [&](const char* n) { return entity(o, n); };
  EXPECT_EQ(pairs, (std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>>{
                       {id("a"), id("b")}, {id("a"), id("c")}, {id("b"), id("c")}, {id("d"), id("e")}}));

  const auto thing = o.lookup_entity("http://www.w3.org/2002/07/owl#Thing");
  ASSERT_TRUE(thing.has_value());
  EXPECT_EQ(canonical_class_restriction_key(o, *thing), *thing);
  EXPECT_EQ(canonical_class_restriction_key(o, id("T")), id("T"));
}

}  // namespace
}  // namespace trelvanic_dl::datatype::consistency
