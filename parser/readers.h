// The model readers of the loader: the OWL/XML and functional-syntax readers
// of owl/ and the Turtle and RDF/XML readers of rdf/, behind the one
// `ModelReader` interface that read.h runs under its read policy.
//
//   FileSource source(file);
//   auto model = read_owl_model(source, format, limits);   // size, pre-scan, lock
//   OntologyHeader header = ontology_header(*model);       // IRIs and imports
#pragma once

#include <string>
#include <vector>

#include "owl/model.h"
#include "parser/error.h"
#include "parser/format.h"
#include "parser/limits.h"
#include "parser/read.h"

namespace trelvanic_parser {

// Dispatches by syntax to the reader of owl/ (functional syntax, OWL/XML) or
// rdf/ (Turtle, RDF/XML). The RDF readers consume their whole input; what
// they could not turn into OWL constructs is left in the model as source
// notes, which `map_to_core` turns into warnings and skipped axioms.
// `turtle_base`, when not empty, is the base IRI of relative references in
// Turtle (which has no default base, so without one they fail to read).
// The XML readers refuse documents whose entities would expand them past
// `max_expanded_bytes`.
[[nodiscard]] ModelReader<trelvanic_owl::Ontology> owl_model_reader(
    std::string turtle_base = {}, uint64_t max_expanded_bytes = LoadLimits{}.max_expanded_bytes);

// `read_owl_model_from_reader` with `owl_model_reader(turtle_base)`.
[[nodiscard]] Result<trelvanic_owl::Ontology> read_owl_model(ByteSource& source, OntologyFormat format,
                                                             const LoadLimits& limits,
                                                             std::string_view turtle_base = {});

// The file: IRI of an absolute path ("file:///dir/a%20b.ttl"): bytes other
// than unreserved characters and "/" are percent-encoded.
[[nodiscard]] std::string file_iri(std::string_view absolute_path);

// What a document says about itself: its ontology IRI and version IRI
// (empty when absent) and the IRIs it imports, in document order, each once.
struct OntologyHeader {
  std::string ontology_iri;
  std::string version_iri;
  std::vector<std::string> imports;
};

[[nodiscard]] OntologyHeader ontology_header(const trelvanic_owl::Ontology& model);

}  // namespace trelvanic_parser
