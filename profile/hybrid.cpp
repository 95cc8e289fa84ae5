#include "profile/hybrid.h"

#include <algorithm>

#include <absl/container/flat_hash_map.h>

namespace trelvanic_profile {

using trelvanic_core::EntityId;
using trelvanic_core::SubsumptionEdge;
using trelvanic_core::Taxonomy;

namespace {

// Union-find over entity ids whose roots are always the smallest member.
class SmallestRootForest {
 public:
  EntityId find(EntityId x) {
    EntityId root = x;
    for (auto it = parent_.find(root); it != parent_.end() && it->second != root;
         it = parent_.find(root)) {
      root = it->second;
    }
    while (x != root) {  // path compression
      auto it = parent_.find(x);
      EntityId next = it->second;
      it->second = root;
      x = next;
    }
    return root;
  }

  void unite(EntityId a, EntityId b) {
    a = find(a);
    b = find(b);
    if (a == b) return;
    if (b < a) std::swap(a, b);
    parent_[b] = a;
    parent_[a] = a;
  }

 private:
  absl::flat_hash_map<EntityId, EntityId> parent_;
};

}  // namespace

Taxonomy merge_taxonomies(std::vector<Taxonomy> taxonomies) {
  std::vector<SubsumptionEdge> edges;
  std::vector<EntityId> unsatisfiable;
  std::vector<std::vector<EntityId>> clusters;
  for (auto& t : taxonomies) {
    edges.insert(edges.end(), t.edges().begin(), t.edges().end());
    unsatisfiable.insert(unsatisfiable.end(), t.unsatisfiable().begin(), t.unsatisfiable().end());
    for (const auto& c : t.clusters()) clusters.push_back(c);
  }

  SmallestRootForest forest;
  for (const auto& c : clusters) {
    for (size_t i = 1; i < c.size(); ++i) forest.unite(c[0], c[i]);
  }
  absl::flat_hash_map<EntityId, std::vector<EntityId>> groups;
  for (const auto& c : clusters) {
    for (EntityId m : c) groups[forest.find(m)].push_back(m);
  }
  std::vector<std::vector<EntityId>> merged;
  for (auto& [root, members] : groups) {
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    if (members.size() >= 2) merged.push_back(std::move(members));
  }
  std::sort(merged.begin(), merged.end(),
            [](const auto& a, const auto& b) { return a.front() < b.front(); });

  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::sort(unsatisfiable.begin(), unsatisfiable.end());
  unsatisfiable.erase(std::unique(unsatisfiable.begin(), unsatisfiable.end()), unsatisfiable.end());
  return Taxonomy::from_parts(std::move(edges), std::move(merged), std::move(unsatisfiable));
}

}  // namespace trelvanic_profile
