#include "dl/datatype/count.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_set.h>

namespace trelvanic_dl::datatype {

namespace {

constexpr int kMaxDepth = 256;
constexpr size_t kMaxSteps = 10000;
// Digit facets and string lengths past these are not expanded into digits.
constexpr uint64_t kMaxScale = 4096;
constexpr uint64_t kMaxExactLength = 256;
// Characters of XML (and so of xsd:string): #x9 #xA #xD, #x20-#xD7FF,
// #xE000-#xFFFD, #x10000-#x10FFFF; xsd:normalizedString lacks the first three.
constexpr uint64_t kStringAlphabet = 3 + (0xD7FF - 0x20 + 1) + (0xFFFD - 0xE000 + 1) + 0x100000;
constexpr uint64_t kNormalizedAlphabet = kStringAlphabet - 3;

// --- decimal digits of any size ----------------------------------------------

std::string strip(std::string d) {
  const size_t i = d.find_first_not_of('0');
  return i == std::string::npos ? "0" : d.substr(i);
}

int compare_mag(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string add_mag(const std::string& a, const std::string& b) {
  std::string out;
  int carry = 0;
  for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    int d = carry;
    if (i < a.size()) d += a[a.size() - 1 - i] - '0';
    if (i < b.size()) d += b[b.size() - 1 - i] - '0';
    out += static_cast<char>('0' + d % 10);
    carry = d / 10;
  }
  std::reverse(out.begin(), out.end());
  return strip(out);
}

// a - b for a >= b
std::string sub_mag(const std::string& a, const std::string& b) {
  std::string out;
  int borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int d = a[a.size() - 1 - i] - '0' - borrow;
    if (i < b.size()) d -= b[b.size() - 1 - i] - '0';
    borrow = d < 0;
    out += static_cast<char>('0' + (d + 10) % 10);
  }
  std::reverse(out.begin(), out.end());
  return strip(out);
}

std::string mul_small(const std::string& a, uint64_t m) {
  std::string out;
  unsigned __int128 carry = 0;
  for (size_t i = a.size(); i-- > 0;) {
    const unsigned __int128 d = static_cast<unsigned __int128>(a[i] - '0') * m + carry;
    out += static_cast<char>('0' + static_cast<int>(d % 10));
    carry = d / 10;
  }
  while (carry) {
    out += static_cast<char>('0' + static_cast<int>(carry % 10));
    carry /= 10;
  }
  std::reverse(out.begin(), out.end());
  return strip(out);
}

std::string digits_of(unsigned __int128 x) {
  std::string out;
  do {
    out += static_cast<char>('0' + static_cast<int>(x % 10));
    x /= 10;
  } while (x);
  std::reverse(out.begin(), out.end());
  return out;
}

// A signed integer of any size.
struct Big {
  bool neg = false;
  std::string mag = "0";
};

Big make_big(bool neg, std::string mag) {
  mag = strip(std::move(mag));
  return Big{neg && mag != "0", std::move(mag)};
}

int compare_big(const Big& a, const Big& b) {
  if (a.neg != b.neg) return a.neg ? -1 : 1;
  const int c = compare_mag(a.mag, b.mag);
  return a.neg ? -c : c;
}

Big add_big(const Big& a, const Big& b) {
  if (a.neg == b.neg) return make_big(a.neg, add_mag(a.mag, b.mag));
  if (compare_mag(a.mag, b.mag) >= 0) return make_big(a.neg, sub_mag(a.mag, b.mag));
  return make_big(b.neg, sub_mag(b.mag, a.mag));
}

Big plus(const Big& a, int d) { return add_big(a, make_big(d < 0, std::to_string(d < 0 ? -d : d))); }

// Integers first..last: last - first + 1, or 0.
ValueCount interval_count(const Big& first, const Big& last) {
  if (compare_big(first, last) > 0) return ValueCount::exact("0");
  return ValueCount::exact(plus(add_big(last, Big{!first.neg && first.mag != "0", first.mag}), 1).mag);
}

// floor and ceiling of v * 10^k (v a terminating number).
std::pair<Big, Big> scaled_floor_ceil(const DataValue& v, uint64_t k) {
  std::string digits = v.integer_digits + v.fraction_digits.substr(0, std::min<size_t>(k, v.fraction_digits.size()));
  if (v.fraction_digits.size() < k) digits.append(k - v.fraction_digits.size(), '0');
  const bool rest = v.fraction_digits.size() > k &&
                    v.fraction_digits.find_first_not_of('0', k) != std::string::npos;
  const Big down = make_big(v.negative, digits);
  if (!rest) return {down, down};
  // down is the truncation toward zero
  if (v.negative) return {plus(down, -1), down};
  return {down, plus(down, 1)};
}

// a^lo + a^(lo+1) + ... + a^hi
std::string power_sum(uint64_t a, uint64_t lo, uint64_t hi) {
  std::string term = "1", sum = "0";
  for (uint64_t n = 0; n <= hi; ++n) {
    if (n >= lo) sum = add_mag(sum, term);
    term = mul_small(term, a);
  }
  return sum;
}

std::string power(uint64_t a, uint64_t n) {
  std::string term = "1";
  for (uint64_t i = 0; i < n; ++i) term = mul_small(term, a);
  return term;
}

bool is_bound(Facet f) {
  return f == Facet::MinInclusive || f == Facet::MinExclusive || f == Facet::MaxInclusive || f == Facet::MaxExclusive;
}
bool is_lower(Facet f) { return f == Facet::MinInclusive || f == Facet::MinExclusive; }
bool is_exclusive(Facet f) { return f == Facet::MinExclusive || f == Facet::MaxExclusive; }

// --- restrictions ----------------------------------------------------------------

// Integers (k == 0) or decimals of at most k fraction digits between the
// bounds, counted as the integers between the scaled bounds.
ValueCount count_scaled(Dt base, const std::vector<FacetValue>& facets, uint64_t k) {
  std::optional<Big> first, last;
  auto lower = [&](Big b) { if (!first || compare_big(b, *first) > 0) first = std::move(b); };
  auto upper = [&](Big b) { if (!last || compare_big(b, *last) < 0) last = std::move(b); };
  if (const IntegerRange* range = integer_range(base)) {
    auto read = [](std::string_view t) { return make_big(t.front() == '-', std::string(t.substr(t.front() == '-'))); };
    if (!range->min.empty()) lower(read(range->min));
    if (!range->max.empty()) upper(read(range->max));
  }
  for (const FacetValue& f : facets) {
    if (f.facet == Facet::TotalDigits) {
      auto t = facet_count_value(f);
      if (!t || *t == 0 || *t > kMaxScale) return ValueCount::unknown();
      if (k == 0) {  // |i| < 10^t
        lower(make_big(true, std::string(*t, '9')));
        upper(make_big(false, std::string(*t, '9')));
      }
      continue;
    }
    if (f.facet == Facet::FractionDigits && !facet_count_value(f)) return ValueCount::unknown();
    if (!is_bound(f.facet)) continue;
    auto v = facet_bound_value(f, base);
    if (!v || v->non_terminating) return ValueCount::unknown();
    auto [down, up] = scaled_floor_ceil(*v, k);
    if (is_lower(f.facet)) lower(is_exclusive(f.facet) ? plus(down, 1) : up);
    else upper(is_exclusive(f.facet) ? plus(up, -1) : down);
  }
  if (!first || !last) return ValueCount::infinite();
  return interval_count(*first, *last);
}

// Dense value spaces (decimals, rationals, reals, time instants): empty,
// one value, or infinitely many.
ValueCount count_dense(Dt base, const std::vector<FacetValue>& facets) {
  std::optional<DataValue> lo, hi;
  bool lo_open = false, hi_open = false;
  for (const FacetValue& f : facets) {
    if (!is_bound(f.facet)) return ValueCount::unknown();
    auto v = facet_bound_value(f, base);
    if (!v) return ValueCount::unknown();
    auto& slot = is_lower(f.facet) ? lo : hi;
    bool& open = is_lower(f.facet) ? lo_open : hi_open;
    if (!slot) {
      slot = std::move(v);
      open = is_exclusive(f.facet);
      continue;
    }
    auto c = compare_values(*v, *slot);
    if (!c || c == std::partial_ordering::unordered) return ValueCount::unknown();
    const bool tighter = is_lower(f.facet) ? *c > 0 : *c < 0;
    if (tighter || (*c == 0 && is_exclusive(f.facet))) {
      slot = std::move(v);
      open = is_exclusive(f.facet);
    }
  }
  if (!lo || !hi) return ValueCount::infinite();
  auto c = compare_values(*lo, *hi);
  if (!c || c == std::partial_ordering::unordered) return ValueCount::unknown();
  if (*c < 0) return ValueCount::infinite();
  if (*c > 0 || lo_open || hi_open) return ValueCount::exact("0");
  // One value; a time instant's bound may still lie outside the base.
  auto in = in_value_space(*lo, base);
  if (!in) return ValueCount::unknown();
  return ValueCount::exact(*in ? "1" : "0");
}

// Floating-point values by their place in the order: the bit pattern of a
// positive value, its negation for a negative one; both zeros sit at 0.
__int128 float_place(const DataValue& v) {
  if (v.family == Family::Float) {
    const auto bits = std::bit_cast<uint32_t>(static_cast<float>(v.fp));
    const __int128 mag = bits & 0x7FFFFFFFu;
    return (bits >> 31) ? -mag : mag;
  }
  const auto bits = std::bit_cast<uint64_t>(v.fp);
  const __int128 mag = bits & 0x7FFFFFFFFFFFFFFFull;
  return (bits >> 63) ? -mag : mag;
}

ValueCount count_floating(Dt base, const std::vector<FacetValue>& facets) {
  const __int128 inf = base == Dt::Float ? 0x7F800000 : static_cast<__int128>(0x7FF0000000000000ull);
  __int128 lo = -inf, hi = inf;
  bool bounded = false;
  for (const FacetValue& f : facets) {
    auto v = facet_bound_value(f, base);
    if (!v) return ValueCount::unknown();
    bounded = true;
    if (std::isnan(v->fp)) return ValueCount::exact("0");  // nothing is ordered against NaN
    const __int128 p = float_place(*v);
    if (is_lower(f.facet)) lo = std::max(lo, p + (is_exclusive(f.facet) ? 1 : 0));
    else hi = std::min(hi, p - (is_exclusive(f.facet) ? 1 : 0));
  }
  if (lo > hi) return ValueCount::exact("0");
  __int128 n = hi - lo + 1;
  if (lo <= 0 && hi >= 0) ++n;  // -0 and +0 are two values at one place
  if (!bounded) ++n;            // NaN
  return ValueCount::exact(digits_of(static_cast<unsigned __int128>(n)));
}

// Lengths in [lo, hi] over an alphabet of `letters` symbols.
ValueCount count_lengths(uint64_t letters, uint64_t lo, std::optional<uint64_t> hi) {
  if (!hi) return ValueCount::infinite();
  if (lo > *hi) return ValueCount::exact("0");
  if (*hi > kMaxExactLength) return ValueCount::at_least(power(letters, kMaxExactLength));
  return ValueCount::exact(power_sum(letters, lo, *hi));
}

ValueCount count_sequences(Dt base, const std::vector<FacetValue>& facets) {
  uint64_t lo = 0;
  std::optional<uint64_t> hi;
  bool pattern = false;
  for (const FacetValue& f : facets) {
    if (f.facet == Facet::Pattern) {
      pattern = true;
      continue;
    }
    auto n = facet_count_value(f);
    if (!n) return ValueCount::unknown();
    if (f.facet != Facet::MaxLength) lo = std::max(lo, *n);
    if (f.facet != Facet::MinLength) hi = hi ? std::min(*hi, *n) : *n;
  }
  if (hi && lo > *hi) return ValueCount::exact("0");
  if (pattern) return ValueCount::unknown();
  switch (base) {
    case Dt::String: return count_lengths(kStringAlphabet, lo, hi);
    case Dt::NormalizedString: return count_lengths(kNormalizedAlphabet, lo, hi);
    case Dt::HexBinary:
    case Dt::Base64Binary: return count_lengths(256, lo, hi);
    default:
      if (!hi) return ValueCount::infinite();
      if (facets.empty()) break;
      if (*hi == 0) {
        // only the empty text, which these types hold or not
        if (base == Dt::Token || base == Dt::AnyUri) return ValueCount::exact("1");
        if (base == Dt::Name || base == Dt::NCName || base == Dt::NMToken || base == Dt::Language)
          return ValueCount::exact("0");
      }
      return ValueCount::unknown();
  }
  return ValueCount::unknown();
}

}  // namespace

