// Small helpers shared by the post-processing steps (not part of the
// bridge's surface).
#pragma once

#include <algorithm>
#include <span>

#include "bridge/error.h"
#include "core/axiom.h"
#include "core/axiom_index.h"
#include "core/ontology.h"

namespace trelvanic_bridge::detail {

// Index rows are sorted ascending.
inline bool row_contains(std::span<const trelvanic_core::EntityId> row, trelvanic_core::EntityId id) {
  return std::binary_search(row.begin(), row.end(), id);
}

inline bool has_sub_property(const trelvanic_core::Ontology& o, trelvanic_core::EntityId sub,
                             trelvanic_core::EntityId sup) {
  return row_contains(o.direct_superproperties(sub), sup);
}

// Adds an axiom found absent and counts it.
inline Result<void> add(trelvanic_core::Ontology& o, trelvanic_core::Axiom axiom, size_t& count) {
  TRELVANIC_BRIDGE_TRY_CORE(o.add_inferred_axiom(std::move(axiom)));
  ++count;
  return {};
}

// Live axiom ids of one form in ascending id order.
inline std::vector<trelvanic_core::AxiomId> live_of_kind(const trelvanic_core::Ontology& o,
                                                         trelvanic_core::AxiomKind kind) {
  std::vector<trelvanic_core::AxiomId> ids;
  for (trelvanic_core::AxiomId id : o.index().by_kind(kind))
    if (!o.axioms().is_removed(id)) ids.push_back(id);
  // The kind lists are kept in the order axioms were added, ascending
  // unless an axiom was removed and the index rebuilt.
  if (!std::is_sorted(ids.begin(), ids.end())) std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace trelvanic_bridge::detail
