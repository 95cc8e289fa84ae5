#include "core/entity_kind.h"

#include <array>

#include "core/name_table.h"

namespace trelvanic_core {
namespace {

constexpr std::array<std::string_view, kEntityKindCount> kNames = {
    "Class",          "Individual",         "ObjectProperty",
    "DataProperty",   "AnnotationProperty", "Datatype",
    "ClassIndividual", "ClassObjectProperty", "ObjectPropertyIndividual"};

// The two base kinds of each kind, as a bit set over Class (1),
// Individual (2) and ObjectProperty (4); zero for kinds that never pun.
constexpr uint8_t parts(EntityKind k) {
  switch (k) {
    case EntityKind::Class: return 1;
    case EntityKind::Individual: return 2;
    case EntityKind::ObjectProperty: return 4;
    case EntityKind::ClassIndividual: return 1 | 2;
    case EntityKind::ClassObjectProperty: return 1 | 4;
    case EntityKind::ObjectPropertyIndividual: return 4 | 2;
    case EntityKind::DataProperty:
    case EntityKind::AnnotationProperty:
    case EntityKind::Datatype: return 0;
  }
  return 0;
}

constexpr std::optional<EntityKind> from_parts(uint8_t bits) {
  switch (bits) {
    case 1: return EntityKind::Class;
    case 2: return EntityKind::Individual;
    case 4: return EntityKind::ObjectProperty;
    case 3: return EntityKind::ClassIndividual;
    case 5: return EntityKind::ClassObjectProperty;
    case 6: return EntityKind::ObjectPropertyIndividual;
    default: return std::nullopt;
  }
}

}  // namespace

std::string_view entity_kind_name(EntityKind kind) { return table_name(kNames, kind); }

std::optional<EntityKind> entity_kind_from_name(std::string_view name) {
  return table_lookup<EntityKind>(kNames, name);
}

std::optional<EntityKind> merge_punning(EntityKind stored, EntityKind fresh) {
  if (stored == fresh) return stored;
  const uint8_t a = parts(stored), b = parts(fresh);
  if (a == 0 || b == 0) return std::nullopt;
  // The union of both parts must still be one base kind or one pun; the
  // union of all three base kinds (a pun with the third kind, two different
  // puns) has no kind.
  return from_parts(a | b);
}

bool kind_satisfies(EntityKind stored, EntityKind expected) {
  if (stored == expected) return true;
  const uint8_t want = parts(expected);
  // Only a base kind can be asked for through its puns.
  if (want != 1 && want != 2 && want != 4) return false;
  return (parts(stored) & want) != 0;
}

}  // namespace trelvanic_core
