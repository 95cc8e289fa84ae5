// `Mapper::visit`: the mapping of each component kind, and the walks over
// class expressions that note constructs and find EL-shaped superclasses.
// The class and assertion rules live in map_axioms.cpp.
#include <algorithm>

#include <absl/container/inlined_vector.h>

#include "core/characteristic.h"
#include "parser/map.h"
#include "parser/map_swrl.h"

namespace trelvanic_parser {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomKind;
using trelvanic_core::CharacteristicRow;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::kCharacteristicCount;
using trelvanic_core::kCharacteristics;
using trelvanic_core::OwlConstruct;
using trelvanic_core::RoleExpr;
using trelvanic_owl::Kind;
using trelvanic_owl::NodeId;

namespace {

constexpr std::string_view kDataPropertyAxiomText = "data property axiom not mapped in v0.2";

// The structural model's characteristic axiom kinds, in the order of the
// characteristics.
constexpr Kind kCharacteristicKinds[] = {
#define TRELVANIC_X(name, local) Kind::name##ObjectProperty,
    TRELVANIC_PROPERTY_CHARACTERISTICS(TRELVANIC_X)
#undef TRELVANIC_X
};

const CharacteristicRow& characteristic(Kind k) {
  for (size_t i = 0; i < kCharacteristicCount; ++i)
    if (kCharacteristicKinds[i] == k) return kCharacteristics[i];
  return kCharacteristics[0];  // the callers pass characteristic kinds only
}

}  // namespace

void Mapper::visit(trelvanic_owl::Component component) {
  const NodeId n = component.node;
  const auto& m = model_;
  switch (node_kind(n)) {
    case Kind::OntologyId:
    case Kind::DocumentIri:
    case Kind::Declaration: return;
    case Kind::Annotation:
    case Kind::AnnotationAssertion:
    case Kind::SubAnnotationPropertyOf:
    case Kind::AnnotationPropertyDomain:
    case Kind::AnnotationPropertyRange: note(OwlConstruct::Annotation); return;
    case Kind::Import: note(OwlConstruct::Import); return;
    case Kind::SubClassOf: return visit_sub_class_of(n);
    case Kind::EquivalentClasses: return visit_equivalent_classes(n);
    case Kind::DisjointClasses: return visit_disjoint_classes(n);
    case Kind::DisjointUnion: return visit_disjoint_union(n);
    case Kind::SubObjectPropertyOf: return visit_sub_object_property_of(n);
    case Kind::EquivalentObjectProperties: return visit_equivalent_object_properties(n);
    case Kind::DisjointObjectProperties: return visit_disjoint_object_properties(n);
    case Kind::InverseObjectProperties: return visit_inverse_object_properties(n);
    case Kind::ObjectPropertyDomain: return visit_property_domain_or_range(n, true);
    case Kind::ObjectPropertyRange: return visit_property_domain_or_range(n, false);
    case Kind::FunctionalObjectProperty:
    case Kind::InverseFunctionalObjectProperty:
    case Kind::ReflexiveObjectProperty:
    case Kind::IrreflexiveObjectProperty:
    case Kind::SymmetricObjectProperty:
    case Kind::AsymmetricObjectProperty:
    case Kind::TransitiveObjectProperty: return visit_characteristic(n);
    case Kind::SubDataPropertyOf:
    case Kind::EquivalentDataProperties:
    case Kind::DisjointDataProperties:
    case Kind::DataPropertyDomain:
    case Kind::DataPropertyRange:
    case Kind::FunctionalDataProperty: return visit_data_property_axiom(n);
    case Kind::DatatypeDefinition: {
      note(OwlConstruct::Datatype);
      auto dt = register_as(m.operand(n, 0), EntityKind::Datatype);
      auto range = intern_data_range(m.operand(n, 1));
      if (dt && range) return push_dl_axiom(DlAxiom::datatype_definition(*dt, *range));
      return skip("DatatypeDefinition not mapped in v0.2");
    }
    case Kind::HasKey: return visit_has_key(n);
    case Kind::SameIndividual: return visit_same_individual(n);
    case Kind::DifferentIndividuals: return visit_different_individuals(n);
    case Kind::ClassAssertion: return visit_class_assertion(n);
    case Kind::ObjectPropertyAssertion: return visit_object_property_assertion(n);
    case Kind::NegativeObjectPropertyAssertion: {
      note(OwlConstruct::DataPropertyAssertion);
      NodeId p = m.operand(n, 0);
      // The DL form names a plain property: ¬R⁻(a, b) is held as ¬R(b, a).
      const bool inverse = node_kind(p) == Kind::ObjectInverseOf;
      if (inverse) {
        note_profile(OwlConstruct::InverseObjectProperties);
        p = m.operand(p, 0);
      }
      auto property = register_else_lookup(p, EntityKind::ObjectProperty);
      auto a = map_individual_entity(m.operand(n, inverse ? 2 : 1));
      auto b = map_individual_entity(m.operand(n, inverse ? 1 : 2));
      if (property && a && b) return push_dl_axiom(DlAxiom::negative_object_property_assertion(*a, *property, *b));
      return skip("ABox assertion not mapped in v0.2");
    }
    case Kind::DataPropertyAssertion:
    case Kind::NegativeDataPropertyAssertion: {
      note(OwlConstruct::DataPropertyAssertion);
      auto dp = register_as(m.operand(n, 0), EntityKind::DataProperty);
      auto a = map_individual_entity(m.operand(n, 1));
      if (!dp || !a) return skip("ABox assertion not mapped in v0.2");
      auto literal = build_literal(m.operand(n, 2));
      if (!literal) return skip("ABox assertion not mapped in v0.2");
      const auto value = ontology_.dl_mut().intern_de(*literal);
      if (node_kind(n) == Kind::DataPropertyAssertion)
        return push_dl_axiom(DlAxiom::data_property_assertion(*a, *dp, value));
      return push_dl_axiom(DlAxiom::negative_data_property_assertion(*a, *dp, value));
    }
    case Kind::DLSafeRule: return visit_swrl_rule(n);
    default: return;  // not a component kind
  }
}

void Mapper::visit_sub_object_property_of(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::SubObjectPropertyOf);
  const NodeId sub = m.operand(n, 0);
  const NodeId sup = m.operand(n, 1);
  if (node_kind(sub) == Kind::ObjectPropertyChain) {
    note(OwlConstruct::SubObjectPropertyChain);
    std::vector<RoleExpr> chain;
    for (NodeId member : m.operands(sub)) {
      auto role = resolve_role(member);
      if (!role) return skip("SubObjectPropertyChain not mapped in v0.2");
      chain.push_back(*role);
    }
    auto super = resolve_role(sup);
    if (!super) return skip("SubObjectPropertyChain not mapped in v0.2");
    return push_dl_axiom(DlAxiom::sub_object_property_chain(chain, *super));
  }
  const Operand a = property_status(sub);
  const Operand b = property_status(sup);
  if (a.status == OperandStatus::Resolved && b.status == OperandStatus::Resolved)
    return push_axiom(Axiom::sub_object_property_of(a.id, b.id));
  auto sub_role = resolve_role(sub);
  auto sup_role = resolve_role(sup);
  if (sub_role && sup_role) return push_dl_axiom(DlAxiom::sub_object_property_of(*sub_role, *sup_role));
  const Operand both[] = {a, b};
  skip(any_failed(both) ? kRegistrationSkipText : "SubObjectPropertyOf with non-named property not mapped in v0.2");
}

