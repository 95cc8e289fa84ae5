// Python errors as values.
//
// An `Error` is either lazy (an exception class, given as a function that
// returns it, and a message text) or fetched (an exception that the
// interpreter already raised, taken out of its error indicator). Lazy
// errors create no Python object until they are raised, so native work may
// make them while the interpreter lock is released. Fetched errors hold
// references and must only be moved or dropped with the lock held.
//
// Fallible functions of the binding return `Result<T>`; an entry point
// hands a failure back to CPython with `raise` (sets the error indicator
// and returns null).
#pragma once

#include <Python.h>

#include <expected>
#include <string>
#include <utility>

#include "binding/ref.h"

namespace trelvanic_binding {

// Returns the exception class to raise as a borrowed reference, or null
// with a Python error set if the class cannot be created. Called with the
// interpreter lock held, only when the error is raised.
using ExceptionType = PyObject* (*)();

PyObject* runtime_error_type();
PyObject* type_error_type();
PyObject* overflow_error_type();
PyObject* not_implemented_error_type();
PyObject* import_error_type();
PyObject* exception_type();
PyObject* memory_error_type();
// The binding layer's panic exception: a subclass of BaseException (not of
// Exception) for faults that must not be swallowed by `except Exception`,
// such as use of an object on a thread it is not bound to.
PyObject* panic_exception_type();

class Error {
 public:
  static Error lazy(ExceptionType type, std::string message) {
    return Error(type, std::move(message));
  }
  static Error runtime(std::string message) { return lazy(runtime_error_type, std::move(message)); }
  static Error type_error(std::string message) { return lazy(type_error_type, std::move(message)); }
  static Error panic(std::string message) { return lazy(panic_exception_type, std::move(message)); }
  static Error not_implemented(std::string message) {
    return lazy(not_implemented_error_type, std::move(message));
  }
  // Takes the exception currently set in the interpreter. If none is set
  // (a C API contract violation), a RuntimeError stands in for it.
  static Error fetch();

  Error(Error&&) noexcept = default;
  Error& operator=(Error&&) noexcept = default;

  bool is_lazy() const { return !fetched_type_; }
  // The message of a lazy error; empty for a fetched one.
  const std::string& message() const { return message_; }
  ExceptionType type() const { return type_; }

  // Sets the interpreter's error indicator from this error.
  void restore() &&;

 private:
  Error(ExceptionType type, std::string message) : type_(type), message_(std::move(message)) {}
  Error() = default;

  ExceptionType type_ = nullptr;
  std::string message_;
  Ref fetched_type_, fetched_value_, fetched_traceback_;
};

template <class T>
using Result = std::expected<T, Error>;

// Sets the error indicator and returns null, for entry points that return
// `PyObject*`.
inline PyObject* raise(Error error) {
  std::move(error).restore();
  return nullptr;
}

// Converts a C API result (new reference or null with an error set).
inline Result<Ref> checked(PyObject* p) {
  if (!p) return std::unexpected(Error::fetch());
  return Ref::steal(p);
}

}  // namespace trelvanic_binding
