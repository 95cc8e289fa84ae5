// The only symbol the extension exports: CPython's initialisation entry.
#include <Python.h>

#include "py/module.h"

PyMODINIT_FUNC PyInit__trelvanic(void) { return _trelvanic::module_create(); }
