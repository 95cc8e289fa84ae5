// Data values of literals under the OWL 2 datatype map.
//
//   auto v = parse_value("1.50", Dt::Decimal);   // Parsed::Ok, the number 3/2
//   same_value(*v.value, *parse_value("3/2", Dt::Rational).value);  // true
//
// A value is a family (the disjoint value spaces of vocabulary.h) and a
// canonical key: two values are the same data value exactly when family and
// key agree. OWL 2 compares data values by identity, so for xsd:float and
// xsd:double NaN is one value (identical to itself) and -0 differs from +0.
// Numbers are exact at any size: decimal digits, never a machine integer;
// owl:rational values with non-terminating expansions keep their reduced
// fraction. Time instants with a time zone are keyed by their UTC instant,
// those without by their local fields (the two kinds never compare equal).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dl/datatype/vocabulary.h"

namespace trelvanic_dl::datatype {

struct DataValue {
  Family family = Family::None;
  std::string key;
  // Real numbers: the sign, integer digits and fraction digits of a
  // terminating value, or a reduced fraction (numerator digits with sign,
  // denominator digits) for the others.
  bool negative = false;
  std::string integer_digits;
  std::string fraction_digits;
  bool non_terminating = false;
  // Strings: the text and a lower-case language tag (empty for none).
  std::string text;
  std::string language;
  // Floating point: the number (NaN for NaN).
  double fp = 0;
  // Time instants: whether a time zone was given, the seconds since
  // 0000-01-01T00:00:00 (UTC when zoned, local otherwise) and the digits of
  // the fraction of a second without trailing zeros.
  bool has_timezone = false;
  int64_t seconds = 0;
  std::string subsecond;
};

struct Parsed {
  enum class Status : uint8_t {
    Ok,
    IllTyped,  // the datatype is known and the text is not one of its lexical forms
    Unknown,   // nothing is known of the datatype's lexical forms
  };
  Status status = Status::Unknown;
  std::optional<DataValue> value;
};

[[nodiscard]] Parsed parse_value(std::string_view lexical, Dt dt);

// Whether the value lies in dt's value space; none for an unknown datatype.
[[nodiscard]] std::optional<bool> in_value_space(const DataValue& v, Dt dt);

[[nodiscard]] bool same_value(const DataValue& a, const DataValue& b);

// The value as one text: two values have the same text exactly when they are
// the same data value (a tag of the family, then the canonical key; real
// numbers of any datatype read "q:" and their exact canonical number, so
// integer 1 and decimal 1.0 share a text while double 1.0 reads "n:" and its
// bits).
[[nodiscard]] std::string distinct_value_key(const DataValue& v);

// The order of two values: real numbers among themselves, float and double
// within their own family (NaN is unordered), strings by code points, time
// instants with each other when both or neither have a time zone. None
// where XSD leaves the pair unordered.
[[nodiscard]] std::optional<std::partial_ordering> compare_values(const DataValue& a, const DataValue& b);

}  // namespace trelvanic_dl::datatype
