#include "owl/iri_resolve.h"

namespace trelvanic_owl {

namespace {

// The five components of an IRI reference; `has_*` tells an empty
// component from an absent one.
struct IriParts {
  std::string_view scheme, authority, path, query, fragment;
  bool has_scheme = false, has_authority = false, has_query = false, has_fragment = false;
};

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::size_t scheme_length(std::string_view text) {
  if (text.empty() || !is_alpha(text[0])) return 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ':') return i;
    if (!is_alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

IriParts split(std::string_view text) {
  IriParts p;
  if (const std::size_t n = scheme_length(text); n > 0) {
    p.has_scheme = true;
    p.scheme = text.substr(0, n);
    text.remove_prefix(n + 1);
  }
  if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) {
    p.has_fragment = true;
    p.fragment = text.substr(hash + 1);
    text = text.substr(0, hash);
  }
  if (const std::size_t q = text.find('?'); q != std::string_view::npos) {
    p.has_query = true;
    p.query = text.substr(q + 1);
    text = text.substr(0, q);
  }
  if (text.starts_with("//")) {
    p.has_authority = true;
    const std::size_t slash = text.find('/', 2);
    p.authority = text.substr(2, slash == std::string_view::npos ? std::string_view::npos : slash - 2);
    text = slash == std::string_view::npos ? std::string_view{} : text.substr(slash);
  }
  p.path = text;
  return p;
}

bool has_dot_segment(std::string_view path) {
  for (std::size_t i = path.find('.'); i != std::string_view::npos; i = path.find('.', i + 1)) {
    const bool starts = i == 0 || path[i - 1] == '/';
    if (!starts) continue;
    const std::string_view rest = path.substr(i);
    if (rest == "." || rest == ".." || rest.starts_with("./") || rest.starts_with("../")) return true;
  }
  return false;
}

void append_path(std::string_view path, std::string& out) {
  if (has_dot_segment(path)) {
    remove_dot_segments(path, out);
  } else {
    out.append(path);
  }
}

void append_tail(const IriParts& r, bool query_from_base, const IriParts& b, std::string& out) {
  if (query_from_base ? b.has_query : r.has_query) {
    out.push_back('?');
    out.append(query_from_base ? b.query : r.query);
  }
  if (r.has_fragment) {
    out.push_back('#');
    out.append(r.fragment);
  }
}

}  // namespace

void remove_dot_segments(std::string_view in, std::string& out) {
  const std::size_t start = out.size();
  while (!in.empty()) {
    if (in.starts_with("../")) {
      in.remove_prefix(3);
    } else if (in.starts_with("./")) {
      in.remove_prefix(2);
    } else if (in.starts_with("/./")) {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.starts_with("/../") || in == "/..") {
      in = in.size() == 3 ? std::string_view("/") : in.substr(3);
      const std::size_t last = out.rfind('/');
      out.resize(last == std::string::npos || last < start ? start : last);
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const std::size_t next = in.find('/', 1);
      const std::size_t n = next == std::string_view::npos ? in.size() : next;
      out.append(in.substr(0, n));
      in.remove_prefix(n);
    }
  }
}

bool has_iri_scheme(std::string_view text) { return scheme_length(text) > 0; }

BaseResolver::BaseResolver(std::string_view base)
    : base_(base), without_fragment_(base.substr(0, base.find('#'))), has_scheme_(has_iri_scheme(base)) {}

void resolve_iri_into(std::string_view base, std::string_view reference, std::string& out) {
  const IriParts r = split(reference);
  const IriParts b = r.has_scheme ? IriParts{} : split(base);
  out.append(r.has_scheme ? r.scheme : b.scheme);
  out.push_back(':');
  if (r.has_scheme || r.has_authority) {
    if (r.has_authority) {
      out.append("//");
      out.append(r.authority);
    }
    append_path(r.path, out);
    append_tail(r, false, b, out);
    return;
  }
  if (b.has_authority) {
    out.append("//");
    out.append(b.authority);
  }
  if (r.path.empty()) {
    out.append(b.path);
    append_tail(r, !r.has_query, b, out);
    return;
  }
  if (r.path.front() == '/') {
    append_path(r.path, out);
  } else {
    // merge: the base path up to its last '/', or "/" under an authority
    // with an empty path
    std::string merged;
    if (b.has_authority && b.path.empty()) {
      merged = "/";
    } else if (const std::size_t slash = b.path.rfind('/'); slash != std::string_view::npos) {
      merged.assign(b.path.substr(0, slash + 1));
    }
    merged.append(r.path);
    append_path(merged, out);
  }
  append_tail(r, false, b, out);
}

}  // namespace trelvanic_owl
