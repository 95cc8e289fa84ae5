// Literal checks for the datatype rule dt-not-type.
//
// `literal_well_typed` tells whether a literal's lexical form belongs to
// the lexical space of its own datatype; `literal_in_datatype` tells
// whether the literal's value lies in the value space of a datatype D (as
// in a derived triple "literal rdf:type D"). Both know the common XSD
// datatypes, rdf:PlainLiteral, rdf:langString and rdfs:Literal; for any
// other datatype they answer "unknown", so that no inconsistency is ever
// claimed about a datatype the engine does not understand.
#pragma once

#include "materializer/dictionary.h"
#include "materializer/term_id.h"

namespace trelvanic_materializer {

enum class Membership { kIn, kOut, kUnknown };

// Is `id` (a literal) in the lexical space of its datatype? Unknown
// datatypes count as well typed.
[[nodiscard]] bool literal_well_typed(const Dictionary& dict, TermId id);

// Does the value of literal `id` lie in the value space of `datatype`?
[[nodiscard]] Membership literal_in_datatype(const Dictionary& dict, TermId id, TermId datatype);

// Do two literals surely denote different data values? False when they
// may be equal or when a datatype is not known.
[[nodiscard]] bool literals_differ(const Dictionary& dict, TermId a, TermId b);

// Is `datatype` one of the datatypes the checks above know?
[[nodiscard]] bool known_datatype(TermId datatype);

}  // namespace trelvanic_materializer
