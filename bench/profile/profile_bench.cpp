// Profile detection, route resolution and the hybrid split on a large
// generated ontology shaped like the big EL terminologies: N classes, N told
// subclass axioms, N/2 told existentials, N/2 DL definitions
// A = B and some r (C and some s D) whose sub-expressions are shared, a few
// property chains and one union (so the split runs). The time to build the
// ontology in memory stands in for its load time.
//
//   bench_profile [N]      (default 300,000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "core/ontology.h"
#include "profile/detect.h"
#include "profile/hybrid.h"
#include "profile/routing.h"
#include "profile/scanner.h"

using namespace trelvanic_core;
using namespace trelvanic_profile;

namespace {

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

Ontology build(uint32_t n) {
  Ontology o;
  std::mt19937 rng(7);
  const uint32_t props = 1000;
  std::vector<EntityId> cls(n), prop(props);
  for (uint32_t i = 0; i < n; ++i) cls[i] = *o.entity_id("http://bench.example/galen#C" + std::to_string(i), EntityKind::Class);
  for (uint32_t i = 0; i < props; ++i)
    prop[i] = *o.entity_id("http://bench.example/galen#p" + std::to_string(i), EntityKind::ObjectProperty);
  auto c = [&] { return cls[rng() % n]; };
  auto p = [&] { return prop[rng() % props]; };
  for (uint32_t i = 1; i < n; ++i) (void)o.add_axiom(Axiom::sub_class_of(cls[i], cls[rng() % i]));
  for (uint32_t i = 0; i < n / 2; ++i) (void)o.add_axiom(Axiom::sub_class_of_existential(c(), p(), c()));
  DlStore& dl = o.dl_mut();
  for (uint32_t i = 0; i < n / 2; ++i) {
    const CeId inner = dl.intern_ce(ClassExpr::and_of(
        {dl.intern_ce(ClassExpr::atomic(c())), dl.intern_ce(ClassExpr::some(RoleExpr::atomic(p()), dl.intern_ce(ClassExpr::atomic(c()))))}));
    const CeId def = dl.intern_ce(ClassExpr::and_of(
        {dl.intern_ce(ClassExpr::atomic(c())), dl.intern_ce(ClassExpr::some(RoleExpr::atomic(p()), inner))}));
    dl.push_axiom(DlAxiom::equivalent_classes({dl.intern_ce(ClassExpr::atomic(cls[i])), def}));
  }
  for (uint32_t i = 0; i < 100; ++i)
    dl.push_axiom(DlAxiom::sub_object_property_chain({RoleExpr::atomic(p()), RoleExpr::atomic(p())}, RoleExpr::atomic(p())));
  dl.push_axiom(DlAxiom::sub_class_of(dl.intern_ce(ClassExpr::atomic(c())),
                                      dl.intern_ce(ClassExpr::or_of({dl.intern_ce(ClassExpr::atomic(c())),
                                                                     dl.intern_ce(ClassExpr::atomic(c()))}))));
  o.clear_dirty();
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const uint32_t n = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 300'000;
  auto t0 = std::chrono::steady_clock::now();
  const Ontology o = build(n);
  const double build_s = seconds_since(t0);
  std::printf("ontology: %u classes, %zu told axioms, %zu DL axioms, %zu class expressions; built in %.3f s\n", n,
              o.axiom_count(), o.dl().axiom_count(), o.dl().ce_count(), build_s);

  for (int run = 0; run < 3; ++run) {
    t0 = std::chrono::steady_clock::now();
    const ConstructSet s = scan_constructs(o);
    const double scan_s = seconds_since(t0);
    t0 = std::chrono::steady_clock::now();
    const auto report = detect_profile(o);
    const double detect_s = seconds_since(t0);
    t0 = std::chrono::steady_clock::now();
    const auto route = resolve_route(Profile::Auto, o);
    const double route_s = seconds_since(t0);
    t0 = std::chrono::steady_clock::now();
    const auto split = classify_hybrid(o);
    const double split_s = seconds_since(t0);
    std::printf(
        "run %d: scan %.4f s (%zu constructs), detect %.4f s (%s, %zu diagnostics), route %.4f s (%s), "
        "split %.4f s (%zu modules); detect/build = %.2f%%\n",
        run, scan_s, s.size(), detect_s, std::string(owl_profile_name(*report->profile)).c_str(),
        report->diagnostics.size(), route_s, std::string(route_engine_name(route->engine)).c_str(), split_s,
        split->modules.size(), 100.0 * detect_s / build_s);
  }

  // Pathological sharing: each level is the intersection of the level below
  // with itself, 100,000 levels deep.
  Ontology deep;
  DlStore& dl = deep.dl_mut();
  CeId x = dl.intern_ce(ClassExpr::atomic(*deep.entity_id("http://bench.example/deep#A", EntityKind::Class)));
  for (int i = 0; i < 100'000; ++i) x = dl.intern_ce(ClassExpr::and_of({x, x}));
  dl.push_axiom(DlAxiom::sub_class_of(x, x));
  t0 = std::chrono::steady_clock::now();
  const ConstructSet ds = scan_constructs(deep);
  std::printf("deep shared expression (100,000 levels): scan %.4f s (%zu constructs)\n", seconds_since(t0), ds.size());
  return 0;
}
