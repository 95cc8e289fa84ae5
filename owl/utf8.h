// UTF-8 checks the readers share. Every text a reader hands on must be
// well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF), so that it decodes wherever it goes, Python strings above all;
// and texts quoted in messages are cut only between characters.
//
//   if (auto bad = find_invalid_utf8(text)) fail("invalid UTF-8 sequence", *bad);
//   message += utf8_excerpt(iri);  // at most kExcerptBytes of it
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trelvanic_owl {

// The offset of the first byte that does not begin a well-formed sequence
// (or begins one the text cuts short), or none when the whole text is valid.
[[nodiscard]] std::optional<size_t> find_invalid_utf8(std::string_view text);

// Appends the UTF-8 form of a code point (of a character: not a surrogate,
// at most U+10FFFF), as the readers decode numeric escapes.
void append_utf8(std::string& out, char32_t code);

// The longest start of `text` of at most `max_bytes` bytes that ends between
// two characters (of a valid text).
[[nodiscard]] std::string_view utf8_prefix(std::string_view text, size_t max_bytes);

// How much of an IRI or literal a message quotes.
inline constexpr size_t kExcerptBytes = 200;

// `text` itself when it has at most `max_bytes` bytes, else its start
// followed by "... (N bytes)".
[[nodiscard]] std::string utf8_excerpt(std::string_view text, size_t max_bytes = kExcerptBytes);

}  // namespace trelvanic_owl