void Mapper::push_inverse_pair(EntityId p, EntityId q) {
  if (p == q) return push_axiom(Axiom::property_characteristic(AxiomKind::SymmetricObjectProperty, p));
  push_axiom(Axiom::inverse_object_properties(p, q));
}

// Property expressions are told by their named properties: an operand of
// the first operand's polarity is equivalent to it, one of the other
// polarity inverse to it.
void Mapper::visit_equivalent_object_properties(NodeId n) {
  note(OwlConstruct::EquivalentObjectProperties);
  const auto ops = model_.operands(n);
  std::vector<Operand> statuses;
  std::vector<bool> inverses;
  for (NodeId op : ops) {
    bool inverse = false;
    statuses.push_back(property_expression_status(op, inverse));
    inverses.push_back(inverse);
  }
  auto ids = collect_resolved(statuses);
  if (!ids) {
    return skip(any_failed(statuses) ? kRegistrationSkipText
                                     : "EquivalentObjectProperties with non-named operands not mapped in v0.4");
  }
  if (std::find(inverses.begin(), inverses.end(), true) == inverses.end())
    return push_axiom(Axiom::equivalent_object_properties(*ids));
  std::vector<EntityId> same{(*ids)[0]};
  for (size_t i = 1; i < ids->size(); ++i) {
    if (inverses[i] == inverses[0])
      same.push_back((*ids)[i]);
    else
      push_inverse_pair((*ids)[0], (*ids)[i]);
  }
  if (same.size() > 1) push_axiom(Axiom::equivalent_object_properties(same));
}

