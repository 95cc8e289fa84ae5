// Consistency through the facade: the EL verdict, unsatisfiable classes
// without instances, the lenient-load flag on every route, incomplete
// answers, and routes whose engine is not in the build.
#include <gtest/gtest.h>

#include <tuple>

#include "core/parse_meta.h"
#include "facade/consistency.h"
#include "small_ontology.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::Profile;
using testing::SmallOntology;

// A ⊑ B, A ⊑ C, B and C disjoint: A is unsatisfiable.
SmallOntology unsatisfiable_class() {
  SmallOntology s;
  auto a = s.cls("A"), b = s.cls("B"), c = s.cls("C");
  s.add(Axiom::sub_class_of(a, b)).add(Axiom::sub_class_of(a, c)).add(Axiom::disjoint_classes({b, c}));
  return s;
}

TEST(FacadeConsistency, ElVerdicts) {
  SmallOntology plain;
  plain.add(Axiom::sub_class_of(plain.cls("A"), plain.cls("B")));
  plain.add(Axiom::class_assertion(plain.ind("a"), plain.cls("A")));

  // An unsatisfiable class with no instance leaves the ontology consistent.
  SmallOntology unsat = unsatisfiable_class();

  SmallOntology instance = unsatisfiable_class();
  instance.add(Axiom::class_assertion(instance.ind("a"), instance.cls("A")));

  // The instance is forced into A through a property range.
  SmallOntology via_range = unsatisfiable_class();
  auto p = via_range.prop("p");
  via_range.add(Axiom::object_property_range(p, via_range.cls("A")));
  via_range.add(Axiom::object_property_assertion(via_range.ind("x"), p, via_range.ind("y")));

  const std::pair<SmallOntology*, ConsistencyResult> cases[] = {
      {&plain, {true, true}},
      {&unsat, {true, true}},
      {&instance, {false, true}},
      {&via_range, {false, true}},
  };
  for (auto& [s, expected] : cases) {
    {
      auto r = s->reasoner(Profile::El);
      const auto before = r.ontology().revision();
      auto out = check_consistency(r);
      ASSERT_TRUE(out) << out.error().message();
      EXPECT_EQ(*out, expected);
      EXPECT_EQ(r.ontology().revision(), before);
      auto flat = is_consistent(r);
      ASSERT_TRUE(flat);
      EXPECT_EQ(*flat, expected.consistent);
    }
  }
}

TEST(FacadeConsistency, DegenerateDifferentIndividualsIsInconsistentOnEveryRoute) {
  SmallOntology s;
  s.add(Axiom::sub_class_of(s.cls("A"), s.cls("B")));
  trelvanic_core::ParseMeta meta;
  meta.degenerate_different_individuals = true;
  s.o.set_parse_meta(meta);
  for (Profile profile : {Profile::Auto, Profile::El, Profile::Rl, Profile::Rdfs, Profile::Dl, Profile::Alc,
                          Profile::DlPreview, Profile::Swrl}) {
    auto r = s.reasoner(profile);
    auto out = check_consistency(r);
    ASSERT_TRUE(out) << trelvanic_core::profile_name(profile);
    EXPECT_EQ(*out, (ConsistencyResult{false, true})) << trelvanic_core::profile_name(profile);
  }
}

TEST(FacadeConsistency, ElEngineRefusalIsIncompleteAndIsConsistentRaisesIt) {
  // A negative property assertion is outside what the EL engine decides.
  SmallOntology s;
  auto p = s.prop("p");
  s.add(Axiom::negative_object_property_assertion(s.ind("a"), p, s.ind("b")));
  auto r = s.reasoner(Profile::El);
  auto out = check_consistency(r);
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, (ConsistencyResult{false, false}));
  auto flat = is_consistent(r);
  ASSERT_FALSE(flat);
  EXPECT_EQ(flat.error().variant(), ErrorVariant::Core);
  ASSERT_TRUE(flat.error().core_error());
  EXPECT_EQ(flat.error().core_error()->kind(), trelvanic_core::ErrorKind::ConsistencyIncomplete);
  EXPECT_EQ(flat.error().message(), "consistency check incomplete");
}

TEST(FacadeConsistency, RlGivesItsVerdictAndRdfsProvesOnlyInconsistency) {
  SmallOntology unsat = unsatisfiable_class();
  SmallOntology instance = unsatisfiable_class();
  instance.add(Axiom::class_assertion(instance.ind("a"), instance.cls("A")));
  // An existential superclass has no OWL 2 RL form: nothing is proven.
  SmallOntology outside = unsatisfiable_class();
  outside.add(Axiom::sub_class_of_existential(outside.cls("B"), outside.prop("p"), outside.cls("C")));
  const std::tuple<SmallOntology*, Profile, ConsistencyResult> cases[] = {
      {&unsat, Profile::Rl, {true, true}},
      {&instance, Profile::Rl, {false, true}},
      {&outside, Profile::Rl, {false, false}},
      {&unsat, Profile::Rdfs, {false, false}},
  };
  for (auto& [s, profile, expected] : cases) {
    auto r = s->reasoner(profile);
    const auto before = r.ontology().revision();
    auto out = check_consistency(r);
    ASSERT_TRUE(out) << out.error().message();
    EXPECT_EQ(*out, expected) << trelvanic_core::profile_name(profile);
    EXPECT_EQ(r.ontology().revision(), before);
  }
}

TEST(FacadeConsistency, DlAndSwrlRoutesDecide) {
  SmallOntology s = unsatisfiable_class();
  auto dl = s.reasoner(Profile::Dl);
  auto decided = check_consistency(dl);
  ASSERT_TRUE(decided) << decided.error().message();
  EXPECT_EQ(*decided, (ConsistencyResult{true, true}));  // an empty class has a model
  auto swrl = s.reasoner(Profile::Swrl);
  auto out = check_consistency(swrl);
  ASSERT_TRUE(out) << out.error().message();
  EXPECT_EQ(*out, (ConsistencyResult{true, true}));
}

}  // namespace
}  // namespace trelvanic_facade
