#include "bridge/rl_postprocess.h"

#include <gtest/gtest.h>

#include "core/dl.h"
#include "fixture.h"

namespace {

using namespace trelvanic_core;
using bridge_test::Onto;
namespace b = trelvanic_bridge;

size_t run(Onto& x, b::Result<size_t> (*step)(Ontology&)) {
  auto n = step(x.o);
  EXPECT_TRUE(n) << n.error().message();
  return n.value_or(0);
}

CeId atomic(Onto& x, EntityId c) { return x.o.dl_mut().intern_ce(ClassExpr::atomic(c)); }
CeId one_of(Onto& x, EntityId i) { return x.o.dl_mut().intern_ce(ClassExpr::one_of({i})); }

TEST(PropertySteps, TransitiveClosureAddsOnlyMissingPairs) {
  Onto x;
  auto p = x.prop("p"), q = x.prop("q"), r = x.prop("r");
  x.add(Axiom::sub_object_property_of(p, q));
  x.add(Axiom::sub_object_property_of(q, r));
  EXPECT_EQ(run(x, b::apply_transitive_subproperties), 1u);
  EXPECT_TRUE(x.has(Axiom::sub_object_property_of(p, r)));
  Onto cyc;
  auto c1 = cyc.prop("p"), c2 = cyc.prop("q");
  cyc.add(Axiom::sub_object_property_of(c1, c2));
  cyc.add(Axiom::sub_object_property_of(c2, c1));
  EXPECT_EQ(run(cyc, b::apply_transitive_subproperties), 0u);
  EXPECT_EQ(b::subproperties_of(c1, b::superproperty_edges(cyc.o)), (b::EntityIdSet{c1, c2}));
  EXPECT_TRUE(b::subproperties_of(cyc.prop("lonely"), b::superproperty_edges(cyc.o)).empty());
}

TEST(PropertySteps, EquivalencesAndInversesGiveSubProperties) {
  Onto x;
  auto p = x.prop("p"), q = x.prop("q"), r = x.prop("r");
  x.add(Axiom::equivalent_object_properties({p, q, r}));
  x.add(Axiom::equivalent_object_properties({p, q}));
  EXPECT_EQ(run(x, b::apply_equivalent_property_subproperties), 6u);
  Onto y;
  auto s = y.prop("s"), t = y.prop("t");
  auto& dl = y.o.dl_mut();
  dl.push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(s), RoleExpr::inverse(t)));
  dl.push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(t), RoleExpr::atomic(s)));
  dl.push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(s), RoleExpr::inverse(s)));
  EXPECT_EQ(run(y, b::apply_inverse_subproperty_materialization), 1u);
  EXPECT_TRUE(y.has(Axiom::sub_object_property_of(s, t)));
}

TEST(PropertySteps, CharacteristicsPassDownAndReflexivityUp) {
  Onto x;
  auto p = x.prop("p"), q = x.prop("q"), r = x.prop("r");
  x.add(Axiom::sub_object_property_of(p, q));
  x.add(Axiom::sub_object_property_of(q, r));
  x.add(Axiom::property_characteristic(AxiomKind::FunctionalObjectProperty, q));
  x.add(Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, p));
  EXPECT_EQ(run(x, b::apply_characteristic_propagation), 3u);
  EXPECT_TRUE(x.has(Axiom::property_characteristic(AxiomKind::FunctionalObjectProperty, p)));
  EXPECT_FALSE(x.has(Axiom::property_characteristic(AxiomKind::FunctionalObjectProperty, r)));
  EXPECT_TRUE(x.has(Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, q)));
  EXPECT_TRUE(x.has(Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, r)));
}

TEST(PropertySteps, DataPropertyHierarchy) {
  Onto x;
  auto d1 = x.dprop("d1"), d2 = x.dprop("d2"), d3 = x.dprop("d3");
  auto& dl = x.o.dl_mut();
  dl.push_axiom(DlAxiom::sub_data_property_of(d1, d2));
  dl.push_axiom(DlAxiom::sub_data_property_of(d2, d3));
  dl.push_axiom(DlAxiom::functional_data_property(d3));
  EXPECT_EQ(b::apply_transitive_data_subproperties(x.o), 1u);
  EXPECT_EQ(b::apply_functional_data_subproperty_inference(x.o), 2u);
}

