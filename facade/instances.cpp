#include "facade/instances.h"

#include "core/dl.h"
#include "core/dl_expr.h"
#include "el/reasoner.h"
#include "profile/routing.h"

namespace trelvanic_facade {

using trelvanic_profile::RouteEngine;

namespace {

// A class assertion of a class expression that is no named class: the EL
// engine does not read those, so its realisation would miss what they say.
bool has_complex_class_assertion(const trelvanic_core::Ontology& ontology) {
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    auto axiom = dl.axiom(i);
    if (axiom.kind != trelvanic_core::DlAxiomKind::ClassAssertion) continue;
    if (dl.has_ce(axiom.class_expr()) && dl.ce(axiom.class_expr()).kind != trelvanic_core::CeKind::Atomic) {
      return true;
    }
  }
  return false;
}

Error engine_missing(RouteEngine engine) {
  if (engine == RouteEngine::Swrl) return Error::engine_not_available(ErrorVariant::Swrl, "SWRL");
  return Error::engine_not_available(ErrorVariant::Dl, "DL");
}

}  // namespace

Result<std::vector<trelvanic_core::EntityId>> instances_of(const trelvanic_core::Reasoner& reasoner,
                                                           trelvanic_core::EntityId cls) {
  auto route = trelvanic_profile::resolve_route(reasoner.profile(), reasoner.ontology());
  if (!route) return std::unexpected(Error::el_profile(route.error()));
  switch (route->engine) {
    case RouteEngine::El: {
      if (has_complex_class_assertion(reasoner.ontology())) return std::unexpected(engine_missing(RouteEngine::Dl));
      auto members = trelvanic_el::ElClassifier::instances(reasoner.ontology(), cls);
      if (!members) return std::unexpected(Error::el(std::move(members.error())));
      return std::move(*members);
    }
    case RouteEngine::Rdfs:
    case RouteEngine::Rl:
      return std::unexpected(Error::el_message("instance queries need a taxonomy classification route"));
    case RouteEngine::Alc:
    case RouteEngine::Dl:
    case RouteEngine::Swrl:
    case RouteEngine::Hybrid:
      return std::unexpected(engine_missing(route->engine));
  }
  return std::unexpected(Error::el_message("unknown route engine"));
}

}  // namespace trelvanic_facade
