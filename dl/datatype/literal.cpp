#include "dl/datatype/literal.h"

namespace trelvanic_dl::datatype {

using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

bool numeric_datatype_iri(std::string_view iri) {
  const Family f = family(datatype_of_iri(iri));
  return f == Family::Real || f == Family::Float || f == Family::Double;
}

bool plain_literal_datatype_iri(std::string_view iri) {
  const Dt dt = datatype_of_iri(iri);
  return dt == Dt::String || dt == Dt::LangString || dt == Dt::PlainLiteral;
}

bool binary_datatype_iri(std::string_view iri) {
  const Dt dt = datatype_of_iri(iri);
  return dt == Dt::HexBinary || dt == Dt::Base64Binary;
}

bool integer_value_space(std::string_view iri, int64_t value) {
  const Dt dt = datatype_of_iri(iri);
  if (integer_range(dt) == nullptr) return false;
  auto parsed = parse_value(std::to_string(value), Dt::Integer);
  return parsed.value && in_value_space(*parsed.value, dt).value_or(false);
}

Dt datatype_of(const Ontology& ontology, EntityId id) {
  auto iri = ontology.entity_iri(id);
  return iri ? datatype_of_iri(*iri) : Dt::Unknown;
}

bool datatype_subsumes(const Ontology& ontology, EntityId sub, EntityId super) {
  if (sub == super) return true;
  return subtype_of(datatype_of(ontology, sub), datatype_of(ontology, super));
}

Parsed literal_value(const Ontology& ontology, const LiteralValue& literal) {
  return parse_value(literal.lexical, datatype_of(ontology, literal.datatype));
}

bool literal_is_ill_typed(const Ontology& ontology, const LiteralValue& literal) {
  return literal_value(ontology, literal).status == Parsed::Status::IllTyped;
}

std::optional<bool> literal_membership(const Ontology& ontology, const LiteralValue& literal, EntityId datatype) {
  const Dt target = datatype_of(ontology, datatype);
  if (target == Dt::Literal) return true;  // every literal is a literal
  if (literal.datatype == datatype && target != Dt::Unknown) {
    // A well-typed literal lies in its own datatype.
    auto parsed = literal_value(ontology, literal);
    if (parsed.status == Parsed::Status::Unknown) return std::nullopt;
    return parsed.status == Parsed::Status::Ok;
  }
  auto parsed = literal_value(ontology, literal);
  if (parsed.status == Parsed::Status::IllTyped) return false;
  if (!parsed.value) return std::nullopt;
  return in_value_space(*parsed.value, target);
}

bool literal_in_datatype_value_space(const Ontology* ontology, const LiteralValue& literal, EntityId datatype) {
  return ontology != nullptr && literal_membership(*ontology, literal, datatype).value_or(false);
}

std::optional<bool> literal_equality(const Ontology& ontology, const LiteralValue& a, const LiteralValue& b) {
  if (a.datatype == b.datatype && a.lexical == b.lexical) {
    // One literal written twice: the same value whenever it has one.
    auto parsed = literal_value(ontology, a);
    if (parsed.status == Parsed::Status::IllTyped) return std::nullopt;
    return true;
  }
  auto x = literal_value(ontology, a), y = literal_value(ontology, b);
  if (!x.value || !y.value) return std::nullopt;
  return same_value(*x.value, *y.value);
}

bool literal_same_data_value(const Ontology* ontology, const LiteralValue& a, const LiteralValue& b) {
  return ontology != nullptr && literal_equality(*ontology, a, b).value_or(false);
}

}  // namespace trelvanic_dl::datatype
