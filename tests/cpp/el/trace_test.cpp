// The inference trace: one step per derived fact, each premise derived by an
// earlier step (or a told role inclusion), the same facts as the untraced run.
#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <tuple>

#include "classify_helper.h"

namespace trelvanic_el::testing {
namespace {

using Key = std::tuple<int, uint32_t, uint32_t, uint32_t>;
Key key(const TraceFact& f) { return {static_cast<int>(f.kind), f.a, f.b, f.c}; }

const char* kOntologies[] = {
    "(eq Parent (and Person (some hasChild Person))) (sub Mother (and Woman (some hasChild Man)))"
    " (sub Woman Person) (sub Man Person) (domain hasChild Person) (range hasChild Person)",
    "(trans partOf) (sub Finger (some partOf Hand)) (sub Hand (some partOf Arm))"
    " (eq ArmPart (some partOf Arm)) (subrole partOf0 partOf) (subrole partOf1 partOf0)"
    " (sub Nail (some partOf1 Finger))",
    "(refl r) (chain r s t) (sub A (some s B)) (sub (some t B) C) (disj C D E) (sub A (and D E))",
    "(sub A (some r B)) (sub B Nothing) (sub C (some s A)) (sub Thing (some q D))",
};

TEST(ElTrace, OneStepPerDerivedFactWithDerivedPremises) {
  for (const char* text : kOntologies) {
    SCOPED_TRACE(text);
    TextOntology onto(text);
    auto traced = classify(onto.input, /*with_trace=*/true);
    auto plain = classify(onto.input, /*with_trace=*/false);
    ASSERT_TRUE(traced && plain);
    std::set<Key> told_roles;
    for (const RoleInclusion& inc : traced->nf.roles.inclusions()) {
      if (!inc.from_reflexive_chain) told_roles.insert(key(TraceFact::sub_role(inc.sub, inc.super)));
    }
    std::set<Key> concluded;
    size_t subsumption_steps = 0, link_steps = 0;
    const ElTrace& trace = traced->trace;
    for (const TraceStep& step : trace.steps()) {
      ASSERT_LT(static_cast<size_t>(step.rule), kRuleCount);
      for (const TraceFact& p : trace.premises(step)) {
        if (p.kind == FactKind::Axiom) {
          EXPECT_LT(p.a, onto.input.axioms().size());
        } else if (p.kind == FactKind::SubProperty) {
          EXPECT_TRUE(concluded.count(key(p)) || told_roles.count(key(p)));
        } else {
          EXPECT_TRUE(concluded.count(key(p))) << "premise not derived before use";
        }
      }
      EXPECT_TRUE(concluded.insert(key(step.conclusion)).second) << "fact derived twice";
      subsumption_steps += step.conclusion.kind == FactKind::Subsumption;
      link_steps += step.conclusion.kind == FactKind::Existential;
    }
    // Every fact of the graph has its step, and the traced run derives the same facts.
    size_t facts = 0, links = 0;
    for (uint32_t c = 0; c < traced->nf.concept_count; ++c) {
      const Context& x = traced->graph.context(c);
      const Context& y = plain->graph.context(c);
      EXPECT_EQ(x.subsumers.size(), y.subsumers.size());
      facts += x.subsumers.size() - (x.active ? 1 : 0);  // C ⊑ C is no fact
      links += x.link_keys.size();
      x.subsumers.for_each([&](uint32_t a) {
        if (a != c) {
          EXPECT_TRUE(concluded.count(key(TraceFact::sub(c, a))));
        }
      });
    }
    EXPECT_EQ(subsumption_steps, facts);
    EXPECT_EQ(link_steps, links);
  }
}

// Every rule of the list is one the engine produces: each has an ontology
// whose trace shows a step of it, so no name of a rule the engine never runs
// can stay in the list unnoticed.
TEST(ElTrace, EveryListedRuleIsProduced) {
  struct Case {
    RuleId rule;
    std::string_view name;
    const char* ontology;
  };
  const Case cases[] = {
      {RuleId::SubTransForward, "sub_trans_forward", "(sub A B)"},
      {RuleId::SubPropTransForward, "sub_prop_trans_forward",
       "(subrole r s) (subrole s t) (sub A (some r B))"},
      {RuleId::PropertyDomain, "property_domain", "(domain r D) (sub A (some r B))"},
      {RuleId::PropertyRange, "property_range", "(range r R) (sub A (some r B))"},
      {RuleId::ThingSuper, "thing_super", "(sub A B)"},
      {RuleId::ConjSub, "conj_sub", "(sub A B) (sub A C) (sub (and B C) D)"},
      {RuleId::ExIntro, "ex_intro", "(sub A (some r B))"},
      {RuleId::ExLeftSub, "ex_left_sub", "(sub A (some r B)) (sub (some r B) C)"},
      {RuleId::ExBottom, "ex_bottom", "(sub A (some r B)) (sub B Nothing)"},
      {RuleId::ExChain, "ex_chain", "(chain r s t) (sub A (some r B)) (sub B (some s C))"},
      {RuleId::DisjointBottom, "disjoint_bottom", "(disj B C D) (sub A (and B C))"},
      {RuleId::ReflexiveExists, "reflexive_ex_left", "(refl r) (sub (some r A) B)"},
      {RuleId::ReflexiveRange, "reflexive_range", "(refl r) (range r R) (sub A B)"},
      {RuleId::RangeFiller, "range_filler", "(range r R) (sub A (some r B))"},
      {RuleId::SubPropReflexiveChain, "sub_prop_reflexive_chain",
       "(refl r) (chain r s t) (sub A (some s B))"},
  };
  for (size_t id = 0; id < kRuleCount; ++id) {
    const RuleId rule = static_cast<RuleId>(id);
    SCOPED_TRACE(rule_name(rule));
    const Case* c = nullptr;
    for (const Case& x : cases) {
      if (x.rule == rule) c = &x;
    }
    ASSERT_NE(c, nullptr) << "no ontology shows this rule";
    EXPECT_EQ(rule_name(rule), c->name);
    TextOntology onto(c->ontology);
    auto r = classify(onto.input, true);
    ASSERT_TRUE(r);
    bool produced = false;
    for (const TraceStep& s : r->trace.steps()) produced |= s.rule == rule;
    EXPECT_TRUE(produced) << c->ontology;
  }
}

TEST(ElTrace, RangeStepNarrowsTheFillerOnly) {
  TextOntology onto("(sub Person (some hasPet Animal)) (range hasPet Pet)");
  auto r = classify(onto.input, true);
  ASSERT_TRUE(r);
  bool range_step = false;
  for (const TraceStep& s : r->trace.steps()) {
    if (s.rule != RuleId::PropertyRange) continue;
    range_step = true;
    EXPECT_EQ(s.conclusion.kind, FactKind::Existential);
    EXPECT_EQ(s.conclusion.a, NormalForm::class_concept(onto.cls("Person")));
    EXPECT_FALSE(r->nf.is_class(s.conclusion.c));  // the narrowed filler Animal ⊓ Pet
  }
  EXPECT_TRUE(range_step);
  EXPECT_FALSE(r->subsumed(onto.cls("Animal"), onto.cls("Pet")));
}

}  // namespace
}  // namespace trelvanic_el::testing
