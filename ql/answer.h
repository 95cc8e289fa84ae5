// Answering a rewritten one-atom query (see ql/query.h).
#pragma once

#include <vector>

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "ql/error.h"
#include "ql/query.h"

namespace trelvanic_ql {

[[nodiscard]] Result<std::vector<query::QueryAnswer>> answer_query(const trelvanic_core::Ontology& ontology,
                                                                   const trelvanic_core::Taxonomy& taxonomy,
                                                                   const query::ConjunctiveQuery& rewritten,
                                                                   const query::InstanceSource& instances);

}  // namespace trelvanic_ql
