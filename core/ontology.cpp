#include "core/ontology.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/axiom_index.h"

namespace trelvanic_core {

Ontology::Ontology()
    : iris_(std::make_shared<InternPool>()),
      entities_(std::make_shared<EntityRegistry>()),
      axioms_(std::make_shared<AxiomStore>()),
      index_(std::make_shared<AxiomIndex>()),
      dl_(std::make_shared<DlStore>()) {}

AxiomIndex& Ontology::index_mut() { return unshare(index_); }

std::span<const EntityId> Ontology::direct_superclasses(EntityId c) const { return index_->direct_superclasses(c); }
std::span<const EntityId> Ontology::direct_superproperties(EntityId p) const {
  return index_->direct_superproperties(p);
}
std::span<const EntityId> Ontology::classes_of(EntityId i) const { return index_->classes_of(i); }
std::span<const EntityPair> Ontology::existentials_of(EntityId c) const { return index_->existentials_of(c); }
std::span<const EntityPair> Ontology::object_assertions_of(EntityId i) const {
  return index_->object_assertions_of(i);
}
std::span<const EntityId> Ontology::inverses_of(EntityId p) const { return index_->inverses_of(p); }
std::optional<EntityId> Ontology::inverse_of(EntityId p) const { return index_->inverse_of(p); }
std::optional<EntitySet> Ontology::disjoint_with(EntityId c) const { return index_->disjoint_with(c); }
std::optional<EntitySet> Ontology::different_from(EntityId i) const { return index_->different_from(i); }
const EntitySet* Ontology::equivalents_of(EntityId c) const { return index_->equivalents_of(c); }
const EntitySet* Ontology::same_as(EntityId i) const { return index_->same_as_of(i); }

Result<EntityId> Ontology::entity_id(std::string_view iri, EntityKind kind) {
  std::string storage;
  return register_entity(normalize_iri_fragment_encoding(iri, storage), kind, kDefaultMaxIriLen);
}

void Ontology::prefetch_entity(std::string_view iri) const {
  std::string storage;
  iris_->prefetch(hash_iri(normalize_iri_fragment_encoding(iri, storage)));
}

Result<EntityId> Ontology::entity_id_as_written(std::string_view iri, EntityKind kind, size_t max_iri_len) {
  return register_entity(iri, kind, max_iri_len);
}

Result<EntityId> Ontology::register_entity(std::string_view n, EntityKind kind, size_t max_iri_len) {
  // One hash and one lookup serve the limit check and the interning.
  const uint64_t hash = hash_iri(n);
  const auto pos = iris_->lookup_hashed(n, hash);
  const std::optional<EntityId> known = pos ? entities_->find(IriId(*pos + 1)) : std::nullopt;
  if (limits_ && !known && entities_->size() >= limits_->max_entities)
    return std::unexpected(Error::resource_limit_exceeded(
        fmt::format("entity count exceeds maximum of {}", limits_->max_entities)));
  // An entity already registered with this kind changes nothing, so the
  // pool and the registry stay shared (the IRI is still checked as a new
  // one would be).
  if (known && entities_->kind(*known) == kind) {
    TRELVANIC_TRY(validate_iri_schemes(n, max_iri_len, kFullSchemes));
    return *known;
  }
  unshare(iris_);
  unshare(entities_);
  const IriId id = TRELVANIC_TRY(iris_->intern_looked_up(n, hash, pos, max_iri_len));
  return entities_->get_or_register(id, iris_->text(id), kind);
}

Result<std::optional<EntityId>> Ontology::try_lookup_entity(std::string_view iri) const {
  std::string storage;
  const std::string_view n = normalize_iri_fragment_encoding(iri, storage);
  TRELVANIC_TRY(validate_iri(n));
  const auto pos = iris_->lookup(n);
  if (!pos) return std::optional<EntityId>();
  return entities_->find(IriId(*pos + 1));
}

std::optional<EntityId> Ontology::lookup_entity(std::string_view iri) const {
  auto r = try_lookup_entity(iri);
  return r ? *r : std::nullopt;
}

Result<std::string_view> Ontology::entity_iri(EntityId id) const {
  const EntityRecord rec = TRELVANIC_TRY(entities_->entity(id));
  return iris_->resolve(rec.iri);
}

Result<void> Ontology::set_entity_kind(EntityId id, EntityKind kind) {
  unshare(entities_);
  return entities_->set_kind(id, kind);
}

Result<void> Ontology::validate_inverse_pair(const AxiomView&) const { return {}; }

Result<AxiomId> Ontology::push(Axiom axiom, bool inferred) {
  const uint64_t fingerprint = AxiomStore::prepare(axiom);
  return push_prepared(axiom, fingerprint, inferred);
}

Result<AxiomId> Ontology::push_prepared(const Axiom& axiom, uint64_t fingerprint, bool inferred) {
  TRELVANIC_TRY(validate_inverse_pair(axiom.view()));
  const AxiomId id = TRELVANIC_TRY(axioms_->push_prepared(axiom, fingerprint, *entities_, inferred));
  index_mut().insert(id, axioms_->view(id));
  revision_.bump();
  return id;
}

Result<void> Ontology::check_axiom_limit() const {
  if (limits_ && axioms_->live_count() >= limits_->max_axioms)
    return std::unexpected(Error::resource_limit_exceeded(
        fmt::format("axiom count exceeds maximum of {}", limits_->max_axioms)));
  return {};
}

void Ontology::note_told_change() {
  if (parse_meta_) parse_meta_->profile_constructs.clear();
}

Result<AxiomId> Ontology::add_axiom(Axiom axiom) {
  unshare(axioms_);
  TRELVANIC_TRY(check_axiom_limit());
  const AxiomId id = TRELVANIC_TRY(push(std::move(axiom), /*inferred=*/false));
  dirty_.record_added(id);
  note_told_change();
  return id;
}

std::vector<Result<AxiomId>> Ontology::add_axioms(std::span<Axiom> axioms) {
  unshare(axioms_);
  const AxiomIndex& index = index_mut();
  // Loads are started this many axioms ahead: enough to overlap the misses
  // of a table lookup and two index rows, few enough to stay in cache.
  constexpr size_t kAhead = 16;
  std::vector<uint64_t> fingerprints(axioms.size());
  auto start_loads = [&](size_t i) {
    axioms_->prefetch(fingerprints[i]);
    index.prefetch(axioms[i].view());
  };
  // The loads of the first axioms start while the rest are fingerprinted.
  for (size_t i = 0; i < axioms.size(); ++i) {
    fingerprints[i] = AxiomStore::prepare(axioms[i]);
    if (i < kAhead) start_loads(i);
  }
  std::vector<Result<AxiomId>> out;
  out.reserve(axioms.size());
  for (size_t i = 0; i < axioms.size(); ++i) {
    if (i + kAhead < axioms.size()) start_loads(i + kAhead);
    if (auto limit = check_axiom_limit(); !limit) {
      out.emplace_back(std::unexpected(std::move(limit.error())));
      continue;
    }
    auto id = push_prepared(axioms[i], fingerprints[i], /*inferred=*/false);
    if (id) {
      dirty_.record_added(*id);
      note_told_change();
    }
    out.push_back(std::move(id));
  }
  return out;
}

Result<AxiomId> Ontology::add_inferred_axiom(Axiom axiom) {
  unshare(axioms_);
  return push(std::move(axiom), /*inferred=*/true);
}

Result<void> Ontology::remove_axiom(AxiomId id) {
  unshare(axioms_);
  const Axiom copy = Axiom::from_view(TRELVANIC_TRY(axioms_->get(id)));
  TRELVANIC_TRY(axioms_->remove(id));
  // Clusters and symmetric groups cannot be taken apart axiom by axiom.
  if (axiom_kind_is_nary(copy.kind()))
    index_mut().rebuild_from_store(*axioms_, dl_.get());
  else
    index_mut().remove(id, copy.view());
  revision_.bump();
  dirty_.record_removed(id);
  note_told_change();
  return {};
}

size_t Ontology::strip_inferred_axioms() {
  unshare(axioms_);
  const size_t n = axioms_->strip_inferred().size();
  if (n == 0) return 0;
  index_mut().rebuild_from_store(*axioms_, dl_.get());
  revision_.bump();
  return n;
}

void Ontology::reserve(size_t entities, size_t axioms) {
  unshare(iris_);
  unshare(entities_);
  unshare(axioms_);
  iris_->reserve(entities);
  entities_->reserve(entities, entities);
  axioms_->reserve(axioms);
  index_mut().reserve(entities, axioms);
}

DlStore& Ontology::dl_mut() { return unshare(dl_); }

void Ontology::reindex_dl_abox() { index_mut().index_dl_abox(*dl_); }

}  // namespace trelvanic_core
