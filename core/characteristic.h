// The seven object property characteristics, listed once.
//
// Each row of `kCharacteristics` names what one characteristic is called in
// every layer: the told axiom kind that states it of a named property, the
// expression axiom kind that states it of a property expression (only
// transitive, symmetric, inverse functional and irreflexive have one), the
// construct the profile checks record for it, and the OWL class whose
// rdf:type triple states it in RDF. The axiom index keeps one set of
// properties per characteristic, in this order.
//
//   characteristic_of(AxiomKind::SymmetricObjectProperty)  // Symmetric
//   characteristic_row(PropertyCharacteristic::Reflexive).rdf_type
//
// A `switch` over `AxiomKind` that treats the seven alike lists them with
// `TRELVANIC_CHARACTERISTIC_AXIOM_CASES`, so it stays exhaustive without a
// `default`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/axiom.h"
#include "core/dl_expr.h"
#include "core/parse_meta.h"

// X(name, OWL class local name); the told axiom kind and the construct are
// `name##ObjectProperty`.
#define TRELVANIC_PROPERTY_CHARACTERISTICS(X)       \
  X(Functional, "FunctionalProperty")               \
  X(InverseFunctional, "InverseFunctionalProperty") \
  X(Reflexive, "ReflexiveProperty")                 \
  X(Irreflexive, "IrreflexiveProperty")             \
  X(Symmetric, "SymmetricProperty")                 \
  X(Asymmetric, "AsymmetricProperty")               \
  X(Transitive, "TransitiveProperty")

#define TRELVANIC_CHARACTERISTIC_AXIOM_CASE(name, local) case ::trelvanic_core::AxiomKind::name##ObjectProperty:
// The seven told kinds as `case` labels (the last one without a body).
#define TRELVANIC_CHARACTERISTIC_AXIOM_CASES TRELVANIC_PROPERTY_CHARACTERISTICS(TRELVANIC_CHARACTERISTIC_AXIOM_CASE)

namespace trelvanic_core {

enum class PropertyCharacteristic : uint8_t {
#define TRELVANIC_X(name, local) name,
  TRELVANIC_PROPERTY_CHARACTERISTICS(TRELVANIC_X)
#undef TRELVANIC_X
};

inline constexpr size_t kCharacteristicCount = 0
#define TRELVANIC_X(name, local) +1
    TRELVANIC_PROPERTY_CHARACTERISTICS(TRELVANIC_X)
#undef TRELVANIC_X
    ;

struct CharacteristicRow {
  PropertyCharacteristic characteristic;
  AxiomKind told;
  std::optional<DlAxiomKind> expression;  // none: only told of named properties
  OwlConstruct construct;
  std::string_view rdf_type;  // full IRI of the OWL class
};

namespace detail {
// The expression axiom kind of the characteristics the expression store holds.
constexpr std::optional<DlAxiomKind> characteristic_expression(PropertyCharacteristic c) {
  switch (c) {
    case PropertyCharacteristic::InverseFunctional: return DlAxiomKind::InverseFunctionalObjectProperty;
    case PropertyCharacteristic::Irreflexive: return DlAxiomKind::IrreflexiveObjectProperty;
    case PropertyCharacteristic::Symmetric: return DlAxiomKind::SymmetricObjectProperty;
    case PropertyCharacteristic::Transitive: return DlAxiomKind::TransitiveObjectProperty;
    case PropertyCharacteristic::Functional:
    case PropertyCharacteristic::Reflexive:
    case PropertyCharacteristic::Asymmetric: return std::nullopt;
  }
  return std::nullopt;
}
}  // namespace detail

inline constexpr std::array<CharacteristicRow, kCharacteristicCount> kCharacteristics = {{
#define TRELVANIC_X(name, local)                                                                              \
  {PropertyCharacteristic::name, AxiomKind::name##ObjectProperty,                                             \
   detail::characteristic_expression(PropertyCharacteristic::name), OwlConstruct::name##ObjectProperty, \
   "http://www.w3.org/2002/07/owl#" local},
    TRELVANIC_PROPERTY_CHARACTERISTICS(TRELVANIC_X)
#undef TRELVANIC_X
}};

[[nodiscard]] constexpr const CharacteristicRow& characteristic_row(PropertyCharacteristic c) {
  return kCharacteristics[static_cast<size_t>(c)];
}

// The characteristic a told axiom kind states; none for the other kinds.
[[nodiscard]] constexpr std::optional<PropertyCharacteristic> characteristic_of(AxiomKind k) {
  for (const CharacteristicRow& row : kCharacteristics)
    if (row.told == k) return row.characteristic;
  return std::nullopt;
}

// The characteristic an expression axiom kind states; none for the other kinds.
[[nodiscard]] constexpr std::optional<PropertyCharacteristic> characteristic_of(DlAxiomKind k) {
  for (const CharacteristicRow& row : kCharacteristics)
    if (row.expression == k) return row.characteristic;
  return std::nullopt;
}

// The characteristic whose OWL class has this full IRI; none for any other.
[[nodiscard]] constexpr std::optional<PropertyCharacteristic> characteristic_of_rdf_type(std::string_view iri) {
  for (const CharacteristicRow& row : kCharacteristics)
    if (row.rdf_type == iri) return row.characteristic;
  return std::nullopt;
}

}  // namespace trelvanic_core
