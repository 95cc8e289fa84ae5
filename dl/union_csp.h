// The choice problem behind two ABox shapes, solved as a small constraint
// search:
//   - union shape: an instance of a class A that has several superclasses
//     A ⊑ B1 ⊔ … ⊔ Bk (named Bi) must fall under one member of each union;
//   - enumeration shape: an individual asserted into several {a1, …, ak}
//     equals one member of each.
// Two chosen members clash when they are stated disjoint classes or
// declared different individuals. When no choice avoids a clash the
// ontology is inconsistent. An admissible choice says nothing about the
// rest of the ontology, and a search past its node cap gives up.
//
//   switch (union_csp::nominal_grid_consistency(ontology)) {
//     case union_csp::kInconsistent: ...   // proven
//     default: ...                         // go on
//   }
#pragma once

#include <cstdint>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include "core/ids.h"
#include "core/ontology.h"

namespace trelvanic_dl::union_csp {

inline constexpr uint8_t kInconsistent = 0;
inline constexpr uint8_t kChoiceExists = 1;
inline constexpr uint8_t kUndecided = 2;

// Nodes one search may expand.
inline constexpr uint64_t kNodeCap = 5'000'000;

using Row = std::vector<trelvanic_core::EntityId>;
// Unordered pairs (smaller id, larger id) of members that cannot be chosen
// together.
using PairSet = absl::flat_hash_set<std::pair<uint32_t, uint32_t>>;

[[nodiscard]] uint8_t nominal_grid_consistency(const trelvanic_core::Ontology& ontology);
// Whether one member per row can be chosen with no two chosen members in
// `incompatible` (equal members never clash).
[[nodiscard]] uint8_t solve_union_constraints(std::vector<Row> rows, const PairSet& incompatible,
                                              uint64_t node_cap = kNodeCap);

}  // namespace trelvanic_dl::union_csp
