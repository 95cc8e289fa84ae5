// Scanning primitives over RDF/XML text, shared by the text passes.
//
// The passes never build a document tree: they walk the markup with
// `next_markup`, which returns one tag, comment, CDATA section, processing
// instruction or declaration at a time. Every primitive is bounded by the
// text it is given; positions are byte offsets into that text. A `>` inside
// a quoted attribute value does not end a tag, and comments and CDATA
// sections are always returned whole, so text inside them is never taken for
// markup.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelvanic_parser::rdfxml {

enum class MarkupKind : uint8_t {
  StartTag,     // <name ...>
  EmptyTag,     // <name .../>
  EndTag,       // </name>
  Comment,      // <!-- ... -->
  CData,        // <![CDATA[ ... ]]>
  Instruction,  // <? ... ?>
  Declaration,  // <!DOCTYPE ...> (internal subset included) or another <!...>
};

struct Markup {
  size_t begin = 0;  // offset of the '<'
  size_t end = 0;    // offset just past the closing '>'
  MarkupKind kind = MarkupKind::StartTag;
};

// The first markup that begins at or after `pos`, or nothing when no '<'
// follows or the markup found never ends.
[[nodiscard]] std::optional<Markup> next_markup(std::string_view text, size_t pos);

// Offset just past the '>' that ends the tag begun at `from`, honouring
// quoted attribute values; nothing when the tag never ends.
[[nodiscard]] std::optional<size_t> quoted_tag_end(std::string_view text, size_t from);

// The element name of a start, empty or end tag text: the first token after
// "<" (or "</"), without a trailing "/". Nothing for text that is not a tag.
[[nodiscard]] std::optional<std::string_view> element_name(std::string_view tag);

// One attribute of a start or empty tag. `value_begin` is the offset of the
// value inside the tag text (just past the opening quote).
struct Attribute {
  std::string_view name;
  std::string_view value;
  size_t name_begin = 0;
  size_t value_begin = 0;
  char quote = '"';
};

// The attributes of a start or empty tag, in document order. Stops at the
// first shape that is not `name = "value"` or `name = 'value'`.
[[nodiscard]] std::vector<Attribute> tag_attributes(std::string_view tag);

// The attribute after offset `pos` of the tag (start with 0), moving `pos`
// past it; nothing after the last. Walks the tag without allocating.
[[nodiscard]] std::optional<Attribute> next_attribute(std::string_view tag, size_t& pos);

// The first attribute whose name is exactly `name`.
[[nodiscard]] std::optional<Attribute> find_attribute(std::string_view tag, std::string_view name);

// The raw value (undecoded) of the attribute whose name is exactly `name`.
[[nodiscard]] std::optional<std::string_view> extract_attribute(std::string_view tag, std::string_view name);

// The text with one pair of matching quotes removed after trimming; nothing
// when it is not a quoted value.
[[nodiscard]] std::optional<std::string> trim_xml_attr_value(std::string_view text);

// The first start or empty tag named `rdf:RDF`, skipping comments,
// instructions and declarations.
[[nodiscard]] std::optional<Markup> find_rdf_root_tag(std::string_view text);

// The offset just past the `rdf:RDF` start tag.
[[nodiscard]] std::optional<size_t> find_rdf_open_body_start(std::string_view text);

// The offset just past the end of the element whose start tag begins at
// `start`: just past its matching end tag, or just past the tag itself when
// it is empty or an end tag. Nothing when the element is never closed.
[[nodiscard]] std::optional<size_t> find_element_end(std::string_view text, size_t start);

// The first offset at or after `pos` holding `a`, `b` or `c`, or npos
// (`find_any(text, pos, a, b, b)` for two bytes). Sixteen bytes are
// compared at a time, so long runs of other bytes cost about what memchr
// costs.
[[nodiscard]] size_t find_any(std::string_view text, size_t pos, char a, char b, char c);
[[nodiscard]] inline size_t find_either(std::string_view text, size_t pos, char a, char b) {
  return find_any(text, pos, a, b, b);
}

// The first offset at or after `pos` where `needle` occurs, or npos, as
// std::string_view::find gives it. Sixteen candidate offsets are tested at
// a time on the needle's first and last bytes, so a long text is searched
// at about the speed of memchr whatever its bytes.
[[nodiscard]] size_t find_text(std::string_view text, size_t pos, std::string_view needle);

// The first offset at or after `pos` where `a` or `b` occurs, or npos: one
// search of the text for both.
[[nodiscard]] size_t find_either_text(std::string_view text, size_t pos, std::string_view a, std::string_view b);

// True for the XML white space characters (space, tab, line feed, carriage
// return).
[[nodiscard]] constexpr bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace trelvanic_parser::rdfxml
