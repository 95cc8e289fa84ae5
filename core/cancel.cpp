#include "core/cancel.h"

namespace trelvanic_core {
namespace {

thread_local CancelFlag current_cancel;

}  // namespace

void set_current_cancel(CancelFlag flag) { current_cancel = std::move(flag); }

bool cancel_requested() {
  return current_cancel && current_cancel->load(std::memory_order_relaxed);
}

const std::atomic<bool>* current_cancel_flag() { return current_cancel.get(); }

}  // namespace trelvanic_core
