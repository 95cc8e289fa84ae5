// Data restrictions in the tableau: the data concepts a world's label may
// hold, the data property tables of the ontology, and the oracle that
// decides whether a world's data concepts have values.
//
// Data restrictions are leaves of the calculus: a world's data successors
// are never built as worlds. Once a branch is otherwise open, the data
// concepts of each world (∃p.R, ∀p.R, ≥n p.R, ≤n p.R; a value p(a, v) is
// ∃p.{v}) go to the oracle together with the tables (super-properties,
// ranges, functional and disjoint data properties), and its answer closes
// the branch, leaves it open, or makes it undecided:
//
//   const DataAnswer a = dl.data_oracle()(dl.ontology(), dl.data_tables(), constraints);
//
// The oracle is installed by whoever links the datatype library
// (`DlOntology::set_data_oracle`); without one every world that holds a data
// concept is undecided.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ids.h"
#include "core/ontology.h"

namespace trelvanic_alc {

// Satisfiable and Unsatisfiable are proofs; Unknown leaves the branch
// undecided.
enum class DataAnswer : uint8_t { Satisfiable, Unsatisfiable, Unknown };

// One data concept in negation normal form.
struct DataConstraint {
  enum class Kind : uint8_t { Some, All, AtLeast, AtMost } kind = Kind::Some;
  trelvanic_core::EntityId property;
  std::optional<trelvanic_core::DeId> range;  // none: any data value (AtLeast, AtMost only)
  uint32_t n = 1;                             // AtLeast, AtMost (in the tableau ≥ 2 and ≥ 1)
  bool outside = false;                       // All: every value lies outside the range instead

  // Whether the concept asks for at least one value.
  [[nodiscard]] bool needs_value() const { return kind == Kind::Some || kind == Kind::AtLeast; }
};

struct DataTables {
  // Data concepts by the `entity` field of their Data node.
  std::vector<DataConstraint> concepts;
  // A property and every property above it, for properties with a told
  // super-property (a property not listed is its own only super).
  absl::flat_hash_map<trelvanic_core::EntityId, std::vector<trelvanic_core::EntityId>> supers;
  absl::flat_hash_map<trelvanic_core::EntityId, std::vector<trelvanic_core::DeId>> ranges;
  absl::flat_hash_set<trelvanic_core::EntityId> functional;
  std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> disjoint;
  // Concepts a world with a value of the property (or of a sub-property)
  // holds: the told domains of the property and of its supers, and ∀p.¬R ⊔ D
  // for each ∃p.R ⊑ D (or ≥n p.R ⊑ D) on them.
  absl::flat_hash_map<trelvanic_core::EntityId, std::vector<uint32_t>> domains;

  // The oracle's answers by the sorted data concepts of a world (the
  // tables belong to one DlOntology, which one thread uses at a time).
  mutable absl::flat_hash_map<std::vector<uint32_t>, DataAnswer> answers;
  // Whatever the oracle keeps between calls on these tables (it owns it).
  mutable std::shared_ptr<void> oracle_state;

  [[nodiscard]] std::span<const trelvanic_core::EntityId> supers_of(const trelvanic_core::EntityId& p) const {
    auto it = supers.find(p);
    if (it == supers.end()) return std::span<const trelvanic_core::EntityId>(&p, 1);
    return it->second;
  }
  [[nodiscard]] std::span<const uint32_t> domains_of(trelvanic_core::EntityId p) const {
    auto it = domains.find(p);
    if (it == domains.end()) return {};
    return it->second;
  }
};

using DataOracle = DataAnswer (*)(const trelvanic_core::Ontology& ontology, const DataTables& tables,
                                  std::span<const DataConstraint> world);

}  // namespace trelvanic_alc
