#include "owl/kinds.h"

namespace trelvanic_owl {
namespace {

// The keywords in a small open-addressing table with a hash of a few bytes
// and the length: a lookup per construct of a large file is a few loads.
class KeywordTable {
 public:
  KeywordTable() {
    for (int i = 0; i < kKindCount; ++i) {
      auto kind = static_cast<Kind>(i);
      // The ontology's id and document IRI are header items, never written
      // as a construct of their own.
      if (kKindInfo[i].role == KindRole::Internal || kind == Kind::OntologyId || kind == Kind::DocumentIri) continue;
      size_t at = hash(kKindInfo[i].name);
      while (slots_[at] != 0) at = (at + 1) & (kSize - 1);
      slots_[at] = static_cast<uint8_t>(i + 1);
    }
  }

  [[nodiscard]] std::optional<Kind> find(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    for (size_t at = hash(name);; at = (at + 1) & (kSize - 1)) {
      uint8_t entry = slots_[at];
      if (entry == 0) return std::nullopt;
      if (kKindInfo[entry - 1].name == name) return static_cast<Kind>(entry - 1);
    }
  }

 private:
  static constexpr size_t kSize = 512;
  static_assert(kKindCount < 255 && kKindCount * 4 < kSize);

  static size_t hash(std::string_view name) {
    auto at = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(name[i])); };
    size_t n = name.size();
    return (n * 97 + at(0) * 31 + at(n - 1) * 131 + at(n / 2) * 7 + at(n / 3) * 17 + at(2 * n / 3) * 3) & (kSize - 1);
  }

  uint8_t slots_[kSize] = {};
};

}  // namespace

std::optional<Kind> kind_from_name(std::string_view name) {
  static const KeywordTable table;
  return table.find(name);
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
