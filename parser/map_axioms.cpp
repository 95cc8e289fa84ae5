// The mapping rules of class axioms and assertions: what stays a told axiom
// (named operands), what goes to the DL store, and what is skipped.
#include <algorithm>

#include "parser/map.h"

namespace trelvanic_parser {

using trelvanic_core::Axiom;
using trelvanic_core::CeId;
using trelvanic_core::ClassExpr;
using trelvanic_core::DlAxiom;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::OwlConstruct;
using trelvanic_owl::Kind;
using trelvanic_owl::NodeId;

namespace {

bool resolved(const Operand& o) { return o.status == OperandStatus::Resolved; }

std::vector<EntityId> sorted_unique(std::vector<EntityId> ids) {
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

}  // namespace

// SubClassOf(sub, sup): told when both are named or sup is an existential
// over named names; else the DL store, with a named subclass also getting
// one told axiom per operand of an EL-shaped intersection superclass.
void Mapper::visit_sub_class_of(NodeId n) {
  const auto& m = model_;
  const NodeId sub = m.operand(n, 0);
  const NodeId sup = m.operand(n, 1);
  scan_class_expression(sub);
  scan_class_expression(sup);
  const Operand s = class_status(sub);
  Operand named_sup, p, f;
  const bool existential = node_kind(sup) == Kind::ObjectSomeValuesFrom;
  if (node_kind(sup) == Kind::Class) {
    named_sup = class_status(sup);
  } else if (existential) {
    p = property_status(m.operand(sup, 0));
    f = class_status(m.operand(sup, 1));
  }
  if (resolved(s)) {
    if (resolved(named_sup)) {
      note(OwlConstruct::SubClassOfNamed);
      return push_axiom(Axiom::sub_class_of(s.id, named_sup.id));
    }
    if (existential && resolved(p) && resolved(f)) {
      note(OwlConstruct::SubClassOfExistential);
      return push_axiom(Axiom::sub_class_of_existential(s.id, p.id, f.id));
    }
  }
  const auto a = map_class_expression(sub);
  const auto b = map_class_expression(sup);
  if (a && b) {
    push_dl_axiom(DlAxiom::sub_class_of(*a, *b));
    if (class_expression_uses_datatype(sub) || class_expression_uses_datatype(sup))
      note_profile(OwlConstruct::Datatype);
    if (resolved(s)) (void)map_intersection_superclass(s.id, sup);
    return;
  }
  if (resolved(s) && map_intersection_superclass(s.id, sup)) return;
  const Operand all[] = {s, named_sup, p, f};
  skip(any_failed(all) ? kRegistrationSkipText : "SubClassOf with complex class expression not mapped in v0.2");
}

void Mapper::visit_equivalent_classes(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::EquivalentClasses);
  const auto ops = m.operands(n);
  for (NodeId op : ops) scan_class_expression(op);
  std::vector<Operand> statuses;
  for (NodeId op : ops) statuses.push_back(class_status(op));
  // A class equivalent to itself is a tautology: mapped, with nothing to store.
  auto tautology = [&] { ++dl_only_mapped_; };
  if (auto ids = collect_resolved(statuses)) {
    if (ops.size() >= 2 && sorted_unique(*ids).size() == 1) return tautology();
    return push_axiom(Axiom::equivalent_classes(std::move(*ids)));
  }
  std::vector<CeId> ces;
  for (NodeId op : ops)
    if (auto id = map_class_expression(op)) ces.push_back(*id);
  if (ces.size() == ops.size()) {
    std::vector<CeId> distinct = ces;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (ops.size() >= 2 && distinct.size() == 1) return tautology();
    return push_dl_axiom(DlAxiom::equivalent_classes(ces));
  }
  skip(any_failed(statuses) ? kRegistrationSkipText : "EquivalentClasses with complex operands not mapped in v0.2");
}

bool Mapper::push_disjoint_expressions(const std::vector<CeId>& ces) {
  std::vector<CeId> distinct = ces;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  if (distinct.size() >= 2) {
    push_dl_axiom(DlAxiom::disjoint_classes(ces));
    return true;
  }
  // A class disjoint with itself is empty.
  const CeId bottom = ontology_.dl_mut().intern_ce(ClassExpr::bottom());
  for (CeId c : ces) push_dl_axiom(DlAxiom::sub_class_of(c, bottom));
  return false;
}

void Mapper::visit_disjoint_classes(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::DisjointClasses);
  const auto ops = m.operands(n);
  for (NodeId op : ops) scan_class_expression(op);
  auto map_all = [&] {
    std::vector<CeId> ces;
    for (NodeId op : ops)
      if (auto id = map_class_expression(op)) ces.push_back(*id);
    return ces;
  };
  auto statuses = [&] {
    std::vector<Operand> out;
    for (NodeId op : ops) out.push_back(class_status(op));
    return out;
  };
  const std::vector<CeId> ces = map_all();
  if (ces.size() == ops.size() && ops.size() >= 2) {
    if (push_disjoint_expressions(ces)) {
      const auto st = statuses();
      if (auto ids = collect_resolved(st); ids && sorted_unique(*ids).size() >= 2)
        push_axiom(Axiom::disjoint_classes(std::move(*ids)));
    }
    return;
  }
  const auto st = statuses();
  if (auto ids = collect_resolved(st)) return push_axiom(Axiom::disjoint_classes(std::move(*ids)));
  const std::vector<CeId> again = map_all();
  if (again.size() == ops.size()) return push_dl_axiom(DlAxiom::disjoint_classes(again));
  skip(any_failed(st) ? kRegistrationSkipText : "DisjointClasses with complex operands not mapped in v0.2");
}

