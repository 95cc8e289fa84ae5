#include "rl/report.h"

#include "bridge/rl_postprocess.h"
#include "rl/abox.h"

namespace trelvanic_rl {

std::string_view rl_rule_name(RlRule rule) {
  switch (rule) {
#define TRELVANIC_RL_RULE_NAME(name, text) \
  case RlRule::name: return text;
    TRELVANIC_RL_RULES(TRELVANIC_RL_RULE_NAME)
#undef TRELVANIC_RL_RULE_NAME
  }
  return {};
}

MaterializationReport report_from_outcome(const trelvanic_core::Ontology& ontology, size_t initial,
                                          size_t final_count, const trelvanic_bridge::MaterializeOutcome& outcome) {
  auto same_as = abox::collect_same_as_clashes(ontology);
  MaterializationReport report;
  report.clashes = outcome.clashes;
  for (std::string& m : same_as.messages) report.clashes.push_back(std::move(m));
  report.clash_pairs = std::move(same_as.pairs);
  report.initial_axiom_count = initial;
  report.final_axiom_count = final_count;
  report.export_complete = outcome.export_complete;
  return report;
}

bool clashes_indicate_inconsistency(const std::vector<std::string>& clashes) {
  constexpr std::string_view kIgnored = "entity kind mismatch";
  for (const std::string& m : clashes)
    if (!std::string_view(m).starts_with(kIgnored)) return true;
  return false;
}

std::optional<trelvanic_core::ConsistencyResult> consistency_from_report(const MaterializationReport& report,
                                                                         const trelvanic_core::Ontology& saturated) {
  if (clashes_indicate_inconsistency(report.clashes) || trelvanic_bridge::has_bottom_chain_violation(saturated))
    return trelvanic_core::ConsistencyResult{false, true};
  if (!report.export_complete) return trelvanic_core::ConsistencyResult{false, false};
  return std::nullopt;
}

namespace rdfs {

std::string_view rdfs_rule_name(RdfsRule rule) {
  switch (rule) {
    case RdfsRule::ScTrans: return "sc_trans";
    case RdfsRule::SpTrans: return "sp_trans";
    case RdfsRule::DomInherit: return "dom_inherit";
    case RdfsRule::RngInherit: return "rng_inherit";
  }
  return {};
}

}  // namespace rdfs

}  // namespace trelvanic_rl
