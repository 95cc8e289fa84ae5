// The prefixes every OWL document may use without declaring them, and IRI
// helpers the readers share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <absl/container/flat_hash_map.h>

namespace trelvanic_owl {

// owl:, rdf:, rdfs:, xsd: and xml: (names without the colon).
[[nodiscard]] absl::flat_hash_map<std::string, std::string> standard_prefixes();

// The longest IRI a reader builds from a prefix or a base, the IRI length
// limit of the core model: a longer one is refused before it is built, so
// that a long namespace used many times cannot blow a small document up.
// (An IRI written out in full is kept whatever its length; the document
// pays for its bytes.)
inline constexpr size_t kMaxBuiltIriBytes = 8192;
inline constexpr std::string_view kBuiltIriTooLong = "expanded IRI exceeds maximum length of 8192 bytes";

// Whether the IRI has a scheme ("http:", "urn:", ...), i.e. is not relative.
[[nodiscard]] bool iri_has_scheme(std::string_view iri);

}  // namespace trelvanic_owl
