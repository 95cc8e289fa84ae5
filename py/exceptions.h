// The module's four exception classes.
//
// Each class is created once per process on first use, by CPython's
// exception factory, as "_trelvanic.<Name>" with base Exception and no
// docstring. The getters return it as a borrowed reference (null with a
// Python error set if it cannot be created) and have the shape of
// `trelvanic_binding::ExceptionType`, so lazy errors can name them:
// `Error::lazy(parse_error, text)`.
#pragma once

#include <Python.h>

#include "binding/error.h"

namespace _trelvanic::exceptions {

PyObject* parse_error();
PyObject* resource_limit_error();
PyObject* incomplete_reasoning_error();
PyObject* ontology_conflict_error();

// Adds ParseError, ResourceLimitError, IncompleteReasoningError and
// OntologyConflictError to the module, in that order.
[[nodiscard]] trelvanic_binding::Result<void> register_exceptions(PyObject* module);

}  // namespace _trelvanic::exceptions
