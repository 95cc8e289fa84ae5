// EL engine benchmark: phase times of normalisation, indexing, saturation and
// taxonomy extraction, single-threaded.
//
//   bench_el generate [CLASSES] [SEED]   SNOMED-like ontology built in memory
//   bench_el transitive [N]              C0 ⊑ ∃r.C1, ..., C(N-1) ⊑ ∃r.CN with r
//                                        transitive, and Ai ≡ ∃r.Ci
//   bench_el chain [N]                   the SubClassOf chain C0 ⊑ C1 ⊑ ... ⊑ CN
//   bench_el nt FILE|- [--dump]          an N-Triples ontology (e.g. GALEN-EL
//                                        through zcat), read by the bench's own
//                                        converter; reading is timed apart;
//                                        --dump prints the entailed class
//                                        subsumptions instead of the times
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "el/engine.h"
#include "el/normal_form.h"
#include "el/rule_index.h"
#include "el/taxonomy_extract.h"
#include "nt_to_el.h"

using namespace trelvanic_el;

namespace {

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

long peak_rss_kib() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// SNOMED-like shape: 19 top-level hierarchies; each class has one parent in
// its own hierarchy (a second one a third of the time) drawn uniformly from
// the classes made before it (a random recursive DAG, depth about ln n); about 1.5 existentials per class on
// 60 attributes, each attribute pointing into its own target hierarchy, a
// quarter of them inside a role group (∃roleGroup.(∃a.X ⊓ ∃b.Y)); 10% of
// the classes fully defined (EquivalentClasses). Attributes 0-5 are
// transitive (part-of like), a dozen specialise others, one chain of the
// "direct substance ∘ active ingredient" kind.
ElInput generate(uint32_t classes, uint32_t seed) {
  constexpr uint32_t kHierarchies = 19, kAttributes = 60;
  const uint32_t role_group = kAttributes;
  std::mt19937_64 rng(seed);
  auto uniform = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
  ElInput in;
  in.reserve_classes(classes);
  in.reserve_roles(kAttributes + 1);
  for (uint32_t r = 0; r < 6; ++r) in.transitive(r);
  for (uint32_t r = 10; r < 22; ++r) in.sub_property_of(r, r - 10 + 30);
  std::vector<uint32_t> chain{40, 41};
  in.property_chain(chain, 40);
  std::vector<std::vector<uint32_t>> members(kHierarchies);
  for (uint32_t h = 0; h < kHierarchies && h < classes; ++h) members[h].push_back(h);
  auto pick_in = [&](uint32_t h) {
    const auto& m = members[h];
    return m[uniform(static_cast<uint32_t>(m.size()))];
  };
  std::vector<ExprId> ops;
  for (uint32_t c = kHierarchies; c < classes; ++c) {
    uint32_t h = c % kHierarchies;
    ops.clear();
    ops.push_back(in.named(pick_in(h)));
    if (chance(0.33)) {
      uint32_t p2 = pick_in(h);
      ops.push_back(in.named(p2));
    }
    // Findings and procedures (the first half of the hierarchies) carry most
    // of the attributes.
    double mean = h < kHierarchies / 2 ? 2.6 : 0.35;
    uint32_t n = std::poisson_distribution<uint32_t>(mean)(rng);
    for (uint32_t k = 0; k < n; ++k) {
      uint32_t a = uniform(kAttributes);
      ExprId filler = in.named(pick_in((a * 7 + 3) % kHierarchies));
      ExprId some = in.some(a, filler);
      if (chance(0.25) && k + 1 < n) {
        uint32_t b = uniform(kAttributes);
        ExprId other = in.some(b, in.named(pick_in((b * 7 + 3) % kHierarchies)));
        ExprId both[2] = {some, other};
        some = in.some(role_group, in.and_of(both));
        ++k;
      }
      ops.push_back(some);
    }
    ExprId self = in.named(c);
    ExprId def = ops.size() == 1 ? ops[0] : in.and_of(ops);
    if (ops.size() > 1 && chance(0.10)) {
      ExprId pair[2] = {self, def};
      in.equivalent_classes(pair);
    } else {
      in.sub_class_of(self, def);
    }
    members[h].push_back(c);
  }
  return in;
}

// Existentials along a transitive property: Ci ⊑ ∃r.C(i+1) for i < n and
// the defined classes Ai ≡ ∃r.Ci, so every Cj lies below Ai for i > j: the
// closure holds about n²/2 links and n²/2 subsumptions.
ElInput transitive_path(uint32_t n) {
  ElInput in;
  in.reserve_classes(2 * (n + 1));
  in.transitive(0);
  for (uint32_t i = 0; i < n; ++i) in.sub_class_of(in.named(i), in.some(0, in.named(i + 1)));
  for (uint32_t i = 0; i <= n; ++i) {
    ExprId pair[2] = {in.named(n + 1 + i), in.some(0, in.named(i))};
    in.equivalent_classes(pair);
  }
  return in;
}

// C0 ⊑ C1 ⊑ ... ⊑ Cn: class i has n - i + 1 subsumers.
ElInput subclass_chain(uint32_t n) {
  ElInput in;
  in.reserve_classes(n + 1);
  for (uint32_t i = 0; i < n; ++i) in.sub_class_of(in.named(i), in.named(i + 1));
  return in;
}

// Every entailed subsumption between two different classes ("S sub super")
// and every unsatisfiable class ("U class"), for comparisons with other
// reasoners on small ontologies.
// "INCONSISTENT" first when owl:Thing or an individual is unsatisfiable.
void dump(const NormalForm& nf, const CompletionGraph& graph, const std::vector<std::string>& iris,
          const std::vector<uint32_t>& individuals) {
  bool inconsistent = graph.unsatisfiable(kTop);
  for (uint32_t i : individuals) inconsistent |= graph.unsatisfiable(NormalForm::class_concept(i));
  if (inconsistent) std::printf("INCONSISTENT\n");
  for (uint32_t i = 0; i < nf.class_count; ++i) {
    uint32_t c = NormalForm::class_concept(i);
    if (graph.unsatisfiable(c)) {
      std::printf("U %s\n", iris[i].c_str());
      continue;
    }
    for (uint32_t j = 0; j < nf.class_count; ++j) {
      if (i != j && graph.subsumes(c, NormalForm::class_concept(j))) {
        std::printf("S %s %s\n", iris[i].c_str(), iris[j].c_str());
      }
    }
  }
}

int classify(const ElInput& input, const char* label, double read_seconds,
             const bench::NtOntology* dump_of = nullptr) {
  auto t0 = std::chrono::steady_clock::now();
  auto nf = normalize(input);
  if (!nf) {
    std::fprintf(stderr, "normalise failed: %s\n", nf.error().message.c_str());
    return 1;
  }
  double t_norm = seconds_since(t0);
  auto t1 = std::chrono::steady_clock::now();
  RuleIndex index(*nf);
  CompletionGraph graph(nf->concept_count);
  auto roots = roots_of(*nf);
  double t_index = seconds_since(t1);
  auto t2 = std::chrono::steady_clock::now();
  SaturationStats st = saturate(*nf, index, graph, roots, nullptr);
  double t_sat = seconds_since(t2);
  auto t3 = std::chrono::steady_clock::now();
  ClassTaxonomy tax = extract_taxonomy(*nf, graph);
  double t_ext = seconds_since(t3);
  if (dump_of != nullptr) {
    if (!nf->incomplete.empty()) std::printf("INCOMPLETE\n");
    dump(*nf, graph, dump_of->class_iris, dump_of->individuals);
    return 0;
  }
  std::printf(
      "{\"ontology\":\"%s\",\"classes\":%u,\"roles\":%u,\"concepts\":%u,\"inclusions\":%zu,"
      "\"conjunctions\":%zu,\"existentials\":%zu,\"left_existentials\":%zu,\"incomplete\":%zu,"
      "\"subsumers\":%llu,\"links\":%llu,\"taken\":%llu,\"edges\":%zu,\"clusters\":%zu,\"unsatisfiable\":%zu,"
      "\"read_s\":%.3f,\"normalise_s\":%.3f,\"index_s\":%.3f,\"saturate_s\":%.3f,"
      "\"extract_s\":%.3f,\"saturate_plus_extract_s\":%.3f,\"graph_mib\":%.1f,\"peak_rss_mib\":%.1f}\n",
      label, nf->class_count, nf->role_count, nf->concept_count, nf->inclusions.size(),
      nf->conjunctions.size(), nf->existentials.size(), nf->left_existentials.size(),
      nf->incomplete.size(), static_cast<unsigned long long>(st.subsumers),
      static_cast<unsigned long long>(st.links), static_cast<unsigned long long>(st.taken), tax.edges.size(), tax.clusters.size(),
      tax.unsatisfiable.size(), read_seconds, t_norm, t_index, t_sat, t_ext, t_sat + t_ext,
      graph.memory_bytes() / 1048576.0, peak_rss_kib() / 1024.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "generate";
  if (mode == "generate") {
    uint32_t classes = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 300000;
    uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 20261210;
    auto t0 = std::chrono::steady_clock::now();
    ElInput in = generate(classes, seed);
    return classify(in, "snomed-like", seconds_since(t0));
  }
  if (mode == "transitive" || mode == "chain") {
    uint32_t n = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1000;
    auto t0 = std::chrono::steady_clock::now();
    ElInput in = mode == "transitive" ? transitive_path(n) : subclass_chain(n);
    std::string label = mode + "-" + std::to_string(n);
    return classify(in, label.c_str(), seconds_since(t0));
  }
  if (mode == "nt" && argc > 2) {
    auto t0 = std::chrono::steady_clock::now();
    bench::NtOntology onto;
    if (std::string(argv[2]) == "-") {
      onto = bench::read_nt(std::cin);
    } else {
      std::ifstream f(argv[2]);
      if (!f) {
        std::fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
      }
      onto = bench::read_nt(f);
    }
    double t_read = seconds_since(t0);
    if (onto.skipped_axioms > 0 || argc <= 3) std::fprintf(stderr, "triples %llu, skipped axioms %llu\n",
                 static_cast<unsigned long long>(onto.triples),
                 static_cast<unsigned long long>(onto.skipped_axioms));
    bool want_dump = argc > 3 && std::string(argv[3]) == "--dump";
    return classify(onto.input, argv[2], t_read, want_dump ? &onto : nullptr);
  }
  std::fprintf(stderr,
               "usage: bench_el generate [CLASSES] [SEED] | bench_el transitive [N] | bench_el chain [N] |"
               " bench_el nt FILE|- [--dump]\n");
  return 2;
}
