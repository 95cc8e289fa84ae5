#include "profile/routing.h"

#include <functional>

#include <gtest/gtest.h>

#include "fixture.h"
#include "profile/hybrid.h"

namespace trelvanic_profile::testing {
namespace {

using trelvanic_core::Profile;

Route route(Profile p, const Ontology& o) {
  auto r = resolve_route(p, o);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().display());
  return r.value_or(Route{});
}

// An ontology holding a union: detected Dl, whatever was requested.
Fixture dl_ontology() {
  Fixture f;
  f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
  f.dl(DlAxiom::sub_class_of(f.atom("C"), f.ce(ClassExpr::or_of({f.atom("D"), f.atom("E")}))));
  return f;
}

TEST(Routing, ExplicitRequestsNameTheirEngine) {
  const Fixture f = dl_ontology();
  const std::vector<std::pair<Profile, RouteEngine>> cases = {
      {Profile::Rdfs, RouteEngine::Rdfs}, {Profile::Rl, RouteEngine::Rl},   {Profile::El, RouteEngine::El},
      {Profile::Alc, RouteEngine::Dl},    {Profile::Dl, RouteEngine::Dl},   {Profile::DlPreview, RouteEngine::Dl},
      {Profile::Swrl, RouteEngine::Swrl},
  };
  for (auto [requested, engine] : cases) {
    EXPECT_EQ(route(requested, f.o), (Route{std::nullopt, engine})) << trelvanic_core::profile_name(requested);
  }
  EXPECT_EQ(route_engine_name(RouteEngine::Hybrid), "Hybrid");
}

TEST(Routing, AutoFollowsTheDetectedProfile) {
  struct Case {
    const char* name;
    std::function<void(Fixture&)> build;
    Route expected;
  };
  const std::vector<Case> cases = {
      {"empty", [](Fixture&) {}, {OwlProfile::Ql, RouteEngine::El}},
      {"named subclass axioms",
       [](Fixture& f) { f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B"))); },
       {OwlProfile::Ql, RouteEngine::El}},
      {"EL definitions in the DL store",
       [](Fixture& f) {
         const CeId def = f.ce(ClassExpr::and_of({f.atom("B"), f.ce(ClassExpr::some(RoleExpr::atomic(f.prop("r")), f.atom("C")))}));
         f.dl(DlAxiom::equivalent_classes({f.atom("A"), def}));
       },
       {OwlProfile::El, RouteEngine::El}},
      {"transitive property", [](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.add(Axiom::property_characteristic(AxiomKind::TransitiveObjectProperty, f.prop("r")));
       },
       {OwlProfile::Rl, RouteEngine::Rl}},
      {"told subclass, told assertion and a union",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.add(Axiom::class_assertion(f.ind("i"), f.cls("A")));
         f.dl(DlAxiom::sub_class_of(f.atom("C"), f.ce(ClassExpr::or_of({f.atom("D"), f.atom("E")}))));
       },
       {OwlProfile::Dl, RouteEngine::Hybrid}},
      // Split into modules, yet the EL engine decides the whole ontology:
      // it is classified whole, not module by module.
      {"existential, told assertion and a property chain",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of_existential(f.cls("A"), f.prop("r"), f.cls("B")));
         f.add(Axiom::class_assertion(f.ind("i"), f.cls("A")));
         f.dl(DlAxiom::sub_object_property_chain({RoleExpr::atomic(f.prop("r")), RoleExpr::atomic(f.prop("s"))},
                                                 RoleExpr::atomic(f.prop("t"))));
       },
       {OwlProfile::Dl, RouteEngine::El}},
      // A universal restriction on the right: never the EL engine, and the
      // RL rules decide it.
      {"universal restriction alone",
       [](Fixture& f) {
         f.dl(DlAxiom::sub_class_of(f.atom("C"), f.ce(ClassExpr::all(RoleExpr::atomic(f.prop("r")), f.atom("D")))));
       },
       {OwlProfile::Dl, RouteEngine::Rl}},
      // On the left it is outside OWL 2 RL as well: the DL route.
      {"universal restriction on the left",
       [](Fixture& f) {
         f.dl(DlAxiom::sub_class_of(f.ce(ClassExpr::all(RoleExpr::atomic(f.prop("r")), f.atom("D"))), f.atom("C")));
       },
       {OwlProfile::Dl, RouteEngine::Dl}},
      // Inside OWL 2 EL and RL, but the EL engine does not take hasValue:
      // the RL engine decides it (not the DL route).
      {"hasValue, intersections and individuals",
       [](Fixture& f) {
         f.dl(DlAxiom::sub_class_of(f.atom("A"), f.ce(ClassExpr::has_value(RoleExpr::atomic(f.prop("r")), f.ind("b")))));
         f.dl(DlAxiom::sub_class_of(f.ce(ClassExpr::and_of({f.atom("A"), f.atom("B")})), f.atom("C")));
         f.add(Axiom::class_assertion(f.ind("a"), f.cls("A")));
       },
       {OwlProfile::Dl, RouteEngine::Rl}},
      // Ql, but the EL engine does not reason with disjoint properties;
      // the RL rules do.
      {"disjoint properties",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.dl(DlAxiom::entity_list(DlAxiomKind::DisjointObjectProperties, {f.prop("r"), f.prop("s")}));
       },
       {OwlProfile::Ql, RouteEngine::Rl}},
      // Detected Rl, but the RL rules do not reach a reflexive property
      // while the EL engine decides it.
      {"reflexive property",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.add(Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, f.prop("r")));
       },
       {OwlProfile::Rl, RouteEngine::El}},
      // El, but data property axioms are beyond the EL engine.
      {"existential and a data sub-property",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of_existential(f.cls("A"), f.prop("r"), f.cls("B")));
         f.dl(DlAxiom::sub_data_property_of(f.entity("d", EntityKind::DataProperty),
                                            f.entity("e", EntityKind::DataProperty)));
       },
       {OwlProfile::El, RouteEngine::Hybrid}},
      // A negative assertion records no construct, yet the EL engine would
      // ignore it; the RL rules check it.
      {"negative assertion",
       [](Fixture& f) {
         f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
         f.add(Axiom::negative_object_property_assertion(f.ind("i"), f.prop("r"), f.ind("j")));
       },
       {OwlProfile::Ql, RouteEngine::Rl}},
  };
  for (const auto& c : cases) {
    Fixture f;
    c.build(f);
    EXPECT_EQ(route(Profile::Auto, f.o), c.expected) << c.name;
  }
}

