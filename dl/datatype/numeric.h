// Readers of numeric lexical forms: a double (with the XSD words INF, -INF
// and NaN, and fractions n/d), an exact fraction in 128-bit integers, a
// whole number. They read texts; which values a datatype admits is
// value.h's business.
#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace trelvanic_dl::datatype {

using Int128 = __int128;
using Fraction = std::pair<Int128, Int128>;  // lowest terms, positive denominator

// "-0" reads as +0.0; "a/b" as the quotient (NaN for a zero divisor).
[[nodiscard]] std::optional<double> parse_numeric(std::string_view text);
// "n/d" or "i.f" (not a plain integer); none beyond 128 bits.
[[nodiscard]] std::optional<Fraction> rational_pair(std::string_view text);
// An integer text, or a decimal text with an integral value.
[[nodiscard]] std::optional<Int128> whole_number_lexical(std::string_view text);
[[nodiscard]] bool lexical_looks_numeric(std::string_view text);
// The fraction has a finite decimal expansion whose digits fit 128 bits.
[[nodiscard]] bool rational_has_terminating_decimal_expansion(Int128 numerator, Int128 denominator);

}  // namespace trelvanic_dl::datatype
