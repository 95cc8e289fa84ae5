#include "core/serialize_dl.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "json/record.h"

namespace trelvanic_core {
namespace {

namespace js = trelvanic_json;

struct StructFields {
  std::string_view form;
  std::vector<std::string_view> fields;
};

// The JSON description of one family of forms (class expressions, data
// ranges or DL axioms): names and shapes in code order, and for each struct
// form its field names and record shape. Field i of a form is described by
// entry i of the core's field table for that form (same declared order).
struct Family {
  std::vector<std::string_view> names;
  std::vector<js::VariantShape> shapes;
  std::vector<std::span<const FieldSpec>> specs;
  std::vector<std::vector<std::string_view>> fields;
  std::vector<std::string> type_texts;
  std::vector<std::string> length_texts;
  std::vector<js::RecordShape> records;
};

template <class Kind>
Family make_family(std::string_view type, int count, std::string_view (*name)(Kind),
                   std::span<const FieldSpec> (*specs)(Kind), const std::vector<StructFields>& structs) {
  Family f;
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<Kind>(i);
    f.names.push_back(name(k));
    f.specs.push_back(specs(k));
    std::vector<std::string_view> fields;
    for (const StructFields& s : structs)
      if (s.form == f.names.back()) fields = s.fields;
    const bool is_struct = !fields.empty();
    f.shapes.push_back(is_struct ? js::VariantShape::Struct
                       : f.specs.back().empty() ? js::VariantShape::Unit
                                                : js::VariantShape::Newtype);
    f.type_texts.push_back(fmt::format("struct variant {}::{}", type, f.names.back()));
    f.length_texts.push_back(fmt::format("{} with {} elements", f.type_texts.back(), fields.size()));
    f.fields.push_back(std::move(fields));
  }
  for (int i = 0; i < count; ++i) {
    uint64_t optional = 0;
    for (size_t j = 0; j < f.specs[i].size(); ++j) {
      const FieldType t = f.specs[i][j].type;
      if (t == FieldType::OptCe || t == FieldType::OptDe) optional |= uint64_t{1} << j;
    }
    f.records.push_back(js::RecordShape{f.type_texts[i], f.length_texts[i], f.fields[i], js::UnknownFields::Skip, optional});
  }
  return f;
}

const Family& ce_family() {
  static const Family f = make_family<CeKind>(
      "ClassExpr", kCeKindCount, ce_kind_name, ce_fields,
      {{"Some", {"property", "filler"}},
       {"All", {"property", "filler"}},
       {"HasValue", {"property", "individual"}},
       {"MinCardinality", {"n", "property", "filler"}},
       {"MaxCardinality", {"n", "property", "filler"}},
       {"ExactCardinality", {"n", "property", "filler"}},
       {"DataAll", {"property", "range"}},
       {"DataSome", {"property", "range"}},
       {"DataHasValue", {"property", "value"}},
       {"DataMinCardinality", {"n", "property", "range"}},
       {"DataMaxCardinality", {"n", "property", "range"}},
       {"DataExactCardinality", {"n", "property", "range"}}});
  return f;
}

const Family& de_family() {
  static const Family f = make_family<DeKind>(
      "DataExpr", kDeKindCount, de_kind_name, de_fields,
      {{"Facet", {"base", "facet_iri", "value"}}, {"Literal", {"lexical", "datatype"}}});
  return f;
}

const Family& axiom_family() {
  static const Family f = make_family<DlAxiomKind>(
      "DlAxiom", kDlAxiomKindCount, dl_axiom_kind_name, dl_axiom_fields,
      {{"SubClassOf", {"sub", "sup"}},
       {"ObjectPropertyDomain", {"property", "domain"}},
       {"ObjectPropertyRange", {"property", "range"}},
       {"SubObjectPropertyChain", {"chain", "super_property"}},
       {"SubObjectPropertyOf", {"sub", "sup"}},
       {"HasKey", {"class", "object_properties", "data_properties"}},
       {"ClassAssertion", {"individual", "class"}},
       {"DataPropertyDomain", {"property", "domain"}},
       {"DataPropertyRange", {"property", "range"}},
       {"SubDataPropertyOf", {"sub", "sup"}},
       {"DataPropertyAssertion", {"subject", "property", "value"}},
       {"NegativeObjectPropertyAssertion", {"subject", "property", "object"}},
       {"NegativeDataPropertyAssertion", {"subject", "property", "value"}},
       {"ObjectPropertyAssertion", {"subject", "property", "object"}},
       {"DatatypeDefinition", {"datatype", "range"}}});
  return f;
}

constexpr std::string_view kRoleNames[] = {"Atomic", "Inverse"};
constexpr js::VariantShape kRoleShapes[] = {js::VariantShape::Newtype, js::VariantShape::Newtype};

// --- Writing -------------------------------------------------------------------

template <class Node>
void write_field(js::Writer& w, const Node& n, std::span<const FieldSpec> specs, size_t i) {
  const FieldSpec& f = specs[i];
  switch (f.type) {
    case FieldType::Entity:
    case FieldType::Ce:
    case FieldType::De:
    case FieldType::Count: w.u64(n.slot[f.slot]); break;
    case FieldType::Role:
      write_role_expr(w, RoleExpr{n.flag(f.bit) ? RoleKind::Inverse : RoleKind::Atomic, EntityId(n.slot[f.slot])});
      break;
    case FieldType::OptCe:
    case FieldType::OptDe:
      if (n.flag(f.bit)) {
        w.u64(n.slot[f.slot]);
      } else {
        w.null();
      }
      break;
    case FieldType::Text: w.string(n.text[f.bit]); break;
    case FieldType::ListCe:
    case FieldType::ListDe:
    case FieldType::ListEntity:
      w.begin_array();
      for (uint32_t v : list_field(n, specs, i)) w.u64(v);
      w.end_array();
      break;
    case FieldType::ListRole: {
      w.begin_array();
      const auto raw = list_field(n, specs, i);
      for (size_t k = 0; k + 1 < raw.size(); k += 2)
        write_role_expr(w, RoleExpr{static_cast<RoleKind>(raw[k]), EntityId(raw[k + 1])});
      w.end_array();
      break;
    }
  }
}

template <class Node>
void write_node(js::Writer& w, const Node& n, const Family& fam) {
  const auto k = static_cast<size_t>(n.kind);
  const auto specs = fam.specs[k];
  switch (fam.shapes[k]) {
    case js::VariantShape::Unit: w.string(fam.names[k]); return;
    case js::VariantShape::Newtype:
    case js::VariantShape::Tuple:
      w.begin_object();
      w.key(fam.names[k]);
      write_field(w, n, specs, 0);
      w.end_object();
      return;
    case js::VariantShape::Struct:
      w.begin_object();
      w.key(fam.names[k]);
      w.begin_object();
      for (size_t i = 0; i < specs.size(); ++i) {
        w.key(fam.fields[k][i]);
        write_field(w, n, specs, i);
      }
      w.end_object();
      w.end_object();
      return;
  }
}

// --- Reading -------------------------------------------------------------------

js::Result<void> read_u32_list(js::Reader& r, std::vector<uint32_t>& list) {
  return js::read_seq(r, [&](size_t) -> js::Result<void> {
    list.push_back(TRELVANIC_JSON_TRY(r.read_u32()));
    return {};
  });
}

template <class Node>
js::Result<void> read_field(js::Reader& r, Node& n, const FieldSpec& f, std::vector<uint32_t>& list) {
  switch (f.type) {
    case FieldType::Entity:
    case FieldType::Ce:
    case FieldType::De:
    case FieldType::Count: n.slot[f.slot] = TRELVANIC_JSON_TRY(r.read_u32()); return {};
    case FieldType::Role: {
      const RoleExpr role = TRELVANIC_JSON_TRY(read_role_expr(r));
      n.slot[f.slot] = role.property.value;
      if (role.is_inverse()) n.flags |= static_cast<uint8_t>(1u << f.bit);
      return {};
    }
    case FieldType::OptCe:
    case FieldType::OptDe:
      n.slot[f.slot] = TRELVANIC_JSON_TRY(r.read_u32());
      n.flags |= static_cast<uint8_t>(1u << f.bit);
      return {};
    case FieldType::Text: n.text[f.bit] = TRELVANIC_JSON_TRY(r.read_string()); return {};
    case FieldType::ListCe:
    case FieldType::ListDe:
    case FieldType::ListEntity: return read_u32_list(r, list);
    case FieldType::ListRole:
      return js::read_seq(r, [&](size_t) -> js::Result<void> {
        const RoleExpr role = TRELVANIC_JSON_TRY(read_role_expr(r));
        list.push_back(static_cast<uint32_t>(role.kind));
        list.push_back(role.property.value);
        return {};
      });
  }
  return {};
}

template <class Node>
js::Result<Node> read_node(js::Reader& r, const Family& fam) {
  Node n;
  std::array<std::vector<uint32_t>, 3> lists;
  const size_t variant = TRELVANIC_JSON_TRY(
      js::read_union(r, js::UnionShape{fam.names, fam.shapes}, [&](size_t v) -> js::Result<void> {
        const auto specs = fam.specs[v];
        if (fam.shapes[v] != js::VariantShape::Struct) return read_field(r, n, specs[0], lists[0]);
        return js::read_record(r, fam.records[v],
                               [&](size_t f) -> js::Result<void> { return read_field(r, n, specs[f], lists[f]); });
      }));
  n.kind = static_cast<decltype(n.kind)>(variant);
  const auto specs = fam.specs[variant];
  for (size_t i = 0; i < specs.size() && i < lists.size(); ++i) {
    if (!is_list(specs[i].type)) continue;
    n.slot[specs[i].slot] = static_cast<uint32_t>(lists[i].size() / list_stride(specs[i].type));
    n.list.insert(n.list.end(), lists[i].begin(), lists[i].end());
  }
  return n;
}

// --- Id checks -----------------------------------------------------------------

struct Bounds {
  size_t entities;
  size_t ces;  // class-expression ids must be below this
  size_t des;  // data-range ids must be below this
};

struct BadId {
  FieldType type;  // Entity, Ce or De
  uint32_t id;
};

template <class Node>
std::optional<BadId> first_bad_id(const Node& n, std::span<const FieldSpec> specs, const Bounds& b) {
  auto bound = [&](FieldType t) {
    return t == FieldType::Ce ? b.ces : t == FieldType::De ? b.des : b.entities;
  };
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    FieldType t = f.type;
    switch (f.type) {
      case FieldType::Count:
      case FieldType::Text: continue;
      case FieldType::OptCe:
      case FieldType::OptDe:
        if (!n.flag(f.bit)) continue;
        t = f.type == FieldType::OptCe ? FieldType::Ce : FieldType::De;
        break;
      case FieldType::Role: t = FieldType::Entity; break;
      case FieldType::Entity:
      case FieldType::Ce:
      case FieldType::De: break;
      case FieldType::ListCe:
      case FieldType::ListDe:
      case FieldType::ListEntity:
      case FieldType::ListRole: {
        const FieldType elem = f.type == FieldType::ListCe   ? FieldType::Ce
                               : f.type == FieldType::ListDe ? FieldType::De
                                                             : FieldType::Entity;
        const auto raw = list_field(n, specs, i);
        const size_t stride = list_stride(f.type);
        for (size_t k = stride - 1; k < raw.size(); k += stride)
          if (raw[k] >= bound(elem)) return BadId{elem, raw[k]};
        continue;
      }
    }
    if (n.slot[f.slot] >= bound(t)) return BadId{t, n.slot[f.slot]};
  }
  return std::nullopt;
}

