// The facade's RL route: `saturate_routed` checks the reasoner's
// parallelism ("parallelism must be in 1..=64, got {}") and saturates the
// reasoner's own ontology in place with an `RlEngine` whose trace flag is
// the reasoner's.
#pragma once

#include "core/reasoner.h"
#include "rl/error.h"
#include "rl/report.h"

namespace trelvanic_rl {

[[nodiscard]] Result<MaterializationReport> saturate_routed(trelvanic_core::Reasoner& reasoner);

}  // namespace trelvanic_rl
