#include "dl/bounded.h"

#include <pthread.h>

#include <cstdlib>
#include <deque>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace trelvanic_dl::bounded {

namespace {

// Decimal digits after one optional "+", within 64 bits; none otherwise.
std::optional<uint64_t> env_number(const char* name) {
  const char* raw = std::getenv(name);
  if (raw == nullptr) return std::nullopt;
  std::string_view text(raw);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::atomic<size_t> g_orphans{0};

// The permit gate: as many callers wait for answers as there are workers.
struct Gate {
  std::mutex mutex;
  std::condition_variable freed;
  size_t free = 0;
};

Gate& gate() {
  static Gate* g = [] {
    auto* made = new Gate;
    made->free = dl_max_workers();
    return made;
  }();
  return *g;
}

// The job queue and its worker threads. Workers never end: a job's
// exceptions are caught inside the job.
struct Pool {
  std::mutex mutex;
  std::condition_variable queued;
  std::deque<std::function<void()>> jobs;
  size_t workers = 0;
};

std::mutex g_pool_create;
Pool* g_pool = nullptr;  // created by the first job, kept for the process

void worker_loop(Pool* pool) {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(pool->mutex);
      pool->queued.wait(lock, [&] { return !pool->jobs.empty(); });
      job = std::move(pool->jobs.front());
      pool->jobs.pop_front();
    }
    job();
  }
}

// The pool, started on first use. A pool whose threads could not be
// started is not kept, so a later job tries again.
Result<Pool*> pool() {
  std::lock_guard lock(g_pool_create);
  if (g_pool != nullptr) return g_pool;
  auto* made = new Pool;
  const size_t n = dl_max_workers();
  for (size_t i = 0; i < n; ++i) {
    try {
      std::thread thread(worker_loop, made);
      const std::string name = fmt::format("trelvanic-dl-{}", i);
      pthread_setname_np(thread.native_handle(), name.c_str());
      thread.detach();
      ++made->workers;
    } catch (const std::system_error&) {
      break;
    }
  }
  if (made->workers == 0) {
    delete made;
    return std::unexpected(Error::incomplete("spawn dl worker failed"));
  }
  g_pool = made;
  return g_pool;
}

}  // namespace

Result<Budget> resolve_budget_secs(std::optional<uint64_t> budget_secs) {
  if (budget_secs) {
    if (*budget_secs == 0) {
      return std::unexpected(Error::message_text("budget_secs must be > 0 when set; use None for unlimited"));
    }
    return Budget(std::chrono::seconds(static_cast<std::chrono::seconds::rep>(
        std::min<uint64_t>(*budget_secs, static_cast<uint64_t>(INT64_MAX / 1'000'000'000)))));
  }
  auto env = env_number("TRELVANIC_DL_BUDGET_SECS");
  if (!env || *env == 0) return Budget{};
  return Budget(std::chrono::seconds(
      static_cast<std::chrono::seconds::rep>(std::min<uint64_t>(*env, INT64_MAX / 1'000'000'000))));
}

size_t dl_max_workers() {
  auto n = env_number("TRELVANIC_DL_MAX_WORKERS");
  if (!n || *n == 0) return 4;
  return static_cast<size_t>(std::min<uint64_t>(*n, kMaxWorkers));
}

bool env_flag(const char* name) {
  const char* raw = std::getenv(name);
  if (raw == nullptr) return false;
  std::string_view v(raw);
  if (v == "1") return true;
  if (v.size() != 4) return false;
  constexpr std::string_view kTrue = "true";
  for (size_t i = 0; i < 4; ++i) {
    char c = v[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kTrue[i]) return false;
  }
  return true;
}

bool wg_shortcuts_enabled() {
  return env_flag("TRELVANIC_CONFORMANCE") || env_flag("TRELVANIC_WG_SHORTCUTS") ||
         env_flag("TRELVANIC_DL_WG_SHORTCUTS");
}

size_t orphan_count() { return g_orphans.load(); }

namespace detail {

Result<void> submit(std::function<void()> job) {
  auto p = pool();
  if (!p) return std::unexpected(std::move(p.error()));
  {
    std::lock_guard lock((*p)->mutex);
    (*p)->jobs.push_back(std::move(job));
  }
  (*p)->queued.notify_one();
  return {};
}

Result<void> acquire_permit() {
  const size_t workers = dl_max_workers();
  if (g_orphans.load() >= workers) {
    return std::unexpected(
        Error::incomplete(fmt::format("dl worker pool saturated ({} timed-out workers still running)", workers)));
  }
  Gate& g = gate();
  std::unique_lock lock(g.mutex);
  g.freed.wait(lock, [&] { return g.free > 0; });
  --g.free;
  return {};
}

void release_permit() {
  Gate& g = gate();
  {
    std::lock_guard lock(g.mutex);
    ++g.free;
  }
  g.freed.notify_one();
}

void orphan_added() { g_orphans.fetch_add(1); }
void orphan_ended() { g_orphans.fetch_sub(1); }

}  // namespace detail
}  // namespace trelvanic_dl::bounded
