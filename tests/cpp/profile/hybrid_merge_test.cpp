#include <gtest/gtest.h>

#include "profile/hybrid.h"

namespace trelvanic_profile {
namespace {

using trelvanic_core::EntityId;
using trelvanic_core::SubsumptionEdge;
using trelvanic_core::Taxonomy;
using Ids = std::vector<EntityId>;
using Edges = std::vector<SubsumptionEdge>;
using Clusters = std::vector<Ids>;

EntityId E(uint32_t v) { return EntityId(v); }

struct Parts {
  Edges edges;
  Clusters clusters;
  Ids unsat;
};

TEST(MergeTaxonomies, UnionsAndNormalises) {
  struct Case {
    std::vector<Parts> inputs;
    Parts expected;
  };
  std::vector<Case> cases = {
      {{}, {}},
      // One input is normalised too.
      {{{{{E(2), E(1)}, {E(1), E(9)}, {E(2), E(1)}, {E(1), E(5)}}, {{E(9), E(1)}}, {E(5), E(2), E(5)}}},
       {{{E(1), E(5)}, {E(1), E(9)}, {E(2), E(1)}}, {{E(1), E(9)}}, {E(2), E(5)}}},
      // Clusters sharing a class unite; singletons and [4, 4] vanish; groups ordered by smallest.
      {{{{}, {{E(7), E(3)}, {E(4)}}, {E(5), E(2)}}, {{{E(2), E(1)}}, {{E(7), E(5)}, {E(4), E(4)}, {E(0), E(6)}}, {E(2)}}},
       {{{E(2), E(1)}}, {{E(0), E(6)}, {E(3), E(5), E(7)}}, {E(2), E(5)}}},
      // (a, b) and (b, a) from different inputs stay edges, not a cluster.
      {{{{{E(1), E(2)}}, {}, {}}, {{{E(2), E(1)}}, {}, {}}}, {{{E(1), E(2)}, {E(2), E(1)}}, {}, {}}},
  };
  for (auto& c : cases) {
    std::vector<Taxonomy> in;
    for (auto& p : c.inputs) in.push_back(Taxonomy::from_parts(p.edges, p.clusters, p.unsat));
    Taxonomy out = merge_taxonomies(std::move(in));
    EXPECT_EQ(Edges(out.edges().begin(), out.edges().end()), c.expected.edges);
    EXPECT_EQ(Clusters(out.clusters().begin(), out.clusters().end()), c.expected.clusters);
    EXPECT_EQ(Ids(out.unsatisfiable().begin(), out.unsatisfiable().end()), c.expected.unsat);
  }
}

}  // namespace
}  // namespace trelvanic_profile
