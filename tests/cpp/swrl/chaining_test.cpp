// Forward chaining of SWRL rules over small ontologies: which facts rule
// bodies see (entailed memberships, property closure, sameAs, literals),
// what heads add, the limits, and the route's answers on the clone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../alc/fixture.h"
#include "swrl/engine.h"
#include "swrl/engine_adapter.h"

namespace trelvanic_swrl {
namespace {

using trelvanic_alc::testing::entity;
using trelvanic_alc::testing::load;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::Ontology;

constexpr ConsistencyResult kConsistent{true, true};
constexpr ConsistencyResult kInconsistent{false, true};
constexpr ConsistencyResult kIncomplete{false, false};

std::string rule(const std::string& body, const std::string& head) {
  return "DLSafeRule(Body(" + body + ") Head(" + head + "))\n";
}

bool has_class(const Ontology& o, const std::string& ind, const std::string& cls) {
  auto classes = o.classes_of(entity(o, ind));
  return std::find(classes.begin(), classes.end(), entity(o, cls)) != classes.end();
}

bool has_edge(const Ontology& o, const std::string& s, const std::string& p, const std::string& obj) {
  for (const auto& [prop, object] : o.object_assertions_of(entity(o, s))) {
    if (prop == entity(o, p) && object == entity(o, obj)) return true;
  }
  return false;
}

bool has_data(const Ontology& o, const std::string& s, const std::string& p, const std::string& lexical) {
  bool found = false;
  o.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    found |= a.kind() == trelvanic_core::AxiomKind::DataPropertyAssertion && a.subject() == entity(o, s) &&
             a.property() == entity(o, p) && a.literal().lexical == lexical;
  });
  return found;
}

struct Fact {
  // "a:C" class membership, "a p b" object edge, "a d =v" data value.
  std::string text;
  bool expected;
};

bool holds(const Ontology& o, const std::string& fact) {
  if (auto colon = fact.find(':'); colon != std::string::npos) {
    return has_class(o, fact.substr(0, colon), fact.substr(colon + 1));
  }
  auto first = fact.find(' ');
  auto second = fact.find(' ', first + 1);
  std::string s = fact.substr(0, first), p = fact.substr(first + 1, second - first - 1);
  std::string rest = fact.substr(second + 1);
  if (!rest.empty() && rest[0] == '=') return has_data(o, s, p, rest.substr(1));
  return has_edge(o, s, p, rest);
}

struct ChainCase {
  const char* name;
  std::string ontology;
  std::vector<Fact> facts;
  bool complete = true;
};

