// Entity lookups by IRI for the facade's entailment checks: the entity of
// an IRI, refused when its kind does not fit the role it is asked for.
//
//   lookup_class(o, iri)            Class, ClassIndividual, ClassObjectProperty
//   lookup_individual(o, iri)       Individual, ClassIndividual, ObjectPropertyIndividual
//   lookup_object_property(o, iri)  ObjectProperty only
//
// "%23" in the IRI reads as "#". No entity: "unknown class IRI: {}" (and
// "individual", "object property"); another kind: "expected class IRI: {}"
// and kin; the placeholder is the IRI as given. Both are the `El` error's
// free-text case.
#pragma once

#include <string_view>

#include "core/ids.h"
#include "core/ontology.h"
#include "facade/error.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::EntityId> lookup_class(const trelvanic_core::Ontology& ontology,
                                                            std::string_view iri);
[[nodiscard]] Result<trelvanic_core::EntityId> lookup_individual(const trelvanic_core::Ontology& ontology,
                                                                 std::string_view iri);
[[nodiscard]] Result<trelvanic_core::EntityId> lookup_object_property(const trelvanic_core::Ontology& ontology,
                                                                      std::string_view iri);

}  // namespace trelvanic_facade