// The loader records only the told constructs here; the DL store still
// decides, before and after an edit.
TEST(Routing, LoadedOntologyWithDlStoreAxiomsIsSplit) {
  Fixture f = dl_ontology();
  f.mark_loaded({}, {C::SubClassOfNamed});
  EXPECT_EQ(route(Profile::Auto, f.o), (Route{OwlProfile::Dl, RouteEngine::Hybrid}));
  auto split = classify_hybrid(f.o);
  ASSERT_TRUE(split.has_value());
  ASSERT_EQ(split->modules.size(), 2u);
  EXPECT_EQ(split->modules[0].profile, OwlProfile::El);
  EXPECT_EQ(split->modules[0].axioms, std::vector{AxiomId(0)});
  EXPECT_FALSE(split->modules[0].include_dl_store);
  EXPECT_EQ(split->modules[1].profile, OwlProfile::Dl);
  EXPECT_TRUE(split->modules[1].include_dl_store);
  f.add(Axiom::sub_class_of(f.cls("B"), f.cls("F")));
  EXPECT_EQ(route(Profile::Auto, f.o), (Route{OwlProfile::Dl, RouteEngine::Hybrid}));
}

// A loaded ontology whose every logical axiom lives in the DL store.
TEST(Routing, LoadedOntologyWithOnlyDlStoreAxioms) {
  Fixture f;
  f.dl(DlAxiom::sub_class_of(f.atom("C"), f.ce(ClassExpr::or_of({f.atom("D"), f.atom("E")}))));
  f.mark_loaded({}, {C::SubClassOfNamed, C::ObjectUnionOf});
  EXPECT_EQ(route(Profile::Auto, f.o), (Route{OwlProfile::Dl, RouteEngine::Dl}));
}

TEST(Routing, SkippedOnlySourceWithEntitiesFailsTheSplit) {
  Fixture f;
  f.cls("A");
  f.mark_loaded({C::SubClassOfNamed}, {}, /*skipped=*/1);
  auto r = resolve_route(Profile::Auto, f.o);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().display(),
            "profile detection failed: hybrid classification produced no modules for a non-empty ontology");
}

TEST(Routing, ElGateOfTheWholeOntology) {
  Fixture f;
  f.add(Axiom::sub_class_of_existential(f.cls("A"), f.prop("r"), f.cls("B")));
  f.add(Axiom::class_assertion(f.ind("i"), f.cls("A")));
  EXPECT_TRUE(el_engine_accepts(f.o));
  f.dl(DlAxiom::negative_object_property_assertion(f.ind("i"), f.prop("r"), f.ind("j")));
  EXPECT_FALSE(el_engine_accepts(f.o));
}

}  // namespace
}  // namespace trelvanic_profile::testing