TEST(Chaining, BodiesMatchEntailedFacts) {
  const ChainCase cases[] = {
      {"membership from an existential and a domain, then a second rule on the first's result",
       "SubClassOf(:A ObjectSomeValuesFrom(:p :B)) ObjectPropertyDomain(:p :D) ClassAssertion(:A :a) "
       "ClassAssertion(:B :b) " +
           rule("ClassAtom(:E Variable(:x))", "ClassAtom(:F Variable(:x))") +
           rule("ClassAtom(:D Variable(:x))", "ClassAtom(:E Variable(:x))"),
       {{"a:E", true}, {"a:F", true}, {"b:E", false}}},
      {"uncle over a sub-property assertion",
       "SubObjectPropertyOf(:hasFather :hasParent) ObjectPropertyAssertion(:hasFather :a :b) "
       "ObjectPropertyAssertion(:hasBrother :b :c) ObjectPropertyAssertion(:hasBrother :a :d) " +
           rule("ObjectPropertyAtom(:hasParent Variable(:x) Variable(:y)) "
                "ObjectPropertyAtom(:hasBrother Variable(:y) Variable(:z))",
                "ObjectPropertyAtom(:hasUncle Variable(:x) Variable(:z))"),
       {{"a hasUncle c", true}, {"a hasUncle d", false}, {"b hasUncle c", false}}},
      {"inverse and transitive properties, a constant in the body",
       "InverseObjectProperties(:hasChild :hasParent) TransitiveObjectProperty(:anc) "
       "ObjectPropertyAssertion(:hasChild :b :a) ObjectPropertyAssertion(:hasChild :c :b) " +
           rule("ObjectPropertyAtom(:hasParent Variable(:x) Variable(:y))",
                "ObjectPropertyAtom(:anc Variable(:x) Variable(:y))") +
           rule("ObjectPropertyAtom(:anc Variable(:x) :c)", "ClassAtom(:DescOfC Variable(:x))"),
       {{"a:DescOfC", true}, {"b:DescOfC", true}, {"c:DescOfC", false}}},
      {"symmetric property and a join through sameAs partners",
       "SymmetricObjectProperty(:knows) ObjectPropertyAssertion(:knows :b :a) SameIndividual(:b :b2) "
       "ObjectPropertyAssertion(:worksAt :b2 :acme) " +
           rule("ObjectPropertyAtom(:knows Variable(:x) Variable(:y)) "
                "ObjectPropertyAtom(:worksAt Variable(:y) Variable(:z))",
                "ObjectPropertyAtom(:knowsSomeoneAt Variable(:x) Variable(:z))"),
       {{"a knowsSomeoneAt acme", true}, {"b knowsSomeoneAt acme", false}}},
      {"a transitive join through sameAs partners",
       "TransitiveObjectProperty(:partOf) ObjectPropertyAssertion(:partOf :a :b) SameIndividual(:b :b2) "
       "ObjectPropertyAssertion(:partOf :b2 :c) " +
           rule("ObjectPropertyAtom(:partOf Variable(:x) :c)", "ClassAtom(:InC Variable(:x))"),
       {{"a:InC", true}}},
      {"membership outside EL through DL instance checks",
       "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D) ClassAssertion(:A :a) "
       "ClassAssertion(:B :b) ClassAssertion(:X :x) DisjointClasses(:X :D) " +
           rule("ClassAtom(:D Variable(:v))", "ClassAtom(:E Variable(:v))"),
       {{"a:E", true}, {"b:E", true}, {"x:E", false}}},
      {"a membership outside EL that some models hold: the rule instance is stated, not its head",
       "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) ClassAssertion(:A :a) " +
           rule("ClassAtom(:D Variable(:v))", "ClassAtom(:E Variable(:v))"),
       {{"a:E", false}}},
      {"a data head on a membership that some models hold: incomplete",
       "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) ClassAssertion(:A :a) " +
           rule("ClassAtom(:D Variable(:v))", "DataPropertyAtom(:age Variable(:v) \"5\")"),
       {{"a age =5", false}},
       false},
      {"a data head copies a bound literal; a plain body literal is a string",
       "DataPropertyAssertion(:age :a \"5\"^^xsd:integer) DataPropertyAssertion(:age :b \"5\") " +
           rule("DataPropertyAtom(:age Variable(:x) Variable(:v))",
                "DataPropertyAtom(:shownAge Variable(:x) Variable(:v))") +
           rule("DataPropertyAtom(:age Variable(:x) \"5\")", "ClassAtom(:FiveText Variable(:x))"),
       {{"a shownAge =5", true}, {"b shownAge =5", true}, {"b:FiveText", true}, {"a:FiveText", false}}},
      {"a data range body keeps the literals inside the range",
       "DataPropertyAssertion(:age :a \"5\"^^xsd:integer) DataPropertyAssertion(:age :b \"-5\"^^xsd:integer) "
       "DataPropertyAssertion(:age :c \"five\") " +
           rule("DataPropertyAtom(:age Variable(:x) Variable(:v)) "
                "DataRangeAtom(DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer) Variable(:v))",
                "ClassAtom(:Aged Variable(:x))"),
       {{"a:Aged", true}, {"b:Aged", false}, {"c:Aged", false}}},
      {"a typed body literal is compared by its lexical form: incomplete",
       "DataPropertyAssertion(:age :a \"05\"^^xsd:integer) " +
           rule("DataPropertyAtom(:age Variable(:x) \"5\"^^xsd:integer)", "ClassAtom(:Five Variable(:x))"),
       {{"a:Five", false}},
       false},
      {"equality from a functional property is not told: incomplete",
       "FunctionalObjectProperty(:p) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :c) "
       "ObjectPropertyAssertion(:q :c :d) " +
           rule("ObjectPropertyAtom(:q Variable(:x) Variable(:y))", "ClassAtom(:Q Variable(:x))"),
       {{"c:Q", true}},
       false},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    Ontology o = load(c.ontology);
    auto run = engine::materialize_swrl_rules(o);
    ASSERT_TRUE(run) << run.error().message();
    EXPECT_EQ(run->complete, c.complete) << (run->gaps.empty() ? "" : run->gaps.front());
    for (const Fact& f : c.facts) EXPECT_EQ(holds(o, f.text), f.expected) << f.text;
  }
}

