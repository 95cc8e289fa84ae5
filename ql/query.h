// One-atom conjunctive queries over a classification.
//
//   Type(?x, C)        the named individuals entailed to be instances of C
//   SubClassOf(?x, C)  the direct subclasses of C in the taxonomy
//
// Instances come from the route's realisation, which the caller hands in as
// an `InstanceSource`; the taxonomy alone answers subclass atoms.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ids.h"
#include "core/ontology.h"
#include "core/taxonomy.h"
#include "ql/error.h"

namespace trelvanic_ql::query {

enum class QueryAtomKind : unsigned char { Type, SubClassOf };

struct QueryAtom {
  QueryAtomKind kind = QueryAtomKind::Type;
  std::string variable;  // without question marks
  std::string class_;    // the class text as written
};

struct ConjunctiveQuery {
  std::vector<QueryAtom> atoms;
};

struct QueryAnswer {
  std::vector<std::pair<std::string, trelvanic_core::EntityId>> bindings;
};

// The named individuals entailed to be instances of a class, in a stable
// order; an error when the route cannot realise the ontology.
using InstanceSource = std::function<Result<std::vector<trelvanic_core::EntityId>>(trelvanic_core::EntityId)>;

inline constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
inline constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";

// The entity whose IRI is `text`; "owl:Thing" and "owl:Nothing" also name
// the entities of the full IRIs; else UnknownClass.
[[nodiscard]] Result<trelvanic_core::EntityId> lookup_query_class(const trelvanic_core::Ontology& ontology,
                                                                  std::string_view text);

[[nodiscard]] Result<std::vector<QueryAnswer>> evaluate(const trelvanic_core::Ontology& ontology,
                                                        const trelvanic_core::Taxonomy& taxonomy,
                                                        const ConjunctiveQuery& query,
                                                        const InstanceSource& instances);

}  // namespace trelvanic_ql::query
