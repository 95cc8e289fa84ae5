// Long calls of the module (loading, classification, consistency,
// entailment) run through `run_cancellable`: interruptibly, on a worker
// thread with the interpreter lock released (binding/gil.h), and with a
// fresh cancellation flag installed on that thread (core/cancel.h), which
// Ctrl-C raises. The engines poll the flag and stop soon after; the
// caller gets KeyboardInterrupt and nothing of the stopped work is kept.
#pragma once

#include <atomic>
#include <memory>

#include "binding/gil.h"
#include "core/cancel.h"
#include "core/ontology.h"
#include "py/exceptions.h"

namespace _trelvanic {

template <class Work>
auto run_cancellable(Work&& work) -> decltype(work()) {
  auto flag = std::make_shared<std::atomic<bool>>(false);
  return trelvanic_binding::run_interruptible(*flag, [&]() -> decltype(work()) {
    trelvanic_core::ScopedCancel installed(flag);
    return work();
  });
}

// A file load through `run_cancellable`, its loader error mapped.
template <class Load>
trelvanic_binding::Result<trelvanic_core::Ontology> load_cancellable(Load&& load) {
  return run_cancellable([&]() -> trelvanic_binding::Result<trelvanic_core::Ontology> {
    auto loaded = load();
    if (!loaded) return std::unexpected(exceptions::map_parser_py_err(loaded.error()));
    return std::move(*loaded);
  });
}

}  // namespace _trelvanic
