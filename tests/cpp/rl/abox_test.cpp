#include "rl/abox.h"

#include <gtest/gtest.h>

namespace {

using namespace trelvanic_core;
namespace abox = trelvanic_rl::abox;

struct Onto {
  Ontology o;
  EntityId e(const std::string& n, EntityKind k) { return *o.entity_id("http://ex.org/" + n, k); }
  AxiomId add(Axiom a) { return *o.add_axiom(std::move(a)); }
};

TEST(SameAsClosure, GroupsAndRepresentatives) {
  Onto x;
  auto a = x.e("a", EntityKind::Individual), b = x.e("b", EntityKind::Individual),
       c = x.e("c", EntityKind::Individual), d = x.e("d", EntityKind::Individual),
       e = x.e("e", EntityKind::Individual);
  EXPECT_TRUE(abox::same_as_closure(x.o).classes.empty());
  EXPECT_EQ(abox::same_as_closure(x.o).representative(a), a);
  x.add(Axiom::same_individual({a, b}));
  x.add(Axiom::same_individual({b, c}));
  auto removed = x.add(Axiom::same_individual({d, e}));
  ASSERT_TRUE(x.o.remove_axiom(removed));
  auto closure = abox::same_as_closure(x.o);
  ASSERT_EQ(closure.classes.size(), 1u);
  auto group = closure.classes[0];
  std::sort(group.begin(), group.end());
  EXPECT_EQ(group, (std::vector<EntityId>{b, c}));
  EXPECT_EQ(closure.representative(c), a);
  EXPECT_EQ(closure.representative(e), e);
}

TEST(SameAsClashes, OneMessagePerPairAndNoneForPuns) {
  Onto x;
  auto a = x.e("a", EntityKind::Individual), b = x.e("b", EntityKind::Individual);
  auto p = x.e("P", EntityKind::Class);
  ASSERT_TRUE(x.o.entity_id("http://ex.org/P", EntityKind::Individual));
  x.add(Axiom::same_individual({a, b}));
  x.add(Axiom::different_individuals({a, b}));
  x.add(Axiom::different_individuals({a, b, p}));
  x.add(Axiom::same_individual({a, p}));
  auto clashes = abox::collect_same_as_clashes(x.o);
  EXPECT_EQ(clashes.messages,
            (std::vector<std::string>{"individuals EntityId(0) and EntityId(1) are sameAs but also differentFrom"}));
  EXPECT_EQ(clashes.pairs.size(), 1u);
  auto consistent = abox::is_abox_consistent(x.o);
  ASSERT_TRUE(consistent);
  EXPECT_FALSE(*consistent);
}

TEST(PropertyValues, SortedThroughSubPropertiesInversesAndSymmetry) {
  Onto x;
  auto a = x.e("a", EntityKind::Individual), b = x.e("b", EntityKind::Individual),
       c = x.e("c", EntityKind::Individual), z = x.e("z", EntityKind::Individual);
  auto p = x.e("p", EntityKind::ObjectProperty), q = x.e("q", EntityKind::ObjectProperty),
       k = x.e("k", EntityKind::ObjectProperty), s = x.e("s", EntityKind::ObjectProperty);
  x.add(Axiom::sub_object_property_of(q, p));
  x.add(Axiom::object_property_assertion(a, q, c));
  x.add(Axiom::object_property_assertion(a, p, b));
  x.add(Axiom::inverse_object_properties(k, p));
  x.add(Axiom::object_property_assertion(z, k, a));
  EXPECT_EQ(abox::object_property_values_materialized(x.o, a, p, false), (std::vector<EntityId>{b, c}));
  EXPECT_EQ(abox::object_property_values_materialized(x.o, a, p, true), (std::vector<EntityId>{b, c, z}));
  x.add(Axiom::property_characteristic(AxiomKind::SymmetricObjectProperty, s));
  x.add(Axiom::object_property_assertion(z, s, b));
  EXPECT_EQ(abox::object_property_values_materialized(x.o, b, s, true), (std::vector<EntityId>{z}));
  EXPECT_TRUE(abox::object_property_values_materialized(x.o, c, p, true).empty());
  Ontology copy = x.o.clone();
  auto values = abox::object_property_values(copy, a, p);
  ASSERT_TRUE(values);
  EXPECT_EQ(*values, (std::vector<EntityId>{b, c, z}));
}

}  // namespace
