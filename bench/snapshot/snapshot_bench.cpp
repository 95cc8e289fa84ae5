// Snapshot write and read speed: builds an ontology of N told axioms
// (default 1,000,000; a mix of SubClassOf, SubClassOfExistential,
// ClassAssertion and ObjectPropertyAssertion over N/4 classes, N/10
// individuals and 64 properties) with a small DL section, writes it with
// `to_json`, reads it back with `from_json_with_limits` (limits raised to
// fit) and prints the sizes, times and MB/s of both directions.
//
//   bench_snapshot [N]
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fmt/format.h>

#include "core/serialize.h"

using namespace trelvanic_core;

namespace {

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Processor time of this process: on a loaded machine a steadier measure
// than the wall clock.
double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

Ontology build(size_t n) {
  Ontology o;
  const size_t classes = n / 4 + 2, individuals = n / 10 + 2, properties = 64;
  std::vector<EntityId> c, i, p;
  for (size_t k = 0; k < classes; ++k)
    c.push_back(*o.entity_id(fmt::format("http://bench.example.org/onto#Class{}", k), EntityKind::Class));
  for (size_t k = 0; k < individuals; ++k)
    i.push_back(*o.entity_id(fmt::format("http://bench.example.org/onto#ind{}", k), EntityKind::Individual));
  for (size_t k = 0; k < properties; ++k)
    p.push_back(*o.entity_id(fmt::format("http://bench.example.org/onto#prop{}", k), EntityKind::ObjectProperty));
  uint64_t x = 88172645463325252ull;
  auto rnd = [&](size_t m) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return static_cast<size_t>(x % m);
  };
  while (o.axiom_count() < n) {
    switch (rnd(4)) {
      case 0: (void)o.add_axiom(Axiom::sub_class_of(c[rnd(classes)], c[rnd(classes)])); break;
      case 1:
        (void)o.add_axiom(Axiom::sub_class_of_existential(c[rnd(classes)], p[rnd(properties)], c[rnd(classes)]));
        break;
      case 2: (void)o.add_axiom(Axiom::class_assertion(i[rnd(individuals)], c[rnd(classes)])); break;
      default:
        (void)o.add_axiom(Axiom::object_property_assertion(i[rnd(individuals)], p[rnd(properties)], i[rnd(individuals)]));
        break;
    }
  }
  DlStore& dl = o.dl_mut();
  for (size_t k = 0; k + 1 < classes && k < n / 100; ++k) {
    const CeId a = dl.intern_ce(ClassExpr::atomic(c[k]));
    const CeId s = dl.intern_ce(ClassExpr::some(RoleExpr::atomic(p[k % properties]), a));
    dl.push_axiom(DlAxiom::sub_class_of(dl.intern_ce(ClassExpr::atomic(c[k + 1])), s));
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1'000'000;
  auto t0 = std::chrono::steady_clock::now();
  const Ontology o = build(n);
  std::printf("built %zu axioms, %zu entities in %.2f s\n", o.axiom_count(), o.entity_count(), seconds_since(t0));

  t0 = std::chrono::steady_clock::now();
  double c0 = cpu_seconds();
  auto text = to_json(o);
  const double write_s = seconds_since(t0), write_cpu = cpu_seconds() - c0;
  if (!text) {
    std::printf("write failed: %s\n", text.error().message().c_str());
    return 1;
  }
  const double mb = static_cast<double>(text->size()) / 1e6;
  std::printf("write: %.1f MB in %.3f s = %.0f MB/s (processor time %.3f s = %.0f MB/s)\n", mb, write_s,
              mb / write_s, write_cpu, mb / write_cpu);

  OntologyLimits limits;
  limits.max_json_bytes = text->size();
  limits.max_entities = o.entity_count() + o.dl().ce_count();
  limits.max_axioms = n + o.dl().axiom_count();
  for (int round = 0; round < 2; ++round) {
    t0 = std::chrono::steady_clock::now();
    c0 = cpu_seconds();
    auto back = from_json_with_limits(*text, limits);
    const double read_s = seconds_since(t0), read_cpu = cpu_seconds() - c0;
    if (!back) {
      std::printf("read failed: %s\n", back.error().message().c_str());
      return 1;
    }
    std::printf("read:  %.1f MB in %.3f s = %.0f MB/s (processor time %.3f s = %.0f MB/s; %zu axioms, %zu entities, "
                "%zu DL axioms)\n",
                mb, read_s, mb / read_s, read_cpu, mb / read_cpu, back->axiom_count(), back->entity_count(),
                back->dl().axiom_count());
    if (back->axiom_count() != o.axiom_count() || back->entity_count() != o.entity_count()) {
      std::printf("read back a different ontology\n");
      return 1;
    }
  }
  return 0;
}
