#include "json/reader.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace trelvanic_json {
namespace {

// 1e0 .. 1e308, each the correctly rounded double.
const std::array<double, 309>& pow10_table() {
  static const std::array<double, 309> table = [] {
    std::array<double, 309> t{};
    char buf[16];
    for (int i = 0; i < 309; ++i) {
      std::snprintf(buf, sizeof buf, "1e%d", i);
      t[static_cast<std::size_t>(i)] = std::strtod(buf, nullptr);
    }
    return t;
  }();
  return table;
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// True when `a * 10 + b` would exceed `max`.
template <class T>
bool overflows(T a, T b, T max) {
  return a >= max / 10 && (a > max / 10 || b > max % 10);
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void push_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Length of the well-formed UTF-8 sequence at `p` (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8_sequence_length(const unsigned char* p, const unsigned char* end) {
  unsigned char b = p[0];
  auto cont = [&](std::size_t k) { return p + k < end && (p[k] & 0xC0) == 0x80; };
  if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (b == 0xE0 && p[1] < 0xA0) return 0;
    if (b == 0xED && p[1] >= 0xA0) return 0;
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (b == 0xF0 && p[1] < 0x90) return 0;
    if (b == 0xF4 && p[1] >= 0x90) return 0;
    return 4;
  }
  return 0;
}

// Advances `i` over string bytes that need no attention: everything but the
// quotation mark, the backslash and control characters. Non-ASCII bytes are
// checked as UTF-8; a malformed sequence sets `bad_utf8`.
void skip_plain(std::string_view text, std::size_t& i, bool& bad_utf8) {
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = base + text.size();
  const auto* p = base + i;
  for (;;) {
    // Eight bytes at a time while they are plain ASCII.
    while (end - p >= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      constexpr uint64_t kOnes = 0x0101010101010101ULL;
      constexpr uint64_t kHigh = 0x8080808080808080ULL;
      uint64_t quote = w ^ (kOnes * '"');
      uint64_t slash = w ^ (kOnes * '\\');
      uint64_t special = ((quote - kOnes) & ~quote) | ((slash - kOnes) & ~slash) | (w - kOnes * 0x20) | w;
      if ((special & kHigh) != 0) break;
      p += 8;
    }
    if (p == end) break;
    unsigned char c = *p;
    if (c == '"' || c == '\\' || c < 0x20) break;
    if (c < 0x80) {
      ++p;
      continue;
    }
    std::size_t n = utf8_sequence_length(p, end);
    if (n == 0) {
      bad_utf8 = true;
      n = 1;
    }
    p += n;
  }
  i = static_cast<std::size_t>(p - base);
}

}  // namespace

std::string Number::describe() const {
  switch (kind) {
    case Kind::Unsigned: return describe_unsigned(u);
    case Kind::Signed: return describe_signed(i);
    case Kind::Float: return describe_float(f);
  }
  return {};
}

bool operator==(const Number& a, const Number& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Number::Kind::Unsigned: return a.u == b.u;
    case Number::Kind::Signed: return a.i == b.i;
    case Number::Kind::Float: return a.f == b.f;
  }
  return false;
}

// --- Positions ---------------------------------------------------------------

void Reader::position_of(std::size_t i, std::size_t& line, std::size_t& column) const {
  std::string_view before = text_.substr(0, i);
  std::size_t nl = before.rfind('\n');
  std::size_t start_of_line = nl == std::string_view::npos ? 0 : nl + 1;
  std::size_t lines = 0;
  for (std::size_t k = 0; k < start_of_line; ++k) lines += text_[k] == '\n';
  line = 1 + lines;
  column = i - start_of_line;
}

Error Reader::error(ErrorCode code) const {
  std::size_t line, column;
  position_of(index_, line, column);
  return Error::syntax(code, line, column);
}

Error Reader::peek_error(ErrorCode code) const {
  std::size_t line, column;
  position_of(std::min(text_.size(), index_ + 1), line, column);
  return Error::syntax(code, line, column);
}

Error Reader::fix_position(Error err) const {
  if (err.has_position()) return err;
  std::size_t line, column;
  position_of(index_, line, column);
  return err.at(line, column);
}

// --- Structure ---------------------------------------------------------------

Result<void> Reader::enter() {
  if (--remaining_depth_ == 0) return std::unexpected(peek_error(ErrorCode::RecursionLimitExceeded));
  return {};
}

// Moves to the next array element: false at "]", true when an element
// follows (after a comma except for the first one).
Result<bool> Reader::seq_next(bool& first) {
  int c = parse_whitespace();
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingList));
  if (c == ']') return false;
  if (first) {
    first = false;
    return true;
  }
  if (c != ',') return std::unexpected(peek_error(ErrorCode::ExpectedListCommaOrEnd));
  eat();
  int n = parse_whitespace();
  if (n == ']') return std::unexpected(peek_error(ErrorCode::TrailingComma));
  if (n == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  return true;
}

