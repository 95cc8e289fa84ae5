// Whole-run behaviour: equality cliques, long chains, incremental runs,
// output conventions, determinism, cancellation and refused input.
#include <atomic>
#include <random>

#include <gtest/gtest.h>

#include "fixture.h"
#include "materializer/vocabulary.h"

namespace trelvanic_materializer {
namespace {

using testing::Text;

std::string ex(const std::string& local) { return "ex:" + local; }

Materializer run(const std::vector<Text>& input, Options options = {}) {
  Materializer m(options);
  EXPECT_TRUE(m.load_terms(testing::parse(input)));
  EXPECT_TRUE(m.reason());
  return m;
}

TEST(EqualityTest, CliqueExpandsEveryMemberWithoutReflexivePairs) {
  // Five names for one individual, joined in a chain, with one type and
  // one edge each at the ends.
  std::vector<Text> input;
  for (int i = 0; i + 1 < 5; ++i) input.push_back({ex("a" + std::to_string(i)), "owl:sameAs", ex("a" + std::to_string(i + 1))});
  input.push_back({"ex:a0", "rdf:type", "ex:C"});
  input.push_back({"ex:a4", "ex:p", "ex:b"});
  Materializer m = run(input);
  auto closure = testing::closure_set(m);
  for (int i = 0; i < 5; ++i) {
    std::string a = ex("a" + std::to_string(i));
    EXPECT_TRUE(closure.contains(testing::key({a, "rdf:type", "ex:C"}))) << a;
    EXPECT_TRUE(closure.contains(testing::key({a, "ex:p", "ex:b"}))) << a;
    EXPECT_FALSE(closure.contains(testing::key({a, "owl:sameAs", a})));
    for (int j = 0; j < 5; ++j) {
      if (i != j) {
        EXPECT_TRUE(closure.contains(testing::key({a, "owl:sameAs", ex("a" + std::to_string(j))})));
      }
    }
  }
  // 5*4 sameAs pairs + 5 types + 5 edges, nothing else.
  EXPECT_EQ(closure.size(), 30u);
}

TEST(EqualityTest, MergedIndividualsMeetEveryRule) {
  // Equality found by a rule (prp-ifp) feeds the other rules through the
  // representative: the domain typing and the symmetric edge reach both names.
  Materializer m = run({{"ex:id", "rdf:type", "owl:InverseFunctionalProperty"}, {"ex:a", "ex:id", "ex:n"},
                        {"ex:b", "ex:id", "ex:n"}, {"ex:knows", "rdf:type", "owl:SymmetricProperty"},
                        {"ex:knows", "rdfs:domain", "ex:Person"}, {"ex:b", "ex:knows", "ex:c"}});
  auto closure = testing::closure_set(m);
  for (const char* name : {"ex:a", "ex:b"}) {
    EXPECT_TRUE(closure.contains(testing::key({name, "rdf:type", "ex:Person"}))) << name;
    EXPECT_TRUE(closure.contains(testing::key({"ex:c", "ex:knows", name}))) << name;
  }
  EXPECT_TRUE(closure.contains(testing::key({"ex:a", "owl:sameAs", "ex:b"})));
}

TEST(EqualityTest, TypingEveryResourceDoesNotMakeIndividualsSchema) {
  // With the RDFS vocabulary loaded every subject becomes an rdfs:Resource;
  // that does not make individuals classes, so equality still unites them.
  Materializer m = run({{"rdf:type", "rdfs:domain", "rdfs:Resource"}, {"ex:a", "rdf:type", "ex:Person"},
                        {"ex:b", "rdf:type", "ex:Person"}, {"ex:a", "owl:sameAs", "ex:b"}, {"ex:a", "ex:p", "ex:c"}});
  auto closure = testing::closure_set(m);
  EXPECT_TRUE(closure.contains(testing::key({"ex:b", "ex:p", "ex:c"})));
}

TEST(ChainTest, LongTransitiveChainHasTheFullClosure) {
  constexpr int kNodes = 400;
  std::vector<Text> input{{"ex:p", "rdf:type", "owl:TransitiveProperty"}};
  for (int i = 0; i + 1 < kNodes; ++i) input.push_back({ex("n" + std::to_string(i)), "ex:p", ex("n" + std::to_string(i + 1))});
  Materializer m = run(input);
  std::size_t edges = 0;
  TermId p = m.dictionary().find_iri("http://example.org/p");
  for (const Triple& t : m.triples()) edges += t.predicate == p;
  EXPECT_EQ(edges, static_cast<std::size_t>(kNodes) * (kNodes - 1) / 2);
  auto closure = testing::closure_set(m);
  EXPECT_TRUE(closure.contains(testing::key({"ex:n0", "ex:p", ex("n" + std::to_string(kNodes - 1))})));
}

TEST(ChainTest, LongSubclassChainTypesTheInstance) {
  constexpr int kDepth = 300;
  std::vector<Text> input{{"ex:x", "rdf:type", "ex:C0"}};
  for (int i = 0; i + 1 < kDepth; ++i) input.push_back({ex("C" + std::to_string(i)), "rdfs:subClassOf", ex("C" + std::to_string(i + 1))});
  auto closure = testing::closure_set(run(input));
  for (int i = 0; i < kDepth; ++i) EXPECT_TRUE(closure.contains(testing::key({"ex:x", "rdf:type", ex("C" + std::to_string(i))})));
  EXPECT_TRUE(closure.contains(testing::key({"ex:C0", "rdfs:subClassOf", ex("C" + std::to_string(kDepth - 1))})));
}

TEST(ListTest, LongListsBuiltCellByCellCompileOnce) {
  // A oneOf of 20,000 members whose cells arrive head first: each cell
  // arriving must not re-walk the whole list.
  constexpr int kMembers = 20000;
  std::vector<Text> input{{"ex:O", "owl:oneOf", "_:c0"}};
  for (int i = 0; i < kMembers; ++i) {
    std::string cell = "_:c" + std::to_string(i);
    input.push_back({cell, "rdf:first", ex("m" + std::to_string(i))});
    input.push_back({cell, "rdf:rest", i + 1 < kMembers ? "_:c" + std::to_string(i + 1) : "rdf:nil"});
  }
  auto closure = testing::closure_set(run(input));
  EXPECT_TRUE(closure.contains(testing::key({"ex:m0", "rdf:type", "ex:O"})));
  EXPECT_TRUE(closure.contains(testing::key({ex("m" + std::to_string(kMembers - 1)), "rdf:type", "ex:O"})));
}

// A mixed ontology touching most rule families, for the incremental runs.
std::vector<Text> mixed_ontology() {
  std::vector<Text> t = {
      {"ex:p", "rdf:type", "owl:TransitiveProperty"}, {"ex:q", "rdfs:subPropertyOf", "ex:p"},
      {"ex:r", "owl:inverseOf", "ex:q"},            {"ex:f", "rdf:type", "owl:FunctionalProperty"},
      {"ex:A", "rdfs:subClassOf", "ex:B"},          {"ex:B", "owl:equivalentClass", "ex:C"},
      {"ex:p", "rdfs:domain", "ex:A"},              {"_:s", "owl:onProperty", "ex:q"},
      {"_:s", "owl:someValuesFrom", "ex:C"},         {"_:s", "rdfs:subClassOf", "ex:D"},
      {"ex:u", "owl:propertyChainAxiom", "_:l1"},    {"_:l1", "rdf:first", "ex:q"},
      {"_:l1", "rdf:rest", "_:l2"},                  {"_:l2", "rdf:first", "ex:f"},
      {"_:l2", "rdf:rest", "rdf:nil"},               {"ex:H", "owl:onProperty", "ex:q"},
      {"ex:H", "owl:hasValue", "ex:v"},              {"ex:a", "ex:f", "ex:m1"},
      {"ex:a", "ex:f", "ex:m2"},                     {"ex:m1", "rdf:type", "ex:A"},
  };
  for (int i = 0; i < 12; ++i) {
    t.push_back({ex("i" + std::to_string(i)), "ex:q", ex("i" + std::to_string(i + 1))});
    if (i % 3 == 0) t.push_back({ex("i" + std::to_string(i)), "ex:f", ex("k" + std::to_string(i))});
    if (i % 4 == 0) t.push_back({ex("i" + std::to_string(i)), "rdf:type", "ex:H"});
  }
  t.push_back({"ex:i12", "ex:q", "ex:m2"});
  return t;
}

// Schema whose closure the engine shortens: domains and ranges derived by
// scm-dom/scm-rng, hasValue restrictions made equivalent by scm-hv (one on
// a sub-property), an equivalence cycle and a class defined by an
// intersection of restrictions; intersections sharing an operand, one with
// owl:Thing, met by individuals that equality unites; inverses declared
// both ways; a domain met by two triples of one subject.
std::vector<Text> tagged_ontology() {
  return {
      {"ex:hasTag", "rdfs:domain", "ex:Point"},   {"ex:Point", "rdfs:subClassOf", "ex:Entity"},
      {"ex:Entity", "rdfs:subClassOf", "ex:Top"}, {"ex:sub", "rdfs:subPropertyOf", "ex:hasTag"},
      {"ex:hasTag", "rdfs:range", "ex:Tag"},      {"ex:Tag", "owl:equivalentClass", "ex:Label"},
      {"ex:Label", "rdfs:subClassOf", "ex:Marker"}, {"ex:Marker", "rdfs:subClassOf", "ex:Tag"},
      {"_:r1", "owl:onProperty", "ex:hasTag"},    {"_:r1", "owl:hasValue", "ex:t1"},
      {"_:r2", "owl:onProperty", "ex:hasTag"},    {"_:r2", "owl:hasValue", "ex:t1"},
      {"_:r3", "owl:onProperty", "ex:sub"},       {"_:r3", "owl:hasValue", "ex:t1"},
      {"_:r4", "owl:onProperty", "ex:hasTag"},    {"_:r4", "owl:hasValue", "ex:t2"},
      {"ex:Sensor", "owl:equivalentClass", "_:i"}, {"_:i", "owl:intersectionOf", "_:l1"},
      {"_:l1", "rdf:first", "_:r1"},              {"_:l1", "rdf:rest", "_:l2"},
      {"_:l2", "rdf:first", "_:r4"},              {"_:l2", "rdf:rest", "rdf:nil"},
      {"ex:Sensor", "rdfs:subClassOf", "ex:Point"}, {"ex:s1", "ex:sub", "ex:t1"},
      {"ex:s1", "ex:hasTag", "ex:t2"},            {"ex:s2", "rdf:type", "ex:Sensor"},
      {"ex:s3", "ex:sub", "ex:t3"},               {"ex:s4", "rdf:type", "_:r3"},
      {"ex:Combo", "owl:intersectionOf", "_:m1"}, {"_:m1", "rdf:first", "ex:Point"},
      {"_:m1", "rdf:rest", "_:m2"},               {"_:m2", "rdf:first", "owl:Thing"},
      {"_:m2", "rdf:rest", "_:m3"},               {"_:m3", "rdf:first", "_:r4"},
      {"_:m3", "rdf:rest", "rdf:nil"},            {"ex:Odd", "owl:intersectionOf", "_:n1"},
      {"_:n1", "rdf:first", "ex:Point"},          {"_:n1", "rdf:rest", "_:n2"},
      {"_:n2", "rdf:first", "ex:Tag"},            {"_:n2", "rdf:rest", "rdf:nil"},
      {"ex:g", "rdf:type", "owl:FunctionalProperty"}, {"ex:s5", "ex:g", "ex:s6"},
      {"ex:s5", "ex:g", "ex:s7"},                 {"ex:s6", "rdf:type", "ex:Point"},
      {"ex:s7", "ex:hasTag", "ex:t2"},           {"ex:isTagOf", "owl:inverseOf", "ex:hasTag"},
      {"ex:hasTag", "owl:inverseOf", "ex:isTagOf"}, {"ex:t4", "ex:isTagOf", "ex:s8"},
      {"ex:s8", "ex:label", "\"a\""},            {"ex:label", "rdfs:domain", "ex:Labelled"},
      {"ex:s8", "ex:label", "\"b\""},
  };
}

// Conclusions that depend on what came before the rule's schema triple:
// values of an inverse-functional property met through an inverse and an
// equivalent property after one value was told, and an intersection
// (with a repeated operand) whose last operand comes through a union
// after the individual had the other one.
std::vector<Text> late_schema_ontology() {
  return {
      {"ex:i7", "ex:p0", "ex:i3"},
      {"ex:p0", "rdf:type", "owl:InverseFunctionalProperty"},
      {"ex:p3", "owl:equivalentProperty", "ex:p4"},
      {"ex:p4", "owl:inverseOf", "ex:p0"},
      {"ex:i3", "ex:p3", "ex:i4"},
      {"ex:i3", "ex:p3", "ex:i2"},
      {"ex:j", "rdf:type", "ex:C2"},
      {"_:b6", "rdf:first", "ex:C0"},
      {"_:b5", "rdf:rest", "_:b6"},
      {"_:u", "owl:unionOf", "_:b9"},
      {"ex:Both", "owl:intersectionOf", "_:b5"},
      {"_:b7", "rdf:rest", "rdf:nil"},
      {"_:b6", "rdf:rest", "_:b7"},
      {"_:b9", "rdf:rest", "_:b10"},
      {"_:u", "rdfs:subClassOf", "ex:C0"},
      {"_:b10", "rdf:first", "ex:C7"},
      {"_:b10", "rdf:rest", "rdf:nil"},
      {"_:b7", "rdf:first", "ex:C2"},
      {"_:b9", "rdf:first", "ex:C2"},
      {"_:b5", "rdf:first", "ex:C0"},
  };
}

struct OrderCase {
  const char* name;
  std::vector<Text> (*ontology)();
  std::vector<Text> expected;  // a few triples the closure must hold whatever the order
};

// Every order of loading (one load, or two with a reasoning run between)
// gives the closure of one run over the triples as written.
TEST(IncrementalTest, EveryLoadOrderGivesTheFullClosure) {
  const OrderCase cases[] = {
      {"mixed", mixed_ontology, {{"ex:i0", "rdf:type", "ex:C"}, {"ex:i4", "ex:q", "ex:v"}}},
      {"tagged",
       tagged_ontology,
       {{"ex:s1", "rdf:type", "ex:Sensor"}, {"ex:s1", "rdf:type", "ex:Top"}, {"ex:s2", "ex:hasTag", "ex:t1"},
        {"ex:s2", "rdf:type", "ex:Top"}, {"ex:t3", "rdf:type", "ex:Marker"}, {"ex:s3", "rdf:type", "ex:Entity"},
        {"ex:s4", "ex:hasTag", "ex:t1"}, {"ex:hasTag", "rdfs:domain", "ex:Top"}, {"ex:sub", "rdfs:range", "ex:Label"},
        {"ex:s1", "rdf:type", "ex:Combo"}, {"ex:s2", "rdf:type", "ex:Combo"}, {"ex:s6", "rdf:type", "ex:Combo"},
        {"ex:s7", "rdf:type", "ex:Combo"}, {"ex:t1", "ex:isTagOf", "ex:s1"}, {"ex:s8", "ex:hasTag", "ex:t4"},
        {"ex:s8", "rdf:type", "ex:Point"}, {"ex:s8", "rdf:type", "ex:Labelled"}}},
      {"late schema",
       late_schema_ontology,
       {{"ex:i7", "owl:sameAs", "ex:i2"}, {"ex:i7", "owl:sameAs", "ex:i4"}, {"ex:j", "rdf:type", "ex:Both"}}},
  };
  for (const OrderCase& c : cases) {
    std::vector<Text> all = c.ontology();
    auto full = testing::closure_set(run(all));
    for (const Text& t : c.expected) EXPECT_TRUE(full.contains(testing::key(t))) << c.name << ": missing " << testing::key(t);
    std::mt19937 rng(7);
    for (int trial = 0; trial < 40; ++trial) {
      std::vector<Text> shuffled = all;
      std::shuffle(shuffled.begin(), shuffled.end(), rng);
      std::size_t cut = trial % 4 == 0 ? shuffled.size() : rng() % (shuffled.size() + 1);
      Materializer m;
      ASSERT_TRUE(m.load_terms(testing::parse({shuffled.begin(), shuffled.begin() + cut})));
      ASSERT_TRUE(m.reason());
      ASSERT_TRUE(m.load_terms(testing::parse({shuffled.begin() + cut, shuffled.end()})));
      ASSERT_TRUE(m.reason());
      auto got = testing::closure_set(m);
      for (const std::string& t : full)
        EXPECT_TRUE(got.contains(t)) << c.name << " trial " << trial << " cut " << cut << ": missing " << t;
      for (const std::string& t : got)
        EXPECT_TRUE(full.contains(t)) << c.name << " trial " << trial << " cut " << cut << ": extra " << t;
    }
  }
}

TEST(IncrementalTest, ProblemsFollowTheWholeClosure) {
  Materializer m;
  ASSERT_TRUE(m.load_terms(testing::parse({{"ex:A", "owl:disjointWith", "ex:B"}, {"ex:x", "rdf:type", "ex:A"}})));
  ASSERT_TRUE(m.reason());
  EXPECT_TRUE(m.problems().empty());
  ASSERT_TRUE(m.load_terms(testing::parse({{"ex:C", "rdfs:subClassOf", "ex:B"}, {"ex:x", "rdf:type", "ex:C"}})));
  ASSERT_TRUE(m.reason());
  EXPECT_EQ(testing::rule_names(m), std::vector<std::string>{"cax-dw"});
  EXPECT_NE(m.problems()[0].message.find("http://example.org/x"), std::string::npos);
}

TEST(OutputTest, ToldTriplesComeFirstInOrderAndRunsRepeat) {
  std::vector<Text> input = mixed_ontology();
  Materializer a = run(input), b = run(input);
  std::vector<TermTriple> out = a.term_triples();
  EXPECT_EQ(out, b.term_triples());
  // The told triples that no equality rewrote open the output, in order.
  std::vector<TermTriple> told = testing::parse(input);
  ASSERT_GE(out.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out[i], told[i]);
}

TEST(OutputTest, LeavesOutReflexivePairsLiteralSubjectsAndTautologies) {
  std::vector<Text> input = {{"ex:A", "rdf:type", "owl:Class"}, {"ex:p", "rdf:type", "owl:ObjectProperty"},
                             {"ex:A", "rdfs:subClassOf", "ex:B"}, {"ex:B", "rdfs:subClassOf", "ex:A"},
                             {"ex:s", "owl:inverseOf", "ex:s"},    {"ex:d", "rdfs:range", "xsd:string"},
                             {"ex:a", "ex:d", "\"x\""},            {"ex:a", "owl:sameAs", "ex:a"}};
  for (bool tautologies : {false, true}) {
    Options options;
    options.emit_tautologies = tautologies;
    Materializer m = run(input, options);
    for (const Triple& t : m.triples()) {
      EXPECT_FALSE(m.dictionary().is_literal(t.subject));
      if (t.predicate == vocab::owl_equivalentClass || t.predicate == vocab::owl_equivalentProperty || t.predicate == vocab::owl_inverseOf ||
          t.predicate == vocab::owl_sameAs) {
        EXPECT_NE(t.subject, t.object);
      }
    }
    auto closure = testing::closure_set(m);
    EXPECT_TRUE(closure.contains(testing::key({"ex:A", "owl:equivalentClass", "ex:B"})));
    EXPECT_EQ(closure.contains(testing::key({"ex:A", "rdfs:subClassOf", "owl:Thing"})), tautologies);
    EXPECT_EQ(closure.contains(testing::key({"ex:p", "rdfs:subPropertyOf", "ex:p"})), tautologies);
    // Nothing about the vocabulary itself: no axiomatic triples.
    EXPECT_FALSE(closure.contains(testing::key({"rdf:type", "rdf:type", "rdf:Property"})));
  }
}

TEST(ErrorTest, RefusesBadTriplesWhole) {
  Materializer m;
  std::vector<TermTriple> bad = testing::parse({{"ex:a", "ex:p", "ex:b"}, {"\"lit\"", "ex:p", "ex:b"}});
  auto result = m.load_terms(bad);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, ErrorKind::kInvalidTriple);
  std::vector<TermTriple> blank_predicate = testing::parse({{"ex:a", "_:p", "ex:b"}});
  EXPECT_FALSE(m.load_terms(blank_predicate));
  std::vector<Triple> unknown = {Triple{TermId{1}, TermId{1}, TermId{999999}}};
  auto refused = m.load(unknown);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, ErrorKind::kInvalidTerm);
  ASSERT_TRUE(m.reason());
  EXPECT_TRUE(m.triples().empty());  // nothing of the refused batches was kept
}

TEST(CancelTest, RaisedFlagStopsAndLoweredFlagResumes) {
  std::atomic<bool> cancel{true};
  Options options;
  options.cancel = &cancel;
  Materializer m(options);
  std::vector<Text> input{{"ex:p", "rdf:type", "owl:TransitiveProperty"}};
  for (int i = 0; i < 200; ++i) input.push_back({ex("n" + std::to_string(i)), "ex:p", ex("n" + std::to_string(i + 1))});
  ASSERT_TRUE(m.load_terms(testing::parse(input)));
  auto result = m.reason();
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, ErrorKind::kCancelled);
  EXPECT_EQ(result.error().message, "cancelled");
  cancel = false;
  ASSERT_TRUE(m.reason());
  EXPECT_EQ(m.derived_count(), 200u * 201u / 2u - 200u);
}

}  // namespace
}  // namespace trelvanic_materializer
