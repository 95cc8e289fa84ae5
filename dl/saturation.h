// Saturation before the tableau: a cheap worklist over the told class
// implications that finds subsumptions between named classes, each one a
// consequence of the ontology (it holds in every model).
//
//   Ontology work = ontology.clone();
//   auto s = trelvanic_dl::saturation::saturate(work);
//   for (auto [sub, sup] : s.subsumptions) ...   // sub ⊑ sup
//
// Clauses: every told or DL-store SubClassOf / EquivalentClasses gives
// implications between class expressions (a union on the left one per
// operand), object property domains and ranges give ∃p.⊤ ⊑ D and ∃p⁻.⊤ ⊑ D,
// and plain sub-property axioms between named properties give the role
// hierarchy (transitively closed). From x ⊑ y the rules derive:
//   - x ⊑ z for every operand z of a conjunction y;
//   - x ⊑ ∃S.C from y = ∃R.C with R a sub-property of S, and x ⊑ ∃S.⊤ from
//     y = ∃R.C with R = S or R below S, when that expression already exists
//     (nothing is built while saturating);
//   - x ⊑ z for every told implication y ⊑ z.
// Nothing is derived from universals or property chains: ∃R.C ⊑ ∀S.D says
// nothing about C and D, and a chain R∘T ⊑ S says nothing about
// x ⊑ ∃R.C. The work is bounded by the ordered pairs of expressions, and
// stops at a fixed number of them; the calling thread's cancellation flag
// is polled. Either ends the run early with the pairs found so far (still
// sound: the tableau tests the rest).
#pragma once

#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ontology.h"

namespace trelvanic_dl::saturation {

// Told sub-properties between named properties, transitively closed.
class RoleHierarchy {
 public:
  void add(trelvanic_core::EntityId sub, trelvanic_core::EntityId sup);
  void close();
  // a = b, or a is below b.
  [[nodiscard]] bool is_subrole(trelvanic_core::EntityId a, trelvanic_core::EntityId b) const;
  // The properties strictly above `p` (itself only through a cycle).
  [[nodiscard]] const absl::flat_hash_set<trelvanic_core::EntityId>* supers(trelvanic_core::EntityId p) const;

 private:
  absl::flat_hash_map<trelvanic_core::EntityId, absl::flat_hash_set<trelvanic_core::EntityId>> supers_;
};

struct Saturation {
  // (sub, super) between named classes, in order of derivation, no pair twice.
  std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> subsumptions;
  bool cancelled = false;
  bool truncated = false;  // stopped at the bound on processed pairs
};

// Interns into `work` the expressions its told axioms stand for (a named
// class, ∃p.F, ∃p.⊤ of a domain); its meaning is unchanged.
Saturation saturate(trelvanic_core::Ontology& work);

}  // namespace trelvanic_dl::saturation
