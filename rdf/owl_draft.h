// OwlDraft: what the RDF-to-OWL mapping produces, a set of OWL 2 structural
// components built from hash-consed nodes.
//
// Node forms carry the OWL 2 functional-syntax names (`Form::SubClassOf`,
// `Form::ObjectSomeValuesFrom`, ...), so converting a draft into any model
// that uses those names is a walk by name. Leaves (entities, `Iri`,
// `AnonymousIndividual`, `Variable`, `Literal`) hold a text; cardinality
// restrictions hold their number; every other node holds its operands in
// functional-syntax order. Equal nodes get the same NodeRef and equal
// components are kept once.
//
// `to_functional` prints a node in functional syntax (IRIs in full between
// angle brackets, anonymous individuals as _:label), which tests use to
// compare component sets.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

namespace trelvanic_rdf {

// X(name)
#define TRELVANIC_OWL_DRAFT_FORMS(X)                                                     \
  X(Iri) X(Class) X(Datatype) X(ObjectProperty) X(DataProperty) X(AnnotationProperty)   \
  X(NamedIndividual) X(AnonymousIndividual) X(Literal) X(Variable)                      \
  X(ObjectInverseOf) X(ObjectPropertyChain)                                             \
  X(ObjectIntersectionOf) X(ObjectUnionOf) X(ObjectComplementOf) X(ObjectOneOf)         \
  X(ObjectSomeValuesFrom) X(ObjectAllValuesFrom) X(ObjectHasValue) X(ObjectHasSelf)     \
  X(ObjectMinCardinality) X(ObjectMaxCardinality) X(ObjectExactCardinality)             \
  X(DataSomeValuesFrom) X(DataAllValuesFrom) X(DataHasValue)                            \
  X(DataMinCardinality) X(DataMaxCardinality) X(DataExactCardinality)                   \
  X(DataIntersectionOf) X(DataUnionOf) X(DataComplementOf) X(DataOneOf)                 \
  X(DatatypeRestriction) X(FacetRestriction)                                            \
  X(Body) X(Head) X(ClassAtom) X(DataRangeAtom) X(ObjectPropertyAtom)                   \
  X(DataPropertyAtom) X(BuiltInAtom) X(SameIndividualAtom) X(DifferentIndividualsAtom)  \
  X(OntologyId) X(Import) X(Declaration)                                                \
  X(SubClassOf) X(EquivalentClasses) X(DisjointClasses) X(DisjointUnion)                \
  X(SubObjectPropertyOf) X(EquivalentObjectProperties) X(DisjointObjectProperties)      \
  X(InverseObjectProperties) X(ObjectPropertyDomain) X(ObjectPropertyRange)             \
  X(FunctionalObjectProperty) X(InverseFunctionalObjectProperty)                        \
  X(ReflexiveObjectProperty) X(IrreflexiveObjectProperty) X(SymmetricObjectProperty)    \
  X(AsymmetricObjectProperty) X(TransitiveObjectProperty)                               \
  X(SubDataPropertyOf) X(EquivalentDataProperties) X(DisjointDataProperties)            \
  X(DataPropertyDomain) X(DataPropertyRange) X(FunctionalDataProperty)                  \
  X(DatatypeDefinition) X(HasKey) X(SameIndividual) X(DifferentIndividuals)             \
  X(ClassAssertion) X(ObjectPropertyAssertion) X(NegativeObjectPropertyAssertion)       \
  X(DataPropertyAssertion) X(NegativeDataPropertyAssertion)                             \
  X(SubAnnotationPropertyOf) X(AnnotationPropertyDomain) X(AnnotationPropertyRange)     \
  X(DLSafeRule)

enum class Form : std::uint8_t {
#define TRELVANIC_X(name) name,
  TRELVANIC_OWL_DRAFT_FORMS(TRELVANIC_X)
#undef TRELVANIC_X
};

[[nodiscard]] std::string_view form_name(Form form);
[[nodiscard]] bool form_is_leaf(Form form);
[[nodiscard]] bool form_is_cardinality(Form form);

struct NodeRef {
  std::uint32_t value = 0;
  friend constexpr bool operator==(NodeRef, NodeRef) = default;
  template <typename H>
  friend H AbslHashValue(H h, NodeRef r) {
    return H::combine(std::move(h), r.value);
  }
};

class OwlDraft {
 public:
  struct Node {
    Form form;
    std::uint32_t number;       // cardinality; for HasKey the count of object properties
    std::uint32_t first;        // first word: operands, or text ids for leaves and literals
    std::uint32_t count;        // word count
  };

  OwlDraft();
  ~OwlDraft();
  OwlDraft(OwlDraft&&) noexcept;
  OwlDraft& operator=(OwlDraft&&) noexcept;

  NodeRef leaf(Form form, std::string_view text);
  // A literal: lexical form, datatype IRI (empty for a simple literal) and
  // language tag (empty unless language-tagged).
  NodeRef literal(std::string_view lexical, std::string_view datatype, std::string_view lang);
  NodeRef node(Form form, std::span<const NodeRef> operands, std::uint32_t number = 0);
  NodeRef node(Form form, std::initializer_list<NodeRef> operands, std::uint32_t number = 0) {
    return node(form, std::span<const NodeRef>(operands.begin(), operands.size()), number);
  }
  // Adds a component; false when it was there already.
  bool add_component(NodeRef component);

  [[nodiscard]] const Node& get(NodeRef ref) const;
  [[nodiscard]] Form form(NodeRef ref) const { return get(ref).form; }
  [[nodiscard]] std::span<const NodeRef> operands(NodeRef ref) const;
  [[nodiscard]] std::string_view text(NodeRef ref) const;  // leaves; lexical form of a literal
  [[nodiscard]] std::string_view literal_datatype(NodeRef ref) const;
  [[nodiscard]] std::string_view literal_lang(NodeRef ref) const;
  [[nodiscard]] const std::vector<NodeRef>& components() const { return components_; }
  // Number of nodes; every node's operands have smaller refs than the node.
  [[nodiscard]] std::size_t size() const;

  [[nodiscard]] std::string to_functional(NodeRef ref) const;
  // Every component in functional syntax, sorted.
  [[nodiscard]] std::vector<std::string> functional_lines() const;

 private:
  struct Store;  // nodes, operands and their index; heap-held so moves keep the index valid

  std::uint32_t intern_text(std::string_view text);
  NodeRef make(Form form, std::uint32_t number, std::span<const NodeRef> words);
  void print(NodeRef ref, std::string& out) const;

  std::unique_ptr<Store> store_;
  std::vector<std::unique_ptr<std::string>> texts_;
  absl::flat_hash_map<std::string_view, std::uint32_t> text_ids_;
  std::vector<NodeRef> components_;
  absl::flat_hash_set<NodeRef> component_set_;
};

}  // namespace trelvanic_rdf
