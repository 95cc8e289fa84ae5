// The DL consistency cascade: cheap checks that prove inconsistency by a
// pattern of the ontology, then the tableau, which decides the rest.
//
// Every stage's verdict is a proof: a reject only for an ontology with no
// model, an accept only from an open tableau branch the calculus is complete
// for. What cannot be decided is the incomplete answer {false, false}.
// With TRELVANIC_CONSISTENCY_TRACE set, the deciding stage writes one line
// to standard error ("is_consistent: reject at thing_equivalent_nothing",
// "is_consistent: tableau => true").
#pragma once

#include <optional>
#include <string>

#include "core/session.h"
#include "core/ontology.h"
#include "dl/error.h"

namespace trelvanic_dl {

[[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency_inner(const trelvanic_core::Ontology& ontology);

// The entity's IRI text, none when it cannot be read.
[[nodiscard]] std::optional<std::string> entity_iri(const trelvanic_core::Ontology& ontology,
                                                    trelvanic_core::EntityId id);
// The same with every "%23" read as "#".
[[nodiscard]] std::optional<std::string> canonical_entity_iri(const trelvanic_core::Ontology& ontology,
                                                              trelvanic_core::EntityId id);

}  // namespace trelvanic_dl
