// Proof graphs from inference traces: told nodes, premise resolution, the
// newest node for a fact derived twice, cycles, deep chains, and the route
// check of the explanation entry point.
#include <gtest/gtest.h>

#include <vector>

#include "core/axiom.h"
#include "core/ontology.h"
#include "core/reasoner.h"
#include "explain/build.h"
#include "explain/explain.h"

namespace trelvanic_explain {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomId;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::InferenceTrace;
using trelvanic_core::TraceConclusion;

struct Fixture {
  trelvanic_core::Ontology ontology;
  EntityId A, B, C, r, s;
  // Trace facts carry raw ids.
  static uint32_t raw(EntityId e) { return e.value; }
  Fixture() {
    A = *ontology.entity_id("http://e.org/A", EntityKind::Class);
    B = *ontology.entity_id("http://e.org/B", EntityKind::Class);
    C = *ontology.entity_id("http://e.org/C", EntityKind::Class);
    r = *ontology.entity_id("http://e.org/r", EntityKind::ObjectProperty);
    s = *ontology.entity_id("http://e.org/s", EntityKind::ObjectProperty);
  }
  AxiomId add(Axiom axiom) { return *ontology.add_axiom(std::move(axiom)); }
};

TEST(ProofGraph, ToldAxiomsAndTheirStructuralFactsAreAssertedNodes) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.A, f.B));
  f.add(Axiom::sub_object_property_of(f.r, f.s));
  f.add(Axiom::sub_class_of_existential(f.A, f.r, f.C));
  AxiomId gone = f.add(Axiom::sub_class_of(f.B, f.C));
  f.add(Axiom::disjoint_classes({f.A, f.C}));
  ASSERT_TRUE(f.ontology.remove_axiom(gone));
  auto graph = build::build_proof_graph(f.ontology, InferenceTrace{});
  ASSERT_TRUE(graph) << graph.error().message();
  // Four live axioms, three of them with a structural fact; the removed one
  // has no node.
  ASSERT_EQ(graph->nodes.size(), 7u);
  int axioms = 0, subs = 0, existentials = 0, subproperties = 0;
  for (const ProofNode& n : graph->nodes) {
    EXPECT_EQ(n.rule, "asserted");
    EXPECT_TRUE(n.premises.empty());
    EXPECT_EQ(int(n.conclusion_axiom.has_value()) + int(n.conclusion_sub.has_value()) +
                  int(n.conclusion_existential.has_value()) + int(n.conclusion_subproperty.has_value()),
              1);
    if (n.conclusion_axiom) {
      ++axioms;
      EXPECT_NE(*n.conclusion_axiom, gone);
    }
    subs += n.conclusion_sub.has_value();
    existentials += n.conclusion_existential.has_value();
    subproperties += n.conclusion_subproperty.has_value();
  }
  EXPECT_EQ(axioms, 4);
  EXPECT_EQ(subs, 1);
  EXPECT_EQ(existentials, 1);
  EXPECT_EQ(subproperties, 1);

  InferenceTrace cites_removed;
  TraceConclusion premise = TraceConclusion::axiom(gone.value);
  cites_removed.push("sub_trans_forward", {&premise, 1}, TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.C)));
  auto refused = build::build_proof_graph(f.ontology, cites_removed);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind(), ErrorKind::Core);
}

TEST(ProofGraph, PremisesPointToTheNewestNodeOfAFact) {
  Fixture f;
  AxiomId ab = f.add(Axiom::sub_class_of(f.A, f.B));
  InferenceTrace trace;
  TraceConclusion told = TraceConclusion::axiom(ab.value);
  TraceConclusion ab_fact = TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.B));
  TraceConclusion bc_fact = TraceConclusion::sub(Fixture::raw(f.B), Fixture::raw(f.C));
  trace.push("sub_trans_forward", {&told, 1}, TraceConclusion::sub(Fixture::raw(f.B), Fixture::raw(f.C)));
  trace.push("sub_trans_forward", {&ab_fact, 1}, TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.B)));  // again
  TraceConclusion both[] = {ab_fact, bc_fact};
  trace.push("sub_trans_forward", both, TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.C)));
  auto graph = build::build_proof_graph(f.ontology, trace);
  ASSERT_TRUE(graph) << graph.error().message();
  const auto& nodes = graph->nodes;
  ASSERT_EQ(nodes.size(), 5u);  // axiom, told A ⊑ B, three steps
  EXPECT_EQ(nodes[2].premises, std::vector<uint32_t>{0});
  EXPECT_EQ(nodes[3].premises, std::vector<uint32_t>{1});
  EXPECT_EQ(nodes[4].premises, (std::vector<uint32_t>{3, 2}));
  for (uint32_t i = 0; i < nodes.size(); ++i) {
    for (uint32_t p : nodes[i].premises) EXPECT_LT(p, i);
  }
}

