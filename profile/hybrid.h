// The hybrid split of an ontology into profile modules.
//
// `classify_hybrid` cuts an ontology into at most three modules, in the
// order EL, RL, DL, each naming its told axioms, the IRIs of its classes and
// the profile whose engine classifies it:
//   - EL: the live told SubClassOf, EquivalentClasses and
//     SubClassOfExistential axioms; it also takes the DL store when every DL
//     axiom is one the EL engine reasons with;
//   - RL: every other live told axiom;
//   - DL: the whole DL store (no told axioms) when some DL axiom is one the
//     EL engine does not reason with, or the ontology holds SWRL rules.
// The DL store is examined whether or not the ontology changed since it
// was loaded, so no DL axiom is ever left out of every module. An ontology
// with no entity gives one empty EL module; an ontology with entities but
// nothing to classify fails with "hybrid classification produced no modules
// for a non-empty ontology".
//
// The modules share vocabulary, so they are never classified apart: the
// routing reads the split to choose an engine for the whole ontology.
#pragma once

#include <expected>
#include <span>
#include <string>
#include <vector>

#include "core/ids.h"
#include "core/ontology.h"
#include "profile/rules.h"

namespace trelvanic_profile {

struct ClassifiedModule {
  // Class IRIs: sorted for the EL and RL modules, in entity-id order for DL.
  std::vector<std::string> signature;
  std::vector<trelvanic_core::AxiomId> axioms;  // ascending
  bool include_dl_store = false;
  OwlProfile profile = OwlProfile::El;

  friend bool operator==(const ClassifiedModule&, const ClassifiedModule&) = default;
};

struct HybridReport {
  std::vector<ClassifiedModule> modules;  // at most one per profile: EL, RL, DL
};

struct AxiomPartition {
  std::vector<trelvanic_core::AxiomId> el;  // EL-classifiable, ascending
  std::vector<trelvanic_core::AxiomId> dl;  // holding a construct EL classification refuses
};

// The live axioms (inferred ones included) by whether their constructs hold
// one that EL classification refuses. No told form does, so `dl` is empty.
[[nodiscard]] AxiomPartition partition_axioms(const trelvanic_core::Ontology& ontology);

// The IRIs of the entities of kind exactly Class mentioned by the axioms
// (ids that cannot be fetched are skipped), sorted bytewise, no repeats.
[[nodiscard]] std::vector<std::string> signature_for_axioms(const trelvanic_core::Ontology& ontology,
                                                            std::span<const trelvanic_core::AxiomId> ids);

[[nodiscard]] std::expected<HybridReport, Error> classify_hybrid(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_profile
