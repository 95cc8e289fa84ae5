// RoleHierarchy: the reflexive-transitive closure of the role inclusions of a
// normalised ontology, together with the roles that are reflexive.
//
// Inclusions come from SubObjectPropertyOf and from binary chains whose one
// side is reflexive (t1 ∘ t2 ⊑ s with t1 reflexive gives t2 ⊑ s, since every
// element is its own t1-successor). Reflexivity travels upward (r ⊑ s) and
// through chains of two reflexive roles. The two feed each other, so they
// are computed together to a fixpoint; role counts are small, so the closure
// is one breadth-first walk per role.
//
// `is_sub(r, s)` answers r ⊑* s in constant time; `supers(r)` lists every s
// with r ⊑* s (r included). `derivations` records, for each pair the closure
// adds beyond r ⊑ r, the step that gave it, so traces can replay them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace trelvanic_el {

struct RoleInclusion {
  uint32_t sub;
  uint32_t super;
  uint32_t source;  // input axiom
  // True when the inclusion was derived from a chain with a reflexive side.
  bool from_reflexive_chain = false;
};

struct RoleChain {
  uint32_t first;
  uint32_t second;
  uint32_t super;
  uint32_t source;
};

// r ⊑* s was reached from r ⊑* via (or via = r) over the inclusion `edge`.
struct RoleDerivation {
  uint32_t sub;
  uint32_t super;
  uint32_t via;
  uint32_t edge;  // index into RoleHierarchy::inclusions
};

class RoleHierarchy {
 public:
  RoleHierarchy() = default;
  // `inclusions` are the told ones; derived ones are appended.
  RoleHierarchy(uint32_t role_count, std::vector<RoleInclusion> inclusions,
                const std::vector<RoleChain>& chains,
                const std::vector<uint32_t>& reflexive_roles);

  uint32_t role_count() const { return role_count_; }
  bool is_sub(uint32_t r, uint32_t s) const {
    if (r == s) return true;
    if (!bits_.empty()) {
      uint64_t bit = uint64_t{r} * role_count_ + s;
      return (bits_[bit >> 6] >> (bit & 63)) & 1;
    }
    return search_supers(r, s);
  }
  std::span<const uint32_t> supers(uint32_t r) const {
    return {supers_.data() + offsets_[r], offsets_[r + 1] - offsets_[r]};
  }
  bool is_reflexive(uint32_t r) const { return reflexive_[r] != 0; }
  const std::vector<RoleInclusion>& inclusions() const { return inclusions_; }
  const std::vector<RoleDerivation>& derivations() const { return derivations_; }

 private:
  void close(const std::vector<std::vector<uint32_t>>& out_edges);
  bool search_supers(uint32_t r, uint32_t s) const;
  void set_bit(uint32_t r, uint32_t s);

  uint32_t role_count_ = 0;
  std::vector<RoleInclusion> inclusions_;
  std::vector<uint32_t> offsets_{0};
  std::vector<uint32_t> supers_;
  std::vector<uint8_t> reflexive_;
  std::vector<RoleDerivation> derivations_;
  // role_count_² bits when that is small, else is_sub searches supers(r).
  std::vector<uint64_t> bits_;
};

}  // namespace trelvanic_el
