// Union-find over term ids for owl:sameAs.
//
// Each class of equal terms has one representative; the store keeps only
// triples over representatives, and the output expands them back over the
// members. Union by size (ties: the smaller id wins), path halving.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "materializer/term_id.h"

namespace trelvanic_materializer {

class Equality {
 public:
  [[nodiscard]] TermId find(TermId t) const {
    if (merges_ == 0 || t.value >= parent_.size()) return t;
    return find_slow(t);
  }
  // Joins the classes of a and b. Returns (representative, absorbed root),
  // or no value when they were equal already.
  std::pair<TermId, TermId> unite(TermId a, TermId b);
  // f(member) for the class whose representative is `rep`, in the order
  // they joined (the representative first); a lone term is its own class.
  template <typename F>
  void for_members(TermId rep, F&& f) const {
    if (rep.value < members_.size() && !members_[rep.value].empty()) {
      for (TermId m : members_[rep.value]) f(m);
    } else {
      f(rep);
    }
  }
  [[nodiscard]] std::size_t class_size(TermId rep) const {
    return rep.value < members_.size() && !members_[rep.value].empty() ? members_[rep.value].size() : 1;
  }
  [[nodiscard]] bool trivial() const { return merges_ == 0; }
  // Roots that became representatives of merged classes, in order of their
  // first merge; a root absorbed later is still listed (check `find`).
  [[nodiscard]] const std::vector<TermId>& classes() const { return classes_; }

 private:
  TermId find_slow(TermId t) const;
  void grow(std::uint32_t id) const;
  mutable std::vector<std::uint32_t> parent_;
  std::vector<std::vector<TermId>> members_;  // non-empty only for representatives of merged classes
  std::vector<TermId> classes_;
  std::size_t merges_ = 0;
};

}  // namespace trelvanic_materializer
