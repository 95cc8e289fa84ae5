// RuleIndex: the normal forms of a NormalForm filed under what triggers them,
// so each rule finds its candidates with one lookup:
//   told_subs[A]     A ⊑ B                by the subsumer A
//   conjunctions[A]  A ⊓ X ⊑ B            by either conjunct, sorted by X
//   ex_right[A]      A ⊑ ∃r.B             by the subsumer A
//   ex_left[A]       ∃s.A ⊑ B             by the filler A
//   disjoint[A]      groups holding A
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

struct RuleIndex {
  explicit RuleIndex(const NormalForm& nf);

  Csr<SubEntry> told_subs;
  Csr<ConjEntry> conjunctions;
  Csr<ExEntry> ex_right;
  Csr<ExEntry> ex_left;
  Csr<uint32_t> disjoint;
  Csr<ChainEntry> left_chains;
  Csr<ChainEntry> right_chains;
  std::vector<uint8_t> has_ex_left;  // per concept
  std::vector<uint8_t> keeps_succs;  // per role: can be a chain's second step
};

}  // namespace trelvanic_el
