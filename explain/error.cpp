#include "explain/error.h"

#include <fmt/format.h>

namespace trelvanic_explain {

Error Error::unsupported_route(trelvanic_profile::RouteEngine engine) {
  return Error(ErrorKind::UnsupportedRoute,
               fmt::format("explanation is only supported for OWL EL classification (got {})",
                           trelvanic_profile::route_engine_name(engine)));
}

Error Error::core(trelvanic_core::Error e) {
  Error out(ErrorKind::Core, e.message());
  out.core_ = std::move(e);
  return out;
}

Error Error::el(trelvanic_el::Error e) {
  Error out(ErrorKind::El, e.text());
  out.core_ = std::move(e.core);
  return out;
}

}  // namespace trelvanic_explain
