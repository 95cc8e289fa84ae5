// Whole-file loads through the entry points, and the post-load validators
// on large synthetic graphs.
//
//   bench_load FILE...          strict and lenient load of each file
//   bench_load --graph N        validators over a chain of N blank
//                               individuals and a ladder of N diamonds
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "core/axiom.h"
#include "core/ontology.h"
#include "parser/load.h"
#include "parser/validate.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void load_file(const char* path) {
  for (bool strict : {true, false}) {
    const auto start = Clock::now();
    auto o = strict ? trelvanic_parser::load_ontology(path) : trelvanic_parser::load_ontology_lenient(path);
    const double t = seconds_since(start);
    if (!o) {
      fmt::print("{} {}: {:.3f} s, error: {}\n", path, strict ? "strict" : "lenient", t, o.error().message());
      continue;
    }
    const auto& meta = *o->parse_meta();
    fmt::print("{} {}: {:.3f} s, {} told, {} DL, {} entities, mapped {}, skipped {}, {} warnings\n", path,
               strict ? "strict" : "lenient", t, o->axiom_count(), o->dl().axiom_count(), o->entity_count(),
               meta.mapped_axiom_count, meta.skipped_axiom_count, meta.warnings.size());
  }
}

void validate_graphs(int n) {
  using trelvanic_core::EntityKind;
  for (bool ladder : {false, true}) {
    trelvanic_core::Ontology o;
    const auto r = *o.entity_id("http://ex.org/r", EntityKind::ObjectProperty);
    auto node = [&](int i) { return *o.entity_id(fmt::format("file:/c/test.owl#_n{}", i), EntityKind::Individual); };
    auto edge = [&](int a, int b) {
      (void)o.add_axiom(trelvanic_core::Axiom::object_property_assertion(node(a), r, node(b)));
    };
    if (ladder) {
      for (int i = 0; i < n; ++i) {
        edge(3 * i, 3 * i + 1);
        edge(3 * i, 3 * i + 2);
        edge(3 * i + 1, 3 * i + 3);
        edge(3 * i + 2, 3 * i + 3);
      }
    } else {
      for (int i = 0; i + 1 < n; ++i) edge(i, i + 1);
    }
    const auto start = Clock::now();
    auto verdict = trelvanic_parser::validate_blank_object_property_graph(o);
    fmt::print("{} of {}: {:.4f} s, {}\n", ladder ? "ladder" : "chain", n, seconds_since(start),
               verdict ? "passes" : verdict.error().message());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_load FILE... | --graph N\n");
    return 2;
  }
  if (std::string_view(argv[1]) == "--graph" && argc > 2) {
    validate_graphs(std::atoi(argv[2]));
    return 0;
  }
  for (int i = 1; i < argc; ++i) load_file(argv[i]);
  return 0;
}
