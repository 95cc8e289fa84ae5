// DlOntology: an owned clone of an ontology with its clause normal form,
// the tables every tableau run reads.
//
//   auto dl = DlOntology::from_ontology(ontology);   // never changes `ontology`
//   uint32_t c = dl->normalize(ce);                  // NNF of a class expression
//   const Node& n = dl->node(c);
//
// Class expressions are brought into negation normal form and interned in
// the clone's DL store, so a concept is a `CeId` value; `node(id)` decodes it
// into a flat record (kind, role, number, filler, operands, negation). Every
// concept the tableau can meet (the closure under sub-concepts and
// negation) is decoded before a run, so a run never interns.
//
// Axioms become:
//   - lazy unfolding: A ⊑ D puts D beside A (named classes stay in labels);
//   - binary absorption: A1 ⊓ … ⊓ An ⊑ D fires once all Ai are present;
//   - ∃R.A in a left side becomes A ⊑ ∀R⁻.Q with a fresh name Q, ∃R.⊤ a
//     concept put on the source of every R-edge (domains and ranges too);
//   - whatever has no named conjunct to hang on goes to `thing_classes` as
//     ¬C ⊔ D, asserted on every world;
//   - the role tables: inverse closure of the role hierarchy, transitive
//     roles and the transitive sub-roles of each role, disjoint, irreflexive
//     and asymmetric roles;
//   - data restrictions: leaf concepts decided per world by the data
//     oracle (see datatype_oracle.h); the data property axioms fill its
//     tables.
// Anything left out (keys over data properties, the top data property,
// rules, property chains other than transitivity and plain sub-properties,
// skipped axioms, the universal role) is replaced by something it entails — a fresh name for an expression, or
// nothing for an axiom — and `complete()` turns false: a clash then still
// proves unsatisfiability, but an open branch proves nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "alc/datatype_oracle.h"
#include "alc/definitions.h"
#include "alc/error.h"
#include "core/dl.h"
#include "core/ontology.h"

namespace trelvanic_alc {

enum class NodeKind : uint8_t {
  Top, Bottom, Atom, NegAtom, And, Or, Some, All, AtLeast, AtMost, Nominal, NegNominal, Self, NegSelf,
  Somewhere,   // ∃ over the universal role: some world holds the filler
  Everywhere,  // ∀ over the universal role: every world holds the filler
  Data,        // a data restriction; entity: its index in the data tables
};
inline constexpr int kNodeKindCount = 17;

// 2 × property index, plus 1 for the inverse.
using Role = uint32_t;
constexpr Role inverse(Role r) { return r ^ 1u; }

inline constexpr uint32_t kNoConcept = 0xFFFFFFFFu;

struct Node {
  NodeKind kind = NodeKind::Top;
  uint32_t role = 0;    // Some, All, AtLeast, AtMost, Self, NegSelf
  uint32_t n = 0;       // AtLeast (≥ 2), AtMost (≥ 1)
  uint32_t filler = 0;  // Some, All, AtLeast, AtMost
  uint32_t entity = 0;  // Atom, NegAtom: class; Nominal, NegNominal: individual
  uint32_t ops_begin = 0, ops_end = 0;  // And, Or: into the operand pool
  uint32_t negation = kNoConcept;
  uint32_t choose = kNoConcept;  // AtMost: filler ⊔ ¬filler
  bool decoded = false;
};

// HasKey over object properties: named individuals in `ce` that share a
// named value on every role are the same.
struct Key {
  uint32_t ce = 0;
  uint32_t choose = 0;  // ce ⊔ ¬ce, so that every named individual decides ce
  std::vector<Role> roles;
};

struct ConjunctionRule {
  std::vector<uint32_t> atoms;  // sorted concept ids of named classes
  uint32_t consequent = 0;
};

class DlOntology {
 public:
  // Clones `ontology` and builds the clause normal form of the clone.
  static Result<DlOntology> from_ontology(const trelvanic_core::Ontology& ontology);

