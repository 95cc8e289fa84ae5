// Forward chaining that needs one pass per individual: a marker travels
// along a `next` chain of N individuals, one step per pass, so the run
// makes N + 1 passes and each pass reasons over the whole ontology again.
//
//   bench_swrl [N ...] [--tbox K] [--route el|dl|both]
//
// The TBox puts Marked under a chain of K classes (default 200), so each
// pass's reasoning has some weight. Route el keeps the ontology in the EL
// engine's reach and moves a class membership along the chain; route dl
// adds a disjunction and moves a property assertion back along the chain
// through a class atom that DL instance checks match. Prints per run the
// total time, the number of firings and the time per pass.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "parser/load.h"
#include "swrl/engine.h"

namespace {

std::string chain_ontology(size_t n, size_t tbox, bool dl) {
  std::string o =
      "Prefix(:=<http://ex.org/b#>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
      "Ontology(<http://ex.org/b>\n";
  o += "SubClassOf(:Marked :T0)\n";
  for (size_t k = 0; k + 1 < tbox; ++k) {
    o += "SubClassOf(:T" + std::to_string(k) + " :T" + std::to_string(k + 1) + ")\n";
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    o += "ObjectPropertyAssertion(:next :a" + std::to_string(i) + " :a" + std::to_string(i + 1) + ")\n";
  }
  if (!dl) {
    o += "ClassAssertion(:Marked :a0)\n";
    o += "DLSafeRule(Body(ObjectPropertyAtom(:next Variable(:x) Variable(:y)) ClassAtom(:Marked Variable(:x))) "
         "Head(ClassAtom(:Marked Variable(:y))))\n)\n";
    return o;
  }
  // Every chain member is a Node by the domain of next, which only a DL
  // instance check finds (the disjunction keeps the ontology outside EL);
  // a link travels back from the chain's end one step per pass.
  o += "ObjectPropertyDomain(:next :Node)\nSubClassOf(:Node ObjectUnionOf(:Left :Right))\n";
  o += "ObjectPropertyAssertion(:link :a" + std::to_string(n - 1) + " :end)\n";
  o += "DLSafeRule(Body(ClassAtom(:Node Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y)) "
       "ObjectPropertyAtom(:link Variable(:y) Variable(:z))) "
       "Head(ObjectPropertyAtom(:link Variable(:x) Variable(:z))))\n)\n";
  return o;
}

int run(size_t n, size_t tbox, bool dl) {
  auto path = std::filesystem::temp_directory_path() / ("bench_swrl_" + std::to_string(getpid()) + ".ofn");
  std::ofstream(path) << chain_ontology(n, tbox, dl);
  auto loaded = trelvanic_parser::load_ontology_lenient(path.string());
  std::filesystem::remove(path);
  if (!loaded) {
    std::fprintf(stderr, "load failed: %s\n", loaded.error().message().c_str());
    return 1;
  }
  trelvanic_core::Ontology clone = loaded->clone();
  auto start = std::chrono::steady_clock::now();
  auto chained = trelvanic_swrl::engine::materialize_swrl_rules(clone);
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!chained) {
    std::fprintf(stderr, "chaining failed\n");
    return 1;
  }
  std::printf("%-3s N=%-6zu K=%-5zu total %9.3f s  firings %6zu  complete %d  per pass %8.3f ms\n",
              dl ? "dl" : "el", n, tbox, secs, chained->inference_count, chained->complete ? 1 : 0,
              1000.0 * secs / double(n + 1));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<size_t> sizes;
  size_t tbox = 200;
  std::string route = "el";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--tbox" && i + 1 < argc) {
      tbox = std::strtoul(argv[++i], nullptr, 10);
    } else if (arg == "--route" && i + 1 < argc) {
      route = argv[++i];
    } else {
      sizes.push_back(std::strtoul(arg.c_str(), nullptr, 10));
    }
  }
  if (sizes.empty()) sizes = {50, 100, 200, 400};
  for (size_t n : sizes) {
    if ((route == "el" || route == "both") && run(n, tbox, false) != 0) return 1;
    if ((route == "dl" || route == "both") && run(n, tbox, true) != 0) return 1;
  }
  return 0;
}
