// Entry points of the DL pipeline.
//
//   auto r = trelvanic_dl::check_consistency(ontology, /*budget_secs=*/5);  // {consistent, complete}
//   auto yes = trelvanic_dl::entails_class_assertion(ontology, a, ce);
//   auto taxonomy = trelvanic_dl::classify(ontology);
//
// With a budget (given, or from TRELVANIC_DL_BUDGET_SECS) the work runs on
// the DL worker pool on a clone of the ontology; the caller's ontology is
// never changed.
#pragma once

#include <cstdint>
#include <optional>

#include "core/ids.h"
#include "core/ontology.h"
#include "core/session.h"
#include "core/taxonomy.h"
#include "dl/error.h"

namespace trelvanic_dl {

[[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency(const trelvanic_core::Ontology& ontology,
                                                                        std::optional<uint64_t> budget_secs);
// The complete answer, or Core "consistency check incomplete".
[[nodiscard]] Result<bool> is_consistent(const trelvanic_core::Ontology& ontology);
// Whether the ontology entails individual ∈ class, by refuting the
// individual's membership in the complement.
[[nodiscard]] Result<bool> entails_class_assertion(const trelvanic_core::Ontology& ontology,
                                                   trelvanic_core::EntityId individual, trelvanic_core::CeId cls);
[[nodiscard]] Result<trelvanic_core::Taxonomy> classify(const trelvanic_core::Ontology& ontology);

namespace engine {

struct DlEngine {
  [[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency(
      const trelvanic_core::Ontology& ontology, std::optional<uint64_t> budget_secs) const {
    return trelvanic_dl::check_consistency(ontology, budget_secs);
  }
};

}  // namespace engine
}  // namespace trelvanic_dl
