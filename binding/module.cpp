#include "binding/module.h"

#include <string>

namespace trelvanic_binding {

namespace {

constexpr const char* kSubinterpreterRefusal =
    " does not support sub-interpreters: it can be imported only in the first interpreter "
    "of a process that imports it";

}  // namespace

PyObject* module_get_or_create(ModuleDef& def) {
  const std::int64_t id = PyInterpreterState_GetID(PyInterpreterState_Get());
  if (id < 0) return nullptr;
  std::int64_t expected = -1;
  if (!def.first_interpreter.compare_exchange_strong(expected, id) && expected != id) {
    PyErr_SetString(PyExc_ImportError, (std::string(def.def.m_name) + kSubinterpreterRefusal).c_str());
    return nullptr;
  }
  PyObject* module = def.cell.get_or_init([&]() -> PyObject* {
    Ref made = Ref::steal(PyModule_Create(&def.def));
    if (!made) return nullptr;
    if (auto ok = def.init(made.get()); !ok) return raise(std::move(ok.error()));
    return made.release();
  });
  Py_XINCREF(module);
  return module;
}

Result<void> module_add(PyObject* module, const char* name, PyObject* value) {
  PyObject* all = PyObject_GetAttrString(module, "__all__");
  if (!all) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return std::unexpected(Error::fetch());
    PyErr_Clear();
    all = PyList_New(0);
    if (!all || PyObject_SetAttrString(module, "__all__", all) < 0) {
      Py_XDECREF(all);
      return std::unexpected(Error::fetch());
    }
  }
  Ref owned = Ref::steal(all);
  if (!PyList_Check(all)) {
    return std::unexpected(Error::type_error("__all__ of the module is not a list"));
  }
  auto text = checked(PyUnicode_FromString(name));
  if (!text) return std::unexpected(std::move(text.error()));
  if (PyList_Append(all, text->get()) < 0) return std::unexpected(Error::fetch());
  if (PyObject_SetAttrString(module, name, value) < 0) return std::unexpected(Error::fetch());
  return {};
}

}  // namespace trelvanic_binding
