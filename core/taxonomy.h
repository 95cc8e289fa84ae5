// `Taxonomy`: the result of a classification over the classified ontology's
// `EntityId`s: direct subsumption edges (sub, sup), clusters of equivalent
// classes and the unsatisfiable classes.
//
// Engines build one with `from_parts` and may normalise it with
// `canonicalize_entity_aliases` (fold entities whose IRIs differ only in an
// encoded "#") and `reduce_transitive_redundancy`. Queries go through a
// reachability graph built on first use; anything that changes the lists
// drops it. A taxonomy is used from one thread at a time.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/graph.h"
#include "core/ids.h"

namespace trelvanic_core {

class EntityRegistry;
class InternPool;

class Taxonomy {
 public:
  Taxonomy() = default;
  Taxonomy(const Taxonomy& other);
  Taxonomy& operator=(const Taxonomy& other);
  Taxonomy(Taxonomy&&) noexcept = default;
  Taxonomy& operator=(Taxonomy&&) noexcept = default;

  // Takes the three lists over as they are: nothing is sorted or checked.
  static Taxonomy from_parts(std::vector<SubsumptionEdge> edges,
                             std::vector<std::vector<EntityId>> clusters,
                             std::vector<EntityId> unsatisfiable);

  [[nodiscard]] std::span<const SubsumptionEdge> edges() const { return edges_; }
  [[nodiscard]] std::span<const std::vector<EntityId>> clusters() const { return clusters_; }
  [[nodiscard]] std::span<const EntityId> unsatisfiable() const { return unsatisfiable_; }

  // sub ⊑ sup by the edges, with the members of a cluster subsuming one
  // another (and so reaching each other's supers). Equal ids: true.
  [[nodiscard]] bool is_subsumed(EntityId sub, EntityId sup) const;
  // Direct neighbours by the edges, in edge order.
  [[nodiscard]] std::vector<EntityId> direct_subclasses(EntityId cls) const;
  [[nodiscard]] std::vector<EntityId> direct_superclasses(EntityId cls) const;
  // The first cluster, in stored order, that holds `cls`.
  [[nodiscard]] std::optional<std::span<const EntityId>> equivalent_classes(EntityId cls) const;

  // The cached reachability graph, built first when absent.
  [[nodiscard]] const SubsumptionGraph& graph() const;
  void invalidate_graph_cache() { graph_cache_.reset(); }

  // Rewrites every id to the first-registered entity whose IRI equals its
  // own once "%23" is read as "#"; then sorts and deduplicates the edges,
  // sorts each cluster (dropping those left with fewer than two members) and
  // sorts the unsatisfiable classes without repeats.
  void canonicalize_entity_aliases(const InternPool& iris, const EntityRegistry& entities);

  // Drops every edge (sub, sup) for which sub has another direct super E
  // (E ≠ sup, E ≠ sub, E not reaching back to sub, sup not reaching E) that
  // reaches sup; the
  // kept edges come out sorted and without repeats. Self-edges never make
  // another edge redundant, and edges on a cycle never remove each other.
  void reduce_transitive_redundancy();

 private:
  std::vector<SubsumptionEdge> edges_;
  std::vector<std::vector<EntityId>> clusters_;
  std::vector<EntityId> unsatisfiable_;
  mutable std::unique_ptr<SubsumptionGraph> graph_cache_;
};

}  // namespace trelvanic_core
