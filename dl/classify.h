// DL classification (`DlClassifier`; `trelvanic_dl::classify` is the same
// with `preview` off): the taxonomy of an ontology outside what the EL and RL
// engines decide, computed by the tableau (every subsumption, equivalence
// and unsatisfiable class it reports is proven; an undecided test fails the
// whole classification rather than leaving an edge out). An ontology the EL
// engine decides whole is classified by that engine instead.
//
// `preview` refuses, before any reasoning, ontologies with a construct EL
// classification does not take: "DL preview: DL preview does not support: [..]".
// With TRELVANIC_DL_PERF on, a successful call writes one JSON line of phase
// times to standard error.
#pragma once

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "dl/error.h"

namespace trelvanic_dl {

struct DlClassifier {
  bool preview = false;

  [[nodiscard]] Result<trelvanic_core::Taxonomy> classify(const trelvanic_core::Ontology& ontology) const;
};

}  // namespace trelvanic_dl
