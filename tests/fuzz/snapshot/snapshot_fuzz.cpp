// Fuzz target for the ontology snapshot reader: any byte string goes through
// `from_json_with_limits` under small limits.
//
// Checked on every input, besides the absence of crashes and sanitizer
// reports: a refusal is a snapshot error with a message; an accepted text
// gives an ontology whose DL store has no dangling id and no cycle, whose
// snapshot writes, reads back and writes again to the same text.
//
// libFuzzer build and run (clang, installed when missing):
//   scripts/fuzz build && scripts/fuzz run snapshot 600
// Without clang, the C++ test `SnapshotFuzzSmoke` runs this entry point over
// the seeds and a fixed set of mutations of them (built with g++).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/serialize.h"

namespace trelvanic_snapshot_fuzz {

using namespace trelvanic_core;

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "snapshot fuzz invariant broken: %s\n", what);
  std::abort();
}

// Returns whether the text was accepted.
inline bool check(std::string_view text) {
  OntologyLimits limits;
  limits.max_json_bytes = 1 << 20;
  limits.max_entities = 1000;
  limits.max_axioms = 1000;
  limits.max_swrl_rules = 100;
  auto o = from_json_with_limits(text, limits);
  if (!o) {
    if (o.error().message().empty()) fail("error without a message");
    return false;
  }
  if (!o->dl().check_references()) fail("accepted DL store with a dangling or cyclic id");
  auto written = to_json(*o);
  if (!written) fail("accepted ontology does not write");
  auto again = from_json_with_limits(*written, limits);
  if (!again) fail("written snapshot does not read back");
  auto rewritten = to_json(*again);
  if (!rewritten || *rewritten != *written) fail("written snapshot reads back to another ontology");
  return true;
}

}  // namespace trelvanic_snapshot_fuzz

#ifndef TRELVANIC_SNAPSHOT_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  trelvanic_snapshot_fuzz::check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
#endif
