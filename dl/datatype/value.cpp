#include "dl/datatype/value.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <limits>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "dl/datatype/canonical.h"

namespace trelvanic_dl::datatype {

namespace {

using Status = Parsed::Status;

Parsed ok(DataValue v) { return Parsed{Status::Ok, std::move(v)}; }
Parsed ill_typed() { return Parsed{Status::IllTyped, std::nullopt}; }
Parsed unknown() { return Parsed{Status::Unknown, std::nullopt}; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool all_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), is_digit);
}

// XSD's collapse of white space for the non-string types: ASCII space,
// tab, line feed and carriage return around the text are dropped.
std::string_view collapse_ends(std::string_view s) {
  auto ws = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && ws(s.front())) s.remove_prefix(1);
  while (!s.empty() && ws(s.back())) s.remove_suffix(1);
  return s;
}

std::string collapse_all(std::string_view s) {
  std::string out;
  bool space = false;
  for (char c : collapse_ends(s)) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      space = true;
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

// --- exact numbers -------------------------------------------------------

void set_number_key(DataValue& v) {
  v.family = Family::Real;
  if (v.integer_digits.empty()) v.integer_digits.push_back('0');
  if (v.integer_digits == "0" && v.fraction_digits.empty()) v.negative = false;
  v.key.clear();
  if (v.negative) v.key.push_back('-');
  v.key.append(v.integer_digits);
  if (!v.fraction_digits.empty()) v.key.append(1, '.').append(v.fraction_digits);
}

std::string strip_leading_zeros(std::string_view d) {
  size_t i = 0;
  while (i + 1 < d.size() && d[i] == '0') ++i;
  return std::string(d.substr(i));
}

// [+-]?(\d+(\.\d*)?|\.\d+)
std::optional<DataValue> read_decimal(std::string_view s) {
  DataValue v;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    v.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view frac = dot == std::string_view::npos ? std::string_view{} : s.substr(dot + 1);
  if (whole.empty() && frac.empty()) return std::nullopt;
  if (!whole.empty() && !all_digits(whole)) return std::nullopt;
  if (!frac.empty() && !all_digits(frac)) return std::nullopt;
  if (dot != std::string_view::npos && whole.empty() && frac.empty()) return std::nullopt;
  v.integer_digits = whole.empty() ? "0" : strip_leading_zeros(whole);
  while (!frac.empty() && frac.back() == '0') frac.remove_suffix(1);
  v.fraction_digits = std::string(frac);
  set_number_key(v);
  return v;
}

// Digits times a small factor, exactly.
std::string times(std::string_view digits, unsigned m) {
  std::string out(digits.size() + 2, '0');
  unsigned carry = 0;
  size_t o = out.size();
  for (size_t i = digits.size(); i-- > 0;) {
    unsigned x = static_cast<unsigned>(digits[i] - '0') * m + carry;
    out[--o] = static_cast<char>('0' + x % 10);
    carry = x / 10;
  }
  while (carry != 0) {
    out[--o] = static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  return strip_leading_zeros(std::string_view(out).substr(o));
}

std::string to_digits(unsigned __int128 x) {
  if (x == 0) return "0";
  std::string s;
  while (x != 0) {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(x % 10)));
    x /= 10;
  }
  return s;
}

std::optional<unsigned __int128> to_u128(std::string_view digits) {
  unsigned __int128 x = 0;
  const unsigned __int128 max = ~static_cast<unsigned __int128>(0);
  for (char c : digits) {
    const unsigned d = static_cast<unsigned>(c - '0');
    if (x > (max - d) / 10) return std::nullopt;
    x = x * 10 + d;
  }
  return x;
}

