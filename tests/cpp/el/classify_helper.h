// Runs the whole EL pipeline (normalise, index, saturate, extract) on a
// TextOntology, for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_set.h>

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

// The subsumption a taxonomy states: sub ⊑ super over edges and clusters
// (kThing is above every class), found by a walk.
inline bool taxonomy_subsumes(const ClassTaxonomy& t, uint32_t sub, uint32_t super) {
  if (sub == super || super == ClassTaxonomy::kThing) return true;
  if (std::binary_search(t.unsatisfiable.begin(), t.unsatisfiable.end(), sub)) return true;
  if (std::binary_search(t.thing_equivalents.begin(), t.thing_equivalents.end(), super)) return true;
  for (const auto& c : t.clusters) {
    if (std::binary_search(c.begin(), c.end(), sub) && std::binary_search(c.begin(), c.end(), super)) {
      return true;
    }
  }
  absl::flat_hash_set<uint32_t> seen{sub};
  std::vector<uint32_t> stack{sub};
  while (!stack.empty()) {
    uint32_t x = stack.back();
    stack.pop_back();
    auto lo = std::lower_bound(t.edges.begin(), t.edges.end(), std::pair<uint32_t, uint32_t>{x, 0});
    for (; lo != t.edges.end() && lo->first == x; ++lo) {
      if (lo->second == super) return true;
      if (lo->second != ClassTaxonomy::kThing && seen.insert(lo->second).second) {
        stack.push_back(lo->second);
      }
    }
  }
  return false;
}

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
