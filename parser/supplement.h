// Merging one finished ontology into another, and the DL supplements of an
// RDF/XML load.
//
//   merge_supplement_ontology(target, imported, meta, strict);
//
// `merge_supplement_ontology` carries a finished source ontology (an
// imported document or a supplement) into the target: entities matched by
// IRI and registered there (punning as usual), told axioms re-expressed over
// the target's ids, DL axioms imported into the target's DL store, SWRL rules
// translated, the source's construct sets added to the target's `ParseMeta`.
//
// `supplement_rdf_dl_axioms` rebuilds, from the preprocessed RDF/XML text,
// what the RDF/XML reader drops. For now it adds nothing; the collectors
// come with the RDF/XML supplement work.
#pragma once

#include <string_view>

#include "core/ontology.h"
#include "core/parse_meta.h"
#include "parser/error.h"
#include "parser/limits.h"

namespace trelvanic_parser {

// Kind conflicts fail in strict mode ("import entity kind conflict for {}:
// {} vs {}", the IRI, the target's kind, the source's kind) and become
// warnings with the same text in lenient mode, where the axioms over such an
// entity are left out. A DL-store entity without a counterpart in the target
// fails with "supplement entity {} missing after merge".
[[nodiscard]] Result<void> merge_supplement_ontology(trelvanic_core::Ontology& target,
                                                     const trelvanic_core::Ontology& source,
                                                     trelvanic_core::ParseMeta& meta, bool strict);

[[nodiscard]] Result<void> supplement_rdf_dl_axioms(std::string_view text, trelvanic_core::Ontology& ontology,
                                                    trelvanic_core::ParseMeta& meta, const LoadLimits& limits,
                                                    bool ill_founded_list);

}  // namespace trelvanic_parser
