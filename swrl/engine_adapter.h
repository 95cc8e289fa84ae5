// The SWRL route: classification, consistency and entailment of an ontology
// after its rules have been forward-chained on a private clone.
//
//   auto c = classify_with_swrl(ontology);          // taxonomy and counts
//   auto v = check_consistency_with_swrl(ontology, std::nullopt);
//   auto x = extend_with_rules(ontology);           // the clone itself
//
// An ontology without rules is reasoned with as it is. The clone is
// classified by the EL engine when it accepts it, otherwise by the DL
// pipeline. A chaining run that may have missed entailed facts (see
// engine.h) never yields "consistent" or a taxonomy: the consistency answer
// is incomplete, classification fails with the `Incomplete` error. The
// caller's ontology is never changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/ontology.h"
#include "core/session.h"
#include "core/taxonomy.h"
#include "swrl/engine.h"
#include "swrl/error.h"

namespace trelvanic_swrl {

struct SwrlClassification {
  trelvanic_core::Taxonomy taxonomy;
  size_t rule_count = 0;       // rules run (0 without rules)
  size_t inference_count = 0;  // rule firings that added an axiom
};

struct ExtendedOntology {
  trelvanic_core::Ontology ontology;
  engine::ChainRun run;
};

// Whether the ontology holds rules, in its rule list or by its constructs.
[[nodiscard]] bool has_rules(const trelvanic_core::Ontology& ontology);

// A clone of the ontology with the rules' consequences added.
[[nodiscard]] Result<ExtendedOntology> extend_with_rules(const trelvanic_core::Ontology& ontology);

[[nodiscard]] Result<SwrlClassification> classify_with_swrl(const trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency_with_swrl(
    const trelvanic_core::Ontology& ontology, std::optional<uint64_t> budget_secs);

namespace engine_adapter {

struct SwrlEngine {
  [[nodiscard]] Result<SwrlClassification> classify_with_swrl(const trelvanic_core::Ontology& ontology) const {
    return trelvanic_swrl::classify_with_swrl(ontology);
  }
  [[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency(
      const trelvanic_core::Ontology& ontology, std::optional<uint64_t> budget_secs) const {
    return trelvanic_swrl::check_consistency_with_swrl(ontology, budget_secs);
  }
};

}  // namespace engine_adapter
}  // namespace trelvanic_swrl
