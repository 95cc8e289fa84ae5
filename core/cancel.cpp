#include "core/cancel.h"

namespace trelvanic_core {
namespace {

thread_local CancelFlag slot;

}  // namespace

void set_current_cancel(CancelFlag flag) { slot = std::move(flag); }

CancelFlag current_cancel() { return slot; }

bool cancel_requested() {
  return slot && slot->load(std::memory_order_relaxed);
}

const std::atomic<bool>* current_cancel_flag() { return slot.get(); }

}  // namespace trelvanic_core
