// The rdf:ID passes: repeated values and values that are not names.
//
// Both passes keep the document's meaning. A repeated rdf:ID on a node
// element becomes rdf:about="#value", which names the same IRI (base + "#" +
// value) without the reader's uniqueness rule; on a property element the
// attribute only reifies the statement, so it is removed and the statement
// stays. An invalid rdf:ID is renamed together with exactly those attribute
// values that refer to it.
#include <algorithm>
#include <vector>

#include <fmt/format.h>

#include "absl/container/flat_hash_map.h"
#include "absl/container/flat_hash_set.h"
#include "absl/hash/hash.h"
#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"
#include "parser/rdfxml_passes/iri.h"
#include "parser/rdfxml_passes/rdf_id.h"
#include "parser/rdfxml_passes/scan.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser {
namespace {

using rdfxml::Attribute;
using rdfxml::Edit;
using rdfxml::ElementRole;
using rdfxml::Markup;

// What the values these passes read through the document's entities may
// expand to in all, unless the caller gives its own limit (the loader's
// default limit on the expanded document).
constexpr uint64_t kDefaultMaxReadBytes = 268'435'456;

// The base references are resolved against when the document gives none.
constexpr std::string_view kStandInDocumentBase = "http://document.invalid/base";


std::string_view markup_text(std::string_view text, const Markup& m) { return text.substr(m.begin, m.end - m.begin); }

bool is_ascii_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_ascii_digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool is_valid_rdf_id(std::string_view v) {
  if (v.empty()) return false;
  const auto first = static_cast<unsigned char>(v.front());
  if (!is_ascii_letter(first) && first != '_') return false;
  return std::ranges::all_of(v.substr(1), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return is_ascii_letter(c) || is_ascii_digit(c) || c == '-' || c == '.' || c == '_';
  });
}

// "_" and the value with every character other than an ASCII letter or
// digit written "_" (a multi-byte character as one "_").
std::string valid_rdf_id_for(std::string_view v) {
  std::string out = "_";
  for (const char ch : v) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte of a character already written
    out.push_back(is_ascii_letter(c) || is_ascii_digit(c) ? ch : '_');
  }
  return out;
}

// The rdf:ID values and references of a document, compared as the IRIs
// they name: each resolved against the base in scope where it stands
// (nested xml:base included), with entity references read through the
// document's declarations (these passes run before entities are expanded).
// Without a root xml:base the document's own IRI is not known here; a
// stand-in base gives the same answers for the references that name the
// document itself ("#id").
class IdWalk {
 public:
  // `max_read_bytes` bounds the text all reads together may expand to.
  IdWalk(std::string_view text, uint64_t max_read_bytes)
      : text_(text),
        entities_(rdfxml::read_entity_declarations(text)),
        measures_(rdfxml::measure_entities(entities_)),
        budget_(max_read_bytes) {}

  // The text a value stands for; nothing, from then on, once the reads
  // would pass their budget (`exhausted`).
  [[nodiscard]] std::optional<std::string> read(std::string_view value) {
    if (exhausted_) return std::nullopt;
    if (value.find('&') == std::string_view::npos || entities_.empty()) return std::string(value);
    auto expanded = rdfxml::expand_entity_text(value, entities_, measures_, budget_);
    if (!expanded) {
      exhausted_ = true;
      return std::nullopt;
    }
    budget_ -= expanded->size();
    return expanded;
  }
  // Whether a read was refused: the walk's answers are then incomplete.
  [[nodiscard]] bool exhausted() const { return exhausted_; }

  // A tag walk over the text (see rdfxml::TagWalker) whose xml:base values
  // are read through `read`; it refers to this IdWalk.
  [[nodiscard]] rdfxml::TagWalker walker() {
    return rdfxml::TagWalker(std::string(kStandInDocumentBase),
                             [this](std::string_view v) { return read(v).value_or(std::string(v)); });
  }

