// Writer of the OWL 2 functional-style syntax.
//
// `write_component` renders one component in a canonical form: full IRIs in
// angle brackets, entities bare except inside `Declaration`, literals as
// "text", "text"@tag or "text"^^<datatype>, anonymous individuals as _:label,
// annotations first. `write_functional` renders a whole ontology document
// that `read_functional` reads back to the same component set. The walk uses
// an explicit stack, so deep expressions cost no recursion.
#pragma once

#include <string>

#include "owl/model.h"

namespace trelvanic_owl {

[[nodiscard]] std::string write_component(const Ontology& ontology, Component component);
[[nodiscard]] std::string write_functional(const Ontology& ontology);

}  // namespace trelvanic_owl
