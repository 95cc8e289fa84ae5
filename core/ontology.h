// `Ontology`: the one container of an ontology. Every subsystem reads
// ontologies through it and changes them only through its operations.
//
//   Ontology o;
//   EntityId a = *o.entity_id("http://ex.org/A", EntityKind::Class);
//   EntityId b = *o.entity_id("http://ex.org/B", EntityKind::Class);
//   AxiomId id = *o.add_axiom(Axiom::sub_class_of(a, b));
//   o.direct_superclasses(a);  // {b}
//
// Copies are cheap: the IRI pool, entity registry, axiom store, DL store and
// axiom index are shared between copies through reference-counted pointers
// and copied only when a copy first changes one of them (copy on write); the
// dirty set, SWRL rules, parse metadata, revision and limits are copied by
// value. A change makes private only the parts it writes: registering an
// entity (not one already registered with that kind) the pool and the
// registry, `set_entity_kind` the registry, an axiom change the axiom store
// and the index, `dl_mut` the DL store. The large tables inside those parts
// are themselves shared chunk by chunk, so the first change of a copy costs
// about what it touches, not the size of the ontology. Every change that
// advances the revision makes the axiom store private.
//
// One thread at a time may change an ontology; copies may move to other
// threads (the reference counts are atomic).
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include "core/axiom.h"
#include "core/axiom_store.h"
#include "core/dirty.h"
#include "core/dl.h"
#include "core/entity.h"
#include "core/entity_set.h"
#include "core/error.h"
#include "core/iri.h"
#include "core/limits.h"
#include "core/parse_meta.h"
#include "core/swrl.h"

namespace trelvanic_core {

// The index is read through the accessors below; code that reads its tables
// directly (`index()`) includes "core/axiom_index.h".
struct AxiomIndex;

class Ontology {
 public:
  Ontology();
  // A clone: shares the stores and the index, copies the rest.
  Ontology(const Ontology&) = default;
  Ontology& operator=(const Ontology&) = default;
  Ontology(Ontology&&) noexcept = default;
  Ontology& operator=(Ontology&&) noexcept = default;
  [[nodiscard]] Ontology clone() const { return *this; }

  // --- Entities and IRIs ---------------------------------------------------

  // The entity named by `iri` ("%23" read as "#"), registered with `kind` or
  // merged with it by punning. Errors: ResourceLimitExceeded "entity count
  // exceeds maximum of {}", InvalidIri, EntityKindMismatch, InvalidAxiom.
  [[nodiscard]] Result<EntityId> entity_id(std::string_view iri, EntityKind kind);
  // Starts loading what a coming entity_id(iri, ...) looks up first, so a
  // caller registering many names can overlap their cache misses.
  void prefetch_entity(std::string_view iri) const;
  // Registers `iri` exactly as written (no "%23" reading), validated against
  // `max_iri_len`, under the entity limit: for snapshot readers, which
  // restore IRIs as they were stored.
  [[nodiscard]] Result<EntityId> entity_id_as_written(std::string_view iri, EntityKind kind, size_t max_iri_len);
  // The entity of `iri`, none when it names none; InvalidIri for a bad IRI.
  [[nodiscard]] Result<std::optional<EntityId>> try_lookup_entity(std::string_view iri) const;
  // The same with every error turned into none.
  [[nodiscard]] std::optional<EntityId> lookup_entity(std::string_view iri) const;
  [[nodiscard]] Result<std::string_view> resolve_iri(IriId id) const { return iris_->resolve(id); }
  [[nodiscard]] Result<EntityRecord> entity(EntityId id) const { return entities_->entity(id); }
  // The IRI text of a registered entity, or UnknownEntity.
  [[nodiscard]] Result<std::string_view> entity_iri(EntityId id) const;
  // Overwrites the kind without punning rules; no revision change.
  [[nodiscard]] Result<void> set_entity_kind(EntityId id, EntityKind kind);

  // --- Axioms -------------------------------------------------------------

  // A told axiom; the id of an equal live axiom when there is one.
  [[nodiscard]] Result<AxiomId> add_axiom(Axiom axiom);
  // add_axiom of each axiom in order, with the same ids, errors and final
  // state, but faster for many axioms: the memory loads of a few axioms
  // ahead are started while one is stored. The axioms are left in canonical
  // form.
  [[nodiscard]] std::vector<Result<AxiomId>> add_axioms(std::span<Axiom> axioms);
  // An axiom with inferred provenance: never refused by the limits, not
  // recorded in the dirty set.
  [[nodiscard]] Result<AxiomId> add_inferred_axiom(Axiom axiom);
  [[nodiscard]] Result<void> remove_axiom(AxiomId id);
  [[nodiscard]] Result<AxiomView> axiom(AxiomId id) const { return axioms_->get(id); }
  // Removes every live inferred axiom; returns how many.
  size_t strip_inferred_axioms();
  // The inverse-pair check run before every push. A property may be stated
  // inverse to several properties (they are then equivalent), so every pair
  // is accepted.
  [[nodiscard]] Result<void> validate_inverse_pair(const AxiomView& axiom) const;

