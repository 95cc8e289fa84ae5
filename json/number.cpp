#include "json/number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace trelvanic_json {
namespace {

// The shortest round-trip digits of a positive finite value and the decimal
// exponent of the first digit: value = 0.d1d2d3... * 10^point.
struct Digits {
  std::string digits;
  int point = 0;
};

Digits shortest_digits(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  Digits out;
  std::size_t e = text.find('e');
  for (char c : text.substr(0, e)) {
    if (c != '.') out.digits.push_back(c);
  }
  int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  out.point = exponent + 1;
  while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
  return out;
}

}  // namespace

std::string format_float_json(double value) {
  if (!std::isfinite(value)) return "null";
  std::string out;
  if (std::signbit(value)) out.push_back('-');
  if (value == 0.0) return out + "0.0";
  Digits d = shortest_digits(std::fabs(value));
  const int length = static_cast<int>(d.digits.size());
  const int kk = d.point;           // 10^(kk-1) <= v < 10^kk
  const int k = kk - length;        // v = digits * 10^k
  if (k >= 0 && kk <= 16) {
    out += d.digits;
    out.append(static_cast<std::size_t>(k), '0');
    out += ".0";
  } else if (kk > 0 && kk <= 16) {
    out += d.digits.substr(0, static_cast<std::size_t>(kk));
    out.push_back('.');
    out += d.digits.substr(static_cast<std::size_t>(kk));
  } else if (kk > -5 && kk <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-kk), '0');
    out += d.digits;
  } else {
    out.push_back(d.digits[0]);
    if (length > 1) {
      out.push_back('.');
      out += d.digits.substr(1);
    }
    out.push_back('e');
    out += std::to_string(kk - 1);
  }
  return out;
}

std::string format_float_plain(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::string out;
  if (std::signbit(value)) out.push_back('-');
  if (value == 0.0) return out + "0.0";
  Digits d = shortest_digits(std::fabs(value));
  const int length = static_cast<int>(d.digits.size());
  if (d.point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.point), '0');
    out += d.digits;
  } else if (d.point >= length) {
    out += d.digits;
    out.append(static_cast<std::size_t>(d.point - length), '0');
    out += ".0";
  } else {
    out += d.digits.substr(0, static_cast<std::size_t>(d.point));
    out.push_back('.');
    out += d.digits.substr(static_cast<std::size_t>(d.point));
  }
  return out;
}

}  // namespace trelvanic_json
