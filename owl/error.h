// The error of the OWL readers: a kind, a message and, where the input has
// one, the line and column (both from 1) at which reading stopped.
//
// `text()` is the display text the loader wraps: the message followed by
// " at line L, column C" when a position is known (" at line L" when only
// the line is: OWL/XML errors found after parsing an element carry the
// element's line).
#pragma once

#include <cstdint>
#include <expected>
#include <string>

namespace trelvanic_owl {

enum class ErrorKind : uint8_t {
  Syntax,    // the text does not follow the grammar
  Xml,       // the XML is not well formed (OWL/XML)
  Limit,     // nesting or size beyond what the reader accepts
  Internal,  // a failure inside the reader (allocation, library error)
};

class Error {
 public:
  Error(ErrorKind kind, std::string message, uint32_t line = 0, uint32_t column = 0)
      : kind_(kind), message_(std::move(message)), line_(line), column_(column) {}

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  [[nodiscard]] const std::string& message() const { return message_; }
  [[nodiscard]] uint32_t line() const { return line_; }
  [[nodiscard]] uint32_t column() const { return column_; }
  [[nodiscard]] std::string text() const;

 private:
  ErrorKind kind_;
  std::string message_;
  uint32_t line_;
  uint32_t column_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_owl