  // Calls `visit(walker, markup, role)` for every start and empty tag.
  template <class Visit>
  void walk(Visit&& visit) {
    rdfxml::TagWalker tags = walker();
    tags.walk(text_, [&](const Markup& m, ElementRole role) { visit(tags, m, role); });
  }

 private:
  std::string_view text_;
  rdfxml::EntityTable entities_;
  rdfxml::EntityMeasures measures_;
  uint64_t budget_;
  bool exhausted_ = false;
};

// The IRI rdf:ID="id" names under `base`: the base without its fragment,
// "#" and the id.
std::string rdf_id_iri(std::string_view base, std::string_view id) {
  return fmt::format("{}#{}", base.substr(0, base.find('#')), id);
}

// The rdf:ID attribute of a tag; most tags have none, and are passed over
// without reading their attributes.
std::optional<Attribute> rdf_id_attribute(std::string_view tag) {
  if (rdfxml::find_text(tag, 0, "rdf:ID") == std::string_view::npos) return std::nullopt;
  return rdfxml::find_attribute(tag, "rdf:ID");
}

}  // namespace

std::string dedupe_rdf_xml_ids(std::string text) {
  bool invalid = false;
  return dedupe_rdf_xml_ids(std::move(text), invalid, kDefaultMaxReadBytes);
}

namespace rdfxml {

RdfIdCensus census_rdf_ids(std::string_view text) {
  RdfIdCensus out;
  constexpr std::string_view kName = "rdf:ID";
  size_t at = find_text(text, 0, kName);
  if (at == std::string_view::npos) return out;
  // Values are told apart by their hashes: two values with the same hash
  // count as repeated, which costs the walk a look at them and nothing else.
  // They are gathered first, so that the set is made at its size once.
  std::vector<std::pair<uint64_t, absl::string_view>> values;
  const absl::Hash<absl::string_view> hash;
  for (; at != std::string_view::npos; at = find_text(text, at + 1, kName)) {
    size_t i = at + kName.size();
    while (i < text.size() && is_xml_space(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') continue;
    ++i;
    while (i < text.size() && is_xml_space(text[i])) ++i;
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) continue;
    const size_t close = text.find(text[i], i + 1);
    if (close == std::string_view::npos) break;
    const std::string_view value = text.substr(i + 1, close - i - 1);
    values.emplace_back(hash(map_key(value)), map_key(value));
    out.invalid = out.invalid || !is_valid_rdf_id(value);
  }
  absl::flat_hash_set<uint64_t> hashes;
  hashes.reserve(values.size());
  for (const auto& [h, value] : values) {
    if (!hashes.insert(h).second) out.repeated_values.insert(value);
  }
  out.repeated = !out.repeated_values.empty();
  return out;
}

}  // namespace rdfxml

namespace {

// The rdf:ID values of a document met again under the same base, found
// one markup at a time in document order: for each, the edit
// `dedupe_rdf_xml_ids` makes to its tag. Only the values the census saw
// more than once can repeat; the others are passed over without being
// stored. Refers to the text, the census and to itself (its tag walk reads
// through its IdWalk), so it stays where it is made.
class RepeatedIds {
 public:
  RepeatedIds(std::string_view text, const rdfxml::RdfIdCensus& census, uint64_t max_read_bytes)
      : text_(text), census_(census), ids_(text, max_read_bytes), walker_(ids_.walker()) {}
  RepeatedIds(const RepeatedIds&) = delete;
  RepeatedIds& operator=(const RepeatedIds&) = delete;

  // The next markup of the text (positions in the whole text): the edit a
  // repeat makes to a start or empty tag goes to `edits`.
  void visit(const Markup& m, std::vector<Edit>& edits) {
    switch (m.kind) {
      case rdfxml::MarkupKind::EndTag: walker_.leave(); break;
      case rdfxml::MarkupKind::StartTag:
      case rdfxml::MarkupKind::EmptyTag:
        visit_tag(m, walker_.enter(markup_text(text_, m)), edits);
        if (m.kind == rdfxml::MarkupKind::EmptyTag) walker_.leave();
        break;
      case rdfxml::MarkupKind::Comment:
      case rdfxml::MarkupKind::CData:
      case rdfxml::MarkupKind::Instruction:
      case rdfxml::MarkupKind::Declaration: break;
    }
  }
  // Whether an rdf:ID value met first is not a name.
  [[nodiscard]] bool invalid_seen() const { return invalid_seen_; }
  // Whether an xml:base could not be read: the bases, and so the repeats,
  // are then unknown.
  [[nodiscard]] bool exhausted() const { return ids_.exhausted(); }

