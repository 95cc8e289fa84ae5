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
#include "core/error.h"
#include "explain/error.h"
#include "facade/error.h"
#include "facade/shared.h"
#include "parser/error.h"

namespace _trelvanic::exceptions {

PyObject* parse_error();
PyObject* resource_limit_error();
PyObject* incomplete_reasoning_error();
PyObject* ontology_conflict_error();

// The one place that maps the errors of the libraries to Python exception
// classes. The message is the error's display text, except for two DL
// cases of the facade error: an exhausted tableau budget raises
// ResourceLimitError with the expansion count alone, an incomplete DL
// answer IncompleteReasoningError with the reason text alone. The results
// are lazy errors, so the mappers may run without the interpreter lock.
//
//   core error            Parse, Serialization -> ParseError;
//                         ResourceLimitExceeded -> ResourceLimitError;
//                         ConsistencyIncomplete -> IncompleteReasoningError;
//                         every other kind -> Exception
//   facade error          Core through the core mapping; DL cases above;
//                         everything else -> Exception
//   loader error          UnsupportedFormat, Parse, Io -> ParseError;
//                         a wrapped core error through the core mapping
//   shared-ontology sync  a conflict -> OntologyConflictError; a poisoned
//                         lock or a missing revision -> RuntimeError
[[nodiscard]] trelvanic_binding::Error map_core_py_err(const trelvanic_core::Error& error);
[[nodiscard]] trelvanic_binding::Error map_facade_py_err(const trelvanic_facade::Error& error);
[[nodiscard]] trelvanic_binding::Error map_parser_py_err(const trelvanic_parser::Error& error);
[[nodiscard]] trelvanic_binding::Error map_explain_py_err(const trelvanic_explain::Error& error);
[[nodiscard]] trelvanic_binding::Error map_sync_py_err(const trelvanic_facade::SyncError& error);

// Adds ParseError, ResourceLimitError, IncompleteReasoningError and
// OntologyConflictError to the module, in that order.
[[nodiscard]] trelvanic_binding::Result<void> register_exceptions(PyObject* module);

}  // namespace _trelvanic::exceptions