std::string_view id_word(FieldType t) {
  return t == FieldType::Ce ? "class expression" : t == FieldType::De ? "data range" : "entity";
}

// "dl expressions[3] refers to class expression 7, not an earlier expression".
Error bad_id_error(std::string_view place, size_t index, BadId bad, const Bounds& b, FieldType earlier) {
  std::string why;
  if (bad.type == earlier) {
    why = earlier == FieldType::Ce ? "not an earlier expression" : "not an earlier data range";
  } else if (bad.type == FieldType::Entity) {
    why = fmt::format("past the {} entities", b.entities);
  } else if (bad.type == FieldType::Ce) {
    why = fmt::format("past the {} expressions", b.ces);
  } else {
    why = fmt::format("past the {} data ranges", b.des);
  }
  return Error::serialization(fmt::format("{}[{}] refers to {} {}, {}", place, index, id_word(bad.type), bad.id, why));
}

// --- Entity kinds and list lengths ---------------------------------------------

// What a form asks of its entities and lists: the kind each entity field
// (plain, role or list of either; by field index) must name, and the least
// length of its list fields (OWL 2's arities).
struct FormRule {
  uint8_t min_list = 0;
  std::array<EntityKind, 3> kinds{};  // read only at entity-valued fields
};

constexpr EntityKind kC = EntityKind::Class, kI = EntityKind::Individual, kOP = EntityKind::ObjectProperty,
                     kDP = EntityKind::DataProperty, kDT = EntityKind::Datatype;

