// The standard RDF, RDFS, OWL and XML Schema terms the rules recognise, by
// the names the rules use.
//
// A `Dictionary` is an RDF term table, which interns the RDF layer's
// vocabulary (rdf/vocab.h) first, so these `TermId`s are compile-time
// constants (`vocab::rdf_type`, `vocab::owl_sameAs`, ...) and the same as
// the readers' ids. Terms are recognised by their full IRI text only.
// Callers that encode their own triples look terms up through the
// dictionary; they never need to know these numbers.
#pragma once

#include "materializer/term_id.h"
#include "rdf/vocab.h"

namespace trelvanic_materializer::vocab {

inline constexpr TermId rdf_type = trelvanic_rdf::vocab::kRdfType;
inline constexpr TermId rdf_first = trelvanic_rdf::vocab::kRdfFirst;
inline constexpr TermId rdf_rest = trelvanic_rdf::vocab::kRdfRest;
inline constexpr TermId rdf_nil = trelvanic_rdf::vocab::kRdfNil;
inline constexpr TermId rdf_Property = trelvanic_rdf::vocab::kRdfProperty;
inline constexpr TermId rdf_langString = trelvanic_rdf::vocab::kRdfLangString;
inline constexpr TermId rdf_PlainLiteral = trelvanic_rdf::vocab::kRdfPlainLiteral;
inline constexpr TermId rdf_XMLLiteral = trelvanic_rdf::vocab::kRdfXmlLiteral;
inline constexpr TermId rdfs_subClassOf = trelvanic_rdf::vocab::kRdfsSubClassOf;
inline constexpr TermId rdfs_subPropertyOf = trelvanic_rdf::vocab::kRdfsSubPropertyOf;
inline constexpr TermId rdfs_domain = trelvanic_rdf::vocab::kRdfsDomain;
inline constexpr TermId rdfs_range = trelvanic_rdf::vocab::kRdfsRange;
inline constexpr TermId rdfs_Class = trelvanic_rdf::vocab::kRdfsClass;
inline constexpr TermId rdfs_Literal = trelvanic_rdf::vocab::kRdfsLiteral;
inline constexpr TermId rdfs_Resource = trelvanic_rdf::vocab::kRdfsResource;
inline constexpr TermId rdfs_Datatype = trelvanic_rdf::vocab::kRdfsDatatype;
inline constexpr TermId owl_Thing = trelvanic_rdf::vocab::kOwlThing;
inline constexpr TermId owl_Nothing = trelvanic_rdf::vocab::kOwlNothing;
inline constexpr TermId owl_Class = trelvanic_rdf::vocab::kOwlClass;
inline constexpr TermId owl_ObjectProperty = trelvanic_rdf::vocab::kOwlObjectProperty;
inline constexpr TermId owl_DatatypeProperty = trelvanic_rdf::vocab::kOwlDatatypeProperty;
inline constexpr TermId owl_NamedIndividual = trelvanic_rdf::vocab::kOwlNamedIndividual;
inline constexpr TermId owl_Restriction = trelvanic_rdf::vocab::kOwlRestriction;
inline constexpr TermId owl_sameAs = trelvanic_rdf::vocab::kOwlSameAs;
inline constexpr TermId owl_differentFrom = trelvanic_rdf::vocab::kOwlDifferentFrom;
inline constexpr TermId owl_AllDifferent = trelvanic_rdf::vocab::kOwlAllDifferent;
inline constexpr TermId owl_members = trelvanic_rdf::vocab::kOwlMembers;
inline constexpr TermId owl_distinctMembers = trelvanic_rdf::vocab::kOwlDistinctMembers;
inline constexpr TermId owl_equivalentClass = trelvanic_rdf::vocab::kOwlEquivalentClass;
inline constexpr TermId owl_equivalentProperty = trelvanic_rdf::vocab::kOwlEquivalentProperty;
inline constexpr TermId owl_disjointWith = trelvanic_rdf::vocab::kOwlDisjointWith;
inline constexpr TermId owl_propertyDisjointWith = trelvanic_rdf::vocab::kOwlPropertyDisjointWith;
inline constexpr TermId owl_AllDisjointProperties = trelvanic_rdf::vocab::kOwlAllDisjointProperties;
inline constexpr TermId owl_AllDisjointClasses = trelvanic_rdf::vocab::kOwlAllDisjointClasses;
inline constexpr TermId owl_inverseOf = trelvanic_rdf::vocab::kOwlInverseOf;
inline constexpr TermId owl_FunctionalProperty = trelvanic_rdf::vocab::kOwlFunctionalProperty;
inline constexpr TermId owl_InverseFunctionalProperty = trelvanic_rdf::vocab::kOwlInverseFunctionalProperty;
inline constexpr TermId owl_IrreflexiveProperty = trelvanic_rdf::vocab::kOwlIrreflexiveProperty;
inline constexpr TermId owl_SymmetricProperty = trelvanic_rdf::vocab::kOwlSymmetricProperty;
inline constexpr TermId owl_AsymmetricProperty = trelvanic_rdf::vocab::kOwlAsymmetricProperty;
inline constexpr TermId owl_TransitiveProperty = trelvanic_rdf::vocab::kOwlTransitiveProperty;
inline constexpr TermId owl_propertyChainAxiom = trelvanic_rdf::vocab::kOwlPropertyChainAxiom;
inline constexpr TermId owl_hasKey = trelvanic_rdf::vocab::kOwlHasKey;
inline constexpr TermId owl_sourceIndividual = trelvanic_rdf::vocab::kOwlSourceIndividual;
inline constexpr TermId owl_assertionProperty = trelvanic_rdf::vocab::kOwlAssertionProperty;
inline constexpr TermId owl_targetIndividual = trelvanic_rdf::vocab::kOwlTargetIndividual;
inline constexpr TermId owl_targetValue = trelvanic_rdf::vocab::kOwlTargetValue;
inline constexpr TermId owl_intersectionOf = trelvanic_rdf::vocab::kOwlIntersectionOf;
inline constexpr TermId owl_unionOf = trelvanic_rdf::vocab::kOwlUnionOf;
inline constexpr TermId owl_complementOf = trelvanic_rdf::vocab::kOwlComplementOf;
inline constexpr TermId owl_oneOf = trelvanic_rdf::vocab::kOwlOneOf;
inline constexpr TermId owl_onProperty = trelvanic_rdf::vocab::kOwlOnProperty;
inline constexpr TermId owl_onClass = trelvanic_rdf::vocab::kOwlOnClass;
inline constexpr TermId owl_someValuesFrom = trelvanic_rdf::vocab::kOwlSomeValuesFrom;
inline constexpr TermId owl_allValuesFrom = trelvanic_rdf::vocab::kOwlAllValuesFrom;
inline constexpr TermId owl_hasValue = trelvanic_rdf::vocab::kOwlHasValue;
inline constexpr TermId owl_maxCardinality = trelvanic_rdf::vocab::kOwlMaxCardinality;
inline constexpr TermId owl_maxQualifiedCardinality = trelvanic_rdf::vocab::kOwlMaxQualifiedCardinality;
inline constexpr TermId xsd_string = trelvanic_rdf::vocab::kXsdString;
inline constexpr TermId xsd_normalizedString = trelvanic_rdf::vocab::kXsdNormalizedString;
inline constexpr TermId xsd_token = trelvanic_rdf::vocab::kXsdToken;
inline constexpr TermId xsd_language = trelvanic_rdf::vocab::kXsdLanguage;
inline constexpr TermId xsd_Name = trelvanic_rdf::vocab::kXsdName;
inline constexpr TermId xsd_NCName = trelvanic_rdf::vocab::kXsdNCName;
inline constexpr TermId xsd_NMTOKEN = trelvanic_rdf::vocab::kXsdNMTOKEN;
inline constexpr TermId xsd_boolean = trelvanic_rdf::vocab::kXsdBoolean;
inline constexpr TermId xsd_decimal = trelvanic_rdf::vocab::kXsdDecimal;
inline constexpr TermId xsd_integer = trelvanic_rdf::vocab::kXsdInteger;
inline constexpr TermId xsd_nonNegativeInteger = trelvanic_rdf::vocab::kXsdNonNegativeInteger;
inline constexpr TermId xsd_nonPositiveInteger = trelvanic_rdf::vocab::kXsdNonPositiveInteger;
inline constexpr TermId xsd_positiveInteger = trelvanic_rdf::vocab::kXsdPositiveInteger;
inline constexpr TermId xsd_negativeInteger = trelvanic_rdf::vocab::kXsdNegativeInteger;
inline constexpr TermId xsd_long = trelvanic_rdf::vocab::kXsdLong;
inline constexpr TermId xsd_int = trelvanic_rdf::vocab::kXsdInt;
inline constexpr TermId xsd_short = trelvanic_rdf::vocab::kXsdShort;
inline constexpr TermId xsd_byte = trelvanic_rdf::vocab::kXsdByte;
inline constexpr TermId xsd_unsignedLong = trelvanic_rdf::vocab::kXsdUnsignedLong;
inline constexpr TermId xsd_unsignedInt = trelvanic_rdf::vocab::kXsdUnsignedInt;
inline constexpr TermId xsd_unsignedShort = trelvanic_rdf::vocab::kXsdUnsignedShort;
inline constexpr TermId xsd_unsignedByte = trelvanic_rdf::vocab::kXsdUnsignedByte;
inline constexpr TermId xsd_float = trelvanic_rdf::vocab::kXsdFloat;
inline constexpr TermId xsd_double = trelvanic_rdf::vocab::kXsdDouble;
inline constexpr TermId xsd_dateTime = trelvanic_rdf::vocab::kXsdDateTime;
inline constexpr TermId xsd_dateTimeStamp = trelvanic_rdf::vocab::kXsdDateTimeStamp;
inline constexpr TermId xsd_anyURI = trelvanic_rdf::vocab::kXsdAnyUri;
inline constexpr TermId xsd_hexBinary = trelvanic_rdf::vocab::kXsdHexBinary;
inline constexpr TermId xsd_base64Binary = trelvanic_rdf::vocab::kXsdBase64Binary;

// The last vocabulary id; every id above it was interned by a caller.
inline constexpr TermId kLast = trelvanic_rdf::vocab::kLast;
inline constexpr std::size_t kCount = trelvanic_rdf::vocab::kCount;

}  // namespace trelvanic_materializer::vocab
