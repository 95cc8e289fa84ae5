// Checks made on a JSON object text before it is parsed, without parsing
// it: the length of its leading white space in the Unicode sense, and the
// first key that the root object repeats.
//
// Usage (a reader of untrusted object texts):
//   std::string_view rest = text.substr(unicode_whitespace_prefix(text));
//   if (rest.empty() || rest[0] != '{') ... not an object
//   if (auto key = first_repeated_top_level_key(rest)) ... refuse *key
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trelvanic_json {

// Bytes of leading characters that Unicode counts as white space (the JSON
// four, the other ASCII controls 0x0B and 0x0C, U+0085, U+00A0, U+1680,
// U+2000..U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
[[nodiscard]] std::size_t unicode_whitespace_prefix(std::string_view text);
// The same at the end of the text, and the text without either.
[[nodiscard]] std::size_t unicode_whitespace_suffix(std::string_view text);
[[nodiscard]] std::string_view trim_unicode_whitespace(std::string_view text);

// `text` starts with "{". Walks the root object and returns the first of its
// member keys that an earlier key already used, as written between the
// quotation marks (escape sequences not decoded), or nothing. Only keys of
// the root object count: strings that are values, and everything inside
// member values (arrays included), are stepped over. The walk ends at the
// root object's closing brace and tolerates malformed text after or inside
// it; it never fails.
[[nodiscard]] std::optional<std::string_view> first_repeated_top_level_key(std::string_view text);

// A text in double quotes with the escapes of a debug display ("a\"b\n").
[[nodiscard]] std::string debug_quoted(std::string_view text);

}  // namespace trelvanic_json
