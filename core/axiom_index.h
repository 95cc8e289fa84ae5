// `AxiomIndex`: per-entity lookups over the live told and inferred axioms of
// one ontology (and, on request, the ABox axioms of its DL store), so that no
// engine scans the axiom store.
//
// Keep it in step with the store: `insert` after every push (re-inserting is
// harmless: only what is missing is added), `remove` after tombstoning a
// non-n-ary axiom, `rebuild_from_store` after removing an n-ary axiom or
// stripping inferred ones. `index_dl_abox` adds the DL store's class
// assertions over named classes, assertions over named properties and the
// same/different individual axioms; a rebuild given the DL store re-adds them
// when they had been indexed, so DL-store assertions are never lost.
//
// Rows of the dense adjacencies are indexed by entity id and kept sorted;
// disjointness and difference are kept as operand groups (see
// `SymmetricGroups`), which answer the same questions as pairwise links.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>

#include "core/axiom.h"
#include "core/characteristic.h"
#include "core/chunked_vector.h"
#include "core/entity_set.h"
#include "core/ids.h"
#include "memory/prefetch.h"

namespace trelvanic_core {

class AxiomStore;
class DlStore;

// Rows indexed by entity id, dense: a row is one chunk and one element
// access (prefetched ahead by callers filling many), rows past the end read
// as absent. Copies share the rows chunk by chunk (see `ChunkedVector`), so a
// copy that then changes a few rows copies only their chunks.
template <class Row>
class EntityRows {
 public:
  [[nodiscard]] const Row* find(uint32_t r) const { return r < rows_.size() ? &rows_[r] : nullptr; }
  // For changing the row: its chunk is made private.
  [[nodiscard]] Row* find(uint32_t r) { return r < rows_.size() ? &rows_[r] : nullptr; }
  Row& get_or_make(uint32_t r) {
    if (r >= rows_.size()) rows_.resize(size_t{r} + 1);
    return rows_[r];
  }
  [[nodiscard]] size_t size() const { return rows_.size(); }
  void reserve(size_t rows) { rows_.reserve(rows); }
  // Starts loading the header of row `r`.
  void prefetch(uint32_t r) const {
    if (r < rows_.size()) trelvanic_memory::prefetch_line(&rows_[r]);
  }

 private:
  ChunkedVector<Row> rows_;
};

// Rows of entity ids indexed by entity id; each row sorted, without repeats.
class DenseAdjacency {
 public:
  // Empty for a row beyond the end.
  [[nodiscard]] std::span<const EntityId> row(EntityId r) const {
    const Row* row = rows_.find(r.value);
    if (row == nullptr) return {};
    return {row->data(), row->size()};
  }
  void push_unique(EntityId r, EntityId value);
  void erase(EntityId r, EntityId value);
  [[nodiscard]] size_t row_count() const { return rows_.size(); }
  void reserve(size_t rows) { rows_.reserve(rows); }
  // Starts loading the row header of `r` (see AxiomIndex::prefetch).
  void prefetch(EntityId r) const { rows_.prefetch(r.value); }

 private:
  // Most rows hold a few ids: up to four live inside the row, off the heap
  // (four take the room the row's heap pointer and capacity need anyway).
  using Row = absl::InlinedVector<EntityId, 4>;
  EntityRows<Row> rows_;
};

// The same rows for keys that are few and scattered among the entity ids
// (properties): held in a hash map, so an ontology whose property ids come
// after all its classes does not pay a row for every class.
class SparseAdjacency {
 public:
  [[nodiscard]] std::span<const EntityId> row(EntityId r) const {
    auto it = rows_.find(r);
    if (it == rows_.end()) return {};
    return {it->second.data(), it->second.size()};
  }
  void push_unique(EntityId r, EntityId value);
  void erase(EntityId r, EntityId value);
  void prefetch(EntityId r) const { rows_.prefetch(r); }

