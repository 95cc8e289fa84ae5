// Canonical texts of literals: plain forms, XML literals (white space,
// attribute order and empty elements normalised), the escapes of the
// functional syntax, and dateTime texts without their time zone.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trelvanic_dl::datatype {

struct XmlTag {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in the order met
};

// "-0" and "+0" become "0"; every other text is kept.
[[nodiscard]] std::string canonical_plain_literal(std::string_view text);
// \\ \n \r \t \" resolved; any other escaped character kept with its backslash.
[[nodiscard]] std::string unescape_ofn_literal(std::string_view text);
[[nodiscard]] std::string canonical_xml_literal(std::string_view text);
// The text after the last ">" of the unescaped text (empty without one).
[[nodiscard]] std::string trailing_xml_text_suffix(std::string_view text);
// A tag's inside (without angle brackets): its name and attributes.
[[nodiscard]] XmlTag parse_xml_tag_name_and_attrs(std::string_view text);
// The text without a trailing "Z" or "±hh:mm" after the time part.
[[nodiscard]] std::string_view strip_datetime_timezone(std::string_view text);
// The stripped text with non-digits dropped from the end of its fraction
// (and the "." when nothing is left of it).
[[nodiscard]] std::string normalize_datetime_lex(std::string_view text);

// Unicode white space at the start of `s` (the byte length of the whole run, 0 for none).
[[nodiscard]] size_t white_space_prefix(std::string_view s);
[[nodiscard]] std::string_view trim_white_space(std::string_view s);

}  // namespace trelvanic_dl::datatype
