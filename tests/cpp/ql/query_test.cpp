// One-atom queries: the parser's accepted and refused texts, the rewrite
// of unknown and unsatisfiable classes, and the answers of both atom kinds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ontology.h"
#include "core/taxonomy.h"
#include "ql/answer.h"
#include "ql/parse.h"
#include "ql/rewrite.h"

namespace trelvanic_ql {
namespace {

using query::ConjunctiveQuery;
using query::QueryAtomKind;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;

TEST(QueryParse, AcceptedTexts) {
  struct Case {
    std::string text;
    QueryAtomKind kind;
    const char* variable;
    const char* cls;
  };
  const Case cases[] = {
      {"Type(?x, http://e.org/A)", QueryAtomKind::Type, "x", "http://e.org/A"},
      {"  SubClassOf( ?sub ,  http://e.org/A )  ", QueryAtomKind::SubClassOf, "sub", "http://e.org/A"},
      {"Type(x,http://e.org/A)", QueryAtomKind::Type, "x", "http://e.org/A"},
      {"AND Type(??x??, A) AND", QueryAtomKind::Type, "x", "A"},
      // Everything after the first comma is the class text.
      {"Type(?x, a, b)", QueryAtomKind::Type, "x", "a, b"},
      {"Type(, A)", QueryAtomKind::Type, "", "A"},
      {"\xC2\xA0Type(?x, A)\xE3\x80\x80", QueryAtomKind::Type, "x", "A"},
  };
  for (const Case& c : cases) {
    auto q = parse::parse_conjunctive_query(c.text);
    ASSERT_TRUE(q) << c.text << ": " << q.error().message();
    ASSERT_EQ(q->atoms.size(), 1u) << c.text;
    EXPECT_EQ(q->atoms[0].kind, c.kind) << c.text;
    EXPECT_EQ(q->atoms[0].variable, c.variable) << c.text;
    EXPECT_EQ(q->atoms[0].class_, c.cls) << c.text;
  }
}

TEST(QueryParse, RefusedTexts) {
  std::string at_limit = "Type(?x, " + std::string(4096 - 10, 'a') + ")";
  ASSERT_EQ(at_limit.size(), 4096u);
  EXPECT_TRUE(parse::parse_conjunctive_query(at_limit));
  const std::pair<std::string, const char*> cases[] = {
      {at_limit + " ", "query parse error: query length exceeds maximum of 4096"},
      {"Type(?x, A) AND SubClassOf(?y, B)", "query parse error: query atom count exceeds maximum of 1"},
      {"", "query parse error: query must contain at least one atom"},
      {" AND  AND ", "query parse error: query must contain at least one atom"},
      {"Type()", "query parse error: missing second argument"},
      {"Type(?x)", "query parse error: missing second argument"},
      {"Type(", "query parse error: unsupported query atom: Type("},
      {"Type (?x, A)", "query parse error: unsupported query atom: Type (?x, A)"},
      {"Type(?x, A", "query parse error: unsupported query atom: Type(?x, A"},
      {"Instance(?x, A)", "query parse error: unsupported query atom: Instance(?x, A)"},
      // The separator is found inside IRIs too.
      {"Type(?x, http://e.org/BRAND)", "query parse error: unsupported query atom: Type(?x, http://e.org/BR"},
  };
  for (const auto& [text, message] : cases) {
    auto q = parse::parse_conjunctive_query(text);
    ASSERT_FALSE(q) << text;
    EXPECT_EQ(q.error().message(), message) << text;
  }
}

// Classes A ⊒ B, A ⊒ C, unsatisfiable U, individuals a (in B) and b.
struct Fixture {
  trelvanic_core::Ontology ontology;
  trelvanic_core::Taxonomy taxonomy;
  EntityId a, b, A, B, C, U, i, p;

  Fixture() {
    auto id = [&](const char* iri, EntityKind kind) { return *ontology.entity_id(iri, kind); };
    A = id("http://e.org/A", EntityKind::Class);
    B = id("http://e.org/B", EntityKind::Class);
    C = id("http://e.org/C", EntityKind::Class);
    U = id("http://e.org/U", EntityKind::Class);
    i = id("http://e.org/i", EntityKind::Individual);
    p = id("http://e.org/p", EntityKind::ObjectProperty);
    taxonomy = trelvanic_core::Taxonomy::from_parts({{B, A}, {C, A}}, {}, {U});
  }

  // A realisation stub: i is an instance of A and B.
  query::InstanceSource instances() const {
    return [this](EntityId cls) -> Result<std::vector<EntityId>> {
      if (cls == A || cls == B) return std::vector<EntityId>{i};
      return std::vector<EntityId>{};
    };
  }

