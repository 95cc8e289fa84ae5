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
// `supplement_rdf_dl_axioms` recovers, after an RDF/XML document has been
// read and mapped, the statements the mapping left out because they are
// written in the vocabulary of the drafts before OWL 2
// (rdfxml_supplements/older_vocabulary.h). It reads the document's triples
// again, rewrites those statements into OWL 2 vocabulary, maps both graphs,
// and carries the axioms that only the rewritten graph gives into the loaded
// ontology as functional-syntax supplement texts: each text is parsed like a
// file (`load_ofn_from_str_with_limits`) and merged. The load's `ParseMeta`
// then tells what the rewritten graph tells: the warnings and lost axioms of
// the statements now recovered go, `mapped_axiom_count` rises by the axioms
// added. An axiom the load already holds is never added or counted twice.
// Documents whose mapping noted nothing and that hold no negative assertion
// are not read again.
#pragma once

#include <cstdint>
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

// Reads a functional-syntax text under the load limits into a finished
// ontology (no validation), its anonymous individuals named as those of
// `document`: "in-memory OFN size {} exceeds limit of {} bytes" before any
// reading for a text longer than `max_file_bytes`; in strict mode an axiom
// the mapping skipped fails it as a file would.
[[nodiscard]] Result<trelvanic_core::Ontology> load_ofn_from_str_with_limits(std::string_view text,
                                                                           const LoadLimits& limits,
                                                                           uint32_t document = 0);

// Recovered axioms are counted as harvested assertions, in supplements of at
// most 500 axioms: above `max_harvested_assertions` the load fails with
// "harvested assertion count {} exceeds limit of {}". A recovered axiom whose
// text fails the checks of rdfxml_supplements/checks.h, or a supplement that
// does not parse or merge, fails a strict load with that error; a lenient
// load warns ("{error}; recovered axiom skipped") and counts it skipped.
// `document` is the number the loader gave the document (imports.h).
[[nodiscard]] Result<void> supplement_rdf_dl_axioms(std::string_view text, trelvanic_core::Ontology& ontology,
                                                    trelvanic_core::ParseMeta& meta, const LoadLimits& limits,
                                                    bool ill_founded_list, uint32_t document = 0);

}  // namespace trelvanic_parser
