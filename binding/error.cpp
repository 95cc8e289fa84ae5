#include "binding/error.h"

#include "binding/once.h"

namespace trelvanic_binding {

PyObject* runtime_error_type() { return PyExc_RuntimeError; }
PyObject* type_error_type() { return PyExc_TypeError; }
PyObject* overflow_error_type() { return PyExc_OverflowError; }
PyObject* not_implemented_error_type() { return PyExc_NotImplementedError; }
PyObject* import_error_type() { return PyExc_ImportError; }
PyObject* exception_type() { return PyExc_Exception; }
PyObject* memory_error_type() { return PyExc_MemoryError; }

PyObject* panic_exception_type() {
  static OnceCell cell;
  return cell.get_or_init([] {
    return PyErr_NewException("trelvanic_binding.PanicException", PyExc_BaseException, nullptr);
  });
}

Error Error::fetch() {
  PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
  PyErr_Fetch(&type, &value, &traceback);
  if (!type) return runtime("native code reported a Python error without setting one");
  Error error;
  error.fetched_type_ = Ref::steal(type);
  error.fetched_value_ = Ref::steal(value);
  error.fetched_traceback_ = Ref::steal(traceback);
  return error;
}

void Error::restore() && {
  if (fetched_type_) {
    PyErr_Restore(fetched_type_.release(), fetched_value_.release(), fetched_traceback_.release());
    return;
  }
  PyObject* type = type_ ? type_() : PyExc_RuntimeError;
  if (!type) return;  // creating the class failed; that error is now set
  // Decoded leniently: a message must never turn into a UnicodeDecodeError.
  PyObject* text = PyUnicode_DecodeUTF8(message_.data(), static_cast<Py_ssize_t>(message_.size()), "replace");
  if (!text) return;  // that error is now set
  PyErr_SetObject(type, text);
  Py_DECREF(text);
}

}  // namespace trelvanic_binding
