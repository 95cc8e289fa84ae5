// Entities and the `EntityRegistry`: one dense `EntityId` (from 0) per IRI
// used as an entity, with its `EntityKind`.
//
// `get_or_register` registers an IRI or merges a new use of it by the
// punning rules (Class/Individual/ObjectProperty pun pairwise; every other
// combination is an `EntityKindMismatch`). `require_kind` checks that an
// operand names an entity of the kind its position needs. Records are
// 8 bytes and read directly by id; the IRI-to-entity map is a flat vector
// indexed by `IriId`, so registration and lookup are one array access.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/entity_kind.h"
#include "core/error.h"
#include "core/ids.h"

namespace trelvanic_core {

struct EntityRecord {
  IriId iri;
  EntityKind kind;

  friend bool operator==(const EntityRecord&, const EntityRecord&) = default;
};

class EntityRegistry {
 public:
  // The entity of `iri`, registering it with `kind` when new, or merging
  // `kind` into its stored kind. `iri_text` is only used in the error.
  [[nodiscard]] Result<EntityId> get_or_register(IriId iri, std::string_view iri_text,
                                                 EntityKind kind);

  [[nodiscard]] std::optional<EntityId> find(IriId iri) const {
    if (iri.value >= by_iri_.size() || by_iri_[iri.value] == kNone) return std::nullopt;
    return EntityId(by_iri_[iri.value]);
  }

  [[nodiscard]] std::span<const EntityRecord> records() const { return records_; }
  [[nodiscard]] size_t size() const { return records_.size(); }
  [[nodiscard]] bool contains(EntityId id) const { return id.value < records_.size(); }
  // Unchecked read.
  [[nodiscard]] const EntityRecord& record(EntityId id) const { return records_[id.value]; }
  // Room for `n` entities and IRI ids up to `iris` without regrowth.
  void reserve(size_t n, size_t iris);
  [[nodiscard]] EntityKind kind(EntityId id) const { return kinds_[id.value]; }
  // The record, or `UnknownEntity`.
  [[nodiscard]] Result<EntityRecord> entity(EntityId id) const;

  // Overwrites the kind without punning rules; `UnknownEntity` when absent.
  [[nodiscard]] Result<void> set_kind(EntityId id, EntityKind kind);

 private:
  static constexpr uint32_t kNone = kMaxId32;

  std::vector<EntityRecord> records_;
  // The kinds again, one byte per entity: the kind checks of every stored
  // axiom read this small table instead of the records.
  std::vector<EntityKind> kinds_;
  std::vector<uint32_t> by_iri_;  // IriId value -> entity id, kNone when not registered
};

// `UnknownEntity` when `id` is not below the number of records; otherwise
// `InvalidAxiom` "{role} entity {id} must be {expected}, found {stored}" when
// the stored kind does not satisfy `expected`.
[[nodiscard]] Result<void> require_kind(std::span<const EntityRecord> records, EntityId id,
                                        EntityKind expected, std::string_view role);

}  // namespace trelvanic_core
