// CompletionGraph: the state of an EL saturation.
//
// One Context per concept of the NormalForm. A context C stands for a
// generic element of C and holds
//   - subsumers: every A with C ⊑ A derived so far (C itself and ⊤ included),
//   - link_keys: outgoing links (r, D) meaning C ⊑ ∃r.D, as (r << 32) | D;
//     kept at the source, whose memory is warm while its conclusions are
//     made, so the duplicate test before queueing a link is cheap,
//   - preds: incoming links (r, P), each meaning P ⊑ ∃r.C, apart from
//   - closure_preds: incoming links (r, P) that the transitivity of r itself
//     derived (P ⊑ ∃r.Q, Q ⊑ ∃r.C). No transitivity takes a closure link as
//     its first premise: the link stands for a path of links of sub-roles
//     whose first step is no closure link and composes in its place, so
//     nothing is lost, and a path of n steps costs O(n²) compositions
//     instead of O(n³),
//   - succs: outgoing links (r, D) meaning C ⊑ ∃r.D, kept only for roles that
//     can be the second step of a property chain (nothing else reads them),
//   - neg_fillers: the subsumers that are fillers of some ∃s.A ⊑ B, so a new
//     incoming link finds the left-existential rules that apply to it
//     without scanning all subsumers,
//   - disjoint_seen: for each disjointness group met, the first member seen.
// Contexts are activated on demand: every class and ⊤ at the start, any
// other concept when it first becomes the filler of a link.
#pragma once

#include <cstdint>
#include <vector>

#include "el/id_set.h"

namespace trelvanic_el {

struct Edge {
  uint32_t role;
  uint32_t node;
};

struct Context {
  IdSet<uint32_t> subsumers;
  IdSet<uint64_t> link_keys;  // (role << 32) | filler
  std::vector<Edge> preds;
  std::vector<Edge> closure_preds;
  std::vector<Edge> succs;
  std::vector<uint32_t> neg_fillers;
  std::vector<Edge> disjoint_seen;  // (group, member)
  bool active = false;
  bool bottom = false;  // ⊥ is a subsumer: the concept is unsatisfiable

  // Calls f(edge) for every incoming link, closure links included.
  template <typename F>
  void for_each_pred(F&& f) const {
    for (const Edge& e : preds) f(e);
    for (const Edge& e : closure_preds) f(e);
  }
};

class CompletionGraph {
 public:
  CompletionGraph() = default;
  explicit CompletionGraph(uint32_t concept_count) : contexts_(concept_count) {}

  uint32_t concept_count() const { return static_cast<uint32_t>(contexts_.size()); }
  // Makes room for concepts added later (new classes, individuals); existing
  // contexts keep their state.
  void grow(uint32_t concept_count) {
    if (concept_count > contexts_.size()) contexts_.resize(concept_count);
  }
  Context& context(uint32_t c) { return contexts_[c]; }
  const Context& context(uint32_t c) const { return contexts_[c]; }

  // C ⊑ A was derived (also C ⊑ A for every A once C is unsatisfiable).
  bool subsumes(uint32_t c, uint32_t a) const {
    const Context& x = contexts_[c];
    return x.bottom || x.subsumers.contains(a);
  }
  bool unsatisfiable(uint32_t c) const { return contexts_[c].bottom; }

  size_t memory_bytes() const;

 private:
  std::vector<Context> contexts_;
};

}  // namespace trelvanic_el
