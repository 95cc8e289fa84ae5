#include "ql/answer.h"

namespace trelvanic_ql {

Result<std::vector<query::QueryAnswer>> answer_query(const trelvanic_core::Ontology& ontology,
                                                     const trelvanic_core::Taxonomy& taxonomy,
                                                     const query::ConjunctiveQuery& rewritten,
                                                     const query::InstanceSource& instances) {
  return query::evaluate(ontology, taxonomy, rewritten, instances);
}

}  // namespace trelvanic_ql