TEST(ProofGraph, MissingJustifications) {
  Fixture f;
  struct Case {
    TraceConclusion premise;
    std::string message;
  };
  const Case cases[] = {
      {TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.B)), "missing justification for subsumption 0 \u2291 1"},
      {TraceConclusion::existential(Fixture::raw(f.A), Fixture::raw(f.r), Fixture::raw(f.C)), "missing justification for existential (0, 3, 2)"},
      {TraceConclusion::sub_property(Fixture::raw(f.r), Fixture::raw(f.s)), "missing justification for subproperty 3 \u2291 4"},
  };
  for (const Case& c : cases) {
    InferenceTrace trace;
    trace.push("ex_intro", {&c.premise, 1}, TraceConclusion::sub(Fixture::raw(f.A), Fixture::raw(f.C)));
    auto graph = build::build_proof_graph(f.ontology, trace);
    ASSERT_FALSE(graph);
    EXPECT_EQ(graph.error().message(), c.message);
  }
}

TEST(ProofGraph, CyclesAreFoundAndLongChainsWalkedWithoutRecursion) {
  std::vector<ProofNode> nodes(3);
  nodes[1].premises = {0};
  nodes[2].premises = {1};
  EXPECT_TRUE(build::validate_proof_acyclic(nodes));
  nodes[0].premises = {2};
  auto cyclic = build::validate_proof_acyclic(nodes);
  ASSERT_FALSE(cyclic);
  EXPECT_EQ(cyclic.error().message(), "proof graph contains a cycle");
  // A self-premise is a cycle; two nodes sharing a premise are not.
  std::vector<ProofNode> diamond(4);
  diamond[1].premises = {0};
  diamond[2].premises = {0};
  diamond[3].premises = {1, 2};
  EXPECT_TRUE(build::validate_proof_acyclic(diamond));
  diamond[3].premises.push_back(3);
  EXPECT_FALSE(build::validate_proof_acyclic(diamond));

  // Premises pointing forward: a walk from node 0 runs the whole chain.
  std::vector<ProofNode> chain(500'000);
  for (uint32_t i = 0; i + 1 < chain.size(); ++i) chain[i].premises = {i + 1};
  EXPECT_TRUE(build::validate_proof_acyclic(chain));
  chain.back().premises = {0};
  EXPECT_FALSE(build::validate_proof_acyclic(chain));
}

TEST(Explain, OnlyTheElRouteIsExplained) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.A, f.B));
  f.add(Axiom::sub_class_of(f.B, f.C));
  auto el = trelvanic_core::ReasonerBuilder{.profile = trelvanic_core::Profile::El}.build(f.ontology.clone());
  ASSERT_TRUE(el);
  auto graph = explain_with_profile(*el);
  ASSERT_TRUE(graph) << graph.error().message();
  bool derived = false;
  for (const ProofNode& n : graph->nodes) {
    if (n.conclusion_sub && n.conclusion_sub->first == f.A && n.conclusion_sub->second == f.C) {
      derived = true;
      EXPECT_NE(n.rule, "asserted");
      EXPECT_FALSE(n.premises.empty());
    }
  }
  EXPECT_TRUE(derived);

  auto rl = trelvanic_core::ReasonerBuilder{.profile = trelvanic_core::Profile::Rl}.build(f.ontology.clone());
  ASSERT_TRUE(rl);
  auto refused = explain_with_profile(*rl);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind(), ErrorKind::UnsupportedRoute);
  EXPECT_EQ(refused.error().message(), "explanation is only supported for OWL EL classification (got Rl)");
}

}  // namespace
}  // namespace trelvanic_explain
