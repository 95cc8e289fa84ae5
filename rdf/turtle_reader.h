// Turtle and N-Triples reading through serd.
//
// Works with serd 0.30 and 0.32: only the reader, environment and node
// functions both versions share are used. Prefixed names and relative IRIs
// are expanded here against the document's @prefix and @base directives;
// every term is interned into the graph at once.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>

#include "rdf/error.h"
#include "rdf/graph.h"
#include "rdf/reader.h"

namespace trelvanic_rdf {

// Deepest nesting of [ ] blank nodes and ( ) collections read; deeper input
// is refused with an error (serd reads nesting by recursion).
inline constexpr std::size_t kMaxTurtleNesting = 1000;

[[nodiscard]] std::expected<ReadStats, Error> read_turtle(std::string_view text, Graph& graph,
                                                          const ReadOptions& options,
                                                          bool ntriples);

}  // namespace trelvanic_rdf