// DisjointUnion(C D1 ... Dn) is C = D1 or ... or Dn with the Di pairwise
// disjoint: both parts go to the DL store, and the axiom counts as one
// mapped axiom although it stores no told axiom.
void Mapper::visit_disjoint_union(NodeId n) {
  note(OwlConstruct::DisjointUnion);
  const auto ops = model_.operands(n);
  for (NodeId op : ops) scan_class_expression(op);
  std::vector<CeId> parts;
  for (NodeId op : ops.subspan(1))
    if (auto id = map_class_expression(op)) parts.push_back(*id);
  const auto whole = map_class_expression(ops[0]);
  if (!whole || parts.empty() || parts.size() + 1 != ops.size()) {
    std::vector<Operand> statuses;
    for (NodeId op : ops) statuses.push_back(class_status(op));
    return skip(any_failed(statuses) ? kRegistrationSkipText : "DisjointUnion not mapped in v0.2");
  }
  const uint64_t skipped_before = meta_.skipped_axiom_count;
  const CeId either = parts.size() == 1 ? parts[0] : ontology_.dl_mut().intern_ce(ClassExpr::or_of(parts));
  push_dl_axiom(DlAxiom::equivalent_classes({*whole, either}));
  if (parts.size() >= 2) (void)push_disjoint_expressions(parts);
  if (meta_.skipped_axiom_count != skipped_before) return;  // over the axiom limit
  note_profile(OwlConstruct::DisjointUnion);
  ++dl_only_mapped_;
}

void Mapper::visit_same_individual(NodeId n) {
  note(OwlConstruct::IndividualEquality);
  const auto ops = model_.operands(n);
  std::vector<Operand> statuses;
  for (NodeId op : ops) statuses.push_back(individual_status(op));
  if (auto ids = collect_resolved(statuses)) {
    auto unique = sorted_unique(std::move(*ids));
    if (unique.size() >= 2) return push_axiom(Axiom::same_individual(std::move(unique)));
    if (limits_.strict) return skip("reflexive or degenerate SameIndividual rejected in strict parse");
    return warn("reflexive or degenerate SameIndividual ignored in lenient parse");
  }
  for (NodeId op : ops) (void)map_individual_entity(op);
  skip(kRegistrationSkipText);
}

