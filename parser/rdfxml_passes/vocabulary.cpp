// RDFS classes written as OWL classes: an `rdfs:Class` node element, or an
// rdf:type of the rdfs:Class IRI, declares a class. The term is matched by
// its full IRI, whatever prefix writes it; the new name is written with a
// prefix bound to the OWL namespace where one is in scope, else with a
// prefix declared on the renamed element itself. (The OWL 1.1 drafts'
// vocabulary is recovered on the triples, by the RDF/XML supplements.)
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "absl/container/flat_hash_set.h"

#include "parser/rdf_preprocess.h"
#include "parser/rdfxml_passes/walk.h"

namespace trelvanic_parser {
namespace {

using rdfxml::ElementRole;
using rdfxml::Markup;
using rdfxml::MarkupKind;

constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";
constexpr std::string_view kRdfs = "http://www.w3.org/2000/01/rdf-schema#";

constexpr std::string_view kRdfsClassIri = "http://www.w3.org/2000/01/rdf-schema#Class";
constexpr std::string_view kOwlClassIri = "http://www.w3.org/2002/07/owl#Class";

// The qualified name of `local` in namespace `ns` at this point of the
// walk, and the declaration the element must carry for it ("" when a
// binding in scope serves).
std::pair<std::string, std::string> qualified(const rdfxml::TagWalker& walker, std::string_view ns,
                                              std::string_view local, std::string_view fallback) {
  if (const auto prefix = walker.prefix_for(ns, true)) {
    return {prefix->empty() ? std::string(local) : fmt::format("{}:{}", *prefix, local), ""};
  }
  std::string prefix(fallback);
  for (int n = 1; walker.namespace_of(prefix); ++n) prefix = fmt::format("{}{}", fallback, n);
  return {fmt::format("{}:{}", prefix, local), fmt::format(" xmlns:{}=\"{}\"", prefix, ns)};
}

// Whether the text can hold rdfs:Class: its IRI occurs, "Class" follows a
// prefix that some declaration binds to the RDFS namespace, or the RDFS
// namespace is a default one. One search of the text, for the namespace
// and for ":Class" at once; names are read backwards a bounded way, so a
// document full of either costs one look at each.
bool may_hold_rdfs_class(std::string_view text) {
  constexpr std::string_view kClass = ":Class";
  constexpr size_t kLongestName = 256;  // of an `xmlns:P` attribute name
  absl::flat_hash_set<std::string_view> prefixes;      // bound to RDFS
  absl::flat_hash_set<std::string_view> class_prefixes;  // P of each "<P:Class"
  // The last two, checked before the set: start and end tags alternate.
  // ("<" is no prefix).
  std::array<std::string_view, 2> recent_class_prefixes = {"<", "<"};
  bool default_namespace = false;
  for (size_t at = rdfxml::find_either_text(text, 0, kRdfs, kClass); at != std::string_view::npos;
       at = rdfxml::find_either_text(text, at + 1, kRdfs, kClass)) {
    size_t i = at;
    if (text.substr(at).starts_with(kClass)) {
      while (i > 0 && at - i < kLongestName && text[i - 1] != '<' && !rdfxml::is_xml_space(text[i - 1])) --i;
      if (i == 0 || text[i - 1] != '<') continue;
      const std::string_view prefix = text.substr(i, at - i);
      if (prefix == recent_class_prefixes[0] || prefix == recent_class_prefixes[1]) continue;
      class_prefixes.insert(prefix);
      recent_class_prefixes = {prefix, recent_class_prefixes[0]};
      continue;
    }
    if (text.substr(at).starts_with(kRdfsClassIri)) return true;
    // An attribute `xmlns:P="` (or `xmlns="`) just before the namespace.
    if (i == 0 || (text[i - 1] != '"' && text[i - 1] != '\'')) continue;
    --i;
    while (i > 0 && rdfxml::is_xml_space(text[i - 1])) --i;
    if (i == 0 || text[i - 1] != '=') continue;
    --i;
    while (i > 0 && rdfxml::is_xml_space(text[i - 1])) --i;
    const size_t name_end = i;
    while (i > 0 && name_end - i < kLongestName && !rdfxml::is_xml_space(text[i - 1]) && text[i - 1] != '<') --i;
    const std::string_view name = text.substr(i, name_end - i);
    default_namespace = default_namespace || name == "xmlns";
    if (name.starts_with("xmlns:")) prefixes.insert(name.substr(6));
  }
  if (default_namespace) return true;
  return std::ranges::any_of(prefixes, [&](std::string_view p) { return class_prefixes.contains(p); });
}

}  // namespace

std::string normalize_rdfs_class_elements(std::string text) {
  if (!may_hold_rdfs_class(text)) return text;
  std::vector<rdfxml::Edit> edits;
  // The new name of each open element (empty when it keeps its own).
  std::vector<std::string> renamed;
  rdfxml::TagWalker walker;
  walker.walk(
      text,
      [&](const Markup& m, ElementRole role) {
        const std::string_view tag = std::string_view(text).substr(m.begin, m.end - m.begin);
        const auto name = rdfxml::element_name(tag);
        if (role == ElementRole::Property && name && walker.is_rdf_name(*name, "type")) {
          size_t pos = 0;
          while (const auto a = rdfxml::next_attribute(tag, pos)) {
            if (!walker.is_rdf_name(a->name, "resource") || a->value != kRdfsClassIri) continue;
            const size_t at = m.begin + a->value_begin;
            edits.push_back({at, at + a->value.size(), std::string(kOwlClassIri)});
          }
        }
        if (role != ElementRole::Node || !name || walker.expanded_name(*name) != kRdfsClassIri) {
          renamed.emplace_back();
          return;
        }
        auto [qname, declaration] = qualified(walker, kOwl, "Class", "owl");
        const size_t name_at = m.begin + 1;
        edits.push_back({name_at, name_at + name->size(), qname + declaration});
        renamed.push_back(m.kind == MarkupKind::EmptyTag ? std::string() : std::move(qname));
      },
      [&](const Markup& m) {
        if (renamed.empty()) return;
        std::string name = std::move(renamed.back());
        renamed.pop_back();
        if (name.empty() || m.kind != MarkupKind::EndTag) return;
        edits.push_back({m.begin, m.end, fmt::format("</{}>", name)});
      });
  return rdfxml::apply_edits(std::move(text), edits);
}

}  // namespace trelvanic_parser
