// The Python class `Reasoner`: a working ontology with reasoning settings,
// made from a file (`Reasoner(path=...)`, `Reasoner.load_in`) or linked to
// a shared `Ontology` (`Reasoner(ontology=...)`). Objects are bound to
// their creating thread; methods take an exclusive borrow, the properties a
// shared one.
#pragma once

#include <Python.h>

#include "binding/error.h"
#include "binding/native.h"

namespace _trelvanic::reasoner {

struct PyReasoner {
  static constexpr const char* kTypeName = "_trelvanic::reasoner::PyReasoner";
  static constexpr const char* kPythonName = "Reasoner";
  // The core reasoner (working ontology and settings), the stored taxonomy
  // and the link to a shared ontology join here with the reasoning methods.
};

using NativeReasoner = trelvanic_binding::Native<PyReasoner>;

inline constexpr const char* kUnsandboxedWarning =
    "Reasoner(path=...): unsandboxed path load; use load_in() or pass trusted=True for trusted "
    "local files";

// Creates the class once per process (borrowed reference).
[[nodiscard]] trelvanic_binding::Result<PyObject*> reasoner_class();

}  // namespace _trelvanic::reasoner
