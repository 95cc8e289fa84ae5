// Classification of an ontology outside every tractable profile that the
// hybrid split cuts into more than one module. The modules share vocabulary
// (the split groups axioms by form), so classifying them apart and merging
// the taxonomies would miss every subsumption that needs axioms of two
// modules; the whole ontology goes to DL classification, unbounded, on the
// calling thread. The split runs first and its failure is reported as a
// profile error. The reasoner's settings are not consulted (no budget, no
// incremental path); the ontology is only read.
#pragma once

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "facade/error.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::Taxonomy> classify_hybrid_modules(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_facade
