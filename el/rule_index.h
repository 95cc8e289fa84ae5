// RuleIndex: the normal forms of a NormalForm filed under what triggers them,
// so each rule finds its candidates with one lookup:
//   told_subs        A ⊑ B                by the subsumer A
//   conjunctions     A ⊓ X ⊑ B            by either conjunct, sorted by X
//   ex_right         A ⊑ ∃r.B             by the subsumer A
//   ex_left          ∃s.A ⊑ B             by the filler A
//   disjoint         groups holding A
//   left_chains[r]   chains t1 ∘ t2 ⊑ s with r ⊑* t1, as (t2, s)
//   right_chains[r]  chains t1 ∘ t2 ⊑ s with r ⊑* t2, as (t1, s)
// Lists are flat arrays with per-key offsets.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "el/normal_form.h"

namespace trelvanic_el {

template <typename T>
class Csr {
 public:
  std::span<const T> operator[](uint32_t key) const {
    if (key + 1 >= offsets_.size()) return {};
    return {items_.data() + offsets_[key], offsets_[key + 1] - offsets_[key]};
  }
  // Builds from (key, item) pairs; items keep their relative order per key.
  void build(uint32_t key_count, const std::vector<std::pair<uint32_t, T>>& pairs);

 private:
  std::vector<uint32_t> offsets_;
  std::vector<T> items_;
};

struct SubEntry {
  uint32_t super;
  uint32_t nf;  // index into NormalForm::inclusions
};
struct ConjEntry {
  uint32_t other;
  uint32_t super;
  uint32_t nf;  // index into NormalForm::conjunctions
};
struct ExEntry {
  uint32_t role;
  uint32_t node;  // filler (ex_right) or super (ex_left)
  uint32_t nf;       // index into existentials / left_existentials
};
struct ChainEntry {
  uint32_t other;  // t2 for left_chains, t1 for right_chains
  uint32_t super;
  uint32_t nf;  // index into NormalForm::chains
};

// Everything a new subsumer A triggers, found with one lookup.
struct Triggers {
  std::span<const SubEntry> told_subs;
  std::span<const ConjEntry> conjunctions;
  std::span<const ExEntry> ex_right;
  std::span<const ExEntry> ex_left;
  std::span<const uint32_t> disjoint;
};

class RuleIndex {
 public:
  explicit RuleIndex(const NormalForm& nf);

  // The five concept-keyed lists share one offsets row per concept, so a
  // subsumer's rules cost one cache miss to find, not five.
  Triggers triggers(uint32_t a) const {
    if (a + 1 >= offsets_.size()) return {};
    const Row& x = offsets_[a];
    const Row& y = offsets_[a + 1];
    return {{told_subs_.data() + x.subs, y.subs - x.subs},
            {conjunctions_.data() + x.conjs, y.conjs - x.conjs},
            {ex_right_.data() + x.ex_right, y.ex_right - x.ex_right},
            {ex_left_.data() + x.ex_left, y.ex_left - x.ex_left},
            {disjoint_.data() + x.disjoint, y.disjoint - x.disjoint}};
  }
  std::span<const ExEntry> ex_left(uint32_t a) const { return triggers(a).ex_left; }

  Csr<ChainEntry> left_chains;
  Csr<ChainEntry> right_chains;
  std::vector<uint8_t> keeps_succs;  // per role: can be a chain's second step

 private:
  struct Row {
    uint32_t subs = 0, conjs = 0, ex_right = 0, ex_left = 0, disjoint = 0;
  };
  std::vector<Row> offsets_;
  std::vector<SubEntry> told_subs_;
  std::vector<ConjEntry> conjunctions_;
  std::vector<ExEntry> ex_right_;
  std::vector<ExEntry> ex_left_;
  std::vector<uint32_t> disjoint_;
};

}  // namespace trelvanic_el
