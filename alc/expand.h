// Expander: the rules of the tableau on one branch, and the fixpoint that
// applies them until the branch is closed, open (complete), or needs a
// choice.
//
// Each rule is one member function keyed by the kind of the label entry
// that triggers it, found through one dispatch table. Deterministic rules
// (⊓, ∀, ∀⁺, unfolding, absorption, self, the clash tests) run as entries
// are added; ⊔, ∃, ≥ and ≤ entries are kept pending and looked at once the
// deterministic rules are done: ≤ first (choose rule, clash, merge choice),
// then ⊔, then the generating rules on worlds that are not blocked.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "alc/branch.h"
#include "alc/dl_ontology.h"

namespace trelvanic_alc {

enum class Step : uint8_t { Open, Clash, Choice, Budget };

// A choice the branch needs: the alternatives of a disjunction at `world`,
// or the pairs of R-neighbours of `world` that a ≤ restriction may merge.
struct Choice {
  enum class Kind : uint8_t { Or, Merge } kind = Kind::Or;
  uint32_t world = 0;
  std::vector<uint32_t> alternatives;                // Or
  std::vector<std::pair<uint32_t, uint32_t>> pairs;  // Merge
  uint32_t dep = 0;                                  // what the choice rests on
  [[nodiscard]] size_t size() const { return kind == Kind::Or ? alternatives.size() : pairs.size(); }
};

struct ExpandLimits {
  uint32_t expansions = 4096;
  uint32_t worlds = 256;
};

class Expander {
 public:
  Expander(const DlOntology& dl, DepSets& deps, Branch& branch, ExpandLimits limits);

  // A new world with the internalised concepts; a root is never blocked.
  uint32_t new_world(uint32_t parent, bool root);
  void add(uint32_t world, uint32_t ce, uint32_t dep);
  void add_edge(uint32_t from, Role role, uint32_t to, uint32_t dep);
  void mark_different(uint32_t a, uint32_t b, uint32_t dep);
  // Merges `a` and `b`, two neighbours of `x` (the direction is chosen here).
  void merge_neighbours(uint32_t x, uint32_t a, uint32_t b, uint32_t dep);
  void clash(uint32_t dep);

  Step expand(Choice& out);

  // The blocking status of every world of the branch (0 not blocked, 1
  // directly, 2 indirectly); exposed for tests.
  [[nodiscard]] std::vector<uint8_t> blocking() const;
  [[nodiscard]] uint64_t added() const { return added_; }
  // Checks the conditions of a finished open branch on the final graph
  // (every rule's premise met by its conclusion, no clash, directly blocked
  // worlds read through their labels, indirectly blocked ones left out), so
  // that a fault in a rule shows as an unfinished branch rather than as a
  // model.
  [[nodiscard]] bool verify_open_branch() const;

 private:
  using Rule = void (Expander::*)(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  static const Rule kRules[kNodeKindCount];

  void rule_none(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_bottom(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_atom(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_complement(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_and(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_or(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_generating(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_all(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_at_most(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_nominal(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_neg_nominal(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_self(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_neg_self(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_somewhere(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_everywhere(uint32_t w, uint32_t c, const Node& n, uint32_t dep);
  void rule_data(uint32_t w, uint32_t c, const Node& n, uint32_t dep);

  void all_over_edge(const Node& all, uint32_t dep, const Edge& e);
  void edge_rules(uint32_t x, Role r, uint32_t y, uint32_t dep);
  void give_up();
  void merge(uint32_t from, uint32_t into, uint32_t dep);
  void prune(uint32_t w);

  // Sweeps over the pending entries; each returns true when it changed the
  // branch or stopped it (clash or choice).
  bool sweep_at_most(Choice& out, Step& step);
  // Marks `w`'s at-most entries for the next sweep.
  void touch(uint32_t w);
  bool at_most_entry(const Pending& p, Choice& out, Step& step);
  bool sweep_disjunctions(Choice& out, Step& step);
  bool sweep_generators();
  bool sweep_keys(Step& step);
  // The data concepts of every live world, once the rest of the branch is
  // open: Open, Clash, or a branch given up (datatype_oracle.cpp).
  Step sweep_data();
  // Two named individuals' worlds a key makes equal, with what that rests on.
  bool key_pair(const Key& key, uint32_t x, uint32_t y, uint32_t* dep) const;

  bool satisfied(const Pending& p) const;
  [[nodiscard]] uint8_t alternative_cost(uint32_t c) const;
  bool different(uint32_t a, uint32_t b, uint32_t* dep = nullptr) const;
  // Distinct R-neighbours of `w` with the dependency of one edge to each.
  std::vector<std::pair<uint32_t, uint32_t>> neighbours(uint32_t w, Role r) const;

  const DlOntology& dl_;
  DepSets& deps_;
  Branch& b_;
  ExpandLimits limits_;
  bool pairwise_;
  uint64_t added_ = 0;
};

}  // namespace trelvanic_alc
