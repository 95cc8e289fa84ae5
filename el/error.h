// Error: the EL engine's error value, a kind and its message text.
#pragma once

#include <string>

namespace trelvanic_el {

enum class ErrorKind : unsigned char {
  // The ontology uses a construct the engine does not decide completely.
  NotEl,
  // Anything else; the message is the whole text.
  Message,
};

struct Error {
  ErrorKind kind;
  std::string message;

  const std::string& text() const { return message; }
};

}  // namespace trelvanic_el
