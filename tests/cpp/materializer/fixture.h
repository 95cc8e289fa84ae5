// Small helpers for the materializer tests: triples written as short
// texts ("ex:a", "rdf:type", "_:b", "\"5\"^^xsd:integer").
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "materializer/materializer.h"

namespace trelvanic_materializer::testing {

inline Term parse_term(std::string_view text) {
  static const std::pair<std::string_view, std::string_view> kPrefixes[] = {
      {"rdf:", "http://www.w3.org/1999/02/22-rdf-syntax-ns#"},
      {"rdfs:", "http://www.w3.org/2000/01/rdf-schema#"},
      {"owl:", "http://www.w3.org/2002/07/owl#"},
      {"xsd:", "http://www.w3.org/2001/XMLSchema#"},
      {"ex:", "http://example.org/"}};
  auto expand = [&](std::string_view t) {
    for (auto [prefix, ns] : kPrefixes)
      if (t.starts_with(prefix)) return std::string(ns) + std::string(t.substr(prefix.size()));
    return std::string(t);
  };
  if (text.starts_with("_:")) return Term::blank(text.substr(2));
  if (text.starts_with("\"")) {
    std::size_t end = text.rfind('"');
    std::string_view lex = text.substr(1, end - 1);
    std::string_view rest = text.substr(end + 1);
    if (rest.starts_with("^^")) return Term::literal(lex, expand(rest.substr(2)));
    if (rest.starts_with("@")) return Term::lang_literal(lex, rest.substr(1));
    return Term::literal(lex);
  }
  return Term::iri(expand(text));
}

using Text = std::tuple<std::string, std::string, std::string>;

inline std::vector<TermTriple> parse(const std::vector<Text>& texts) {
  std::vector<TermTriple> out;
  for (const auto& [s, p, o] : texts) out.push_back(TermTriple{parse_term(s), parse_term(p), parse_term(o)});
  return out;
}

// The closure as a set of texts, for membership and equality checks.
inline std::set<std::string> closure_set(const Materializer& m) {
  std::set<std::string> out;
  const Dictionary& d = m.dictionary();
  for (const Triple& t : m.triples()) out.insert(d.display(t.subject) + " " + d.display(t.predicate) + " " + d.display(t.object));
  return out;
}

inline std::string key(const Text& t) {
  Dictionary d;
  auto [s, p, o] = t;
  return d.display(d.intern(parse_term(s))) + " " + d.display(d.intern(parse_term(p))) + " " +
         d.display(d.intern(parse_term(o)));
}

inline std::vector<std::string> rule_names(const Materializer& m) {
  std::vector<std::string> out;
  for (const Problem& p : m.problems()) out.push_back(p.rule);
  return out;
}

}  // namespace trelvanic_materializer::testing
