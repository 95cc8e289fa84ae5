#include "core/entity.h"

#include <fmt/format.h>

namespace trelvanic_core {

Result<EntityId> EntityRegistry::get_or_register(IriId iri, std::string_view iri_text,
                                                 EntityKind kind) {
  if (auto found = find(iri)) {
    EntityRecord& rec = records_[found->value];
    if (rec.kind == kind) return *found;
    auto merged = merge_punning(rec.kind, kind);
    if (!merged)
      return std::unexpected(Error::entity_kind_mismatch(std::string(iri_text), kind, rec.kind));
    rec.kind = *merged;
    kinds_[found->value] = *merged;
    return *found;
  }
  // kNone marks "not registered" in by_iri_, so the last 32-bit id stays
  // unused; a registry that large is far beyond any memory anyway.
  if (records_.size() >= kNone)
    return std::unexpected(Error::invalid_axiom("entity registry capacity exceeded"));
  const auto id = static_cast<uint32_t>(records_.size());
  if (iri.value >= by_iri_.size()) by_iri_.resize(size_t{iri.value} + 1, kNone);
  by_iri_[iri.value] = id;
  records_.push_back(EntityRecord{iri, kind});
  kinds_.push_back(kind);
  return EntityId(id);
}

Result<EntityRecord> EntityRegistry::entity(EntityId id) const {
  if (!contains(id)) return std::unexpected(Error::unknown_entity(id));
  return records_[id.value];
}

Result<void> EntityRegistry::set_kind(EntityId id, EntityKind kind) {
  if (!contains(id)) return std::unexpected(Error::unknown_entity(id));
  records_[id.value].kind = kind;
  kinds_[id.value] = kind;
  return {};
}

void EntityRegistry::reserve(size_t n, size_t iris) {
  records_.reserve(n);
  kinds_.reserve(n);
  by_iri_.reserve(iris + 1);
}

Result<void> require_kind(std::span<const EntityRecord> records, EntityId id, EntityKind expected,
                          std::string_view role) {
  if (id.value >= records.size()) return std::unexpected(Error::unknown_entity(id));
  const EntityKind stored = records[id.value].kind;
  if (kind_satisfies(stored, expected)) return {};
  return std::unexpected(Error::invalid_axiom(fmt::format("{} entity {} must be {}, found {}", role,
                                                          id, entity_kind_name(expected),
                                                          entity_kind_name(stored))));
}

}  // namespace trelvanic_core
