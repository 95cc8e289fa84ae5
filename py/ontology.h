// The Python class `Ontology`: an ontology held in memory apart from any
// reasoner, made only by its class methods and by `OntologyBuilder.build`
// (it has no constructor). Objects are bound to their creating thread;
// every method and property takes a shared borrow.
#pragma once

#include <Python.h>

#include <memory>

#include "binding/error.h"
#include "binding/native.h"
#include "binding/ref.h"
#include "core/ontology.h"
#include "facade/shared.h"

namespace _trelvanic::ontology {

struct PyOntology {
  static constexpr const char* kTypeName = "_trelvanic::ontology::PyOntology";
  static constexpr const char* kPythonName = "Ontology";
  // The shared, mutex-guarded core ontology; every `Reasoner` made from
  // this object holds the same pointer.
  std::shared_ptr<trelvanic_facade::SharedOntology> inner;
};

using NativeOntology = trelvanic_binding::Native<PyOntology>;

// A new `Ontology` object owning `ontology` as a fresh shared ontology
// with its own mutex.
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> wrap_ontology(trelvanic_core::Ontology ontology);

// Creates the class once per process (borrowed reference).
[[nodiscard]] trelvanic_binding::Result<PyObject*> ontology_class();

}  // namespace _trelvanic::ontology