TEST(ClassSteps, DomainsAndRangesPassDown) {
  Onto x;
  auto p = x.prop("p"), q = x.prop("q"), r = x.prop("r");
  auto d = x.cls("D"), rr = x.cls("R");
  x.add(Axiom::sub_object_property_of(p, q));
  x.add(Axiom::sub_object_property_of(q, r));
  x.add(Axiom::object_property_domain(q, d));
  x.add(Axiom::object_property_range(r, rr));
  x.add(Axiom::object_property_domain(p, d));
  EXPECT_EQ(run(x, b::propagate_domain_range_along_subproperties), 2u);
  EXPECT_TRUE(x.has(Axiom::object_property_range(p, rr)));
  EXPECT_TRUE(x.has(Axiom::object_property_range(q, rr)));
}

// An assertion of p types its subject with the domains of p and of p's
// super-properties, never with the domain of a sub-property of p.
TEST(ClassSteps, DomainsOfSubPropertiesDoNotTypeSuperPropertyAssertions) {
  Onto x;
  auto p = x.prop("p"), q = x.prop("q"), top = x.prop("top");
  auto d = x.cls("D"), t = x.cls("T");
  auto s = x.ind("s"), o = x.ind("o");
  x.add(Axiom::sub_object_property_of(q, p));
  x.add(Axiom::sub_object_property_of(p, top));
  x.add(Axiom::object_property_domain(q, d));
  x.add(Axiom::object_property_range(top, t));
  x.add(Axiom::object_property_assertion(s, p, o));
  EXPECT_EQ(run(x, b::apply_domain_range_inheritance), 1u);
  EXPECT_FALSE(x.has(Axiom::class_assertion(s, d)));
  EXPECT_TRUE(x.has(Axiom::class_assertion(o, t)));
}

TEST(ClassSteps, TypedThroughCyclicSuperclassesEnds) {
  Onto x;
  auto a = x.cls("A"), bb = x.cls("B"), d = x.cls("D");
  auto p = x.prop("p");
  auto s = x.ind("s"), o = x.ind("o");
  x.add(Axiom::sub_class_of(a, bb));
  x.add(Axiom::sub_class_of(bb, a));
  x.add(Axiom::class_assertion(s, a));
  x.add(Axiom::object_property_domain(p, d));
  x.add(Axiom::object_property_domain(p, bb));
  x.add(Axiom::object_property_assertion(s, p, o));
  EXPECT_EQ(run(x, b::apply_domain_range_inheritance), 1u);  // D only: B is reached through A
  EXPECT_TRUE(x.has(Axiom::class_assertion(s, d)));
}

// Individuals of one class share what is reached from it, each target on
// its own: B is reached through A (no new assertion), D is not (each
// subject of q gets it, the second as much as the first).
TEST(ClassSteps, TypedThroughASharedClassPerTarget) {
  Onto x;
  auto a = x.cls("A"), bb = x.cls("B"), d = x.cls("D");
  auto p = x.prop("p"), q = x.prop("q");
  auto s1 = x.ind("s1"), s2 = x.ind("s2"), s3 = x.ind("s3"), o = x.ind("o");
  x.add(Axiom::sub_class_of(a, bb));
  x.add(Axiom::object_property_domain(p, bb));
  x.add(Axiom::object_property_domain(q, d));
  for (EntityId s : {s1, s2, s3}) x.add(Axiom::class_assertion(s, a));
  x.add(Axiom::object_property_assertion(s1, p, o));
  x.add(Axiom::object_property_assertion(s1, q, o));
  x.add(Axiom::object_property_assertion(s2, q, o));
  x.add(Axiom::object_property_assertion(s3, p, o));
  EXPECT_EQ(run(x, b::apply_domain_range_inheritance), 2u);
  EXPECT_TRUE(x.has(Axiom::class_assertion(s1, d)));
  EXPECT_TRUE(x.has(Axiom::class_assertion(s2, d)));
  EXPECT_FALSE(x.has(Axiom::class_assertion(s3, d)));
  for (EntityId s : {s1, s2, s3}) EXPECT_FALSE(x.has(Axiom::class_assertion(s, bb)));
}