// Moves to the next object key and reads it: an empty optional at "}".
// The key view lives until the next string read.
Result<std::optional<std::string_view>> Reader::map_next_key(bool& first) {
  int c = parse_whitespace();
  if (c == '}') return std::optional<std::string_view>{};
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingObject));
  if (c == ',' && !first) {
    eat();
    c = parse_whitespace();
  } else if (first) {
    first = false;
  } else {
    return std::unexpected(peek_error(ErrorCode::ExpectedObjectCommaOrEnd));
  }
  if (c == '"') {
    eat();
    auto key = parse_str();
    if (!key) return std::unexpected(std::move(key).error());
    return std::optional<std::string_view>(*key);
  }
  if (c == '}') return std::unexpected(peek_error(ErrorCode::TrailingComma));
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  return std::unexpected(peek_error(ErrorCode::KeyMustBeAString));
}

Result<void> Reader::parse_object_colon() {
  int c = parse_whitespace();
  if (c == ':') {
    eat();
    return {};
  }
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingObject));
  return std::unexpected(peek_error(ErrorCode::ExpectedColon));
}

Result<void> Reader::end_seq() {
  int c = parse_whitespace();
  if (c == ']') {
    eat();
    return {};
  }
  if (c == ',') {
    eat();
    if (parse_whitespace() == ']') return std::unexpected(peek_error(ErrorCode::TrailingComma));
    return std::unexpected(peek_error(ErrorCode::TrailingCharacters));
  }
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingList));
  return std::unexpected(peek_error(ErrorCode::TrailingCharacters));
}

Result<void> Reader::end_map() {
  int c = parse_whitespace();
  if (c == '}') {
    eat();
    return {};
  }
  if (c == ',') return std::unexpected(peek_error(ErrorCode::TrailingComma));
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingObject));
  return std::unexpected(peek_error(ErrorCode::TrailingCharacters));
}

Result<void> Reader::finish() {
  if (parse_whitespace() != kEof) return std::unexpected(peek_error(ErrorCode::TrailingCharacters));
  return {};
}

Result<void> Reader::parse_ident(std::string_view rest) {
  for (char expected : rest) {
    int c = peek();
    if (c == kEof) return std::unexpected(error(ErrorCode::EofWhileParsingValue));
    eat();
    if (c != static_cast<unsigned char>(expected)) return std::unexpected(error(ErrorCode::ExpectedSomeIdent));
  }
  return {};
}

// --- Strings -----------------------------------------------------------------

Result<std::string_view> Reader::parse_str() {
  scratch_.clear();
  bool copied = false;
  bool bad_utf8 = false;
  std::size_t start = index_;
  for (;;) {
    skip_plain(text_, index_, bad_utf8);
    if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
    char c = text_[index_];
    if (c == '"') {
      std::string_view out;
      if (!copied) {
        out = text_.substr(start, index_ - start);
      } else {
        scratch_.append(text_.substr(start, index_ - start));
        out = scratch_;
      }
      ++index_;
      if (bad_utf8) return std::unexpected(error(ErrorCode::InvalidUnicodeCodePoint));
      return out;
    }
    if (c == '\\') {
      scratch_.append(text_.substr(start, index_ - start));
      copied = true;
      ++index_;
      TRELVANIC_JSON_TRY(parse_escape());
      start = index_;
      continue;
    }
    ++index_;
    return std::unexpected(error(ErrorCode::ControlCharacterWhileParsingString));
  }
}

Result<void> Reader::parse_escape() {
  if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
  char c = text_[index_++];
  switch (c) {
    case '"': scratch_.push_back('"'); return {};
    case '\\': scratch_.push_back('\\'); return {};
    case '/': scratch_.push_back('/'); return {};
    case 'b': scratch_.push_back('\b'); return {};
    case 'f': scratch_.push_back('\f'); return {};
    case 'n': scratch_.push_back('\n'); return {};
    case 'r': scratch_.push_back('\r'); return {};
    case 't': scratch_.push_back('\t'); return {};
    case 'u': return parse_unicode_escape();
    default: return std::unexpected(error(ErrorCode::InvalidEscape));
  }
}

