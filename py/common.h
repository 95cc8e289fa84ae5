// Small helpers shared by the binding sources of the module's classes.
#pragma once

#include <string>

#include "binding/error.h"
// TRELVANIC_TRY: propagates the error of any std::expected (core/error.h).
#include "core/error.h"

namespace _trelvanic {

// NotImplementedError "{what} is not implemented yet", raised by methods
// whose engine work is not part of the module yet.
inline trelvanic_binding::Error not_built(const char* what) {
  return trelvanic_binding::Error::not_implemented(std::string(what) + " is not implemented yet");
}

}  // namespace _trelvanic