constexpr auto kCeRules = std::to_array<FormRule>({
    {}, {}, {0, {kC}}, {}, {2}, {2},                         // Top Bottom Atomic Not And Or
    {0, {kOP}}, {0, {kOP}}, {1, {kI}}, {0, {kOP, kI}}, {0, {kOP}},  // Some All OneOf HasValue HasSelf
    {0, {kC, kOP}}, {0, {kC, kOP}}, {0, {kC, kOP}},          // object cardinalities (n, property, filler)
    {0, {kDP}}, {0, {kDP}}, {0, {kDP}},                      // DataAll DataSome DataHasValue
    {0, {kC, kDP}}, {0, {kC, kDP}}, {0, {kC, kDP}},          // data cardinalities (n, property, range)
});
static_assert(kCeRules.size() == kCeKindCount);

constexpr auto kDeRules = std::to_array<FormRule>({
    {}, {0, {kDT}}, {}, {2}, {2}, {0, {kC, kDT}}, {},  // Top Datatype Facet And Or Literal Not
});
static_assert(kDeRules.size() == kDeKindCount);

constexpr auto kAxiomRules = std::to_array<FormRule>({
    {}, {2}, {2},                                  // SubClassOf EquivalentClasses DisjointClasses
    {0, {kOP}}, {0, {kOP}},                        // ObjectPropertyDomain ObjectPropertyRange
    {0, {kOP, kOP}}, {0, {kOP, kOP}},              // SubObjectPropertyChain SubObjectPropertyOf
    {0, {kC, kOP, kDP}}, {0, {kI}},                // HasKey ClassAssertion
    {0, {kDP}}, {0, {kDP}}, {0, {kDP, kDP}},       // DataPropertyDomain DataPropertyRange SubDataPropertyOf
    {0, {kI, kDP}}, {0, {kI, kOP, kI}},            // DataPropertyAssertion NegativeObjectPropertyAssertion
    {0, {kI, kDP}}, {0, {kI, kOP, kI}},            // NegativeDataPropertyAssertion ObjectPropertyAssertion
    {0, {kDT}}, {0, {kDP}},                        // DatatypeDefinition FunctionalDataProperty
    {2, {kDP}}, {2, {kDP}}, {2, {kOP}},            // Equivalent/DisjointDataProperties DisjointObjectProperties
    {2, {kI}}, {2, {kI}},                          // SameIndividual DifferentIndividuals
    {0, {kOP}}, {0, {kOP}}, {},                    // Transitive/SymmetricObjectProperty SwrlRule
    {0, {kOP}}, {0, {kOP}},                        // InverseFunctional/IrreflexiveObjectProperty
    {2, {kOP}},                                    // DisjointRoles
});
static_assert(kAxiomRules.size() == kDlAxiomKindCount);

