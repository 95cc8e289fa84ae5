// Byte-exact layouts of the pretty and compact writers, string escaping and
// number forms.
#include "json/writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "json/number.h"

namespace trelvanic_json {
namespace {

TEST(Writer, PrettyLayoutOfASnapshotLikeDocument) {
  std::string out;
  Writer w(out, Layout::Pretty);
  w.begin_object();
  w.key("format_version");
  w.u64(4);
  w.key("entities");
  w.begin_array();
  w.begin_object();
  w.key("iri");
  w.string("http://a");
  w.key("kind");
  w.string("Class");
  w.end_object();
  w.end_array();
  w.key("axioms");
  w.begin_array();
  w.begin_object();
  w.key("EquivalentClasses");
  w.begin_array();
  w.string("http://a");
  w.string("http://b");
  w.end_array();
  w.end_object();
  w.end_array();
  w.key("dl");
  w.begin_object();
  w.key("expressions");
  w.begin_array();
  w.string("Top");
  w.begin_object();
  w.key("MinCardinality");
  w.begin_object();
  w.key("n");
  w.u64(2);
  w.key("filler");
  w.null();
  w.end_object();
  w.end_object();
  w.end_array();
  w.key("data_exprs");
  w.begin_array();
  w.end_array();
  w.key("empty");
  w.begin_object();
  w.end_object();
  w.end_object();
  w.end_object();
  EXPECT_EQ(out,
            "{\n"
            "  \"format_version\": 4,\n"
            "  \"entities\": [\n"
            "    {\n"
            "      \"iri\": \"http://a\",\n"
            "      \"kind\": \"Class\"\n"
            "    }\n"
            "  ],\n"
            "  \"axioms\": [\n"
            "    {\n"
            "      \"EquivalentClasses\": [\n"
            "        \"http://a\",\n"
            "        \"http://b\"\n"
            "      ]\n"
            "    }\n"
            "  ],\n"
            "  \"dl\": {\n"
            "    \"expressions\": [\n"
            "      \"Top\",\n"
            "      {\n"
            "        \"MinCardinality\": {\n"
            "          \"n\": 2,\n"
            "          \"filler\": null\n"
            "        }\n"
            "      }\n"
            "    ],\n"
            "    \"data_exprs\": [],\n"
            "    \"empty\": {}\n"
            "  }\n"
            "}");
}

TEST(Writer, EmptyRootAndScalarsAtTopLevel) {
  std::string out;
  Writer w(out, Layout::Pretty);
  w.begin_object();
  w.key("format_version");
  w.u64(4);
  w.key("entities");
  w.begin_array();
  w.end_array();
  w.key("axioms");
  w.begin_array();
  w.end_array();
  w.end_object();
  EXPECT_EQ(out, "{\n  \"format_version\": 4,\n  \"entities\": [],\n  \"axioms\": []\n}");

  std::string scalar;
  Writer s(scalar, Layout::Pretty);
  s.i64(-5);
  EXPECT_EQ(scalar, "-5");
}

TEST(Writer, CompactLayout) {
  std::string out;
  Writer w(out, Layout::Compact);
  w.begin_object();
  w.key("a");
  w.begin_array();
  w.boolean(true);
  w.null();
  w.begin_object();
  w.end_object();
  w.begin_array();
  w.end_array();
  w.end_array();
  w.key("b");
  w.f64(1.5);
  w.end_object();
  EXPECT_EQ(out, R"({"a":[true,null,{},[]],"b":1.5})");
}

TEST(Writer, StringEscapes) {
  std::string out;
  append_escaped(out, std::string_view("q\"b\\s/\b\t\n\f\r\x01\x1f\x7f\xC3\xA9\0", 17));
  EXPECT_EQ(out, "\"q\\\"b\\\\s/\\b\\t\\n\\f\\r\\u0001\\u001f\x7f\xC3\xA9\\u0000\"");
}

TEST(Number, JsonAndPlainForms) {
  struct Case {
    double value;
    std::string_view json;
    std::string_view plain;
  };
  const Case cases[] = {
      {1.0, "1.0", "1.0"},
      {1.5, "1.5", "1.5"},
      {-0.0, "-0.0", "-0.0"},
      {0.0, "0.0", "0.0"},
      {100000.0, "100000.0", "100000.0"},
      {1e15, "1000000000000000.0", "1000000000000000.0"},
      {1e16, "1e16", "10000000000000000.0"},
      {1e20, "1e20", "100000000000000000000.0"},
      {123.456, "123.456", "123.456"},
      {0.001, "0.001", "0.001"},
      {1e-5, "0.00001", "0.00001"},
      {1e-7, "1e-7", "0.0000001"},
      {1.5e-7, "1.5e-7", "0.00000015"},
      {-2.5e300, "-2.5e300", {}},
      {18446744073709551616.0, "1.8446744073709552e19", "18446744073709552000.0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format_float_json(c.value), c.json) << c.value;
    if (!c.plain.empty()) {
      EXPECT_EQ(format_float_plain(c.value), c.plain) << c.value;
    }
  }
  EXPECT_EQ(format_float_json(std::numeric_limits<double>::quiet_NaN()), "null");
  EXPECT_EQ(format_float_json(std::numeric_limits<double>::infinity()), "null");
}

}  // namespace
}  // namespace trelvanic_json