// numerator/denominator ([+-]?\d+/\d+): the reduced fraction, as a
// terminating decimal when it has one. Parts beyond 128 bits are not read.
Parsed read_fraction(std::string_view s) {
  const size_t slash = s.find('/');
  std::string_view num = s.substr(0, slash), den = s.substr(slash + 1);
  DataValue v;
  if (!num.empty() && (num.front() == '+' || num.front() == '-')) {
    v.negative = num.front() == '-';
    num.remove_prefix(1);
  }
  if (!all_digits(num) || !all_digits(den)) return ill_typed();
  auto n = to_u128(num), d = to_u128(den);
  if (!n || !d) return unknown();
  if (*d == 0) return ill_typed();
  unsigned __int128 a = *n, b = *d;
  while (b != 0) {
    unsigned __int128 t = a % b;
    a = b;
    b = t;
  }
  unsigned __int128 rn = *n / a, rd = *d / a;
  int twos = 0, fives = 0;
  unsigned __int128 rest = rd;
  while (rest % 2 == 0) rest /= 2, ++twos;
  while (rest % 5 == 0) rest /= 5, ++fives;
  if (rest != 1) {
    v.family = Family::Real;
    v.non_terminating = true;
    v.integer_digits = to_digits(rn);
    v.fraction_digits = to_digits(rd);
    v.key = (v.negative ? "-" : "") + v.integer_digits + "/" + v.fraction_digits;
    return ok(std::move(v));
  }
  // rn / (2^a 5^b) = rn · 2^(k−a) 5^(k−b) / 10^k.
  const int k = std::max(twos, fives);
  std::string scaled = to_digits(rn);
  for (int i = twos; i < k; ++i) scaled = times(scaled, 2);
  for (int i = fives; i < k; ++i) scaled = times(scaled, 5);
  if (scaled.size() <= static_cast<size_t>(k)) scaled.insert(0, static_cast<size_t>(k) - scaled.size() + 1, '0');
  const std::string_view digits = scaled;
  std::string text(v.negative ? "-" : "");
  text.append(digits.substr(0, digits.size() - k));
  if (k != 0) text.append(1, '.').append(digits.substr(digits.size() - k));
  auto d2 = read_decimal(text);
  if (!d2) return ill_typed();
  return ok(std::move(*d2));
}

int compare_digits(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a.compare(b) > 0 ? 1 : 0);
}

// Terminating values only.
int compare_decimals(const DataValue& a, const DataValue& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  int c = compare_digits(a.integer_digits, b.integer_digits);
  if (c == 0) {
    c = a.fraction_digits.compare(b.fraction_digits);
    c = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return a.negative ? -c : c;
}

bool within(const DataValue& v, const IntegerRange& r) {
  auto bound = [](std::string_view text) {
    DataValue b = *read_decimal(text);
    return b;
  };
  if (!r.min.empty() && compare_decimals(v, bound(r.min)) < 0) return false;
  if (!r.max.empty() && compare_decimals(v, bound(r.max)) > 0) return false;
  return true;
}

// --- floating point --------------------------------------------------------

bool float_lexical(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  const size_t e = s.find_first_of("eE");
  std::string_view mantissa = s.substr(0, e);
  if (!read_decimal(mantissa) || mantissa.starts_with('+') || mantissa.starts_with('-')) return false;
  if (e == std::string_view::npos) return true;
  std::string_view exp = s.substr(e + 1);
  if (!exp.empty() && (exp.front() == '+' || exp.front() == '-')) exp.remove_prefix(1);
  return all_digits(exp);
}

template <class F>
Parsed read_floating(std::string_view s, Family family) {
  DataValue v;
  v.family = family;
  if (s == "NaN") {
    v.fp = std::nan("");
    v.key = "NaN";
    return ok(std::move(v));
  }
  if (s == "INF" || s == "+INF" || s == "-INF") {
    v.fp = s.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    v.key = s.front() == '-' ? "-INF" : "INF";
    return ok(std::move(v));
  }
  if (!float_lexical(s)) return ill_typed();
  std::string_view body = s.front() == '+' ? s.substr(1) : s;
  F x{};
  auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), x, std::chars_format::general);
  if (end != body.data() + body.size()) return ill_typed();
  if (ec == std::errc::result_out_of_range) {
    // Beyond the type's range: rounds to an infinity or to a zero.
    const bool neg = body.front() == '-';
    const size_t e = body.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && body.substr(e + 1).starts_with('-');
    x = tiny ? (neg ? -F(0) : F(0)) : (neg ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity());
  }
  v.fp = static_cast<double>(x);
  char buf[32];
  if constexpr (sizeof(F) == 4) {
    std::snprintf(buf, sizeof buf, "%08x", std::bit_cast<uint32_t>(x));
  } else {
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(std::bit_cast<uint64_t>(x)));
  }
  v.key = std::isinf(x) ? (x < 0 ? "-INF" : "INF") : buf;
  return ok(std::move(v));
}

