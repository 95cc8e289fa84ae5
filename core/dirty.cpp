#include "core/dirty.h"

#include <algorithm>
#include <limits>

#include <fmt/format.h>

#include "core/axiom_store.h"

namespace trelvanic_core {

void OntologyRevision::bump() {
  if (counter < std::numeric_limits<uint64_t>::max())
    ++counter;
  else
    overflowed = true;
}

std::string OntologyRevision::debug_text() const {
  return fmt::format("OntologyRevision {{ counter: {}, overflowed: {} }}", counter, overflowed);
}

bool DirtySet::set(Bits& bits, AxiomId id) {
  const size_t word = id.value >> 6;
  // Grow geometrically: ids arrive in increasing order during a load.
  if (word >= bits.size()) bits.resize(std::max(word + 1, bits.size() * 2), 0);
  const uint64_t mask = uint64_t{1} << (id.value & 63);
  if ((bits[word] & mask) != 0) return false;
  bits[word] |= mask;
  return true;
}

void DirtySet::record_added(AxiomId id) {
  if (set(added_bits_, id)) added_.push_back(id);
}

void DirtySet::record_removed(AxiomId id) {
  if (set(removed_bits_, id)) removed_.push_back(id);
  has_removals_ = true;
}

void DirtySet::clear() {
  added_.clear();
  added_bits_.clear();
  removed_.clear();
  removed_bits_.clear();
  has_removals_ = false;
}

absl::flat_hash_set<EntityId> axiom_signature(const AxiomView& axiom) {
  absl::flat_hash_set<EntityId> out;
  for_each_axiom_entity(axiom, [&](EntityId e) { out.insert(e); });
  return out;
}

absl::flat_hash_set<EntityId> dirty_signatures(const DirtySet& dirty, const AxiomStore& store) {
  absl::flat_hash_set<EntityId> out;
  auto add = [&](const AxiomView& a) { for_each_axiom_entity(a, [&](EntityId e) { out.insert(e); }); };
  for (AxiomId id : dirty.added())
    if (auto a = store.get(id)) add(*a);
  for (AxiomId id : dirty.removed())
    if (id.value < store.size()) add(store.view(id));
  return out;
}

}  // namespace trelvanic_core
