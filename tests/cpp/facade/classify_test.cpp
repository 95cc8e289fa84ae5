// Classification through the facade: every route whose engine is not part
// of the build fails with an error naming that engine (never an answer),
// through the variant the Python layer maps.
#include <gtest/gtest.h>

#include "core/ontology_builder.h"
#include "core/reasoner.h"
#include "facade/classify.h"
#include "facade/engines/calls.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Ontology;
using trelvanic_core::OntologyBuilder;
using trelvanic_core::Profile;
using trelvanic_core::ReasonerBuilder;

Ontology small_el() {
  auto b = OntologyBuilder().subclass_of("http://ex.org/A", "http://ex.org/B");
  EXPECT_TRUE(b);
  return std::move(*b).build();
}

TEST(FacadeClassify, DlAndSwrlRoutesClassify) {
  const std::pair<Profile, std::optional<uint64_t>> dl_routes[] = {
      {Profile::Dl, std::nullopt}, {Profile::Alc, std::nullopt}, {Profile::DlPreview, std::nullopt}, {Profile::Dl, 5},
      {Profile::Swrl, std::nullopt}};
  for (const auto& [profile, budget] : dl_routes) {
    auto r = ReasonerBuilder{.budget_secs = budget, .profile = profile}.build(small_el());
    ASSERT_TRUE(r);
    auto out = classify(*r);
    ASSERT_TRUE(out) << trelvanic_core::profile_name(profile) << ": " << out.error().message();
    const auto* taxonomy = std::get_if<trelvanic_core::Taxonomy>(&*out);
    ASSERT_NE(taxonomy, nullptr);
    auto a = r->ontology().lookup_entity("http://ex.org/A");
    auto b = r->ontology().lookup_entity("http://ex.org/B");
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(taxonomy->is_subsumed(*a, *b));
    EXPECT_FALSE(taxonomy->is_subsumed(*b, *a));
  }
}

TEST(FacadeClassify, RdfsAndRlGiveTheirReportNeverATaxonomyAndDropTheCache) {
  struct Case {
    Profile profile;
    size_t index;  // of the outcome's alternative
  };
  for (Case c : {Case{Profile::Rdfs, 1}, Case{Profile::Rl, 2}}) {
    auto b = OntologyBuilder().subclass_of("http://ex.org/A", "http://ex.org/B");
    ASSERT_TRUE(b);
    b = std::move(*b).subclass_of("http://ex.org/B", "http://ex.org/C");
    ASSERT_TRUE(b);
    b = std::move(*b).class_assertion("http://ex.org/i", "http://ex.org/A");
    ASSERT_TRUE(b);
    auto r = ReasonerBuilder{.profile = c.profile}.build(std::move(*b).build());
    ASSERT_TRUE(r);
    r->set_cached_taxonomy(trelvanic_core::Taxonomy{});
    const size_t before = r->ontology().axiom_count();
    auto out = classify(*r);
    ASSERT_TRUE(out) << out.error().message();
    ASSERT_EQ(out->index(), c.index) << trelvanic_core::profile_name(c.profile);
    const MaterializationReport& report =
        c.index == 1 ? std::get<RdfsOutcome>(*out).report : std::get<RlOutcome>(*out).report;
    EXPECT_EQ(report.initial_axiom_count, before);
    // The materialised axioms (A ⊑ C, i : B, i : C at least) stay in the
    // reasoner's ontology.
    EXPECT_EQ(report.final_axiom_count, r->ontology().axiom_count());
    EXPECT_GE(report.final_axiom_count, before + 3);
    EXPECT_TRUE(report.clashes.empty());
    EXPECT_EQ(r->cached_taxonomy(), nullptr);
  }
}

}  // namespace
}  // namespace trelvanic_facade

namespace trelvanic_facade {
namespace {

// A ⊑ "t%23B" and "t#B" ⊑ C name one class B under two spellings (a
// snapshot keeps IRIs as written), so A ⊑ C holds only once they are one.
Ontology aliased() {
  Ontology o;
  auto a = o.entity_id("http://ex.org/t#A", trelvanic_core::EntityKind::Class);
  auto b = o.entity_id("http://ex.org/t#B", trelvanic_core::EntityKind::Class);
  auto c = o.entity_id("http://ex.org/t#C", trelvanic_core::EntityKind::Class);
  auto encoded = o.entity_id_as_written("http://ex.org/t%23B", trelvanic_core::EntityKind::Class, 8192);
  EXPECT_TRUE(a && b && c && encoded);
  EXPECT_TRUE(o.add_axiom(trelvanic_core::Axiom::sub_class_of(*a, *encoded)));
  EXPECT_TRUE(o.add_axiom(trelvanic_core::Axiom::sub_class_of(*b, *c)));
  return o;
}

trelvanic_core::Taxonomy classified(ReasonerBuilder settings, Ontology o) {
  auto r = settings.build(std::move(o));
  EXPECT_TRUE(r);
  auto out = classify(*r);
  EXPECT_TRUE(out) << (out ? "" : out.error().message());
  if (!out) return {};
  EXPECT_NE(r->cached_taxonomy(), nullptr);
  return std::get<trelvanic_core::Taxonomy>(std::move(*out));
}

std::vector<trelvanic_core::SubsumptionEdge> edges_of(const trelvanic_core::Taxonomy& t) {
  return {t.edges().begin(), t.edges().end()};
}

TEST(FacadeClassify, ElPathsAgreeWhateverTheIncrementalSwitchAndProfile) {
  const trelvanic_core::EntityId a(0), c(2);
  const auto plain = classified({.profile = Profile::Auto}, aliased());
  EXPECT_TRUE(plain.is_subsumed(a, c));
  for (ReasonerBuilder settings : {ReasonerBuilder{.profile = Profile::El},
                                   ReasonerBuilder{.incremental = true, .profile = Profile::Auto},
                                   ReasonerBuilder{.incremental = true, .profile = Profile::El}}) {
    const auto other = classified(settings, aliased());
    EXPECT_TRUE(other.is_subsumed(a, c));
    EXPECT_EQ(edges_of(other), edges_of(plain));
    EXPECT_EQ(other.clusters().size(), plain.clusters().size());
  }
}

TEST(FacadeClassify, NonElOntologyOnTheElRouteIsTheElError) {
  Ontology o = aliased();
  auto a = o.entity_id("http://ex.org/t#A", trelvanic_core::EntityKind::Class);
  auto c = o.entity_id("http://ex.org/t#C", trelvanic_core::EntityKind::Class);
  trelvanic_core::DlStore& dl = o.dl_mut();
  auto ca = dl.intern_ce(trelvanic_core::ClassExpr::atomic(*a));
  auto cc = dl.intern_ce(trelvanic_core::ClassExpr::atomic(*c));
  auto un = dl.intern_ce(trelvanic_core::ClassExpr::or_of({ca, cc}));
  dl.push_axiom(trelvanic_core::DlAxiom::sub_class_of(un, cc));
  auto r = ReasonerBuilder{.profile = Profile::El}.build(std::move(o));
  ASSERT_TRUE(r);
  auto out = classify(*r);
  ASSERT_FALSE(out);
  EXPECT_EQ(out.error().variant(), ErrorVariant::El);
  EXPECT_NE(out.error().message().find("not in OWL EL profile"), std::string::npos) << out.error().message();
}

}  // namespace
}  // namespace trelvanic_facade