// Two classes that both imply the same existential are not equivalent; a
// definition (equivalence) on the superclass side is needed.
TEST(ClassSteps, ExistentialSubsumptionNeedsADefinition) {
  Onto x;
  auto dog = x.cls("Dog"), cat = x.cls("Cat"), tail = x.cls("Tail");
  auto has_part = x.prop("hasPart");
  x.add(Axiom::sub_class_of_existential(dog, has_part, tail));
  x.add(Axiom::sub_class_of_existential(cat, has_part, tail));
  EXPECT_EQ(run(x, b::apply_existential_subclass_subsumption), 0u);

  Onto y;
  auto a = y.cls("A"), a2 = y.cls("A2"), bb = y.cls("B"), b2 = y.cls("B2");
  auto p = y.prop("p"), q = y.prop("q");
  y.add(Axiom::sub_object_property_of(p, q));
  y.add(Axiom::sub_class_of(bb, b2));
  auto& dl = y.o.dl_mut();
  const CeId some_q = dl.intern_ce(ClassExpr::some(RoleExpr::atomic(q), atomic(y, b2)));
  const CeId some_p = y.o.dl_mut().intern_ce(ClassExpr::some(RoleExpr::atomic(p), atomic(y, bb)));
  y.o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atomic(y, a2), some_q}));
  y.o.dl_mut().push_axiom(DlAxiom::equivalent_classes({some_p, atomic(y, a)}));
  EXPECT_EQ(run(y, b::apply_existential_subclass_subsumption), 1u);
  EXPECT_TRUE(y.has(Axiom::sub_class_of(a, a2)));
  EXPECT_FALSE(y.has(Axiom::sub_class_of(a2, a)));
  // Same property and filler, both definitions: equivalent.
  Onto z;
  auto c1 = z.cls("C1"), c2 = z.cls("C2"), f = z.cls("F");
  auto r = z.prop("r");
  const CeId some_r = z.o.dl_mut().intern_ce(ClassExpr::some(RoleExpr::atomic(r), atomic(z, f)));
  z.o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atomic(z, c1), some_r}));
  z.o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atomic(z, c2), some_r}));
  EXPECT_EQ(run(z, b::apply_existential_subclass_subsumption), 2u);
}

TEST(SingletonSteps, LookupsFollowOnlyTheClassesOwnEquivalences) {
  Onto x;
  auto d = x.cls("D"), e = x.cls("E"), other = x.cls("Other");
  auto i = x.ind("i");
  auto p = x.prop("p");
  x.o.dl_mut().push_axiom(DlAxiom::equivalent_classes({atomic(x, d), one_of(x, i)}));
  x.add(Axiom::equivalent_classes({e, d}));
  EXPECT_EQ(b::singleton_from_equivalent_classes(x.o, e), i);
  // A one-individual domain of some property says nothing about Other.
  x.o.dl_mut().push_axiom(DlAxiom::object_property_domain(p, one_of(x, i)));
  EXPECT_EQ(b::singleton_individual_of_class(x.o, other), std::nullopt);
  // Equivalences without a one-individual member end the search.
  Onto y;
  auto a = y.cls("A"), bb = y.cls("B"), c = y.cls("C");
  y.add(Axiom::equivalent_classes({a, bb}));
  y.add(Axiom::equivalent_classes({bb, c}));
  y.add(Axiom::equivalent_classes({c, a}));
  EXPECT_EQ(b::singleton_from_equivalent_classes(y.o, a), std::nullopt);
}

// A property whose own domain is {x} and range is {y}.
EntityId bounded(Onto& x, const std::string& name, EntityId from, EntityId to) {
  auto p = x.prop(name);
  x.o.dl_mut().push_axiom(DlAxiom::object_property_domain(p, one_of(x, from)));
  x.o.dl_mut().push_axiom(DlAxiom::object_property_range(p, one_of(x, to)));
  return p;
}

