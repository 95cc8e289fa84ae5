// `ClassifyOutcome`: what a classification through the facade gives.
//
//   - `Taxonomy`: the class taxonomy (EL, DL, hybrid and SWRL routes);
//   - `Rdfs` / `Rl`: the materialisation report of the RDFS or RL engine,
//     which changed the ontology in place.
//
// A report holds the live axiom counts before and after materialisation,
// the clash texts in order and the inferred-by-rule counts (an ordered map,
// so its order is the written order).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "core/taxonomy.h"

namespace trelvanic_facade {

struct MaterializationReport {
  uint64_t initial_axiom_count = 0;
  uint64_t final_axiom_count = 0;
  std::vector<std::string> clashes;
  std::map<std::string, uint64_t> inferred_by_rule;
};

struct RdfsOutcome {
  MaterializationReport report;
};

struct RlOutcome {
  MaterializationReport report;
};

// Alternatives in declared order: Taxonomy, Rdfs, Rl.
using ClassifyOutcome = std::variant<trelvanic_core::Taxonomy, RdfsOutcome, RlOutcome>;

}  // namespace trelvanic_facade
