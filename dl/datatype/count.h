// How many data values a data range holds.
//
//   DataRange r;
//   auto i = r.add_restriction(Dt::Integer, {{Facet::MinInclusive, "10"}, {Facet::MaxInclusive, "20"}});
//   count_values(r, i);   // exactly 11
//
// A count is exact, a lower bound, infinite, or unknown; numbers are
// decimal digits, so they stay exact at any size. Closed forms: integer
// intervals (with the bounds of the integer types and of totalDigits),
// decimals with fractionDigits between two bounds, the floating-point
// values between two bounds (the distance of their bit patterns, both
// zeros counted, NaN only without bounds), strings and binary data of
// bounded length, booleans, enumerations (one value per data value,
// whatever the lexical forms). Intersections are counted through merged
// restrictions or by filtering an enumeration, unions by families that
// share no value, complements as infinite where what they leave out is not
// all of a family. Anything else is unknown, never "empty": a caller
// rejects only on an exact count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dl/datatype/facets.h"

namespace trelvanic_dl::datatype {

struct ValueCount {
  enum class Kind : uint8_t { Exact, AtLeast, Infinite, Unknown };
  Kind kind = Kind::Unknown;
  std::string n;  // Exact and AtLeast: decimal digits without leading zeros

  static ValueCount exact(std::string digits) { return {Kind::Exact, std::move(digits)}; }
  static ValueCount at_least(std::string digits) { return {Kind::AtLeast, std::move(digits)}; }
  static ValueCount infinite() { return {Kind::Infinite, {}}; }
  static ValueCount unknown() { return {Kind::Unknown, {}}; }
  bool operator==(const ValueCount&) const = default;
};

// The values of base restricted by the facets.
[[nodiscard]] ValueCount count_restriction(Dt base, const std::vector<FacetValue>& facets);

[[nodiscard]] ValueCount count_values(const DataRange& range, uint32_t at);

// Whether the range holds at least k values: true and false only when the
// count proves it, none otherwise.
[[nodiscard]] std::optional<bool> has_at_least(const ValueCount& count, uint64_t k);

}  // namespace trelvanic_dl::datatype
