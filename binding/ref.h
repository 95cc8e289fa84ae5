// Owned and borrowed references to Python objects.
//
// `Ref` owns one strong reference and drops it when it goes out of scope;
// `Ref::steal` adopts a reference returned by the C API ("new reference"),
// `Ref::borrow` takes a new one on an object owned elsewhere. `release`
// hands the reference back to CPython (for example as a return value).
// Every operation here needs the interpreter lock, except moving a `Ref`.
#pragma once

#include <Python.h>

#include <utility>

namespace trelvanic_binding {

class Ref {
 public:
  Ref() = default;
  static Ref steal(PyObject* p) { return Ref(p); }
  static Ref borrow(PyObject* p) {
    Py_XINCREF(p);
    return Ref(p);
  }
  static Ref none() { return borrow(Py_None); }

  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      Py_XDECREF(p_);
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() { Py_XDECREF(p_); }

  PyObject* get() const { return p_; }
  PyObject* release() { return std::exchange(p_, nullptr); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  explicit Ref(PyObject* p) : p_(p) {}
  PyObject* p_ = nullptr;
};

// A reference owned by someone else (an argument, a tuple item) that stays
// valid for the duration of a call. It exists to make the ownership of a
// pointer visible in signatures.
class Borrowed {
 public:
  Borrowed() = default;
  explicit Borrowed(PyObject* p) : p_(p) {}
  PyObject* get() const { return p_; }
  Ref to_owned() const { return Ref::borrow(p_); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  PyObject* p_ = nullptr;
};

}  // namespace trelvanic_binding
