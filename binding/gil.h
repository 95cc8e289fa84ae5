// Running native work with the interpreter lock released.
//
// `allow_threads(work)` releases the lock, runs `work()` (which returns a
// `Result<T>`), and takes the lock back before returning its result, also
// when `work` throws: a C++ exception becomes the panic exception's lazy
// error, so nothing escapes into CPython. `work` must not touch Python
// objects and must fail only with lazy errors (`Error::lazy` and kin),
// which carry the exception class and message out as plain values.
// `run_interruptible(stop, work)` does the same on a worker thread while the
// caller looks for Ctrl-C, raising `stop` and the signal's exception when
// one comes.
#pragma once

#include <Python.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "binding/error.h"

namespace trelvanic_binding {

// How long the waiting caller of `run_interruptible` sleeps between two
// looks for a pending signal.
inline constexpr std::chrono::milliseconds kSignalSlice{20};

namespace detail {
struct LockRestorer {
  PyThreadState* state;
  ~LockRestorer() { PyEval_RestoreThread(state); }
};

// `work()`, with a C++ exception turned into a lazy error.
template <class Work>
auto guarded(Work& work) -> decltype(work()) {
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
}  // namespace detail


template <class Work>
auto allow_threads(Work&& work) -> decltype(work()) {
  detail::LockRestorer restore{PyEval_SaveThread()};
  return detail::guarded(work);
}

// Like `allow_threads`, but interruptible: `work()` runs on a worker thread
// while the calling thread, lock released, waits for it in slices of
// `kSignalSlice` and between slices takes the lock to run pending signal
// handlers (`PyErr_CheckSignals`; only the main thread has any). When a
// handler raises (Ctrl-C: KeyboardInterrupt), `stop` is set, the worker is
// waited for (`work` is expected to poll `stop` and end soon), its result is
// dropped and the handler's exception is the result. Without a thread to
// spare, `work` runs here as under `allow_threads`.
template <class Work>
auto run_interruptible(std::atomic<bool>& stop, Work&& work) -> decltype(work()) {
  using R = decltype(work());
  std::mutex mutex;
  std::condition_variable finished;
  std::optional<R> result;
  PyThreadState* state = PyEval_SaveThread();
  std::thread worker;
  try {
    worker = std::thread([&] {
      R r = detail::guarded(work);
      std::lock_guard lock(mutex);
      result.emplace(std::move(r));
      finished.notify_one();
    });
  } catch (const std::system_error&) {
    R r = detail::guarded(work);
    PyEval_RestoreThread(state);
    return r;
  }
  std::optional<Error> interrupted;
  std::unique_lock lock(mutex);
  while (!finished.wait_for(lock, kSignalSlice, [&] { return result.has_value(); })) {
    if (interrupted) continue;
    lock.unlock();
    PyEval_RestoreThread(state);
    if (PyErr_CheckSignals() < 0) {
      interrupted.emplace(Error::fetch());
      stop.store(true, std::memory_order_relaxed);
    }
    state = PyEval_SaveThread();
    lock.lock();
  }
  lock.unlock();
  worker.join();
  PyEval_RestoreThread(state);
  if (interrupted) return std::unexpected(std::move(*interrupted));
  return std::move(*result);
}

}  // namespace trelvanic_binding
