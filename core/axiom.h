// Told axioms: the 23 simple forms over entity ids that every engine reads.
//
// `Axiom` is the owning value (built with the named constructors, e.g.
// `Axiom::sub_class_of(a, b)`); `AxiomView` is the same shape over storage
// owned elsewhere (the axiom store hands out views). Both read through the
// same field accessors (`subclass()`, `property()`, `operands()`, ...), each
// meaningful only for the forms that have that field.
//
// Layout: up to three entity ids inline (`ids`, in declared field order),
// n-ary forms keep their operand list, the two data-property assertions a
// `DataLiteral` (lexical form and datatype IRI text).
// `validate_with_limits` is the check every stored axiom passes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/entity.h"
#include "core/error.h"
#include "core/ids.h"
#include "core/limits.h"

namespace trelvanic_core {

enum class AxiomKind : uint8_t {
  SubClassOf = 0,
  EquivalentClasses = 1,
  DisjointClasses = 2,
  ObjectPropertyDomain = 3,
  ObjectPropertyRange = 4,
  SubObjectPropertyOf = 5,
  InverseObjectProperties = 6,
  TransitiveObjectProperty = 7,
  SubClassOfExistential = 8,
  SymmetricObjectProperty = 9,
  ReflexiveObjectProperty = 10,
  FunctionalObjectProperty = 11,
  InverseFunctionalObjectProperty = 12,
  IrreflexiveObjectProperty = 13,
  AsymmetricObjectProperty = 14,
  EquivalentObjectProperties = 15,
  ClassAssertion = 16,
  ObjectPropertyAssertion = 17,
  DataPropertyAssertion = 18,
  NegativeObjectPropertyAssertion = 19,
  NegativeDataPropertyAssertion = 20,
  SameIndividual = 21,
  DifferentIndividuals = 22,
};

inline constexpr int kAxiomKindCount = 23;

[[nodiscard]] std::string_view axiom_kind_name(AxiomKind kind);
[[nodiscard]] std::optional<AxiomKind> axiom_kind_from_name(std::string_view name);

// Forms with an operand list: EquivalentClasses, DisjointClasses,
// EquivalentObjectProperties, SameIndividual, DifferentIndividuals.
[[nodiscard]] constexpr bool axiom_kind_is_nary(AxiomKind k) {
  return k == AxiomKind::EquivalentClasses || k == AxiomKind::DisjointClasses ||
         k == AxiomKind::EquivalentObjectProperties || k == AxiomKind::SameIndividual ||
         k == AxiomKind::DifferentIndividuals;
}
[[nodiscard]] constexpr bool axiom_kind_has_literal(AxiomKind k) {
  return k == AxiomKind::DataPropertyAssertion || k == AxiomKind::NegativeDataPropertyAssertion;
}
// Number of inline entity fields (0 for n-ary forms).
[[nodiscard]] int axiom_kind_arity(AxiomKind k);

struct DataLiteral {
  std::string lexical;
  std::string datatype;  // full datatype IRI text

  friend bool operator==(const DataLiteral&, const DataLiteral&) = default;
};

struct LiteralView {
  std::string_view lexical;
  std::string_view datatype;

  friend bool operator==(const LiteralView&, const LiteralView&) = default;
};

// Named field accessors shared by `Axiom` and `AxiomView`. `Derived` provides
// `kind()`, `id(i)`, `operands()` and `literal()`.
template <class Derived>
class AxiomFields {
 public:
  EntityId subclass() const { return self().id(0); }
  EntityId superclass() const { return self().id(1); }
  EntityId domain() const { return self().id(1); }
  EntityId range() const { return self().id(1); }
  EntityId sub_property() const { return self().id(0); }
  EntityId super_property() const { return self().id(1); }
  EntityId left() const { return self().id(0); }
  EntityId right() const { return self().id(1); }
  EntityId filler() const { return self().id(2); }
  EntityId individual() const { return self().id(0); }
  EntityId class_id() const { return self().id(1); }  // ClassAssertion's class
  EntityId subject() const { return self().id(0); }
  EntityId object() const { return self().id(2); }
  // The property of every form that has one (position 0 or 1 by form).
  EntityId property() const {
    const AxiomKind k = self().kind();
    const bool second = k == AxiomKind::SubClassOfExistential || k == AxiomKind::ObjectPropertyAssertion ||
                        k == AxiomKind::DataPropertyAssertion ||
                        k == AxiomKind::NegativeObjectPropertyAssertion ||
                        k == AxiomKind::NegativeDataPropertyAssertion;
    return self().id(second ? 1 : 0);
  }

 protected:
  friend constexpr bool operator==(const AxiomFields&, const AxiomFields&) = default;

