#include "materializer/equality.h"

namespace trelvanic_materializer {

void Equality::grow(std::uint32_t id) const {
  if (id < parent_.size()) return;
  std::size_t old = parent_.size();
  parent_.resize(std::max<std::size_t>(id + 1, old * 2));
  for (std::size_t i = old; i < parent_.size(); ++i) parent_[i] = static_cast<std::uint32_t>(i);
}

TermId Equality::find_slow(TermId t) const {
  std::uint32_t x = t.value;
  while (parent_[x] != x) {
    parent_[x] = parent_[parent_[x]];
    x = parent_[x];
  }
  return TermId{x};
}

std::pair<TermId, TermId> Equality::unite(TermId a, TermId b) {
  TermId ra = find(a), rb = find(b);
  if (ra == rb) return {ra, ra};
  grow(std::max(ra.value, rb.value));
  if (members_.size() < parent_.size()) members_.resize(parent_.size());
  auto size_of = [&](TermId r) { return members_[r.value].empty() ? std::size_t{1} : members_[r.value].size(); };
  TermId rep = ra, other = rb;
  if (size_of(rb) > size_of(ra) || (size_of(rb) == size_of(ra) && rb < ra)) std::swap(rep, other);
  parent_[other.value] = rep.value;
  auto& into = members_[rep.value];
  if (into.empty()) {
    into.push_back(rep);
    classes_.push_back(rep);
  }
  auto& from = members_[other.value];
  if (from.empty()) {
    into.push_back(other);
  } else {
    into.insert(into.end(), from.begin(), from.end());
    from.clear();
    from.shrink_to_fit();
  }
  ++merges_;
  return {rep, other};
}

}  // namespace trelvanic_materializer
