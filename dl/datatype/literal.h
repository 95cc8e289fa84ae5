// Literals of an ontology: value-space membership, datatype subsumption and
// equality of data values, through the datatype IRIs the entity registry
// holds. Every answer that is not known (an unknown datatype, a number too
// large to reduce) is none, so callers never read "not shown" as "false".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ids.h"
#include "core/ontology.h"
#include "dl/datatype/value.h"
#include "dl/datatype/vocabulary.h"

namespace trelvanic_dl::datatype {

// A literal as the DL pipeline sees it; a language tag stays in the
// lexical form behind "@" (for rdf:PlainLiteral and rdf:langString).
struct LiteralValue {
  std::string lexical;
  trelvanic_core::EntityId datatype;
};

[[nodiscard]] bool numeric_datatype_iri(std::string_view iri);
[[nodiscard]] bool plain_literal_datatype_iri(std::string_view iri);
[[nodiscard]] bool binary_datatype_iri(std::string_view iri);
// The value lies in the range of an integer type (false for other IRIs).
[[nodiscard]] bool integer_value_space(std::string_view iri, int64_t value);

// The datatype of an entity, Unknown when it is none the reasoner knows.
[[nodiscard]] Dt datatype_of(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId id);
[[nodiscard]] bool datatype_subsumes(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId sub,
                                     trelvanic_core::EntityId super);

[[nodiscard]] Parsed literal_value(const trelvanic_core::Ontology& ontology, const LiteralValue& literal);
// The lexical form is none of its known datatype's: an ontology stating the
// literal has no model.
[[nodiscard]] bool literal_is_ill_typed(const trelvanic_core::Ontology& ontology, const LiteralValue& literal);

[[nodiscard]] std::optional<bool> literal_membership(const trelvanic_core::Ontology& ontology,
                                                     const LiteralValue& literal, trelvanic_core::EntityId datatype);
// Proven to lie in the datatype's value space (false also when unknown or
// without an ontology).
[[nodiscard]] bool literal_in_datatype_value_space(const trelvanic_core::Ontology* ontology,
                                                   const LiteralValue& literal, trelvanic_core::EntityId datatype);

// Whether the two literals denote the same data value; none when either
// value is unknown.
[[nodiscard]] std::optional<bool> literal_equality(const trelvanic_core::Ontology& ontology, const LiteralValue& a,
                                                   const LiteralValue& b);
// Proven the same data value (false also when unknown or without an ontology).
[[nodiscard]] bool literal_same_data_value(const trelvanic_core::Ontology* ontology, const LiteralValue& a,
                                           const LiteralValue& b);

}  // namespace trelvanic_dl::datatype
