// The node kinds of the OWL 2 structural model and their operand shapes.
//
// Every value of the model (an entity, a class expression, a data range, a
// literal, a SWRL atom, an annotation, an axiom) is a node of one `Kind`.
// The kind names are the OWL 2 functional-syntax keywords, which are also the
// OWL/XML element names, so both readers find kinds by name.
//
// Each kind has a shape: one letter per operand, in functional-syntax order.
// The letter says which kinds of node may stand there:
//
//   C class expression          c named class (`Class`)
//   O object property expr.     p named object property
//   P object property expression or `ObjectPropertyChain`
//   D data property             A annotation property
//   R data range                t named datatype (`Datatype`)
//   I individual (named or anonymous)
//   L literal                   N non-negative integer (a raw word, not a node)
//   U IRI (`Iri` node)          E entity (one of the six entity kinds)
//   S annotation subject (IRI or anonymous individual)
//   V annotation value (IRI, anonymous individual or literal)
//   X SWRL individual argument (`Variable` or individual)
//   Y SWRL data argument (`Variable` or literal)
//   F `FacetRestriction`        W SWRL atom
//   b `Body`                    h `Head`
//   a `Annotation`
//
// A letter followed by '*' takes any number of operands, by '?' at most one.
// Parentheses mark the bracketed groups of functional syntax (`HasKey`); they
// hold no operand themselves. Leaf kinds (entities, `Iri`, `Variable`,
// `AnonymousIndividual`, `Literal`) have the shape "U" in the readers and hold
// string ids in the model (see model.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace trelvanic_owl {

// X(name, shape, role)
#define TRELVANIC_OWL_KINDS(X)                          \
  /* leaves */                                          \
  X(Iri, "U", Leaf)                                     \
  X(Class, "U", Entity)                                 \
  X(Datatype, "U", Entity)                              \
  X(ObjectProperty, "U", Entity)                        \
  X(DataProperty, "U", Entity)                          \
  X(AnnotationProperty, "U", Entity)                    \
  X(NamedIndividual, "U", Entity)                       \
  X(AnonymousIndividual, "U", Leaf)                     \
  X(Literal, "U", Leaf)                                 \
  X(Variable, "U", Leaf)                                \
  /* object property expressions */                    \
  X(ObjectInverseOf, "p", Expression)                   \
  X(ObjectPropertyChain, "O*", Expression)              \
  /* class expressions */                               \
  X(ObjectIntersectionOf, "C*", Expression)             \
  X(ObjectUnionOf, "C*", Expression)                    \
  X(ObjectComplementOf, "C", Expression)                \
  X(ObjectOneOf, "I*", Expression)                      \
  X(ObjectSomeValuesFrom, "OC", Expression)             \
  X(ObjectAllValuesFrom, "OC", Expression)              \
  X(ObjectHasValue, "OI", Expression)                   \
  X(ObjectHasSelf, "O", Expression)                     \
  X(ObjectMinCardinality, "NOC?", Expression)           \
  X(ObjectMaxCardinality, "NOC?", Expression)           \
  X(ObjectExactCardinality, "NOC?", Expression)         \
  X(DataSomeValuesFrom, "DR", Expression)               \
  X(DataAllValuesFrom, "DR", Expression)                \
  X(DataHasValue, "DL", Expression)                     \
  X(DataMinCardinality, "NDR?", Expression)             \
  X(DataMaxCardinality, "NDR?", Expression)             \
  X(DataExactCardinality, "NDR?", Expression)           \
  /* data ranges */                                     \
  X(DataIntersectionOf, "R*", Expression)               \
  X(DataUnionOf, "R*", Expression)                      \
  X(DataComplementOf, "R", Expression)                  \
  X(DataOneOf, "L*", Expression)                        \
  X(DatatypeRestriction, "tF*", Expression)             \
  X(FacetRestriction, "UL", Expression)                 \
  /* SWRL */                                            \
  X(Body, "W*", Expression)                             \
  X(Head, "W*", Expression)                             \
  X(ClassAtom, "CX", Expression)                        \
  X(DataRangeAtom, "RY", Expression)                    \
  X(ObjectPropertyAtom, "OXX", Expression)              \
  X(DataPropertyAtom, "DXY", Expression)                \
  X(BuiltInAtom, "UY*", Expression)                     \
  X(SameIndividualAtom, "XX", Expression)               \
  X(DifferentIndividualsAtom, "XX", Expression)         \
  /* annotations: property, value, then nested annotations (model.h) */ \
  X(Annotation, "AV", Expression)                       \
  X(AnnotationList, "a*", Internal)                     \
  /* components */                                      \
  X(OntologyId, "U?U?", Component)                      \
  X(DocumentIri, "U", Component)                        \
  X(Import, "U", Component)                             \
  X(Declaration, "E", Component)                        \
  X(SubClassOf, "CC", Component)                        \
  X(EquivalentClasses, "C*", Component)                 \
  X(DisjointClasses, "C*", Component)                   \
  X(DisjointUnion, "cC*", Component)                    \
  X(SubObjectPropertyOf, "PO", Component)               \
  X(EquivalentObjectProperties, "O*", Component)        \
  X(DisjointObjectProperties, "O*", Component)          \
  X(InverseObjectProperties, "OO", Component)           \
  X(ObjectPropertyDomain, "OC", Component)              \
  X(ObjectPropertyRange, "OC", Component)               \
  X(FunctionalObjectProperty, "O", Component)           \
  X(InverseFunctionalObjectProperty, "O", Component)    \
  X(ReflexiveObjectProperty, "O", Component)            \
  X(IrreflexiveObjectProperty, "O", Component)          \
  X(SymmetricObjectProperty, "O", Component)            \
  X(AsymmetricObjectProperty, "O", Component)           \
  X(TransitiveObjectProperty, "O", Component)           \
  X(SubDataPropertyOf, "DD", Component)                 \
  X(EquivalentDataProperties, "D*", Component)          \
  X(DisjointDataProperties, "D*", Component)            \
  X(DataPropertyDomain, "DC", Component)                \
  X(DataPropertyRange, "DR", Component)                 \
  X(FunctionalDataProperty, "D", Component)             \
  X(DatatypeDefinition, "tR", Component)                \
  X(HasKey, "C(O*)(D*)", Component)                     \
  X(SameIndividual, "I*", Component)                    \
  X(DifferentIndividuals, "I*", Component)              \
  X(ClassAssertion, "CI", Component)                    \
  X(ObjectPropertyAssertion, "OII", Component)          \
  X(NegativeObjectPropertyAssertion, "OII", Component)  \
  X(DataPropertyAssertion, "DIL", Component)            \
  X(NegativeDataPropertyAssertion, "DIL", Component)    \
  X(AnnotationAssertion, "ASV", Component)              \
  X(SubAnnotationPropertyOf, "AA", Component)           \
  X(AnnotationPropertyDomain, "AU", Component)          \
  X(AnnotationPropertyRange, "AU", Component)           \
  X(DLSafeRule, "bh", Component)

