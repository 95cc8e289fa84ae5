#include "rl/rdfs.h"

#include "bridge/materializer_session.h"

namespace trelvanic_rl::rdfs {

using trelvanic_bridge::materialize_with_session;
using trelvanic_bridge::MaterializeOutcome;
using trelvanic_bridge::MaterializerSession;
using trelvanic_core::Profile;

namespace {

MaterializationReport make_report(size_t initial, size_t final_count, MaterializeOutcome outcome) {
  MaterializationReport report;
  report.clashes = std::move(outcome.clashes);
  report.initial_axiom_count = initial;
  report.final_axiom_count = final_count;
  report.export_complete = outcome.export_complete;
  return report;
}

}  // namespace

Result<MaterializationReport> RdfsEngine::materialize_with_reasoner(trelvanic_core::Reasoner& reasoner) const {
  const size_t initial = live_axiom_count(reasoner.ontology());
  auto session = trelvanic_bridge::take_materializer_session(reasoner, Profile::Rdfs);
  trelvanic_core::Ontology& ontology = reasoner.ontology_mut();
  auto run = materialize_with_session(ontology, std::move(session), reasoner.incremental(), max_axioms, max_entities);
  reasoner.set_session(std::move(run.session));
  if (!run.outcome) return std::unexpected(Error::bridge(run.outcome.error()));
  return make_report(initial, live_axiom_count(ontology), std::move(*run.outcome));
}

Result<MaterializationReport> RdfsEngine::materialize(trelvanic_core::Ontology& ontology) const {
  const size_t initial = live_axiom_count(ontology);
  auto run = materialize_with_session(ontology, std::make_unique<MaterializerSession>(Profile::Rdfs), false,
                                      max_axioms, max_entities);
  if (!run.outcome) return std::unexpected(Error::bridge(run.outcome.error()));
  return make_report(initial, live_axiom_count(ontology), std::move(*run.outcome));
}

Result<MaterializationReport> materialize_routed(trelvanic_core::Reasoner& reasoner) {
  return RdfsEngine{}.materialize_with_reasoner(reasoner);
}

}  // namespace trelvanic_rl::rdfs
