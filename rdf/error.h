// Error values of the RDF layer: the term model, the Turtle and RDF/XML
// readers and the mapping of RDF graphs onto the OWL structural model.
//
// Every fallible function of the library returns std::expected<T, Error>.
// An Error prints exactly its message; readers add the position (line and
// column, 1-based, 0 when the underlying parser gave none) in separate fields
// and in the message text itself.
#pragma once

#include <cstdint>
#include <expected>
#include <string>

namespace trelvanic_rdf {

enum class ErrorKind {
  InvalidIri,   // a text that is not an absolute IRI
  Syntax,       // malformed Turtle, N-Triples or RDF/XML
  Mapping,      // an RDF graph that cannot be turned into an ontology at all
  Limit,        // a size or depth limit was exceeded
  Internal,     // a failure inside a third-party parser (allocation, crash)
};

struct Error {
  ErrorKind kind = ErrorKind::Internal;
  std::string message;
  std::uint32_t line = 0;
  std::uint32_t column = 0;

  [[nodiscard]] const std::string& text() const { return message; }
};

[[nodiscard]] const char* error_kind_name(ErrorKind kind);

[[nodiscard]] inline std::unexpected<Error> make_error(ErrorKind kind, std::string message,
                                                       std::uint32_t line = 0,
                                                       std::uint32_t column = 0) {
  return std::unexpected<Error>(Error{kind, std::move(message), line, column});
}

}  // namespace trelvanic_rdf