// The first entity of the wrong kind or list too short in node `n`, as the
// message that names it after `place`; ids are known to be in range.
template <class Node>
std::optional<Error> first_bad_form(const Node& n, const Family& fam, const FormRule& rule,
                                    std::span<const EntityRecord> entities, std::string_view place, size_t index) {
  const auto k = static_cast<size_t>(n.kind);
  const auto specs = fam.specs[k];
  auto where = [&](size_t field) {
    const std::string_view field_name = field < fam.fields[k].size() ? fam.fields[k][field] : "";
    return fmt::format("{}[{}] {}{}{}", place, index, fam.names[k], field_name.empty() ? "" : " ", field_name);
  };
  auto check = [&](uint32_t id, size_t field) -> std::optional<Error> {
    const EntityKind expected = rule.kinds[field];
    if (kind_satisfies(entities[id].kind, expected)) return std::nullopt;
    return Error::invalid_axiom(fmt::format("{} entity {} must be {}, found {}", where(field), EntityId(id),
                                            entity_kind_name(expected), entity_kind_name(entities[id].kind)));
  };
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& f = specs[i];
    switch (f.type) {
      case FieldType::Entity:
      case FieldType::Role:
        if (auto bad = check(n.slot[f.slot], i)) return bad;
        break;
      case FieldType::ListCe:
      case FieldType::ListDe:
      case FieldType::ListEntity:
      case FieldType::ListRole: {
        if (n.slot[f.slot] < rule.min_list)
          return Error::invalid_axiom(fmt::format("{} needs at least {} operand{}, found {}", where(i), rule.min_list,
                                                  rule.min_list == 1 ? "" : "s", n.slot[f.slot]));
        if (f.type != FieldType::ListEntity && f.type != FieldType::ListRole) break;
        const auto raw = list_field(n, specs, i);
        const size_t stride = list_stride(f.type);
        for (size_t j = stride - 1; j < raw.size(); j += stride)
          if (auto bad = check(raw[j], i)) return bad;
        break;
      }
      case FieldType::Ce:
      case FieldType::De:
      case FieldType::Count:
      case FieldType::OptCe:
      case FieldType::OptDe:
      case FieldType::Text: break;
    }
  }
  return std::nullopt;
}

