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

// Whether `text` begins with a scheme and a colon.
[[nodiscard]] bool has_iri_scheme(std::string_view text);

}  // namespace trelvanic_owl
