// The rdf:ID passes' findings as edits, for a caller that makes them
// together with a later pass instead of building the text in between.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "absl/container/flat_hash_set.h"
#include "absl/strings/string_view.h"
#include "parser/error.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser::rdfxml {

// What a look at every `rdf:ID="v"` written in a text (with single quotes
// or blanks around "=" too, in comments and literals as well) tells: a
// superset of the values the rdf:ID passes read from the tags.
// The repeated values are views into the text.
struct RdfIdCensus {
  bool repeated = false;  // some value may occur twice
  bool invalid = false;   // some value is not a name
  // Every value that occurs twice, and perhaps a few more.
  absl::flat_hash_set<absl::string_view> repeated_values;
};
[[nodiscard]] RdfIdCensus census_rdf_ids(std::string_view text);

// The edits `dedupe_rdf_xml_ids` makes to the text (none when no value is
// repeated), each inside one start or empty tag with its quotes kept
// balanced; nothing when the text would come back unchanged because a
// value could not be read within `max_expanded_bytes`. `invalid_seen` is
// set as `dedupe_rdf_xml_ids` sets it.
[[nodiscard]] std::optional<std::vector<Edit>> repeated_rdf_id_edits(std::string_view text, bool& invalid_seen,
                                                                     uint64_t max_expanded_bytes);
// The same with the text's census taken already.
[[nodiscard]] std::optional<std::vector<Edit>> repeated_rdf_id_edits(std::string_view text,
                                                                     const RdfIdCensus& census, bool& invalid_seen,
                                                                     uint64_t max_expanded_bytes);

// `expand_xml_entities_with_limit` of `dedupe_rdf_xml_ids` of the text
// with `edits` made first (edits inside tags before any tag with an rdf:ID,
// as the root tag's), in one walk that finds the repeated values as it
// expands the entities, and the length of the deduplicated text between
// the two. Only for a text
// whose census finds a repeated value and none that is not a name (the
// invalid-id pass has nothing to do then) and that declares entities to
// expand; otherwise, or when a value cannot be read within
// `max_expanded_bytes`, nothing, and the text is left as it was.
struct DedupedExpansion {
  size_t deduped_size = 0;
  Result<std::string> text;
};
[[nodiscard]] std::optional<DedupedExpansion> expand_xml_entities_deduping_ids(std::string& text,
                                                                               const RdfIdCensus& census,
                                                                               std::vector<Edit> edits,
                                                                               uint64_t max_expanded_bytes);

}  // namespace trelvanic_parser::rdfxml
