// Python classes whose objects hold one C++ value.
//
// A native class is a C++ type `T` that names itself for messages:
//
//   struct PyThing {
//     static constexpr const char* kTypeName = "_mymod::thing::PyThing";
//     static constexpr const char* kPythonName = "Thing";
//     ...fields...
//   };
//
// `Native<T>` stores a `T` inside a Python object together with the
// creating thread and a borrow flag, creates such objects, releases them,
// and adapts C++ functions into CPython's calling conventions:
//
//   method<T, kSig, body, Access::Exclusive>   Result<Ref>(T&, PyObject* self, const Args&)
//   method<T, kSig, body, Access::Shared>      Result<Ref>(const T&, PyObject* self, const Args&)
//   method_noargs<T, body, access>             Result<Ref>(T& or const T&, PyObject* self)
//   property_getter<T, body>                   Result<Ref>(const T&, PyObject* self)
//   class_method<kSig, body>                   Result<Ref>(PyTypeObject* cls, const Args&)
//   constructor<kSig, body>                    Result<Ref>(PyTypeObject* cls, const Args&)
//
// The class itself is registered once per process with
//
//   native_class<T>(class_spec<T>(doc, constructor<...> or no_constructor<T>,
//                                 method_table, property_table))
//
// after which `Native<T>::create(value)` makes objects of it.
//
// Every adapted call on an object parses its arguments, checks the thread,
// takes the borrow, then runs the body; C++ exceptions from the body become
// the panic exception. An object released on a thread other than its own
// leaks its value and reports "{} is unsendable, but is being dropped on
// another thread" as RuntimeError to the unraisable hook, because the value
// may not be safe to destroy there.
#pragma once

#include <Python.h>

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "binding/args.h"
#include "binding/borrow.h"
#include "binding/error.h"
#include "binding/once.h"
#include "binding/ref.h"
#include "binding/thread.h"

namespace trelvanic_binding {

enum class Access { Shared, Exclusive };

namespace detail {

// Runs `f` (returning Result<Ref>) and hands its outcome to CPython: a new
// reference, or null with the error set. No C++ exception gets through.
template <class F>
PyObject* finish(F&& f) {
  try {
    Result<Ref> out = f();
    if (!out) return raise(std::move(out.error()));
    return out->release();
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  } catch (const std::exception& e) {
    return raise(Error::panic(std::string("native code failed: ") + e.what()));
  } catch (...) {
    return raise(Error::panic("native code failed with an unknown exception"));
  }
}

// Reports an error to the interpreter's unraisable hook, keeping whatever
// exception is currently being handled.
void write_unraisable(Error error);

}  // namespace detail

template <class T>
class Native {
 public:
  struct Object {
    PyObject ob_base;
    ThreadBinding thread;
    BorrowFlag borrow;
    T value;
  };

  // The registered type object (borrowed), or null before registration.
  static PyTypeObject* type() { return reinterpret_cast<PyTypeObject*>(cell_.get()); }
  static OnceCell& type_cell() { return cell_; }
  static bool is_instance(PyObject* obj) { return type() && PyObject_TypeCheck(obj, type()); }

  // A new object of the registered type holding `value`, bound to the
  // calling thread.
  [[nodiscard]] static Result<Ref> create(T value) { return create_in(type(), std::move(value)); }
  [[nodiscard]] static Result<Ref> create_in(PyTypeObject* cls, T value) {
    if (!cls) return std::unexpected(Error::runtime(std::string(T::kPythonName) + " is not registered"));
    PyObject* raw = cls->tp_alloc(cls, 0);
    if (!raw) return std::unexpected(Error::fetch());
    auto* obj = reinterpret_cast<Object*>(raw);
    new (&obj->thread) ThreadBinding();
    new (&obj->borrow) BorrowFlag();
    new (&obj->value) T(std::move(value));
    return Ref::steal(raw);
  }

  static void dealloc(PyObject* self) {
    auto* obj = reinterpret_cast<Object*>(self);
    PyTypeObject* cls = Py_TYPE(self);
    if (obj->thread.on_owner_thread()) {
      obj->value.~T();
    } else {
      detail::write_unraisable(Error::runtime(dropped_elsewhere_message(T::kTypeName)));
    }
    cls->tp_free(self);
    Py_DECREF(cls);
  }

  // Use of an object: thread check, then a shared or exclusive borrow that
  // lasts as long as the returned guard.
  template <class V>
  class Guard {
   public:
    V& operator*() const { return *value_; }
    V* operator->() const { return value_; }

   private:
    friend class Native;
    Guard(V* value, BorrowGuard borrow) : value_(value), borrow_(std::move(borrow)) {}
    V* value_;
    BorrowGuard borrow_;
  };

  [[nodiscard]] static Result<Guard<const T>> borrow(PyObject* self) {
    Object* obj = object(self);
    if (auto ok = obj->thread.check(T::kTypeName); !ok) return std::unexpected(std::move(ok.error()));
    auto held = BorrowGuard::shared(obj->borrow);
    if (!held) return std::unexpected(std::move(held.error()));
    return Guard<const T>(&obj->value, std::move(*held));
  }

  [[nodiscard]] static Result<Guard<T>> borrow_mut(PyObject* self) {
    Object* obj = object(self);
    if (auto ok = obj->thread.check(T::kTypeName); !ok) return std::unexpected(std::move(ok.error()));
    auto held = BorrowGuard::exclusive(obj->borrow);
    if (!held) return std::unexpected(std::move(held.error()));
    return Guard<T>(&obj->value, std::move(*held));
  }