constexpr std::string_view kSectionFields[] = {"expressions", "data_exprs", "axioms"};
constexpr js::RecordShape kSectionShape{"struct DlStore", "struct DlStore with 3 elements", kSectionFields,
                                        js::UnknownFields::Skip};

}  // namespace

void write_role_expr(js::Writer& w, RoleExpr role) {
  w.begin_object();
  w.key(role.is_inverse() ? "Inverse" : "Atomic");
  w.u64(role.property.value);
  w.end_object();
}

void write_class_expr(js::Writer& w, const ClassExprView& e) { write_node(w, e, ce_family()); }
void write_data_expr(js::Writer& w, const DataExprView& e) { write_node(w, e, de_family()); }
void write_dl_axiom(js::Writer& w, const DlAxiomView& a) { write_node(w, a, axiom_family()); }

void write_dl_store(js::Writer& w, const DlStore& store) {
  w.begin_object();
  w.key("expressions");
  w.begin_array();
  for (uint32_t i = 0; i < store.ce_count(); ++i) write_class_expr(w, store.ce(CeId(i)));
  w.end_array();
  w.key("data_exprs");
  w.begin_array();
  for (uint32_t i = 0; i < store.de_count(); ++i) write_data_expr(w, store.de(DeId(i)));
  w.end_array();
  w.key("axioms");
  w.begin_array();
  for (size_t i = 0; i < store.axiom_count(); ++i) write_dl_axiom(w, store.axiom(i));
  w.end_array();
  w.end_object();
}

