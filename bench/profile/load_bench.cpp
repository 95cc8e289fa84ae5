// Profile detection, route resolution and the hybrid split of a loaded
// file, against the time it took to load: the file is read into the OWL
// model and mapped into a core ontology (which then carries its parse
// metadata, with the dirty set cleared, as after a load), then the profile
// work is timed on it.
//
//   bench_profile_load FILE [REPEATS]
//
// FILE ending in .ofn or .func is read as functional syntax, anything else
// as Turtle (N-Triples included), e.g. an unpacked GALEN-EL.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "owl/functional_reader.h"
#include "parser/map.h"
#include "profile/detect.h"
#include "profile/hybrid.h"
#include "profile/routing.h"
#include "profile/scanner.h"
#include "rdf/owl_mapping.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace trelvanic_profile;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [REPEATS]\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::stoi(argv[2])) : 3;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string text = buf.str();

  const auto t0 = Clock::now();
  trelvanic_owl::Ontology model;
  if (ends_with(path, ".ofn") || ends_with(path, ".func")) {
    auto read = trelvanic_owl::read_functional(text);
    if (!read) {
      std::fprintf(stderr, "read failed: %s\n", read.error().text().c_str());
      return 1;
    }
    model = std::move(*read);
  } else {
    auto read = trelvanic_rdf::read_rdf_ontology(text, trelvanic_rdf::RdfSyntax::Turtle, {"", path});
    if (!read) {
      std::fprintf(stderr, "read failed: %s\n", read.error().message.c_str());
      return 1;
    }
    model = std::move(read->ontology);
  }
  auto mapped = trelvanic_parser::map_to_core(model, trelvanic_parser::LoadLimits::with_mode(false, true));
  if (!mapped) {
    std::fprintf(stderr, "map failed: %s\n", mapped.error().message().c_str());
    return 1;
  }
  trelvanic_core::Ontology o = std::move(mapped->ontology);
  o.set_parse_meta(std::move(mapped->meta));
  o.clear_dirty();
  o.reindex_dl_abox();
  const double load_s = seconds_since(t0);
  std::printf("%s: %zu told axioms, %zu DL axioms, %zu entities; read and mapped in %.3f s\n", path.c_str(),
              o.axiom_count(), o.dl().axiom_count(), o.entity_count(), load_s);

  // The constructs the loader recorded against those the stores show: an
  // edit empties the record, so any construct only recorded would vanish
  // from the scan after the first edit.
  const auto stores = construct_mask(scan_constructs_from_axioms(o.axioms(), o.dl()));
  const auto recorded = construct_mask(o.parse_meta()->profile_constructs);
  auto names = [](ConstructMask m) {
    std::string out;
    for (auto c : construct_set(m)) out += " " + std::string(trelvanic_core::owl_construct_name(c));
    return out.empty() ? std::string(" none") : out;
  };
  std::printf("recorded only:%s; in the stores only:%s\n", names(recorded & ~stores).c_str(),
              names(stores & ~recorded).c_str());

  for (int run = 0; run < repeats; ++run) {
    auto t = Clock::now();
    const auto report = detect_profile(o);
    const double detect_s = seconds_since(t);
    t = Clock::now();
    const auto route = resolve_route(trelvanic_core::Profile::Auto, o);
    const double route_s = seconds_since(t);
    t = Clock::now();
    const auto split = classify_hybrid(o);
    const double split_s = seconds_since(t);
    std::printf("run %d: detect %.4f s (%.2f%% of load), route %.4f s, split %.4f s\n", run, detect_s,
                100.0 * detect_s / load_s, route_s, split_s);
    if (run + 1 < repeats) continue;
    std::printf("profile %s;", std::string(owl_profile_name(*report->profile)).c_str());
    for (const auto& d : report->diagnostics) std::printf(" [%s: %s]", d.code.c_str(), d.message.c_str());
    if (route) {
      std::printf("\nroute: engine %s\n", std::string(route_engine_name(route->engine)).c_str());
    } else {
      std::printf("\nroute failed: %s\n", route.error().display().c_str());
    }
    if (split) {
      for (const auto& m : split->modules) {
        std::printf("module %s: %zu axioms, %zu classes, DL store %s\n", std::string(owl_profile_name(m.profile)).c_str(),
                    m.axioms.size(), m.signature.size(), m.include_dl_store ? "included" : "not included");
      }
    }
  }
  return 0;
}
