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

#include "absl/container/flat_hash_map.h"
#include "absl/container/flat_hash_set.h"
#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/entities.h"
#include "parser/rdfxml_passes/iri.h"
#include "parser/rdfxml_passes/scan.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser {
namespace {

using rdfxml::Attribute;
using rdfxml::Edit;
using rdfxml::ElementRole;
using rdfxml::Markup;

// Longest attribute value we expand through the document's entities to see
// what it names.
constexpr uint64_t kMaxExpandedReference = 65'536;


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

// Calls `visit(markup, role)` for every start and empty tag, in order.
template <class Visit>
void walk_tags(std::string_view text, Visit&& visit) {
  rdfxml::TagWalker walker;
  walker.walk(text, visit);
}

// The rdf:ID attribute of a tag; most tags have none, and are passed over
// without reading their attributes.
std::optional<Attribute> rdf_id_attribute(std::string_view tag) {
  if (tag.find("rdf:ID") == std::string_view::npos) return std::nullopt;
  return rdfxml::find_attribute(tag, "rdf:ID");
}

}  // namespace

std::string dedupe_rdf_xml_ids(std::string text) {
  bool invalid = false;
  return dedupe_rdf_xml_ids(std::move(text), invalid);
}

std::string dedupe_rdf_xml_ids(std::string text, bool& invalid_seen) {
  invalid_seen = false;
  if (text.find("rdf:ID") == std::string::npos) return text;
  absl::flat_hash_set<std::string> seen;
  std::vector<Edit> edits;
  walk_tags(text, [&](const Markup& m, ElementRole role) {
    if (role != ElementRole::Node && role != ElementRole::Property) return;
    const auto id = rdf_id_attribute(markup_text(text, m));
    if (!id) return;
    if (seen.insert(std::string(id->value)).second) {
      invalid_seen = invalid_seen || !is_valid_rdf_id(id->value);
      return;
    }
    const size_t name_at = m.begin + id->name_begin;
    const size_t value_end = m.begin + id->value_begin + id->value.size() + 1;
    if (role == ElementRole::Node) {
      edits.push_back({name_at, value_end, std::string("rdf:about=") + id->quote + "#" + std::string(id->value) + id->quote});
    } else {
      size_t from = name_at;
      while (from > m.begin && rdfxml::is_xml_space(text[from - 1])) --from;
      edits.push_back({from, value_end, ""});
    }
  });
  return rdfxml::apply_edits(std::move(text), edits);
}

std::string normalize_invalid_rdf_ids(std::string text) {
  if (text.find("rdf:ID") == std::string::npos) return text;
  absl::flat_hash_set<std::string> ids;
  walk_tags(text, [&](const Markup& m, ElementRole role) {
    if (role != ElementRole::Node && role != ElementRole::Property) return;
    if (const auto id = rdf_id_attribute(markup_text(text, m))) ids.insert(std::string(id->value));
  });
  absl::flat_hash_map<std::string, std::string> renames;
  absl::flat_hash_set<std::string> taken = ids;
  std::vector<std::string> invalid;
  for (const std::string& id : ids) {
    if (!is_valid_rdf_id(id)) invalid.push_back(id);
  }
  if (invalid.empty()) return text;
  std::ranges::sort(invalid);  // new names do not depend on hash order
  for (const std::string& id : invalid) {
    std::string fresh = valid_rdf_id_for(id);
    while (taken.contains(fresh)) fresh.push_back('_');
    taken.insert(fresh);
    renames.emplace(id, std::move(fresh));
  }

  // A reference names a renamed id when it is "#id", or when it resolves to
  // the document base with fragment "id". Values written with entities are
  // read through them.
  const std::optional<std::string> doc = [&]() -> std::optional<std::string> {
    const auto base = rdfxml::root_xml_base(text);
    if (!base) return std::nullopt;
    return std::string(base->substr(0, base->find('#')));
  }();
  const rdfxml::EntityTable entities = rdfxml::read_entity_declarations(text);
  const rdfxml::EntityMeasures measures = rdfxml::measure_entities(entities);
  const auto renamed_reference = [&](std::string_view value) -> std::optional<std::string> {
    std::string expanded;
    if (value.find('&') != std::string_view::npos && !entities.empty()) {
      auto e = rdfxml::expand_entity_text(value, entities, measures, kMaxExpandedReference);
      if (!e) return std::nullopt;
      expanded = std::move(*e);
      value = expanded;
    }
    const size_t hash = value.find('#');
    if (hash == std::string_view::npos) return std::nullopt;
    const auto it = renames.find(rdfxml::map_key(value.substr(hash + 1)));
    if (it == renames.end()) return std::nullopt;
    const std::string_view before = value.substr(0, hash);
    if (!before.empty() && (!doc || rdfxml::resolve_iri_reference(*doc, before) != *doc)) return std::nullopt;
    return std::string(before) + "#" + it->second;
  };

  std::vector<Edit> edits;
  walk_tags(text, [&](const Markup& m, ElementRole role) {
    if (role == ElementRole::Opaque) return;
    const std::string_view tag = markup_text(text, m);
    size_t pos = 0;
    while (const auto attr = rdfxml::next_attribute(tag, pos)) {
      const Attribute& a = *attr;
      std::optional<std::string> with;
      if (a.name == "rdf:ID") {
        if (const auto it = renames.find(rdfxml::map_key(a.value)); it != renames.end()) with = it->second;
      } else if (a.name == "rdf:about" || a.name == "rdf:resource" || a.name == "rdf:datatype") {
        with = renamed_reference(a.value);
      }
      if (!with) continue;
      const size_t at = m.begin + a.value_begin;
      edits.push_back({at, at + a.value.size(), std::move(*with)});
    }
  });
  return rdfxml::apply_edits(std::move(text), edits);
}

}  // namespace trelvanic_parser
