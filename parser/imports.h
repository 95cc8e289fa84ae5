// The loader's per-document step and the following of owl:imports.
//
// `load_document` takes one file from its path to a mapped, unfinished
// ontology (path checks, size limit, detection, text passes and supplements
// for RDF/XML, read and map) and keeps what the document says about itself.
// `follow_owl_imports` then resolves the document's imports to local files,
// loads each as a document of its own and merges it in:
//   - a relative reference or a `file:` IRI names a file relative to the
//     directory of the importing file;
//   - any other IRI is matched against the files beside the importing file
//     whose name is the IRI's last path segment, bare or with a usual
//     ontology extension, and accepted only when that file's ontology IRI or
//     version IRI equals the import IRI;
//   - a candidate must pass the same path checks as the loaded file (under
//     the base when there is one) and be a regular file.
// An unresolved http(s) IRI is a warning; any other fails a strict load and
// is a warning in a lenient one. Imports of imported documents are followed
// too, each file at most once, so cycles end. Every merge is held to the
// axiom and entity limits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "parser/error.h"
#include "parser/limits.h"
#include "parser/map.h"
#include "parser/readers.h"

namespace trelvanic_parser {

struct LoadedDocument {
  std::string path;  // normalised
  MappedOntology mapped;
  OntologyHeader header;
};

// `document` numbers the anonymous individuals of this file (map.h).
[[nodiscard]] Result<LoadedDocument> load_document(std::string_view path, const LoadLimits& limits,
                                                   std::optional<std::string_view> base, uint32_t document);

// Reads and maps an RDF/XML text that went through the text passes, then
// adds its supplements.
[[nodiscard]] Result<LoadedDocument> load_preprocessed_rdf_xml(std::string_view text, const LoadLimits& limits,
                                                               bool ill_founded_list, uint32_t document);

// Merges the imports of `root` (whose `path` must be set) into it.
[[nodiscard]] Result<void> follow_owl_imports(LoadedDocument& root, const LoadLimits& limits,
                                              std::optional<std::string_view> base);

}  // namespace trelvanic_parser
