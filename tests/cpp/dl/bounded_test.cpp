// Bounded execution: budgets from the argument and the environment, a
// timed-out job that ends as an orphan and lowers the count again, the
// saturated pool, and a throwing job that leaves its worker in service.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "core/cancel.h"
#include "dl/bounded.h"

namespace trelvanic_dl::bounded {
namespace {

using namespace std::chrono_literals;

struct EnvGuard {
  const char* name;
  explicit EnvGuard(const char* n, const char* value) : name(n) { ::setenv(n, value, 1); }
  ~EnvGuard() { ::unsetenv(name); }
};

TEST(Bounded, BudgetResolution) {
  auto zero = resolve_budget_secs(0);
  ASSERT_FALSE(zero);
  EXPECT_EQ(zero.error().message(), "budget_secs must be > 0 when set; use None for unlimited");
  EXPECT_EQ(*resolve_budget_secs(3), Budget(3s));
  ::unsetenv("TRELVANIC_DL_BUDGET_SECS");
  EXPECT_EQ(*resolve_budget_secs(std::nullopt), Budget{});
  const std::pair<const char*, Budget> env[] = {
      {"0", Budget{}}, {"abc", Budget{}}, {"-5", Budget{}}, {" 5", Budget{}}, {"+", Budget{}},
      {"", Budget{}},  {"7", Budget(7s)}, {"+7", Budget(7s)}, {"99999999999999999999999", Budget{}},
  };
  for (const auto& [text, expected] : env) {
    EnvGuard g("TRELVANIC_DL_BUDGET_SECS", text);
    EXPECT_EQ(*resolve_budget_secs(std::nullopt), expected) << "'" << text << "'";
  }
}

TEST(Bounded, EnvironmentSwitchesAndWorkerCount) {
  for (const char* on : {"1", "true", "TRUE", "tRuE"}) {
    EnvGuard g("TRELVANIC_DL_PERF", on);
    EXPECT_TRUE(env_flag("TRELVANIC_DL_PERF")) << on;
  }
  for (const char* off : {"0", "yes", "true ", "11", ""}) {
    EnvGuard g("TRELVANIC_DL_PERF", off);
    EXPECT_FALSE(env_flag("TRELVANIC_DL_PERF")) << off;
  }
  {
    EnvGuard g("TRELVANIC_DL_WG_SHORTCUTS", "1");
    EXPECT_TRUE(wg_shortcuts_enabled());
  }
  const std::pair<const char*, size_t> workers[] = {{"0", 4}, {"x", 4}, {"+2", 2}, {"100000", kMaxWorkers}};
  for (const auto& [text, n] : workers) {
    EnvGuard g("TRELVANIC_DL_MAX_WORKERS", text);
    EXPECT_EQ(dl_max_workers(), n) << text;
  }
}

// Work that runs until its caller gives up on it.
Result<int> until_cancelled() {
  while (!trelvanic_core::cancel_requested()) std::this_thread::sleep_for(1ms);
  return 0;
}

void wait_for_no_orphans() {
  for (int i = 0; i < 5000 && orphan_count() != 0; ++i) std::this_thread::sleep_for(1ms);
}

TEST(Bounded, TimeoutsOrphanTheJobUntilItStops) {
  ::unsetenv("TRELVANIC_DL_MAX_WORKERS");
  wait_for_no_orphans();
  EXPECT_EQ(*run_bounded(Budget(5s), [] { return Result<int>(42); }), 42);
  const auto start = std::chrono::steady_clock::now();
  auto late = run_bounded(Budget(1s), until_cancelled);
  ASSERT_FALSE(late);
  EXPECT_EQ(late.error().message(), "consistency check incomplete: dl operation exceeded 1s budget");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  wait_for_no_orphans();  // the raised flag ends the job soon
  EXPECT_EQ(orphan_count(), 0u);
  // Unlimited work runs on the calling thread.
  EXPECT_EQ(*run_bounded(Budget{}, [] { return Result<int>(7); }), 7);
}

TEST(Bounded, OrphansFillingThePoolRefuseNewJobs) {
  EnvGuard g("TRELVANIC_DL_MAX_WORKERS", "1");
  wait_for_no_orphans();
  // A job that ignores its flag for a while stays an orphan meanwhile.
  auto stubborn = run_bounded(Budget(1s), [] {
    std::this_thread::sleep_for(2500ms);
    return Result<int>(0);
  });
  ASSERT_FALSE(stubborn);
  ASSERT_EQ(orphan_count(), 1u);
  auto refused = run_bounded(Budget(1s), [] { return Result<int>(1); });
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message(),
            "consistency check incomplete: dl worker pool saturated (1 timed-out workers still running)");
  wait_for_no_orphans();
  EXPECT_EQ(orphan_count(), 0u);
}

TEST(Bounded, AThrowingJobAnswersWithAnErrorAndThePoolStaysWhole) {
  ::unsetenv("TRELVANIC_DL_MAX_WORKERS");
  for (int i = 0; i < 8; ++i) {  // more jobs than workers
    auto thrown = run_bounded(Budget(5s), []() -> Result<int> { throw std::runtime_error("boom"); });
    ASSERT_FALSE(thrown);
    EXPECT_EQ(thrown.error().kind(), ErrorKind::Incomplete);
  }
  EXPECT_EQ(*run_bounded(Budget(5s), [] { return Result<int>(3); }), 3);
}

}  // namespace
}  // namespace trelvanic_dl::bounded
