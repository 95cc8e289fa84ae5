#include "profile/detect.h"

#include <fmt/format.h>

#include "profile/scanner.h"

namespace trelvanic_profile {

using trelvanic_core::owl_construct_name;
using trelvanic_core::ParseMeta;

namespace {

// A loaded source that used constructs, lost axioms in mapping and left
// nothing behind. Judged on the scanned set (which holds the recorded
// `profile_constructs`), not on `profile_constructs` alone: every edit
// empties that record, and an edited ontology with axioms is not
// skipped-only.
bool skipped_only_source(ConstructMask scanned, const std::optional<ParseMeta>& meta) {
  return meta && !meta->constructs.empty() && meta->profile_constructs.empty() && scanned == 0 &&
         meta->skipped_axiom_count > 0;
}

OwlProfile decide(ConstructMask m, const std::optional<ParseMeta>& meta) {
  if (skipped_only_source(m, meta)) return OwlProfile::Dl;
  if ((m & construct_bit(OwlConstruct::Datatype)) != 0) return OwlProfile::Dl;
  if ((m & rules::outside_ql_mask()) == 0) return OwlProfile::Ql;
  if ((m & rules::outside_rl_mask()) == 0) return OwlProfile::Rl;
  if ((m & rules::outside_el_mask()) == 0) return OwlProfile::El;
  return OwlProfile::Dl;
}

ConstructMask outside_mask(OwlProfile p) {
  switch (p) {
    case OwlProfile::El: return rules::outside_el_mask();
    case OwlProfile::Rl: return rules::outside_rl_mask();
    case OwlProfile::Ql: return rules::outside_ql_mask();
    case OwlProfile::Dl: return 0;
  }
  return 0;
}

}  // namespace

ProfileReport detect_profile_of(const ConstructSet& constructs, const std::optional<ParseMeta>& meta) {
  const ConstructMask m = construct_mask(constructs);
  const ConstructMask observed = meta ? construct_mask(meta->constructs) : 0;
  ProfileReport report;
  const OwlProfile profile = decide(m, meta);
  report.profile = profile;
  if (profile == OwlProfile::Dl) {
    report.diagnostics = rules::dl::dl_diagnostics(constructs);
    if (report.diagnostics.empty() && observed != 0 && m == 0) {
      report.diagnostics.push_back(rules::dl::skipped_only_dl_diagnostic());
    }
  }
  for (OwlConstruct c : construct_set(observed & ~m & outside_mask(profile))) {
    report.diagnostics.push_back(
        {std::string(owl_construct_name(c)),
         fmt::format("construct observed in source but outside detected {} profile (not mapped to core)",
                     owl_profile_name(profile))});
  }
  return report;
}

std::expected<ProfileReport, Error> detect_profile(const trelvanic_core::Ontology& ontology) {
  return detect_profile_of(scan_constructs(ontology), ontology.parse_meta());
}

}  // namespace trelvanic_profile
