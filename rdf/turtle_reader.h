// Turtle and N-Triples reading through serd.
//
// Documents in plain N-Triples form (one statement a line, absolute IRIs,
// as tools write large files) are read by our own reader instead; any
// other document goes through serd from the start.
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

// The same through serd alone, the road of every document that is not in
// plain N-Triples form (see plain_ntriples.h); tests compare the two.
[[nodiscard]] std::expected<ReadStats, Error> read_turtle_serd(std::string_view text, Graph& graph,
                                                               const ReadOptions& options,
                                                               bool ntriples);

}  // namespace trelvanic_rdf
