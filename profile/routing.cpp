#include "profile/routing.h"

#include "bridge/triples.h"
#include "profile/detect.h"
#include "profile/hybrid.h"
#include "profile/scanner.h"

namespace trelvanic_profile {

using trelvanic_core::Ontology;
using trelvanic_core::Profile;

std::string_view route_engine_name(RouteEngine e) {
  switch (e) {
    case RouteEngine::El: return "El";
    case RouteEngine::Rdfs: return "Rdfs";
    case RouteEngine::Rl: return "Rl";
    case RouteEngine::Alc: return "Alc";
    case RouteEngine::Dl: return "Dl";
    case RouteEngine::Swrl: return "Swrl";
    case RouteEngine::Hybrid: return "Hybrid";
  }
  return "El";
}

namespace {

bool el_engine_accepts_scan(const Ontology& ontology, ConstructMask scanned) {
  return rules::el::el_engine_accepts(scanned) && !holds_negative_assertion(ontology);
}

// The engine of an ontology the EL engine does not take as detected: one
// engine that decides the whole ontology, else by the modules of the split.
std::expected<RouteEngine, Error> route_by_split(const Ontology& ontology, ConstructMask scanned) {
  auto split = classify_hybrid(ontology);
  if (!split) return std::unexpected(split.error());
  // Modules classified apart miss what follows only from axioms of two
  // modules together; when the EL or the RL engine decides the whole
  // ontology it reasons over it whole, however the split falls. An
  // ontology inside both EL and RL that uses a construct the EL engine
  // does not take (ObjectHasValue, say) goes to the RL engine this way.
  if (el_engine_accepts_scan(ontology, scanned)) return RouteEngine::El;
  if (trelvanic_bridge::rl_engine_decides(ontology)) return RouteEngine::Rl;
  if (split->modules.size() > 1) return RouteEngine::Hybrid;
  switch (split->modules.front().profile) {
    case OwlProfile::El:
    case OwlProfile::Ql:
      // The whole ontology goes to the engine, not the module alone.
      return el_engine_accepts_scan(ontology, scanned) ? RouteEngine::El : RouteEngine::Dl;
    case OwlProfile::Rl: return RouteEngine::Rl;
    case OwlProfile::Dl: return RouteEngine::Dl;
  }
  return RouteEngine::Dl;
}

}  // namespace

bool el_engine_accepts(const Ontology& ontology) {
  return el_engine_accepts_scan(ontology, scan_construct_mask(ontology));
}

std::expected<Route, Error> resolve_route(Profile requested, const Ontology& ontology) {
  switch (requested) {
    case Profile::Rdfs: return Route{std::nullopt, RouteEngine::Rdfs};
    case Profile::Rl: return Route{std::nullopt, RouteEngine::Rl};
    case Profile::El: return Route{std::nullopt, RouteEngine::El};
    case Profile::Alc:
    case Profile::Dl:
    case Profile::DlPreview: return Route{std::nullopt, RouteEngine::Dl};
    case Profile::Swrl: return Route{std::nullopt, RouteEngine::Swrl};
    case Profile::Auto: break;
  }
  const ConstructMask scanned = scan_construct_mask(ontology);
  const ProfileReport report = detect_profile_of(construct_set(scanned), ontology.parse_meta());
  const OwlProfile detected = *report.profile;
  Route route{detected, RouteEngine::El};
  // No other engine runs rules: they go forward-chained first, whatever
  // the rest of the ontology needs after them.
  if (!ontology.swrl_rules().empty()) {
    route.engine = RouteEngine::Swrl;
    return route;
  }
  switch (detected) {
    case OwlProfile::El:
    case OwlProfile::Ql:
      if (el_engine_accepts_scan(ontology, scanned)) return route;
      break;  // the next wider profile: as for Dl
    case OwlProfile::Rl:
      // An RL ontology that the RL rules do not reach whole (a reflexive
      // property, say) but the EL engine decides goes to the EL engine.
      route.engine = !trelvanic_bridge::rl_engine_decides(ontology) && el_engine_accepts_scan(ontology, scanned)
                         ? RouteEngine::El
                         : RouteEngine::Rl;
      return route;
    case OwlProfile::Dl: break;
  }
  auto engine = route_by_split(ontology, scanned);
  if (!engine) return std::unexpected(engine.error());
  route.engine = *engine;
  return route;
}

}  // namespace trelvanic_profile
