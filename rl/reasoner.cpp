#include "rl/reasoner.h"

#include <fmt/format.h>

#include "rl/engine.h"

namespace trelvanic_rl {

Result<MaterializationReport> saturate_routed(trelvanic_core::Reasoner& reasoner) {
  const uint32_t parallelism = reasoner.parallelism();
  if (parallelism < 1 || parallelism > trelvanic_core::kMaxParallelism)
    return std::unexpected(Error::core(trelvanic_core::Error::message_text(
        fmt::format("parallelism must be in 1..={}, got {}", trelvanic_core::kMaxParallelism, parallelism))));
  RlEngine engine;
  engine.trace = reasoner.trace_enabled();
  return engine.saturate_reasoner(reasoner);
}

}  // namespace trelvanic_rl
