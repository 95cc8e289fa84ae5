// Shared helpers, the two step lists and the bottom-chain check.
#include "bridge/rl_postprocess.h"

#include <deque>

#include "bridge/detail/postprocess_util.h"

namespace trelvanic_bridge {

using trelvanic_core::AxiomId;
using trelvanic_core::AxiomKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

namespace {

absl::flat_hash_map<EntityId, EntityId> last_class_by_property(const Ontology& o, AxiomKind kind) {
  absl::flat_hash_map<EntityId, EntityId> out;
  for (AxiomId id : detail::live_of_kind(o, kind)) {
    const auto a = o.axioms().view(id);
    out[a.property()] = a.id(1);
  }
  return out;
}

}  // namespace

absl::flat_hash_map<EntityId, EntityId> property_domains(const Ontology& o) {
  return last_class_by_property(o, AxiomKind::ObjectPropertyDomain);
}

absl::flat_hash_map<EntityId, EntityId> property_ranges(const Ontology& o) {
  return last_class_by_property(o, AxiomKind::ObjectPropertyRange);
}

EdgeMap superproperty_edges(const Ontology& o) {
  EdgeMap edges;
  for (AxiomId id : detail::live_of_kind(o, AxiomKind::SubObjectPropertyOf)) {
    const auto a = o.axioms().view(id);
    edges[a.sub_property()].push_back(a.super_property());
  }
  return edges;
}

EdgeMap data_superproperty_edges(const trelvanic_core::DlStore& dl) {
  EdgeMap edges;
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind == DlAxiomKind::SubDataPropertyOf) edges[a.sub_data_property()].push_back(a.sup_data_property());
  }
  return edges;
}

EntityIdSet subproperties_of(EntityId start, const EdgeMap& edges) {
  EntityIdSet visited;
  std::deque<EntityId> queue{start};
  while (!queue.empty()) {
    const EntityId u = queue.front();
    queue.pop_front();
    auto it = edges.find(u);
    if (it == edges.end()) continue;
    for (EntityId w : it->second)
      if (visited.insert(w).second) queue.push_back(w);
  }
  return visited;
}

Result<size_t> apply_materializer_fallbacks(Ontology& o) {
  size_t total = 0;
  total += TRELVANIC_BRIDGE_TRY(apply_inverse_subproperty_materialization(o));
  total += TRELVANIC_BRIDGE_TRY(apply_equivalent_property_subproperties(o));
  total += TRELVANIC_BRIDGE_TRY(apply_transitive_subproperties(o));
  total += apply_transitive_data_subproperties(o);
  total += TRELVANIC_BRIDGE_TRY(apply_characteristic_propagation(o));
  total += TRELVANIC_BRIDGE_TRY(propagate_domain_range_along_subproperties(o));
  total += TRELVANIC_BRIDGE_TRY(apply_domain_range_inheritance(o));
  total += TRELVANIC_BRIDGE_TRY(apply_existential_subclass_subsumption(o));
  total += TRELVANIC_BRIDGE_TRY(apply_singleton_domain_range_property_equivalence(o));
  total += TRELVANIC_BRIDGE_TRY(apply_domain_range_nominal_subsumption(o));
  total += TRELVANIC_BRIDGE_TRY(apply_transitive_path_property_subsumption(o));
  total += apply_functional_data_subproperty_inference(o);
  return total;
}

Result<size_t> apply_rdfs_fallbacks(Ontology& o) {
  size_t total = 0;
  total += TRELVANIC_BRIDGE_TRY(apply_transitive_subproperties(o));
  total += TRELVANIC_BRIDGE_TRY(apply_characteristic_propagation(o));
  total += TRELVANIC_BRIDGE_TRY(propagate_domain_range_along_subproperties(o));
  total += TRELVANIC_BRIDGE_TRY(apply_domain_range_inheritance(o));
  return total;
}

bool has_bottom_chain_violation(const Ontology& o) {
  // The bottom property is recognised by its full IRI only.
  const auto bottom = o.lookup_entity("http://www.w3.org/2002/07/owl#bottomObjectProperty");
  if (!bottom) return false;
  std::vector<EntityId> starts;
  const auto records = o.entities().records();
  for (uint32_t i = 0; i < records.size(); ++i)
    if (records[i].kind == EntityKind::Individual && !o.object_assertions_of(EntityId(i)).empty())
      starts.push_back(EntityId(i));
  if (starts.empty()) return false;
  const auto& dl = o.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto a = dl.axiom(i);
    if (a.kind != DlAxiomKind::SubObjectPropertyChain) continue;
    const auto sup = a.super_property();
    if (sup.is_inverse() || sup.property != *bottom) continue;
    const auto chain = a.chain().to_vector();
    if (chain.empty()) continue;
    EntityIdSet current(starts.begin(), starts.end());
    bool realised = true;
    for (const auto& role : chain) {
      if (role.is_inverse()) {
        realised = false;
        break;
      }
      EntityIdSet next;
      for (EntityId x : current)
        for (const auto& pair : o.object_assertions_of(x))
          if (pair.first == role.property) next.insert(pair.second);
      if (next.empty()) {
        realised = false;
        break;
      }
      current = std::move(next);
    }
    if (realised) return true;
  }
  return false;
}

}  // namespace trelvanic_bridge
