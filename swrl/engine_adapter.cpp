#include "swrl/engine_adapter.h"

#include <string>

#include "dl/engine.h"
#include "el/reasoner.h"
#include "profile/scanner.h"

namespace trelvanic_swrl {

using trelvanic_core::ConsistencyResult;
using trelvanic_core::Ontology;
using trelvanic_core::Taxonomy;

namespace {

constexpr ConsistencyResult kIncomplete{false, false};

std::string gap_text(const engine::ChainRun& run) {
  std::string text = "SWRL forward chaining incomplete: ";
  for (size_t i = 0; i < run.gaps.size(); ++i) text += (i ? "; " : "") + run.gaps[i];
  return text;
}

Result<Taxonomy> dl_classify(const Ontology& ontology) {
  auto dl = trelvanic_dl::classify(ontology);
  if (!dl) return std::unexpected(Error::dl(std::move(dl.error())));
  return std::move(*dl);
}

// EL classification when the engine takes the ontology, DL classification otherwise.
Result<Taxonomy> classify_plain(const Ontology& ontology) {
  if (engine::has_complex_class_assertion(ontology)) return dl_classify(ontology);
  auto el = trelvanic_el::ElClassifier::classify(ontology);
  if (el) return std::move(*el);
  if (el.error().kind != trelvanic_el::ErrorKind::NotEl) return std::unexpected(Error::el(el.error()));
  return dl_classify(ontology);
}

// The EL engine's verdict when it takes the ontology, the DL cascade's
// otherwise.
Result<ConsistencyResult> check_plain(const Ontology& ontology, std::optional<uint64_t> budget_secs) {
  if (!engine::has_complex_class_assertion(ontology)) {
    auto el = trelvanic_el::ElEngine::is_consistent(ontology);
    if (el) return ConsistencyResult{*el, true};
  }
  auto verdict = trelvanic_dl::check_consistency(ontology, budget_secs);
  if (!verdict) return std::unexpected(Error::dl(std::move(verdict.error())));
  return *verdict;
}

}  // namespace

bool has_rules(const Ontology& ontology) {
  return !ontology.swrl_rules().empty() ||
         trelvanic_profile::scan_constructs(ontology).contains(trelvanic_core::OwlConstruct::SwrlRule);
}

Result<ExtendedOntology> extend_with_rules(const Ontology& ontology) {
  ExtendedOntology out{ontology.clone(), {}};
  auto run = engine::materialize_swrl_rules(out.ontology);
  if (!run) return std::unexpected(run.error());
  out.run = std::move(*run);
  return out;
}

Result<SwrlClassification> classify_with_swrl(const Ontology& ontology) {
  if (!has_rules(ontology)) {
    auto taxonomy = classify_plain(ontology);
    if (!taxonomy) return std::unexpected(taxonomy.error());
    return SwrlClassification{std::move(*taxonomy), 0, 0};
  }
  auto extended = extend_with_rules(ontology);
  if (!extended) return std::unexpected(extended.error());
  if (extended->run.rule_count == 0) {
    return std::unexpected(Error::preview("SWRL rules detected in profile scan but not mapped for execution"));
  }
  if (!extended->run.complete) return std::unexpected(Error::incomplete(gap_text(extended->run)));
  auto taxonomy = classify_plain(extended->ontology);
  if (!taxonomy) return std::unexpected(taxonomy.error());
  return SwrlClassification{std::move(*taxonomy), extended->run.rule_count, extended->run.inference_count};
}

Result<ConsistencyResult> check_consistency_with_swrl(const Ontology& ontology, std::optional<uint64_t> budget_secs) {
  if (!has_rules(ontology)) return check_plain(ontology, budget_secs);
  auto extended = extend_with_rules(ontology);
  if (!extended) return std::unexpected(extended.error());
  if (extended->run.inconsistent) return ConsistencyResult{false, true};
  // Rules the load did not map: the ontology without them.
  if (extended->run.rule_count == 0) return check_plain(ontology, budget_secs);
  auto verdict = check_plain(extended->ontology, budget_secs);
  if (!verdict) return std::unexpected(verdict.error());
  // "Inconsistent" holds whatever the rules still had to add.
  if (verdict->consistent && !extended->run.complete) return kIncomplete;
  return *verdict;
}

}  // namespace trelvanic_swrl
