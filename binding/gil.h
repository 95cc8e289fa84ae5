// Running native work with the interpreter lock released.
//
// `allow_threads(work)` releases the lock, runs `work()` (which returns a
// `Result<T>`), and takes the lock back before returning its result, also
// when `work` throws: a C++ exception becomes the panic exception's lazy
// error, so nothing escapes into CPython. `work` must not touch Python
// objects and must fail only with lazy errors (`Error::lazy` and kin),
// which carry the exception class and message out as plain values.
#pragma once

#include <Python.h>

#include <exception>
#include <new>
#include <string>

#include "binding/error.h"

namespace trelvanic_binding {

namespace detail {
struct LockRestorer {
  PyThreadState* state;
  ~LockRestorer() { PyEval_RestoreThread(state); }
};
}  // namespace detail


template <class Work>
auto allow_threads(Work&& work) -> decltype(work()) {
  detail::LockRestorer restore{PyEval_SaveThread()};
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return std::unexpected(Error::lazy(memory_error_type, "out of memory in native code"));
  } catch (const std::exception& e) {
    return std::unexpected(Error::panic(std::string("native code failed: ") + e.what()));
  } catch (...) {
    return std::unexpected(Error::panic("native code failed with an unknown exception"));
  }
}

}  // namespace trelvanic_binding
