// The inference trace of an EL saturation: one step per derived fact, with
// the rule that derived it and the facts it was derived from.
//
// Facts are coded by kind: 0 an input axiom (a = its index), 1 a subsumption
// a ⊑ b, 2 an existential link a ⊑ ∃b.c, 3 a role inclusion a ⊑ b. Concept
// and role ids are those of the NormalForm; fresh names may appear, and an
// explanation maps them back through the normal forms' sources.
//
// Rule ids and names are listed once, in EL_RULES, and the list holds only
// rules the engine produces: the names reach proofs and explanations.
// property_range means: A ⊑ ∃r.B with a range R of r gives A ⊑ ∃r.(B ⊓ R),
// never B ⊑ R.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace trelvanic_el {

// X(enumerator, "name")
#define EL_RULES(X)                                                                         \
  X(SubTransForward, "sub_trans_forward")     /* C ⊑ A, A ⊑ B told ⟹ C ⊑ B */             \
  X(SubPropTransForward, "sub_prop_trans_forward") /* r ⊑ t, t ⊑ s ⟹ r ⊑ s */             \
  X(PropertyDomain, "property_domain")  /* C ⊑ ∃r.D, domain(r) = E ⟹ C ⊑ E */              \
  X(PropertyRange, "property_range")    /* C ⊑ A, A ⊑ ∃r.B, range R ⟹ C ⊑ ∃r.(B ⊓ R) */   \
  X(ThingSuper, "thing_super")          /* C ⊑ ⊤ */                                         \
  X(ConjSub, "conj_sub")                /* C ⊑ A1, C ⊑ A2, A1 ⊓ A2 ⊑ B ⟹ C ⊑ B */         \
  X(ExIntro, "ex_intro")                /* C ⊑ A, A ⊑ ∃r.B ⟹ C ⊑ ∃r.B */                  \
  X(ExLeftSub, "ex_left_sub")           /* C ⊑ ∃r.D, D ⊑ A, r ⊑ s, ∃s.A ⊑ B ⟹ C ⊑ B */     \
  X(ExBottom, "ex_bottom")              /* C ⊑ ∃r.D, D ⊑ ⊥ ⟹ C ⊑ ⊥ */                      \
  X(ExChain, "ex_chain")                /* C ⊑ ∃r1.D, D ⊑ ∃r2.E, r1∘r2 ⊑ s ⟹ C ⊑ ∃s.E */  \
  X(DisjointBottom, "disjoint_bottom")  /* C ⊑ A, C ⊑ B, A, B disjoint ⟹ C ⊑ ⊥ */         \
  X(ReflexiveExists, "reflexive_ex_left") /* C ⊑ A, ∃s.A ⊑ B, s reflexive ⟹ C ⊑ B */      \
  X(ReflexiveRange, "reflexive_range")  /* r reflexive, range R ⟹ C ⊑ R */                 \
  X(RangeFiller, "range_filler")        /* the narrowed filler B ⊓ R is below B and R */   \
  X(SubPropReflexiveChain, "sub_prop_reflexive_chain") /* t1 reflexive, t1∘t2 ⊑ s ⟹ t2 ⊑ s */

enum class RuleId : uint8_t {
#define EL_RULE_ENUM(id, name) id,
  EL_RULES(EL_RULE_ENUM)
#undef EL_RULE_ENUM
};

inline constexpr std::string_view kRuleNames[] = {
#define EL_RULE_NAME(id, name) name,
    EL_RULES(EL_RULE_NAME)
#undef EL_RULE_NAME
};

inline constexpr size_t kRuleCount = sizeof(kRuleNames) / sizeof(kRuleNames[0]);

constexpr std::string_view rule_name(RuleId id) { return kRuleNames[static_cast<size_t>(id)]; }

enum class FactKind : uint8_t { Axiom = 0, Subsumption = 1, Existential = 2, SubProperty = 3 };

struct TraceFact {
  FactKind kind = FactKind::Axiom;
  uint32_t a = 0;
  uint32_t b = 0;
  uint32_t c = 0;

  static TraceFact axiom(uint32_t index) { return {FactKind::Axiom, index}; }
  static TraceFact sub(uint32_t x, uint32_t y) { return {FactKind::Subsumption, x, y}; }
  static TraceFact link(uint32_t x, uint32_t r, uint32_t y) { return {FactKind::Existential, x, r, y}; }
  static TraceFact sub_role(uint32_t r, uint32_t s) { return {FactKind::SubProperty, r, s}; }
  friend bool operator==(const TraceFact&, const TraceFact&) = default;
};

struct TraceStep {
  RuleId rule;
  uint32_t premise_first;  // into ElTrace::premises
  uint32_t premise_count;
  TraceFact conclusion;
};

// Premises of one derivation, at most four.
struct Premises {
  TraceFact facts[4];
  uint8_t count = 0;
  Premises& add(TraceFact f) {
    facts[count++] = f;
    return *this;
  }
};

class ElTrace {
 public:
  void push(RuleId rule, const Premises& premises, TraceFact conclusion) {
    steps_.push_back({rule, static_cast<uint32_t>(premises_.size()), premises.count, conclusion});
    premises_.insert(premises_.end(), premises.facts, premises.facts + premises.count);
  }
  const std::vector<TraceStep>& steps() const { return steps_; }
  std::span<const TraceFact> premises(const TraceStep& s) const {
    return {premises_.data() + s.premise_first, s.premise_count};
  }
  bool empty() const { return steps_.empty(); }

 private:
  std::vector<TraceStep> steps_;
  std::vector<TraceFact> premises_;
};

}  // namespace trelvanic_el
