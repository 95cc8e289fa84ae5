#include "binding/args.h"

#include <limits>

namespace trelvanic_binding {
namespace {

std::string callable(const Signature& s) { return std::string(s.name) + "()"; }

Error arity_error(const Signature& s, std::size_t positional, Py_ssize_t given) {
  std::string text = callable(s);
  if (positional == 0) {
    text += " takes no positional arguments";
  } else {
    text += " takes at most " + std::to_string(positional) + " positional argument";
    if (positional != 1) text += "s";
  }
  text += " (" + std::to_string(given) + " given)";
  return Error::type_error(std::move(text));
}

std::size_t positional_count(const Signature& s) {
  std::size_t n = 0;
  while (n < s.count && !s.params[n].keyword_only) ++n;
  return n;
}

// Places one keyword argument into its slot.
Result<void> place_keyword(const Signature& s, std::array<PyObject*, kMaxParams>& slots,
                           PyObject* key, PyObject* value) {
  for (std::size_t i = 0; i < s.count; ++i) {
    if (PyUnicode_CompareWithASCIIString(key, s.params[i].name) != 0) continue;
    if (slots[i]) {
      return std::unexpected(Error::type_error(callable(s) + " got multiple values for argument '" +
                                               s.params[i].name + "'"));
    }
    slots[i] = value;
    return {};
  }
  if (PyErr_Occurred()) return std::unexpected(Error::fetch());
  const char* key_text = PyUnicode_Check(key) ? PyUnicode_AsUTF8(key) : nullptr;
  if (!key_text) {
    PyErr_Clear();
    return std::unexpected(Error::type_error(callable(s) + " keywords must be strings"));
  }
  return std::unexpected(Error::type_error(callable(s) + " got an unexpected keyword argument '" +
                                           key_text + "'"));
}

Result<void> check_required(const Signature& s, const std::array<PyObject*, kMaxParams>& slots) {
  for (std::size_t i = 0; i < s.count; ++i) {
    if (s.params[i].required && !slots[i]) {
      return std::unexpected(Error::type_error(callable(s) + " missing required argument '" +
                                               s.params[i].name + "'"));
    }
  }
  return {};
}

Error range_error(const Signature& s, const Param& p, std::uint64_t max) {
  return Error::lazy(overflow_error_type, callable(s) + " argument '" + p.name +
                                              "' must be an integer from 0 to " +
                                              std::to_string(max));
}

}  // namespace

const char* type_name_of(PyObject* obj) {
  return obj == Py_None ? "None" : Py_TYPE(obj)->tp_name;
}

Result<Args> parse_fastcall(const Signature& s, PyObject* const* args, Py_ssize_t nargs,
                            PyObject* kwnames) {
  Args out(s);
  const std::size_t positional = positional_count(s);
  if (nargs < 0 || static_cast<std::size_t>(nargs) > positional) {
    return std::unexpected(arity_error(s, positional, nargs));
  }
  for (Py_ssize_t i = 0; i < nargs; ++i) out.slots_[i] = args[i];
  if (kwnames) {
    const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
    for (Py_ssize_t k = 0; k < nkw; ++k) {
      auto placed = place_keyword(s, out.slots_, PyTuple_GET_ITEM(kwnames, k), args[nargs + k]);
      if (!placed) return std::unexpected(std::move(placed.error()));
    }
  }
  if (auto ok = check_required(s, out.slots_); !ok) return std::unexpected(std::move(ok.error()));
  return out;
}

Result<Args> parse_tuple_dict(const Signature& s, PyObject* args, PyObject* kwargs) {
  Args out(s);
  const std::size_t positional = positional_count(s);
  const Py_ssize_t nargs = args ? PyTuple_GET_SIZE(args) : 0;
  if (static_cast<std::size_t>(nargs) > positional) {
    return std::unexpected(arity_error(s, positional, nargs));
  }
  for (Py_ssize_t i = 0; i < nargs; ++i) out.slots_[i] = PyTuple_GET_ITEM(args, i);
  if (kwargs) {
    PyObject *key, *value;
    Py_ssize_t pos = 0;
    while (PyDict_Next(kwargs, &pos, &key, &value)) {
      auto placed = place_keyword(s, out.slots_, key, value);
      if (!placed) return std::unexpected(std::move(placed.error()));
    }
  }
  if (auto ok = check_required(s, out.slots_); !ok) return std::unexpected(std::move(ok.error()));
  return out;
}

Error Args::wrong_type(std::size_t i, const char* expected) const {
  return Error::type_error(callable(*signature_) + " argument '" + signature_->params[i].name +
                           "' must be " + expected + ", not " + type_name_of(slots_[i]));
}

Result<std::string> Args::str(std::size_t i) const {
  PyObject* obj = slots_[i];
  if (!obj || !PyUnicode_Check(obj)) {
    if (!obj) return std::unexpected(Error::type_error(callable(*signature_) + " missing required argument '" +
                                                       signature_->params[i].name + "'"));
    return std::unexpected(wrong_type(i, "str"));
  }
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(obj, &size);
  if (!data) return std::unexpected(Error::fetch());  // lone surrogates: UnicodeEncodeError
  return std::string(data, static_cast<std::size_t>(size));
}

Result<std::optional<std::string>> Args::optional_str(std::size_t i) const {
  if (is_none(i)) return std::optional<std::string>();
  auto text = str(i);
  if (!text) return std::unexpected(std::move(text.error()));
  return std::optional<std::string>(std::move(*text));
}

Result<std::string> Args::path(std::size_t i) const {
  PyObject* obj = slots_[i];
  if (!obj || PyUnicode_Check(obj)) return str(i);
  constexpr const char* kExpected = "str or os.PathLike";
  // Only objects with `__fspath__` go through os.fspath: bytes are no path here.
  if (PyBytes_Check(obj) || !PyObject_HasAttrString(reinterpret_cast<PyObject*>(Py_TYPE(obj)), "__fspath__"))
    return std::unexpected(wrong_type(i, kExpected));
  PyObject* fs = PyOS_FSPath(obj);
  if (!fs) return std::unexpected(Error::fetch());
  const bool text = PyUnicode_Check(fs);
  Py_ssize_t size = 0;
  const char* data = text ? PyUnicode_AsUTF8AndSize(fs, &size) : nullptr;
  std::optional<std::string> out;
  if (data) out.emplace(data, static_cast<std::size_t>(size));
  Py_DECREF(fs);
  if (out) return std::move(*out);
  if (text) return std::unexpected(Error::fetch());  // lone surrogates: UnicodeEncodeError
  return std::unexpected(Error::type_error(callable(*signature_) + " argument '" + signature_->params[i].name +
                                           "' must be " + kExpected + ", not a bytes path"));
}

Result<std::optional<std::string>> Args::optional_path(std::size_t i) const {
  if (is_none(i)) return std::optional<std::string>();
  auto text = path(i);
  if (!text) return std::unexpected(std::move(text.error()));
  return std::optional<std::string>(std::move(*text));
}

Result<bool> Args::flag(std::size_t i, bool fallback) const {
  PyObject* obj = slots_[i];
  if (!obj) return fallback;
  if (!PyBool_Check(obj)) return std::unexpected(wrong_type(i, "bool"));
  return obj == Py_True;
}

Result<std::optional<std::uint64_t>> Args::optional_u64(std::size_t i) const {
  if (is_none(i)) return std::optional<std::uint64_t>();
  PyObject* obj = slots_[i];
  if (!PyLong_Check(obj) || PyBool_Check(obj)) return std::unexpected(wrong_type(i, "int or None"));
  const unsigned long long value = PyLong_AsUnsignedLongLong(obj);
  if (value == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
    PyErr_Clear();
    return std::unexpected(range_error(*signature_, signature_->params[i],
                                       std::numeric_limits<std::uint64_t>::max()));
  }
  return std::optional<std::uint64_t>(value);
}

Result<std::optional<std::size_t>> Args::optional_usize(std::size_t i) const {
  auto value = optional_u64(i);
  if (!value) return std::unexpected(std::move(value.error()));
  if (!*value) return std::optional<std::size_t>();
  if (**value > std::numeric_limits<std::size_t>::max()) {
    return std::unexpected(range_error(*signature_, signature_->params[i],
                                       std::numeric_limits<std::size_t>::max()));
  }
  return std::optional<std::size_t>(static_cast<std::size_t>(**value));
}

Result<PyObject*> Args::dict(std::size_t i) const {
  PyObject* obj = slots_[i];
  if (!obj || !PyDict_Check(obj)) return std::unexpected(wrong_type(i, "dict"));
  return obj;
}

Result<PyObject*> Args::optional_instance(std::size_t i, PyObject* type, const char* name) const {
  if (is_none(i)) return nullptr;
  // A type check on the object's real type: a class that fakes `__class__`
  // must not pass for a native object.
  if (!PyObject_TypeCheck(slots_[i], reinterpret_cast<PyTypeObject*>(type))) return std::unexpected(wrong_type(i, (std::string(name) + " or None").c_str()));
  return slots_[i];
}

}  // namespace trelvanic_binding