Result<uint16_t> Reader::decode_hex_escape() {
  if (text_.size() - index_ < 4) {
    index_ = text_.size();
    return std::unexpected(error(ErrorCode::EofWhileParsingString));
  }
  int value = 0;
  bool ok = true;
  for (int k = 0; k < 4; ++k) {
    int h = hex_value(text_[index_ + static_cast<std::size_t>(k)]);
    ok = ok && h >= 0;
    value = value * 16 + (h < 0 ? 0 : h);
  }
  index_ += 4;
  if (!ok) return std::unexpected(error(ErrorCode::InvalidEscape));
  return static_cast<uint16_t>(value);
}

// A "\u" escape: a code point outside the surrogates stands alone; a leading
// surrogate must be followed at once by "\u" and a trailing surrogate, and
// the pair gives one supplementary code point.
Result<void> Reader::parse_unicode_escape() {
  uint16_t n = TRELVANIC_JSON_TRY(decode_hex_escape());
  if (n >= 0xDC00 && n <= 0xDFFF) return std::unexpected(error(ErrorCode::LoneLeadingSurrogateInHexEscape));
  if (n < 0xD800 || n > 0xDBFF) {
    push_utf8(scratch_, n);
    return {};
  }
  if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
  if (text_[index_] != '\\') {
    ++index_;
    return std::unexpected(error(ErrorCode::UnexpectedEndOfHexEscape));
  }
  ++index_;
  if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
  if (text_[index_] != 'u') {
    ++index_;
    return std::unexpected(error(ErrorCode::UnexpectedEndOfHexEscape));
  }
  ++index_;
  uint16_t n2 = TRELVANIC_JSON_TRY(decode_hex_escape());
  if (n2 < 0xDC00 || n2 > 0xDFFF) return std::unexpected(error(ErrorCode::LoneLeadingSurrogateInHexEscape));
  uint32_t c = ((static_cast<uint32_t>(n - 0xD800) << 10) | static_cast<uint32_t>(n2 - 0xDC00)) + 0x10000;
  push_utf8(scratch_, c);
  return {};
}

Result<void> Reader::ignore_str() {
  bool bad_utf8 = false;  // skipped strings are not decoded, so not checked
  for (;;) {
    skip_plain(text_, index_, bad_utf8);
    if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
    char c = text_[index_];
    if (c == '"') {
      ++index_;
      return {};
    }
    if (c == '\\') {
      ++index_;
      if (index_ == text_.size()) return std::unexpected(error(ErrorCode::EofWhileParsingString));
      char e = text_[index_++];
      switch (e) {
        case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't': break;
        case 'u': TRELVANIC_JSON_TRY(decode_hex_escape()); break;
        default: return std::unexpected(error(ErrorCode::InvalidEscape));
      }
      continue;
    }
    ++index_;
    return std::unexpected(error(ErrorCode::ControlCharacterWhileParsingString));
  }
}

// --- Numbers -----------------------------------------------------------------

Result<Number> Reader::parse_number_value(bool positive) { return parse_integer(positive); }

Result<Number> Reader::parse_integer(bool positive) {
  int c = peek();
  if (c == kEof) return std::unexpected(error(ErrorCode::EofWhileParsingValue));
  eat();
  if (c == '0') {
    if (is_digit(peek())) return std::unexpected(peek_error(ErrorCode::InvalidNumber));
    return parse_number_tail(positive, 0);
  }
  if (c >= '1' && c <= '9') {
    uint64_t significand = static_cast<uint64_t>(c - '0');
    for (;;) {
      int d = peek();
      if (!is_digit(d)) return parse_number_tail(positive, significand);
      uint64_t digit = static_cast<uint64_t>(d - '0');
      if (overflows<uint64_t>(significand, digit, std::numeric_limits<uint64_t>::max())) {
        double f = TRELVANIC_JSON_TRY(parse_long_integer(positive, significand));
        return Number{Number::Kind::Float, 0, 0, f};
      }
      eat();
      significand = significand * 10 + digit;
    }
  }
  return std::unexpected(error(ErrorCode::InvalidNumber));
}

