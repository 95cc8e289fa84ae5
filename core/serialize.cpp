#include "core/serialize.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/serialize_dl.h"
#include "core/serialize_swrl.h"
#include "json/prescan.h"
#include "json/record.h"

namespace trelvanic_core {
namespace {

namespace js = trelvanic_json;

// --- Writing ---------------------------------------------------------------------

bool parse_meta_written(const std::optional<ParseMeta>& meta) {
  return meta && (!meta->warnings.empty() || meta->skipped_axiom_count != 0);
}

void write_parse_meta(js::Writer& w, const ParseMeta& meta) {
  w.begin_object();
  w.key("warnings");
  w.begin_array();
  for (const std::string& text : meta.warnings) w.string(text);
  w.end_array();
  w.key("mapped_axiom_count");
  w.u64(meta.mapped_axiom_count);
  w.key("skipped_axiom_count");
  w.u64(meta.skipped_axiom_count);
  w.key("logical_axiom_count");
  w.u64(meta.logical_axiom_count);
  w.end_object();
}

Result<void> write_entities(js::Writer& w, const Ontology& o) {
  w.begin_array();
  for (const EntityRecord& rec : o.entities().records()) {
    const std::string_view iri = TRELVANIC_TRY(o.resolve_iri(rec.iri));
    w.begin_object();
    w.key("iri");
    w.string(iri);
    w.key("kind");
    w.string(entity_kind_name(rec.kind));
    w.end_object();
  }
  w.end_array();
  return {};
}

Result<void> write_axioms(js::Writer& w, const Ontology& o) {
  const AxiomStore& store = o.axioms();
  std::vector<std::string_view> iris;
  w.begin_array();
  for (uint32_t i = 0; i < store.size(); ++i) {
    const AxiomId id(i);
    if (store.is_removed(id) || store.is_inferred(id)) continue;
    const AxiomView a = store.view(id);
    iris.clear();
    Result<void> named;
    for_each_axiom_entity(a, [&](EntityId e) {
      if (!named) return;
      auto rec = o.entity(e);
      auto iri = rec ? o.resolve_iri(rec->iri) : Result<std::string_view>(std::unexpected(rec.error()));
      if (!iri) {
        named = std::unexpected(iri.error());
        return;
      }
      iris.push_back(*iri);
    });
    TRELVANIC_TRY(std::move(named));
    write_snapshot_axiom(w, SnapshotAxiomView{a.kind(), iris, a.literal()});
  }
  w.end_array();
  return {};
}

// --- Reading ---------------------------------------------------------------------

struct EntityEntry {
  std::string_view iri;
  EntityKind kind;
};

// Everything of a document as read, before any of it is checked or built.
struct Document {
  explicit Document(std::string_view text) : axioms(text) {}