// --- strings -----------------------------------------------------------------

bool language_tag(std::string_view s) {
  size_t part = 0, len = 0;
  for (char c : s) {
    if (c == '-') {
      if (len == 0) return false;
      ++part;
      len = 0;
      continue;
    }
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!(alpha || (part > 0 && is_digit(c)))) return false;
    if (++len > 8) return false;
  }
  return len > 0;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

DataValue string_value(std::string text, std::string language) {
  DataValue v;
  v.family = Family::String;
  v.text = std::move(text);
  v.language = lower(language);
  v.key = v.text + '\0' + v.language;
  return v;
}

bool name_start(unsigned char c, bool colon) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80 || (colon && c == ':');
}
bool name_char(unsigned char c, bool colon) {
  return name_start(c, colon) || is_digit(static_cast<char>(c)) || c == '-' || c == '.' || c == 0xB7;
}

bool string_constraint(std::string_view t, Dt dt) {
  const bool normalized = t.find_first_of("\t\n\r") == std::string_view::npos;
  const bool token = normalized && !t.starts_with(' ') && !t.ends_with(' ') && t.find("  ") == std::string_view::npos;
  switch (dt) {
    case Dt::NormalizedString: return normalized;
    case Dt::Token: return token;
    case Dt::Language: return token && language_tag(t);
    case Dt::NMToken:
      return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return name_char(static_cast<unsigned char>(c), true); });
    case Dt::Name:
    case Dt::NCName: {
      const bool colon = dt == Dt::Name;
      if (t.empty() || !name_start(static_cast<unsigned char>(t.front()), colon)) return false;
      return std::all_of(t.begin(), t.end(), [&](char c) { return name_char(static_cast<unsigned char>(c), colon); });
    }
    default: return true;
  }
}

// "text@lang": the text before the last "@" and its tag.
Parsed read_plain(std::string_view s, bool need_language) {
  const size_t at = s.rfind('@');
  if (at == std::string_view::npos) {
    if (need_language) return ill_typed();
    return ok(string_value(std::string(s), ""));
  }
  std::string_view lang = s.substr(at + 1);
  if (lang.empty()) {
    if (need_language) return ill_typed();
    return ok(string_value(std::string(s.substr(0, at)), ""));
  }
  if (!language_tag(lang)) return ill_typed();
  return ok(string_value(std::string(s.substr(0, at)), std::string(lang)));
}

// --- binary ------------------------------------------------------------------

Parsed read_hex(std::string_view s) {
  if (s.size() % 2 != 0) return ill_typed();
  std::string key;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return ill_typed();
    key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  DataValue v;
  v.family = Family::HexBinary;
  v.key = std::move(key);
  return ok(std::move(v));
}

Parsed read_base64(std::string_view raw) {
  std::string s;
  for (char c : raw)
    if (c != ' ') s += c;
  if (s.size() % 4 != 0) return ill_typed();
  auto code = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (is_digit(c)) return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string bytes;
  for (size_t i = 0; i < s.size(); i += 4) {
    const bool last = i + 4 == s.size();
    int pad = 0;
    uint32_t word = 0;
    for (size_t j = 0; j < 4; ++j) {
      const char c = s[i + j];
      int x;
      if (c == '=') {
        if (!last || j < 2) return ill_typed();
        ++pad;
        x = 0;
      } else {
        if (pad != 0) return ill_typed();
        x = code(c);
        if (x < 0) return ill_typed();
      }
      word = (word << 6) | static_cast<uint32_t>(x);
    }
    bytes += static_cast<char>(word >> 16);
    if (pad < 2) bytes += static_cast<char>((word >> 8) & 0xFF);
    if (pad < 1) bytes += static_cast<char>(word & 0xFF);
  }
  DataValue v;
  v.family = Family::Base64Binary;
  v.key = std::move(bytes);
  return ok(std::move(v));
}

// --- time instants -------------------------------------------------------

int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe);
}

