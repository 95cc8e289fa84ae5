#include "explain/explain.h"

#include "el/reasoner.h"
#include "profile/routing.h"

namespace trelvanic_explain {

Result<ProofGraph> explain_with_profile(const trelvanic_core::Reasoner& reasoner) {
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::profile(route.error()));
  if (route->engine != trelvanic_profile::RouteEngine::El) {
    return std::unexpected(Error::unsupported_route(route->engine));
  }
  auto report = trelvanic_el::ElClassifier::classify_with_options(reasoner.ontology(), /*trace=*/true);
  if (!report) return std::unexpected(Error::el(std::move(report.error())));
  return build::build_proof_graph(reasoner.ontology(), report->trace);
}

}  // namespace trelvanic_explain
