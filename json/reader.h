// Streaming JSON reader over one UTF-8 text: a pull parser that never builds
// a document tree.
//
// The reader keeps a byte index into the text. Callers ask it for the next
// significant byte (`parse_whitespace`), consume bytes (`eat`) and read typed
// values (`read_u32`, `read_str`, `skip_value`, ...). Records, tagged unions
// and lists are read through the helpers of "json/record.h", which build on
// these calls. Every failure is an `Error` whose position is computed from
// the index only when the error is made, so the happy path pays nothing for
// line tracking.
//
// Rules held here: JSON white space only (space, tab, line feed, carriage
// return); strings are valid UTF-8 without raw control characters, escapes
// decoded, `\uXXXX` surrogate pairs joined and lone surrogates refused;
// numbers are exact unsigned or signed 64-bit integers where they fit, else
// doubles, with no NaN or Infinity; at most 127 arrays and objects nested
// inside one another (the 128th gives "recursion limit exceeded").
//
// Usage:
//   Reader r(text);
//   auto n = r.read_u32();          // Result<uint32_t>
//   if (n) auto done = r.finish();  // only white space may follow
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "json/error.h"

namespace trelvanic_json {

inline constexpr int kEof = -1;
// Containers that may be open at once; opening one more fails.
inline constexpr int kMaxDepth = 127;

// A number as the reader found it: unsigned for non-negative integers that
// fit in 64 bits, signed for negative ones that fit, a double otherwise
// (fractions, exponents, integers too long, and "-0").
struct Number {
  enum class Kind : uint8_t { Unsigned, Signed, Float };
  Kind kind = Kind::Unsigned;
  uint64_t u = 0;
  int64_t i = 0;
  double f = 0.0;

  // The description for an invalid-type message ("integer `5`", ...).
  [[nodiscard]] std::string describe() const;
  // Same kind and same value.
  friend bool operator==(const Number& a, const Number& b);
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // --- Bytes and positions -------------------------------------------------
  [[nodiscard]] std::size_t index() const { return index_; }
  [[nodiscard]] std::string_view text() const { return text_; }
  [[nodiscard]] int peek() const {
    return index_ < text_.size() ? static_cast<unsigned char>(text_[index_]) : kEof;
  }
  void eat() { ++index_; }
  // Skips JSON white space and returns the next byte without consuming it,
  // or kEof.
  [[nodiscard]] int parse_whitespace() {
    while (index_ < text_.size()) {
      char c = text_[index_];
      if (c != ' ' && c != '\n' && c != '\t' && c != '\r') return static_cast<unsigned char>(c);
      ++index_;
    }
    return kEof;
  }

  // An error at the current index (after the last consumed byte).
  [[nodiscard]] Error error(ErrorCode code) const;
  // An error at the next byte (one past the current index).
  [[nodiscard]] Error peek_error(ErrorCode code) const;
  // Gives a not yet positioned error the current position; others unchanged.
  [[nodiscard]] Error fix_position(Error err) const;

  // --- Structure ------------------------------------------------------------
  // Counts one more open container; fails with "recursion limit exceeded" at
  // the next byte when that would exceed kMaxDepth. Pair with `leave`.
  [[nodiscard]] Result<void> enter();
  void leave() { ++remaining_depth_; }
  // Inside an array whose "[" has been consumed: moves to the next element
  // (over the comma, except before the first one, for which `first` starts
  // true) and returns true, or returns false at "]" (not consumed).
  [[nodiscard]] Result<bool> seq_next(bool& first);
  // Inside an object whose "{" has been consumed: moves to the next member
  // and reads its key (the view lives until the next string read), or
  // returns an empty optional at "}" (not consumed). The colon is left for
  // `parse_object_colon`.
  [[nodiscard]] Result<std::optional<std::string_view>> map_next_key(bool& first);
  // White space, then ":" (consumed).
  [[nodiscard]] Result<void> parse_object_colon();
  // The closing of an array or object whose elements have been read: white
  // space, then "]" / "}" (consumed); anything else is an error (a further
  // element is "trailing characters").
  [[nodiscard]] Result<void> end_seq();
  [[nodiscard]] Result<void> end_map();
  // End of the document: only white space may remain.
  [[nodiscard]] Result<void> finish();
  // Reads the rest of a literal whose first byte has been consumed
  // (`parse_ident("ull")` after "n").
  [[nodiscard]] Result<void> parse_ident(std::string_view rest);

