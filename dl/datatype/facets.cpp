#include "dl/datatype/facets.h"

#include <utility>

#include "dl/datatype/pattern.h"

namespace trelvanic_dl::datatype {

namespace {

constexpr int kMaxDepth = 256;
// Shared members make a range a graph; its walks are counted, not only deep.
constexpr size_t kMaxSteps = 100000;

// Unicode characters of a UTF-8 text.
uint64_t code_points(std::string_view s) {
  uint64_t n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string_view strip_zeros(std::string_view d, bool leading) {
  if (leading) {
    while (!d.empty() && d.front() == '0') d.remove_prefix(1);
  } else {
    while (!d.empty() && d.back() == '0') d.remove_suffix(1);
  }
  return d;
}

// The length of a value as the length facets measure it; none where they
// do not apply or the value carries a language tag.
std::optional<uint64_t> value_length(const DataValue& v) {
  switch (v.family) {
    case Family::String:
      if (!v.language.empty()) return std::nullopt;
      return code_points(v.text);
    case Family::AnyUri: return code_points(v.key);
    case Family::HexBinary: return v.key.size() / 2;  // two hex digits an octet
    case Family::Base64Binary: return v.key.size();   // the octets themselves
    default: return std::nullopt;
  }
}

std::optional<bool> satisfies_facet(const DataValue& v, Dt base, const FacetValue& f) {
  if (!facet_applies(f.facet, base)) return std::nullopt;
  switch (f.facet) {
    case Facet::MinInclusive:
    case Facet::MaxInclusive:
    case Facet::MinExclusive:
    case Facet::MaxExclusive: {
      auto bound = facet_bound_value(f, base);
      if (!bound) return std::nullopt;
      auto c = compare_values(v, *bound);
      // Real numbers are ordered even where the comparison is not worked
      // out (non-terminating fractions); other pairs without an order (time
      // instants with and without a zone) fail every bound.
      if (!c) {
        if (v.family == Family::Real) return std::nullopt;
        return false;
      }
      switch (f.facet) {
        case Facet::MinInclusive: return *c >= 0;
        case Facet::MaxInclusive: return *c <= 0;
        case Facet::MinExclusive: return *c > 0;
        default: return *c < 0;
      }
    }
    case Facet::Length:
    case Facet::MinLength:
    case Facet::MaxLength: {
      auto n = facet_count_value(f);
      auto len = value_length(v);
      if (!n || !len) return std::nullopt;
      if (f.facet == Facet::Length) return *len == *n;
      if (f.facet == Facet::MinLength) return *len >= *n;
      return *len <= *n;
    }
    case Facet::TotalDigits:
    case Facet::FractionDigits: {
      auto n = facet_count_value(f);
      if (!n || v.family != Family::Real || v.non_terminating) return std::nullopt;
      // v = i * 10^-k with k the fraction digits less trailing zeros
      const std::string_view frac = strip_zeros(v.fraction_digits, false);
      if (f.facet == Facet::FractionDigits) return frac.size() <= *n;
      if (*n == 0) return std::nullopt;  // not a valid facet value
      const std::string whole = std::string(strip_zeros(v.integer_digits, true)) + std::string(frac);
      const size_t digits = strip_zeros(whole, true).size();
      return frac.size() <= *n && digits <= *n;
    }
    case Facet::Pattern: {
      if (v.family == Family::String) {
        if (!v.language.empty()) return std::nullopt;
        return pattern_matches(f.lexical, v.text);
      }
      if (v.family == Family::AnyUri) return pattern_matches(f.lexical, v.key);
      return std::nullopt;
    }
    case Facet::Unknown: return std::nullopt;
  }
  return std::nullopt;
}

// Three-valued conjunction over a sequence: a definite false decides.
struct AllOf {
  bool unknown = false;
  // Returns true when the conjunction is already false.
  bool add(std::optional<bool> t) {
    if (!t) unknown = true;
    return t && !*t;
  }
  std::optional<bool> result() const {
    if (unknown) return std::nullopt;
    return true;
  }
};

std::optional<bool> satisfies_at(const DataValue& v, const DataRange& r, uint32_t at, int depth, size_t& steps) {
  if (at >= r.nodes.size() || depth > kMaxDepth || ++steps > kMaxSteps) return std::nullopt;
  const DataRangeNode& n = r.nodes[at];
  switch (n.kind) {
    case DataRangeNode::Kind::Top: return true;
    case DataRangeNode::Kind::Restriction: return satisfies_restriction(v, n.base, n.facets);
    case DataRangeNode::Kind::OneOf:
      for (const DataValue& x : n.values)
        if (same_value(v, x)) return true;
      return false;
    case DataRangeNode::Kind::And: {
      AllOf all;
      for (uint32_t m : n.members)
        if (all.add(satisfies_at(v, r, m, depth + 1, steps))) return false;
      return all.result();
    }
    case DataRangeNode::Kind::Or: {
      bool unknown = false;
      for (uint32_t m : n.members) {
        auto t = satisfies_at(v, r, m, depth + 1, steps);
        if (t && *t) return true;
        if (!t) unknown = true;
      }
      if (unknown) return std::nullopt;
      return false;
    }
    case DataRangeNode::Kind::Not: {
      if (n.members.size() != 1) return std::nullopt;
      auto t = satisfies_at(v, r, n.members.front(), depth + 1, steps);
      if (!t) return std::nullopt;
      return !*t;
    }
  }
  return std::nullopt;
}

}  // namespace

Facet facet_of_iri(std::string_view iri) {
  static constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema#";
  if (!iri.starts_with(kXsd)) return Facet::Unknown;
  const std::string_view name = iri.substr(kXsd.size());
  static constexpr std::pair<std::string_view, Facet> kNames[] = {
      {"minInclusive", Facet::MinInclusive}, {"maxInclusive", Facet::MaxInclusive},
      {"minExclusive", Facet::MinExclusive}, {"maxExclusive", Facet::MaxExclusive},
      {"length", Facet::Length},             {"minLength", Facet::MinLength},
      {"maxLength", Facet::MaxLength},       {"totalDigits", Facet::TotalDigits},
      {"fractionDigits", Facet::FractionDigits}, {"pattern", Facet::Pattern},
  };
  for (auto [n, f] : kNames)
    if (n == name) return f;
  return Facet::Unknown;
}

bool facet_applies(Facet f, Dt base) {
  const Family fam = family(base);
  switch (f) {
    case Facet::MinInclusive:
    case Facet::MaxInclusive:
    case Facet::MinExclusive:
    case Facet::MaxExclusive:
      return fam == Family::Real || fam == Family::Float || fam == Family::Double || fam == Family::DateTime;
    case Facet::Length:
    case Facet::MinLength:
    case Facet::MaxLength:
      return fam == Family::String || fam == Family::AnyUri || fam == Family::HexBinary ||
             fam == Family::Base64Binary;
    case Facet::TotalDigits:
    case Facet::FractionDigits:
      return subtype_of(base, Dt::Decimal);
    case Facet::Pattern:
      return fam == Family::String || fam == Family::AnyUri;
    case Facet::Unknown:
      return false;
  }
  return false;
}

std::optional<DataValue> facet_bound_value(const FacetValue& f, Dt base) {
  Parsed p = parse_value(f.lexical, base);
  // A bound of a numeric type may be any number (10.5 bounds the integers).
  if (p.status != Parsed::Status::Ok && family(base) == Family::Real) p = parse_value(f.lexical, Dt::Rational);
  if (p.status != Parsed::Status::Ok || !p.value) return std::nullopt;
  return std::move(p.value);
}

std::optional<uint64_t> facet_count_value(const FacetValue& f) {
  Parsed p = parse_value(f.lexical, Dt::NonNegativeInteger);
  if (p.status != Parsed::Status::Ok || !p.value) return std::nullopt;
  const std::string_view d = strip_zeros(p.value->integer_digits, true);
  if (d.size() > 19) return std::nullopt;
  uint64_t n = 0;
  for (char c : d) n = n * 10 + static_cast<uint64_t>(c - '0');
  return n;
}

std::optional<bool> satisfies_restriction(const DataValue& v, Dt base, const std::vector<FacetValue>& facets) {
  auto in = in_value_space(v, base);
  if (!in || !*in) return in;
  AllOf all;
  for (const FacetValue& f : facets)
    if (all.add(satisfies_facet(v, base, f))) return false;
  return all.result();
}

std::optional<bool> satisfies(const DataValue& v, const DataRange& range, uint32_t at) {
  size_t steps = 0;
  return satisfies_at(v, range, at, 0, steps);
}

uint32_t DataRange::add(DataRangeNode n) {
  nodes.push_back(std::move(n));
  return static_cast<uint32_t>(nodes.size() - 1);
}

uint32_t DataRange::add_top() { return add(DataRangeNode{}); }

uint32_t DataRange::add_restriction(Dt base, std::vector<FacetValue> facets) {
  DataRangeNode n;
  n.kind = DataRangeNode::Kind::Restriction;
  n.base = base;
  n.facets = std::move(facets);
  return add(std::move(n));
}

uint32_t DataRange::add_one_of(std::vector<DataValue> values) {
  DataRangeNode n;
  n.kind = DataRangeNode::Kind::OneOf;
  n.values = std::move(values);
  return add(std::move(n));
}

uint32_t DataRange::add_and(std::vector<uint32_t> members) {
  return add(DataRangeNode{DataRangeNode::Kind::And, Dt::Unknown, {}, {}, std::move(members)});
}

uint32_t DataRange::add_or(std::vector<uint32_t> members) {
  return add(DataRangeNode{DataRangeNode::Kind::Or, Dt::Unknown, {}, {}, std::move(members)});
}

uint32_t DataRange::add_not(uint32_t member) {
  return add(DataRangeNode{DataRangeNode::Kind::Not, Dt::Unknown, {}, {}, {member}});
}

}  // namespace trelvanic_dl::datatype