  // Runs `body(value)` under the borrow that `access` names.
  template <Access A, class Body>
  static Result<Ref> with(PyObject* self, Body&& body) {
    if constexpr (A == Access::Exclusive) {
      auto guard = borrow_mut(self);
      if (!guard) return std::unexpected(std::move(guard.error()));
      return body(**guard);
    } else {
      auto guard = borrow(self);
      if (!guard) return std::unexpected(std::move(guard.error()));
      return body(**guard);
    }
  }

 private:
  static Object* object(PyObject* self) { return reinterpret_cast<Object*>(self); }
  static inline OnceCell cell_;
};

// METH_FASTCALL | METH_KEYWORDS instance method.
template <class T, const Signature& Sig, auto Body, Access A>
PyObject* method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return detail::finish([&]() -> Result<Ref> {
    auto parsed = parse_fastcall(Sig, args, nargs, kwnames);
    if (!parsed) return std::unexpected(std::move(parsed.error()));
    return Native<T>::template with<A>(self, [&](auto& value) { return Body(value, self, *parsed); });
  });
}

// METH_NOARGS instance method.
template <class T, auto Body, Access A>
PyObject* method_noargs(PyObject* self, PyObject*) {
  return detail::finish([&]() -> Result<Ref> {
    return Native<T>::template with<A>(self, [&](auto& value) { return Body(value, self); });
  });
}

// Read-only property; reads take a shared borrow.
template <class T, auto Body>
PyObject* property_getter(PyObject* self, void*) {
  return detail::finish([&]() -> Result<Ref> {
    return Native<T>::template with<Access::Shared>(self, [&](auto& value) { return Body(value, self); });
  });
}

// METH_CLASS | METH_FASTCALL | METH_KEYWORDS class method.
template <const Signature& Sig, auto Body>
PyObject* class_method(PyObject* cls, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return detail::finish([&]() -> Result<Ref> {
    auto parsed = parse_fastcall(Sig, args, nargs, kwnames);
    if (!parsed) return std::unexpected(std::move(parsed.error()));
    return Body(reinterpret_cast<PyTypeObject*>(cls), *parsed);
  });
}

// `tp_new`.
template <const Signature& Sig, auto Body>
PyObject* constructor(PyTypeObject* cls, PyObject* args, PyObject* kwargs) {
  return detail::finish([&]() -> Result<Ref> {
    auto parsed = parse_tuple_dict(Sig, args, kwargs);
    if (!parsed) return std::unexpected(std::move(parsed.error()));
    return Body(cls, *parsed);
  });
}

// `tp_new` of a class that Python code cannot instantiate.
template <class T>
PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*) {
  PyErr_SetString(PyExc_TypeError, (std::string("No constructor defined for ") + T::kPythonName).c_str());
  return nullptr;
}

// Method table entries. The docstring is "name(sig)\n--\n\ndoc" so that
// Python reports the text signature and the prose separately.
template <class Fn>
constexpr PyCFunction as_cfunction(Fn fn) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(fn));
}
using FastcallFn = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);
constexpr PyMethodDef method_def(const char* name, FastcallFn fn, const char* doc) {
  return {name, as_cfunction(fn), METH_FASTCALL | METH_KEYWORDS, doc};
}
constexpr PyMethodDef class_method_def(const char* name, FastcallFn fn, const char* doc) {
  return {name, as_cfunction(fn), METH_FASTCALL | METH_KEYWORDS | METH_CLASS, doc};
}
constexpr PyMethodDef noargs_def(const char* name, PyCFunction fn, const char* doc) {
  return {name, fn, METH_NOARGS, doc};
}
constexpr PyMethodDef kMethodEnd = {nullptr, nullptr, 0, nullptr};
constexpr PyGetSetDef getter_def(const char* name, ::getter fn, const char* doc) {
  return {name, fn, nullptr, doc, nullptr};
}
constexpr PyGetSetDef kGetSetEnd = {nullptr, nullptr, nullptr, nullptr, nullptr};

// What a native class shows Python.
struct ClassSpec {
  const char* name;         // the class name, without a module qualifier
  const char* doc;          // internal docstring, "Name(sig)\n--\n\ndoc" or plain prose
  int basicsize;
  destructor dealloc;
  newfunc new_fn;           // `constructor<...>` or `no_constructor<T>`
  PyMethodDef* methods;     // may be null
  PyGetSetDef* getset;      // may be null
};

// Creates a final heap type (not usable as a base, no instance `__dict__`,
// no weak references) whose `__module__` is "builtins". Returns a new
// reference.
[[nodiscard]] Result<Ref> make_class(const ClassSpec& spec);

// Creates the type of `T` once per process (later calls return the same
// object, borrowed) and remembers it for `Native<T>::create`.
template <class T>
[[nodiscard]] Result<PyObject*> native_class(const ClassSpec& spec) {
  PyObject* type = Native<T>::type_cell().get_or_init([&]() -> PyObject* {
    auto made = make_class(spec);
    if (!made) return raise(std::move(made.error()));
    return made->release();
  });
  if (!type) return std::unexpected(Error::fetch());
  return type;
}

template <class T>
ClassSpec class_spec(const char* doc, newfunc new_fn, PyMethodDef* methods, PyGetSetDef* getset) {
  return ClassSpec{T::kPythonName, doc, static_cast<int>(sizeof(typename Native<T>::Object)),
                   &Native<T>::dealloc, new_fn, methods, getset};
}

}  // namespace trelvanic_binding
