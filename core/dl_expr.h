// The interned DL model: class expressions (`ClassExpr`, 20 forms), data
// ranges and literals (`DataExpr`, 7 forms) and DL axioms (`DlAxiom`, 29
// forms) over entity ids, `CeId`s and `DeId`s.
//
// Build values with the named constructors (`ClassExpr::some(role, filler)`,
// `DlAxiom::sub_class_of(sub, sup)`) and hand them to a `DlStore`; read
// stored ones through the `...View` types the store returns. Both share the
// accessors below, each meaningful only for the forms that have the field.
// Lists keep their order and duplicates; nothing is canonicalised.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dl_node.h"
#include "core/ids.h"

namespace trelvanic_core {

enum class CeKind : uint8_t {
  Top, Bottom, Atomic, Not, And, Or, Some, All, OneOf, HasValue, HasSelf,
  MinCardinality, MaxCardinality, ExactCardinality, DataAll, DataSome, DataHasValue,
  DataMinCardinality, DataMaxCardinality, DataExactCardinality,
};
inline constexpr int kCeKindCount = 20;

enum class DeKind : uint8_t { Top, Datatype, Facet, And, Or, Literal, Not };
inline constexpr int kDeKindCount = 7;

enum class DlAxiomKind : uint8_t {
  SubClassOf, EquivalentClasses, DisjointClasses, ObjectPropertyDomain, ObjectPropertyRange,
  SubObjectPropertyChain, SubObjectPropertyOf, HasKey, ClassAssertion, DataPropertyDomain,
  DataPropertyRange, SubDataPropertyOf, DataPropertyAssertion, NegativeObjectPropertyAssertion,
  NegativeDataPropertyAssertion, ObjectPropertyAssertion, DatatypeDefinition, FunctionalDataProperty,
  EquivalentDataProperties, DisjointDataProperties, DisjointObjectProperties, SameIndividual,
  DifferentIndividuals, TransitiveObjectProperty, SymmetricObjectProperty, SwrlRule,
  InverseFunctionalObjectProperty, IrreflexiveObjectProperty, DisjointRoles,
};
inline constexpr int kDlAxiomKindCount = 29;

[[nodiscard]] std::string_view ce_kind_name(CeKind k);
[[nodiscard]] std::string_view de_kind_name(DeKind k);
[[nodiscard]] std::string_view dl_axiom_kind_name(DlAxiomKind k);
[[nodiscard]] std::optional<CeKind> ce_kind_from_name(std::string_view name);
[[nodiscard]] std::optional<DeKind> de_kind_from_name(std::string_view name);
[[nodiscard]] std::optional<DlAxiomKind> dl_axiom_kind_from_name(std::string_view name);

// The fields of each form in declared order (see dl_node.h).
[[nodiscard]] std::span<const FieldSpec> ce_fields(CeKind k);
[[nodiscard]] std::span<const FieldSpec> de_fields(DeKind k);
[[nodiscard]] std::span<const FieldSpec> dl_axiom_fields(DlAxiomKind k);

template <class D>
class CeAccess {
 public:
  // Atomic class, HasSelf property, property of the Data* forms.
  EntityId entity() const { return EntityId(d().slot[0]); }
  EntityId property() const { return EntityId(d().slot[0]); }
  CeId operand() const { return CeId(d().slot[0]); }  // Not
  IdList<CeId> operands() const { return IdList<CeId>(d().list_span()); }  // And, Or
  IdList<EntityId> individuals() const { return IdList<EntityId>(d().list_span()); }  // OneOf
  // Some, All, HasValue, the object cardinalities.
  RoleExpr role() const { return {d().flag(0) ? RoleKind::Inverse : RoleKind::Atomic, EntityId(d().slot[0])}; }
  // Some and All always have one; the cardinalities only when given.
  std::optional<CeId> filler() const {
    if (is_card() && !d().flag(1)) return std::nullopt;
    return CeId(d().slot[1]);
  }
  EntityId individual() const { return EntityId(d().slot[1]); }  // HasValue
  uint32_t n() const { return d().slot[2]; }                      // cardinalities
  // DataAll and DataSome always have one; the data cardinalities only when given.
  std::optional<DeId> range() const {
    if (is_card() && !d().flag(1)) return std::nullopt;
    return DeId(d().slot[1]);
  }
  DeId value() const { return DeId(d().slot[1]); }  // DataHasValue

