// `AxiomStore`: every told and inferred `Axiom` of one ontology, in the order
// first stored, named by dense `AxiomId`s from 0.
//
// A push brings the axiom into canonical form (sorted n-ary operands, the
// smaller id of an inverse pair first), validates it with the default limits
// and returns the id of the equal live axiom when there is one (exact-match
// index: content fingerprint -> ids, confirmed by equality), else appends it.
// Nothing is ever deleted: `remove` tombstones an id. Ids first stored by an
// inferred push carry an inferred mark until a told push of the same axiom;
// `strip_inferred` tombstones every live inferred axiom.
//
// Layout: one 16-byte record per axiom (form, flags, three 32-bit fields),
// operand lists in one flat id array, literal texts stored once in a text
// arena. `get` and `view` hand out `AxiomView`s into this storage; a view is
// valid until the next push.
#pragma once

#include <cstdint>
#include <vector>

#include "core/axiom.h"
#include "core/chunked_vector.h"
#include "core/entity.h"
#include "core/error.h"
#include "core/hash_chain.h"
#include "core/ids.h"
#include "core/text_arena.h"

namespace trelvanic_core {

class AxiomStore {
 public:
  // The id of the live axiom equal to the canonical form of `axiom`, or of
  // the newly appended one. A told push clears the inferred mark of an
  // existing axiom; an inferred push of an existing axiom changes nothing.
  [[nodiscard]] Result<AxiomId> push_with_provenance(Axiom axiom, const EntityRegistry& registry,
                                                     bool inferred);

  // The two halves of a push, for callers that push many axioms and start
  // the memory loads of later ones early: `prepare` brings the axiom into
  // canonical form and returns its fingerprint, `prefetch` starts loading
  // what the push of that fingerprint reads, and `push_prepared` is
  // push_with_provenance of an axiom `prepare` has seen.
  [[nodiscard]] static uint64_t prepare(Axiom& axiom);
  void prefetch(uint64_t fingerprint) const { index_.prefetch(fingerprint); }
  [[nodiscard]] Result<AxiomId> push_prepared(const Axiom& axiom, uint64_t fingerprint,
                                              const EntityRegistry& registry, bool inferred);

  // Room for `n` axioms without regrowth of the records and the dedup table.
  void reserve(size_t n);

  // "removed AxiomId: {}" before "unknown AxiomId: {}".
  [[nodiscard]] Result<AxiomView> get(AxiomId id) const;
  [[nodiscard]] Result<void> remove(AxiomId id);
  // Tombstones every live inferred axiom; returns their ids in ascending order.
  std::vector<AxiomId> strip_inferred();

  // Every id ever handed out (live or removed) is below size().
  [[nodiscard]] size_t size() const { return records_.size(); }
  [[nodiscard]] size_t removed_count() const { return removed_count_; }
  [[nodiscard]] size_t live_count() const { return records_.size() - removed_count_; }
  [[nodiscard]] bool is_removed(AxiomId id) const { return (records_[id.value].flags & kRemoved) != 0; }
  [[nodiscard]] bool is_inferred(AxiomId id) const { return (records_[id.value].flags & kInferred) != 0; }
  // Unchecked read of any id below size(), removed ones included.
  [[nodiscard]] AxiomView view(AxiomId id) const;
  [[nodiscard]] AxiomKind kind(AxiomId id) const { return records_[id.value].kind; }

  // Calls f(AxiomId, AxiomView) for every live axiom in id order.
  template <class F>
  void for_each_live(F&& f) const {
    for (uint32_t i = 0; i < records_.size(); ++i)
      if ((records_[i].flags & kRemoved) == 0) f(AxiomId(i), view(AxiomId(i)));
  }

  [[nodiscard]] size_t memory_bytes() const;

 private:
  static constexpr uint8_t kRemoved = 1;
  static constexpr uint8_t kInferred = 2;

  // n-ary forms: a = offset into operands_, b = count. Literal forms:
  // a, b = individual, property; c = literal index. Others: a, b, c = ids,
  // unused fields zero.
  struct Record {
    AxiomKind kind;
    uint8_t flags;
    uint32_t a, b, c;
  };

  uint32_t intern_literal(LiteralView v);
  void tombstone(AxiomId id);
  [[nodiscard]] LiteralView literal(uint32_t index) const {
    const auto& [lex, dt] = literals_[index];
    return {texts_.view(lex), texts_.view(dt)};
  }

  ChunkedVector<Record> records_;  // shared chunk by chunk between copies
  std::vector<EntityId> operands_;
  TextArena texts_;
  std::vector<std::pair<TextRef, TextRef>> literals_;
  HashChainIndex literal_index_;
  HashChainIndex index_;                // fingerprint -> live ids
  std::vector<AxiomId> inferred_candidates_;  // ids appended with an inferred mark
  size_t removed_count_ = 0;
};

}  // namespace trelvanic_core
