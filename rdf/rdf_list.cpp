#include "rdf/rdf_list.h"

#include <algorithm>

#include <absl/container/flat_hash_set.h>
#include <fmt/format.h>

#include "rdf/vocab.h"

namespace trelvanic_rdf {

namespace {

std::unexpected<std::string> ill_founded(const Graph& graph, TermId node, std::string_view reason) {
  return std::unexpected(
      fmt::format("ill-founded RDF list at {}: {}", graph.terms().display(node), reason));
}

}  // namespace

std::expected<RdfList, std::string> read_rdf_list(const Graph& graph, TermId head) {
  RdfList out;
  // Nodes seen so far: the item count bounds the walk, and a cycle shows
  // as a node met twice (looked up linearly while the list is short).
  std::vector<TermId> path;
  absl::flat_hash_set<TermId> seen;
  auto first_visit = [&](TermId n) {
    if (path.size() < 32) {
      if (std::find(path.begin(), path.end(), n) != path.end()) return false;
      path.push_back(n);
      if (path.size() == 32) seen.insert(path.begin(), path.end());
      return true;
    }
    return seen.insert(n).second;
  };
  TermId node = head;
  while (node != vocab::kRdfNil) {
    if (!graph.terms().is_blank(node)) {
      return ill_founded(graph, node, graph.terms().is_literal(node) ? "a literal is not a list"
                                                                      : "list node is not a blank node");
    }
    if (!first_visit(node)) return ill_founded(graph, node, "the list runs in a cycle");
    if (out.items.size() > graph.size()) return ill_founded(graph, node, "list longer than the graph");
    TermId first{};
    TermId rest{};
    int firsts = 0;
    int rests = 0;
    for (std::uint32_t pos : graph.by_subject(node)) {
      const TripleIds& t = graph.triples()[pos];
      if (t.predicate == vocab::kRdfFirst) {
        ++firsts;
        first = t.object;
        out.triples.push_back(pos);
      } else if (t.predicate == vocab::kRdfRest) {
        ++rests;
        rest = t.object;
        out.triples.push_back(pos);
      } else if (t.predicate == vocab::kRdfType &&
                 (t.object == vocab::kRdfList || t.object == vocab::kSwrlAtomList)) {
        out.triples.push_back(pos);
      }
    }
    if (firsts != 1) {
      return ill_founded(graph, node, firsts == 0 ? "no rdf:first" : "more than one rdf:first");
    }
    if (rests != 1) {
      return ill_founded(graph, node, rests == 0 ? "no rdf:rest" : "more than one rdf:rest");
    }
    out.items.push_back(first);
    node = rest;
  }
  return out;
}

}  // namespace trelvanic_rdf
