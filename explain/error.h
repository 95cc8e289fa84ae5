// Error: why an explanation could not be built, a kind and its display text.
#pragma once

#include <optional>
#include <string>

#include "core/error.h"
#include "el/error.h"
#include "profile/routing.h"

namespace trelvanic_explain {

enum class ErrorKind : unsigned char {
  // "explanation generation not yet implemented" (declared, never produced).
  NotImplemented,
  // The route could not be resolved; the profile error's text.
  Profile,
  // "explanation is only supported for OWL EL classification (got {})".
  UnsupportedRoute,
  // A core error, shown with its own text.
  Core,
  // The EL engine's error, shown with its own text.
  El,
};

class Error {
 public:
  static Error not_implemented() { return Error(ErrorKind::NotImplemented, "explanation generation not yet implemented"); }
  static Error profile(const trelvanic_profile::Error& e) { return Error(ErrorKind::Profile, e.display()); }
  static Error unsupported_route(trelvanic_profile::RouteEngine engine);
  static Error core(trelvanic_core::Error e);
  static Error el(trelvanic_el::Error e);

  [[nodiscard]] ErrorKind kind() const { return kind_; }
  [[nodiscard]] const std::string& message() const { return message_; }
  // The core error of a Core error, or of an El error that wraps one.
  [[nodiscard]] const std::optional<trelvanic_core::Error>& core_error() const { return core_; }

 private:
  Error(ErrorKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

  ErrorKind kind_;
  std::string message_;
  std::optional<trelvanic_core::Error> core_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_explain
