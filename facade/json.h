// Result records of classification, with entity ids replaced by IRI texts,
// and their compact JSON text.
//
// `TaxonomyJson` is the record of a taxonomy, `MaterializationJson` the one
// of an RL or RDFS report. `write_json` gives the compact text of a record
// with the object members in byte-wise key order at every level (what a
// JSON value tree with sorted objects would write), optional members left
// out rather than written as null:
//
//   auto rec = taxonomy_json("classified", taxonomy, ontology,
//                            result_parse_meta(ontology.parse_meta()));
//   if (rec) std::string text = write_json(*rec);
//   // {"equivalences":[],"status":"classified","subsumption_count":0,...}
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ontology.h"
#include "core/parse_meta.h"
#include "core/taxonomy.h"
#include "facade/error.h"
#include "facade/outcome.h"

namespace trelvanic_facade {

struct TaxonomyJson {
  std::string status;
  uint64_t subsumption_count = 0;
  std::vector<std::pair<std::string, std::string>> subsumptions;
  std::vector<std::vector<std::string>> equivalences;
  std::vector<std::string> unsatisfiable;
  std::optional<trelvanic_core::ParseMetaSummary> parse_meta;
};

struct MaterializationJson {
  std::string status;
  uint64_t initial_axiom_count = 0;
  uint64_t final_axiom_count = 0;
  uint64_t inferred_axioms = 0;
  const std::map<std::string, uint64_t>* inferred_by_rule = nullptr;  // borrowed from the report
  uint64_t clash_count = 0;
  std::optional<std::vector<std::string>> clashes;  // absent when there are none
  std::optional<trelvanic_core::ParseMetaSummary> parse_meta;
};

// The IRI text of an entity (an owned copy); an unknown entity or IRI id
// is the `Core` error.
[[nodiscard]] Result<std::string> entity_iri(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId id);

// The summary that a result record carries: present only when the ontology
// has parse metadata with at least one warning or a skipped axiom.
[[nodiscard]] std::optional<trelvanic_core::ParseMetaSummary> result_parse_meta(
    const std::optional<trelvanic_core::ParseMeta>& meta);

// Edges, then clusters, then unsatisfiable classes through `entity_iri`; the
// first unknown id ends the call.
[[nodiscard]] Result<TaxonomyJson> taxonomy_json(std::string status, const trelvanic_core::Taxonomy& taxonomy,
                                                 const trelvanic_core::Ontology& ontology,
                                                 std::optional<trelvanic_core::ParseMetaSummary> summary);

// Both report kinds have the same record. "inferred_axioms" is final minus
// initial, 0 when the final count is smaller.
[[nodiscard]] MaterializationJson rl_materialization_json(std::string status, const MaterializationReport& report,
                                                          std::optional<trelvanic_core::ParseMetaSummary> summary);
[[nodiscard]] MaterializationJson rdfs_materialization_json(std::string status, const MaterializationReport& report,
                                                            std::optional<trelvanic_core::ParseMetaSummary> summary);

[[nodiscard]] std::string write_json(const TaxonomyJson& record);
[[nodiscard]] std::string write_json(const MaterializationJson& record);

}  // namespace trelvanic_facade
