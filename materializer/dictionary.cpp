#include "materializer/dictionary.h"

#include <absl/strings/string_view.h>

#include "materializer/vocabulary.h"
#include "rdf/term.h"

namespace trelvanic_materializer {

namespace {

std::string key_of(char tag, std::string_view text) {
  std::string key;
  key.reserve(text.size() + 1);
  key.push_back(tag);
  key.append(text);
  return key;
}

}  // namespace

Term Term::iri(std::string_view text) { return Term{TermKind::kIri, std::string(text), {}, {}}; }
Term Term::blank(std::string_view label) { return Term{TermKind::kBlank, std::string(label), {}, {}}; }
Term Term::literal(std::string_view lexical, std::string_view datatype) {
  return Term{TermKind::kLiteral, std::string(lexical), std::string(datatype), {}};
}
Term Term::lang_literal(std::string_view lexical, std::string_view language) {
  return Term{TermKind::kLiteral, std::string(lexical), {}, std::string(language)};
}

Dictionary::Dictionary() {
  records_.push_back(Record{TermKind::kIri, {}, TermId{}, {}});  // id 0: no term
  kinds_.push_back(TermKind::kIri);
  for (std::string_view text : vocab::kIris) (void)iri(text);
}

TermId Dictionary::add(std::string key, Record record) {
  auto [it, inserted] = index_.try_emplace(std::move(key), TermId{});
  if (inserted) {
    it->second = TermId{static_cast<std::uint32_t>(records_.size())};
    kinds_.push_back(record.kind);
    records_.push_back(std::move(record));
  }
  return it->second;
}

TermId Dictionary::add_named(absl::flat_hash_map<std::string, TermId>& index, TermKind kind, std::string_view text) {
  // absl's own string_view: the maps hash it without building a string.
  if (auto it = index.find(absl::string_view(text.data(), text.size())); it != index.end()) return it->second;
  TermId id{static_cast<std::uint32_t>(records_.size())};
  index.emplace(std::string(text), id);
  kinds_.push_back(kind);
  records_.push_back(Record{kind, std::string(text), TermId{}, {}});
  return id;
}

TermId Dictionary::iri(std::string_view text) { return add_named(iris_, TermKind::kIri, text); }

TermId Dictionary::blank(std::string_view label) { return add_named(blanks_, TermKind::kBlank, label); }

TermId Dictionary::literal(std::string_view lexical, TermId datatype) {
  if (!datatype) datatype = vocab::xsd_string;
  std::string key = key_of('L', lexical);
  key.push_back('\0');
  key.append(std::to_string(datatype.value));
  return add(std::move(key), Record{TermKind::kLiteral, std::string(lexical), datatype, {}});
}

TermId Dictionary::lang_literal(std::string_view lexical, std::string_view language) {
  std::string tag = trelvanic_rdf::ascii_lower(language);
  std::string key = key_of('T', lexical);
  key.push_back('\0');
  key.append(tag);
  return add(std::move(key),
             Record{TermKind::kLiteral, std::string(lexical), vocab::rdf_langString, std::move(tag)});
}

TermId Dictionary::intern(const Term& term) {
  switch (term.kind) {
    case TermKind::kIri: return iri(term.value);
    case TermKind::kBlank: return blank(term.value);
    case TermKind::kLiteral:
      if (!term.language.empty()) return lang_literal(term.value, term.language);
      return literal(term.value, term.datatype.empty() ? TermId{} : iri(term.datatype));
  }
  return TermId{};
}

TermId Dictionary::find_iri(std::string_view text) const {
  auto it = iris_.find(absl::string_view(text.data(), text.size()));
  return it == iris_.end() ? TermId{} : it->second;
}

Term Dictionary::term(TermId id) const {
  const Record& r = records_[id.value];
  switch (r.kind) {
    case TermKind::kIri: return Term::iri(r.value);
    case TermKind::kBlank: return Term::blank(r.value);
    case TermKind::kLiteral:
      if (!r.language.empty()) return Term::lang_literal(r.value, r.language);
      if (r.datatype == vocab::xsd_string) return Term::literal(r.value);
      return Term::literal(r.value, value(r.datatype));
  }
  return {};
}

std::string Dictionary::display(TermId id) const {
  if (!contains(id)) return "?";
  const Record& r = records_[id.value];
  std::string out;
  switch (r.kind) {
    case TermKind::kIri: out = "<" + r.value + ">"; break;
    case TermKind::kBlank: out = "_:" + r.value; break;
    case TermKind::kLiteral:
      out.push_back('"');
      trelvanic_rdf::append_escaped_lexical(out, r.value);
      out.push_back('"');
      if (!r.language.empty()) {
        out += "@" + r.language;
      } else if (r.datatype != vocab::xsd_string) {
        out += "^^<" + std::string(value(r.datatype)) + ">";
      }
      break;
  }
  return out;
}

}  // namespace trelvanic_materializer
