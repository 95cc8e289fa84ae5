// The bodies of `Reasoner.add_axiom_json`, `Reasoner.add_subclass_of` and
// `Reasoner.remove_subclass_of`, called from the class's method table.
//
// Each pulls a newer shared ontology, edits the working ontology, drops
// the taxonomy and pushes the change. An edit is made on a copy of the
// working ontology and kept only when it succeeds, so a failed edit leaves
// nothing behind (no entity registered by a half-done edit).
//
// `add_axiom_json` takes any Python object that `json.dumps` writes as one
// of six single-axiom objects: {"SubClassOf": {"subclass", "superclass"}},
// {"SubObjectPropertyOf": {"sub_property", "super_property"}},
// {"ObjectPropertyDomain": {"property", "domain"}},
// {"ObjectPropertyRange": {"property", "range"}},
// {"ClassAssertion": {"individual", "class"}},
// {"ObjectPropertyAssertion": {"subject", "property", "object"}}; the first
// of these keys in that order decides, other keys are ignored. Texts over
// 16 MiB raise ParseError.
#pragma once

#include <Python.h>

#include <cstddef>

#include "binding/args.h"
#include "binding/error.h"
#include "binding/ref.h"
#include "core/ontology.h"
#include "json/value.h"
#include "py/reasoner.h"

namespace _trelvanic::reasoner {

inline constexpr std::size_t kMaxAxiomJsonBytes = 16'777'216;

[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> add_axiom_json(PyReasoner& self, PyObject*,
                                                                               const trelvanic_binding::Args& args);
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> add_subclass_of(
    PyReasoner& self, PyObject*, const trelvanic_binding::Args& args);
[[nodiscard]] trelvanic_binding::Result<trelvanic_binding::Ref> remove_subclass_of(
    PyReasoner& self, PyObject*, const trelvanic_binding::Args& args);

// Adds the told axiom a single-axiom JSON value describes, registering its
// entities. A failure may leave entities registered before it: the edit
// methods run this on a copy and keep the copy only on success.
[[nodiscard]] trelvanic_binding::Result<void> apply_snapshot_axiom(trelvanic_core::Ontology& ontology,
                                                                   const trelvanic_json::Value& value);

}  // namespace _trelvanic::reasoner
