// `SubsumptionGraph`: the reachability graph of a taxonomy's direct
// subsumption edges, with equivalence clusters folded in.
//
// Built once from the edges (and optionally the clusters) and then queried:
// `reachable(a, b)` walks super-edges from `a` with an explicit stack; the
// members of a cluster reach one another, so {A, B} equivalent with B ⊑ C
// gives A ⊑ C. `direct_supers` and `direct_subs` are indexed both ways, so
// neither direction scans the graph.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ids.h"

namespace trelvanic_core {

using SubsumptionEdge = std::pair<EntityId, EntityId>;  // (sub, sup)

class SubsumptionGraph {
 public:
  static SubsumptionGraph from_edges(std::span<const SubsumptionEdge> edges,
                                     std::span<const std::vector<EntityId>> clusters = {});

  // True when `a == b`, when `b` is met walking direct supers (and cluster
  // peers) from `a`.
  [[nodiscard]] bool reachable(EntityId a, EntityId b) const;

  // Direct supers / subs as given by the edges, in edge order, without
  // repeats; empty when the id has none.
  [[nodiscard]] std::span<const EntityId> direct_supers(EntityId id) const;
  [[nodiscard]] std::span<const EntityId> direct_subs(EntityId id) const;

  [[nodiscard]] bool has_edge(EntityId sub, EntityId sup) const {
    return edge_set_.contains(SubsumptionEdge{sub, sup});
  }
  [[nodiscard]] bool empty() const { return edge_set_.empty(); }

 private:
  absl::flat_hash_map<EntityId, std::vector<EntityId>> supers_;
  absl::flat_hash_map<EntityId, std::vector<EntityId>> subs_;
  absl::flat_hash_set<SubsumptionEdge> edge_set_;
  // Cluster peers: id -> every other member of every cluster holding it.
  absl::flat_hash_map<EntityId, std::vector<EntityId>> peers_;
};

}  // namespace trelvanic_core
