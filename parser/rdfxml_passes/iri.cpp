#include "parser/rdfxml_passes/iri.h"

#include "owl/iri_resolve.h"

#include <fmt/format.h>

#include "parser/rdfxml_passes/scan.h"

namespace trelvanic_parser::rdfxml {
namespace {

// The scheme of an IRI or reference ("http" of "http://x"), if it has one.
std::optional<std::string_view> iri_scheme(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
  const auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!alpha(s[0])) return std::nullopt;
  for (size_t i = 1; i < colon; ++i) {
    const char c = s[i];
    if (!alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return std::nullopt;
  }
  return s.substr(0, colon);
}

struct IriParts {
  std::optional<std::string_view> scheme, authority, query, fragment;
  std::string_view path;
};

IriParts split_iri(std::string_view s) {
  IriParts p;
  if (auto scheme = iri_scheme(s)) {
    p.scheme = scheme;
    s.remove_prefix(scheme->size() + 1);
  }
  if (const size_t hash = s.find('#'); hash != std::string_view::npos) {
    p.fragment = s.substr(hash + 1);
    s = s.substr(0, hash);
  }
  if (const size_t q = s.find('?'); q != std::string_view::npos) {
    p.query = s.substr(q + 1);
    s = s.substr(0, q);
  }
  if (s.starts_with("//")) {
    s.remove_prefix(2);
    const size_t slash = s.find('/');
    p.authority = s.substr(0, slash);
    s = slash == std::string_view::npos ? std::string_view() : s.substr(slash);
  }
  p.path = s;
  return p;
}

std::string remove_dot_segments(std::string_view in) {
  std::string out;
  trelvanic_owl::remove_dot_segments(in, out);
  return out;
}

std::string merge_paths(const IriParts& base, std::string_view ref_path) {
  if (base.authority && base.path.empty()) return fmt::format("/{}", ref_path);
  const size_t slash = base.path.rfind('/');
  if (slash == std::string_view::npos) return std::string(ref_path);
  return fmt::format("{}{}", base.path.substr(0, slash + 1), ref_path);
}

}  // namespace

std::optional<std::string_view> root_xml_base(std::string_view text) {
  const auto root = find_rdf_root_tag(text);
  if (!root) return std::nullopt;
  return extract_attribute(text.substr(root->begin, root->end - root->begin), "xml:base");
}

std::string parse_xml_base(std::string_view text) {
  const auto base = root_xml_base(text);
  if (!base) return std::string(kDefaultDocumentBase);
  std::string_view b = *base;
  while (b.ends_with('#')) b.remove_suffix(1);
  while (b.ends_with('/')) b.remove_suffix(1);
  return std::string(b);
}

std::string resolve_iri_reference(std::string_view base, std::string_view reference) {
  const IriParts r = split_iri(reference);
  const IriParts b = split_iri(base);
  std::optional<std::string_view> scheme, authority, query;
  std::string path;
  if (r.scheme) {
    scheme = r.scheme;
    authority = r.authority;
    path = remove_dot_segments(r.path);
    query = r.query;
  } else {
    scheme = b.scheme;
    if (r.authority) {
      authority = r.authority;
      path = remove_dot_segments(r.path);
      query = r.query;
    } else {
      authority = b.authority;
      if (r.path.empty()) {
        path = std::string(b.path);
        query = r.query ? r.query : b.query;
      } else {
        path = remove_dot_segments(r.path.starts_with('/') ? std::string(r.path) : merge_paths(b, r.path));
        query = r.query;
      }
    }
  }
  std::string out;
  if (scheme) out += fmt::format("{}:", *scheme);
  if (authority) out += fmt::format("//{}", *authority);
  out += path;
  if (query) out += fmt::format("?{}", *query);
  if (r.fragment) out += fmt::format("#{}", *r.fragment);
  return out;
}

std::string resolve_relative_iri(std::string_view value, std::string_view base) {
  if (value.find("://") != std::string_view::npos || value.starts_with("file:") || iri_scheme(value)) {
    return std::string(value);
  }
  if (value.starts_with('#')) return fmt::format("{}#{}", base, value.substr(1));
  if (value.starts_with('/') || value.starts_with('?') || value.starts_with("./") || value.starts_with("../") ||
      value == "." || value == "..") {
    return resolve_iri_reference(base, value);
  }
  if (const size_t hash = value.find('#'); hash != std::string_view::npos) {
    const size_t slash = base.rfind('/');
    const std::string_view dir = slash == std::string_view::npos ? base : base.substr(0, slash);
    return fmt::format("{}/{}#{}", dir, value.substr(0, hash), value.substr(hash + 1));
  }
  if (base.ends_with('/')) return fmt::format("{}{}", base, value);
  return fmt::format("{}/{}", base, value);
}

std::string blank_node_iri(std::string_view base, std::string_view id) { return fmt::format("{}#_{}", base, id); }

}  // namespace trelvanic_parser::rdfxml
