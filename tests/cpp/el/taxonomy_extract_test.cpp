// Exact taxonomies: direct edges only, clusters, unsatisfiable classes, and
// edges to every member of a parent cluster.
#include <gtest/gtest.h>

#include "classify_helper.h"

namespace trelvanic_el::testing {
namespace {

using Edges = std::vector<std::pair<std::string, std::string>>;

struct Expected {
  const char* ontology;
  Edges edges;  // "Thing" for owl:Thing
  std::vector<std::vector<std::string>> clusters;
  std::vector<std::string> unsatisfiable;
  std::vector<std::string> thing_equivalents;
};

TEST(ElTaxonomyExtract, ExactTaxonomies) {
  const Expected cases[] = {
      {"(sub A B) (sub B C)", {{"A", "B"}, {"B", "C"}, {"C", "Thing"}}, {}, {}, {}},
      {"(eq A B) (sub X A)", {{"A", "Thing"}, {"B", "Thing"}, {"X", "A"}, {"X", "B"}}, {{"A", "B"}}, {}, {}},
      {"(sub A B) (sub B A) (sub C A) (sub C D) (sub D B)",
       {{"A", "Thing"}, {"B", "Thing"}, {"C", "D"}, {"D", "A"}, {"D", "B"}},
       {{"A", "B"}},
       {},
       {}},
      {"(sub A Nothing) (sub B A) (sub C D)", {{"C", "D"}, {"D", "Thing"}}, {}, {"A", "B"}, {}},
      {"(sub Thing T) (sub A B) (sub B T)", {{"A", "B"}, {"B", "Thing"}}, {}, {}, {"T"}},
      // A diamond: D is below B and C, both below A; no shortcut edge D → A.
      {"(sub B A) (sub C A) (sub D B) (sub D C)",
       {{"A", "Thing"}, {"B", "A"}, {"C", "A"}, {"D", "B"}, {"D", "C"}},
       {},
       {},
       {}},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.ontology);
    TextOntology onto(e.ontology);
    auto r = classify(onto.input);
    ASSERT_TRUE(r);
    std::map<uint32_t, std::string> name;
    for (const auto& [n, i] : onto.classes) name[i] = n;
    name[ClassTaxonomy::kThing] = "Thing";
    Edges got;
    for (auto [a, b] : r->taxonomy.edges) got.push_back({name[a], name[b]});
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, e.edges);
    std::vector<std::vector<std::string>> clusters;
    for (const auto& c : r->taxonomy.clusters) {
      std::vector<std::string> names;
      for (uint32_t i : c) names.push_back(name[i]);
      std::sort(names.begin(), names.end());
      clusters.push_back(names);
    }
    EXPECT_EQ(clusters, e.clusters);
    std::vector<std::string> unsat, top;
    for (uint32_t i : r->taxonomy.unsatisfiable) unsat.push_back(name[i]);
    for (uint32_t i : r->taxonomy.thing_equivalents) top.push_back(name[i]);
    std::sort(unsat.begin(), unsat.end());
    EXPECT_EQ(unsat, e.unsatisfiable);
    EXPECT_EQ(top, e.thing_equivalents);
  }
}

// A long equivalence cycle forms one cluster without deep recursion.
TEST(ElTaxonomyExtract, LongEquivalenceCycle) {
  ElInput in;
  constexpr uint32_t n = 1500;
  for (uint32_t i = 0; i < n; ++i) in.sub_class_of(in.named(i), in.named((i + 1) % n));
  auto r = classify(in);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->taxonomy.clusters.size(), 1u);
  EXPECT_EQ(r->taxonomy.clusters[0].size(), n);
}

}  // namespace
}  // namespace trelvanic_el::testing
