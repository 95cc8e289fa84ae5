// `OntologyBuilder`: builds a small ontology in memory, one entity or one
// told axiom at a time, by IRI text.
//
//   auto b = OntologyBuilder()
//                .add_class("http://ex.org/A")
//                .and_then([](OntologyBuilder b) { return std::move(b).subclass_of("http://ex.org/A", "http://ex.org/B"); });
//   Ontology o = std::move(*b).build();
//
// Each step registers its IRIs with the kinds it implies (through
// `Ontology::entity_id`, so "%23" is read as "#", IRIs are validated and
// kinds pun) and the axiom steps add one told axiom. A step consumes the
// builder: on error nothing built so far survives in the result.
#pragma once

#include <string_view>

#include "core/error.h"
#include "core/ontology.h"

namespace trelvanic_core {

class OntologyBuilder {
 public:
  OntologyBuilder() = default;
  explicit OntologyBuilder(Ontology start) : ontology_(std::move(start)) {}

  [[nodiscard]] Result<OntologyBuilder> add_class(std::string_view iri) &&;
  [[nodiscard]] Result<OntologyBuilder> individual(std::string_view iri) &&;
  [[nodiscard]] Result<OntologyBuilder> object_property(std::string_view iri) &&;
  [[nodiscard]] Result<OntologyBuilder> subclass_of(std::string_view sub, std::string_view sup) &&;
  [[nodiscard]] Result<OntologyBuilder> subproperty_of(std::string_view sub, std::string_view sup) &&;
  [[nodiscard]] Result<OntologyBuilder> property_domain(std::string_view property, std::string_view cls) &&;
  [[nodiscard]] Result<OntologyBuilder> property_range(std::string_view property, std::string_view cls) &&;
  [[nodiscard]] Result<OntologyBuilder> class_assertion(std::string_view individual, std::string_view cls) &&;
  [[nodiscard]] Result<OntologyBuilder> object_property_assertion(std::string_view subject,
                                                                  std::string_view property,
                                                                  std::string_view object) &&;

  [[nodiscard]] const Ontology& ontology() const { return ontology_; }
  [[nodiscard]] Ontology build() && { return std::move(ontology_); }

 private:
  Result<OntologyBuilder> declare(std::string_view iri, EntityKind kind);
  Result<OntologyBuilder> two(std::string_view a, EntityKind ka, std::string_view b, EntityKind kb,
                              Axiom (*make)(EntityId, EntityId));

  Ontology ontology_;
};

}  // namespace trelvanic_core
