// Fuzz target for the JSON form of one told axiom: any byte string is read
// as one axiom object ({"SubClassOf": {...}}, {"DisjointClasses": [...]},
// ...) and, when it reads, resolved against a small ontology that knows
// entities of every kind.
//
// Checked on every input, besides the absence of crashes and sanitizer
// reports: a refusal carries a position (but for a bare form name); an accepted form writes back to a
// text that reads to the same form; a form that resolves converts to its
// IRI form and back to an equal axiom.
//
// Built by scripts/fuzz with clang and libFuzzer; without clang the CTest
// smoke run (tests/fuzz/smoke_main.cpp) feeds it the seeds and mutations of
// them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/axiom.h"
#include "core/serialize.h"
#include "core/serialize_axiom.h"
#include "json/reader.h"
#include "json/writer.h"

namespace {

namespace core = trelvanic_core;
namespace js = trelvanic_json;

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "axiom json fuzz invariant broken: %s %s\n", what, detail.c_str());
  std::abort();
}

// The entities the seeds name: one or more of each kind, a punned name, a
// blank node and an internal name.
constexpr std::string_view kOntology = R"({"format_version": 4, "entities": [
  {"iri": "http://x.org/o#A", "kind": "Class"}, {"iri": "http://x.org/o#B", "kind": "Class"},
  {"iri": "http://x.org/o#C", "kind": "Class"}, {"iri": "http://x.org/o#p", "kind": "ObjectProperty"},
  {"iri": "http://x.org/o#q", "kind": "ObjectProperty"}, {"iri": "http://x.org/o#a", "kind": "Individual"},
  {"iri": "http://x.org/o#b", "kind": "Individual"}, {"iri": "http://x.org/o#d", "kind": "DataProperty"},
  {"iri": "http://x.org/o#d2", "kind": "DataProperty"}, {"iri": "http://x.org/o#dt", "kind": "Datatype"},
  {"iri": "http://x.org/o#pun", "kind": "ClassIndividual"},
  {"iri": "http://x.org/o#label", "kind": "AnnotationProperty"},
  {"iri": "file:///tmp/o.owl#_:b0", "kind": "Individual"}, {"iri": "internal:tmp/x", "kind": "Class"}],
  "axioms": []})";

const core::Ontology& ontology() {
  static const core::Ontology o = [] {
    auto read = core::from_json(kOntology);
    if (!read) fail("the fixed ontology does not read");
    return std::move(*read);
  }();
  return o;
}

bool same_form(const core::SnapshotAxiomView& a, const core::SnapshotAxiomView& b) {
  return a.kind == b.kind && std::ranges::equal(a.iris, b.iris) && a.value == b.value;
}

std::string write(const core::SnapshotAxiomView& form) {
  std::string out;
  js::Writer w(out, js::Layout::Compact);
  core::write_snapshot_axiom(w, form);
  return out;
}

void check(std::string_view text) {
  core::SnapshotAxiomList list(text);
  js::Reader r(text);
  auto read = list.read_one(r);
  if (read) read = r.finish();
  if (!read) {
    // A bare name of a form with content is the one error left unpositioned
    // for an enclosing read to place; at the top there is none.
    const std::string message = read.error().message();
    if (!read.error().has_position() && !message.starts_with("invalid type: unit variant")) {
      fail("unpositioned error:", message);
    }
    return;
  }
  if (list.size() != 1) fail("one accepted form is not one entry");
  const core::SnapshotAxiomView form = list.get(0);

  const std::string written = write(form);
  core::SnapshotAxiomList again_list(written);
  js::Reader again(written);
  auto reread = again_list.read_one(again);
  if (reread) reread = again.finish();
  if (!reread) fail("written form does not read back");
  if (!same_form(form, again_list.get(0))) fail("written form reads back to another form");

  std::vector<core::EntityId> ids;
  auto axiom = core::resolve_snapshot_axiom(form, ontology(), ids);
  if (!axiom) {
    if (axiom.error().message().empty()) fail("resolve error without a message");
    return;
  }
  auto named = core::axiom_to_snapshot(*axiom, ontology());
  if (!named) fail("a resolved axiom has no IRI form");
  auto back = core::snapshot_axiom_to_axiom(*named, ontology());
  if (!back) fail("the IRI form of a resolved axiom does not resolve");
  if (!core::axioms_equal(back->view(), *axiom)) fail("the IRI form resolves to another axiom");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
