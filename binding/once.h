// A process-wide cell for a Python object created on first use and kept
// until the process ends (exception classes, type objects, the module).
//
// Filled with the interpreter lock held. If the initialiser lets another
// thread run (it may call Python code) and that thread fills the cell
// first, the later object is dropped and the first one kept, so every
// caller sees the same object.
#pragma once

#include <Python.h>

namespace trelvanic_binding {

class OnceCell {
 public:
  // Returns the stored object (borrowed), creating it with `init` (which
  // returns a new reference or null with a Python error set) when empty.
  template <class F>
  PyObject* get_or_init(F&& init) {
    if (value_) return value_;
    PyObject* made = init();
    if (!made) return nullptr;
    if (value_) {
      Py_DECREF(made);
      return value_;
    }
    value_ = made;
    return value_;
  }
  PyObject* get() const { return value_; }

 private:
  PyObject* value_ = nullptr;
};

}  // namespace trelvanic_binding