  // The NNF concept of a class expression of the clone's store (ids of the
  // caller's ontology stay valid: the clone only grows).
  uint32_t normalize(trelvanic_core::CeId ce);
  // The concept of a named class, and of sub ⊓ ¬sup.
  uint32_t atom(trelvanic_core::EntityId cls);
  uint32_t conjunction_with_complement(trelvanic_core::EntityId sub, trelvanic_core::EntityId sup);
  // Decodes the closure of every concept interned so far (call after
  // `normalize` and before a run).
  void close();

  [[nodiscard]] const Node& node(uint32_t c) const { return nodes_[c]; }
  [[nodiscard]] std::span<const uint32_t> operands(const Node& n) const {
    return std::span<const uint32_t>(operand_pool_).subspan(n.ops_begin, n.ops_end - n.ops_begin);
  }
  [[nodiscard]] size_t concept_count() const { return nodes_.size(); }
  [[nodiscard]] uint32_t top() const { return top_; }
  [[nodiscard]] uint32_t bottom() const { return bottom_; }

  // Told consequences of a named class and binary-absorption rules.
  [[nodiscard]] std::span<const uint32_t> unfolding(uint32_t atom_concept) const;
  [[nodiscard]] std::span<const uint32_t> conjunction_rules_of(uint32_t atom_concept) const;
  [[nodiscard]] const ConjunctionRule& conjunction_rule(uint32_t i) const { return conj_rules_[i]; }
  [[nodiscard]] const std::vector<uint32_t>& thing_classes() const { return thing_classes_; }
  [[nodiscard]] const std::vector<Key>& keys() const { return keys_; }

  // Roles.
  [[nodiscard]] uint32_t role_count() const { return static_cast<uint32_t>(supers_.size()); }
  [[nodiscard]] const std::vector<Role>& supers(Role r) const { return supers_[r]; }
  [[nodiscard]] bool is_sub_role(Role sub, Role sup) const {
    return (sub_bits_[size_t{sub} * sub_words_ + sup / 64] >> (sup % 64)) & 1u;
  }
  [[nodiscard]] bool transitive(Role r) const { return transitive_[r] != 0; }
  [[nodiscard]] const std::vector<Role>& transitive_subs(Role r) const { return transitive_subs_[r]; }
  [[nodiscard]] const std::vector<uint32_t>& edge_source_concepts(Role r) const { return edge_source_[r]; }
  [[nodiscard]] const std::vector<std::pair<Role, Role>>& disjoint_roles() const { return disjoint_roles_; }
  [[nodiscard]] bool asymmetric(Role r) const { return asymmetric_[r] != 0; }
  [[nodiscard]] trelvanic_core::EntityId role_property(Role r) const { return role_property_[r / 2]; }
  // ∀T.filler for a transitive T below the role of some ∀ concept.
  [[nodiscard]] uint32_t all_concept(Role t, uint32_t filler) const;

  // ABox, individuals already identified by their SameIndividual classes.
  struct RoleAssertion {
    uint32_t subject, object;  // individual indexes
    Role role;
  };
  [[nodiscard]] uint32_t individual_count() const { return static_cast<uint32_t>(individuals_.size()); }
  [[nodiscard]] trelvanic_core::EntityId individual(uint32_t i) const { return individuals_[i]; }
  // Index of the representative of `e`'s SameIndividual class, none when
  // the individual occurs in no assertion and no nominal.
  [[nodiscard]] std::optional<uint32_t> individual_index(trelvanic_core::EntityId e) const;
  [[nodiscard]] uint32_t representative(uint32_t i) const { return rep_[i]; }
  [[nodiscard]] const std::vector<std::pair<uint32_t, uint32_t>>& class_assertions() const { return class_assertions_; }
  [[nodiscard]] const std::vector<RoleAssertion>& role_assertions() const { return role_assertions_; }
  [[nodiscard]] const std::vector<std::pair<uint32_t, uint32_t>>& different() const { return different_; }