// Pairwise disjointness holds of the inverses of its operands exactly when
// of the operands, so a list of one polarity is told by its names; a mixed
// list keeps its inverses.
void Mapper::visit_disjoint_object_properties(NodeId n) {
  note(OwlConstruct::DisjointObjectProperties);
  std::vector<EntityId> ids;
  std::vector<RoleExpr> roles;
  bool all = true;
  size_t inverses = 0;
  for (NodeId op : model_.operands(n)) {
    bool inverse = false;
    const Operand st = property_expression_status(op, inverse);
    if (st.status != OperandStatus::Resolved) {
      all = false;
      continue;
    }
    ids.push_back(st.id);
    roles.push_back(inverse ? RoleExpr::inverse(st.id) : RoleExpr::atomic(st.id));
    inverses += inverse ? 1 : 0;
  }
  if (!all) return skip("DisjointObjectProperties not mapped in v0.2");
  if (inverses == 0 || inverses == ids.size())
    return push_dl_axiom(DlAxiom::entity_list(DlAxiomKind::DisjointObjectProperties, ids));
  push_dl_axiom(DlAxiom::disjoint_roles(roles));
}

// InverseObjectProperties(P, Q) is P ≡ Q⁻: with one operand an inverse it
// makes the two named properties equivalent, with both inverse again.
void Mapper::visit_inverse_object_properties(NodeId n) {
  note(OwlConstruct::InverseObjectProperties);
  bool p_inverse = false, q_inverse = false;
  const Operand p = property_expression_status(model_.operand(n, 0), p_inverse);
  const Operand q = property_expression_status(model_.operand(n, 1), q_inverse);
  if (p.status != OperandStatus::Resolved || q.status != OperandStatus::Resolved) return skip(kRegistrationSkipText);
  if (p_inverse == q_inverse) return push_inverse_pair(p.id, q.id);
  push_axiom(Axiom::equivalent_object_properties({p.id, q.id}));
}

void Mapper::visit_property_domain_or_range(NodeId n, bool domain) {
  const auto& m = model_;
  note(domain ? OwlConstruct::ObjectPropertyDomain : OwlConstruct::ObjectPropertyRange);
  NodeId p = m.operand(n, 0);
  const NodeId c = m.operand(n, 1);
  // The domain of R⁻ is the range of R and its range the domain of R: the
  // axiom is stored over the named property with the other role.
  bool inverse = false;
  const Operand ps = property_expression_status(p, inverse);
  if (inverse) p = m.operand(p, 0);
  const bool as_domain = domain != inverse;
  scan_class_expression(c);
  const Operand cs = class_status(c);
  if (ps.status == OperandStatus::Resolved && cs.status == OperandStatus::Resolved)
    return push_axiom(as_domain ? Axiom::object_property_domain(ps.id, cs.id) : Axiom::object_property_range(ps.id, cs.id));
  if (auto property = register_else_lookup(p, EntityKind::ObjectProperty)) {
    if (auto ce = map_class_expression(c)) {
      return push_dl_axiom(as_domain ? DlAxiom::object_property_domain(*property, *ce)
                                     : DlAxiom::object_property_range(*property, *ce));
    }
  }
  const Operand both[] = {ps, cs};
  if (any_failed(both)) return skip(kRegistrationSkipText);
  skip(domain ? "ObjectPropertyDomain with complex operands not mapped in v0.2"
              : "ObjectPropertyRange with complex operands not mapped in v0.2");
}