ValueCount count_restriction(Dt base, const std::vector<FacetValue>& facets) {
  for (const FacetValue& f : facets)
    if (!facet_applies(f.facet, base)) return ValueCount::unknown();
  switch (family(base)) {
    case Family::None: return ValueCount::unknown();
    case Family::Top:
    case Family::XmlLiteral: return ValueCount::infinite();  // no facet applies
    case Family::Boolean: return ValueCount::exact("2");
    case Family::Float:
    case Family::Double: return count_floating(base, facets);
    case Family::DateTime: return count_dense(base, facets);
    case Family::Real: {
      if (subtype_of(base, Dt::Integer)) return count_scaled(base, facets, 0);
      std::optional<uint64_t> fraction;
      bool total = false;
      for (const FacetValue& f : facets) {
        if (f.facet == Facet::TotalDigits) total = true;
        if (f.facet != Facet::FractionDigits) continue;
        auto n = facet_count_value(f);
        if (!n || *n > kMaxScale) return ValueCount::unknown();
        fraction = fraction ? std::min(*fraction, *n) : *n;
      }
      if (total) return ValueCount::unknown();
      if (fraction) return count_scaled(base, facets, *fraction);
      return count_dense(base, facets);
    }
    case Family::String:
    case Family::HexBinary:
    case Family::Base64Binary:
    case Family::AnyUri: return count_sequences(base, facets);
  }
  return ValueCount::unknown();
}

