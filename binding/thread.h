// Thread binding of native objects.
//
// A `ThreadBinding` remembers the thread that created its object. Every use
// of the object first calls `check`, which fails on any other thread with
// the binding layer's panic exception (a BaseException subclass, so that
// `except Exception` does not swallow it): "{type} is unsendable, but sent
// to another thread".
#pragma once

#include <Python.h>

#include <cstdint>
#include <string_view>

#include "binding/error.h"

namespace trelvanic_binding {

// A number that names the calling thread for the life of the process.
// Unlike the system's thread ids, it is never given to another thread after
// this one ends, so an object outlives its thread without becoming usable
// elsewhere.
std::uint64_t current_thread_serial();

class ThreadBinding {
 public:
  ThreadBinding() : owner_(current_thread_serial()) {}

  bool on_owner_thread() const { return current_thread_serial() == owner_; }
  [[nodiscard]] Result<void> check(std::string_view type_name) const;

 private:
  std::uint64_t owner_;
};

std::string unsendable_message(std::string_view type_name);
std::string dropped_elsewhere_message(std::string_view type_name);

}  // namespace trelvanic_binding
