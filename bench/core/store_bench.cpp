// Interns N IRIs, registers them as classes, stores N distinct axioms and
// then N duplicates of them, for N = 100,000 and 1,000,000, and prints the
// times, bytes per IRI and per axiom, and the 1M/100k time ratios (linear
// scaling gives about 10).
//
//   bench_core_store [N]   (default: both sizes)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/axiom_store.h"
#include "core/entity.h"
#include "core/iri.h"

using namespace trelvanic_core;

namespace {

struct Times {
  double intern, distinct, duplicates;
};

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

Times run(uint32_t n) {
  InternPool pool;
  EntityRegistry reg;
  AxiomStore store;
  auto t0 = std::chrono::steady_clock::now();
  for (uint32_t i = 0; i < n; ++i) {
    const std::string iri = "http://example.org/ontology/classes#C" + std::to_string(i);
    auto id = pool.intern_with_limit(iri, kDefaultMaxIriLen);
    if (!id || !reg.get_or_register(*id, iri, EntityKind::Class)) std::abort();
  }
  Times t{};
  t.intern = seconds_since(t0);

  // Distinct axioms: a chain of subclass links plus one n-ary axiom per 16
  // classes, so both record layouts are exercised.
  auto axiom_at = [&](uint32_t i) {
    if (i % 16 == 15)
      return Axiom::disjoint_classes({EntityId(i), EntityId(i - 1), EntityId(i - 2)});
    return Axiom::sub_class_of(EntityId(i), EntityId((i + 1) % n));
  };
  t0 = std::chrono::steady_clock::now();
  for (uint32_t i = 0; i < n; ++i)
    if (!store.push_with_provenance(axiom_at(i), reg, false)) std::abort();
  t.distinct = seconds_since(t0);
  t0 = std::chrono::steady_clock::now();
  for (uint32_t i = 0; i < n; ++i)
    if (!store.push_with_provenance(axiom_at(i), reg, false)) std::abort();
  t.duplicates = seconds_since(t0);
  if (store.size() != n) std::abort();

  std::printf("n=%u intern+register %.3fs  distinct axioms %.3fs  duplicates %.3fs\n", n, t.intern,
              t.distinct, t.duplicates);
  std::printf("      IRI pool %.1f bytes/IRI  axiom store %.1f bytes/axiom\n",
              double(pool.memory_bytes()) / n, double(store.memory_bytes()) / n);
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
  std::printf("ratio 1M/100k: intern %.1f  distinct %.1f  duplicates %.1f\n", large.intern / small.intern,
              large.distinct / small.distinct, large.duplicates / small.duplicates);
  return 0;
}
