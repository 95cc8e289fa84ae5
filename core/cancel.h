// Cooperative cancellation through a per-thread slot.
//
// A bounded job installs its shared flag with `set_current_cancel` on the
// thread that runs it; long loops call `cancel_requested()` between rounds
// and stop with an incomplete answer once the waiting caller raised the flag.
// Threads that never installed a flag never see a cancellation. The Python
// layer installs one for every long call (loading, classification,
// consistency, entailment) and raises it on Ctrl-C; `CancelPoll` is the
// cheap check for the engines' inner loops.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace trelvanic_core {

using CancelFlag = std::shared_ptr<std::atomic<bool>>;

// Replaces the calling thread's flag (null empties the slot).
void set_current_cancel(CancelFlag flag);

// The calling thread's flag (null when the slot is empty), for handing it
// on to a helper thread that works for this one.
[[nodiscard]] CancelFlag current_cancel();

// True exactly when the calling thread holds a flag and it is set.
[[nodiscard]] bool cancel_requested();

// The calling thread's flag as a raw pointer for engines that poll it
// directly (null when the slot is empty). Valid while the slot holds it.
[[nodiscard]] const std::atomic<bool>* current_cancel_flag();

// Installs `flag` on the calling thread for the guard's lifetime, then
// empties the slot.
class ScopedCancel {
 public:
  explicit ScopedCancel(CancelFlag flag) { set_current_cancel(std::move(flag)); }
  ~ScopedCancel() { set_current_cancel(nullptr); }
  ScopedCancel(const ScopedCancel&) = delete;
  ScopedCancel& operator=(const ScopedCancel&) = delete;
};

// A cheap poll for hot loops: the calling thread's flag is looked up once,
// and `operator()` reads it only on every `kEvery`-th call (a counter step
// otherwise). `now()` reads it at once. Use within one job on one thread.
class CancelPoll {
 public:
  static constexpr uint32_t kEvery = 1024;

  CancelPoll() : flag_(current_cancel_flag()) {}
  [[nodiscard]] bool operator()() { return flag_ && (++count_ % kEvery) == 0 && now(); }
  [[nodiscard]] bool now() const { return flag_ && flag_->load(std::memory_order_relaxed); }

 private:
  const std::atomic<bool>* flag_;
  uint32_t count_ = 0;
};

}  // namespace trelvanic_core
