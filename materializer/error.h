// The materializer's error value: a kind and a message.
//
// Inconsistencies are not errors: the engine records them as problems
// (`Problem`, materializer.h). Errors are refused input and cancellation.
#pragma once

#include <string>

namespace trelvanic_materializer {

enum class ErrorKind {
  kInvalidTerm,    // an id the dictionary never gave out, or a term of the wrong kind
  kInvalidTriple,  // a literal subject, or a predicate that is not an IRI
  kCancelled,      // the caller's cancellation flag was raised during reasoning
};

struct Error {
  ErrorKind kind;
  std::string message;

  [[nodiscard]] const std::string& what() const { return message; }
};

[[nodiscard]] Error cancelled_error();

}  // namespace trelvanic_materializer
