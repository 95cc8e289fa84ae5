#include "ql/error.h"

#include <fmt/format.h>

namespace trelvanic_ql {

Error Error::unknown_entity(trelvanic_core::EntityId id) {
  return Error(ErrorKind::UnknownEntity, fmt::format("EntityId({})", id.value));
}

Error Error::core(trelvanic_core::Error e) {
  Error out(ErrorKind::Core, e.message());
  out.core_ = std::move(e);
  return out;
}

std::string Error::message() const {
  switch (kind_) {
    case ErrorKind::UnknownEntity:
      return fmt::format("unknown entity {}", detail_);
    case ErrorKind::UnknownClass:
      return fmt::format("unknown class in query: {}", detail_);
    case ErrorKind::Parse:
      return fmt::format("query parse error: {}", detail_);
    case ErrorKind::Core:
      return detail_;
  }
  return detail_;
}

}  // namespace trelvanic_ql
