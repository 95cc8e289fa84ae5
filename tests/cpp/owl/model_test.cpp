#include "owl/model.h"

#include <gtest/gtest.h>

namespace trelvanic_owl {
namespace {

TEST(Model, EqualExpressionsShareOneNode) {
  Ontology o;
  NodeId a = o.make_leaf(Kind::Class, o.intern_iri("http://x/A"));
  NodeId p = o.make_leaf(Kind::ObjectProperty, o.intern_iri("http://x/p"));
  NodeId some1 = o.make(Kind::ObjectSomeValuesFrom, {p.value, a.value});
  NodeId some2 = o.make(Kind::ObjectSomeValuesFrom, {p.value, a.value});
  NodeId all = o.make(Kind::ObjectAllValuesFrom, {p.value, a.value});
  EXPECT_EQ(some1, some2);
  EXPECT_NE(some1, all);
  EXPECT_EQ(o.kind(some1), Kind::ObjectSomeValuesFrom);
  EXPECT_EQ(o.operand(some1, 0), p);
  EXPECT_EQ(o.iri_text(o.operand(some1, 1)), "http://x/A");
  // Same IRI, different entity kinds: different nodes.
  EXPECT_NE(o.make_leaf(Kind::NamedIndividual, o.iri_of(a)), a);
}

TEST(Model, NodesMadeFromAnotherNodesWords) {
  // Words taken from the arena itself stay valid while the arena grows.
  Ontology o;
  std::vector<uint32_t> classes;
  for (int i = 0; i < 8; ++i) classes.push_back(o.make_leaf(Kind::Class, o.intern_iri("http://x/" + std::to_string(i))).value);
  NodeId both = o.make(Kind::ObjectIntersectionOf, classes);
  for (int i = 0; i < 10000; ++i) {
    NodeId either = o.make(Kind::ObjectUnionOf, o.words(both));
    ASSERT_EQ(o.make(Kind::ObjectIntersectionOf, o.words(both)), both);
    ASSERT_EQ(std::vector<uint32_t>(o.words(either).begin(), o.words(either).end()), classes);
    o.make(Kind::ObjectOneOf, {o.make_leaf(Kind::NamedIndividual, o.intern_iri("http://x/i" + std::to_string(i))).value});
  }
  EXPECT_EQ(o.kind(o.make(Kind::ObjectUnionOf, classes)), Kind::ObjectUnionOf);
}

TEST(Model, ComponentsAreASetInFirstOccurrenceOrder) {
  Ontology o;
  NodeId a = o.make_leaf(Kind::Class, o.intern_iri("http://x/A"));
  NodeId b = o.make_leaf(Kind::Class, o.intern_iri("http://x/B"));
  NodeId ab = o.make(Kind::SubClassOf, {a.value, b.value});
  NodeId ba = o.make(Kind::SubClassOf, {b.value, a.value});
  NodeId label = o.make(Kind::Annotation, {o.make_leaf(Kind::AnnotationProperty, o.intern_iri("http://x/l")).value,
                                           o.make_literal(o.intern_text("x"), TextId(), IriId()).value, 0});
  NodeId anns = o.make(Kind::AnnotationList, {label.value});
  EXPECT_TRUE(o.add_component(ba));
  EXPECT_TRUE(o.add_component(ab));
  EXPECT_FALSE(o.add_component(o.make(Kind::SubClassOf, {b.value, a.value})));
  EXPECT_TRUE(o.add_component(ab, anns));  // annotated: a different axiom
  ASSERT_EQ(o.component_count(), 3u);
  EXPECT_EQ(o.components()[0].node, ba);
  EXPECT_EQ(o.components()[1].node, ab);
  EXPECT_EQ(o.components()[2].annotations, anns);
}

TEST(Model, StringsSurviveMovesAndGrowth) {
  Ontology o;
  std::vector<IriId> ids;
  for (int i = 0; i < 100000; ++i) ids.push_back(o.intern_iri("http://example.org/entity/" + std::to_string(i)));
  NodeId c = o.make_leaf(Kind::Class, ids[5]);
  Ontology moved = std::move(o);
  EXPECT_EQ(moved.iri(ids[99999]), "http://example.org/entity/99999");
  EXPECT_EQ(moved.intern_iri("http://example.org/entity/5"), ids[5]);
  EXPECT_EQ(moved.make_leaf(Kind::Class, ids[5]), c);
  EXPECT_EQ(moved.intern_text(""), moved.intern_text(""));
  EXPECT_NE(moved.intern_text("").value, 0u);
}

}  // namespace
}  // namespace trelvanic_owl
