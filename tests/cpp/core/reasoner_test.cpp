#include "core/reasoner.h"

#include <gtest/gtest.h>

namespace trelvanic_core {
namespace {

struct CountingSession : ReasonerSession {
  explicit CountingSession(int* clears) : clears(clears) {}
  Profile profile() const override { return Profile::El; }
  void clear() override { ++*clears; }
  std::string debug_text() const override { return "CountingSession"; }
  int* clears;
};

Ontology two_classes(EntityId* a, EntityId* b) {
  Ontology o;
  *a = *o.entity_id("http://ex.org/A", EntityKind::Class);
  *b = *o.entity_id("http://ex.org/B", EntityKind::Class);
  return o;
}

TEST(ReasonerBuilder, ParallelismRange) {
  struct Case { uint32_t parallelism; const char* error; };
  for (auto c : std::vector<Case>{{1, nullptr}, {64, nullptr},
                                   {0, "parallelism must be in 1..=64, got 0"},
                                   {65, "parallelism must be in 1..=64, got 65"}}) {
    auto r = ReasonerBuilder{.parallelism = c.parallelism}.build(Ontology());
    if (c.error) {
      ASSERT_FALSE(r.has_value());
      EXPECT_EQ(r.error().message(), c.error);
      EXPECT_EQ(r.error().kind(), ErrorKind::Message);
    } else {
      EXPECT_TRUE(r.has_value());
    }
  }
}

TEST(Reasoner, CacheGoesStaleWithTheRevision) {
  EntityId a, b;
  auto r = *ReasonerBuilder{}.build(two_classes(&a, &b));
  r.set_cached_taxonomy(Taxonomy::from_parts({{a, b}}, {}, {}));
  r.invalidate_stale_classify_cache();
  ASSERT_NE(r.cached_taxonomy(), nullptr);  // unchanged ontology keeps it

  // A change through ontology_mut drops the cache at once.
  ASSERT_TRUE(r.ontology_mut().add_axiom(Axiom::sub_class_of(a, b)).has_value());
  EXPECT_EQ(r.cached_taxonomy(), nullptr);

  // A change made elsewhere is caught by the staleness check.
  r.set_cached_taxonomy(Taxonomy::from_parts({}, {}, {}));
  Ontology changed = r.ontology().clone();
  ASSERT_TRUE(changed.add_axiom(Axiom::sub_class_of(b, a)).has_value());
  auto r2 = *ReasonerBuilder{}.build(std::move(changed));
  r2.set_cached_taxonomy(Taxonomy::from_parts({}, {}, {}));
  r2.invalidate_stale_classify_cache();
  EXPECT_NE(r2.cached_taxonomy(), nullptr);
  ASSERT_TRUE(r2.ontology_mut().add_axiom(Axiom::sub_class_of(a, a)).has_value());
  EXPECT_EQ(r2.cached_taxonomy(), nullptr);
}

TEST(Reasoner, SessionSlot) {
  int first_clears = 0, second_clears = 0;
  auto r = *ReasonerBuilder{}.build(Ontology());
  r.set_session(std::make_unique<CountingSession>(&first_clears));
  r.set_session(std::make_unique<CountingSession>(&second_clears));
  EXPECT_EQ(first_clears, 0);  // replaced without clear()
  ASSERT_NE(r.session()->as<CountingSession>(), nullptr);
  r.clear_session();
  EXPECT_EQ(second_clears, 1);
  EXPECT_EQ(r.session(), nullptr);
  r.clear_session();  // empty slot: nothing happens
  EXPECT_EQ(second_clears, 1);
}

}  // namespace
}  // namespace trelvanic_core
