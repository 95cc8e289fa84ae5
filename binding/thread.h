// Thread binding of native objects.
//
// A `ThreadBinding` remembers the thread that created its object. Every use
// of the object first calls `check`, which fails on any other thread with
// the binding layer's panic exception (a BaseException subclass, so that
// `except Exception` does not swallow it): "{type} is unsendable, but sent
// to another thread".
#pragma once

#include <Python.h>

#include <string_view>

#include "binding/error.h"

namespace trelvanic_binding {

class ThreadBinding {
 public:
  ThreadBinding() : owner_(PyThread_get_thread_ident()) {}

  bool on_owner_thread() const { return PyThread_get_thread_ident() == owner_; }
  [[nodiscard]] Result<void> check(std::string_view type_name) const;

 private:
  unsigned long owner_;
};

std::string unsendable_message(std::string_view type_name);
std::string dropped_elsewhere_message(std::string_view type_name);

}  // namespace trelvanic_binding
