// A cheap check of a caller's cancellation flag for the readers' hot loops
// (the flag itself is owned by the caller; the loader passes the one the
// core installed for the running job).
//
//   CancelCheck cancelled(settings.cancel);   // null: never cancelled
//   while (...) { if (cancelled()) return stop_with("cancelled"); ... }
#pragma once

#include <atomic>
#include <cstdint>

namespace trelvanic_owl {

inline constexpr const char* kCancelledText = "cancelled";

// Reads the flag once every 4096 calls, a counter step otherwise.
class CancelCheck {
 public:
  explicit CancelCheck(const std::atomic<bool>* cancel) : cancel_(cancel) {}
  [[nodiscard]] bool operator()() {
    return cancel_ != nullptr && (++count_ & 4095u) == 0 && cancel_->load(std::memory_order_relaxed);
  }

 private:
  const std::atomic<bool>* cancel_;
  std::uint32_t count_ = 0;
};

}  // namespace trelvanic_owl
