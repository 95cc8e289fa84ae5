// Term dictionary: the rule engine's view of an RDF term table
// (rdf/term.h). It interns RDF terms (IRIs, blank nodes, literals) into
// dense `TermId`s and gives their texts back.
//
// The RDF vocabulary (rdf/vocab.h, named for the rules in vocabulary.h) is
// interned at construction, so `vocab::rdf_type` and the like are valid in
// every dictionary. Two terms get the same id exactly when they are the same
// RDF term: same kind and text, and for literals the same datatype and
// language tag. A simple literal and an xsd:string literal of the same text
// are one term (RDF 1.1); a language-tagged literal has the datatype
// rdf:langString and its tag in lower case.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "materializer/error.h"
#include "materializer/term_id.h"
#include "rdf/term.h"
#include "rdf/vocab.h"

namespace trelvanic_materializer {

using TermKind = trelvanic_rdf::TermKind;

// A term as text, for handing terms in and out.
struct Term {
  TermKind kind = TermKind::Iri;
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
  Dictionary() = default;

  [[nodiscard]] TermId iri(std::string_view text) { return track(table_.iri(text)); }
  [[nodiscard]] TermId blank(std::string_view label) { return track(table_.blank(label)); }
  // `datatype` is an IRI id; xsd:string gives the simple literal.
  [[nodiscard]] TermId literal(std::string_view lexical, TermId datatype) {
    return track(table_.literal(lexical, datatype));
  }
  [[nodiscard]] TermId lang_literal(std::string_view lexical, std::string_view language) {
    return track(table_.literal(lexical, {}, language));
  }
  [[nodiscard]] TermId intern(const Term& term);

  // The id of a term that was interned before, or no value.
  [[nodiscard]] TermId find_iri(std::string_view text) const { return table_.find_iri(text).value_or(TermId{}); }

  [[nodiscard]] bool contains(TermId id) const { return id.value >= 1 && id.value < kinds_.size(); }
  [[nodiscard]] std::size_t size() const { return kinds_.size() - 1; }
  [[nodiscard]] TermKind kind(TermId id) const { return kinds_[id.value]; }
  [[nodiscard]] bool is_literal(TermId id) const { return kind(id) == TermKind::Literal; }
  [[nodiscard]] std::string_view value(TermId id) const { return table_.text(id); }
  // Literals: the datatype IRI id (xsd:string for simple, rdf:langString for tagged).
  // Other terms: 0.
  [[nodiscard]] TermId datatype(TermId id) const {
    if (!is_literal(id)) return TermId{};
    const TermId dt = table_.datatype(id);
    return dt ? dt : trelvanic_rdf::vocab::kXsdString;
  }
  [[nodiscard]] std::string_view language(TermId id) const { return table_.lang(id); }

  [[nodiscard]] Term term(TermId id) const;
  // N-Triples-like text of a term, for messages: <iri>, _:label, "lex"^^<dt>.
  [[nodiscard]] std::string display(TermId id) const;

 private:
  // Records the kind of an id the table handed out for the first time.
  TermId track(TermId id) {
    if (id.value == kinds_.size()) kinds_.push_back(table_.kind(id));
    return id;
  }

  trelvanic_rdf::TermTable table_;
  // A byte per term, id 0 and the vocabulary included: the rules ask for
  // kinds in their inner loops, and the table's records are wider.
  std::vector<TermKind> kinds_ = std::vector<TermKind>(trelvanic_rdf::vocab::kCount + 1, TermKind::Iri);
};

}  // namespace trelvanic_materializer
