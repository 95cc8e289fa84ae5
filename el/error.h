// Error: the EL engine's error value, a kind and its display text.
//
// `NotEl` and `Profile` come from the profile gate; `ProfileMismatch`,
// `Core` and `Message` serve callers that report through this type. A `Core`
// error keeps the core error it wraps, so callers can map it by its kind.
#pragma once

#include <optional>
#include <string>

#include "core/error.h"

namespace trelvanic_el {

enum class ErrorKind : unsigned char {
  // "expected profile {}, got {}".
  ProfileMismatch,
  // The ontology uses a construct the engine does not decide completely.
  NotEl,
  // Profile detection failed: "profile detection failed: {}".
  Profile,
  // A core error, shown with its own text.
  Core,
  // Anything else; the message is the whole text.
  Message,
};

struct Error {
  ErrorKind kind;
  std::string message;
  std::optional<trelvanic_core::Error> core = std::nullopt;

  const std::string& text() const { return message; }

  static Error from_core(trelvanic_core::Error e) {
    std::string text = e.message();
    return Error{ErrorKind::Core, std::move(text), std::move(e)};
  }
};

}  // namespace trelvanic_el