  // --- Told knowledge through the index (never fails) -------------------------

  [[nodiscard]] std::span<const EntityId> direct_superclasses(EntityId c) const;
  [[nodiscard]] std::span<const EntityId> direct_superproperties(EntityId p) const;
  [[nodiscard]] std::span<const EntityId> classes_of(EntityId i) const;
  [[nodiscard]] std::span<const EntityPair> existentials_of(EntityId c) const;
  [[nodiscard]] std::span<const EntityPair> object_assertions_of(EntityId i) const;
  [[nodiscard]] std::span<const EntityId> inverses_of(EntityId p) const;
  [[nodiscard]] std::optional<EntityId> inverse_of(EntityId p) const;
  [[nodiscard]] std::optional<EntitySet> disjoint_with(EntityId c) const;
  [[nodiscard]] std::optional<EntitySet> different_from(EntityId i) const;
  [[nodiscard]] const EntitySet* equivalents_of(EntityId c) const;
  [[nodiscard]] const EntitySet* same_as(EntityId i) const;

  // --- Other parts ----------------------------------------------------------

  void push_swrl_rule(SwrlRule rule) { swrl_rules_.push_back(std::move(rule)); }
  void clear_swrl_rules() { swrl_rules_.clear(); }
  void set_parse_meta(std::optional<ParseMeta> meta) { parse_meta_ = std::move(meta); }
  // The DL store for changing, made private first. Revision and dirty set
  // are untouched.
  DlStore& dl_mut();
  // Replaces the DL store (snapshot readers).
  void set_dl(DlStore dl) { dl_ = std::make_shared<DlStore>(std::move(dl)); }
  // Adds the DL store's ABox to the index; later full rebuilds keep it.
  void reindex_dl_abox();
  void clear_dirty() { dirty_.clear(); }
  [[nodiscard]] absl::flat_hash_set<EntityId> dirty_signatures() const {
    return trelvanic_core::dirty_signatures(dirty_, *axioms_);
  }

  // --- Reads of the parts ----------------------------------------------------

  [[nodiscard]] const InternPool& iris() const { return *iris_; }
  [[nodiscard]] const EntityRegistry& entities() const { return *entities_; }
  [[nodiscard]] const AxiomStore& axioms() const { return *axioms_; }
  [[nodiscard]] const AxiomIndex& index() const { return *index_; }
  [[nodiscard]] const DirtySet& dirty() const { return dirty_; }
  [[nodiscard]] const DlStore& dl() const { return *dl_; }
  [[nodiscard]] const std::vector<SwrlRule>& swrl_rules() const { return swrl_rules_; }
  [[nodiscard]] const std::optional<ParseMeta>& parse_meta() const { return parse_meta_; }
  [[nodiscard]] std::optional<ParseMeta>& parse_meta_mut() { return parse_meta_; }
  [[nodiscard]] const OntologyRevision& revision() const { return revision_; }
  [[nodiscard]] const std::optional<OntologyLimits>& limits() const { return limits_; }
  void set_limits(std::optional<OntologyLimits> limits) { limits_ = limits; }

  // Sizes the tables of the stores and the index for about `entities`
  // entities and `axioms` told axioms (a loader that knows its input's size
  // spares their regrowth). Changes nothing else.
  void reserve(size_t entities, size_t axioms);

  [[nodiscard]] size_t entity_count() const { return entities_->size(); }
  [[nodiscard]] size_t axiom_count() const { return axioms_->live_count(); }

  // Whether a part is shared with another copy (for tests and diagnostics).
  [[nodiscard]] bool shares_stores_with(const Ontology& other) const {
    return iris_ == other.iris_ && entities_ == other.entities_ && axioms_ == other.axioms_;
  }
  [[nodiscard]] bool shares_dl_with(const Ontology& other) const { return dl_ == other.dl_; }

 private:
  template <class T>
  static T& unshare(std::shared_ptr<T>& part) {
    if (part.use_count() > 1) part = std::make_shared<T>(*part);
    return *part;
  }
  AxiomIndex& index_mut();
  Result<AxiomId> push(Axiom axiom, bool inferred);
  Result<AxiomId> push_prepared(const Axiom& axiom, uint64_t fingerprint, bool inferred);
  Result<void> check_axiom_limit() const;
  void note_told_change();
  Result<EntityId> register_entity(std::string_view iri, EntityKind kind, size_t max_iri_len);

  std::shared_ptr<InternPool> iris_;
  std::shared_ptr<EntityRegistry> entities_;
  std::shared_ptr<AxiomStore> axioms_;
  std::shared_ptr<AxiomIndex> index_;
  DirtySet dirty_;
  std::shared_ptr<DlStore> dl_;
  std::vector<SwrlRule> swrl_rules_;
  std::optional<ParseMeta> parse_meta_;
  OntologyRevision revision_;
  std::optional<OntologyLimits> limits_;
};

}  // namespace trelvanic_core
