// Normaliser: malformed input is refused, deep nesting is handled without
// recursion, shared sub-expressions share one fresh name, and a range the
// normal forms cannot carry through a chain is reported.
#include <gtest/gtest.h>

#include "classify_helper.h"

namespace trelvanic_el::testing {
namespace {

TEST(ElNormalForm, MalformedInputIsAnError) {
  struct Bad {
    const char* what;
    void (*build)(ElInput&);
  };
  const Bad cases[] = {
      {"class out of range", [](ElInput& in) {
         ExprId a = in.named(0);
         in.sub_class_of(a, 7);  // no expression 7
       }},
      {"forward reference", [](ElInput& in) {
         ExprId a = in.some(0, 5);  // filler made later
         in.named(0), in.named(1), in.named(2), in.named(3), in.named(4);
         in.sub_class_of(a, a);
       }},
      {"chain of one role", [](ElInput& in) {
         std::vector<uint32_t> none;
         in.property_chain(none, 0);
       }},
  };
  for (const Bad& b : cases) {
    SCOPED_TRACE(b.what);
    ElInput in;
    b.build(in);
    auto nf = normalize(in);
    ASSERT_FALSE(nf.has_value());
    EXPECT_EQ(nf.error().kind, ErrorKind::Message);
  }
}

TEST(ElNormalForm, DeepNestingOnBothSides) {
  // A ⊑ ∃r.∃r....∃r.B and ∃r.∃r....∃r.B ⊑ C, 200,000 levels deep.
  ElInput in;
  ExprId e = in.named(1);
  for (int i = 0; i < 200000; ++i) e = in.some(0, e);
  in.sub_class_of(in.named(0), e);
  in.sub_class_of(e, in.named(2));
  auto r = classify(in);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->subsumed(0, 2));
  EXPECT_FALSE(r->subsumed(1, 2));
}

TEST(ElNormalForm, EqualSubExpressionsShareOneName) {
  TextOntology onto("(sub A (some r (and B C))) (sub D (some r (and C B)))"
                    " (sub (some r (and B C)) E) (sub (some r (and C B)) F)");
  auto nf = normalize(onto.input);
  ASSERT_TRUE(nf);
  // One positive name for B ⊓ C, one negative pair name, one conjunction.
  EXPECT_EQ(nf->conjunctions.size(), 1u);
  EXPECT_EQ(nf->existentials.size(), 2u);
  EXPECT_EQ(nf->existentials[0].filler, nf->existentials[1].filler);
}

TEST(ElNormalForm, RangeThroughChainIsReportedIncomplete) {
  struct Case {
    const char* ontology;
    bool incomplete;
  };
  const Case cases[] = {
      {"(chain r s t) (range t R) (sub A (some r B))", true},
      {"(chain r s t) (range t R) (range s R) (sub A (some r B))", false},
      {"(chain r s t) (range t R) (subrole s t) (sub A (some r B))", false},
      {"(trans r) (range r R) (sub A (some r B))", false},
      {"(chain r s t) (range r R)", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ontology);
    TextOntology onto(c.ontology);
    auto nf = normalize(onto.input);
    ASSERT_TRUE(nf);
    EXPECT_EQ(!nf->incomplete.empty(), c.incomplete);
  }
}

}  // namespace
}  // namespace trelvanic_el::testing
