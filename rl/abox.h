// Questions about the individuals of an ontology: the owl:sameAs closure,
// sameAs/differentFrom clashes, ABox consistency after RL saturation, and
// the objects an individual has for an object property.
//
//   auto closure = abox::same_as_closure(ontology);
//   closure.representative(b);                 // the group's representative
//   auto clashes = abox::collect_same_as_clashes(ontology);
//   auto values = abox::object_property_values(copy, a, p);   // saturates `copy`
#pragma once

#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "core/ids.h"
#include "core/ontology.h"
#include "rl/error.h"
#include "rl/report.h"

namespace trelvanic_rl::abox {

namespace closure {

// The groups of individuals joined by live SameIndividual axioms.
struct SameAsClosure {
  // Per group of two or more: the members other than its representative.
  std::vector<std::vector<trelvanic_core::EntityId>> classes;
  // Member -> representative (representatives and loners have no entry).
  absl::flat_hash_map<trelvanic_core::EntityId, trelvanic_core::EntityId> representatives;

  [[nodiscard]] trelvanic_core::EntityId representative(trelvanic_core::EntityId id) const {
    auto it = representatives.find(id);
    return it == representatives.end() ? id : it->second;
  }
};

}  // namespace closure

using closure::SameAsClosure;

// The root of `id` (path-compressing); `id` itself when it has no entry.
[[nodiscard]] trelvanic_core::EntityId find(
    absl::flat_hash_map<trelvanic_core::EntityId, trelvanic_core::EntityId>& representatives,
    trelvanic_core::EntityId id);

[[nodiscard]] SameAsClosure same_as_closure(const trelvanic_core::Ontology& ontology);

struct SameAsClashes {
  // "individuals {} and {} are sameAs but also differentFrom", smaller id first.
  std::vector<std::string> messages;
  absl::flat_hash_set<ClashPair> pairs;
};

[[nodiscard]] SameAsClashes collect_same_as_clashes(const trelvanic_core::Ontology& ontology);

// Saturates a clone with an RL engine; true when no sameAs clash remains.
[[nodiscard]] Result<bool> is_abox_consistent(const trelvanic_core::Ontology& ontology);

struct AboxMaterialization {
  std::vector<std::vector<trelvanic_core::EntityId>> classes;
  size_t added = 0;
};

// Saturates the ontology in place; the sameAs groups and the axioms added.
[[nodiscard]] Result<AboxMaterialization> materialize_abox(trelvanic_core::Ontology& ontology);

// The objects of `individual` for `property` after RL (resp. RDFS)
// materialisation of the ontology in place, ascending.
[[nodiscard]] Result<std::vector<trelvanic_core::EntityId>> object_property_values(
    trelvanic_core::Ontology& ontology, trelvanic_core::EntityId individual, trelvanic_core::EntityId property);
[[nodiscard]] Result<std::vector<trelvanic_core::EntityId>> rdfs_object_property_values(
    trelvanic_core::Ontology& ontology, trelvanic_core::EntityId individual, trelvanic_core::EntityId property);

// The same over the ontology as it is, through its sameAs cluster and, with
// `include_inverse`, assertions of inverse and symmetric properties.
[[nodiscard]] std::vector<trelvanic_core::EntityId> object_property_values_materialized(
    const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId individual, trelvanic_core::EntityId property,
    bool include_inverse);

// Whether `sup` is `sub` or reached from it over told super-properties.
[[nodiscard]] bool transitive_subproperty_of(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId sub,
                                             trelvanic_core::EntityId sup);
// Whether an assertion with `asserted` gives one with `queried`.
[[nodiscard]] bool property_entails_assertion(const trelvanic_core::Ontology& ontology,
                                              trelvanic_core::EntityId asserted, trelvanic_core::EntityId queried);

}  // namespace trelvanic_rl::abox