namespace {

using Kind = DataRangeNode::Kind;

struct Counter {
  const DataRange& r;
  size_t steps = 0;
  // Nodes on the current path: a range that contains itself counts as unknown.
  std::vector<uint8_t> active = std::vector<uint8_t>(r.nodes.size(), 0);

  struct Enter {
    std::vector<uint8_t>& a;
    uint32_t at;
    ~Enter() { a[at] = 0; }
  };

  const DataRangeNode* node(uint32_t at) const { return at < r.nodes.size() ? &r.nodes[at] : nullptr; }

  // The one family all values of a node lie in, when there is one.
  std::optional<Family> single_family(uint32_t at, int depth) {
    const DataRangeNode* n = node(at);
    if (!n || depth > kMaxDepth || ++steps > kMaxSteps || active[at]) return std::nullopt;
    active[at] = 1;
    Enter enter{active, at};
    switch (n->kind) {
      case Kind::Restriction: {
        const Family f = family(n->base);
        if (f == Family::None || f == Family::Top) return std::nullopt;
        return f;
      }
      case Kind::OneOf: {
        if (n->values.empty()) return std::nullopt;
        for (const DataValue& v : n->values)
          if (v.family != n->values.front().family) return std::nullopt;
        return n->values.front().family;
      }
      case Kind::And:
        for (uint32_t m : n->members)
          if (auto f = single_family(m, depth + 1)) return f;
        return std::nullopt;
      case Kind::Or: {
        std::optional<Family> common;
        for (uint32_t m : n->members) {
          auto f = single_family(m, depth + 1);
          if (!f || (common && *common != *f)) return std::nullopt;
          common = f;
        }
        return common;
      }
      case Kind::Top:
      case Kind::Not: return std::nullopt;
    }
    return std::nullopt;
  }

