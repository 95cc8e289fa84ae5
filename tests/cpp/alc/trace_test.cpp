// The tableau's switches on standard error: the consistency line, the
// satisfiability line of a closed test, and the classification times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fixture.h"

namespace trelvanic_alc {
namespace {

using testing::load;

TEST(TableauTrace, LinesOnlyWhenSwitchedOn) {
  auto o = load("SubClassOf(:A :B) DisjointClasses(:B :C) ClassAssertion(:A :a)");
  ::testing::internal::CaptureStderr();
  {
    auto dl = DlOntology::from_ontology(o);
    ASSERT_TRUE(dl);
    Tableau t(*dl);
    ASSERT_TRUE(t.is_consistent());
    ASSERT_TRUE(t.classify());
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  ::setenv("TRELVANIC_KB_TRACE", "", 1);
  ::setenv("TRELVANIC_TABLEAU_PERF", "TRUE", 1);
  ::testing::internal::CaptureStderr();
  auto dl = DlOntology::from_ontology(o);
  ASSERT_TRUE(dl);
  Tableau t(*dl);
  ASSERT_TRUE(t.is_consistent());
  auto c = t.classify();
  const std::string err = ::testing::internal::GetCapturedStderr();
  ::unsetenv("TRELVANIC_KB_TRACE");
  ::unsetenv("TRELVANIC_TABLEAU_PERF");
  ASSERT_TRUE(c);
  EXPECT_EQ(err.rfind("kb_consistent: ok=true clash=false\n", 0), 0u) << err;
  const size_t perf = err.find("{\"class_sat_s\":");
  ASSERT_NE(perf, std::string::npos) << err;
  EXPECT_NE(err.find(",\"pairwise_entail_s\":", perf), std::string::npos);
  EXPECT_NE(err.find(",\"total_s\":", perf), std::string::npos);
}

}  // namespace
}  // namespace trelvanic_alc
