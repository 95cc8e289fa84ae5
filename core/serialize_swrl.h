// JSON forms of SWRL rules: {"body": [atoms], "head": [atoms]}, atoms
// externally tagged ({"Class": {"class": 4, "arg": {"Variable": "x"}}},
// {"SameIndividual": [arg, arg]}), arguments as {"Individual": id},
// {"Variable": name} or {"Literal": {"lexical": text, "datatype": id or
// null}}. Entities are named by position in the snapshot's entity list and
// data ranges by position in the "dl" section's "data_exprs".
//
//   write_swrl_rule(w, rule);
//   auto rules = read_swrl_rules(reader);   // json Result<std::vector<SwrlRule>>
//   auto ok = check_swrl_rule_ids(*rules, entity_count, data_range_count);
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "core/error.h"
#include "core/swrl.h"
#include "json/reader.h"
#include "json/writer.h"

namespace trelvanic_core {

void write_swrl_rule(trelvanic_json::Writer& w, const SwrlRule& rule);
[[nodiscard]] trelvanic_json::Result<SwrlRule> read_swrl_rule(trelvanic_json::Reader& r);
// A JSON array of rules.
[[nodiscard]] trelvanic_json::Result<std::vector<SwrlRule>> read_swrl_rules(trelvanic_json::Reader& r);

// Serialization error unless every entity id in the rules is below
// `entity_count` and every data-range id below `data_range_count`.
[[nodiscard]] Result<void> check_swrl_rule_ids(std::span<const SwrlRule> rules, size_t entity_count,
                                               size_t data_range_count);

}  // namespace trelvanic_core
