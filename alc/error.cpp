#include "alc/error.h"

#include <cstdlib>
#include <string_view>

#include <fmt/format.h>

namespace trelvanic_alc {

Error Error::budget_exhausted(uint32_t expansion_limit) {
  return Error{ErrorKind::BudgetExhausted,
               fmt::format("tableau expansion budget exhausted ({} expansions)", expansion_limit), expansion_limit};
}

Error Error::from_core(trelvanic_core::Error e) {
  std::string text = e.message();
  return Error{ErrorKind::Core, std::move(text), 0, std::move(e)};
}

uint32_t env_u32(const char* name, uint32_t fallback) {
  const char* raw = std::getenv(name);
  if (raw == nullptr) return fallback;
  std::string_view s(raw);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.size() > 10) return fallback;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return fallback;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v > 0xFFFFFFFFull ? fallback : static_cast<uint32_t>(v);
}

uint32_t expansion_limit() { return env_u32("TRELVANIC_TABLEAU_MAX_EXPANSIONS", 4096); }
uint32_t world_limit() { return env_u32("TRELVANIC_TABLEAU_MAX_WORLDS", 256); }
uint32_t stall_limit() { return env_u32("TRELVANIC_TABLEAU_MAX_STALL_STEPS", 256); }

}  // namespace trelvanic_alc