  // Which constructs are present (for blocking and the verdict guard).
  [[nodiscard]] bool complete() const { return incomplete_reason_.empty(); }
  [[nodiscard]] const std::string& incomplete_reason() const { return incomplete_reason_; }
  [[nodiscard]] bool uses_inverse() const { return uses_inverse_; }
  [[nodiscard]] bool uses_at_most() const { return uses_at_most_; }
  [[nodiscard]] bool uses_nominals() const { return uses_nominals_; }
  [[nodiscard]] bool uses_universal() const { return uses_universal_; }

  // Named classes of the ontology (owl:Thing and owl:Nothing excluded).
  [[nodiscard]] const std::vector<trelvanic_core::EntityId>& named_classes() const { return named_classes_; }
  // Whether an atom concept stands for a class of the ontology rather than
  // for a name made up by the normal form.
  [[nodiscard]] bool is_named(uint32_t atom_concept) const;
  [[nodiscard]] const trelvanic_core::Ontology& ontology() const { return ontology_; }
  // The named-class definitions of the store (see definitions.h).
  [[nodiscard]] const Definitions& definitions() const { return definitions_; }

  // Data restrictions: the tables, and the oracle that decides a world's
  // data concepts (none: such worlds stay undecided).
  [[nodiscard]] const DataTables& data_tables() const { return data_; }
  [[nodiscard]] const DataConstraint& data_constraint(const Node& n) const { return data_.concepts[n.entity]; }
  [[nodiscard]] DataOracle data_oracle() const { return data_oracle_; }
  void set_data_oracle(DataOracle oracle) { data_oracle_ = oracle; }

 private:
  friend class Normalizer;
  DlOntology() = default;

  trelvanic_core::Ontology ontology_;
  Definitions definitions_;
  std::vector<Node> nodes_;
  std::vector<uint32_t> operand_pool_;
  uint32_t top_ = 0, bottom_ = 0;
  uint32_t fresh_base_ = 0, fresh_next_ = 0;
  trelvanic_core::EntityId thing_, nothing_, top_property_, bottom_property_;
  bool has_thing_ = false, has_nothing_ = false, has_top_property_ = false, has_bottom_property_ = false;

  absl::flat_hash_map<uint32_t, std::vector<uint32_t>> unfold_;
  absl::flat_hash_map<uint32_t, std::vector<uint32_t>> conj_by_atom_;
  std::vector<ConjunctionRule> conj_rules_;
  std::vector<uint32_t> thing_classes_;
  std::vector<Key> keys_;

  absl::flat_hash_map<uint32_t, uint32_t> property_index_;  // entity → index
  std::vector<trelvanic_core::EntityId> role_property_;
  std::vector<std::vector<Role>> told_supers_;
  std::vector<std::vector<Role>> supers_;
  std::vector<uint64_t> sub_bits_;  // role_count × role_count bits: row sub, column sup
  uint32_t sub_words_ = 0;
  std::vector<uint8_t> transitive_;
  std::vector<std::vector<Role>> transitive_subs_;
  std::vector<std::vector<uint32_t>> told_edge_source_;
  std::vector<std::vector<uint32_t>> edge_source_;
  std::vector<std::pair<Role, Role>> disjoint_roles_;
  std::vector<uint8_t> asymmetric_;
  std::vector<Role> simple_required_;  // roles under number and self restrictions, functional roles

  absl::flat_hash_map<uint32_t, uint32_t> individual_index_;
  std::vector<trelvanic_core::EntityId> individuals_;
  std::vector<uint32_t> rep_;
  std::vector<std::pair<uint32_t, uint32_t>> class_assertions_;
  std::vector<RoleAssertion> role_assertions_;
  std::vector<std::pair<uint32_t, uint32_t>> different_;

  DataTables data_;
  DataOracle data_oracle_ = nullptr;

  std::string incomplete_reason_;
  bool uses_inverse_ = false, uses_at_most_ = false, uses_nominals_ = false, uses_universal_ = false;
  std::vector<trelvanic_core::EntityId> named_classes_;
  absl::flat_hash_map<uint64_t, uint32_t> nnf_memo_;
  absl::flat_hash_map<uint64_t, uint32_t> all_concepts_;
  std::vector<uint32_t> unclosed_;  // interned since the last close()
};

}  // namespace trelvanic_alc
