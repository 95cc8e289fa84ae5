// The bridge `Error`: what every operation between the core ontology model
// and the RL materializer returns when it fails.
//
// Three variants: `Materializer` (an error of the rule engine, printed with
// its own message), `Core` (a core error, printed unchanged) and `Message`
// (the bridge's own text, printed as "bridge: {}").
#pragma once

#include <expected>
#include <string>
#include <variant>

#include "core/error.h"
#include "materializer/error.h"

namespace trelvanic_bridge {

class Error {
 public:
  enum class Kind { Materializer, Core, Message };

  static Error materializer(trelvanic_materializer::Error e) { return Error(std::move(e)); }
  static Error core(trelvanic_core::Error e) { return Error(std::move(e)); }
  static Error message_text(std::string text) { return Error(std::move(text)); }

  [[nodiscard]] Kind kind() const { return static_cast<Kind>(payload_.index()); }
  // The core error of a `Core` error (only valid for that variant).
  [[nodiscard]] const trelvanic_core::Error& core_error() const { return std::get<1>(payload_); }
  [[nodiscard]] std::string message() const;

 private:
  explicit Error(trelvanic_materializer::Error e) : payload_(std::move(e)) {}
  explicit Error(trelvanic_core::Error e) : payload_(std::move(e)) {}
  explicit Error(std::string text) : payload_(std::move(text)) {}

  std::variant<trelvanic_materializer::Error, trelvanic_core::Error, std::string> payload_;
};

template <class T>
using Result = std::expected<T, Error>;

// A core result's error as a bridge `Core` error.
inline std::unexpected<Error> core_error(trelvanic_core::Error e) {
  return std::unexpected(Error::core(std::move(e)));
}

}  // namespace trelvanic_bridge

// Propagates the error of a core `Result` as a bridge `Core` error, else
// yields the value.
#define TRELVANIC_BRIDGE_TRY_CORE(expr)                                          \
  ({                                                                             \
    auto&& bridge_try_core_ = (expr);                                            \
    if (!bridge_try_core_) return ::trelvanic_bridge::core_error(bridge_try_core_.error()); \
    *std::move(bridge_try_core_);                                                \
  })

// Propagates the error of a bridge `Result`, else yields the value.
#define TRELVANIC_BRIDGE_TRY(expr)                                      \
  ({                                                                    \
    auto&& bridge_try_ = (expr);                                        \
    if (!bridge_try_) return std::unexpected(std::move(bridge_try_).error()); \
    *std::move(bridge_try_);                                            \
  })
