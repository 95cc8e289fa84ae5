// Classification of an ontology outside every tractable profile, module by
// module: the hybrid split cuts it into EL, RL and DL modules, each module
// is classified on an ontology of its own by the cheapest engine that fits
// it, and the module taxonomies are merged.
//
//   module profile  engine
//   El, Ql          EL classification
//   Rl              RL saturation of a copy (limits 10,000,000 axioms,
//                   1,000,000 entities), then EL classification of the copy
//   Dl              DL classification, unbounded, on the calling thread
//
// Fewer than two modules: the whole ontology goes to DL classification.
// The reasoner's settings are not consulted (no budget, no incremental
// path). The first error ends the call; the ontology is only read.
#pragma once

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "facade/error.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::Taxonomy> classify_hybrid_modules(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_facade
