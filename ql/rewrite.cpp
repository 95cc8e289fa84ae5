#include "ql/rewrite.h"

#include <algorithm>

namespace trelvanic_ql::rewrite {

using query::ConjunctiveQuery;

Result<ConjunctiveQuery> rewrite_query(const trelvanic_core::Ontology& ontology,
                                       const trelvanic_core::Taxonomy& taxonomy, const ConjunctiveQuery& parsed) {
  for (const auto& atom : parsed.atoms) {
    if (!ontology.lookup_entity(atom.class_)) return std::unexpected(Error::unknown_class(atom.class_));
  }
  auto unsat = taxonomy.unsatisfiable();
  ConjunctiveQuery out;
  out.atoms.reserve(parsed.atoms.size());
  for (const auto& atom : parsed.atoms) {
    auto id = ontology.lookup_entity(atom.class_);
    bool unsatisfiable = std::find(unsat.begin(), unsat.end(), *id) != unsat.end();
    out.atoms.push_back({atom.kind, atom.variable,
                         unsatisfiable ? std::string(query::kOwlNothing) : atom.class_});
  }
  return out;
}

}  // namespace trelvanic_ql::rewrite