 private:
  using Row = absl::InlinedVector<EntityId, 4>;
  absl::flat_hash_map<EntityId, Row> rows_;
};

// Disjoint sets of entities; the representative of a set is its smallest id.
// Each entity points at its set's record; merging moves the members of the
// smaller sets into the largest one, so building a cluster of n members by
// pairwise merges costs O(n log n), not O(n^2).
class EquivalenceClusters {
 public:
  void merge(std::span<const EntityId> ids);
  // The members (two or more, `id` among them), or nullptr.
  [[nodiscard]] const EntitySet* get(EntityId id) const;
  // The smallest member of the set of `id`; `id` itself when in no set.
  [[nodiscard]] EntityId representative(EntityId id) const;
  // Calls f(representative, members) for every set.
  template <class F>
  void for_each_cluster(F&& f) const {
    for (const Cluster& c : clusters_)
      if (!c.members.empty()) f(c.representative, c.members);
  }

 private:
  struct Cluster {
    EntityId representative;
    EntitySet members;
  };
  absl::flat_hash_map<EntityId, uint32_t> cluster_of_;
  std::vector<Cluster> clusters_;  // emptied when merged into another
};

// A symmetric relation given by groups (the operand lists of DisjointClasses
// or DifferentIndividuals axioms): a and b are linked when one group holds
// them at two different positions (so a repeated operand links an entity to
// itself). Stored as the groups themselves, not as pairs, so an axiom with
// n operands costs O(n) memory instead of O(n^2).
class SymmetricGroups {
 public:
  // Adds the group of the axiom with key `source` once; later calls with the
  // same key change nothing.
  void add_group(uint64_t source, std::span<const EntityId> ops);
  [[nodiscard]] bool linked(EntityId a, EntityId b) const;
  // Every entity linked to `a`, or none when `a` is in no group.
  [[nodiscard]] std::optional<EntitySet> linked_to(EntityId a) const;
  [[nodiscard]] bool empty() const { return groups_.empty(); }

 private:
  std::vector<std::vector<EntityId>> groups_;                    // each sorted
  absl::flat_hash_map<EntityId, std::vector<uint32_t>> groups_of_;  // entity -> groups holding it
  absl::flat_hash_set<uint64_t> sources_;
};

// Key -> list of (first, second) pairs without repeats, in insertion order.
// Keys are entity ids: the lists are rows indexed by the key (as in
// DenseAdjacency), so an append costs one row access and no hashing.
class PairListMap {
 public:
  void append_unique(EntityId key, EntityId first, EntityId second);
  // Deletes the pair from the key's list; drops the key when its list is
  // then empty and `drop_empty_key` is set.
  void remove_pair(EntityId key, EntityId first, EntityId second, bool drop_empty_key);
  [[nodiscard]] std::span<const EntityPair> get(EntityId key) const {
    const List* list = rows_.find(key.value);
    if (list == nullptr) return {};
    return {list->data(), list->size()};
  }
  // Starts loading what append_unique(key, ...) reads first.
  void prefetch(EntityId key) const { rows_.prefetch(key.value); }
  [[nodiscard]] bool contains_key(EntityId key) const { return key.value < keys_.size() && keys_[key.value]; }
  void reserve(size_t keys) { rows_.reserve(keys); }

 private:
  // A list of up to this many pairs is searched directly for a repeat; the
  // pairs of longer lists are also kept in `present_`. Most keys have a
  // short list, so most appends touch no second table.
  static constexpr size_t kScanLength = 8;
  // Most keys have one or two pairs: those live inside the row, off the heap.
  using List = absl::InlinedVector<EntityPair, 2>;

