// The Python class `Ontology`: an ontology held in memory apart from any
// reasoner, made only by its class methods and by `OntologyBuilder.build`
// (it has no constructor). Objects are bound to their creating thread;
// every method and property takes a shared borrow.
#pragma once

#include <Python.h>

#include "binding/error.h"
#include "binding/native.h"

namespace _trelvanic::ontology {

struct PyOntology {
  static constexpr const char* kTypeName = "_trelvanic::ontology::PyOntology";
  static constexpr const char* kPythonName = "Ontology";
  // The shared, mutex-guarded core ontology joins here with the snapshot
  // methods.
};

using NativeOntology = trelvanic_binding::Native<PyOntology>;

// Creates the class once per process (borrowed reference).
[[nodiscard]] trelvanic_binding::Result<PyObject*> ontology_class();

}  // namespace _trelvanic::ontology
