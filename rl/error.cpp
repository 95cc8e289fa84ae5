#include "rl/error.h"

#include <fmt/format.h>

namespace trelvanic_rl {

std::string Error::message() const {
  switch (kind()) {
    case Kind::ProfileMismatch: {
      const auto& p = std::get<0>(payload_);
      return fmt::format("expected profile {}, got {}", trelvanic_core::profile_name(p.expected),
                         trelvanic_core::profile_name(p.found));
    }
    case Kind::Core: return std::get<1>(payload_).message();
    case Kind::Bridge: return std::get<2>(payload_).message();
    case Kind::Materializer: return std::get<3>(payload_).message;
  }
  return {};
}

}  // namespace trelvanic_rl
