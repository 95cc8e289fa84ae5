// The EL completion engine: saturates a CompletionGraph under the completion
// rules of the normal forms (the EL++ calculus of Baader, Brandt and Lutz,
// organised per context as in ELK).
//
// Conclusions are of two kinds, a subsumer C ⊑ A and a link C ⊑ ∃r.D. They
// wait on one work stack; a conclusion is inserted when taken, and its rules
// fire only when it was new (insert, then fire). Rules find their partners
// through the RuleIndex and the context's link lists, never by a scan.
//
// Rules (premises ⟹ conclusion; fields of the index in brackets):
//   init        context C activated ⟹ C ⊑ C, C ⊑ ⊤
//   sub         C ⊑ A, A ⊑ B [told_subs]            ⟹ C ⊑ B
//   conj        C ⊑ A1, C ⊑ A2, A1 ⊓ A2 ⊑ B [conjunctions] ⟹ C ⊑ B
//   ex_right    C ⊑ A, A ⊑ ∃r.B [ex_right]          ⟹ C ⊑ ∃r.B (activates B)
//   ex_left     C ⊑ ∃r.D, D ⊑ A, r ⊑* s, ∃s.A ⊑ B [ex_left] ⟹ C ⊑ B
//   bottom      C ⊑ ∃r.D, D ⊑ ⊥                    ⟹ C ⊑ ⊥
//   chain       C ⊑ ∃r1.D, D ⊑ ∃r2.E, r1 ⊑* t1, r2 ⊑* t2, t1∘t2 ⊑ s ⟹ C ⊑ ∃s.E
//   disjoint    C ⊑ A, C ⊑ B, A ≠ B in one group    ⟹ C ⊑ ⊥
// Reflexive roles and ranges were compiled into told inclusions and
// narrowed fillers by the normaliser.
//
// Usage:
//   RuleIndex index(nf);
//   CompletionGraph g(nf.concept_count);
//   saturate(nf, index, g, roots_of(nf), /*trace=*/nullptr);
// Calling `saturate` again with new roots (classes or individuals added to
// a grown graph) continues from the saturated state; `saturate_additions`
// is the driver for normal forms added later (same rules, other driver).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "el/graph.h"
#include "el/normal_form.h"
#include "el/rule_index.h"
#include "el/trace.h"

namespace trelvanic_el {

struct SaturationStats {
  uint64_t subsumers = 0;  // inserted subsumer conclusions
  uint64_t links = 0;      // inserted link conclusions
  uint64_t taken = 0;      // conclusions taken from the work stack
  // The thread's cancellation flag was raised (core/cancel.h): the run
  // stopped early and the graph is not saturated.
  bool cancelled = false;
};

// The contexts classification needs: ⊤ and every class.
std::vector<uint32_t> roots_of(const NormalForm& nf);

// Activates the roots and runs the rules to the fixpoint. With a trace, every
// derived fact gets one step (the role closure's steps come first).
SaturationStats saturate(const NormalForm& nf, const RuleIndex& index, CompletionGraph& graph,
                         std::span<const uint32_t> roots, ElTrace* trace);

// Continues a saturated graph after NormalFormBuilder::add extended the normal
// forms: the normal forms made since `before` fire once on the facts already
// in the graph, then the usual rules run to the fixpoint. `index` must be
// built from the extended normal forms. The result equals a fresh
// saturation of the extended normal forms from the same roots.
SaturationStats saturate_additions(const NormalForm& nf, const NormalFormMark& before,
                                   const RuleIndex& index, CompletionGraph& graph, ElTrace* trace);

}  // namespace trelvanic_el