bool leap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::optional<int> two_digits(std::string_view s, size_t at) {
  if (at + 2 > s.size() || !is_digit(s[at]) || !is_digit(s[at + 1])) return std::nullopt;
  return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

// -?YYYY-MM-DDThh:mm:ss(.s+)?(Z|(+|-)hh:mm)?
Parsed read_datetime(std::string_view s, bool need_zone) {
  size_t i = 0;
  const bool bc = !s.empty() && s[0] == '-';
  if (bc) ++i;
  size_t y0 = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  const size_t ylen = i - y0;
  if (ylen < 4 || ylen > 12 || (ylen > 4 && s[y0] == '0')) return ill_typed();
  int64_t year = 0;
  for (size_t k = y0; k < i; ++k) year = year * 10 + (s[k] - '0');
  if (bc) year = -year;
  if (i >= s.size() || s[i] != '-') return ill_typed();
  auto month = two_digits(s, i + 1);
  if (!month || i + 3 >= s.size() || s[i + 3] != '-') return ill_typed();
  auto day = two_digits(s, i + 4);
  i += 6;
  if (!day || i >= s.size() || s[i] != 'T') return ill_typed();
  auto hour = two_digits(s, i + 1);
  auto minute = i + 3 < s.size() && s[i + 3] == ':' ? two_digits(s, i + 4) : std::nullopt;
  auto second = i + 6 < s.size() && s[i + 6] == ':' ? two_digits(s, i + 7) : std::nullopt;
  if (!hour || !minute || !second) return ill_typed();
  const int hh = *hour, mm = *minute, ss = *second;
  i += 9;
  std::string fraction;
  if (i < s.size() && s[i] == '.') {
    ++i;
    const size_t f0 = i;
    while (i < s.size() && is_digit(s[i])) ++i;
    if (i == f0) return ill_typed();
    fraction = std::string(s.substr(f0, i - f0));
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }
  std::optional<int> zone_minutes;
  if (i < s.size()) {
    if (s[i] == 'Z' && i + 1 == s.size()) {
      zone_minutes = 0;
    } else if ((s[i] == '+' || s[i] == '-') && i + 6 == s.size() && s[i + 3] == ':') {
      auto zh = two_digits(s, i + 1), zm = two_digits(s, i + 4);
      if (!zh || !zm || *zm > 59 || *zh * 60 + *zm > 14 * 60) return ill_typed();
      zone_minutes = (*zh * 60 + *zm) * (s[i] == '-' ? -1 : 1);
    } else {
      return ill_typed();
    }
  }
  if (need_zone && !zone_minutes) return ill_typed();
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (*month < 1 || *month > 12) return ill_typed();
  const int max_day = *month == 2 && leap(year) ? 29 : kDays[*month - 1];
  if (*day < 1 || *day > max_day || mm > 59 || ss > 59) return ill_typed();
  if (hh > 24 || (hh == 24 && (mm != 0 || ss != 0 || !fraction.empty()))) return ill_typed();
  DataValue v;
  v.family = Family::DateTime;
  v.has_timezone = zone_minutes.has_value();
  v.seconds = days_from_civil(year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)) * 86400 +
              hh * 3600 + mm * 60 + ss - zone_minutes.value_or(0) * 60;
  v.subsecond = std::move(fraction);
  v.key = std::string(v.has_timezone ? "Z" : "L") + std::to_string(v.seconds) + "." + v.subsecond;
  return ok(std::move(v));
}

}  // namespace

