// The JSON form of one told axiom (`SnapshotAxiom`): the axiom with every
// entity named by its IRI text, externally tagged by the form name. Struct
// forms hold named fields ({"SubClassOf": {"subclass": iri, "superclass":
// iri}}), the list forms an array of IRIs, the seven property
// characteristics one IRI. Readers also take the array shape of a struct
// form ([iri, iri]) and refuse unknown fields.
//
// Conversions: `axiom_to_snapshot` (registry ids to IRI texts) and
// `snapshot_axiom_to_axiom` (IRIs looked up, never registered). The
// snapshot document reads its "axioms" array into a `SnapshotAxiomList`,
// which keeps IRI texts as views into the document wherever no escape had
// to be decoded, so a large snapshot costs no string per IRI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/axiom.h"
#include "core/error.h"
#include "core/ontology.h"
#include "json/reader.h"
#include "json/writer.h"

namespace trelvanic_core {

// One told axiom with each entity named by its IRI text: the fields of the
// form in declared order, or the operand list of the five list forms; the
// literal of the two data forms in `value`.
struct SnapshotAxiom {
  AxiomKind kind = AxiomKind::SubClassOf;
  std::vector<std::string> iris;
  DataLiteral value;

  friend bool operator==(const SnapshotAxiom&, const SnapshotAxiom&) = default;
};

// The IRI text of an entity: UnknownEntity past the registry, InvalidIri
// "unknown IriId: {}" for a record whose IRI the pool lacks.
[[nodiscard]] Result<std::string> entity_iri(const Ontology& ontology, EntityId id);
// The entity an axiom object names: `try_lookup_entity` ("%23" read as "#",
// IRI validated); InvalidAxiom "unknown entity IRI in axiom: {}" (the IRI as
// written) when none is registered.
[[nodiscard]] Result<EntityId> resolve_entity(const Ontology& ontology, std::string_view iri);

// Operands in stored order, nothing sorted or removed.
[[nodiscard]] Result<SnapshotAxiom> axiom_to_snapshot(const AxiomView& axiom, const Ontology& ontology);
// Names resolved in field (or list) order; the first failure is returned.
// Registers nothing and examines no kinds.
[[nodiscard]] Result<Axiom> snapshot_axiom_to_axiom(const SnapshotAxiom& axiom, const Ontology& ontology);

// A told axiom form with borrowed texts (the writer's and reader's working
// shape): `iris` as in `SnapshotAxiom`, `value` for the two data forms.
struct SnapshotAxiomView {
  AxiomKind kind = AxiomKind::SubClassOf;
  std::span<const std::string_view> iris;
  LiteralView value;
};

// Writes {"Form": ...} at the writer's position (struct forms as objects).
void write_snapshot_axiom(trelvanic_json::Writer& w, const SnapshotAxiomView& axiom);

// Axiom objects as read from one document; texts live in the document or in
// `owned`, so the list must not outlive the document text.
class SnapshotAxiomList {
 public:
  explicit SnapshotAxiomList(std::string_view document) : document_(document) {}

  [[nodiscard]] size_t size() const { return entries_.size(); }
  // All IRIs of all axioms in order; axiom i's start at `first_iri(i)`.
  [[nodiscard]] std::span<const std::string_view> all_iris() const { return iris_; }
  [[nodiscard]] size_t first_iri(size_t i) const { return entries_[i].first; }
  [[nodiscard]] SnapshotAxiomView get(size_t i) const {
    const Entry& e = entries_[i];
    return {e.kind, std::span<const std::string_view>(iris_).subspan(e.first, e.count),
            e.has_literal ? literals_[e.literal] : LiteralView{}};
  }
  // Reads one axiom form at the reader's position and appends it.
  [[nodiscard]] trelvanic_json::Result<void> read_one(trelvanic_json::Reader& r);

  // A text read by the reader, kept: the same view when it lies inside the
  // document, else a stable copy.
  std::string_view keep(std::string_view text);

 private:
  struct Entry {
    AxiomKind kind;
    bool has_literal;
    uint32_t count;
    size_t first;
    size_t literal;
  };
  std::string_view document_;
  std::vector<Entry> entries_;
  std::vector<std::string_view> iris_;
  std::vector<LiteralView> literals_;
  std::deque<std::string> owned_;
};

// The exact IRI texts of the entities a snapshot registered, for resolving
// axiom IRIs with one hash lookup. A text found here is one that was
// validated and registered verbatim, so when it holds no "%23" and fits the
// lookup's length limit `resolve_entity` would give the same entity.
//
// An open-addressing table of (hash, text position, length, id) over the
// texts copied side by side. Snapshots name entities in no particular order,
// so every lookup is a random access into a large table and a large text
// block; `prefetch_slot` and `prefetch_text` let a caller start those loads
// for lookups a few steps ahead.
class SnapshotEntityNames {
 public:
  // Sizes the table for `count` names of `bytes` bytes in all. Without a
  // reserve (or past 4 GiB of text) nothing is added and nothing is found.
  void reserve(size_t count, size_t bytes);
  void add(std::string_view iri, EntityId id);
  // The hash the lookups below take with their text.
  [[nodiscard]] static uint64_t hash(std::string_view iri);
  // The entity of `iri` when the text alone decides it; none otherwise.
  [[nodiscard]] std::optional<EntityId> find(std::string_view iri) const { return find(iri, hash(iri)); }
  [[nodiscard]] std::optional<EntityId> find(std::string_view iri, uint64_t hash) const;
  void prefetch_slot(uint64_t hash) const;
  void prefetch_text(uint64_t hash) const;

 private:
  struct Slot {
    uint64_t hash;
    uint32_t offset;
    uint32_t length;
    uint32_t id_plus_one;  // 0: empty
  };
  [[nodiscard]] bool usable(std::string_view iri) const;

  std::vector<Slot> slots_;
  uint64_t mask_ = 0;
  std::string texts_;
};

// Resolves the IRIs of a form with `resolve_entity` in order (through
// `names` first when given, with the texts' `SnapshotEntityNames::hash`
// values in `hashes` when the caller has them) and returns the axiom as a
// view whose ids live in `ids` (reused between calls).
[[nodiscard]] Result<AxiomView> resolve_snapshot_axiom(const SnapshotAxiomView& axiom, const Ontology& ontology,
                                                       std::vector<EntityId>& ids,
                                                       const SnapshotEntityNames* names = nullptr,
                                                       const uint64_t* hashes = nullptr);

}  // namespace trelvanic_core
