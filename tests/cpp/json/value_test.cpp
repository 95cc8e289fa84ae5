// The value tree: parsing with its limits, access, and compact output with
// sorted keys.
#include "json/value.h"

#include <gtest/gtest.h>

#include <string>

namespace trelvanic_json {
namespace {

TEST(Value, ParsesAllKindsAndWritesSortedCompactText) {
  auto v = parse_value(R"( {"z": [1, -2, 2.5, "s\u00e9", true, false, null], "a": {"y": {}, "b": []}} )");
  ASSERT_TRUE(v) << v.error().text();
  EXPECT_EQ(write_compact(*v), R"({"a":{"b":[],"y":{}},"z":[1,-2,2.5,"sé",true,false,null]})");
  const Value* z = v->find("z");
  ASSERT_NE(z, nullptr);
  ASSERT_TRUE(z->is_array());
  EXPECT_EQ(z->as_array()->size(), 7u);
  EXPECT_EQ(*z->as_array()->at(3).as_string(), "sé");
  EXPECT_EQ(z->as_array()->at(1).as_number()->i, -2);
  EXPECT_EQ(v->find("missing"), nullptr);
}

TEST(Value, RepeatedKeyKeepsTheLastMember) {
  auto v = parse_value(R"({"a": 1, "a": {"b": 2}})");
  ASSERT_TRUE(v);
  EXPECT_EQ(write_compact(*v), R"({"a":{"b":2}})");
}

TEST(Value, KeysSortByteWise) {
  Value o = Value::Object{};
  o.set("b", 1);
  o.set("B", 2);
  o.set("\xC3\xA9", 3);
  o.set("a", Value::Array{"x", nullptr, 2.0, -1});
  EXPECT_EQ(write_compact(o), "{\"B\":2,\"a\":[\"x\",null,2.0,-1],\"b\":1,\"\xC3\xA9\":3}");
  EXPECT_EQ(write_pretty(o), "{\n  \"B\": 2,\n  \"a\": [\n    \"x\",\n    null,\n    2.0,\n    -1\n  ],\n  \"b\": 1,\n  \"\xC3\xA9\": 3\n}");
}

TEST(Value, ParseErrors) {
  struct Case {
    std::string_view input;
    std::string_view expected;
  };
  const Case cases[] = {
      {R"({"a": NaN})", "expected value at line 1 column 7"},
      {R"({"a": Infinity})", "expected value at line 1 column 7"},
      {R"({"a": -Infinity})", "invalid number at line 1 column 8"},
      {R"({"a": 1,})", "trailing comma at line 1 column 9"},
      {R"([1,])", "trailing comma at line 1 column 4"},
      {R"({"a": 1} {})", "trailing characters at line 1 column 10"},
      {R"({"a" 1})", "expected `:` at line 1 column 6"},
      {R"({a: 1})", "key must be a string at line 1 column 2"},
      {R"()", "EOF while parsing a value at line 1 column 0"},
      {R"({"a": 1e999})", "number out of range at line 1 column 11"},
      {"{\"a\":\n\"\\ud800\"}", "unexpected end of hex escape at line 2 column 8"},
  };
  for (const Case& c : cases) {
    auto v = parse_value(c.input);
    ASSERT_FALSE(v) << c.input;
    EXPECT_EQ(v.error().text(), c.expected) << c.input;
  }
}

TEST(Value, NumbersKeepTheirExactKind) {
  auto v = parse_value("[18446744073709551615, -9223372036854775808, 18446744073709551616, -0, 0.5]");
  ASSERT_TRUE(v);
  const auto& a = *v->as_array();
  EXPECT_EQ(a[0].as_number()->kind, Number::Kind::Unsigned);
  EXPECT_EQ(a[0].as_number()->u, 18446744073709551615ULL);
  EXPECT_EQ(a[1].as_number()->kind, Number::Kind::Signed);
  EXPECT_EQ(a[2].as_number()->kind, Number::Kind::Float);
  EXPECT_EQ(a[3].as_number()->kind, Number::Kind::Float);
  EXPECT_EQ(write_compact(*v), "[18446744073709551615,-9223372036854775808,1.8446744073709552e19,-0.0,0.5]");
}

}  // namespace
}  // namespace trelvanic_json
