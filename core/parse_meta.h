// Parse metadata of a loaded ontology: the OWL constructs its source used,
// the warnings raised while mapping (at most 10,000 kept), and the counts of
// mapped, skipped and logical source axioms. `OwlConstruct` is also the
// vocabulary of profile analysis; sets of constructs are ordered by code.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace trelvanic_core {

enum class OwlConstruct : uint8_t {
  SubClassOfNamed, SubClassOfExistential, SubClassOfIntersection, ObjectIntersectionOf,
  ObjectUnionOf, ObjectComplementOf, ObjectAllValuesFrom, ObjectSomeValuesFrom, ObjectOneOf,
  ObjectCardinality, ObjectHasValue, ObjectHasSelf, EquivalentClasses, DisjointClasses,
  DisjointObjectProperties, DisjointUnion, SubObjectPropertyOf, SubObjectPropertyChain,
  EquivalentObjectProperties, InverseObjectProperties, TransitiveObjectProperty,
  SymmetricObjectProperty, AsymmetricObjectProperty, ReflexiveObjectProperty,
  IrreflexiveObjectProperty, FunctionalObjectProperty, InverseFunctionalObjectProperty,
  ObjectPropertyDomain, ObjectPropertyRange, HasKey, IndividualEquality, ClassAssertion,
  ObjectPropertyAssertion, DataPropertyAssertion, DataPropertyAxiom, Datatype, SwrlRule,
  Annotation, Import, Unknown,
};
inline constexpr int kOwlConstructCount = 40;

[[nodiscard]] std::string_view owl_construct_name(OwlConstruct c);
[[nodiscard]] std::optional<OwlConstruct> owl_construct_from_name(std::string_view name);

using ConstructSet = std::set<OwlConstruct>;

inline constexpr size_t kMaxParseWarnings = 10'000;

struct ParseMetaSummary;

struct ParseMeta {
  ConstructSet constructs;          // every construct observed in the source
  ConstructSet profile_constructs;  // constructs of the mapped axioms; emptied by told changes
  std::vector<std::string> warnings;
  uint64_t mapped_axiom_count = 0;
  uint64_t skipped_axiom_count = 0;
  uint64_t logical_axiom_count = 0;
  // A lenient load ignored a DifferentIndividuals axiom over one individual.
  bool degenerate_different_individuals = false;
  // Some owl:imports of the source were not merged (unresolved, over a
  // limit, or not followed): the ontology holds less than the source states.
  bool unresolved_imports = false;

  // Appends while fewer than 10,000 warnings are held; drops it otherwise.
  void warn(std::string text);
  void note_construct(OwlConstruct c) { constructs.insert(c); }
  void note_profile_construct(OwlConstruct c) {
    profile_constructs.insert(c);
    constructs.insert(c);
  }
  [[nodiscard]] ParseMetaSummary summary() const;

  friend bool operator==(const ParseMeta&, const ParseMeta&) = default;
};

struct ParseMetaSummary {
  std::vector<std::string> warnings;
  uint64_t mapped_axiom_count = 0;
  uint64_t skipped_axiom_count = 0;
  uint64_t logical_axiom_count = 0;

  friend bool operator==(const ParseMetaSummary&, const ParseMetaSummary&) = default;
};

}  // namespace trelvanic_core
