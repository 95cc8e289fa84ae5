// The JSON layer's `Error`: a code, a message text for the codes that carry
// one, and the line and column where reading stopped.
//
// Reader errors come in two stages. Syntax errors are positioned where they
// happen. Errors about the shape of a record ("missing field `x`") are made
// without a position (line 0) and receive one from the innermost value reader
// that contains them (`Reader::fix_position`), which is where that reader
// stopped; this is why a missing field is reported at the record's closing
// brace. `text()` is the display form: the message, followed by
// " at line {} column {}" once the error has a position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>

namespace trelvanic_json {

enum class ErrorCode : uint8_t {
  Message = 0,  // free text (record shape errors, writer failures)
  EofWhileParsingList,
  EofWhileParsingObject,
  EofWhileParsingString,
  EofWhileParsingValue,
  ExpectedColon,
  ExpectedListCommaOrEnd,
  ExpectedObjectCommaOrEnd,
  ExpectedSomeIdent,
  ExpectedSomeValue,
  InvalidEscape,
  InvalidNumber,
  NumberOutOfRange,
  InvalidUnicodeCodePoint,
  ControlCharacterWhileParsingString,
  KeyMustBeAString,
  LoneLeadingSurrogateInHexEscape,
  TrailingComma,
  TrailingCharacters,
  UnexpectedEndOfHexEscape,
  RecursionLimitExceeded,
};

// The fixed message of a code ("EOF while parsing a list", ...); empty for
// `Message`.
[[nodiscard]] std::string_view error_code_text(ErrorCode code);

class Error {
 public:
  // A positioned syntax error (line counted from 1, column in bytes from the
  // start of the line; a position just after a line feed has column 0).
  static Error syntax(ErrorCode code, std::size_t line, std::size_t column) {
    return Error(code, {}, line, column);
  }
  // A text error without a position yet.
  static Error custom(std::string message) { return Error(ErrorCode::Message, std::move(message), 0, 0); }

  [[nodiscard]] ErrorCode code() const { return code_; }
  [[nodiscard]] std::size_t line() const { return line_; }
  [[nodiscard]] std::size_t column() const { return column_; }
  [[nodiscard]] bool has_position() const { return line_ != 0; }
  // The message without the position.
  [[nodiscard]] std::string message() const;
  // The display text: message plus " at line {} column {}" when positioned.
  [[nodiscard]] std::string text() const;

  // The same error placed at a position (used by `Reader::fix_position`).
  [[nodiscard]] Error at(std::size_t line, std::size_t column) const {
    return Error(code_, message_, line, column);
  }

  friend bool operator==(const Error&, const Error&) = default;

 private:
  Error(ErrorCode code, std::string message, std::size_t line, std::size_t column)
      : code_(code), message_(std::move(message)), line_(line), column_(column) {}

  ErrorCode code_;
  std::string message_;
  std::size_t line_;
  std::size_t column_;
};

template <class T>
using Result = std::expected<T, Error>;

// The standard record-shape errors, worded as the snapshot documents them.
// `expected` lists are the field or variant names, formatted as "`a`",
// "`a` or `b`" or "one of `a`, `b`, `c`".
namespace shape_error {
[[nodiscard]] Error missing_field(std::string_view field);
[[nodiscard]] Error duplicate_field(std::string_view field);
[[nodiscard]] Error unknown_field(std::string_view field, std::span<const std::string_view> expected);
[[nodiscard]] Error unknown_variant(std::string_view variant, std::span<const std::string_view> expected);
// "invalid length {len}, expected {expected}".
[[nodiscard]] Error invalid_length(std::size_t len, std::string_view expected);
// "invalid type: {unexpected}, expected {expected}"; `unexpected` is a
// description made by the `describe_*` helpers below.
[[nodiscard]] Error invalid_type(std::string_view unexpected, std::string_view expected);
// "invalid value: {unexpected}, expected {expected}".
[[nodiscard]] Error invalid_value(std::string_view unexpected, std::string_view expected);
}  // namespace shape_error

// Descriptions of an unexpected value for `invalid_type` / `invalid_value`.
[[nodiscard]] std::string describe_string(std::string_view text);  // string "x" (quoted, escaped)
[[nodiscard]] std::string describe_unsigned(uint64_t value);      // integer `5`
[[nodiscard]] std::string describe_signed(int64_t value);         // integer `-1`
[[nodiscard]] std::string describe_float(double value);           // floating point `1.0`
[[nodiscard]] std::string describe_bool(bool value);              // boolean `true`
// Fixed descriptions: "unit value", "sequence", "map", "unit variant",
// "newtype variant", "tuple variant", "struct variant".
inline constexpr std::string_view kUnexpectedUnit = "unit value";
inline constexpr std::string_view kUnexpectedSeq = "sequence";
inline constexpr std::string_view kUnexpectedMap = "map";
inline constexpr std::string_view kUnexpectedUnitVariant = "unit variant";

// Keeps only the outcome of a read whose value is not needed.
template <class T>
[[nodiscard]] Result<void> drop_value(Result<T> r) {
  if (!r) return std::unexpected(std::move(r).error());
  return {};
}

// Propagates the error of a `Result` and yields its value (a GNU statement
// expression, usable as an initializer).
#define TRELVANIC_JSON_TRY(expr)                                               \
  ({                                                                           \
    auto&& trelvanic_json_try_ = (expr);                                       \
    if (!trelvanic_json_try_.has_value())                                      \
      return std::unexpected(std::move(trelvanic_json_try_).error());          \
    std::move(trelvanic_json_try_).value();                                    \
  })

}  // namespace trelvanic_json