void Mapper::visit_characteristic(NodeId n) {
  const auto& m = model_;
  const Kind kind = node_kind(n);
  NodeId p = m.operand(n, 0);
  note(characteristic(kind).construct);
  const bool inverse = node_kind(p) == Kind::ObjectInverseOf;

  if (kind == Kind::SymmetricObjectProperty || kind == Kind::TransitiveObjectProperty) {
    // Both hold for a property exactly when they hold for its inverse, so
    // the DL store keeps the inverse form.
    if (!inverse) {
      if (auto id = register_object_property(p))
        return push_axiom(Axiom::property_characteristic(characteristic(kind).told, *id));
    }
    if (auto role = resolve_role(p))
      return push_dl_axiom(DlAxiom::role_characteristic(*characteristic(kind).expression, *role));
    return skip(kRegistrationSkipText);
  }
  // R⁻ is functional exactly when R is inverse-functional (and the other
  // way round); reflexivity, irreflexivity and asymmetry hold of R⁻ exactly
  // when of R. The axiom is told of the named property.
  Kind stored = kind;
  if (inverse) {
    note_profile(OwlConstruct::InverseObjectProperties);
    p = m.operand(p, 0);
    if (kind == Kind::FunctionalObjectProperty) stored = Kind::InverseFunctionalObjectProperty;
    if (kind == Kind::InverseFunctionalObjectProperty) stored = Kind::FunctionalObjectProperty;
  }
  auto id = register_object_property(p);
  if (!id) return skip(kRegistrationSkipText);
  push_axiom(Axiom::property_characteristic(characteristic(stored).told, *id));
  if (stored == Kind::InverseFunctionalObjectProperty || stored == Kind::IrreflexiveObjectProperty) {
    if (auto again = register_else_lookup(p, EntityKind::ObjectProperty)) {
      push_dl_axiom(stored == Kind::InverseFunctionalObjectProperty ? DlAxiom::inverse_functional_object_property(*again)
                                                                    : DlAxiom::irreflexive_object_property(*again));
    }
  }
}

void Mapper::visit_data_property_axiom(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::DataPropertyAxiom);
  auto dp = [&](NodeId e) { return register_as(e, EntityKind::DataProperty); };
  switch (node_kind(n)) {
    case Kind::SubDataPropertyOf: {
      auto sub = dp(m.operand(n, 0));
      auto sup = dp(m.operand(n, 1));
      if (sub && sup) return push_dl_axiom(DlAxiom::sub_data_property_of(*sub, *sup));
      break;
    }
    case Kind::EquivalentDataProperties:
    case Kind::DisjointDataProperties: {
      std::vector<EntityId> ids;
      bool all = true;
      for (NodeId op : m.operands(n)) {
        if (auto id = dp(op))
          ids.push_back(*id);
        else
          all = false;
      }
      if (all) {
        const auto k = node_kind(n) == Kind::EquivalentDataProperties ? DlAxiomKind::EquivalentDataProperties
                                                                   : DlAxiomKind::DisjointDataProperties;
        return push_dl_axiom(DlAxiom::entity_list(k, ids));
      }
      break;
    }
    case Kind::DataPropertyDomain: {
      auto p = dp(m.operand(n, 0));
      auto ce = map_class_expression(m.operand(n, 1));
      if (p && ce) return push_dl_axiom(DlAxiom::data_property_domain(*p, *ce));
      break;
    }
    case Kind::DataPropertyRange: {
      auto p = dp(m.operand(n, 0));
      auto range = intern_data_range(m.operand(n, 1));
      if (p && range) return push_dl_axiom(DlAxiom::data_property_range(*p, *range));
      break;
    }
    case Kind::FunctionalDataProperty:
      if (auto p = dp(m.operand(n, 0))) return push_dl_axiom(DlAxiom::functional_data_property(*p));
      break;
    default: return;
  }
  skip(kDataPropertyAxiomText);
}