Result<Number> Reader::parse_number_tail(bool positive, uint64_t significand) {
  int c = peek();
  if (c == '.') {
    double f = TRELVANIC_JSON_TRY(parse_decimal(positive, significand, 0));
    return Number{Number::Kind::Float, 0, 0, f};
  }
  if (c == 'e' || c == 'E') {
    double f = TRELVANIC_JSON_TRY(parse_exponent(positive, significand, 0));
    return Number{Number::Kind::Float, 0, 0, f};
  }
  if (positive) return Number{Number::Kind::Unsigned, significand, 0, 0.0};
  // Negative: the two's-complement negation fits unless the magnitude is
  // above 2^63; "-0" is a float (negative zero).
  int64_t neg = static_cast<int64_t>(0ULL - significand);
  if (neg >= 0) return Number{Number::Kind::Float, 0, 0, -static_cast<double>(significand)};
  return Number{Number::Kind::Signed, 0, neg, 0.0};
}

Result<double> Reader::parse_long_integer(bool positive, uint64_t significand) {
  int32_t exponent = 0;
  for (;;) {
    int c = peek();
    if (is_digit(c)) {
      eat();
      ++exponent;
    } else if (c == '.') {
      return parse_decimal(positive, significand, exponent);
    } else if (c == 'e' || c == 'E') {
      return parse_exponent(positive, significand, exponent);
    } else {
      return f64_from_parts(positive, significand, exponent);
    }
  }
}

Result<double> Reader::parse_decimal(bool positive, uint64_t significand, int32_t exponent_before) {
  eat();  // "."
  int32_t exponent_after = 0;
  for (;;) {
    int c = peek();
    if (!is_digit(c)) break;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (overflows<uint64_t>(significand, digit, std::numeric_limits<uint64_t>::max())) {
      return parse_decimal_overflow(positive, significand, exponent_before + exponent_after);
    }
    eat();
    significand = significand * 10 + digit;
    --exponent_after;
  }
  if (exponent_after == 0) {
    if (peek() == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
    return std::unexpected(peek_error(ErrorCode::InvalidNumber));
  }
  int32_t exponent = exponent_before + exponent_after;
  int c = peek();
  if (c == 'e' || c == 'E') return parse_exponent(positive, significand, exponent);
  return f64_from_parts(positive, significand, exponent);
}

Result<double> Reader::parse_decimal_overflow(bool positive, uint64_t significand, int32_t exponent) {
  while (is_digit(peek())) eat();
  int c = peek();
  if (c == 'e' || c == 'E') return parse_exponent(positive, significand, exponent);
  return f64_from_parts(positive, significand, exponent);
}

Result<double> Reader::parse_exponent(bool positive, uint64_t significand, int32_t starting_exp) {
  eat();  // "e" or "E"
  bool positive_exp = true;
  if (peek() == '+') {
    eat();
  } else if (peek() == '-') {
    eat();
    positive_exp = false;
  }
  int c = peek();
  if (c == kEof) return std::unexpected(error(ErrorCode::EofWhileParsingValue));
  eat();
  if (!is_digit(c)) return std::unexpected(error(ErrorCode::InvalidNumber));
  int32_t exp = c - '0';
  for (;;) {
    int d = peek();
    if (!is_digit(d)) break;
    eat();
    int32_t digit = d - '0';
    if (overflows<int32_t>(exp, digit, std::numeric_limits<int32_t>::max())) {
      return parse_exponent_overflow(positive, significand == 0, positive_exp);
    }
    exp = exp * 10 + digit;
  }
  int64_t wide = positive_exp ? int64_t{starting_exp} + exp : int64_t{starting_exp} - exp;
  if (wide > std::numeric_limits<int32_t>::max()) wide = std::numeric_limits<int32_t>::max();
  if (wide < std::numeric_limits<int32_t>::min()) wide = std::numeric_limits<int32_t>::min();
  return f64_from_parts(positive, significand, static_cast<int32_t>(wide));
}

Result<double> Reader::parse_exponent_overflow(bool positive, bool zero_significand, bool positive_exp) {
  if (!zero_significand && positive_exp) return std::unexpected(error(ErrorCode::NumberOutOfRange));
  while (is_digit(peek())) eat();
  return positive ? 0.0 : -0.0;
}

// significand * 10^exponent by one multiplication or division with a power
// of ten; an infinite result is "number out of range".
Result<double> Reader::f64_from_parts(bool positive, uint64_t significand, int32_t exponent) {
  const auto& pow10 = pow10_table();
  double f = static_cast<double>(significand);
  for (;;) {
    uint32_t magnitude = exponent < 0 ? 0U - static_cast<uint32_t>(exponent) : static_cast<uint32_t>(exponent);
    if (magnitude < pow10.size()) {
      if (exponent >= 0) {
        f *= pow10[magnitude];
        if (std::isinf(f)) return std::unexpected(error(ErrorCode::NumberOutOfRange));
      } else {
        f /= pow10[magnitude];
      }
      break;
    }
    if (f == 0.0) break;
    if (exponent >= 0) return std::unexpected(error(ErrorCode::NumberOutOfRange));
    f /= 1e308;
    exponent += 308;
  }
  return positive ? f : -f;
}

Result<void> Reader::ignore_integer() {
  int c = peek();
  if (c != kEof) eat();
  if (c == '0') {
    if (is_digit(peek())) return std::unexpected(peek_error(ErrorCode::InvalidNumber));
  } else if (c >= '1' && c <= '9') {
    while (is_digit(peek())) eat();
  } else {
    return std::unexpected(error(ErrorCode::InvalidNumber));
  }
  int n = peek();
  if (n == '.') return ignore_decimal();
  if (n == 'e' || n == 'E') return ignore_exponent();
  return {};
}

Result<void> Reader::ignore_decimal() {
  eat();
  bool digit = false;
  while (is_digit(peek())) {
    eat();
    digit = true;
  }
  if (!digit) return std::unexpected(peek_error(ErrorCode::InvalidNumber));
  int n = peek();
  if (n == 'e' || n == 'E') return ignore_exponent();
  return {};
}

Result<void> Reader::ignore_exponent() {
  eat();
  if (peek() == '+' || peek() == '-') eat();
  int c = peek();
  if (c != kEof) eat();
  if (!is_digit(c)) return std::unexpected(error(ErrorCode::InvalidNumber));
  while (is_digit(peek())) eat();
  return {};
}

// --- Typed reads ---------------------------------------------------------------

Error Reader::peek_invalid_type(std::string_view expected) {
  Error err = Error::custom({});
  switch (peek()) {
    case 'n': {
      eat();
      if (auto r = parse_ident("ull"); !r) return r.error();
      err = shape_error::invalid_type(kUnexpectedUnit, expected);
      break;
    }
    case 't': {
      eat();
      if (auto r = parse_ident("rue"); !r) return r.error();
      err = shape_error::invalid_type(describe_bool(true), expected);
      break;
    }
    case 'f': {
      eat();
      if (auto r = parse_ident("alse"); !r) return r.error();
      err = shape_error::invalid_type(describe_bool(false), expected);
      break;
    }
    case '-': {
      eat();
      auto n = parse_integer(false);
      if (!n) return n.error();
      err = shape_error::invalid_type(n->describe(), expected);
      break;
    }
    case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9': {
      auto n = parse_integer(true);
      if (!n) return n.error();
      err = shape_error::invalid_type(n->describe(), expected);
      break;
    }
    case '"': {
      eat();
      auto s = parse_str();
      if (!s) return s.error();
      err = shape_error::invalid_type(describe_string(*s), expected);
      break;
    }
    case '[': err = shape_error::invalid_type(kUnexpectedSeq, expected); break;
    case '{': err = shape_error::invalid_type(kUnexpectedMap, expected); break;
    default: return peek_error(ErrorCode::ExpectedSomeValue);
  }
  return fix_position(std::move(err));
}

