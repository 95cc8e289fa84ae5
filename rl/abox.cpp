#include "rl/abox.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/axiom_index.h"
#include "rl/engine.h"
#include "rl/rdfs.h"

namespace trelvanic_rl::abox {

using trelvanic_core::AxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using RepMap = absl::flat_hash_map<EntityId, EntityId>;

EntityId find(RepMap& reps, EntityId id) {
  EntityId root = id;
  for (auto it = reps.find(root); it != reps.end(); it = reps.find(root)) root = it->second;
  // Path compression: every id on the way points at the root.
  while (id != root) {
    auto it = reps.find(id);
    const EntityId next = it->second;
    it->second = root;
    id = next;
  }
  return root;
}

SameAsClosure same_as_closure(const Ontology& o) {
  SameAsClosure c;
  o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    if (a.kind() != AxiomKind::SameIndividual) return;
    const auto ops = a.operands();
    for (size_t i = 1; i < ops.size(); ++i) {
      const EntityId x = find(c.representatives, ops[i - 1]);
      const EntityId y = find(c.representatives, ops[i]);
      if (x != y) c.representatives[y] = x;
    }
  });
  absl::flat_hash_map<EntityId, size_t> group_of;
  std::vector<EntityId> keys;
  keys.reserve(c.representatives.size());
  for (const auto& [m, _] : c.representatives) keys.push_back(m);
  for (EntityId m : keys) {
    const EntityId r = find(c.representatives, m);
    auto [it, fresh] = group_of.try_emplace(r, c.classes.size());
    if (fresh) c.classes.emplace_back();
    c.classes[it->second].push_back(m);
  }
  return c;
}

SameAsClashes collect_same_as_clashes(const Ontology& o) {
  const SameAsClosure closure = same_as_closure(o);
  SameAsClashes out;
  if (closure.representatives.empty()) return out;
  // Only individuals in a group of two or more can clash.
  absl::flat_hash_map<EntityId, std::vector<EntityId>> groups;
  const auto records = o.entities().records();
  for (uint32_t i = 0; i < records.size(); ++i) {
    if (records[i].kind != EntityKind::Individual) continue;
    const EntityId x(i);
    groups[closure.representative(x)].push_back(x);
  }
  for (const auto& [rep, members] : groups) {
    if (members.size() < 2) continue;
    for (size_t i = 0; i < members.size(); ++i) {
      const auto different = o.different_from(members[i]);
      if (!different) continue;
      for (size_t j = i + 1; j < members.size(); ++j)
        if (different->contains(members[j]) && out.pairs.insert({members[i], members[j]}).second)
          out.messages.push_back(fmt::format("individuals {} and {} are sameAs but also differentFrom",
                                             trelvanic_core::debug_text(members[i]),
                                             trelvanic_core::debug_text(members[j])));
    }
  }
  return out;
}

Result<bool> is_abox_consistent(const Ontology& ontology) {
  Ontology copy = ontology.clone();
  auto report = RlEngine{}.saturate(copy);
  if (!report) return std::unexpected(report.error());
  return collect_same_as_clashes(copy).messages.empty();
}

Result<AboxMaterialization> materialize_abox(Ontology& ontology) {
  auto report = RlEngine{}.saturate(ontology);
  if (!report) return std::unexpected(report.error());
  AboxMaterialization out;
  out.classes = same_as_closure(ontology).classes;
  out.added = report->final_axiom_count > report->initial_axiom_count
                  ? report->final_axiom_count - report->initial_axiom_count
                  : 0;
  return out;
}

Result<std::vector<EntityId>> object_property_values(Ontology& ontology, EntityId individual, EntityId property) {
  auto done = materialize_abox(ontology);
  if (!done) return std::unexpected(done.error());
  return object_property_values_materialized(ontology, individual, property, true);
}

Result<std::vector<EntityId>> rdfs_object_property_values(Ontology& ontology, EntityId individual,
                                                          EntityId property) {
  auto report = rdfs::RdfsEngine{}.materialize(ontology);
  if (!report) return std::unexpected(report.error());
  return object_property_values_materialized(ontology, individual, property, false);
}

bool transitive_subproperty_of(const Ontology& o, EntityId sub, EntityId sup) {
  if (sub == sup) return true;
  absl::flat_hash_set<EntityId> visited{sub};
  std::vector<EntityId> stack{sub};
  while (!stack.empty()) {
    const EntityId x = stack.back();
    stack.pop_back();
    for (EntityId y : o.direct_superproperties(x)) {
      if (y == sup) return true;
      if (visited.insert(y).second) stack.push_back(y);
    }
  }
  return false;
}

bool property_entails_assertion(const Ontology& o, EntityId q, EntityId p) {
  if (q == p || transitive_subproperty_of(o, q, p)) return true;
  // Equivalent properties: the property clusters of the index.
  if (const auto* cluster = o.index().equivalent_properties.get(q))
    for (EntityId e : *cluster)
      if (e == p || transitive_subproperty_of(o, e, p)) return true;
  return false;
}

std::vector<EntityId> object_property_values_materialized(const Ontology& o, EntityId a, EntityId p,
                                                          bool include_inverse) {
  std::vector<EntityId> subjects{a};
  if (const auto* same = o.same_as(a)) subjects.insert(subjects.end(), same->begin(), same->end());
  std::sort(subjects.begin(), subjects.end());
  subjects.erase(std::unique(subjects.begin(), subjects.end()), subjects.end());
  absl::flat_hash_set<EntityId> values;
  for (EntityId s : subjects)
    for (const auto& [q, obj] : o.object_assertions_of(s))
      if (property_entails_assertion(o, q, p)) values.insert(obj);
  if (include_inverse) {
    const auto& symmetric = o.index().characteristic(trelvanic_core::PropertyCharacteristic::Symmetric);
    for (EntityId s : subjects)
      for (const auto& [k, x] : o.index().assertions_by_object.get(s)) {
        bool entailed = false;
        for (EntityId inv : o.inverses_of(k)) entailed = entailed || property_entails_assertion(o, inv, p);
        if (!entailed && symmetric.contains(k)) entailed = property_entails_assertion(o, k, p);
        if (entailed) values.insert(x);
      }
  }
  std::vector<EntityId> out(values.begin(), values.end());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace trelvanic_rl::abox