 private:
  const Derived& self() const { return static_cast<const Derived&>(*this); }
};

class AxiomView;

class Axiom : public AxiomFields<Axiom> {
 public:
  static Axiom sub_class_of(EntityId sub, EntityId sup) { return fixed(AxiomKind::SubClassOf, sub, sup); }
  static Axiom equivalent_classes(std::vector<EntityId> ops) { return nary(AxiomKind::EquivalentClasses, std::move(ops)); }
  static Axiom disjoint_classes(std::vector<EntityId> ops) { return nary(AxiomKind::DisjointClasses, std::move(ops)); }
  static Axiom object_property_domain(EntityId p, EntityId c) { return fixed(AxiomKind::ObjectPropertyDomain, p, c); }
  static Axiom object_property_range(EntityId p, EntityId c) { return fixed(AxiomKind::ObjectPropertyRange, p, c); }
  static Axiom sub_object_property_of(EntityId sub, EntityId sup) { return fixed(AxiomKind::SubObjectPropertyOf, sub, sup); }
  static Axiom inverse_object_properties(EntityId l, EntityId r) { return fixed(AxiomKind::InverseObjectProperties, l, r); }
  static Axiom sub_class_of_existential(EntityId sub, EntityId p, EntityId filler) {
    return fixed(AxiomKind::SubClassOfExistential, sub, p, filler);
  }
  // The seven one-property characteristic forms (Transitive .. Asymmetric).
  static Axiom property_characteristic(AxiomKind kind, EntityId p) { return fixed(kind, p); }
  static Axiom equivalent_object_properties(std::vector<EntityId> ops) {
    return nary(AxiomKind::EquivalentObjectProperties, std::move(ops));
  }
  static Axiom class_assertion(EntityId ind, EntityId cls) { return fixed(AxiomKind::ClassAssertion, ind, cls); }
  static Axiom object_property_assertion(EntityId s, EntityId p, EntityId o) {
    return fixed(AxiomKind::ObjectPropertyAssertion, s, p, o);
  }
  static Axiom negative_object_property_assertion(EntityId s, EntityId p, EntityId o) {
    return fixed(AxiomKind::NegativeObjectPropertyAssertion, s, p, o);
  }
  static Axiom data_property_assertion(EntityId ind, EntityId p, DataLiteral v) {
    return with_literal(AxiomKind::DataPropertyAssertion, ind, p, std::move(v));
  }
  static Axiom negative_data_property_assertion(EntityId ind, EntityId p, DataLiteral v) {
    return with_literal(AxiomKind::NegativeDataPropertyAssertion, ind, p, std::move(v));
  }
  static Axiom same_individual(std::vector<EntityId> ops) { return nary(AxiomKind::SameIndividual, std::move(ops)); }
  static Axiom different_individuals(std::vector<EntityId> ops) {
    return nary(AxiomKind::DifferentIndividuals, std::move(ops));
  }
  // An owning copy of a view.
  static Axiom from_view(const AxiomView& v);

  AxiomKind kind() const { return kind_; }
  EntityId id(int i) const { return ids_[i]; }
  std::span<const EntityId> operands() const { return operands_; }
  LiteralView literal() const { return {literal_.lexical, literal_.datatype}; }
  const DataLiteral& value() const { return literal_; }

  AxiomView view() const;

  // Sorts the operands of the n-ary forms ascending and puts the smaller id
  // of an inverse pair first; every other form is unchanged.
  void canonicalize();

  friend bool operator==(const Axiom&, const Axiom&) = default;

 private:
  static Axiom fixed(AxiomKind k, EntityId a, EntityId b = {}, EntityId c = {}) {
    Axiom x;
    x.kind_ = k;
    x.ids_ = {a, b, c};
    return x;
  }
  static Axiom nary(AxiomKind k, std::vector<EntityId> ops) {
    Axiom x;
    x.kind_ = k;
    x.operands_ = std::move(ops);
    return x;
  }
  static Axiom with_literal(AxiomKind k, EntityId a, EntityId b, DataLiteral v) {
    Axiom x = fixed(k, a, b);
    x.literal_ = std::move(v);
    return x;
  }

  AxiomKind kind_ = AxiomKind::SubClassOf;
  std::array<EntityId, 3> ids_{};
  std::vector<EntityId> operands_;
  DataLiteral literal_;
};

class AxiomView : public AxiomFields<AxiomView> {
 public:
  AxiomView() = default;
  AxiomView(AxiomKind kind, std::array<EntityId, 3> ids, std::span<const EntityId> operands,
            LiteralView literal)
      : kind_(kind), ids_(ids), operands_(operands), literal_(literal) {}

  AxiomKind kind() const { return kind_; }
  EntityId id(int i) const { return ids_[i]; }
  std::span<const EntityId> operands() const { return operands_; }
  LiteralView literal() const { return literal_; }
  LiteralView value() const { return literal_; }

  Axiom to_axiom() const { return Axiom::from_view(*this); }

 private:
  AxiomKind kind_ = AxiomKind::SubClassOf;
  std::array<EntityId, 3> ids_{};
  std::span<const EntityId> operands_;
  LiteralView literal_;
};

// Same form and equal fields in order (operand order matters).
[[nodiscard]] bool axioms_equal(const AxiomView& a, const AxiomView& b);

// SipHash-1-3 (zero keys) over the form number (8 bytes LE), then the fields
// in declared order: ids as 4 bytes LE, a list as its length (8 bytes LE)
// then its ids, each literal text as its bytes followed by 0xFF.
[[nodiscard]] uint64_t axiom_fingerprint(const AxiomView& a);

// The one check every stored axiom passes: operand kinds against the
// registry, operand counts and literal sizes against `limits`
// (`max_operands`, `max_literal_bytes`, `max_iri_len`).
[[nodiscard]] Result<void> validate_with_limits(const AxiomView& axiom, const EntityRegistry& registry,
                                                const OntologyLimits& limits);

// Every entity id the axiom mentions, in field order.
template <class F>
void for_each_axiom_entity(const AxiomView& a, F&& f) {
  if (axiom_kind_is_nary(a.kind())) {
    for (EntityId e : a.operands()) f(e);
    return;
  }
  const int n = axiom_kind_arity(a.kind());
  for (int i = 0; i < n; ++i) f(a.id(i));
}

}  // namespace trelvanic_core
