#include "profile/detect.h"

#include <gtest/gtest.h>

#include "fixture.h"
#include "profile/rules.h"

namespace trelvanic_profile::testing {
namespace {

using Diags = std::vector<ProfileDiagnostic>;

constexpr const char* kElMsg = "construct is outside OWL 2 EL (mapped axiom rules out OWL 2 EL)";
constexpr const char* kRlMsg = "construct is outside OWL 2 RL (mapped axiom rules out OWL 2 RL)";
constexpr const char* kDlMsg = "construct requires OWL 2 DL reasoning";

ProfileReport detect(const Ontology& o) {
  auto r = detect_profile(o);
  EXPECT_TRUE(r.has_value());
  return *r;
}

TEST(Detect, EmptyOntologyIsQlWithoutDiagnostics) {
  const ProfileReport r = detect(Ontology());
  EXPECT_EQ(r.profile, OwlProfile::Ql);
  EXPECT_TRUE(r.diagnostics.empty());
}

// Decisions over construct sets of ontologies without parse metadata.
TEST(Detect, ProfileAndDiagnosticsOfConstructSets) {
  struct Case {
    ConstructSet constructs;
    OwlProfile profile;
    Diags diagnostics;
  };
  const std::vector<Case> cases = {
      {{C::SubClassOfNamed, C::Datatype}, OwlProfile::Dl, {{"Datatype", kRlMsg}}},
      // No universal restriction is allowed in QL.
      {{C::SubClassOfNamed, C::ObjectAllValuesFrom}, OwlProfile::Dl, {{"ObjectAllValuesFrom", kElMsg}}},
      {{C::SubClassOfNamed, C::TransitiveObjectProperty}, OwlProfile::Rl, {}},
      {{C::EquivalentClasses, C::SymmetricObjectProperty}, OwlProfile::Rl, {}},
      {{C::SubClassOfExistential, C::ObjectSomeValuesFrom}, OwlProfile::El, {}},
      {{C::ObjectUnionOf}, OwlProfile::Dl, {{"ObjectUnionOf", kElMsg}}},
      {{C::ObjectSomeValuesFrom, C::ClassAssertion},
       OwlProfile::Dl,
       {{"ClassAssertion", kElMsg}, {"ObjectSomeValuesFrom", kRlMsg}}},
      {{C::Unknown}, OwlProfile::Ql, {}},
      {{C::Unknown, C::ObjectUnionOf}, OwlProfile::Dl, {{"ObjectUnionOf", kElMsg}, {"Unknown", kDlMsg}}},
      {{C::SwrlRule, C::DataPropertyAxiom},
       OwlProfile::Dl,
       {{"SwrlRule", kElMsg}, {"DataPropertyAxiom", kRlMsg}}},
      {{C::Annotation, C::Import, C::DisjointObjectProperties, C::DataPropertyAxiom}, OwlProfile::Ql, {}},
  };
  for (const auto& c : cases) {
    const ProfileReport r = detect_profile_of(c.constructs, std::nullopt);
    EXPECT_EQ(r.profile, c.profile) << construct_mask(c.constructs);
    EXPECT_EQ(r.diagnostics, c.diagnostics) << construct_mask(c.constructs);
  }
}

TEST(Detect, SkippedOnlySourceIsDlWithTheSkippedAxiomsDiagnostic) {
  Fixture f;
  f.cls("A");
  f.mark_loaded({C::SubClassOfNamed, C::ObjectUnionOf}, {}, /*skipped=*/2);
  ProfileReport r = detect(f.o);
  EXPECT_EQ(r.profile, OwlProfile::Dl);
  EXPECT_EQ(r.diagnostics, (Diags{{"SkippedAxioms",
                                   "source contains constructs but no mapped TBox axioms; classified as DL"}}));

  // With a SWRL rule in the DL store the rule is named instead.
  f.dl(DlAxiom::swrl_rule());
  r = detect(f.o);
  EXPECT_EQ(r.profile, OwlProfile::Dl);
  EXPECT_EQ(r.diagnostics, (Diags{{"SwrlRule", kElMsg}}));
}

// Edits empty the recorded constructs; an edited source with skipped
// axioms but mapped ones left is decided by what it holds.
TEST(Detect, EditedSourceWithSkippedAxiomsIsNotSkippedOnly) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
  f.mark_loaded({C::ObjectUnionOf}, {C::SubClassOfNamed}, /*skipped=*/1);
  EXPECT_EQ(detect(f.o).profile, OwlProfile::Ql);
  f.add(Axiom::sub_class_of(f.cls("B"), f.cls("C")));
  ASSERT_TRUE(f.o.parse_meta()->profile_constructs.empty());
  const ProfileReport r = detect(f.o);
  EXPECT_EQ(r.profile, OwlProfile::Ql);
  EXPECT_EQ(r.diagnostics,
            (Diags{{"ObjectUnionOf",
                    "construct observed in source but outside detected Ql profile (not mapped to core)"}}));
}

TEST(Detect, ObservedConstructsOutsideTheDetectedProfile) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
  f.mark_loaded({C::DisjointUnion, C::Annotation}, {C::SubClassOfNamed});
  ProfileReport r = detect(f.o);
  EXPECT_EQ(r.profile, OwlProfile::Ql);
  EXPECT_EQ(r.diagnostics,
            (Diags{{"DisjointUnion",
                    "construct observed in source but outside detected Ql profile (not mapped to core)"}}));

