#include "core/axiom.h"

#include <algorithm>
#include <array>

#include <fmt/format.h>

#include "core/characteristic.h"
#include "core/iri.h"
#include "core/name_table.h"
#include "core/siphash.h"

namespace trelvanic_core {
namespace {

constexpr std::array<std::string_view, kAxiomKindCount> kNames = {
    "SubClassOf",
    "EquivalentClasses",
    "DisjointClasses",
    "ObjectPropertyDomain",
    "ObjectPropertyRange",
    "SubObjectPropertyOf",
    "InverseObjectProperties",
    "TransitiveObjectProperty",
    "SubClassOfExistential",
    "SymmetricObjectProperty",
    "ReflexiveObjectProperty",
    "FunctionalObjectProperty",
    "InverseFunctionalObjectProperty",
    "IrreflexiveObjectProperty",
    "AsymmetricObjectProperty",
    "EquivalentObjectProperties",
    "ClassAssertion",
    "ObjectPropertyAssertion",
    "DataPropertyAssertion",
    "NegativeObjectPropertyAssertion",
    "NegativeDataPropertyAssertion",
    "SameIndividual",
    "DifferentIndividuals",
};

struct FieldCheck {
  EntityKind kind;
  std::string_view role;
};

// Expected kind and message role of each inline field, in field order.
std::span<const FieldCheck> field_checks(AxiomKind k) {
  static constexpr FieldCheck kSub[] = {{EntityKind::Class, "subclass"}, {EntityKind::Class, "superclass"}};
  static constexpr FieldCheck kDomain[] = {{EntityKind::ObjectProperty, "property"}, {EntityKind::Class, "domain"}};
  static constexpr FieldCheck kRange[] = {{EntityKind::ObjectProperty, "property"}, {EntityKind::Class, "range"}};
  static constexpr FieldCheck kSubProp[] = {{EntityKind::ObjectProperty, "sub_property"},
                                            {EntityKind::ObjectProperty, "super_property"}};
  static constexpr FieldCheck kInverse[] = {{EntityKind::ObjectProperty, "left property"},
                                            {EntityKind::ObjectProperty, "right property"}};
  static constexpr FieldCheck kProp[] = {{EntityKind::ObjectProperty, "property"}};
  static constexpr FieldCheck kExist[] = {{EntityKind::Class, "subclass"},
                                          {EntityKind::ObjectProperty, "property"},
                                          {EntityKind::Class, "filler"}};
  static constexpr FieldCheck kClassAssert[] = {{EntityKind::Individual, "individual"}, {EntityKind::Class, "class"}};
  static constexpr FieldCheck kObjAssert[] = {{EntityKind::Individual, "subject"},
                                              {EntityKind::ObjectProperty, "property"},
                                              {EntityKind::Individual, "object"}};
  static constexpr FieldCheck kDataAssert[] = {{EntityKind::Individual, "individual"},
                                               {EntityKind::DataProperty, "property"}};
  switch (k) {
    case AxiomKind::SubClassOf: return kSub;
    case AxiomKind::ObjectPropertyDomain: return kDomain;
    case AxiomKind::ObjectPropertyRange: return kRange;
    case AxiomKind::SubObjectPropertyOf: return kSubProp;
    case AxiomKind::InverseObjectProperties: return kInverse;
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES return kProp;
    case AxiomKind::SubClassOfExistential: return kExist;
    case AxiomKind::ClassAssertion: return kClassAssert;
    case AxiomKind::ObjectPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion: return kObjAssert;
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: return kDataAssert;
    case AxiomKind::EquivalentClasses:
    case AxiomKind::DisjointClasses:
    case AxiomKind::EquivalentObjectProperties:
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals: return {};
  }
  return {};
}

// DataProperty is required exactly (no pun has it); the other kinds go
// through the punning table of `require_kind`.
Result<void> check_field(const EntityRegistry& reg, EntityId id, const FieldCheck& c) {
  // The common case, from the one-byte kind table; the checks below give
  // the error texts.
  if (reg.contains(id) && kind_satisfies(reg.kind(id), c.kind)) return {};
  if (c.kind == EntityKind::DataProperty && reg.contains(id) &&
      reg.kind(id) != EntityKind::DataProperty)
    return std::unexpected(Error::invalid_axiom(fmt::format("{} entity {} must be {}, found {}", c.role,
                                                            id, entity_kind_name(c.kind),
                                                            entity_kind_name(reg.kind(id)))));
  return require_kind(reg.records(), id, c.kind, c.role);
}

struct NaryTexts {
  std::string_view too_few;
  std::string_view too_many;  // with "{}" for the limit
  std::string_view not_distinct;
  EntityKind kind;
  std::string_view role;
};

Result<void> validate_nary(const AxiomView& a, const EntityRegistry& reg, const OntologyLimits& limits) {
  static constexpr NaryTexts kClassTexts{
      "equivalent/disjoint operands require at least two members",
      "equivalent/disjoint operands exceed maximum operand count of {}",
      "equivalent/disjoint operands require at least two distinct members", EntityKind::Class,
      "class operand"};
  static constexpr NaryTexts kIndTexts{"same/different individuals require at least two operands",
                                       "same/different individuals exceed maximum operand count of {}",
                                       "same/different individuals require at least two distinct operands",
                                       EntityKind::Individual, "individual operand"};
  NaryTexts t = kClassTexts;
  if (a.kind() == AxiomKind::EquivalentObjectProperties) {
    t.kind = EntityKind::ObjectProperty;
    t.role = "property operand";
  } else if (a.kind() == AxiomKind::SameIndividual || a.kind() == AxiomKind::DifferentIndividuals) {
    t = kIndTexts;
  }
  const auto ops = a.operands();
  if (ops.size() < 2) return std::unexpected(Error::invalid_axiom(std::string(t.too_few)));
  if (ops.size() > limits.max_operands)
    return std::unexpected(Error::invalid_axiom(fmt::format(fmt::runtime(t.too_many), limits.max_operands)));
  bool distinct = false;
  for (EntityId e : ops.subspan(1))
    if (e != ops[0]) {
      distinct = true;
      break;
    }
  if (!distinct) return std::unexpected(Error::invalid_axiom(std::string(t.not_distinct)));
  const FieldCheck check{t.kind, t.role};
  for (EntityId e : ops) TRELVANIC_TRY(check_field(reg, e, check));
  return {};
}

Result<void> check_literal_size(LiteralView v, const OntologyLimits& limits) {
  if (v.lexical.size() > limits.max_literal_bytes)
    return std::unexpected(Error::invalid_axiom(
        fmt::format("data literal exceeds maximum size of {} bytes", limits.max_literal_bytes)));
  return {};
}

}  // namespace

std::string_view axiom_kind_name(AxiomKind kind) { return table_name(kNames, kind); }

std::optional<AxiomKind> axiom_kind_from_name(std::string_view name) {
  return table_lookup<AxiomKind>(kNames, name);
}

int axiom_kind_arity(AxiomKind k) {
  return static_cast<int>(field_checks(k).size());
}

Axiom Axiom::from_view(const AxiomView& v) {
  Axiom x;
  x.kind_ = v.kind();
  x.ids_ = {v.id(0), v.id(1), v.id(2)};
  x.operands_.assign(v.operands().begin(), v.operands().end());
  if (axiom_kind_has_literal(v.kind()))
    x.literal_ = DataLiteral{std::string(v.literal().lexical), std::string(v.literal().datatype)};
  return x;
}

AxiomView Axiom::view() const { return AxiomView(kind_, ids_, operands_, literal()); }

void Axiom::canonicalize() {
  if (axiom_kind_is_nary(kind_)) {
    std::sort(operands_.begin(), operands_.end());
  } else if (kind_ == AxiomKind::InverseObjectProperties && ids_[1] < ids_[0]) {
    std::swap(ids_[0], ids_[1]);
  }
}

bool axioms_equal(const AxiomView& a, const AxiomView& b) {
  if (a.kind() != b.kind()) return false;
  if (axiom_kind_is_nary(a.kind()))
    return std::ranges::equal(a.operands(), b.operands());
  const int n = axiom_kind_arity(a.kind());
  for (int i = 0; i < n; ++i)
    if (a.id(i) != b.id(i)) return false;
  return !axiom_kind_has_literal(a.kind()) || a.literal() == b.literal();
}

uint64_t axiom_fingerprint(const AxiomView& a) {
  SipHasher13 h;
  h.write_u64_le(static_cast<uint64_t>(a.kind()));
  if (axiom_kind_is_nary(a.kind())) {
    h.write_u64_le(a.operands().size());
    for (EntityId e : a.operands()) h.write_u32_le(e.value);
    return h.finish();
  }
  const int n = axiom_kind_arity(a.kind());
  for (int i = 0; i < n; ++i) h.write_u32_le(a.id(i).value);
  if (axiom_kind_has_literal(a.kind())) {
    h.write(a.literal().lexical);
    h.write_u8(0xFF);
    h.write(a.literal().datatype);
    h.write_u8(0xFF);
  }
  return h.finish();
}

Result<void> validate_with_limits(const AxiomView& a, const EntityRegistry& reg,
                                  const OntologyLimits& limits) {
  const AxiomKind k = a.kind();
  if (axiom_kind_is_nary(k)) return validate_nary(a, reg, limits);
  if (k == AxiomKind::InverseObjectProperties && a.left() == a.right())
    return std::unexpected(Error::invalid_axiom("property cannot be inverse of itself"));
  for (size_t i = 0; const FieldCheck& c : field_checks(k))
    TRELVANIC_TRY(check_field(reg, a.id(static_cast<int>(i++)), c));
  const LiteralView v = a.literal();
  if (k == AxiomKind::DataPropertyAssertion) {
    TRELVANIC_TRY(check_literal_size(v, limits));
    if (v.lexical.empty())
      return std::unexpected(Error::invalid_axiom("data property assertion requires non-empty literal"));
    if (v.datatype.empty())
      return std::unexpected(Error::invalid_axiom("data property assertion requires datatype IRI"));
    return validate_iri_schemes(v.datatype, limits.max_iri_len, kWebSchemes);
  }
  if (k == AxiomKind::NegativeDataPropertyAssertion) {
    TRELVANIC_TRY(check_literal_size(v, limits));
    if (v.lexical.empty() || v.datatype.empty())
      return std::unexpected(
          Error::invalid_axiom("negative data property assertion requires literal and datatype"));
    return validate_iri_schemes(v.datatype, limits.max_iri_len, kWebSchemes);
  }
  return {};
}

}  // namespace trelvanic_core