  EntityRows<List> rows_;
  std::vector<bool> keys_;  // the keys present (a list emptied by removal may keep its key)
  // (key, first, second) of every pair of each list longer than kScanLength.
  absl::flat_hash_set<std::array<uint32_t, 3>> present_;
};

struct AxiomIndex {
  DenseAdjacency superclasses;     // SubClassOf(sub, sup): row sub holds sup
  DenseAdjacency subclasses;       // row sup holds sub
  SparseAdjacency superproperties;  // SubObjectPropertyOf(sub, sup): row sub holds sup
  SparseAdjacency subproperties;
  SparseAdjacency domains;  // ObjectPropertyDomain(p, c): row p holds c
  SparseAdjacency ranges;
  DenseAdjacency types;      // ClassAssertion(i, c): row i holds c
  DenseAdjacency instances;  // row c holds i
  PairListMap existentials;        // sub -> (property, filler)
  EquivalenceClusters equivalent_classes;
  EquivalenceClusters equivalent_properties;
  SymmetricGroups disjoint;
  // InverseObjectProperties(a, b): row a holds b and row b holds a. A
  // property may have several inverses (they are then equivalent), so every
  // stated pair is kept.
  SparseAdjacency inverses;
  PairListMap assertions_by_subject;  // s -> (property, object)
  PairListMap assertions_by_object;   // o -> (property, subject)
  EquivalenceClusters same_as;
  SymmetricGroups different;

  // Room for rows of `entities` entities and `axioms` axioms.
  void reserve(size_t entities, size_t axioms);

  void insert(AxiomId id, const AxiomView& axiom);
  // Starts loading the rows and table slots insert(id, axiom) reads: a
  // caller inserting many axioms prefetches a few ahead of the one it
  // inserts, so their cache misses overlap instead of following each other.
  void prefetch(const AxiomView& axiom) const;
  void remove(AxiomId id, const AxiomView& axiom);
  // Replaces the index by one over the live axioms of `store`; with `dl`
  // given, re-adds its ABox when `index_dl_abox` had been run before.
  void rebuild_from_store(const AxiomStore& store, const DlStore* dl = nullptr);
  void index_dl_abox(const DlStore& dl);

  // Axiom ids of one kind, no repeats, in insertion order.
  [[nodiscard]] std::span<const AxiomId> by_kind(AxiomKind kind) const {
    return by_kind_[static_cast<size_t>(kind)];
  }
  // The same keyed by the kind's name ("SubClassOf", ...); empty for an
  // unknown name.
  [[nodiscard]] std::span<const AxiomId> by_kind_name(std::string_view name) const {
    auto kind = axiom_kind_from_name(name);
    if (!kind) return {};
    return by_kind(*kind);
  }
  [[nodiscard]] bool dl_abox_indexed() const { return dl_abox_indexed_; }

  // Reads used by the ontology's accessors.
  [[nodiscard]] std::span<const EntityId> direct_superclasses(EntityId c) const { return superclasses.row(c); }
  [[nodiscard]] std::span<const EntityId> direct_superproperties(EntityId p) const { return superproperties.row(p); }
  [[nodiscard]] std::span<const EntityId> classes_of(EntityId i) const { return types.row(i); }
  [[nodiscard]] std::span<const EntityPair> existentials_of(EntityId c) const { return existentials.get(c); }
  [[nodiscard]] std::span<const EntityPair> object_assertions_of(EntityId i) const {
    return assertions_by_subject.get(i);
  }
  // Every property stated inverse to `p`, ascending.
  [[nodiscard]] std::span<const EntityId> inverses_of(EntityId p) const { return inverses.row(p); }
  // The smallest of them, or none. Callers that must see every inverse use
  // `inverses_of`.
  [[nodiscard]] std::optional<EntityId> inverse_of(EntityId p) const;
  [[nodiscard]] std::optional<EntitySet> disjoint_with(EntityId c) const { return disjoint.linked_to(c); }
  [[nodiscard]] std::optional<EntitySet> different_from(EntityId i) const { return different.linked_to(i); }
  [[nodiscard]] const EntitySet* equivalents_of(EntityId c) const { return equivalent_classes.get(c); }
  [[nodiscard]] const EntitySet* same_as_of(EntityId i) const { return same_as.get(i); }
  // The properties told to have a characteristic.
  [[nodiscard]] const EntitySet& characteristic(PropertyCharacteristic c) const {
    return characteristics_[static_cast<size_t>(c)];
  }

 private:
  std::array<EntitySet, kCharacteristicCount> characteristics_;
  std::array<std::vector<AxiomId>, kAxiomKindCount> by_kind_;
  std::vector<uint8_t> listed_;  // AxiomId -> 1 when in its by_kind list
  bool dl_abox_indexed_ = false;
};

}  // namespace trelvanic_core
