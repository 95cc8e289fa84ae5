// Test helpers: the data value of a lexical form that must parse, and a
// count as one short text ("11", ">=3", "infinite", "unknown").
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dl/datatype/count.h"
#include "dl/datatype/value.h"

namespace trelvanic_dl::datatype {

inline DataValue val(std::string_view lexical, Dt dt) {
  Parsed p = parse_value(lexical, dt);
  EXPECT_EQ(p.status, Parsed::Status::Ok) << lexical;
  return p.value.value_or(DataValue{});
}

inline std::string show(const ValueCount& c) {
  switch (c.kind) {
    case ValueCount::Kind::Exact: return c.n;
    case ValueCount::Kind::AtLeast: return ">=" + c.n;
    case ValueCount::Kind::Infinite: return "infinite";
    case ValueCount::Kind::Unknown: return "unknown";
  }
  return "?";
}

}  // namespace trelvanic_dl::datatype
