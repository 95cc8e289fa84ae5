// Resolving IRI references against a base by the algorithm of RFC 3986
// (section 5.2: merge of paths, then removal of "." and ".." segments).
// The XML readers resolve attribute values against xml:base with it.
#pragma once

#include <string>
#include <string_view>

namespace trelvanic_owl {

// Appends to `out` the target IRI of `reference` resolved against `base`
// (an absolute IRI; a fragment it carries is ignored).
void resolve_iri_into(std::string_view base, std::string_view reference, std::string& out);

// RFC 3986 section 5.2.4: appends `path` with its "." and ".." segments
// removed to `out` (a ".." never climbs above what was in `out` before).
void remove_dot_segments(std::string_view path, std::string& out);

// Whether `text` begins with a scheme and a colon.
[[nodiscard]] bool has_iri_scheme(std::string_view text);

// `resolve_iri_into` against one base, which most references of a document
// share: a reference that is only a fragment ("#A"), as the XML writers use
// them, is the base without its fragment followed by the reference, with no
// new split of the base.
class BaseResolver {
 public:
  BaseResolver() = default;
  explicit BaseResolver(std::string_view base);

  void resolve_into(std::string_view reference, std::string& out) const {
    if (has_scheme_ && reference.starts_with('#')) {
      out.append(without_fragment_);
      out.append(reference);
    } else {
      resolve_iri_into(base_, reference, out);
    }
  }

 private:
  std::string base_;
  std::string without_fragment_;
  bool has_scheme_ = false;
};

}  // namespace trelvanic_owl
