// Decimal text of floating-point numbers, in the two forms the JSON layer
// prints: the writer's form for JSON output and the plain decimal form used
// inside reader messages ("floating point `1.0`").
#pragma once

#include <string>

namespace trelvanic_json {

// JSON output: the shortest digits that read back as the same double, in
// plain notation when the decimal exponent is small ("1.5", "100.0",
// "0.001") and in exponent notation otherwise ("1e20", "1.5e-7"); -0.0 is
// "-0.0". Non-finite values have no JSON form and give "null".
[[nodiscard]] std::string format_float_json(double value);

// Message form: the shortest round-trip digits in plain decimal notation,
// never an exponent, with ".0" appended when no decimal point appears
// ("1.0", "100000.0", "0.0000001", "-0.0"); "inf", "-inf", "NaN" otherwise.
[[nodiscard]] std::string format_float_plain(double value);

}  // namespace trelvanic_json