// Chains that need one pass per step, each step seeing what the previous
// pass added only through reasoning (a domain, an existential, sameAs, a
// sub-property): on the EL engine, through DL instance checks, over the
// property closure, and from EL into DL when a head leaves EL. A fresh run
// of the rules on the result then adds nothing: the passes that reused
// earlier reasoning saw what reasoning from scratch sees.
TEST(Chaining, LaterPassesSeeWhatEarlierPassesAdded) {
  const std::string chain = "ObjectPropertyAssertion(:next :a0 :a1) ObjectPropertyAssertion(:next :a1 :a2) "
                            "ObjectPropertyAssertion(:next :a2 :a3) ClassAssertion(:Other :z) ";
  const ChainCase cases[] = {
      {"EL: a class head entails the next body membership through an existential and a domain",
       chain + "SubClassOf(:Start ObjectSomeValuesFrom(:p :B)) ObjectPropertyDomain(:p :Reached) "
               "ClassAssertion(:Start :a0) " +
           rule("ClassAtom(:Reached Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y))",
                "ClassAtom(:Start Variable(:y))"),
       {{"a3:Start", true}, {"z:Start", false}}},
      {"EL: a property head entails the next body membership through a domain",
       chain + "ObjectPropertyDomain(:back :Marked) ClassAssertion(:Marked :a0) " +
           rule("ClassAtom(:Marked Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y))",
                "ObjectPropertyAtom(:back Variable(:y) Variable(:x))"),
       {{"a3 back a2", true}, {"a0 back z", false}}},
      {"EL, then DL: an equality head leaves EL and the chain goes on through the sameAs partner",
       chain + "ClassAssertion(:Marked :a0) ObjectPropertyAssertion(:twin :a2 :b) "
               "ObjectPropertyAssertion(:next :b :c) " +
           rule("ClassAtom(:Marked Variable(:x)) ObjectPropertyAtom(:twin Variable(:x) Variable(:y))",
                "SameIndividualAtom(Variable(:x) Variable(:y))") +
           rule("ClassAtom(:Marked Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y))",
                "ClassAtom(:Marked Variable(:y))"),
       {{"a3:Marked", true}, {"c:Marked", true}, {"z:Marked", false}}},
      {"DL: memberships entailed by a domain outside EL, a link travelling back",
       chain + "ObjectPropertyDomain(:next :Node) SubClassOf(:Node ObjectUnionOf(:L :R)) "
               "ObjectPropertyAssertion(:link :a3 :end) " +
           rule("ClassAtom(:Node Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y)) "
                "ObjectPropertyAtom(:link Variable(:y) Variable(:z))",
                "ObjectPropertyAtom(:link Variable(:x) Variable(:z))"),
       {{"a0 link end", true}, {"z link end", false}}},
      {"DL: a class head whose consequence the next pass meets through a disjunction",
       chain + "SubClassOf(:Marked ObjectUnionOf(:L :R)) SubClassOf(:L :Seen) SubClassOf(:R :Seen) "
               "ClassAssertion(:Marked :a0) " +
           rule("ClassAtom(:Seen Variable(:x)) ObjectPropertyAtom(:next Variable(:x) Variable(:y))",
                "ClassAtom(:Marked Variable(:y))"),
       {{"a3:Marked", true}, {"z:Marked", false}}},
      {"property closure: a link travels back through a sub-property",
       chain + "SubObjectPropertyOf(:link :reach) ObjectPropertyAssertion(:link :a3 :end) " +
           rule("ObjectPropertyAtom(:next Variable(:x) Variable(:y)) "
                "ObjectPropertyAtom(:reach Variable(:y) Variable(:z))",
                "ObjectPropertyAtom(:link Variable(:x) Variable(:z))"),
       {{"a0 link end", true}, {"z link end", false}}},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    Ontology o = load(c.ontology);
    const std::vector<trelvanic_core::SwrlRule> rules = o.swrl_rules();
    auto run = engine::materialize_swrl_rules(o);
    ASSERT_TRUE(run) << run.error().message();
    EXPECT_EQ(run->complete, c.complete) << (run->gaps.empty() ? "" : run->gaps.front());
    EXPECT_GE(run->inference_count, 3u);
    for (const Fact& f : c.facts) EXPECT_EQ(holds(o, f.text), f.expected) << f.text;
    for (const auto& r : rules) o.push_swrl_rule(r);
    auto again = engine::materialize_swrl_rules(o);
    ASSERT_TRUE(again) << again.error().message();
    EXPECT_EQ(again->inference_count, 0u);
  }
}

