#include "core/ontology_builder.h"

namespace trelvanic_core {

Result<OntologyBuilder> OntologyBuilder::declare(std::string_view iri, EntityKind kind) {
  TRELVANIC_TRY(ontology_.entity_id(iri, kind));
  return std::move(*this);
}

Result<OntologyBuilder> OntologyBuilder::two(std::string_view a, EntityKind ka, std::string_view b,
                                             EntityKind kb, Axiom (*make)(EntityId, EntityId)) {
  const EntityId x = TRELVANIC_TRY(ontology_.entity_id(a, ka));
  const EntityId y = TRELVANIC_TRY(ontology_.entity_id(b, kb));
  TRELVANIC_TRY(ontology_.add_axiom(make(x, y)));
  return std::move(*this);
}

Result<OntologyBuilder> OntologyBuilder::add_class(std::string_view iri) && {
  return declare(iri, EntityKind::Class);
}

Result<OntologyBuilder> OntologyBuilder::individual(std::string_view iri) && {
  return declare(iri, EntityKind::Individual);
}

Result<OntologyBuilder> OntologyBuilder::object_property(std::string_view iri) && {
  return declare(iri, EntityKind::ObjectProperty);
}

Result<OntologyBuilder> OntologyBuilder::subclass_of(std::string_view sub, std::string_view sup) && {
  return two(sub, EntityKind::Class, sup, EntityKind::Class, &Axiom::sub_class_of);
}

Result<OntologyBuilder> OntologyBuilder::subproperty_of(std::string_view sub, std::string_view sup) && {
  return two(sub, EntityKind::ObjectProperty, sup, EntityKind::ObjectProperty, &Axiom::sub_object_property_of);
}

Result<OntologyBuilder> OntologyBuilder::property_domain(std::string_view property, std::string_view cls) && {
  return two(property, EntityKind::ObjectProperty, cls, EntityKind::Class, &Axiom::object_property_domain);
}

Result<OntologyBuilder> OntologyBuilder::property_range(std::string_view property, std::string_view cls) && {
  return two(property, EntityKind::ObjectProperty, cls, EntityKind::Class, &Axiom::object_property_range);
}

Result<OntologyBuilder> OntologyBuilder::class_assertion(std::string_view individual, std::string_view cls) && {
  return two(individual, EntityKind::Individual, cls, EntityKind::Class, &Axiom::class_assertion);
}

Result<OntologyBuilder> OntologyBuilder::object_property_assertion(std::string_view subject,
                                                                   std::string_view property,
                                                                   std::string_view object) && {
  const EntityId s = TRELVANIC_TRY(ontology_.entity_id(subject, EntityKind::Individual));
  const EntityId p = TRELVANIC_TRY(ontology_.entity_id(property, EntityKind::ObjectProperty));
  const EntityId o = TRELVANIC_TRY(ontology_.entity_id(object, EntityKind::Individual));
  TRELVANIC_TRY(ontology_.add_axiom(Axiom::object_property_assertion(s, p, o)));
  return std::move(*this);
}

}  // namespace trelvanic_core
