#include "facade/engines/dispatch.h"

#include "facade/engines/calls.h"
#include "facade/engines/hybrid.h"

namespace trelvanic_facade {

using trelvanic_core::Profile;
using trelvanic_core::Reasoner;
using trelvanic_core::Taxonomy;
using trelvanic_profile::RouteEngine;

namespace {

// Both EL paths give the same taxonomy for the same ontology: entities whose
// IRIs differ only in an encoded "#" are merged whichever path ran (the
// routed incremental path would otherwise leave them apart).
Result<ClassifyOutcome> classify_el(Reasoner& reasoner) {
  Result<Taxonomy> taxonomy = [&]() -> Result<Taxonomy> {
    if (reasoner.incremental() || reasoner.profile() == Profile::El) return el_classify_routed(reasoner);
    auto plain = el_classify_with_options(reasoner.ontology(), reasoner.trace_enabled());
    reasoner.clear_session();
    return plain;
  }();
  if (!taxonomy) return std::unexpected(std::move(taxonomy.error()));
  taxonomy->canonicalize_entity_aliases(reasoner.ontology().iris(), reasoner.ontology().entities());
  return ClassifyOutcome(std::move(*taxonomy));
}

Result<ClassifyOutcome> classify_dl(Reasoner& reasoner) {
  // An incremental request gets a full DL classification: the DL pipeline
  // has no incremental path.
  const bool preview = reasoner.profile() == Profile::DlPreview;
  Result<Taxonomy> taxonomy = reasoner.budget_secs()
                                  ? dl_classify_bounded(*reasoner.budget_secs(), reasoner.ontology().clone(), preview)
                                  : dl_classify(reasoner.ontology(), preview);
  if (!taxonomy) return std::unexpected(std::move(taxonomy.error()));
  return ClassifyOutcome(std::move(*taxonomy));
}

template <class Outcome>
Result<ClassifyOutcome> wrap_report(Result<MaterializationReport> report) {
  if (!report) return std::unexpected(std::move(report.error()));
  return ClassifyOutcome(Outcome{std::move(*report)});
}

Result<ClassifyOutcome> wrap_taxonomy(Result<Taxonomy> taxonomy) {
  if (!taxonomy) return std::unexpected(std::move(taxonomy.error()));
  return ClassifyOutcome(std::move(*taxonomy));
}

}  // namespace

Result<ClassifyOutcome> dispatch_classify(const trelvanic_profile::Route& route, Reasoner& reasoner) {
  switch (route.engine) {
    case RouteEngine::El:
      return classify_el(reasoner);
    case RouteEngine::Rdfs:
      return wrap_report<RdfsOutcome>(rdfs_materialize_routed(reasoner));
    case RouteEngine::Rl:
      return wrap_report<RlOutcome>(rl_saturate_routed(reasoner));
    case RouteEngine::Alc:
    case RouteEngine::Dl:
      return classify_dl(reasoner);
    case RouteEngine::Swrl:
      return wrap_taxonomy(swrl_classify(reasoner.ontology()));
    case RouteEngine::Hybrid:
      return wrap_taxonomy(classify_hybrid_modules(reasoner.ontology(), reasoner.budget_secs()));
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

}  // namespace trelvanic_facade