Result<Number> Reader::read_number(std::string_view expected) {
  int c = parse_whitespace();
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  if (c == '-') {
    eat();
    return parse_integer(false);
  }
  if (is_digit(c)) return parse_integer(true);
  return std::unexpected(peek_invalid_type(expected));
}

namespace {

template <class T>
Result<T> unsigned_from(const Reader& r, const Number& n, std::string_view name) {
  switch (n.kind) {
    case Number::Kind::Unsigned:
      if (n.u > std::numeric_limits<T>::max())
        return std::unexpected(r.fix_position(shape_error::invalid_value(describe_unsigned(n.u), name)));
      return static_cast<T>(n.u);
    case Number::Kind::Signed:
      return std::unexpected(r.fix_position(shape_error::invalid_value(describe_signed(n.i), name)));
    case Number::Kind::Float:
      return std::unexpected(r.fix_position(shape_error::invalid_type(describe_float(n.f), name)));
  }
  return T{};
}

}  // namespace

Result<uint32_t> Reader::read_u32() {
  Number n = TRELVANIC_JSON_TRY(read_number("u32"));
  return unsigned_from<uint32_t>(*this, n, "u32");
}

Result<uint64_t> Reader::read_u64() {
  Number n = TRELVANIC_JSON_TRY(read_number("u64"));
  return unsigned_from<uint64_t>(*this, n, "u64");
}

