#include "bridge/materializer_session.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace trelvanic_core;
using bridge_test::Onto;
using trelvanic_bridge::MaterializerSession;
using trelvanic_bridge::materialize_with_session;
using trelvanic_bridge::take_materializer_session;

class OtherSession final : public ReasonerSession {
 public:
  Profile profile() const override { return Profile::El; }
  void clear() override {}
  std::string debug_text() const override { return "OtherSession"; }
};

Reasoner reasoner_of(Ontology o, bool incremental = false) {
  ReasonerBuilder builder;
  builder.incremental = incremental;
  return *builder.build(std::move(o));
}

// A warmed session: one run over a small ontology.
std::unique_ptr<MaterializerSession> warmed(Profile profile) {
  Onto x;
  x.add(Axiom::sub_class_of(x.cls("A"), x.cls("B")));
  auto run = materialize_with_session(x.o, std::make_unique<MaterializerSession>(profile), false, 1000, 1000);
  EXPECT_TRUE(run.outcome);
  return std::move(run.session);
}

TEST(MaterializerSession, NewClearAndDebugText) {
  EXPECT_EQ(MaterializerSession().profile(), Profile::Rl);
  auto s = warmed(Profile::Rdfs);
  ASSERT_TRUE(s->warmed());
  EXPECT_NE(s->last_revision().counter, 0u);
  s->clear();
  EXPECT_FALSE(s->warmed());
  EXPECT_EQ(s->last_revision(), OntologyRevision{});
  EXPECT_EQ(s->profile(), Profile::Rdfs);
  EXPECT_EQ(s->debug_text(),
            "MaterializerSession { last_revision: OntologyRevision { counter: 0, overflowed: false }, warmed: false, "
            "profile: Rdfs, .. }");
}

TEST(MaterializerSession, TakeReusesOnlyASessionOfTheRequestedProfile) {
  struct Case {
    const char* name;
    std::unique_ptr<ReasonerSession> (*slot)();
    bool reused;
  };
  const Case cases[] = {
      {"empty", [] { return std::unique_ptr<ReasonerSession>(); }, false},
      {"other engine", [] { return std::unique_ptr<ReasonerSession>(new OtherSession()); }, false},
      {"other profile", [] { return std::unique_ptr<ReasonerSession>(warmed(Profile::Rdfs)); }, false},
      {"same profile", [] { return std::unique_ptr<ReasonerSession>(warmed(Profile::Rl)); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reasoner r = reasoner_of(Ontology());
    r.set_session(c.slot());
    auto s = take_materializer_session(r, Profile::Rl);
    EXPECT_EQ(r.session(), nullptr);
    EXPECT_EQ(s->profile(), Profile::Rl);
    EXPECT_EQ(s->warmed(), c.reused);
  }
}

TEST(MaterializerSession, PathsFullAndIncremental) {
  Onto x;
  auto a = x.cls("A"), b = x.cls("B"), c = x.cls("C");
  auto i = x.ind("i");
  x.add(Axiom::sub_class_of(a, b));
  x.add(Axiom::class_assertion(i, a));
  // A new session takes the full path even when incremental.
  auto run = materialize_with_session(x.o, std::make_unique<MaterializerSession>(), true, 1000, 1000);
  ASSERT_TRUE(run.outcome) << run.outcome.error().message();
  EXPECT_TRUE(run.outcome->full_rebuild);
  EXPECT_TRUE(x.has(Axiom::class_assertion(i, b)));
  EXPECT_EQ(run.session->last_revision(), x.o.revision());
  EXPECT_TRUE(x.o.dirty().empty());
  // An empty dirty set: full path again.
  run = materialize_with_session(x.o, std::move(run.session), true, 1000, 1000);
  ASSERT_TRUE(run.outcome);
  EXPECT_TRUE(run.outcome->full_rebuild);
  // One more told axiom: its triples continue the warmed closure.
  x.add(Axiom::sub_class_of(b, c));
  run = materialize_with_session(x.o, std::move(run.session), true, 1000, 1000);
  ASSERT_TRUE(run.outcome);
  EXPECT_TRUE(x.has(Axiom::class_assertion(i, c)));
  EXPECT_TRUE(x.o.dirty().empty());
  // A removal strips what was inferred and rebuilds.
  auto told = x.add(Axiom::sub_class_of(a, c));
  ASSERT_TRUE(x.o.remove_axiom(told));
  run = materialize_with_session(x.o, std::move(run.session), true, 1000, 1000);
  ASSERT_TRUE(run.outcome);
  EXPECT_TRUE(run.outcome->full_rebuild);
  EXPECT_TRUE(x.has(Axiom::class_assertion(i, c)));
}

TEST(MaterializerSession, FailureKeepsLimitsAndDirtySetAndHandsTheSessionBack) {
  for (const bool had_limits : {false, true}) {
    Onto x;
    if (had_limits) x.o.set_limits(OntologyLimits{.max_entities = 77});
    const auto before = x.o.limits();
    x.add(Axiom::class_assertion(x.ind("i"), x.cls("A")));
    auto run = materialize_with_session(x.o, std::make_unique<MaterializerSession>(), false, 1000, 1);
    ASSERT_FALSE(run.outcome);
    EXPECT_EQ(run.outcome.error().message(), "bridge: entity limit 1 would be exceeded during merge");
    ASSERT_NE(run.session, nullptr);
    EXPECT_EQ(x.o.limits(), before);
    EXPECT_FALSE(x.o.dirty().empty());
  }
}

// One line with the five keys in order, only for "1" and "true".
TEST(MaterializerSession, PerfLine) {
  struct Case {
    const char* value;
    bool line;
  };
  const Case cases[] = {{"1", true}, {"TRUE", true}, {"tRuE", true}, {"yes", false}, {"0", false}, {nullptr, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "unset");
    if (c.value) setenv("TRELVANIC_BRIDGE_PERF", c.value, 1);
    else unsetenv("TRELVANIC_BRIDGE_PERF");
    Onto x;
    x.add(Axiom::sub_class_of(x.cls("A"), x.cls("B")));
    testing::internal::CaptureStderr();
    auto run = materialize_with_session(x.o, std::make_unique<MaterializerSession>(), false, 1000, 1000);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(run.outcome);
    if (!c.line) {
      EXPECT_EQ(err, "");
      continue;
    }
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    size_t at = 0;
    for (const char* key : {"{\"core_to_triples_s\":", ",\"rl_fixpoint_s\":", ",\"merge_s\":", ",\"postprocess_s\":",
                            ",\"total_s\":"}) {
      const size_t found = err.find(key, at);
      ASSERT_NE(found, std::string::npos) << key;
      at = found;
    }
    EXPECT_EQ(err.substr(err.size() - 2), "}\n");
  }
  unsetenv("TRELVANIC_BRIDGE_PERF");
}

}  // namespace
