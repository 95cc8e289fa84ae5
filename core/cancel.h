// Cooperative cancellation through a per-thread slot.
//
// A bounded job installs its shared flag with `set_current_cancel` on the
// thread that runs it; long loops call `cancel_requested()` between rounds
// and stop with an incomplete answer once the waiting caller raised the flag.
// Threads that never installed a flag never see a cancellation.
#pragma once

#include <atomic>
#include <memory>

namespace trelvanic_core {

using CancelFlag = std::shared_ptr<std::atomic<bool>>;

// Replaces the calling thread's flag (null empties the slot).
void set_current_cancel(CancelFlag flag);

// True exactly when the calling thread holds a flag and it is set.
[[nodiscard]] bool cancel_requested();

// The calling thread's flag as a raw pointer for engines that poll it
// directly (null when the slot is empty). Valid while the slot holds it.
[[nodiscard]] const std::atomic<bool>* current_cancel_flag();

}  // namespace trelvanic_core
