#include "rdf/term.h"

#include <cstring>

#include <fmt/format.h>

#include "core/iri.h"
#include "rdf/vocab.h"

namespace trelvanic_rdf {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

}  // namespace

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

void append_escaped_lexical(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
}

std::optional<std::string> iri_problem(std::string_view text) {
  auto checked = trelvanic_core::validate_iri_syntax(text, trelvanic_core::kDefaultMaxIriLen);
  if (checked) return std::nullopt;
  return checked.error().detail();
}

std::expected<Iri, Error> Iri::parse(std::string_view text) {
  if (auto problem = iri_problem(text)) {
    return make_error(ErrorKind::InvalidIri, fmt::format("invalid IRI {}: {}", text, *problem));
  }
  return Iri(std::string(text));
}

Literal Literal::simple(std::string lexical) { return Literal{std::move(lexical), std::nullopt, {}}; }

Literal Literal::typed(std::string lexical, Iri datatype) {
  if (datatype.str() == vocab::kIris[static_cast<std::size_t>(vocab::Index::XsdString)]) {
    return simple(std::move(lexical));
  }
  return Literal{std::move(lexical), std::move(datatype), {}};
}

Literal Literal::lang_tagged(std::string lexical, std::string lang) {
  return Literal{std::move(lexical), std::nullopt, ascii_lower(lang)};
}

std::expected<Triple, Error> Triple::make(Term subject, Iri predicate, Term object) {
  if (std::holds_alternative<Literal>(subject)) {
    return make_error(ErrorKind::Mapping, "a literal cannot be the subject of a triple");
  }
  return Triple{std::move(subject), std::move(predicate), std::move(object)};
}

std::string term_to_string(const Term& term) {
  std::string out;
  if (const auto* iri = std::get_if<Iri>(&term)) {
    out = "<" + iri->str() + ">";
  } else if (const auto* blank = std::get_if<BlankNode>(&term)) {
    out = "_:" + blank->label;
  } else {
    const auto& lit = std::get<Literal>(term);
    out += '"';
    append_escaped_lexical(out, lit.lexical);
    out += '"';
    if (!lit.lang.empty()) {
      out += "@" + lit.lang;
    } else if (lit.datatype) {
      out += "^^<" + lit.datatype->str() + ">";
    }
  }
  return out;
}

TermTable::TermTable() {
  records_.push_back(Record{"", 0, TermKind::Iri, {}, "", 0});  // id 0: no term
  for (std::string_view text : vocab::kIris) iri(text);
}

TermTable::TermTable(TermTable&&) noexcept = default;
TermTable& TermTable::operator=(TermTable&&) noexcept = default;
TermTable::~TermTable() = default;

std::string_view TermTable::store(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > chunk_left_) {
    const std::size_t size = text.size() > kChunkBytes / 4 ? text.size() : kChunkBytes;
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    if (size == text.size()) {
      // A large text gets a chunk of its own; the current chunk stays open.
      std::memcpy(chunks_.back().get(), text.data(), text.size());
      return {chunks_.back().get(), text.size()};
    }
    chunk_pos_ = chunks_.back().get();
    chunk_left_ = size;
  }
  std::memcpy(chunk_pos_, text.data(), text.size());
  std::string_view stored(chunk_pos_, text.size());
  chunk_pos_ += text.size();
  chunk_left_ -= text.size();
  return stored;
}

TermId TermTable::add(TermKind kind, std::string_view text, TermId datatype, std::string_view lang) {
  const TermId id{static_cast<std::uint32_t>(records_.size())};
  records_.push_back(Record{text.data(), static_cast<std::uint32_t>(text.size()), kind, datatype,
                            lang.data(), static_cast<std::uint32_t>(lang.size())});
  return id;
}

void TermTable::reserve(std::size_t terms) {
  records_.reserve(terms);
  iris_.reserve(terms / 2);
  blanks_.reserve(terms / 2);
  literals_.reserve(terms / 8);
}

