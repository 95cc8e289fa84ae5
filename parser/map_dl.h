// Mapping of the structured parts of OWL axioms into the DL store: class
// expressions, data ranges, literals and individuals (members of `Mapper`,
// map.h, implemented in map_dl.cpp), and the profile constructs a DL axiom
// stands for.
//
// `note_dl_axiom_constructs` records in a `ParseMeta` the constructs of one
// DL axiom and of the class expressions it names, the same constructs a scan
// of the finished DL store gives, so that the profile of a freshly loaded
// ontology is decided on everything it holds, told or DL.
#pragma once

#include <string_view>
#include <vector>

#include "core/dl.h"
#include "core/dl_expr.h"
#include "core/parse_meta.h"

namespace trelvanic_parser {

inline constexpr std::string_view kXsdString = "http://www.w3.org/2001/XMLSchema#string";
inline constexpr std::string_view kRdfLangString = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString";

// What is already in one `ParseMeta`: the expressions whose constructs are
// noted (by CeId), so that a sub-expression shared by many axioms is walked
// once per load, and the profile constructs noted (a bit per construct), so
// that noting one again does not search the meta's sets.
struct NotedExpressions {
  std::vector<bool> expressions;
  uint64_t profile_constructs = 0;

  void note(trelvanic_core::ParseMeta& meta, trelvanic_core::OwlConstruct c) {
    const uint64_t bit = uint64_t{1} << static_cast<unsigned>(c);
    if ((profile_constructs & bit) != 0) return;
    profile_constructs |= bit;
    meta.note_profile_construct(c);
  }
};

// Notes (as profile constructs) the constructs of `axiom`, whose class
// expressions are interned in `store`.
void note_dl_axiom_constructs(const trelvanic_core::DlStore& store, const trelvanic_core::DlAxiom& axiom,
                              trelvanic_core::ParseMeta& meta, NotedExpressions& noted);

// Notes the constructs of the interned class expression `id` and of the
// expressions below it (an id outside the store adds nothing).
void note_class_expression_constructs(const trelvanic_core::DlStore& store, trelvanic_core::CeId id,
                                      trelvanic_core::ParseMeta& meta, NotedExpressions& noted);

}  // namespace trelvanic_parser
