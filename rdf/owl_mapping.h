// The mapping of RDF graphs onto the OWL 2 structural model: the reverse of
// the OWL 2 mapping to RDF graphs.
//
// `map_graph_to_owl` reads a Graph and produces an ontology of the OWL 2
// structural model (trelvanic_owl, owl/model.h) and an IncompleteParse: the triples it could not
// turn into OWL constructs and the problems it met (ill-founded lists,
// expressions nested too deeply, cyclic expressions, malformed
// restrictions). Annotations (annotation assertions, ontology annotations,
// annotations of annotations) and axiom reification (owl:Axiom,
// owl:Annotation nodes) are dropped without being recorded.
//
// Entity kinds come from the document's declarations, the built-in
// vocabulary, and the few uses that fix a kind (a property with a
// characteristic only object properties have, owl:inverseOf, a property
// chain, a restriction whose filler is a class or a data range). A property
// of the document's own vocabulary that is never declared takes the kind
// its assertions show (literal objects: data property; others: object
// property), passed along rdfs:subPropertyOf and owl:equivalentProperty
// links; it is declared so, with a note. A triple whose property kind stays
// unknown is not guessed but recorded as incomplete.
//
// Besides the IncompleteParse, the mapping leaves notes in the ontology for
// the loader (`Ontology::source_notes`): each problem and each property
// declared by its use as a warning, and each unmapped triple (with the
// unmapped triples of the blank nodes below it) as a lost axiom.
//
// `read_rdf_ontology` reads a Turtle, N-Triples or RDF/XML text and maps it:
// the RDF reader of the loader.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "rdf/error.h"
#include "rdf/graph.h"
#include "owl/model.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {

// Expressions nested deeper than this are refused (and recorded) instead of
// being followed further.
inline constexpr std::size_t kMaxExpressionDepth = 1000;

// At most this many untranslated triples and problems are kept as text;
// the counts cover all of them.
inline constexpr std::size_t kMaxIncompleteLines = 10000;

struct IncompleteParse {
  std::vector<std::string> triples;   // N-Triples form of untranslated triples (the first ones)
  std::vector<std::string> problems;  // what went wrong, one line each (the first ones)
  std::size_t triple_count = 0;       // every untranslated triple
  std::size_t problem_count = 0;      // every problem
  [[nodiscard]] bool empty() const { return triple_count == 0 && problem_count == 0; }
};

struct MappingResult {
  trelvanic_owl::Ontology ontology;
  IncompleteParse incomplete;
};

// Builds the graph's indexes when they are missing.
// `cancel` (may be null) is polled between triples: once it reads true the
// mapping stops with an `Internal` error "cancelled".
[[nodiscard]] std::expected<MappingResult, Error> map_graph_to_owl(Graph& graph,
                                                                  const std::atomic<bool>* cancel = nullptr);

struct RdfOntology {
  trelvanic_owl::Ontology ontology;
  IncompleteParse incomplete;
  ReadStats stats;
};

[[nodiscard]] std::expected<RdfOntology, Error> read_rdf_ontology(std::string_view text,
                                                                  RdfSyntax syntax,
                                                                  const ReadOptions& options = {});

}  // namespace trelvanic_rdf
