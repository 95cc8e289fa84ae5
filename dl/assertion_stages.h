// The consistency cascade's stages that ask the tableau about the classes
// individuals are asserted into, run once the clause form is built.
//
//   auto pairs = exists_forall_candidates(ontology, facts);
//   ... intern each pair's intersection in the copy the clause form is
//   built from (`intern_intersections`), then:
//   auto clash = abox_exists_forall_role_clash(tableau, intersections);
//
// Each stage rejects only on an unsatisfiability the tableau proved; none
// accepts. An exhausted tableau is the DL error Incomplete, which the
// cascade reports as an incomplete answer.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "alc/tableau.h"
#include "core/ontology.h"
#include "dl/abox_facts.h"
#include "dl/error.h"

namespace trelvanic_dl {

// A class expression given by its id, or a named class not yet interned.
struct ClassRef {
  std::optional<trelvanic_core::CeId> expr;
  trelvanic_core::EntityId named;
  friend bool operator==(const ClassRef&, const ClassRef&) = default;
};

// Pairs (D, E) with an individual that must have an R-successor in D while
// every S-successor is in E, S = R or above R: D ⊓ E must be satisfiable.
[[nodiscard]] std::vector<std::pair<ClassRef, ClassRef>> exists_forall_candidates(
    const trelvanic_core::Ontology& ontology, const AboxFacts& facts);
// Interns D ⊓ E for each pair in `ontology` (a copy the clause form is then
// built from) and answers the ids.
[[nodiscard]] std::vector<trelvanic_core::CeId> intern_intersections(
    trelvanic_core::Ontology& ontology, const std::vector<std::pair<ClassRef, ClassRef>>& pairs);

// Stage exists_forall_role_clash: 0 nothing found, 1 some D ⊓ E is
// unsatisfiable, 2 the tableau could not tell.
[[nodiscard]] Result<uint8_t> abox_exists_forall_role_clash(trelvanic_alc::Tableau& tableau,
                                                            const std::vector<trelvanic_core::CeId>& intersections);

// Stage abox_atomic_class: an asserted class (or expression) the tableau
// proves unsatisfiable. Ontologies above 150 entities are not tested.
[[nodiscard]] Result<bool> abox_atomic_class_unsatisfiable(const trelvanic_core::Ontology& ontology,
                                                           trelvanic_alc::Tableau& tableau);
// Classes tested by name only when they have no definition and no complex
// told superclass; the others are left to the whole-ontology tableau.
[[nodiscard]] bool named_class_skip_atomic_unsat_precheck(const trelvanic_core::Ontology& ontology,
                                                          trelvanic_core::EntityId cls);
// Gate of stage class_assertion_kb: property, equality or difference
// assertions present.
[[nodiscard]] bool abox_has_interacting_assertions(const trelvanic_core::Ontology& ontology);
// Stage class_assertion_only: 0 some asserted type is unsatisfiable, 2
// undecided (never 1: satisfiable types prove nothing about the whole).
[[nodiscard]] Result<uint8_t> class_assertion_only_consistency(const trelvanic_core::Ontology& ontology,
                                                               trelvanic_alc::Tableau& tableau);

}  // namespace trelvanic_dl
