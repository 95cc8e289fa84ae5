// Argument parsing for native functions and methods.
//
// A `Signature` lists a callable's parameters in order; each is required or
// optional and may be keyword-only. `parse_fastcall` (for METH_FASTCALL |
// METH_KEYWORDS methods) and `parse_tuple_dict` (for `tp_new`) match the
// positional and keyword arguments against it and return an `Args` that
// holds each parameter's object, or nothing when it was not given.
// Structural mistakes (too many positionals, unknown or repeated keywords,
// a missing required argument) raise TypeError naming the callable.
//
// The typed accessors then convert one argument each, strictly: a `bool`
// parameter takes only `True`/`False`, a `str` parameter only `str`, an
// unsigned integer only an `int` (not a `bool`) within range, a path a `str`
// or an os.PathLike that gives one. A wrong type
// raises TypeError, an out-of-range integer OverflowError, both naming the
// parameter, e.g. "Reasoner() argument 'incremental' must be bool, not None".
#pragma once

#include <Python.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "binding/error.h"

namespace trelvanic_binding {

struct Param {
  const char* name;
  bool required = false;
  bool keyword_only = false;
};

inline constexpr std::size_t kMaxParams = 8;

struct Signature {
  // Name shown in messages, as Python code would call it ("load_in",
  // "Reasoner").
  const char* name;
  std::array<Param, kMaxParams> params{};
  std::size_t count = 0;

  constexpr Signature(const char* callable, std::initializer_list<Param> list) : name(callable) {
    for (const Param& p : list) params[count++] = p;
  }
};

class Args {
 public:
  explicit Args(const Signature& signature) : signature_(&signature) {}

  // The object given for parameter `i` (borrowed), or null if absent.
  PyObject* get(std::size_t i) const { return slots_[i]; }
  bool given(std::size_t i) const { return slots_[i] != nullptr; }
  // Absent or None.
  bool is_none(std::size_t i) const { return !slots_[i] || slots_[i] == Py_None; }

  Result<std::string> str(std::size_t i) const;
  Result<std::optional<std::string>> optional_str(std::size_t i) const;
  // A file path: a `str`, or any os.PathLike whose `__fspath__` gives one
  // (`os.fspath`); bytes paths are refused. An exception raised by
  // `__fspath__` is passed on.
  Result<std::string> path(std::size_t i) const;
  Result<std::optional<std::string>> optional_path(std::size_t i) const;
  Result<bool> flag(std::size_t i, bool fallback) const;
  Result<std::optional<std::uint64_t>> optional_u64(std::size_t i) const;
  Result<std::optional<std::size_t>> optional_usize(std::size_t i) const;
  // The argument itself if it is a dict or an instance of a dict subclass.
  Result<PyObject*> dict(std::size_t i) const;
  // The argument if it is an instance of `type` (named `type_name` in the
  // message), null if it is absent or None.
  Result<PyObject*> optional_instance(std::size_t i, PyObject* type, const char* type_name) const;

  // TypeError "{callable}() argument '{param}' must be {expected}, not {type}".
  Error wrong_type(std::size_t i, const char* expected) const;

 private:
  friend Result<Args> parse_fastcall(const Signature&, PyObject* const*, Py_ssize_t, PyObject*);
  friend Result<Args> parse_tuple_dict(const Signature&, PyObject*, PyObject*);

  const Signature* signature_;
  std::array<PyObject*, kMaxParams> slots_{};
};

[[nodiscard]] Result<Args> parse_fastcall(const Signature& signature, PyObject* const* args,
                                          Py_ssize_t nargs, PyObject* kwnames);
[[nodiscard]] Result<Args> parse_tuple_dict(const Signature& signature, PyObject* args,
                                            PyObject* kwargs);

// Python's name for the type of `obj` as messages show it ("None" for None).
const char* type_name_of(PyObject* obj);

}  // namespace trelvanic_binding
