// Taxonomy extraction: direct superclasses, equivalence clusters and
// unsatisfiable classes of the input classes, read from a saturated graph.
//
// Classes are the input's class indices; owl:Thing as a parent is kThing.
//   - unsatisfiable: classes with ⊥ among their subsumers, ascending. They
//     get no edges (they are below every class).
//   - thing_equivalents: satisfiable classes equivalent to owl:Thing.
//   - clusters: two or more satisfiable classes that subsume each other,
//     each ascending; the clusters ordered by their first member.
//   - edges: (sub, super) for each satisfiable class not equivalent to
//     owl:Thing and each of its direct superclasses, ascending. A direct
//     superclass that belongs to a cluster gives an edge to every member of
//     that cluster, so reachability over edges and clusters is exactly the
//     subsumption the graph holds. A class with no named superclass gets
//     the edge (class, kThing).
// Union-find is iterative (path halving); no recursion on input size.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "el/graph.h"
#include "el/normal_form.h"

namespace trelvanic_el {

struct ClassTaxonomy {
  static constexpr uint32_t kThing = UINT32_MAX - 1;

  std::vector<std::pair<uint32_t, uint32_t>> edges;
  std::vector<std::vector<uint32_t>> clusters;
  std::vector<uint32_t> thing_equivalents;
  std::vector<uint32_t> unsatisfiable;
  // owl:Thing itself is unsatisfiable: the ontology is inconsistent.
  bool inconsistent = false;
};

ClassTaxonomy extract_taxonomy(const NormalForm& nf, const CompletionGraph& graph);

}  // namespace trelvanic_el
