// The RL engine: OWL 2 RL saturation of an ontology through the
// materializer session (export to triples, rule engine, merge back,
// post-processing), with its report.
//
//   RlEngine engine;                         // 10,000,000 axioms, 1,000,000 entities
//   auto report = engine.saturate(ontology); // ontology gains the inferred axioms
//
// `saturate_reasoner` works on a core `Reasoner`'s ontology and keeps the
// materializer session in the reasoner's slot (also after a failure), so a
// reasoner with `incremental` set continues from it on the next call.
#pragma once

#include <cstddef>

#include "core/ontology.h"
#include "core/reasoner.h"
#include "rl/error.h"
#include "rl/report.h"

namespace trelvanic_rl {

inline constexpr size_t kEngineMaxAxioms = 10'000'000;
inline constexpr size_t kEngineMaxEntities = 1'000'000;

struct RlEngine {
  size_t max_axioms = kEngineMaxAxioms;
  size_t max_entities = kEngineMaxEntities;
  bool trace = false;

  [[nodiscard]] Result<MaterializationReport> saturate_reasoner(trelvanic_core::Reasoner& reasoner) const;
  [[nodiscard]] Result<MaterializationReport> saturate(trelvanic_core::Ontology& ontology) const;
};

}  // namespace trelvanic_rl
