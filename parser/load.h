// Loading an ontology file into a finished core `Ontology` with its
// `ParseMeta` attached.
//
// The four entry points differ only in their mode flags and sandbox:
//
//   entry point                 strict  validate  base      imports
//   load_ontology(path)          yes     yes      none      followed
//   load_ontology_in(base, p)    yes     yes      base      followed
//   load_ontology_lenient(p)     no      no       none      followed
//   load_ontology_lenient_in     no      no       base      not followed
//
// All run `load_ontology_with_limits_and_base_inner`: path checks and the
// hardened open (sandbox.h), the size limit, syntax detection (format.h), the
// read under the read policy (read.h, readers.h) and the mapping (map.h).
// RDF/XML text first goes through the text passes (rdf_preprocess.h) and,
// after mapping, gets its DL supplements (supplement.h). Then, for every
// syntax, the owl:imports of the document are resolved to local files,
// loaded and merged (imports.h), and `finalize_parsed_ontology` gives the
// strict verdict, fixes up the counts, attaches the `ParseMeta` and runs the
// validators (validate.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ontology.h"
#include "core/parse_meta.h"
#include "parser/error.h"
#include "parser/limits.h"
#include "parser/map.h"

namespace trelvanic_parser {

[[nodiscard]] Result<trelvanic_core::Ontology> load_ontology(std::string_view path);
[[nodiscard]] Result<trelvanic_core::Ontology> load_ontology_in(std::string_view base, std::string_view path);
[[nodiscard]] Result<trelvanic_core::Ontology> load_ontology_lenient(std::string_view path);
[[nodiscard]] Result<trelvanic_core::Ontology> load_ontology_lenient_in(std::string_view base, std::string_view path);

// The path the `_in` entry points load: `path` when absolute, else `path`
// joined to `base`.
[[nodiscard]] std::string join_to_base(std::string_view base, std::string_view path);

// The one load path behind the entry points.
[[nodiscard]] Result<trelvanic_core::Ontology> load_ontology_with_limits_and_base_inner(
    std::string_view path, const LoadLimits& limits, std::optional<std::string_view> base, bool follow_imports);

// The largest text one preprocessing run has produced, against its limit.
struct PreprocessBudget {
  uint64_t limit = 0;
  uint64_t peak = 0;
  // Raises `peak` to `length`; "RDF/XML preprocessing allocation {} bytes
  // exceeds limit of {} bytes" once it is above `limit`.
  [[nodiscard]] Result<void> track(uint64_t length);
};

struct PreprocessedRdfXml {
  std::string text;
  bool ill_founded_list = false;
};

// Runs the RDF/XML text passes in their fixed order under the size budget.
[[nodiscard]] Result<PreprocessedRdfXml> preprocess_rdf_xml_text(std::string text, uint64_t max_expanded_bytes,
                                                                 uint64_t max_preprocess_bytes);

// Reads and maps a preprocessed RDF/XML text, adds its supplements and,
// with a path and `follow_imports`, merges its imports; the counts are set
// but the result is not finalized.
[[nodiscard]] Result<MappedOntology> load_rdf_xml_from_preprocessed(std::string_view text, const LoadLimits& limits,
                                                                    bool ill_founded_list,
                                                                    std::optional<std::string_view> path,
                                                                    std::optional<std::string_view> base,
                                                                    bool follow_imports);

// Strict verdict on skipped axioms ("strict parse: skipped {} axioms due to
// limits or mapping failures"), count fix-up for an ontology held only in
// the DL store, `ParseMeta` attached, dirty set cleared, DL ABox indexed,
// then the validators (`validate`; the blank-node graph check only when
// `strict` too).
[[nodiscard]] Result<trelvanic_core::Ontology> finalize_parsed_ontology(trelvanic_core::Ontology ontology,
                                                                        trelvanic_core::ParseMeta meta, bool strict,
                                                                        bool validate);

// The UTF-8 decoder's complaint about `bytes`, or none when they are valid:
// "invalid utf-8 sequence of {n} bytes from index {i}" or "incomplete utf-8
// byte sequence from index {i}".
[[nodiscard]] std::optional<std::string> utf8_error(std::string_view bytes);

}  // namespace trelvanic_parser
