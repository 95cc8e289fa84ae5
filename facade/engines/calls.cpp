#include "facade/engines/calls.h"

#include <type_traits>

#include "el/reasoner.h"
#include "rl/engine.h"
#include "rl/rdfs.h"
#include "rl/reasoner.h"

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

Error dl_missing() { return Error::engine_not_available(ErrorVariant::Dl, "DL"); }
Error swrl_missing() { return Error::engine_not_available(ErrorVariant::Swrl, "SWRL"); }

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

Result<Taxonomy> dl_classify(const Ontology&, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> dl_classify_bounded(uint64_t, Ontology, bool) { return std::unexpected(dl_missing()); }

Result<Taxonomy> swrl_classify(const Ontology&) { return std::unexpected(swrl_missing()); }

}  // namespace trelvanic_facade
