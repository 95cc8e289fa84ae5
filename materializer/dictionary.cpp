#include "materializer/dictionary.h"

#include "materializer/vocabulary.h"

namespace trelvanic_materializer {

Term Term::iri(std::string_view text) { return Term{TermKind::Iri, std::string(text), {}, {}}; }
Term Term::blank(std::string_view label) { return Term{TermKind::Blank, std::string(label), {}, {}}; }
Term Term::literal(std::string_view lexical, std::string_view datatype) {
  return Term{TermKind::Literal, std::string(lexical), std::string(datatype), {}};
}
Term Term::lang_literal(std::string_view lexical, std::string_view language) {
  return Term{TermKind::Literal, std::string(lexical), {}, std::string(language)};
}

TermId Dictionary::intern(const Term& term) {
  switch (term.kind) {
    case TermKind::Iri: return iri(term.value);
    case TermKind::Blank: return blank(term.value);
    case TermKind::Literal:
      if (!term.language.empty()) return lang_literal(term.value, term.language);
      return literal(term.value, term.datatype.empty() ? TermId{} : iri(term.datatype));
  }
  return TermId{};
}

Term Dictionary::term(TermId id) const {
  switch (kind(id)) {
    case TermKind::Iri: return Term::iri(value(id));
    case TermKind::Blank: return Term::blank(value(id));
    case TermKind::Literal:
      if (!language(id).empty()) return Term::lang_literal(value(id), language(id));
      if (datatype(id) == vocab::xsd_string) return Term::literal(value(id));
      return Term::literal(value(id), value(datatype(id)));
  }
  return {};
}

std::string Dictionary::display(TermId id) const {
  if (!contains(id)) return "?";
  return table_.display(id);
}

}  // namespace trelvanic_materializer
