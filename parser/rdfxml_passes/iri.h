// IRIs in RDF/XML text: the document base, reference resolution and the
// IRIs made for nodes without one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trelvanic_parser::rdfxml {

// The base used when the root tag has no `xml:base`.
inline constexpr std::string_view kDefaultDocumentBase = "urn:trelvanic:anon:";

// The raw `xml:base` value of the root `rdf:RDF` tag, if any.
[[nodiscard]] std::optional<std::string_view> root_xml_base(std::string_view text);

// The document base: the root `xml:base` without trailing "#" and then
// trailing "/", or `kDefaultDocumentBase`.
[[nodiscard]] std::string parse_xml_base(std::string_view text);

// Resolves an attribute value against a document base from
// `parse_xml_base`:
//   - a value with a scheme ("http://...", "urn:x", "file:...") is kept;
//   - "#f" gives base + "#f" (so does every rdf:ID);
//   - "path#f" gives the base up to its last "/", then "/path#f";
//   - a plain relative name becomes a segment under the base: base + "/" +
//     name (no "/" doubled);
//   - the other reference forms ("/abs", "//host/p", "?q", "../p", "./p")
//     resolve by RFC 3986.
[[nodiscard]] std::string resolve_relative_iri(std::string_view value, std::string_view base);

// RFC 3986 section 5.2 resolution of `reference` against the absolute `base`.
[[nodiscard]] std::string resolve_iri_reference(std::string_view base, std::string_view reference);

// base + "#_" + id.
[[nodiscard]] std::string blank_node_iri(std::string_view base, std::string_view id);

}  // namespace trelvanic_parser::rdfxml
