#include "bridge/error.h"

#include <fmt/format.h>

namespace trelvanic_bridge {

std::string Error::message() const {
  switch (kind()) {
    case Kind::Materializer:
      return std::get<0>(payload_).message;
    case Kind::Core:
      return std::get<1>(payload_).message();
    case Kind::Message:
      return fmt::format("bridge: {}", std::get<2>(payload_));
  }
  return {};
}

}  // namespace trelvanic_bridge
