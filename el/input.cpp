#include "el/input.h"

namespace trelvanic_el {

ExprId ElInput::named(uint32_t class_index) {
  reserve_classes(class_index + 1);
  exprs_.push_back({ExprKind::Named, class_index});
  return static_cast<ExprId>(exprs_.size() - 1);
}

ExprId ElInput::top() {
  if (top_ == UINT32_MAX) {
    exprs_.push_back({ExprKind::Top});
    top_ = static_cast<ExprId>(exprs_.size() - 1);
  }
  return top_;
}

ExprId ElInput::bottom() {
  if (bottom_ == UINT32_MAX) {
    exprs_.push_back({ExprKind::Bottom});
    bottom_ = static_cast<ExprId>(exprs_.size() - 1);
  }
  return bottom_;
}

ExprId ElInput::and_of(std::span<const ExprId> operands) {
  if (operands.empty()) return top();
  Expr e{ExprKind::And};
  e.first = static_cast<uint32_t>(operands_.size());
  e.count = static_cast<uint32_t>(operands.size());
  operands_.insert(operands_.end(), operands.begin(), operands.end());
  exprs_.push_back(e);
  return static_cast<ExprId>(exprs_.size() - 1);
}

ExprId ElInput::some(uint32_t role, ExprId filler) {
  use_role(role);
  exprs_.push_back({ExprKind::Some, role, filler});
  return static_cast<ExprId>(exprs_.size() - 1);
}

uint32_t ElInput::add_axiom(InputAxiomKind kind, std::span<const ExprId> exprs,
                            std::span<const uint32_t> roles) {
  InputAxiom ax{kind};
  ax.expr_first = static_cast<uint32_t>(axiom_exprs_.size());
  ax.expr_count = static_cast<uint32_t>(exprs.size());
  ax.role_first = static_cast<uint32_t>(axiom_roles_.size());
  ax.role_count = static_cast<uint32_t>(roles.size());
  axiom_exprs_.insert(axiom_exprs_.end(), exprs.begin(), exprs.end());
  axiom_roles_.insert(axiom_roles_.end(), roles.begin(), roles.end());
  for (uint32_t r : roles) use_role(r);
  axioms_.push_back(ax);
  return static_cast<uint32_t>(axioms_.size() - 1);
}

uint32_t ElInput::sub_class_of(ExprId sub, ExprId super) {
  ExprId e[2] = {sub, super};
  return add_axiom(InputAxiomKind::SubClassOf, e, {});
}

uint32_t ElInput::equivalent_classes(std::span<const ExprId> operands) {
  return add_axiom(InputAxiomKind::EquivalentClasses, operands, {});
}

uint32_t ElInput::disjoint_classes(std::span<const ExprId> operands) {
  return add_axiom(InputAxiomKind::DisjointClasses, operands, {});
}

uint32_t ElInput::sub_property_of(uint32_t sub, uint32_t super) {
  uint32_t r[2] = {sub, super};
  return add_axiom(InputAxiomKind::SubObjectPropertyOf, {}, r);
}

uint32_t ElInput::property_chain(std::span<const uint32_t> chain, uint32_t super) {
  std::vector<uint32_t> r(chain.begin(), chain.end());
  r.push_back(super);
  return add_axiom(InputAxiomKind::SubPropertyChain, {}, r);
}

uint32_t ElInput::transitive(uint32_t role) {
  return add_axiom(InputAxiomKind::TransitiveProperty, {}, {&role, 1});
}

uint32_t ElInput::reflexive(uint32_t role) {
  return add_axiom(InputAxiomKind::ReflexiveProperty, {}, {&role, 1});
}

uint32_t ElInput::domain(uint32_t role, ExprId cls) {
  return add_axiom(InputAxiomKind::PropertyDomain, {&cls, 1}, {&role, 1});
}

uint32_t ElInput::range(uint32_t role, ExprId cls) {
  return add_axiom(InputAxiomKind::PropertyRange, {&cls, 1}, {&role, 1});
}

uint32_t ElInput::individual_link(ExprId subject, uint32_t role, ExprId object) {
  ExprId e[2] = {subject, object};
  return add_axiom(InputAxiomKind::IndividualLink, e, {&role, 1});
}

}  // namespace trelvanic_el
