#include "binding/thread.h"

#include <atomic>
#include <string>

namespace trelvanic_binding {

std::uint64_t current_thread_serial() {
  static std::atomic<std::uint64_t> next{1};
  thread_local const std::uint64_t serial = next.fetch_add(1, std::memory_order_relaxed);
  return serial;
}

std::string unsendable_message(std::string_view type_name) {
  return std::string(type_name) + " is unsendable, but sent to another thread";
}

std::string dropped_elsewhere_message(std::string_view type_name) {
  return std::string(type_name) + " is unsendable, but is being dropped on another thread";
}

Result<void> ThreadBinding::check(std::string_view type_name) const {
  if (on_owner_thread()) return {};
  return std::unexpected(Error::panic(unsendable_message(type_name)));
}

}  // namespace trelvanic_binding
