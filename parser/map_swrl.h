// Mapping the atoms of SWRL rules (DL-safe rules) into the core rule model
// (core/swrl.h). `visit` maps a rule's body and head atom by atom with
// `map_swrl_atom`; a rule with an atom that gives nothing is skipped whole.
//
// Variables are compared by name only: the text after the last '#' or '/'
// of their IRI.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/swrl.h"
#include "owl/model.h"

namespace trelvanic_parser {

class Mapper;

// The name of a variable IRI: the part after its last '#' or '/', the whole
// IRI when it has neither.
[[nodiscard]] std::string_view variable_name(std::string_view iri);

// The lexical text and datatype IRI of a literal of the model; a language
// tag is dropped, a plain or tagged literal has no datatype.
[[nodiscard]] std::pair<std::string_view, std::optional<std::string_view>> literal_parts(
    const trelvanic_owl::Ontology& model, trelvanic_owl::NodeId literal);

// One atom, or nothing when a predicate or argument cannot be mapped
// (built-in atoms, complex classes, inverse properties, failed names).
[[nodiscard]] std::optional<trelvanic_core::SwrlAtom> map_swrl_atom(Mapper& mapper, trelvanic_owl::NodeId atom);

}  // namespace trelvanic_parser
