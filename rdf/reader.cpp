#include "rdf/reader.h"

#include <fmt/format.h>

#include "rdf/rdfxml_reader.h"
#include "rdf/turtle_reader.h"

namespace trelvanic_rdf {

std::expected<ReadStats, Error> read_rdf(std::string_view text, RdfSyntax syntax, Graph& graph,
                                         const ReadOptions& options) {
  switch (syntax) {
    case RdfSyntax::Turtle: return read_turtle(text, graph, options, false);
    case RdfSyntax::NTriples: return read_turtle(text, graph, options, true);
    case RdfSyntax::RdfXml: return read_rdfxml(text, graph, options);
  }
  return make_error(ErrorKind::Internal, "unknown RDF syntax");
}

Error syntax_error(const ReadOptions& options, std::uint32_t line, std::uint32_t column,
                   std::string_view text) {
  std::string message = options.source_name.empty()
                            ? fmt::format("{}:{}: {}", line, column, text)
                            : fmt::format("{}:{}:{}: {}", options.source_name, line, column, text);
  return Error{ErrorKind::Syntax, std::move(message), line, column};
}

std::expected<void, Error> check_no_nul(std::string_view text, const ReadOptions& options) {
  const std::size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return {};
  std::uint32_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < nul; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return std::unexpected(syntax_error(options, line, static_cast<std::uint32_t>(nul - line_start + 1),
                                      "NUL byte in input"));
}

}  // namespace trelvanic_rdf
