// Checks a strict load runs on the finished ontology, beyond what the
// readers and the mapper check:
//   - literals of the XML Schema integer types have valid lexical forms
//     (and, for the bounded types, values in range);
//   - DL expressions refer only to expressions the DL store holds;
//   - a SameIndividual or DifferentIndividuals axiom does not mix named
//     individuals with blank ones;
//   - object property assertions between blank individuals form no cycle
//     and no chain of more than 10,000 individuals.
// Each returns nothing or the first `Parse` error found; none changes the
// ontology.
//
// A blank individual is one the mapper named for an anonymous individual of
// a document ("file:/c/test.owl#_{label}" or "file:/c/{n}/test.owl#_{label}",
// see parser/map.h): it is decided by that provenance, never by what a
// user-chosen IRI happens to contain.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/ids.h"
#include "core/ontology.h"
#include "parser/error.h"

namespace trelvanic_parser {

// Longest chain of blank individuals linked by object property assertions.
inline constexpr size_t kMaxBlankChain = 10'000;

[[nodiscard]] Result<void> validate_ontology_datatypes(const trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<void> validate_blank_object_property_graph(const trelvanic_core::Ontology& ontology);
// Not/And/Or are followed; data restrictions have their range or value
// checked; object restriction fillers are not descended into.
[[nodiscard]] Result<void> validate_ce_data(const trelvanic_core::Ontology& ontology, trelvanic_core::CeId c);
[[nodiscard]] Result<void> validate_data_expr(const trelvanic_core::Ontology& ontology, trelvanic_core::DeId d);
// By exact datatype IRI: xsd:integer, nonNegativeInteger,
// nonPositiveInteger, positiveInteger and negativeInteger by lexical form
// and sign (any size); long, int, short, byte and the unsigned types by
// lexical form and range. Every other datatype passes. Failures:
// "invalid xsd:short literal {}" for xsd:short, "invalid xsd:integer
// literal {}" for the others, the lexical form quoted (`quote_lexical`).
[[nodiscard]] Result<void> validate_literal_lexical(std::string_view datatype, std::string_view lexical);
// The entity's IRI text, or "" when it cannot be resolved.
[[nodiscard]] std::string datatype_iri(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId id);
[[nodiscard]] bool is_blank_individual(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId id);
// Whether `iri` has the form the mapper gives anonymous individuals.
[[nodiscard]] bool is_blank_individual_iri(std::string_view iri);
// Between double quotes, with \" \\ \t \r \n escaped and other control
// characters as \u{hex}.
[[nodiscard]] std::string quote_lexical(std::string_view lexical);

}  // namespace trelvanic_parser
