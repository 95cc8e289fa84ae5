// RDF/XML reading: libxml2 parses the XML (SAX2, no tree) and the
// RDF/XML grammar runs over its events with an explicit element stack,
// interning each triple into the graph as it is completed.
//
// The parser runs with network access, file access and external XML
// entities switched off. Blank nodes the reader makes up get labels starting
// with '#', which no rdf:nodeID can produce, so they never meet the
// document's own node ids.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>

#include "rdf/error.h"
#include "rdf/graph.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {

// Deepest element nesting read; deeper documents are refused before
// parsing.
inline constexpr std::size_t kMaxElementDepth = 1000;

[[nodiscard]] std::expected<ReadStats, Error> read_rdfxml(std::string_view text, Graph& graph,
                                                          const ReadOptions& options);

}  // namespace trelvanic_rdf
