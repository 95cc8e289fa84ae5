// Explanations of EL classifications as proof graphs.
//
//   auto graph = trelvanic_explain::explain_with_profile(reasoner);
//
// Only ontologies whose route is the EL engine are explained; the EL
// classification made here records its inference trace and is not cached.
#pragma once

#include "core/reasoner.h"
#include "explain/build.h"
#include "explain/error.h"

namespace trelvanic_explain {

[[nodiscard]] Result<ProofGraph> explain_with_profile(const trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_explain
