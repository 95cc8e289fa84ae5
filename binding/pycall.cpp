#include "binding/pycall.h"

#include "binding/args.h"

namespace trelvanic_binding {

Result<Ref> import_attr(const char* module, const char* name) {
  auto mod = checked(PyImport_ImportModule(module));
  if (!mod) return mod;
  return checked(PyObject_GetAttrString(mod->get(), name));
}

Result<Ref> to_py_str(std::string_view text) {
  // The readers hand on only UTF-8; a byte that still is not decodes as
  // U+FFFD rather than failing the whole result with UnicodeDecodeError.
  return checked(PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

namespace {

Result<Ref> call_one(const char* module, const char* name, PyObject* arg) {
  auto fn = import_attr(module, name);
  if (!fn) return fn;
  return checked(PyObject_CallOneArg(fn->get(), arg));
}

}  // namespace

Result<Ref> json_loads(std::string_view text) {
  auto arg = to_py_str(text);
  if (!arg) return arg;
  return call_one("json", "loads", arg->get());
}

Result<std::string> json_dumps(PyObject* obj) {
  auto text = call_one("json", "dumps", obj);
  if (!text) return std::unexpected(std::move(text.error()));
  if (!PyUnicode_Check(text->get())) {
    return std::unexpected(Error::type_error(std::string("json.dumps returned ") +
                                             type_name_of(text->get()) + ", not str"));
  }
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text->get(), &size);
  if (!data) return std::unexpected(Error::fetch());
  return std::string(data, static_cast<std::size_t>(size));
}

Result<void> warn(std::string_view message) {
  auto arg = to_py_str(message);
  if (!arg) return std::unexpected(std::move(arg.error()));
  auto done = call_one("warnings", "warn", arg->get());
  if (!done) return std::unexpected(std::move(done.error()));
  return {};
}

}  // namespace trelvanic_binding
