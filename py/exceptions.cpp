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
