// RL materialisation of Brick with building models: load, then the bridge's
// phases one by one (export to triples, rule engine, merge, post-processing)
// and the whole RL engine run, so the bridge's cost can be set against the
// rule engine's.
//
//   bench_bridge BRICK.ttl [BUILDING.ttl ...]
//
// Each building is concatenated with Brick into a temporary Turtle file and
// loaded through the loader; with no building, Brick alone is measured.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/materializer_session.h"
#include "bridge/merge.h"
#include "bridge/rl_postprocess.h"
#include "bridge/triples.h"
#include "parser/load.h"
#include "rl/engine.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int measure(const std::string& label, const std::string& path) {
  auto t0 = Clock::now();
  auto loaded = trelvanic_parser::load_ontology_lenient(path);
  if (!loaded) {
    std::fprintf(stderr, "%s: load failed: %s\n", label.c_str(), loaded.error().message().c_str());
    return 1;
  }
  const double load_s = since(t0);
  trelvanic_core::Ontology ontology = std::move(*loaded);

  // The phases one by one, on a copy.
  trelvanic_core::Ontology work = ontology.clone();
  // The copy-on-write of the clone's stores happens at its first change;
  // time it apart so the merge shows only its own work.
  t0 = Clock::now();
  if (work.entity_count() > 0) (void)work.set_entity_kind(trelvanic_core::EntityId(0), work.entities().kind(trelvanic_core::EntityId(0)));
  const double copy_s = since(t0);
  trelvanic_materializer::Materializer engine;
  std::vector<trelvanic_bridge::Triple> triples;
  t0 = Clock::now();
  auto summary = trelvanic_bridge::export_ontology(work, engine.dictionary(), triples);
  const double export_s = since(t0);
  if (!summary) {
    std::fprintf(stderr, "%s: export failed: %s\n", label.c_str(), summary.error().message().c_str());
    return 1;
  }
  t0 = Clock::now();
  if (!engine.load(triples) || !engine.reason()) {
    std::fprintf(stderr, "%s: rule engine failed\n", label.c_str());
    return 1;
  }
  const double fixpoint_s = since(t0);
  t0 = Clock::now();
  const auto output = engine.triples();
  const double read_s = since(t0);
  t0 = Clock::now();
  auto merged = trelvanic_bridge::merge_triples_into_ontology_inner(work, engine.dictionary(), output,
                                                                     engine.problems(), 10'000'000, 1'000'000,
                                                                     work.axiom_count());
  const double merge_s = since(t0);
  if (!merged) {
    std::fprintf(stderr, "%s: merge failed: %s\n", label.c_str(), merged.error().message().c_str());
    return 1;
  }
  t0 = Clock::now();
  auto post = trelvanic_bridge::apply_materializer_fallbacks(work);
  const double post_s = since(t0);
  if (!post) {
    std::fprintf(stderr, "%s: post-processing failed: %s\n", label.c_str(), post.error().message().c_str());
    return 1;
  }

  // The whole engine run, as the facade makes it.
  trelvanic_core::Ontology whole = ontology.clone();
  t0 = Clock::now();
  auto report = trelvanic_rl::RlEngine{}.saturate(whole);
  const double saturate_s = since(t0);
  if (!report) {
    std::fprintf(stderr, "%s: saturate failed: %s\n", label.c_str(), report.error().message().c_str());
    return 1;
  }
  const double bridge_s = export_s + read_s + merge_s + post_s;
  std::printf(
      "%-24s load %.3fs copy %.3fs | triples %zu (outside RL %zu) | export %.3fs  rules %.3fs  read %.3fs  merge %.3fs  "
      "post %.3fs | bridge/rules %.2f | saturate %.3fs | axioms %zu -> %zu, clashes %zu\n",
      label.c_str(), load_s, copy_s, summary->triples, summary->outside_rl, export_s, fixpoint_s, read_s, merge_s, post_s,
      fixpoint_s > 0 ? bridge_s / fixpoint_s : 0.0, saturate_s, report->initial_axiom_count,
      report->final_axiom_count, report->clashes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s BRICK.ttl [BUILDING.ttl ...]\n", argv[0]);
    return 2;
  }
  const std::string brick = argv[1];
  int failures = 0;
  if (argc == 2) return measure("Brick", brick);
  const std::string brick_text = read_file(brick);
  for (int i = 2; i < argc; ++i) {
    const std::string building = argv[i];
    const std::string tmp = "/tmp/trelvanic_bench_bridge_" + std::to_string(i) + ".ttl";
    {
      std::ofstream out(tmp, std::ios::binary);
      out << brick_text << "\n" << read_file(building);
    }
    const auto slash = building.find_last_of('/');
    failures += measure("Brick+" + building.substr(slash == std::string::npos ? 0 : slash + 1), tmp);
    std::remove(tmp.c_str());
  }
  return failures == 0 ? 0 : 1;
}
