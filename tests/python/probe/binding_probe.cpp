// A small extension module built by the Python tests to exercise the
// binding layer's generic parts through a class of its own: argument
// parsing and conversion, thread binding, borrow flags on re-entrant calls,
// work with the interpreter lock released, and the json/warnings helpers.
// The `_trelvanic` classes use the same machinery, but their methods cannot
// yet call back into Python while they hold a borrow.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <stdexcept>
#include <string>

#include "binding/gil.h"
#include "binding/module.h"
#include "binding/native.h"
#include "binding/pycall.h"

namespace {

using namespace trelvanic_binding;

struct Cell {
  static constexpr const char* kTypeName = "binding_probe::Cell";
  static constexpr const char* kPythonName = "Cell";
  std::uint64_t value = 0;
};

constexpr Signature kNew{"Cell", {{"value"}}};
constexpr Signature kSet{"set", {{"value", true}, {"callback"}}};
constexpr Signature kCallShared{"call_shared", {{"callback", true}}};
constexpr Signature kParse{"parse",
                           {{"a", true},
                            {"b"},
                            {"flag", false, true},
                            {"n", false, true},
                            {"size", false, true},
                            {"mapping", false, true}}};
constexpr Signature kNative{"native", {{"mode", true}}};
constexpr Signature kText{"text", {{"text", true}}};


Result<Ref> from_u64(std::uint64_t v) { return checked(PyLong_FromUnsignedLongLong(v)); }

Result<Ref> construct(PyTypeObject* cls, const Args& args) {
  auto value = args.optional_u64(0);
  if (!value) return std::unexpected(std::move(value.error()));
  return Native<Cell>::create_in(cls, Cell{value->value_or(0)});
}

// Stores `value`, calling `callback()` first (while the exclusive borrow is
// held) when one is given.
Result<Ref> set(Cell& cell, PyObject*, const Args& args) {
  auto value = args.optional_u64(0);
  if (!value) return std::unexpected(std::move(value.error()));
  if (!args.is_none(1)) {
    auto out = checked(PyObject_CallNoArgs(args.get(1)));
    if (!out) return out;
  }
  cell.value = value->value_or(0);
  return Ref::none();
}

Result<Ref> call_shared(const Cell&, PyObject*, const Args& args) {
  return checked(PyObject_CallNoArgs(args.get(0)));
}

Result<Ref> get(const Cell& cell, PyObject*) { return from_u64(cell.value); }

Result<Ref> parse(PyTypeObject*, const Args& args) {
  auto a = args.str(0);
  if (!a) return std::unexpected(std::move(a.error()));
  auto b = args.optional_str(1);
  if (!b) return std::unexpected(std::move(b.error()));
  auto flag = args.flag(2, false);
  if (!flag) return std::unexpected(std::move(flag.error()));
  auto n = args.optional_u64(3);
  if (!n) return std::unexpected(std::move(n.error()));
  auto size = args.optional_usize(4);
  if (!size) return std::unexpected(std::move(size.error()));
  PyObject* mapping = Py_None;
  if (args.given(5)) {
    auto d = args.dict(5);
    if (!d) return std::unexpected(std::move(d.error()));
    mapping = *d;
  }
  PyObject* nb = *b ? PyUnicode_FromString((*b)->c_str()) : Py_NewRef(Py_None);
  PyObject* nn = *n ? PyLong_FromUnsignedLongLong(**n) : Py_NewRef(Py_None);
  PyObject* ns = *size ? PyLong_FromSize_t(**size) : Py_NewRef(Py_None);
  return checked(Py_BuildValue("(s#NONNO)", a->data(), static_cast<Py_ssize_t>(a->size()), nb,
                               *flag ? Py_True : Py_False, nn, ns, mapping));
}

// Runs native work with the interpreter lock released. "ok" reports
// whether the lock was really released; "error" fails with a lazy error;
// "throw" throws a C++ exception; "bad error" and "bad text" give bytes
// that are not UTF-8 as an error message and as a result text.
Result<Ref> native(PyTypeObject*, const Args& args) {
  auto mode = args.str(0);
  if (!mode) return std::unexpected(std::move(mode.error()));
  if (*mode == "bad text") return to_py_str("caf\xe9 \xed\xa0\x80!");
  auto out = allow_threads([&]() -> Result<bool> {
    if (*mode == "error") return std::unexpected(Error::runtime("native work failed"));
    if (*mode == "bad error") return std::unexpected(Error::runtime("bad \xff byte"));
    if (*mode == "throw") throw std::runtime_error("boom");
    return PyGILState_Check() == 0;
  });
  if (!out) return std::unexpected(std::move(out.error()));
  return Ref::borrow(*out ? Py_True : Py_False);
}

Result<Ref> loads(PyTypeObject*, const Args& args) {
  auto text = args.str(0);
  if (!text) return std::unexpected(std::move(text.error()));
  return json_loads(*text);
}

Result<Ref> dumps(PyTypeObject*, const Args& args) {
  auto text = json_dumps(args.get(0));
  if (!text) return std::unexpected(std::move(text.error()));
  return to_py_str(*text);
}

Result<Ref> warn_text(PyTypeObject*, const Args& args) {
  auto text = args.str(0);
  if (!text) return std::unexpected(std::move(text.error()));
  auto done = warn(*text);
  if (!done) return std::unexpected(std::move(done.error()));
  return Ref::none();
}

PyMethodDef kMethods[] = {
    method_def("set", method<Cell, kSet, set, Access::Exclusive>, "set($self, value, callback=None)\n--\n\n"),
    method_def("call_shared", method<Cell, kCallShared, call_shared, Access::Shared>,
               "call_shared($self, callback)\n--\n\n"),
    noargs_def("get", method_noargs<Cell, get, Access::Shared>, "get($self)\n--\n\n"),
    class_method_def("parse", class_method<kParse, parse>,
                     "parse($cls, a, b=None, *, flag=False, n=None, size=None, mapping=None)\n--\n\n"),
    class_method_def("native", class_method<kNative, native>, "native($cls, mode)\n--\n\n"),
    class_method_def("loads", class_method<kText, loads>, "loads($cls, text)\n--\n\n"),
    class_method_def("dumps", class_method<kText, dumps>, "dumps($cls, text)\n--\n\n"),
    class_method_def("warn", class_method<kText, warn_text>, "warn($cls, text)\n--\n\n"),
    kMethodEnd,
};

PyGetSetDef kProperties[] = {
    getter_def("value", property_getter<Cell, get>, "The stored number."),
    kGetSetEnd,
};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT, "binding_probe", "", 0, nullptr,
                       nullptr, nullptr, nullptr, nullptr};

}  // namespace

PyMODINIT_FUNC PyInit_binding_probe(void) {
  Ref module = Ref::steal(PyModule_Create(&kModule));
  if (!module) return nullptr;
  auto type = native_class<Cell>(class_spec<Cell>("Cell(value=None)\n--\n\nA number.",
                                                  constructor<kNew, construct>, kMethods, kProperties));
  if (!type) return raise(std::move(type.error()));
  if (auto ok = module_add(module.get(), "Cell", *type); !ok) return raise(std::move(ok.error()));
  return module.release();
}
