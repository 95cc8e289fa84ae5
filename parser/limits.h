// `LoadLimits`: the size and count limits and the two mode flags of one load.
//
// The load entry points build one record with the defaults below and pass it
// by reference to every step of the load; nested loads (imports) and
// supplement parses receive a copy unchanged. Callers of the entry points
// cannot change the limits; tests of single steps may build smaller ones.
#pragma once

#include <cstdint>

namespace trelvanic_parser {

struct LoadLimits {
  // Size of the ontology file, of the text given to a model reader and of
  // each in-memory supplement text.
  uint64_t max_file_bytes = 67'108'864;  // 64 MiB
  // Pre-scan estimate and parsed component count, axiom totals of import
  // merges, the mapper's axiom limit.
  uint64_t max_axioms = 10'000'000;
  // Entity totals of import merges, the mapper's entity limit.
  uint64_t max_entities = 1'000'000;
  // RDF/XML text after XML entity expansion.
  uint64_t max_expanded_bytes = 268'435'456;  // 256 MiB
  // Largest text any RDF/XML preprocessing pass produces.
  uint64_t max_preprocess_bytes = 536'870'912;  // 512 MiB
  // Supplement ontologies harvested from one RDF/XML file.
  uint64_t max_harvested_assertions = 100'000;
  // Strict mapping: what a lenient load skips with a warning fails the load.
  bool strict = true;
  // Run the post-load validators.
  bool validate = true;

  // The defaults with the given mode flags.
  [[nodiscard]] static LoadLimits with_mode(bool strict, bool validate) {
    LoadLimits limits;
    limits.strict = strict;
    limits.validate = validate;
    return limits;
  }
};

}  // namespace trelvanic_parser
