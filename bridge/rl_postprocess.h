// Post-processing of a materialised ontology: conclusions the rule engine's
// triples leave implicit, added as inferred axioms.
//
// `apply_materializer_fallbacks` runs the RL list of twelve steps in this
// order (each sees what the earlier ones added; nothing is repeated to a
// fixpoint; the first error stops the list and what was added stays):
//    1 inverse(p) <= inverse(q) in the DL store gives p <= q
//    2 EquivalentObjectProperties give both sub-property directions
//    3 transitive closure of the object-property hierarchy
//    4 transitive closure of the data-property hierarchy (DL store)
//    5 functional, inverse-functional, asymmetric, irreflexive pass down to
//      sub-properties; reflexive passes up to super-properties
//    6 domains and ranges pass down to sub-properties
//    7 p(s, o) types s and o with the domains and ranges of p and of its
//      super-properties
//    8 A <= Ep.B and a definition A2 == Eq.B2 with p <= q, B <= B2 give A <= A2
//    9 two properties proven to hold at most the one pair (x, y) (by
//      one-individual domains and ranges of their own) and asserted for
//      the same pairs are equivalent
//   10 such a property is contained in every property asserted from x to y
//   11 and in every transitive property with a path from x to y
//   12 sub-properties of a functional data property are functional
// `apply_rdfs_fallbacks` runs steps 3, 5, 6 and 7.
//
// Every step returns how many axioms it added. Told forms are added with
// `Ontology::add_inferred_axiom` after an index lookup found them absent;
// DL forms are pushed into the DL store. Graph walks keep visited sets, so
// cycles of sub-classes, sub-properties and equivalences end.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "bridge/error.h"
#include "core/ids.h"
#include "core/ontology.h"

namespace trelvanic_bridge {

using EdgeMap = absl::flat_hash_map<trelvanic_core::EntityId, std::vector<trelvanic_core::EntityId>>;
using EntityIdSet = absl::flat_hash_set<trelvanic_core::EntityId>;

// --- Shared helpers ---------------------------------------------------------

// Property -> class of its live ObjectPropertyDomain (the latest in store
// order when there are several); the same for ranges.
[[nodiscard]] absl::flat_hash_map<trelvanic_core::EntityId, trelvanic_core::EntityId> property_domains(
    const trelvanic_core::Ontology& ontology);
[[nodiscard]] absl::flat_hash_map<trelvanic_core::EntityId, trelvanic_core::EntityId> property_ranges(
    const trelvanic_core::Ontology& ontology);
// sub -> its direct super-properties (live SubObjectPropertyOf, store order).
[[nodiscard]] EdgeMap superproperty_edges(const trelvanic_core::Ontology& ontology);
// sub -> its direct super data properties (DL SubDataPropertyOf, list order).
[[nodiscard]] EdgeMap data_superproperty_edges(const trelvanic_core::DlStore& dl);
// Every property reachable from `start` over one or more edges (`start`
// itself only through a cycle).
[[nodiscard]] EntityIdSet subproperties_of(trelvanic_core::EntityId start, const EdgeMap& edges);

// --- Steps ------------------------------------------------------------------

[[nodiscard]] Result<size_t> apply_inverse_subproperty_materialization(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_equivalent_property_subproperties(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_transitive_subproperties(trelvanic_core::Ontology& ontology);
[[nodiscard]] size_t apply_transitive_data_subproperties(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_characteristic_propagation(trelvanic_core::Ontology& ontology);
[[nodiscard]] size_t apply_functional_data_subproperty_inference(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> propagate_domain_range_along_subproperties(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_domain_range_inheritance(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_existential_subclass_subsumption(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_singleton_domain_range_property_equivalence(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_domain_range_nominal_subsumption(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_transitive_path_property_subsumption(trelvanic_core::Ontology& ontology);

// --- One-individual lookups --------------------------------------------------

// The individual x of a one-individual enumeration {x} equivalent to class
// `cls` (DL EquivalentClasses, followed through told EquivalentClasses).
[[nodiscard]] std::optional<trelvanic_core::EntityId> singleton_from_equivalent_classes(
    const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId cls);
// The same for a class used as a domain or range.
[[nodiscard]] std::optional<trelvanic_core::EntityId> singleton_individual_of_class(
    const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId cls);
// (x, y) when the property's own domains prove its subjects are x and its
// own ranges prove its objects are y.
[[nodiscard]] std::optional<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>>
property_endpoint_singletons(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId property);

// --- Step lists and the bottom-chain check --------------------------------------

[[nodiscard]] Result<size_t> apply_materializer_fallbacks(trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<size_t> apply_rdfs_fallbacks(trelvanic_core::Ontology& ontology);

// Whether the object-property assertions realise, from a named individual,
// a chain of a DL SubObjectPropertyChain whose super-property is
// owl:bottomObjectProperty (so the ontology is inconsistent).
[[nodiscard]] bool has_bottom_chain_violation(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_bridge
