#include "ql/query.h"

#include <algorithm>

namespace trelvanic_ql::query {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;

namespace {

bool names_nothing(std::string_view text) { return text == kOwlNothing || text == "owl:Nothing"; }

bool is_class_kind(EntityKind kind) {
  return kind == EntityKind::Class || kind == EntityKind::ClassIndividual || kind == EntityKind::ClassObjectProperty;
}

}  // namespace

Result<EntityId> lookup_query_class(const trelvanic_core::Ontology& ontology, std::string_view text) {
  if (auto id = ontology.lookup_entity(text)) return *id;
  if (text == "owl:Thing") {
    if (auto id = ontology.lookup_entity(kOwlThing)) return *id;
  } else if (text == "owl:Nothing") {
    if (auto id = ontology.lookup_entity(kOwlNothing)) return *id;
  }
  return std::unexpected(Error::unknown_class(std::string(text)));
}

Result<std::vector<QueryAnswer>> evaluate(const trelvanic_core::Ontology& ontology,
                                          const trelvanic_core::Taxonomy& taxonomy, const ConjunctiveQuery& query,
                                          const InstanceSource& instances) {
  if (query.atoms.empty()) return std::vector<QueryAnswer>{};
  if (query.atoms.size() > 1) {
    return std::unexpected(Error::parse("conjunctive queries with more than one atom are not supported yet"));
  }
  const QueryAtom& atom = query.atoms.front();
  // owl:Nothing has no instances and no subclasses worth naming, whether
  // or not the ontology registers it (the rewrite puts it in place of every
  // unsatisfiable class).
  if (names_nothing(atom.class_)) return std::vector<QueryAnswer>{};
  auto cls = lookup_query_class(ontology, atom.class_);
  if (!cls) return std::unexpected(std::move(cls.error()));
  auto unsat = taxonomy.unsatisfiable();
  if (std::find(unsat.begin(), unsat.end(), *cls) != unsat.end()) return std::vector<QueryAnswer>{};
  auto record = ontology.entity(*cls);
  if (!record) return std::unexpected(Error::core(std::move(record.error())));
  if (!is_class_kind(record->kind)) return std::unexpected(Error::unknown_entity(*cls));

  std::vector<EntityId> bound;
  if (atom.kind == QueryAtomKind::Type) {
    if (!instances) return std::unexpected(Error::parse("instance queries need a realisation"));
    auto members = instances(*cls);
    if (!members) return std::unexpected(std::move(members.error()));
    bound = std::move(*members);
  } else {
    bound = taxonomy.direct_subclasses(*cls);
  }
  std::vector<QueryAnswer> answers;
  answers.reserve(bound.size());
  for (EntityId id : bound) answers.push_back(QueryAnswer{{{atom.variable, id}}});
  return answers;
}

}  // namespace trelvanic_ql::query