  Result<std::vector<query::QueryAnswer>> run(const std::string& text) const {
    auto parsed = parse::parse_conjunctive_query(text);
    if (!parsed) return std::unexpected(parsed.error());
    auto rewritten = rewrite::rewrite_query(ontology, taxonomy, *parsed);
    if (!rewritten) return std::unexpected(rewritten.error());
    return answer_query(ontology, taxonomy, *rewritten, instances());
  }
};

std::vector<EntityId> bound(const std::vector<query::QueryAnswer>& answers, const std::string& variable) {
  std::vector<EntityId> out;
  for (const auto& a : answers) {
    EXPECT_EQ(a.bindings.size(), 1u);
    EXPECT_EQ(a.bindings[0].first, variable);
    out.push_back(a.bindings[0].second);
  }
  return out;
}

TEST(QueryAnswer, TypeAtomsAskForInstancesAndSubClassAtomsForDirectSubclasses) {
  Fixture f;
  auto types = f.run("Type(?x, http://e.org/A)");
  ASSERT_TRUE(types) << types.error().message();
  EXPECT_EQ(bound(*types, "x"), std::vector<EntityId>{f.i});
  auto subs = f.run("SubClassOf(?y, http://e.org/A)");
  ASSERT_TRUE(subs) << subs.error().message();
  EXPECT_EQ(bound(*subs, "y"), (std::vector<EntityId>{f.B, f.C}));
  auto none = f.run("Type(?x, http://e.org/C)");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(QueryAnswer, UnsatisfiableClassesAnswerNothingWithoutOwlNothingRegistered) {
  Fixture f;
  ASSERT_FALSE(f.ontology.lookup_entity(query::kOwlNothing));
  for (const char* text : {"Type(?x, http://e.org/U)", "SubClassOf(?x, http://e.org/U)"}) {
    auto r = f.run(text);
    ASSERT_TRUE(r) << text << ": " << r.error().message();
    EXPECT_TRUE(r->empty()) << text;
  }
  auto parsed = parse::parse_conjunctive_query("Type(?x, http://e.org/U)");
  auto rewritten = rewrite::rewrite_query(f.ontology, f.taxonomy, *parsed);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(rewritten->atoms[0].class_, query::kOwlNothing);
}

TEST(QueryAnswer, RefusedClasses) {
  Fixture f;
  const std::pair<const char*, const char*> cases[] = {
      {"Type(?x, http://e.org/Z)", "unknown class in query: http://e.org/Z"},
      {"Type(?x, a, b)", "unknown class in query: a, b"},
      // The abbreviation is no registered IRI.
      {"Type(?x, owl:Thing)", "unknown class in query: owl:Thing"},
  };
  for (const auto& [text, message] : cases) {
    auto r = f.run(text);
    ASSERT_FALSE(r) << text;
    EXPECT_EQ(r.error().message(), message) << text;
  }
  // An individual or a property is no class: refused when answered.
  for (EntityId e : {f.i, f.p}) {
    ConjunctiveQuery q{{{QueryAtomKind::SubClassOf, "x", std::string(*f.ontology.entity_iri(e))}}};
    auto r = answer_query(f.ontology, f.taxonomy, q, f.instances());
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message(), "unknown entity EntityId(" + std::to_string(e.value) + ")");
  }
}

TEST(QueryAnswer, AnswerAcceptsTheAbbreviationsOfThingAndNothing) {
  Fixture f;
  ConjunctiveQuery thing{{{QueryAtomKind::SubClassOf, "x", "owl:Thing"}}};
  auto r = answer_query(f.ontology, f.taxonomy, thing, f.instances());
  ASSERT_FALSE(r);  // not registered here
  EXPECT_EQ(r.error().message(), "unknown class in query: owl:Thing");
  EntityId top = *f.ontology.entity_id(query::kOwlThing, EntityKind::Class);
  f.taxonomy = trelvanic_core::Taxonomy::from_parts({{f.A, top}}, {}, {f.U});
  r = answer_query(f.ontology, f.taxonomy, thing, f.instances());
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(bound(*r, "x"), std::vector<EntityId>{f.A});
  ConjunctiveQuery nothing{{{QueryAtomKind::Type, "x", "owl:Nothing"}}};
  r = answer_query(f.ontology, f.taxonomy, nothing, f.instances());
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->empty());
}

TEST(QueryAnswer, QueriesBuiltWithSeveralAtomsAreRefused) {
  Fixture f;
  ConjunctiveQuery two{{{QueryAtomKind::Type, "x", "http://e.org/A"}, {QueryAtomKind::Type, "y", "http://e.org/B"}}};
  auto r = answer_query(f.ontology, f.taxonomy, two, f.instances());
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().message(), "query parse error: conjunctive queries with more than one atom are not supported yet");
  auto empty = answer_query(f.ontology, f.taxonomy, ConjunctiveQuery{}, f.instances());
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

}  // namespace
}  // namespace trelvanic_ql
