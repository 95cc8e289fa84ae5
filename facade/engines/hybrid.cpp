#include "facade/engines/hybrid.h"

#include "facade/engines/calls.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::Taxonomy;

// The split groups axioms by form (EL-shaped subsumptions, RL-shaped
// property and assertion axioms, the DL store), not by shared vocabulary,
// so its modules interact: A ⊑ ∃r.B in the EL module and a domain C of r in
// the RL module entail A ⊑ C, which neither module finds on its own. A
// taxonomy merged from modules classified apart is therefore incomplete, and
// this route reaches only ontologies the EL engine refused as a whole (Auto
// sends the others to it), so the whole ontology goes to the DL engine. The
// route that chose this engine ran the split and reported its failure; the
// modules themselves are not needed here.
Result<Taxonomy> classify_hybrid_modules(const Ontology& ontology, std::optional<uint64_t> budget_secs) {
  if (budget_secs) return dl_classify_bounded(*budget_secs, ontology.clone(), /*preview=*/false);
  return dl_classify(ontology, /*preview=*/false);
}

}  // namespace trelvanic_facade