  ValueCount count(uint32_t at, int depth) {
    const DataRangeNode* n = node(at);
    if (!n || depth > kMaxDepth || ++steps > kMaxSteps || active[at]) return ValueCount::unknown();
    active[at] = 1;
    Enter enter{active, at};
    switch (n->kind) {
      case Kind::Top: return ValueCount::infinite();
      case Kind::Restriction: return count_restriction(n->base, n->facets);
      case Kind::OneOf: return ValueCount::exact(std::to_string(distinct(n->values).size()));
      case Kind::And: return count_and(at, *n, depth);
      case Kind::Or: return count_or(*n, depth);
      case Kind::Not: {
        if (n->members.size() != 1) return ValueCount::unknown();
        const uint32_t x = n->members.front();
        const DataRangeNode* inner = node(x);
        if (inner && inner->kind == Kind::Not && inner->members.size() == 1)
          return count(inner->members.front(), depth + 2);
        if (inner && (inner->kind == Kind::Top ||
                      (inner->kind == Kind::Restriction && inner->base == Dt::Literal && inner->facets.empty())))
          return ValueCount::exact("0");
        // Leaving out a finite set, or part of one family, leaves infinitely many.
        if (single_family(x, depth + 1) || count(x, depth + 1).kind == ValueCount::Kind::Exact)
          return ValueCount::infinite();
        return ValueCount::unknown();
      }
    }
    return ValueCount::unknown();
  }

