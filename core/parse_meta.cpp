#include "core/parse_meta.h"

#include <array>

#include "core/name_table.h"

namespace trelvanic_core {
namespace {

constexpr std::array<std::string_view, kOwlConstructCount> kNames = {
    "SubClassOfNamed", "SubClassOfExistential", "SubClassOfIntersection", "ObjectIntersectionOf",
    "ObjectUnionOf", "ObjectComplementOf", "ObjectAllValuesFrom", "ObjectSomeValuesFrom", "ObjectOneOf",
    "ObjectCardinality", "ObjectHasValue", "ObjectHasSelf", "EquivalentClasses", "DisjointClasses",
    "DisjointObjectProperties", "DisjointUnion", "SubObjectPropertyOf", "SubObjectPropertyChain",
    "EquivalentObjectProperties", "InverseObjectProperties", "TransitiveObjectProperty",
    "SymmetricObjectProperty", "AsymmetricObjectProperty", "ReflexiveObjectProperty",
    "IrreflexiveObjectProperty", "FunctionalObjectProperty", "InverseFunctionalObjectProperty",
    "ObjectPropertyDomain", "ObjectPropertyRange", "HasKey", "IndividualEquality", "ClassAssertion",
    "ObjectPropertyAssertion", "DataPropertyAssertion", "DataPropertyAxiom", "Datatype", "SwrlRule",
    "Annotation", "Import", "Unknown"};

}  // namespace

std::string_view owl_construct_name(OwlConstruct c) { return table_name(kNames, c); }

std::optional<OwlConstruct> owl_construct_from_name(std::string_view name) {
  return table_lookup<OwlConstruct>(kNames, name);
}

void ParseMeta::warn(std::string text) {
  if (warnings.size() < kMaxParseWarnings) warnings.push_back(std::move(text));
}

ParseMetaSummary ParseMeta::summary() const {
  return {warnings, mapped_axiom_count, skipped_axiom_count, logical_axiom_count};
}

}  // namespace trelvanic_core