enum class Kind : uint8_t {
#define TRELVANIC_OWL_KIND_ENUM(name, shape, role) name,
  TRELVANIC_OWL_KINDS(TRELVANIC_OWL_KIND_ENUM)
#undef TRELVANIC_OWL_KIND_ENUM
};

// `Internal` kinds have no keyword of their own in either syntax.
enum class KindRole : uint8_t { Leaf, Entity, Expression, Component, Internal };

inline constexpr int kKindCount = 0
#define TRELVANIC_OWL_KIND_COUNT(name, shape, role) +1
    TRELVANIC_OWL_KINDS(TRELVANIC_OWL_KIND_COUNT)
#undef TRELVANIC_OWL_KIND_COUNT
    ;

struct KindInfo {
  std::string_view name;
  std::string_view shape;
  KindRole role;
};

inline constexpr KindInfo kKindInfo[kKindCount] = {
#define TRELVANIC_OWL_KIND_INFO(name, shape, role) {#name, shape, KindRole::role},
    TRELVANIC_OWL_KINDS(TRELVANIC_OWL_KIND_INFO)
#undef TRELVANIC_OWL_KIND_INFO
};

// The keyword, e.g. "ObjectSomeValuesFrom".
[[nodiscard]] inline std::string_view kind_name(Kind kind) { return kKindInfo[static_cast<size_t>(kind)].name; }
[[nodiscard]] inline std::string_view kind_shape(Kind kind) { return kKindInfo[static_cast<size_t>(kind)].shape; }
[[nodiscard]] inline KindRole kind_role(Kind kind) { return kKindInfo[static_cast<size_t>(kind)].role; }
// The kind with that keyword; nothing for an unknown word, an internal kind,
// `OntologyId` or `DocumentIri`.
[[nodiscard]] std::optional<Kind> kind_from_name(std::string_view name);

[[nodiscard]] bool is_entity(Kind kind);
[[nodiscard]] bool is_class_expression(Kind kind);
[[nodiscard]] bool is_object_property_expression(Kind kind);
[[nodiscard]] bool is_data_range(Kind kind);
[[nodiscard]] bool is_individual(Kind kind);
[[nodiscard]] bool is_swrl_atom(Kind kind);
[[nodiscard]] bool is_cardinality(Kind kind);
// A kind that may stand in an ontology's component set (the `Component`
// role, plus `Annotation` for an ontology annotation).
[[nodiscard]] bool is_component(Kind kind);
// Whether a node of kind `kind` may stand where `letter` of a shape stands.
[[nodiscard]] bool letter_accepts(char letter, Kind kind);

}  // namespace trelvanic_owl
