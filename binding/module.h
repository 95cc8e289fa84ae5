// Single-phase module initialisation, once per process.
//
// A `ModuleDef` wraps CPython's module definition with the two pieces of
// process-wide state a single-phase module needs: the id of the first
// interpreter that imported it, set once by compare-and-swap, and the
// module object, built at most once. `module_get_or_create` is what the
// extension's entry point returns: in the first interpreter it builds the
// module (running `init` on it) or returns the one already built, so the
// same object comes back after `del sys.modules[...]`; any other
// interpreter gets ImportError, because the module's objects cannot be
// shared between interpreters.
#pragma once

#include <Python.h>

#include <atomic>
#include <cstdint>

#include "binding/error.h"
#include "binding/once.h"
#include "binding/ref.h"

namespace trelvanic_binding {

struct ModuleDef {
  PyModuleDef def;
  Result<void> (*init)(PyObject* module);
  std::atomic<std::int64_t> first_interpreter{-1};
  OnceCell cell;
};

// A new reference to the module object, or null with a Python error set.
PyObject* module_get_or_create(ModuleDef& def);

// Appends `name` to the module's `__all__` (created on first use), then
// sets the attribute.
[[nodiscard]] Result<void> module_add(PyObject* module, const char* name, PyObject* value);

}  // namespace trelvanic_binding
