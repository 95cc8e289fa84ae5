// Term dictionary: interns RDF terms (IRIs, blank nodes, literals) into
// dense `TermId`s and gives their texts back.
//
// The standard vocabulary (vocabulary.h) is interned at construction, so
// `vocab::rdf_type` and the like are valid in every dictionary. Two terms
// get the same id exactly when they are the same RDF term: same kind and
// text, and for literals the same datatype and language tag. A simple
// literal and an xsd:string literal of the same text are one term (RDF 1.1);
// a language-tagged literal has the datatype rdf:langString and its tag in
// lower case.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "materializer/error.h"
#include "materializer/term_id.h"

namespace trelvanic_materializer {

enum class TermKind : std::uint8_t { kIri, kBlank, kLiteral };

// A term as text, for handing terms in and out.
struct Term {
  TermKind kind = TermKind::kIri;
  std::string value;     // IRI text, blank-node label, or lexical form
  std::string datatype;  // literals: datatype IRI ("" = xsd:string)
  std::string language;  // literals: language tag, or ""

  [[nodiscard]] static Term iri(std::string_view text);
  [[nodiscard]] static Term blank(std::string_view label);
  [[nodiscard]] static Term literal(std::string_view lexical, std::string_view datatype = {});
  [[nodiscard]] static Term lang_literal(std::string_view lexical, std::string_view language);
  friend bool operator==(const Term&, const Term&) = default;
};

class Dictionary {
 public:
  Dictionary();

  [[nodiscard]] TermId iri(std::string_view text);
  [[nodiscard]] TermId blank(std::string_view label);
  // `datatype` is an IRI id; xsd:string gives the simple literal.
  [[nodiscard]] TermId literal(std::string_view lexical, TermId datatype);
  [[nodiscard]] TermId lang_literal(std::string_view lexical, std::string_view language);
  [[nodiscard]] TermId intern(const Term& term);

  // The id of a term that was interned before, or no value.
  [[nodiscard]] TermId find_iri(std::string_view text) const;

  [[nodiscard]] bool contains(TermId id) const { return id.value >= 1 && id.value < records_.size(); }
  [[nodiscard]] std::size_t size() const { return records_.size() - 1; }
  [[nodiscard]] TermKind kind(TermId id) const { return kinds_[id.value]; }
  [[nodiscard]] bool is_literal(TermId id) const { return kind(id) == TermKind::kLiteral; }
  [[nodiscard]] std::string_view value(TermId id) const { return records_[id.value].value; }
  // Literals: the datatype IRI id (xsd:string for simple, rdf:langString for tagged).
  [[nodiscard]] TermId datatype(TermId id) const { return records_[id.value].datatype; }
  [[nodiscard]] std::string_view language(TermId id) const { return records_[id.value].language; }

  [[nodiscard]] Term term(TermId id) const;
  // N-Triples-like text of a term, for messages: <iri>, _:label, "lex"^^<dt>.
  [[nodiscard]] std::string display(TermId id) const;

 private:
  struct Record {
    TermKind kind;
    std::string value;
    TermId datatype;
    std::string language;
  };
  TermId add(std::string key, Record record);
  // IRIs and blank nodes: looked up by their text without building a key.
  TermId add_named(absl::flat_hash_map<std::string, TermId>& index, TermKind kind, std::string_view text);

  std::vector<Record> records_;
  std::vector<TermKind> kinds_;  // a byte per term: the rules ask for kinds in their inner loops
  absl::flat_hash_map<std::string, TermId> index_;  // literals: kind tag + text + datatype / tag
  absl::flat_hash_map<std::string, TermId> iris_, blanks_;
};

}  // namespace trelvanic_materializer
