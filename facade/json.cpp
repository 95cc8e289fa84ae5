#include "facade/json.h"

#include "json/writer.h"

namespace trelvanic_facade {

using trelvanic_core::Ontology;
using trelvanic_core::ParseMetaSummary;
using trelvanic_json::Layout;
using trelvanic_json::Writer;

Result<std::string> entity_iri(const Ontology& ontology, trelvanic_core::EntityId id) {
  auto record = ontology.entity(id);
  if (!record) return std::unexpected(Error::core(std::move(record.error())));
  auto text = ontology.resolve_iri(record->iri);
  if (!text) return std::unexpected(Error::core(std::move(text.error())));
  return std::string(*text);
}

std::optional<ParseMetaSummary> result_parse_meta(const std::optional<trelvanic_core::ParseMeta>& meta) {
  if (!meta || (meta->warnings.empty() && meta->skipped_axiom_count == 0)) return std::nullopt;
  return meta->summary();
}

Result<TaxonomyJson> taxonomy_json(std::string status, const trelvanic_core::Taxonomy& taxonomy,
                                   const Ontology& ontology, std::optional<ParseMetaSummary> summary) {
  TaxonomyJson out;
  out.status = std::move(status);
  out.subsumption_count = taxonomy.edges().size();
  out.subsumptions.reserve(taxonomy.edges().size());
  for (const auto& [sub, sup] : taxonomy.edges()) {
    auto a = entity_iri(ontology, sub);
    if (!a) return std::unexpected(std::move(a.error()));
    auto b = entity_iri(ontology, sup);
    if (!b) return std::unexpected(std::move(b.error()));
    out.subsumptions.emplace_back(std::move(*a), std::move(*b));
  }
  out.equivalences.reserve(taxonomy.clusters().size());
  for (const auto& cluster : taxonomy.clusters()) {
    std::vector<std::string> members;
    members.reserve(cluster.size());
    for (trelvanic_core::EntityId id : cluster) {
      auto iri = entity_iri(ontology, id);
      if (!iri) return std::unexpected(std::move(iri.error()));
      members.push_back(std::move(*iri));
    }
    out.equivalences.push_back(std::move(members));
  }
  out.unsatisfiable.reserve(taxonomy.unsatisfiable().size());
  for (trelvanic_core::EntityId id : taxonomy.unsatisfiable()) {
    auto iri = entity_iri(ontology, id);
    if (!iri) return std::unexpected(std::move(iri.error()));
    out.unsatisfiable.push_back(std::move(*iri));
  }
  out.parse_meta = std::move(summary);
  return out;
}

namespace {

MaterializationJson materialization_json(std::string status, const MaterializationReport& report,
                                         std::optional<ParseMetaSummary> summary) {
  MaterializationJson out;
  out.status = std::move(status);
  out.initial_axiom_count = report.initial_axiom_count;
  out.final_axiom_count = report.final_axiom_count;
  out.inferred_axioms = report.final_axiom_count > report.initial_axiom_count
                            ? report.final_axiom_count - report.initial_axiom_count
                            : 0;
  out.inferred_by_rule = &report.inferred_by_rule;
  out.clash_count = report.clashes.size();
  if (!report.clashes.empty()) out.clashes = report.clashes;
  out.parse_meta = std::move(summary);
  return out;
}

void write_strings(Writer& w, const std::vector<std::string>& items) {
  w.begin_array();
  for (const std::string& s : items) w.string(s);
  w.end_array();
}

// Members in byte-wise key order.
void write_summary(Writer& w, const ParseMetaSummary& s) {
  w.begin_object();
  w.key("logical_axiom_count");
  w.u64(s.logical_axiom_count);
  w.key("mapped_axiom_count");
  w.u64(s.mapped_axiom_count);
  w.key("skipped_axiom_count");
  w.u64(s.skipped_axiom_count);
  w.key("warnings");
  write_strings(w, s.warnings);
  w.end_object();
}

}  // namespace

MaterializationJson rl_materialization_json(std::string status, const MaterializationReport& report,
                                            std::optional<ParseMetaSummary> summary) {
  return materialization_json(std::move(status), report, std::move(summary));
}

MaterializationJson rdfs_materialization_json(std::string status, const MaterializationReport& report,
                                              std::optional<ParseMetaSummary> summary) {
  return materialization_json(std::move(status), report, std::move(summary));
}

std::string write_json(const TaxonomyJson& r) {
  std::string out;
  out.reserve(64 + r.subsumptions.size() * 96);
  Writer w(out, Layout::Compact);
  w.begin_object();
  w.key("equivalences");
  w.begin_array();
  for (const auto& cluster : r.equivalences) write_strings(w, cluster);
  w.end_array();
  if (r.parse_meta) {
    w.key("parse_meta");
    write_summary(w, *r.parse_meta);
  }
  w.key("status");
  w.string(r.status);
  w.key("subsumption_count");
  w.u64(r.subsumption_count);
  w.key("subsumptions");
  w.begin_array();
  for (const auto& [sub, sup] : r.subsumptions) {
    w.begin_array();
    w.string(sub);
    w.string(sup);
    w.end_array();
  }
  w.end_array();
  w.key("unsatisfiable");
  write_strings(w, r.unsatisfiable);
  w.end_object();
  return out;
}

std::string write_json(const MaterializationJson& r) {
  std::string out;
  Writer w(out, Layout::Compact);
  w.begin_object();
  w.key("clash_count");
  w.u64(r.clash_count);
  if (r.clashes) {
    w.key("clashes");
    write_strings(w, *r.clashes);
  }
  w.key("final_axiom_count");
  w.u64(r.final_axiom_count);
  w.key("inferred_axioms");
  w.u64(r.inferred_axioms);
  w.key("inferred_by_rule");
  w.begin_object();
  if (r.inferred_by_rule) {
    // std::map<std::string> orders its keys byte-wise.
    for (const auto& [rule, count] : *r.inferred_by_rule) {
      w.key(rule);
      w.u64(count);
    }
  }
  w.end_object();
  w.key("initial_axiom_count");
  w.u64(r.initial_axiom_count);
  if (r.parse_meta) {
    w.key("parse_meta");
    write_summary(w, *r.parse_meta);
  }
  w.key("status");
  w.string(r.status);
  w.end_object();
  return out;
}

}  // namespace trelvanic_facade
