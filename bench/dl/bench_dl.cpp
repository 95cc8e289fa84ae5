// The DL tableau on one ontology file, for differential runs against other
// reasoners. Prints one line of JSON:
//
//   bench_dl FILE [--classify] [--no-backjump] [--no-seed] [--cascade]
//   {"consistent": true|false|null, "unsatisfiable": [IRI, ...]|null,
//    "error": null|"text"[, "subsumptions": [[sub, sup], ...]|null]}
//
// null means not decided (a limit was hit or the input holds constructs the
// calculus does not decide). "unsatisfiable" is given only when the ontology
// is consistent and every named class was decided; "subsumptions" (with
// --classify) lists every pair of distinct named classes A ⊑ B with A
// satisfiable. The exit code is 0 whenever the line was printed. Unless set,
// the tableau limits are raised far above the library's defaults, which are
// meant for interactive calls. With --cascade the consistency verdict is the
// DL consistency cascade's (its stages before the tableau included) and
// nothing else is printed. The classification takes the saturation's
// subsumptions without tests, as the library does; --no-seed turns that off.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "alc/dl_ontology.h"
#include "alc/tableau.h"
#include "dl/consistency.h"
#include "dl/datatype/world_values.h"
#include "dl/saturation.h"
#include "json/writer.h"
#include "parser/load.h"

namespace {

std::string quote(std::string_view s) {
  std::string out;
  trelvanic_json::append_escaped(out, s);
  return out;
}

std::string iri(const trelvanic_core::Ontology& o, trelvanic_core::EntityId e) {
  auto r = o.entity_iri(e);
  return r ? quote(*r) : quote("?");
}

std::string pairs(const trelvanic_core::Ontology& o, const trelvanic_alc::Tableau::Classification& c) {
  std::string out = "[";
  for (auto [a, b] : c.subsumptions) {
    if (out.size() > 1) out += ", ";
    out += "[" + iri(o, a) + ", " + iri(o, b) + "]";
  }
  return out + "]";
}

void print(const char* consistent, const std::string& unsat, const std::string& error, const std::string* subs) {
  std::printf("{\"consistent\": %s, \"unsatisfiable\": %s, \"error\": %s", consistent, unsat.c_str(), error.c_str());
  if (subs != nullptr) std::printf(", \"subsumptions\": %s", subs->c_str());
  std::printf("}\n");
}

}  // namespace

void why(const trelvanic_alc::Tableau& t) { std::fprintf(stderr, "undecided: %s\n", t.stats().limit); }

int main(int argc, char** argv) {
  std::string path;
  bool classify = false, backjump = true, cascade = false, seed = true;
  for (int i = 1; i < argc; ++i) {
    std::string_view a(argv[i]);
    if (a == "--classify")
      classify = true;
    else if (a == "--no-backjump")
      backjump = false;
    else if (a == "--no-seed")
      seed = false;
    else if (a == "--cascade")
      cascade = true;
    else
      path = a;
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: bench_dl FILE [--classify]\n");
    return 2;
  }
  setenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS", "200000", 0);
  setenv("TRELVANIC_TABLEAU_MAX_WORLDS", "20000", 0);
  setenv("TRELVANIC_TABLEAU_MAX_STALL_STEPS", "100000", 0);
  const std::string null = "null";
  const std::string* no_subs = classify ? &null : nullptr;
  auto loaded = trelvanic_parser::load_ontology_lenient(path);
  if (!loaded) {
    print("null", null, quote(loaded.error().message()), no_subs);
    return 0;
  }
  if (cascade) {
    auto r = trelvanic_dl::check_consistency_inner(*loaded);
    if (!r) {
      print("null", null, quote(r.error().message()), nullptr);
    } else {
      print(!r->complete ? "null" : r->consistent ? "true" : "false", null, null, nullptr);
    }
    return 0;
  }
  auto dl = trelvanic_alc::DlOntology::from_ontology(*loaded);
  if (!dl) {
    print("null", null, quote(dl.error().message()), no_subs);
    return 0;
  }
  dl->set_data_oracle(&trelvanic_dl::datatype::decide_world_values);
  if (!dl->complete()) {
    std::fprintf(stderr, "not decided in full: %s\n", dl->incomplete_reason().c_str());
    if (const auto& meta = loaded->parse_meta())
      for (const auto& w : meta->warnings) std::fprintf(stderr, "  loader: %s\n", w.c_str());
  }
  trelvanic_alc::Tableau t(*dl);
  t.set_backjumping(backjump);
  if (classify && seed) {
    auto work = loaded->clone();
    t.set_known_subsumptions(trelvanic_dl::saturation::saturate(work).subsumptions);
  }
  if (std::getenv("BENCH_DL_VERBOSE") != nullptr)
    std::fprintf(stderr, "internalised: %zu, individuals: %u\n", dl->thing_classes().size(), dl->individual_count());
  auto consistent = t.is_consistent();
  if (!consistent) {
    why(t);
    print("null", null, quote(consistent.error().message()), no_subs);
    return 0;
  }
  if (!*consistent) {
    print("false", null, null, no_subs);
    return 0;
  }
  // With --classify the classification's own tests give the unsatisfiable
  // classes; the tests one by one run only when it ends undecided.
  std::string subs = null;
  std::string first_error = "null";
  if (classify && std::getenv("BENCH_DL_VERBOSE") == nullptr) {
    if (auto c = t.classify()) {
      std::string unsat = "[";
      for (auto cls : c->unsatisfiable) {
        if (unsat.size() > 1) unsat += ", ";
        unsat += iri(*loaded, cls);
      }
      unsat += "]";
      subs = pairs(*loaded, *c);
      print("true", unsat, first_error, &subs);
      return 0;
    } else {
      first_error = quote(c.error().message());
    }
  }
  std::string unsat = "[";
  bool all = true;
  for (auto cls : dl->named_classes()) {
    const auto before = t.stats();
    auto sat = t.is_class_satisfiable(cls);
    if (std::getenv("BENCH_DL_VERBOSE") != nullptr)
      std::fprintf(stderr, "%s: %s, %llu expansions, %llu branches, %llu backjumps, %llu unfinished\n", iri(*loaded, cls).c_str(),
                   sat ? (*sat ? "sat" : "unsat") : "undecided",
                   static_cast<unsigned long long>(t.stats().expansions - before.expansions),
                   static_cast<unsigned long long>(t.stats().branches - before.branches),
                   static_cast<unsigned long long>(t.stats().backjumps - before.backjumps),
                   static_cast<unsigned long long>(t.stats().unfinished - before.unfinished));
    if (!sat) {
      why(t);
      all = false;
      if (first_error == "null") first_error = quote(sat.error().message());
      break;
    }
    if (!*sat) {
      if (unsat.size() > 1) unsat += ", ";
      unsat += iri(*loaded, cls);
    }
  }
  unsat += "]";
  if (!all) unsat = null;
  if (!classify) {
    print("true", unsat, first_error, nullptr);
    return 0;
  }
  if (first_error != "null") {
    why(t);
  } else if (auto c = t.classify()) {
    subs = pairs(*loaded, *c);
  } else if (first_error == "null") {
    first_error = quote(c.error().message());
  }
  print("true", unsat, first_error, &subs);
  return 0;
}
