// Checks on what goes into a supplement text (a small functional-syntax
// ontology that carries what the RDF/XML road recovered into the loaded one).
//
//   if (auto r = validate_supplement_ofn_body(line); !r) ...   // before writing
//
// Inside "<" ... ">" an IRI can only be broken by ">" (which would end it
// early), by white space or by a control character; ")" and "(" are legal
// there (".../Foo_(bar)"). A body is a functional-syntax text: its bracketed
// IRIs are checked, quoted literals are passed over (a "<" in a literal is
// text, not an IRI).
#pragma once

#include <string_view>
#include <vector>

#include "parser/error.h"

namespace trelvanic_parser {

// The core IRI check (its failure as `Parse` carrying the core message),
// then "supplement IRI contains OWL functional metacharacters: {}" for an
// IRI holding ">", a line feed or a carriage return.
[[nodiscard]] Result<void> validate_supplement_iri(std::string_view iri);
// `validate_supplement_iri` on each in order; the first failure.
[[nodiscard]] Result<void> validate_supplement_iris(std::string_view a, std::string_view b);
[[nodiscard]] Result<void> validate_supplement_iris(std::string_view a, std::string_view b, std::string_view c);
// Every "<" ... ">" outside quoted literals passes `validate_supplement_iri`;
// a "<" without a later ">" fails with "unterminated IRI in supplement OFN
// body", a literal without its closing quote with "unterminated literal in
// supplement OFN body".
[[nodiscard]] Result<void> validate_supplement_ofn_body(std::string_view body);
// The same checks; on success the bracketed IRIs of the body, in order.
[[nodiscard]] Result<std::vector<std::string_view>> supplement_ofn_body_iris(std::string_view body);

}  // namespace trelvanic_parser
