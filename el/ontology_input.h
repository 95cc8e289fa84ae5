// The EL engine's view of a core `Ontology`: every live told axiom and every
// DL-store axiom, translated into an ElInput, with the numbering that maps
// the engine's classes and roles back to entities.
//
// Classes (entities of a class kind other than owl:Thing and owl:Nothing,
// which become ⊤ and ⊥) get class indices 0..c-1 in registry order;
// individuals get the indices after them, as nominal-like classes; object
// properties get role indices in registry order. Anything the engine does
// not reason with (inverse roles, unions, cardinalities, negative or data
// assertions, ...) makes the translation fail with `NotEl`: no axiom is ever
// dropped silently.
#pragma once

#include <expected>
#include <optional>
#include <vector>

#include "core/ids.h"
#include "core/ontology.h"
#include "el/error.h"
#include "el/input.h"

namespace trelvanic_el {

struct OntologyInput {
  ElInput input;
  uint32_t class_count = 0;                   // class indices [0, class_count)
  std::vector<trelvanic_core::EntityId> entity_of_index;  // classes, then individuals
  std::vector<trelvanic_core::EntityId> entity_of_role;
  std::optional<trelvanic_core::EntityId> thing;    // owl:Thing when registered as a class
  std::optional<trelvanic_core::EntityId> nothing;  // owl:Nothing when registered as a class
  // The told axiom each input axiom was translated from, by input axiom
  // index; none for axioms of the DL store.
  std::vector<std::optional<trelvanic_core::AxiomId>> told_source;

  bool is_individual_index(uint32_t index) const { return index >= class_count; }
};

// What the translation refuses, for the gate's message.
struct UnsupportedAxiom {
  std::string what;
};

[[nodiscard]] std::expected<OntologyInput, UnsupportedAxiom> build_ontology_input(
    const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_el
