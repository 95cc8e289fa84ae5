#include "materializer/triple_store.h"

namespace trelvanic_materializer {

std::uint64_t TripleStore::hash_triple(const Triple& t) {
  // Two multiply-xorshift rounds over the three ids: cheap and well mixed.
  std::uint64_t h = (std::uint64_t{t.subject.value} << 32 | t.predicate.value) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h += std::uint64_t{t.object.value} * 0xC2B2AE3D27D4EB4Full;
  h ^= h >> 32;
  h *= 0x165667B19E3779F9ull;
  h ^= h >> 29;
  return h;
}

void TripleStore::push(std::vector<std::uint32_t>& heads, std::vector<std::uint32_t>& next, TermId t,
                       std::uint32_t i) {
  if (t.value >= heads.size()) heads.resize(std::max<std::size_t>(t.value + 1, heads.size() * 2), kNoTriple);
  next.push_back(heads[t.value]);
  heads[t.value] = i;
}

namespace {

// Refills a list-head table from its old slots: the key of each head is
// read back from its triple.
template <typename KeyHash>
auto from_old_heads(KeyHash&& key_hash) {
  return [key_hash](auto&& put, const auto& old) {
    for (const IndexTable::Slot& s : old)
      if (s.index != IndexTable::kEmpty) put(key_hash(s.index), s.index);
  };
}

}  // namespace

std::pair<std::uint32_t, bool> TripleStore::insert(const Triple& t, std::uint8_t flags) {
  auto i = static_cast<std::uint32_t>(triples_.size());
  const std::uint64_t h = hash_triple(t);
  IndexTable::Slot& slot = dedup_.slot(h, [&](std::uint32_t j) { return triples_[j] == t; }, refill_dedup());
  if (slot.index != IndexTable::kEmpty) return {slot.index, false};
  dedup_.fill(slot, h, i);
  triples_.push_back(t);
  flags_.push_back(flags);
  link(ps_, next_ps_, hash_pair(t.predicate, t.subject), i, [&](std::uint32_t j) { return triples_[j].predicate == t.predicate && triples_[j].subject == t.subject; },
       [this](std::uint32_t j) { return hash_pair(triples_[j].predicate, triples_[j].subject); });
  link(po_, next_po_, hash_pair(t.predicate, t.object), i, [&](std::uint32_t j) { return triples_[j].predicate == t.predicate && triples_[j].object == t.object; },
       [this](std::uint32_t j) { return hash_pair(triples_[j].predicate, triples_[j].object); });
  push(by_p_, next_p_, t.predicate, i);
  if (term_lists_) {
    push(by_s_, next_s_, t.subject, i);
    push(by_o_, next_o_, t.object, i);
  }
  return {i, true};
}

template <typename Same, typename KeyHash>
void TripleStore::link(IndexTable& table, std::vector<std::uint32_t>& next, std::uint64_t h, std::uint32_t i,
                       Same&& same, KeyHash&& key_hash) {
  IndexTable::Slot& slot = table.slot(h, same, from_old_heads(key_hash));
  if (slot.index == IndexTable::kEmpty) {
    next.push_back(kNoTriple);
    table.fill(slot, h, i);
  } else {
    next.push_back(slot.index);
    slot.index = i;
  }
}

void TripleStore::reserve(std::size_t triples) {
  if (triples <= triples_.size()) return;
  triples_.reserve(triples);
  flags_.reserve(triples);
  dedup_.reserve(triples, refill_dedup());
  next_ps_.reserve(triples);
  next_po_.reserve(triples);
  next_p_.reserve(triples);
}

void TripleStore::enable_term_lists() {
  if (term_lists_) return;
  term_lists_ = true;
  next_s_.reserve(triples_.size());
  next_o_.reserve(triples_.size());
  for (std::uint32_t i = 0; i < triples_.size(); ++i) {
    push(by_s_, next_s_, triples_[i].subject, i);
    push(by_o_, next_o_, triples_[i].object, i);
  }
}

std::uint32_t TripleStore::find(const Triple& t) const {
  return dedup_.find(hash_triple(t), [&](std::uint32_t j) { return triples_[j] == t; });
}

TermId TripleStore::first_object(TermId p, TermId s) const {
  for (std::uint32_t i = head_ps(p, s); i != kNoTriple; i = next_ps_[i])
    if (!(flags_[i] & kDead)) return triples_[i].object;
  return TermId{};
}

}  // namespace trelvanic_materializer
