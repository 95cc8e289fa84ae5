// `OntologyLimits`: the seven size limits an ontology may carry, with the
// defaults the whole system uses when it builds a limits record.
#pragma once

#include <cstddef>

namespace trelvanic_core {

struct OntologyLimits {
  size_t max_json_bytes = 16'777'216;
  size_t max_entities = 1'000'000;
  size_t max_axioms = 10'000'000;
  size_t max_iri_len = 8192;
  size_t max_operands = 10'000;
  size_t max_literal_bytes = 1'048'576;
  size_t max_swrl_rules = 100'000;

  friend bool operator==(const OntologyLimits&, const OntologyLimits&) = default;
};

inline constexpr OntologyLimits kDefaultLimits{};

}  // namespace trelvanic_core
