// Reader for the OWL 2 XML serialization (OWL/XML).
//
// `read_owlxml(text)` streams the document through libxml2's SAX2 parser
// (no document tree) into an `Ontology` of the structural model, the same
// model `read_functional` gives for the same ontology. A plain document, the
// form writers produce (see owlxml_scan.h), is read by the reader's own
// scanner instead, with the hashes of its IRI attributes computed a little
// ahead (owlxml_lookahead.h); a document the scanner gives up on is read
// through libxml2 from the start, so answers and errors are libxml2's. IRIs may be given as
// `IRI` attributes (resolved against `xml:base`), `abbreviatedIRI`
// attributes or `IRI`/`AbbreviatedIRI` elements; prefixes come from the
// `Prefix` elements, with owl:, rdf:, rdfs:, xsd: and xml: known beforehand.
// Elements outside the OWL namespace are skipped with their content.
//
// Malformed XML is an `Xml` error at libxml2's line and column. External
// entities and network access are refused, entity expansion stays under
// an amplification bound and a document that would expand past
// `max_expanded_bytes` is refused before parsing, and nesting is bounded (libxml2's own depth
// limit and `max_depth`). No exception leaves the reader.
//
// The refusal of external entities swaps libxml2's process-wide entity
// loader for the time of the read, so OWL/XML reads must not overlap with
// each other or with other libxml2 parses that load external entities (the
// loader runs every syntax reader under one process-wide lock).
#pragma once

#include <string_view>

#include "owl/error.h"
#include "owl/functional_reader.h"
#include "owl/model.h"

namespace trelvanic_owl {

inline constexpr std::string_view kOwlNamespace = "http://www.w3.org/2002/07/owl#";

[[nodiscard]] Result<Ontology> read_owlxml(std::string_view text, const ReaderSettings& settings = {}) noexcept;

}  // namespace trelvanic_owl
