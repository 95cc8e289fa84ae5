// The engine entry points the facade calls, each returning the facade's
// `Error` in the variant of its engine. This is the one place that names
// the engines' own functions; an engine that is not part of the build yet
// answers with "{engine} engine is not available yet" (never with a
// result), so the routes above it stay in place while engines arrive.
//
//   el_classify(o)              EL classification of an ontology (only read)
//   el_classify_with_options    the same with the trace switch, trace dropped
//   el_classify_routed(r)       the EL engine's routed entry on a core
//                               reasoner (keeps or clears its EL session)
//   rl_saturate_routed(r)       RL saturation of the reasoner's ontology
//   rdfs_materialize_routed(r)  RDFS materialisation of the reasoner's ontology
//   dl_classify(o, preview)     DL classification on the calling thread
//   dl_classify_bounded(...)    DL classification on the DL worker pool
//                               within a time budget
//   swrl_classify(o)            SWRL pre-pass and classification
//   swrl_check_consistency(o, b)  SWRL pre-pass and the DL consistency check
//   swrl_extend(o)              the rule-extended clone an entailment is
//                               asked of, with the chaining's completeness
//   dl_check_consistency(o, b)  the DL consistency cascade, within a budget
//                               when one is given or set in the environment
//   dl_entails_class_assertion  C(a) by refutation through the cascade
//   dl_entails_property_assertion  p(a, b) by refutation through the cascade
#pragma once

#include <cstdint>
#include <optional>

#include "core/ontology.h"
#include "core/reasoner.h"
#include "core/session.h"
#include "core/taxonomy.h"
#include "facade/error.h"
#include "facade/outcome.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::Taxonomy> el_classify(const trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<trelvanic_core::Taxonomy> el_classify_with_options(const trelvanic_core::Ontology& ontology,
                                                                        bool trace);
[[nodiscard]] Result<trelvanic_core::Taxonomy> el_classify_routed(trelvanic_core::Reasoner& reasoner);

[[nodiscard]] Result<MaterializationReport> rl_saturate_routed(trelvanic_core::Reasoner& reasoner);
[[nodiscard]] Result<MaterializationReport> rdfs_materialize_routed(trelvanic_core::Reasoner& reasoner);

[[nodiscard]] Result<trelvanic_core::Taxonomy> dl_classify(const trelvanic_core::Ontology& ontology, bool preview);
[[nodiscard]] Result<trelvanic_core::Taxonomy> dl_classify_bounded(uint64_t budget_secs,
                                                                   trelvanic_core::Ontology ontology, bool preview);

[[nodiscard]] Result<trelvanic_core::ConsistencyResult> dl_check_consistency(const trelvanic_core::Ontology& ontology,
                                                                           std::optional<uint64_t> budget_secs);
[[nodiscard]] Result<bool> dl_entails_class_assertion(const trelvanic_core::Ontology& ontology,
                                                      trelvanic_core::EntityId individual, trelvanic_core::EntityId cls);
[[nodiscard]] Result<bool> dl_entails_property_assertion(const trelvanic_core::Ontology& ontology,
                                                         trelvanic_core::EntityId subject, trelvanic_core::EntityId property,
                                                         trelvanic_core::EntityId object);

[[nodiscard]] Result<trelvanic_core::Taxonomy> swrl_classify(const trelvanic_core::Ontology& ontology);
[[nodiscard]] Result<trelvanic_core::ConsistencyResult> swrl_check_consistency(const trelvanic_core::Ontology& ontology,
                                                                             std::optional<uint64_t> budget_secs);

struct SwrlExtended {
  trelvanic_core::Ontology ontology;  // the clone with the rules' consequences
  bool complete = true;               // every entailed fact reached the rules
  bool inconsistent = false;          // a rule head had no model
};
[[nodiscard]] Result<SwrlExtended> swrl_extend(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_facade
