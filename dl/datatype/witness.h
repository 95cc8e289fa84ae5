// A data value shown to lie in a data range.
//
//   auto w = find_witness(range, at);   // e.g. 11 for integer[> 10]
//
// A few candidates are made from the range itself (its listed values, its
// bounds and the integers or floating-point neighbours next to them,
// texts and octet strings of the lengths it asks for, a shortest text of
// each pattern, the booleans) and a
// candidate is returned only when `satisfies` proves it in the range. The
// answer is for building a model: none says nothing about the range (in
// particular never that it is empty), and a witness is never a value that
// some individual is known to have.
#pragma once

#include <cstdint>
#include <optional>

#include "dl/datatype/facets.h"

namespace trelvanic_dl::datatype {

[[nodiscard]] std::optional<DataValue> find_witness(const DataRange& range, uint32_t at);

}  // namespace trelvanic_dl::datatype
