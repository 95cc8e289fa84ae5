// ElInput: the structural input of the EL engine.
//
// Class expressions live in an arena (named class, owl:Thing, owl:Nothing,
// intersection, existential restriction); every expression refers only to
// expressions created before it, so the arena is a DAG built bottom-up.
// Axioms refer to expressions and to roles by index. A caller (for example
// the adapter from the ontology model) numbers its classes 0..n-1 and its
// object properties 0..m-1 densely and fills one ElInput; `normalize`
// (normal_form.h) turns it into the normal forms the engine saturates.
//
//   ElInput in;
//   auto a = in.named(0), b = in.named(1);
//   in.sub_class_of(a, in.some(0, b));
//   in.transitive(0);
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace trelvanic_el {

using ExprId = uint32_t;

enum class ExprKind : uint8_t { Named, Top, Bottom, And, Some };

// One arena concept. Named: `a` is the class index. Some: `a` is the role,
// `b` the filler. And: operands are operands_[first, first + count).
struct Expr {
  ExprKind kind;
  uint32_t a = 0;
  uint32_t b = 0;
  uint32_t first = 0;
  uint32_t count = 0;
};

enum class InputAxiomKind : uint8_t {
  SubClassOf,           // exprs[0] ⊑ exprs[1]
  EquivalentClasses,    // all exprs equivalent
  DisjointClasses,      // exprs pairwise disjoint
  SubObjectPropertyOf,  // roles[0] ⊑ roles[1]
  SubPropertyChain,     // roles[0] ∘ ... ∘ roles[n-2] ⊑ roles[n-1]
  TransitiveProperty,   // roles[0]
  ReflexiveProperty,    // roles[0]
  PropertyDomain,       // roles[0], exprs[0]
  PropertyRange,        // roles[0], exprs[0]
  IndividualLink,       // exprs[0] ⊑ ∃roles[0].exprs[1], both named individuals
};

// Operands of an axiom: expressions in [expr_first, +expr_count) of
// axiom_exprs_, roles in [role_first, +role_count) of axiom_roles_.
struct InputAxiom {
  InputAxiomKind kind;
  uint32_t expr_first = 0;
  uint32_t expr_count = 0;
  uint32_t role_first = 0;
  uint32_t role_count = 0;
};

class ElInput {
 public:
  ExprId named(uint32_t class_index);
  ExprId top();
  ExprId bottom();
  // Operands must already exist; an empty intersection is owl:Thing.
  ExprId and_of(std::span<const ExprId> operands);
  ExprId some(uint32_t role, ExprId filler);

  // Each returns the index of the new axiom, which the normal forms carry
  // as their source.
  uint32_t sub_class_of(ExprId sub, ExprId super);
  uint32_t equivalent_classes(std::span<const ExprId> operands);
  uint32_t disjoint_classes(std::span<const ExprId> operands);
  uint32_t sub_property_of(uint32_t sub, uint32_t super);
  // chain[0] ∘ ... ∘ chain[n-1] ⊑ super.
  uint32_t property_chain(std::span<const uint32_t> chain, uint32_t super);
  uint32_t transitive(uint32_t role);
  uint32_t reflexive(uint32_t role);
  uint32_t domain(uint32_t role, ExprId cls);
  uint32_t range(uint32_t role, ExprId cls);
  // Individuals take part as nominal-like classes: the caller gives each
  // individual a class index of its own, states a class assertion C(a) as
  // sub_class_of(named(a), C), sameAs as equivalence and difference as
  // disjointness. A property assertion r(a, b) is this link: unlike an
  // existential, its filler is the individual b itself, so the ranges of r
  // hold for b (an existential's filler is narrowed instead).
  uint32_t individual_link(ExprId subject, uint32_t role, ExprId object);

  // Counts grow to cover every index used; a caller may raise them to
  // include classes and roles that occur in no axiom.
  void reserve_classes(uint32_t n) { if (n > class_count_) class_count_ = n; }
  void reserve_roles(uint32_t n) { if (n > role_count_) role_count_ = n; }

  uint32_t class_count() const { return class_count_; }
  uint32_t role_count() const { return role_count_; }
  const std::vector<Expr>& exprs() const { return exprs_; }
  const Expr& expr(ExprId id) const { return exprs_[id]; }
  std::span<const ExprId> operands(const Expr& e) const {
    return {operands_.data() + e.first, e.count};
  }
  const std::vector<InputAxiom>& axioms() const { return axioms_; }
  std::span<const ExprId> axiom_exprs(const InputAxiom& ax) const {
    return {axiom_exprs_.data() + ax.expr_first, ax.expr_count};
  }
  std::span<const uint32_t> axiom_roles(const InputAxiom& ax) const {
    return {axiom_roles_.data() + ax.role_first, ax.role_count};
  }

 private:
  uint32_t add_axiom(InputAxiomKind kind, std::span<const ExprId> exprs,
                     std::span<const uint32_t> roles);
  void use_role(uint32_t role) { reserve_roles(role + 1); }

  std::vector<Expr> exprs_;
  std::vector<ExprId> operands_;
  std::vector<InputAxiom> axioms_;
  std::vector<ExprId> axiom_exprs_;
  std::vector<uint32_t> axiom_roles_;
  uint32_t class_count_ = 0;
  uint32_t role_count_ = 0;
  ExprId top_ = UINT32_MAX;
  ExprId bottom_ = UINT32_MAX;
};

}  // namespace trelvanic_el
