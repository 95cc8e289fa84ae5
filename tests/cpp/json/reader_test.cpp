// Scalars, strings, numbers and nesting of the streaming reader, with the
// exact messages and positions it reports.
#include "json/reader.h"

#include <gtest/gtest.h>

#include <string>

#include "json/value.h"

namespace trelvanic_json {
namespace {

// Reads one whole document with `read` and gives the value as text, or the
// error's display text.
template <class F>
std::string outcome(std::string_view text, F read) {
  Reader r(text);
  auto v = read(r);
  if (!v) return v.error().text();
  if (auto end = r.finish(); !end) return end.error().text();
  if constexpr (std::is_same_v<std::decay_t<decltype(*v)>, std::string_view>) {
    return std::string(*v);
  } else {
    return std::to_string(*v);
  }
}

struct Case {
  std::string_view input;
  std::string_view expected;
};

TEST(Reader, U32Boundaries) {
  const Case cases[] = {
      {"0", "0"},
      {" 4294967295 ", "4294967295"},
      {"4294967296", "invalid value: integer `4294967296`, expected u32 at line 1 column 10"},
      {"-1", "invalid value: integer `-1`, expected u32 at line 1 column 2"},
      {"1.0", "invalid type: floating point `1.0`, expected u32 at line 1 column 3"},
      {"1e2", "invalid type: floating point `100.0`, expected u32 at line 1 column 3"},
      {"-0", "invalid type: floating point `-0.0`, expected u32 at line 1 column 2"},
      {"\"7\"", "invalid type: string \"7\", expected u32 at line 1 column 3"},
      {"null", "invalid type: unit value, expected u32 at line 1 column 4"},
      {"true", "invalid type: boolean `true`, expected u32 at line 1 column 4"},
      {"[1]", "invalid type: sequence, expected u32 at line 1 column 0"},
      {"{}", "invalid type: map, expected u32 at line 1 column 0"},
      {"01", "invalid number at line 1 column 2"},
      {"", "EOF while parsing a value at line 1 column 0"},
      {" 5 x", "trailing characters at line 1 column 4"},
      {"NaN", "expected value at line 1 column 1"},
      {"Infinity", "expected value at line 1 column 1"},
      {"-Infinity", "invalid number at line 1 column 2"},
      {"1e400", "number out of range at line 1 column 5"},
      {"1.", "EOF while parsing a value at line 1 column 2"},
      {"1.x", "invalid number at line 1 column 3"},
      {"1e+", "EOF while parsing a value at line 1 column 3"},
      {"nul", "EOF while parsing a value at line 1 column 3"},
      {"nulx", "expected ident at line 1 column 4"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(c.input, [](Reader& r) { return r.read_u32(); }), c.expected) << c.input;
  }
}

TEST(Reader, U64AndI64Boundaries) {
  auto u64 = [](Reader& r) { return r.read_u64(); };
  auto i64 = [](Reader& r) { return r.read_i64(); };
  EXPECT_EQ(outcome("18446744073709551615", u64), "18446744073709551615");
  EXPECT_EQ(outcome("18446744073709551616", u64),
            "invalid type: floating point `18446744073709552000.0`, expected u64 at line 1 column 20");
  EXPECT_EQ(outcome("-9223372036854775808", i64), "-9223372036854775808");
  EXPECT_EQ(outcome("9223372036854775808", i64),
            "invalid value: integer `9223372036854775808`, expected i64 at line 1 column 19");
}

TEST(Reader, StringsAndEscapes) {
  auto str = [](Reader& r) { return r.read_str(); };
  const Case cases[] = {
      {R"("plain")", "plain"},
      {R"("a\"b\\c\/d\b\f\n\r\t")", "a\"b\\c/d\b\f\n\r\t"},
      {R"("\u00e9\u20AC")", "\xC3\xA9\xE2\x82\xAC"},
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
      {R"("\u0000")", std::string_view("\0", 1)},
      {R"("\udc00")", "lone leading surrogate in hex escape at line 1 column 7"},
      {R"("\ud800")", "unexpected end of hex escape at line 1 column 8"},
      {R"("\ud800\n")", "unexpected end of hex escape at line 1 column 9"},
      {R"("\ud800\u0041")", "lone leading surrogate in hex escape at line 1 column 13"},
      {R"("\ud800)", "EOF while parsing a string at line 1 column 7"},
      {R"("\x")", "invalid escape at line 1 column 3"},
      {R"("\uZZZZ")", "invalid escape at line 1 column 7"},
      {R"("\u12")", "EOF while parsing a string at line 1 column 6"},
      {R"("abc)", "EOF while parsing a string at line 1 column 4"},
      {"\"a\nb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      {"\"a\tb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {"\"\xff\"", "invalid unicode code point at line 1 column 3"},
      {"\"\xc3\"", "invalid unicode code point at line 1 column 3"},
      {"\"\xed\xa0\x80\"", "invalid unicode code point at line 1 column 5"},
      {"\"caf\xc3\xa9 with a longer tail to pass the eight-byte scan\"",
       "caf\xc3\xa9 with a longer tail to pass the eight-byte scan"},
      {"5", "invalid type: integer `5`, expected a string at line 1 column 1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(c.input, str), c.expected) << c.input;
  }
}

TEST(Reader, InvalidTypeDescribesStringsLikeDebugText) {
  Reader r(R"("a\"b\n\u0001é")");
  auto v = r.read_u32();
  ASSERT_FALSE(v);
  EXPECT_EQ(v.error().text(), "invalid type: string \"a\\\"b\\n\\u{1}é\", expected u32 at line 1 column 16");
}

TEST(Reader, PositionsCountLinesAndBytes) {
  // Columns count bytes from the start of the line; line feeds start lines.
  Reader r("\n\n  \xC3\xA9");
  auto v = r.read_u32();
  ASSERT_FALSE(v);
  EXPECT_EQ(v.error().text(), "expected value at line 3 column 3");
  EXPECT_EQ(v.error().line(), 3u);
}

std::string nested(int depth) { return std::string(static_cast<std::size_t>(depth), '[') + std::string(static_cast<std::size_t>(depth), ']'); }

TEST(Reader, NestingLimitIs127Levels) {
  EXPECT_TRUE(parse_value(nested(127)));
  auto deep = parse_value(nested(128));
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error().text(), "recursion limit exceeded at line 1 column 128");
  std::string objects;
  for (int i = 0; i < 128; ++i) objects += "{\"a\":";
  auto deep_objects = parse_value(objects);
  ASSERT_FALSE(deep_objects);
  EXPECT_EQ(deep_objects.error().code(), ErrorCode::RecursionLimitExceeded);
}

TEST(Reader, SkipValueWalksAnyDepthWithoutRecursion) {
  const std::string deep = nested(200000);
  Reader r(deep);
  EXPECT_TRUE(r.skip_value());
  EXPECT_TRUE(r.finish());
  const Case cases[] = {
      {R"({"a":[1,-2.5e3,"x\u0041",true,false,null,{}],"b":{"c":[]}})", "ok"},
      {"[1,]", "expected value at line 1 column 4"},
      {"{\"a\" 1}", "expected `:` at line 1 column 6"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {"{\"a\":1 \"b\"}", "expected `,` or `}` at line 1 column 8"},
      {"[[[", "EOF while parsing a list at line 1 column 3"},
      {"[1", "EOF while parsing a list at line 1 column 2"},
      {"\"\\q\"", "invalid escape at line 1 column 3"},
      {"01", "invalid number at line 1 column 2"},
      {"tru", "EOF while parsing a value at line 1 column 3"},
  };
  for (const Case& c : cases) {
    Reader s(c.input);
    auto v = s.skip_value();
    std::string got = v ? (s.finish() ? "ok" : s.finish().error().text()) : v.error().text();
    EXPECT_EQ(got, c.expected) << c.input;
  }
}

}  // namespace
}  // namespace trelvanic_json
