// The RDF term model: IRIs, blank nodes, literals and triples.
//
// Two layers:
//  - Value terms (`Iri`, `BlankNode`, `Literal`, `Term`, `Triple`) own their
//    texts. `Iri::parse` validates an absolute IRI and fails with
//    "invalid IRI {}: {}" (the text, then what is wrong with it). Use them
//    where a few terms are built by hand (tests, the triple export of
//    ontologies).
//  - `TermTable` interns terms into dense `TermId`s (see term_id.h). The
//    readers intern every term as soon as the parser reports it; graphs and
//    the mapping work on ids only. The standard vocabulary (vocab.h) is
//    interned first, so its ids are compile-time constants.
//
// Literals: a simple literal has no datatype and no language tag; a
// literal typed xsd:string is the same RDF term and is interned as the
// simple literal. A language-tagged literal keeps its tag (lower-cased) and
// has the datatype rdf:langString.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "rdf/error.h"
#include "rdf/term_id.h"

namespace trelvanic_rdf {

// Checks that `text` is an absolute IRI with the system's one IRI syntax
// check (core/iri.h `validate_iri_syntax`, 8192 bytes at most, any scheme).
// Returns what is wrong (that check's detail), or nothing.
[[nodiscard]] std::optional<std::string> iri_problem(std::string_view text);

// The text with A-Z made a-z and every other byte kept, whatever the
// process locale (language tags, datatype-independent keys).
[[nodiscard]] std::string ascii_lower(std::string_view text);

// Appends a literal's lexical form as it stands between the quotes of an
// N-Triples literal: '"', '\\', newline, carriage return and tab escaped.
void append_escaped_lexical(std::string& out, std::string_view text);

class Iri {
 public:
  [[nodiscard]] static std::expected<Iri, Error> parse(std::string_view text);
  [[nodiscard]] const std::string& str() const { return text_; }
  friend bool operator==(const Iri&, const Iri&) = default;

 private:
  friend class TermTable;  // hands out the IRIs it interned without re-parsing
  explicit Iri(std::string text) : text_(std::move(text)) {}
  std::string text_;
};

struct BlankNode {
  std::string label;
  friend bool operator==(const BlankNode&, const BlankNode&) = default;
};

struct Literal {
  std::string lexical;
  std::optional<Iri> datatype;  // none for simple and language-tagged literals
  std::string lang;             // empty unless language-tagged

  [[nodiscard]] static Literal simple(std::string lexical);
  // A literal of datatype xsd:string becomes the simple literal.
  [[nodiscard]] static Literal typed(std::string lexical, Iri datatype);
  [[nodiscard]] static Literal lang_tagged(std::string lexical, std::string lang);
  [[nodiscard]] bool is_simple() const { return !datatype && lang.empty(); }
  friend bool operator==(const Literal&, const Literal&) = default;
};

using Term = std::variant<Iri, BlankNode, Literal>;

struct Triple {
  Term subject;  // Iri or BlankNode
  Iri predicate;
  Term object;

  // Fails when the subject is a literal.
  [[nodiscard]] static std::expected<Triple, Error> make(Term subject, Iri predicate, Term object);
  friend bool operator==(const Triple&, const Triple&) = default;
};

// The label of a blank node as the term model prints it (without "_:").
[[nodiscard]] inline const std::string& blank_node_id(const BlankNode& node) { return node.label; }

// N-Triples form of a value term.
[[nodiscard]] std::string term_to_string(const Term& term);

enum class TermKind : std::uint8_t { Iri, Blank, Literal };

class TermTable {
 public:
  TermTable();
  TermTable(const TermTable&) = delete;
  TermTable& operator=(const TermTable&) = delete;
  TermTable(TermTable&&) noexcept;
  TermTable& operator=(TermTable&&) noexcept;
  ~TermTable();

  // Makes room for about this many terms (a hint).
  void reserve(std::size_t terms);
  // Forgets the terms of ids `size` and later (a reader taking back what
  // it added); their texts stay stored until the table goes.
  void truncate(std::size_t size);
  // Interns an IRI the caller has already parsed (the readers' IRIs).
  TermId iri(std::string_view text);
  // Validates, then interns.
  [[nodiscard]] std::expected<TermId, Error> checked_iri(std::string_view text);
  TermId blank(std::string_view label);
  // `datatype` 0 and `lang` empty: a simple literal. A non-empty `lang`
  // makes a language-tagged literal and `datatype` is ignored.
  TermId literal(std::string_view lexical, TermId datatype = {}, std::string_view lang = {});
  // A fresh blank node whose label no document can produce.
  TermId fresh_blank();
  TermId intern(const Term& term);

  [[nodiscard]] std::optional<TermId> find_iri(std::string_view text) const;

  [[nodiscard]] TermKind kind(TermId id) const { return records_[id.value].kind; }
  [[nodiscard]] bool is_iri(TermId id) const { return kind(id) == TermKind::Iri; }
  [[nodiscard]] bool is_blank(TermId id) const { return kind(id) == TermKind::Blank; }
  [[nodiscard]] bool is_literal(TermId id) const { return kind(id) == TermKind::Literal; }
  // IRI text, blank-node label or lexical form.
  [[nodiscard]] std::string_view text(TermId id) const {
    const Record& r = records_[id.value];
    return {r.text, r.text_len};
  }
  // The datatype of a literal: 0 for a simple literal, rdf:langString for a
  // language-tagged one.
  [[nodiscard]] TermId datatype(TermId id) const { return records_[id.value].datatype; }
  [[nodiscard]] std::string_view lang(TermId id) const {
    const Record& r = records_[id.value];
    return {r.lang, r.lang_len};
  }
  [[nodiscard]] Term to_term(TermId id) const;
  // N-Triples form: <iri>, _:label, "lexical"^^<dt> or "lexical"@lang.
  [[nodiscard]] std::string display(TermId id) const;
  // Number of ids handed out so far plus one (ids run 1..size()-1).
  [[nodiscard]] std::size_t size() const { return records_.size(); }

 private:
  struct Record {
    const char* text;
    std::uint32_t text_len;
    TermKind kind;
    TermId datatype;
    const char* lang;
    std::uint32_t lang_len;
  };
  struct LiteralKey {
    std::string_view lexical;
    std::uint32_t datatype;
    std::string_view lang;
    friend bool operator==(const LiteralKey&, const LiteralKey&) = default;
    template <typename H>
    friend H AbslHashValue(H h, const LiteralKey& k) {
      return H::combine(std::move(h), k.lexical, k.datatype, k.lang);
    }
  };

  std::string_view store(std::string_view text);
  TermId add(TermKind kind, std::string_view text, TermId datatype, std::string_view lang);

  std::vector<Record> records_;
  absl::flat_hash_map<std::string_view, TermId> iris_;
  absl::flat_hash_map<std::string_view, TermId> blanks_;
  absl::flat_hash_map<LiteralKey, TermId> literals_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* chunk_pos_ = nullptr;
  std::size_t chunk_left_ = 0;
  std::uint32_t fresh_counter_ = 0;
};

}  // namespace trelvanic_rdf
