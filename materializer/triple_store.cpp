#include "materializer/triple_store.h"

namespace trelvanic_materializer {

std::size_t TripleStore::Hash::operator()(const Triple& t) const {
  // Two multiply-xorshift rounds over the three ids: cheap and well mixed.
  std::uint64_t h = (std::uint64_t{t.s.value} << 32 | t.p.value) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h += std::uint64_t{t.o.value} * 0xC2B2AE3D27D4EB4Full;
  h ^= h >> 32;
  h *= 0x165667B19E3779F9ull;
  h ^= h >> 29;
  return static_cast<std::size_t>(h);
}

void TripleStore::push(std::vector<std::uint32_t>& heads, std::vector<std::uint32_t>& next, TermId t,
                       std::uint32_t i) {
  if (t.value >= heads.size()) heads.resize(std::max<std::size_t>(t.value + 1, heads.size() * 2), kNoTriple);
  next.push_back(heads[t.value]);
  heads[t.value] = i;
}

std::pair<std::uint32_t, bool> TripleStore::insert(const Triple& t, std::uint8_t flags) {
  auto i = static_cast<std::uint32_t>(triples_.size());
  auto [slot, fresh] = dedup_.try_emplace(t, i);
  if (!fresh) return {slot->second, false};
  triples_.push_back(t);
  flags_.push_back(flags);
  auto [a, fresh_a] = ps_.try_emplace(key(t.p, t.s), i);
  next_ps_.push_back(fresh_a ? kNoTriple : a->second);
  a->second = i;
  auto [b, fresh_b] = po_.try_emplace(key(t.p, t.o), i);
  next_po_.push_back(fresh_b ? kNoTriple : b->second);
  b->second = i;
  push(by_p_, next_p_, t.p, i);
  if (term_lists_) {
    push(by_s_, next_s_, t.s, i);
    push(by_o_, next_o_, t.o, i);
  }
  return {i, true};
}

void TripleStore::reserve(std::size_t triples) {
  if (triples <= triples_.size()) return;
  triples_.reserve(triples);
  flags_.reserve(triples);
  dedup_.reserve(triples);
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
    push(by_s_, next_s_, triples_[i].s, i);
    push(by_o_, next_o_, triples_[i].o, i);
  }
}

std::uint32_t TripleStore::find(const Triple& t) const {
  auto it = dedup_.find(t);
  return it == dedup_.end() ? kNoTriple : it->second;
}

TermId TripleStore::first_object(TermId p, TermId s) const {
  for (std::uint32_t i = head(ps_, key(p, s)); i != kNoTriple; i = next_ps_[i])
    if (!(flags_[i] & kDead)) return triples_[i].o;
  return TermId{};
}

}  // namespace trelvanic_materializer
