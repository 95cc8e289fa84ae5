// The datatypes the reasoner knows, recognised by their full IRIs (with
// "%23" read as "#"), and the subtype relation of the OWL 2 datatype map.
//
// The numeric types form one value space (the real numbers) split by
// range: owl:real ⊇ owl:rational ⊇ xsd:decimal ⊇ xsd:integer ⊇ …; the
// value spaces of xsd:float and xsd:double are disjoint from it and from
// each other. Strings, booleans, binary data, IRIs, time instants and XML
// literals are further disjoint spaces. Any other IRI is `Unknown`: nothing
// is decided about its literals.
#pragma once

#include <cstdint>
#include <string_view>

namespace trelvanic_dl::datatype {

enum class Dt : uint8_t {
  Unknown,
  Literal,  // rdfs:Literal, the top of every datatype
  // the real numbers
  Real, Rational, Decimal, Integer, NonPositiveInteger, NegativeInteger, Long, Int, Short, Byte,
  NonNegativeInteger, UnsignedLong, UnsignedInt, UnsignedShort, UnsignedByte, PositiveInteger,
  // floating point
  Float, Double,
  // strings
  PlainLiteral, String, LangString, NormalizedString, Token, Language, Name, NCName, NMToken,
  // the rest
  Boolean, HexBinary, Base64Binary, AnyUri, DateTime, DateTimeStamp, XmlLiteral,
};

[[nodiscard]] Dt datatype_of_iri(std::string_view iri);

// The value-space families: datatypes of different families share no value.
enum class Family : uint8_t { None, Top, Real, Float, Double, String, Boolean, HexBinary, Base64Binary, AnyUri, DateTime, XmlLiteral };
[[nodiscard]] Family family(Dt dt);

// sub's value space lies inside super's (reflexive and transitive).
[[nodiscard]] bool subtype_of(Dt sub, Dt super);

// Inclusive bounds of the integer types as decimal texts (empty: unbounded).
struct IntegerRange {
  std::string_view min;
  std::string_view max;
};
// The range of an integer type; none for the other types.
[[nodiscard]] const IntegerRange* integer_range(Dt dt);

}  // namespace trelvanic_dl::datatype
