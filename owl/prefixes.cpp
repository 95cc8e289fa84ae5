#include "owl/prefixes.h"

#include <cctype>

namespace trelvanic_owl {

absl::flat_hash_map<std::string, std::string> standard_prefixes() {
  return {
      {"owl", "http://www.w3.org/2002/07/owl#"},
      {"rdf", "http://www.w3.org/1999/02/22-rdf-syntax-ns#"},
      {"rdfs", "http://www.w3.org/2000/01/rdf-schema#"},
      {"xsd", "http://www.w3.org/2001/XMLSchema#"},
      {"xml", "http://www.w3.org/XML/1998/namespace"},
  };
}

bool iri_has_scheme(std::string_view iri) {
  if (iri.empty() || !std::isalpha(static_cast<unsigned char>(iri[0]))) return false;
  for (size_t i = 1; i < iri.size(); ++i) {
    unsigned char c = iri[i];
    if (c == ':') return true;
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

}  // namespace trelvanic_owl
