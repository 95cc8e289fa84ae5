// The consistency cascade and the DL entry points on small ontologies: what
// they decide, what they must never call inconsistent, the trace line of a
// stage, and undecided runs as incomplete.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../alc/fixture.h"
#include "core/dl.h"
#include "core/dl_expr.h"
#include "dl/classify.h"
#include "dl/consistency.h"
#include "dl/engine.h"

namespace trelvanic_dl {
namespace {

using trelvanic_alc::testing::entity;
using trelvanic_alc::testing::load;
using trelvanic_core::ConsistencyResult;

constexpr ConsistencyResult kConsistent{true, true};
constexpr ConsistencyResult kInconsistent{false, true};
constexpr ConsistencyResult kIncomplete{false, false};

ConsistencyResult check(const std::string& body) {
  auto r = check_consistency(load(body), std::nullopt);
  EXPECT_TRUE(r) << body << ": " << (r ? "" : r.error().message());
  return r ? *r : kIncomplete;
}

TEST(Cascade, DecidedOntologies) {
  EXPECT_EQ(check("SubClassOf(:A ObjectUnionOf(:B :C)) ClassAssertion(:A :a)"), kConsistent);
  EXPECT_EQ(check("SubClassOf(:A ObjectUnionOf(:B :C)) DisjointClasses(:A :B) DisjointClasses(:A :C) "
                  "ClassAssertion(:A :a)"),
            kInconsistent);
  EXPECT_EQ(check("EquivalentClasses(owl:Thing owl:Nothing)"), kInconsistent);
}

TEST(Cascade, DataFactsThatContradictEachOther) {
  const char* inconsistent[] = {
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer) "
      "DataPropertyAssertion(:p :x \"2\"^^xsd:integer)",
      // float and double values are never the same value
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:float) "
      "DataPropertyAssertion(:p :x \"1\"^^xsd:double)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"a\") DataPropertyAssertion(:q :x \"a\")",
      "DataPropertyAssertion(:p :x \"abc\"^^xsd:integer)",
      "DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:p :x \"1.5\"^^xsd:decimal)",
      "SubDataPropertyOf(:q :p) DataPropertyRange(:p xsd:nonNegativeInteger) "
      "DataPropertyAssertion(:q :x \"-1\"^^xsd:integer)",
      "DataPropertyRange(:p xsd:double) DataPropertyAssertion(:p :x \"1\"^^xsd:integer)",
      "SubDataPropertyOf(:q :p) NegativeDataPropertyAssertion(:p :x \"01\"^^xsd:integer) "
      "DataPropertyAssertion(:q :x \"1\"^^xsd:integer)",
  };
  for (const char* body : inconsistent) EXPECT_EQ(check(body), kInconsistent) << body;
  const char* not_inconsistent[] = {
      "FunctionalDataProperty(:p) DataPropertyRange(:p xsd:string) DataPropertyAssertion(:p :a \"x\")",
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"1\"^^xsd:integer) "
      "DataPropertyAssertion(:p :x \"1.0\"^^xsd:decimal)",
      "NegativeDataPropertyAssertion(:p :x \"1\"^^xsd:float) DataPropertyAssertion(:p :x \"1\"^^xsd:double)",
      "DisjointDataProperties(:p :q) DataPropertyAssertion(:p :x \"1\") DataPropertyAssertion(:q :x \"2\")",
      "DataPropertyAssertion(:p :x \"99999999999999999999\"^^xsd:nonNegativeInteger) "
      "DataPropertyRange(:p xsd:integer)",
      "FunctionalDataProperty(:p) DataPropertyAssertion(:p :x \"a\"^^<http://e.org/dt>) "
      "DataPropertyAssertion(:p :x \"b\"^^<http://e.org/dt>)",
  };
  for (const char* body : not_inconsistent) EXPECT_NE(check(body), kInconsistent) << body;
}

