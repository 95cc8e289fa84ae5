// Rewriting a parsed query against an ontology and its taxonomy: unknown
// classes are refused, unsatisfiable ones become owl:Nothing.
#pragma once

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "ql/error.h"
#include "ql/query.h"

namespace trelvanic_ql::rewrite {

[[nodiscard]] Result<query::ConjunctiveQuery> rewrite_query(const trelvanic_core::Ontology& ontology,
                                                            const trelvanic_core::Taxonomy& taxonomy,
                                                            const query::ConjunctiveQuery& parsed);

}  // namespace trelvanic_ql::rewrite
