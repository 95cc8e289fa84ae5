// Route resolution: which engine answers for a requested `Profile`.
//
//   auto route = resolve_route(Profile::Auto, ontology);
//   if (route && route->engine == RouteEngine::Hybrid) ...
//
// Explicit requests name their engine and never read the ontology (`Alc`,
// `Dl` and `DlPreview` all go to `Dl`; the `Alc` engine value is never
// produced). `Auto` detects the profile and routes `El` and `Ql` to the EL
// engine, `Rl` to the RL engine and `Dl` by the hybrid split: more than one
// module gives `Hybrid`, a single module its own engine. An ontology
// detected `El` or `Ql` that holds something the EL engine does not reason
// with (see `el_engine_accepts`) is routed as a `Dl` one instead, and a
// single EL module of such an ontology goes to `Dl`: no route hands an
// engine an ontology it would refuse or partly ignore. Before the split,
// an engine that decides the whole ontology takes it: the EL engine when it
// accepts it, else the RL engine when every axiom reaches its rules in an
// OWL 2 RL form (`trelvanic_bridge::rl_engine_decides`). A detected `Rl`
// ontology the RL rules do not reach whole goes to the EL engine when that
// accepts it. The DL and hybrid routes are for what neither decides.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>

#include "core/ontology.h"
#include "core/session.h"
#include "profile/rules.h"

namespace trelvanic_profile {

enum class RouteEngine : uint8_t { El = 0, Rdfs = 1, Rl = 2, Alc = 3, Dl = 4, Swrl = 5, Hybrid = 6 };

// The variant name: "El", "Rdfs", "Rl", "Alc", "Dl", "Swrl", "Hybrid".
[[nodiscard]] std::string_view route_engine_name(RouteEngine e);

struct Route {
  std::optional<OwlProfile> detected;  // set only for Auto
  RouteEngine engine = RouteEngine::El;

  friend bool operator==(const Route&, const Route&) = default;
};

// Errors are those of the hybrid split, passed on unchanged.
[[nodiscard]] std::expected<Route, Error> resolve_route(trelvanic_core::Profile requested,
                                                        const trelvanic_core::Ontology& ontology);

// The EL engine's gate, shared with routing: true when every construct of
// the ontology's scan is one the EL engine reasons with soundly and
// completely and no negative property assertion is present.
[[nodiscard]] bool el_engine_accepts(const trelvanic_core::Ontology& ontology);

}  // namespace trelvanic_profile