  uint32_t format_version = 0;
  std::vector<EntityEntry> entities;
  SnapshotAxiomList axioms;
  std::optional<DlStore> dl;
  std::optional<std::vector<SwrlRule>> swrl_rules;
  std::optional<ParseMetaSummary> parse_meta;
};

constexpr std::string_view kRootFields[] = {"format_version", "entities", "axioms", "dl", "swrl_rules", "parse_meta"};
constexpr js::RecordShape kRootShape{"struct OntologySnapshot", "struct OntologySnapshot with 6 elements", kRootFields,
                                     js::UnknownFields::Refuse, 0b111000};
constexpr std::string_view kEntityFields[] = {"iri", "kind"};
constexpr js::RecordShape kEntityShape{"struct SnapshotEntity", "struct SnapshotEntity with 2 elements",
                                       kEntityFields, js::UnknownFields::Refuse};
constexpr std::string_view kMetaFields[] = {"warnings", "mapped_axiom_count", "skipped_axiom_count",
                                            "logical_axiom_count"};
constexpr js::RecordShape kMetaShape{"struct ParseMetaSummary", "struct ParseMetaSummary with 4 elements",
                                     kMetaFields, js::UnknownFields::Skip};

const std::array<std::string_view, kEntityKindCount>& kind_names() {
  static const auto names = [] {
    std::array<std::string_view, kEntityKindCount> a;
    for (int i = 0; i < kEntityKindCount; ++i) a[i] = entity_kind_name(static_cast<EntityKind>(i));
    return a;
  }();
  return names;
}

js::Result<EntityEntry> read_entity(js::Reader& r, SnapshotAxiomList& keep) {
  static constexpr std::array<js::VariantShape, kEntityKindCount> kUnits{};  // all Unit
  EntityEntry e{{}, EntityKind::Class};
  TRELVANIC_JSON_TRY(js::read_record(r, kEntityShape, [&](size_t f) -> js::Result<void> {
    if (f == 0) {
      e.iri = keep.keep(TRELVANIC_JSON_TRY(r.read_str()));
    } else {
      const size_t k = TRELVANIC_JSON_TRY(js::read_union(r, js::UnionShape{kind_names(), kUnits},
                                                         [](size_t) -> js::Result<void> { return {}; }));
      e.kind = static_cast<EntityKind>(k);
    }
    return {};
  }));
  return e;
}

js::Result<ParseMetaSummary> read_parse_meta(js::Reader& r) {
  ParseMetaSummary m;
  TRELVANIC_JSON_TRY(js::read_record(r, kMetaShape, [&](size_t f) -> js::Result<void> {
    switch (f) {
      case 0:
        return js::read_seq(r, [&](size_t) -> js::Result<void> {
          m.warnings.push_back(TRELVANIC_JSON_TRY(r.read_string()));
          return {};
        });
      case 1: m.mapped_axiom_count = TRELVANIC_JSON_TRY(r.read_u64()); return {};
      case 2: m.skipped_axiom_count = TRELVANIC_JSON_TRY(r.read_u64()); return {};
      default: m.logical_axiom_count = TRELVANIC_JSON_TRY(r.read_u64()); return {};
    }
  }));
  return m;
}

js::Result<void> read_document(js::Reader& r, Document& doc) {
  TRELVANIC_JSON_TRY(js::read_record(r, kRootShape, [&](size_t f) -> js::Result<void> {
    switch (f) {
      case 0: doc.format_version = TRELVANIC_JSON_TRY(r.read_u32()); return {};
      case 1:
        return js::read_seq(r, [&](size_t) -> js::Result<void> {
          doc.entities.push_back(TRELVANIC_JSON_TRY(read_entity(r, doc.axioms)));
          return {};
        });
      case 2: return js::read_seq(r, [&](size_t) { return doc.axioms.read_one(r); });
      case 3: doc.dl = TRELVANIC_JSON_TRY(read_dl_store(r)); return {};
      case 4: doc.swrl_rules = TRELVANIC_JSON_TRY(read_swrl_rules(r)); return {};
      default: doc.parse_meta = TRELVANIC_JSON_TRY(read_parse_meta(r)); return {};
    }
  }));
  return r.finish();
}

Error limit_error(std::string_view what, size_t limit) {
  return Error::resource_limit_exceeded(fmt::format("{} exceeds maximum of {}", what, limit));
}

// Steps up to the parsed document: size, shape of the text, repeated root
// keys, the JSON read itself, the version and the counts.
Result<void> read_checked(std::string_view json, const OntologyLimits& limits, Document& doc) {
  if (json.size() > limits.max_json_bytes)
    return std::unexpected(
        Error::serialization(fmt::format("JSON input exceeds maximum size of {} bytes", limits.max_json_bytes)));
  const std::string_view rest = json.substr(js::unicode_whitespace_prefix(json));
  if (rest.empty() || rest[0] != '{')
    return std::unexpected(Error::serialization("JSON snapshot must be a top-level object"));
  if (auto key = js::first_repeated_top_level_key(rest))
    return std::unexpected(Error::serialization(
        fmt::format("duplicate top-level key {} in JSON snapshot", js::debug_quoted(*key))));
  js::Reader reader(json);
  if (auto read = read_document(reader, doc); !read) return std::unexpected(Error::serialization(read.error().text()));
  if (doc.format_version == 1)
    return std::unexpected(Error::serialization(
        "format_version 1 is not supported for untrusted input; use format_version 2 or later"));
  if (doc.format_version < 2 || doc.format_version > kSnapshotFormatVersion)
    return std::unexpected(Error::serialization(fmt::format("unsupported format_version: {}", doc.format_version)));
  if (doc.entities.size() > limits.max_entities)
    return std::unexpected(limit_error("entity count", limits.max_entities));
  if (doc.axioms.size() > limits.max_axioms) return std::unexpected(limit_error("axiom count", limits.max_axioms));
  return {};
}

Result<void> build_entities(const Document& doc, const OntologyLimits& limits, Ontology& o,
                            SnapshotEntityNames& names) {
  size_t bytes = 0;
  for (const EntityEntry& e : doc.entities) bytes += e.iri.size();
  names.reserve(doc.entities.size(), bytes);
  for (const EntityEntry& e : doc.entities) {
    // Every IRI is new unless an earlier entity object wrote the same text.
    if (o.iris().lookup(e.iri))
      return std::unexpected(Error::serialization(fmt::format("duplicate entity IRI in snapshot: {}", e.iri)));
    names.add(e.iri, TRELVANIC_TRY(o.entity_id_as_written(e.iri, e.kind, limits.max_iri_len)));
  }
  return {};
}

// Whether canonicalizing leaves the axiom as it is (sorted operands, the
// smaller property first in an inverse pair).
bool is_canonical(const AxiomView& a) {
  if (axiom_kind_is_nary(a.kind())) return std::is_sorted(a.operands().begin(), a.operands().end());
  return a.kind() != AxiomKind::InverseObjectProperties || a.left() <= a.right();
}

Result<void> build_axioms(const Document& doc, const OntologyLimits& limits, Ontology& o,
                          const SnapshotEntityNames& names) {
  // `add_axiom` validates the canonical form under the default limits; where
  // that is the very check asked for here, it is not run twice.
  const bool default_limits = limits.max_operands == kDefaultLimits.max_operands &&
                              limits.max_literal_bytes == kDefaultLimits.max_literal_bytes &&
                              limits.max_iri_len == kDefaultLimits.max_iri_len;
  // Name lookups are random accesses: the table slots of the axiom 16 ahead
  // and the texts of the axiom 8 ahead are loaded while this one is built.
  constexpr size_t kSlotsAhead = 16, kTextsAhead = 8;
  const auto iris = doc.axioms.all_iris();
  std::vector<uint64_t> hashes(iris.size());
  for (size_t k = 0; k < iris.size(); ++k) hashes[k] = SnapshotEntityNames::hash(iris[k]);
  auto hashes_of = [&](size_t axiom) {
    const size_t first = doc.axioms.first_iri(axiom);
    const size_t end = axiom + 1 < doc.axioms.size() ? doc.axioms.first_iri(axiom + 1) : iris.size();
    return std::span<const uint64_t>(hashes).subspan(first, end - first);
  };
  std::vector<EntityId> ids;
  for (size_t i = 0; i < doc.axioms.size(); ++i) {
    if (i + kSlotsAhead < doc.axioms.size())
      for (uint64_t h : hashes_of(i + kSlotsAhead)) names.prefetch_slot(h);
    if (i + kTextsAhead < doc.axioms.size())
      for (uint64_t h : hashes_of(i + kTextsAhead)) names.prefetch_text(h);
    const AxiomView a =
        TRELVANIC_TRY(resolve_snapshot_axiom(doc.axioms.get(i), o, ids, &names, hashes_of(i).data()));
    if (!default_limits || !is_canonical(a)) TRELVANIC_TRY(validate_with_limits(a, o.entities(), limits));
    TRELVANIC_TRY(o.add_axiom(Axiom::from_view(a)));
  }
  return {};
}

Result<void> build_dl(Document& doc, const OntologyLimits& limits, Ontology& o) {
  if (!doc.dl) return {};
  const DlStore& dl = *doc.dl;
  if (doc.axioms.size() + dl.axiom_count() > limits.max_axioms)
    return std::unexpected(limit_error("combined axiom count", limits.max_axioms));
  if (dl.ce_count() > limits.max_entities || dl.de_count() > limits.max_entities)
    return std::unexpected(limit_error("DL expression count", limits.max_entities));
  // The snapshot's own wording (no unit after the number), unlike the
  // store's general literal check.
  for (uint32_t i = 0; i < dl.de_count(); ++i) {
    const DataExprView e = dl.de(DeId(i));
    if (e.kind == DeKind::Literal && e.lexical().size() > limits.max_literal_bytes)
      return std::unexpected(Error::invalid_axiom(
          fmt::format("data literal exceeds maximum size of {}", limits.max_literal_bytes)));
  }
  TRELVANIC_TRY(check_dl_store_ids(dl, o.entity_count()));
  TRELVANIC_TRY(check_dl_store_forms(dl, o.entities()));
  o.set_dl(std::move(*doc.dl));
  o.reindex_dl_abox();
  return {};
}

Result<void> build_rules(Document& doc, const OntologyLimits& limits, Ontology& o) {
  if (!doc.swrl_rules) return {};
  if (doc.swrl_rules->size() > limits.max_swrl_rules)
    return std::unexpected(limit_error("SWRL rule count", limits.max_swrl_rules));
  TRELVANIC_TRY(check_swrl_rule_ids(*doc.swrl_rules, o.entity_count(), o.dl().de_count()));
  for (SwrlRule& rule : *doc.swrl_rules) o.push_swrl_rule(std::move(rule));
  return {};
}

}  // namespace

uint64_t live_inferred_axiom_count(const Ontology& ontology) {
  const AxiomStore& store = ontology.axioms();
  uint64_t n = 0;
  for (uint32_t i = 0; i < store.size(); ++i)
    if (!store.is_removed(AxiomId(i)) && store.is_inferred(AxiomId(i))) ++n;
  return n;
}

Result<std::string> to_json(const Ontology& ontology, const SnapshotWarningFn& on_warning) {
  if (const uint64_t inferred = live_inferred_axiom_count(ontology); inferred != 0 && on_warning)
    on_warning(kInferredOmittedWarning, inferred);
  std::string out;
  // Roughly what a pretty-printed axiom with three IRIs takes, so large
  // snapshots grow the buffer a few times only.
  out.reserve(128 + ontology.entity_count() * 96 + ontology.axiom_count() * 160);
  js::Writer w(out, js::Layout::Pretty);
  w.begin_object();
  w.key("format_version");
  w.u64(kSnapshotFormatVersion);
  w.key("entities");
  TRELVANIC_TRY(write_entities(w, ontology));
  w.key("axioms");
  TRELVANIC_TRY(write_axioms(w, ontology));
  const DlStore& dl = ontology.dl();
  if (dl.ce_count() != 0 || dl.de_count() != 0 || dl.axiom_count() != 0) {
    w.key("dl");
    write_dl_store(w, dl);
  }
  if (!ontology.swrl_rules().empty()) {
    w.key("swrl_rules");
    w.begin_array();
    for (const SwrlRule& rule : ontology.swrl_rules()) write_swrl_rule(w, rule);
    w.end_array();
  }
  if (parse_meta_written(ontology.parse_meta())) {
    w.key("parse_meta");
    write_parse_meta(w, *ontology.parse_meta());
  }
  w.end_object();
  return out;
}

Result<Ontology> from_json(std::string_view json) { return from_json_with_limits(json, kDefaultLimits); }

Result<Ontology> from_json_with_limits(std::string_view json, const OntologyLimits& limits) {
  Document doc(json);
  TRELVANIC_TRY(read_checked(json, limits, doc));
  Ontology o;
  SnapshotEntityNames names;
  TRELVANIC_TRY(build_entities(doc, limits, o, names));
  TRELVANIC_TRY(build_axioms(doc, limits, o, names));
  TRELVANIC_TRY(build_dl(doc, limits, o));
  TRELVANIC_TRY(build_rules(doc, limits, o));
  if (doc.parse_meta) {
    ParseMeta meta;
    meta.warnings = std::move(doc.parse_meta->warnings);
    meta.mapped_axiom_count = doc.parse_meta->mapped_axiom_count;
    meta.skipped_axiom_count = doc.parse_meta->skipped_axiom_count;
    meta.logical_axiom_count = doc.parse_meta->logical_axiom_count;
    o.set_parse_meta(std::move(meta));
  }
  o.clear_dirty();
  return o;
}

}  // namespace trelvanic_core
