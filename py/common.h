// Small helpers shared by the binding sources of the module's classes.
#pragma once

#include <string>

#include "binding/error.h"

namespace _trelvanic {

// NotImplementedError "{what} is not implemented yet", raised by methods
// whose engine work is not part of the module yet.
inline trelvanic_binding::Error not_built(const char* what) {
  return trelvanic_binding::Error::not_implemented(std::string(what) + " is not implemented yet");
}

// Propagates the error of a `Result` out of a function returning a `Result`.
#define TRELVANIC_TRY(expr)                                                 \
  do {                                                                      \
    auto trelvanic_try_result_ = (expr);                                    \
    if (!trelvanic_try_result_) {                                           \
      return std::unexpected(std::move(trelvanic_try_result_.error()));     \
    }                                                                       \
  } while (false)

}  // namespace _trelvanic
