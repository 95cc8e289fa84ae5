#include "profile/scanner.h"

#include <functional>

#include <gtest/gtest.h>

#include "fixture.h"

namespace trelvanic_profile::testing {
namespace {

TEST(Scanner, EmptyOntologyScansToTheEmptySet) {
  Ontology o;
  EXPECT_TRUE(scan_constructs(o).empty());
}

TEST(Scanner, ToldAxiomFormsGiveTheirConstructs) {
  Fixture f;
  const EntityId a = f.cls("A"), b = f.cls("B"), r = f.prop("r"), i = f.ind("i"), j = f.ind("j");
  struct Case {
    Axiom axiom;
    ConstructSet expected;
  };
  const std::vector<Case> cases = {
      {Axiom::sub_class_of(a, b), {C::SubClassOfNamed}},
      {Axiom::sub_class_of_existential(a, r, b), {C::SubClassOfExistential, C::ObjectSomeValuesFrom}},
      {Axiom::negative_object_property_assertion(i, r, j), {}},
      {Axiom::same_individual({i, j}), {C::IndividualEquality}},
      {Axiom::different_individuals({i, j}), {C::IndividualEquality}},
      {Axiom::property_characteristic(AxiomKind::ReflexiveObjectProperty, r), {C::ReflexiveObjectProperty}},
      {Axiom::class_assertion(i, a), {C::ClassAssertion}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(construct_set(axiom_construct_mask(c.axiom.view())), c.expected) << axiom_kind_name(c.axiom.kind());
  }
}

TEST(Scanner, RemovedAxiomsCountNothingAndLiveInferredOnesCount) {
  Fixture f;
  const EntityId a = f.cls("A"), b = f.cls("B"), r = f.prop("r");
  const AxiomId gone = f.add(Axiom::property_characteristic(AxiomKind::SymmetricObjectProperty, r));
  ASSERT_TRUE(f.o.remove_axiom(gone).has_value());
  ASSERT_TRUE(f.o.add_inferred_axiom(Axiom::sub_class_of_existential(a, r, b)).has_value());
  EXPECT_EQ(scan_constructs(f.o), (ConstructSet{C::SubClassOfExistential, C::ObjectSomeValuesFrom}));
}

TEST(Scanner, DlAxiomsAndTheirClassExpressions) {
  struct Case {
    const char* name;
    std::function<void(Fixture&)> build;
    ConstructSet expected;
  };
  const std::vector<Case> cases = {
      {"sub-property between two inverses",
       [](Fixture& f) {
         f.dl(DlAxiom::sub_object_property_of(RoleExpr::inverse(f.prop("r")), RoleExpr::inverse(f.prop("s"))));
       },
       {C::SubObjectPropertyOf, C::InverseObjectProperties}},
      {"cardinality filler is not inspected",
       [](Fixture& f) {
         const CeId u = f.ce(ClassExpr::or_of({f.atom("B"), f.atom("C")}));
         const CeId card = f.ce(ClassExpr::cardinality(CeKind::MinCardinality, 2, RoleExpr::atomic(f.prop("r")), u));
         f.dl(DlAxiom::sub_class_of(f.atom("A"), card));
       },
       {C::SubClassOfNamed, C::ObjectCardinality}},
      {"data property domain with a complement",
       [](Fixture& f) {
         const CeId n = f.ce(ClassExpr::complement_of(f.atom("A")));
         f.dl(DlAxiom::data_property_domain(f.entity("d", EntityKind::DataProperty), n));
       },
       {C::Datatype, C::ObjectComplementOf}},
      {"class expression id beyond the store",
       [](Fixture& f) { f.dl(DlAxiom::sub_class_of(CeId(900), CeId(901))); },
       {C::SubClassOfNamed}},
      {"inverse role deep inside a union",
       [](Fixture& f) {
         const CeId some = f.ce(ClassExpr::some(RoleExpr::inverse(f.prop("r")), f.atom("B")));
         const CeId all = f.ce(ClassExpr::all(RoleExpr::atomic(f.prop("s")), some));
         f.dl(DlAxiom::equivalent_classes({f.atom("A"), f.ce(ClassExpr::or_of({all, f.atom("C")}))}));
       },
       {C::ObjectUnionOf, C::ObjectAllValuesFrom, C::ObjectSomeValuesFrom, C::EquivalentClasses,
        C::InverseObjectProperties}},
      {"negative assertion records nothing",
       [](Fixture& f) {
         f.dl(DlAxiom::negative_object_property_assertion(f.ind("i"), f.prop("r"), f.ind("j")));
       },
       {}},
  };
  for (const auto& c : cases) {
    Fixture f;
    c.build(f);
    EXPECT_EQ(scan_constructs(f.o), c.expected) << c.name;
    CeConstructMemo memo(f.o.dl());
    EXPECT_EQ(construct_set(dl_axiom_construct_mask(memo, f.o.dl().axiom(0))), c.expected) << c.name;
  }
}

// A loaded ontology whose recorded constructs miss what its DL store holds
// still scans to the DL store's constructs, and to the same set after an
// edit that leaves its axioms as they were.
TEST(Scanner, LoadedOntologyScansItsDlStoreBeforeAndAfterAChange) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
  f.dl(DlAxiom::sub_class_of(f.atom("C"), f.ce(ClassExpr::or_of({f.atom("D"), f.atom("E")}))));
  f.mark_loaded({C::Annotation}, {C::SubClassOfNamed});
  const ConstructSet expected{C::SubClassOfNamed, C::ObjectUnionOf};
  EXPECT_EQ(scan_constructs(f.o), expected);

  const AxiomId extra = f.add(Axiom::sub_class_of(f.cls("X"), f.cls("Y")));
  ASSERT_TRUE(f.o.remove_axiom(extra).has_value());
  EXPECT_TRUE(f.o.parse_meta()->profile_constructs.empty());
  EXPECT_EQ(scan_constructs(f.o), expected);
}

TEST(Scanner, ParseMetadataAndSwrlRulesAddTheirConstructs) {
  Fixture f;
  f.add(Axiom::sub_class_of(f.cls("A"), f.cls("B")));
  f.mark_loaded({}, {C::SubClassOfNamed, C::SubClassOfIntersection});
  f.o.push_swrl_rule({});
  EXPECT_EQ(scan_constructs(f.o), (ConstructSet{C::SubClassOfNamed, C::SubClassOfIntersection, C::SwrlRule}));
}

// Each level is the intersection of the level below with itself: a walk
// per occurrence would visit 2^200 nodes.
TEST(Scanner, SharedSubExpressionsAreWalkedOnce) {
  Fixture f;
  CeId x = f.ce(ClassExpr::some(RoleExpr::atomic(f.prop("r")), f.atom("A")));
  for (int i = 0; i < 200; ++i) x = f.ce(ClassExpr::and_of({x, x}));
  f.dl(DlAxiom::sub_class_of(f.atom("B"), x));
  EXPECT_EQ(scan_constructs(f.o), (ConstructSet{C::SubClassOfNamed, C::ObjectIntersectionOf, C::ObjectSomeValuesFrom}));
}

TEST(Scanner, DeepExpressionsNeedNoDeepRecursion) {
  Fixture f;
  CeId x = f.atom("A");
  const RoleExpr r = RoleExpr::atomic(f.prop("r"));
  for (int i = 0; i < 300'000; ++i) x = f.ce(i % 2 ? ClassExpr::complement_of(x) : ClassExpr::all(r, x));
  f.dl(DlAxiom::class_assertion(f.ind("i"), x));
  EXPECT_EQ(scan_constructs(f.o), (ConstructSet{C::ObjectComplementOf, C::ObjectAllValuesFrom, C::ClassAssertion}));
}

// A store read from a snapshot may hold a cycle: 0 = not(1), 1 = or(2, 0),
// 2 = some(r, 3), 3 = hasSelf(r). The walk ends, and every member of the
// cycle reaches the same constructs.
TEST(Scanner, CyclicExpressionsTerminate) {
  Fixture f;
  const EntityId r = f.prop("r");
  trelvanic_core::DlStore& dl = f.o.dl_mut();
  dl.append_ce(ClassExpr::complement_of(CeId(1)));
  dl.append_ce(ClassExpr::or_of({CeId(2), CeId(0)}));
  dl.append_ce(ClassExpr::some(RoleExpr::atomic(r), CeId(3)));
  dl.append_ce(ClassExpr::has_self(r));
  dl.push_axiom(DlAxiom::sub_class_of(CeId(2), CeId(0)));
  const ConstructSet expected{C::SubClassOfNamed, C::ObjectComplementOf, C::ObjectUnionOf, C::ObjectSomeValuesFrom,
                              C::ObjectHasSelf};
  EXPECT_EQ(scan_constructs(f.o), expected);

  CeConstructMemo memo(f.o.dl());
  EXPECT_EQ(memo.mask(CeId(0)), memo.mask(CeId(1)));
  EXPECT_EQ(construct_set(memo.mask(CeId(2))), (ConstructSet{C::ObjectSomeValuesFrom, C::ObjectHasSelf}));
  CeConstructMemo fresh(f.o.dl());
  EXPECT_EQ(fresh.mask(CeId(1)), memo.mask(CeId(0)));
}

}  // namespace
}  // namespace trelvanic_profile::testing
