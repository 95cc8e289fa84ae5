// Converting an OwlDraft (what the RDF mapping builds) into the OWL 2
// structural model of trelvanic_owl.
//
// Draft forms and model kinds share their functional-syntax names, so the
// conversion is one pass over the draft's nodes in creation order (children
// before parents). Unqualified cardinalities get the model's default filler
// (owl:Thing or rdfs:Literal); a missing ontology or version IRI is 0.
#pragma once

#include <expected>
#include <string_view>

#include "owl/model.h"
#include "rdf/error.h"
#include "rdf/owl_draft.h"
#include "rdf/owl_mapping.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {

[[nodiscard]] std::expected<trelvanic_owl::Ontology, Error> draft_to_owl(const OwlDraft& draft);

struct RdfOwlOntology {
  trelvanic_owl::Ontology ontology;
  IncompleteParse incomplete;
  ReadStats stats;
};

// Reads Turtle, N-Triples or RDF/XML, maps it and converts it to the model.
[[nodiscard]] std::expected<RdfOwlOntology, Error> read_rdf_owl(std::string_view text,
                                                                RdfSyntax syntax,
                                                                const ReadOptions& options = {});

}  // namespace trelvanic_rdf
