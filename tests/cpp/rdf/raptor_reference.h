// raptor2's RDF/XML parser behind the reader interface: the reference the
// tests compare the library's RDF/XML reader with.
#pragma once

#include <expected>
#include <string_view>

#include "rdf/error.h"
#include "rdf/graph.h"
#include "rdf/reader.h"

namespace trelvanic_rdf::testing {

[[nodiscard]] std::expected<ReadStats, Error> read_rdfxml_raptor(std::string_view text, Graph& graph,
                                                                 const ReadOptions& options);

}  // namespace trelvanic_rdf::testing
