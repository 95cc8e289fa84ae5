// The RL `Error`, shared by the RL and RDFS engines: a profile mismatch
// ("expected profile {}, got {}"), a core error, a bridge error of the
// materialisation driver, or an error of the rule engine, each printed with
// its own message.
#pragma once

#include <expected>
#include <string>
#include <variant>

#include "bridge/error.h"
#include "core/error.h"
#include "core/session.h"
#include "materializer/error.h"

namespace trelvanic_rl {

class Error {
 public:
  enum class Kind { ProfileMismatch, Core, Bridge, Materializer };
  struct Profiles {
    trelvanic_core::Profile expected;
    trelvanic_core::Profile found;
  };

  static Error profile_mismatch(trelvanic_core::Profile expected, trelvanic_core::Profile found) {
    return Error(Profiles{expected, found});
  }
  static Error core(trelvanic_core::Error e) { return Error(std::move(e)); }
  static Error bridge(trelvanic_bridge::Error e) { return Error(std::move(e)); }
  static Error materializer(trelvanic_materializer::Error e) { return Error(std::move(e)); }

  [[nodiscard]] Kind kind() const { return static_cast<Kind>(payload_.index()); }
  [[nodiscard]] std::string message() const;

 private:
  template <class T>
  explicit Error(T payload) : payload_(std::move(payload)) {}

  std::variant<Profiles, trelvanic_core::Error, trelvanic_bridge::Error, trelvanic_materializer::Error> payload_;
};

template <class T>
using Result = std::expected<T, Error>;

}  // namespace trelvanic_rl
