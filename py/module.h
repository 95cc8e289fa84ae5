// Module object of `_trelvanic`: built once per process and handed to
// CPython by the extension's entry point.
#pragma once

#include <Python.h>

namespace _trelvanic {

// Returns a new reference to the module object, or null with a Python error
// set. Runs with the interpreter lock held.
PyObject* module_create();

}  // namespace _trelvanic
