#include "json/prescan.h"

#include <absl/container/flat_hash_set.h>

#include "json/error.h"

namespace trelvanic_json {

std::size_t unicode_whitespace_prefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 == ' ' || (b0 >= 0x09 && b0 <= 0x0D)) {
      i += 1;
      continue;
    }
    auto at = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0; };
    if (b0 == 0xC2 && (at(1) == 0x85 || at(1) == 0xA0)) {
      i += 2;
      continue;
    }
    if (b0 == 0xE1 && at(1) == 0x9A && at(2) == 0x80) {  // U+1680
      i += 3;
      continue;
    }
    if (b0 == 0xE2 && at(1) == 0x80 &&
        (at(2) <= 0x8A || at(2) == 0xA8 || at(2) == 0xA9 || at(2) == 0xAF) && at(2) >= 0x80) {
      i += 3;  // U+2000..U+200A, U+2028, U+2029, U+202F
      continue;
    }
    if (b0 == 0xE2 && at(1) == 0x81 && at(2) == 0x9F) {  // U+205F
      i += 3;
      continue;
    }
    if (b0 == 0xE3 && at(1) == 0x80 && at(2) == 0x80) {  // U+3000
      i += 3;
      continue;
    }
    break;
  }
  return i;
}

std::size_t unicode_whitespace_suffix(std::string_view text) {
  std::size_t end = text.size();
  for (;;) {
    // A white-space character is one to three bytes long: the shortest tail
    // that is white space through and through is the last character.
    std::size_t k = 1;
    for (; k <= 3 && k <= end; ++k) {
      if (unicode_whitespace_prefix(text.substr(end - k, k)) == k) break;
    }
    if (k > 3 || k > end) return text.size() - end;
    end -= k;
  }
}

std::string_view trim_unicode_whitespace(std::string_view text) {
  text.remove_prefix(unicode_whitespace_prefix(text));
  text.remove_suffix(unicode_whitespace_suffix(text));
  return text;
}

namespace {

// The end of a string whose opening quote is at `open`: the index of its
// closing quote, or npos when the text ends inside it.
std::size_t string_end(std::string_view text, std::size_t open) {
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string_view> first_repeated_top_level_key(std::string_view text) {
  if (text.empty() || text[0] != '{') return std::nullopt;
  absl::flat_hash_set<std::string_view> seen;
  // `depth` counts open braces and brackets; root members sit at depth 1.
  // At depth 1 a string is a key when it follows "{" or ",".
  std::size_t depth = 1;
  bool expect_key = true;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '"': {
        std::size_t end = string_end(text, i);
        if (end == std::string_view::npos) return std::nullopt;
        if (depth == 1 && expect_key) {
          std::string_view key = text.substr(i + 1, end - i - 1);
          if (!seen.insert(key).second) return key;
          expect_key = false;
        }
        i = end;
        break;
      }
      case '{':
      case '[': ++depth; break;
      case '}':
      case ']':
        if (--depth == 0) return std::nullopt;
        break;
      case ',':
        if (depth == 1) expect_key = true;
        break;
      default: break;
    }
  }
  return std::nullopt;
}

std::string debug_quoted(std::string_view text) {
  // describe_string gives `string "..."`; the quoted part is the debug form.
  std::string described = describe_string(text);
  return described.substr(std::string_view("string ").size());
}

}  // namespace trelvanic_json
