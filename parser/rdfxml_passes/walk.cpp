#include "parser/rdfxml_passes/walk.h"

#include <fmt/format.h>

#include "parser/rdfxml_passes/iri.h"

namespace trelvanic_parser::rdfxml {
namespace {

constexpr std::string_view kRdfNamespace = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";

}  // namespace

// An RDF name written with a prefix bound to the RDF namespace, or with
// "rdf:" left unbound (a fragment of a document, which no reader accepts
// as it stands, is still read the way it is meant).
bool TagWalker::is_rdf_name(std::string_view qname, std::string_view local) const {
  const size_t colon = qname.find(':');
  if (colon == std::string_view::npos || qname.substr(colon + 1) != local) return false;
  const std::string_view prefix = qname.substr(0, colon);
  const auto ns = namespace_of(prefix);
  return ns ? *ns == kRdfNamespace : prefix == "rdf";
}

namespace {

}  // namespace

std::optional<std::string_view> TagWalker::namespace_of(std::string_view prefix) const {
  const auto it = current_.find(prefix);
  if (it == current_.end()) return std::nullopt;
  return bindings_[it->second].iri;
}

void TagWalker::bind(std::string_view prefix, std::string_view iri) {
  auto [it, fresh] = current_.try_emplace(prefix, bindings_.size());
  const size_t shadowed = fresh ? std::string_view::npos : it->second;
  it->second = bindings_.size();
  bindings_.push_back({.prefix = prefix, .iri = iri, .shadowed = shadowed});
}

std::optional<std::string_view> TagWalker::prefix_for(std::string_view ns, bool allow_default) const {
  for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
    if (it->prefix.empty() && !allow_default) continue;
    if (it->iri == ns && namespace_of(it->prefix) == ns) return it->prefix;
  }
  return std::nullopt;
}

std::optional<std::string> TagWalker::expanded_name(std::string_view qname) const {
  const size_t colon = qname.find(':');
  const std::string_view prefix = colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
  const std::string_view local = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
  const auto ns = namespace_of(prefix);
  if (!ns || ns->empty()) return std::nullopt;
  return fmt::format("{}{}", *ns, local);
}

ElementRole TagWalker::enter(std::string_view tag) {
  const Children parent = frames_.empty() ? Children::Nodes : frames_.back().children;
  frames_.push_back({.children = Children::Opaque, .bindings = bindings_.size(), .bases = bases_.size()});
  // Both namespace declarations and xml:base begin with "xml": a tag
  // without them (most tags) is passed over with one search.
  const size_t xml = find_text(tag, 0, "xml");
  if (xml != std::string_view::npos && !bases_.front().empty() &&
      find_text(tag, xml, "xml:base") != std::string_view::npos) {
    if (const auto value = extract_attribute(tag, "xml:base")) {
      std::string next = resolve_iri_reference(bases_.back(), read_value_ ? read_value_(*value) : std::string(*value));
      bases_.push_back(std::move(next));
    }
  }
  if (xml != std::string_view::npos && find_text(tag, xml, "xmlns") != std::string_view::npos) {
    size_t pos = 0;
    while (const auto a = next_attribute(tag, pos)) {
      if (a->name == "xmlns") {
        bind({}, a->value);
      } else if (a->name.starts_with("xmlns:")) {
        bind(a->name.substr(6), a->value);
      }
    }
  }
  if (parent == Children::Opaque) return ElementRole::Opaque;
  if (frames_.size() == 1 && is_rdf_name(element_name(tag).value_or(""), "RDF")) {
    frames_.back().children = Children::Nodes;
    return ElementRole::Root;
  }
  if (parent == Children::Nodes) {
    frames_.back().children = Children::Properties;
    return ElementRole::Node;
  }
  std::optional<std::string_view> parse_type;
  if (find_text(tag, 0, "parseType") != std::string_view::npos) {
    size_t pos = 0;
    while (const auto a = next_attribute(tag, pos)) {
      if (is_rdf_name(a->name, "parseType")) {
        parse_type = a->value;
      }
    }
  }
  frames_.back().children = !parse_type                   ? Children::Nodes
                            : *parse_type == "Resource"   ? Children::Properties
                            : *parse_type == "Collection" ? Children::Nodes
                                                          : Children::Opaque;
  return ElementRole::Property;
}

void TagWalker::leave() {
  if (frames_.empty()) return;
  while (bindings_.size() > frames_.back().bindings) {
    const Binding& b = bindings_.back();
    const std::string_view key = b.prefix;
    if (b.shadowed == std::string_view::npos) {
      current_.erase(key);
    } else {
      current_[key] = b.shadowed;
    }
    bindings_.pop_back();
  }
  bases_.resize(frames_.back().bases);
  frames_.pop_back();
}

std::string apply_edits(std::string text, const std::vector<Edit>& edits) {
  if (edits.empty()) return text;
  size_t grown = text.size();
  for (const Edit& e : edits) grown += e.with.size();
  std::string out;
  out.reserve(grown);
  size_t at = 0;
  for (const Edit& e : edits) {
    out.append(text, at, e.begin - at);
    out.append(e.with);
    at = e.end;
  }
  out.append(text, at);
  return out;
}

size_t edited_size(size_t length, const std::vector<Edit>& edits) {
  for (const Edit& e : edits) length = length - (e.end - e.begin) + e.with.size();
  return length;
}

}  // namespace trelvanic_parser::rdfxml