// DifferentIndividuals(a1 ... an) says ai != aj for every two positions, so
// two operands naming one individual make it unsatisfiable: strict keeps it
// (duplicates and all) for the DL store, lenient drops it with a warning and
// the flag. A single distinct operand says nothing and maps to nothing.
void Mapper::visit_different_individuals(NodeId n) {
  note(OwlConstruct::IndividualEquality);
  const auto ops = model_.operands(n);
  std::vector<EntityId> mapped;
  for (NodeId op : ops)
    if (auto id = map_individual_entity(op)) mapped.push_back(*id);
  if (mapped.size() == ops.size() && sorted_unique(mapped).size() < mapped.size()) {
    if (limits_.strict) return push_dl_axiom(DlAxiom::entity_list(DlAxiomKind::DifferentIndividuals, mapped));
    warn("degenerate DifferentIndividuals ignored in lenient parse");
    meta_.degenerate_different_individuals = true;
    return;
  }
  std::vector<Operand> statuses;
  for (NodeId op : ops) statuses.push_back(individual_status(op));
  if (auto ids = collect_resolved(statuses)) {
    auto unique = sorted_unique(std::move(*ids));
    if (unique.size() >= 2) push_axiom(Axiom::different_individuals(std::move(unique)));
    return;
  }
  for (NodeId op : ops) (void)map_individual_entity(op);
  skip(kRegistrationSkipText);
}

// ClassAssertion(C, a): a named class is held in both stores, a complex one
// in the DL store only.
void Mapper::visit_class_assertion(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::ClassAssertion);
  const NodeId c = m.operand(n, 0);
  const NodeId a = m.operand(n, 1);
  scan_class_expression(c);
  const Operand cs = class_status(c);
  const Operand as = individual_status(a);
  if (resolved(cs) && resolved(as)) {
    push_axiom(Axiom::class_assertion(as.id, cs.id));
    auto ce = map_class_expression(c);
    auto ind = map_individual_entity(a);
    if (ce && ind) push_dl_axiom(DlAxiom::class_assertion(*ind, *ce));
    return;
  }
  auto ce = map_class_expression(c);
  auto ind = map_individual_entity(a);
  if (ce && ind) return push_dl_axiom(DlAxiom::class_assertion(*ind, *ce));
  const Operand both[] = {cs, as};
  skip(any_failed(both) ? kRegistrationSkipText : "ClassAssertion with complex operands not mapped in v0.4");
}

void Mapper::visit_object_property_assertion(NodeId n) {
  const auto& m = model_;
  note(OwlConstruct::ObjectPropertyAssertion);
  const NodeId p = m.operand(n, 0);
  Operand ps;
  if (node_kind(p) == Kind::ObjectInverseOf) {
    note(OwlConstruct::InverseObjectProperties);
  } else {
    (void)register_object_property(p);
    ps = property_status(p);
  }
  const Operand as = individual_status(m.operand(n, 1));
  const Operand bs = individual_status(m.operand(n, 2));
  if (resolved(ps) && resolved(as) && resolved(bs))
    return push_axiom(Axiom::object_property_assertion(as.id, ps.id, bs.id));
  if (auto role = resolve_role(p)) {
    auto a = map_individual_entity(m.operand(n, 1));
    auto b = map_individual_entity(m.operand(n, 2));
    if (a && b) return push_dl_axiom(DlAxiom::object_property_assertion(*a, *role, *b));
  }
  const bool complex_only = ps.status != OperandStatus::Failed && resolved(as) && resolved(bs);
  skip(complex_only ? "ObjectPropertyAssertion with complex operands not mapped in v0.4" : kRegistrationSkipText);
}

}  // namespace trelvanic_parser