 private:
  const D& d() const { return static_cast<const D&>(*this); }
  bool is_card() const {
    const auto k = d().kind;
    return k == CeKind::MinCardinality || k == CeKind::MaxCardinality || k == CeKind::ExactCardinality ||
           k == CeKind::DataMinCardinality || k == CeKind::DataMaxCardinality ||
           k == CeKind::DataExactCardinality;
  }
};

template <class D>
class DeAccess {
 public:
  EntityId datatype() const {  // Datatype, Literal
    return EntityId(d().kind == DeKind::Literal ? d().slot[1] : d().slot[0]);
  }
  DeId base() const { return DeId(d().slot[0]); }  // Facet
  DeId operand() const { return DeId(d().slot[0]); }  // Not
  std::string_view facet_iri() const { return d().text[0]; }
  std::string_view facet_value() const { return d().text[1]; }
  std::string_view lexical() const { return d().text[0]; }  // Literal
  IdList<DeId> operands() const { return IdList<DeId>(d().list_span()); }  // And, Or

 private:
  const D& d() const { return static_cast<const D&>(*this); }
};

template <class D>
class DlAxiomAccess {
 public:
  CeId sub() const { return CeId(d().slot[0]); }  // SubClassOf
  CeId sup() const { return CeId(d().slot[1]); }
  IdList<CeId> classes() const { return IdList<CeId>(d().list_span()); }  // Equivalent/DisjointClasses
  // The five entity-list forms (EquivalentDataProperties .. DifferentIndividuals).
  IdList<EntityId> entities() const { return IdList<EntityId>(d().list_span()); }
  // The plain-entity property of every form that has one.
  EntityId property() const {
    const DlAxiomKind k = d().kind;
    const bool second = k == DlAxiomKind::DataPropertyAssertion ||
                        k == DlAxiomKind::NegativeObjectPropertyAssertion ||
                        k == DlAxiomKind::NegativeDataPropertyAssertion;
    return EntityId(d().slot[second ? 1 : 0]);
  }
  CeId domain() const { return CeId(d().slot[1]); }         // Object/DataPropertyDomain
  CeId range() const { return CeId(d().slot[1]); }          // ObjectPropertyRange
  DeId data_range() const { return DeId(d().slot[1]); }     // DataPropertyRange, DatatypeDefinition
  RoleList chain() const { return RoleList(d().list_span().subspan(0, 2 * d().slot[0])); }
  RoleList roles() const { return RoleList(d().list_span()); }  // DisjointRoles
  RoleExpr super_property() const { return role_at(1, 1); }  // SubObjectPropertyChain
  RoleExpr sub_role() const { return role_at(0, 0); }        // SubObjectPropertyOf
  RoleExpr sup_role() const { return role_at(1, 1); }
  // ClassAssertion's class, HasKey's class.
  CeId class_expr() const { return CeId(d().kind == DlAxiomKind::HasKey ? d().slot[0] : d().slot[1]); }
  IdList<EntityId> object_properties() const {
    return IdList<EntityId>(d().list_span().subspan(0, d().slot[1]));
  }
  IdList<EntityId> data_properties() const {
    return IdList<EntityId>(d().list_span().subspan(d().slot[1], d().slot[2]));
  }
  EntityId individual() const { return EntityId(d().slot[0]); }  // ClassAssertion
  EntityId subject() const { return EntityId(d().slot[0]); }
  EntityId object() const { return EntityId(d().slot[2]); }
  DeId value() const { return DeId(d().slot[2]); }
  // ObjectPropertyAssertion's property; Transitive/SymmetricObjectProperty.
  RoleExpr role() const {
    return d().kind == DlAxiomKind::ObjectPropertyAssertion ? role_at(1, 0) : role_at(0, 0);
  }
  EntityId sub_data_property() const { return EntityId(d().slot[0]); }
  EntityId sup_data_property() const { return EntityId(d().slot[1]); }
  EntityId datatype() const { return EntityId(d().slot[0]); }  // DatatypeDefinition

