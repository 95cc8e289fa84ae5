// Module taxonomies of a split classification and their merge.
//
// `merge_taxonomies` joins the taxonomies of classifications run in pieces
// over the same entity ids: edges and unsatisfiable classes are unioned,
// sorted and deduplicated, and equivalence clusters sharing a class are
// united (smallest id first). It derives nothing and resolves no conflict.
#pragma once

#include <vector>

#include "core/taxonomy.h"

namespace trelvanic_profile {

[[nodiscard]] trelvanic_core::Taxonomy merge_taxonomies(std::vector<trelvanic_core::Taxonomy> taxonomies);

}  // namespace trelvanic_profile
