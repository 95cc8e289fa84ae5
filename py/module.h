// Module object of `_trelvanic`: built once per process, in the first
// interpreter that imports it, and handed to CPython by the extension's
// entry point. Importing it registers, in this order, the exceptions
// ParseError, ResourceLimitError, IncompleteReasoningError and
// OntologyConflictError, then the classes Reasoner, Ontology and
// OntologyBuilder, each listed in `__all__`; nothing else runs at import.
#pragma once

#include <Python.h>

#include "binding/error.h"

namespace _trelvanic {

// Returns a new reference to the module object, or null with a Python error
// set. Runs with the interpreter lock held.
PyObject* module_create();

// Fills a new module object: the exceptions, then the three classes.
[[nodiscard]] trelvanic_binding::Result<void> module_init(PyObject* module);

}  // namespace _trelvanic
