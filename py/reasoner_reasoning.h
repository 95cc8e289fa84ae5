// The bodies of `Reasoner.check_consistency`, `Reasoner.is_consistent` and
// `Reasoner.is_entailed`, called from the class's method table.
//
// Each pulls a newer shared ontology, clones the working copy and runs a
// fresh core reasoner with the stored settings through the facade with the
// interpreter lock released. The consistency methods leave the working
// ontology and the taxonomy alone (`check_consistency` returns
// {"consistent": bool, "complete": bool} in that order; `is_consistent`
// raises IncompleteReasoningError "consistency check incomplete" for an
// incomplete answer). `is_entailed` adopts the ontology the check left
// behind and drops the taxonomy, on success only; its keyword-group and
// lookup failures raise Exception with the facade's text.
#pragma once

#include <Python.h>

#include "binding/args.h"
#include "binding/error.h"
#include "binding/ref.h"
#include "py/reasoner.h"

namespace _trelvanic::reasoner {

[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> check_consistency(PyReasoner& self, PyObject*);
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> is_consistent(PyReasoner& self, PyObject*);
// `args` parsed against the seven parameters sub, sup, individual,
// class_, subject, property, object.
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> is_entailed(PyReasoner& self, PyObject*,
                                                                            const trelvanic_binding::Args& args);

}  // namespace _trelvanic::reasoner
