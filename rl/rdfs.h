// The RDFS engine: the same materialisation as the RL engine with the RDFS
// post-processing list, reported without owl:sameAs clashes.
//
//   auto report = trelvanic_rl::rdfs::RdfsEngine{}.materialize(ontology);
//   auto routed = trelvanic_rl::rdfs::materialize_routed(reasoner);
#pragma once

#include <cstddef>

#include "core/ontology.h"
#include "core/reasoner.h"
#include "rl/engine.h"
#include "rl/error.h"
#include "rl/report.h"

namespace trelvanic_rl::rdfs {

struct RdfsEngine {
  size_t max_axioms = kEngineMaxAxioms;
  size_t max_entities = kEngineMaxEntities;
  bool trace = false;

  [[nodiscard]] Result<MaterializationReport> materialize_with_reasoner(trelvanic_core::Reasoner& reasoner) const;
  [[nodiscard]] Result<MaterializationReport> materialize(trelvanic_core::Ontology& ontology) const;
};

// The facade's RDFS route: materialises the reasoner's own ontology in place
// (whatever the reasoner's parallelism).
[[nodiscard]] Result<MaterializationReport> materialize_routed(trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_rl::rdfs
