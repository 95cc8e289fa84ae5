// Reading RDF documents into a Graph.
//
// `read_rdf` is the one entry point callers use; it leaves the graph
// deduplicated and indexed. It picks the Turtle /
// N-Triples reader (serd) or the RDF/XML reader (on libxml2) by syntax, so the
// underlying parser can be replaced without touching callers. Readers
// stream: each triple is interned into the graph's TermTable as soon as the
// parser reports it, and no document tree is built. The first syntax error
// ends the read with an Error that carries its line and column; nothing
// thrown inside a parser callback ever leaves the reader.
#pragma once

#include <atomic>

#include "owl/cancel_check.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <utility>

#include "rdf/error.h"
#include "rdf/graph.h"

namespace trelvanic_rdf {

enum class RdfSyntax { Turtle, NTriples, RdfXml };

struct ReadOptions {
  // Base IRI for relative references; empty means the reader's default
  // ("urn:trelvanic:document" for RDF/XML, none for Turtle, where a relative
  // reference without @base is then an error).
  std::string base_iri;
  // Name used in error messages (a file name); may be empty.
  std::string source_name;
  // RDF/XML: the largest size the document may reach once the parser has
  // replaced its entities (the loader's default).
  std::uint64_t max_expanded_bytes = 268'435'456;
  // Polled while statements are read (and, by `read_rdf_ontology`, while
  // the graph is mapped); once it reads true the read stops with an
  // `Internal` error "cancelled". Null: never.
  const std::atomic<bool>* cancel = nullptr;
};

using trelvanic_owl::CancelCheck;
using trelvanic_owl::kCancelledText;

struct ReadStats {
  std::size_t triples = 0;     // triples the parser reported
  std::size_t duplicates = 0;  // duplicate triples dropped from the graph
};

[[nodiscard]] std::expected<ReadStats, Error> read_rdf(std::string_view text, RdfSyntax syntax,
                                                       Graph& graph,
                                                       const ReadOptions& options = {});

// Builds the syntax error of a reader: "{source}:{line}:{column}: {text}",
// the source name left out when empty.
[[nodiscard]] Error syntax_error(const ReadOptions& options, std::uint32_t line,
                                 std::uint32_t column, std::string_view text);

// Line and column (1-based) of the byte at `offset`.
[[nodiscard]] std::pair<std::uint32_t, std::uint32_t> line_column(std::string_view text,
                                                                  std::size_t offset);

// Finds the first byte that does not begin a well-formed UTF-8 sequence
// ("invalid UTF-8 sequence" with its position): the parsers pass such bytes
// into terms, and every term must be text.
[[nodiscard]] std::expected<void, Error> check_utf8(std::string_view text, const ReadOptions& options);

// Finds the first NUL byte (which the parsers would take for the end of
// input) and reports it with its position.
[[nodiscard]] std::expected<void, Error> check_no_nul(std::string_view text,
                                                      const ReadOptions& options);

}  // namespace trelvanic_rdf
