#include "profile/scanner.h"

#include <algorithm>

#include "core/characteristic.h"

namespace trelvanic_profile {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::CeKind;
using trelvanic_core::ClassExprView;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::RoleExpr;
using C = OwlConstruct;

namespace {

ConstructMask inverse_bit(RoleExpr r) { return r.is_inverse() ? construct_bit(C::InverseObjectProperties) : 0; }

// The constructs an expression adds by its own form.
ConstructMask own_ce_mask(const ClassExprView& e) {
  switch (e.kind) {
    case CeKind::Top:
    case CeKind::Bottom:
    case CeKind::Atomic: return 0;
    case CeKind::Not: return construct_bit(C::ObjectComplementOf);
    case CeKind::And: return construct_bit(C::ObjectIntersectionOf);
    case CeKind::Or: return construct_bit(C::ObjectUnionOf);
    case CeKind::Some: return construct_bit(C::ObjectSomeValuesFrom) | inverse_bit(e.role());
    case CeKind::All: return construct_bit(C::ObjectAllValuesFrom) | inverse_bit(e.role());
    case CeKind::OneOf: return construct_bit(C::ObjectOneOf);
    case CeKind::HasValue: return construct_bit(C::ObjectHasValue) | inverse_bit(e.role());
    case CeKind::HasSelf: return construct_bit(C::ObjectHasSelf);
    case CeKind::MinCardinality:
    case CeKind::MaxCardinality:
    case CeKind::ExactCardinality: return construct_bit(C::ObjectCardinality);
    case CeKind::DataAll:
    case CeKind::DataSome:
    case CeKind::DataHasValue:
    case CeKind::DataMinCardinality:
    case CeKind::DataMaxCardinality:
    case CeKind::DataExactCardinality: return construct_bit(C::Datatype);
  }
  return 0;
}

}  // namespace

// --- CeConstructMemo ---------------------------------------------------------

uint32_t CeConstructMemo::child_count(uint32_t id) const {
  const ClassExprView e = store_.ce(CeId(id));
  switch (e.kind) {
    case CeKind::Not:
    case CeKind::Some:
    case CeKind::All: return 1;
    case CeKind::And:
    case CeKind::Or: return static_cast<uint32_t>(e.operands().size());
    case CeKind::Top:
    case CeKind::Bottom:
    case CeKind::Atomic:
    case CeKind::OneOf:
    case CeKind::HasValue:
    case CeKind::HasSelf:
    case CeKind::MinCardinality:
    case CeKind::MaxCardinality:
    case CeKind::ExactCardinality:
    case CeKind::DataAll:
    case CeKind::DataSome:
    case CeKind::DataHasValue:
    case CeKind::DataMinCardinality:
    case CeKind::DataMaxCardinality:
    case CeKind::DataExactCardinality: return 0;
  }
  return 0;
}

uint32_t CeConstructMemo::child(uint32_t id, uint32_t i) const {
  const ClassExprView e = store_.ce(CeId(id));
  if (e.kind == CeKind::Not) return e.operand().value;
  if (e.kind == CeKind::Some || e.kind == CeKind::All) return e.filler()->value;
  return e.operands()[i].value;  // And, Or: the only other forms with children
}

void CeConstructMemo::open(uint32_t id) {
  Node& n = node(id);
  n.mask = own_ce_mask(store_.ce(CeId(id)));
  n.index = n.low = ++counter_;
  n.on_stack = true;
  component_.push_back(id);
  calls_.push_back({id, 0});
}

// Tarjan's strongly connected components with an explicit stack: every id
// is opened once; a component (one id unless the store holds a cycle) gets
// the union of its members' masks when its root closes, and from then on
// answers in one lookup.
ConstructMask CeConstructMemo::mask(CeId root) {
  if (!store_.has_ce(root)) return 0;
  if (nodes_.size() < store_.ce_count()) nodes_.resize(store_.ce_count());
  if (node(root.value).done) return node(root.value).mask;
  open(root.value);
  while (!calls_.empty()) {
    Frame& f = calls_.back();
    const uint32_t v = f.id;
    if (f.next_child < child_count(v)) {
      const uint32_t w = child(v, f.next_child++);
      if (w >= store_.ce_count()) continue;
      const Node& nw = node(w);
      if (nw.index == 0) {
        open(w);
        continue;
      }
      Node& nv = node(v);
      nv.mask |= nw.mask;
      if (nw.on_stack) nv.low = std::min(nv.low, nw.index);
      continue;
    }
    calls_.pop_back();
    Node& nv = node(v);
    if (nv.low == nv.index) {
      size_t start = component_.size();
      do {
        --start;
      } while (component_[start] != v);
      ConstructMask m = 0;
      for (size_t i = start; i < component_.size(); ++i) m |= node(component_[i]).mask;
      for (size_t i = start; i < component_.size(); ++i) {
        Node& member = node(component_[i]);
        member.mask = m;
        member.on_stack = false;
        member.done = true;
      }
      component_.resize(start);
    }
    if (!calls_.empty()) {
      const Node& child_node = node(v);
      Node& parent = node(calls_.back().id);
      parent.mask |= child_node.mask;
      parent.low = std::min(parent.low, child_node.low);
    }
  }
  return node(root.value).mask;
}

// --- Told axioms --------------------------------------------------------------

namespace {

ConstructMask told_kind_mask(AxiomKind k) {
  switch (k) {
    case AxiomKind::SubClassOf: return construct_bit(C::SubClassOfNamed);
    case AxiomKind::EquivalentClasses: return construct_bit(C::EquivalentClasses);
    case AxiomKind::DisjointClasses: return construct_bit(C::DisjointClasses);
    case AxiomKind::ObjectPropertyDomain: return construct_bit(C::ObjectPropertyDomain);
    case AxiomKind::ObjectPropertyRange: return construct_bit(C::ObjectPropertyRange);
    case AxiomKind::SubObjectPropertyOf: return construct_bit(C::SubObjectPropertyOf);
    case AxiomKind::InverseObjectProperties: return construct_bit(C::InverseObjectProperties);
    case AxiomKind::SubClassOfExistential:
      return construct_bit(C::SubClassOfExistential) | construct_bit(C::ObjectSomeValuesFrom);
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES return construct_bit(characteristic_row(*characteristic_of(k)).construct);
    case AxiomKind::EquivalentObjectProperties: return construct_bit(C::EquivalentObjectProperties);
    case AxiomKind::ClassAssertion: return construct_bit(C::ClassAssertion);
    case AxiomKind::ObjectPropertyAssertion: return construct_bit(C::ObjectPropertyAssertion);
    case AxiomKind::DataPropertyAssertion: return construct_bit(C::DataPropertyAssertion);
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: return 0;
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals: return construct_bit(C::IndividualEquality);
  }
  return 0;
}

}  // namespace

ConstructMask axiom_construct_mask(const AxiomView& axiom) { return told_kind_mask(axiom.kind()); }

// --- DL axioms ------------------------------------------------------------------

ConstructMask dl_axiom_construct_mask(CeConstructMemo& memo, const DlAxiomView& a) {
  auto bit = [](C c) { return construct_bit(c); };
  auto characteristic_bit = [](DlAxiomKind k) { return construct_bit(characteristic_row(*characteristic_of(k)).construct); };
  auto classes = [&](C c) {
    ConstructMask m = bit(c);
    for (CeId id : a.classes()) m |= memo.mask(id);
    return m;
  };
  switch (a.kind) {
    case DlAxiomKind::SubClassOf: return bit(C::SubClassOfNamed) | memo.mask(a.sub()) | memo.mask(a.sup());
    case DlAxiomKind::EquivalentClasses: return classes(C::EquivalentClasses);
    case DlAxiomKind::DisjointClasses: return classes(C::DisjointClasses);
    case DlAxiomKind::ObjectPropertyDomain: return bit(C::ObjectPropertyDomain) | memo.mask(a.domain());
    case DlAxiomKind::ObjectPropertyRange: return bit(C::ObjectPropertyRange) | memo.mask(a.range());
    case DlAxiomKind::SubObjectPropertyChain: return bit(C::SubObjectPropertyChain);
    case DlAxiomKind::SubObjectPropertyOf:
      return bit(C::SubObjectPropertyOf) | inverse_bit(a.sub_role()) | inverse_bit(a.sup_role());
    case DlAxiomKind::HasKey: return bit(C::HasKey) | memo.mask(a.class_expr());
    case DlAxiomKind::ClassAssertion: return bit(C::ClassAssertion) | memo.mask(a.class_expr());
    case DlAxiomKind::DataPropertyDomain: return bit(C::Datatype) | memo.mask(a.domain());
    case DlAxiomKind::DataPropertyRange: return bit(C::Datatype);
    case DlAxiomKind::SubDataPropertyOf: return bit(C::DataPropertyAxiom);
    case DlAxiomKind::DataPropertyAssertion: return bit(C::DataPropertyAssertion);
    case DlAxiomKind::NegativeObjectPropertyAssertion:
    case DlAxiomKind::NegativeDataPropertyAssertion: return 0;
    case DlAxiomKind::ObjectPropertyAssertion: return bit(C::ObjectPropertyAssertion) | inverse_bit(a.role());
    case DlAxiomKind::DatatypeDefinition: return bit(C::Datatype);
    case DlAxiomKind::FunctionalDataProperty:
    case DlAxiomKind::EquivalentDataProperties:
    case DlAxiomKind::DisjointDataProperties: return bit(C::DataPropertyAxiom);
    case DlAxiomKind::DisjointObjectProperties: return bit(C::DisjointObjectProperties);
    case DlAxiomKind::SameIndividual:
    case DlAxiomKind::DifferentIndividuals: return bit(C::IndividualEquality);
    case DlAxiomKind::TransitiveObjectProperty:
    case DlAxiomKind::SymmetricObjectProperty: return characteristic_bit(a.kind) | inverse_bit(a.role());
    case DlAxiomKind::SwrlRule: return bit(C::SwrlRule);
    case DlAxiomKind::InverseFunctionalObjectProperty:
    case DlAxiomKind::IrreflexiveObjectProperty: return characteristic_bit(a.kind);
    case DlAxiomKind::DisjointRoles: {
      ConstructMask m = bit(C::DisjointObjectProperties);
      for (size_t i = 0; i < a.roles().size(); ++i) m |= inverse_bit(a.roles()[i]);
      return m;
    }
  }
  return 0;
}

// --- Whole stores and ontologies -----------------------------------------------

ConstructMask scan_construct_mask_from_axioms(const AxiomStore& axioms, const DlStore& dl) {
  ConstructMask m = 0;
  for (uint32_t i = 0; i < axioms.size(); ++i) {
    if (!axioms.is_removed(AxiomId(i))) m |= told_kind_mask(axioms.kind(AxiomId(i)));
  }
  CeConstructMemo memo(dl);
  for (size_t i = 0; i < dl.axiom_count(); ++i) m |= dl_axiom_construct_mask(memo, dl.axiom(i));
  return m;
}

ConstructSet scan_constructs_from_axioms(const AxiomStore& axioms, const DlStore& dl) {
  return construct_set(scan_construct_mask_from_axioms(axioms, dl));
}

ConstructMask scan_construct_mask(const Ontology& ontology) {
  ConstructMask m = scan_construct_mask_from_axioms(ontology.axioms(), ontology.dl());
  if (ontology.parse_meta()) m |= construct_mask(ontology.parse_meta()->profile_constructs);
  if (!ontology.swrl_rules().empty()) m |= construct_bit(C::SwrlRule);
  return m;
}

ConstructSet scan_constructs(const Ontology& ontology) { return construct_set(scan_construct_mask(ontology)); }

bool holds_negative_assertion(const Ontology& ontology) {
  const AxiomStore& axioms = ontology.axioms();
  for (uint32_t i = 0; i < axioms.size(); ++i) {
    if (!axioms.is_removed(AxiomId(i)) && !trelvanic_el::engine_takes_form(axioms.kind(AxiomId(i)))) return true;
  }
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    if (!trelvanic_el::engine_takes_form(dl.axiom(i).kind)) return true;
  }
  return false;
}

}  // namespace trelvanic_profile
