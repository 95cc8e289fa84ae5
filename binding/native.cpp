#include "binding/native.h"

#include <string>

namespace trelvanic_binding {

namespace detail {

void write_unraisable(Error error) {
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  std::move(error).restore();
  PyErr_WriteUnraisable(nullptr);
  PyErr_Restore(type, value, traceback);
}

}  // namespace detail

Result<Ref> make_class(const ClassSpec& spec) {
  PyType_Slot slots[6];
  int n = 0;
  slots[n++] = {Py_tp_dealloc, reinterpret_cast<void*>(spec.dealloc)};
  slots[n++] = {Py_tp_new, reinterpret_cast<void*>(spec.new_fn)};
  if (spec.doc) slots[n++] = {Py_tp_doc, const_cast<char*>(spec.doc)};
  if (spec.methods) slots[n++] = {Py_tp_methods, spec.methods};
  if (spec.getset) slots[n++] = {Py_tp_getset, spec.getset};
  slots[n] = {0, nullptr};
  // No Py_TPFLAGS_BASETYPE: the class is final. No dict or weakref offset:
  // objects take no attributes and no weak references.
  // The qualifier "builtins." makes Python report the class like a
  // built-in one (`__module__` is "builtins", the repr shows the bare
  // name); a name without any qualifier would draw a DeprecationWarning.
  // Some CPython versions keep pointing at the PyType_Spec name string, and the type
  // lives until the process ends, so the text is never freed.
  const auto* qualified = new std::string(std::string("builtins.") + spec.name);
  PyType_Spec type_spec = {qualified->c_str(), spec.basicsize, 0, Py_TPFLAGS_DEFAULT, slots};
  return checked(PyType_FromSpec(&type_spec));
}

}  // namespace trelvanic_binding
