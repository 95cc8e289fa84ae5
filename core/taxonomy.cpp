#include "core/taxonomy.h"

#include <algorithm>
#include <string>

#include <absl/container/flat_hash_map.h>

#include "core/entity.h"
#include "core/iri.h"

namespace trelvanic_core {
namespace {

void sort_unique(std::vector<SubsumptionEdge>& edges) {
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
}

void sort_unique(std::vector<EntityId>& ids) {
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

}  // namespace

Taxonomy::Taxonomy(const Taxonomy& other)
    : edges_(other.edges_), clusters_(other.clusters_), unsatisfiable_(other.unsatisfiable_) {}

Taxonomy& Taxonomy::operator=(const Taxonomy& other) {
  if (this != &other) {
    edges_ = other.edges_;
    clusters_ = other.clusters_;
    unsatisfiable_ = other.unsatisfiable_;
    graph_cache_.reset();
  }
  return *this;
}

Taxonomy Taxonomy::from_parts(std::vector<SubsumptionEdge> edges,
                              std::vector<std::vector<EntityId>> clusters,
                              std::vector<EntityId> unsatisfiable) {
  Taxonomy t;
  t.edges_ = std::move(edges);
  t.clusters_ = std::move(clusters);
  t.unsatisfiable_ = std::move(unsatisfiable);
  return t;
}

const SubsumptionGraph& Taxonomy::graph() const {
  if (!graph_cache_) {
    graph_cache_ = std::make_unique<SubsumptionGraph>(SubsumptionGraph::from_edges(edges_, clusters_));
  }
  return *graph_cache_;
}

bool Taxonomy::is_subsumed(EntityId sub, EntityId sup) const {
  if (sub == sup) return true;
  return graph().reachable(sub, sup);
}

std::vector<EntityId> Taxonomy::direct_subclasses(EntityId cls) const {
  auto subs = graph().direct_subs(cls);
  return {subs.begin(), subs.end()};
}

std::vector<EntityId> Taxonomy::direct_superclasses(EntityId cls) const {
  auto supers = graph().direct_supers(cls);
  return {supers.begin(), supers.end()};
}

std::optional<std::span<const EntityId>> Taxonomy::equivalent_classes(EntityId cls) const {
  for (const auto& cluster : clusters_) {
    if (std::find(cluster.begin(), cluster.end(), cls) != cluster.end()) {
      return std::span<const EntityId>(cluster);
    }
  }
  return std::nullopt;
}

void Taxonomy::canonicalize_entity_aliases(const InternPool& iris, const EntityRegistry& entities) {
  // Entity -> canonical entity, only for entities that have an earlier alias.
  auto records = entities.records();
  std::vector<uint32_t> canonical(records.size());
  absl::flat_hash_map<std::string, uint32_t> first_by_key;
  std::string storage;
  for (uint32_t i = 0; i < records.size(); ++i) {
    std::string_view key = normalize_iri_fragment_encoding(iris.text(records[i].iri), storage);
    auto [it, inserted] = first_by_key.try_emplace(std::string(key), i);
    canonical[i] = it->second;
  }
  auto map = [&](EntityId id) {
    return id.value < canonical.size() ? EntityId(canonical[id.value]) : id;
  };
  for (auto& e : edges_) e = {map(e.first), map(e.second)};
  sort_unique(edges_);
  std::vector<std::vector<EntityId>> kept;
  kept.reserve(clusters_.size());
  for (auto& cluster : clusters_) {
    for (auto& m : cluster) m = map(m);
    sort_unique(cluster);
    if (cluster.size() >= 2) kept.push_back(std::move(cluster));
  }
  clusters_ = std::move(kept);
  for (auto& u : unsatisfiable_) u = map(u);
  sort_unique(unsatisfiable_);
  graph_cache_.reset();
}

void Taxonomy::reduce_transitive_redundancy() {
  if (edges_.empty()) return;
  // Judge every edge against the graph as it is now (without clusters: an
  // edge is redundant only through other edges).
  SubsumptionGraph g = SubsumptionGraph::from_edges(edges_);
  std::vector<SubsumptionEdge> kept;
  kept.reserve(edges_.size());
  for (const auto& [sub, sup] : edges_) {
    bool redundant = false;
    if (sub != sup) {
      for (EntityId other : g.direct_supers(sub)) {
        if (other == sup || other == sub) continue;
        // On a cycle two edges could each be judged redundant through the
        // other; only a super strictly above sub, and strictly below sup,
        // may justify dropping one (two equivalent supers keep both edges).
        if (g.reachable(other, sup) && !g.reachable(other, sub) && !g.reachable(sup, other)) {
          redundant = true;
          break;
        }
      }
    }
    if (!redundant) kept.push_back({sub, sup});
  }
  sort_unique(kept);
  edges_ = std::move(kept);
  graph_cache_.reset();
}

}  // namespace trelvanic_core
