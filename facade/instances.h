// Realisation for instance queries: the named individuals the routed engine
// proves to be instances of a class.
#pragma once

#include <vector>

#include "core/ids.h"
#include "core/reasoner.h"
#include "facade/error.h"

namespace trelvanic_facade {

// In registry order. Routes whose engine cannot realise the ontology fail
// as their classification does (an engine that is not available is named).
[[nodiscard]] Result<std::vector<trelvanic_core::EntityId>> instances_of(const trelvanic_core::Reasoner& reasoner,
                                                                         trelvanic_core::EntityId cls);

}  // namespace trelvanic_facade
