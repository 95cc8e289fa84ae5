// The standard RDF, RDFS, OWL and XML Schema terms the rules recognise.
//
// Every `Dictionary` interns these IRIs first, in the order of the list
// below, so their `TermId`s are compile-time constants (`vocab::rdf_type`,
// `vocab::owl_sameAs`, ...). Terms are recognised by their full IRI text
// only. Callers that encode their own triples look terms up through the
// dictionary; they never need to know these numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "materializer/term_id.h"

namespace trelvanic_materializer {

#define TRELVANIC_RDF "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
#define TRELVANIC_RDFS "http://www.w3.org/2000/01/rdf-schema#"
#define TRELVANIC_OWL "http://www.w3.org/2002/07/owl#"
#define TRELVANIC_XSD "http://www.w3.org/2001/XMLSchema#"

// X(name, namespace macro, local name)
#define TRELVANIC_VOCABULARY(X)                                   \
  X(rdf_type, TRELVANIC_RDF, "type")                              \
  X(rdf_first, TRELVANIC_RDF, "first")                            \
  X(rdf_rest, TRELVANIC_RDF, "rest")                              \
  X(rdf_nil, TRELVANIC_RDF, "nil")                                \
  X(rdf_Property, TRELVANIC_RDF, "Property")                      \
  X(rdf_langString, TRELVANIC_RDF, "langString")                  \
  X(rdf_PlainLiteral, TRELVANIC_RDF, "PlainLiteral")              \
  X(rdf_XMLLiteral, TRELVANIC_RDF, "XMLLiteral")                  \
  X(rdfs_subClassOf, TRELVANIC_RDFS, "subClassOf")                \
  X(rdfs_subPropertyOf, TRELVANIC_RDFS, "subPropertyOf")          \
  X(rdfs_domain, TRELVANIC_RDFS, "domain")                        \
  X(rdfs_range, TRELVANIC_RDFS, "range")                          \
  X(rdfs_Class, TRELVANIC_RDFS, "Class")                          \
  X(rdfs_Literal, TRELVANIC_RDFS, "Literal")                      \
  X(rdfs_Resource, TRELVANIC_RDFS, "Resource")                    \
  X(rdfs_Datatype, TRELVANIC_RDFS, "Datatype")                    \
  X(owl_Thing, TRELVANIC_OWL, "Thing")                            \
  X(owl_Nothing, TRELVANIC_OWL, "Nothing")                        \
  X(owl_Class, TRELVANIC_OWL, "Class")                            \
  X(owl_ObjectProperty, TRELVANIC_OWL, "ObjectProperty")          \
  X(owl_DatatypeProperty, TRELVANIC_OWL, "DatatypeProperty")      \
  X(owl_NamedIndividual, TRELVANIC_OWL, "NamedIndividual")        \
  X(owl_Restriction, TRELVANIC_OWL, "Restriction")                \
  X(owl_sameAs, TRELVANIC_OWL, "sameAs")                          \
  X(owl_differentFrom, TRELVANIC_OWL, "differentFrom")            \
  X(owl_AllDifferent, TRELVANIC_OWL, "AllDifferent")              \
  X(owl_members, TRELVANIC_OWL, "members")                        \
  X(owl_distinctMembers, TRELVANIC_OWL, "distinctMembers")        \
  X(owl_equivalentClass, TRELVANIC_OWL, "equivalentClass")        \
  X(owl_equivalentProperty, TRELVANIC_OWL, "equivalentProperty")  \
  X(owl_disjointWith, TRELVANIC_OWL, "disjointWith")              \
  X(owl_propertyDisjointWith, TRELVANIC_OWL, "propertyDisjointWith") \
  X(owl_AllDisjointProperties, TRELVANIC_OWL, "AllDisjointProperties") \
  X(owl_AllDisjointClasses, TRELVANIC_OWL, "AllDisjointClasses")  \
  X(owl_inverseOf, TRELVANIC_OWL, "inverseOf")                    \
  X(owl_FunctionalProperty, TRELVANIC_OWL, "FunctionalProperty")  \
  X(owl_InverseFunctionalProperty, TRELVANIC_OWL, "InverseFunctionalProperty") \
  X(owl_IrreflexiveProperty, TRELVANIC_OWL, "IrreflexiveProperty") \
  X(owl_SymmetricProperty, TRELVANIC_OWL, "SymmetricProperty")    \
  X(owl_AsymmetricProperty, TRELVANIC_OWL, "AsymmetricProperty")  \
  X(owl_TransitiveProperty, TRELVANIC_OWL, "TransitiveProperty")  \
  X(owl_propertyChainAxiom, TRELVANIC_OWL, "propertyChainAxiom")  \
  X(owl_hasKey, TRELVANIC_OWL, "hasKey")                          \
  X(owl_sourceIndividual, TRELVANIC_OWL, "sourceIndividual")      \
  X(owl_assertionProperty, TRELVANIC_OWL, "assertionProperty")    \
  X(owl_targetIndividual, TRELVANIC_OWL, "targetIndividual")      \
  X(owl_targetValue, TRELVANIC_OWL, "targetValue")                \
  X(owl_intersectionOf, TRELVANIC_OWL, "intersectionOf")          \
  X(owl_unionOf, TRELVANIC_OWL, "unionOf")                        \
  X(owl_complementOf, TRELVANIC_OWL, "complementOf")              \
  X(owl_oneOf, TRELVANIC_OWL, "oneOf")                            \
  X(owl_onProperty, TRELVANIC_OWL, "onProperty")                  \
  X(owl_onClass, TRELVANIC_OWL, "onClass")                        \
  X(owl_someValuesFrom, TRELVANIC_OWL, "someValuesFrom")          \
  X(owl_allValuesFrom, TRELVANIC_OWL, "allValuesFrom")            \
  X(owl_hasValue, TRELVANIC_OWL, "hasValue")                      \
  X(owl_maxCardinality, TRELVANIC_OWL, "maxCardinality")          \
  X(owl_maxQualifiedCardinality, TRELVANIC_OWL, "maxQualifiedCardinality") \
  X(xsd_string, TRELVANIC_XSD, "string")                          \
  X(xsd_normalizedString, TRELVANIC_XSD, "normalizedString")      \
  X(xsd_token, TRELVANIC_XSD, "token")                            \
  X(xsd_language, TRELVANIC_XSD, "language")                      \
  X(xsd_Name, TRELVANIC_XSD, "Name")                              \
  X(xsd_NCName, TRELVANIC_XSD, "NCName")                          \
  X(xsd_NMTOKEN, TRELVANIC_XSD, "NMTOKEN")                        \
  X(xsd_boolean, TRELVANIC_XSD, "boolean")                        \
  X(xsd_decimal, TRELVANIC_XSD, "decimal")                        \
  X(xsd_integer, TRELVANIC_XSD, "integer")                        \
  X(xsd_nonNegativeInteger, TRELVANIC_XSD, "nonNegativeInteger")  \
  X(xsd_nonPositiveInteger, TRELVANIC_XSD, "nonPositiveInteger")  \
  X(xsd_positiveInteger, TRELVANIC_XSD, "positiveInteger")        \
  X(xsd_negativeInteger, TRELVANIC_XSD, "negativeInteger")        \
  X(xsd_long, TRELVANIC_XSD, "long")                              \
  X(xsd_int, TRELVANIC_XSD, "int")                                \
  X(xsd_short, TRELVANIC_XSD, "short")                            \
  X(xsd_byte, TRELVANIC_XSD, "byte")                              \
  X(xsd_unsignedLong, TRELVANIC_XSD, "unsignedLong")              \
  X(xsd_unsignedInt, TRELVANIC_XSD, "unsignedInt")                \
  X(xsd_unsignedShort, TRELVANIC_XSD, "unsignedShort")            \
  X(xsd_unsignedByte, TRELVANIC_XSD, "unsignedByte")              \
  X(xsd_float, TRELVANIC_XSD, "float")                            \
  X(xsd_double, TRELVANIC_XSD, "double")                          \
  X(xsd_dateTime, TRELVANIC_XSD, "dateTime")                      \
  X(xsd_dateTimeStamp, TRELVANIC_XSD, "dateTimeStamp")            \
  X(xsd_anyURI, TRELVANIC_XSD, "anyURI")                          \
  X(xsd_hexBinary, TRELVANIC_XSD, "hexBinary")                    \
  X(xsd_base64Binary, TRELVANIC_XSD, "base64Binary")

namespace vocab {
enum class Index : std::uint32_t {
#define TRELVANIC_VOCAB_INDEX(name, ns, local) name,
  TRELVANIC_VOCABULARY(TRELVANIC_VOCAB_INDEX)
#undef TRELVANIC_VOCAB_INDEX
  kCount
};

// Term ids start at 1 (0 is "no term"), in list order.
#define TRELVANIC_VOCAB_ID(name, ns, local) \
  inline constexpr TermId name{static_cast<std::uint32_t>(Index::name) + 1};
TRELVANIC_VOCABULARY(TRELVANIC_VOCAB_ID)
#undef TRELVANIC_VOCAB_ID

inline constexpr std::size_t kCount = static_cast<std::size_t>(Index::kCount);

inline constexpr std::array<std::string_view, kCount> kIris = {
#define TRELVANIC_VOCAB_IRI(name, ns, local) std::string_view(ns local),
    TRELVANIC_VOCABULARY(TRELVANIC_VOCAB_IRI)
#undef TRELVANIC_VOCAB_IRI
};

// The last vocabulary id; every id above it was interned by a caller.
inline constexpr TermId kLast{static_cast<std::uint32_t>(kCount)};
}  // namespace vocab

}  // namespace trelvanic_materializer
