// Parsing of query texts: atoms `Type(?x, C)` and `SubClassOf(?x, C)`,
// joined by "AND"; at most one atom is accepted.
#pragma once

#include <string_view>

#include "ql/error.h"
#include "ql/query.h"

namespace trelvanic_ql::parse {

inline constexpr size_t kMaxQueryBytes = 4096;
inline constexpr size_t kMaxAtoms = 1;

[[nodiscard]] Result<query::ConjunctiveQuery> parse_conjunctive_query(std::string_view text);

}  // namespace trelvanic_ql::parse
