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
  x.cls("C");
  auto r = merge(x,
                 {t3(iri("d"), kRdfType, iri("C")), t3(iri("d"), kRdfType, kOwl + "FunctionalProperty"),
                  // Typing with reserved vocabulary is no class assertion.
                  t3(iri("d"), kRdfType, kOwl + "DatatypeProperty")},
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

// A merge adds axioms about the entities it finds; it never turns one into
// another kind, and RDF-level facts about the vocabulary itself (every
// property is an rdf:Property, owl:ObjectProperty is a subclass of it) are
// not facts about the ontology's entities.
TEST(Merge, NeverChangesWhatAnEntityIs) {
  const std::string rdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
  const std::string rdfs = "http://www.w3.org/2000/01/rdf-schema#";
  Onto x;
  auto c = x.cls("C");
  auto d = x.cls("D");
  auto p = x.prop("p");
  auto a = x.ind("a");
  auto top_data = x.e("top", EntityKind::DataProperty);
  ASSERT_TRUE(x.o.entity_id(kOwl + "topDataProperty", EntityKind::DataProperty));
  auto r = merge(x, {
                        t3(iri("C"), kRdfType, iri("D")),            // a class typed as an individual
                        t3(iri("p"), kRdfType, iri("D")),            // a property typed likewise
                        t3(iri("p"), kRdfType, rdf + "Property"),    // every property is one
                        t3(iri("a"), iri("p"), iri("C")),            // a class as an object
                        t3(iri("top"), kRdfType, rdf + "Property"),  // a data property
                        t3(kOwl + "topDataProperty", kRdfType, rdf + "Property"),
                        t3(kOwl + "ObjectProperty", kSubClassOf, rdf + "Property"),
                        t3(rdfs + "Class", kSubClassOf, rdfs + "Resource"),
                        t3(iri("a"), kRdfType, iri("D")),            // kept
                        t3(iri("b"), kRdfType, iri("D")),            // a new individual: kept
                        t3(iri("a"), kRdfType, kOwl + "Thing"),      // kept
                    });
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->clashes, std::vector<std::string>{});
  EXPECT_EQ(x.o.entities().kind(c), EntityKind::Class);
  EXPECT_EQ(x.o.entities().kind(d), EntityKind::Class);
  EXPECT_EQ(x.o.entities().kind(p), EntityKind::ObjectProperty);
  EXPECT_EQ(x.o.entities().kind(top_data), EntityKind::DataProperty);
  EXPECT_FALSE(x.o.lookup_entity(rdf + "Property"));
  EXPECT_FALSE(x.o.lookup_entity(rdfs + "Class"));
  auto b = x.o.lookup_entity(iri("b"));
  auto thing = x.o.lookup_entity(kOwl + "Thing");
  ASSERT_TRUE(b && thing);
  EXPECT_EQ(x.o.entities().kind(*b), EntityKind::Individual);
  EXPECT_TRUE(x.has(Axiom::class_assertion(a, d)));
  EXPECT_TRUE(x.has(Axiom::class_assertion(*b, d)));
  EXPECT_TRUE(x.has(Axiom::class_assertion(a, *thing)));
  EXPECT_EQ(x.o.axiom_count(), 3u);
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
