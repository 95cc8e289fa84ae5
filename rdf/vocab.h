// The standard RDF, RDFS, OWL, XSD and SWRL vocabulary the readers and the
// mapping recognise, by full IRI.
//
// Every TermTable interns this list first, in this order, so each term has
// the same fixed TermId in every table (the RL rule engine's dictionary is
// such a table too): `vocab::kRdfType` and so on can be
// compared with ids straight from the readers, and used in a `switch`.
#pragma once

#include <array>
#include <string_view>

#include "rdf/term_id.h"

#define TRELVANIC_RDF_NS "http://www.w3.org/1999/02/22-rdf-syntax-ns#"
#define TRELVANIC_RDFS_NS "http://www.w3.org/2000/01/rdf-schema#"
#define TRELVANIC_OWL_NS "http://www.w3.org/2002/07/owl#"
#define TRELVANIC_XSD_NS "http://www.w3.org/2001/XMLSchema#"
#define TRELVANIC_SWRL_NS "http://www.w3.org/2003/11/swrl#"

// X(name, iri)
#define TRELVANIC_RDF_VOCAB(X)                                                   \
  X(RdfType, TRELVANIC_RDF_NS "type")                                            \
  X(RdfFirst, TRELVANIC_RDF_NS "first")                                          \
  X(RdfRest, TRELVANIC_RDF_NS "rest")                                            \
  X(RdfNil, TRELVANIC_RDF_NS "nil")                                              \
  X(RdfList, TRELVANIC_RDF_NS "List")                                            \
  X(RdfProperty, TRELVANIC_RDF_NS "Property")                                    \
  X(RdfLangString, TRELVANIC_RDF_NS "langString")                                \
  X(RdfPlainLiteral, TRELVANIC_RDF_NS "PlainLiteral")                            \
  X(RdfXmlLiteral, TRELVANIC_RDF_NS "XMLLiteral")                                \
  X(RdfStatement, TRELVANIC_RDF_NS "Statement")                                  \
  X(RdfSubject, TRELVANIC_RDF_NS "subject")                                      \
  X(RdfPredicate, TRELVANIC_RDF_NS "predicate")                                  \
  X(RdfObject, TRELVANIC_RDF_NS "object")                                        \
  X(RdfsSubClassOf, TRELVANIC_RDFS_NS "subClassOf")                              \
  X(RdfsSubPropertyOf, TRELVANIC_RDFS_NS "subPropertyOf")                        \
  X(RdfsDomain, TRELVANIC_RDFS_NS "domain")                                      \
  X(RdfsRange, TRELVANIC_RDFS_NS "range")                                        \
  X(RdfsDatatype, TRELVANIC_RDFS_NS "Datatype")                                  \
  X(RdfsClass, TRELVANIC_RDFS_NS "Class")                                        \
  X(RdfsLiteral, TRELVANIC_RDFS_NS "Literal")                                    \
  X(RdfsLabel, TRELVANIC_RDFS_NS "label")                                        \
  X(RdfsComment, TRELVANIC_RDFS_NS "comment")                                    \
  X(RdfsSeeAlso, TRELVANIC_RDFS_NS "seeAlso")                                    \
  X(RdfsIsDefinedBy, TRELVANIC_RDFS_NS "isDefinedBy")                            \
  X(OwlOntology, TRELVANIC_OWL_NS "Ontology")                                    \
  X(OwlImports, TRELVANIC_OWL_NS "imports")                                      \
  X(OwlVersionIri, TRELVANIC_OWL_NS "versionIRI")                                \
  X(OwlClass, TRELVANIC_OWL_NS "Class")                                          \
  X(OwlThing, TRELVANIC_OWL_NS "Thing")                                          \
  X(OwlNothing, TRELVANIC_OWL_NS "Nothing")                                      \
  X(OwlObjectProperty, TRELVANIC_OWL_NS "ObjectProperty")                        \
  X(OwlDatatypeProperty, TRELVANIC_OWL_NS "DatatypeProperty")                    \
  X(OwlAnnotationProperty, TRELVANIC_OWL_NS "AnnotationProperty")                \
  X(OwlOntologyProperty, TRELVANIC_OWL_NS "OntologyProperty")                    \
  X(OwlNamedIndividual, TRELVANIC_OWL_NS "NamedIndividual")                      \
  X(OwlDeprecatedClass, TRELVANIC_OWL_NS "DeprecatedClass")                      \
  X(OwlDeprecatedProperty, TRELVANIC_OWL_NS "DeprecatedProperty")                \
  X(OwlDataRange, TRELVANIC_OWL_NS "DataRange")                                  \
  X(OwlRestriction, TRELVANIC_OWL_NS "Restriction")                              \
  X(OwlOnProperty, TRELVANIC_OWL_NS "onProperty")                                \
  X(OwlOnProperties, TRELVANIC_OWL_NS "onProperties")                            \
  X(OwlSomeValuesFrom, TRELVANIC_OWL_NS "someValuesFrom")                        \
  X(OwlAllValuesFrom, TRELVANIC_OWL_NS "allValuesFrom")                          \
  X(OwlHasValue, TRELVANIC_OWL_NS "hasValue")                                    \
  X(OwlHasSelf, TRELVANIC_OWL_NS "hasSelf")                                      \
  X(OwlMinCardinality, TRELVANIC_OWL_NS "minCardinality")                        \
  X(OwlMaxCardinality, TRELVANIC_OWL_NS "maxCardinality")                        \
  X(OwlCardinality, TRELVANIC_OWL_NS "cardinality")                              \
  X(OwlMinQualifiedCardinality, TRELVANIC_OWL_NS "minQualifiedCardinality")      \
  X(OwlMaxQualifiedCardinality, TRELVANIC_OWL_NS "maxQualifiedCardinality")      \
  X(OwlQualifiedCardinality, TRELVANIC_OWL_NS "qualifiedCardinality")            \
  X(OwlOnClass, TRELVANIC_OWL_NS "onClass")                                      \
  X(OwlOnDataRange, TRELVANIC_OWL_NS "onDataRange")                              \
  X(OwlIntersectionOf, TRELVANIC_OWL_NS "intersectionOf")                        \
  X(OwlUnionOf, TRELVANIC_OWL_NS "unionOf")                                      \
  X(OwlComplementOf, TRELVANIC_OWL_NS "complementOf")                            \
  X(OwlOneOf, TRELVANIC_OWL_NS "oneOf")                                          \
  X(OwlDatatypeComplementOf, TRELVANIC_OWL_NS "datatypeComplementOf")            \
  X(OwlOnDatatype, TRELVANIC_OWL_NS "onDatatype")                                \
  X(OwlWithRestrictions, TRELVANIC_OWL_NS "withRestrictions")                    \
  X(OwlInverseOf, TRELVANIC_OWL_NS "inverseOf")                                  \
  X(OwlEquivalentClass, TRELVANIC_OWL_NS "equivalentClass")                      \
  X(OwlDisjointWith, TRELVANIC_OWL_NS "disjointWith")                            \
  X(OwlAllDisjointClasses, TRELVANIC_OWL_NS "AllDisjointClasses")                \
  X(OwlMembers, TRELVANIC_OWL_NS "members")                                      \
  X(OwlDisjointUnionOf, TRELVANIC_OWL_NS "disjointUnionOf")                      \
  X(OwlEquivalentProperty, TRELVANIC_OWL_NS "equivalentProperty")                \
  X(OwlPropertyDisjointWith, TRELVANIC_OWL_NS "propertyDisjointWith")            \
  X(OwlAllDisjointProperties, TRELVANIC_OWL_NS "AllDisjointProperties")          \
  X(OwlPropertyChainAxiom, TRELVANIC_OWL_NS "propertyChainAxiom")                \
  X(OwlFunctionalProperty, TRELVANIC_OWL_NS "FunctionalProperty")                \
  X(OwlInverseFunctionalProperty, TRELVANIC_OWL_NS "InverseFunctionalProperty")  \
  X(OwlReflexiveProperty, TRELVANIC_OWL_NS "ReflexiveProperty")                  \
  X(OwlIrreflexiveProperty, TRELVANIC_OWL_NS "IrreflexiveProperty")              \
  X(OwlSymmetricProperty, TRELVANIC_OWL_NS "SymmetricProperty")                  \
  X(OwlAsymmetricProperty, TRELVANIC_OWL_NS "AsymmetricProperty")                \
  X(OwlTransitiveProperty, TRELVANIC_OWL_NS "TransitiveProperty")                \
  X(OwlHasKey, TRELVANIC_OWL_NS "hasKey")                                        \
  X(OwlSameAs, TRELVANIC_OWL_NS "sameAs")                                        \
  X(OwlDifferentFrom, TRELVANIC_OWL_NS "differentFrom")                          \
  X(OwlAllDifferent, TRELVANIC_OWL_NS "AllDifferent")                            \
  X(OwlDistinctMembers, TRELVANIC_OWL_NS "distinctMembers")                      \
  X(OwlNegativePropertyAssertion, TRELVANIC_OWL_NS "NegativePropertyAssertion")  \
  X(OwlSourceIndividual, TRELVANIC_OWL_NS "sourceIndividual")                    \
  X(OwlAssertionProperty, TRELVANIC_OWL_NS "assertionProperty")                  \
  X(OwlTargetIndividual, TRELVANIC_OWL_NS "targetIndividual")                    \
  X(OwlTargetValue, TRELVANIC_OWL_NS "targetValue")                              \
  X(OwlAxiom, TRELVANIC_OWL_NS "Axiom")                                          \
  X(OwlAnnotation, TRELVANIC_OWL_NS "Annotation")                                \
  X(OwlAnnotatedSource, TRELVANIC_OWL_NS "annotatedSource")                      \
  X(OwlAnnotatedProperty, TRELVANIC_OWL_NS "annotatedProperty")                  \
  X(OwlAnnotatedTarget, TRELVANIC_OWL_NS "annotatedTarget")                      \
  X(OwlTopObjectProperty, TRELVANIC_OWL_NS "topObjectProperty")                  \
  X(OwlBottomObjectProperty, TRELVANIC_OWL_NS "bottomObjectProperty")            \
  X(OwlTopDataProperty, TRELVANIC_OWL_NS "topDataProperty")                      \
  X(OwlBottomDataProperty, TRELVANIC_OWL_NS "bottomDataProperty")                \
  X(OwlRational, TRELVANIC_OWL_NS "rational")                                    \
  X(OwlReal, TRELVANIC_OWL_NS "real")                                            \
  X(XsdString, TRELVANIC_XSD_NS "string")                                        \
  X(XsdNonNegativeInteger, TRELVANIC_XSD_NS "nonNegativeInteger")                \
  X(XsdInteger, TRELVANIC_XSD_NS "integer")                                      \
  X(XsdBoolean, TRELVANIC_XSD_NS "boolean")                                      \
  X(SwrlImp, TRELVANIC_SWRL_NS "Imp")                                            \
  X(SwrlBody, TRELVANIC_SWRL_NS "body")                                          \
  X(SwrlHead, TRELVANIC_SWRL_NS "head")                                          \
  X(SwrlVariable, TRELVANIC_SWRL_NS "Variable")                                  \
  X(SwrlAtomList, TRELVANIC_SWRL_NS "AtomList")                                  \
  X(SwrlClassAtom, TRELVANIC_SWRL_NS "ClassAtom")                                \
  X(SwrlDataRangeAtom, TRELVANIC_SWRL_NS "DataRangeAtom")                        \
  X(SwrlIndividualPropertyAtom, TRELVANIC_SWRL_NS "IndividualPropertyAtom")      \
  X(SwrlDatavaluedPropertyAtom, TRELVANIC_SWRL_NS "DatavaluedPropertyAtom")      \
  X(SwrlSameIndividualAtom, TRELVANIC_SWRL_NS "SameIndividualAtom")              \
  X(SwrlDifferentIndividualsAtom, TRELVANIC_SWRL_NS "DifferentIndividualsAtom")  \
  X(SwrlBuiltinAtom, TRELVANIC_SWRL_NS "BuiltinAtom")                            \
  X(SwrlClassPredicate, TRELVANIC_SWRL_NS "classPredicate")                      \
  X(SwrlDataRange, TRELVANIC_SWRL_NS "dataRange")                                \
  X(SwrlPropertyPredicate, TRELVANIC_SWRL_NS "propertyPredicate")                \
  X(SwrlBuiltin, TRELVANIC_SWRL_NS "builtin")                                    \
  X(SwrlArguments, TRELVANIC_SWRL_NS "arguments")                                \
  X(SwrlArgument1, TRELVANIC_SWRL_NS "argument1")                                \
  X(SwrlArgument2, TRELVANIC_SWRL_NS "argument2")