  // The values of an enumeration, or of a union of enumerations (the shape
  // a list of literals takes in the store).
  std::optional<std::vector<DataValue>> enumeration(uint32_t at) const {
    const DataRangeNode* n = node(at);
    if (!n) return std::nullopt;
    if (n->kind == Kind::OneOf) return n->values;
    if (n->kind != Kind::Or) return std::nullopt;
    std::vector<DataValue> out;
    for (uint32_t m : n->members) {
      const DataRangeNode* e = node(m);
      if (!e || e->kind != Kind::OneOf) return std::nullopt;
      out.insert(out.end(), e->values.begin(), e->values.end());
    }
    return out;
  }

  // One entry per data value, in the order listed.
  static std::vector<const DataValue*> distinct(const std::vector<DataValue>& values) {
    std::vector<const DataValue*> out;
    absl::flat_hash_set<std::string> seen;
    for (const DataValue& v : values)
      if (seen.insert(distinct_value_key(v)).second) out.push_back(&v);
    return out;
  }

  // The restrictions of an intersection as one: the narrowest base and all
  // facets. False when two of them lie in different families.
  struct Merged {
    bool empty = false;
    bool known = true;
    Dt base = Dt::Literal;
    std::vector<FacetValue> facets;
  };

  static Merged merge(const std::vector<const DataRangeNode*>& rs) {
    Merged m;
    std::optional<Family> fam;
    for (const DataRangeNode* r : rs) {
      const Family f = family(r->base);
      // A facet read against a narrower base must have meant something on its own.
      for (const FacetValue& fv : r->facets)
        if (!facet_applies(fv.facet, r->base)) m.known = false;
      if (f == Family::None) m.known = false;
      if (f == Family::None || f == Family::Top) continue;
      if (fam && *fam != f) m.empty = true;
      fam = f;
    }
    if (m.empty || !m.known) return m;
    // the narrowest base, when the bases form a chain
    bool chain = true;
    for (const DataRangeNode* r : rs) {
      if (subtype_of(r->base, m.base)) m.base = r->base;
      else if (!subtype_of(m.base, r->base)) chain = false;
    }
    bool integers = true;
    for (const DataRangeNode* r : rs) {
      m.facets.insert(m.facets.end(), r->facets.begin(), r->facets.end());
      if (family(r->base) != Family::Top && !subtype_of(r->base, Dt::Integer)) integers = false;
    }
    if (chain) return m;
    if (!integers) {
      m.known = false;
      return m;
    }
    // Integer types side by side: the integers within every type's bounds.
    m.base = Dt::Integer;
    for (const DataRangeNode* r : rs) {
      const IntegerRange* range = integer_range(r->base);
      if (!range) continue;
      if (!range->min.empty()) m.facets.push_back({Facet::MinInclusive, std::string(range->min)});
      if (!range->max.empty()) m.facets.push_back({Facet::MaxInclusive, std::string(range->max)});
    }
    return m;
  }

