// Fuzz target for the DL route: any byte string is read as an ontology in
// functional syntax (leniently) and, when it loads, goes through the DL
// consistency check and the DL classification with small tableau limits.
//
// Checked on every input, besides the absence of crashes and sanitizer
// reports: every failure is an error with a message, and the two roads
// agree: an ontology the check proves inconsistent classifies with no edge
// (every class empty), one it proves consistent never with owl:Thing empty.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "dl/classify.h"
#include "dl/engine.h"
#include "parser/load.h"
#include "parser/map.h"
#include "parser/readers.h"

namespace {

[[noreturn]] void fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "dl fuzz invariant broken: %s %.*s\n", what, static_cast<int>(detail.size()),
               detail.empty() ? "" : detail.data());
  std::abort();
}

trelvanic_parser::LoadLimits limits() {
  auto l = trelvanic_parser::LoadLimits::with_mode(false, false);
  l.max_file_bytes = 1 << 20;
  l.max_axioms = 2'000;
  l.max_entities = 2'000;
  return l;
}

void run(std::string_view text) {
  trelvanic_parser::TextSource source(text);
  auto model = trelvanic_parser::read_owl_model(source, trelvanic_parser::OntologyFormat::Functional, limits(),
                                                "file:///fuzz/input.ofn");
  if (!model) return;
  auto mapped = trelvanic_parser::map_to_core(*model, limits());
  if (!mapped) return;
  auto o = trelvanic_parser::finalize_parsed_ontology(std::move(mapped->ontology), std::move(mapped->meta), false,
                                                      false);
  if (!o) return;
  auto consistency = trelvanic_dl::check_consistency(*o, std::nullopt);
  if (!consistency && consistency.error().message().empty()) fail("consistency error without a message");
  auto taxonomy = trelvanic_dl::DlClassifier{}.classify(*o);
  if (!taxonomy && taxonomy.error().message().empty()) fail("classification error without a message");
  if (consistency && consistency->complete && !consistency->consistent && taxonomy) {
    // Without a model every class is empty: no edges, only unsatisfiable classes.
    if (!taxonomy->edges().empty()) fail("inconsistent ontology classified with subsumption edges");
  }
  if (consistency && consistency->complete && consistency->consistent && taxonomy) {
    auto thing = o->lookup_entity("http://www.w3.org/2002/07/owl#Thing");
    if (thing) {
      auto unsat = taxonomy->unsatisfiable();
      if (std::find(unsat.begin(), unsat.end(), *thing) != unsat.end()) fail("consistent ontology with owl:Thing empty");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS", "2000", 0);
  ::setenv("TRELVANIC_TABLEAU_MAX_WORLDS", "200", 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const int init = LLVMFuzzerInitialize(nullptr, nullptr);
  (void)init;
  run(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