 private:
  const D& d() const { return static_cast<const D&>(*this); }
  RoleExpr role_at(int slot, uint8_t bit) const {
    return {d().flag(bit) ? RoleKind::Inverse : RoleKind::Atomic, EntityId(d().slot[slot])};
  }
};

using RawList = std::vector<uint32_t>;
using RawView = std::span<const uint32_t>;

class ClassExprView : public DlNodeData<CeKind, RawView, std::string_view>,
                      public CeAccess<ClassExprView> {};
class DataExprView : public DlNodeData<DeKind, RawView, std::string_view>,
                     public DeAccess<DataExprView> {};
class DlAxiomView : public DlNodeData<DlAxiomKind, RawView, std::string_view>,
                    public DlAxiomAccess<DlAxiomView> {};

class ClassExpr : public DlNodeData<CeKind, RawList, std::string>, public CeAccess<ClassExpr> {
 public:
  static ClassExpr top() { return make(CeKind::Top); }
  static ClassExpr bottom() { return make(CeKind::Bottom); }
  static ClassExpr atomic(EntityId c) { return make(CeKind::Atomic, c.value); }
  static ClassExpr complement_of(CeId c) { return make(CeKind::Not, c.value); }
  static ClassExpr and_of(const std::vector<CeId>& ops) { return list_form(CeKind::And, ops); }
  static ClassExpr or_of(const std::vector<CeId>& ops) { return list_form(CeKind::Or, ops); }
  static ClassExpr some(RoleExpr r, CeId filler) { return role_form(CeKind::Some, r, filler.value); }
  static ClassExpr all(RoleExpr r, CeId filler) { return role_form(CeKind::All, r, filler.value); }
  static ClassExpr one_of(const std::vector<EntityId>& inds) { return list_form(CeKind::OneOf, inds); }
  static ClassExpr has_value(RoleExpr r, EntityId ind) { return role_form(CeKind::HasValue, r, ind.value); }
  static ClassExpr has_self(EntityId p) { return make(CeKind::HasSelf, p.value); }
  // kind: MinCardinality, MaxCardinality or ExactCardinality.
  static ClassExpr cardinality(CeKind kind, uint32_t n, RoleExpr r, std::optional<CeId> filler);
  static ClassExpr data_all(EntityId p, DeId range) { return make(CeKind::DataAll, p.value, range.value); }
  static ClassExpr data_some(EntityId p, DeId range) { return make(CeKind::DataSome, p.value, range.value); }
  static ClassExpr data_has_value(EntityId p, DeId lit) { return make(CeKind::DataHasValue, p.value, lit.value); }
  // kind: DataMinCardinality, DataMaxCardinality or DataExactCardinality.
  static ClassExpr data_cardinality(CeKind kind, uint32_t n, EntityId p, std::optional<DeId> range);

  static ClassExpr from_view(const ClassExprView& v);

 private:
  static ClassExpr make(CeKind k, uint32_t s0 = 0, uint32_t s1 = 0, uint32_t s2 = 0) {
    ClassExpr e;
    e.kind = k;
    e.slot = {s0, s1, s2};
    return e;
  }
  template <class Id>
  static ClassExpr list_form(CeKind k, const std::vector<Id>& ids) {
    ClassExpr e = make(k, static_cast<uint32_t>(ids.size()));
    e.list.reserve(ids.size());
    for (Id id : ids) e.list.push_back(id.value);
    return e;
  }
  static ClassExpr role_form(CeKind k, RoleExpr r, uint32_t s1) {
    ClassExpr e = make(k, r.property.value, s1);
    e.flags = r.is_inverse() ? 1 : 0;
    return e;
  }
};

class DataExpr : public DlNodeData<DeKind, RawList, std::string>, public DeAccess<DataExpr> {
 public:
  static DataExpr top() { return make(DeKind::Top); }
  static DataExpr datatype_ref(EntityId dt) { return make(DeKind::Datatype, dt.value); }
  static DataExpr facet(DeId base, std::string facet_iri, std::string value);
  static DataExpr and_of(const std::vector<DeId>& ops) { return list_form(DeKind::And, ops); }
  static DataExpr or_of(const std::vector<DeId>& ops) { return list_form(DeKind::Or, ops); }
  static DataExpr literal(std::string lexical, EntityId datatype);
  static DataExpr complement_of(DeId d) { return make(DeKind::Not, d.value); }

  static DataExpr from_view(const DataExprView& v);