// Each of these has a model; an answer other than consistent may only be
// "undecided".
TEST(Cascade, NeverInconsistentWithoutProof) {
  const char* cases[] = {
      // no unique names: b and c may be one individual
      "ClassAssertion(ObjectMaxCardinality(1 :p) :a) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :c)",
      // r above an irreflexive q, r(a, a) alone
      "SubObjectPropertyOf(:q :r) IrreflexiveObjectProperty(:q) ObjectPropertyAssertion(:r :a :a)",
      "ClassAssertion(ObjectAllValuesFrom(owl:bottomObjectProperty :C) :a)",
      "ClassAssertion(ObjectUnionOf(ObjectMaxCardinality(0 :p) :D) :a) ObjectPropertyAssertion(:p :a :b)",
      "ClassAssertion(ObjectMaxCardinality(1 :p) :a) SubClassOf(:C ObjectMinCardinality(2 :q)) ClassAssertion(:C :a)",
      "EquivalentClasses(owl:Thing ObjectOneOf(:a :b))",
  };
  for (const char* body : cases) {
    EXPECT_NE(check(body), kInconsistent) << body;
  }
}

TEST(Cascade, DecidingStageWritesItsTraceLine) {
  ::setenv("TRELVANIC_CONSISTENCY_TRACE", "", 1);
  ::testing::internal::CaptureStderr();
  auto r = check_consistency_inner(load("EquivalentClasses(owl:Thing owl:Nothing)"));
  auto tableau = check_consistency_inner(load("SubClassOf(:A :B) ClassAssertion(:A :a) ObjectPropertyAssertion(:p :a :b)"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  ::unsetenv("TRELVANIC_CONSISTENCY_TRACE");
  ASSERT_TRUE(r && tableau);
  EXPECT_EQ(err, "is_consistent: reject at thing_equivalent_nothing\nis_consistent: tableau => true\n");
}

TEST(Cascade, ExhaustedTableauIsIncompleteAndYesNoAnswersRefuse) {
  const std::string body = "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectUnionOf(:B :C))) ClassAssertion(:A :a)";
  ::setenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS", "1", 1);
  auto r = check_consistency(load(body), std::nullopt);
  auto yes_no = is_consistent(load(body));
  ::unsetenv("TRELVANIC_TABLEAU_MAX_EXPANSIONS");
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(*r, kIncomplete);
  ASSERT_FALSE(yes_no);
  EXPECT_EQ(yes_no.error().message(), "consistency check incomplete");
}

TEST(Cascade, ClassAssertionByRefutation) {
  auto o = load("SubClassOf(:B ObjectUnionOf(:C :D)) SubClassOf(:C :E) SubClassOf(:D :E) ClassAssertion(:B :a)");
  auto a = entity(o, "a");
  auto ce = [&](const char* name) {
    return o.dl_mut().intern_ce(trelvanic_core::ClassExpr::atomic(entity(o, name)));
  };
  const auto e = ce("E"), c = ce("C");
  auto yes = entails_class_assertion(o, a, e);
  ASSERT_TRUE(yes) << yes.error().message();
  EXPECT_TRUE(*yes);
  auto no = entails_class_assertion(o, a, c);
  ASSERT_TRUE(no) << no.error().message();
  EXPECT_FALSE(*no);
  const size_t axioms = o.dl().axiom_count();
  EXPECT_EQ(o.dl().axiom_count(), axioms);  // the probe worked on a copy
  EXPECT_EQ(*entails_class_assertion(o, a, trelvanic_core::CeId(1'000'000)), false);
}

TEST(Classifier, UnionsAndPreview) {
  auto o = load("EquivalentClasses(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D)");
  auto t = DlClassifier{}.classify(o);
  ASSERT_TRUE(t) << t.error().message();
  EXPECT_TRUE(t->is_subsumed(entity(o, "B"), entity(o, "A")));
  EXPECT_TRUE(t->is_subsumed(entity(o, "A"), entity(o, "D")));
  EXPECT_FALSE(t->is_subsumed(entity(o, "D"), entity(o, "A")));
  auto preview = DlClassifier{.preview = true}.classify(o);
  ASSERT_FALSE(preview);
  EXPECT_EQ(preview.error().message(), "DL preview: DL preview does not support: [ObjectUnionOf]");

  auto inconsistent = DlClassifier{}.classify(load("SubClassOf(:A ObjectUnionOf(:B :C)) DisjointClasses(:A :B) "
                                                   "DisjointClasses(:A :C) ClassAssertion(:A :a) SubClassOf(:D :E)"));
  ASSERT_TRUE(inconsistent) << inconsistent.error().message();
  EXPECT_TRUE(inconsistent->edges().empty());
  EXPECT_GE(inconsistent->unsatisfiable().size(), 5u);  // every class
}

}  // namespace
}  // namespace trelvanic_dl
