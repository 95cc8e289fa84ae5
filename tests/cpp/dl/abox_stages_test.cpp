// The cascade's stages over assertions: the stage that rejects each
// contradiction (by its trace line), and the look-alikes that have a model
// and so must never be rejected by a shortcut.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../alc/fixture.h"
#include "dl/consistency.h"
#include "dl/engine.h"
#include "dl/union_csp.h"

namespace trelvanic_dl {
namespace {

using trelvanic_alc::testing::load;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::EntityId;

constexpr ConsistencyResult kInconsistent{false, true};

// The verdict and the trace line of one cascade run.
std::pair<ConsistencyResult, std::string> traced(const std::string& body) {
  auto o = load(body);
  ::setenv("TRELVANIC_CONSISTENCY_TRACE", "1", 1);
  ::testing::internal::CaptureStderr();
  auto r = check_consistency_inner(o);
  std::string err = ::testing::internal::GetCapturedStderr();
  ::unsetenv("TRELVANIC_CONSISTENCY_TRACE");
  EXPECT_TRUE(r) << body << ": " << (r ? "" : r.error().message());
  return {r ? *r : ConsistencyResult{false, false}, err};
}

struct RejectCase {
  const char* stage;
  const char* body;
};

TEST(AboxStages, EachContradictionIsRejectedByItsStage) {
  const RejectCase cases[] = {
      {"property_characteristic_clash",
       "SymmetricObjectProperty(:p) AsymmetricObjectProperty(:p) ObjectPropertyAssertion(:p :a :b)"},
      {"property_characteristic_clash", "IrreflexiveObjectProperty(:q) ObjectPropertyAssertion(:q :a :a)"},
      // r(a, a) is also a q-edge of the irreflexive q above it
      {"property_characteristic_clash",
       "SubObjectPropertyOf(:r :q) IrreflexiveObjectProperty(:q) ObjectPropertyAssertion(:r :a :a)"},
      {"property_characteristic_clash",
       "AsymmetricObjectProperty(:p) InverseObjectProperties(:p :q) ObjectPropertyAssertion(:p :a :b) "
       "ObjectPropertyAssertion(:q :a :b)"},
      {"bottom_property_restriction",
       "ClassAssertion(ObjectIntersectionOf(:C ObjectSomeValuesFrom(owl:bottomObjectProperty :D)) :a)"},
      {"bottom_property_restriction", "ClassAssertion(ObjectMinCardinality(1 owl:bottomObjectProperty) :a)"},
      {"max_cardinality_zero",
       "ClassAssertion(ObjectMaxCardinality(0 :p) :a) ObjectPropertyAssertion(:p :a :b)"},
      {"max_cardinality_zero",
       "SubClassOf(:C ObjectMaxCardinality(0 :p owl:Thing)) ClassAssertion(:C :a) SubObjectPropertyOf(:s :p) "
       "ObjectPropertyAssertion(:s :a :b)"},
      {"max_cardinality_exceeded",
       "ClassAssertion(ObjectMaxCardinality(1 :p) :a) ObjectPropertyAssertion(:p :a :b) "
       "ObjectPropertyAssertion(:p :a :c) DifferentIndividuals(:b :c)"},
      {"positive_negative_property",
       "NegativeObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :b)"},
      // operands read as a list: p disjoint with itself is empty (a reader of
      // operand sets sees one operand, which says nothing)
      {"property_self_disjoint", "DisjointObjectProperties(:p :p) ObjectPropertyAssertion(:p :a :b)"},
      {"self_disjoint_restriction",
       "SubClassOf(ObjectMinCardinality(1 :p) owl:Nothing) ObjectPropertyAssertion(:p :a :b)"},
      {"self_disjoint_restriction", "SubClassOf(:A owl:Nothing) SubClassOf(:B :A) ClassAssertion(:B :a)"},
      {"complement_typing",
       "SubClassOf(:A ObjectComplementOf(:B)) ClassAssertion(:A :a) ClassAssertion(:B :a)"},
      {"complement_existential_property",
       "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectSomeValuesFrom(:p owl:Thing)) "
       "ObjectPropertyAssertion(:p :x :y)"},
      {"complement_existential_property",
       "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectSomeValuesFrom(:p owl:Thing)) "
       "InverseObjectProperties(:p :q) ObjectPropertyAssertion(:q :y :x)"},
      {"min_vs_individual_max_card",
       "ClassAssertion(ObjectMaxCardinality(1 :p) :a) SubClassOf(:C ObjectMinCardinality(2 :p)) ClassAssertion(:C :a)"},
      {"exists_forall_role_clash",
       "ClassAssertion(:C :a) SubClassOf(:C ObjectSomeValuesFrom(:r :D)) SubClassOf(:C ObjectAllValuesFrom(:r :E)) "
       "DisjointClasses(:D :E)"},
      {"abox_atomic_class",
       "SubClassOf(:C :D) SubClassOf(:C :E) DisjointClasses(:D :E) ClassAssertion(:C :a)"},
      {"functional_different_individuals",
       "FunctionalObjectProperty(:p) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :c) "
       "DifferentIndividuals(:b :c)"},
  };
  for (const auto& c : cases) {
    auto [verdict, trace] = traced(c.body);
    EXPECT_EQ(verdict, kInconsistent) << c.body;
    EXPECT_EQ(trace, std::string("is_consistent: reject at ") + c.stage + "\n") << c.body;
  }
}

// Each has a model; the unsound shortcuts these stages once took would call
// them inconsistent. The whole answer must be "consistent" or undecided.
TEST(AboxStages, LookAlikesWithAModelAreNotRejected) {
  const char* cases[] = {
      // no unique names: b and c may be one individual
      "ClassAssertion(ObjectMaxCardinality(1 :p) :a) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :c)",
      "FunctionalObjectProperty(:p) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:p :a :c)",
      // a super-property of an irreflexive property is not irreflexive
      "SubObjectPropertyOf(:q :r) IrreflexiveObjectProperty(:q) ObjectPropertyAssertion(:r :a :a)",
      "SubObjectPropertyOf(:q :r) AsymmetricObjectProperty(:q) ObjectPropertyAssertion(:r :a :b) "
      "ObjectPropertyAssertion(:r :b :a)",
      // ∀ and ≥0 on the bottom property hold everywhere
      "ClassAssertion(ObjectAllValuesFrom(owl:bottomObjectProperty :C) :a)",
      "ClassAssertion(ObjectMinCardinality(0 owl:bottomObjectProperty) :a)",
      "ClassAssertion(ObjectUnionOf(ObjectSomeValuesFrom(owl:bottomObjectProperty :C) :D) :a)",
      // ≤0 in a union, or over a filler b need not be in
      "ClassAssertion(ObjectUnionOf(ObjectMaxCardinality(0 :p) :D) :a) ObjectPropertyAssertion(:p :a :b)",
      "ClassAssertion(ObjectMaxCardinality(0 :p :C) :a) ObjectPropertyAssertion(:p :a :b)",
      "SubClassOf(:C ObjectUnionOf(ObjectMaxCardinality(0 :p) :D)) ClassAssertion(:C :a) ObjectPropertyAssertion(:p :a :b)",
      // a sub-property of p may be empty; a p-edge says nothing of it
      "ClassAssertion(ObjectMaxCardinality(0 :s) :a) SubObjectPropertyOf(:s :p) ObjectPropertyAssertion(:p :a :b)",
      // different properties or fillers
      "ClassAssertion(ObjectMaxCardinality(1 :p) :a) SubClassOf(:C ObjectMinCardinality(2 :q)) ClassAssertion(:C :a)",
      "ClassAssertion(ObjectMaxCardinality(1 :p :D) :a) SubClassOf(:C ObjectMinCardinality(2 :p :E)) "
      "ClassAssertion(:C :a)",
      "NegativeObjectPropertyAssertion(:p :a :c) ObjectPropertyAssertion(:p :a :b)",
      // an empty ≥2 p is not contradicted by one edge
      "SubClassOf(ObjectMinCardinality(2 :p) owl:Nothing) ObjectPropertyAssertion(:p :a :b)",
      // disjointness is not complement typing's, and ¬A with only p(y, x)
      "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectSomeValuesFrom(:p owl:Thing)) "
      "ObjectPropertyAssertion(:p :y :x)",
      // ∃p.B: a p-successor need not be in B
      "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectSomeValuesFrom(:p :B)) "
      "ObjectPropertyAssertion(:p :x :y)",
      // one link proves ≥1, not =1 or ≥2
      "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectExactCardinality(1 :p)) "
      "ObjectPropertyAssertion(:p :x :y)",
      "ClassAssertion(ObjectComplementOf(:A) :x) EquivalentClasses(:A ObjectMinCardinality(2 :p)) "
      "ObjectPropertyAssertion(:p :x :y)",
      // the universal on the inverse role or a sub-role does not meet the existential
      "ClassAssertion(:C :a) SubClassOf(:C ObjectSomeValuesFrom(:r :D)) "
      "SubClassOf(:C ObjectAllValuesFrom(ObjectInverseOf(:r) :E)) DisjointClasses(:D :E)",
      "ClassAssertion(:C :a) SubClassOf(:C ObjectSomeValuesFrom(:r :D)) SubObjectPropertyOf(:s :r) "
      "SubClassOf(:C ObjectAllValuesFrom(:s :E)) DisjointClasses(:D :E)",
      // an individual with the class's IRI is no instance of it
      "Declaration(Class(:C)) Declaration(NamedIndividual(:C)) SubClassOf(:C ObjectSomeValuesFrom(:r :D)) "
      "SubClassOf(:C ObjectAllValuesFrom(:r :E)) DisjointClasses(:D :E)",
      // an instance-free empty class, a defined class of ≤0 p
      "SubClassOf(:A owl:Nothing) SubClassOf(:A :B)",
      "EquivalentClasses(:A ObjectExactCardinality(0 :p)) ClassAssertion(:A :a)",
      "EquivalentClasses(owl:Thing ObjectOneOf(:a :b))",
  };
  for (const char* body : cases) {
    auto r = check_consistency(load(body), std::nullopt);
    ASSERT_TRUE(r) << body << ": " << r.error().message();
    EXPECT_NE(*r, kInconsistent) << body;
  }
}

TEST(UnionCsp, StatedDisjointnessLeavingNoChoiceRejects) {
  const std::string rows =
      "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:A ObjectUnionOf(:D :E)) SubClassOf(:A ObjectUnionOf(:F :G)) ";
  const std::string no_choice = rows +
                                "DisjointClasses(:B :D) DisjointClasses(:B :E) DisjointClasses(:C :D) "
                                "DisjointClasses(:C :E) ClassAssertion(:A :a)";
  auto [verdict, trace] = traced(no_choice);
  EXPECT_EQ(verdict, kInconsistent);
  EXPECT_EQ(trace, "is_consistent: union_csp => false\n");

  // One pair left open: a choice exists and the tableau decides.
  auto open = traced(rows + "DisjointClasses(:B :D) DisjointClasses(:B :E) DisjointClasses(:C :D) ClassAssertion(:A :a)");
  EXPECT_EQ(open.first, (ConsistencyResult{true, true}));
  // Without an instance of A nothing is asserted about the choice.
  auto empty = check_consistency(load(rows + "DisjointClasses(:B :D) DisjointClasses(:B :E) DisjointClasses(:C :D) "
                                             "DisjointClasses(:C :E) SubClassOf(:A :H)"),
                                 std::nullopt);
  ASSERT_TRUE(empty);
  EXPECT_NE(*empty, kInconsistent);
}

TEST(UnionCsp, EnumerationsOfDifferentIndividuals) {
  const std::string rows =
      "ClassAssertion(ObjectOneOf(:p1 :p2) :x) ClassAssertion(ObjectOneOf(:m1 :p2) :x) "
      "ClassAssertion(ObjectOneOf(:m2 :p1) :x) ";
  // x = p1 = p2 works when nothing says they differ.
  auto r = check_consistency(load(rows + "DifferentIndividuals(:p1 :m1) DifferentIndividuals(:p2 :m2)"), std::nullopt);
  ASSERT_TRUE(r);
  EXPECT_NE(*r, kInconsistent);
  auto [verdict, trace] =
      traced(rows + "ClassAssertion(ObjectOneOf(:m1 :m2) :x) DifferentIndividuals(:p1 :m1 :p2 :m2)");
  EXPECT_EQ(verdict, kInconsistent);
  EXPECT_EQ(trace, "is_consistent: union_csp => false\n");
}

TEST(UnionCsp, SolverAnswers) {
  using union_csp::Row;
  auto e = [](uint32_t v) { return EntityId(v); };
  union_csp::PairSet pairs{{1, 3}, {1, 4}, {2, 3}, {2, 4}};
  EXPECT_EQ(union_csp::solve_union_constraints({{e(1), e(2)}, {e(3), e(4)}}, pairs), union_csp::kInconsistent);
  EXPECT_EQ(union_csp::solve_union_constraints({{e(1), e(2)}, {e(3), e(4), e(5)}}, pairs), union_csp::kChoiceExists);
  // equal members never clash
  EXPECT_EQ(union_csp::solve_union_constraints({{e(1)}, {e(1), e(3)}}, pairs), union_csp::kChoiceExists);
  // a search that needs more nodes than allowed gives up: pigeonhole over
  // rows whose members all clash pairwise across rows except by search
  std::vector<Row> rows;
  union_csp::PairSet all_different;
  for (uint32_t i = 0; i < 9; ++i) rows.push_back({e(1), e(2), e(3), e(4), e(5), e(6), e(7), e(8)});
  for (uint32_t a = 1; a <= 8; ++a)
    for (uint32_t b = a + 1; b <= 8; ++b) all_different.insert({a, b});
  // every row must pick the same member (chosen members pairwise clash
  // unless equal), which exists
  EXPECT_EQ(union_csp::solve_union_constraints(rows, all_different), union_csp::kChoiceExists);
  EXPECT_EQ(union_csp::solve_union_constraints(rows, all_different, 1), union_csp::kUndecided);
}

}  // namespace
}  // namespace trelvanic_dl
