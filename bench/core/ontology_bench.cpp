// Builds an ontology of N told axioms (default 1,000,000), clones it 1,000
// times and reports the time per clone, then changes one clone (the first
// change copies the shared stores) and reports that time.
//
//   bench_core_ontology [N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/ontology.h"

using namespace trelvanic_core;

namespace {

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const uint32_t n = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1'000'000;
  Ontology o;
  auto t0 = std::chrono::steady_clock::now();
  std::vector<EntityId> classes;
  for (uint32_t i = 0; i <= n; ++i) {
    auto id = o.entity_id("http://example.org/onto#C" + std::to_string(i), EntityKind::Class);
    if (!id) std::abort();
    classes.push_back(*id);
  }
  for (uint32_t i = 0; i < n; ++i)
    if (!o.add_axiom(Axiom::sub_class_of(classes[i], classes[i + 1]))) std::abort();
  o.clear_dirty();
  std::printf("built %u axioms in %.3fs\n", n, seconds_since(t0));

  constexpr int kClones = 1000;
  std::vector<Ontology> clones;
  clones.reserve(kClones);
  t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < kClones; ++i) clones.push_back(o.clone());
  const double clone_time = seconds_since(t0);
  std::printf("%d clones: %.1f us per clone\n", kClones, clone_time / kClones * 1e6);

  t0 = std::chrono::steady_clock::now();
  if (!clones[0].add_axiom(Axiom::sub_class_of(classes[n], classes[0]))) std::abort();
  std::printf("first change of a clone (copies the shared stores and index): %.3fs\n", seconds_since(t0));
  t0 = std::chrono::steady_clock::now();
  if (!clones[0].add_axiom(Axiom::sub_class_of(classes[n], classes[1]))) std::abort();
  std::printf("second change of that clone: %.1f us\n", seconds_since(t0) * 1e6);
  if (o.axiom_count() != n || clones[0].axiom_count() != n + 2) std::abort();
  return 0;
}
