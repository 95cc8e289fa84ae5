// Cost of editing a clone against the size of the ontology it shares, as a
// Python `Reasoner` pays it on every edit of its working copy: for ontologies
// of 1k, 10k and 100k classes (or the sizes given), the time of one edit of a
// fresh clone and of 100 edits, the time of copying each store on its own,
// and the memory of 100 clones sharing one ontology, each after one edit.
//
//   bench_core_edit [N ...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/axiom_index.h"
#include "core/ontology.h"

using namespace trelvanic_core;

namespace {

using Clock = std::chrono::steady_clock;

double us_since(Clock::time_point t0) { return std::chrono::duration<double, std::micro>(Clock::now() - t0).count(); }

// Resident set size in KiB, from /proc (0 where there is none).
long rss_kib() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  long pages = 0, resident = 0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * 4;
}

// N classes in a subclass chain, every tenth with an existential and an
// instance, so the index has rows of several kinds.
struct Built {
  Ontology o;
  std::vector<EntityId> classes;
};

Built build(uint32_t n) {
  Built b;
  const EntityId p = *b.o.entity_id("http://example.org/onto#p", EntityKind::ObjectProperty);
  for (uint32_t i = 0; i < n; ++i)
    b.classes.push_back(*b.o.entity_id("http://example.org/onto#C" + std::to_string(i), EntityKind::Class));
  for (uint32_t i = 0; i + 1 < n; ++i) {
    if (!b.o.add_axiom(Axiom::sub_class_of(b.classes[i], b.classes[i + 1]))) std::abort();
    if (i % 10 == 0) {
      const EntityId x = *b.o.entity_id("http://example.org/onto#x" + std::to_string(i), EntityKind::Individual);
      if (!b.o.add_axiom(Axiom::class_assertion(x, b.classes[i]))) std::abort();
      if (!b.o.add_axiom(Axiom::sub_class_of_existential(b.classes[i], p, b.classes[(i * 7) % n]))) std::abort();
    }
  }
  b.o.clear_dirty();
  return b;
}

template <class T>
double copy_us(const T& part) {
  const auto t0 = Clock::now();
  T copy(part);
  const double t = us_since(t0);
  if (&copy == &part) std::abort();
  return t;
}

// Median of `reps` runs of f (which returns microseconds).
template <class F>
double median_us(int reps, F&& f) {
  std::vector<double> v;
  for (int i = 0; i < reps; ++i) v.push_back(f());
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void run(uint32_t n) {
  const Built b = build(n);
  const Ontology& o = b.o;
  const auto& c = b.classes;
  const double one = median_us(9, [&] {
    Ontology w = o.clone();
    const auto t0 = Clock::now();
    if (!w.add_axiom(Axiom::sub_class_of(c[n - 1], c[0]))) std::abort();
    return us_since(t0);
  });
  const double hundred = median_us(5, [&] {
    Ontology w = o.clone();
    const auto t0 = Clock::now();
    for (uint32_t i = 0; i < 100; ++i)
      if (!w.add_axiom(Axiom::sub_class_of(c[(i * 97) % n], c[(i * 31 + 5) % n]))) std::abort();
    return us_since(t0);
  });
  // The Python edit path: a fresh clone per call, one edit each.
  const double per_call = median_us(5, [&] {
    Ontology w = o.clone();
    const auto t0 = Clock::now();
    for (uint32_t i = 0; i < 100; ++i) {
      Ontology next = w.clone();
      if (!next.add_axiom(Axiom::sub_class_of(c[(i * 97) % n], c[(i * 31 + 5) % n]))) std::abort();
      w = std::move(next);
    }
    return us_since(t0) / 100;
  });
  std::printf("%8u classes  one edit %9.1f us  100 edits %9.1f us  edit of a fresh clone (x100) %9.1f us\n", n, one,
              hundred, per_call);
  std::printf("          copy of: iris %.1f us, entities %.1f us, axioms %.1f us, index %.1f us, dl %.1f us\n",
              median_us(5, [&] { return copy_us(o.iris()); }), median_us(5, [&] { return copy_us(o.entities()); }),
              median_us(5, [&] { return copy_us(o.axioms()); }), median_us(5, [&] { return copy_us(o.index()); }),
              median_us(5, [&] { return copy_us(o.dl()); }));
  constexpr int kClones = 100;
  const long before = rss_kib();
  std::vector<Ontology> clones;
  for (int i = 0; i < kClones; ++i) {
    clones.push_back(o.clone());
    if (!clones.back().add_axiom(Axiom::sub_class_of(c[i % n], c[(i + 2) % n]))) std::abort();
  }
  std::printf("          %d clones after one edit each: %.1f MiB more resident\n", kClones,
              static_cast<double>(rss_kib() - before) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<uint32_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
  if (sizes.empty()) sizes = {1'000, 10'000, 100'000};
  for (uint32_t n : sizes) run(n);
  return 0;
}
