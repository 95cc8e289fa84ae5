#include "core/graph.h"

namespace trelvanic_core {
namespace {

void push_unique(std::vector<EntityId>& list, EntityId id) {
  for (EntityId x : list) {
    if (x == id) return;
  }
  list.push_back(id);
}

}  // namespace

SubsumptionGraph SubsumptionGraph::from_edges(std::span<const SubsumptionEdge> edges,
                                              std::span<const std::vector<EntityId>> clusters) {
  SubsumptionGraph g;
  g.edge_set_.reserve(edges.size());
  for (const auto& e : edges) {
    if (!g.edge_set_.insert(e).second) continue;
    g.supers_[e.first].push_back(e.second);
    g.subs_[e.second].push_back(e.first);
  }
  for (const auto& cluster : clusters) {
    for (EntityId a : cluster) {
      for (EntityId b : cluster) {
        if (a != b) push_unique(g.peers_[a], b);
      }
    }
  }
  return g;
}

bool SubsumptionGraph::reachable(EntityId a, EntityId b) const {
  if (a == b) return true;
  std::vector<EntityId> stack{a};
  absl::flat_hash_set<EntityId> visited{a};
  auto push_all = [&](const absl::flat_hash_map<EntityId, std::vector<EntityId>>& map, EntityId from) {
    auto it = map.find(from);
    if (it == map.end()) return false;
    for (EntityId next : it->second) {
      if (next == b) return true;
      if (visited.insert(next).second) stack.push_back(next);
    }
    return false;
  };
  while (!stack.empty()) {
    EntityId cur = stack.back();
    stack.pop_back();
    if (push_all(supers_, cur) || push_all(peers_, cur)) return true;
  }
  return false;
}

std::span<const EntityId> SubsumptionGraph::direct_supers(EntityId id) const {
  auto it = supers_.find(id);
  if (it == supers_.end()) return {};
  return it->second;
}

std::span<const EntityId> SubsumptionGraph::direct_subs(EntityId id) const {
  auto it = subs_.find(id);
  if (it == subs_.end()) return {};
  return it->second;
}

}  // namespace trelvanic_core