  // --- Scalars at the current position (white space skipped first) --------
  // Each fails with "invalid type: ..., expected {what}" for a value of
  // another JSON type, positioned after that value (or before a container).
  [[nodiscard]] Result<uint32_t> read_u32();
  [[nodiscard]] Result<uint64_t> read_u64();
  [[nodiscard]] Result<int64_t> read_i64();
  [[nodiscard]] Result<double> read_f64();
  [[nodiscard]] Result<bool> read_bool();
  // A string; the view points into the text or into a scratch buffer that
  // the next string read reuses.
  [[nodiscard]] Result<std::string_view> read_str(std::string_view expected = "a string");
  [[nodiscard]] Result<std::string> read_string() {
    auto s = read_str();
    if (!s) return std::unexpected(std::move(s).error());
    return std::string(*s);
  }
  // `null` and nothing else ("expected unit" otherwise).
  [[nodiscard]] Result<void> read_unit();
  // For optional values: consumes `null` and returns true, or consumes
  // nothing and returns false (the caller then reads the value).
  [[nodiscard]] Result<bool> read_null();
  // Reads and discards one well-formed value of any depth (no nesting limit:
  // it keeps its own stack and recurses nowhere).
  [[nodiscard]] Result<void> skip_value();

  // --- Lower-level pieces for value readers ---------------------------------
  // The body of a string whose opening quote has been consumed, up to and
  // including the closing quote.
  [[nodiscard]] Result<std::string_view> parse_str();
  // A number whose sign ("-") has been consumed when `positive` is false.
  [[nodiscard]] Result<Number> parse_number_value(bool positive);
  // The error for a value of the wrong JSON type at the current position:
  // reads the value when it is a scalar (to describe it) and makes
  // "invalid type: {value}, expected {expected}", positioned.
  [[nodiscard]] Error peek_invalid_type(std::string_view expected);

 private:
  [[nodiscard]] Result<Number> parse_integer(bool positive);
  [[nodiscard]] Result<Number> parse_number_tail(bool positive, uint64_t significand);
  [[nodiscard]] Result<double> parse_long_integer(bool positive, uint64_t significand);
  [[nodiscard]] Result<double> parse_decimal(bool positive, uint64_t significand, int32_t exponent);
  [[nodiscard]] Result<double> parse_decimal_overflow(bool positive, uint64_t significand, int32_t exponent);
  [[nodiscard]] Result<double> parse_exponent(bool positive, uint64_t significand, int32_t starting_exp);
  [[nodiscard]] Result<double> parse_exponent_overflow(bool positive, bool zero_significand, bool positive_exp);
  [[nodiscard]] Result<double> f64_from_parts(bool positive, uint64_t significand, int32_t exponent);
  [[nodiscard]] Result<void> parse_escape();
  [[nodiscard]] Result<void> parse_unicode_escape();
  [[nodiscard]] Result<uint16_t> decode_hex_escape();
  [[nodiscard]] Result<void> ignore_str();
  [[nodiscard]] Result<void> ignore_integer();
  [[nodiscard]] Result<void> ignore_decimal();
  [[nodiscard]] Result<void> ignore_exponent();
  [[nodiscard]] Result<Number> read_number(std::string_view expected);
  void position_of(std::size_t i, std::size_t& line, std::size_t& column) const;

  std::string_view text_;
  std::size_t index_ = 0;
  int remaining_depth_ = kMaxDepth + 1;
  std::string scratch_;
};

}  // namespace trelvanic_json
