// Profile detection: which OWL 2 profile (`El`, `Rl`, `Ql` or `Dl`) an
// ontology falls in, with diagnostics naming the constructs that decided it.
//
//   auto report = detect_profile(ontology);
//   if (report && report->profile == OwlProfile::Dl) ...
//
// The profile is the first that applies: a loaded source whose axioms were
// all skipped is `Dl`; a construct set holding `Datatype` is `Dl`; then `Ql`,
// `Rl`, `El` when no construct lies outside that profile; otherwise `Dl`. A
// `Dl` decision carries `rules::dl::dl_diagnostics` (or, for a skipped-only
// source, the single "SkippedAxioms" diagnostic); any decision is followed by
// one diagnostic per construct seen in the source but not mapped into the
// ontology that lies outside the detected profile (none for `Dl`).
#pragma once

#include <expected>
#include <optional>

#include "core/ontology.h"
#include "core/parse_meta.h"
#include "profile/rules.h"

namespace trelvanic_profile {

// Scans the ontology once and decides. The error is never produced by the
// decision itself; the result type lets callers propagate uniformly.
[[nodiscard]] std::expected<ProfileReport, Error> detect_profile(const trelvanic_core::Ontology& ontology);

// The decision over an already scanned construct set and the ontology's
// parse metadata (for callers that need the set as well).
[[nodiscard]] ProfileReport detect_profile_of(const ConstructSet& constructs,
                                              const std::optional<trelvanic_core::ParseMeta>& meta);

}  // namespace trelvanic_profile
