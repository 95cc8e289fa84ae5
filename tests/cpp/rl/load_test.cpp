// Small Turtle ontologies through the loader and the RL engine: whatever
// store the loader puts an axiom in, its violation reaches the rule engine.
#include <gtest/gtest.h>

#include "parser/load.h"
#include "rl/engine.h"
#include "rl/rdfs.h"

namespace {

struct FileCase {
  const char* file;
  bool inconsistent;
};

class LoadedRl : public testing::TestWithParam<FileCase> {};

TEST_P(LoadedRl, ClashesDecideConsistency) {
  const std::string path = std::string(TRELVANIC_TEST_DATA) + "/bridge/" + GetParam().file;
  auto loaded = trelvanic_parser::load_ontology(path);
  ASSERT_TRUE(loaded) << loaded.error().message();
  trelvanic_core::Ontology o = std::move(*loaded);
  auto report = trelvanic_rl::RlEngine{}.saturate(o);
  ASSERT_TRUE(report) << report.error().message();
  EXPECT_TRUE(report->export_complete);
  EXPECT_EQ(trelvanic_rl::clashes_indicate_inconsistency(report->clashes), GetParam().inconsistent)
      << (report->clashes.empty() ? "" : report->clashes.front());
}

INSTANTIATE_TEST_SUITE_P(Files, LoadedRl,
                         testing::Values(FileCase{"rl_disjoint_classes.ttl", true},
                                         FileCase{"rl_property_disjoint.ttl", true},
                                         FileCase{"rl_negative_assertion.ttl", true},
                                         FileCase{"rl_consistent.ttl", false}));

TEST(LoadedRl, ConsistentOntologyGainsItsEntailments) {
  auto loaded = trelvanic_parser::load_ontology(std::string(TRELVANIC_TEST_DATA) + "/bridge/rl_consistent.ttl");
  ASSERT_TRUE(loaded);
  trelvanic_core::Ontology o = std::move(*loaded);
  auto report = trelvanic_rl::rdfs::RdfsEngine{}.materialize(o);
  ASSERT_TRUE(report);
  EXPECT_GT(report->final_axiom_count, report->initial_axiom_count);
  auto a = o.lookup_entity("http://ex.org/a");
  auto c = o.lookup_entity("http://ex.org/C");
  ASSERT_TRUE(a && c);
  const auto classes = o.classes_of(*a);
  EXPECT_NE(std::find(classes.begin(), classes.end(), *c), classes.end());
}

}  // namespace
