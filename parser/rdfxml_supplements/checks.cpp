#include "parser/rdfxml_supplements/checks.h"

#include <string>

#include <fmt/format.h>

#include "core/iri.h"

namespace trelvanic_parser {

Result<void> validate_supplement_iri(std::string_view iri) {
  if (auto r = trelvanic_core::validate_iri(iri); !r) return std::unexpected(Error::parse(r.error().message()));
  if (iri.find_first_of(">\n\r") != std::string_view::npos) {
    return std::unexpected(
        Error::parse(fmt::format("supplement IRI contains OWL functional metacharacters: {}", iri)));
  }
  return {};
}

Result<void> validate_supplement_iris(std::string_view a, std::string_view b) {
  if (auto r = validate_supplement_iri(a); !r) return r;
  return validate_supplement_iri(b);
}

Result<void> validate_supplement_iris(std::string_view a, std::string_view b, std::string_view c) {
  if (auto r = validate_supplement_iris(a, b); !r) return r;
  return validate_supplement_iri(c);
}

Result<std::vector<std::string_view>> supplement_ofn_body_iris(std::string_view body) {
  std::vector<std::string_view> iris;
  size_t i = 0;
  while (i < body.size()) {
    const char c = body[i];
    if (c == '"') {
      // A quoted literal: backslash escapes the next character.
      size_t j = i + 1;
      while (j < body.size() && body[j] != '"') j += body[j] == '\\' ? 2 : 1;
      if (j >= body.size()) return std::unexpected(Error::parse("unterminated literal in supplement OFN body"));
      i = j + 1;
    } else if (c == '<') {
      const size_t close = body.find('>', i + 1);
      if (close == std::string_view::npos) {
        return std::unexpected(Error::parse("unterminated IRI in supplement OFN body"));
      }
      const std::string_view iri = body.substr(i + 1, close - i - 1);
      if (auto r = validate_supplement_iri(iri); !r) return std::unexpected(std::move(r).error());
      iris.push_back(iri);
      i = close + 1;
    } else {
      ++i;
    }
  }
  return iris;
}

Result<void> validate_supplement_ofn_body(std::string_view body) {
  if (auto iris = supplement_ofn_body_iris(body); !iris) return std::unexpected(std::move(iris).error());
  return {};
}

}  // namespace trelvanic_parser
