#include "rl/engine.h"

#include <gtest/gtest.h>

#include "core/dl.h"
#include "rl/abox.h"
#include "rl/rdfs.h"
#include "rl/reasoner.h"

namespace {

using namespace trelvanic_core;
namespace rl = trelvanic_rl;

struct Onto {
  Ontology o;
  EntityId e(const std::string& n, EntityKind k) { return *o.entity_id("http://ex.org/" + n, k); }
  EntityId cls(const std::string& n) { return e(n, EntityKind::Class); }
  EntityId ind(const std::string& n) { return e(n, EntityKind::Individual); }
  EntityId prop(const std::string& n) { return e(n, EntityKind::ObjectProperty); }
  void add(Axiom a) { ASSERT_TRUE(o.add_axiom(std::move(a))); }
};

TEST(RlEngine, ReportCountsAndEmptyRuleMap) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B");
  auto i = x.ind("i");
  x.add(Axiom::sub_class_of(a, b));
  x.add(Axiom::class_assertion(i, a));
  auto report = rl::RlEngine{}.saturate(x.o);
  ASSERT_TRUE(report) << report.error().message();
  EXPECT_EQ(report->initial_axiom_count, 2u);
  EXPECT_EQ(report->final_axiom_count, 3u);
  EXPECT_TRUE(report->clashes.empty());
  EXPECT_TRUE(report->inferred_by_rule.empty());
  EXPECT_TRUE(report->export_complete);
  // Nothing new the second time; earlier inferences count as live.
  auto again = rl::RlEngine{}.saturate(x.o);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->initial_axiom_count, again->final_axiom_count);
}

TEST(RlEngine, ClashesDecideOnlyWhenTheyAreNotKindNotes) {
  EXPECT_FALSE(rl::clashes_indicate_inconsistency({}));
  const std::string note = "entity kind mismatch for http://ex.org/d: expected Individual, found DataProperty";
  EXPECT_FALSE(rl::clashes_indicate_inconsistency({note, note}));
  EXPECT_TRUE(rl::clashes_indicate_inconsistency(
      {note, "individuals EntityId(1) and EntityId(2) are sameAs but also differentFrom"}));
  EXPECT_TRUE(rl::clashes_indicate_inconsistency({"short"}));
}

// Inconsistencies stated through DL-store axioms reach the rule engine.
TEST(RlEngine, DlStoreViolationsAreClashes) {
  struct Case {
    const char* name;
    void (*build)(Onto&);
  };
  const Case cases[] = {
      {"disjoint classes",
       [](Onto& x) {
         auto a = x.cls("A"), b = x.cls("B");
         auto i = x.ind("i");
         x.add(Axiom::disjoint_classes({a, b}));
         x.add(Axiom::class_assertion(i, a));
         x.add(Axiom::class_assertion(i, b));
       }},
      {"disjoint properties",
       [](Onto& x) {
         auto p = x.prop("p"), q = x.prop("q");
         auto a = x.ind("a"), b = x.ind("b");
         x.o.dl_mut().push_axiom(DlAxiom::entity_list(DlAxiomKind::DisjointObjectProperties, {p, q}));
         x.add(Axiom::object_property_assertion(a, p, b));
         x.add(Axiom::object_property_assertion(a, q, b));
       }},
      {"negative assertion",
       [](Onto& x) {
         auto p = x.prop("p");
         auto a = x.ind("a"), b = x.ind("b");
         x.o.dl_mut().push_axiom(DlAxiom::negative_object_property_assertion(a, p, b));
         x.add(Axiom::object_property_assertion(a, p, b));
       }},
      {"told negative assertion",
       [](Onto& x) {
         auto p = x.prop("p"), q = x.prop("q");
         auto a = x.ind("a"), b = x.ind("b");
         x.add(Axiom::sub_object_property_of(q, p));
         x.add(Axiom::negative_object_property_assertion(a, p, b));
         x.add(Axiom::object_property_assertion(a, q, b));
       }},
      {"universal on the right",
       [](Onto& x) {
         auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
         auto p = x.prop("p");
         auto i = x.ind("i"), j = x.ind("j");
         auto& dl = x.o.dl_mut();
         dl.push_axiom(DlAxiom::sub_class_of(
             dl.intern_ce(ClassExpr::atomic(a)),
             dl.intern_ce(ClassExpr::all(RoleExpr::atomic(p), dl.intern_ce(ClassExpr::atomic(b))))));
         x.add(Axiom::disjoint_classes({b, c}));
         x.add(Axiom::class_assertion(i, a));
         x.add(Axiom::object_property_assertion(i, p, j));
         x.add(Axiom::class_assertion(j, c));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Onto x;
    c.build(x);
    auto report = rl::RlEngine{}.saturate(x.o);
    ASSERT_TRUE(report) << report.error().message();
    EXPECT_TRUE(rl::clashes_indicate_inconsistency(report->clashes));
    EXPECT_TRUE(report->export_complete);
  }
}

TEST(RlEngine, ExportBeyondRlIsNotComplete) {
  Onto x;
  auto a = x.cls("A");
  auto& dl = x.o.dl_mut();
  dl.push_axiom(DlAxiom::sub_class_of(
      dl.intern_ce(ClassExpr::atomic(a)),
      dl.intern_ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::atomic(x.prop("p")), {}))));
  auto report = rl::RlEngine{}.saturate(x.o);
  ASSERT_TRUE(report);
  EXPECT_FALSE(report->export_complete);
  // No clash, but nothing proven either.
  EXPECT_EQ(rl::consistency_from_report(*report, x.o), (ConsistencyResult{false, false}));
  // A clash proves inconsistency whatever else was left out.
  report->clashes.push_back("cax-dw: i is in two disjoint classes");
  EXPECT_EQ(rl::consistency_from_report(*report, x.o), (ConsistencyResult{false, true}));
  report->clashes.clear();
  report->export_complete = true;
  EXPECT_EQ(rl::consistency_from_report(*report, x.o), std::nullopt);
}

