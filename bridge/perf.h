// The bridge's optional timing line: with TRELVANIC_BRIDGE_PERF set to "1"
// or "true" (any letter case) each successful materialisation writes one
// line of compact JSON with its phase times in seconds to standard error:
//   {"core_to_triples_s":…,"rl_fixpoint_s":…,"merge_s":…,"postprocess_s":…,"total_s":…}
#pragma once

#include <string>

namespace trelvanic_bridge {

struct BridgePerfTimings {
  double core_to_triples_s = 0;
  double rl_fixpoint_s = 0;
  double merge_s = 0;
  double postprocess_s = 0;
  double total_s = 0;

  // The JSON object, keys in declared order.
  [[nodiscard]] std::string to_json() const;
};

// Reads the environment variable at each call.
[[nodiscard]] bool perf_enabled();

}  // namespace trelvanic_bridge
