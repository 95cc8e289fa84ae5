// `DlStore`: the interned class expressions, data expressions and DL axioms
// of one ontology.
//
//   DlStore dl;
//   CeId a = dl.intern_ce(ClassExpr::atomic(cls));
//   CeId r = dl.intern_ce(ClassExpr::some(RoleExpr::atomic(p), a));
//   dl.push_axiom(DlAxiom::sub_class_of(a, r));
//   for (size_t i = 0; i < dl.axiom_count(); ++i) dl.axiom(i) ...
//
// Expressions are hash-consed without canonicalisation: interning returns the
// lowest id holding a structurally equal expression, else appends one (an
// exact-match index from content fingerprint to every id with it, confirmed
// by equality). `append_ce`/`append_de` store without interning, for snapshot
// readers whose lists may hold equal elements. Axioms are appended as given.
//
// Layout: one 20-byte record per expression or axiom, all lists in one flat
// 32-bit array per family, texts stored once in a text pool. Views returned by
// `ce`, `de` and `axiom` are valid until the next change of the store.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <absl/functional/function_ref.h>

#include "core/dl_expr.h"
#include "core/error.h"
#include "core/hash_chain.h"
#include "core/limits.h"
#include "core/text_pool.h"

namespace trelvanic_core {

class DlStore {
 public:
  // Source entity to target entity; none when the entity has no counterpart.
  using EntityMap = absl::FunctionRef<std::optional<EntityId>(EntityId)>;

  CeId intern_ce(const ClassExpr& e);
  DeId intern_de(const DataExpr& e);
  // The lowest id of an equal stored expression, without storing anything.
  [[nodiscard]] std::optional<CeId> find_ce(const ClassExpr& e) const;
  // Appends without looking for an equal expression (snapshot reading).
  CeId append_ce(const ClassExpr& e);
  DeId append_de(const DataExpr& e);
  void push_axiom(const DlAxiom& a);
  // Room for `n` class expressions without regrowth (a loader that knows
  // about how many it will intern spares the index its rehashing).
  void reserve_ces(size_t n);
  // Starts loading the index slot an intern_ce(e) reads first, so that a
  // caller about to intern several expressions overlaps their cache misses.
  void prefetch_ce(const ClassExpr& e) const;

  [[nodiscard]] size_t ce_count() const { return ces_.records.size(); }
  [[nodiscard]] size_t de_count() const { return des_.records.size(); }
  [[nodiscard]] size_t axiom_count() const { return axioms_.records.size(); }
  [[nodiscard]] bool has_ce(CeId id) const { return id.value < ce_count(); }
  [[nodiscard]] bool has_de(DeId id) const { return id.value < de_count(); }
  // Unchecked reads: the id must be below the count.
  [[nodiscard]] ClassExprView ce(CeId id) const;
  [[nodiscard]] DataExprView de(DeId id) const;
  [[nodiscard]] DlAxiomView axiom(size_t index) const;

  // "data literal exceeds maximum size of {} bytes" (InvalidAxiom) for the
  // first Literal whose lexical form is longer than `max_literal_bytes`.
  [[nodiscard]] Result<void> validate_with_limits(const OntologyLimits& limits) const;

  // Every CeId/DeId inside the store's expressions and axioms names an
  // element, and no expression reaches itself; else InvalidAxiom naming the
  // first dangling id or the cycle.
  [[nodiscard]] Result<void> check_references() const;

  // Appends a translation of every axiom of `source`, in order, after the
  // axioms already here. Expressions the axioms reach are rebuilt children
  // first with entities translated by `map` and interned here (so equal ones
  // share ids). Fails with InvalidAxiom, leaving this store unchanged, when
  // the source holds a dangling id or a cyclic expression, or `map` has no
  // answer for an entity.
  [[nodiscard]] Result<void> import_axioms_from(const DlStore& source, EntityMap map);

  [[nodiscard]] size_t memory_bytes() const;

 private:
  struct Record {
    uint8_t kind;
    uint8_t flags;
    std::array<uint32_t, 3> slot;
    uint32_t offset;  // first list value in the family's list pool
  };
  struct Family {
    std::vector<Record> records;
    std::vector<uint32_t> lists;
    HashChainIndex index;  // content fingerprint -> ids (expressions only)
  };

  template <class Value>
  static Record store_node(Family& f, const Value& v, std::span<const FieldSpec> specs, TextPool* texts);
  // The id of the node of `f` that `equal` confirms equal to `v`, else of
  // `v` stored there.
  template <class Value, class Equal>
  static uint32_t intern_node(Family& f, const Value& v, std::span<const FieldSpec> specs, TextPool* texts,
                              Equal&& equal);

  Family ces_;
  Family des_;
  Family axioms_;
  TextPool texts_;  // facet IRIs and values, literal lexical forms
};

}  // namespace trelvanic_core
