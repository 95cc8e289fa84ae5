#include "dl/datatype/witness.h"

#include "dl/datatype/pattern.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace trelvanic_dl::datatype {

namespace {

constexpr size_t kMaxNodes = 64;
constexpr size_t kMaxCandidates = 256;
constexpr uint64_t kMaxLength = 4096;

std::string int128_text(__int128 x) {
  if (x == 0) return "0";
  const bool neg = x < 0;
  unsigned __int128 m = neg ? -static_cast<unsigned __int128>(x) : static_cast<unsigned __int128>(x);
  std::string out;
  while (m) {
    out += static_cast<char>('0' + static_cast<int>(m % 10));
    m /= 10;
  }
  if (neg) out += '-';
  std::reverse(out.begin(), out.end());
  return out;
}

std::string float_text(double x, bool single) {
  char buf[64];
  std::snprintf(buf, sizeof buf, single ? "%.9g" : "%.17g", x);
  return buf;
}

// Fraction digits of a bound past which no half step is made next to it.
constexpr size_t kMaxStepDigits = 64;

// The two decimals half a last place away from a terminating real number
// (0.1 gives 0.15 and 0.05, 1 gives 1.5 and 0.5, 0 gives 0.5 and -0.5), for
// ranges between bounds that hold no integer.
std::vector<std::string> half_steps(const DataValue& v) {
  const std::string sign = v.negative ? "-" : "";
  const std::string& whole = v.integer_digits;
  const std::string& frac = v.fraction_digits;
  std::vector<std::string> out;
  out.push_back(sign + whole + "." + frac + "5");  // away from zero
  std::string digits = whole + frac;  // the magnitude in last places
  if (digits.find_first_not_of('0') == std::string::npos) {
    out.push_back("-0." + frac + "5");
    return out;
  }
  size_t i = digits.size();
  while (i-- > 0) {
    if (digits[i] != '0') {
      --digits[i];
      break;
    }
    digits[i] = '9';
  }
  const size_t k = frac.size();
  out.push_back(sign + digits.substr(0, digits.size() - k) + "." + digits.substr(digits.size() - k) + "5");
  return out;
}

class Candidates {
 public:
  void add(std::string_view lexical, Dt dt) {
    if (out_.size() >= kMaxCandidates) return;
    Parsed p = parse_value(lexical, dt);
    if (p.status == Parsed::Status::Ok && p.value) out_.push_back(std::move(*p.value));
  }
  void add(const DataValue& v) {
    if (out_.size() < kMaxCandidates) out_.push_back(v);
  }

  // Values next to a bound: the integers around it, the bound itself, and
  // the floating-point values either side of it.
  void around(const DataValue& bound, const FacetValue& f, Dt base) {
    add(f.lexical, base);
    if (bound.family == Family::Real && !bound.non_terminating && bound.integer_digits.size() <= 30) {
      __int128 i = 0;
      for (char c : bound.integer_digits) i = i * 10 + (c - '0');
      if (bound.negative) i = -i;
      for (int d = -1; d <= 2; ++d) add(int128_text(i + d), base);
      if (bound.fraction_digits.size() <= kMaxStepDigits)
        for (const std::string& t : half_steps(bound)) add(t, base);
    }
    if (bound.family == Family::Float || bound.family == Family::Double) {
      const bool single = bound.family == Family::Float;
      for (double to : {-INFINITY, INFINITY}) {
        const double next = single ? std::nextafter(static_cast<float>(bound.fp), static_cast<float>(to))
                                   : std::nextafter(bound.fp, to);
        add(float_text(next, single), base);
      }
    }
  }

  // Texts and octet strings of the shortest length the facets allow.
  void of_length(Dt base, const std::vector<FacetValue>& facets) {
    uint64_t len = 0;
    for (const FacetValue& f : facets)
      if (f.facet == Facet::Length || f.facet == Facet::MinLength)
        if (auto n = facet_count_value(f)) len = std::max(len, *n);
    if (len > kMaxLength) return;
    switch (family(base)) {
      case Family::String:
      case Family::AnyUri: add(std::string(len, 'a'), base); break;
      case Family::HexBinary: add(std::string(2 * len, '0'), base); break;
      case Family::Base64Binary: {
        std::string text(4 * (len / 3), 'A');
        if (len % 3 == 1) text += "AA==";
        if (len % 3 == 2) text += "AAA=";
        add(text, base);
        break;
      }
      default: break;
    }
  }

  void restriction(Dt base, const std::vector<FacetValue>& facets) {
    for (const FacetValue& f : facets) {
      if (f.facet != Facet::MinInclusive && f.facet != Facet::MaxInclusive && f.facet != Facet::MinExclusive &&
          f.facet != Facet::MaxExclusive)
        continue;
      if (auto b = facet_bound_value(f, base)) around(*b, f, base);
    }
    of_length(base, facets);
    for (const FacetValue& f : facets) {
      if (f.facet != Facet::Pattern) continue;
      if (auto p = compile_pattern(f.lexical))
        if (auto text = pattern_example(*p)) add(*text, base);
    }
    for (const char* s : {"0", "1", "-1", "true", "false", "a", "", "00", "AAAA"}) add(s, base);
  }

  const std::vector<DataValue>& values() const { return out_; }

 private:
  std::vector<DataValue> out_;
};

}  // namespace

std::optional<DataValue> find_witness(const DataRange& range, uint32_t at) {
  Candidates c;
  // The nodes under `at`, breadth first, at most kMaxNodes of them.
  std::vector<uint32_t> queue{at};
  std::vector<uint8_t> seen(range.nodes.size(), 0);
  for (size_t i = 0; i < queue.size() && i < kMaxNodes; ++i) {
    const uint32_t n = queue[i];
    if (n >= range.nodes.size() || seen[n]) continue;
    seen[n] = 1;
    const DataRangeNode& node = range.nodes[n];
    switch (node.kind) {
      case DataRangeNode::Kind::Restriction: c.restriction(node.base, node.facets); break;
      case DataRangeNode::Kind::OneOf:
        for (const DataValue& v : node.values) c.add(v);
        break;
      default: break;
    }
    for (uint32_t m : node.members)
      if (queue.size() < 4 * kMaxNodes) queue.push_back(m);
  }
  // Something of a few families, for complements and the top range.
  c.add("0", Dt::Integer);
  c.add("a", Dt::String);
  c.add("true", Dt::Boolean);
  c.add("0", Dt::Double);
  for (const DataValue& v : c.values())
    if (satisfies(v, range, at) == std::optional<bool>(true)) return v;
  return std::nullopt;
}

}  // namespace trelvanic_dl::datatype