TEST(SingletonSteps, NominalSubsumptionAndEquivalence) {
  Onto x;
  auto a = x.ind("a"), c = x.ind("c"), z = x.ind("z");
  auto p = bounded(x, "p", a, c);
  auto q = x.prop("q"), r = x.prop("r");
  x.add(Axiom::object_property_assertion(a, q, c));
  x.add(Axiom::object_property_assertion(a, r, z));
  EXPECT_EQ(run(x, b::apply_domain_range_nominal_subsumption), 1u);
  EXPECT_TRUE(x.has(Axiom::sub_object_property_of(p, q)));
  EXPECT_FALSE(x.has(Axiom::sub_object_property_of(p, r)));

  Onto y;
  auto ya = y.ind("a"), yc = y.ind("c");
  auto p1 = bounded(y, "p1", ya, yc), p2 = bounded(y, "p2", ya, yc), p3 = bounded(y, "p3", ya, yc);
  y.add(Axiom::object_property_assertion(ya, p1, yc));
  y.add(Axiom::object_property_assertion(ya, p2, yc));
  EXPECT_EQ(run(y, b::apply_singleton_domain_range_property_equivalence), 2u);
  EXPECT_FALSE(y.has(Axiom::sub_object_property_of(p1, p3)));  // p3 may be empty
}

// One asserted pair is not a property's whole extension; only its own
// one-individual domain and range bound it.
TEST(SingletonSteps, SingleAssertionsAreNotExtensions) {
  Onto x;
  auto a = x.ind("a"), m = x.ind("m"), c = x.ind("c");
  auto t = x.prop("t"), u = x.prop("u"), bp = x.prop("b");
  x.add(Axiom::property_characteristic(AxiomKind::TransitiveObjectProperty, bp));
  x.add(Axiom::object_property_assertion(a, t, c));
  x.add(Axiom::object_property_assertion(a, u, a));
  x.add(Axiom::object_property_assertion(a, bp, m));
  x.add(Axiom::object_property_assertion(m, bp, c));
  EXPECT_EQ(run(x, b::apply_transitive_path_property_subsumption), 0u);
  // With t bounded to (a, c), the b-path from a to c puts t under b.
  x.o.dl_mut().push_axiom(DlAxiom::object_property_domain(t, one_of(x, a)));
  x.o.dl_mut().push_axiom(DlAxiom::object_property_range(t, one_of(x, c)));
  EXPECT_EQ(run(x, b::apply_transitive_path_property_subsumption), 1u);
  EXPECT_TRUE(x.has(Axiom::sub_object_property_of(t, bp)));
  // u bounded to (a, a): b holds (a, a) only through a cycle, and there is none.
  x.o.dl_mut().push_axiom(DlAxiom::object_property_domain(u, one_of(x, a)));
  x.o.dl_mut().push_axiom(DlAxiom::object_property_range(u, one_of(x, a)));
  EXPECT_EQ(run(x, b::apply_transitive_path_property_subsumption), 0u);
}

TEST(StepLists, EmptyOntologyAndRdfsListScope) {
  Onto x;
  EXPECT_EQ(run(x, b::apply_materializer_fallbacks), 0u);
  EXPECT_EQ(run(x, b::apply_rdfs_fallbacks), 0u);
  auto p = x.prop("p"), q = x.prop("q");
  x.add(Axiom::equivalent_object_properties({p, q}));
  EXPECT_EQ(run(x, b::apply_rdfs_fallbacks), 0u);
  EXPECT_EQ(run(x, b::apply_materializer_fallbacks), 2u);
}

TEST(BottomChain, RecognisedByTheFullIriOnly) {
  const std::string bottom = "http://www.w3.org/2002/07/owl#bottomObjectProperty";
  struct Case {
    const char* name;
    std::string super_iri;
    bool inverse_step;
    bool linked;
    bool expected;
  };
  const Case cases[] = {
      {"realised chain", bottom, false, true, true},
      {"broken path", bottom, false, false, false},
      {"inverse step", bottom, true, true, false},
      {"look-alike name", "http://ex.org/notbottomObjectProperty", false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Onto x;
    auto p = x.prop("p"), q = x.prop("q");
    auto sup = *x.o.entity_id(c.super_iri, EntityKind::ObjectProperty);
    auto i1 = x.ind("i1"), i2 = x.ind("i2"), i3 = x.ind("i3"), i4 = x.ind("i4");
    x.add(Axiom::object_property_assertion(i1, p, i2));
    x.add(Axiom::object_property_assertion(c.linked ? i2 : i3, q, i4));
    x.o.dl_mut().push_axiom(DlAxiom::sub_object_property_chain(
        {RoleExpr::atomic(p), c.inverse_step ? RoleExpr::inverse(q) : RoleExpr::atomic(q)}, RoleExpr::atomic(sup)));
    EXPECT_EQ(b::has_bottom_chain_violation(x.o), c.expected);
  }
}

}  // namespace
