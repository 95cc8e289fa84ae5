#include "core/serialize_axiom.h"

#include <array>
#include <functional>

#include <absl/hash/hash.h>
#include <fmt/format.h>

#include "core/characteristic.h"
#include "json/record.h"
#include "memory/prefetch.h"

namespace trelvanic_core {
namespace {

namespace js = trelvanic_json;

enum class FormShape : uint8_t { Struct, List, One };

// What the JSON form of each told axiom kind looks like. The data forms have
// a third field, "value", holding the literal.
struct Form {
  FormShape shape = FormShape::One;
  std::vector<std::string_view> fields;
  std::string type_text;
  std::string length_text;
  js::RecordShape record;
};

struct Forms {
  std::array<std::string_view, kAxiomKindCount> names;
  std::array<js::VariantShape, kAxiomKindCount> shapes;
  std::array<Form, kAxiomKindCount> forms;
};

std::vector<std::string_view> struct_fields(AxiomKind k) {
  using K = AxiomKind;
  switch (k) {
    case K::SubClassOf: return {"subclass", "superclass"};
    case K::ObjectPropertyDomain: return {"property", "domain"};
    case K::ObjectPropertyRange: return {"property", "range"};
    case K::SubObjectPropertyOf: return {"sub_property", "super_property"};
    case K::InverseObjectProperties: return {"left", "right"};
    case K::SubClassOfExistential: return {"subclass", "property", "filler"};
    case K::ClassAssertion: return {"individual", "class"};
    case K::ObjectPropertyAssertion:
    case K::NegativeObjectPropertyAssertion: return {"subject", "property", "object"};
    case K::DataPropertyAssertion:
    case K::NegativeDataPropertyAssertion: return {"individual", "property", "value"};
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES
    case K::EquivalentClasses:
    case K::DisjointClasses:
    case K::EquivalentObjectProperties:
    case K::SameIndividual:
    case K::DifferentIndividuals: return {};
  }
  return {};
}

const Forms& forms() {
  static const Forms table = [] {
    Forms t;
    for (int i = 0; i < kAxiomKindCount; ++i) {
      const auto k = static_cast<AxiomKind>(i);
      t.names[i] = axiom_kind_name(k);
      Form& f = t.forms[i];
      f.fields = struct_fields(k);
      f.shape = !f.fields.empty() ? FormShape::Struct : axiom_kind_is_nary(k) ? FormShape::List : FormShape::One;
      t.shapes[i] = f.shape == FormShape::Struct ? js::VariantShape::Struct : js::VariantShape::Newtype;
      f.type_text = fmt::format("struct variant SnapshotAxiom::{}", t.names[i]);
      f.length_text = fmt::format("{} with {} elements", f.type_text, f.fields.size());
    }
    // The record shapes point into the strings above, which no longer move.
    for (Form& f : t.forms) f.record = js::RecordShape{f.type_text, f.length_text, f.fields, js::UnknownFields::Refuse};
    return t;
  }();
  return table;
}

constexpr std::string_view kLiteralFields[] = {"lexical", "datatype"};
constexpr js::RecordShape kLiteralShape{"struct DataLiteral", "struct DataLiteral with 2 elements", kLiteralFields,
                                        js::UnknownFields::Skip};

void write_literal(js::Writer& w, LiteralView v) {
  w.begin_object();
  w.key("lexical");
  w.string(v.lexical);
  w.key("datatype");
  w.string(v.datatype);
  w.end_object();
}

// Calls f(EntityId) for every entity operand in snapshot field order.
template <class F>
Result<void> for_each_operand(const AxiomView& a, F&& f) {
  Result<void> out;
  for_each_axiom_entity(a, [&](EntityId e) {
    if (out) out = f(e);
  });
  return out;
}

}  // namespace

Result<std::string> entity_iri(const Ontology& ontology, EntityId id) {
  const EntityRecord rec = TRELVANIC_TRY(ontology.entity(id));
  return std::string(TRELVANIC_TRY(ontology.resolve_iri(rec.iri)));
}

Result<EntityId> resolve_entity(const Ontology& ontology, std::string_view iri) {
  const auto found = TRELVANIC_TRY(ontology.try_lookup_entity(iri));
  if (!found) return std::unexpected(Error::invalid_axiom(fmt::format("unknown entity IRI in axiom: {}", iri)));
  return *found;
}

Result<SnapshotAxiom> axiom_to_snapshot(const AxiomView& axiom, const Ontology& ontology) {
  SnapshotAxiom out;
  out.kind = axiom.kind();
  TRELVANIC_TRY(for_each_operand(axiom, [&](EntityId e) -> Result<void> {
    out.iris.push_back(TRELVANIC_TRY(entity_iri(ontology, e)));
    return {};
  }));
  if (axiom_kind_has_literal(axiom.kind()))
    out.value = DataLiteral{std::string(axiom.literal().lexical), std::string(axiom.literal().datatype)};
  return out;
}

void SnapshotEntityNames::reserve(size_t count, size_t bytes) {
  if (bytes > UINT32_MAX || count >= UINT32_MAX) return;
  size_t capacity = 16;
  while (capacity < count + count / 2) capacity *= 2;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  texts_.reserve(bytes);
}

void SnapshotEntityNames::add(std::string_view iri, EntityId id) {
  if (slots_.empty() || texts_.size() + iri.size() > texts_.capacity()) return;
  const uint64_t h = hash(iri);
  for (uint64_t i = h & mask_;; i = (i + 1) & mask_) {
    Slot& s = slots_[i];
    if (s.id_plus_one != 0) continue;
    s = Slot{h, static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(iri.size()), id.value + 1};
    texts_.append(iri);
    return;
  }
}

bool SnapshotEntityNames::usable(std::string_view iri) const {
  return !slots_.empty() && iri.size() <= kDefaultMaxIriLen && iri.find("%23") == std::string_view::npos;
}

uint64_t SnapshotEntityNames::hash(std::string_view iri) { return absl::HashOf(iri); }

std::optional<EntityId> SnapshotEntityNames::find(std::string_view iri, uint64_t h) const {
  if (!usable(iri)) return std::nullopt;
  for (uint64_t i = h & mask_;; i = (i + 1) & mask_) {
    const Slot& s = slots_[i];
    if (s.id_plus_one == 0) return std::nullopt;
    if (s.hash == h && s.length == iri.size() && std::string_view(texts_).substr(s.offset, s.length) == iri)
      return EntityId(s.id_plus_one - 1);
  }
}

void SnapshotEntityNames::prefetch_slot(uint64_t h) const {
  if (slots_.empty()) return;
  trelvanic_memory::prefetch_line(&slots_[h & mask_]);
}

void SnapshotEntityNames::prefetch_text(uint64_t h) const {
  if (slots_.empty()) return;
  const Slot& s = slots_[h & mask_];
  if (s.id_plus_one != 0 && s.hash == h) trelvanic_memory::prefetch_line(texts_.data() + s.offset);
}

Result<AxiomView> resolve_snapshot_axiom(const SnapshotAxiomView& axiom, const Ontology& ontology,
                                         std::vector<EntityId>& ids, const SnapshotEntityNames* names,
                                         const uint64_t* hashes) {
  ids.clear();
  for (size_t k = 0; k < axiom.iris.size(); ++k) {
    const std::string_view iri = axiom.iris[k];
    if (names) {
      if (auto id = hashes ? names->find(iri, hashes[k]) : names->find(iri)) {
        ids.push_back(*id);
        continue;
      }
    }
    ids.push_back(TRELVANIC_TRY(resolve_entity(ontology, iri)));
  }
  if (axiom_kind_is_nary(axiom.kind)) return AxiomView(axiom.kind, {}, ids, {});
  // The reader always supplies exactly the form's fields; a value made by
  // hand may not.
  const auto wanted = static_cast<size_t>(axiom_kind_arity(axiom.kind));
  if (ids.size() != wanted)
    return std::unexpected(Error::invalid_axiom(
        fmt::format("{} names {} entities, expected {}", axiom_kind_name(axiom.kind), ids.size(), wanted)));
  std::array<EntityId, 3> fixed{};
  for (size_t i = 0; i < ids.size(); ++i) fixed[i] = ids[i];
  return AxiomView(axiom.kind, fixed, {}, axiom_kind_has_literal(axiom.kind) ? axiom.value : LiteralView{});
}

Result<Axiom> snapshot_axiom_to_axiom(const SnapshotAxiom& axiom, const Ontology& ontology) {
  std::vector<std::string_view> iris(axiom.iris.begin(), axiom.iris.end());
  std::vector<EntityId> ids;
  const AxiomView view = TRELVANIC_TRY(resolve_snapshot_axiom(
      SnapshotAxiomView{axiom.kind, iris, LiteralView{axiom.value.lexical, axiom.value.datatype}}, ontology, ids));
  return Axiom::from_view(view);
}

void write_snapshot_axiom(js::Writer& w, const SnapshotAxiomView& axiom) {
  const Form& form = forms().forms[static_cast<size_t>(axiom.kind)];
  w.begin_object();
  w.key(forms().names[static_cast<size_t>(axiom.kind)]);
  switch (form.shape) {
    case FormShape::Struct:
      w.begin_object();
      for (size_t i = 0; i < form.fields.size(); ++i) {
        w.key(form.fields[i]);
        if (i < axiom.iris.size()) {
          w.string(axiom.iris[i]);
        } else {
          write_literal(w, axiom.value);
        }
      }
      w.end_object();
      break;
    case FormShape::List:
      w.begin_array();
      for (std::string_view iri : axiom.iris) w.string(iri);
      w.end_array();
      break;
    case FormShape::One: w.string(axiom.iris.empty() ? std::string_view() : axiom.iris[0]); break;
  }
  w.end_object();
}

std::string_view SnapshotAxiomList::keep(std::string_view text) {
  const auto begin = reinterpret_cast<uintptr_t>(document_.data());
  const auto at = reinterpret_cast<uintptr_t>(text.data());
  if (at >= begin && at + text.size() <= begin + document_.size()) return text;
  return owned_.emplace_back(text);
}

js::Result<void> SnapshotAxiomList::read_one(js::Reader& r) {
  const Forms& table = forms();
  Entry entry{};
  entry.first = iris_.size();
  std::array<std::string_view, 3> fields{};
  LiteralView literal;
  auto read_iri = [&](std::string_view& into) -> js::Result<void> {
    into = keep(TRELVANIC_JSON_TRY(r.read_str()));
    return {};
  };
  const size_t kind = TRELVANIC_JSON_TRY(
      js::read_union(r, js::UnionShape{table.names, table.shapes}, [&](size_t variant) -> js::Result<void> {
        const Form& form = table.forms[variant];
        switch (form.shape) {
          case FormShape::Struct:
            return js::read_record(r, form.record, [&](size_t f) -> js::Result<void> {
              if (f < 2 || !axiom_kind_has_literal(static_cast<AxiomKind>(variant))) return read_iri(fields[f]);
              return js::read_record(r, kLiteralShape, [&](size_t lf) -> js::Result<void> {
                return read_iri(lf == 0 ? literal.lexical : literal.datatype);
              });
            });
          case FormShape::List:
            return js::read_seq(r, [&](size_t) -> js::Result<void> {
              iris_.push_back(keep(TRELVANIC_JSON_TRY(r.read_str())));
              return {};
            });
          case FormShape::One: return read_iri(fields[0]);
        }
        return {};
      }));
  entry.kind = static_cast<AxiomKind>(kind);
  const Form& form = table.forms[kind];
  if (form.shape != FormShape::List) {
    const size_t n = form.shape == FormShape::One ? 1 : axiom_kind_arity(entry.kind);
    for (size_t i = 0; i < n; ++i) iris_.push_back(fields[i]);
  }
  entry.count = static_cast<uint32_t>(iris_.size() - entry.first);
  if (axiom_kind_has_literal(entry.kind)) {
    entry.has_literal = true;
    entry.literal = literals_.size();
    literals_.push_back(literal);
  }
  entries_.push_back(entry);
  return {};
}

}  // namespace trelvanic_core
