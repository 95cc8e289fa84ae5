// Fuzz target for the ontology readers: any byte string is loaded as a
// document in one syntax, chosen when compiling by TRELVANIC_FUZZ_FORMAT
// (Functional, OwlXml, Turtle or RdfXml), through the loader's own steps for
// a text in memory: size limit, pre-scan, the guarded read, the mapping in
// strict and in lenient mode and the finishing checks. RDF/XML first goes
// through the UTF-8 check and the text passes, as a file would.
//
// Checked on every input, besides the absence of crashes and sanitizer
// reports: a refusal is an error with a message, never an exception that
// escaped a reader ("parser internal error"); an accepted document gives an
// ontology whose DL store has no dangling or cyclic id and whose snapshot
// writes, reads back and writes again to the same text.
//
// Built by scripts/fuzz with clang and libFuzzer; without clang the CTest
// smoke runs (tests/fuzz/smoke_main.cpp) feed it the seeds and mutations of
// them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/serialize.h"
#include "parser/format.h"
#include "parser/load.h"
#include "parser/map.h"
#include "parser/readers.h"

#ifndef TRELVANIC_FUZZ_FORMAT
#error "TRELVANIC_FUZZ_FORMAT names the syntax of the target"
#endif

namespace {

using trelvanic_core::Ontology;
using trelvanic_parser::LoadLimits;
using trelvanic_parser::OntologyFormat;
using trelvanic_parser::Result;

constexpr OntologyFormat kFormat = OntologyFormat::TRELVANIC_FUZZ_FORMAT;

[[noreturn]] void fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "reader fuzz invariant broken: %s %.*s\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

// Small limits: a fuzz input is small, and what the defaults would let grow
// to gigabytes is not this target's business.
LoadLimits limits_for(bool strict) {
  LoadLimits limits = LoadLimits::with_mode(strict, strict);
  limits.max_file_bytes = 1 << 20;
  limits.max_axioms = 20'000;
  limits.max_entities = 20'000;
  limits.max_expanded_bytes = 8 << 20;
  limits.max_preprocess_bytes = 16 << 20;
  limits.max_harvested_assertions = 1'000;
  return limits;
}

template <class T>
bool refused(const Result<T>& r) {
  if (r) return false;
  const std::string message = r.error().message();
  if (message.empty()) fail("error without a message");
  // The crash guard's text for an exception that escaped a reader (an input
  // text may well contain the words themselves).
  if (message.starts_with("parse error: parser internal error")) fail("reader threw:", message);
  return true;
}

void check_loaded(const Ontology& o) {
  if (!o.dl().check_references()) fail("loaded DL store with a dangling or cyclic id");
  auto written = trelvanic_core::to_json(o);
  if (!written) fail("loaded ontology does not write:", written.error().message());
  auto again = trelvanic_core::from_json(*written);
  if (!again) fail("written snapshot does not read back:", again.error().message());
  auto rewritten = trelvanic_core::to_json(*again);
  if (!rewritten || *rewritten != *written) fail("written snapshot reads back to another ontology");
}

void load_rdf_xml(std::string_view text, bool strict) {
  const LoadLimits limits = limits_for(strict);
  if (trelvanic_parser::utf8_error(text)) return;
  auto pre = trelvanic_parser::preprocess_rdf_xml_text(std::string(text), limits.max_expanded_bytes,
                                                       limits.max_preprocess_bytes);
  if (refused(pre)) return;
  auto mapped = trelvanic_parser::load_rdf_xml_from_preprocessed(pre->text, limits, pre->ill_founded_list,
                                                                 std::nullopt, std::nullopt, false);
  if (refused(mapped)) return;
  auto o = trelvanic_parser::finalize_parsed_ontology(std::move(mapped->ontology), std::move(mapped->meta),
                                                      limits.strict, limits.validate);
  if (refused(o)) return;
  check_loaded(*o);
}

void load_other(std::string_view text) {
  trelvanic_parser::TextSource source(text);
  auto model = trelvanic_parser::read_owl_model(source, kFormat, limits_for(true), "file:///fuzz/input.ttl");
  if (refused(model)) return;
  for (bool strict : {true, false}) {
    const LoadLimits limits = limits_for(strict);
    auto mapped = trelvanic_parser::map_to_core(*model, limits);
    if (refused(mapped)) continue;
    auto o = trelvanic_parser::finalize_parsed_ontology(std::move(mapped->ontology), std::move(mapped->meta),
                                                        limits.strict, limits.validate);
    if (refused(o)) continue;
    check_loaded(*o);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if constexpr (kFormat == OntologyFormat::RdfXml) {
    load_rdf_xml(text, true);
    load_rdf_xml(text, false);
  } else {
    load_other(text);
  }
  return 0;
}
