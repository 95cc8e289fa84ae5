#include "rl/engine.h"

#include "bridge/materializer_session.h"

namespace trelvanic_rl {

using trelvanic_bridge::materialize_with_session;
using trelvanic_bridge::MaterializerSession;
using trelvanic_core::Profile;

Result<MaterializationReport> RlEngine::saturate_reasoner(trelvanic_core::Reasoner& reasoner) const {
  const size_t initial = live_axiom_count(reasoner.ontology());
  auto session = trelvanic_bridge::take_materializer_session(reasoner, Profile::Rl);
  trelvanic_core::Ontology& ontology = reasoner.ontology_mut();
  auto run = materialize_with_session(ontology, std::move(session), reasoner.incremental(), max_axioms, max_entities);
  reasoner.set_session(std::move(run.session));
  if (!run.outcome) return std::unexpected(Error::bridge(run.outcome.error()));
  return report_from_outcome(ontology, initial, live_axiom_count(ontology), *run.outcome);
}

Result<MaterializationReport> RlEngine::saturate(trelvanic_core::Ontology& ontology) const {
  const size_t initial = live_axiom_count(ontology);
  auto run = materialize_with_session(ontology, std::make_unique<MaterializerSession>(), false, max_axioms,
                                      max_entities);
  if (!run.outcome) return std::unexpected(Error::bridge(run.outcome.error()));
  return report_from_outcome(ontology, initial, live_axiom_count(ontology), *run.outcome);
}

}  // namespace trelvanic_rl
