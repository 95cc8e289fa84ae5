#include "json/error.h"

#include <fmt/format.h>

#include "json/number.h"

namespace trelvanic_json {

std::string_view error_code_text(ErrorCode code) {
  switch (code) {
    case ErrorCode::Message: return {};
    case ErrorCode::EofWhileParsingList: return "EOF while parsing a list";
    case ErrorCode::EofWhileParsingObject: return "EOF while parsing an object";
    case ErrorCode::EofWhileParsingString: return "EOF while parsing a string";
    case ErrorCode::EofWhileParsingValue: return "EOF while parsing a value";
    case ErrorCode::ExpectedColon: return "expected `:`";
    case ErrorCode::ExpectedListCommaOrEnd: return "expected `,` or `]`";
    case ErrorCode::ExpectedObjectCommaOrEnd: return "expected `,` or `}`";
    case ErrorCode::ExpectedSomeIdent: return "expected ident";
    case ErrorCode::ExpectedSomeValue: return "expected value";
    case ErrorCode::InvalidEscape: return "invalid escape";
    case ErrorCode::InvalidNumber: return "invalid number";
    case ErrorCode::NumberOutOfRange: return "number out of range";
    case ErrorCode::InvalidUnicodeCodePoint: return "invalid unicode code point";
    case ErrorCode::ControlCharacterWhileParsingString:
      return "control character (\\u0000-\\u001F) found while parsing a string";
    case ErrorCode::KeyMustBeAString: return "key must be a string";
    case ErrorCode::LoneLeadingSurrogateInHexEscape: return "lone leading surrogate in hex escape";
    case ErrorCode::TrailingComma: return "trailing comma";
    case ErrorCode::TrailingCharacters: return "trailing characters";
    case ErrorCode::UnexpectedEndOfHexEscape: return "unexpected end of hex escape";
    case ErrorCode::RecursionLimitExceeded: return "recursion limit exceeded";
  }
  return {};
}

std::string Error::message() const {
  if (code_ == ErrorCode::Message) return message_;
  return std::string(error_code_text(code_));
}

std::string Error::text() const {
  if (line_ == 0) return message();
  return fmt::format("{} at line {} column {}", message(), line_, column_);
}

namespace {

// "`a`", "`a` or `b`", "one of `a`, `b`, `c`".
std::string one_of(std::span<const std::string_view> names) {
  if (names.size() == 1) return fmt::format("`{}`", names[0]);
  if (names.size() == 2) return fmt::format("`{}` or `{}`", names[0], names[1]);
  std::string out = "one of ";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ", ";
    out += fmt::format("`{}`", names[i]);
  }
  return out;
}

// Decodes one UTF-8 sequence starting at `i` (the text is valid UTF-8; a
// malformed byte is taken as a code point of its own).
char32_t decode_utf8(std::string_view s, std::size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
  char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
  if (b >= 0x80 && b < 0xC0) extra = 0;
  ++i;
  for (int k = 0; k < extra && i < s.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  return c;
}

// Characters printed as "\u{..}" in a quoted description: control and
// format characters that would be invisible or break the message line.
bool printable(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD) return false;
  if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F)) return false;
  if (c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) || c == 0xFFFE || c == 0xFFFF) return false;
  if (c >= 0xE000 && c <= 0xF8FF) return false;
  return true;
}

}  // namespace

namespace shape_error {

Error missing_field(std::string_view field) { return Error::custom(fmt::format("missing field `{}`", field)); }

Error duplicate_field(std::string_view field) { return Error::custom(fmt::format("duplicate field `{}`", field)); }

Error unknown_field(std::string_view field, std::span<const std::string_view> expected) {
  if (expected.empty()) return Error::custom(fmt::format("unknown field `{}`, there are no fields", field));
  return Error::custom(fmt::format("unknown field `{}`, expected {}", field, one_of(expected)));
}

Error unknown_variant(std::string_view variant, std::span<const std::string_view> expected) {
  if (expected.empty()) return Error::custom(fmt::format("unknown variant `{}`, there are no variants", variant));
  return Error::custom(fmt::format("unknown variant `{}`, expected {}", variant, one_of(expected)));
}

Error invalid_length(std::size_t len, std::string_view expected) {
  return Error::custom(fmt::format("invalid length {}, expected {}", len, expected));
}

Error invalid_type(std::string_view unexpected, std::string_view expected) {
  return Error::custom(fmt::format("invalid type: {}, expected {}", unexpected, expected));
}

Error invalid_value(std::string_view unexpected, std::string_view expected) {
  return Error::custom(fmt::format("invalid value: {}, expected {}", unexpected, expected));
}

}  // namespace shape_error

std::string describe_string(std::string_view text) {
  std::string out = "string \"";
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t start = i;
    char32_t c = decode_utf8(text, i);
    switch (c) {
      case U'\0': out += "\\0"; continue;
      case U'\t': out += "\\t"; continue;
      case U'\r': out += "\\r"; continue;
      case U'\n': out += "\\n"; continue;
      case U'\\': out += "\\\\"; continue;
      case U'"': out += "\\\""; continue;
      default: break;
    }
    if (printable(c)) {
      out.append(text.substr(start, i - start));
    } else {
      out += fmt::format("\\u{{{:x}}}", static_cast<uint32_t>(c));
    }
  }
  out.push_back('"');
  return out;
}

std::string describe_unsigned(uint64_t value) { return fmt::format("integer `{}`", value); }
std::string describe_signed(int64_t value) { return fmt::format("integer `{}`", value); }
std::string describe_float(double value) { return fmt::format("floating point `{}`", format_float_plain(value)); }
std::string describe_bool(bool value) { return fmt::format("boolean `{}`", value ? "true" : "false"); }

}  // namespace trelvanic_json
