#include "bridge/merge.h"

#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace trelvanic_core;
using bridge_test::iri;
using bridge_test::Onto;
using trelvanic_bridge::TermTriple;
using trelvanic_materializer::Problem;
using trelvanic_materializer::Term;

constexpr const char* kRdfType = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";
constexpr const char* kSubClassOf = "http://www.w3.org/2000/01/rdf-schema#subClassOf";
const std::string kOwl = "http://www.w3.org/2002/07/owl#";

TermTriple t3(const std::string& s, const std::string& p, const std::string& o) {
  return TermTriple{Term::iri(s), Term::iri(p), Term::iri(o)};
}

trelvanic_bridge::Result<trelvanic_bridge::MergeReport> merge(Onto& x, const std::vector<TermTriple>& out,
                                                            const std::vector<Problem>& problems = {},
                                                            size_t max_axioms = 1000, size_t max_entities = 1000) {
  return trelvanic_bridge::merge_term_triples(x.o, out, problems, max_axioms, max_entities, x.o.axiom_count());
}

// Reflexive pairs state nothing: they are skipped instead of failing the
// merge in the store's validation.
TEST(Merge, SelfPairsAreSkipped) {
  Onto x;
  x.cls("A");
  x.ind("a");
  x.prop("p");
  auto r = merge(x, {t3(iri("A"), kOwl + "equivalentClass", iri("A")), t3(iri("a"), kOwl + "sameAs", iri("a")),
                     t3(iri("p"), kOwl + "equivalentProperty", iri("p"))});
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->added_axioms, 0u);
  EXPECT_EQ(x.o.axiom_count(), 0u);
}

TEST(Merge, KnownAndRepeatedTriplesAddOnce) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  x.add(Axiom::sub_class_of(a, b));
  auto r = merge(x, {t3(iri("A"), kSubClassOf, iri("B")), t3(iri("A"), kSubClassOf, iri("C")),
                     t3(iri("A"), kSubClassOf, iri("C")), t3(iri("C"), kOwl + "equivalentClass", iri("B")),
                     t3(iri("B"), kOwl + "equivalentClass", iri("C"))});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->added_axioms, 2u);
  EXPECT_TRUE(x.has(Axiom::sub_class_of(a, c)));
  EXPECT_TRUE(x.has(Axiom::equivalent_classes({b, c})));
}

TEST(Merge, KindMismatchesAreMessagesAfterTheProblems) {
  Onto x;
  x.dprop("d");
  auto r = merge(x,
                 {t3(iri("d"), kRdfType, kOwl + "DatatypeProperty"), t3(iri("d"), kRdfType, kOwl + "FunctionalProperty")},
                 {Problem{"cax-dw", "x is in two disjoint classes"}});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->clashes, (std::vector<std::string>{
                            "cax-dw: x is in two disjoint classes",
                            "entity kind mismatch for " + iri("d") + ": expected Individual, found DataProperty",
                            "entity kind mismatch for " + iri("d") + ": expected ObjectProperty, found DataProperty"}));
  EXPECT_EQ(r->added_axioms, 0u);
}

TEST(Merge, LiteralObjectsBecomeDataAssertions) {
  Onto x;
  auto r = merge(x, {TermTriple{Term::iri(iri("a")), Term::iri(iri("d")), Term::lang_literal("hi", "en")}});
  ASSERT_TRUE(r) << r.error().message();
  auto a = x.o.lookup_entity(iri("a"));
  auto d = x.o.lookup_entity(iri("d"));
  ASSERT_TRUE(a && d);
  EXPECT_EQ(x.o.entities().kind(*a), EntityKind::Individual);
  EXPECT_EQ(x.o.entities().kind(*d), EntityKind::DataProperty);
  EXPECT_TRUE(x.has(Axiom::data_property_assertion(
      *a, *d, DataLiteral{"hi", "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString"})));
}

TEST(Merge, ClassMetAsIndividualIsPunnedKeepingItsId) {
  Onto x;
  auto c = x.cls("C");
  x.cls("D");
  auto r = merge(x, {t3(iri("C"), kRdfType, iri("D"))});
  ASSERT_TRUE(r);
  EXPECT_EQ(x.o.lookup_entity(iri("C")), c);
  EXPECT_EQ(x.o.entities().kind(c), EntityKind::ClassIndividual);
}

TEST(Merge, RestrictionNodesGiveExistentialsInAnyOrder) {
  const Term node = Term::blank("b");
  const std::vector<TermTriple> four = {
      TermTriple{node, Term::iri(kOwl + "someValuesFrom"), Term::iri(iri("D"))},
      TermTriple{Term::iri(iri("C")), Term::iri(kSubClassOf), node},
      TermTriple{node, Term::iri(kOwl + "onProperty"), Term::iri(iri("P"))},
      TermTriple{node, Term::iri(kRdfType), Term::iri(kOwl + "Restriction")},
  };
  {
    Onto x;
    ASSERT_TRUE(merge(x, four));
    auto c = x.o.lookup_entity(iri("C")), p = x.o.lookup_entity(iri("P")), d = x.o.lookup_entity(iri("D"));
    ASSERT_TRUE(c && p && d);
    EXPECT_TRUE(x.has(Axiom::sub_class_of_existential(*c, *p, *d)));
    EXPECT_EQ(x.o.axiom_count(), 1u);
  }
  {
    Onto x;
    ASSERT_TRUE(merge(x, {four[0], four[1], four[2]}));
    EXPECT_EQ(x.o.axiom_count(), 0u);
  }
}

TEST(Merge, OtherVocabularyHasNoToldForm) {
  Onto x;
  x.prop("p");
  x.prop("q");
  auto r = merge(x, {t3(iri("p"), kOwl + "propertyDisjointWith", iri("q"))});
  ASSERT_TRUE(r);
  EXPECT_EQ(x.o.axiom_count(), 0u);
  EXPECT_FALSE(x.o.lookup_entity(kOwl + "propertyDisjointWith"));
}

TEST(Merge, Limits) {
  {
    Onto x;
    x.cls("A");
    x.cls("B");
    auto r = merge(x, {t3(iri("A"), kSubClassOf, iri("B"))}, {}, 1000, 2);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message(), "bridge: entity limit 2 would be exceeded during merge");
  }
  {
    Onto x;
    auto a = x.cls("A"), b = x.cls("B");
    x.add(Axiom::sub_class_of(a, b));
    auto r = merge(x, {t3(iri("B"), kSubClassOf, iri("A"))}, {}, 1);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message(), "bridge: axiom limit 1 would be exceeded during merge (1 new axioms)");
    EXPECT_EQ(x.o.axiom_count(), 1u);
  }
}

}  // namespace
