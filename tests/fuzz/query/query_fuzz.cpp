// Fuzz target for one-atom queries: any byte string is parsed as a query
// and, when it parses, rewritten and answered over a small fixed ontology
// and taxonomy. Checked: every refusal is an error with a message, a parsed
// query has exactly one atom, and every answer binds that atom's variable
// to a registered entity.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "ql/answer.h"
#include "ql/parse.h"
#include "ql/rewrite.h"

namespace {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "query fuzz invariant broken: %s\n", what);
  std::abort();
}

struct World {
  trelvanic_core::Ontology ontology;
  trelvanic_core::Taxonomy taxonomy;
  World() {
    auto id = [&](const char* iri, EntityKind k) { return *ontology.entity_id(iri, k); };
    const EntityId a = id("http://e.org/A", EntityKind::Class), b = id("http://e.org/B", EntityKind::Class);
    const EntityId u = id("http://e.org/U", EntityKind::Class), thing = id("owl:Thing", EntityKind::Class);
    (void)id("http://e.org/i", EntityKind::Individual);
    (void)id("http://e.org/p", EntityKind::ObjectProperty);
    taxonomy = trelvanic_core::Taxonomy::from_parts({{b, a}, {a, thing}}, {}, {u});
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static World world;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = trelvanic_ql::parse::parse_conjunctive_query(text);
  if (!parsed) {
    if (parsed.error().message().empty()) fail("parse error without a message");
    return 0;
  }
  if (parsed->atoms.size() != 1) fail("a parsed query without exactly one atom");
  auto rewritten = trelvanic_ql::rewrite::rewrite_query(world.ontology, world.taxonomy, *parsed);
  if (!rewritten) return 0;
  auto instances = [&](EntityId) -> trelvanic_ql::Result<std::vector<EntityId>> {
    return std::vector<EntityId>{*world.ontology.lookup_entity("http://e.org/i")};
  };
  auto answers = trelvanic_ql::answer_query(world.ontology, world.taxonomy, *rewritten, instances);
  if (!answers) {
    if (answers.error().message().empty()) fail("answer error without a message");
    return 0;
  }
  for (const auto& a : *answers) {
    if (a.bindings.size() != 1 || a.bindings[0].first != parsed->atoms[0].variable) fail("answer binds another variable");
    if (!world.ontology.entity(a.bindings[0].second)) fail("answer binds an unregistered entity");
  }
  return 0;
}
