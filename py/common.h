// Small helpers shared by the binding sources of the module's classes.
#pragma once

#include "binding/error.h"
// TRELVANIC_TRY: propagates the error of any std::expected (core/error.h).
#include "core/error.h"
