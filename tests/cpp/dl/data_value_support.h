// Test helper: the data value of a lexical form that must parse.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "dl/datatype/value.h"

namespace trelvanic_dl::datatype {

inline DataValue val(std::string_view lexical, Dt dt) {
  Parsed p = parse_value(lexical, dt);
  EXPECT_EQ(p.status, Parsed::Status::Ok) << lexical;
  return p.value.value_or(DataValue{});
}

}  // namespace trelvanic_dl::datatype
