// Named-class definitions in the DL store, and the leaves of conjunctions.
//
//   Definitions defs(store);                        // one pass over the axioms
//   std::optional<CeId> d = defs.of(cls);            // the chosen definition
//   CeId e = effective_class_expression(dl, ce);     // a name unfolded to its definition
//   std::vector<CeId> leaves = flatten_and_conjuncts(store, ce);
//
// A definition of a named class A is an operand of a DL-store
// EquivalentClasses axiom (two operands at least) beside an operand
// Atomic(A), with another CeId. Candidates are ranked by form: And, Or 5;
// the restrictions (Some, All, the object and data cardinalities) 4; Not 3;
// Top, Bottom, OneOf, HasValue, HasSelf, DataAll, DataSome, DataHasValue
// and a CeId outside the store 2; Atomic 1. The best one wins, the first
// met (axioms in store order, operands in operand order) among equals.
// Told EquivalentClasses axioms of named classes are not read.
//
// These are lookups: the tableau keeps names in its labels and never puts
// a definition in place of one.
#pragma once

#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "core/dl.h"

namespace trelvanic_alc {

class DlOntology;

class Definitions {
 public:
  Definitions() = default;
  // Reads every EquivalentClasses axiom of `store` once.
  explicit Definitions(const trelvanic_core::DlStore& store);
  // The chosen definition of the named class `cls`, none without one.
  [[nodiscard]] std::optional<trelvanic_core::CeId> of(trelvanic_core::EntityId cls) const;

 private:
  struct Best {
    trelvanic_core::CeId ce;
    int rank = 0;
  };
  absl::flat_hash_map<uint32_t, Best> best_;  // class entity → its best candidate
};

// The chosen definition of `cls` in `store` (a Definitions built for the call).
[[nodiscard]] std::optional<trelvanic_core::CeId> equivalent_definition_ce(const trelvanic_core::DlStore& store,
                                                                          trelvanic_core::EntityId cls);

// `x` with named classes replaced by their definitions, again and again,
// until an expression is not a name of a defined class or a CeId comes back
// (a cycle of definitions ends at the first CeId met twice). The
// definitions are those of the DlOntology's store, read once when it was
// built (the normal form adds expressions to the store, never axioms).
[[nodiscard]] trelvanic_core::CeId effective_class_expression(const DlOntology& dl, trelvanic_core::CeId x);

// The non-And leaves under `x`, nested conjunctions opened, right to left:
// And[a, And[b, c]] gives [c, b, a]. Names are not unfolded, duplicates
// stay, and a CeId outside the store is a leaf.
[[nodiscard]] std::vector<trelvanic_core::CeId> flatten_and_conjuncts(const trelvanic_core::DlStore& store,
                                                                     trelvanic_core::CeId x);

}  // namespace trelvanic_alc
