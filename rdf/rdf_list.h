// Reading RDF lists (rdf:first / rdf:rest chains) out of an indexed Graph.
//
// The walk is a loop, never recursion, and refuses ill-founded lists
// instead of following them: a cycle, a node with no or two rdf:first or
// rdf:rest, a list node that is an IRI other than rdf:nil, or a list longer
// than the graph has triples. Every triple a well-formed list is made of
// (rdf:first, rdf:rest and an optional rdf:type rdf:List or
// swrl:AtomList per node) is
// reported to the caller so it can mark it as used.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "rdf/graph.h"
#include "rdf/term_id.h"

namespace trelvanic_rdf {

struct RdfList {
  std::vector<TermId> items;
  std::vector<std::uint32_t> triples;  // positions of the triples the list is made of
};

// The items of the list starting at `head`, or a message naming the node
// where the list goes wrong ("ill-founded RDF list at {node}: {reason}").
[[nodiscard]] std::expected<RdfList, std::string> read_rdf_list(const Graph& graph, TermId head);

}  // namespace trelvanic_rdf
