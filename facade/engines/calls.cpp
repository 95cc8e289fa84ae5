#include "facade/engines/calls.h"

#include <type_traits>

#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/bounded.h"
#include "dl/classify.h"
#include "dl/engine.h"
#include "el/reasoner.h"
#include "rl/engine.h"
#include "rl/rdfs.h"
#include "rl/reasoner.h"
#include "swrl/engine_adapter.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_core::Taxonomy;

namespace {

template <class T>
Result<Taxonomy> el_taxonomy(std::expected<T, trelvanic_el::Error> result) {
  if (!result) return std::unexpected(Error::el(std::move(result.error())));
  if constexpr (std::is_same_v<T, Taxonomy>) {
    return std::move(*result);
  } else {
    return std::move(result->taxonomy);  // the trace is not wanted here
  }
}

// The facade's view of an RL or RDFS report: counts, clash texts and the
// per-rule counts under the rules' names.
template <class Report, class NameOf>
Result<MaterializationReport> facade_report(trelvanic_rl::Result<Report> result, NameOf name_of) {
  if (!result) return std::unexpected(Error::rl(result.error().message()));
  MaterializationReport out;
  out.initial_axiom_count = result->initial_axiom_count;
  out.final_axiom_count = result->final_axiom_count;
  out.clashes = std::move(result->clashes);
  for (const auto& [rule, count] : result->inferred_by_rule) out.inferred_by_rule[std::string(name_of(rule))] += count;
  return out;
}

// The DL pipeline's error in the facade's Dl variant: an exhausted tableau
// budget with its expansion count, an undecided check with its reason, an
// incomplete yes-or-no answer as the core's "consistency check incomplete".
Error dl_error(const trelvanic_dl::Error& e) {
  if (e.is_budget_exhausted()) return Error::dl_budget_exhausted(e.alc_error()->limit, e.message());
  if (e.kind() == trelvanic_dl::ErrorKind::Incomplete) return Error::dl_incomplete(e.detail());
  if (e.kind() == trelvanic_dl::ErrorKind::Core && e.core_error() &&
      e.core_error()->kind() == trelvanic_core::ErrorKind::ConsistencyIncomplete) {
    return Error::core(*e.core_error());
  }
  return Error::dl(e.message());
}

template <class T>
Result<T> from_dl(trelvanic_dl::Result<T> r) {
  if (!r) return std::unexpected(dl_error(r.error()));
  return std::move(*r);
}

// The SWRL engine's error: the DL and core errors it carries as those
// engines' own, the rest in the Swrl variant with their text.
Error swrl_error(const trelvanic_swrl::Error& e) {
  switch (e.kind()) {
    case trelvanic_swrl::ErrorKind::Dl:
      return dl_error(*e.dl_error());
    case trelvanic_swrl::ErrorKind::El:
      return Error::el_message(e.message());
    case trelvanic_swrl::ErrorKind::Core:
      if (e.core_error()) return Error::core(*e.core_error());
      break;
    default:
      break;
  }
  return Error::swrl(e.message());
}

}  // namespace

Result<Taxonomy> el_classify(const Ontology& ontology) {
  return el_taxonomy(trelvanic_el::ElClassifier::classify(ontology));
}

Result<Taxonomy> el_classify_with_options(const Ontology& ontology, bool trace) {
  return el_taxonomy(trelvanic_el::ElClassifier::classify_with_options(ontology, trace));
}

Result<Taxonomy> el_classify_routed(Reasoner& reasoner) {
  return el_taxonomy(trelvanic_el::classify_routed(reasoner));
}

Result<MaterializationReport> rl_saturate_routed(Reasoner& reasoner) {
  return facade_report(trelvanic_rl::saturate_routed(reasoner), trelvanic_rl::rl_rule_name);
}

Result<MaterializationReport> rdfs_materialize_routed(Reasoner& reasoner) {
  return facade_report(trelvanic_rl::rdfs::materialize_routed(reasoner), trelvanic_rl::rdfs::rdfs_rule_name);
}

Result<Taxonomy> dl_classify(const Ontology& ontology, bool preview) {
  return from_dl(trelvanic_dl::DlClassifier{.preview = preview}.classify(ontology));
}

Result<Taxonomy> dl_classify_bounded(uint64_t budget_secs, Ontology ontology, bool preview) {
  auto budget = trelvanic_dl::bounded::resolve_budget_secs(budget_secs);
  if (!budget) return std::unexpected(dl_error(budget.error()));
  return from_dl(trelvanic_dl::bounded::run_bounded(*budget, [work = std::move(ontology), preview] {
    return trelvanic_dl::DlClassifier{.preview = preview}.classify(work);
  }));
}

Result<trelvanic_core::ConsistencyResult> dl_check_consistency(const Ontology& ontology,
                                                               std::optional<uint64_t> budget_secs) {
  return from_dl(trelvanic_dl::check_consistency(ontology, budget_secs));
}

Result<bool> dl_entails_class_assertion(const Ontology& ontology, trelvanic_core::EntityId individual,
                                        trelvanic_core::EntityId cls) {
  Ontology probe = ontology.clone();
  const trelvanic_core::CeId ce = probe.dl_mut().intern_ce(trelvanic_core::ClassExpr::atomic(cls));
  return from_dl(trelvanic_dl::entails_class_assertion(probe, individual, ce));
}

// p(a, b) exactly when adding the negative assertion leaves no model.
Result<bool> dl_entails_property_assertion(const Ontology& ontology, trelvanic_core::EntityId subject,
                                           trelvanic_core::EntityId property, trelvanic_core::EntityId object) {
  Ontology probe = ontology.clone();
  probe.dl_mut().push_axiom(trelvanic_core::DlAxiom::negative_object_property_assertion(subject, property, object));
  auto consistent = from_dl(trelvanic_dl::is_consistent(probe));
  if (!consistent) return std::unexpected(std::move(consistent.error()));
  return !*consistent;
}

Result<Taxonomy> swrl_classify(const Ontology& ontology) {
  auto c = trelvanic_swrl::classify_with_swrl(ontology);
  if (!c) return std::unexpected(swrl_error(c.error()));
  return std::move(c->taxonomy);
}

Result<trelvanic_core::ConsistencyResult> swrl_check_consistency(const Ontology& ontology,
                                                                std::optional<uint64_t> budget_secs) {
  auto verdict = trelvanic_swrl::check_consistency_with_swrl(ontology, budget_secs);
  if (!verdict) return std::unexpected(swrl_error(verdict.error()));
  return *verdict;
}

Result<SwrlExtended> swrl_extend(const Ontology& ontology) {
  auto extended = trelvanic_swrl::extend_with_rules(ontology);
  if (!extended) return std::unexpected(swrl_error(extended.error()));
  return SwrlExtended{std::move(extended->ontology), extended->run.complete, extended->run.inconsistent};
}

}  // namespace trelvanic_facade
