// `EntityKind`: the nine kinds an entity can have, the three puns among them,
// and the rules that combine and test kinds.
//
// Codes are the declared order (0 `Class` .. 8 `ObjectPropertyIndividual`);
// `entity_kind_name` gives the text used in messages and snapshots.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace trelvanic_core {

enum class EntityKind : uint8_t {
  Class = 0,
  Individual = 1,
  ObjectProperty = 2,
  DataProperty = 3,
  AnnotationProperty = 4,
  Datatype = 5,
  ClassIndividual = 6,
  ClassObjectProperty = 7,
  ObjectPropertyIndividual = 8,
};

inline constexpr int kEntityKindCount = 9;

[[nodiscard]] std::string_view entity_kind_name(EntityKind kind);

// The kind with that exact name, or none.
[[nodiscard]] std::optional<EntityKind> entity_kind_from_name(std::string_view name);

// The kind an IRI stored with `stored` takes when it is used as `fresh`:
// equal kinds stay, two of Class/Individual/ObjectProperty give their pun, a
// pun absorbs its own parts; every other pair has no merge.
[[nodiscard]] std::optional<EntityKind> merge_punning(EntityKind stored, EntityKind fresh);

// Whether an entity stored with `stored` may stand where `expected` is
// required: a pun satisfies exactly its two parts; DataProperty only itself.
[[nodiscard]] bool kind_satisfies(EntityKind stored, EntityKind expected);

}  // namespace trelvanic_core