Result<int64_t> Reader::read_i64() {
  Number n = TRELVANIC_JSON_TRY(read_number("i64"));
  switch (n.kind) {
    case Number::Kind::Unsigned:
      if (n.u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return std::unexpected(fix_position(shape_error::invalid_value(describe_unsigned(n.u), "i64")));
      return static_cast<int64_t>(n.u);
    case Number::Kind::Signed: return n.i;
    case Number::Kind::Float:
      return std::unexpected(fix_position(shape_error::invalid_type(describe_float(n.f), "i64")));
  }
  return int64_t{};
}

Result<double> Reader::read_f64() {
  Number n = TRELVANIC_JSON_TRY(read_number("f64"));
  switch (n.kind) {
    case Number::Kind::Unsigned: return static_cast<double>(n.u);
    case Number::Kind::Signed: return static_cast<double>(n.i);
    case Number::Kind::Float: return n.f;
  }
  return 0.0;
}

Result<bool> Reader::read_bool() {
  int c = parse_whitespace();
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  if (c == 't') {
    eat();
    TRELVANIC_JSON_TRY(parse_ident("rue"));
    return true;
  }
  if (c == 'f') {
    eat();
    TRELVANIC_JSON_TRY(parse_ident("alse"));
    return false;
  }
  return std::unexpected(peek_invalid_type("a boolean"));
}

Result<std::string_view> Reader::read_str(std::string_view expected) {
  int c = parse_whitespace();
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  if (c != '"') return std::unexpected(peek_invalid_type(expected));
  eat();
  return parse_str();
}

Result<void> Reader::read_unit() {
  int c = parse_whitespace();
  if (c == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
  if (c != 'n') return std::unexpected(peek_invalid_type("unit"));
  eat();
  return parse_ident("ull");
}

Result<bool> Reader::read_null() {
  if (parse_whitespace() != 'n') return false;
  eat();
  TRELVANIC_JSON_TRY(parse_ident("ull"));
  return true;
}

// Skips one value with an explicit stack of open containers ('[' or '{'),
// so input nesting cannot exhaust the C stack.
Result<void> Reader::skip_value() {
  std::string stack;
  for (;;) {
    int c = parse_whitespace();
    bool opened = false;
    switch (c) {
      case kEof: return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
      case 'n': eat(); TRELVANIC_JSON_TRY(parse_ident("ull")); break;
      case 't': eat(); TRELVANIC_JSON_TRY(parse_ident("rue")); break;
      case 'f': eat(); TRELVANIC_JSON_TRY(parse_ident("alse")); break;
      case '-': eat(); TRELVANIC_JSON_TRY(ignore_integer()); break;
      case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
        TRELVANIC_JSON_TRY(ignore_integer());
        break;
      case '"': eat(); TRELVANIC_JSON_TRY(ignore_str()); break;
      case '[': case '{':
        eat();
        stack.push_back(static_cast<char>(c));
        opened = true;
        break;
      default: return std::unexpected(peek_error(ErrorCode::ExpectedSomeValue));
    }
    if (stack.empty()) return {};
    // After a value (or a container just opened): close containers, or find
    // the separator before the next element.
    bool accept_comma = !opened;
    for (;;) {
      char frame = stack.back();
      int n = parse_whitespace();
      if (n == ',' && accept_comma) {
        eat();
        break;
      }
      if ((n == ']' && frame == '[') || (n == '}' && frame == '{')) {
        eat();
        stack.pop_back();
        if (stack.empty()) return {};
        accept_comma = true;
        continue;
      }
      if (n == kEof) {
        return std::unexpected(
            peek_error(frame == '[' ? ErrorCode::EofWhileParsingList : ErrorCode::EofWhileParsingObject));
      }
      if (accept_comma) {
        return std::unexpected(
            peek_error(frame == '[' ? ErrorCode::ExpectedListCommaOrEnd : ErrorCode::ExpectedObjectCommaOrEnd));
      }
      break;
    }
    if (stack.back() == '{') {
      int k = parse_whitespace();
      if (k == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingValue));
      if (k != '"') return std::unexpected(peek_error(ErrorCode::KeyMustBeAString));
      eat();
      TRELVANIC_JSON_TRY(ignore_str());
      int colon = parse_whitespace();
      if (colon == kEof) return std::unexpected(peek_error(ErrorCode::EofWhileParsingObject));
      if (colon != ':') return std::unexpected(peek_error(ErrorCode::ExpectedColon));
      eat();
    }
  }
}

}  // namespace trelvanic_json
