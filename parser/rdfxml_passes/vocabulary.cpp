// RDFS classes written as OWL classes: an `rdfs:Class` node element, or an
// rdf:type of the rdfs:Class IRI, declares a class. The term is matched by
// its full IRI, whatever prefix writes it; the new name is written with a
// prefix bound to the OWL namespace where one is in scope, else with a
// prefix declared on the renamed element itself. (The OWL 1.1 drafts'
// vocabulary is recovered on the triples, by the RDF/XML supplements.)
#include <algorithm>
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
// namespace is a default one. Two searches of the text at most.
bool may_hold_rdfs_class(std::string_view text) {
  absl::flat_hash_set<std::string_view> prefixes;
  bool default_namespace = false;
  for (size_t at = rdfxml::find_text(text, 0, kRdfs); at != std::string_view::npos;
       at = rdfxml::find_text(text, at + 1, kRdfs)) {
    if (text.substr(at).starts_with(kRdfsClassIri)) return true;
    // An attribute `xmlns:P="` (or `xmlns="`) just before the namespace.
    // The name is read backwards a bounded way, so a document full of RDFS
    // IRIs costs one look per IRI.
    size_t i = at;
    if (i == 0 || (text[i - 1] != '"' && text[i - 1] != '\'')) continue;
    --i;
    while (i > 0 && rdfxml::is_xml_space(text[i - 1])) --i;
    if (i == 0 || text[i - 1] != '=') continue;
    --i;
    while (i > 0 && rdfxml::is_xml_space(text[i - 1])) --i;
    const size_t name_end = i;
    while (i > 0 && name_end - i < 256 && !rdfxml::is_xml_space(text[i - 1]) && text[i - 1] != '<') --i;
    const std::string_view name = text.substr(i, name_end - i);
    default_namespace = default_namespace || name == "xmlns";
    if (name.starts_with("xmlns:")) prefixes.insert(name.substr(6));
  }
  if (default_namespace) return true;
  if (prefixes.empty()) return false;
  if (prefixes.size() == 1) {  // the usual "rdfs"
    return rdfxml::find_text(text, 0, fmt::format("<{}:Class", *prefixes.begin())) != std::string_view::npos;
  }
  // An element "<P:Class" for one of those prefixes P: the name before each
  // ":Class" is read backwards, no further than the longest prefix.
  size_t longest = 0;
  for (const std::string_view p : prefixes) longest = std::max(longest, p.size());
  constexpr std::string_view kClass = ":Class";
  for (size_t at = rdfxml::find_text(text, 0, kClass); at != std::string_view::npos;
       at = rdfxml::find_text(text, at + 1, kClass)) {
    size_t i = at;
    while (i > 0 && at - i < longest && text[i - 1] != '<' && !rdfxml::is_xml_space(text[i - 1])) --i;
    if (i > 0 && text[i - 1] == '<' && prefixes.contains(text.substr(i, at - i))) return true;
  }
  return false;
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
