#include "materializer/literal.h"

#include <cctype>
#include <string>
#include <string_view>

#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

namespace {

enum class Family { kNone, kDecimal, kFloat, kDouble, kString, kLangString, kBoolean, kDateTime, kAnyUri, kHex, kBase64 };

Family family_of(TermId dt) {
  using namespace vocab;
  if (dt == xsd_decimal || dt == xsd_integer || dt == xsd_nonNegativeInteger || dt == xsd_nonPositiveInteger ||
      dt == xsd_positiveInteger || dt == xsd_negativeInteger || dt == xsd_long || dt == xsd_int || dt == xsd_short ||
      dt == xsd_byte || dt == xsd_unsignedLong || dt == xsd_unsignedInt || dt == xsd_unsignedShort ||
      dt == xsd_unsignedByte)
    return Family::kDecimal;
  if (dt == xsd_float) return Family::kFloat;
  if (dt == xsd_double) return Family::kDouble;
  if (dt == xsd_string || dt == xsd_normalizedString || dt == xsd_token || dt == xsd_language || dt == xsd_Name ||
      dt == xsd_NCName || dt == xsd_NMTOKEN)
    return Family::kString;
  if (dt == rdf_langString) return Family::kLangString;
  if (dt == xsd_boolean) return Family::kBoolean;
  if (dt == xsd_dateTime || dt == xsd_dateTimeStamp) return Family::kDateTime;
  if (dt == xsd_anyURI) return Family::kAnyUri;
  if (dt == xsd_hexBinary) return Family::kHex;
  if (dt == xsd_base64Binary) return Family::kBase64;
  return Family::kNone;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A parsed xsd:decimal: sign, integer digits without leading zeros, and
// whether a non-zero fraction follows.
struct Decimal {
  bool negative = false;
  std::string digits;  // "" means zero
  bool fraction = false;
};

bool parse_decimal(std::string_view s, bool allow_point, Decimal& out) {
  s = trim(s);
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
  std::size_t start = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  std::string_view int_part = s.substr(start, i - start);
  std::string_view frac_part;
  if (i < s.size() && s[i] == '.') {
    if (!allow_point) return false;
    std::size_t f = ++i;
    while (i < s.size() && is_digit(s[i])) ++i;
    frac_part = s.substr(f, i - f);
  }
  if (i != s.size() || (int_part.empty() && frac_part.empty())) return false;
  while (!int_part.empty() && int_part.front() == '0') int_part.remove_prefix(1);
  out.digits = std::string(int_part);
  out.fraction = frac_part.find_first_not_of('0') != std::string_view::npos;
  if (out.digits.empty() && !out.fraction) out.negative = false;
  return true;
}

// Compares two non-negative digit strings without leading zeros.
int compare_digits(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

// Lower and upper bounds (magnitude digits and sign) of the integer types;
// an empty optional bound is unbounded.
struct Bound {
  bool present = false;
  bool negative = false;
  std::string digits;
};

bool below(const Decimal& v, const Bound& lo) {  // v < lo, v integral
  if (!lo.present) return false;
  bool vneg = v.negative && !v.digits.empty();
  bool lneg = lo.negative && !lo.digits.empty();
  if (vneg != lneg) return vneg;
  int c = compare_digits(v.digits, lo.digits);
  return vneg ? c > 0 : c < 0;
}

bool above(const Decimal& v, const Bound& hi) {  // v > hi, v integral
  if (!hi.present) return false;
  bool vneg = v.negative && !v.digits.empty();
  bool hneg = hi.negative && !hi.digits.empty();
  if (vneg != hneg) return hneg;
  int c = compare_digits(v.digits, hi.digits);
  return vneg ? c < 0 : c > 0;
}

void integer_bounds(TermId dt, Bound& lo, Bound& hi) {
  using namespace vocab;
  auto set = [](Bound& b, bool neg, const char* d) { b = Bound{true, neg, d}; };
  if (dt == xsd_nonNegativeInteger) set(lo, false, "");
  else if (dt == xsd_positiveInteger) set(lo, false, "1");
  else if (dt == xsd_nonPositiveInteger) set(hi, false, "");
  else if (dt == xsd_negativeInteger) set(hi, true, "1");
  else if (dt == xsd_long) { set(lo, true, "9223372036854775808"); set(hi, false, "9223372036854775807"); }
  else if (dt == xsd_int) { set(lo, true, "2147483648"); set(hi, false, "2147483647"); }
  else if (dt == xsd_short) { set(lo, true, "32768"); set(hi, false, "32767"); }
  else if (dt == xsd_byte) { set(lo, true, "128"); set(hi, false, "127"); }
  else if (dt == xsd_unsignedLong) { set(lo, false, ""); set(hi, false, "18446744073709551615"); }
  else if (dt == xsd_unsignedInt) { set(lo, false, ""); set(hi, false, "4294967295"); }
  else if (dt == xsd_unsignedShort) { set(lo, false, ""); set(hi, false, "65535"); }
  else if (dt == xsd_unsignedByte) { set(lo, false, ""); set(hi, false, "255"); }
}

// Is the decimal value v in the value space of decimal-family type dt?
bool decimal_in(const Decimal& v, TermId dt) {
  if (dt == vocab::xsd_decimal) return true;
  if (v.fraction) return false;
  Bound lo, hi;
  integer_bounds(dt, lo, hi);
  return !below(v, lo) && !above(v, hi);
}

bool valid_float(std::string_view s) {
  s = trim(s);
  if (s == "INF" || s == "-INF" || s == "+INF" || s == "NaN") return true;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < s.size() && is_digit(s[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == s.size();
}

bool fixed_digits(std::string_view s, std::size_t& i, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k, ++i)
    if (i >= s.size() || !is_digit(s[i])) return false;
  return true;
}

int two(std::string_view s, std::size_t i) { return (s[i] - '0') * 10 + (s[i + 1] - '0'); }

// -?YYYY-MM-DDThh:mm:ss(.s+)?(Z|(+|-)hh:mm)?; sets has_zone.
bool valid_date_time(std::string_view s, bool& has_zone) {
  s = trim(s);
  std::size_t i = 0;
  if (i < s.size() && s[i] == '-') ++i;
  std::size_t y = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  if (i - y < 4 || i >= s.size() || s[i] != '-') return false;
  ++i;
  std::size_t m = i;
  if (!fixed_digits(s, i, 2) || i >= s.size() || s[i++] != '-') return false;
  std::size_t d = i;
  if (!fixed_digits(s, i, 2) || i >= s.size() || s[i++] != 'T') return false;
  std::size_t h = i;
  if (!fixed_digits(s, i, 2) || i >= s.size() || s[i++] != ':') return false;
  std::size_t mi = i;
  if (!fixed_digits(s, i, 2) || i >= s.size() || s[i++] != ':') return false;
  std::size_t se = i;
  if (!fixed_digits(s, i, 2)) return false;
  if (i < s.size() && s[i] == '.') {
    ++i;
    std::size_t f = i;
    while (i < s.size() && is_digit(s[i])) ++i;
    if (i == f) return false;
  }
  int month = two(s, m), day = two(s, d), hour = two(s, h), minute = two(s, mi), second = two(s, se);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 24 || minute > 59 || second > 59) return false;
  has_zone = false;
  if (i == s.size()) return true;
  has_zone = true;
  if (s[i] == 'Z') return i + 1 == s.size();
  if (s[i] != '+' && s[i] != '-') return false;
  ++i;
  std::size_t zh = i;
  if (!fixed_digits(s, i, 2) || i >= s.size() || s[i++] != ':') return false;
  std::size_t zm = i;
  if (!fixed_digits(s, i, 2) || i != s.size()) return false;
  return two(s, zh) <= 14 && two(s, zm) <= 59;
}

bool valid_hex(std::string_view s) {
  s = trim(s);
  if (s.size() % 2 != 0) return false;
  for (char c : s)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

bool valid_base64(std::string_view s) {
  std::size_t count = 0, pad = 0;
  for (char c : s) {
    if (c == ' ') continue;
    if (c == '=') { ++pad; ++count; continue; }
    if (pad > 0) return false;
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/')) return false;
    ++count;
  }
  return count % 4 == 0 && pad <= 2;
}

bool valid_language_tag(std::string_view s) {
  std::size_t i = 0;
  bool first = true;
  while (true) {
    std::size_t start = i;
    while (i < s.size() && (std::isalpha(static_cast<unsigned char>(s[i])) || (!first && is_digit(s[i])))) ++i;
    if (i - start < 1 || i - start > 8) return false;
    if (i == s.size()) return true;
    if (s[i] != '-') return false;
    ++i;
    first = false;
  }
}

bool name_char(char c, bool first, bool colon_ok) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 0x80) return true;  // non-ASCII name characters: accepted without a table
  if (std::isalpha(u) || c == '_') return true;
  if (c == ':') return colon_ok;
  if (first) return false;
  return is_digit(c) || c == '-' || c == '.';
}

bool valid_name(std::string_view s, bool colon_ok, bool any_first) {
  if (s.empty()) return false;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!name_char(s[i], i == 0 && !any_first, colon_ok)) return false;
  return true;
}

std::string collapse(std::string_view s) {
  std::string out;
  bool space = false;
  for (char c : s) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

// Is string value v in the value space of string-family type dt?
bool string_in(std::string_view v, TermId dt) {
  using namespace vocab;
  if (dt == xsd_string) return true;
  bool normalized = v.find_first_of("\t\n\r") == std::string_view::npos;
  if (dt == xsd_normalizedString) return normalized;
  bool token = normalized && collapse(v) == v;
  if (dt == xsd_token) return token;
  if (!token) return false;
  if (dt == xsd_language) return valid_language_tag(v);
  if (dt == xsd_Name) return valid_name(v, true, false);
  if (dt == xsd_NCName) return valid_name(v, false, false);
  if (dt == xsd_NMTOKEN) return valid_name(v, true, true);
  return true;
}

// The string value of a string-family literal.
std::string string_value(std::string_view lexical, TermId dt) {
  if (dt == vocab::xsd_string) return std::string(lexical);
  if (dt == vocab::xsd_normalizedString) {
    std::string out(lexical);
    for (char& c : out)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
  }
  return collapse(lexical);
}

// Canonical text of a decimal value: sign, integer digits, fraction
// digits without trailing zeros.
std::string decimal_key(std::string_view lexical) {
  Decimal d;
  if (!parse_decimal(lexical, true, d)) return {};
  std::string_view s = trim(lexical);
  std::string fraction;
  if (auto dot = s.find('.'); dot != std::string_view::npos) {
    fraction = std::string(s.substr(dot + 1));
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }
  return std::string(d.negative ? "-" : "+") + d.digits + "." + fraction;
}

}  // namespace

bool literals_differ(const Dictionary& dict, TermId a, TermId b) {
  if (a == b || !dict.is_literal(a) || !dict.is_literal(b)) return false;
  if (!literal_well_typed(dict, a) || !literal_well_typed(dict, b)) return false;
  TermId da = dict.datatype(a), db = dict.datatype(b);
  Family fa = family_of(da), fb = family_of(db);
  if (fa == Family::kNone || fb == Family::kNone) return false;
  if (fa != fb) return true;  // the value spaces of different families are disjoint
  std::string_view la = dict.value(a), lb = dict.value(b);
  switch (fa) {
    case Family::kDecimal: return decimal_key(la) != decimal_key(lb);
    case Family::kString: return string_value(la, da) != string_value(lb, db);
    case Family::kLangString: return la != lb || dict.language(a) != dict.language(b);
    case Family::kBoolean: {
      auto truth = [](std::string_view v) { v = trim(v); return v == "true" || v == "1"; };
      return truth(la) != truth(lb);
    }
    case Family::kNone:
    case Family::kFloat:
    case Family::kDouble:
    case Family::kDateTime:
    case Family::kAnyUri:
    case Family::kHex:
    case Family::kBase64:
      return false;  // equal values with different lexical forms are possible; not decided here
  }
  return false;
}

bool known_datatype(TermId datatype) {
  return datatype == vocab::rdfs_Literal || datatype == vocab::rdf_PlainLiteral || family_of(datatype) != Family::kNone;
}

bool literal_well_typed(const Dictionary& dict, TermId id) {
  TermId dt = dict.datatype(id);
  std::string_view lex = dict.value(id);
  Decimal dec;
  bool zone = false;
  switch (family_of(dt)) {
    case Family::kNone:
    case Family::kLangString:
    case Family::kAnyUri:
      return true;
    case Family::kDecimal:
      return parse_decimal(lex, dt == vocab::xsd_decimal, dec) && decimal_in(dec, dt);
    case Family::kFloat:
    case Family::kDouble:
      return valid_float(lex);
    case Family::kString:
      return string_in(string_value(lex, dt), dt);
    case Family::kBoolean: {
      std::string_view t = trim(lex);
      return t == "true" || t == "false" || t == "1" || t == "0";
    }
    case Family::kDateTime:
      return valid_date_time(lex, zone) && (zone || dt != vocab::xsd_dateTimeStamp);
    case Family::kHex:
      return valid_hex(lex);
    case Family::kBase64:
      return valid_base64(lex);
  }
  return true;
}

Membership literal_in_datatype(const Dictionary& dict, TermId id, TermId datatype) {
  if (datatype == vocab::rdfs_Literal) return Membership::kIn;
  TermId dt = dict.datatype(id);
  Family lf = family_of(dt);
  if (lf == Family::kNone || !known_datatype(datatype) || !literal_well_typed(dict, id)) return Membership::kUnknown;
  if (datatype == vocab::rdf_PlainLiteral)
    return (lf == Family::kString || lf == Family::kLangString) ? Membership::kIn : Membership::kOut;
  Family df = family_of(datatype);
  if (lf != df) return Membership::kOut;
  std::string_view lex = dict.value(id);
  switch (df) {
    case Family::kDecimal: {
      Decimal dec;
      if (!parse_decimal(lex, true, dec)) return Membership::kUnknown;
      return decimal_in(dec, datatype) ? Membership::kIn : Membership::kOut;
    }
    case Family::kString:
      return string_in(string_value(lex, dt), datatype) ? Membership::kIn : Membership::kOut;
    case Family::kDateTime: {
      bool zone = false;
      (void)valid_date_time(lex, zone);
      return (zone || datatype != vocab::xsd_dateTimeStamp) ? Membership::kIn : Membership::kOut;
    }
    case Family::kNone:
    case Family::kFloat:
    case Family::kDouble:
    case Family::kLangString:
    case Family::kBoolean:
    case Family::kAnyUri:
    case Family::kHex:
    case Family::kBase64:
      return Membership::kIn;
  }
  return Membership::kUnknown;
}

}  // namespace trelvanic_materializer
