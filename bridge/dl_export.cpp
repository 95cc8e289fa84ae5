// DL-store axioms in their RDF mapping (the OWL 2 mapping to RDF graphs),
// for the parts of `TripleExporter` declared in triples.h.
//
// Class expressions get one blank node per CeId ("ce_{id}"), so an
// expression shared by several axioms is written once. Lists get nodes
// "{owner}_{k}". Whether an axiom is inside OWL 2 RL is decided by the
// position rules of the OWL 2 RL profile: subclass expressions (named
// classes, intersections and unions of them, one-of, existentials whose
// filler is one, has-value), superclass expressions (named classes,
// owl:Nothing, intersections, complements of subclass expressions,
// universals, has-value, max 0/1 cardinalities) and equivalence
// expressions (named classes, intersections, has-value).
#include <fmt/format.h>

#include "bridge/triples.h"
#include "core/characteristic.h"
#include "core/dl.h"
#include "materializer/vocabulary.h"
#include "rdf/characteristic.h"

namespace trelvanic_bridge {

namespace v = trelvanic_materializer::vocab;
using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExprView;
using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlAxiomView;
using trelvanic_core::EntityId;
using trelvanic_core::RoleExpr;

namespace {

// Deeper expressions are left unwritten rather than walked recursively.
constexpr int kMaxDepth = 256;
constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";
constexpr std::string_view kNonNegativeInteger = "http://www.w3.org/2001/XMLSchema#nonNegativeInteger";

bool is_owl(std::string_view iri, std::string_view local) {
  return iri.size() == kOwl.size() + local.size() && iri.starts_with(kOwl) && iri.ends_with(local);
}

}  // namespace

TermId TripleExporter::list(std::span<const TermId> items, std::string_view label) {
  if (items.empty()) return v::rdf_nil;
  TermId head = blank(fmt::format("{}_0", label));
  TermId node = head;
  for (size_t k = 0; k < items.size(); ++k) {
    emit(node, v::rdf_first, items[k]);
    const TermId next = k + 1 == items.size() ? v::rdf_nil : blank(fmt::format("{}_{}", label, k + 1));
    emit(node, v::rdf_rest, next);
    node = next;
  }
  return head;
}

Result<TermId> TripleExporter::role_term(RoleExpr role) {
  if (!ontology_.entities().contains(role.property)) return TermId{};
  if (!role.is_inverse()) return entity(role.property);
  const auto inverses = ontology_.inverses_of(role.property);
  if (inverses.empty()) return TermId{};
  return entity(inverses.front());
}

Result<TermId> TripleExporter::data_range_term(DeId id) {
  const auto& dl = ontology_.dl();
  if (!dl.has_de(id)) return TermId{};
  const auto d = dl.de(id);
  if (d.kind == DeKind::Datatype && ontology_.entities().contains(d.datatype())) return entity(d.datatype());
  if (d.kind == DeKind::Top) return dict_.iri("http://www.w3.org/2000/01/rdf-schema#Literal");
  return TermId{};
}

Result<TermId> TripleExporter::data_literal_term(DeId id) {
  const auto& dl = ontology_.dl();
  if (!dl.has_de(id)) return TermId{};
  const auto d = dl.de(id);
  if (d.kind != DeKind::Literal || !ontology_.entities().contains(d.datatype())) return TermId{};
  const std::string_view dt = TRELVANIC_BRIDGE_TRY_CORE(ontology_.entity_iri(d.datatype()));
  return literal(d.lexical(), dt);
}

bool TripleExporter::rl_class(CeId id, Position pos, int depth) const {
  const auto& dl = ontology_.dl();
  if (depth > kMaxDepth || !dl.has_ce(id)) return false;
  const auto c = dl.ce(id);
  auto all = [&](Position p) {
    for (CeId op : c.operands())
      if (!rl_class(op, p, depth + 1)) return false;
    return true;
  };
  auto filler_ok = [&](Position p) {
    auto f = c.filler();
    if (!f) return true;
    if (dl.has_ce(*f) && dl.ce(*f).kind == CeKind::Top) return true;
    return rl_class(*f, p, depth + 1);
  };
  switch (c.kind) {
    case CeKind::Atomic: {
      auto iri = ontology_.entity_iri(c.entity());
      if (!iri) return false;
      // owl:Thing may not stand on the left: the rule engine never types
      // every individual with it.
      return !(pos != Position::Super && is_owl(*iri, "Thing"));
    }
    case CeKind::Top: return pos == Position::Super;
    case CeKind::Bottom: return pos == Position::Super;
    case CeKind::And: return all(pos);
    case CeKind::Or: return pos == Position::Sub && all(Position::Sub);
    case CeKind::Not: return pos == Position::Super && rl_class(c.operand(), Position::Sub, depth + 1);
    case CeKind::OneOf: return pos == Position::Sub;
    case CeKind::Some: return pos == Position::Sub && filler_ok(Position::Sub);
    case CeKind::All: return pos == Position::Super && filler_ok(Position::Super);
    case CeKind::HasValue: return true;
    case CeKind::MaxCardinality: return pos == Position::Super && c.n() <= 1 && filler_ok(Position::Sub);
    case CeKind::DataSome: return pos == Position::Sub;
    case CeKind::DataAll: return pos == Position::Super;
    case CeKind::DataHasValue: return true;
    case CeKind::DataMaxCardinality: return pos == Position::Super && c.n() <= 1;
    case CeKind::HasSelf:
    case CeKind::MinCardinality:
    case CeKind::ExactCardinality:
    case CeKind::DataMinCardinality:
    case CeKind::DataExactCardinality:
      return false;
  }
  return false;
}

Result<TermId> TripleExporter::class_term(CeId id, int depth) {
  const auto& dl = ontology_.dl();
  if (depth > kMaxDepth || !dl.has_ce(id)) return TermId{};
  if (ce_terms_.size() < dl.ce_count()) {
    ce_terms_.resize(dl.ce_count(), 0);
    ce_failed_.resize(dl.ce_count(), 0);
  }
  if (ce_terms_[id.value] != 0) return TermId{ce_terms_[id.value]};
  if (ce_failed_[id.value]) return TermId{};
  const ClassExprView c = dl.ce(id);
  const std::string label = fmt::format("ce_{}", id.value);
  TermId result;
  switch (c.kind) {
    case CeKind::Atomic:
      if (ontology_.entities().contains(c.entity())) result = TRELVANIC_BRIDGE_TRY(entity(c.entity()));
      break;
    case CeKind::Top: result = v::owl_Thing; break;
    case CeKind::Bottom: result = v::owl_Nothing; break;
    case CeKind::Not: result = TRELVANIC_BRIDGE_TRY(complement_term(c, label, depth)); break;
    case CeKind::And:
    case CeKind::Or: result = TRELVANIC_BRIDGE_TRY(junction_term(c, label, depth)); break;
    case CeKind::OneOf: result = TRELVANIC_BRIDGE_TRY(one_of_term(c, label)); break;
    case CeKind::Some:
    case CeKind::All: result = TRELVANIC_BRIDGE_TRY(quantified_term(c, label, depth)); break;
    case CeKind::HasValue: result = TRELVANIC_BRIDGE_TRY(has_value_term(c, label)); break;
    case CeKind::MaxCardinality: result = TRELVANIC_BRIDGE_TRY(max_cardinality_term(c, label, depth)); break;
    case CeKind::DataSome:
    case CeKind::DataAll: result = TRELVANIC_BRIDGE_TRY(data_quantified_term(c, label)); break;
    case CeKind::DataHasValue: result = TRELVANIC_BRIDGE_TRY(data_has_value_term(c, label)); break;
    case CeKind::DataMaxCardinality: result = TRELVANIC_BRIDGE_TRY(data_max_cardinality_term(c, label)); break;
    case CeKind::HasSelf:
    case CeKind::MinCardinality:
    case CeKind::ExactCardinality:
    case CeKind::DataMinCardinality:
    case CeKind::DataExactCardinality: break;
  }
  if (!result) {
    ce_failed_[id.value] = 1;
    return TermId{};
  }
  ce_terms_[id.value] = result.value;
  return result;
}

TermId TripleExporter::typed_node(std::string_view label, TermId type, TermId predicate, TermId object) {
  const TermId x = blank(label);
  emit(x, v::rdf_type, type);
  emit(x, predicate, object);
  return x;
}

Result<TermId> TripleExporter::complement_term(const ClassExprView& c, std::string_view label, int depth) {
  const TermId op = TRELVANIC_BRIDGE_TRY(class_term(c.operand(), depth + 1));
  if (!op) return TermId{};
  return typed_node(label, v::owl_Class, v::owl_complementOf, op);
}

Result<TermId> TripleExporter::junction_term(const ClassExprView& c, std::string_view label, int depth) {
  std::vector<TermId> items;
  for (CeId op : c.operands()) {
    const TermId t = TRELVANIC_BRIDGE_TRY(class_term(op, depth + 1));
    if (!t) return TermId{};
    items.push_back(t);
  }
  const TermId head = list(items, fmt::format("{}_l", label));
  return typed_node(label, v::owl_Class, c.kind == CeKind::And ? v::owl_intersectionOf : v::owl_unionOf, head);
}

Result<TermId> TripleExporter::one_of_term(const ClassExprView& c, std::string_view label) {
  std::vector<TermId> items;
  for (EntityId e : c.individuals()) {
    if (!ontology_.entities().contains(e)) return TermId{};
    items.push_back(TRELVANIC_BRIDGE_TRY(entity(e)));
  }
  const TermId head = list(items, fmt::format("{}_l", label));
  return typed_node(label, v::owl_Class, v::owl_oneOf, head);
}

Result<TermId> TripleExporter::restriction_node(RoleExpr role, std::string_view label) {
  const TermId p = TRELVANIC_BRIDGE_TRY(role_term(role));
  if (!p) return TermId{};
  return typed_node(label, v::owl_Restriction, v::owl_onProperty, p);
}

Result<TermId> TripleExporter::quantified_term(const ClassExprView& c, std::string_view label, int depth) {
  const TermId f = TRELVANIC_BRIDGE_TRY(class_term(*c.filler(), depth + 1));
  if (!f) return TermId{};
  const TermId x = TRELVANIC_BRIDGE_TRY(restriction_node(c.role(), label));
  if (!x) return TermId{};
  emit(x, c.kind == CeKind::Some ? v::owl_someValuesFrom : v::owl_allValuesFrom, f);
  return x;
}

Result<TermId> TripleExporter::has_value_term(const ClassExprView& c, std::string_view label) {
  if (!ontology_.entities().contains(c.individual())) return TermId{};
  const TermId ind = TRELVANIC_BRIDGE_TRY(entity(c.individual()));
  const TermId x = TRELVANIC_BRIDGE_TRY(restriction_node(c.role(), label));
  if (!x) return TermId{};
  emit(x, v::owl_hasValue, ind);
  return x;
}

Result<TermId> TripleExporter::max_cardinality_term(const ClassExprView& c, std::string_view label, int depth) {
  TermId f;
  if (c.filler()) {
    f = TRELVANIC_BRIDGE_TRY(class_term(*c.filler(), depth + 1));
    if (!f) return TermId{};
  }
  const TermId x = TRELVANIC_BRIDGE_TRY(restriction_node(c.role(), label));
  if (!x) return TermId{};
  const TermId n = dict_.literal(fmt::format("{}", c.n()), dict_.iri(kNonNegativeInteger));
  if (f) {
    emit(x, v::owl_maxQualifiedCardinality, n);
    emit(x, v::owl_onClass, f);
  } else {
    emit(x, v::owl_maxCardinality, n);
  }
  return x;
}

Result<TermId> TripleExporter::data_restriction_node(EntityId p, std::string_view label) {
  if (!ontology_.entities().contains(p)) return TermId{};
  const TermId pt = TRELVANIC_BRIDGE_TRY(entity(p));
  return typed_node(label, v::owl_Restriction, v::owl_onProperty, pt);
}

Result<TermId> TripleExporter::data_quantified_term(const ClassExprView& c, std::string_view label) {
  const TermId r = TRELVANIC_BRIDGE_TRY(data_range_term(*c.range()));
  if (!r) return TermId{};
  const TermId x = TRELVANIC_BRIDGE_TRY(data_restriction_node(c.property(), label));
  if (!x) return TermId{};
  emit(x, c.kind == CeKind::DataSome ? v::owl_someValuesFrom : v::owl_allValuesFrom, r);
  return x;
}

Result<TermId> TripleExporter::data_has_value_term(const ClassExprView& c, std::string_view label) {
  const TermId lt = TRELVANIC_BRIDGE_TRY(data_literal_term(c.value()));
  if (!lt) return TermId{};
  const TermId x = TRELVANIC_BRIDGE_TRY(data_restriction_node(c.property(), label));
  if (!x) return TermId{};
  emit(x, v::owl_hasValue, lt);
  return x;
}

Result<TermId> TripleExporter::data_max_cardinality_term(const ClassExprView& c, std::string_view label) {
  const auto& dl = ontology_.dl();
  if (c.range()) {
    // Only the unqualified form is written.
    const auto r = dl.has_de(*c.range()) ? std::optional(dl.de(*c.range()).kind) : std::nullopt;
    if (r != DeKind::Top) return TermId{};
  }
  const TermId x = TRELVANIC_BRIDGE_TRY(data_restriction_node(c.property(), label));
  if (!x) return TermId{};
  emit(x, v::owl_maxCardinality, dict_.literal(fmt::format("{}", c.n()), dict_.iri(kNonNegativeInteger)));
  return x;
}

Result<TermId> TripleExporter::known_entity(EntityId e) {
  if (!ontology_.entities().contains(e)) return TermId{};
  return entity(e);
}

Result<bool> TripleExporter::entity_triple(EntityId s, TermId p, EntityId o) {
  const TermId st = TRELVANIC_BRIDGE_TRY(known_entity(s));
  const TermId ot = TRELVANIC_BRIDGE_TRY(known_entity(o));
  if (!st || !ot) return false;
  emit(st, p, ot);
  return true;
}

Result<bool> TripleExporter::entity_terms(const DlAxiomView& a, std::vector<TermId>& items) {
  for (EntityId e : a.entities()) {
    const TermId t = TRELVANIC_BRIDGE_TRY(known_entity(e));
    if (!t) return false;
    items.push_back(t);
  }
  return true;
}

Result<bool> TripleExporter::entities_from_first(const DlAxiomView& a, TermId predicate) {
  std::vector<TermId> items;
  if (!TRELVANIC_BRIDGE_TRY(entity_terms(a, items))) return false;
  for (size_t k = 1; k < items.size(); ++k) emit(items[0], predicate, items[k]);
  return true;
}

Result<bool> TripleExporter::entity_group(const DlAxiomView& a, size_t index, TermId pair_predicate, TermId all_type) {
  std::vector<TermId> items;
  if (!TRELVANIC_BRIDGE_TRY(entity_terms(a, items))) return false;
  if (items.size() == 2) {
    emit(items[0], pair_predicate, items[1]);
  } else if (items.size() > 2) {
    const std::string label = fmt::format("dl_{}", index);
    const TermId x = blank(label);
    emit(x, v::rdf_type, all_type);
    emit(x, v::owl_members, list(items, label + "_l"));
  }
  return true;
}

Result<bool> TripleExporter::typed_property(EntityId p, TermId type) {
  const TermId pt = TRELVANIC_BRIDGE_TRY(known_entity(p));
  if (!pt) return false;
  emit(pt, v::rdf_type, type);
  return true;
}

Result<bool> TripleExporter::dl_axiom(size_t index) {
  const DlAxiomView a = ontology_.dl().axiom(index);
  switch (a.kind) {
    case DlAxiomKind::SubClassOf: return dl_sub_class_of(a);
    case DlAxiomKind::EquivalentClasses: return dl_equivalent_classes(a);
    case DlAxiomKind::DisjointClasses: return dl_disjoint_classes(a, index);
    case DlAxiomKind::ObjectPropertyDomain:
    case DlAxiomKind::ObjectPropertyRange:
    case DlAxiomKind::DataPropertyDomain: return dl_domain_or_range(a);
    case DlAxiomKind::DataPropertyRange: return dl_data_property_range(a);
    case DlAxiomKind::SubObjectPropertyChain: return dl_property_chain(a, index);
    case DlAxiomKind::SubObjectPropertyOf: return dl_sub_object_property(a);
    case DlAxiomKind::HasKey: return dl_has_key(a, index);
    case DlAxiomKind::ClassAssertion: return dl_class_assertion(a);
    case DlAxiomKind::SubDataPropertyOf:
      return entity_triple(a.sub_data_property(), v::rdfs_subPropertyOf, a.sup_data_property());
    case DlAxiomKind::DataPropertyAssertion: return dl_data_property_assertion(a);
    case DlAxiomKind::NegativeObjectPropertyAssertion:
    case DlAxiomKind::NegativeDataPropertyAssertion: return dl_negative_assertion(a, index);
    case DlAxiomKind::ObjectPropertyAssertion: {
      const RoleExpr r = a.role();
      // An assertion of inverse(p) from s to o is p from o to s.
      const TermId p = TRELVANIC_BRIDGE_TRY(known_entity(r.property));
      if (!p) return false;
      if (r.is_inverse()) return entity_triple(a.object(), p, a.subject());
      return entity_triple(a.subject(), p, a.object());
    }
    case DlAxiomKind::FunctionalDataProperty: return typed_property(a.property(), v::owl_FunctionalProperty);
    // Transitivity and symmetry hold of a property exactly when of its
    // inverse, so the named property of an inverse is typed as well.
    case DlAxiomKind::InverseFunctionalObjectProperty:
    case DlAxiomKind::IrreflexiveObjectProperty:
    case DlAxiomKind::TransitiveObjectProperty:
    case DlAxiomKind::SymmetricObjectProperty:
      return typed_property(a.property(), trelvanic_rdf::characteristic_type(*characteristic_of(a.kind)));
    case DlAxiomKind::EquivalentDataProperties: return entities_from_first(a, v::owl_equivalentProperty);
    case DlAxiomKind::DisjointDataProperties:
    case DlAxiomKind::DisjointObjectProperties:
      return entity_group(a, index, v::owl_propertyDisjointWith, v::owl_AllDisjointProperties);
    case DlAxiomKind::DisjointRoles: return dl_disjoint_roles(a);
    case DlAxiomKind::SameIndividual: return entities_from_first(a, v::owl_sameAs);
    case DlAxiomKind::DifferentIndividuals: return entity_group(a, index, v::owl_differentFrom, v::owl_AllDifferent);
    case DlAxiomKind::DatatypeDefinition:
    case DlAxiomKind::SwrlRule: return false;
  }
  return false;
}

Result<bool> TripleExporter::dl_sub_class_of(const DlAxiomView& a) {
  const TermId sub = TRELVANIC_BRIDGE_TRY(class_term(a.sub(), 0));
  const TermId sup = TRELVANIC_BRIDGE_TRY(class_term(a.sup(), 0));
  if (!sub || !sup) return false;
  emit(sub, v::rdfs_subClassOf, sup);
  return rl_class(a.sub(), Position::Sub, 0) && rl_class(a.sup(), Position::Super, 0);
}

Result<bool> TripleExporter::dl_equivalent_classes(const DlAxiomView& a) {
  std::vector<CeId> ops(a.classes().begin(), a.classes().end());
  std::vector<TermId> terms;
  for (CeId c : ops) {
    const TermId t = TRELVANIC_BRIDGE_TRY(class_term(c, 0));
    if (!t) return false;
    terms.push_back(t);
  }
  for (size_t k = 1; k < terms.size(); ++k) emit(terms[0], v::owl_equivalentClass, terms[k]);
  // Inside RL when every member may stand on either side of every other.
  for (CeId c : ops)
    if (!rl_class(c, Position::Sub, 0) || !rl_class(c, Position::Super, 0)) return false;
  return true;
}

Result<bool> TripleExporter::dl_disjoint_classes(const DlAxiomView& a, size_t index) {
  std::vector<TermId> terms;
  bool rl = true;
  for (CeId c : a.classes()) {
    const TermId t = TRELVANIC_BRIDGE_TRY(class_term(c, 0));
    if (!t) return false;
    terms.push_back(t);
    rl = rl && rl_class(c, Position::Sub, 0);
  }
  if (terms.size() == 2) {
    emit(terms[0], v::owl_disjointWith, terms[1]);
  } else if (terms.size() > 2) {
    const std::string label = fmt::format("dl_{}", index);
    const TermId x = blank(label);
    emit(x, v::rdf_type, v::owl_AllDisjointClasses);
    emit(x, v::owl_members, list(terms, label + "_l"));
  }
  return rl;
}

// ObjectPropertyDomain, ObjectPropertyRange and DataPropertyDomain.
Result<bool> TripleExporter::dl_domain_or_range(const DlAxiomView& a) {
  const bool range = a.kind == DlAxiomKind::ObjectPropertyRange;
  const TermId p = TRELVANIC_BRIDGE_TRY(known_entity(a.property()));
  const CeId c = range ? a.range() : a.domain();
  const TermId ct = TRELVANIC_BRIDGE_TRY(class_term(c, 0));
  if (!p || !ct) return false;
  emit(p, range ? v::rdfs_range : v::rdfs_domain, ct);
  return rl_class(c, Position::Super, 0);
}

Result<bool> TripleExporter::dl_data_property_range(const DlAxiomView& a) {
  const TermId p = TRELVANIC_BRIDGE_TRY(known_entity(a.property()));
  const TermId r = TRELVANIC_BRIDGE_TRY(data_range_term(a.data_range()));
  if (!p || !r) return false;
  emit(p, v::rdfs_range, r);
  return true;
}

Result<bool> TripleExporter::dl_property_chain(const DlAxiomView& a, size_t index) {
  const TermId sup = TRELVANIC_BRIDGE_TRY(role_term(a.super_property()));
  if (!sup) return false;
  std::vector<TermId> steps;
  for (RoleExpr r : a.chain().to_vector()) {
    const TermId t = TRELVANIC_BRIDGE_TRY(role_term(r));
    if (!t) return false;
    steps.push_back(t);
  }
  if (steps.empty()) return false;
  emit(sup, v::owl_propertyChainAxiom, list(steps, fmt::format("dl_{}_l", index)));
  return true;
}

Result<bool> TripleExporter::dl_sub_object_property(const DlAxiomView& a) {
  RoleExpr sub = a.sub_role(), sup = a.sup_role();
  // inverse(p) <= inverse(q) says p <= q.
  if (sub.is_inverse() && sup.is_inverse()) {
    sub = RoleExpr::atomic(sub.property);
    sup = RoleExpr::atomic(sup.property);
  }
  const TermId s = TRELVANIC_BRIDGE_TRY(role_term(sub));
  const TermId o = TRELVANIC_BRIDGE_TRY(role_term(sup));
  if (!s || !o) return false;
  emit(s, v::rdfs_subPropertyOf, o);
  return true;
}

Result<bool> TripleExporter::dl_has_key(const DlAxiomView& a, size_t index) {
  const TermId c = TRELVANIC_BRIDGE_TRY(class_term(a.class_expr(), 0));
  if (!c) return false;
  std::vector<TermId> keys;
  for (auto properties : {a.object_properties(), a.data_properties()}) {
    for (EntityId e : properties) {
      const TermId t = TRELVANIC_BRIDGE_TRY(known_entity(e));
      if (!t) return false;
      keys.push_back(t);
    }
  }
  emit(c, v::owl_hasKey, list(keys, fmt::format("dl_{}_l", index)));
  return rl_class(a.class_expr(), Position::Sub, 0);
}

Result<bool> TripleExporter::dl_class_assertion(const DlAxiomView& a) {
  const TermId i = TRELVANIC_BRIDGE_TRY(known_entity(a.individual()));
  const TermId c = TRELVANIC_BRIDGE_TRY(class_term(a.class_expr(), 0));
  if (!i || !c) return false;
  emit(i, v::rdf_type, c);
  return rl_class(a.class_expr(), Position::Super, 0);
}

Result<bool> TripleExporter::dl_data_property_assertion(const DlAxiomView& a) {
  const TermId s = TRELVANIC_BRIDGE_TRY(known_entity(a.subject()));
  const TermId p = TRELVANIC_BRIDGE_TRY(known_entity(a.property()));
  const TermId o = TRELVANIC_BRIDGE_TRY(data_literal_term(a.value()));
  if (!s || !p || !o) return false;
  emit(s, p, o);
  return true;
}

Result<bool> TripleExporter::dl_negative_assertion(const DlAxiomView& a, size_t index) {
  const TermId s = TRELVANIC_BRIDGE_TRY(known_entity(a.subject()));
  const TermId p = TRELVANIC_BRIDGE_TRY(known_entity(a.property()));
  const bool object = a.kind == DlAxiomKind::NegativeObjectPropertyAssertion;
  const TermId o =
      object ? TRELVANIC_BRIDGE_TRY(known_entity(a.object())) : TRELVANIC_BRIDGE_TRY(data_literal_term(a.value()));
  if (!s || !p || !o) return false;
  const TermId x = blank(fmt::format("dl_{}", index));
  emit(x, v::rdf_type, dict_.iri("http://www.w3.org/2002/07/owl#NegativePropertyAssertion"));
  emit(x, v::owl_sourceIndividual, s);
  emit(x, v::owl_assertionProperty, p);
  emit(x, object ? v::owl_targetIndividual : v::owl_targetValue, o);
  return true;
}

Result<bool> TripleExporter::dl_disjoint_roles(const DlAxiomView& a) {
  // An inverse is written as a property told inverse to its property;
  // without one the axiom is not written.
  std::vector<TermId> items;
  for (size_t k = 0; k < a.roles().size(); ++k) {
    const TermId t = TRELVANIC_BRIDGE_TRY(role_term(a.roles()[k]));
    if (!t) return false;
    items.push_back(t);
  }
  for (size_t i = 0; i < items.size(); ++i)
    for (size_t j = i + 1; j < items.size(); ++j) emit(items[i], v::owl_propertyDisjointWith, items[j]);
  return true;
}

}  // namespace trelvanic_bridge
