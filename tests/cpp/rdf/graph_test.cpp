#include "rdf/graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rdf/vocab.h"

namespace trelvanic_rdf {
namespace {

TEST(GraphTest, IndexesBySubjectAndPredicate) {
  Graph g;
  TermTable& t = g.terms();
  const TermId a = t.iri("http://e.org/a");
  const TermId b = t.iri("http://e.org/b");
  const TermId p = t.iri("http://e.org/p");
  g.add(a, p, b);
  g.add(b, p, a);
  g.add(a, vocab::kRdfType, vocab::kOwlClass);
  g.add(a, p, t.literal("x"));
  g.build_indexes();
  EXPECT_EQ(g.by_subject(a).size(), 3u);
  EXPECT_EQ(g.by_predicate(p).size(), 3u);
  EXPECT_EQ(g.count(a, p), 2u);
  EXPECT_FALSE(g.object(a, p));  // two objects: ambiguous
  EXPECT_EQ(g.object(b, p), a);
  EXPECT_EQ(g.objects(a, p), (std::vector<TermId>{b, t.literal("x")}));
  EXPECT_TRUE(g.by_subject(t.iri("http://e.org/unused")).empty());
}

TEST(GraphTest, IndexingDropsDuplicatesInSmallAndLargeSubjectBuckets) {
  Graph g;
  TermTable& t = g.terms();
  const TermId small = t.iri("http://e.org/small");
  const TermId large = t.iri("http://e.org/large");
  const TermId p = t.iri("http://e.org/p");
  g.add(small, p, small);
  g.add(small, p, large);
  g.add(small, p, small);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 40; ++i) g.add(large, p, t.literal(std::to_string(i)));
  }
  EXPECT_EQ(g.build_indexes(), 41u);
  EXPECT_EQ(g.size(), 42u);
  EXPECT_EQ(g.by_subject(large).size(), 40u);
  EXPECT_EQ(g.objects(small, p), (std::vector<TermId>{small, large}));
  EXPECT_TRUE(g.contains(large, p, t.literal("39")));
  EXPECT_FALSE(g.contains(large, p, t.literal("40")));
}

}  // namespace
}  // namespace trelvanic_rdf
