// Witness values of data ranges: a value proven inside, or nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "dl/datatype/witness.h"
#include "tests/cpp/dl/data_value_support.h"

namespace trelvanic_dl::datatype {
namespace {

TEST(Witness, ValuesProvenInTheRange) {
  using F = Facet;
  struct Case {
    const char* name;
    std::function<uint32_t(DataRange&)> build;
    const char* key;  // the witness's key; "" for none found
  };
  const Case cases[] = {
      {"next integer above an exclusive bound", [](DataRange& r) {
         return r.add_restriction(Dt::Integer, {{F::MinExclusive, "100"}, {F::MaxExclusive, "102"}});
       }, "101"},
      {"integer above a fractional bound", [](DataRange& r) {
         return r.add_restriction(Dt::Integer, {{F::MinInclusive, "-2.5"}, {F::MaxInclusive, "-2"}});
       }, "-2"},
      {"large integers", [](DataRange& r) {
         return r.add_restriction(Dt::Integer, {{F::MinExclusive, "99999999999999999999"}});
       }, "100000000000000000000"},
      {"the only float above zero and below the least subnormal's successor", [](DataRange& r) {
         return r.add_restriction(Dt::Float, {{F::MinExclusive, "0"}, {F::MaxExclusive, "2.8E-45"}});
       }, "float-min"},
      {"a decimal between two integers", [](DataRange& r) {
         return r.add_and({r.add_restriction(Dt::Decimal, {{F::MinExclusive, "0"}, {F::MaxExclusive, "1"}}),
                           r.add_not(r.add_restriction(Dt::Integer))});
       }, "0.5"},
      {"a decimal half a last place below a bound", [](DataRange& r) {
         return r.add_restriction(Dt::Decimal, {{F::MinExclusive, "0.1"}, {F::MaxExclusive, "0.11"}});
       }, "0.105"},
      {"a negative decimal half a last place above a bound", [](DataRange& r) {
         return r.add_restriction(Dt::Decimal, {{F::MinExclusive, "-10"}, {F::MaxExclusive, "-9.9"}});
       }, "-9.95"},
      {"a string of the least length", [](DataRange& r) {
         return r.add_restriction(Dt::String, {{F::MinLength, "5"}});
       }, "aaaaa"},
      {"a shortest text of a pattern", [](DataRange& r) {
         return r.add_restriction(Dt::String, {{F::Pattern, "[A-Z]{2}-\\d{3}"}, {F::MaxLength, "6"}});
       }, "AA-000"},
      {"octets of a given length", [](DataRange& r) {
         return r.add_restriction(Dt::Base64Binary, {{F::Length, "2"}});
       }, "base64-2"},
      {"a listed value that passes the rest", [](DataRange& r) {
         return r.add_and({r.add_one_of({val("7", Dt::Integer), val("x", Dt::String)}),
                           r.add_restriction(Dt::String)});
       }, "x"},
      {"outside a complement", [](DataRange& r) {
         return r.add_not(r.add_restriction(Dt::Integer));
       }, "a"},
      // nothing shown: empty ranges, and ranges this search cannot reach
      {"empty interval", [](DataRange& r) {
         return r.add_restriction(Dt::Integer, {{F::MinInclusive, "7"}, {F::MaxInclusive, "5"}});
       }, ""},
      {"unknown facet", [](DataRange& r) {
         return r.add_restriction(Dt::Integer, {{F::Unknown, "x"}});
       }, ""},
      {"complement of everything", [](DataRange& r) { return r.add_not(r.add_top()); }, ""},
  };
  for (const Case& c : cases) {
    DataRange r;
    const uint32_t at = c.build(r);
    auto w = find_witness(r, at);
    if (std::string(c.key).empty()) {
      EXPECT_FALSE(w.has_value()) << c.name;
      continue;
    }
    ASSERT_TRUE(w.has_value()) << c.name;
    EXPECT_EQ(satisfies(*w, r, at), std::optional<bool>(true)) << c.name;
    const std::string key = c.key;
    if (key == "float-min") EXPECT_EQ(static_cast<float>(w->fp), std::nextafter(0.0f, 1.0f)) << c.name;
    else if (key == "base64-2") EXPECT_EQ(w->key.size(), 2u) << c.name;
    else if (w->family == Family::String) EXPECT_EQ(w->text, key) << c.name;
    else EXPECT_EQ(w->key, key) << c.name;
  }
}

}  // namespace
}  // namespace trelvanic_dl::datatype
