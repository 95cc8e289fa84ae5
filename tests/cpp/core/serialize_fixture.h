// An ontology holding every told-axiom form, every class-expression,
// data-range and DL-axiom form, SWRL rules with every atom and argument
// form, and parse metadata: the fixture of the snapshot tests.
#pragma once

#include <string>

#include "core/ontology.h"

namespace trelvanic_core::snapshot_test {

inline Ontology full_ontology() {
  using K = EntityKind;
  Ontology o;
  auto e = [&](const char* local, K kind) { return *o.entity_id(std::string("http://x.org/o#") + local, kind); };
  const EntityId A = e("A", K::Class), B = e("B", K::Class), C = e("C", K::Class);
  const EntityId p = e("p", K::ObjectProperty), q = e("q", K::ObjectProperty);
  const EntityId a = e("a", K::Individual), b = e("b", K::Individual);
  const EntityId d = e("d", K::DataProperty), d2 = e("d2", K::DataProperty);
  const EntityId dt = e("dt", K::Datatype);
  const EntityId pun = e("pun", K::ClassIndividual);
  (void)*o.entity_id("http://x.org/o#label", K::AnnotationProperty);
  // Anonymous individuals of loaded files and internal names keep their schemes.
  const EntityId anon = *o.entity_id("file:///tmp/o.owl#_:b0", K::Individual);
  const EntityId internal = *o.entity_id("internal:tmp/x", K::Class);

  auto add = [&](Axiom ax) { (void)*o.add_axiom(std::move(ax)); };
  add(Axiom::sub_class_of(A, B));
  add(Axiom::equivalent_classes({C, A, B}));
  add(Axiom::disjoint_classes({A, internal}));
  add(Axiom::object_property_domain(p, A));
  add(Axiom::object_property_range(p, B));
  add(Axiom::sub_object_property_of(p, q));
  add(Axiom::inverse_object_properties(q, p));
  add(Axiom::sub_class_of_existential(A, p, B));
  for (AxiomKind k : {AxiomKind::TransitiveObjectProperty, AxiomKind::SymmetricObjectProperty,
                      AxiomKind::ReflexiveObjectProperty, AxiomKind::FunctionalObjectProperty,
                      AxiomKind::InverseFunctionalObjectProperty, AxiomKind::IrreflexiveObjectProperty,
                      AxiomKind::AsymmetricObjectProperty})
    add(Axiom::property_characteristic(k, p));
  add(Axiom::equivalent_object_properties({p, q}));
  add(Axiom::class_assertion(a, A));
  add(Axiom::class_assertion(pun, pun));
  add(Axiom::object_property_assertion(a, p, anon));
  add(Axiom::data_property_assertion(a, d, {"line\n\"two\"\t\x01", "http://www.w3.org/2001/XMLSchema#string"}));
  add(Axiom::negative_object_property_assertion(a, q, b));
  add(Axiom::negative_data_property_assertion(b, d2, {"5", "http://www.w3.org/2001/XMLSchema#integer"}));
  add(Axiom::same_individual({b, a}));
  add(Axiom::different_individuals({a, b, anon}));

  DlStore& dl = o.dl_mut();
  const CeId cA = dl.intern_ce(ClassExpr::atomic(A));
  const CeId cB = dl.intern_ce(ClassExpr::atomic(B));
  const CeId top = dl.intern_ce(ClassExpr::top());
  const CeId bottom = dl.intern_ce(ClassExpr::bottom());
  const CeId notA = dl.intern_ce(ClassExpr::complement_of(cA));
  const CeId andAB = dl.intern_ce(ClassExpr::and_of({cA, cB}));
  const CeId orE = dl.intern_ce(ClassExpr::or_of({cA, notA}));
  const CeId some = dl.intern_ce(ClassExpr::some(RoleExpr::inverse(p), andAB));
  const CeId all = dl.intern_ce(ClassExpr::all(RoleExpr::atomic(q), notA));
  const CeId one = dl.intern_ce(ClassExpr::one_of({a, b}));
  const CeId hv = dl.intern_ce(ClassExpr::has_value(RoleExpr::atomic(p), a));
  const CeId self = dl.intern_ce(ClassExpr::has_self(p));
  const CeId minq = dl.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::atomic(p), cB));
  (void)dl.intern_ce(ClassExpr::cardinality(CeKind::MaxCardinality, 4294967295u, RoleExpr::inverse(q), std::nullopt));
  (void)dl.intern_ce(ClassExpr::cardinality(CeKind::ExactCardinality, 0, RoleExpr::atomic(q), some));
  const DeId dtop = dl.intern_de(DataExpr::top());
  const DeId dty = dl.intern_de(DataExpr::datatype_ref(dt));
  const DeId facet = dl.intern_de(DataExpr::facet(dty, "http://www.w3.org/2001/XMLSchema#minInclusive", "1"));
  const DeId facet2 = dl.intern_de(DataExpr::facet(facet, "http://www.w3.org/2001/XMLSchema#maxInclusive", "9"));
  const DeId dand = dl.intern_de(DataExpr::and_of({dtop, facet2}));
  const DeId lit = dl.intern_de(DataExpr::literal("x\"y", dt));
  const DeId dor = dl.intern_de(DataExpr::or_of({lit, dty}));
  const DeId dnot = dl.intern_de(DataExpr::complement_of(dor));
  (void)dl.intern_ce(ClassExpr::data_all(d, dand));
  (void)dl.intern_ce(ClassExpr::data_some(d, dnot));
  (void)dl.intern_ce(ClassExpr::data_has_value(d, lit));
  (void)dl.intern_ce(ClassExpr::data_cardinality(CeKind::DataMinCardinality, 1, d, dty));
  (void)dl.intern_ce(ClassExpr::data_cardinality(CeKind::DataMaxCardinality, 3, d, std::nullopt));
  (void)dl.intern_ce(ClassExpr::data_cardinality(CeKind::DataExactCardinality, 2, d2, facet));
  using DK = DlAxiomKind;
  dl.push_axiom(DlAxiom::sub_class_of(some, all));
  dl.push_axiom(DlAxiom::equivalent_classes({cA, hv}));
  dl.push_axiom(DlAxiom::disjoint_classes({self, one, bottom}));
  dl.push_axiom(DlAxiom::object_property_domain(p, minq));
  dl.push_axiom(DlAxiom::object_property_range(q, top));
  dl.push_axiom(DlAxiom::sub_object_property_chain({RoleExpr::atomic(p), RoleExpr::inverse(q)}, RoleExpr::atomic(p)));
  dl.push_axiom(DlAxiom::sub_object_property_chain({}, RoleExpr::inverse(q)));
  dl.push_axiom(DlAxiom::sub_object_property_of(RoleExpr::inverse(p), RoleExpr::atomic(q)));
  dl.push_axiom(DlAxiom::has_key(cA, {p, q}, {d}));
  dl.push_axiom(DlAxiom::class_assertion(a, orE));
  dl.push_axiom(DlAxiom::class_assertion(b, cA));
  dl.push_axiom(DlAxiom::data_property_domain(d, cB));
  dl.push_axiom(DlAxiom::data_property_range(d, dty));
  dl.push_axiom(DlAxiom::sub_data_property_of(d, d2));
  dl.push_axiom(DlAxiom::data_property_assertion(a, d, lit));
  dl.push_axiom(DlAxiom::negative_object_property_assertion(a, p, b));
  dl.push_axiom(DlAxiom::negative_data_property_assertion(b, d, lit));
  dl.push_axiom(DlAxiom::object_property_assertion(a, RoleExpr::inverse(p), b));
  dl.push_axiom(DlAxiom::object_property_assertion(a, RoleExpr::atomic(q), b));
  dl.push_axiom(DlAxiom::datatype_definition(dt, dand));
  dl.push_axiom(DlAxiom::functional_data_property(d));
  for (DK k : {DK::EquivalentDataProperties, DK::DisjointDataProperties})
    dl.push_axiom(DlAxiom::entity_list(k, {d, d2}));
  dl.push_axiom(DlAxiom::entity_list(DK::DisjointObjectProperties, {p, q}));
  dl.push_axiom(DlAxiom::entity_list(DK::SameIndividual, {a, pun}));
  dl.push_axiom(DlAxiom::entity_list(DK::DifferentIndividuals, {a, b}));
  dl.push_axiom(DlAxiom::role_characteristic(DK::TransitiveObjectProperty, RoleExpr::atomic(q)));
  dl.push_axiom(DlAxiom::role_characteristic(DK::SymmetricObjectProperty, RoleExpr::inverse(p)));
  dl.push_axiom(DlAxiom::swrl_rule());
  dl.push_axiom(DlAxiom::inverse_functional_object_property(p));
  dl.push_axiom(DlAxiom::irreflexive_object_property(q));
  dl.push_axiom(DlAxiom::disjoint_roles({RoleExpr::atomic(p), RoleExpr::inverse(q)}));
  dl.push_axiom(DlAxiom::sub_class_of(some, all));  // repeats are kept

  const SwrlIArg x = SwrlVariable{"x"}, y = SwrlVariable{"y"};
  o.push_swrl_rule(SwrlRule{
      {SwrlAtom::class_atom(A, x), SwrlAtom::object_property(p, x, a), SwrlAtom::data_property(d, x, SwrlVariable{"v"}),
       SwrlAtom::data_range(dor, SwrlLiteral{"7", dt}), SwrlAtom::different_individuals(x, y)},
      {SwrlAtom::same_individual(y, b), SwrlAtom::data_property(d, y, SwrlLiteral{"plain", std::nullopt})}});
  o.push_swrl_rule(SwrlRule{});

  ParseMeta meta;
  meta.warn("first \"warning\"");
  meta.warn("second");
  meta.mapped_axiom_count = 40;
  meta.skipped_axiom_count = 2;
  meta.logical_axiom_count = 38;
  o.set_parse_meta(meta);
  return o;
}

}  // namespace trelvanic_core::snapshot_test