TEST(Chaining, CountsAndPasses) {
  // Rule order decides how many passes the chain needs, never its result.
  const std::string facts = "ClassAssertion(:A :a) ClassAssertion(:A :b) ";
  const std::string first = rule("ClassAtom(:A Variable(:x))", "ClassAtom(:B Variable(:x))");
  const std::string second = rule("ClassAtom(:B Variable(:x))", "ClassAtom(:C Variable(:x))");
  for (const std::string& rules : {first + second, second + first}) {
    Ontology o = load(facts + rules);
    auto run = engine::materialize_swrl_rules(o);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->rule_count, 2u);
    EXPECT_EQ(run->inference_count, 4u);
    EXPECT_TRUE(has_class(o, "b", "C"));
  }
  // A head already implied by the told hierarchy adds nothing.
  Ontology implied = load("SubClassOf(:A :B) ClassAssertion(:A :a) " + first);
  auto run = engine::materialize_swrl_rules(implied);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->inference_count, 0u);
}

std::string individuals(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += "ClassAssertion(:C :i" + std::to_string(i) + ") ";
  return out;
}

TEST(Chaining, BindingLimit) {
  const std::string pairs = rule("ClassAtom(:C Variable(:x)) ClassAtom(:C Variable(:y))",
                                 "ObjectPropertyAtom(:r Variable(:x) Variable(:y))");
  Ontology at_limit = load(individuals(100) + pairs);
  EXPECT_TRUE(engine::materialize_swrl_rules(at_limit));
  Ontology over = load(individuals(101) + pairs);
  auto run = engine::materialize_swrl_rules(over);
  ASSERT_FALSE(run);
  EXPECT_EQ(run.error().message(), "SWRL rule binding explosion exceeds 10000 bindings");
  // A later atom filtering an oversized intermediate list is fine.
  Ontology filtered = load(individuals(101) + "ClassAssertion(:D :i0) " +
                           rule("ClassAtom(:C Variable(:x)) ClassAtom(:C Variable(:y)) ClassAtom(:D Variable(:y))",
                                "ObjectPropertyAtom(:r Variable(:x) Variable(:y))"));
  EXPECT_TRUE(engine::materialize_swrl_rules(filtered));
  // Partial matches are bounded too, however a later atom would filter.
  Ontology cube = load(individuals(60) + "ClassAssertion(:D :i0) " +
                       rule("ClassAtom(:C Variable(:x)) ClassAtom(:C Variable(:y)) ClassAtom(:C Variable(:z)) "
                            "ClassAtom(:D Variable(:z)) ClassAtom(:D Variable(:y))",
                            "ObjectPropertyAtom(:r Variable(:x) Variable(:z))"));
  auto refused = engine::materialize_swrl_rules(cube);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message(), "SWRL rule binding explosion exceeds 10000 bindings");
}

// A loaded EL ontology keeps its class atoms on the EL engine once the
// rules are out of it: more memberships than the DL instance checks of a
// pass may decide are still all decided.
TEST(Chaining, LoadedElOntologyMatchesClassAtomsOnTheElEngine) {
  std::string body;
  for (int i = 0; i <= 10'000; ++i) {
    body += std::string("ClassAssertion(") + (i % 1000 ? ":Other" : ":Sub") + " :i" + std::to_string(i) + ") ";
  }
  Ontology o = load(body + "SubClassOf(:Sub ObjectSomeValuesFrom(:p :B)) ObjectPropertyDomain(:p :A) " +
                    rule("ClassAtom(:A Variable(:x))", "ClassAtom(:Seen Variable(:x))"));
  auto run = engine::materialize_swrl_rules(o);
  ASSERT_TRUE(run) << run.error().message();
  EXPECT_TRUE(run->complete) << (run->gaps.empty() ? "" : run->gaps.front());
  EXPECT_EQ(run->inference_count, 11u);
  EXPECT_TRUE(has_class(o, "i10000", "Seen"));
  EXPECT_FALSE(has_class(o, "i9999", "Seen"));
}

