#include "el/rule_index.h"

#include <algorithm>

namespace trelvanic_el {

template <typename T>
void Csr<T>::build(uint32_t key_count, const std::vector<std::pair<uint32_t, T>>& pairs) {
  offsets_.assign(key_count + 1, 0);
  for (const auto& [k, v] : pairs) ++offsets_[k + 1];
  for (uint32_t k = 0; k < key_count; ++k) offsets_[k + 1] += offsets_[k];
  items_.resize(pairs.size());
  std::vector<uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
  for (const auto& [k, v] : pairs) items_[fill[k]++] = v;
}

RuleIndex::RuleIndex(const NormalForm& nf) {
  const uint32_t concepts = nf.concept_count;
  const uint32_t roles = nf.role_count;
  {
    std::vector<std::pair<uint32_t, SubEntry>> p;
    p.reserve(nf.inclusions.size());
    for (uint32_t i = 0; i < nf.inclusions.size(); ++i) {
      p.push_back({nf.inclusions[i].sub, {nf.inclusions[i].super, i}});
    }
    told_subs.build(concepts, p);
  }
  {
    std::vector<std::pair<uint32_t, ConjEntry>> p;
    p.reserve(nf.conjunctions.size() * 2);
    for (uint32_t i = 0; i < nf.conjunctions.size(); ++i) {
      const ConjunctionInclusion& c = nf.conjunctions[i];
      p.push_back({c.left, {c.right, c.super, i}});
      p.push_back({c.right, {c.left, c.super, i}});
    }
    // Sorted by (key, other) so a context can also search a key's list.
    std::sort(p.begin(), p.end(), [](const auto& x, const auto& y) {
      return x.first != y.first ? x.first < y.first : x.second.other < y.second.other;
    });
    conjunctions.build(concepts, p);
  }
  {
    std::vector<std::pair<uint32_t, ExEntry>> p;
    for (uint32_t i = 0; i < nf.existentials.size(); ++i) {
      const ExistentialRight& e = nf.existentials[i];
      p.push_back({e.sub, {e.role, e.filler, i}});
    }
    ex_right.build(concepts, p);
    p.clear();
    has_ex_left.assign(concepts, 0);
    for (uint32_t i = 0; i < nf.left_existentials.size(); ++i) {
      const ExistentialLeft& e = nf.left_existentials[i];
      p.push_back({e.filler, {e.role, e.super, i}});
      has_ex_left[e.filler] = 1;
    }
    ex_left.build(concepts, p);
  }
  {
    std::vector<std::pair<uint32_t, uint32_t>> p;
    for (uint32_t g = 0; g < nf.disjoint_groups.size(); ++g) {
      const DisjointGroup& d = nf.disjoint_groups[g];
      for (uint32_t k = 0; k < d.count; ++k) p.push_back({nf.disjoint_members[d.first + k], g});
    }
    disjoint.build(concepts, p);
  }
  {
    std::vector<std::vector<uint32_t>> by_first(roles), by_second(roles);
    for (uint32_t i = 0; i < nf.chains.size(); ++i) {
      by_first[nf.chains[i].first].push_back(i);
      by_second[nf.chains[i].second].push_back(i);
    }
    std::vector<std::pair<uint32_t, ChainEntry>> left, right;
    keeps_succs.assign(roles, 0);
    for (uint32_t r = 0; r < roles; ++r) {
      for (uint32_t t : nf.roles.supers(r)) {
        for (uint32_t i : by_first[t]) left.push_back({r, {nf.chains[i].second, nf.chains[i].super, i}});
        for (uint32_t i : by_second[t]) {
          right.push_back({r, {nf.chains[i].first, nf.chains[i].super, i}});
          keeps_succs[r] = 1;
        }
      }
    }
    left_chains.build(roles, left);
    right_chains.build(roles, right);
  }
}

template class Csr<SubEntry>;
template class Csr<ConjEntry>;
template class Csr<ExEntry>;
template class Csr<uint32_t>;
template class Csr<ChainEntry>;

}  // namespace trelvanic_el
