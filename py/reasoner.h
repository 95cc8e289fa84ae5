// The Python class `Reasoner`: a working ontology with reasoning settings,
// made from a file (`Reasoner(path=...)`, `Reasoner.load_in`) or linked to
// a shared `Ontology` (`Reasoner(ontology=...)`). Objects are bound to
// their creating thread; methods take an exclusive borrow, the properties a
// shared one.
#pragma once

#include <Python.h>

#include <cstdint>
#include <optional>
#include <string>

#include "binding/error.h"
#include "binding/native.h"
#include "core/reasoner.h"
#include "core/taxonomy.h"
#include "facade/answers.h"
#include "facade/shared.h"

namespace _trelvanic::reasoner {

struct PyReasoner {
  static constexpr const char* kTypeName = "_trelvanic::reasoner::PyReasoner";
  static constexpr const char* kPythonName = "Reasoner";
  // The working ontology and the settings every call copies into a fresh
  // core reasoner (its own cache and session serve only `explain`).
  trelvanic_core::Reasoner reasoner;
  // The taxonomy of the last classification that gave one.
  std::optional<trelvanic_core::Taxonomy> taxonomy;
  // The shared ontology and the revision last in step with it; empty for
  // a reasoner made from a file.
  trelvanic_facade::SharedLink link;
  // What entailment questions keep for the ontology they were asked on.
  trelvanic_facade::EntailmentAnswers answers;
};

using NativeReasoner = trelvanic_binding::Native<PyReasoner>;

inline constexpr const char* kUnsandboxedWarning =
    "Reasoner(path=...): unsandboxed path load; use load_in() or pass trusted=True for trusted "
    "local files";

// The core reasoner of a new `Reasoner`: `budget_secs` must not be 0, the
// profile name must be known (`convert::parse_profile`); parallelism 1,
// tracing off.
[[nodiscard]] trelvanic_binding::Result<trelvanic_core::Reasoner> build_reasoner(
    trelvanic_core::Ontology ontology, const std::optional<std::string>& profile, bool incremental,
    std::optional<uint64_t> budget_secs);

// Creates the class once per process (borrowed reference).
[[nodiscard]] trelvanic_binding::Result<PyObject*> reasoner_class();

}  // namespace _trelvanic::reasoner