TEST(Route, ConsistencyOnTheExtendedClone) {
  struct Case {
    const char* name;
    std::string ontology;
    ConsistencyResult expected;
  } cases[] = {
      {"different-individuals head on sameAs partners",
       "SameIndividual(:a :b) ObjectPropertyAssertion(:p :a :b) " +
           rule("ObjectPropertyAtom(:p Variable(:x) Variable(:y))", "DifferentIndividualsAtom(Variable(:x) Variable(:y))"),
       kInconsistent},
      {"different-individuals head on one individual",
       "ObjectPropertyAssertion(:p :a :a) " +
           rule("ObjectPropertyAtom(:p Variable(:x) Variable(:y))", "DifferentIndividualsAtom(Variable(:x) Variable(:y))"),
       kInconsistent},
      {"a rule consequence clashing with a disjointness",
       "DisjointClasses(:B :C) ClassAssertion(:A :a) ClassAssertion(:C :a) " +
           rule("ClassAtom(:A Variable(:x))", "ClassAtom(:B Variable(:x))"),
       kInconsistent},
      {"consequences without a clash",
       "DisjointClasses(:B :C) ClassAssertion(:A :a) ClassAssertion(:C :b) " +
           rule("ClassAtom(:A Variable(:x))", "ClassAtom(:B Variable(:x))"),
       kConsistent},
      {"consistent, but a typed body literal may match another lexical form",
       "DataPropertyAssertion(:age :a \"5\"^^xsd:integer) " +
           rule("DataPropertyAtom(:age Variable(:x) \"5\"^^xsd:integer)", "ClassAtom(:Five Variable(:x))"),
       kIncomplete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ontology o = load(c.ontology);
    const size_t before = o.axiom_count();
    auto verdict = check_consistency_with_swrl(o, std::nullopt);
    ASSERT_TRUE(verdict) << verdict.error().message();
    EXPECT_EQ(*verdict, c.expected);
    EXPECT_EQ(o.axiom_count(), before);
  }
}

TEST(Route, Classification) {
  Ontology plain = load("SubClassOf(:A :B)");
  auto el = classify_with_swrl(plain);
  ASSERT_TRUE(el);
  EXPECT_EQ(el->rule_count, 0u);
  EXPECT_TRUE(el->taxonomy.is_subsumed(entity(plain, "A"), entity(plain, "B")));

  // The clash a rule adds makes every class unsatisfiable.
  Ontology clash = load("SubClassOf(:A :B) DisjointClasses(:B :C) ClassAssertion(:A :a) " +
                        rule("ClassAtom(:B Variable(:x))", "ClassAtom(:C Variable(:x))"));
  auto everything = classify_with_swrl(clash);
  ASSERT_TRUE(everything) << everything.error().message();
  auto unsat = everything->taxonomy.unsatisfiable();
  EXPECT_NE(std::find(unsat.begin(), unsat.end(), entity(clash, "A")), unsat.end());

  Ontology chained = load("SubClassOf(:A :B) ClassAssertion(:A :a) " +
                          rule("ClassAtom(:B Variable(:x))", "ClassAtom(:C Variable(:x))"));
  auto c = classify_with_swrl(chained);
  ASSERT_TRUE(c) << c.error().message();
  EXPECT_EQ(c->rule_count, 1u);
  EXPECT_EQ(c->inference_count, 1u);
  EXPECT_TRUE(c->taxonomy.is_subsumed(entity(chained, "A"), entity(chained, "B")));

  Ontology unsure = load("DataPropertyAssertion(:age :a \"5\"^^xsd:integer) " +
                         rule("DataPropertyAtom(:age Variable(:x) \"5\"^^xsd:integer)", "ClassAtom(:Five Variable(:x))"));
  auto refused = classify_with_swrl(unsure);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind(), ErrorKind::Incomplete);
}

}  // namespace
}  // namespace trelvanic_swrl
