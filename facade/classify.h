// The facade's classification entry: decides which engine classifies a
// core reasoner's ontology and runs it.
//
//   auto outcome = classify(reasoner);   // Result<ClassifyOutcome>
//
// A cached classification older than the ontology's revision is dropped,
// the route is resolved from the requested profile (a resolution failure
// is the `El` error "profile detection failed: {}"), the route's engine
// runs (engines/dispatch.h), and a taxonomy is cached in the reasoner under
// the current revision; a materialisation outcome drops the cache instead.
// Runs on the calling thread and touches nothing but the reasoner.
#pragma once

#include "core/reasoner.h"
#include "facade/error.h"
#include "facade/outcome.h"

namespace trelvanic_facade {

[[nodiscard]] Result<ClassifyOutcome> classify(trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_facade
