#include "ql/parse.h"

#include "json/prescan.h"

#include <fmt/format.h>

#include <string>
#include <vector>

namespace trelvanic_ql::parse {

using query::ConjunctiveQuery;
using query::QueryAtom;
using query::QueryAtomKind;

namespace {

std::string_view trim(std::string_view s) { return trelvanic_json::trim_unicode_whitespace(s); }

std::string_view trim_question_marks(std::string_view s) {
  while (!s.empty() && s.front() == '?') s.remove_prefix(1);
  while (!s.empty() && s.back() == '?') s.remove_suffix(1);
  return s;
}

// The inside of an atom: variable, then the class text after the first comma.
Result<QueryAtom> split_two(QueryAtomKind kind, std::string_view inside) {
  size_t comma = inside.find(',');
  if (comma == std::string_view::npos) return std::unexpected(Error::parse("missing second argument"));
  QueryAtom atom;
  atom.kind = kind;
  atom.variable = std::string(trim_question_marks(trim(inside.substr(0, comma))));
  atom.class_ = std::string(trim(inside.substr(comma + 1)));
  return atom;
}

Result<QueryAtom> parse_atom(std::string_view piece) {
  constexpr std::string_view kType = "Type(";
  constexpr std::string_view kSub = "SubClassOf(";
  if (piece.size() > kType.size() && piece.starts_with(kType) && piece.ends_with(')')) {
    return split_two(QueryAtomKind::Type, piece.substr(kType.size(), piece.size() - kType.size() - 1));
  }
  if (piece.size() > kSub.size() && piece.starts_with(kSub) && piece.ends_with(')')) {
    return split_two(QueryAtomKind::SubClassOf, piece.substr(kSub.size(), piece.size() - kSub.size() - 1));
  }
  return std::unexpected(Error::parse(fmt::format("unsupported query atom: {}", piece)));
}

}  // namespace

Result<ConjunctiveQuery> parse_conjunctive_query(std::string_view text) {
  if (text.size() > kMaxQueryBytes) {
    return std::unexpected(Error::parse(fmt::format("query length exceeds maximum of {}", kMaxQueryBytes)));
  }
  ConjunctiveQuery out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t at = text.find("AND", start);
    std::string_view piece = trim(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (!piece.empty()) {
      auto atom = parse_atom(piece);
      if (!atom) return std::unexpected(std::move(atom.error()));
      out.atoms.push_back(std::move(*atom));
    }
    if (at == std::string_view::npos) break;
    start = at + 3;
  }
  if (out.atoms.size() > kMaxAtoms) {
    return std::unexpected(Error::parse(fmt::format("query atom count exceeds maximum of {}", kMaxAtoms)));
  }
  if (out.atoms.empty()) return std::unexpected(Error::parse("query must contain at least one atom"));
  return out;
}

}  // namespace trelvanic_ql::parse
