// `EntitySet` and `EntityPair`: the set of entities and the pair of entities
// the ontology's told-knowledge reads hand out (equivalents, disjoint
// classes, (property, filler) pairs, ...).
#pragma once

#include <utility>

#include <absl/container/flat_hash_set.h>

#include "core/ids.h"

namespace trelvanic_core {

using EntitySet = absl::flat_hash_set<EntityId>;
using EntityPair = std::pair<EntityId, EntityId>;

}  // namespace trelvanic_core
