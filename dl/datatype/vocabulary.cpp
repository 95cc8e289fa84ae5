#include "dl/datatype/vocabulary.h"

#include <string>

namespace trelvanic_dl::datatype {

namespace {

constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema#";
constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";

struct Named {
  std::string_view local;
  Dt dt;
};

constexpr Named kXsdTypes[] = {
    {"decimal", Dt::Decimal},
    {"integer", Dt::Integer},
    {"nonPositiveInteger", Dt::NonPositiveInteger},
    {"negativeInteger", Dt::NegativeInteger},
    {"long", Dt::Long},
    {"int", Dt::Int},
    {"short", Dt::Short},
    {"byte", Dt::Byte},
    {"nonNegativeInteger", Dt::NonNegativeInteger},
    {"unsignedLong", Dt::UnsignedLong},
    {"unsignedInt", Dt::UnsignedInt},
    {"unsignedShort", Dt::UnsignedShort},
    {"unsignedByte", Dt::UnsignedByte},
    {"positiveInteger", Dt::PositiveInteger},
    {"float", Dt::Float},
    {"double", Dt::Double},
    {"string", Dt::String},
    {"normalizedString", Dt::NormalizedString},
    {"token", Dt::Token},
    {"language", Dt::Language},
    {"Name", Dt::Name},
    {"NCName", Dt::NCName},
    {"NMTOKEN", Dt::NMToken},
    {"boolean", Dt::Boolean},
    {"hexBinary", Dt::HexBinary},
    {"base64Binary", Dt::Base64Binary},
    {"anyURI", Dt::AnyUri},
    {"dateTime", Dt::DateTime},
    {"dateTimeStamp", Dt::DateTimeStamp},
};

// The direct supertype of each type (Literal for the roots).
Dt parent(Dt dt) {
  switch (dt) {
    case Dt::Unknown:
    case Dt::Literal:
      return Dt::Literal;
    case Dt::Real: return Dt::Literal;
    case Dt::Rational: return Dt::Real;
    case Dt::Decimal: return Dt::Rational;
    case Dt::Integer: return Dt::Decimal;
    case Dt::NonPositiveInteger: return Dt::Integer;
    case Dt::NegativeInteger: return Dt::NonPositiveInteger;
    case Dt::Long: return Dt::Integer;
    case Dt::Int: return Dt::Long;
    case Dt::Short: return Dt::Int;
    case Dt::Byte: return Dt::Short;
    case Dt::NonNegativeInteger: return Dt::Integer;
    case Dt::UnsignedLong: return Dt::NonNegativeInteger;
    case Dt::UnsignedInt: return Dt::UnsignedLong;
    case Dt::UnsignedShort: return Dt::UnsignedInt;
    case Dt::UnsignedByte: return Dt::UnsignedShort;
    case Dt::PositiveInteger: return Dt::NonNegativeInteger;
    case Dt::Float: return Dt::Literal;
    case Dt::Double: return Dt::Literal;
    case Dt::PlainLiteral: return Dt::Literal;
    case Dt::String: return Dt::PlainLiteral;
    case Dt::LangString: return Dt::PlainLiteral;
    case Dt::NormalizedString: return Dt::String;
    case Dt::Token: return Dt::NormalizedString;
    case Dt::Language: return Dt::Token;
    case Dt::Name: return Dt::Token;
    case Dt::NCName: return Dt::Name;
    case Dt::NMToken: return Dt::Token;
    case Dt::Boolean: return Dt::Literal;
    case Dt::HexBinary: return Dt::Literal;
    case Dt::Base64Binary: return Dt::Literal;
    case Dt::AnyUri: return Dt::Literal;
    case Dt::DateTime: return Dt::Literal;
    case Dt::DateTimeStamp: return Dt::DateTime;
    case Dt::XmlLiteral: return Dt::Literal;
  }
  return Dt::Literal;
}

}  // namespace

Dt datatype_of_iri(std::string_view raw) {
  std::string iri;
  if (raw.find("%23") != std::string_view::npos) {
    for (size_t i = 0; i < raw.size();) {
      if (raw.compare(i, 3, "%23") == 0) {
        iri += '#';
        i += 3;
      } else {
        iri += raw[i++];
      }
    }
    raw = iri;
  }
  if (raw.starts_with(kXsd)) {
    const std::string_view local = raw.substr(kXsd.size());
    for (const Named& n : kXsdTypes)
      if (n.local == local) return n.dt;
    return Dt::Unknown;
  }
  if (raw == std::string(kRdfs) + "Literal") return Dt::Literal;
  if (raw == std::string(kRdf) + "PlainLiteral") return Dt::PlainLiteral;
  if (raw == std::string(kRdf) + "langString") return Dt::LangString;
  if (raw == std::string(kRdf) + "XMLLiteral") return Dt::XmlLiteral;
  if (raw == std::string(kOwl) + "real") return Dt::Real;
  if (raw == std::string(kOwl) + "rational") return Dt::Rational;
  return Dt::Unknown;
}

Family family(Dt dt) {
  switch (dt) {
    case Dt::Unknown: return Family::None;
    case Dt::Literal: return Family::Top;
    case Dt::Float: return Family::Float;
    case Dt::Double: return Family::Double;
    case Dt::Boolean: return Family::Boolean;
    case Dt::HexBinary: return Family::HexBinary;
    case Dt::Base64Binary: return Family::Base64Binary;
    case Dt::AnyUri: return Family::AnyUri;
    case Dt::DateTime:
    case Dt::DateTimeStamp: return Family::DateTime;
    case Dt::XmlLiteral: return Family::XmlLiteral;
    default: break;
  }
  if (subtype_of(dt, Dt::Real)) return Family::Real;
  return Family::String;
}

bool subtype_of(Dt sub, Dt super) {
  if (sub == Dt::Unknown || super == Dt::Unknown) return sub == super && sub != Dt::Unknown;
  for (Dt t = sub;; t = parent(t)) {
    if (t == super) return true;
    if (t == Dt::Literal) return false;
  }
}

const IntegerRange* integer_range(Dt dt) {
  static constexpr IntegerRange kIntegerRange{"", ""};
  static constexpr IntegerRange kNonPositive{"", "0"};
  static constexpr IntegerRange kNegative{"", "-1"};
  static constexpr IntegerRange kLong{"-9223372036854775808", "9223372036854775807"};
  static constexpr IntegerRange kInt{"-2147483648", "2147483647"};
  static constexpr IntegerRange kShort{"-32768", "32767"};
  static constexpr IntegerRange kByte{"-128", "127"};
  static constexpr IntegerRange kNonNegative{"0", ""};
  static constexpr IntegerRange kUnsignedLong{"0", "18446744073709551615"};
  static constexpr IntegerRange kUnsignedInt{"0", "4294967295"};
  static constexpr IntegerRange kUnsignedShort{"0", "65535"};
  static constexpr IntegerRange kUnsignedByte{"0", "255"};
  static constexpr IntegerRange kPositive{"1", ""};
  switch (dt) {
    case Dt::Integer: return &kIntegerRange;
    case Dt::NonPositiveInteger: return &kNonPositive;
    case Dt::NegativeInteger: return &kNegative;
    case Dt::Long: return &kLong;
    case Dt::Int: return &kInt;
    case Dt::Short: return &kShort;
    case Dt::Byte: return &kByte;
    case Dt::NonNegativeInteger: return &kNonNegative;
    case Dt::UnsignedLong: return &kUnsignedLong;
    case Dt::UnsignedInt: return &kUnsignedInt;
    case Dt::UnsignedShort: return &kUnsignedShort;
    case Dt::UnsignedByte: return &kUnsignedByte;
    case Dt::PositiveInteger: return &kPositive;
    default: return nullptr;
  }
}

}  // namespace trelvanic_dl::datatype
