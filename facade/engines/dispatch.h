// Engine dispatch of a classification: runs the engine that a resolved
// route names on a core reasoner and wraps its result as a
// `ClassifyOutcome`.
//
//   El      the routed EL entry when the reasoner is incremental or asked
//           for EL explicitly, else a plain EL classification followed by
//           clearing the reasoner's session; on both paths the taxonomy's
//           "%23"/"#" alias entries are merged into one
//   Rdfs    RDFS materialisation of the reasoner's own ontology, in place
//   Rl      RL saturation of the reasoner's own ontology, in place
//   Alc, Dl DL classification: within `budget_secs` on the DL worker pool
//           (on a clone), else on the calling thread; preview mode when
//           the requested profile is DlPreview
//   Swrl    SWRL pre-pass and classification (taxonomy only)
//   Hybrid  module-by-module classification (engines/hybrid.h)
// Errors arrive in the variant of the engine that failed.
#pragma once

#include "core/reasoner.h"
#include "facade/error.h"
#include "facade/outcome.h"
#include "profile/routing.h"

namespace trelvanic_facade {

[[nodiscard]] Result<ClassifyOutcome> dispatch_classify(const trelvanic_profile::Route& route,
                                                        trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_facade
