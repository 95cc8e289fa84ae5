// The Python class `OntologyBuilder`: builds a small ontology in memory,
// entity by entity and axiom by axiom, and hands it over as an `Ontology`
// with `build()`. Objects are bound to their creating thread; every method
// takes an exclusive borrow.
#pragma once

#include <Python.h>

#include "binding/error.h"
#include "binding/native.h"
#include "core/ontology.h"

// The builder's native type lives in the `ontology` namespace beside
// `PyOntology`, whose objects it makes; its name shows in thread errors.
namespace _trelvanic::ontology {

struct PyOntologyBuilder {
  static constexpr const char* kTypeName = "_trelvanic::ontology::PyOntologyBuilder";
  static constexpr const char* kPythonName = "OntologyBuilder";
  // The ontology built so far; a step that fails leaves it as it was.
  trelvanic_core::Ontology ontology;
};

using NativeOntologyBuilder = trelvanic_binding::Native<PyOntologyBuilder>;

// Creates the class once per process (borrowed reference).
[[nodiscard]] trelvanic_binding::Result<PyObject*> ontology_builder_class();

}  // namespace _trelvanic::ontology