TEST(RlEngine, SameAsClashesFollowTheDriverClashes) {
  Onto x;
  auto a = x.ind("a"), b = x.ind("b");
  x.add(Axiom::same_individual({a, b}));
  x.add(Axiom::different_individuals({a, b}));
  auto report = rl::RlEngine{}.saturate(x.o);
  ASSERT_TRUE(report);
  ASSERT_GE(report->clashes.size(), 2u);
  EXPECT_EQ(report->clashes.back(), "individuals EntityId(0) and EntityId(1) are sameAs but also differentFrom");
  EXPECT_NE(report->clashes.front().find("eq-diff1"), std::string::npos);
  EXPECT_TRUE(report->clash_pairs.contains({a, b}));
  // The RDFS report has the rule engine's clashes only.
  Onto y;
  auto c = y.ind("c"), d = y.ind("d");
  y.add(Axiom::same_individual({c, d}));
  y.add(Axiom::different_individuals({c, d}));
  auto rdfs = rl::rdfs::RdfsEngine{}.materialize(y.o);
  ASSERT_TRUE(rdfs);
  for (const auto& m : rdfs->clashes) EXPECT_EQ(m.find("individuals"), std::string::npos);
}

TEST(RlRoutes, SessionStaysInTheReasonerAfterSuccessAndFailure) {
  Onto x;
  x.add(Axiom::class_assertion(x.ind("i"), x.cls("A")));
  ReasonerBuilder builder;
  builder.parallelism = 64;
  auto r = *builder.build(x.o);
  ASSERT_TRUE(rl::saturate_routed(r));
  ASSERT_NE(r.session(), nullptr);
  EXPECT_EQ(r.session()->profile(), Profile::Rl);
  // A failing run: the entity limit is already reached.
  rl::RlEngine tight;
  tight.max_entities = 1;
  auto failed = tight.saturate_reasoner(r);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().message(), "bridge: entity limit 1 would be exceeded during merge");
  ASSERT_NE(r.session(), nullptr);
  EXPECT_EQ(r.session()->profile(), Profile::Rl);
  ASSERT_TRUE(rl::rdfs::materialize_routed(r));
  EXPECT_EQ(r.session()->profile(), Profile::Rdfs);
}

TEST(RlRoutes, RuleNames) {
  EXPECT_EQ(rl::rl_rule_name(rl::RlRule::EqClassSub), "eq_class_sub");
  EXPECT_EQ(rl::rl_rule_name(rl::RlRule::PropReflexive), "prop_reflexive");
  EXPECT_EQ(rl::rdfs::rdfs_rule_name(rl::rdfs::RdfsRule::RngInherit), "rng_inherit");
  EXPECT_EQ(rl::Error::profile_mismatch(Profile::Rl, Profile::El).message(), "expected profile Rl, got El");
}

}  // namespace

namespace {

// An incremental reasoner keeps its session warm: a told axiom added later
// is materialised on top of the closure already held.
TEST(RlRoutes, IncrementalReasonerContinuesFromItsSession) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  auto i = x.ind("i");
  x.add(Axiom::sub_class_of(a, b));
  x.add(Axiom::class_assertion(i, a));
  ReasonerBuilder builder;
  builder.incremental = true;
  auto r = *builder.build(x.o);
  auto first = rl::saturate_routed(r);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->final_axiom_count, 3u);
  ASSERT_TRUE(r.ontology_mut().add_axiom(Axiom::sub_class_of(b, c)));
  auto second = rl::saturate_routed(r);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->initial_axiom_count, 4u);
  const auto classes = r.ontology().classes_of(i);
  EXPECT_NE(std::find(classes.begin(), classes.end(), c), classes.end());
  EXPECT_TRUE(r.ontology().dirty().empty());
}

}  // namespace
