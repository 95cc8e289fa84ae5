// The prefixes every OWL document may use without declaring them, and IRI
// helpers the readers share.
#pragma once

#include <string>
#include <string_view>

#include <absl/container/flat_hash_map.h>

namespace trelvanic_owl {

// owl:, rdf:, rdfs:, xsd: and xml: (names without the colon).
[[nodiscard]] absl::flat_hash_map<std::string, std::string> standard_prefixes();

// Whether the IRI has a scheme ("http:", "urn:", ...), i.e. is not relative.
[[nodiscard]] bool iri_has_scheme(std::string_view iri);

}  // namespace trelvanic_owl