  ValueCount count_and(uint32_t at, const DataRangeNode& n, int depth) {
    // An enumeration among the members: test its values against the rest.
    for (uint32_t m : n.members) {
      auto listed = enumeration(m);
      if (!listed) continue;
      uint64_t in = 0, open = 0;
      for (const DataValue* v : distinct(*listed)) {
        auto t = satisfies(*v, r, at);
        if (!t) ++open;
        else if (*t) ++in;
      }
      if (open == 0) return ValueCount::exact(std::to_string(in));
      return in > 0 ? ValueCount::at_least(std::to_string(in)) : ValueCount::unknown();
    }
    std::vector<const DataRangeNode*> restrictions;
    std::vector<const DataRangeNode*> complemented;  // X of the members ¬X, X a restriction
    std::vector<DataValue> excluded;
    bool other = false;
    for (uint32_t m : n.members) {
      const DataRangeNode* e = node(m);
      if (!e) return ValueCount::unknown();
      if (e->kind == Kind::Top) continue;
      if (e->kind == Kind::Restriction) {
        restrictions.push_back(e);
        continue;
      }
      auto listed = e->kind == Kind::Not && e->members.size() == 1 ? enumeration(e->members.front()) : std::nullopt;
      if (listed) {
        excluded.insert(excluded.end(), listed->begin(), listed->end());
        continue;
      }
      const DataRangeNode* inner = e->kind == Kind::Not && e->members.size() == 1 ? node(e->members.front()) : nullptr;
      if (inner && inner->kind == Kind::Restriction && inner->base != Dt::Unknown) {
        complemented.push_back(inner);
        continue;
      }
      other = true;
    }
    if (!complemented.empty() && restrictions.empty()) other = true;
    if (other) {
      // Only an empty member decides an intersection of other shapes.
      for (uint32_t m : n.members)
        if (count(m, depth + 1) == ValueCount::exact("0")) return ValueCount::exact("0");
      return ValueCount::unknown();
    }
    const Merged merged = merge(restrictions);
    if (merged.empty) return ValueCount::exact("0");
    if (!merged.known) return ValueCount::unknown();
    // ¬X beside the merged restriction: implied when X's values are of
    // another family, everything when the restriction's datatype lies
    // inside X's (X without facets); undecided otherwise.
    for (const DataRangeNode* x : complemented) {
      const Family fm = family(merged.base), fx = family(x->base);
      const bool known_families = fm != Family::None && fm != Family::Top && fx != Family::None && fx != Family::Top;
      if (known_families && fm != fx) continue;
      if (x->facets.empty() && subtype_of(merged.base, x->base)) return ValueCount::exact("0");
      return ValueCount::unknown();
    }
    ValueCount c = count_restriction(merged.base, merged.facets);
    if (excluded.empty() || c.kind == ValueCount::Kind::Infinite || c.kind == ValueCount::Kind::Unknown) return c;
    const auto left_out = distinct(excluded);
    if (c.kind == ValueCount::Kind::AtLeast) {
      const std::string k = std::to_string(left_out.size());
      if (compare_mag(c.n, k) <= 0) return ValueCount::unknown();
      return ValueCount::at_least(sub_mag(c.n, k));
    }
    uint64_t inside = 0;
    for (const DataValue* v : left_out) {
      auto t = satisfies_restriction(*v, merged.base, merged.facets);
      if (!t) return ValueCount::unknown();
      inside += *t;
    }
    return ValueCount::exact(sub_mag(c.n, std::to_string(inside)));
  }

  ValueCount count_or(const DataRangeNode& n, int depth) {
    std::vector<DataValue> values;
    std::vector<uint32_t> others;
    std::vector<ValueCount> counts;
    for (uint32_t m : n.members) {
      const DataRangeNode* e = node(m);
      if (e && e->kind == Kind::OneOf) {
        values.insert(values.end(), e->values.begin(), e->values.end());
        continue;
      }
      counts.push_back(count(m, depth + 1));
      if (counts.back().kind == ValueCount::Kind::Infinite) return ValueCount::infinite();
      others.push_back(m);
    }
    const auto listed = distinct(values);
    // The largest member is a lower bound in any case.
    std::string low = std::to_string(listed.size());
    bool exact = true;
    for (const ValueCount& c : counts) {
      if (c.kind == ValueCount::Kind::Unknown) {
        exact = false;
        continue;
      }
      if (c.kind != ValueCount::Kind::Exact) exact = false;
      if (compare_mag(c.n, low) > 0) low = c.n;
    }
    // Members of different families share no value: their counts add up.
    std::vector<Family> families;
    for (uint32_t m : others) {
      auto f = single_family(m, depth + 1);
      if (!f || std::find(families.begin(), families.end(), *f) != families.end()) exact = false;
      else families.push_back(*f);
    }
    if (exact) {
      std::string sum = "0";
      for (const ValueCount& c : counts) sum = add_mag(sum, c.n);
      for (const DataValue* v : listed) {
        bool covered = false;
        for (uint32_t m : others) {
          auto t = satisfies(*v, r, m);
          if (!t) exact = false;
          else covered = covered || *t;
        }
        if (!covered) sum = add_mag(sum, "1");
      }
      if (exact) return ValueCount::exact(sum);
    }
    if (low == "0") return ValueCount::unknown();
    return ValueCount::at_least(low);
  }
};

}  // namespace

ValueCount count_values(const DataRange& range, uint32_t at) {
  Counter counter{range};
  return counter.count(at, 0);
}

std::optional<bool> has_at_least(const ValueCount& count, uint64_t k) {
  const std::string want = std::to_string(k);
  switch (count.kind) {
    case ValueCount::Kind::Exact: return compare_mag(count.n, want) >= 0;
    case ValueCount::Kind::AtLeast:
      if (compare_mag(count.n, want) >= 0) return true;
      return std::nullopt;
    case ValueCount::Kind::Infinite: return true;
    case ValueCount::Kind::Unknown: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace trelvanic_dl::datatype