  Fixture g;
  g.add(Axiom::property_characteristic(AxiomKind::TransitiveObjectProperty, g.prop("r")));
  g.mark_loaded({C::ObjectSomeValuesFrom, C::HasKey, C::SymmetricObjectProperty}, {C::TransitiveObjectProperty});
  r = detect(g.o);
  EXPECT_EQ(r.profile, OwlProfile::Rl);
  EXPECT_EQ(r.diagnostics,
            (Diags{{"ObjectSomeValuesFrom",
                    "construct observed in source but outside detected Rl profile (not mapped to core)"},
                   {"HasKey", "construct observed in source but outside detected Rl profile (not mapped to core)"}}));
}

TEST(Detect, DlDecisionCarriesNoObservedConstructDiagnostics) {
  Fixture f;
  f.dl(DlAxiom::sub_class_of(f.atom("A"), f.ce(ClassExpr::or_of({f.atom("B"), f.atom("C")}))));
  f.mark_loaded({C::DisjointUnion, C::HasKey}, {C::SubClassOfNamed, C::ObjectUnionOf});
  const ProfileReport r = detect(f.o);
  EXPECT_EQ(r.profile, OwlProfile::Dl);
  EXPECT_EQ(r.diagnostics, (Diags{{"ObjectUnionOf", kElMsg}}));
}

TEST(Rules, SetPredicates) {
  using namespace rules;
  const ConstructSet mixed{C::SubClassOfNamed, C::ObjectUnionOf, C::ObjectAllValuesFrom, C::SubObjectPropertyChain,
                           C::InverseObjectProperties, C::Unknown};
  EXPECT_EQ(el::el_classification_forbidden_in(mixed),
            (ConstructSet{C::ObjectUnionOf, C::ObjectAllValuesFrom, C::SubObjectPropertyChain}));
  EXPECT_TRUE(el::el_classification_forbidden_in({C::InverseObjectProperties, C::Datatype}).empty());
  EXPECT_TRUE(el::satisfies_el({}));
  EXPECT_TRUE(el::satisfies_el({C::Unknown, C::Datatype, C::SubClassOfExistential}));
  EXPECT_FALSE(el::satisfies_el({C::ClassAssertion}));
  EXPECT_TRUE(rl::satisfies_rl({C::FunctionalObjectProperty, C::Unknown}));
  EXPECT_FALSE(rl::satisfies_rl({C::Datatype}));
  EXPECT_FALSE(ql::satisfies_ql({C::ObjectAllValuesFrom}));
}

TEST(Rules, ElEngineAcceptsOnlyWhatItDecides) {
  using rules::el::el_engine_accepts;
  EXPECT_TRUE(el_engine_accepts(ConstructSet{}));
  EXPECT_TRUE(el_engine_accepts(ConstructSet{
      C::SubClassOfNamed, C::SubClassOfExistential, C::ObjectIntersectionOf, C::ObjectSomeValuesFrom,
      C::EquivalentClasses, C::DisjointClasses, C::SubObjectPropertyOf, C::TransitiveObjectProperty,
      C::ReflexiveObjectProperty, C::ObjectPropertyDomain, C::ObjectPropertyRange, C::ClassAssertion,
      C::ObjectPropertyAssertion, C::SubObjectPropertyChain, C::Annotation, C::Import}));
  for (C refused : {C::InverseObjectProperties, C::FunctionalObjectProperty,
                    C::InverseFunctionalObjectProperty, C::SymmetricObjectProperty, C::AsymmetricObjectProperty,
                    C::IrreflexiveObjectProperty, C::EquivalentObjectProperties, C::DisjointObjectProperties,
                    C::IndividualEquality, C::DataPropertyAssertion, C::DataPropertyAxiom, C::Datatype,
                    C::ObjectAllValuesFrom, C::ObjectUnionOf, C::SwrlRule, C::Unknown}) {
    EXPECT_FALSE(el_engine_accepts(ConstructSet{C::SubClassOfNamed, refused}))
        << trelvanic_core::owl_construct_name(refused);
  }
}

TEST(Rules, ErrorDisplayAndProfileNames) {
  EXPECT_EQ(Error("x y").display(), "profile detection failed: x y");
  EXPECT_EQ(owl_profile_name(OwlProfile::Ql), "Ql");
  EXPECT_EQ(owl_profile_name(OwlProfile::Dl), "Dl");
}

}  // namespace
}  // namespace trelvanic_profile::testing