 private:
  void visit_tag(const Markup& m, ElementRole role, std::vector<Edit>& edits) {
    if (role != ElementRole::Node && role != ElementRole::Property) return;
    const auto id = rdf_id_attribute(markup_text(text_, m));
    if (!id) return;
    if (!census_.repeated_values.contains(rdfxml::map_key(id->value))) {
      invalid_seen_ = invalid_seen_ || !is_valid_rdf_id(id->value);
      return;
    }
    // Most ids stand under the base of the one before.
    if (!last_base_id_ || walker_.base() != last_base_) {
      last_base_ = walker_.base();
      const std::string_view b = last_base_;
      last_base_id_ = bases_.try_emplace(std::string(b.substr(0, b.find('#'))), bases_.size()).first->second;
    }
    if (seen_.insert({*last_base_id_, rdfxml::map_key(id->value)}).second) {
      invalid_seen_ = invalid_seen_ || !is_valid_rdf_id(id->value);
      return;
    }
    const size_t name_at = m.begin + id->name_begin;
    const size_t value_end = m.begin + id->value_begin + id->value.size() + 1;
    if (role == ElementRole::Node) {
      edits.push_back({name_at, value_end, std::string("rdf:about=") + id->quote + "#" + std::string(id->value) + id->quote});
    } else {
      size_t from = name_at;
      while (from > m.begin && rdfxml::is_xml_space(text_[from - 1])) --from;
      edits.push_back({from, value_end, ""});
    }
  }

  std::string_view text_;
  const rdfxml::RdfIdCensus& census_;
  IdWalk ids_;
  rdfxml::TagWalker walker_;
  // The IRIs named so far, as (base, value): bases without their fragment,
  // each stored once; values are views into the text.
  absl::flat_hash_map<std::string, uint32_t> bases_;
  absl::flat_hash_set<std::pair<uint32_t, absl::string_view>> seen_;
  std::string last_base_;
  std::optional<uint32_t> last_base_id_;
  bool invalid_seen_ = false;
};

}  // namespace

namespace rdfxml {

std::optional<std::vector<Edit>> repeated_rdf_id_edits(std::string_view text, bool& invalid_seen,
                                                       uint64_t max_expanded_bytes) {
  return repeated_rdf_id_edits(text, census_rdf_ids(text), invalid_seen, max_expanded_bytes);
}

std::optional<std::vector<Edit>> repeated_rdf_id_edits(std::string_view text, const RdfIdCensus& census,
                                                       bool& invalid_seen, uint64_t max_expanded_bytes) {
  invalid_seen = false;
  // Most documents repeat no value: they need no walk at all.
  if (!census.repeated) {
    invalid_seen = census.invalid;
    return std::vector<Edit>();
  }
  std::vector<Edit> edits;
  RepeatedIds repeats(text, census, max_expanded_bytes);
  for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) repeats.visit(*m, edits);
  invalid_seen = repeats.invalid_seen();
  // An xml:base that could not be read leaves the bases unknown: the
  // repeats stay for the reader to refuse.
  if (repeats.exhausted()) return std::nullopt;
  return edits;
}

std::optional<DedupedExpansion> expand_xml_entities_deduping_ids(std::string& text, const RdfIdCensus& census,
                                                                 std::vector<Edit> edits, uint64_t max_expanded_bytes) {
  if (!census.repeated || census.invalid) return std::nullopt;
  RepeatedIds repeats(text, census, max_expanded_bytes);
  auto expanded = expand_xml_entities_editing_tags(
      text, edits, [&](const Markup& m) { repeats.visit(m, edits); }, max_expanded_bytes);
  if (!expanded || repeats.exhausted()) return std::nullopt;
  return DedupedExpansion{.deduped_size = edited_size(text.size(), edits), .text = std::move(*expanded)};
}

}  // namespace rdfxml

