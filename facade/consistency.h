// The consistency check of the facade: is the ontology of a core reasoner
// consistent, and is that answer complete.
//
//   auto pair = check_consistency(reasoner);   // Result<ConsistencyResult>
//   auto ok = is_consistent(reasoner);         // Result<bool>
//
// `check_consistency` drops a stale cached classification, resolves the
// route from the requested profile (a failure is the `El` error "profile
// detection failed: {}") and asks the route's engine:
//   El      the EL engine's consistency check ({b, true}); an EL engine
//           error gives {false, false}. An ontology whose DL store holds a
//           class assertion of a non-atomic class goes to the DL check.
//   Rdfs    a clash of the RDFS closure proves inconsistency; a clean
//           closure proves nothing ({false, false}).
//   Rl      the RL verdict on a saturated copy: clashes, chains into the
//           bottom property, the ABox test; {true, true} only when every
//           axiom reached the rules in an OWL 2 RL form. An unsatisfiable
//           class without instances does not make an ontology
//           inconsistent on any route.
//   Alc, Dl, Hybrid   the DL check over the whole ontology.
//   Swrl    the SWRL engine's check; its error gives {false, false}.
// An engine that is not part of the build fails with "{engine} engine is
// not available yet"; no route guesses an answer. A lenient load that
// dropped `DifferentIndividuals(a, a)` is inconsistent on every route.
// `complete` is true only when the engine decided the whole ontology: after
// a load that skipped axioms or left imports out (`holds_less_than_source`)
// "consistent" is reported incomplete, while "inconsistent" stays complete.
//
// `is_consistent` turns an incomplete pair into the `Core` error
// "consistency check incomplete". Neither changes the reasoner's ontology.
#pragma once

#include "core/reasoner.h"
#include "core/session.h"
#include "facade/error.h"
#include "profile/routing.h"

namespace trelvanic_facade {

[[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency(trelvanic_core::Reasoner& reasoner);
[[nodiscard]] Result<bool> is_consistent(trelvanic_core::Reasoner& reasoner);

// The ontology was loaded from a source some of whose axioms it does not
// hold: its parse metadata counts skipped axioms or records imports that
// were not merged. Its entailments and contradictions are the source's;
// its models and non-entailments need not be.
[[nodiscard]] bool holds_less_than_source(const trelvanic_core::Ontology& ontology);

// The RL route's answer for an ontology (saturates a copy); RL engine
// errors are the `Rl` error.
[[nodiscard]] Result<trelvanic_core::ConsistencyResult> rl_consistency(const trelvanic_core::Ontology& ontology);

// The per-route step of `check_consistency` (the reasoner is only read).
[[nodiscard]] Result<trelvanic_core::ConsistencyResult> check_consistency_on_route(
    const trelvanic_profile::Route& route, const trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_facade
