// Internal general entities of an RDF/XML document's DOCTYPE: reading their
// declarations, measuring their expansion, and removing the DOCTYPE.
//
// `expand_xml_entities_with_limit` (declared in parser/rdf_preprocess.h)
// builds on these. Every measure is computed on the declarations alone, with
// saturating arithmetic, before any expanded text is built, so a document
// that would expand past a limit is refused without allocating for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "absl/container/flat_hash_map.h"
#include "absl/functional/function_ref.h"
#include "parser/error.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser::rdfxml {

// Internal general entities by name; a later declaration replaces an
// earlier one. Parameter and external entities are not listed.
// Our string views as keys of the abseil maps below.
[[nodiscard]] inline absl::string_view map_key(std::string_view s) { return {s.data(), s.size()}; }

using EntityTable = absl::flat_hash_map<std::string, std::string>;

// The internal general entities declared in the internal subset of the
// document's DOCTYPE (values may span lines; comments are skipped).
[[nodiscard]] EntityTable read_entity_declarations(std::string_view text);

// The text without its DOCTYPE declaration (internal subset included); the
// text unchanged when it has none or the declaration never ends.
[[nodiscard]] std::string strip_xml_internal_subset(std::string_view text);

// What expanding one entity fully costs, from its declaration alone.
struct EntityMeasure {
  uint64_t depth = 0;         // 1 for a value without entity references
  uint64_t bytes = 0;         // length of the full expansion
  uint64_t replacements = 0;  // references expanded along the way
  uint64_t double_quotes = 0;
  uint64_t single_quotes = 0;
  bool cyclic = false;  // refers to itself, directly or not: never expanded
};

using EntityMeasures = absl::flat_hash_map<std::string, EntityMeasure>;

// The measure of every entity of the table (an explicit stack, no recursion).
[[nodiscard]] EntityMeasures measure_entities(const EntityTable& table);

// The name of the entity reference "&name;" that begins at `pos`, when the
// table declares it; the five predefined XML entities are never matched.
[[nodiscard]] std::optional<std::string_view> entity_reference_at(std::string_view text, size_t pos,
                                                                  const EntityTable& table);

// The full expansion of `value` through the table, or nothing when it would
// be longer than `max_bytes` (or refers to a cyclic entity). For reading
// attribute values whose entities are not expanded yet.
[[nodiscard]] std::optional<std::string> expand_entity_text(std::string_view value, const EntityTable& table,
                                                            const EntityMeasures& measures, uint64_t max_bytes);

// `expand_xml_entities_with_limit` of the text with `edits` made first,
// without building that text in between when every edit lies inside one
// start or empty tag after the DOCTYPE and keeps the tag's quotes balanced
// (as the rdf:ID edits do); otherwise the edited text is built first.
// Called with each markup of a text as its entities are expanded, in
// document order, until one never ends (the markups a walk with
// `next_markup` meets); positions are in the whole text.
using MarkupVisitor = absl::FunctionRef<void(const Markup&)>;

// `expand_xml_entities_with_limit` of the text with `edits` made, where the
// visitor adds each edit while the expansion is at the tag it lies in (a
// start or empty tag, quotes kept balanced). Nothing when the text declares
// no entities, a definition chain is too deep (no walk is made then), or
// an edit does not lie in the tag being visited; the text is left as it was.
[[nodiscard]] std::optional<Result<std::string>> expand_xml_entities_editing_tags(std::string& text,
                                                                                  std::vector<Edit>& edits,
                                                                                  MarkupVisitor visit,
                                                                                  uint64_t max_expanded_bytes);

[[nodiscard]] Result<std::string> expand_xml_entities_after_edits(std::string text, const std::vector<Edit>& edits,
                                                                  uint64_t max_expanded_bytes);

}  // namespace trelvanic_parser::rdfxml
