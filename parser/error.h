// The loader's `Error`: what every step of loading an ontology file returns.
//
// Four kinds, each printing its own text:
//   - `UnsupportedFormat`: "unsupported format: {message}" (no syntax detected);
//   - `Parse`: "parse error: {message}" (limit breaches, path refusals,
//     reader failures, and failures of open/seek/read/canonicalisation, which
//     carry the operating system's error text);
//   - `Io`: the operating system's error text alone (only the current
//     directory lookup and the two file-status calls of the sandbox);
//   - `Core`: a core model error, printed by its own rules.
//
// Build errors with the named constructors, branch on `kind()`, print with
// `message()`. `Result<T>` is the expected type of every fallible function.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

#include "core/error.h"

namespace trelvanic_parser {

enum class ErrorKind : uint8_t {
  UnsupportedFormat = 0,
  Parse = 1,
  Io = 2,
  Core = 3,
};

class Error {
 public:
  static Error unsupported_format(std::string message) {
    return Error(ErrorKind::UnsupportedFormat, std::move(message), 0);
  }
  static Error parse(std::string message) { return Error(ErrorKind::Parse, std::move(message), 0); }
  // `Io` for the failed system call whose errno is `errnum`.
  static Error io(int errnum);
  // `Parse` carrying the text of the system error `errnum` (a failed open,
  // seek, read or canonicalisation).
  static Error parse_from_errno(int errnum);
  // Wraps a core model error whole.
  static Error core(trelvanic_core::Error error);

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  // The payload text: the message of `UnsupportedFormat` and `Parse`, the
  // system error text of `Io`, the core error's display text of `Core`.
  [[nodiscard]] const std::string& detail() const { return text_; }
  // The errno behind an `Io` error, or behind a `Parse` made from one; else 0.
  [[nodiscard]] int os_error() const { return errno_; }
  // The wrapped core error of a `Core` error.
  [[nodiscard]] const std::optional<trelvanic_core::Error>& core_error() const { return core_; }

  // The display text, e.g. "parse error: not a file: /tmp/x".
  [[nodiscard]] std::string message() const;

  friend bool operator==(const Error&, const Error&) = default;

 private:
  Error(ErrorKind kind, std::string text, int errnum) : kind_(kind), text_(std::move(text)), errno_(errnum) {}

  ErrorKind kind_;
  std::string text_;
  int errno_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

// The system's text for errno value `errnum` (thread-safe).
[[nodiscard]] std::string os_error_text(int errnum);

}  // namespace trelvanic_parser
