#include "owl/kinds.h"


#include <absl/container/flat_hash_map.h>

namespace trelvanic_owl {
namespace {

struct NameHash {
  size_t operator()(std::string_view name) const {
    return absl::Hash<absl::string_view>()(absl::string_view(name.data(), name.size()));
  }
};
using NameIndex = absl::flat_hash_map<std::string_view, Kind, NameHash>;

const NameIndex& name_index() {
  static const auto* index = [] {
    auto* map = new NameIndex();
    for (int i = 0; i < kKindCount; ++i) {
      auto kind = static_cast<Kind>(i);
      // The ontology's id and document IRI are header items, never written
      // as a construct of their own.
      if (kKindInfo[i].role == KindRole::Internal || kind == Kind::OntologyId || kind == Kind::DocumentIri) continue;
      map->emplace(kKindInfo[i].name, kind);
    }
    return map;
  }();
  return *index;
}

}  // namespace


std::optional<Kind> kind_from_name(std::string_view name) {
  const auto& index = name_index();
  auto it = index.find(name);
  if (it == index.end()) return std::nullopt;
  return it->second;
}

bool is_entity(Kind kind) { return kind_role(kind) == KindRole::Entity; }

bool is_class_expression(Kind kind) {
  return kind == Kind::Class || (kind >= Kind::ObjectIntersectionOf && kind <= Kind::DataExactCardinality);
}

bool is_object_property_expression(Kind kind) {
  return kind == Kind::ObjectProperty || kind == Kind::ObjectInverseOf;
}

bool is_data_range(Kind kind) {
  return kind == Kind::Datatype || (kind >= Kind::DataIntersectionOf && kind <= Kind::DatatypeRestriction);
}

bool is_individual(Kind kind) { return kind == Kind::NamedIndividual || kind == Kind::AnonymousIndividual; }

bool is_swrl_atom(Kind kind) { return kind >= Kind::ClassAtom && kind <= Kind::DifferentIndividualsAtom; }

bool is_cardinality(Kind kind) {
  switch (kind) {
    case Kind::ObjectMinCardinality:
    case Kind::ObjectMaxCardinality:
    case Kind::ObjectExactCardinality:
    case Kind::DataMinCardinality:
    case Kind::DataMaxCardinality:
    case Kind::DataExactCardinality:
      return true;
    default:
      return false;
  }
}

bool is_component(Kind kind) { return kind_role(kind) == KindRole::Component || kind == Kind::Annotation; }

bool letter_accepts(char letter, Kind kind) {
  switch (letter) {
    case 'C': return is_class_expression(kind);
    case 'c': return kind == Kind::Class;
    case 'O': return is_object_property_expression(kind);
    case 'p': return kind == Kind::ObjectProperty;
    case 'P': return is_object_property_expression(kind) || kind == Kind::ObjectPropertyChain;
    case 'D': return kind == Kind::DataProperty;
    case 'A': return kind == Kind::AnnotationProperty;
    case 'R': return is_data_range(kind);
    case 't': return kind == Kind::Datatype;
    case 'I': return is_individual(kind);
    case 'L': return kind == Kind::Literal;
    case 'U': return kind == Kind::Iri;
    case 'E': return is_entity(kind);
    case 'S': return kind == Kind::Iri || kind == Kind::AnonymousIndividual;
    case 'V': return kind == Kind::Iri || kind == Kind::AnonymousIndividual || kind == Kind::Literal;
    case 'X': return kind == Kind::Variable || is_individual(kind);
    case 'Y': return kind == Kind::Variable || kind == Kind::Literal;
    case 'F': return kind == Kind::FacetRestriction;
    case 'W': return is_swrl_atom(kind);
    case 'b': return kind == Kind::Body;
    case 'h': return kind == Kind::Head;
    case 'a': return kind == Kind::Annotation;
    default: return false;
  }
}

}  // namespace trelvanic_owl
