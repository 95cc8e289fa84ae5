// Change tracking: `OntologyRevision` (a 64-bit change counter whose
// overflow flag sticks), `DirtySet` (told axioms added and removed since the
// last clear) and the entity signatures of axioms, which incremental engines
// use to reseed exactly what changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <absl/container/flat_hash_set.h>

#include "core/axiom.h"
#include "core/ids.h"

namespace trelvanic_core {

class AxiomStore;

struct OntologyRevision {
  uint64_t counter = 0;
  bool overflowed = false;

  // Adds one; at the largest value keeps the counter and sets `overflowed`.
  void bump();
  // "OntologyRevision { counter: 5, overflowed: false }"
  [[nodiscard]] std::string debug_text() const;

  friend bool operator==(const OntologyRevision&, const OntologyRevision&) = default;
};

class DirtySet {
 public:
  // Records a told addition once (first-addition order).
  void record_added(AxiomId id);
  // Records a removal once and sets `has_removals` (also for a repeat).
  void record_removed(AxiomId id);
  void clear();

  [[nodiscard]] const std::vector<AxiomId>& added() const { return added_; }
  [[nodiscard]] const std::vector<AxiomId>& removed() const { return removed_; }
  [[nodiscard]] bool is_added(AxiomId id) const { return test(added_bits_, id); }
  [[nodiscard]] bool is_removed(AxiomId id) const { return test(removed_bits_, id); }
  [[nodiscard]] bool has_removals() const { return has_removals_; }
  [[nodiscard]] bool empty() const { return added_.empty() && removed_.empty(); }

 private:
  // Axiom ids are dense, so membership is one bit per id (64 ids a word):
  // recording an addition costs a bit test, not a hash-set insert.
  using Bits = std::vector<uint64_t>;
  static bool test(const Bits& bits, AxiomId id) {
    const size_t word = id.value >> 6;
    return word < bits.size() && ((bits[word] >> (id.value & 63)) & 1) != 0;
  }
  // Sets the bit of `id`; returns whether it was clear.
  static bool set(Bits& bits, AxiomId id);

  std::vector<AxiomId> added_;
  Bits added_bits_;
  std::vector<AxiomId> removed_;
  Bits removed_bits_;
  bool has_removals_ = false;
};

// The entities an axiom mentions (a literal's datatype is text, not an entity).
[[nodiscard]] absl::flat_hash_set<EntityId> axiom_signature(const AxiomView& axiom);

// The entities of the dirty axioms: added ones that are still live, and
// removed ones read directly from the store (removed entries stay there).
[[nodiscard]] absl::flat_hash_set<EntityId> dirty_signatures(const DirtySet& dirty, const AxiomStore& store);

}  // namespace trelvanic_core
