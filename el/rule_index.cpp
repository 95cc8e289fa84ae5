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

namespace {

// Fills items from (key, item) pairs grouped by key (stable), writing each
// key's start into field `start` of its offsets row.
template <typename T>
void fill(std::vector<T>& items, std::vector<std::pair<uint32_t, T>>& pairs, size_t rows,
          auto&& start) {
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  items.clear();
  items.reserve(pairs.size());
  size_t k = 0;
  for (uint32_t row = 0; row < rows; ++row) {
    start(row) = static_cast<uint32_t>(items.size());
    for (; k < pairs.size() && pairs[k].first == row; ++k) items.push_back(pairs[k].second);
  }
}

}  // namespace

RuleIndex::RuleIndex(const NormalForm& nf) {
  const uint32_t concepts = nf.concept_count;
  const uint32_t roles = nf.role_count;
  offsets_.assign(concepts + 1, Row{});
  const size_t rows = concepts + 1;
  {
    std::vector<std::pair<uint32_t, SubEntry>> p;
    p.reserve(nf.inclusions.size());
    for (uint32_t i = 0; i < nf.inclusions.size(); ++i) {
      p.push_back({nf.inclusions[i].sub, {nf.inclusions[i].super, i}});
    }
    fill(told_subs_, p, rows, [&](uint32_t r) -> uint32_t& { return offsets_[r].subs; });
  }
  {
    std::vector<std::pair<uint32_t, ConjEntry>> p;
    p.reserve(nf.conjunctions.size() * 2);
    for (uint32_t i = 0; i < nf.conjunctions.size(); ++i) {
      const ConjunctionInclusion& c = nf.conjunctions[i];
      p.push_back({c.left, {c.right, c.super, i}});
      p.push_back({c.right, {c.left, c.super, i}});
    }
    // Sorted by the other conjunct within a key, so a context can also
    // search a key's list.
    std::sort(p.begin(), p.end(), [](const auto& x, const auto& y) { return x.second.other < y.second.other; });
    fill(conjunctions_, p, rows, [&](uint32_t r) -> uint32_t& { return offsets_[r].conjs; });
  }
  {
    std::vector<std::pair<uint32_t, ExEntry>> p;
    for (uint32_t i = 0; i < nf.existentials.size(); ++i) {
      const ExistentialRight& e = nf.existentials[i];
      p.push_back({e.sub, {e.role, e.filler, i}});
    }
    fill(ex_right_, p, rows, [&](uint32_t r) -> uint32_t& { return offsets_[r].ex_right; });
    p.clear();
    for (uint32_t i = 0; i < nf.left_existentials.size(); ++i) {
      const ExistentialLeft& e = nf.left_existentials[i];
      p.push_back({e.filler, {e.role, e.super, i}});
    }
    fill(ex_left_, p, rows, [&](uint32_t r) -> uint32_t& { return offsets_[r].ex_left; });
  }
  {
    std::vector<std::pair<uint32_t, uint32_t>> p;
    for (uint32_t g = 0; g < nf.disjoint_groups.size(); ++g) {
      const DisjointGroup& d = nf.disjoint_groups[g];
      for (uint32_t k = 0; k < d.count; ++k) p.push_back({nf.disjoint_members[d.first + k], g});
    }
    fill(disjoint_, p, rows, [&](uint32_t r) -> uint32_t& { return offsets_[r].disjoint; });
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

template class Csr<ChainEntry>;

}  // namespace trelvanic_el
