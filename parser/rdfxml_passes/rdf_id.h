// The rdf:ID passes' findings as edits, for a caller that makes them
// together with a later pass instead of building the text in between.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser::rdfxml {

// The edits `dedupe_rdf_xml_ids` makes to the text (none when no value is
// repeated), each inside one start or empty tag with its quotes kept
// balanced; nothing when the text would come back unchanged because a
// value could not be read within `max_expanded_bytes`. `invalid_seen` is
// set as `dedupe_rdf_xml_ids` sets it.
[[nodiscard]] std::optional<std::vector<Edit>> repeated_rdf_id_edits(std::string_view text, bool& invalid_seen,
                                                                     uint64_t max_expanded_bytes);

}  // namespace trelvanic_parser::rdfxml
