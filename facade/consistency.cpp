#include "facade/consistency.h"

#include "core/dl.h"
#include "core/dl_expr.h"
#include "el/reasoner.h"
#include "facade/engines/calls.h"
#include "rl/abox.h"
#include "rl/engine.h"
#include "rl/rdfs.h"
#include "rl/report.h"

namespace trelvanic_facade {

using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::DlStore;
using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_profile::RouteEngine;

namespace {

constexpr ConsistencyResult kIncomplete{false, false};

// The DL store holds `ClassAssertion(a, C)` with C not a named class
// (owl:Thing and owl:Nothing count as not named); ids past the arena are
// passed over.
bool has_complex_class_assertion(const Ontology& ontology) {
  const DlStore& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != DlAxiomKind::ClassAssertion) continue;
    CeId ce = axiom.class_expr();
    if (!dl.has_ce(ce)) continue;
    if (dl.ce(ce).kind != CeKind::Atomic) return true;
  }
  return false;
}

Result<ConsistencyResult> dl_check(const Reasoner& reasoner) {
  return dl_check_consistency(reasoner.ontology(), reasoner.budget_secs());
}

Result<ConsistencyResult> el_check(const Reasoner& reasoner) {
  const Ontology& ontology = reasoner.ontology();
  if (has_complex_class_assertion(ontology)) return dl_check(reasoner);
  auto consistent = trelvanic_el::ElEngine::is_consistent(ontology);
  // The EL engine refuses what it cannot decide; the answer then is
  // "unknown", never a verdict.
  if (!consistent) return kIncomplete;
  return ConsistencyResult{*consistent, true};
}

// A clash-free RDFS closure proves nothing under the Direct Semantics (the
// RDFS rules ignore disjointness, owl:Nothing and the rest), so only an
// inconsistency is a verdict here.
ConsistencyResult rdfs_check(const Ontology& ontology) {
  Ontology work = ontology.clone();
  auto report = trelvanic_rl::rdfs::RdfsEngine{}.materialize(work);
  if (!report) return kIncomplete;
  if (trelvanic_rl::clashes_indicate_inconsistency(report->clashes)) return ConsistencyResult{false, true};
  return kIncomplete;
}

}  // namespace

Result<ConsistencyResult> rl_consistency(const Ontology& ontology) {
  Ontology work = ontology.clone();
  auto report = trelvanic_rl::RlEngine{}.saturate(work);
  if (!report) return std::unexpected(Error::rl(report.error().message()));
  if (auto verdict = trelvanic_rl::consistency_from_report(*report, work)) return *verdict;
  auto abox = trelvanic_rl::abox::is_abox_consistent(work);
  if (!abox) return std::unexpected(Error::rl(abox.error().message()));
  if (!*abox) return ConsistencyResult{false, true};
  // Every axiom reached the rules in an OWL 2 RL form and no clash came
  // out: the RL rules are complete for the consistency of such an
  // ontology. An unsatisfiable class without instances is no clash.
  return ConsistencyResult{true, true};
}

bool holds_less_than_source(const Ontology& ontology) {
  const auto& meta = ontology.parse_meta();
  return meta && (meta->skipped_axiom_count > 0 || meta->unresolved_imports);
}

namespace {

Result<ConsistencyResult> route_verdict(const trelvanic_profile::Route& route, const Reasoner& reasoner) {
  // A lenient load that dropped DifferentIndividuals(a, a) read an axiom
  // no interpretation satisfies: the ontology is inconsistent whatever the
  // engine.
  const auto& meta = reasoner.ontology().parse_meta();
  if (meta && meta->degenerate_different_individuals) return ConsistencyResult{false, true};
  switch (route.engine) {
    case RouteEngine::El:
      return el_check(reasoner);
    case RouteEngine::Rdfs:
      return rdfs_check(reasoner.ontology());
    case RouteEngine::Rl:
      return rl_consistency(reasoner.ontology());
    case RouteEngine::Swrl: {
      auto verdict = swrl_check_consistency(reasoner.ontology(), reasoner.budget_secs());
      if (!verdict) return kIncomplete;
      return *verdict;
    }
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Hybrid:
      return dl_check(reasoner);
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

}  // namespace

Result<ConsistencyResult> check_consistency_on_route(const trelvanic_profile::Route& route,
                                                     const Reasoner& reasoner) {
  auto verdict = route_verdict(route, reasoner);
  // A model of the axioms that were read need not extend to the axioms the
  // load left out; a contradiction among the read ones stays one.
  if (verdict && verdict->consistent && holds_less_than_source(reasoner.ontology())) verdict->complete = false;
  return verdict;
}

Result<ConsistencyResult> check_consistency(Reasoner& reasoner) {
  reasoner.invalidate_stale_classify_cache();
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  return check_consistency_on_route(*route, reasoner);
}

Result<bool> is_consistent(Reasoner& reasoner) {
  auto pair = check_consistency(reasoner);
  if (!pair) return std::unexpected(std::move(pair.error()));
  if (!pair->complete) return std::unexpected(Error::core(trelvanic_core::Error::consistency_incomplete()));
  return pair->consistent;
}

}  // namespace trelvanic_facade
