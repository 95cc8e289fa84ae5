// Older class and property vocabulary written as its OWL 2 counterpart.
//
// Each rename stands for the same statement: an `rdfs:Class` node is a
// class, the OWL 1.1 drafts' antisymmetric properties have the semantics
// OWL 2 calls asymmetric, `owl:disjointObjectProperties` and
// `owl:disjointDataProperties` are `owl:propertyDisjointWith`,
// `owl:dataComplementOf` is `owl:datatypeComplementOf`, and an
// `owl:SelfRestriction` on p is the restriction with `owl:hasSelf true` on
// p. Terms are matched by their full IRI, whatever prefix writes them; the
// new name is written with a prefix bound to its namespace where one is in
// scope, else with a prefix declared on the renamed element itself.
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
constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kXsdBoolean = "http://www.w3.org/2001/XMLSchema#boolean";

struct Rename {
  ElementRole role;
  std::string_view from_ns, from_local, to_local;  // the new name is in the OWL namespace
};

constexpr std::array<Rename, 6> kRenames = {{
    {ElementRole::Node, kRdfs, "Class", "Class"},
    {ElementRole::Node, kOwl, "AntisymmetricProperty", "AsymmetricProperty"},
    {ElementRole::Node, kOwl, "SelfRestriction", "Restriction"},
    {ElementRole::Property, kOwl, "disjointObjectProperties", "propertyDisjointWith"},
    {ElementRole::Property, kOwl, "disjointDataProperties", "propertyDisjointWith"},
    {ElementRole::Property, kOwl, "dataComplementOf", "datatypeComplementOf"},
}};

// The same terms as rdf:type objects written by full IRI.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kTypeRenames = {{
    {"http://www.w3.org/2000/01/rdf-schema#Class", "http://www.w3.org/2002/07/owl#Class"},
    {"http://www.w3.org/2002/07/owl#AntisymmetricProperty", "http://www.w3.org/2002/07/owl#AsymmetricProperty"},
}};

std::optional<Rename> rename_for(const rdfxml::TagWalker& walker, std::string_view qname, ElementRole role) {
  const size_t colon = qname.find(':');
  const std::string_view prefix = colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
  const std::string_view local = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
  const auto ns = walker.namespace_of(prefix);
  if (!ns) return std::nullopt;
  for (const Rename& r : kRenames) {
    if (r.role == role && r.from_ns == *ns && r.from_local == local) return r;
  }
  return std::nullopt;
}

// The qualified name of `local` in namespace `ns` at this point of the
// walk, and the declaration the element must carry for it ("" when a
// binding in scope serves).
std::pair<std::string, std::string> qualified(const rdfxml::TagWalker& walker, std::string_view ns,
                                              std::string_view local, std::string_view fallback,
                                              bool attribute = false) {
  if (const auto prefix = walker.prefix_for(ns, !attribute)) {
    return {prefix->empty() ? std::string(local) : fmt::format("{}:{}", *prefix, local), ""};
  }
  std::string prefix(fallback);
  for (int n = 1; walker.namespace_of(prefix); ++n) prefix = fmt::format("{}{}", fallback, n);
  return {fmt::format("{}:{}", prefix, local), fmt::format(" xmlns:{}=\"{}\"", prefix, ns)};
}

// Whether the text can hold any of the renamed terms: their local names
// occur, or (for rdfs:Class) "Class" follows a prefix that some
// declaration binds to the RDFS namespace, or the RDFS namespace is a
// default one.
bool may_hold_old_vocabulary(std::string_view text) {
  for (const Rename& r : kRenames) {
    if (r.from_ns != kRdfs && text.find(r.from_local) != std::string_view::npos) return true;
  }
  for (const auto& [from, to] : kTypeRenames) {
    if (text.find(from) != std::string_view::npos) return true;
  }
  absl::flat_hash_set<std::string_view> checked;
  for (size_t at = text.find(kRdfs); at != std::string_view::npos; at = text.find(kRdfs, at + 1)) {
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
    if (name == "xmlns") return true;
    // Each prefix is looked for once, however often it is declared.
    if (name.starts_with("xmlns:") && checked.insert(name.substr(6)).second &&
        text.find(fmt::format("<{}:Class", name.substr(6))) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string normalize_rdfs_class_elements(std::string text) {
  if (!may_hold_old_vocabulary(text)) return text;
  std::vector<rdfxml::Edit> edits;
  // The new name of each open element (empty when it keeps its own).
  std::vector<std::string> renamed;
  rdfxml::TagWalker walker;
  walker.walk(
      text,
      [&](const Markup& m, ElementRole role) {
        const std::string_view tag = std::string_view(text).substr(m.begin, m.end - m.begin);
        const auto name = rdfxml::element_name(tag);
        const auto rename = name ? rename_for(walker, *name, role) : std::nullopt;
        if (role == ElementRole::Property && name && walker.is_rdf_name(*name, "type")) {
          size_t pos = 0;
          while (const auto a = rdfxml::next_attribute(tag, pos)) {
            if (!walker.is_rdf_name(a->name, "resource")) continue;
            for (const auto& [from, to] : kTypeRenames) {
              if (a->value != from) continue;
              const size_t at = m.begin + a->value_begin;
              edits.push_back({at, at + a->value.size(), std::string(to)});
            }
          }
        }
        if (!rename) {
          renamed.emplace_back();
          return;
        }
        auto [qname, declaration] = qualified(walker, kOwl, rename->to_local, "owl");
        const size_t name_at = m.begin + 1;
        edits.push_back({name_at, name_at + name->size(), qname + declaration});
        if (rename->from_local == "SelfRestriction") {
          const auto [rdf_qname, rdf_declaration] = qualified(walker, kRdf, "datatype", "rdf", true);
          const auto [self, self_declaration] = qualified(walker, kOwl, "hasSelf", "owl");
          std::string child = fmt::format("<{}{}{} {}=\"{}\">true</{}>", self, self_declaration,
                                          rdf_declaration, rdf_qname, kXsdBoolean, self);
          if (m.kind == MarkupKind::EmptyTag) {
            const size_t slash = m.end - 2;
            edits.push_back({slash, m.end, fmt::format(">{}</{}>", child, qname)});
          } else {
            edits.push_back({m.end, m.end, std::move(child)});
          }
        }
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