std::string dedupe_rdf_xml_ids(std::string text, bool& invalid_seen, uint64_t max_expanded_bytes) {
  const auto edits = rdfxml::repeated_rdf_id_edits(text, invalid_seen, max_expanded_bytes);
  if (!edits) return text;
  return rdfxml::apply_edits(std::move(text), *edits);
}

std::string normalize_invalid_rdf_ids(std::string text) {
  return normalize_invalid_rdf_ids(std::move(text), kDefaultMaxReadBytes);
}

std::string normalize_invalid_rdf_ids(std::string text, uint64_t max_expanded_bytes) {
  if (text.find("rdf:ID") == std::string::npos) return text;
  IdWalk ids_walk(text, max_expanded_bytes);
  absl::flat_hash_set<std::string> ids;
  absl::flat_hash_map<std::string, std::string> invalid_iris;  // IRI -> the rdf:ID value naming it
  ids_walk.walk([&](const rdfxml::TagWalker& walker, const Markup& m, ElementRole role) {
    if (role != ElementRole::Node && role != ElementRole::Property) return;
    const auto id = rdf_id_attribute(markup_text(text, m));
    if (!id) return;
    ids.insert(std::string(id->value));
    if (!is_valid_rdf_id(id->value)) invalid_iris.emplace(rdf_id_iri(walker.base(), id->value), std::string(id->value));
  });
  if (invalid_iris.empty() || ids_walk.exhausted()) return text;
  std::vector<std::string> invalid;
  for (const auto& [iri, value] : invalid_iris) invalid.push_back(value);
  std::ranges::sort(invalid);  // new names do not depend on hash order
  invalid.erase(std::unique(invalid.begin(), invalid.end()), invalid.end());
  absl::flat_hash_map<std::string, std::string> renames;
  absl::flat_hash_set<std::string> taken = ids;
  for (const std::string& id : invalid) {
    std::string fresh = valid_rdf_id_for(id);
    while (taken.contains(fresh)) fresh.push_back('_');
    taken.insert(fresh);
    renames.emplace(id, std::move(fresh));
  }

  std::vector<Edit> edits;
  ids_walk.walk([&](const rdfxml::TagWalker& walker, const Markup& m, ElementRole role) {
    if (role == ElementRole::Opaque) return;
    const std::string_view tag = markup_text(text, m);
    size_t pos = 0;
    while (const auto attr = rdfxml::next_attribute(tag, pos)) {
      const Attribute& a = *attr;
      std::optional<std::string> with;
      if (a.name == "rdf:ID") {
        if (const auto it = renames.find(rdfxml::map_key(a.value)); it != renames.end()) with = it->second;
      } else if (a.name == "rdf:about" || a.name == "rdf:resource" || a.name == "rdf:datatype") {
        const bool may_name_id = a.value.find_first_of("#&") != std::string_view::npos;
        const auto value = may_name_id ? ids_walk.read(a.value) : std::nullopt;
        if (!value) continue;
        const auto hit = invalid_iris.find(rdfxml::resolve_iri_reference(walker.base(), *value));
        if (hit == invalid_iris.end()) continue;
        with = fmt::format("{}#{}", std::string_view(*value).substr(0, value->rfind('#')),
                           renames.find(hit->second)->second);
      }
      if (!with) continue;
      const size_t at = m.begin + a.value_begin;
      edits.push_back({at, at + a.value.size(), std::move(*with)});
    }
  });
  // A reference that could not be read might name a renamed id: renaming
  // the rest would leave it pointing elsewhere. The invalid values stay for
  // the reader to refuse.
  if (ids_walk.exhausted()) return text;
  return rdfxml::apply_edits(std::move(text), edits);
}

}  // namespace trelvanic_parser
