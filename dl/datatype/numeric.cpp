#include "dl/datatype/numeric.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "dl/datatype/canonical.h"

namespace trelvanic_dl::datatype {

namespace {

constexpr Int128 kMax = static_cast<Int128>(~static_cast<unsigned __int128>(0) >> 1);
constexpr Int128 kMin = -kMax - 1;
// The largest value whose tenfold still fits a signed 128-bit integer.
constexpr Int128 kTenthOfMax = kMax / 10;

// Decimal floating-point syntax, with inf, infinity and nan in any case.
std::optional<double> read_double(std::string_view s) {
  if (s.empty()) return std::nullopt;
  std::string_view body = s;
  bool neg = false;
  if (body.front() == '+' || body.front() == '-') {
    neg = body.front() == '-';
    body.remove_prefix(1);
  }
  std::string word;
  for (char c : body) word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (word == "inf" || word == "infinity") return neg ? -HUGE_VAL : HUGE_VAL;
  if (word == "nan") return std::nan("");
  double x = 0;
  auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), x, std::chars_format::general);
  if (end != body.data() + body.size() || body.empty()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) x = std::strtod(std::string(body).c_str(), nullptr);
  return neg ? -x : x;
}

// [+-]?\d+ within the signed 128-bit range.
std::optional<Int128> read_int128(std::string_view s) {
  bool neg = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    neg = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  unsigned __int128 x = 0;
  const unsigned __int128 limit = neg ? static_cast<unsigned __int128>(kMax) + 1 : static_cast<unsigned __int128>(kMax);
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (x > (limit - d) / 10) return std::nullopt;
    x = x * 10 + d;
  }
  if (neg) return x == static_cast<unsigned __int128>(kMax) + 1 ? kMin : -static_cast<Int128>(x);
  return static_cast<Int128>(x);
}

Int128 abs128(Int128 x) { return x < 0 ? -x : x; }

std::optional<Fraction> reduce(Int128 n, Int128 d) {
  if (d == 0 || n == kMin || d == kMin) return std::nullopt;
  Int128 a = abs128(n), b = abs128(d);
  while (b != 0) {
    Int128 t = a % b;
    a = b;
    b = t;
  }
  if (a == 0) a = 1;
  n /= a;
  d /= a;
  if (d < 0) n = -n, d = -d;
  return Fraction{n, d};
}

}  // namespace

std::optional<double> parse_numeric(std::string_view text) {
  if (text == "INF" || text == "+INF") return HUGE_VAL;
  if (text == "-INF") return -HUGE_VAL;
  if (text == "NaN") return std::nan("");
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text == "-0") return 0.0;
  if (text.find('/') == std::string_view::npos) return read_double(text);
  const size_t slash = text.find('/');
  if (text.find('/', slash + 1) != std::string_view::npos) return std::nullopt;
  auto a = read_double(text.substr(0, slash)), b = read_double(text.substr(slash + 1));
  if (!a || !b) return std::nullopt;
  if (*b == 0) return std::nan("");
  return *a / *b;
}

std::optional<Fraction> rational_pair(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  if (const size_t slash = text.find('/'); slash != std::string_view::npos) {
    auto n = read_int128(trim_white_space(text.substr(0, slash)));
    auto d = read_int128(trim_white_space(text.substr(slash + 1)));
    if (!n || !d || *d == 0) return std::nullopt;
    return reduce(*n, *d);
  }
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string_view whole = text.substr(0, dot), frac = text.substr(dot + 1);
  if (whole.empty() || frac.empty() || frac.size() > 38) return std::nullopt;
  auto w = read_int128(whole), f = read_int128(frac);
  if (!w || !f) return std::nullopt;
  Int128 scale = 1;
  for (size_t i = 0; i < frac.size(); ++i) scale *= 10;
  // w · 10^k ± f, refused where it leaves 128 bits.
  if (abs128(*w) > kMax / scale) return std::nullopt;
  Int128 n = *w * scale;
  const Int128 part = whole.starts_with('-') ? -*f : *f;
  if ((part > 0 && n > kMax - part) || (part < 0 && n < kMin - part)) return std::nullopt;
  return reduce(n + part, scale);
}

std::optional<Int128> whole_number_lexical(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.find('/') != std::string_view::npos) return std::nullopt;
  if (text.find('.') != std::string_view::npos) {
    auto x = parse_numeric(text);
    if (!x || !std::isfinite(*x) || *x != std::trunc(*x)) return std::nullopt;
    if (*x >= 1.7014118346046923e38) return kMax;
    if (*x <= -1.7014118346046923e38) return kMin;
    return static_cast<Int128>(*x);
  }
  return read_int128(text);
}

bool lexical_looks_numeric(std::string_view text) {
  if (text == "-0" || text == "+0" || text == "+INF" || text == "-INF" || text == "INF" || text == "NaN") return true;
  if (text.find('/') == std::string_view::npos && !text.starts_with('+') && read_double(text)) return true;
  return rational_pair(text).has_value();
}

bool rational_has_terminating_decimal_expansion(Int128 numerator, Int128 denominator) {
  if (denominator == 0) return false;
  Int128 d = abs128(denominator);
  while (d % 2 == 0) d /= 2;
  while (d % 5 == 0) d /= 5;
  if (d != 1) return false;
  return abs128(numerator) <= kTenthOfMax;
}

}  // namespace trelvanic_dl::datatype
