// Error: the tableau's error value. A closed branch is the answer false,
// never an error; the errors are resource exhaustion (`BudgetExhausted`,
// also used wherever the calculus is not complete for what is present, so
// that an open branch is never mistaken for a model) and internal texts.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

#include "core/error.h"

namespace trelvanic_alc {

enum class ErrorKind : uint8_t {
  ExceedsFragment,
  Core,
  Parser,
  Profile,
  Message,
  // "tableau expansion budget exhausted ({} expansions)", always carrying
  // the configured expansion limit, whatever ended the run.
  BudgetExhausted,
  NodeSpaceExhausted,
};

struct Error {
  ErrorKind kind = ErrorKind::Message;
  std::string text;
  uint32_t limit = 0;  // BudgetExhausted
  std::optional<trelvanic_core::Error> core = std::nullopt;

  [[nodiscard]] const std::string& message() const { return text; }

  static Error budget_exhausted(uint32_t expansion_limit);
  static Error message_text(std::string text) { return Error{ErrorKind::Message, std::move(text)}; }
  static Error from_core(trelvanic_core::Error e);
};

template <class T>
using Result = std::expected<T, Error>;

// The limit variables are read afresh at every use: an unsigned 32-bit
// decimal with an optional leading "+" and nothing else; any other value
// (or none) gives `fallback`.
[[nodiscard]] uint32_t env_u32(const char* name, uint32_t fallback);
[[nodiscard]] uint32_t expansion_limit();
[[nodiscard]] uint32_t world_limit();
[[nodiscard]] uint32_t stall_limit();

}  // namespace trelvanic_alc
