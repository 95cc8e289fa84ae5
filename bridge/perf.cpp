#include "bridge/perf.h"

#include <cstdlib>
#include <string_view>

#include <fmt/format.h>

namespace trelvanic_bridge {

std::string BridgePerfTimings::to_json() const {
  return fmt::format(
      R"({{"core_to_triples_s":{},"rl_fixpoint_s":{},"merge_s":{},"postprocess_s":{},"total_s":{}}})",
      core_to_triples_s, rl_fixpoint_s, merge_s, postprocess_s, total_s);
}

bool perf_enabled() {
  const char* raw = std::getenv("TRELVANIC_BRIDGE_PERF");
  if (raw == nullptr) return false;
  const std::string_view value(raw);
  if (value == "1") return true;
  if (value.size() != 4) return false;
  constexpr std::string_view kTrue = "true";
  for (size_t i = 0; i < 4; ++i)
    if ((value[i] | 0x20) != kTrue[i]) return false;
  return true;
}

}  // namespace trelvanic_bridge
