#include "py/exceptions.h"

#include "binding/module.h"
#include "binding/once.h"

namespace _trelvanic::exceptions {

using trelvanic_binding::Error;
using trelvanic_binding::OnceCell;
using trelvanic_binding::Result;

namespace {

PyObject* make_exception(OnceCell& cell, const char* qualified_name) {
  return cell.get_or_init([&]() -> PyObject* {
    PyObject* made = PyErr_NewException(qualified_name, PyExc_Exception, nullptr);
    if (!made) {
      // The interpreter refused the class: an internal fault of the module.
      PyErr_Clear();
      std::move(Error::panic("Failed to initialize new exception type.")).restore();
    }
    return made;
  });
}

struct Entry {
  const char* name;
  PyObject* (*get)();
};

}  // namespace

PyObject* parse_error() {
  static OnceCell cell;
  return make_exception(cell, "_trelvanic.ParseError");
}
PyObject* resource_limit_error() {
  static OnceCell cell;
  return make_exception(cell, "_trelvanic.ResourceLimitError");
}
PyObject* incomplete_reasoning_error() {
  static OnceCell cell;
  return make_exception(cell, "_trelvanic.IncompleteReasoningError");
}
PyObject* ontology_conflict_error() {
  static OnceCell cell;
  return make_exception(cell, "_trelvanic.OntologyConflictError");
}

Result<void> register_exceptions(PyObject* module) {
  static constexpr Entry kEntries[] = {
      {"ParseError", parse_error},
      {"ResourceLimitError", resource_limit_error},
      {"IncompleteReasoningError", incomplete_reasoning_error},
      {"OntologyConflictError", ontology_conflict_error},
  };
  for (const Entry& entry : kEntries) {
    PyObject* type = entry.get();
    if (!type) return std::unexpected(Error::fetch());
    if (auto ok = trelvanic_binding::module_add(module, entry.name, type); !ok) return ok;
  }
  return {};
}

}  // namespace _trelvanic::exceptions

namespace _trelvanic::exceptions {

using trelvanic_binding::ExceptionType;

Error map_core_py_err(const trelvanic_core::Error& error) {
  using trelvanic_core::ErrorKind;
  ExceptionType type = trelvanic_binding::exception_type;
  switch (error.kind()) {
    case ErrorKind::Parse:
    case ErrorKind::Serialization:
      type = parse_error;
      break;
    case ErrorKind::ResourceLimitExceeded:
      type = resource_limit_error;
      break;
    case ErrorKind::ConsistencyIncomplete:
      type = incomplete_reasoning_error;
      break;
    case ErrorKind::InvalidIri:
    case ErrorKind::EntityKindMismatch:
    case ErrorKind::UnknownEntity:
    case ErrorKind::InvalidAxiom:
    case ErrorKind::ParsingUnavailable:
    case ErrorKind::OntologyNotLoaded:
    case ErrorKind::NotImplemented:
    case ErrorKind::Message:
      break;
  }
  return Error::lazy(type, error.message());
}

Error map_facade_py_err(const trelvanic_facade::Error& error) {
  using trelvanic_facade::DlCase;
  using trelvanic_facade::ErrorVariant;
  switch (error.variant()) {
    case ErrorVariant::Core:
      if (error.core_error()) return map_core_py_err(*error.core_error());
      break;
    case ErrorVariant::Dl:
      switch (error.dl_case()) {
        case DlCase::BudgetExhausted:
          return Error::lazy(resource_limit_error, std::to_string(error.budget_count()));
        case DlCase::Incomplete:
          return Error::lazy(incomplete_reasoning_error, error.reason());
        case DlCase::Other:
          break;
      }
      break;
    case ErrorVariant::El:
    case ErrorVariant::Rl:
    case ErrorVariant::Swrl:
      break;
  }
  return Error::lazy(trelvanic_binding::exception_type, error.message());
}

Error map_explain_py_err(const trelvanic_explain::Error& error) {
  using trelvanic_explain::ErrorKind;
  switch (error.kind()) {
    case ErrorKind::Core:
    case ErrorKind::El:
      if (error.core_error()) return map_core_py_err(*error.core_error());
      break;
    case ErrorKind::NotImplemented:
    case ErrorKind::Profile:
    case ErrorKind::UnsupportedRoute:
      break;
  }
  return Error::lazy(trelvanic_binding::exception_type, error.message());
}

Error map_parser_py_err(const trelvanic_parser::Error& error) {
  using trelvanic_parser::ErrorKind;
  switch (error.kind()) {
    case ErrorKind::Core:
      if (error.core_error()) return map_core_py_err(*error.core_error());
      break;
    case ErrorKind::UnsupportedFormat:
    case ErrorKind::Parse:
    case ErrorKind::Io:
      break;
  }
  return Error::lazy(parse_error, error.message());
}

Error map_sync_py_err(const trelvanic_facade::SyncError& error) {
  using trelvanic_facade::SyncErrorKind;
  switch (error.kind) {
    case SyncErrorKind::Conflict:
      return Error::lazy(ontology_conflict_error, error.message());
    case SyncErrorKind::Poisoned:
    case SyncErrorKind::MissingBaseRevision:
      break;
  }
  return Error::runtime(error.message());
}

}  // namespace _trelvanic::exceptions