js::Result<RoleExpr> read_role_expr(js::Reader& r) {
  uint32_t property = 0;
  const size_t variant =
      TRELVANIC_JSON_TRY(js::read_union(r, js::UnionShape{kRoleNames, kRoleShapes}, [&](size_t) -> js::Result<void> {
        property = TRELVANIC_JSON_TRY(r.read_u32());
        return {};
      }));
  return RoleExpr{variant == 0 ? RoleKind::Atomic : RoleKind::Inverse, EntityId(property)};
}

js::Result<ClassExpr> read_class_expr(js::Reader& r) { return read_node<ClassExpr>(r, ce_family()); }
js::Result<DataExpr> read_data_expr(js::Reader& r) { return read_node<DataExpr>(r, de_family()); }
js::Result<DlAxiom> read_dl_axiom(js::Reader& r) { return read_node<DlAxiom>(r, axiom_family()); }

js::Result<DlStore> read_dl_store(js::Reader& r) {
  DlStore store;
  TRELVANIC_JSON_TRY(js::read_record(r, kSectionShape, [&](size_t field) -> js::Result<void> {
    return js::read_seq(r, [&](size_t) -> js::Result<void> {
      switch (field) {
        case 0: store.append_ce(TRELVANIC_JSON_TRY(read_class_expr(r))); break;
        case 1: store.append_de(TRELVANIC_JSON_TRY(read_data_expr(r))); break;
        default: store.push_axiom(TRELVANIC_JSON_TRY(read_dl_axiom(r))); break;
      }
      return {};
    });
  }));
  return store;
}

Result<void> check_dl_store_ids(const DlStore& store, size_t entity_count) {
  const Bounds all{entity_count, store.ce_count(), store.de_count()};
  for (uint32_t i = 0; i < store.ce_count(); ++i) {
    const ClassExprView e = store.ce(CeId(i));
    const Bounds b{entity_count, i, store.de_count()};
    if (auto bad = first_bad_id(e, ce_fields(e.kind), b))
      return std::unexpected(bad_id_error("dl expressions", i, *bad, b, FieldType::Ce));
  }
  for (uint32_t i = 0; i < store.de_count(); ++i) {
    const DataExprView e = store.de(DeId(i));
    const Bounds b{entity_count, store.ce_count(), i};
    if (auto bad = first_bad_id(e, de_fields(e.kind), b))
      return std::unexpected(bad_id_error("dl data_exprs", i, *bad, b, FieldType::De));
  }
  for (size_t i = 0; i < store.axiom_count(); ++i) {
    const DlAxiomView a = store.axiom(i);
    if (auto bad = first_bad_id(a, dl_axiom_fields(a.kind), all))
      return std::unexpected(bad_id_error("dl axioms", i, *bad, all, FieldType::Count));
  }
  return {};
}

}  // namespace trelvanic_core

namespace trelvanic_core {

Result<void> check_dl_store_forms(const DlStore& store, const EntityRegistry& entities) {
  const auto records = entities.records();
  for (uint32_t i = 0; i < store.ce_count(); ++i) {
    const ClassExprView e = store.ce(CeId(i));
    if (auto bad = first_bad_form(e, ce_family(), kCeRules[static_cast<size_t>(e.kind)], records, "dl expressions", i))
      return std::unexpected(std::move(*bad));
  }
  for (uint32_t i = 0; i < store.de_count(); ++i) {
    const DataExprView e = store.de(DeId(i));
    if (auto bad = first_bad_form(e, de_family(), kDeRules[static_cast<size_t>(e.kind)], records, "dl data_exprs", i))
      return std::unexpected(std::move(*bad));
  }
  for (size_t i = 0; i < store.axiom_count(); ++i) {
    const DlAxiomView a = store.axiom(i);
    if (auto bad = first_bad_form(a, axiom_family(), kAxiomRules[static_cast<size_t>(a.kind)], records, "dl axioms", i))
      return std::unexpected(std::move(*bad));
  }
  return {};
}

}  // namespace trelvanic_core
