// Classification of an ontology outside every tractable profile that the
// hybrid split cuts into more than one module. The modules share vocabulary
// (the split groups axioms by form), so classifying them apart and merging
// the taxonomies would miss every subsumption that needs axioms of two
// modules; the whole ontology goes to DL classification: within the
// reasoner's budget on the DL worker pool when one is set, else on the
// calling thread. The route resolution that picks this engine has run the
// split already and reported its failure as a profile error. There is no
// incremental path; the ontology is only read.
#pragma once

#include <cstdint>
#include <optional>

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "facade/error.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::Taxonomy> classify_hybrid_modules(const trelvanic_core::Ontology& ontology,
                                                                      std::optional<uint64_t> budget_secs);

}  // namespace trelvanic_facade
