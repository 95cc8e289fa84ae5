// A walk over the tags of an RDF/XML document that knows, for each start
// or empty tag, what RDF/XML's striping makes of it (node element, property
// element, or markup inside a literal) and which namespace prefixes are in
// scope there; and edits of a text applied in one copy.
//
//   TagWalker walker;
//   walker.walk(text, [&](const Markup& m, ElementRole role) {
//     auto iri = walker.expanded_name(element_name_of(m));  // full IRI
//   });
//
// Passes recognise vocabulary by the expanded IRI of an element, never by
// the prefix it is written with.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "absl/container/flat_hash_map.h"
#include "parser/rdfxml_passes/scan.h"

namespace trelvanic_parser::rdfxml {

enum class ElementRole : uint8_t { Root, Node, Property, Opaque };

class TagWalker {
 public:
  TagWalker() = default;
  // A walker that also keeps the base IRI in scope (`base()`): the
  // document base, then every xml:base resolved against the one around it.
  // `read_value` gives the text an xml:base value stands for (its entity
  // references expanded, say); without one the value is taken as written.
  explicit TagWalker(std::string document_base, std::function<std::string(std::string_view)> read_value = {})
      : bases_{std::move(document_base)}, read_value_(std::move(read_value)) {}

  // Calls `visit(markup, role)` for every start and empty tag, in document
  // order. During the call the tag's own namespace declarations are in
  // scope. The open elements are an explicit stack.
  template <class Visit>
  void walk(std::string_view text, Visit&& visit) {
    walk(text, visit, [](const Markup&) {});
  }
  // The same, calling `visit_end(markup)` for every end tag (and after
  // `visit` for an empty tag) while its element is still in scope.
  template <class Visit, class VisitEnd>
  void walk(std::string_view text, Visit&& visit, VisitEnd&& visit_end) {
    for (auto m = next_markup(text, 0); m; m = next_markup(text, m->end)) {
      if (m->kind == MarkupKind::EndTag) {
        visit_end(*m);
        leave();
      } else if (m->kind == MarkupKind::StartTag || m->kind == MarkupKind::EmptyTag) {
        const ElementRole role = enter(text.substr(m->begin, m->end - m->begin));
        visit(*m, role);
        if (m->kind == MarkupKind::EmptyTag) {
          visit_end(*m);
          leave();
        }
      }
    }
  }

  // A walk the caller drives, one markup at a time in document order (as
  // `walk` does): `enter` a start or empty tag, which gives its role and
  // puts its declarations in scope, and `leave` at its end tag (an empty
  // tag right after its visit).
  ElementRole enter(std::string_view tag);
  void leave();

  // The namespace IRI bound to `prefix` ("" for the default namespace).
  [[nodiscard]] std::optional<std::string_view> namespace_of(std::string_view prefix) const;
  // The full IRI of a qualified element name; nothing when its prefix is
  // not bound.
  [[nodiscard]] std::optional<std::string> expanded_name(std::string_view qname) const;
  // A prefix that names `ns` here, or nothing when no binding in scope
  // does. With `allow_default` the default namespace ("") may serve (for
  // element names; attribute names need a prefix).
  [[nodiscard]] std::optional<std::string_view> prefix_for(std::string_view ns, bool allow_default) const;
  // Whether `qname` names the RDF vocabulary term `local`.
  [[nodiscard]] bool is_rdf_name(std::string_view qname, std::string_view local) const;
  // The base IRI in scope (the tag being visited included); empty for a
  // walker made without a document base.
  [[nodiscard]] const std::string& base() const { return bases_.back(); }
  // Number of open elements (the tag being visited included).
  [[nodiscard]] size_t depth() const { return frames_.size(); }

 private:
  enum class Children : uint8_t { Nodes, Properties, Opaque };
  struct Frame {
    Children children;
    size_t bindings;  // size of bindings_ before this element's declarations
    size_t bases;     // size of bases_ before this element's xml:base
  };
  struct Binding {
    std::string_view prefix, iri;
    size_t shadowed;  // the binding of the same prefix it hides, or npos
  };

  std::vector<Frame> frames_;
  void bind(std::string_view prefix, std::string_view iri);

  std::vector<Binding> bindings_;
  // The innermost binding of each prefix in scope, by its index in bindings_.
  absl::flat_hash_map<std::string_view, size_t> current_;
  std::vector<std::string> bases_{std::string()};
  std::function<std::string(std::string_view)> read_value_;
};

// Replace [begin, end) of a text by `with`; edits are sorted and disjoint.
struct Edit {
  size_t begin, end;
  std::string with;
};

// The text with the edits made, in one copy (the text itself when there
// are none).
[[nodiscard]] std::string apply_edits(std::string text, const std::vector<Edit>& edits);
// The edit `normalize_multiline_rdf_root_tag` makes: the root tag put on
// one line, never longer than it was, its quoted values kept; nothing when
// the text has no root tag over several lines.
[[nodiscard]] std::optional<Edit> root_tag_edit(std::string_view text);
// The length of a text of `length` bytes with the edits made.
[[nodiscard]] size_t edited_size(size_t length, const std::vector<Edit>& edits);

}  // namespace trelvanic_parser::rdfxml
