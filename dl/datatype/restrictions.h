// Data restrictions of class expressions: the obligations on an
// individual's data property values that a class expression states, read
// from the DL store.
//
//   for (auto [p, r] : consistency::restrictions_from_ce(store, ce)) ...
//
// A named class contributes through the definition chosen among its
// EquivalentClasses partners (the highest definition score, the first met
// among equals); its SubClassOf axioms are the caller's. Unions,
// complements and object restrictions are not looked into. All functions
// are pure, never fail, and test every id against its arena first.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "alc/definitions.h"
#include "core/dl.h"
#include "core/ids.h"
#include "core/ontology.h"

namespace trelvanic_dl::datatype::consistency {

struct DataRestriction {
  enum class Kind : uint8_t { DataAll, DataSome, DataHasValue, DataMin, DataMax, DataExact } kind = Kind::DataAll;
  trelvanic_core::DeId range;                 // DataAll, DataSome; the value of DataHasValue
  uint32_t n = 0;                             // DataMin, DataMax, DataExact
  std::optional<trelvanic_core::DeId> filler;  // DataMin, DataMax, DataExact

  bool operator==(const DataRestriction&) const = default;
};

using PropertyRestriction = std::pair<trelvanic_core::EntityId, DataRestriction>;

// The chosen definition of every named class, for many calls over one store
// (the tableau's choice, alc/definitions.h).
using Definitions = trelvanic_alc::Definitions;

[[nodiscard]] std::vector<PropertyRestriction> restrictions_from_ce(const trelvanic_core::DlStore& store,
                                                                    trelvanic_core::CeId ce);
// The same through prebuilt definitions.
[[nodiscard]] std::vector<PropertyRestriction> restrictions_from_ce(const trelvanic_core::DlStore& store,
                                                                    const Definitions& definitions,
                                                                    trelvanic_core::CeId ce);

// (found, definition), or (false, fallback).
[[nodiscard]] std::pair<bool, trelvanic_core::CeId> equivalent_definition_ce(const trelvanic_core::DlStore& store,
                                                                            trelvanic_core::EntityId cls,
                                                                            trelvanic_core::CeId fallback);

// The entity that stands for owl:Thing when `cls` is owl:Thing, else `cls`.
[[nodiscard]] trelvanic_core::EntityId canonical_class_restriction_key(const trelvanic_core::Ontology& ontology,
                                                                      trelvanic_core::EntityId cls);

// The filler of a data cardinality, none when absent or a top data range
// (rdfs:Literal, owl:Thing as written by some tools, the top expression).
[[nodiscard]] std::optional<trelvanic_core::DeId> optional_data_cardinality_filler(
    const trelvanic_core::Ontology& ontology, std::optional<trelvanic_core::DeId> filler);

// Every pair (earlier operand, later operand) of each DisjointDataProperties
// axiom, in store order.
[[nodiscard]] std::vector<std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>> disjoint_data_property_pairs(
    const trelvanic_core::DlStore& store);

}  // namespace trelvanic_dl::datatype::consistency
