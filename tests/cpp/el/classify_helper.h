// Runs the whole EL pipeline (normalise, index, saturate, extract) on a
// TextOntology, for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "el/engine.h"
#include "el/normal_form.h"
#include "el/rule_index.h"
#include "el/taxonomy_extract.h"
#include "el_text.h"

namespace trelvanic_el::testing {

struct Classified {
  NormalForm nf;
  CompletionGraph graph;
  ClassTaxonomy taxonomy;
  ElTrace trace;

  bool subsumed(uint32_t a, uint32_t b) const {
    return graph.subsumes(NormalForm::class_concept(a), NormalForm::class_concept(b));
  }
};

inline std::unique_ptr<Classified> classify(const ElInput& input, bool with_trace = false) {
  auto nf = normalize(input);
  if (!nf) {
    ADD_FAILURE() << nf.error().message;
    return nullptr;
  }
  auto out = std::make_unique<Classified>();
  out->nf = std::move(*nf);
  RuleIndex index(out->nf);
  out->graph = CompletionGraph(out->nf.concept_count);
  auto roots = roots_of(out->nf);
  saturate(out->nf, index, out->graph, roots, with_trace ? &out->trace : nullptr);
  out->taxonomy = extract_taxonomy(out->nf, out->graph);
  return out;
}

}  // namespace trelvanic_el::testing