// Terms only the RL rules recognise (the mapping treats them as any other
// IRI): interned after the list above, so its ids stay as they are.
#define TRELVANIC_RDF_RULE_VOCAB(X)                                             \
  X(RdfsResource, TRELVANIC_RDFS_NS "Resource")                                  \
  X(XsdNormalizedString, TRELVANIC_XSD_NS "normalizedString")                    \
  X(XsdToken, TRELVANIC_XSD_NS "token")                                          \
  X(XsdLanguage, TRELVANIC_XSD_NS "language")                                    \
  X(XsdName, TRELVANIC_XSD_NS "Name")                                            \
  X(XsdNCName, TRELVANIC_XSD_NS "NCName")                                        \
  X(XsdNMTOKEN, TRELVANIC_XSD_NS "NMTOKEN")                                      \
  X(XsdDecimal, TRELVANIC_XSD_NS "decimal")                                      \
  X(XsdNonPositiveInteger, TRELVANIC_XSD_NS "nonPositiveInteger")                \
  X(XsdPositiveInteger, TRELVANIC_XSD_NS "positiveInteger")                      \
  X(XsdNegativeInteger, TRELVANIC_XSD_NS "negativeInteger")                      \
  X(XsdLong, TRELVANIC_XSD_NS "long")                                            \
  X(XsdInt, TRELVANIC_XSD_NS "int")                                              \
  X(XsdShort, TRELVANIC_XSD_NS "short")                                          \
  X(XsdByte, TRELVANIC_XSD_NS "byte")                                            \
  X(XsdUnsignedLong, TRELVANIC_XSD_NS "unsignedLong")                            \
  X(XsdUnsignedInt, TRELVANIC_XSD_NS "unsignedInt")                              \
  X(XsdUnsignedShort, TRELVANIC_XSD_NS "unsignedShort")                          \
  X(XsdUnsignedByte, TRELVANIC_XSD_NS "unsignedByte")                            \
  X(XsdFloat, TRELVANIC_XSD_NS "float")                                          \
  X(XsdDouble, TRELVANIC_XSD_NS "double")                                        \
  X(XsdDateTime, TRELVANIC_XSD_NS "dateTime")                                    \
  X(XsdDateTimeStamp, TRELVANIC_XSD_NS "dateTimeStamp")                          \
  X(XsdAnyUri, TRELVANIC_XSD_NS "anyURI")                                        \
  X(XsdHexBinary, TRELVANIC_XSD_NS "hexBinary")                                  \
  X(XsdBase64Binary, TRELVANIC_XSD_NS "base64Binary")

