// Facet restrictions of datatypes and the data ranges built from them.
//
//   DataRange r;
//   auto i = r.add_restriction(Dt::Integer, {{Facet::MinInclusive, "10"}, {Facet::MaxExclusive, "20"}});
//   satisfies(*parse_value("15", Dt::Integer).value, r, i);   // true
//
// A restriction is a known datatype with facets on its value space: the
// bounds (their texts read as values of the base datatype, or as any real
// number for a numeric base), the lengths (characters of a string or
// anyURI, octets of binary data), totalDigits and fractionDigits on the
// decimal types, and XSD patterns on the lexical forms of strings and
// URIs. A data range combines restrictions with literal enumerations,
// intersection, union and complement; nodes live in one arena and refer to
// each other by index.
//
// Answers are three-valued: none wherever the value, the datatype or a
// facet is not understood (an unknown facet IRI, a facet that does not
// apply to its base, an unreadable facet value, a pattern that cannot be
// run). Unknown is never read as "empty" or "rejected".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dl/datatype/value.h"
#include "dl/datatype/vocabulary.h"

namespace trelvanic_dl::datatype {

enum class Facet : uint8_t {
  MinInclusive, MaxInclusive, MinExclusive, MaxExclusive,
  Length, MinLength, MaxLength, TotalDigits, FractionDigits, Pattern,
  Unknown,  // any other facet IRI (rdf:langRange included)
};

[[nodiscard]] Facet facet_of_iri(std::string_view iri);

struct FacetValue {
  Facet facet = Facet::Unknown;
  std::string lexical;
};

struct DataRangeNode {
  enum class Kind : uint8_t { Top, Restriction, OneOf, And, Or, Not } kind = Kind::Top;
  Dt base = Dt::Unknown;               // Restriction
  std::vector<FacetValue> facets;      // Restriction (none: the datatype itself)
  std::vector<DataValue> values;       // OneOf
  std::vector<uint32_t> members;       // And, Or; Not has one
};

struct DataRange {
  std::vector<DataRangeNode> nodes;

  uint32_t add(DataRangeNode n);
  uint32_t add_top();
  uint32_t add_restriction(Dt base, std::vector<FacetValue> facets = {});
  uint32_t add_one_of(std::vector<DataValue> values);
  uint32_t add_and(std::vector<uint32_t> members);
  uint32_t add_or(std::vector<uint32_t> members);
  uint32_t add_not(uint32_t member);
};

// Whether v lies in the restriction of base by the facets.
[[nodiscard]] std::optional<bool> satisfies_restriction(const DataValue& v, Dt base,
                                                        const std::vector<FacetValue>& facets);

// Whether v lies in range node `at`; none when not decided (a node index
// outside the arena, or nesting past the depth cap, included).
[[nodiscard]] std::optional<bool> satisfies(const DataValue& v, const DataRange& range, uint32_t at);

// --- shared with the counting -------------------------------------------

// A facet value read as a bound of base: none when unreadable.
[[nodiscard]] std::optional<DataValue> facet_bound_value(const FacetValue& f, Dt base);
// A length or digit facet's value: a non-negative integer that fits 64
// bits, none otherwise.
[[nodiscard]] std::optional<uint64_t> facet_count_value(const FacetValue& f);
// Whether the facet can restrict base at all (false also for Unknown).
[[nodiscard]] bool facet_applies(Facet f, Dt base);

}  // namespace trelvanic_dl::datatype
