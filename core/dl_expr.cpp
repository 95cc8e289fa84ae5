#include "core/dl_expr.h"

#include <array>

#include "core/name_table.h"

namespace trelvanic_core {
namespace {

using T = FieldType;

constexpr std::array<std::string_view, kCeKindCount> kCeNames = {
    "Top", "Bottom", "Atomic", "Not", "And", "Or", "Some", "All", "OneOf", "HasValue", "HasSelf",
    "MinCardinality", "MaxCardinality", "ExactCardinality", "DataAll", "DataSome", "DataHasValue",
    "DataMinCardinality", "DataMaxCardinality", "DataExactCardinality"};
constexpr std::array<std::string_view, kDeKindCount> kDeNames = {"Top", "Datatype", "Facet", "And",
                                                                 "Or",  "Literal",  "Not"};
constexpr std::array<std::string_view, kDlAxiomKindCount> kAxNames = {
    "SubClassOf", "EquivalentClasses", "DisjointClasses", "ObjectPropertyDomain", "ObjectPropertyRange",
    "SubObjectPropertyChain", "SubObjectPropertyOf", "HasKey", "ClassAssertion", "DataPropertyDomain",
    "DataPropertyRange", "SubDataPropertyOf", "DataPropertyAssertion", "NegativeObjectPropertyAssertion",
    "NegativeDataPropertyAssertion", "ObjectPropertyAssertion", "DatatypeDefinition",
    "FunctionalDataProperty", "EquivalentDataProperties", "DisjointDataProperties",
    "DisjointObjectProperties", "SameIndividual", "DifferentIndividuals", "TransitiveObjectProperty",
    "SymmetricObjectProperty", "SwrlRule", "InverseFunctionalObjectProperty", "IrreflexiveObjectProperty",
    "DisjointRoles"};

// Field tables in declared order. Slots: 0..2; flag bit 0 is the role's
// inverse mark (bit 1 for a second role), bit 1 also marks a present
// optional filler or range.
constexpr FieldSpec kNone[] = {{T::Count, 0}};  // placeholder, never returned
constexpr FieldSpec kEntity0[] = {{T::Entity, 0}};
constexpr FieldSpec kCe0[] = {{T::Ce, 0}};
constexpr FieldSpec kDe0[] = {{T::De, 0}};
constexpr FieldSpec kListCe[] = {{T::ListCe, 0}};
constexpr FieldSpec kListDe[] = {{T::ListDe, 0}};
constexpr FieldSpec kListEntity[] = {{T::ListEntity, 0}};
constexpr FieldSpec kRoleCe[] = {{T::Role, 0, 0}, {T::Ce, 1}};
constexpr FieldSpec kRoleEntity[] = {{T::Role, 0, 0}, {T::Entity, 1}};
constexpr FieldSpec kCard[] = {{T::Count, 2}, {T::Role, 0, 0}, {T::OptCe, 1, 1}};
constexpr FieldSpec kEntityDe[] = {{T::Entity, 0}, {T::De, 1}};
constexpr FieldSpec kDataCard[] = {{T::Count, 2}, {T::Entity, 0}, {T::OptDe, 1, 1}};
constexpr FieldSpec kFacet[] = {{T::De, 0}, {T::Text, 1, 0}, {T::Text, 2, 1}};
constexpr FieldSpec kLiteral[] = {{T::Text, 0, 0}, {T::Entity, 1}};
constexpr FieldSpec kCeCe[] = {{T::Ce, 0}, {T::Ce, 1}};
constexpr FieldSpec kEntityCe[] = {{T::Entity, 0}, {T::Ce, 1}};
constexpr FieldSpec kChain[] = {{T::ListRole, 0}, {T::Role, 1, 1}};
constexpr FieldSpec kRoleRole[] = {{T::Role, 0, 0}, {T::Role, 1, 1}};
constexpr FieldSpec kHasKey[] = {{T::Ce, 0}, {T::ListEntity, 1}, {T::ListEntity, 2}};
constexpr FieldSpec kEntityEntity[] = {{T::Entity, 0}, {T::Entity, 1}};
constexpr FieldSpec kEntityEntityDe[] = {{T::Entity, 0}, {T::Entity, 1}, {T::De, 2}};
constexpr FieldSpec kEntity3[] = {{T::Entity, 0}, {T::Entity, 1}, {T::Entity, 2}};
constexpr FieldSpec kAssertion[] = {{T::Entity, 0}, {T::Role, 1, 0}, {T::Entity, 2}};
constexpr FieldSpec kRole0[] = {{T::Role, 0, 0}};
constexpr FieldSpec kListRole[] = {{T::ListRole, 0}};

constexpr std::span<const FieldSpec> none() { return std::span<const FieldSpec>(kNone, 0); }

}  // namespace

std::string_view ce_kind_name(CeKind k) { return table_name(kCeNames, k); }
std::string_view de_kind_name(DeKind k) { return table_name(kDeNames, k); }
std::string_view dl_axiom_kind_name(DlAxiomKind k) { return table_name(kAxNames, k); }
std::optional<CeKind> ce_kind_from_name(std::string_view n) { return table_lookup<CeKind>(kCeNames, n); }
std::optional<DeKind> de_kind_from_name(std::string_view n) { return table_lookup<DeKind>(kDeNames, n); }
std::optional<DlAxiomKind> dl_axiom_kind_from_name(std::string_view n) {
  return table_lookup<DlAxiomKind>(kAxNames, n);
}

std::span<const FieldSpec> ce_fields(CeKind k) {
  switch (k) {
    case CeKind::Top:
    case CeKind::Bottom: return none();
    case CeKind::Atomic:
    case CeKind::HasSelf: return kEntity0;
    case CeKind::Not: return kCe0;
    case CeKind::And:
    case CeKind::Or: return kListCe;
    case CeKind::Some:
    case CeKind::All: return kRoleCe;
    case CeKind::OneOf: return kListEntity;
    case CeKind::HasValue: return kRoleEntity;
    case CeKind::MinCardinality:
    case CeKind::MaxCardinality:
    case CeKind::ExactCardinality: return kCard;
    case CeKind::DataAll:
    case CeKind::DataSome:
    case CeKind::DataHasValue: return kEntityDe;
    case CeKind::DataMinCardinality:
    case CeKind::DataMaxCardinality:
    case CeKind::DataExactCardinality: return kDataCard;
  }
  return none();
}

std::span<const FieldSpec> de_fields(DeKind k) {
  switch (k) {
    case DeKind::Top: return none();
    case DeKind::Datatype: return kEntity0;
    case DeKind::Facet: return kFacet;
    case DeKind::And:
    case DeKind::Or: return kListDe;
    case DeKind::Literal: return kLiteral;
    case DeKind::Not: return kDe0;
  }
  return none();
}

std::span<const FieldSpec> dl_axiom_fields(DlAxiomKind k) {
  using K = DlAxiomKind;
  switch (k) {
    case K::SubClassOf: return kCeCe;
    case K::EquivalentClasses:
    case K::DisjointClasses: return kListCe;
    case K::ObjectPropertyDomain:
    case K::ObjectPropertyRange:
    case K::ClassAssertion:
    case K::DataPropertyDomain: return kEntityCe;
    case K::SubObjectPropertyChain: return kChain;
    case K::SubObjectPropertyOf: return kRoleRole;
    case K::HasKey: return kHasKey;
    case K::DataPropertyRange:
    case K::DatatypeDefinition: return kEntityDe;
    case K::SubDataPropertyOf: return kEntityEntity;
    case K::DataPropertyAssertion:
    case K::NegativeDataPropertyAssertion: return kEntityEntityDe;
    case K::NegativeObjectPropertyAssertion: return kEntity3;
    case K::ObjectPropertyAssertion: return kAssertion;
    case K::FunctionalDataProperty:
    case K::InverseFunctionalObjectProperty:
    case K::IrreflexiveObjectProperty: return kEntity0;
    case K::EquivalentDataProperties:
    case K::DisjointDataProperties:
    case K::DisjointObjectProperties:
    case K::SameIndividual:
    case K::DifferentIndividuals: return kListEntity;
    case K::TransitiveObjectProperty:
    case K::SymmetricObjectProperty: return kRole0;
    case K::SwrlRule: return none();
    case K::DisjointRoles: return kListRole;
  }
  return none();
}

ClassExpr ClassExpr::cardinality(CeKind kind, uint32_t n, RoleExpr r, std::optional<CeId> filler) {
  ClassExpr e = make(kind, r.property.value, filler ? filler->value : 0, n);
  e.flags = static_cast<uint8_t>((r.is_inverse() ? 1 : 0) | (filler ? 2 : 0));
  return e;
}

ClassExpr ClassExpr::data_cardinality(CeKind kind, uint32_t n, EntityId p, std::optional<DeId> range) {
  ClassExpr e = make(kind, p.value, range ? range->value : 0, n);
  e.flags = range ? 2 : 0;
  return e;
}

DataExpr DataExpr::facet(DeId base, std::string facet_iri, std::string value) {
  DataExpr e = make(DeKind::Facet, base.value);
  e.text = {std::move(facet_iri), std::move(value)};
  return e;
}

DataExpr DataExpr::literal(std::string lexical, EntityId datatype) {
  DataExpr e = make(DeKind::Literal, 0, datatype.value);
  e.text[0] = std::move(lexical);
  return e;
}

DlAxiom DlAxiom::sub_object_property_chain(const std::vector<RoleExpr>& chain, RoleExpr sup) {
  DlAxiom a = make(K::SubObjectPropertyChain, static_cast<uint32_t>(chain.size()), sup.property.value);
  a.flags = sup.is_inverse() ? 2 : 0;
  for (const RoleExpr& r : chain) {
    a.list.push_back(static_cast<uint32_t>(r.kind));
    a.list.push_back(r.property.value);
  }
  return a;
}

DlAxiom DlAxiom::sub_object_property_of(RoleExpr sub, RoleExpr sup) {
  DlAxiom a = make(K::SubObjectPropertyOf, sub.property.value, sup.property.value);
  a.flags = static_cast<uint8_t>((sub.is_inverse() ? 1 : 0) | (sup.is_inverse() ? 2 : 0));
  return a;
}

DlAxiom DlAxiom::disjoint_roles(const std::vector<RoleExpr>& roles) {
  DlAxiom a = make(K::DisjointRoles, static_cast<uint32_t>(roles.size()));
  for (const RoleExpr& r : roles) {
    a.list.push_back(static_cast<uint32_t>(r.kind));
    a.list.push_back(r.property.value);
  }
  return a;
}

DlAxiom DlAxiom::has_key(CeId cls, const std::vector<EntityId>& object_props,
                         const std::vector<EntityId>& data_props) {
  DlAxiom a = make(K::HasKey, cls.value, static_cast<uint32_t>(object_props.size()),
                   static_cast<uint32_t>(data_props.size()));
  for (EntityId e : object_props) a.list.push_back(e.value);
  for (EntityId e : data_props) a.list.push_back(e.value);
  return a;
}

namespace {

template <class Value, class View>
Value copy_node(const View& v) {
  Value x;
  x.kind = v.kind;
  x.flags = v.flags;
  x.slot = v.slot;
  x.list.assign(v.list.begin(), v.list.end());
  x.text = {std::string(v.text[0]), std::string(v.text[1])};
  return x;
}

}  // namespace

ClassExpr ClassExpr::from_view(const ClassExprView& v) { return copy_node<ClassExpr>(v); }
DataExpr DataExpr::from_view(const DataExprView& v) { return copy_node<DataExpr>(v); }
DlAxiom DlAxiom::from_view(const DlAxiomView& v) { return copy_node<DlAxiom>(v); }

}  // namespace trelvanic_core
