#include "rdf/reader.h"

#include <optional>

#include <fmt/format.h>

#include "owl/utf8.h"
#include "rdf/rdfxml_reader.h"
#include "rdf/turtle_reader.h"

namespace trelvanic_rdf {

std::expected<ReadStats, Error> read_rdf(std::string_view text, RdfSyntax syntax, Graph& graph,
                                         const ReadOptions& options) try {
  // Sizing hint: typical documents spend well over 100 bytes per triple,
  // and a graph has about one new term per two triples.
  const std::size_t triples = text.size() / 128;
  graph.reserve(graph.size() + triples, graph.terms().size() + triples / 2);
  std::expected<ReadStats, Error> stats = make_error(ErrorKind::Internal, "unknown RDF syntax");
  switch (syntax) {
    case RdfSyntax::Turtle: stats = read_turtle(text, graph, options, false); break;
    case RdfSyntax::NTriples: stats = read_turtle(text, graph, options, true); break;
    case RdfSyntax::RdfXml: stats = read_rdfxml(text, graph, options); break;
  }
  if (stats) stats->duplicates = graph.build_indexes();
  return stats;
} catch (const std::bad_alloc&) {
  return make_error(ErrorKind::Internal, "out of memory while reading RDF");
}

Error syntax_error(const ReadOptions& options, std::uint32_t line, std::uint32_t column,
                   std::string_view text) {
  std::string message = options.source_name.empty()
                            ? fmt::format("{}:{}: {}", line, column, text)
                            : fmt::format("{}:{}:{}: {}", options.source_name, line, column, text);
  return Error{ErrorKind::Syntax, std::move(message), line, column};
}

std::pair<std::uint32_t, std::uint32_t> line_column(std::string_view text, std::size_t offset) {
  std::uint32_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return {line, static_cast<std::uint32_t>(offset - line_start + 1)};
}

std::expected<void, Error> check_utf8(std::string_view text, const ReadOptions& options) {
  const std::optional<std::size_t> bad = trelvanic_owl::find_invalid_utf8(text);
  if (!bad) return {};
  const auto [line, column] = line_column(text, *bad);
  return std::unexpected(syntax_error(options, line, column, "invalid UTF-8 sequence"));
}

std::expected<void, Error> check_no_nul(std::string_view text, const ReadOptions& options) {
  const std::size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return {};
  const auto [line, column] = line_column(text, nul);
  return std::unexpected(syntax_error(options, line, column, "NUL byte in input"));
}

}  // namespace trelvanic_rdf
