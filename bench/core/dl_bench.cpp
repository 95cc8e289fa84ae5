// Interns N nested class expressions (chains of Some/And/Not over a pool of
// named classes, each parent holding the previous expression), then interns
// them all again (every one a hit), for N = 100,000 and 1,000,000, and prints
// times, bytes per expression and the 1M/100k time ratios (linear scaling
// gives about 10).
//
//   bench_core_dl [N]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/dl.h"

using namespace trelvanic_core;

namespace {

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Times {
  double fresh, again;
};

ClassExpr nth(uint32_t i, CeId prev, CeId named) {
  switch (i % 3) {
    case 0: return ClassExpr::some(RoleExpr::atomic(EntityId(i % 97)), prev);
    case 1: return ClassExpr::and_of({prev, named});
    default: return ClassExpr::complement_of(prev);
  }
}

Times run(uint32_t n) {
  DlStore dl;
  std::vector<CeId> named;
  for (uint32_t i = 0; i < 1000; ++i) named.push_back(dl.intern_ce(ClassExpr::atomic(EntityId(i))));
  auto t0 = std::chrono::steady_clock::now();
  CeId prev = named[0];
  for (uint32_t i = 0; i < n; ++i) prev = dl.intern_ce(nth(i, prev, named[i % named.size()]));
  Times t{};
  t.fresh = seconds_since(t0);
  const size_t count = dl.ce_count();
  t0 = std::chrono::steady_clock::now();
  prev = named[0];
  for (uint32_t i = 0; i < n; ++i) prev = dl.intern_ce(nth(i, prev, named[i % named.size()]));
  t.again = seconds_since(t0);
  if (dl.ce_count() != count || count != n + named.size()) std::abort();
  std::printf("n=%u intern new %.3fs  intern again %.3fs  %.1f bytes/expression\n", n, t.fresh, t.again,
              double(dl.memory_bytes()) / double(count));
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    run(static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)));
    return 0;
  }
  const Times small = run(100'000);
  const Times large = run(1'000'000);
  std::printf("ratio 1M/100k: new %.1f  again %.1f\n", large.fresh / small.fresh, large.again / small.again);
  return 0;
}