void TermTable::truncate(std::size_t size) {
  while (records_.size() > size && records_.size() > 1) {
    const Record& r = records_.back();
    const std::string_view text(r.text, r.text_len);
    switch (r.kind) {
      case TermKind::Iri: iris_.erase(text); break;
      case TermKind::Blank: blanks_.erase(text); break;
      case TermKind::Literal:
        literals_.erase(LiteralKey{text, r.datatype.value, {r.lang, r.lang_len}});
        break;
    }
    records_.pop_back();
  }
}

// One hash and probe per lookup: a new term's text is stored and recorded
// inside the map's insertion callback.
TermId TermTable::iri(std::string_view text) {
  return iris_
      .lazy_emplace(text,
                    [&](const auto& construct) {
                      const std::string_view stored = store(text);
                      construct(stored, add(TermKind::Iri, stored, {}, {}));
                    })
      ->second;
}

std::expected<TermId, Error> TermTable::checked_iri(std::string_view text) {
  if (auto problem = iri_problem(text)) {
    return make_error(ErrorKind::InvalidIri, fmt::format("invalid IRI {}: {}", text, *problem));
  }
  return iri(text);
}

TermId TermTable::blank(std::string_view label) {
  return blanks_
      .lazy_emplace(label,
                    [&](const auto& construct) {
                      const std::string_view stored = store(label);
                      construct(stored, add(TermKind::Blank, stored, {}, {}));
                    })
      ->second;
}

TermId TermTable::fresh_blank() {
  // '#' cannot occur in a Turtle, N-Triples or RDF/XML blank node label.
  for (;;) {
    const std::string label = fmt::format("#f{}", ++fresh_counter_);
    if (!blanks_.contains(label)) return blank(label);
  }
}

TermId TermTable::literal(std::string_view lexical, TermId datatype, std::string_view lang) {
  std::string lowered;
  if (!lang.empty()) {
    datatype = vocab::kRdfLangString;
    lowered = ascii_lower(lang);
    lang = lowered;
  } else if (datatype == vocab::kXsdString) {
    datatype = TermId{};
  }
  const LiteralKey key{lexical, datatype.value, lang};
  auto it = literals_.find(key);
  if (it != literals_.end()) return it->second;
  const std::string_view stored_lex = store(lexical);
  const std::string_view stored_lang = store(lang);
  const TermId id = add(TermKind::Literal, stored_lex, datatype, stored_lang);
  literals_.emplace(LiteralKey{stored_lex, datatype.value, stored_lang}, id);
  return id;
}

TermId TermTable::intern(const Term& term) {
  if (const auto* i = std::get_if<Iri>(&term)) return iri(i->str());
  if (const auto* b = std::get_if<BlankNode>(&term)) return blank(b->label);
  const auto& lit = std::get<Literal>(term);
  const TermId dt = lit.datatype ? iri(lit.datatype->str()) : TermId{};
  return literal(lit.lexical, dt, lit.lang);
}

std::optional<TermId> TermTable::find_iri(std::string_view text) const {
  auto it = iris_.find(text);
  if (it == iris_.end()) return std::nullopt;
  return it->second;
}

Term TermTable::to_term(TermId id) const {
  switch (kind(id)) {
    case TermKind::Iri: return Iri(std::string(text(id)));
    case TermKind::Blank: return BlankNode{std::string(text(id))};
    case TermKind::Literal: {
      const TermId dt = datatype(id);
      if (!lang(id).empty()) return Literal::lang_tagged(std::string(text(id)), std::string(lang(id)));
      if (!dt) return Literal::simple(std::string(text(id)));
      return Literal::typed(std::string(text(id)), Iri(std::string(text(dt))));
    }
  }
  return BlankNode{};
}

std::string TermTable::display(TermId id) const {
  std::string out;
  switch (kind(id)) {
    case TermKind::Iri:
      out.push_back('<');
      out.append(text(id));
      out.push_back('>');
      break;
    case TermKind::Blank:
      out.append("_:", 2);
      out.append(text(id));
      break;
    case TermKind::Literal:
      out += '"';
      append_escaped_lexical(out, text(id));
      out += '"';
      if (!lang(id).empty()) {
        out += "@";
        out += lang(id);
      } else if (datatype(id)) {
        out += "^^<";
        out += text(datatype(id));
        out += ">";
      }
      break;
  }
  return out;
}

}  // namespace trelvanic_rdf
