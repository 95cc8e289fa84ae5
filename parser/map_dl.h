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

// Expressions whose constructs are already in one `ParseMeta` (by CeId), so
// that a sub-expression shared by many axioms is walked once per load.
using NotedExpressions = std::vector<bool>;

// Notes (as profile constructs) the constructs of `axiom`, whose class
// expressions are interned in `store`.
void note_dl_axiom_constructs(const trelvanic_core::DlStore& store, const trelvanic_core::DlAxiom& axiom,
                              trelvanic_core::ParseMeta& meta, NotedExpressions& noted);

// Notes the constructs of the interned class expression `id` and of the
// expressions below it (an id outside the store adds nothing).
void note_class_expression_constructs(const trelvanic_core::DlStore& store, trelvanic_core::CeId id,
                                      trelvanic_core::ParseMeta& meta, NotedExpressions& noted);

}  // namespace trelvanic_parser
