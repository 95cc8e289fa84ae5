// The pull and push around a call on a `Reasoner` linked to a shared
// `Ontology`, as Python errors:
//   pull_shared  replaces the working copy by a newer shared ontology (a
//                replaced copy has no taxonomy);
//   push_shared  writes a changed working copy back, or raises the
//                conflict.
// Both do nothing for a reasoner made from a file. Interpreter lock held.
#pragma once

#include "binding/error.h"
#include "py/reasoner.h"

namespace _trelvanic::reasoner {

[[nodiscard]] trelvanic_binding::Result<void> pull_shared(PyReasoner& self);
[[nodiscard]] trelvanic_binding::Result<void> push_shared(PyReasoner& self);

}  // namespace _trelvanic::reasoner