 private:
  static DataExpr make(DeKind k, uint32_t s0 = 0, uint32_t s1 = 0) {
    DataExpr e;
    e.kind = k;
    e.slot = {s0, s1, 0};
    return e;
  }
  static DataExpr list_form(DeKind k, const std::vector<DeId>& ids) {
    DataExpr e = make(k, static_cast<uint32_t>(ids.size()));
    for (DeId id : ids) e.list.push_back(id.value);
    return e;
  }
};

class DlAxiom : public DlNodeData<DlAxiomKind, RawList, std::string>, public DlAxiomAccess<DlAxiom> {
 public:
  using K = DlAxiomKind;
  static DlAxiom sub_class_of(CeId sub, CeId sup) { return make(K::SubClassOf, sub.value, sup.value); }
  static DlAxiom equivalent_classes(const std::vector<CeId>& ops) { return list_form(K::EquivalentClasses, ops); }
  static DlAxiom disjoint_classes(const std::vector<CeId>& ops) { return list_form(K::DisjointClasses, ops); }
  static DlAxiom object_property_domain(EntityId p, CeId c) { return make(K::ObjectPropertyDomain, p.value, c.value); }
  static DlAxiom object_property_range(EntityId p, CeId c) { return make(K::ObjectPropertyRange, p.value, c.value); }
  static DlAxiom sub_object_property_chain(const std::vector<RoleExpr>& chain, RoleExpr sup);
  static DlAxiom sub_object_property_of(RoleExpr sub, RoleExpr sup);
  static DlAxiom has_key(CeId cls, const std::vector<EntityId>& object_props, const std::vector<EntityId>& data_props);
  static DlAxiom class_assertion(EntityId ind, CeId cls) { return make(K::ClassAssertion, ind.value, cls.value); }
  static DlAxiom data_property_domain(EntityId p, CeId c) { return make(K::DataPropertyDomain, p.value, c.value); }
  static DlAxiom data_property_range(EntityId p, DeId d) { return make(K::DataPropertyRange, p.value, d.value); }
  static DlAxiom sub_data_property_of(EntityId sub, EntityId sup) { return make(K::SubDataPropertyOf, sub.value, sup.value); }
  static DlAxiom data_property_assertion(EntityId s, EntityId p, DeId v) {
    return make(K::DataPropertyAssertion, s.value, p.value, v.value);
  }
  static DlAxiom negative_object_property_assertion(EntityId s, EntityId p, EntityId o) {
    return make(K::NegativeObjectPropertyAssertion, s.value, p.value, o.value);
  }
  static DlAxiom negative_data_property_assertion(EntityId s, EntityId p, DeId v) {
    return make(K::NegativeDataPropertyAssertion, s.value, p.value, v.value);
  }
  static DlAxiom object_property_assertion(EntityId s, RoleExpr p, EntityId o) {
    DlAxiom a = make(K::ObjectPropertyAssertion, s.value, p.property.value, o.value);
    a.flags = p.is_inverse() ? 1 : 0;
    return a;
  }
  static DlAxiom datatype_definition(EntityId dt, DeId range) { return make(K::DatatypeDefinition, dt.value, range.value); }
  static DlAxiom functional_data_property(EntityId p) { return make(K::FunctionalDataProperty, p.value); }
  // kind: EquivalentDataProperties, DisjointDataProperties,
  // DisjointObjectProperties, SameIndividual or DifferentIndividuals.
  static DlAxiom entity_list(K kind, const std::vector<EntityId>& ops) { return list_form(kind, ops); }
  // kind: TransitiveObjectProperty or SymmetricObjectProperty.
  static DlAxiom role_characteristic(K kind, RoleExpr p) {
    DlAxiom a = make(kind, p.property.value);
    a.flags = p.is_inverse() ? 1 : 0;
    return a;
  }
  static DlAxiom swrl_rule() { return make(K::SwrlRule); }
  static DlAxiom inverse_functional_object_property(EntityId p) { return make(K::InverseFunctionalObjectProperty, p.value); }
  static DlAxiom irreflexive_object_property(EntityId p) { return make(K::IrreflexiveObjectProperty, p.value); }
  // Pairwise disjoint property expressions, some of them inverses (a list
  // of plain properties is a DisjointObjectProperties).
  static DlAxiom disjoint_roles(const std::vector<RoleExpr>& roles);

  static DlAxiom from_view(const DlAxiomView& v);

 private:
  static DlAxiom make(K k, uint32_t s0 = 0, uint32_t s1 = 0, uint32_t s2 = 0) {
    DlAxiom a;
    a.kind = k;
    a.slot = {s0, s1, s2};
    return a;
  }
  template <class Id>
  static DlAxiom list_form(K k, const std::vector<Id>& ids) {
    DlAxiom a = make(k, static_cast<uint32_t>(ids.size()));
    a.list.reserve(ids.size());
    for (Id id : ids) a.list.push_back(id.value);
    return a;
  }
};

// Structural equality within each family (values and views mix freely).
template <class A, class B>
bool ce_equal(const A& a, const B& b) { return nodes_equal(a, b, ce_fields(a.kind)); }
template <class A, class B>
bool de_equal(const A& a, const B& b) { return nodes_equal(a, b, de_fields(a.kind)); }
template <class A, class B>
bool dl_axiom_equal(const A& a, const B& b) { return nodes_equal(a, b, dl_axiom_fields(a.kind)); }

}  // namespace trelvanic_core