Parsed parse_value(std::string_view lexical, Dt dt) {
  switch (family(dt)) {
    case Family::None:
    case Family::Top:
      return unknown();
    case Family::Real: {
      if (dt == Dt::Real) return unknown();  // owl:real has no lexical forms of its own
      std::string_view s = collapse_ends(lexical);
      if (dt == Dt::Rational && s.find('/') != std::string_view::npos) return read_fraction(s);
      if (dt != Dt::Rational && dt != Dt::Decimal && s.find('.') != std::string_view::npos) return ill_typed();
      auto v = read_decimal(s);
      if (!v) return ill_typed();
      if (auto in = in_value_space(*v, dt); !in || !*in) return ill_typed();
      return ok(std::move(*v));
    }
    case Family::Float:
      return read_floating<float>(collapse_ends(lexical), Family::Float);
    case Family::Double:
      return read_floating<double>(collapse_ends(lexical), Family::Double);
    case Family::String: {
      if (dt == Dt::PlainLiteral) return read_plain(lexical, false);
      if (dt == Dt::LangString) return read_plain(lexical, true);
      std::string text(lexical);
      if (dt == Dt::NormalizedString) {
        for (char& c : text)
          if (c == '\t' || c == '\n' || c == '\r') c = ' ';
      } else if (dt != Dt::String) {
        text = collapse_all(lexical);
      }
      if (!string_constraint(text, dt)) return ill_typed();
      return ok(string_value(std::move(text), ""));
    }
    case Family::Boolean: {
      std::string_view s = collapse_ends(lexical);
      if (s != "true" && s != "false" && s != "1" && s != "0") return ill_typed();
      DataValue v;
      v.family = Family::Boolean;
      v.key = s == "true" || s == "1" ? "true" : "false";
      return ok(std::move(v));
    }
    case Family::HexBinary:
      return read_hex(collapse_ends(lexical));
    case Family::Base64Binary:
      return read_base64(collapse_ends(lexical));
    case Family::AnyUri: {
      DataValue v;
      v.family = Family::AnyUri;
      v.key = collapse_all(lexical);
      return ok(std::move(v));
    }
    case Family::DateTime:
      return read_datetime(collapse_ends(lexical), dt == Dt::DateTimeStamp);
    case Family::XmlLiteral: {
      DataValue v;
      v.family = Family::XmlLiteral;
      v.key = canonical_xml_literal(lexical);
      return ok(std::move(v));
    }
  }
  return unknown();
}

std::optional<bool> in_value_space(const DataValue& v, Dt dt) {
  const Family f = family(dt);
  if (f == Family::None) return std::nullopt;
  if (f == Family::Top) return true;
  if (f != v.family) return false;
  switch (f) {
    case Family::Real:
      if (dt == Dt::Real || dt == Dt::Rational) return true;
      if (v.non_terminating) return false;
      if (dt == Dt::Decimal) return true;
      return v.fraction_digits.empty() && within(v, *integer_range(dt));
    case Family::String:
      if (dt == Dt::PlainLiteral) return true;
      if (dt == Dt::LangString) return !v.language.empty();
      return v.language.empty() && string_constraint(v.text, dt);
    case Family::DateTime:
      return dt == Dt::DateTime || v.has_timezone;
    default:
      return true;
  }
}

bool same_value(const DataValue& a, const DataValue& b) { return a.family == b.family && a.key == b.key; }

std::string distinct_value_key(const DataValue& v) {
  // Tags without ":" of their own, so that no two families share a text.
  std::string_view tag = "?:";
  switch (v.family) {
    case Family::None:
    case Family::Top: break;
    case Family::Real: tag = "q:"; break;
    case Family::Float: tag = "f:"; break;
    case Family::Double: tag = "n:"; break;
    case Family::String: tag = "s:"; break;
    case Family::Boolean: tag = "b:"; break;
    case Family::HexBinary: tag = "hex:"; break;
    case Family::Base64Binary: tag = "b64:"; break;
    case Family::AnyUri: tag = "uri:"; break;
    case Family::DateTime: tag = "dt:"; break;
    case Family::XmlLiteral: tag = "xml:"; break;
  }
  std::string out(tag);
  out += v.key;
  return out;
}

std::optional<std::partial_ordering> compare_values(const DataValue& a, const DataValue& b) {
  if (a.family != b.family) return std::nullopt;
  switch (a.family) {
    case Family::Real: {
      if (a.non_terminating || b.non_terminating) {
        if (same_value(a, b)) return std::partial_ordering::equivalent;
        return std::nullopt;  // not compared here
      }
      const int c = compare_decimals(a, b);
      return c < 0 ? std::partial_ordering::less : c > 0 ? std::partial_ordering::greater : std::partial_ordering::equivalent;
    }
    case Family::Float:
    case Family::Double:
      return a.fp <=> b.fp;
    case Family::String:
      if (a.language != b.language) return std::nullopt;
      return a.text <=> b.text;
    case Family::DateTime:
      if (a.has_timezone != b.has_timezone) return std::nullopt;
      if (a.seconds != b.seconds) return a.seconds <=> b.seconds;
      return a.subsecond <=> b.subsecond;
    default:
      if (same_value(a, b)) return std::partial_ordering::equivalent;
      return std::nullopt;
  }
}

}  // namespace trelvanic_dl::datatype
