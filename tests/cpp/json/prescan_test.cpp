// The pre-parse checks: Unicode white space before the root and repeated
// keys of the root object.
#include "json/prescan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace trelvanic_json {
namespace {

TEST(Prescan, UnicodeWhitespacePrefix) {
  EXPECT_EQ(unicode_whitespace_prefix(" \t\r\n{"), 4u);
  EXPECT_EQ(unicode_whitespace_prefix("\xC2\xA0{"), 2u);            // no-break space
  EXPECT_EQ(unicode_whitespace_prefix("\xE2\x80\x83\xE3\x80\x80{"), 6u);  // em space, ideographic space
  EXPECT_EQ(unicode_whitespace_prefix("\xE2\x80\x8B{"), 0u);        // zero-width space is not white space
  EXPECT_EQ(unicode_whitespace_prefix(""), 0u);
  EXPECT_EQ(unicode_whitespace_prefix("\xC2"), 0u);
}

TEST(Prescan, WhiteSpaceAtTheEndAndTrimming) {
  EXPECT_EQ(unicode_whitespace_suffix("{} \t\xC2\xA0\xE3\x80\x80"), 7u);
  EXPECT_EQ(unicode_whitespace_suffix("x\xE2\x80\x8B"), 0u);  // zero-width space
  EXPECT_EQ(unicode_whitespace_suffix("\xA0"), 0u);              // a lone continuation byte
  EXPECT_EQ(unicode_whitespace_suffix(" \xE2\x80\xA8 "), 5u);
  EXPECT_EQ(trim_unicode_whitespace("\xE2\x80\x83 a b\n"), "a b");
  EXPECT_EQ(trim_unicode_whitespace(" \t "), "");
}

TEST(Prescan, RepeatedRootKeys) {
  struct Case {
    std::string_view text;
    std::optional<std::string_view> key;
  };
  const Case cases[] = {
      {R"({"format_version":4,"entities":[],"entities":[]})", "entities"},
      // The repeated key is found before the malformed rest is looked at.
      {R"({"entities":[],"entities": ]]] nonsense)", "entities"},
      // Values equal to keys, and strings inside member values, are not keys.
      {R"({"kind":"kind","a":["Class","Class"],"b":[["x","Class"],["y","Class"]]})", std::nullopt},
      {R"({"entities":[{"iri":"a","kind":"Class"},{"iri":"b","kind":"Class"}]})", std::nullopt},
      {R"({"a":{"a":1,"a":2},"b":1})", std::nullopt},
      // Keys are compared as written: an escaped letter makes another text.
      {R"({"format_version":4,"format\u005fversion":4})", std::nullopt},
      {R"({"a\"b":1,"a\"b":2})", R"(a\"b)"},
      // Brackets and braces inside strings do not count.
      {R"({"a":"}{][","a":1})", "a"},
      // Nothing after the root object's closing brace is looked at.
      {R"({"a":1} {"a":1,"a":2})", std::nullopt},
      {R"({"a":1,"a)", std::nullopt},
      {R"([1])", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(first_repeated_top_level_key(c.text), c.key) << c.text;
  }
}

TEST(Prescan, DebugQuoted) {
  EXPECT_EQ(debug_quoted("entities"), "\"entities\"");
  EXPECT_EQ(debug_quoted(R"(a\"b)"), R"("a\\\"b")");
  EXPECT_EQ(debug_quoted("t\tn\n"), R"("t\tn\n")");
}

}  // namespace
}  // namespace trelvanic_json