namespace trelvanic_rdf::vocab {

enum class Index : std::uint32_t {
#define TRELVANIC_X(name, iri) name,
  TRELVANIC_RDF_VOCAB(TRELVANIC_X)
#undef TRELVANIC_X
  MappingCount,
  // The rule terms follow the mapping's without a gap.
  RuleFirst = MappingCount - 1,
#define TRELVANIC_X(name, iri) name,
  TRELVANIC_RDF_RULE_VOCAB(TRELVANIC_X)
#undef TRELVANIC_X
  Count
};

// Terms of the mapping vocabulary, and of the whole list.
inline constexpr std::size_t kMappingCount = static_cast<std::size_t>(Index::MappingCount);
inline constexpr std::size_t kCount = static_cast<std::size_t>(Index::Count);

// TermIds start at 1; the vocabulary occupies 1..kCount.
#define TRELVANIC_X(name, iri) \
  inline constexpr TermId k##name{static_cast<std::uint32_t>(Index::name) + 1};
TRELVANIC_RDF_VOCAB(TRELVANIC_X)
TRELVANIC_RDF_RULE_VOCAB(TRELVANIC_X)
#undef TRELVANIC_X

inline constexpr std::array<std::string_view, kCount> kIris = {
#define TRELVANIC_X(name, iri) std::string_view(iri),
    TRELVANIC_RDF_VOCAB(TRELVANIC_X)
    TRELVANIC_RDF_RULE_VOCAB(TRELVANIC_X)
#undef TRELVANIC_X
};

// The last vocabulary id; every id above it was interned by a caller.
inline constexpr TermId kLast{static_cast<std::uint32_t>(kCount)};

// A term of the mapping vocabulary (the first list).
[[nodiscard]] constexpr bool is_vocab(TermId id) { return id.value >= 1 && id.value <= kMappingCount; }

}  // namespace trelvanic_rdf::vocab
