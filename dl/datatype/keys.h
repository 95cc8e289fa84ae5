// Data values as key texts, for telling values apart by hashing: the key
// of a literal, and the keys of the values an individual surely has for a
// data property.
//
//   distinct_literal_key(o, {"1.0E3", xsd_double});   // "n:408f400000000000"
//   distinct_literal_key(o, {"1000", xsd_double});     // the same key
//   distinct_literal_key(o, {"1000", xsd_integer});    // "q:1000", another value
//
// Keys come from the value model (value.h): two literals share a key
// exactly when they denote one data value under the OWL 2 datatype map. A
// literal without a known value (an unknown datatype, a text that is not
// one of its datatype's lexical forms) has no key, so it is never counted
// as a value of its own nor as equal to another.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>

#include <absl/container/flat_hash_set.h>

#include "alc/datatype_oracle.h"
#include "core/ids.h"
#include "core/ontology.h"
#include "dl/datatype/literal.h"
#include "dl/datatype/literal_index.h"

namespace trelvanic_dl::datatype::consistency {

[[nodiscard]] std::optional<std::string> distinct_literal_key(const trelvanic_core::Ontology& ontology,
                                                              const LiteralValue& literal);

// The keys of the values an individual surely has for `property`: its told
// values (property, literal) and the data concepts it holds that ask for a
// value of a range with one data value only (DataHasValue, or
// DataSomeValuesFrom and minimum cardinalities over an enumeration of one
// value), each on `property` or on a property below it
// (`tables.supers_of`). Nothing else counts: a value that some range merely
// admits, a ∀ range or a maximum says nothing about the values the
// individual has.
[[nodiscard]] absl::flat_hash_set<std::string> definite_literal_keys(
    const trelvanic_core::Ontology& ontology, const StoreRanges& stored, const trelvanic_alc::DataTables& tables,
    std::span<const std::pair<trelvanic_core::EntityId, LiteralValue>> values,
    std::span<const trelvanic_alc::DataConstraint> concepts, trelvanic_core::EntityId property);

}  // namespace trelvanic_dl::datatype::consistency
