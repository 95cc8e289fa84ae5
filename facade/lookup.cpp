#include "facade/lookup.h"

#include <initializer_list>
#include <string>

namespace trelvanic_facade {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

namespace {

Result<EntityId> lookup(const Ontology& ontology, std::string_view iri, std::string_view what,
                        std::initializer_list<EntityKind> accepted) {
  std::optional<EntityId> id = ontology.lookup_entity(iri);
  if (!id) return std::unexpected(Error::el_message("unknown " + std::string(what) + " IRI: " + std::string(iri)));
  auto record = ontology.entity(*id);
  if (record) {
    for (EntityKind kind : accepted) {
      if (record->kind == kind) return *id;
    }
  }
  return std::unexpected(Error::el_message("expected " + std::string(what) + " IRI: " + std::string(iri)));
}

}  // namespace

Result<EntityId> lookup_class(const Ontology& ontology, std::string_view iri) {
  return lookup(ontology, iri, "class",
                {EntityKind::Class, EntityKind::ClassIndividual, EntityKind::ClassObjectProperty});
}

Result<EntityId> lookup_individual(const Ontology& ontology, std::string_view iri) {
  return lookup(ontology, iri, "individual",
                {EntityKind::Individual, EntityKind::ClassIndividual, EntityKind::ObjectPropertyIndividual});
}

Result<EntityId> lookup_object_property(const Ontology& ontology, std::string_view iri) {
  return lookup(ontology, iri, "object property", {EntityKind::ObjectProperty});
}

}  // namespace trelvanic_facade
