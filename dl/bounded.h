// Bounded execution of DL work on a small process-wide pool of threads.
//
//   auto r = run_bounded(resolve_budget_secs(budget), [ontology = o.clone()] { return work(ontology); });
//
// With a budget the work runs as a job on a pool thread ("trelvanic-dl-N")
// while the caller waits at most the budget; when it runs out the caller
// returns `Incomplete` "dl operation exceeded {n}s budget", raises the job's
// cancellation flag and leaves the job to finish as an orphan. New jobs fail
// at once while orphans fill the pool. Without a budget the work runs on the
// calling thread. A job that throws sends an error and keeps its worker.
#pragma once

#include <algorithm>
#include <atomic>
#include <utility>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <fmt/format.h>

#include "core/cancel.h"
#include "dl/error.h"

namespace trelvanic_dl::bounded {

using Budget = std::optional<std::chrono::seconds>;

// An explicit 0 is an error; none reads TRELVANIC_DL_BUDGET_SECS (decimal
// digits after one optional "+"; anything else, or 0, is unlimited).
[[nodiscard]] Result<Budget> resolve_budget_secs(std::optional<uint64_t> budget_secs);

// TRELVANIC_DL_MAX_WORKERS parsed like the budget; 0 or unparsable gives 4,
// and at most kMaxWorkers threads are used.
inline constexpr size_t kMaxWorkers = 100;  // keeps "trelvanic-dl-N" within 15 bytes
[[nodiscard]] size_t dl_max_workers();

// "1" or "true" in any letter case, nothing else.
[[nodiscard]] bool env_flag(const char* name);
// Any of TRELVANIC_CONFORMANCE, TRELVANIC_WG_SHORTCUTS, TRELVANIC_DL_WG_SHORTCUTS.
[[nodiscard]] bool wg_shortcuts_enabled();

// Timed-out jobs still running or queued.
[[nodiscard]] size_t orphan_count();

namespace detail {

// The one-slot result channel between a job and its caller.
template <class T>
struct Channel {
  std::mutex mutex;
  std::condition_variable ready;
  std::optional<T> value;
  bool sender_gone = false;
};

// Queues `job` on the pool, creating the pool first when needed; an error
// when no worker thread can run it.
[[nodiscard]] Result<void> submit(std::function<void()> job);
// The saturation test and the permit; the permit is returned by `release`.
[[nodiscard]] Result<void> acquire_permit();
void release_permit();
void orphan_added();
void orphan_ended();

}  // namespace detail

// Runs `work` (a callable returning Result<T>) within `budget`.
template <class Work>
auto run_bounded(Budget budget, Work work) -> decltype(work()) {
  using R = decltype(work());
  if (!budget) return work();
  if (auto permit = detail::acquire_permit(); !permit) return std::unexpected(std::move(permit.error()));
  struct PermitGuard {
    bool held = true;
    void release() {
      if (std::exchange(held, false)) detail::release_permit();
    }
    ~PermitGuard() { release(); }
  } permit;

  auto channel = std::make_shared<detail::Channel<R>>();
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  auto orphaned = std::make_shared<std::atomic<bool>>(false);
  auto job = [work = std::make_shared<Work>(std::move(work)), channel, cancel, orphaned]() mutable {
    trelvanic_core::set_current_cancel(cancel);
    std::optional<R> result;
    try {
      result.emplace((*work)());
    } catch (const std::exception& e) {
      result.emplace(std::unexpected(Error::incomplete(fmt::format("dl worker job failed: {}", e.what()))));
    } catch (...) {
      result.emplace(std::unexpected(Error::incomplete("dl worker job failed")));
    }
    work.reset();  // drop the job's ontology before answering
    trelvanic_core::set_current_cancel(nullptr);
    // The caller marks a timed-out job under the same lock, so the count
    // goes down exactly when it went up.
    std::lock_guard lock(channel->mutex);
    if (orphaned->load()) detail::orphan_ended();
    channel->value = std::move(result);
    channel->sender_gone = true;
    channel->ready.notify_one();
  };
  if (auto queued = detail::submit(std::move(job)); !queued) return std::unexpected(std::move(queued.error()));

  // The caller waits in short slices so that its own cancellation (an
  // interrupt) reaches the job as well as the budget does.
  const auto deadline = std::chrono::steady_clock::now() + *budget;
  std::unique_lock lock(channel->mutex);
  bool interrupted = false;
  while (!channel->sender_gone) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline || (interrupted = trelvanic_core::cancel_requested())) break;
    channel->ready.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(50)));
  }
  if (!channel->sender_gone) {
    detail::orphan_added();
    orphaned->store(true);
    cancel->store(true);
    lock.unlock();
    permit.release();
    if (interrupted) return std::unexpected(Error::incomplete("dl operation cancelled"));
    return std::unexpected(Error::incomplete(fmt::format("dl operation exceeded {}s budget", budget->count())));
  }
  if (!channel->value) return std::unexpected(Error::incomplete("dl worker disconnected"));
  return std::move(*channel->value);
}

}  // namespace trelvanic_dl::bounded
