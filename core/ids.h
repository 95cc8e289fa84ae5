// Strong 32-bit id types of the core model.
//
// `IriId` (never zero, first id 1), `EntityId`, `AxiomId`, `CeId`, `DeId` and
// `RoleId` are distinct types over one `uint32_t`, so an axiom id can never be
// passed where an entity id is expected. Ids are plain values: compare them,
// hash them (abseil and std), print them with `debug_text` ("EntityId(7)") or
// through fmt, which uses the same debug text.
#pragma once

#include <compare>
#include <cstdint>
#include <limits>
#include <string>

#include <fmt/core.h>

namespace trelvanic_core {

template <class Tag>
struct StrongId {
  uint32_t value = 0;

  constexpr StrongId() = default;
  constexpr explicit StrongId(uint32_t v) : value(v) {}

  static constexpr const char* type_name() { return Tag::kName; }

  friend constexpr bool operator==(StrongId, StrongId) = default;
  friend constexpr auto operator<=>(StrongId, StrongId) = default;

  template <class H>
  friend H AbslHashValue(H h, StrongId id) {
    return H::combine(std::move(h), id.value);
  }
};

struct IriIdTag { static constexpr const char* kName = "IriId"; };
struct EntityIdTag { static constexpr const char* kName = "EntityId"; };
struct AxiomIdTag { static constexpr const char* kName = "AxiomId"; };
struct CeIdTag { static constexpr const char* kName = "CeId"; };
struct DeIdTag { static constexpr const char* kName = "DeId"; };

using IriId = StrongId<IriIdTag>;
using EntityId = StrongId<EntityIdTag>;
using AxiomId = StrongId<AxiomIdTag>;
using CeId = StrongId<CeIdTag>;
using DeId = StrongId<DeIdTag>;

inline constexpr uint32_t kMaxId32 = std::numeric_limits<uint32_t>::max();

// "EntityId(7)": the form ids take inside messages.
template <class Tag>
std::string debug_text(StrongId<Tag> id) {
  return fmt::format("{}({})", Tag::kName, id.value);
}

}  // namespace trelvanic_core

template <class Tag>
struct std::hash<trelvanic_core::StrongId<Tag>> {
  size_t operator()(trelvanic_core::StrongId<Tag> id) const noexcept {
    return std::hash<uint32_t>{}(id.value);
  }
};

template <class Tag>
struct fmt::formatter<trelvanic_core::StrongId<Tag>> : fmt::formatter<std::string_view> {
  template <class Ctx>
  auto format(trelvanic_core::StrongId<Tag> id, Ctx& ctx) const {
    return fmt::format_to(ctx.out(), "{}({})", Tag::kName, id.value);
  }
};