void Mapper::visit_has_key(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::HasKey);
  const auto words = m.words(n);
  const NodeId cls(words[0]);
  scan_class_expression(cls);
  auto ce = map_class_expression(cls);
  std::vector<EntityId> object_properties, data_properties;
  bool keys = true;
  for (size_t i = 1; i < words.size() && keys; ++i) {
    const NodeId key(words[i]);
    std::optional<EntityId> id;
    switch (node_kind(key)) {
      case Kind::ObjectProperty:
        if ((id = register_object_property(key))) object_properties.push_back(*id);
        break;
      case Kind::DataProperty:
        if ((id = register_as(key, EntityKind::DataProperty))) data_properties.push_back(*id);
        break;
      default: break;  // an inverse property ends the mapping
    }
    keys = id.has_value();
  }
  if (ce && keys) return push_dl_axiom(DlAxiom::has_key(*ce, object_properties, data_properties));
  skip("HasKey not mapped in v0.2");
}

void Mapper::visit_swrl_rule(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::SwrlRule);
  trelvanic_core::SwrlRule rule;
  bool complete = true;
  for (int part = 0; part < 2; ++part) {
    auto& atoms = part == 0 ? rule.body : rule.head;
    for (NodeId atom : m.operands(m.operand(n, part))) {
      if (auto mapped = map_swrl_atom(*this, atom))
        atoms.push_back(std::move(*mapped));
      else
        complete = false;
    }
  }
  if (!complete) return skip("SWRL rule not mapped in v0.2");
  ontology_.push_swrl_rule(std::move(rule));
  push_dl_axiom(DlAxiom::swrl_rule());
}

// ---- walks over class expressions

void Mapper::scan_class_expression(NodeId root) {
  const auto& m = model_;
  if (node_kind(root) == Kind::Class) {
    (void)register_class(root);
    return;
  }
  // Preorder with an explicit stack (operands pushed in reverse), so names
  // are registered in the order they are written.
  std::vector<NodeId>& todo = stack_;
  todo.assign(1, root);
  while (!todo.empty()) {
    const NodeId ce = todo.back();
    todo.pop_back();
    auto restriction = [&](OwlConstruct c) {
      note(c);
      if (!mark_once(ce)) return;
      const NodeId p = m.operand(ce, 0);
      if (node_kind(p) == Kind::ObjectInverseOf)
        note(OwlConstruct::InverseObjectProperties);
      else
        (void)register_object_property(p);
      todo.push_back(m.operand(ce, 1));
    };
    auto each = [&](OwlConstruct c) {
      note(c);
      // Shared sub-expressions (the model hash-conses) are scanned once.
      if (!mark_once(ce)) return;
      const auto ops = m.operands(ce);
      for (size_t i = ops.size(); i-- > 0;) todo.push_back(ops[i]);
    };
    switch (node_kind(ce)) {
      case Kind::Class: (void)register_class(ce); break;
      case Kind::ObjectIntersectionOf: each(OwlConstruct::ObjectIntersectionOf); break;
      case Kind::ObjectUnionOf: each(OwlConstruct::ObjectUnionOf); break;
      case Kind::ObjectComplementOf: each(OwlConstruct::ObjectComplementOf); break;
      case Kind::ObjectOneOf: note(OwlConstruct::ObjectOneOf); break;
      case Kind::ObjectSomeValuesFrom: restriction(OwlConstruct::ObjectSomeValuesFrom); break;
      case Kind::ObjectAllValuesFrom: restriction(OwlConstruct::ObjectAllValuesFrom); break;
      case Kind::ObjectHasValue: note(OwlConstruct::ObjectHasValue); break;
      case Kind::ObjectHasSelf:
        note(OwlConstruct::ObjectHasSelf);
        // The DL store holds the self restriction of the named property.
        if (node_kind(m.operand(ce, 0)) == Kind::ObjectInverseOf) note_profile(OwlConstruct::InverseObjectProperties);
        break;
      case Kind::ObjectMinCardinality:
      case Kind::ObjectMaxCardinality:
      case Kind::ObjectExactCardinality: note(OwlConstruct::ObjectCardinality); break;
      case Kind::DataSomeValuesFrom:
      case Kind::DataAllValuesFrom:
      case Kind::DataHasValue:
      case Kind::DataMinCardinality:
      case Kind::DataMaxCardinality:
      case Kind::DataExactCardinality: note(OwlConstruct::Datatype); break;
      default: break;
    }
  }
  unmark_all();
}

bool Mapper::el_superclass_operand_mappable(NodeId root) {
  const auto& m = model_;
  // Operands in order (explicit stack, operands pushed in reverse), stopping
  // at the first that is not mappable; what is met is registered. A nested
  // intersection shared by several operands counts once.
  absl::InlinedVector<NodeId, 8> todo{root};
  bool mappable = true;
  while (!todo.empty() && mappable) {
    const NodeId ce = todo.back();
    todo.pop_back();
    switch (node_kind(ce)) {
      case Kind::Class: mappable = register_class(ce).has_value(); break;
      case Kind::ObjectSomeValuesFrom: {
        const NodeId p = m.operand(ce, 0);
        const NodeId f = m.operand(ce, 1);
        const bool property = node_kind(p) == Kind::ObjectProperty && register_object_property(p).has_value();
        // The filler is registered even when the property is an inverse.
        const bool filler = node_kind(f) == Kind::Class && register_class(f).has_value();
        mappable = property && filler;
        break;
      }
      case Kind::ObjectIntersectionOf: {
        if (ce != root && !mark_once(ce)) break;
        const auto ops = m.operands(ce);
        for (size_t i = ops.size(); i-- > 0;) todo.push_back(ops[i]);
        break;
      }
      default: mappable = false;
    }
  }
  unmark_all();
  return mappable;
}

bool Mapper::map_intersection_superclass(EntityId sub, NodeId ce) {
  const auto& m = model_;
  if (node_kind(ce) != Kind::ObjectIntersectionOf || !el_superclass_operand_mappable(ce)) return false;
  note(OwlConstruct::SubClassOfIntersection);
  // sub ⊑ B1 ⊓ ... ⊓ Bn gives sub ⊑ Bi for every operand, nested
  // intersections flattened in order.
  absl::InlinedVector<NodeId, 8> todo{ce};
  while (!todo.empty()) {
    const NodeId op = todo.back();
    todo.pop_back();
    switch (node_kind(op)) {
      case Kind::ObjectIntersectionOf: {
        if (op != ce && !mark_once(op)) break;  // a shared nested intersection once
        const auto ops = m.operands(op);
        for (size_t i = ops.size(); i-- > 0;) todo.push_back(ops[i]);
        break;
      }
      case Kind::Class:
        if (auto b = register_class(op)) {
          note(OwlConstruct::SubClassOfNamed);
          push_axiom(Axiom::sub_class_of(sub, *b));
        }
        break;
      case Kind::ObjectSomeValuesFrom: {
        auto p = register_object_property(m.operand(op, 0));
        auto c = register_class(m.operand(op, 1));
        if (p && c) {
          note(OwlConstruct::SubClassOfExistential);
          push_axiom(Axiom::sub_class_of_existential(sub, *p, *c));
        }
        break;
      }
      default: break;
    }
  }
  unmark_all();
  return true;
}

}  // namespace trelvanic_parser
